// The lowest layer of the component library: the persistent and component
// bases with change notification, the one-per-form check, the timer pool
// and the library's application object.
// No <windows.h>: the bases and the timer pool's arithmetic build natively.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"
#include "foundation/qclutils.h"

namespace treskel {

// Informational text shown by the designer; no behaviour.
using TQclAboutVar = std::string;

// Base of the appearance objects: reports its changes through OnChange
// unless an update is in progress.
class TQclObject : public TPersistent {
    TRESKEL_CLASS(TQclObject)
public:
    TQclObject() = default;

    // Fires OnChange unless updates are locked; descendants override it.
    virtual void Change();
    void Changed() { Change(); }
    void BeginUpdate() { updateLock_ = true; }
    void EndUpdate(bool notify = true);
    bool UpdateLocked() const { return updateLock_; }

    TNotifyEvent OnChange;

private:
    bool updateLock_ = false;
};

// Base of the library's components: the same change notification as
// TQclObject, and the informational About text.
class TQclComponent : public TComponent {
    TRESKEL_CLASS(TQclComponent)
public:
    explicit TQclComponent(TComponent* owner) : TComponent(owner) {}

    const TQclAboutVar& About() const { return about_; }
    void SetAbout(const TQclAboutVar& value) { about_ = value; }

    virtual void Change();
    void Changed() { Change(); }
    void BeginUpdate() { updateLock_ = true; }
    void EndUpdate(bool notify = true);
    bool UpdateLocked() const { return updateLock_; }

    TNotifyEvent OnChange;

private:
    TQclAboutVar about_;
    bool updateLock_ = false;
};

// Raised by components of which a program or a form may hold only one.
class QclEOneInstError : public Exception {
public:
    // kind 0: bad owner or second instance on a form; kind 1: a second
    // instance in the program; any other kind: no message.
    QclEOneInstError(const std::string& componentName, int kind);
};


// ------------------------------------------------------------ timer pool

class TQclTimerPool;

// Milliseconds, 1..65535.
using TQclTimerInterval = uint16_t;
using TQclTimerPoolEvent = std::function<void(TObject* Sender, uint16_t Ident, int Counter)>;

// One logical timer of a pool.  It fires on every Ratio-th tick of the
// pool, Ratio being Interval divided by the pool's MinInterval.
class TQclTimerItem : public TObject {
    TRESKEL_CLASS(TQclTimerItem)
public:
    // Raises EInvalidOperation without a pool.
    TQclTimerItem(TQclTimerPool* pool, uint16_t id);

    TQclTimerPool* Pool() const { return pool_; }
    uint16_t ID() const { return id_; }
    // Fires left before the item disables itself; -1: never.  0 keeps the
    // item from being enabled.
    int Limit() const { return limit_; }
    void SetLimit(int value) { limit_ = value; }
    int Counter() const { return counter_; }
    int Ratio() const { return ratio_; }
    bool Enabled() const { return enabled_; }
    // Enabling or disabling restarts the counter.
    void SetEnabled(bool value);
    uint16_t Interval() const { return interval_; }
    // Ignored unless a multiple of the pool's MinInterval; 0 stands for it.
    void SetInterval(uint16_t value);
    void Fire();

    TNotifyEvent OnTimer;

private:
    TQclTimerPool* pool_;
    uint16_t id_;
    int limit_ = -1;
    int counter_ = 0;
    bool enabled_ = true;
    uint16_t interval_ = 1000;
    int ratio_;
};

// What makes a pool tick: the system's timer on a hidden window in the
// program, a test's own hand in tests.
class TQclTickSource {
public:
    virtual ~TQclTickSource() = default;
    // (Re)starts ticks every `periodMs`; false when the system has no
    // timer left.
    virtual bool Arm(unsigned periodMs) = 0;
    virtual void Disarm() = 0;
};

// The system's tick source for a pool (its WM_TIMER calls the pool's
// TimerMessage); null where there is none.
std::unique_ptr<TQclTickSource> QclMakeSystemTickSource(TQclTimerPool* pool);

// Many logical timers on one system timer of period MinInterval.
class TQclTimerPool : public TQclComponent {
    TRESKEL_CLASS(TQclTimerPool)
public:
    explicit TQclTimerPool(TComponent* owner);
    ~TQclTimerPool() override;

    TQclTimerInterval MinInterval() const { return minInterval_; }
    // Takes effect only while the pool is being loaded or designed.
    void SetMinInterval(TQclTimerInterval value);

    // Adds an enabled item and starts the system timer; returns its index.
    int AddItem(uint16_t id, uint16_t interval, TNotifyEvent event);
    // Safe from inside a timer event, also for the item that is firing.
    void RemoveItem(uint16_t id);
    TQclTimerItem* GetItemByID(uint16_t id) const;
    int IndexOfID(uint16_t id) const;
    int Count() const { return static_cast<int>(items_.size()); }
    TQclTimerItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    int EnabledCount() const;
    void Clear();

    // Kills the system timer and, with `start` and an enabled item, arms
    // it again with the tick count at 1.
    void UpdateTimer(bool start);
    // One tick: fires the enabled items whose Ratio divides the tick count.
    void Tick();
    // A tick as the system timer delivers it: skipped while one runs.
    void TimerMessage();
    bool Active() const { return active_; }
    int TickCount() const { return tickCount_; }
    // Replaces the system timer (tests drive the pool by hand).
    void SetTickSource(std::unique_ptr<TQclTickSource> source);

    TQclTimerPoolEvent OnTimer;

private:
    friend class TQclApplication;
    friend class TQclTimerItem;
    void FreeItem(TQclTimerItem* item);

    TQclTimerInterval minInterval_ = 1000;
    bool active_ = false;
    bool inTick_ = false;
    bool removing_ = false;
    int tickCount_ = 0;
    std::vector<TQclTimerItem*> items_;
    // Items removed during a tick, freed when it ends.
    std::vector<TQclTimerItem*> retired_;
    std::unique_ptr<TQclTickSource> source_;
};

// Where an exception raised by a timer event goes (the program: the
// application's error box).  Without a handler it is dropped.
using TQclExceptionHandler = std::function<void(TObject* Sender, std::exception_ptr e)>;
TQclExceptionHandler& QclTimerExceptionHandler();

#ifdef _WIN32
// ------------------------------------------------------------ application object

class TBitmap;
class TQclIniCtrl;

// True means "error": the owner is not a form (nor, when allowed, a data
// module) or holds two or more components for which `isOfClass` is true.
// A null `isOfClass` gives False.
bool QclCheckOneInstance(TComponent* owner, const std::function<bool(const TComponent*)>& isOfClass,
                         bool allowDataModule);
template <class T>
bool QclCheckOneInstance(TComponent* owner, bool allowDataModule) {
    return QclCheckOneInstance(owner, [](const TComponent* c) { return dynamic_cast<const T*>(c) != nullptr; },
                               allowDataModule);
}

// The library's one application object: library-wide settings, a default
// settings store, the shared timer pool and whether another instance of
// the program runs.
class TQclApplication : public TComponent {
    TRESKEL_CLASS(TQclApplication)
public:
    static constexpr uint16_t TimerIdBase = 0xFD00;
    static constexpr int TimerSlots = 250;

    explicit TQclApplication(TComponent* owner);
    ~TQclApplication() override;

    const std::string& RegKeyPrefix() const { return regKeyPrefix_; }
    void SetRegKeyPrefix(const std::string& v) { regKeyPrefix_ = v; }
    const std::string& RegKeySuffix() const { return regKeySuffix_; }
    void SetRegKeySuffix(const std::string& v) { regKeySuffix_ = v; }
    // Bit 0: drawing leaves palettes out on displays below 9 colour bits.
    uint8_t Options() const { return options_; }
    void SetOptions(uint8_t v) { options_ = v; }
    uint8_t ExplodeSpeed() const { return explodeSpeed_; }
    void SetExplodeSpeed(uint8_t v) { explodeSpeed_ = v; }
    TQclIniCtrl* IniCtrl() const { return iniCtrl_.get(); }
    TQclTimerPool* TimerPool() const { return timerPool_.get(); }
    TQclPathPrefix LogPrefix() const { return logPrefix_; }
    void SetLogPrefix(TQclPathPrefix v) { logPrefix_ = v; }
    const std::string& LogFile() const { return logFile_; }
    void SetLogFile(const std::string& name);
    // Another instance of this program (same file name) was running when
    // this one started.
    bool PrevInstance() const { return prevInstance_; }
    void SetPrevInstance(bool v) { prevInstance_ = v; }
    int64_t PerformanceFrequency() const { return performanceFrequency_; }

    // "Software\" [prefix "\"] title "\" [suffix "\"]: the default key of
    // settings stores without a key of their own.
    std::string GetRegKey() const;
    // An 8x8 brush pattern: white, with the pixels whose x and y differ in
    // parity in `color`.
    TBitmap* GetPatternBitmap(TColor color);

    // Takes a free slot of 1..250 and adds an enabled timer with ID
    // 0xFD00 + slot to the pool; 0 when no slot is free.
    uint16_t AddTimer(uint16_t interval, TNotifyEvent event);
    TQclTimerItem* GetTimer(uint16_t id) const;
    // Only IDs of this object's slots are taken; others are ignored.
    void RemoveTimer(uint16_t id);

private:
    std::string regKeyPrefix_, regKeySuffix_;
    uint8_t options_ = 0x36;
    uint8_t explodeSpeed_ = 3;
    OwnedPtr<TQclIniCtrl> iniCtrl_;
    OwnedPtr<TQclTimerPool> timerPool_;
    std::unique_ptr<TBitmap> pattern_;
    TColor patternColor_ = 0x1FFFFFFF;
    TQclPathPrefix logPrefix_ = TQclPathPrefix::ppProgram;
    std::string logFile_;
    bool prevInstance_ = false;
    // The single-instance mutex (system builds only).
    struct InstanceMutex;
    std::unique_ptr<InstanceMutex> mutex_;
    int64_t performanceFrequency_ = 0;
    bool slots_[TimerSlots] = {};
};

// Alive from QclInitialize to QclFinalize (nested calls are counted).
extern TQclApplication* QclApplication;
// The library's start: the application object, and a way for a second
// instance to call this one to the front.  Call after the platform's
// application object exists.
void QclInitialize();
void QclFinalize();

// Registers the component bases, the settings store, the system
// information and single-instance classes for layouts, and starts the
// library (QclInitialize).
void RegisterFoundationClasses();
#endif

}  // namespace treskel
