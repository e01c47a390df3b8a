// The item style bar over the tree (colour box and B, I, U, S buttons)
// follows the selected item whichever road selects it, so that its buttons
// change the item the way they show.
#include "MainWindowTest.h"

#include "app/SearchDialog.h"

namespace treskel::test {

class StyleBar : public MainWindowDialogsTest {
protected:
    // An item with this colour and style, as an earlier session left it.
    TTreeNode* AddItem(const std::string& caption, uint8_t colour, uint8_t style) {
        TTreeNode* n = W->TreeView->Items()->Add(nullptr, caption);
        AsItem(n)->SetData(W->NewItemRecord(false, NewItemId(W->ItemTree(), W->Notes)));
        AsItem(n)->SetImageIndex(ImgItem);
        Record(n)->ColourIndex = colour;
        Record(n)->Style = style;
        W->EnableByTag(TagNeedsItem);
        return n;
    }
    static std::string Shown(int colour, bool b, bool i, bool u, bool s) {
        return "colour " + IntToStr(colour) + " " + (b ? "B" : "-") + (i ? "I" : "-") + (u ? "U" : "-") +
               (s ? "S" : "-");
    }
    // What the bar shows, and what it should show for an item.
    std::string Bar() {
        return Shown(W->ColorCombo->ItemIndex(), W->ToolButton14->Down(), W->ToolButton19->Down(),
                     W->ToolButton20->Down(), W->ToolButton22->Down());
    }
    std::string StyleOf(TTreeNode* n) {
        const int s = Record(n)->Style;
        return Shown(Record(n)->ColourIndex, s & 1, s & 2, s & 4, s & 8);
    }
    void ClickItem(TTreeNode* n) { MouseClickAt(Tree(), Center(n->DisplayRect(true))); }
    void ClickTab(const std::string& name) {
        RECT r{};
        const HWND tabs = W->TabControl1->Handle();
        SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(W->TabControl1->Tabs()->IndexOf(name)),
                     reinterpret_cast<LPARAM>(&r));
        MouseClickAt(tabs, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    // The bar shows the selected item; its Italic button then gives the
    // item italic exactly when it shows it not italic, and shows the change.
    void ExpectTheBarFollows(const std::string& road) {
        TTreeNode* n = W->TreeView->Selected();
        ASSERT_NE(n, nullptr) << road;
        EXPECT_EQ(Bar(), StyleOf(n)) << road << ", " << n->Text();
        const bool italic = (Record(n)->Style & 2) != 0;
        MouseClickTool(W->ToolButton19);
        EXPECT_EQ((Record(n)->Style & 2) != 0, !italic) << road << ", " << n->Text();
        EXPECT_EQ(Bar(), StyleOf(n)) << road << ", " << n->Text();
    }
};

TEST_F(StyleBar, FollowsTheSelectedItemWhicheverRoadSelectsIt) {
    StartWindow();
    NewTreskel("Work");
    AddItem("Elsewhere", 7, 8);
    NewTreskel("Notes");
    AddItem("Alpha", 3, 1);
    AddItem("Beta", 5, 6);
    AddItem("Gamma", 0, 0);
    AddItem("Delta", 9, 15);

    // A start enters the first tab's first item.
    Restart();
    ASSERT_EQ(W->TabControl1->Tabs()->Get(W->TabControl1->TabIndex()), "Notes");
    ASSERT_EQ(W->TreeView->Selected(), Node("Alpha"));
    ExpectTheBarFollows("start");

    ClickItem(Node("Gamma"));
    ExpectTheBarFollows("click");
    TapKey(VK_UP);
    ASSERT_EQ(W->TreeView->Selected(), Node("Beta"));
    ExpectTheBarFollows("Up");
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    ASSERT_EQ(W->TreeView->Selected(), Node("Delta"));
    ExpectTheBarFollows("Down");

    dialogs_.Queue([](TCustomForm& f) {
        auto* search = dynamic_cast<TfrmSearch*>(&f);
        ASSERT_NE(search, nullptr) << f.ClassName();
        TypeIntoFocus("alp");
        TapKey(VK_RETURN);
    });
    MouseClickTool("SearchButton");
    ASSERT_EQ(W->TreeView->Selected(), Node("Alpha"));
    ExpectTheBarFollows("Search Items");

    ClickItem(Node("Delta"));
    AnswerNextBox(IDYES);
    MouseClickTool("RemoveButton");
    ASSERT_EQ(Node("Delta"), nullptr);
    ExpectTheBarFollows("removal");

    ClickTab("Work");
    ASSERT_EQ(W->TreeView->Selected(), Node("Elsewhere"));
    ExpectTheBarFollows("tab");

    // The styles the buttons gave are the items' own at the next start.
    auto styles = [this] {
        std::string all;
        for (const char* caption : {"Alpha", "Beta", "Gamma"}) all += StyleOf(Node(caption)) + "; ";
        return all;
    };
    ClickTab("Notes");
    ASSERT_EQ(W->TreeView->Items()->Count(), 3);
    const std::string before = styles();
    Restart();
    EXPECT_EQ(styles(), before);
    ExpectTheBarFollows("the next start");
}

}  // namespace treskel::test
