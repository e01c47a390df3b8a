#include "foundation/qclcont.h"

#include <algorithm>

#include "foundation/qclprocs.h"
#include "platform/TypInfo.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

const char* const kExt[] = {"iml", "bmp", "wav", "txt", "rtf"};
const char* const kSignature[] = {"QCLIML30", "QCLBML30", "QCLWVL30", "QCLSLL30", "QCLRTL30"};
constexpr int kKinds = 5;
constexpr int kSignatureSize = 9;

[[noreturn]] void ReadError() { throw EReadError("Stream read error"); }

int64_t Left(TStream& s) { return s.Size() - s.Position(); }

}  // namespace

// ---------------------------------------------------------------- change links

TQclChangeLink::~TQclChangeLink() {
    if (container_ != nullptr) container_->UnRegisterChanges(this);
}

void TQclChangeLink::Change() {
    if (OnChange) OnChange(container_);
}

TQclBaseContainer::~TQclBaseContainer() {
    for (TQclChangeLink* link : links_) link->container_ = nullptr;
}

void TQclBaseContainer::RegisterChanges(TQclChangeLink* link) {
    if (link == nullptr) return;
    if (link->container_ != nullptr && link->container_ != this) link->container_->UnRegisterChanges(link);
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
    link->container_ = this;
}

void TQclBaseContainer::UnRegisterChanges(TQclChangeLink* link) {
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end()) return;
    links_.erase(it);
    link->container_ = nullptr;
}

void TQclBaseContainer::AdoptItem(TQclListItem* item) {
    throw EReadError(Format("%s holds no %s", ClassName(), item->ClassName()));
}

void TQclBaseContainer::Change() {
    if (UpdateLocked()) return;
    // A handler may unregister its link: walk a copy.
    const std::vector<TQclChangeLink*> links = links_;
    for (TQclChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    TQclComponent::Change();
}

// ---------------------------------------------------------------- list items

void TQclListItem::SetDescription(const std::string& value) {
    std::string v = value.substr(0, 255);
    if (v == description_) return;
    description_ = std::move(v);
    Change();
}

void TQclListItem::SetIdent(uint16_t value) {
    if (value == ident_) return;
    ident_ = value;
    Change();
}

void TQclListItem::SetCompressed(bool value) {
    if (value == compressed_) return;
    compressed_ = value;
    Change();
}

TQclCustomContainer* TQclListItem::Container() const { return dynamic_cast<TQclCustomContainer*>(Owner()); }

TComponent* TQclListItem::GetParentComponent() const { return Container(); }

void TQclListItem::SetParentComponent(TComponent* parent) {
    auto* container = dynamic_cast<TQclBaseContainer*>(parent);
    if (container == nullptr)
        throw EReadError(Format("%s can only be placed in a container", ClassName()));
    container->AdoptItem(this);
}

std::vector<uint8_t> TQclListItem::Internal() {
    TMemoryStream s;
    SaveToStream(s);
    return s.Bytes();
}

void TQclListItem::SetInternal(const std::vector<uint8_t>& bytes) {
    TReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
    LoadFromStream(s);
    // The property is the whole item: bytes after it are damage.
    if (s.Position() != s.Size()) throw EReadError("Stream read error");
}

void TQclListItem::Change() {
    if (UpdateLocked()) return;
    TQclComponent::Change();
    if (TQclCustomContainer* c = Container()) c->Change();
}

uint8_t TQclListItem::GetFlags() const {
    uint8_t f = 0;
    if (compressed_) f |= qclItemCompressed;
    if (!description_.empty()) f |= qclItemDescription;
    if (ident_ != 0) f |= qclItemIdent;
    if (!IsEmpty()) f |= qclItemData;
    return f;
}

void TQclListItem::SaveToStream(TStream& stream) {
    const uint8_t flags = GetFlags();
    WriteU8(stream, flags);
    if (flags & qclItemDescription) QclWriteShortString(stream, description_);
    if (flags & qclItemIdent) WriteU32(stream, ident_);
    SaveData(stream);
}

void TQclListItem::LoadFromStream(TStream& stream) {
    const bool locked = UpdateLocked();
    BeginUpdate();
    try {
        Clear();
        const uint8_t flags = ReadU8(stream);
        compressed_ = (flags & qclItemCompressed) != 0;
        description_ = (flags & qclItemDescription) ? QclReadShortString(stream) : std::string();
        ident_ = (flags & qclItemIdent) ? static_cast<uint16_t>(ReadU32(stream)) : 0;
        LoadData(stream, flags);
    } catch (...) {
        if (!locked) EndUpdate(false);
        throw;
    }
    if (!locked) EndUpdate(true);
}

void TQclListItem::AssignCommon(const TQclListItem& source) {
    description_ = source.description_;
    ident_ = source.ident_;
    compressed_ = source.compressed_;
}

TQclStringListItem::TQclStringListItem(TComponent* owner) : TQclListItem(owner) {
    items_.OnChange = [this](TObject*) { Change(); };
}

void TQclStringListItem::Clear() { items_.Clear(); }

void TQclStringListItem::SaveData(TStream& stream) {
    if (!IsEmpty()) QclWriteStrings(stream, items_, Compressed());
}

void TQclStringListItem::LoadData(TStream& stream, uint8_t flags) {
    if (flags & qclItemData) QclReadStrings(stream, items_, Compressed());
}

void TQclStringListItem::Assign(TPersistent* source) {
    if (!AssignSame<TQclStringListItem>(source, [this](TQclStringListItem& s) { items_.Assign(&s.items_); }))
        TQclListItem::Assign(source);
}

TQclWaveListItem::TQclWaveListItem(TComponent* owner) : TQclListItem(owner) {
    wave_.OnChange = [this](TObject*) { Change(); };
}

void TQclWaveListItem::SaveData(TStream& stream) {
    if (!IsEmpty()) QclWriteWave(stream, wave_, Compressed());
}

void TQclWaveListItem::LoadData(TStream& stream, uint8_t flags) {
    if (flags & qclItemData) QclReadWave(stream, wave_, Compressed());
}

void TQclWaveListItem::Assign(TPersistent* source) {
    if (!AssignSame<TQclWaveListItem>(source, [this](TQclWaveListItem& s) { wave_.Assign(&s.wave_); }))
        TQclListItem::Assign(source);
}

// ---------------------------------------------------------------- containers

std::string QclContainerExt(int kind, bool withDot) {
    if (kind < 0 || kind >= kKinds) return {};
    return (withDot ? "." : "") + std::string(kExt[kind]);
}

std::string QclContainerSignature(int kind) {
    return kind >= 0 && kind < kKinds ? kSignature[kind] : std::string();
}

TQclCustomContainer::~TQclCustomContainer() {
    BeginUpdate();
    Clear();
}

void TQclCustomContainer::BeforeDestruction() {
    BeginUpdate();
    Clear();
    TQclComponent::BeforeDestruction();
}

int TQclCustomContainer::Add(TQclListItem* item) {
    if (item == nullptr) item = NewItem();
    if (item->Owner() != this) {
        if (item->Owner() != nullptr) item->Owner()->RemoveComponent(item);
        InsertComponent(item);
    }
    items_.push_back(item);
    Change();
    return Count() - 1;
}

void TQclCustomContainer::Clear() {
    std::vector<TQclListItem*> items;
    items.swap(items_);
    for (auto it = items.rbegin(); it != items.rend(); ++it) (*it)->Free();
    Change();
}

TQclListItem* TQclCustomContainer::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    return items_[static_cast<size_t>(index)];
}

void TQclCustomContainer::AdoptItem(TQclListItem* item) {
    if (!Accepts(item)) TQclBaseContainer::AdoptItem(item);
    Add(item);
}

void TQclCustomContainer::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) {
    for (TQclListItem* item : items_) proc(item);
}

void TQclCustomContainer::AddItemsFrom(const TQclCustomContainer& source) {
    BeginUpdate();
    try {
        for (TQclListItem* s : source.items_) Items(Add())->Assign(s);
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TQclCustomContainer::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TQclCustomContainer*>(source);
    if (s == nullptr || std::string(s->ClassName()) != ClassName()) {
        TQclBaseContainer::Assign(source);
        return;
    }
    if (s == this) return;
    BeginUpdate();
    try {
        Clear();
        storageMode_ = s->storageMode_;
        pathPrefix_ = s->pathPrefix_;
        fileName_ = s->fileName_;
        AssignSettings(*s);
        for (TQclListItem* item : s->items_) Items(Add())->Assign(item);
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TQclCustomContainer::SaveToStream(TStream& stream, bool withOffsets) {
    WriteI32(stream, Count());
    const int64_t table = stream.Position();
    std::vector<uint32_t> offsets;
    if (withOffsets) {
        std::vector<uint8_t> zero(static_cast<size_t>(Count()) * 4);
        stream.WriteBuffer(zero.data(), static_cast<int64_t>(zero.size()));
    }
    for (TQclListItem* item : items_) {
        offsets.push_back(static_cast<uint32_t>(stream.Position()));
        item->SaveToStream(stream);
    }
    if (!withOffsets) return;
    const int64_t end = stream.Position();
    stream.Seek(table, soFromBeginning);
    for (uint32_t o : offsets) WriteU32(stream, o);
    stream.Seek(end, soFromBeginning);
}

void TQclCustomContainer::LoadFromStream(TStream& stream, bool withOffsets) {
    BeginUpdate();
    try {
        Clear();
        const int32_t count = ReadI32(stream);
        // Every item takes its flags byte at least, and an offset with offsets.
        if (count < 0 || static_cast<int64_t>(count) * (withOffsets ? 5 : 1) > Left(stream)) ReadError();
        if (withOffsets) stream.Seek(static_cast<int64_t>(count) * 4, soFromCurrent);
        for (int32_t i = 0; i < count; ++i) Items(Add())->LoadFromStream(stream);
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TQclCustomContainer::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    QclWriteShortString(file, QclContainerSignature(kind_));
    SaveToStream(file, true);
}

// ---------------------------------------------------------------- container files

int QclReadContainerHeader(TStream& file, int& count, std::vector<uint32_t>* offsets) {
    count = -1;
    uint8_t sig[kSignatureSize];
    if (file.Read(sig, kSignatureSize) != kSignatureSize) return ckUnknown;
    int kind = ckUnknown;
    for (int k = 0; k < kKinds && kind == ckUnknown; ++k)
        if (sig[0] == 8 && std::equal(sig + 1, sig + 9, kSignature[k])) kind = k;
    uint8_t c[4];
    if (file.Read(c, 4) != 4) return kind;
    count = static_cast<int32_t>(GetU32(c));
    if (kind == ckUnknown || offsets == nullptr) return kind;
    // The table and at least one byte per item must lie inside the file.
    if (count < 0 || static_cast<int64_t>(count) * 5 > Left(file)) ReadError();
    offsets->clear();
    offsets->reserve(static_cast<size_t>(count));
    const int64_t first = kSignatureSize + 4 + static_cast<int64_t>(count) * 4;
    const int64_t size = file.Size();
    for (int i = 0; i < count; ++i) {
        const uint32_t o = ReadU32(file);
        if (o < first || o >= size) ReadError();
        offsets->push_back(o);
    }
    return kind;
}

int QclReadContainerHeader(const std::string& fileName, int& count, std::vector<uint32_t>* offsets) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    return QclReadContainerHeader(file, count, offsets);
}

bool QclLoadContainerItem(TStream& file, const std::string& fileName, int kind,
                          const std::vector<uint32_t>* offsets, TQclListItem& item, int index) {
    std::vector<uint32_t> own;
    if (offsets == nullptr) {
        int count = 0;
        file.SetPosition(0);
        if (QclReadContainerHeader(file, count, &own) != kind)
            throw Exception(Format("%s: %s", Format("Cannot open file %s", fileName.c_str()).c_str(),
                                   "not a container of this kind"));
        offsets = &own;
    }
    if (index < 0 || static_cast<size_t>(index) >= offsets->size())
        throw EListError(Format("List index out of bounds (%d)", index));
    const uint32_t at = (*offsets)[static_cast<size_t>(index)];
    if (at >= file.Size()) ReadError();
    file.SetPosition(at);
    item.LoadFromStream(file);
    return true;
}

bool QclLoadContainerItem(const std::string& fileName, int kind, const std::vector<uint32_t>* offsets,
                          TQclListItem& item, int index) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    return QclLoadContainerItem(file, fileName, kind, offsets, item, index);
}

// ---------------------------------------------------------------- layouts

void RegisterContainerClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    PublishClass<TQclObject, TPersistent>();
    PublishClass<TQclComponent, TComponent>().NotCreatable();
    // The wave's bytes behind their size, while a data stream exists.
    PublishClass<TQclWave, TQclObject>().Custom(
        "Data",
        [](TQclWave* w, const FormValue& v, LayoutReader& r) {
            const std::vector<uint8_t>& bytes = typinfo::AsBinary(v, r);
            TReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
            w->ReadProp(s);
        },
        [](TQclWave* w) -> std::optional<FormValue> {
            if (!w->HasData()) return std::nullopt;
            TMemoryStream s;
            w->WriteProp(s);
            return typinfo::BinaryValue(s.Bytes());
        });
    PublishClass<TQclBaseContainer, TQclComponent>().NotCreatable().String("About", &TQclBaseContainer::About,
                                                                          &TQclBaseContainer::SetAbout);
    using C = TQclCustomContainer;
    PublishClass<C, TQclBaseContainer>()
        .NotCreatable()
        .Int("StorageMode", &C::StorageMode, &C::SetStorageMode)
        .Enum<TQclPathPrefix>("PathPrefix", &C::PathPrefix, &C::SetPathPrefix, TQclPathPrefix::ppProgram)
        .String("FileName", &C::FileName, &C::SetFileName);
    PublishClass<TQclListItem, TQclComponent>().NotCreatable().Custom(
        "Internal", [](TQclListItem* item, const FormValue& v, LayoutReader& r) { item->SetInternal(typinfo::AsBinary(v, r)); },
        [](TQclListItem* item) -> std::optional<FormValue> { return typinfo::BinaryValue(item->Internal()); });
    PublishClass<TQclStringListItem, TQclListItem>();
    PublishClass<TQclWaveListItem, TQclListItem>();
    PublishClass<TQclStringList, TQclCustomContainer>();
    PublishClass<TQclWaveList, TQclCustomContainer>();
}

}  // namespace treskel
