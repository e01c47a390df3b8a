#include "store/NoteFile.h"

#include <bit>
#include <memory>

#include "store/ByteIO.h"
#include "store/RtfPack.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

// A length byte, then the text in a field of `capacity` bytes; unused bytes
// are zeros.
void PutShortString(uint8_t* field, const std::string& text, size_t capacity) {
    const size_t n = std::min(text.size(), capacity);
    field[0] = static_cast<uint8_t>(n);
    for (size_t i = 0; i < n; ++i) field[1 + i] = static_cast<uint8_t>(text[i]);
}

std::string GetShortString(const uint8_t* field, size_t capacity) {
    const size_t n = std::min<size_t>(field[0], capacity);
    return std::string(reinterpret_cast<const char*>(field + 1), n);
}

// Points the component at two streams for one operation, and back at
// nothing afterwards.
class StreamModeScope {
public:
    StreamModeScope(LH5Compression& lh5, TStream& in, TStream& out) : lh5_(lh5) {
        lh5.SetUseStreamMode(true);
        lh5.StreamIn = &in;
        lh5.StreamOut = &out;
    }
    ~StreamModeScope() {
        lh5_.StreamIn = nullptr;
        lh5_.StreamOut = nullptr;
    }

private:
    LH5Compression& lh5_;
};

// A temporary file, named by the file operations, that is deleted when it
// goes.
class TempFile {
public:
    explicit TempFile(TFileOps& ops) : ops_(ops), name_(ops.NewTempFile()) {
        try {
            stream_ = ops.Create(name_);
        } catch (...) {
            ops.Delete(name_);
            throw;
        }
    }
    ~TempFile() {
        stream_.reset();
        ops_.Delete(name_);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    TStream& Stream() { return *stream_; }

private:
    TFileOps& ops_;
    std::string name_;
    std::unique_ptr<TStream> stream_;
};

[[noreturn]] void Corrupt() { throw Exception(SFileCorrupt); }

// Passes writes on until more than the bound would have been written.
class TBoundedWriteStream : public TStream {
    TRESKEL_CLASS(TBoundedWriteStream)
public:
    TBoundedWriteStream(TStream& target, int64_t limit) : target_(target), left_(limit) {}
    int64_t Read(void*, int64_t) override { throw EStreamError("A bounded stream cannot be read"); }
    int64_t Write(const void* buffer, int64_t count) override {
        if (count > left_) Corrupt();
        left_ -= count;
        return target_.Write(buffer, count);
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return target_.Seek(offset, origin); }
    std::string WriteFailure() const override { return target_.WriteFailure(); }

private:
    TStream& target_;
    int64_t left_;
};

// Gives a memory stream room for the `size` bytes a body certainly holds,
// so that it is not copied over as it grows.
void MakeRoom(TStream& rtf, int64_t size) {
    auto* memory = dynamic_cast<TMemoryStream*>(&rtf);
    if (memory == nullptr || size <= 0) return;
    const int64_t at = memory->Position(), was = memory->Size();
    if (at + size <= was) return;
    memory->SetSize(at + size);
    memory->SetSize(was);
    memory->SetPosition(at);
}

void CheckLevel(int level) {
    if (level < 0 || level > 2) throw ENoteFileError(Format("A note cannot be stored at compression level %d.", level));
}

}  // namespace

void WriteNoteHeader(TStream& stream, const TNoteHeader& header) {
    uint8_t b[NoteHeaderSize] = {};
    PutU32(b, std::bit_cast<uint32_t>(header.Version));
    b[4] = header.Level;
    PutShortString(b + 5, header.Signature, 10);
    PutShortString(b + 16, header.Title, 255);
    stream.WriteBuffer(b, NoteHeaderSize);
}

TNoteHeader ReadNoteHeader(TStream& stream) {
    uint8_t b[NoteHeaderSize];
    stream.ReadBuffer(b, NoteHeaderSize);
    TNoteHeader h;
    h.Version = std::bit_cast<float>(GetU32(b));
    h.Level = b[4];
    h.Signature = GetShortString(b + 5, 10);
    h.Title = GetShortString(b + 16, 255);
    return h;
}

void WriteNoteBody(TStream& out, int level, TStream& rtf, LH5Compression& lh5, TFileOps& ops) {
    CheckLevel(level);
    rtf.SetPosition(0);
    if (level == 0) {
        TBufferedReader in(rtf);
        while (in.Ensure(1)) {
            out.WriteBuffer(in.Ptr(), static_cast<int64_t>(in.Buffered()));
            in.Skip(in.Buffered());
        }
        return;
    }
    if (level == 1) {
        PackRtfObjects(rtf, out);
        return;
    }
    // A large note keeps its packed form on disk, not a third copy in memory.
    std::unique_ptr<TempFile> tempFile;
    std::unique_ptr<TMemoryStream> memory;
    TStream* packed;
    if (rtf.Size() > NoteTempThreshold) {
        tempFile = std::make_unique<TempFile>(ops);
        packed = &tempFile->Stream();
    } else {
        memory = std::make_unique<TMemoryStream>();
        packed = memory.get();
    }
    PackRtfObjects(rtf, *packed);
    packed->SetPosition(0);
    StreamModeScope scope(lh5, *packed, out);
    lh5.Compress();
}

void ReadNoteBody(TStream& in, int level, TStream& rtf, LH5Compression& lh5) {
    TBoundedWriteStream out(rtf, MaxStoredItemSize);
    const int64_t body = in.Size() - in.Position();
    switch (level) {
        case 0: {
            if (body > MaxStoredItemSize) Corrupt();
            MakeRoom(rtf, body);
            TBufferedReader r(in);
            while (r.Ensure(1)) {
                out.WriteBuffer(r.Ptr(), static_cast<int64_t>(r.Buffered()));
                r.Skip(r.Buffered());
            }
            break;
        }
        case 1:
            if (body > MaxStoredItemSize) Corrupt();
            MakeRoom(rtf, body);
            UnpackRtfObjects(in, out);
            break;
        case 2: {
            // Expanded as the unpacker reads it: the packed text is never
            // held whole beside the RTF.
            TLH5ExpandStream expanded(in, body, lh5.Progress());
            if (expanded.Size() > MaxStoredItemSize) Corrupt();
            UnpackRtfObjects(expanded, out);
            break;
        }
        default:
            throw ENoteFileError(Format("The note is stored at an unknown compression level %d and cannot be shown.", level));
    }
}

uint32_t SaveNoteFile(const std::string& fileName, int level, const std::string& title, TStream& rtf,
                      LH5Compression& lh5, TFileOps& ops) {
    CheckLevel(level);
    if (rtf.Size() > MaxStoredItemSize)
        throw ENoteFileError(Format("The note is too large to be saved: %lld bytes of rich text, of at most %lld.",
                                    static_cast<long long>(rtf.Size()), static_cast<long long>(MaxStoredItemSize)));
    const std::string tempName = fileName + ".tmp";
    uint32_t crc;
    try {
        std::unique_ptr<TStream> file = ops.Create(tempName);
        TCrcWriteStream out(*file);
        TNoteHeader header;
        header.Level = static_cast<uint8_t>(level);
        header.Title = title;
        WriteNoteHeader(out, header);
        WriteNoteBody(out, level, rtf, lh5, ops);
        // On disk before it replaces the previous note: a crash then
        // leaves one whole note or the other.
        ops.Flush(*file);
        crc = out.Crc();
    } catch (...) {
        ops.Delete(tempName);
        throw;
    }
    if (!ops.Replace(tempName, fileName)) {
        const std::string why = LastFileError();
        ops.Delete(tempName);
        throw EFCreateError(Format("Cannot create file %s. %s", fileName.c_str(), why.c_str()));
    }
    return crc;
}

bool LoadNoteFile(const std::string& fileName, TStream& rtf, LH5Compression& lh5) {
    if (!FileExists(fileName)) return false;
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadNote(file, rtf, lh5);
    return true;
}

void LoadNote(TStream& note, TStream& rtf, LH5Compression& lh5) {
    const TNoteHeader header = ReadNoteHeader(note);
    ReadNoteBody(note, header.Level, rtf, lh5);
}

}  // namespace treskel
