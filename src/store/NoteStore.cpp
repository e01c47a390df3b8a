#include "store/NoteStore.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "store/ByteIO.h"
#include "store/CRC32c.h"
#include "store/NoteFile.h"
#include "store/TreeFile.h"
#include "store/TreskelNames.h"
#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

constexpr size_t kCopyBuffer = 1 << 20;

void CopyBytes(TStream& from, TStream& to, int64_t size, std::vector<uint8_t>& buf) {
    while (size > 0) {
        const int64_t n = std::min<int64_t>(size, static_cast<int64_t>(buf.size()));
        from.ReadBuffer(buf.data(), n);
        to.WriteBuffer(buf.data(), n);
        size -= n;
    }
}

// The entry of one item in the archive being written.
struct PackEntry {
    int32_t id;
    int64_t size = -1;           // -1: none
    int64_t archiveOffset = -1;  // in the old archive; -1: from the loose file
};

}  // namespace

void TNoteStore::SetDataPath(const std::string& dataPath) {
    dataPath_ = dataPath;
    caption_.clear();
    open_ = false;
    entries_.clear();
    removed_.clear();
    archiveTree_.reset();
    storedTree_.clear();
}

const TArchiveEntry* TNoteStore::ArchiveNote(int32_t id) const {
    if (removed_.count(id) != 0) return nullptr;
    auto it = entries_.find(id);
    return it != entries_.end() && it->second.Size >= 0 ? &it->second : nullptr;
}

bool TNoteStore::IdInUse(int32_t id) const {
    return entries_.count(id) != 0 || (open_ && FileExists(NoteName(id)));
}

void TNoteStore::CheckDataFolder() const {
    if (dataPath_.empty() || DirectoryExists(ExcludeTrailingBackslash(dataPath_))) return;
    throw EDataFolderGone(Format("The data directory %s is not there: it was moved, renamed or deleted while the "
                                 "program was running.  Nothing can be read from it or saved into it until it is "
                                 "back where it was.",
                                 ExcludeTrailingBackslash(dataPath_).c_str()));
}

void TNoteStore::MakeNoteFolder() {
    if (!open_) throw EInvalidOperation("No treskel is open to hold the note");
    // A folder that cannot be made shows as the note file's own error.
    const std::string folder = ExcludeTrailingBackslash(NoteFolderName(dataPath_, caption_));
    if (!DirectoryExists(folder)) CreateDir(folder);
}

void TNoteStore::RemoveStaleFiles(const std::string& caption) {
    // Only this treskel's: a note half-written into its folder, and its
    // archive half-written.
    const std::string folder = NoteFolderName(dataPath_, caption);
    for (const TSearchRec& f : FindFiles(folder + "*.tmp")) {
        if (!SameText(ExtractFileExt(f.Name), ".tmp")) continue;
        int32_t id;
        if (NoteFileId(f.Name.substr(0, f.Name.size() - 4), id)) ops_.Delete(folder + f.Name);
    }
    const std::string treeTemp = FolderTreeFileName(dataPath_, caption) + ".tmp";
    if (FileExists(treeTemp)) ops_.Delete(treeTemp);
    const std::string archiveTemp = TempArchiveFileName(dataPath_, caption);
    if (FileExists(archiveTemp)) ops_.Delete(archiveTemp);
}

bool TNoteStore::LoadFolderTree(TItemTree& tree, const std::string& caption) {
    const std::string name = FolderTreeFileName(dataPath_, caption);
    if (!FileExists(name)) return false;
    try {
        std::unique_ptr<TStream> file = ops_.OpenRead(name);
        std::vector<uint8_t> bytes(static_cast<size_t>(file->Size()));
        // Even an empty tree has its count.
        if (bytes.size() < 4) throw EReadError("Stream read error");
        file->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        TReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
        LoadTreskel(tree, s);
        storedTree_ = std::move(bytes);
        return true;
    } catch (const Exception&) {
        // Cut short by a crash of the system itself: the archive's tree is
        // the newest whole one, and the next write replaces this file.
        tree.Clear();
        return false;
    }
}

void TNoteStore::RecoverLooseNotes(TItemTree& tree) {
    std::unordered_set<int32_t> carried;
    ForEachItem(tree, [&](TItemNode* node) {
        if (node->Data() != nullptr && node->Data()->IsLink == 0) carried.insert(node->Data()->Id);
    });
    const std::string folder = NoteFolderName(dataPath_, caption_);
    for (const TSearchRec& f : FindFiles(folder + "*")) {
        int32_t id;
        if (!NoteFileId(f.Name, id) || carried.count(id) != 0) continue;
        auto record = std::make_unique<TItemData>();
        record->Id = id;
        std::string caption;
        try {
            TFileStream note(folder + f.Name, fmOpenRead | fmShareDenyWrite);
            const TNoteHeader header = ReadNoteHeader(note);
            caption = header.Title;
            if (header.Level <= 2) record->Compression = header.Level;
        } catch (const Exception&) {
            // Shown, it tells what is wrong with it.
        }
        if (caption.empty()) caption = "Recovered note " + f.Name;
        TItemNode* node = tree.AddTop();
        node->SetText(caption);
        node->SetImageIndex(ImgItem);
        node->SetData(std::move(record));
        carried.insert(id);
    }
}

void TNoteStore::Open(TItemTree& tree, const std::string& caption) {
    InDataFolder([&] { OpenFiles(tree, caption); });
}

void TNoteStore::OpenFiles(TItemTree& tree, const std::string& caption) {
    SetDataPath(dataPath_);
    tree.Clear();
    RemoveStaleFiles(caption);
    const std::string archiveName = ArchiveFileName(dataPath_, caption);
    const std::string treeName = TreeFileName(dataPath_, caption);
    auto loadTree = [&](TItemTree& into, TStream& s, const std::string& what) {
        try {
            LoadTreskel(into, s);
        } catch (const ETreeFileError& e) {
            into.Clear();
            throw ETreskelError(Format("The tree %s cannot be read: %s", what.c_str(), e.Message().c_str()));
        }
    };
    if (!FileExists(archiveName)) {
        // A new treskel; or one of which only the tree file is left.  Not
        // when the directory itself is gone: then it is a treskel out of
        // reach, which an empty tree would be saved over once it is back.
        CheckDataFolder();
        if (!LoadFolderTree(tree, caption) && FileSizeOf(treeName) > 0) {
            TFileStream f(treeName, fmOpenRead | fmShareDenyWrite);
            loadTree(tree, f, "file " + treeName);
            storedTree_ = TreeFileBytes(tree);
        }
        caption_ = caption;
        open_ = true;
        RecoverLooseNotes(tree);
        return;
    }
    TArchiveIndex index;
    std::vector<uint8_t> treeBytes;
    {
        // Mapped, the archive's entry heads are read without a call each.
        TFileView view(archiveName);
        std::unique_ptr<TStream> archive;
        if (view.Data() != nullptr) archive = std::make_unique<TReadOnlyMemoryStream>(view.Data(), view.Size());
        else archive = ops_.OpenRead(archiveName);
        index = ScanArchive(*archive, archiveName);
        if (index.TreeSize > 0) {
            archive->SetPosition(index.TreeOffset);
            treeBytes.resize(static_cast<size_t>(index.TreeSize));
            archive->ReadBuffer(treeBytes.data(), index.TreeSize);
        }
    }
    TReadOnlyMemoryStream treeStream(treeBytes.data(), static_cast<int64_t>(treeBytes.size()));
    // The archive is checked against its own tree, whichever tree is shown.
    TPlainItemTree archived;
    const bool newer = LoadFolderTree(tree, caption);
    TItemTree& archiveTree = newer ? static_cast<TItemTree&>(archived) : tree;
    try {
        loadTree(archiveTree, treeStream, "in the archive " + archiveName);
        CheckArchiveEntries(index, archiveTree, archiveName);
    } catch (...) {
        tree.Clear();
        throw;
    }
    entries_.reserve(index.Entries.size());
    for (const TArchiveEntry& e : index.Entries) {
        // Of two entries of one id, the one with a note counts.
        auto [it, added] = entries_.emplace(e.Id, e);
        if (!added && e.Size >= 0) it->second = e;
    }
    if (!newer) storedTree_ = treeBytes;
    archiveTree_ = std::move(treeBytes);
    caption_ = caption;
    open_ = true;
    RecoverLooseNotes(tree);
}

bool TNoteStore::SaveTree(const TItemTree& tree) {
    if (!open_) return false;
    // Records released (the treskel saved) or not given yet: that is no
    // tree of this treskel.
    bool whole = true;
    ForEachItem(tree, [&whole](TItemNode* n) { whole = whole && n->Data() != nullptr; });
    return whole && InDataFolder([&] { return SaveTreeBytes(TreeFileBytes(tree)); });
}

bool TNoteStore::SaveTreeBytes(const std::vector<uint8_t>& bytes) {
    if (bytes == storedTree_) return false;
    MakeNoteFolder();
    WriteWholeFile(ops_, FolderTreeFileName(dataPath_, caption_), bytes.data(), bytes.size());
    storedTree_ = bytes;
    return true;
}

void TNoteStore::Pack(const TItemTree& tree, const std::string& caption) {
    InDataFolder([&] { PackFiles(tree, caption); });
}

void TNoteStore::PackFiles(const TItemTree& tree, const std::string& caption) {
    const std::string archiveName = ArchiveFileName(dataPath_, caption);
    const std::string tempName = TempArchiveFileName(dataPath_, caption);
    std::vector<uint8_t> treeBytes = TreeFileBytes(tree);
    const bool ownArchive = open_ && caption == caption_;
    // A crash after the new archive replaced the old one and before the
    // tree beside the loose notes is deleted must not bring back an older
    // tree than the archive's.
    if (ownArchive) SaveTreeBytes(treeBytes);

    // The treskel's own loose note files, from one listing of its folder.
    const std::string folder = NoteFolderName(dataPath_, caption);
    const std::string folderTree = FolderTreeFileName(dataPath_, caption);
    std::unordered_map<int32_t, int64_t> loose;
    bool treeInFolder = false;
    for (const TSearchRec& f : FindFiles(folder + "*")) {
        int32_t id;
        if (NoteFileId(f.Name, id)) loose[id] = f.Size;
        else if (folder + f.Name == folderTree) treeInFolder = true;
    }
    // The archive holds all there is already (and no tree file of an older
    // build is left to go).
    if (ownArchive && !treeInFolder && loose.empty() && removed_.empty() && archiveTree_ &&
        *archiveTree_ == treeBytes && !FileExists(TreeFileName(dataPath_, caption)))
        return;
    auto looseName = [&](int32_t id) { return folder + IntToStr(id); };
    std::vector<PackEntry> entries;
    std::unordered_set<int32_t> packedIds;
    ForEachItem(tree, [&](TItemNode* node) {
        const TItemData& d = *node->Data();  // TreeFileBytes gave every node a record
        PackEntry e{d.Id};
        // Two items of one id share one note: the first carries it.
        if (d.IsLink == 0 && packedIds.count(d.Id) == 0) {
            if (auto it = loose.find(d.Id); it != loose.end()) {
                e.size = it->second;
            } else if (const TArchiveEntry* a = ownArchive ? ArchiveNote(d.Id) : nullptr) {
                e.size = a->Size;
                e.archiveOffset = a->Offset;
            }
        }
        if (e.size >= 0) packedIds.insert(d.Id);
        entries.push_back(e);
    });

    std::unordered_map<int32_t, TArchiveEntry> written;
    written.reserve(entries.size());
    for (const PackEntry& e : entries) written.emplace(e.id, TArchiveEntry{e.id, 0, -1});
    try {
        // A note saved before a crash is packed with its own CRC, not that of
        // the version its record came with.
        std::unordered_map<int32_t, int32_t> looseCrc;
        for (const PackEntry& e : entries)
            if (e.size >= 0 && e.archiveOffset < 0)
                looseCrc.emplace(e.id, static_cast<int32_t>(FileCrc32(looseName(e.id))));
        bool crcChanged = false;
        ForEachItem(tree, [&](TItemNode* node) {
            TItemData& d = *node->Data();
            auto it = looseCrc.find(d.Id);
            if (it == looseCrc.end() || d.IsLink != 0 || d.Crc == it->second) return;
            d.Crc = it->second;
            crcChanged = true;
        });
        if (crcChanged) treeBytes = TreeFileBytes(tree);
        uint64_t writtenCheck;
        int64_t writtenSize = 0;
        {
            std::unique_ptr<TStream> out = ops_.Create(tempName);
            TBufferedWriter w(*out, kCopyBuffer);
            TByteCheck check;
            auto put = [&](const void* data, size_t n) {
                check.Update(data, n);
                w.Write(data, n);
                writtenSize += static_cast<int64_t>(n);
            };
            auto putU32 = [&](uint32_t v) {
                uint8_t b[4];
                PutU32(b, v);
                put(b, 4);
            };
            putU32(static_cast<uint32_t>(treeBytes.size()));
            put(treeBytes.data(), treeBytes.size());
            putU32(static_cast<uint32_t>(entries.size()));
            // The old archive is read forward in large blocks: its notes
            // mostly come in the order they go out.
            std::unique_ptr<TStream> old;
            std::optional<TBufferedReader> oldReader;
            int64_t oldAt = 0;
            std::vector<uint8_t> buf(kCopyBuffer);
            for (const PackEntry& e : entries) {
                putU32(static_cast<uint32_t>(e.id));
                if (e.size < 0) {
                    putU32(0xFFFFFFFFu);
                    continue;
                }
                if (e.size > std::numeric_limits<int32_t>::max())
                    throw EWriteError(Format("the note file %d is too large for an archive", e.id));
                putU32(static_cast<uint32_t>(e.size));
                written[e.id] = TArchiveEntry{e.id, writtenSize, e.size};
                if (e.archiveOffset < 0) {
                    std::unique_ptr<TStream> note = ops_.OpenRead(looseName(e.id));
                    for (int64_t left = e.size; left > 0;) {
                        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
                        note->ReadBuffer(buf.data(), n);
                        put(buf.data(), static_cast<size_t>(n));
                        left -= n;
                    }
                    continue;
                }
                if (!old) old = ops_.OpenRead(ArchiveFileName(dataPath_, caption_));
                if (!oldReader || e.archiveOffset < oldAt) {
                    old->SetPosition(e.archiveOffset);
                    oldReader.emplace(*old, kCopyBuffer);
                    oldAt = e.archiveOffset;
                }
                oldReader->Discard(e.archiveOffset - oldAt);
                for (int64_t left = e.size; left > 0;) {
                    const size_t n = static_cast<size_t>(std::min<int64_t>(left, kCopyBuffer));
                    if (!oldReader->Ensure(n)) throw EReadError("the previous archive is shorter than it was");
                    put(oldReader->Ptr(), n);
                    oldReader->Skip(n);
                    left -= static_cast<int64_t>(n);
                }
                oldAt = e.archiveOffset + e.size;
            }
            w.Flush();
            ops_.Flush(*out);
            writtenCheck = check.Value();
        }
        // Read it back: only an archive whose every byte is as written may
        // replace the old one.
        {
            std::unique_ptr<TStream> in = ops_.OpenRead(tempName);
            if (in->Size() != writtenSize) throw EReadError("the new archive reads back with another size");
            std::vector<uint8_t> buf(kCopyBuffer);
            TByteCheck check;
            for (int64_t left = writtenSize; left > 0;) {
                const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
                in->ReadBuffer(buf.data(), n);
                check.Update(buf.data(), static_cast<size_t>(n));
                left -= n;
            }
            if (check.Value() != writtenCheck) throw EReadError("the new archive reads back with other bytes");
        }
        if (!ops_.Replace(tempName, archiveName))
            throw EInOutError("the new archive cannot replace the old one: " + LastFileError());
    } catch (const Exception& e) {
        ops_.Delete(tempName);
        std::string cause = e.Message();
        while (!cause.empty() && (cause.back() == '.' || cause.back() == ' ')) cause.pop_back();
        throw ETreskelError(Format("The treskel \"%s\" could not be saved: %s. The previous archive and the note files "
                                   "are unchanged.",
                                   caption.c_str(), cause.c_str()));
    } catch (...) {
        ops_.Delete(tempName);
        throw;
    }

    // The archive holds everything now; a loose file that cannot be deleted
    // only stays behind, and wins over the same note in the archive.
    // The tree beside them goes first: the loose notes it may know of are
    // still there while it is.
    if (treeInFolder) ops_.Delete(folderTree);
    const std::string treeName = TreeFileName(dataPath_, caption);
    if (FileExists(treeName)) ops_.Delete(treeName);
    for (const PackEntry& e : entries)
        if (e.size >= 0 && e.archiveOffset < 0) ops_.Delete(looseName(e.id));
    // Empty now, unless a file could not be deleted: then it stays.
    if (!loose.empty() || treeInFolder) RemoveDir(ExcludeTrailingBackslash(folder));
    caption_ = caption;
    open_ = true;
    entries_ = std::move(written);
    removed_.clear();
    storedTree_ = treeBytes;
    archiveTree_ = std::move(treeBytes);
}

bool TNoteStore::Load(int32_t id, TStream& rtf, LH5Compression& lh5) {
    return InDataFolder([&] {
        if (open_ && LoadNoteFile(NoteName(id), rtf, lh5)) return true;
        const TArchiveEntry* e = ArchiveNote(id);
        if (e == nullptr) {
            CheckDataFolder();
            return false;
        }
        // Decoded where it lies in the archive: only the note's text is held.
        std::unique_ptr<TStream> archive = ops_.OpenRead(ArchiveFileName(dataPath_, caption_));
        TStreamSlice note(*archive, e->Offset, e->Size);
        LoadNote(note, rtf, lh5);
        return true;
    });
}

uint32_t TNoteStore::Save(int32_t id, int level, const std::string& title, TStream& rtf, LH5Compression& lh5) {
    return InDataFolder([&] {
        MakeNoteFolder();
        return SaveNoteFile(NoteName(id), level, title, rtf, lh5, ops_);
    });
}

void TNoteStore::Copy(int32_t from, int32_t to) {
    InDataFolder([&] { CopyNote(from, to); });
}

void TNoteStore::CopyNote(int32_t from, int32_t to) {
    MakeNoteFolder();
    std::unique_ptr<TStream> source;
    int64_t size;
    const TArchiveEntry* e = nullptr;
    if (FileExists(NoteName(from))) {
        source = ops_.OpenRead(NoteName(from));
        size = source->Size();
    } else if ((e = ArchiveNote(from)) != nullptr) {
        source = ops_.OpenRead(ArchiveFileName(dataPath_, caption_));
        source->SetPosition(e->Offset);
        size = e->Size;
    } else {
        return;
    }
    const std::string tempName = NoteName(to) + ".tmp";
    try {
        {
            std::unique_ptr<TStream> out = ops_.Create(tempName);
            std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(size, kCopyBuffer)) + 1);
            CopyBytes(*source, *out, size, buf);
            ops_.Flush(*out);
        }
        if (!ops_.Replace(tempName, NoteName(to))) throw EFCreateError("Cannot create file " + NoteName(to));
    } catch (const Exception&) {
        // The clone shows an empty note rather than half of one.
        ops_.Delete(tempName);
    }
}

void TNoteStore::Remove(int32_t id) {
    if (open_) ops_.Delete(NoteName(id));  // a missing file is no error
    removed_.insert(id);
}

int32_t NewItemId(const TItemTree& tree, const TNoteStore& notes, const TItemClock& clock) {
    constexpr int32_t kIdRange = 100000000;  // ids have at most 8 digits
    std::unordered_set<int32_t> used;
    ForEachItem(tree, [&used](TItemNode* node) {
        if (node->Data() != nullptr) used.insert(node->Data()->Id);
    });
    int32_t id = NewItemId(clock());
    if (id < 0 || id >= kIdRange) id = 0;
    for (int32_t tried = 0; tried < kIdRange; ++tried) {
        if (used.count(id) == 0 && !notes.IdInUse(id)) return id;
        id = (id + 1) % kIdRange;
    }
    throw EInvalidOperation("No free item id is left");
}

namespace {
// Another's file operations, but a new file is moved into place only where
// no file is: it never replaces one.
class TNoReplaceOps : public TFileOps {
public:
    explicit TNoReplaceOps(TFileOps& ops) : ops_(ops) {}
    std::unique_ptr<TStream> Create(const std::string& name) override { return ops_.Create(name); }
    std::unique_ptr<TStream> OpenRead(const std::string& name) override { return ops_.OpenRead(name); }
    void Flush(TStream& stream) override { ops_.Flush(stream); }
    bool Replace(const std::string& source, const std::string& dest) override { return ops_.Move(source, dest); }
    bool Move(const std::string& source, const std::string& dest) override { return ops_.Move(source, dest); }
    bool Delete(const std::string& name) override { return ops_.Delete(name); }
    std::string NewTempFile() override { return ops_.NewTempFile(); }

private:
    TFileOps& ops_;
};
}  // namespace

void CreateTreskel(const std::string& dataPath, const std::string& caption, TFileOps& ops) {
    if (TreskelFilesExist(dataPath, caption))
        throw ETreskelError(Format("The treskel \"%s\" cannot be made: the data directory %s holds its files "
                                   "already, under this name or one the system takes for it.",
                                   caption.c_str(), dataPath.c_str()));
    // A file that took the name meanwhile stays as it is.
    TNoReplaceOps noReplace(ops);
    PackTreskel(TPlainItemTree(), dataPath, caption, noReplace);
}

void PackTreskel(const TItemTree& tree, const std::string& dataPath, const std::string& caption, TFileOps& ops) {
    TNoteStore notes(ops);
    notes.SetDataPath(dataPath);
    notes.Pack(tree, caption);
}

void SaveTreskel(const TItemTree& tree, const std::string& dataPath, const std::string& caption, TFileOps& ops) {
    PackTreskel(tree, dataPath, caption, ops);
    ReleaseRecords(tree);
}

void OpenTreskel(TItemTree& tree, const std::string& dataPath, const std::string& caption) {
    TNoteStore notes;
    notes.SetDataPath(dataPath);
    notes.Open(tree, caption);
}

}  // namespace treskel
