#include "store/TreskelArchive.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "store/ByteIO.h"
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
std::string NoteFolderName(const std::string& dataPath, const std::string& caption) {
    // The separator the data path ends in, so that names compare alike.
    const char sep = !dataPath.empty() && dataPath.back() == '/' ? '/' : '\\';
    return dataPath + caption + ".tsn" + sep;
}
std::string NoteFileName(const std::string& dataPath, const std::string& caption, int32_t id) {
    return NoteFolderName(dataPath, caption) + IntToStr(id);
}

std::string FolderTreeFileName(const std::string& dataPath, const std::string& caption) {
    return NoteFolderName(dataPath, caption) + "tree.tsk";
}
std::string RenameJournalName(const std::string& dataPath, const std::string& caption) {
    return dataPath + caption + ".tsr";
}

bool NoteFileId(const std::string& name, int32_t& id) {
    int value = 0;
    if (name.empty() || name.size() > 11 || !TryStrToInt(name, value) || IntToStr(value) != name) return false;
    id = value;
    return true;
}

TDataDirectory ListDataDirectory(const std::string& dataPath) {
    TDataDirectory d;
    for (const TSearchRec& f : FindFiles(dataPath + "*")) {
        int32_t id;
        if (SameText(ExtractFileExt(f.Name), ".tsx")) {
            d.Captions.push_back(f.Name.substr(0, f.Name.find_last_of('.')));
            d.Archives.push_back(f);
        } else if (NoteFileId(f.Name, id)) {
            d.NoteFiles.push_back(f);
        } else if (SameText(ExtractFileExt(f.Name), ".tsr") ||
                   (SameText(ExtractFileExt(f.Name), ".tmp") &&
                    SameText(ExtractFileExt(f.Name.substr(0, f.Name.size() - 4)), ".tsr"))) {
            d.Renames.push_back(f);
        } else if (SameText(ExtractFileExt(f.Name), kRenamingSuffix)) {
            d.Renaming.push_back(f);
        }
    }
    return d;
}

std::vector<std::string> TreskelCaptions(const std::string& dataPath) { return ListDataDirectory(dataPath).Captions; }

TArchiveIndex ScanArchive(TStream& archive, const std::string& name) {
    const int64_t base = archive.Position();
    TBufferedReader r(archive, 64);
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
    // Each entry's head is read where it is; the notes between are not.
    int64_t pos = at();
    for (int32_t i = 0; i < count; ++i) {
        if (total - pos < 8) Damaged(name, "a note entry is cut off", pos);
        uint8_t head[8];
        if (archive.ReadAt(head, 8, base + pos) != 8) throw EReadError("Stream read error");
        TArchiveEntry e;
        e.Id = static_cast<int32_t>(GetU32(head));
        e.Size = static_cast<int32_t>(GetU32(head + 4));
        e.Offset = base + pos + 8;
        if (e.Size < -1 || e.Size > total - pos - 8) Damaged(name, "a note size runs past the end", pos);
        pos += 8 + std::max<int64_t>(e.Size, 0);
        index.Entries.push_back(e);
    }
    // The next save would drop them.
    if (pos < total) Damaged(name, "there are bytes after the last note entry", pos);
    return index;
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

void CheckArchiveEntries(const TArchiveIndex& index, const TItemTree& tree, const std::string& name) {
    size_t i = 0;
    bool same = true, linkNote = false;
    ForEachItem(tree, [&](TItemNode* node) {
        same = same && i < index.Entries.size() && index.Entries[i].Id == node->Data()->Id;
        // A link shares its origin's note and is always written without one.
        linkNote = linkNote || (same && node->Data()->IsLink != 0 && index.Entries[i].Size >= 0);
        ++i;
    });
    if (!same || i != index.Entries.size())
        Damaged(name, "its note entries do not follow the items of its tree", 4 + std::max<int64_t>(index.TreeSize, 0));
    if (linkNote) Damaged(name, "a link's entry carries a note", 4 + std::max<int64_t>(index.TreeSize, 0));
}

void UnpackTreskel(const std::string& dataPath, const std::string& caption) {
    const std::string archiveName = ArchiveFileName(dataPath, caption);
    if (!FileExists(archiveName)) return;
    TFileStream archive(archiveName, fmOpenRead | fmShareDenyWrite);
    const TArchiveIndex index = ScanArchive(archive, archiveName);

    archive.SetPosition(index.TreeOffset);
    TBufferedReader r(archive, kCopyBuffer);
    if (index.TreeSize >= 0) CopyToFile(r, index.TreeSize, TreeFileName(dataPath, caption));
    r.Discard(4);  // the item count
    CreateDir(ExcludeTrailingBackslash(NoteFolderName(dataPath, caption)));
    for (const TArchiveEntry& e : index.Entries) {
        r.Discard(8);  // id and size, known from the scan
        if (e.Size >= 0) CopyToFile(r, e.Size, NoteFileName(dataPath, caption, e.Id));
    }
}

}  // namespace treskel
