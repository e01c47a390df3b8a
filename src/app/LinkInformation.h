// The item information dialog: the facts of the selected item.
#pragma once

#include "controls/qclctrlAWin.h"
#include "controls/qclformA.h"
#include "store/ItemData.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace treskel {

class TfrmItemInfo : public TForm {
    TRESKEL_CLASS(TfrmItemInfo)
public:
    explicit TfrmItemInfo(TComponent* owner) : TForm(owner) {}

    // Shows the id (the note file's name), the lock and the link flag of
    // ItemData.
    void FormShow(TObject* Sender);
    // The dialog goes when it closes.
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The fields are for reading: typed characters are dropped.
    void Edit3KeyPress(TObject* Sender, char& Key);

    // The record of the item shown; the item owns it.
    TItemData* ItemData = nullptr;

    TPanel* Panel1 = nullptr;
    TQclDockLabel* Label1 = nullptr;
    TQclDockLabel* Label2 = nullptr;
    TQclDockLabel* Label3 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TButton* OKBtn = nullptr;
    TQclForm* QclForm1 = nullptr;
};

void RegisterItemInfoClasses();

}  // namespace treskel
