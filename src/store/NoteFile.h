// Note files: a 272-byte header and the note's RTF stored at one of three
// levels: 0 as it is, 1 through the RTF object packer, 2 packed and then
// LH5-compressed.
#pragma once

#include <cstdint>
#include <string>

#include "compress/LH5Control.h"
#include "store/FileOps.h"
#include "platform/FileSys.h"
#include "platform/Streams.h"

namespace treskel {

inline constexpr int NoteHeaderSize = 272;
// Above this many bytes of RTF, the packed intermediate of a level-2 save
// goes to a temporary file rather than memory.
inline constexpr int64_t NoteTempThreshold = 1400000;

struct TNoteHeader {
    float Version = 1.0f;
    uint8_t Level = 0;
    std::string Signature = "Treskel";  // at most 10 characters
    std::string Title;                  // at most 255 characters
};

// A note file that cannot be saved or read as asked.
TRESKEL_EXCEPTION(ENoteFileError, Exception);

void WriteNoteHeader(TStream& stream, const TNoteHeader& header);
// Raises EReadError when fewer than 272 bytes remain.
TNoteHeader ReadNoteHeader(TStream& stream);

// The body at `level` from the RTF that `rtf` holds from its start; the
// packed intermediate of a large note goes to a file that `ops` names.
void WriteNoteBody(TStream& out, int level, TStream& rtf, LH5Compression& lh5, TFileOps& ops = DefaultFileOps());
// Decodes the body that follows the header in `in` into `rtf`.  Raises
// Exception("File is corrupt!") for a damaged body, and before anything is
// decoded for one that claims more than MaxStoredItemSize bytes; the RTF
// is written straight into `rtf`, never held twice.
void ReadNoteBody(TStream& in, int level, TStream& rtf, LH5Compression& lh5);

// Writes the whole note file and returns its CRC-32.  The file is written
// under a temporary name, flushed, and replaces the old one only when
// complete, so a failure (a payload that cannot be packed, a full disk)
// leaves the previous note as it was.  RTF longer than MaxStoredItemSize,
// which no reader would take back, raises ENoteFileError.
uint32_t SaveNoteFile(const std::string& fileName, int level, const std::string& title, TStream& rtf,
                      LH5Compression& lh5, TFileOps& ops = DefaultFileOps());
// Reads the note's RTF into `rtf`; false, with nothing read, when there is
// no such file.  An unknown level raises ENoteFileError: nothing is loaded,
// and the caller must not leave the previous note in the editor.
bool LoadNoteFile(const std::string& fileName, TStream& rtf, LH5Compression& lh5);
// The same from a note file's bytes from the stream's position on.
void LoadNote(TStream& note, TStream& rtf, LH5Compression& lh5);

}  // namespace treskel
