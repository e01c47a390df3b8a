#include "winutil/IcoList.h"

namespace treskel {

TIconList::~TIconList() {
    OnChange = nullptr;
    Clear();
}

void TIconList::Changed() {
    if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TIconList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

int TIconList::Add(TIcon* icon) {
    auto copy = std::make_unique<TIcon>();
    if (icon != nullptr) copy->Assign(icon);
    copy->OnChange = [this](TObject*) { Changed(); };
    icons_.push_back(std::move(copy));
    Changed();
    return Count() - 1;
}

void TIconList::Delete(int index) {
    icons_.erase(icons_.begin() + index);
    Changed();
}

void TIconList::Clear() {
    BeginUpdate();
    while (!icons_.empty()) Delete(Count() - 1);
    EndUpdate();
}

void TIconList::Assign(TPersistent* source) {
    if (source == nullptr) return Clear();
    auto* list = dynamic_cast<TIconList*>(source);
    auto* icon = dynamic_cast<TIcon*>(source);
    if (list == nullptr && icon == nullptr) return TPersistent::Assign(source);
    BeginUpdate();
    Clear();
    if (list != nullptr)
        for (auto& i : list->icons_) Add(i.get());
    else
        Add(icon);
    EndUpdate();
}

}  // namespace treskel
