// Containers of the component library: change links, list items (bitmaps,
// image strips, string lists, waves), the lists that own them, their item
// and container streams, container files and the global container whose
// lists forms refer to by signature.
// This header and qclcont.cpp have no <windows.h>; the items that hold
// bitmaps and the drawing are in qclcontWin.cpp and qclcontImage.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/qclclass.h"
#include "foundation/qclgraph.h"
#include "foundation/qclutils.h"
#include "foundation/qclwave.h"
#include "platform/Classes.h"
#include "platform/Streams.h"

namespace treskel {

class TQclBaseContainer;
class TQclCustomContainer;

// Follows the changes of one container.
class TQclChangeLink : public TObject {
    TRESKEL_CLASS(TQclChangeLink)
public:
    TQclChangeLink() = default;
    ~TQclChangeLink() override;
    TQclBaseContainer* Container() const { return container_; }
    void Change();
    TNotifyEvent OnChange;

private:
    friend class TQclBaseContainer;
    TQclBaseContainer* container_ = nullptr;
};

class TQclListItem;

class TQclBaseContainer : public TQclComponent {
    TRESKEL_CLASS(TQclBaseContainer)
public:
    explicit TQclBaseContainer(TComponent* owner) : TQclComponent(owner) {}
    ~TQclBaseContainer() override;
    void RegisterChanges(TQclChangeLink* link);
    void UnRegisterChanges(TQclChangeLink* link);
    // Tells every link, then fires the container's own OnChange.
    void Change() override;
    // Takes an item that a layout places inside this container, before
    // the item's properties are read; raises EReadError for an item it
    // cannot hold.
    virtual void AdoptItem(TQclListItem* item);

private:
    std::vector<TQclChangeLink*> links_;
};

// Flags byte of the item stream.
inline constexpr uint8_t qclItemCompressed = 1, qclItemDescription = 2, qclItemIdent = 4, qclItemData = 8,
                         qclItemMono = 16, qclItem4bit = 32, qclItem8bit = 64;

class TQclListItem : public TQclComponent {
    TRESKEL_CLASS(TQclListItem)
public:
    explicit TQclListItem(TComponent* owner) : TQclComponent(owner) {}

    const std::string& Description() const { return description_; }
    // Stored behind a length byte: longer texts are cut at 255 characters.
    void SetDescription(const std::string& value);
    uint16_t Ident() const { return ident_; }
    void SetIdent(uint16_t value);
    bool Compressed() const { return compressed_; }
    void SetCompressed(bool value);

    virtual void Clear() = 0;
    virtual bool IsEmpty() const = 0;
    // The item stream: flags, description, ident, then the kind's data.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream);
    // With the data bit set unless the item is empty.
    virtual uint8_t GetFlags() const;

    // Fires the item's OnChange, then its container's.
    void Change() override;
    TQclCustomContainer* Container() const;

    // In a layout an item sits inside its container, and adds itself to it
    // as soon as it is made.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    // The form property "Internal": the item stream.
    std::vector<uint8_t> Internal();
    void SetInternal(const std::vector<uint8_t>& bytes);

protected:
    virtual void LoadData(TStream& stream, uint8_t flags) = 0;
    virtual void SaveData(TStream& stream) = 0;
    // From an item of class T: the common fields, then the kind's own
    // through `payload`, then one notification.  False for another class.
    template <class T, class F>
    bool AssignSame(TPersistent* source, F payload) {
        auto* s = dynamic_cast<T*>(source);
        if (s == nullptr || s == this) return s != nullptr;
        AssignCommon(*s);
        payload(*s);
        Change();
        return true;
    }
    void AssignCommon(const TQclListItem& source);

private:
    std::string description_;
    uint16_t ident_ = 0;
    bool compressed_ = false;
};

class TQclStringListItem : public TQclListItem {
    TRESKEL_CLASS(TQclStringListItem)
public:
    explicit TQclStringListItem(TComponent* owner);
    TStrings* Items() { return &items_; }
    void Clear() override;
    bool IsEmpty() const override { return items_.Count() == 0; }
    void Assign(TPersistent* source) override;

protected:
    void LoadData(TStream& stream, uint8_t flags) override;
    void SaveData(TStream& stream) override;

private:
    TStringList items_;
};

class TQclWaveListItem : public TQclListItem {
    TRESKEL_CLASS(TQclWaveListItem)
public:
    explicit TQclWaveListItem(TComponent* owner);
    TQclWave* Wave() { return &wave_; }
    void Clear() override { wave_.Clear(); }
    bool IsEmpty() const override { return wave_.IsEmpty(); }
    void Assign(TPersistent* source) override;

protected:
    void LoadData(TStream& stream, uint8_t flags) override;
    void SaveData(TStream& stream) override;

private:
    TQclWave wave_;
};

// Container kinds: the index into the tables of extensions and signatures.
enum TQclContainerKind { ckImageList = 0, ckBitmapList = 1, ckWaveList = 2, ckStringList = 3, ckRichTextList = 4,
                         ckUnknown = 5 };
std::string QclContainerExt(int kind, bool withDot);
// "QCLIML30" ... "QCLRTL30", "" for an unknown kind.
std::string QclContainerSignature(int kind);

class TQclCustomContainer : public TQclBaseContainer {
    TRESKEL_CLASS(TQclCustomContainer)
public:
    explicit TQclCustomContainer(TComponent* owner, int kind) : TQclBaseContainer(owner), kind_(kind) {}
    ~TQclCustomContainer() override;
    // Its items go first, while the list still knows them (they are also
    // owned components, which would otherwise be freed behind its back).
    void BeforeDestruction() override;

    int Kind() const { return kind_; }
    // Adds `item` (which the container then owns), or a new item when null.
    int Add(TQclListItem* item = nullptr);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index out of range.
    TQclListItem* Items(int index) const;
    void AddItemsFrom(const TQclCustomContainer& source);
    void Assign(TPersistent* source) override;
    void AdoptItem(TQclListItem* item) override;
    // Whether `item` is of the container's item class.
    virtual bool Accepts(const TQclListItem* item) const = 0;
    // A layout holds the items inside the container.
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    // Count, then with offsets a table of each item's stream position, then
    // the items.  A count or offset that the stream cannot hold raises the
    // stream read error before anything is made.
    void LoadFromStream(TStream& stream, bool withOffsets);
    void SaveToStream(TStream& stream, bool withOffsets);
    // A container file: the signature, then the stream with offsets.
    void SaveToFile(const std::string& fileName);

    // Where bitmap items fetch an empty bitmap from (0..4, see the bitmap
    // item); mode 3 would load a library and is refused.
    int StorageMode() const { return storageMode_; }
    void SetStorageMode(int value) { storageMode_ = value; }
    TQclPathPrefix PathPrefix() const { return pathPrefix_; }
    void SetPathPrefix(TQclPathPrefix value) { pathPrefix_ = value; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value) { fileName_ = value; }

    virtual TQclListItem* NewItem() = 0;

protected:
    virtual void AssignSettings(const TQclCustomContainer& source) {}

private:
    int kind_;
    std::vector<TQclListItem*> items_;
    int storageMode_ = 0;
    TQclPathPrefix pathPrefix_ = TQclPathPrefix::ppProgram;
    std::string fileName_;
};

// A container of one item class, with its items typed.
template <class Base, class Item>
class TQclListOf : public Base {
public:
    TQclListOf(TComponent* owner, int kind) : Base(owner, kind) {}
    TQclListItem* NewItem() override { return new Item(this); }
    bool Accepts(const TQclListItem* item) const override { return dynamic_cast<const Item*>(item) != nullptr; }
    Item* Items(int index) const { return static_cast<Item*>(TQclCustomContainer::Items(index)); }
};

class TQclStringList : public TQclListOf<TQclCustomContainer, TQclStringListItem> {
    TRESKEL_CLASS(TQclStringList)
public:
    explicit TQclStringList(TComponent* owner) : TQclListOf(owner, ckStringList) {}
};

class TQclWaveList : public TQclListOf<TQclCustomContainer, TQclWaveListItem> {
    TRESKEL_CLASS(TQclWaveList)
public:
    explicit TQclWaveList(TComponent* owner) : TQclListOf(owner, ckWaveList) {}
};

// Reads a container file's signature and count; with `offsets`, also its
// offset table (each checked against the file).  Returns the kind, 5 when
// no signature matches (offsets then untouched).  Count is -1 when not
// even the count could be read.
int QclReadContainerHeader(TStream& file, int& count, std::vector<uint32_t>* offsets);
int QclReadContainerHeader(const std::string& fileName, int& count, std::vector<uint32_t>* offsets);
// Lets `item` read item `index` of a container file of `kind`; raises an
// Exception naming the file for another kind and EListError for an index
// outside the file.
bool QclLoadContainerItem(TStream& file, const std::string& fileName, int kind,
                          const std::vector<uint32_t>* offsets, TQclListItem& item, int index);
bool QclLoadContainerItem(const std::string& fileName, int kind, const std::vector<uint32_t>* offsets,
                          TQclListItem& item, int index);

// Publishes the wave, the string and wave lists and their items for
// layouts; the lists of pictures are published with the Win32 half.
void RegisterContainerClasses();

}  // namespace treskel
