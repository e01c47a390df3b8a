#include "TestPrinter.h"

#include <windows.h>
#include <winspool.h>

#include <stdexcept>

#include "platform/Printers.h"
#include "support/TestEnv.h"

namespace treskel::test {

namespace {
constexpr const char* kDriver = "Wine PostScript Driver";

// Letter and A4 at 300 dpi, colour, PostScript 3.
constexpr const char* kPpd =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"TRESKEL.PPD\"\n"
    "*Manufacturer: \"Treskel\"\n"
    "*Product: \"(Treskel Test Printer)\"\n"
    "*ModelName: \"Treskel Test Printer\"\n"
    "*ShortNickName: \"Treskel Test Printer\"\n"
    "*NickName: \"Treskel Test Printer\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: True\n"
    "*DefaultColorSpace: RGB\n"
    "*FileSystem: False\n"
    "*Throughput: \"1\"\n"
    "*LandscapeOrientation: Plus90\n"
    "*TTRasterizer: Type42\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize/Media Size: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageSize\n"
    "*DefaultPageSize: Letter\n"
    "*PageSize Letter/US Letter: \"<</PageSize[612 792]/ImagingBBox null>>setpagedevice\"\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageRegion\n"
    "*DefaultPageRegion: Letter\n"
    "*PageRegion Letter/US Letter: \"<</PageSize[612 792]/ImagingBBox null>>setpagedevice\"\n"
    "*PageRegion A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: Letter\n"
    "*ImageableArea Letter/US Letter: \"18 18 594 774\"\n"
    "*ImageableArea A4/A4: \"18 18 577 824\"\n"
    "*DefaultPaperDimension: Letter\n"
    "*PaperDimension Letter/US Letter: \"612 792\"\n"
    "*PaperDimension A4/A4: \"595 842\"\n";

void RemovePrinter() {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(TestPrinter::kName), &h, &access)) {
        DeletePrinter(h);
        ClosePrinter(h);
    }
}
}  // namespace

TestPrinter::TestPrinter(const std::string& outputFile) {
    // The driver reads its PPD from the spooler's driver directory.
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed))
        throw std::runtime_error("no printer driver directory");
    std::string ppd = std::string(dir) + "\\treskel-test.ppd";
    WriteAll(ppd, std::string(kPpd));
    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kDriver);
    driver.pDriverPath = const_cast<char*>("wineps.drv");
    driver.pDataFile = ppd.data();
    driver.pConfigFile = const_cast<char*>("wineps.drv");
    if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES))
        throw std::runtime_error("AddPrinterDriverEx failed");
    // A port that names a file: the spooler writes each job there.
    RemovePrinter();
    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char*>(kName);
    info.pPortName = const_cast<char*>(outputFile.c_str());
    info.pDriverName = const_cast<char*>(kDriver);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (h == nullptr) throw std::runtime_error("AddPrinter failed");
    ClosePrinter(h);
    Printer()->SetPrinterIndex(-1);
}

TestPrinter::~TestPrinter() {
    RemovePrinter();
    if (!Printer()->Printing()) Printer()->SetPrinterIndex(-1);
}

}  // namespace treskel::test
