// An ordered list of owned icons (the frames of an animated tray icon),
// kept in layouts as the raw property "Icons".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Streams.h"

namespace treskel {

class TIconList : public TPersistent {
    TRESKEL_CLASS(TIconList)
public:
    ~TIconList() override;
    int Count() const { return GetCount(); }
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

    virtual void Changed();
    // An entry may be null.
    virtual TIcon* Get(int index) const;
    virtual int GetCount() const { return static_cast<int>(icons_.size()); }
    // Copies `icon` into entry `index`; an index one past the end appends.
    virtual void Put(int index, TIcon* icon);
    // Appends a copy of `icon` and gives its index.
    virtual int Add(TIcon* icon);
    virtual int AddResource(HINSTANCE instance, const std::string& resName);
    virtual void Clear();
    virtual void Delete(int index);
    virtual void Exchange(int index1, int index2);
    // The index of that very icon object, or -1.
    virtual int IndexOf(TIcon* icon) const;
    virtual void Insert(int index, TIcon* icon);
    virtual void InsertResource(int index, HINSTANCE instance, const std::string& resName);
    // The stored form: the count, then each icon's size and its icon file
    // (size 0 for an empty or missing one), little-endian 32-bit numbers.
    virtual void LoadFromStream(TStream& stream);
    virtual void Move(int curIndex, int newIndex);
    virtual void SaveToStream(TStream& stream);

private:
    void CheckIndex(int index, int last) const;
    std::unique_ptr<TIcon> Copy(TIcon* icon);
    void Watch(TIcon* icon);
    std::vector<std::unique_ptr<TIcon>> icons_;
    int updateCount_ = 0;
};

void RegisterIconListClasses();

}  // namespace treskel
