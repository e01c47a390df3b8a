// Item commands of the main window.
#include "app/frmMain.h"

namespace treskel {

void TfrmTreskel::NewItemExecute(TObject*) {}

void TfrmTreskel::NewSubItemExecute(TObject*) {}

void TfrmTreskel::NewRootItemExecute(TObject*) {}

void TfrmTreskel::RemoveItemExecute(TObject*) {}

void TfrmTreskel::LockItemExecute(TObject*) {}

void TfrmTreskel::ExpandItemExecute(TObject*) {}

void TfrmTreskel::SearchItemsExecute(TObject*) {}

void TfrmTreskel::SearchSubItemsExecute(TObject*) {}

void TfrmTreskel::SortAZExecute(TObject*) {}

void TfrmTreskel::SortZAExecute(TObject*) {}

void TfrmTreskel::CreateLinkExecute(TObject*) {}

void TfrmTreskel::LinkOrigin1Execute(TObject*) {}

void TfrmTreskel::CloneNoteExecute(TObject*) {}

void TfrmTreskel::PromoteItemExecute(TObject*) {}

void TfrmTreskel::DisplayItemInfoExecute(TObject*) {}

void TfrmTreskel::PopupMenu2Popup(TObject*) {}

}  // namespace treskel
