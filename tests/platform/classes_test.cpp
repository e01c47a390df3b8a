#include <gtest/gtest.h>

#include "platform/Classes.h"

using namespace treskel;

namespace {

// Records what it hears and clears its reference when the target goes.
class Watcher : public TComponent {
    TRESKEL_CLASS(Watcher)
public:
    Watcher(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
    ~Watcher() override {
        if (log_ != nullptr) log_->push_back("free " + Name());
    }
    TComponent* Target = nullptr;
    void SetTarget(TComponent* c) {
        Target = c;
        if (c != nullptr) c->FreeNotification(this);
    }

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove && c == Target) {
            Target = nullptr;
            if (log_ != nullptr) log_->push_back(Name() + " lost " + c->Name());
        }
    }

private:
    std::vector<std::string>* log_;
};

}  // namespace

TEST(Component, OwnerFreesInReverseOrder) {
    std::vector<std::string> log;
    {
        TComponent root(nullptr);
        for (const char* n : {"a", "b", "c"}) Create<Watcher>(&root, &log)->SetName(n);
        EXPECT_EQ(root.ComponentCount(), 3);
        EXPECT_EQ(root.FindComponent("B")->Name(), "b");
        EXPECT_EQ(root.Components(2)->ComponentIndex(), 2);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"free c", "free b", "free a"}));
}

TEST(Component, FreedComponentIsRemovedFromEveryReferrer) {
    std::vector<std::string> log;
    TComponent form(nullptr);
    TComponent other(nullptr);  // not owned by the form: needs FreeNotification
    auto* target = Create<Watcher>(&form, &log);
    target->SetName("target");
    auto* sibling = Create<Watcher>(&form, &log);
    sibling->SetName("sibling");
    sibling->Target = target;  // a sibling hears through the owner alone
    auto* outsider = Create<Watcher>(&other, &log);
    outsider->SetName("outsider");
    outsider->SetTarget(target);

    delete target;
    EXPECT_EQ(sibling->Target, nullptr);
    EXPECT_EQ(outsider->Target, nullptr);
    EXPECT_EQ(form.ComponentCount(), 1);
    // The outsider, who asked, is told before the owner's components.
    EXPECT_EQ(log, (std::vector<std::string>{"free target", "outsider lost target", "sibling lost target"}));
}

TEST(Component, FreeNotificationIsMutual) {
    TComponent a(nullptr), b(nullptr);
    auto* w = Create<Watcher>(&a, nullptr);
    auto* t = Create<Watcher>(&b, nullptr);
    w->SetTarget(t);
    delete w;  // the target must forget the watcher, or it would call a freed object
    delete t;
    SUCCEED();
}

TEST(Component, NamesAreValidatedAndUnique) {
    TComponent root(nullptr);
    auto* a = Create<TComponent>(&root);
    a->SetName("Button1");
    auto* b = Create<TComponent>(&root);
    EXPECT_THROW(b->SetName("button1"), EComponentError);
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    b->SetName("Button2");
    a->SetName("BUTTON1");  // renaming to itself in another case is fine
    EXPECT_EQ(root.FindComponent("button2"), b);
}

TEST(Component, DestroyingStateReachesOwnedComponents) {
    struct Probe : TComponent {
        using TComponent::TComponent;
        bool* sawDestroying = nullptr;
        TComponent* sibling = nullptr;
        ~Probe() override {
            if (sawDestroying != nullptr) *sawDestroying = sibling->IsDestroying();
        }
    };
    bool saw = false;
    {
        TComponent root(nullptr);
        auto* keep = Create<TComponent>(&root);
        auto* p = Create<Probe>(&root);
        p->sawDestroying = &saw;
        p->sibling = keep;
    }
    EXPECT_TRUE(saw);
}

TEST(StringList, SortedFindAndDuplicates) {
    TStringList l;
    l.SetSorted(true);
    l.Add("pear");
    l.Add("Apple");
    l.Add("banana");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"Apple", "banana", "pear"}));
    EXPECT_EQ(l.Add("APPLE"), 0);  // dupIgnore: the old index
    EXPECT_EQ(l.Count(), 3);
    l.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(l.Add("Pear"), EStringListError);
    int i;
    EXPECT_FALSE(l.Find("cherry", i));
    EXPECT_EQ(i, 2);
    EXPECT_THROW(l.Get(3), EStringListError);
    EXPECT_THROW(l.Put(0, "x"), EStringListError);
}

TEST(StringList, TextSplitsEveryLineEnd) {
    TStringList l;
    l.SetText("one\r\ntwo\nthree\rfour\r\n\r\nsix");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"one", "two", "three", "four", "", "six"}));
    EXPECT_EQ(l.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList l{"a", "b c", "", "d\"e", "f,g"};
    EXPECT_EQ(l.CommaText(), "a,\"b c\",\"\",\"d\"\"e\",\"f,g\"");
    TStringList back;
    back.SetCommaText(l.CommaText());
    EXPECT_TRUE(back.Equals(l));
}

TEST(StringList, ValuesAndNames) {
    TStringList l;
    l.SetValue("Width", "10");
    l.SetValue("height", "20");
    l.SetValue("WIDTH", "30");
    EXPECT_EQ(l.Values("width"), "30");
    EXPECT_EQ(l.Names(1), "height");
    l.SetValue("height", "");
    EXPECT_EQ(l.Count(), 1);
}

TEST(StringList, ChangeEventsAreBatchedByUpdates) {
    TStringList l;
    int changes = 0;
    l.OnChange = [&](TObject*) { ++changes; };
    l.Add("a");
    EXPECT_EQ(changes, 1);
    l.BeginUpdate();
    l.Add("b");
    l.Add("c");
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
}

TEST(StringList, CustomSortSeesTheListAsItStands) {
    TStringList l{"3", "1", "2"};
    l.CustomSort([](TStringList& list, int a, int b) { return StrToInt(list[a]) - StrToInt(list[b]); });
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST(List, IndexErrorsNameTheIndex) {
    TList l;
    int x = 0;
    l.Add(&x);
    try {
        l.Items(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    l.Add(nullptr);
    l.Pack();
    EXPECT_EQ(l.Count(), 1);
}

namespace {
struct Panel : TCollectionItem {
    TRESKEL_CLASS(Panel)
public:
    using TCollectionItem::TCollectionItem;
    int Width = 50;
    void Assign(TPersistent* s) override { Width = static_cast<Panel*>(s)->Width; }
};
}  // namespace

TEST(Collection, AddDeleteAssignAndUpdateBatching) {
    TCollection c([](TCollection* owner) { return new Panel(owner); });
    int updates = 0;
    c.OnUpdate = [&](TCollectionItem*) { ++updates; };
    static_cast<Panel*>(c.Add())->Width = 255;
    c.Add();
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Items(1)->Index(), 1);
    TCollection copy([](TCollection* owner) { return new Panel(owner); });
    copy.Assign(&c);
    EXPECT_EQ(static_cast<Panel*>(copy.Items(0))->Width, 255);
    updates = 0;
    c.BeginUpdate();
    c.Delete(0);
    c.Add();
    c.EndUpdate();
    EXPECT_EQ(updates, 1);
    EXPECT_THROW(c.Items(2), EListError);
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaises) {
    TStringList l;
    TCollection c([](TCollection* owner) { return new Panel(owner); });
    try {
        l.Assign(&c);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TCollection to a TStringList");
    }
}
