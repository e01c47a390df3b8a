// Objects, persistence, components and ownership, lists and string lists.
// No <windows.h>: this builds natively too.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Sets.h"
#include "platform/SysUtils.h"

// The system's header names its GDI GetObject like the string lists'
// method; here the method is meant (Windows code calls GetObjectA).
#ifdef GetObject
#undef GetObject
#endif

namespace treskel {

class TStream;
class TComponent;
struct ClassInfo;

// Every class that takes part in layouts names itself with this macro;
// the name is the one used in layout files and in error messages.
#define TRESKEL_CLASS(Name)                                               \
public:                                                                   \
    static constexpr const char* StaticClassName = #Name;                 \
    const char* ClassName() const override { return StaticClassName; }   \
                                                                          \
private:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
    virtual const char* ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
    TRESKEL_CLASS(TPersistent)
public:
    // Copies the source's published state; raises EConvertError when the
    // two classes do not know each other.
    virtual void Assign(TPersistent* source);

protected:
    virtual void AssignTo(TPersistent* dest);
    [[noreturn]] void AssignError(TPersistent* source);
};

enum class TOperation { opInsert, opRemove };

enum class TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating, csFixups };
using TComponentState = Set<TComponentStateItem>;

class TComponent : public TPersistent {
    TRESKEL_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(std::string_view name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees the owned components, last one first.
    void DestroyComponents();
    // Frees this component: BeforeDestruction runs while the object is
    // still whole (events fire, owned components go), then it is deleted.
    // Owners free their components this way.
    void Free();
    virtual void BeforeDestruction();

    TComponentState ComponentState() const { return state_; }
    void SetComponentState(TComponentStateItem item, bool on);
    bool IsLoading() const { return state_.Contains(TComponentStateItem::csLoading); }
    bool IsDestroying() const { return state_.Contains(TComponentStateItem::csDestroying); }

    // Asks to be told (Notification with opRemove) when `component` goes.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Layout support: the component that holds this one in a layout (a
    // control's parent, an action's list, a menu item's menu).
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* parent) {}
    // Calls `proc` for the components written inside this one in a layout.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);

    // Names of the handlers bound to events by a layout, for writing it back.
    void SetEventBinding(const std::string& event, const std::string& handler);
    std::string EventBinding(const std::string& event) const;

    // Called by the layout reader on a component it has just made, before
    // it reads the component's properties and what it holds.
    virtual void ReadState() {}
    // Called on every component of a layout once all of it has been read.
    virtual void Loaded();

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    void Destroying();
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveNotification(TComponent* component);
    // Tells every component that asked (FreeNotification) that this one goes.
    void NotifyFreeNotifies();

    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::vector<std::pair<std::string, std::string>> eventBindings_;
    TComponentState state_;
    bool beforeDestructionDone_ = false;
};

// Frees a component that has no owner through unique_ptr.
struct ComponentDeleter {
    void operator()(TComponent* c) const {
        if (c != nullptr) c->Free();
    }
};
template <class T>
using OwnedPtr = std::unique_ptr<T, ComponentDeleter>;
template <class T, class... Args>
OwnedPtr<T> MakeOwned(Args&&... args) {
    return OwnedPtr<T>(new T(nullptr, std::forward<Args>(args)...));
}

// Creates a component owned by `owner`; the owner frees it.
template <class T, class... Args>
T* Create(TComponent* owner, Args&&... args) {
    return new T(owner, std::forward<Args>(args)...);
}

// A list of untyped pointers with the class library's index checking.
class TList : public TObject {
    TRESKEL_CLASS(TList)
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void* Items(int index) const;
    void SetItems(int index, void* item);
    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    int Remove(void* item);
    int IndexOf(void* item) const;
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Clear() { items_.clear(); }
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    void Pack();
    void Sort(const std::function<int(void*, void*)>& compare);

private:
    void Check(int index) const;
    std::vector<void*> items_;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// Strings with an object pointer each.  Concrete lists derive from it and
// implement storage; controls derive from it to mirror their windows.
class TStrings : public TPersistent {
    TRESKEL_CLASS(TStrings)
public:
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual void* GetObject(int index) const { return nullptr; }
    virtual void PutObject(int index, void* object) {}
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, void* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, void* object);
    void AddStrings(const TStrings& strings);
    void Append(const std::string& s) { Add(s); }
    virtual int IndexOf(std::string_view s) const;
    int IndexOfObject(void* object) const;
    int IndexOfName(std::string_view name) const;
    virtual void Exchange(int a, int b);
    virtual void Move(int from, int to);

    std::string operator[](int index) const { return Get(index); }
    std::string Strings(int index) const { return Get(index); }
    void* Objects(int index) const { return GetObject(index); }

    std::string Names(int index) const;
    std::string Values(std::string_view name) const;
    void SetValue(std::string_view name, const std::string& value);

    // Lines joined by CR LF (each line ends with one).
    virtual std::string Text() const;
    virtual void SetText(std::string_view text);
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    bool Equals(const TStrings& other) const;
    void Assign(TPersistent* source) override;
    std::vector<std::string> ToVector() const;

protected:
    virtual void SetUpdateState(bool updating) {}
    [[noreturn]] void Error(const char* msg, int data) const;

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
    TRESKEL_CLASS(TStringList)
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines);

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, void* object) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int IndexOf(std::string_view s) const override;
    void Exchange(int a, int b) override;

    // Binary search of a sorted list: true when found; `index` is where
    // the string is or would go.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    void CustomSort(const std::function<int(TStringList&, int, int)>& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool on);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    int CompareStrings(std::string_view a, std::string_view b) const;

private:
    struct Item {
        std::string s;
        void* object = nullptr;
    };
    void CheckIndex(int index) const;
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

class TCollection;

class TCollectionItem : public TPersistent {
    TRESKEL_CLASS(TCollectionItem)
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;
    TCollection* Collection() const { return collection_; }
    int Index() const;
    void SetIndex(int index);
    virtual std::string DisplayName() const { return ClassName(); }

protected:
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

// An owned list of items of one class, such as a status bar's panels.
class TCollection : public TPersistent {
    TRESKEL_CLASS(TCollection)
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(ItemFactory factory);
    ~TCollection() override;

    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Assign(TPersistent* source) override;

    // Called after any change, with the changed item or null for all.
    std::function<void(TCollectionItem*)> OnUpdate;

protected:
    virtual void Update(TCollectionItem* item);

private:
    friend class TCollectionItem;
    void Changed(TCollectionItem* item);
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    ItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    bool clearing_ = false;
};

}  // namespace treskel
