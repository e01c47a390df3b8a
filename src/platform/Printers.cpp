#include "platform/Printers.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstddef>
#include <cstring>

#include "platform/Clipbrd.h"

namespace treskel {

namespace {
constexpr const char* kNoDefaultPrinter = "There is no default printer currently selected";

std::string SystemMessage(DWORD code) {
    char buf[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                             sizeof buf, nullptr);
    std::string s(buf, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    return s.empty() ? Format("System error %lu", static_cast<unsigned long>(code)) : s;
}

[[noreturn]] void PrintingFailed() {
    throw EPrinter("Printing failed: " + SystemMessage(GetLastError()));
}

// An open printer of the spooler, closed when it goes.
class PrinterHandle {
public:
    explicit PrinterHandle(const std::string& name) {
        if (!OpenPrinterA(const_cast<char*>(name.c_str()), &h_, nullptr)) h_ = nullptr;
    }
    ~PrinterHandle() {
        if (h_ != nullptr) ClosePrinter(h_);
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_ = nullptr;
};

std::string DefaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return std::string();
    std::string name(size, '\0');
    if (!GetDefaultPrinterA(name.data(), &size)) return std::string();
    name.resize(std::strlen(name.c_str()));
    return name;
}
}  // namespace

void TPrinterCanvas::CreateHandle() {
    HDC dc = printer_->Handle();
    // Points on this canvas are the printer's, also for a size given
    // before the printer was known.
    int points = Font()->Size();
    Font()->SetPixelsPerInch(GetDeviceCaps(dc, LOGPIXELSY));
    Font()->SetSize(points);
    SetHandle(dc);
}

TPrinter::TPrinter() : printers_(std::make_unique<TStringList>()) {}

TPrinter::~TPrinter() {
    if (printing_ && dc_) AbortDoc(dc_.Get());
    FreeDC();
}

TStrings* TPrinter::Printers() {
    if (printing_) return printers_.get();
    DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<uint8_t> buf(needed);
    printers_->Clear();
    if (needed > 0 && EnumPrintersA(flags, nullptr, 4, buf.data(), needed, &needed, &count)) {
        auto* info = reinterpret_cast<PRINTER_INFO_4A*>(buf.data());
        for (DWORD i = 0; i < count; ++i) printers_->Add(info[i].pPrinterName);
    }
    return printers_.get();
}

void TPrinter::EnsureDevice() {
    if (!device_.empty()) return;
    std::string name = DefaultPrinterName();
    TStrings* list = Printers();
    // A default that is not installed (any more) does not count.
    if (name.empty() || list->IndexOf(name) < 0) {
        if (list->Count() == 0) throw EPrinter(kNoDefaultPrinter);
        name = list->Get(0);
    }
    ChooseDevice(name);
}

void TPrinter::ChooseDevice(const std::string& name) {
    PrinterHandle h(name);
    if (h.Get() == nullptr) throw EPrinter("Printer selected is not valid");
    std::vector<uint8_t> dm;
    LONG size = DocumentPropertiesA(nullptr, h.Get(), const_cast<char*>(name.c_str()), nullptr, nullptr, 0);
    if (size > 0) {
        dm.resize(static_cast<size_t>(size));
        if (DocumentPropertiesA(nullptr, h.Get(), const_cast<char*>(name.c_str()),
                                reinterpret_cast<DEVMODEA*>(dm.data()), nullptr, DM_OUT_BUFFER) != IDOK)
            dm.clear();
    }
    std::string driver, port;
    DWORD needed = 0;
    GetPrinterA(h.Get(), 2, nullptr, 0, &needed);
    if (needed > 0) {
        std::vector<uint8_t> buf(needed);
        if (GetPrinterA(h.Get(), 2, buf.data(), needed, &needed)) {
            auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buf.data());
            if (info->pDriverName != nullptr) driver = info->pDriverName;
            if (info->pPortName != nullptr) port = info->pPortName;
        }
    }
    FreeDC();
    device_ = name;
    driver_ = driver;
    port_ = port;
    devMode_ = std::move(dm);
}

std::string TPrinter::PrinterName() {
    if (device_.empty() && Printers()->Count() == 0) return std::string();
    EnsureDevice();
    return device_;
}

std::string TPrinter::DriverName() {
    if (device_.empty() && Printers()->Count() == 0) return std::string();
    EnsureDevice();
    return driver_;
}

int TPrinter::PrinterIndex() {
    EnsureDevice();
    return Printers()->IndexOf(device_);
}

void TPrinter::SetPrinterIndex(int index) {
    CheckNotPrinting();
    if (index == -1) {
        FreeDC();
        device_.clear();
        devMode_.clear();
        return;
    }
    TStrings* list = Printers();
    if (index < 0 || index >= list->Count()) throw EPrinter("Printer index out of range");
    ChooseDevice(list->Get(index));
}

DEVMODEA* TPrinter::DevMode() {
    if (devMode_.size() < offsetof(DEVMODEA, dmFields) + sizeof(DWORD)) return nullptr;
    return reinterpret_cast<DEVMODEA*>(devMode_.data());
}

void TPrinter::FreeDC() {
    if (canvas_) canvas_->SetHandle(nullptr);
    dc_.Reset();
}

void TPrinter::CheckNotPrinting() {
    if (printing_) throw EPrinter("Printing in progress");
}

void TPrinter::CheckPrinting() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
}

HDC TPrinter::Handle() {
    if (dc_) return dc_.Get();
    EnsureDevice();
    dc_.Reset(CreateDCA(nullptr, device_.c_str(), nullptr, DevMode()));
    if (!dc_) throw EPrinter("Printer selected is not valid");
    return dc_.Get();
}

TCanvas* TPrinter::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(this);
    return canvas_.get();
}

void TPrinter::BeginDoc() {
    CheckNotPrinting();
    HDC dc = Handle();
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title_.c_str();
    if (StartDocA(dc, &info) <= 0) PrintingFailed();
    if (StartPage(dc) <= 0) {
        DWORD err = GetLastError();
        AbortDoc(dc);
        FreeDC();
        SetLastError(err);
        PrintingFailed();
    }
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
    // The canvas draws on this job's context from the first page on.
    Canvas()->Handle();
    Canvas()->Refresh();
}

void TPrinter::NewPage() {
    CheckPrinting();
    if (::EndPage(dc_.Get()) <= 0 || ::StartPage(dc_.Get()) <= 0) {
        DWORD err = GetLastError();
        Abort();
        SetLastError(err);
        PrintingFailed();
    }
    ++pageNumber_;
    // A new page starts with the device's defaults: select ours again.
    Canvas()->Refresh();
}

void TPrinter::EndDoc() {
    CheckPrinting();
    bool ok = ::EndPage(dc_.Get()) > 0;
    DWORD err = ok ? 0 : GetLastError();
    if (ok) {
        ok = ::EndDoc(dc_.Get()) > 0;
        if (!ok) err = GetLastError();
    } else {
        AbortDoc(dc_.Get());
        FreeDC();
    }
    printing_ = false;
    pageNumber_ = 0;
    if (!ok) {
        SetLastError(err);
        PrintingFailed();
    }
}

void TPrinter::Abort() {
    CheckPrinting();
    AbortDoc(dc_.Get());
    // Some drivers keep the aborted job on the context: the next job
    // gets a fresh one.
    FreeDC();
    printing_ = false;
    aborted_ = true;
    pageNumber_ = 0;
}

int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }

TPrinterOrientation TPrinter::Orientation() {
    EnsureDevice();
    DEVMODEA* dm = DevMode();
    if (dm != nullptr && (dm->dmFields & DM_ORIENTATION) && dm->dmOrientation == DMORIENT_LANDSCAPE)
        return TPrinterOrientation::poLandscape;
    return TPrinterOrientation::poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation o) {
    if (o == Orientation()) return;
    CheckNotPrinting();
    DEVMODEA* dm = DevMode();
    if (dm == nullptr) throw EPrinter("The printer has no orientation setting");
    dm->dmFields |= DM_ORIENTATION;
    dm->dmOrientation = o == TPrinterOrientation::poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    FreeDC();
}

int TPrinter::Copies() {
    EnsureDevice();
    DEVMODEA* dm = DevMode();
    if (dm != nullptr && (dm->dmFields & DM_COPIES) && dm->dmCopies > 0) return dm->dmCopies;
    return 1;
}

void TPrinter::SetCopies(int copies) {
    if (copies == Copies()) return;
    CheckNotPrinting();
    DEVMODEA* dm = DevMode();
    if (dm == nullptr) throw EPrinter("The printer has no copies setting");
    dm->dmFields |= DM_COPIES;
    dm->dmCopies = static_cast<short>(copies);
    FreeDC();
}

HGLOBAL TPrinter::DevNamesCopy() {
    if (Printers()->Count() == 0) return nullptr;
    EnsureDevice();
    // DEVNAMES: four offsets (in characters from its start), then the
    // driver, device and port names.
    std::string driver = driver_.empty() ? std::string("winspool") : driver_;
    size_t header = sizeof(DEVNAMES);
    size_t total = header + driver.size() + 1 + device_.size() + 1 + port_.size() + 1;
    GlobalMemory mem(total, GMEM_MOVEABLE | GMEM_ZEROINIT);
    {
        GlobalLockGuard lock(mem.Get());
        auto* names = static_cast<DEVNAMES*>(lock.Get());
        char* base = static_cast<char*>(lock.Get());
        size_t at = header;
        names->wDriverOffset = static_cast<WORD>(at);
        std::memcpy(base + at, driver.c_str(), driver.size() + 1);
        at += driver.size() + 1;
        names->wDeviceOffset = static_cast<WORD>(at);
        std::memcpy(base + at, device_.c_str(), device_.size() + 1);
        at += device_.size() + 1;
        names->wOutputOffset = static_cast<WORD>(at);
        std::memcpy(base + at, port_.c_str(), port_.size() + 1);
        names->wDefault = device_ == DefaultPrinterName() ? DN_DEFAULTPRN : 0;
    }
    return mem.Release();
}

HGLOBAL TPrinter::DevModeCopy() {
    if (Printers()->Count() == 0) return nullptr;
    EnsureDevice();
    if (devMode_.empty()) return nullptr;
    GlobalMemory mem(devMode_.size());
    {
        GlobalLockGuard lock(mem.Get());
        std::memcpy(lock.Get(), devMode_.data(), devMode_.size());
    }
    return mem.Release();
}

void TPrinter::SetDevice(HGLOBAL devNames, HGLOBAL devMode) {
    CheckNotPrinting();
    if (devNames != nullptr) {
        GlobalLockGuard lock(devNames);
        auto* names = static_cast<const DEVNAMES*>(lock.Get());
        if (names != nullptr) {
            const char* base = static_cast<const char*>(lock.Get());
            std::string device = base + names->wDeviceOffset;
            if (device != device_) ChooseDevice(device);
        }
    }
    if (devMode != nullptr) {
        GlobalLockGuard lock(devMode);
        auto* dm = static_cast<const DEVMODEA*>(lock.Get());
        if (dm != nullptr && lock.Size() >= offsetof(DEVMODEA, dmDriverExtra) + sizeof(WORD)) {
            size_t size = static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra;
            if (size > lock.Size()) size = lock.Size();
            devMode_.assign(static_cast<const uint8_t*>(lock.Get()), static_cast<const uint8_t*>(lock.Get()) + size);
        }
    }
    FreeDC();
}

TPrinter* Printer() {
    static std::unique_ptr<TPrinter> printer = std::make_unique<TPrinter>();
    return printer.get();
}

}  // namespace treskel
