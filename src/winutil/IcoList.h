// An ordered list of owned icons (the frames of an animated tray icon).
#pragma once

#include <memory>
#include <vector>

#include "platform/Graphics.h"

namespace treskel {

class TIconList : public TPersistent {
    TRESKEL_CLASS(TIconList)
public:
    ~TIconList() override;
    int Count() const { return static_cast<int>(icons_.size()); }
    // An entry may be null.
    TIcon* Get(int index) const { return icons_.at(index).get(); }
    int Add(TIcon* icon);
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    std::vector<std::unique_ptr<TIcon>> icons_;
    int updateCount_ = 0;
};

}  // namespace treskel
