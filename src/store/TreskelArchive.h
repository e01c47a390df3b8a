// A treskel on disk: one archive (caption + ".tsx"); while it is open, also
// a loose note file for each note saved since it was opened, in the
// treskel's note folder (caption + ".tsn").
//
// Archive: tree size S (i32), the tree file, item count N (i32), then N
// entries in the tree's pre-order: id (i32), note size L (i32, -1 for a link
// or an item without a note file) and L bytes of the note file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/FileOps.h"
#include "store/ItemTree.h"
#include "platform/FileSys.h"
#include "platform/Streams.h"

namespace treskel {

// A treskel that could not be saved or opened; the message says why and
// what was left as it was.
TRESKEL_EXCEPTION(ETreskelError, Exception);

std::string ArchiveFileName(const std::string& dataPath, const std::string& caption);
std::string TreeFileName(const std::string& dataPath, const std::string& caption);
// The archive being written, renamed to the archive when complete: the
// longest name a treskel gives a file.
std::string TempArchiveFileName(const std::string& dataPath, const std::string& caption);
// The folder of a treskel's loose note files, ending in a separator.
std::string NoteFolderName(const std::string& dataPath, const std::string& caption);
std::string NoteFileName(const std::string& dataPath, const std::string& caption, int32_t id);
// The tree file kept beside the loose notes while the treskel is open: the
// tree as it stood a moment after its last change, newer than the archive's.
std::string FolderTreeFileName(const std::string& dataPath, const std::string& caption);
// A rename of a treskel under way: the file names the new name.
std::string RenameJournalName(const std::string& dataPath, const std::string& caption);
inline constexpr const char* kRenamingSuffix = ".renaming";

// The id a note file is named after (the name is the id in decimal, as
// IntToStr writes it); false for any other name.
bool NoteFileId(const std::string& name, int32_t& id);

// What the data directory itself holds, from one listing of it: the
// archives with their tab captions (each name up to its last dot), the
// files named by an id alone, which only a build older than the note
// folders wrote there, and what a rename stopped half-way left: its
// journals (and a journal half-written) and the files under their passing
// name (".renaming").
struct TDataDirectory {
    std::vector<std::string> Captions;
    std::vector<TSearchRec> Archives;  // one for each caption
    std::vector<TSearchRec> NoteFiles;
    std::vector<TSearchRec> Renames;
    std::vector<TSearchRec> Renaming;
};
TDataDirectory ListDataDirectory(const std::string& dataPath);
// Its tab captions alone.
std::vector<std::string> TreskelCaptions(const std::string& dataPath);

struct TArchiveEntry {
    int32_t Id = 0;
    int64_t Offset = 0;  // of the note bytes
    int64_t Size = -1;   // -1: no note file
};

struct TArchiveIndex {
    int64_t TreeOffset = 0;
    int64_t TreeSize = -1;  // -1: no tree file
    std::vector<TArchiveEntry> Entries;
};

// Reads the layout of the archive at the stream's position and checks every
// size and count against its length, and that nothing follows the last
// entry; raises ETreskelError naming `name`.
TArchiveIndex ScanArchive(TStream& archive, const std::string& name = "");

// Raises ETreskelError naming `name` unless the entries follow the items
// of the tree one for one, each with the item's id, and no link's entry
// carries a note.
void CheckArchiveEntries(const TArchiveIndex& index, const TItemTree& tree, const std::string& name);

// Makes the loose tree and note files from the archive, as the program
// once did at every open (the notes into the note folder, which it makes);
// nothing when there is no archive.  A damaged
// archive is refused before any file is written.
void UnpackTreskel(const std::string& dataPath, const std::string& caption);

}  // namespace treskel
