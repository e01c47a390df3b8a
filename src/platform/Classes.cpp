#include "platform/Classes.h"

#include <algorithm>
#include <cctype>

#include "platform/Streams.h"

namespace treskel {

// ---- TPersistent ----

void TPersistent::Assign(TPersistent* source) {
    if (source != nullptr) {
        source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
    const char* sourceName = source != nullptr ? source->ClassName() : "nil";
    throw EConvertError(Format("Cannot assign a %s to a %s", sourceName, ClassName()));
}

// ---- TComponent ----

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // A component deleted without Free tells them here.
    NotifyFreeNotifies();
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::NotifyFreeNotifies() {
    while (!freeNotifies_.empty()) {
        TComponent* c = freeNotifies_.back();
        freeNotifies_.pop_back();
        c->RemoveNotification(this);
        c->Notification(this, TOperation::opRemove);
    }
}

void TComponent::Destroying() {
    if (state_.Contains(TComponentStateItem::csDestroying)) return;
    state_.Include(TComponentStateItem::csDestroying);
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        // Its own teardown first, while it still belongs here and
        // references to it can be cleared.
        c->BeforeDestruction();
        Remove(c);
        delete c;
    }
}

void TComponent::BeforeDestruction() {
    if (beforeDestructionDone_) return;
    beforeDestructionDone_ = true;
    Destroying();
    // Everyone who asked is told first, while this object is still whole:
    // they may still use it (a settings store, to keep what they hold).
    NotifyFreeNotifies();
    DestroyComponents();
}

void TComponent::Free() {
    BeforeDestruction();
    delete this;
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty()) {
        bool valid = std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_';
        for (char ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_') valid = false;
        if (!valid) throw EComponentError(Format("'%s' is not a valid component name", name.c_str()));
    }
    if (owner_ != nullptr)
        owner_->ValidateRename(this, name_, name);
    else
        ValidateRename(nullptr, name_, name);
    name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName) {
    if (component != nullptr && !SameText(curName, newName) && !newName.empty()) {
        TComponent* other = FindComponent(newName);
        if (other != nullptr && other != component)
            throw EComponentError(Format("A component named %s already exists", newName.c_str()));
    }
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) throw EListError(Format("List index out of bounds (%d)", index));
    return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
    if (owner_ == nullptr) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    ValidateRename(component, std::string(), component->name_);
    Insert(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    Notification(component, TOperation::opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

void TComponent::SetComponentState(TComponentStateItem item, bool on) {
    if (on)
        state_.Include(item);
    else
        state_.Exclude(item);
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    // Both sides keep the other so that whichever goes first tells the other.
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    RemoveNotification(component);
    if (component != nullptr) component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it != freeNotifies_.end()) freeNotifies_.erase(it);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component != nullptr) RemoveFreeNotification(component);
    // Every owned component hears of it too: references between siblings
    // are cleared this way.  Copy: a handler may free components.
    std::vector<TComponent*> list = components_;
    for (TComponent* c : list)
        if (c != component && std::find(components_.begin(), components_.end(), c) != components_.end())
            c->Notification(component, operation);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    if (root != this) return;
    for (TComponent* c : components_)
        if (!c->HasParent()) proc(c);
}

void TComponent::SetEventBinding(const std::string& event, const std::string& handler) {
    for (auto& [e, h] : eventBindings_)
        if (e == event) {
            h = handler;
            return;
        }
    eventBindings_.emplace_back(event, handler);
}

std::string TComponent::EventBinding(const std::string& event) const {
    for (auto& [e, h] : eventBindings_)
        if (e == event) return h;
    return std::string();
}

void TComponent::Loaded() { state_.Exclude(TComponentStateItem::csLoading); }

// ---- TList ----

void TList::Check(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
}

void* TList::Items(int index) const {
    Check(index);
    return items_[static_cast<size_t>(index)];
}

void TList::SetItems(int index, void* item) {
    Check(index);
    items_[static_cast<size_t>(index)] = item;
}

int TList::Add(void* item) {
    items_.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
    items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
    Check(index);
    items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
    return i;
}

int TList::IndexOf(void* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int a, int b) {
    Check(a);
    Check(b);
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
}

void TList::Move(int from, int to) {
    if (from == to) return;
    void* item = Items(from);
    Check(to);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, item);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::Sort(const std::function<int(void*, void*)>& compare) {
    std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

// ---- TStrings ----

void TStrings::Error(const char* msg, int data) const { throw EStringListError(Format(msg, data)); }

void TStrings::Put(int index, const std::string& s) {
    void* obj = GetObject(index);
    Delete(index);
    InsertObject(index, s, obj);
}

void TStrings::InsertObject(int index, const std::string& s, void* object) {
    Insert(index, s);
    PutObject(index, object);
}

int TStrings::Add(const std::string& s) {
    int n = Count();
    Insert(n, s);
    return n;
}

int TStrings::AddObject(const std::string& s, void* object) {
    int i = Add(s);
    PutObject(i, object);
    return i;
}

void TStrings::AddStrings(const TStrings& strings) {
    BeginUpdate();
    for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
    EndUpdate();
}

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiCompareText(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(void* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        std::string s = Get(i);
        size_t p = s.find('=');
        if (p != std::string::npos && AnsiCompareText(std::string_view(s).substr(0, p), name) == 0) return i;
    }
    return -1;
}

void TStrings::Exchange(int a, int b) {
    BeginUpdate();
    std::string sa = Get(a), sb = Get(b);
    void* oa = GetObject(a);
    void* ob = GetObject(b);
    Put(a, sb);
    Put(b, sa);
    PutObject(a, ob);
    PutObject(b, oa);
    EndUpdate();
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    BeginUpdate();
    std::string s = Get(from);
    void* o = GetObject(from);
    Delete(from);
    InsertObject(to, s, o);
    EndUpdate();
}

std::string TStrings::Names(int index) const {
    std::string s = Get(index);
    size_t p = s.find('=');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(std::string_view name) const {
    int i = IndexOfName(name);
    if (i < 0) return std::string();
    std::string s = Get(i);
    return s.substr(s.find('=') + 1);
}

void TStrings::SetValue(std::string_view name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + "=" + value;
    if (i < 0)
        Add(line);
    else
        Put(i, line);
}

std::string TStrings::Text() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    Clear();
    size_t i = 0, n = text.size();
    while (i < n) {
        size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
        Add(std::string(text.substr(start, i - start)));
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
    }
    EndUpdate();
}

std::string TStrings::CommaText() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        std::string s = Get(i);
        bool quote = s.empty();
        for (char c : s)
            if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
        if (i > 0) r += ',';
        if (quote)
            r += '"' + StringReplaceAll(s, "\"", "\"\"") + '"';
        else
            r += s;
    }
    return r;
}

void TStrings::SetCommaText(std::string_view text) {
    BeginUpdate();
    Clear();
    size_t i = 0, n = text.size();
    auto skipBlanks = [&] {
        while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    };
    skipBlanks();
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < n && static_cast<unsigned char>(text[i]) > ' ' && text[i] != ',') item += text[i++];
        }
        Add(item);
        skipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream& stream) {
    int64_t size = stream.Size() - stream.Position();
    std::string buf(static_cast<size_t>(size), '\0');
    if (size > 0) stream.ReadBuffer(buf.data(), size);
    SetText(buf);
}

void TStrings::SaveToStream(TStream& stream) const {
    std::string t = Text();
    if (!t.empty()) stream.WriteBuffer(t.data(), static_cast<int64_t>(t.size()));
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

void TStrings::Assign(TPersistent* source) {
    if (auto* s = dynamic_cast<TStrings*>(source)) {
        BeginUpdate();
        Clear();
        AddStrings(*s);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> v;
    v.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i) v.push_back(Get(i));
    return v;
}

// ---- TStringList ----

TStringList::TStringList(std::initializer_list<std::string> lines) {
    for (auto& l : lines) Add(l);
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].s;
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].s = s;
    Changed();
}

void* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, void* object) {
    if (sorted_ && index != Count()) {
        // A sorted list decides the place itself (Add).
        int at;
        if (Find(s, at) && duplicates_ != TDuplicates::dupAccept) {
            if (duplicates_ == TDuplicates::dupError) throw EStringListError("Duplicates not allowed");
            return;
        }
        index = at;
    }
    if (index < 0 || index > Count()) Error("List index out of bounds (%d)", index);
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

int TStringList::Add(const std::string& s) {
    int index = Count();
    if (sorted_) {
        if (Find(s, index)) {
            if (duplicates_ == TDuplicates::dupIgnore) return index;
            if (duplicates_ == TDuplicates::dupError) throw EStringListError("Duplicates not allowed");
        }
    }
    Changing();
    items_.insert(items_.begin() + index, Item{s, nullptr});
    Changed();
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(std::string_view s) const {
    if (!sorted_) {
        for (int i = 0; i < Count(); ++i)
            if (CompareStrings(items_[static_cast<size_t>(i)].s, s) == 0) return i;
        return -1;
    }
    int index;
    return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    Changing();
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
    Changed();
}

bool TStringList::Find(std::string_view s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(items_[static_cast<size_t>(mid)].s, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != TDuplicates::dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s) < 0; });
    Changed();
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
    // Sort a permutation so that the comparer sees the list as it stands.
    std::vector<int> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    Changing();
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(items_[static_cast<size_t>(i)]);
    items_.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted_ == sorted) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool on) {
    if (caseSensitive_ == on) return;
    caseSensitive_ = on;
    if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing() {
    if (!Updating() && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (!Updating() && OnChange) OnChange(this);
}

// ---- TCollection ----

TCollectionItem::TCollectionItem(TCollection* collection) {
    if (collection != nullptr) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (collection_ != nullptr) collection_->RemoveItem(this);
}

int TCollectionItem::Index() const {
    if (collection_ == nullptr) return -1;
    auto& v = collection_->items_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TCollectionItem::SetIndex(int index) {
    int cur = Index();
    if (cur < 0 || index == cur || index < 0 || index >= collection_->Count()) return;
    auto& v = collection_->items_;
    v.erase(v.begin() + cur);
    v.insert(v.begin() + index, this);
    Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_ != nullptr) collection_->Changed(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {}

TCollection::~TCollection() {
    updateCount_ = 1;
    Clear();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = factory_(this);
    if (item->collection_ != this) InsertItem(item);
    return item;
}

void TCollection::InsertItem(TCollectionItem* item) {
    item->collection_ = this;
    items_.push_back(item);
    Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) items_.erase(it);
    item->collection_ = nullptr;
    if (!clearing_) Changed(nullptr);
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
    if (items_.empty()) return;
    clearing_ = true;
    while (!items_.empty()) delete items_.back();
    clearing_ = false;
    Changed(nullptr);
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed(nullptr);
}

void TCollection::Changed(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(item);
}

void TCollection::Assign(TPersistent* source) {
    auto* src = dynamic_cast<TCollection*>(source);
    if (src == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    Clear();
    for (auto* item : src->items_) Add()->Assign(item);
    EndUpdate();
}

}  // namespace treskel
