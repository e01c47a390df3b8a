// Events of the main window's tree.
#include "app/frmMain.h"

namespace treskel {

void TfrmTreskel::TreeViewChanging(TObject*, TTreeNode*, bool&) {}

void TfrmTreskel::TreeViewChange(TObject*, TTreeNode*) {}

void TfrmTreskel::TreeViewEditing(TObject*, TTreeNode*, bool&) {}

void TfrmTreskel::TreeViewEdited(TObject*, TTreeNode*, std::string&) {}

void TfrmTreskel::TreeViewExpanding(TObject*, TTreeNode*, bool&) {}

void TfrmTreskel::TreeViewKeyDown(TObject*, WORD&, TShiftState) {}

void TfrmTreskel::TreeViewKeyUp(TObject*, WORD&, TShiftState) {}

void TfrmTreskel::TreeViewEnter(TObject*) {}

void TfrmTreskel::TreeViewClick(TObject*) {}

void TfrmTreskel::TreeViewCustomDrawItem(TCustomTreeView*, TTreeNode*, TCustomDrawState, bool&) {}

void TfrmTreskel::TreeViewStartDrag(TObject*, TDragObject*&) {}

void TfrmTreskel::TreeViewDragOver(TObject*, TObject*, int, int, TDragState, bool&) {}

void TfrmTreskel::TreeViewDragDrop(TObject*, TObject*, int, int) {}

void TfrmTreskel::StyleChange(TObject*) {}

void TfrmTreskel::ColorComboChange(TObject*) {}

void TfrmTreskel::FontSizeComboEnter(TObject*) {}

void TfrmTreskel::FontSizeComboChange(TObject*) {}

void TfrmTreskel::SpeedUpClick(TObject*) {}

void TfrmTreskel::SpeedDownClick(TObject*) {}

void TfrmTreskel::SpeedUpDragOver(TObject*, TObject*, int, int, TDragState, bool&) {}

void TfrmTreskel::SpeedDownDragOver(TObject*, TObject*, int, int, TDragState, bool&) {}

void TfrmTreskel::Panel4Resize(TObject*) {}

void TfrmTreskel::Panel5Resize(TObject*) {}

void TfrmTreskel::FontClick(TObject*) {}

void TfrmTreskel::ToolBar1Enter(TObject*) {}

}  // namespace treskel
