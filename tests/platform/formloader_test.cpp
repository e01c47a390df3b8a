#include <gtest/gtest.h>

#include "platform/FormLoader.h"

using namespace treskel;

namespace {

enum class TSide { sdLeft, sdTop, sdRight };
TRESKEL_ENUM_INFO(TSide, "sdLeft", "sdTop", "sdRight")
enum class TStyle { stBold, stItalic, stUnder };
TRESKEL_ENUM_INFO(TStyle, "stBold", "stItalic", "stUnder")

const IntIdents kColors{{{"clBlack", 0}, {"clRed", 0xFF}}};

class TLook : public TPersistent {
    TRESKEL_CLASS(TLook)
public:
    std::string name = "Arial";
    Set<TStyle> style;
    std::string Name() const { return name; }
    void SetName(const std::string& n) { name = n; }
    Set<TStyle> Style() const { return style; }
    void SetStyle(Set<TStyle> s) { style = s; }
};

class TItem : public TCollectionItem {
    TRESKEL_CLASS(TItem)
public:
    using TCollectionItem::TCollectionItem;
    int width = 50;
    int Width() const { return width; }
    void SetWidth(int w) { width = w; }
};

class TWidget : public TComponent {
    TRESKEL_CLASS(TWidget)
public:
    explicit TWidget(TComponent* owner) : TComponent(owner), items([](TCollection* c) { return new TItem(c); }) {}
    int width = 0, color = 0;
    bool visible = true;
    std::string caption;
    TSide side = TSide::sdLeft;
    TLook look;
    TStringList lines;
    TCollection items;
    TWidget* buddy = nullptr;
    TNotifyEvent OnClick;
    std::vector<TWidget*> kids;
    TWidget* parent = nullptr;
    std::vector<std::string>* loadLog = nullptr;

    int Width() const { return width; }
    void SetWidth(int w) { width = w; }
    int Color() const { return color; }
    void SetColor(int c) { color = c; }
    bool Visible() const { return visible; }
    void SetVisible(bool v) { visible = v; }
    std::string Caption() const { return caption; }
    void SetCaption(const std::string& c) { caption = c; }
    TSide Side() const { return side; }
    void SetSide(TSide s) { side = s; }
    TWidget* Buddy() const { return buddy; }
    void SetBuddy(TWidget* b) { buddy = b; }
    TLook* Look() { return &look; }
    TStringList* Lines() { return &lines; }
    TCollection* Items() { return &items; }

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return parent; }
    void SetParentComponent(TComponent* p) override {
        parent = dynamic_cast<TWidget*>(p);
        if (parent != nullptr) parent->kids.push_back(this);
    }
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override {
        for (auto* k : kids) proc(k);
    }
    void Loaded() override {
        TComponent::Loaded();
        // By now references are resolved.
        if (loadLog != nullptr) loadLog->push_back(Name() + (buddy ? "->" + buddy->Name() : ""));
    }
};

class TTestForm : public TWidget {
    TRESKEL_CLASS(TTestForm)
public:
    using TWidget::TWidget;
    TWidget* Button1 = nullptr;
    int clicks = 0;
    void Button1Click(TObject*) { ++clicks; }
    void WrongSignature(TObject*, int) {}
    bool HasParent() const override { return false; }
};

// A widget that publishes less: no side and no click, and its look only
// while it has a width.
class TPlainWidget : public TWidget {
    TRESKEL_CLASS(TPlainWidget)
public:
    using TWidget::TWidget;
};

void RegisterTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    PublishClass<TLook, TPersistent>()
        .String("Name", &TLook::Name, &TLook::SetName, "Arial")
        .SetOf<TStyle>("Style", &TLook::Style, &TLook::SetStyle, {});
    PublishClass<TItem, TCollectionItem>().Int("Width", &TItem::Width, &TItem::SetWidth, 50);
    PublishClass<TWidget, TComponent>()
        .Int("Width", &TWidget::Width, &TWidget::SetWidth)
        .Int("Color", &TWidget::Color, &TWidget::SetColor, 0, &kColors)
        .Bool("Visible", &TWidget::Visible, &TWidget::SetVisible, true)
        .String("Caption", &TWidget::Caption, &TWidget::SetCaption)
        .Enum<TSide>("Side", &TWidget::Side, &TWidget::SetSide, TSide::sdLeft)
        .Ref<TWidget>("Buddy", &TWidget::Buddy, &TWidget::SetBuddy)
        .Object("Look", &TWidget::Look)
        .Object("Lines", &TWidget::Lines)
        .Object("Items", &TWidget::Items)
        .Event("OnClick", &TWidget::OnClick)
        .Alias("Title", "Caption");
    PublishClass<TTestForm, TWidget>()
        .Handler("Button1Click", &TTestForm::Button1Click)
        .Handler("WrongSignature", &TTestForm::WrongSignature)
        .Field("Button1", &TTestForm::Button1);
    PublishClass<TPlainWidget, TWidget>()
        .Unpublish({"Side", "OnClick"})
        .Object("Look", &TPlainWidget::Look, [](TPlainWidget* w) { return w->Width() != 0; });
}

const char* kLayout = R"(
object Form1: TTestForm
  Width = 640
  Caption = 'It''s a ' + 'form'#13#10'!'
  Look.Style = [stBold, stUnder]
  // comments are allowed on their own lines
  object Button1: TWidget
    Side = sdRight
    Color = clRed
    Buddy = Edit1
    OnClick = Button1Click
    Title = 'Old name'
    Lines.Strings = (
      'one'
      'two')
    Items = <
      item
        Width = 255
      end
      item
      end>
    object Inner: TWidget
      Tag = 700
      Visible = False
    end
  end
  object Edit1: TWidget
    Width = -3
    Look.Name = 'Courier'
  end
end
)";

}  // namespace

class Layout : public testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
};

TEST_F(Layout, ReadsPropertiesChildrenReferencesAndEvents) {
    TTestForm form(nullptr);
    std::vector<std::string> log;
    form.loadLog = &log;
    ReadLayout(&form, kLayout, "test.form");
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.width, 640);
    EXPECT_EQ(form.caption, "It's a form\r\n!");
    EXPECT_EQ(form.look.style, (Set<TStyle>{TStyle::stBold, TStyle::stUnder}));
    ASSERT_NE(form.Button1, nullptr);
    TWidget* b = form.Button1;
    EXPECT_EQ(b->Owner(), &form);
    EXPECT_EQ(b->parent, &form);
    EXPECT_EQ(b->side, TSide::sdRight);
    EXPECT_EQ(b->color, 0xFF);
    EXPECT_EQ(b->caption, "Old name");  // read through the older name
    EXPECT_EQ(b->lines.ToVector(), (std::vector<std::string>{"one", "two"}));
    ASSERT_EQ(b->items.Count(), 2);
    EXPECT_EQ(static_cast<TItem*>(b->items.Items(0))->width, 255);
    EXPECT_EQ(static_cast<TItem*>(b->items.Items(1))->width, 50);
    auto* edit = dynamic_cast<TWidget*>(form.FindComponent("Edit1"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(b->buddy, edit);  // a forward reference, resolved after reading
    EXPECT_EQ(edit->look.name, "Courier");
    auto* inner = dynamic_cast<TWidget*>(form.FindComponent("Inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->parent, b);
    EXPECT_EQ(inner->Tag(), 700);
    EXPECT_FALSE(inner->visible);
    ASSERT_TRUE(b->OnClick);
    b->OnClick(b);
    EXPECT_EQ(form.clicks, 1);
    // Loaded runs once everything is read and referenced.
    EXPECT_EQ(log[0], "Form1");
    EXPECT_FALSE(form.IsLoading());
    EXPECT_FALSE(inner->IsLoading());
}

TEST_F(Layout, WritesWhatItReadsWithoutOlderNames) {
    TTestForm form(nullptr);
    ReadLayout(&form, kLayout, "test.form");
    std::string text = WriteLayout(&form);
    EXPECT_EQ(text.find("Title"), std::string::npos);
    EXPECT_NE(text.find("Caption = 'Old name'"), std::string::npos);
    EXPECT_NE(text.find("OnClick = Button1Click"), std::string::npos);
    EXPECT_NE(text.find("Color = clRed"), std::string::npos);
    EXPECT_NE(text.find("Caption = 'It''s a form'#13#10'!'"), std::string::npos);
    EXPECT_EQ(text.find("Visible = True"), std::string::npos);  // defaults are not written
    TTestForm again(nullptr);
    ReadLayout(&again, text, "written.form");
    EXPECT_EQ(WriteLayout(&again), text);
}

namespace {
std::string ErrorOf(const std::string& text) {
    TTestForm form(nullptr);
    try {
        ReadLayout(&form, text, "bad.form");
    } catch (const EReadError& e) {
        return e.Message();
    }
    return "no error";
}
}  // namespace

TEST_F(Layout, AReferenceToAnotherWindowsComponentGoesThroughThatWindow) {
    TWidget other(nullptr);
    other.SetName("Other");
    auto* store = Create<TWidget>(&other);
    store->SetName("Store");
    const LayoutGlobalFinder before = GlobalComponentFinder();
    GlobalComponentFinder() = [&](const std::string& name) -> TComponent* {
        return SameText(name, "Other.Store") ? store : nullptr;
    };
    const char* text = "object F: TWidget\n  object W: TWidget\n    Buddy = Other.Store\n  end\nend\n";
    TWidget form(nullptr);
    ReadLayout(&form, text, "cross.form");
    auto* w = dynamic_cast<TWidget*>(form.FindComponent("W"));
    EXPECT_EQ(w->Buddy(), store);
    EXPECT_NE(WriteLayout(&form).find("Buddy = Other.Store"), std::string::npos);
    // A window that is not there leaves the reference empty, no error.
    TWidget lonely(nullptr);
    ReadLayout(&lonely, "object F: TWidget\n  object W: TWidget\n    Buddy = Gone.Store\n  end\nend\n",
               "cross.form");
    EXPECT_EQ(dynamic_cast<TWidget*>(lonely.FindComponent("W"))->Buddy(), nullptr);
    GlobalComponentFinder() = before;
}

TEST_F(Layout, RejectsUnknownPropertiesAndClassesLoudly) {
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  Widht = 3\nend\n"),
              "bad.form(2): Error reading F.Widht: Property Widht does not exist");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  object X: TNoSuchThing\n  end\nend\n"),
              "bad.form(2): Error reading F.X: Class TNoSuchThing not found");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  Side = sdBottom\nend"),
              "bad.form(2): Error reading F.Side: Invalid property value sdBottom (a member of TSide expected)");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  Buddy = Nobody\nend"),
              "bad.form(2): Error reading F.Buddy: Invalid property value: no component named Nobody");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  OnClick = Missing\nend"),
              "bad.form(2): Error reading F.OnClick: TTestForm has no handler Missing");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  OnClick = WrongSignature\nend"),
              "bad.form(2): Error reading F.OnClick: Handler WrongSignature does not fit event OnClick");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  Look.Size = 3\nend"),
              "bad.form(2): Error reading F.Look.Size: Property Size does not exist");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  Caption = 'open\nend"), "bad.form(2): unterminated string");
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  Width = 1\n"), "bad.form(3): 'end' expected for object F");
    TWidget plain(nullptr);
    try {
        ReadLayout(&plain, "object F: TTestForm\nend", "bad.form");
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "bad.form(1): The layout is for a TTestForm, not a TWidget");
    }
    EXPECT_EQ(ErrorOf("object F: TTestForm\n  object A: TWidget\n  end\n  object a: TWidget\n  end\nend"),
              "bad.form(4): Error reading F.a: A component named a already exists");
}

TEST_F(Layout, AFailedReadLeavesNoComponentLoading) {
    TTestForm form(nullptr);
    EXPECT_THROW(ReadLayout(&form, "object F: TTestForm\n object A: TWidget\n Foo = 1\n end\nend", "x"), EReadError);
    for (int i = 0; i < form.ComponentCount(); ++i) EXPECT_FALSE(form.Components(i)->IsLoading());
    EXPECT_FALSE(form.IsLoading());
}

TEST_F(Layout, ADerivedClassMayWithholdPropertiesAndStoreASubObjectOnlyWhenItSays) {
    TWidget form(nullptr);
    form.SetName("F");
    auto* plain = Create<TPlainWidget>(&form);
    plain->SetName("Plain");
    plain->SetParentComponent(&form);
    plain->look.name = "Courier";
    plain->side = TSide::sdTop;
    plain->SetEventBinding("OnClick", "Clicked");
    std::string text = WriteLayout(&form);
    EXPECT_EQ(text.find("Look.Name"), std::string::npos) << text;  // no width: not stored
    EXPECT_EQ(text.find("Side"), std::string::npos) << text;
    EXPECT_EQ(text.find("OnClick"), std::string::npos) << text;
    plain->SetWidth(4);
    text = WriteLayout(&form);
    EXPECT_NE(text.find("    Look.Name = 'Courier'"), std::string::npos) << text;
    // A stored sub-object reads back; a withheld property is no property.
    TWidget again(nullptr);
    ReadLayout(&again, text, "written.form");
    EXPECT_EQ(dynamic_cast<TPlainWidget*>(again.FindComponent("Plain"))->look.name, "Courier");
    TWidget refused(nullptr);
    try {
        ReadLayout(&refused, "object F: TWidget\n  object P: TPlainWidget\n    Side = sdTop\n  end\nend", "bad.form");
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "bad.form(3): Error reading F.P.Side: Property Side does not exist");
    }
    // Registering the class again changes nothing.
    PublishClass<TPlainWidget, TWidget>().Unpublish({"Side"});
    EXPECT_EQ(ClassRegistry::Instance().Find("TPlainWidget")->FindProp("Side"), nullptr);
    EXPECT_NE(ClassRegistry::Instance().Find("TWidget")->FindProp("Side"), nullptr);
    auto unknown = [] { PublishClass<TPlainWidget, TWidget>().Unpublish({"NoSuchProperty"}); };
    EXPECT_THROW(unknown(), EPropertyError);
}

namespace treskel {
namespace {

std::string Repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

// A damaged layout that nests without end is refused where it goes too
// deep, not by running out of stack.
TEST(LayoutParse, DeepNestingAndHugeCharacterCodesAreErrorsThatSayWhere) {
    const auto errorOf = [](const std::string& text) {
        try {
            ParseLayout(text, "deep.form");
        } catch (const EReadError& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    const std::string tooDeep = ": the layout nests more than 64 levels deep";
    EXPECT_EQ(errorOf("object F: TTestForm\n  S = #4294967361\nend"), "deep.form(2): character code out of range");
    EXPECT_EQ(errorOf("object F: TTestForm\n  X = " + Repeat("(", 20000)),
              "deep.form(2): Error reading F.X" + Repeat("[0]", 63) + tooDeep);
    EXPECT_EQ(errorOf(Repeat("object A: TWidget\n", 20000)),
              "deep.form(65): Error reading " + Repeat("A.", 64) + "A" + tooDeep);
    EXPECT_EQ(errorOf("object F: TTestForm\n" + Repeat("  Items = < item\n", 20000)),
              "deep.form(33): Error reading F" + Repeat(".Items[0]", 32) + tooDeep);
    // Real layouts nest far less, and as deep as the limit is still read.
    const std::string deepest = "object F: TTestForm\n  X = " + Repeat("(", 63) + Repeat(")", 63) + "\nend";
    EXPECT_EQ(ParseLayout(deepest, "deep.form").props.at(0).value.kind, FormValue::kList);
}

}  // namespace
}  // namespace treskel
