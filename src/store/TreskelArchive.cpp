#include "store/TreskelArchive.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "store/ByteIO.h"
#include "store/CRC32c.h"
#include "store/TreeFile.h"
#include "platform/FileSys.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

constexpr size_t kCopyBuffer = 1 << 20;

[[noreturn]] void Damaged(const std::string& name, const char* what, int64_t at) {
    throw ETreskelError(Format("The treskel archive %s is damaged: %s (at byte %lld). Nothing was unpacked.",
                               name.c_str(), what, static_cast<long long>(at)));
}

int32_t ReadI32(TBufferedReader& r) { return static_cast<int32_t>(r.ReadU32()); }

}  // namespace

std::string ArchiveFileName(const std::string& dataPath, const std::string& caption) { return dataPath + caption + ".tsx"; }
std::string TreeFileName(const std::string& dataPath, const std::string& caption) { return dataPath + caption + ".tsk"; }
std::string TempArchiveFileName(const std::string& dataPath, const std::string& caption) {
    return ArchiveFileName(dataPath, caption) + ".tmp";
}
std::string NoteFileName(const std::string& dataPath, int32_t id) { return dataPath + IntToStr(id); }

std::vector<std::string> TreskelCaptions(const std::string& dataPath) {
    std::vector<std::string> captions;
    for (const TSearchRec& f : FindFiles(dataPath + "*.tsx")) {
        // The system's wildcard also matches longer extensions by their
        // short names; only ".tsx" itself names an archive.
        if (!SameText(ExtractFileExt(f.Name), ".tsx")) continue;
        captions.push_back(f.Name.substr(0, f.Name.find_last_of('.')));
    }
    return captions;
}

TArchiveIndex ScanArchive(TStream& archive, const std::string& name) {
    const int64_t base = archive.Position();
    TBufferedReader r(archive);
    const int64_t total = r.Remaining();
    auto at = [&] { return total - r.Remaining(); };
    TArchiveIndex index;
    if (r.Remaining() < 4) Damaged(name, "it is shorter than its first size field", 0);
    const int32_t treeSize = ReadI32(r);
    if (treeSize < -1 || treeSize > r.Remaining()) Damaged(name, "the tree file size is out of range", 0);
    index.TreeOffset = base + 4;
    index.TreeSize = treeSize;
    if (treeSize > 0) r.Discard(treeSize);
    if (r.Remaining() < 4) Damaged(name, "the item count is missing", at());
    const int64_t countAt = at();
    const int32_t count = ReadI32(r);
    if (count < 0 || count > r.Remaining() / 8) Damaged(name, "the item count is out of range", countAt);
    index.Entries.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const int64_t entryAt = at();
        if (r.Remaining() < 8) Damaged(name, "a note entry is cut off", entryAt);
        TArchiveEntry e;
        e.Id = ReadI32(r);
        e.Size = ReadI32(r);
        e.Offset = base + at();
        if (e.Size < -1 || e.Size > r.Remaining()) Damaged(name, "a note size runs past the end", entryAt);
        if (e.Size > 0) r.Discard(e.Size);
        index.Entries.push_back(e);
    }
    return index;
}

void PackTreskel(const TItemTree& tree, const std::string& dataPath, const std::string& caption, TFileOps& ops) {
    const std::string archiveName = ArchiveFileName(dataPath, caption);
    const std::string tempName = TempArchiveFileName(dataPath, caption);
    const std::vector<uint8_t> treeBytes = TreeFileBytes(tree);

    struct Entry {
        int32_t id;
        int64_t size;  // -1: not packed
    };
    std::vector<Entry> entries;
    std::unordered_set<int32_t> packedIds;
    ForEachItem(tree, [&](TItemNode* node) {
        const TItemData& d = *node->Data();  // TreeFileBytes gave every node a record
        // Two items of one id share one file: the first carries it.
        int64_t size = -1;
        if (d.IsLink == 0 && packedIds.count(d.Id) == 0) size = FileSizeOf(NoteFileName(dataPath, d.Id));
        if (size >= 0) packedIds.insert(d.Id);
        entries.push_back({d.Id, size});
    });

    try {
        uint32_t writtenCrc;
        int64_t writtenSize;
        {
            std::unique_ptr<TStream> out = ops.Create(tempName);
            TCrcWriteStream crcOut(*out);
            TBufferedWriter w(crcOut, kCopyBuffer);
            w.WriteU32(static_cast<uint32_t>(treeBytes.size()));
            w.Write(treeBytes.data(), treeBytes.size());
            w.WriteU32(static_cast<uint32_t>(entries.size()));
            std::vector<uint8_t> buf(kCopyBuffer);
            for (const Entry& e : entries) {
                w.WriteU32(static_cast<uint32_t>(e.id));
                if (e.size < 0) {
                    w.WriteU32(0xFFFFFFFFu);
                    continue;
                }
                std::unique_ptr<TStream> note = ops.OpenRead(NoteFileName(dataPath, e.id));
                int64_t left = e.size;
                if (left > std::numeric_limits<int32_t>::max())
                    throw EWriteError(Format("the note file %d is too large for an archive", e.id));
                w.WriteU32(static_cast<uint32_t>(left));
                while (left > 0) {
                    const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
                    note->ReadBuffer(buf.data(), n);
                    w.Write(buf.data(), static_cast<size_t>(n));
                    left -= n;
                }
            }
            w.Flush();
            ops.Flush(*out);
            writtenCrc = crcOut.Crc();
            writtenSize = crcOut.Written();
        }
        // Read it back: only an archive whose every byte is as written may
        // replace the old one.
        {
            std::unique_ptr<TStream> in = ops.OpenRead(tempName);
            if (in->Size() != writtenSize) throw EReadError("the new archive reads back with another size");
            std::vector<uint8_t> buf(kCopyBuffer);
            uint32_t crc = Crc32Start;
            int64_t left = writtenSize;
            while (left > 0) {
                const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
                in->ReadBuffer(buf.data(), n);
                crc = UpdateCrc32(buf.data(), static_cast<size_t>(n), crc);
                left -= n;
            }
            if (FinishCrc32(crc) != writtenCrc) throw EReadError("the new archive reads back with other bytes");
        }
        if (!ops.Replace(tempName, archiveName))
            throw EInOutError("the new archive cannot replace the old one: " + LastFileError());
    } catch (const Exception& e) {
        ops.Delete(tempName);
        std::string cause = e.Message();
        while (!cause.empty() && (cause.back() == '.' || cause.back() == ' ')) cause.pop_back();
        throw ETreskelError(Format("The treskel \"%s\" could not be saved: %s. The previous archive and the note files "
                                   "are unchanged.",
                                   caption.c_str(), cause.c_str()));
    } catch (...) {
        ops.Delete(tempName);
        throw;
    }

    // The archive holds everything now; a loose file that cannot be deleted
    // only stays behind and is rewritten at the next open.
    const std::string treeName = TreeFileName(dataPath, caption);
    if (FileExists(treeName)) ops.Delete(treeName);
    for (const Entry& e : entries)
        if (e.size >= 0) ops.Delete(NoteFileName(dataPath, e.id));
}

void SaveTreskel(const TItemTree& tree, const std::string& dataPath, const std::string& caption, TFileOps& ops) {
    PackTreskel(tree, dataPath, caption, ops);
    ReleaseRecords(tree);
}

namespace {

void CopyToFile(TBufferedReader& r, int64_t size, const std::string& fileName) {
    TFileStream out(fileName, fmCreate);
    while (size > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(size, kCopyBuffer));
        r.Ensure(n);
        out.WriteBuffer(r.Ptr(), static_cast<int64_t>(n));
        r.Skip(n);
        size -= static_cast<int64_t>(n);
    }
}

}  // namespace

void UnpackTreskel(const std::string& dataPath, const std::string& caption) {
    const std::string archiveName = ArchiveFileName(dataPath, caption);
    if (!FileExists(archiveName)) return;
    TFileStream archive(archiveName, fmOpenRead | fmShareDenyWrite);
    const TArchiveIndex index = ScanArchive(archive, archiveName);

    archive.SetPosition(index.TreeOffset);
    TBufferedReader r(archive, kCopyBuffer);
    if (index.TreeSize >= 0) CopyToFile(r, index.TreeSize, TreeFileName(dataPath, caption));
    r.Discard(4);  // the item count
    for (const TArchiveEntry& e : index.Entries) {
        r.Discard(8);  // id and size, known from the scan
        if (e.Size >= 0) CopyToFile(r, e.Size, NoteFileName(dataPath, e.Id));
    }
}

void OpenTreskel(TItemTree& tree, const std::string& dataPath, const std::string& caption) {
    UnpackTreskel(dataPath, caption);
    tree.Clear();
    const std::string treeName = TreeFileName(dataPath, caption);
    if (!FileExists(treeName)) return;
    TFileStream f(treeName, fmOpenRead | fmShareDenyWrite);
    if (f.Size() == 0) return;
    try {
        LoadTreskel(tree, f);
    } catch (const ETreeFileError& e) {
        tree.Clear();
        throw ETreskelError(Format("The tree file %s cannot be read: %s", treeName.c_str(), e.Message().c_str()));
    }
}

}  // namespace treskel
