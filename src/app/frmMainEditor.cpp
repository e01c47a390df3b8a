// Editor commands of the main window.
#include "app/frmMain.h"

namespace treskel {

void TfrmTreskel::BoldExecute(TObject*) {}

void TfrmTreskel::ItalicExecute(TObject*) {}

void TfrmTreskel::UnderlineExecute(TObject*) {}

void TfrmTreskel::BulletedListExecute(TObject*) {}

void TfrmTreskel::UndoExecute(TObject*) {}

void TfrmTreskel::LeftJustifyExecute(TObject*) {}

void TfrmTreskel::CenterJustifyExecute(TObject*) {}

void TfrmTreskel::RightJustifyExecute(TObject*) {}

void TfrmTreskel::CutExecute(TObject*) {}

void TfrmTreskel::CCopyExecute(TObject*) {}

void TfrmTreskel::PasteExecute(TObject*) {}

void TfrmTreskel::SearchTextExecute(TObject*) {}

void TfrmTreskel::TextActionsUpdate(TBasicAction*, bool&) {}

void TfrmTreskel::REditSelectionChange(TObject*) {}

void TfrmTreskel::REditKeyPress(TObject*, char&) {}

void TfrmTreskel::REditKeyDown(TObject*, WORD&, TShiftState) {}

void TfrmTreskel::REditMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}

void TfrmTreskel::REditEnter(TObject*) {}

void TfrmTreskel::REditURLClick(TObject*, const std::string&) {}

void TfrmTreskel::QclFontComboBox1Click(TObject*) {}

void TfrmTreskel::QclFontSizeComboBox1Click(TObject*) {}

void TfrmTreskel::SelectAll1Click(TObject*) {}

void TfrmTreskel::DefaultFont1Click(TObject*) {}

void TfrmTreskel::FindDialogFind(TObject*) {}

}  // namespace treskel
