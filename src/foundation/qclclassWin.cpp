// The application object of the component library and the one-per-form
// check: the parts that need the system and the platform's forms.
#include <windows.h>

#include "foundation/qclclass.h"
#include "foundation/qclclassHook.h"
#include "foundation/qclcontWin.h"
#include "foundation/qclnonvS.h"
#include "foundation/qclsysin.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

namespace treskel {

TQclApplication* QclApplication = nullptr;

namespace {

std::string ProgramPath() {
    char buf[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

bool IsDataModule(const TComponent* owner) {
    const ClassInfo* info = ClassRegistry::Instance().Of(owner);
    const ClassInfo* dataModule = ClassRegistry::Instance().Find("TDataModule");
    return info != nullptr && dataModule != nullptr && info->InheritsFrom(dataModule);
}

}  // namespace

bool QclCheckOneInstance(TComponent* owner, const std::function<bool(const TComponent*)>& isOfClass,
                         bool allowDataModule) {
    if (!isOfClass) return false;
    bool goodOwner = dynamic_cast<TCustomForm*>(owner) != nullptr ||
                     (owner != nullptr && allowDataModule && IsDataModule(owner));
    if (!goodOwner) return true;
    int found = 0;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (isOfClass(owner->Components(i)) && ++found >= 2) return true;
    return false;
}

// ------------------------------------------------------------ TQclApplication

struct TQclApplication::InstanceMutex {
    KernelHandle Handle;
};

TQclApplication::TQclApplication(TComponent* owner) : TComponent(owner) {
    iniCtrl_ = MakeOwned<TQclIniCtrl>();
    if (!ComponentState().Contains(TComponentStateItem::csDesigning)) {
        // Named after the program file: a copy of it started from anywhere
        // finds this one.
        prevInstance_ = false;
        std::string name = ExtractFileName(ProgramPath());
        mutex_ = std::make_unique<InstanceMutex>();
        mutex_->Handle.Reset(CreateMutexA(nullptr, FALSE, name.c_str()));
        if (mutex_->Handle && GetLastError() == ERROR_ALREADY_EXISTS) prevInstance_ = true;
    }
    timerPool_ = MakeOwned<TQclTimerPool>();
    timerPool_->minInterval_ = 50;
    logPrefix_ = TQclPathPrefix::ppProgram;
    SetLogFile({});
    LARGE_INTEGER freq{};
    if (QueryPerformanceFrequency(&freq)) performanceFrequency_ = freq.QuadPart;
    HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(16548));
    if (cursor != nullptr && EnsureScreen() != nullptr) Screen->SetCursors(-255, cursor);
}

TQclApplication::~TQclApplication() {
    timerPool_.reset();
    iniCtrl_.reset();
}

void TQclApplication::SetLogFile(const std::string& name) {
    std::string file = name;
    if (QclIsEmptyStr(file))
        file = ChangeFileExt(ProgramPath(), ".LOG");
    else if (ExtractFileExt(file).empty())
        file += ".LOG";
    if (logPrefix_ != TQclPathPrefix::ppFixed) file = QclGetPathPrefix(logPrefix_, true) + ExtractFileName(file);
    logFile_ = file;
}

std::string TQclApplication::GetRegKey() const {
    std::string key = "Software\\";
    if (!regKeyPrefix_.empty()) key += regKeyPrefix_ + "\\";
    std::string title = Application != nullptr ? Application->Title() : std::string();
    key += (title.empty() ? ProgramPath() : title) + "\\";
    if (!regKeySuffix_.empty()) key += regKeySuffix_ + "\\";
    return key;
}

TBitmap* TQclApplication::GetPatternBitmap(TColor color) {
    if (!pattern_) {
        pattern_ = std::make_unique<TBitmap>();
        pattern_->SetSize(8, 8);
        pattern_->Canvas()->Brush()->SetColor(clWhite);
        pattern_->Canvas()->FillRect(Rect(0, 0, 8, 8));
    }
    if (color != patternColor_) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if ((x + y) % 2 != 0) pattern_->Canvas()->SetPixel(x, y, color);
        patternColor_ = color;
    }
    return pattern_.get();
}

uint16_t TQclApplication::AddTimer(uint16_t interval, TNotifyEvent event) {
    for (int slot = 1; slot <= TimerSlots; ++slot) {
        if (slots_[slot - 1]) continue;
        uint16_t id = static_cast<uint16_t>(TimerIdBase + slot);
        timerPool_->AddItem(id, interval, std::move(event));
        slots_[slot - 1] = true;
        return id;
    }
    return 0;
}

TQclTimerItem* TQclApplication::GetTimer(uint16_t id) const { return timerPool_->GetItemByID(id); }

void TQclApplication::RemoveTimer(uint16_t id) {
    int slot = id - TimerIdBase;
    if (slot < 1 || slot > TimerSlots) return;
    timerPool_->RemoveItem(id);
    slots_[slot - 1] = false;
}

// ------------------------------------------------------------ start and end

namespace {
int initCount = 0;
}

void QclInitialize() {
    if (initCount++ > 0) return;
    QclApplication = new TQclApplication(nullptr);
    QclTimerExceptionHandler() = [](TObject*, std::exception_ptr e) {
        if (Application != nullptr) Application->HandleException(e);
    };
    QclInstallInstanceListener();
}

void QclFinalize() {
    if (initCount == 0 || --initCount > 0) return;
    QclRemoveInstanceListener();
    QclTimerExceptionHandler() = nullptr;
    TQclApplication* app = QclApplication;
    QclApplication = nullptr;
    app->Free();
}

void RegisterFoundationClasses() {
    static bool done = false;
    if (!done) {
        done = true;
        PublishClass<TQclObject, TPersistent>();
        PublishClass<TQclComponent, TComponent>().NotCreatable();
        PublishClass<TQclTimerPool, TQclComponent>()
            .String("About", &TQclTimerPool::About, &TQclTimerPool::SetAbout)
            .Int("MinInterval", &TQclTimerPool::MinInterval,
                 [](TQclTimerPool* p, int v) { p->SetMinInterval(static_cast<TQclTimerInterval>(v)); }, 1000)
            .Event("OnTimer", &TQclTimerPool::OnTimer);
        RegisterNonvClasses();
        RegisterSysInfoClasses();
        RegisterWndProcClasses();
        RegisterPictureContainerClasses();
        QclInitialize();
    }
}

}  // namespace treskel
