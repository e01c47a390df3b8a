#include "foundation/qclclass.h"

#include <cstdint>

namespace treskel {

// ------------------------------------------------------------ TQclObject

void TQclObject::Change() {
    if (OnChange && !updateLock_) OnChange(this);
}

void TQclObject::EndUpdate(bool notify) {
    updateLock_ = false;
    if (notify) Change();
}

// ------------------------------------------------------------ TQclComponent

void TQclComponent::Change() {
    if (OnChange && !updateLock_) OnChange(this);
}

void TQclComponent::EndUpdate(bool notify) {
    updateLock_ = false;
    if (notify) Change();
}

// ------------------------------------------------------------ QclEOneInstError

namespace {
std::string OneInstMessage(const std::string& name, int kind) {
    switch (kind) {
        case 0: return name + ":\r" + "Invalid owner (<>TForm) or second instance on a form";
        case 1: return name + ":\r" + "Already one " + name + " control in this project!";
        default: return {};
    }
}
}  // namespace

QclEOneInstError::QclEOneInstError(const std::string& componentName, int kind)
    : Exception(OneInstMessage(componentName, kind)) {}

// ------------------------------------------------------------ TQclTimerItem

TQclTimerItem::TQclTimerItem(TQclTimerPool* pool, uint16_t id) : pool_(pool), id_(id) {
    if (pool == nullptr) throw EInvalidOperation(std::string(StaticClassName) + ": Invalid Owner or List");
    ratio_ = 1000 / pool->MinInterval();
}

void TQclTimerItem::SetEnabled(bool value) {
    if (value == enabled_) return;
    if (value && limit_ == 0) return;
    enabled_ = value;
    counter_ = 0;
}

void TQclTimerItem::SetInterval(uint16_t value) {
    if (value == interval_) return;
    uint16_t minInterval = pool_->MinInterval();
    if (value % minInterval != 0) return;
    if (value == 0) value = minInterval;
    interval_ = value;
    ratio_ = value / minInterval;
    counter_ = 0;
}

void TQclTimerItem::Fire() {
    if (!enabled_) return;
    counter_ = counter_ == INT32_MAX ? 0 : counter_ + 1;
    // The last permitted firing still runs its event.
    if (counter_ == limit_) enabled_ = false;
    // Copies: the event may remove this item or replace its handler.
    if (OnTimer) {
        TNotifyEvent event = OnTimer;
        event(pool_);
    } else if (pool_->OnTimer) {
        TQclTimerPoolEvent event = pool_->OnTimer;
        event(pool_, id_, counter_);
    }
}

// ------------------------------------------------------------ TQclTimerPool

TQclExceptionHandler& QclTimerExceptionHandler() {
    static TQclExceptionHandler handler;
    return handler;
}

namespace {
void ReportTimerException(TObject* sender, std::exception_ptr e) {
    try {
        if (QclTimerExceptionHandler()) QclTimerExceptionHandler()(sender, e);
    } catch (...) {
        // The report itself failed; nothing is left to tell.
    }
}
}  // namespace

TQclTimerPool::TQclTimerPool(TComponent* owner) : TQclComponent(owner) {}

TQclTimerPool::~TQclTimerPool() {
    Clear();
    for (TQclTimerItem* item : retired_) delete item;
    source_.reset();
}

void TQclTimerPool::SetMinInterval(TQclTimerInterval value) {
    if (value == 0) return;
    if (IsLoading() || ComponentState().Contains(TComponentStateItem::csDesigning)) minInterval_ = value;
}

void TQclTimerPool::SetTickSource(std::unique_ptr<TQclTickSource> source) {
    if (source_) source_->Disarm();
    source_ = std::move(source);
    active_ = false;
}

int TQclTimerPool::IndexOfID(uint16_t id) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->ID() == id) return static_cast<int>(i);
    return -1;
}

TQclTimerItem* TQclTimerPool::GetItemByID(uint16_t id) const {
    int i = IndexOfID(id);
    return i < 0 ? nullptr : items_[static_cast<size_t>(i)];
}

int TQclTimerPool::EnabledCount() const {
    int n = 0;
    for (TQclTimerItem* item : items_)
        if (item->Enabled()) ++n;
    return n;
}

int TQclTimerPool::AddItem(uint16_t id, uint16_t interval, TNotifyEvent event) {
    if (IndexOfID(id) >= 0) throw Exception(Format("Timer ID $%.4X is already in use", id));
    if (interval < minInterval_ || interval % minInterval_ != 0)
        throw Exception("Interval not compatible with MinInterval property!");
    auto item = std::make_unique<TQclTimerItem>(this, id);
    item->SetInterval(interval);
    item->OnTimer = std::move(event);
    items_.push_back(item.release());
    UpdateTimer(true);
    return static_cast<int>(items_.size()) - 1;
}

void TQclTimerPool::FreeItem(TQclTimerItem* item) {
    item->SetEnabled(false);
    item->OnTimer = nullptr;
    // An item removed during a tick may be the one whose event is running.
    if (inTick_)
        retired_.push_back(item);
    else
        delete item;
}

void TQclTimerPool::RemoveItem(uint16_t id) {
    removing_ = true;
    int i = IndexOfID(id);
    if (i >= 0) {
        TQclTimerItem* item = items_[static_cast<size_t>(i)];
        items_.erase(items_.begin() + i);
        FreeItem(item);
        if (items_.empty()) UpdateTimer(false);
    }
    removing_ = false;
}

void TQclTimerPool::Clear() {
    UpdateTimer(false);
    while (!items_.empty()) {
        TQclTimerItem* item = items_.back();
        items_.pop_back();
        FreeItem(item);
    }
}

void TQclTimerPool::UpdateTimer(bool start) {
    if (ComponentState().Contains(TComponentStateItem::csDesigning)) return;
    // The hidden window is made when a timer is first wanted.
    if (!source_ && start) source_ = QclMakeSystemTickSource(this);
    active_ = false;
    if (source_) source_->Disarm();
    if (start && EnabledCount() > 0) {
        if (source_ && !source_->Arm(minInterval_)) throw EOutOfResources("Not enough timers available");
        tickCount_ = 1;
        active_ = source_ != nullptr;
    }
}

void TQclTimerPool::Tick() {
    if (removing_) return;
    struct TickScope {
        TQclTimerPool& pool;
        bool outer;
        ~TickScope() {
            if (!outer) return;
            pool.inTick_ = false;
            for (TQclTimerItem* item : pool.retired_) delete item;
            pool.retired_.clear();
        }
    } scope{*this, !inTick_};
    inTick_ = true;
    // Items added by an event wait for the next tick; removed ones are
    // disabled and kept until the tick is over.
    std::vector<TQclTimerItem*> snapshot = items_;
    for (TQclTimerItem* item : snapshot) {
        if (!item->Enabled() || item->Ratio() <= 0 || tickCount_ % item->Ratio() != 0) continue;
        try {
            item->Fire();
        } catch (...) {
            // One failing event neither stops the others nor the pool.
            ReportTimerException(this, std::current_exception());
        }
    }
    tickCount_ = tickCount_ == INT32_MAX ? 0 : tickCount_ + 1;
}

void TQclTimerPool::TimerMessage() {
    if (inTick_) return;
    Tick();
}

}  // namespace treskel
