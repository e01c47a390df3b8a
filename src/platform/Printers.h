// The printer: the installed printers, the chosen one with its settings,
// and print jobs drawn on a canvas over the printer's device context.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/TypInfo.h"

namespace treskel {

enum class TPrinterOrientation { poPortrait, poLandscape };
TRESKEL_ENUM_INFO(TPrinterOrientation, "poPortrait", "poLandscape")

class TPrinter;

// A canvas on the printer's device context.
class TPrinterCanvas : public TCanvas {
    TRESKEL_CLASS(TPrinterCanvas)
public:
    explicit TPrinterCanvas(TPrinter* printer) : printer_(printer) {}
    ~TPrinterCanvas() override { SetHandle(nullptr); }

protected:
    void CreateHandle() override;

private:
    TPrinter* printer_;
};

class TPrinter : public TObject {
    TRESKEL_CLASS(TPrinter)
public:
    TPrinter();
    ~TPrinter() override;

    // The names of the installed printers, read afresh from the spooler on
    // each call (a printer may come or go while the program runs).
    TStrings* Printers();
    // The chosen printer's place in Printers(); asking chooses the system's
    // default printer when none is chosen.  -1 chooses the default again.
    int PrinterIndex();
    void SetPrinterIndex(int index);
    // The chosen printer's name ("" when there is no printer).
    std::string PrinterName();
    // The name of the chosen printer's driver ("" when there is no printer).
    std::string DriverName();

    // The printer's device context and a canvas on it.  Raise EPrinter
    // when no printer is installed.
    HDC Handle();
    TCanvas* Canvas();

    // A print job: the pages drawn between BeginDoc and EndDoc go to the
    // spooler as one document named Title.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }

    std::string Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // Printable area, in device pixels.
    int PageWidth();
    int PageHeight();
    TPrinterOrientation Orientation();
    void SetOrientation(TPrinterOrientation o);
    int Copies();
    void SetCopies(int copies);

    // The chosen printer for the print dialogs, as DEVNAMES and DEVMODE in
    // new global memory (null when there is no printer), and their answer.
    HGLOBAL DevNamesCopy();
    HGLOBAL DevModeCopy();
    void SetDevice(HGLOBAL devNames, HGLOBAL devMode);

private:
    // Chooses the default printer when none is chosen; raises without one.
    void EnsureDevice();
    void ChooseDevice(const std::string& name);
    DEVMODEA* DevMode();
    void FreeDC();
    void CheckNotPrinting();
    void CheckPrinting();

    std::unique_ptr<TStringList> printers_;
    std::string device_;              // chosen printer; empty: not chosen yet
    std::string driver_, port_;
    std::vector<uint8_t> devMode_;    // its settings
    OwnedDC dc_;
    std::unique_ptr<TPrinterCanvas> canvas_;
    std::string title_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The program's printer object.
TPrinter* Printer();

}  // namespace treskel
