#include "winutil/SubCls.h"

#include <algorithm>

namespace treskel {

namespace {
std::vector<std::unique_ptr<TControlSubclassInfo>>& SubclassList() {
    static std::vector<std::unique_ptr<TControlSubclassInfo>> list;
    return list;
}
}  // namespace

TControlSubclassInfo::TControlSubclassInfo(TWinControl* control) : control_(control) {
    subclass_.Attach(control->Handle(), [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        TMessage m{msg, wParam, lParam, 0};
        WndProc(m);
        result = m.Result;
        return true;
    });
}

void TControlSubclassInfo::WndProc(TMessage& message) {
    // A copy: a hook may detach itself or another while it runs.
    std::vector<TControlSubclass*> hooks = hooks_;
    for (TControlSubclass* h : hooks) h->BeforeWndProc(message);
    // A swallowed message does not reach the control.
    if (message.Msg != 0 || message.Result == 0)
        message.Result = subclass_.CallNext(message.Msg, message.WParam, message.LParam);
    if (message.Msg == CM_RELEASE) return;
    for (TControlSubclass* h : hooks) h->AfterWndProc(message);
}

TControlSubclassInfo* FindSubclassInfo(TWinControl* control) {
    for (auto& info : SubclassList())
        if (info->Control() == control) return info.get();
    return nullptr;
}

void AttachSubclass(TWinControl* control, TControlSubclass* hook) {
    if (control == nullptr || hook == nullptr) return;
    TControlSubclassInfo* info = FindSubclassInfo(control);
    if (info == nullptr) {
        SubclassList().push_back(std::make_unique<TControlSubclassInfo>(control));
        info = SubclassList().back().get();
    }
    info->Hooks().push_back(hook);
}

void DetachSubclass(TWinControl* control, TControlSubclass* hook) {
    TControlSubclassInfo* info = FindSubclassInfo(control);
    if (info == nullptr) return;
    auto& hooks = info->Hooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), hook), hooks.end());
    if (!hooks.empty()) return;
    auto& list = SubclassList();
    list.erase(std::remove_if(list.begin(), list.end(), [&](auto& p) { return p.get() == info; }), list.end());
}

}  // namespace treskel
