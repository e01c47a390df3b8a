#include "winutil/IcoList.h"

#include <utility>

#include "platform/FormLoader.h"
#include "platform/Register.h"

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

void TIconList::CheckIndex(int index, int last) const {
    if (index < 0 || index > last) throw EListError(Format("List index out of bounds (%d)", index));
}

void TIconList::Watch(TIcon* icon) {
    if (icon != nullptr) icon->OnChange = [this](TObject*) { Changed(); };
}

std::unique_ptr<TIcon> TIconList::Copy(TIcon* icon) {
    auto copy = std::make_unique<TIcon>();
    if (icon != nullptr) copy->Assign(icon);
    Watch(copy.get());
    return copy;
}

TIcon* TIconList::Get(int index) const {
    CheckIndex(index, Count() - 1);
    return icons_[static_cast<size_t>(index)].get();
}

void TIconList::Put(int index, TIcon* icon) {
    CheckIndex(index, Count());
    BeginUpdate();
    if (index == Count()) icons_.push_back(nullptr);
    auto& entry = icons_[static_cast<size_t>(index)];
    if (!entry) entry = Copy(nullptr);
    if (icon != nullptr) entry->Assign(icon);
    else entry->SetHandle(nullptr);
    Changed();
    EndUpdate();
}

int TIconList::Add(TIcon* icon) {
    Insert(Count(), icon);
    return Count() - 1;
}

void TIconList::Insert(int index, TIcon* icon) {
    CheckIndex(index, Count());
    icons_.insert(icons_.begin() + index, Copy(icon));
    Changed();
}

namespace {
std::unique_ptr<TIcon> IconResource(HINSTANCE instance, const std::string& resName) {
    HICON shared = LoadIconA(instance, resName.c_str());
    if (shared == nullptr) throw EResNotFound(Format("Resource %s not found", resName.c_str()));
    auto icon = std::make_unique<TIcon>();
    icon->SetHandle(CopyIcon(shared));
    return icon;
}
}  // namespace

int TIconList::AddResource(HINSTANCE instance, const std::string& resName) {
    return Add(IconResource(instance, resName).get());
}

void TIconList::InsertResource(int index, HINSTANCE instance, const std::string& resName) {
    Insert(index, IconResource(instance, resName).get());
}

void TIconList::Delete(int index) {
    CheckIndex(index, Count() - 1);
    icons_.erase(icons_.begin() + index);
    Changed();
}

void TIconList::Clear() {
    BeginUpdate();
    while (!icons_.empty()) Delete(Count() - 1);
    EndUpdate();
}

void TIconList::Exchange(int index1, int index2) {
    CheckIndex(index1, Count() - 1);
    CheckIndex(index2, Count() - 1);
    std::swap(icons_[static_cast<size_t>(index1)], icons_[static_cast<size_t>(index2)]);
    Changed();
}

int TIconList::IndexOf(TIcon* icon) const {
    for (int i = 0; i < Count(); ++i)
        if (icons_[static_cast<size_t>(i)].get() == icon) return i;
    return -1;
}

void TIconList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex, Count() - 1);
    CheckIndex(newIndex, Count() - 1);
    std::unique_ptr<TIcon> moved = std::move(icons_[static_cast<size_t>(curIndex)]);
    icons_.erase(icons_.begin() + curIndex);
    icons_.insert(icons_.begin() + newIndex, std::move(moved));
    Changed();
}

void TIconList::Assign(TPersistent* source) {
    if (source == this) return;
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

void TIconList::LoadFromStream(TStream& stream) {
    // Read whole before the list changes: a broken stream leaves it as it was.
    std::vector<std::unique_ptr<TIcon>> read;
    const int32_t count = ReadI32(stream);
    if (count < 0 || count > (stream.Size() - stream.Position()) / 4) throw EReadError("Invalid icon list");
    for (int32_t i = 0; i < count; ++i) {
        const int32_t size = ReadI32(stream);
        if (size < 0 || size > stream.Size() - stream.Position()) throw EReadError("Invalid icon list");
        if (size == 0) {
            read.push_back(nullptr);
            continue;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        stream.ReadBuffer(bytes.data(), size);
        TMemoryStream one(std::move(bytes));
        auto icon = std::make_unique<TIcon>();
        icon->LoadFromStream(one);
        read.push_back(std::move(icon));
    }
    BeginUpdate();
    Clear();
    icons_ = std::move(read);
    for (auto& icon : icons_) Watch(icon.get());
    Changed();
    EndUpdate();
}

void TIconList::SaveToStream(TStream& stream) {
    WriteI32(stream, Count());
    for (auto& icon : icons_) {
        TMemoryStream one;
        if (icon != nullptr && !icon->Empty()) icon->SaveToStream(one);
        WriteI32(stream, static_cast<int32_t>(one.Size()));
        if (one.Size() > 0) stream.WriteBuffer(one.Memory(), one.Size());
    }
}

namespace {
// An object in a layout as it writes itself to a stream: the icon list in
// its own format, an icon (the tray's) as an icon file.
template <class T>
void ReadStreamed(T* object, const FormValue& v, LayoutReader& r) {
    TMemoryStream stream(typinfo::AsBinary(v, r));
    try {
        object->LoadFromStream(stream);
    } catch (const Exception& e) {
        r.Error(e.Message());
    }
}

template <class T>
std::optional<FormValue> WriteStreamed(T* object, bool empty) {
    if (empty) return std::nullopt;
    TMemoryStream stream;
    object->SaveToStream(stream);
    return typinfo::BinaryValue(stream.Bytes());
}
}  // namespace

void RegisterIconListClasses() {
    PublishClass<TIconList, TPersistent>().Custom("Icons", ReadStreamed<TIconList>, [](TIconList* list) {
        return WriteStreamed(list, list->Count() == 0);
    });
    PublishClass<TIcon, TGraphic>().Custom("Data", ReadStreamed<TIcon>, [](TIcon* icon) {
        return WriteStreamed(icon, icon->Empty());
    });
}

}  // namespace treskel
