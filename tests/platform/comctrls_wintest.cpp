// The tree driven for real: tree nodes and the tree window that mirrors
// them, with events, mouse input, painting and drag and drop (the other
// common controls are in comctrlsbars_wintest).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/ComCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"
#include "platform/Subclass.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"
#include "support/TreeShapes.h"

using namespace treskel;
using namespace treskel::test;

namespace {

// ------------------------------------------------------------ helpers

// "A(B,C+(D))": captions, '+' on an expanded node with sub-items.
std::string ModelShape(TTreeNode* first) {
    std::string s;
    for (TTreeNode* n = first; n != nullptr; n = n->GetNextSibling()) {
        if (!s.empty()) s += ",";
        s += n->Text();
        if (n->Count() > 0) s += std::string(n->Expanded() ? "+" : "") + "(" + ModelShape(n->GetFirstChild()) + ")";
    }
    return s;
}

std::string ModelShape(TCustomTreeView* tree) { return ModelShape(tree->Items()->GetFirstNode()); }

// The model as the window should show it: the sub-items of a closed node
// may wait outside the window ("(...)") until it opens or one is needed.
std::string ShownShape(TTreeNode* first, int& inWindow) {
    std::string s;
    for (TTreeNode* n = first; n != nullptr; n = n->GetNextSibling()) {
        if (!s.empty()) s += ",";
        s += n->Text();
        if (n->ItemId() != nullptr) ++inWindow;
        if (n->Count() == 0) continue;
        if (n->GetFirstChild()->ItemId() == nullptr && !n->Expanded())
            s += "(...)";
        else
            s += std::string(n->Expanded() ? "+" : "") + "(" + ShownShape(n->GetFirstChild(), inWindow) + ")";
    }
    return s;
}

// The same read back from the window; every item must carry its node.
std::string WindowShape(HWND wnd, HTREEITEM first, TTreeNode* expectFirst, std::string& errors) {
    std::string s;
    TTreeNode* node = expectFirst;
    for (HTREEITEM item = first; item != nullptr;
         item = reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        char text[256] = {};
        TVITEMA it{};
        it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
        it.hItem = item;
        it.pszText = text;
        it.cchTextMax = sizeof text;
        it.stateMask = TVIS_EXPANDED;
        SendMessageA(wnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        if (reinterpret_cast<TTreeNode*>(it.lParam) != node) errors += std::string("[item ") + text + " is not its node]";
        if (node != nullptr && node->ItemId() != item) errors += std::string("[node ") + text + " lost its item]";
        if (!s.empty()) s += ",";
        s += text;
        auto child = reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        if (child != nullptr) {
            s += std::string((it.state & TVIS_EXPANDED) ? "+" : "") + "(" +
                 WindowShape(wnd, child, node != nullptr ? node->GetFirstChild() : nullptr, errors) + ")";
        } else if (node != nullptr && node->Count() > 0) {
            s += "(...)";
        }
        node = node != nullptr ? node->GetNextSibling() : nullptr;
    }
    return s;
}

// Checks that the window shows exactly the model: order, captions,
// expansion, item-node pairing and the selection.
void ExpectMirrors(TCustomTreeView* tree) {
    HWND wnd = tree->Handle();
    std::string errors;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    std::string shown = WindowShape(wnd, root, tree->Items()->GetFirstNode(), errors);
    int inWindow = 0;
    EXPECT_EQ(shown, ShownShape(tree->Items()->GetFirstNode(), inWindow));
    EXPECT_EQ(errors, "");
    EXPECT_EQ(static_cast<int>(SendMessageA(wnd, TVM_GETCOUNT, 0, 0)), inWindow);
    auto caret = reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(caret, tree->Selected() != nullptr ? tree->Selected()->ItemId() : nullptr);
}

struct TreeForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TTreeView* tree = nullptr;
    explicit TreeForm(bool show = true) {
        form->SetBounds(40, 40, 420, 460);
        tree = Create<TTreeView>(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(0, 0, 400, 420);
        if (show) {
            form->Show();
            PumpMessages();
        }
    }
};

// Root(A(A1,A2),B,C(C1(C1a)))
struct Sample {
    TTreeNode *A, *A1, *A2, *B, *C, *C1, *C1a;
    explicit Sample(TTreeNodes* items) {
        A = items->Add(nullptr, "A");
        B = items->Add(nullptr, "B");
        C = items->Add(nullptr, "C");
        A1 = items->AddChild(A, "A1");
        A2 = items->AddChild(A, "A2");
        C1 = items->AddChild(C, "C1");
        C1a = items->AddChild(C1, "C1a");
    }
};

TPoint Center(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// The tree view follows a press with the mouse until the button is up:
// the whole click must be waiting in the queue.
void PostClick(HWND wnd, TPoint p, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    treskel::test::PostClick(wnd, p.x, p.y, down, up);
}


// Fills the tree as a treskel loads: inside one update, each node opened
// once its sub-items are in.  The window takes them all when it ends.
void FillShape(TCustomTreeView* tree, const std::vector<std::pair<int, bool>>& shape) {
    TTreeNodes* items = tree->Items();
    items->BeginUpdate();
    std::vector<TTreeNode*> parents, opened;
    for (const auto& [level, open] : shape) {
        parents.resize(static_cast<size_t>(level));
        parents.push_back(items->AddChild(parents.empty() ? nullptr : parents.back(), "Item " + std::to_string(items->Count())));
        if (open) opened.push_back(parents.back());
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) (*it)->SetExpanded(true);
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
    items->EndUpdate();
}

}  // namespace

// ============================================================ tree model

TEST(TreeNodes, AddModesPlaceNodesAndNavigationFollows) {
    TreeForm f(false);
    TTreeNodes* items = f.tree->Items();
    TTreeNode* b = items->Add(nullptr, "B");
    TTreeNode* d = items->Add(b, "D");
    items->AddFirst(d, "A");
    items->Insert(d, "C");
    TTreeNode* b2 = items->AddChild(b, "B2");
    items->AddChildFirst(b, "B1");
    items->AddChild(b2, "B2a");
    EXPECT_EQ(ModelShape(f.tree), "A,B(B1,B2(B2a)),C,D");
    EXPECT_EQ(items->Count(), 7);
    EXPECT_EQ(items->TopLevelCount(), 4);
    EXPECT_EQ(b2->Level(), 1);
    EXPECT_EQ(b2->Item(0)->Level(), 2);
    EXPECT_EQ(b2->Index(), 1);
    EXPECT_EQ(b2->Parent(), b);
    EXPECT_EQ(b->Parent(), nullptr);
    EXPECT_EQ(d->AbsoluteIndex(), 6);
    EXPECT_EQ(items->Item(4)->Text(), "B2a");
    std::string order;
    for (TTreeNode* n = items->GetFirstNode(); n != nullptr; n = n->GetNext()) order += n->Text() + " ";
    EXPECT_EQ(order, "A B B1 B2 B2a C D ");
    EXPECT_EQ(b->GetFirstChild()->Text(), "B1");
    EXPECT_EQ(b->GetLastChild(), b2);
    EXPECT_EQ(b2->GetPrevSibling()->Text(), "B1");
    EXPECT_EQ(b2->GetNextSibling(), nullptr);
    EXPECT_TRUE(b2->Item(0)->HasAsParent(b));
    EXPECT_FALSE(b->HasAsParent(b2));
    EXPECT_THROW(b->Item(2), EListError);
}

TEST(TreeNodes, MoveToEveryModeAndRefusesItsOwnSubTree) {
    TreeForm f(false);
    Sample s(f.tree->Items());
    s.A2->MoveTo(s.B, TNodeAttachMode::naAdd);
    EXPECT_EQ(ModelShape(f.tree), "A(A1),B,C(C1(C1a)),A2");
    s.A2->MoveTo(s.C1a, TNodeAttachMode::naAddFirst);
    EXPECT_EQ(ModelShape(f.tree), "A(A1),B,C(C1(A2,C1a))");
    s.C1->MoveTo(s.B, TNodeAttachMode::naAddChild);
    EXPECT_EQ(ModelShape(f.tree), "A(A1),B(C1(A2,C1a)),C");
    s.C->MoveTo(s.A, TNodeAttachMode::naAddChildFirst);
    EXPECT_EQ(ModelShape(f.tree), "A(C,A1),B(C1(A2,C1a))");
    s.C1a->MoveTo(s.A, TNodeAttachMode::naInsert);
    EXPECT_EQ(ModelShape(f.tree), "C1a,A(C,A1),B(C1(A2))");
    // To the end of its own siblings, and to the top level.
    s.C->MoveTo(s.C, TNodeAttachMode::naAdd);
    EXPECT_EQ(ModelShape(f.tree), "C1a,A(A1,C),B(C1(A2))");
    s.C->MoveTo(nullptr, TNodeAttachMode::naAddChild);
    EXPECT_EQ(ModelShape(f.tree), "C1a,A(A1),B(C1(A2)),C");
    EXPECT_THROW(s.B->MoveTo(s.A2, TNodeAttachMode::naAddChild), ETreeViewError);
    EXPECT_THROW(s.B->MoveTo(s.C1, TNodeAttachMode::naInsert), ETreeViewError);
    EXPECT_THROW(s.B->MoveTo(s.B, TNodeAttachMode::naAddChild), ETreeViewError);
    EXPECT_EQ(ModelShape(f.tree), "C1a,A(A1),B(C1(A2)),C");
    EXPECT_EQ(f.tree->Items()->Count(), 7);
    TreeForm other(false);
    TTreeNode* stranger = other.tree->Items()->Add(nullptr, "X");
    EXPECT_THROW(s.A->MoveTo(stranger, TNodeAttachMode::naAdd), ETreeViewError);
}

TEST(TreeNodes, DeletingFreesTheBranchChildrenFirstAndMovesTheSelection) {
    TreeForm f(false);
    Sample s(f.tree->Items());
    std::vector<std::string> deleted, events;
    f.tree->OnDeletion = [&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); };
    f.tree->OnChanging = [&](TObject*, TTreeNode* n, bool&) {
        TTreeNode* from = f.tree->Selected();
        events.push_back("changing " + (from ? from->Text() : "-") + "->" + (n ? n->Text() : "-") + " count " +
                         std::to_string(f.tree->Items()->Count()));
    };
    f.tree->OnChange = [&](TObject*, TTreeNode* n) {
        events.push_back("change " + n->Text() + " count " + std::to_string(f.tree->Items()->Count()));
    };
    s.C1a->SetSelected(true);
    events.clear();
    s.C->Delete();
    EXPECT_EQ(deleted, (std::vector<std::string>{"C1a", "C1", "C"}));
    // Told while the branch is there, then told again once it is gone.
    EXPECT_EQ(events, (std::vector<std::string>{"changing C1a->B count 7", "change B count 4"}));
    EXPECT_EQ(f.tree->Selected(), s.B);
    EXPECT_EQ(ModelShape(f.tree), "A(A1,A2),B");
    // The last sub-item gone, the parent takes the selection and is no
    // longer expanded.
    s.A->Expand(false);
    s.A2->SetSelected(true);
    s.A1->Delete();
    s.A2->Delete();
    EXPECT_EQ(f.tree->Selected(), s.A);
    EXPECT_FALSE(s.A->Expanded());
    EXPECT_FALSE(s.A->HasChildren());
    // The tree emptied: no selection, no events.
    events.clear();
    f.tree->Items()->Clear();
    EXPECT_EQ(f.tree->Selected(), nullptr);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(f.tree->Items()->Count(), 0);
}

TEST(TreeNodes, AVeryDeepTreeIsBuiltAndFreedWithoutExhaustingTheStack) {
    TreeForm f(false);
    TTreeNode* n = nullptr;
    for (int i = 0; i < 200000; ++i) n = f.tree->Items()->AddChild(n, "x");
    EXPECT_EQ(f.tree->Items()->Count(), 200000);
    EXPECT_EQ(n->Level(), 199999);
    TTreeNode* top = f.tree->Items()->GetFirstNode();
    top->GetFirstChild()->Delete();
    EXPECT_EQ(f.tree->Items()->Count(), 1);
    n = top;
    for (int i = 0; i < 200000; ++i) n = f.tree->Items()->AddChild(n, "y");
    // ... and the view goes with the whole branch.
}

TEST(TreeNodes, ExpansionAsksTheEventsAndNeedsSubItems) {
    TreeForm f(false);
    Sample s(f.tree->Items());
    std::vector<std::string> log;
    f.tree->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) {
        log.push_back("expanding " + n->Text());
        allow = n != s.C1;
    };
    f.tree->OnExpanded = [&](TObject*, TTreeNode* n) { log.push_back("expanded " + n->Text()); };
    f.tree->OnCollapsed = [&](TObject*, TTreeNode* n) { log.push_back("collapsed " + n->Text()); };
    s.B->SetExpanded(true);  // no sub-items: nothing to open
    EXPECT_FALSE(s.B->Expanded());
    s.C->Expand(true);
    EXPECT_TRUE(s.C->Expanded());
    EXPECT_FALSE(s.C1->Expanded());  // refused
    EXPECT_EQ(log, (std::vector<std::string>{"expanding C", "expanded C", "expanding C1"}));
    // Selecting a node opens its parents, as far as they let it.
    s.A1->SetSelected(true);
    EXPECT_TRUE(s.A->Expanded());
    s.A->Collapse(false);
    EXPECT_EQ(f.tree->Selected(), s.A);  // the selection leaves what closes
    EXPECT_EQ(log.back(), "collapsed A");
}

TEST(TreeNodes, SortingIsCaseSensitiveByDefaultOrByTheCompareEvent) {
    TreeForm f(false);
    TTreeNodes* items = f.tree->Items();
    for (const char* t : {"beta", "Alpha", "alpha", "Gamma", "Beta"}) items->Add(nullptr, t);
    TTreeNode* g = items->Item(3);
    for (const char* t : {"z", "y", "X"}) items->AddChild(g, t);
    f.tree->AlphaSort(true);
    // Locale order, lower case before upper case of the same letters.
    EXPECT_EQ(ModelShape(f.tree), "alpha,Alpha,beta,Beta,Gamma(X,y,z)");
    EXPECT_EQ(items->Item(0)->Index(), 0);
    f.tree->CustomSort([](TTreeNode* a, TTreeNode* b) {
        return -CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a->Text().c_str(), -1, b->Text().c_str(), -1) + 2;
    }, true);
    EXPECT_EQ(ModelShape(f.tree), "Gamma(z,y,X),beta,Beta,alpha,Alpha");
    g->AlphaSort();
    EXPECT_EQ(ModelShape(f.tree), "Gamma(X,y,z),beta,Beta,alpha,Alpha");
    f.tree->OnCompare = [](TObject*, TTreeNode* a, TTreeNode* b, int& c) {
        c = static_cast<int>(a->Text().size()) - static_cast<int>(b->Text().size());
    };
    f.tree->AlphaSort(false);  // stable: equal lengths keep their order
    EXPECT_EQ(ModelShape(f.tree), "beta,Beta,Gamma(X,y,z),alpha,Alpha");
    // A comparison that throws leaves the order as it was.
    f.tree->OnCompare = [](TObject*, TTreeNode*, TTreeNode*, int&) { throw EConvertError("no"); };
    EXPECT_THROW(f.tree->AlphaSort(false), EConvertError);
    EXPECT_EQ(ModelShape(f.tree), "beta,Beta,Gamma(X,y,z),alpha,Alpha");
    EXPECT_EQ(items->Count(), 8);
}

TEST(TreeNodes, ASortedViewKeepsNewAndRenamedNodesInOrder) {
    TreeForm f;
    f.tree->SetSortType(TSortType::stText);
    TTreeNodes* items = f.tree->Items();
    items->Add(nullptr, "m");
    TTreeNode* z = items->Add(nullptr, "z");
    items->AddFirst(nullptr, "q");
    items->Insert(z, "a");
    EXPECT_EQ(ModelShape(f.tree), "a,m,q,z");
    z->SetText("b");
    EXPECT_EQ(ModelShape(f.tree), "a,b,m,q");
    ExpectMirrors(f.tree);
}

TEST(TreeNodes, ANodeFactoryMakesNodesOfTheProgramsClass) {
    struct Owning : TTreeNode {
        explicit Owning(TTreeNodes* o, int* freed) : TTreeNode(o), freed_(freed) {}
        ~Owning() override { ++*freed_; }
        int* freed_;
    };
    int freed = 0;
    {
        TreeForm f(false);
        f.tree->NodeFactory = [&freed](TTreeNodes* o) { return std::make_unique<Owning>(o, &freed); };
        TTreeNode* a = f.tree->Items()->Add(nullptr, "a");
        f.tree->Items()->AddChild(a, "b");
        EXPECT_NE(dynamic_cast<Owning*>(a), nullptr);
        f.tree->Items()->AddChild(a, "c")->Delete();
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 3);
}

// ============================================================ tree window

TEST(TreeView, TheWindowMirrorsAddsMovesSortsAndDeletes) {
    TreeForm f;
    TTreeNodes* items = f.tree->Items();
    Sample s(items);
    ExpectMirrors(f.tree);
    s.C->Expand(true);
    s.A->Expand(false);
    s.C1a->SetSelected(true);
    ExpectMirrors(f.tree);
    for (auto mode : {TNodeAttachMode::naAdd, TNodeAttachMode::naAddFirst, TNodeAttachMode::naAddChild,
                      TNodeAttachMode::naAddChildFirst, TNodeAttachMode::naInsert}) {
        s.C1->MoveTo(mode == TNodeAttachMode::naAddChild || mode == TNodeAttachMode::naAddChildFirst ? s.A : s.A1, mode);
        ExpectMirrors(f.tree);
        // Moving keeps the selection and the expansion inside the branch.
        EXPECT_EQ(f.tree->Selected(), s.C1a);
        EXPECT_TRUE(s.C1->Expanded());
    }
    EXPECT_EQ(ModelShape(f.tree), "A+(C1+(C1a),A1,A2),B,C");
    items->AddChildFirst(s.B, "b0");
    items->AddChild(s.B, "B9");
    f.tree->AlphaSort(true);
    ExpectMirrors(f.tree);
    f.tree->CustomSort([](TTreeNode* a, TTreeNode* b) { return b->Text().compare(a->Text()); }, true);
    ExpectMirrors(f.tree);
    s.A->Delete();
    EXPECT_EQ(f.tree->Selected(), s.B);
    ExpectMirrors(f.tree);
    s.B->DeleteChildren();
    ExpectMirrors(f.tree);
    s.B->SetText("Bee");
    s.B->SetStateIndex(2);
    ExpectMirrors(f.tree);
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_STATE;
    it.hItem = s.B->ItemId();
    it.stateMask = TVIS_STATEIMAGEMASK;
    SendMessageA(f.tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.state & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
    items->Clear();
    ExpectMirrors(f.tree);
}

TEST(TreeView, EmptyingOrDestroyingTheWindowFreesEachNodeOnceWhateverTheShapeAndTellsTheParentNothing) {
    struct Counted : TTreeNode {
        Counted(TTreeNodes* o, int* freed) : TTreeNode(o), freed_(freed) {}
        ~Counted() override { ++*freed_; }
        int* freed_;
    };
    int freed = 0, deleted = 0, made = 0, told = 0;
    // Whatever the window tells its parent of its items' deletion, while
    // it is emptied and while it is destroyed with the form.
    WindowSubclass parent;
    {
        TreeForm f;
        parent.Attach(f.form->Handle(), [&](UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
            if (msg == WM_NOTIFY) {
                const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
                told += code == TVN_DELETEITEMA || code == TVN_DELETEITEMW;
            }
            return false;
        });
        f.tree->NodeFactory = [&](TTreeNodes* o) {
            ++made;
            return std::make_unique<Counted>(o, &freed);
        };
        f.tree->OnDeletion = [&](TObject*, TTreeNode*) { ++deleted; };
        const HWND wnd = f.tree->Handle();
        for (const std::string& kind : TreeShapeKinds()) {
            SCOPED_TRACE(kind);
            FillShape(f.tree, TreeShape(kind, 400));
            ASSERT_EQ(made - freed, 400);
            // Every item is in the window (none under a closed one), in order.
            EXPECT_EQ(SendMessageA(wnd, TVM_GETCOUNT, 0, 0), 400);
            ExpectMirrors(f.tree);
            // Nodes that come in among those in the window, and after them.
            TTreeNodes* items = f.tree->Items();
            items->BeginUpdate();
            items->Insert(items->TopLevelItem(1), "Before the second");
            items->AddFirst(nullptr, "First");
            items->Add(nullptr, "Last");
            items->Add(nullptr, "Very last");
            items->EndUpdate();
            ExpectMirrors(f.tree);
            items->Clear();
            EXPECT_EQ(SendMessageA(wnd, TVM_GETCOUNT, 0, 0), 0);
            EXPECT_EQ(freed, made);
            EXPECT_EQ(deleted, made);
        }
        // Filled again, the user still opens and chooses items.
        FillShape(f.tree, TreeShape("user", 400));
        TTreeNode* run = f.tree->Items()->TopLevelItem(2);
        PostClick(wnd, Center(run->GetFirstChild()->DisplayRect(true)));
        EXPECT_EQ(f.tree->Selected(), run->GetFirstChild());
        f.tree->SetSelected(run);
        PressKey(wnd, VK_LEFT);
        EXPECT_FALSE(run->Expanded());
        PressKey(wnd, VK_RIGHT);
        EXPECT_TRUE(run->Expanded());
        ExpectMirrors(f.tree);
        EXPECT_EQ(made - freed, 400);
    }
    EXPECT_EQ(freed, made);
    EXPECT_EQ(told, 0);
}

TEST(TreeView, NodesComeBackWhenTheWindowIsMadeAgain) {
    TreeForm f;
    Sample s(f.tree->Items());
    s.C->Expand(true);
    s.A2->SetSelected(true);
    s.C1->SetStateIndex(1);
    ExpectMirrors(f.tree);
    HWND old = f.tree->Handle();
    f.tree->SetBorderStyle(TBorderStyle::bsNone);  // the window is made again
    EXPECT_FALSE(IsWindow(old));
    EXPECT_NE(f.tree->Handle(), old);
    ExpectMirrors(f.tree);
    EXPECT_EQ(f.tree->Selected(), s.A2);
    EXPECT_TRUE(s.C1->Expanded());
    // Nodes added while there was no window show up in the new one.
    f.tree->DestroyHandle();
    f.tree->Items()->AddChild(s.B, "B1");
    s.B->Expand(false);
    ExpectMirrors(f.tree);
}

TEST(TreeView, TheFirstRowShownSurvivesANewWindowAndMakeVisibleScrolls) {
    TreeForm f;
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < 60; ++i) nodes.push_back(f.tree->Items()->Add(nullptr, "Item " + std::to_string(i)));
    TTreeNode* deep = f.tree->Items()->AddChild(nodes[50], "deep");
    EXPECT_EQ(f.tree->TopItem(), nodes[0]);
    f.tree->SetTopItem(nodes[20]);
    EXPECT_EQ(f.tree->TopItem(), nodes[20]);
    f.tree->SetBorderStyle(TBorderStyle::bsNone);
    EXPECT_EQ(f.tree->TopItem(), nodes[20]);
    EXPECT_TRUE(deep->DisplayRect(false) == TRect{});  // inside a closed node: not shown
    deep->MakeVisible();
    EXPECT_TRUE(nodes[50]->Expanded());
    TRect r = deep->DisplayRect(false);
    EXPECT_FALSE(IsRectEmpty(r));
    EXPECT_TRUE(r.Top >= 0 && r.Bottom <= f.tree->ClientHeight());
    ExpectMirrors(f.tree);
}

TEST(TreeView, UserSelectionAndExpansionAreEventsThatMayRefuse) {
    TreeForm f;
    Sample s(f.tree->Items());
    bool allowChange = true, allowExpand = true;
    std::vector<std::string> log;
    f.tree->OnChanging = [&](TObject*, TTreeNode* n, bool& allow) {
        log.push_back("changing " + n->Text());
        allow = allowChange;
    };
    f.tree->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + n->Text()); };
    f.tree->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) { allow = allowExpand; };
    f.tree->OnClick = [&](TObject*) { log.push_back("click"); };
    HWND wnd = f.tree->Handle();
    PostClick(wnd, Center(s.B->DisplayRect(true)));
    EXPECT_EQ(f.tree->Selected(), s.B);
    EXPECT_EQ(log, (std::vector<std::string>{"changing B", "change B", "click"}));
    log.clear();
    allowChange = false;
    PostClick(wnd, Center(s.C->DisplayRect(true)));
    EXPECT_EQ(f.tree->Selected(), s.B);
    EXPECT_EQ(log.front(), "changing C");
    ExpectMirrors(f.tree);
    // The keyboard opens the selection; a refusal keeps it closed.
    allowChange = true;
    s.C->SetSelected(true);
    allowExpand = false;
    PressKey(wnd, VK_RIGHT);
    EXPECT_FALSE(s.C->Expanded());
    allowExpand = true;
    PressKey(wnd, VK_RIGHT);
    EXPECT_TRUE(s.C->Expanded());
    ExpectMirrors(f.tree);
    PressKey(wnd, VK_LEFT);
    EXPECT_FALSE(s.C->Expanded());
    ExpectMirrors(f.tree);
}

TEST(TreeView, InPlaceEditingAsksAndCommitsThroughTheModel) {
    TreeForm f;
    Sample s(f.tree->Items());
    std::vector<std::string> log;
    f.tree->OnEditing = [&](TObject*, TTreeNode* n, bool& allow) { allow = n != s.B; };
    f.tree->OnEdited = [&](TObject*, TTreeNode* n, std::string& text) {
        log.push_back(n->Text() + "->" + text);
        text += "!";
    };
    HWND wnd = f.tree->Handle();
    EXPECT_FALSE(s.B->EditText());
    EXPECT_FALSE(f.tree->IsEditing());
    ASSERT_TRUE(s.A->EditText());
    ASSERT_TRUE(f.tree->IsEditing());
    HWND edit = reinterpret_cast<HWND>(SendMessageA(wnd, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Renamed");
    s.A->EndEdit(false);
    EXPECT_FALSE(f.tree->IsEditing());
    EXPECT_EQ(log, (std::vector<std::string>{"A->Renamed"}));
    EXPECT_EQ(s.A->Text(), "Renamed!");
    ExpectMirrors(f.tree);
    ASSERT_TRUE(s.C->EditText());
    edit = reinterpret_cast<HWND>(SendMessageA(wnd, TVM_GETEDITCONTROL, 0, 0));
    SetWindowTextA(edit, "Dropped");
    s.C->EndEdit(true);
    EXPECT_EQ(s.C->Text(), "C");
    EXPECT_EQ(log.size(), 1u);
    // A read-only view edits nothing.
    f.tree->SetReadOnly(true);
    EXPECT_FALSE(s.C->EditText());
}

// The control renames the selected item a while after a press on it,
// unless the press turns out to be the first of a double click.  The rename
// is for the item pressed: another item chosen, or the focus taken
// elsewhere, in the meantime takes it back.
TEST(TreeView, APressOnTheSelectedItemRenamesOnlyItWhileTheUserStaysThere) {
    TreeForm f;
    Sample s(f.tree->Items());
    auto* elsewhere = Create<TEdit>(f.form.get());
    elsewhere->SetParent(f.form.get());
    elsewhere->SetBounds(0, 425, 200, 24);
    std::vector<std::string> asked;
    f.tree->OnEditing = [&](TObject*, TTreeNode* n, bool&) { asked.push_back(n->Text()); };
    HWND wnd = f.tree->Handle();
    // Waits for the control's next timer message and lets it be handled;
    // gives the timer's number (none after a long wait).
    auto nextTimer = [&]() -> UINT_PTR {
        MSG m{};
        const DWORD start = GetTickCount();
        while (!PeekMessageA(&m, wnd, WM_TIMER, WM_TIMER, PM_NOREMOVE)) {
            if (GetTickCount() - start > 10000) return 0;
            Sleep(5);
        }
        PumpMessages();
        return m.wParam;
    };
    UINT_PTR renameTimer = 0;
    // Lets the control's delay for a rename run out.
    auto delayEnds = [&] {
        for (UINT_PTR t = nextTimer(); t != 0; t = nextTimer())
            if (t == renameTimer) return true;
        return false;
    };
    auto pressSelected = [&](TTreeNode* n) {
        n->SetSelected(true);
        f.tree->SetFocus();
        PumpMessages();
        PostClick(wnd, Center(n->DisplayRect(true)));
        ASSERT_EQ(f.tree->Selected(), n);
    };

    // Staying: the item pressed is renamed.
    pressSelected(s.A);
    do renameTimer = nextTimer();
    while (renameTimer != 0 && !f.tree->IsEditing());
    ASSERT_TRUE(f.tree->IsEditing());
    EXPECT_EQ(asked, std::vector<std::string>{"A"});
    s.A->EndEdit(true);
    asked.clear();

    // Another item chosen before the time is up: nothing is renamed.
    pressSelected(s.A);
    PostClick(wnd, Center(s.B->DisplayRect(true)));
    ASSERT_EQ(f.tree->Selected(), s.B);
    ASSERT_TRUE(delayEnds());
    EXPECT_FALSE(f.tree->IsEditing());
    EXPECT_TRUE(asked.empty());

    // Typing elsewhere before the time is up keeps the focus there.
    pressSelected(s.C);
    elsewhere->SetFocus();
    PumpMessages();
    ASSERT_TRUE(delayEnds());
    EXPECT_FALSE(f.tree->IsEditing());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(GetFocus(), elsewhere->Handle());

    // Asked for by the program, the rename needs no press.
    ASSERT_TRUE(s.B->EditText());
    EXPECT_TRUE(f.tree->IsEditing());
    s.B->EndEdit(true);
}

TEST(TreeView, CustomDrawPaintsEachNodeInItsOwnColourAndStyle) {
    TreeForm f;
    Sample s(f.tree->Items());
    s.B->SetText("Bold and red");
    f.tree->OnCustomDrawItem = [&](TCustomTreeView* sender, TTreeNode* node, TCustomDrawState, bool& def) {
        if (node == s.B) {
            sender->Canvas()->Font()->SetColor(clRed);
            sender->Canvas()->Font()->SetStyle({TFontStyle::fsBold});
        }
        def = true;
    };
    TRect plainB = s.B->DisplayRect(true);
    f.tree->Invalidate();
    PumpMessages();
    Snapshot shot = PrintClient(f.tree->Handle());
    TRect rb = s.B->DisplayRect(true);
    TRect ra = s.A->DisplayRect(true);
    EXPECT_GT(shot.Count(rb, Reddish), 3);
    EXPECT_EQ(shot.Count(ra, Reddish), 0);
    // The bold font is the one measured: the caption's box grew.
    EXPECT_GT(rb.Width(), plainB.Width());
    // A handler may draw the node itself.
    f.tree->OnCustomDrawItem = [&](TCustomTreeView*, TTreeNode* node, TCustomDrawState, bool& def) {
        def = node != s.A;
    };
    shot = PrintClient(f.tree->Handle());
    EXPECT_EQ(shot.Count(ra, [](COLORREF c) { return c != RGB(255, 255, 255) && c != GetSysColor(COLOR_WINDOW); }), 0);
}

TEST(TreeView, ANodeDraggedOntoAnotherWithTheMouseIsDropped) {
    TreeForm f;
    Sample s(f.tree->Items());
    f.tree->SetDragMode(TDragMode::dmAutomatic);
    s.A->Expand(false);
    std::vector<std::string> log;
    TTreeNode* hovered = nullptr;
    HTREEITEM lit = nullptr;
    f.tree->OnStartDrag = [&](TObject*, TDragObject*&) { log.push_back("start " + f.tree->Selected()->Text()); };
    f.tree->OnDragOver = [&](TObject*, TObject* source, int x, int y, TDragState, bool& accept) {
        accept = source == f.tree;
        hovered = f.tree->DropTarget();
        lit = reinterpret_cast<HTREEITEM>(SendMessageA(f.tree->Handle(), TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
    };
    f.tree->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
        TTreeNode* target = f.tree->GetNodeAt(x, y);
        log.push_back("drop on " + (target ? target->Text() : std::string("-")));
        if (target != nullptr) f.tree->Selected()->MoveTo(target, TNodeAttachMode::naAddChildFirst);
    };
    HWND wnd = f.tree->Handle();
    TPoint from = Center(s.A2->DisplayRect(true));
    TPoint to = Center(s.C->DisplayRect(true));
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 2, from.y + 12));
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    PumpMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"start A2", "drop on C"}));
    EXPECT_EQ(hovered, s.C);                    // highlighted while over it
    EXPECT_EQ(lit, s.C->ItemId());
    EXPECT_EQ(f.tree->DropTarget(), nullptr);   // and no longer after
    EXPECT_EQ(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0), 0);
    EXPECT_EQ(ModelShape(f.tree), "A+(A1),B,C(A2,C1(C1a))");
    EXPECT_EQ(f.tree->Selected(), s.A2);
    ExpectMirrors(f.tree);
    // Leaving the selection may be refused, and then nothing is dragged.
    log.clear();
    f.tree->OnChanging = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    from = Center(s.B->DisplayRect(true));
    PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 2, from.y + 12));
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    PumpMessages();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(f.tree->Selected(), s.A2);
    EXPECT_EQ(ModelShape(f.tree), "A+(A1),B,C(A2,C1(C1a))");
}

TEST(TreeView, ImagesFollowTheImageListAndForgetItWhenItGoes) {
    TreeForm f;
    auto* images = Create<TImageList>(f.form.get());
    Sample s(f.tree->Items());
    f.tree->SetImages(images);
    f.tree->SetStateImages(images);
    HWND wnd = f.tree->Handle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(wnd, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)), images->Handle());
    s.A->SetImageIndex(3);
    s.A->SetSelectedIndex(4);
    int asked = 0;
    f.tree->OnGetImageIndex = [&](TObject*, TTreeNode* n) {
        ++asked;
        if (n == s.B) n->SetImageIndex(7);
    };
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    it.hItem = s.B->ItemId();
    NMTVDISPINFOA di{};
    di.hdr.hwndFrom = wnd;
    di.hdr.code = TVN_GETDISPINFOA;
    di.item = it;
    di.item.lParam = reinterpret_cast<LPARAM>(s.B);
    SendMessageA(f.form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&di));
    EXPECT_EQ(di.item.iImage, 7);
    EXPECT_GT(asked, 0);
    images->Free();
    EXPECT_EQ(f.tree->Images(), nullptr);
    EXPECT_EQ(f.tree->StateImages(), nullptr);
    EXPECT_EQ(SendMessageA(wnd, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
}

TEST(TreeView, RightClickSelectsTheNodeUnderThePointerWhenAsked) {
    TreeForm f;
    Sample s(f.tree->Items());
    f.tree->SetRightClickSelect(true);
    TPoint p = Center(s.B->DisplayRect(true));
    EXPECT_EQ(f.tree->GetNodeAt(p.x, p.y), s.B);
    EXPECT_TRUE(f.tree->GetHitTestInfoAt(p.x, p.y).Contains(THitTest::htOnLabel));
    EXPECT_EQ(f.tree->GetNodeAt(p.x, 400), nullptr);
    PostClick(f.tree->Handle(), p, WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_EQ(f.tree->Selected(), s.B);
}
