#include "MainWindowTest.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>

#include "app/OtherQiv.h"
#include "app/TreskelOptions.h"
#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
#include "support/ProgramRun.h"
#include "support/StoreTest.h"

namespace treskel::test {

void MainWindowTest::SetUp() {
    // The program keeps its data where the registry says; never beside
    // the test program.
    PresetDataPath(DataDir());
}

void MainWindowTest::TearDown() {
    FreeDialogs();
    DropWindow();
}

void MainWindowTest::DropWindow() {
    if (window_) {
        window_->SetVisible(false);
        window_.reset();
    }
    frmTreskel = nullptr;
    W = nullptr;
    PumpMessages();
}

void MainWindowTest::StartWindow() {
    window_ = MakeForm<TfrmTreskel>();
    W = window_.get();
    frmTreskel = W;
    W->Show();
    PumpMessages();
}

void MainWindowTest::FreeDialogs() {
    if (frmAboutQiv != nullptr) frmAboutQiv->Free();
    if (frmOptions != nullptr) frmOptions->Free();
    PumpMessages();
}

void MainWindowTest::CloseWindow() {
    ASSERT_NE(W, nullptr);
    W->Close();
    PumpMessages();
    FreeDialogs();
    window_.reset();
    frmTreskel = nullptr;
    W = nullptr;
    PumpMessages();
}

std::vector<std::string> MainWindowTest::DataFiles() const {
    std::vector<std::string> names;
    for (const TSearchRec& r : FindFiles(DataDir() + "*")) names.push_back(r.Name);
    // The loose notes in the treskels' note folders, as "Work.tsn/12"; not
    // the tree the window writes beside them a moment after each change.
    const std::string tree = ExtractFileName(FolderTreeFileName("", "T"));
    for (const auto& e : std::filesystem::directory_iterator(DataDir())) {
        if (!e.is_directory() || e.path().extension() != ".tsn") continue;
        for (const TSearchRec& r : FindFiles(e.path().string() + "\\*"))
            if (r.Name != tree && r.Name != tree + ".tmp") names.push_back(e.path().filename().string() + "/" + r.Name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string MainWindowTest::LooseNote(int32_t id) const {
    TStrings* tabs = W->TabControl1->Tabs();
    return NoteFileName(W->DataPath, tabs->Get(W->TabControl1->TabIndex()), id);
}

void MainWindowTest::WriteTreskel(const std::string& name, const std::vector<NoteItem>& items, std::string dataPath) {
    if (dataPath.empty()) dataPath = DataDir();
    LH5Compression lh5(nullptr);
    TPlainItemTree tree;
    int32_t id = nextId_;
    ForceDirectories(NoteFolderName(dataPath, name));
    auto add = [&](TItemNode* parent, const std::string& caption, const std::string& rtf) {
        TItemNode* n = AddItem(tree, parent, caption, id);
        if (!rtf.empty()) {
            TMemoryStream in(std::vector<uint8_t>(rtf.begin(), rtf.end()));
            SaveNoteFile(NoteFileName(dataPath, name, id), 0, caption, in, lh5);
        }
        ++id;
        return n;
    };
    for (const NoteItem& item : items) {
        TItemNode* top = add(nullptr, item.caption, item.rtf);
        for (int k = 0; k < item.subItems; ++k) add(top, item.caption + "." + std::to_string(k), "");
        if (item.subItems > 0) top->SetImageIndex(ImgParent);
    }
    nextId_ = id;
    PackTreskel(tree, dataPath, name);
}

void MainWindowTest::WriteShapedTreskel(const std::string& name, const std::vector<std::pair<int, bool>>& shape) {
    TPlainItemTree tree;
    std::vector<TItemNode*> parents;
    std::vector<std::pair<TItemNode*, bool>> made;
    for (const auto& [level, open] : shape) {
        parents.resize(static_cast<size_t>(level));
        parents.push_back(AddItem(tree, parents.empty() ? nullptr : parents.back(), "Item " + std::to_string(made.size()),
                                  nextId_++));
        made.emplace_back(parents.back(), open);
    }
    for (auto& [node, open] : made) {
        if (node->Count() == 0) continue;
        node->SetImageIndex(ImgParent);
        node->SetExpanded(open);
    }
    PackTreskel(tree, DataDir(), name);
}

void MainWindowTest::NewTreskel(const std::string& name) {
    AnswerNextQuery(name);
    Run(W->NewTreskel);
    SelectTab(W->TabControl1->Tabs()->Count() - 1);
}

void MainWindowTest::SelectTab(int index) {
    bool allow = true;
    if (index == W->TabControl1->TabIndex()) return;
    W->TabControl1Changing(W->TabControl1, allow);
    ASSERT_TRUE(allow);
    W->TabControl1->SetTabIndex(index);
    W->TabControl1Change(W->TabControl1);
    PumpMessages();
}

int MainWindowTest::TabIndexOf(const std::string& caption) {
    for (int i = 0; i < W->TabControl1->Tabs()->Count(); ++i)
        if (W->TabControl1->Tabs()->Get(i) == caption) return i;
    return -1;
}

bool MainWindowTest::ClickTab(int index, int ms) {
    HWND tabs = W->TabControl1->Handle();
    RECT r{};
    SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    PostClick(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return PumpUntil([&] { return W->TabControl1->TabIndex() == index; }, ms);
}

void MainWindowTest::Run(TAction* action) {
    ASSERT_NE(action, nullptr);
    action->Execute();
    PumpMessages();
}

TTreeNode* MainWindowTest::Node(const std::string& caption) {
    for (TTreeNode* n = W->TreeView->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
        if (n->Text() == caption) return n;
    return nullptr;
}

std::vector<std::string> MainWindowTest::TopCaptions() {
    std::vector<std::string> v;
    TTreeNodes* items = W->TreeView->Items();
    for (int i = 0; i < items->TopLevelCount(); ++i) v.push_back(items->TopLevelItem(i)->Text());
    return v;
}

TItemData* MainWindowTest::Record(TTreeNode* node) { return W->ItemData(node); }

TTreeNode* MainWindowTest::PlaceLink(TTreeNode* origin, const std::string& caption, TTreeNode* parent) {
    TTreeNodes* items = W->TreeView->Items();
    TTreeNode* link = parent != nullptr ? items->AddChild(parent, caption) : items->Add(nullptr, caption);
    AsItem(link)->SetData(W->NewItemRecord(true, Record(origin)->Id));
    AsItem(link)->SetImageIndex(ImgLink);
    if (parent != nullptr) AsItem(parent)->SetImageIndex(Record(parent)->IsLink ? ImgLinkParent : ImgParent);
    return link;
}

void MainWindowTest::TypeNote(const std::string& text) {
    W->REdit->SetFocus();
    PumpMessages();
    W->REdit->SetSelStart(static_cast<int>(W->REdit->Text().size()));
    TypeText(W->REdit->Handle(), text);
}

std::string MainWindowTest::NoteText() { return W->REdit->Text(); }

std::string MainWindowTest::TooltipText() {
    char text[81] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = Application->Handle();
    ti.uId = 1;
    ti.lpszText = text;
    SendMessageA(Application->HintWindow(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    return text;
}

std::string MainWindowTest::Shown() {
    std::string t = NoteText();
    while (!t.empty() && (t.back() == '\r' || t.back() == '\n')) t.pop_back();
    return t;
}

HTREEITEM MainWindowTest::WindowSelection() {
    return reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void MainWindowTest::ClickNode(TTreeNode* n) {
    TPoint p = Center(n->DisplayRect(true));
    PostMessageA(Tree(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    PostMessageA(Tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(Tree(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PumpMessages();
}

void MainWindowTest::PressOfficeButton(TQclOfficeButton* b, TMenuItem* item) {
    const WORD command = item != nullptr ? item->Command() : 0;
    TPopupMenu::TestChooser = [command](TPopupMenu*) -> WORD { return command; };
    HWND panel = static_cast<TWinControl*>(b->Parent())->Handle();
    LPARAM at = MAKELPARAM(b->Left() + 5, b->Top() + 5);
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(panel, WM_LBUTTONUP, 0, at);
    TPopupMenu::TestChooser = nullptr;
    PumpMessages();
}

void MainWindowTest::ClickTool(TToolButton* button) {
    ClickAt(static_cast<TWinControl*>(button->Parent())->Handle(), button->Left() + button->Width() / 2,
            button->Top() + button->Height() / 2);
    PumpMessages();
}

void MainWindowTest::MouseClickTool(TToolButton* button) {
    MouseClickAt(static_cast<TWinControl*>(button->Parent())->Handle(),
                 {button->Left() + button->Width() / 2, button->Top() + button->Height() / 2});
}

void MainWindowTest::MouseClickTool(const std::string& name) {
    auto* button = dynamic_cast<TToolButton*>(W->FindComponent(name));
    ASSERT_NE(button, nullptr) << name;
    MouseClickTool(button);
}

void MainWindowTest::MouseClickAt(HWND wnd, TPoint p) {
    POINT at{p.x, p.y};
    ClientToScreen(wnd, &at);
    MouseClickOnScreen(at);
    PumpMessages();
}

void MainWindowTest::Choose(TCustomComboBox* box, const std::string& text) {
    int i = box->Items()->IndexOf(text);
    ASSERT_GE(i, 0) << text;
    box->SetItemIndex(i);
    SendMessageA(GetParent(box->Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box->Handle()));
    PumpMessages();
}

void MainWindowDialogsTest::TypeIntoNextPrompt(const std::wstring& text) {
    if (!testsAnswerPrompts_) testsAnswerPrompts_ = SetInputQueryResponder(nullptr);
    dialogs_.Queue([this, text](TCustomForm& f) {
        TEdit* edit = nullptr;
        for (int i = 0; i < f.ComponentCount(); ++i)
            if (auto* e = dynamic_cast<TEdit*>(f.Components(i))) edit = e;
        ASSERT_NE(edit, nullptr);
        prompts_.push_back({f.Caption(), edit->Text()});
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
        SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
        TypeUnicode(text);
        TapKey(VK_RETURN);
        PumpUntil([&] { return f.ModalResult() != mrNone; });
    });
}

}  // namespace treskel::test
