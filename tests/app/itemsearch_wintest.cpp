// The item commands that order and find items on the real window:
// sorting, the caption searches and the item information dialog.
#include "ItemsTest.h"

namespace treskel::test {

// ---------------------------------------------------------------- sorting

class Sorting : public Items {
protected:
    // Top items in an order that neither sort keeps, and sub-items whose
    // byte order differs from their order by letters.
    void Build() {
        Start();
        for (const char* c : {"beta", "Alpha", "alpha", "Beta", "gamma"}) Add(W->NewRootItem, c);
        TTreeNode* gamma = Node("gamma");
        for (const char* c : {"a", "Z1", "z2"}) AddUnder(gamma, W->NewSubItem, c);
        // Sub-items are added first: now z2, Z1, a.
        ASSERT_EQ(Captions(gamma), (std::vector<std::string>{"z2", "Z1", "a"}));
    }
};

TEST_F(Sorting, AToZComparesLettersFirstAndCaseAfterOnEveryLevel) {
    Build();
    Run(W->SortAZ);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"alpha", "Alpha", "beta", "Beta", "gamma"}));
    EXPECT_EQ(Captions(Node("gamma")), (std::vector<std::string>{"a", "Z1", "z2"}));
}

TEST_F(Sorting, ZToAIgnoresLetterCaseAndDescendsOnEveryLevel) {
    Build();
    Run(W->SortZA);
    // Captions equal but for case keep their order.
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"gamma", "beta", "Beta", "Alpha", "alpha"}));
    EXPECT_EQ(Captions(Node("gamma")), (std::vector<std::string>{"z2", "Z1", "a"}));
    Run(W->SortAZ);
    Run(W->SortZA);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"gamma", "beta", "Beta", "alpha", "Alpha"}));
}

TEST_F(Sorting, TheSortedOrderIsTheOrderSaved) {
    Build();
    Run(W->SortZA);
    Restart();
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"gamma", "beta", "Beta", "Alpha", "alpha"}));
    EXPECT_EQ(Captions(Node("gamma")), (std::vector<std::string>{"z2", "Z1", "a"}));
}

// ---------------------------------------------------------------- search

class Searching : public Items {
protected:
    void Build() {
        Start();
        TTreeNode* intro = Add(W->NewItem, "Intro");
        AddUnder(intro, W->NewSubItem, "ALPHA list");
        Add(W->NewRootItem, "Alphabet");
        Select(Node("Intro"));
    }
};

TEST_F(Searching, WithoutMatchCaseTheFirstCaptionHoldingTheTextInAnyCaseIsSelected) {
    Build();
    Search(W->SearchItems, "alpha", false);
    ASSERT_NE(W->TreeView->Selected(), nullptr);
    // First in pre-order, though a later top item matches too.
    EXPECT_EQ(W->TreeView->Selected()->Text(), "ALPHA list");
    Search(W->SearchItems, "habe", false);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Alphabet");
    EXPECT_EQ(dialogs_.Shown(), (std::vector<std::string>{"TfrmSearch", "TfrmSearch"}));
}

TEST_F(Searching, WithMatchCaseOnlyTheTextAsItStandsMatches) {
    Build();
    Search(W->SearchItems, "alpha", true);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Intro");
    Search(W->SearchItems, "Alpha", true);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Alphabet");
}

TEST_F(Searching, NoMatchSaysSoAndACancelOrAnEmptyTextChangesNothing) {
    Build();
    Search(W->SearchItems, "nowhere", false);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Intro");
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "\"nowhere\" was not found in any item's caption.");
    EXPECT_EQ(MessageBoxes()[0].caption, "Search");
    Search(W->SearchSubItems, "Alphabet", false);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Intro");
    ASSERT_EQ(MessageBoxes().size(), 2u);
    EXPECT_EQ(MessageBoxes()[1].text, "\"Alphabet\" was not found in the captions of the sub-items.");
    MessageBoxes().clear();
    Search(W->SearchItems, "", false);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Intro");
    // Cancel, after typing.
    dialogs_.Queue([](TCustomForm& f) {
        auto* s = dynamic_cast<TfrmSearch*>(&f);
        ASSERT_NE(s, nullptr);
        Type(s->txtSearch, "Alphabet");
        Click(s->CancelBtn);
    });
    Run(W->SearchItems);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Intro");
    EXPECT_TRUE(MessageBoxes().empty());
}

TEST_F(Searching, SubItemSearchLooksOnlyBelowTheSelection) {
    Start();
    Add(W->NewItem, "alpha first");
    TTreeNode* root = Add(W->NewRootItem, "Alpha root");
    TTreeNode* mid = AddUnder(root, W->NewSubItem, "middle");
    AddUnder(mid, W->NewSubItem, "alpha leaf");
    Add(W->NewRootItem, "alpha last");
    Select(root);
    Search(W->SearchSubItems, "alpha", false);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "alpha leaf");
    // The selection itself is not searched.
    Select(mid);
    Search(W->SearchSubItems, "middle", false);
    EXPECT_EQ(W->TreeView->Selected(), mid);
}

TEST_F(Searching, TheDialogStartsEmptyEachTimeAndKeepsMatchCase) {
    Build();
    Search(W->SearchItems, "Alphabet", true);
    Search(W->SearchItems, "Intro");
    ASSERT_EQ(searchSeen_.size(), 2u);
    EXPECT_EQ(searchSeen_[1].text, "");
    EXPECT_TRUE(searchSeen_[1].matchCase);
    for (const SearchSeen& seen : searchSeen_) EXPECT_TRUE(seen.editFocused);
    EXPECT_EQ(W->TreeView->Selected()->Text(), "Intro");
    Search(W->SearchItems, "x", false);
    Search(W->SearchItems, "y");
    EXPECT_FALSE(searchSeen_[3].matchCase);

    TfrmSearch* s = SearchForm();
    EXPECT_EQ(s->Caption(), "Search");
    EXPECT_EQ(s->FormClientWidth(), 319);
    EXPECT_EQ(s->FormClientHeight(), 110);
    EXPECT_EQ(s->Label1->Caption(), "Enter the text you are searching for:");
    EXPECT_EQ(s->chkMatchCase->Caption(), "Match case");
    EXPECT_EQ(s, frmSearch);
}

TEST_F(Searching, ASearchReachesASubItemOfALockedItemAndShowsItsNote) {
    Start();
    TTreeNode* vault = Add(W->NewItem, "Vault");
    TTreeNode* inside = AddUnder(vault, W->NewSubItem, "Inside");
    SaveNote(inside, "inside note");
    Add(W->NewRootItem, "Elsewhere");
    Lock(vault, "pw");
    Select(Node("Elsewhere"));
    Search(W->SearchItems, "inside", false);
    EXPECT_EQ(W->TreeView->Selected(), inside);
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_EQ(Editor(), "inside note");
}

// ---------------------------------------------------------------- item information

TEST_F(Items, ItemInformationShowsTheRecordOfAnItem) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Shopping");
    AddUnder(item, W->NewSubItem, "Milk");
    AddUnder(item, W->NewSubItem, "Bread");
    InfoSeen seen = ItemInfo(item);
    EXPECT_EQ(seen.caption, "Item Information");
    EXPECT_EQ(seen.name, "Shopping");
    EXPECT_EQ(seen.count, "2");
    EXPECT_EQ(seen.fileName, IntToStr(Record(item)->Id));
    EXPECT_FALSE(seen.locked);
    EXPECT_FALSE(seen.link);
    EXPECT_EQ(dialogs_.Shown(), std::vector<std::string>{"TfrmItemInfo"});
    // The dialog is gone once closed.
    PumpMessages();
    for (int i = 0; i < W->ComponentCount(); ++i)
        EXPECT_EQ(dynamic_cast<TfrmItemInfo*>(W->Components(i)), nullptr);

    Lock(item, "pw");
    seen = ItemInfo(item);
    EXPECT_TRUE(seen.locked);
    EXPECT_EQ(seen.count, "2");
}

TEST_F(Items, ItemInformationTitlesDockBesideTheirFields) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Shopping");
    Select(item);
    struct Placed {
        TRect label, edit;
        std::string caption;
        bool autoSize;
    };
    std::vector<Placed> placed;
    dialogs_.Queue([&placed](TCustomForm& f) {
        auto* info = dynamic_cast<TfrmItemInfo*>(&f);
        ASSERT_NE(info, nullptr);
        for (auto [label, edit] : {std::pair{info->Label1, info->Edit1}, {info->Label2, info->Edit3},
                                   {info->Label3, info->Edit4}})
            placed.push_back({label->BoundsRect(), edit->BoundsRect(), label->Caption(), label->AutoSize()});
        Click(info->OKBtn);
    });
    Run(W->DisplayItemInfo);
    ASSERT_EQ(placed.size(), 3u);
    const char* captions[] = {"Item Name: ", "Sub-Item count: ", "File Name: "};
    for (size_t i = 0; i < 3; ++i) {
        const Placed& p = placed[i];
        EXPECT_EQ(p.caption, captions[i]);
        EXPECT_EQ(p.label.Right, p.edit.Left - 1) << i;  // one pixel to the left
        EXPECT_EQ(p.label.Top, p.edit.Top) << i;
        EXPECT_EQ(p.label.Height(), p.edit.Height()) << i;
        EXPECT_EQ(p.autoSize, i > 0) << i;
    }
    EXPECT_EQ(placed[0].label.Width(), 90);
    EXPECT_LT(placed[2].label.Width(), placed[1].label.Width());  // sized to "File Name: "
}

TEST_F(Items, ItemInformationOfALinkNamesItsOriginsFile) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Origin");
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    InfoSeen seen = ItemInfo(link);
    EXPECT_EQ(seen.name, "Origin");
    EXPECT_EQ(seen.count, "0");
    EXPECT_EQ(seen.fileName, IntToStr(Record(origin)->Id));
    EXPECT_TRUE(seen.link);
    EXPECT_FALSE(seen.locked);
}

}  // namespace treskel::test
