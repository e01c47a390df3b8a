// Helpers of the tests of the stored formats: items on a plain tree, and
// file operations that fail at a chosen step.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "store/FileOps.h"
#include "store/TreeFile.h"
#include "store/ItemTree.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
#include "platform/SysUtils.h"
#include "support/TestEnv.h"

namespace treskel::test {

// An item with a record of this id, as the item commands make one.
inline TItemNode* AddItem(TItemTree& tree, TItemNode* parent, const std::string& text, int32_t id, bool link = false) {
    TItemNode* n = parent != nullptr ? parent->AddChild() : tree.AddTop();
    n->SetText(text);
    n->SetData(std::make_unique<TItemData>());
    n->Data()->Id = id;
    n->Data()->IsLink = link ? 1 : 0;
    n->SetImageIndex(link ? ImgLink : ImgItem);
    return n;
}

// A loose note of treskel `caption` as a session (or a crash) leaves it.
inline void WriteLooseNote(const std::string& dataPath, const std::string& caption, int32_t id,
                           const std::string& bytes) {
    CreateDir(ExcludeTrailingBackslash(NoteFolderName(dataPath, caption)));
    WriteAll(NoteFileName(dataPath, caption, id), bytes);
}

// Every file under the data directory with its bytes, by its name there
// ("T.tsn/12" for a loose note).
inline std::map<std::string, std::vector<unsigned char>> DataFiles(const std::string& dataPath) {
    namespace fs = std::filesystem;
    std::map<std::string, std::vector<unsigned char>> files;
    for (const auto& e : fs::recursive_directory_iterator(fs::path(dataPath)))
        if (e.is_regular_file())
            files[fs::relative(e.path(), fs::path(dataPath)).generic_string()] = ReadAll(e.path().string());
    return files;
}

// CRC-32 bit by bit, apart from the program's table.
inline uint32_t BitwiseCrc32(const uint8_t* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Each note entry of the archive against the record of its item.
inline void ExpectRecordsHoldTheirNotesCrc(const std::string& archiveName) {
    const auto bytes = ReadAll(archiveName);
    TMemoryStream archive(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    const TArchiveIndex index = ScanArchive(archive);
    TMemoryStream treeBytes(std::vector<uint8_t>(bytes.begin() + index.TreeOffset,
                                                 bytes.begin() + index.TreeOffset + index.TreeSize));
    TPlainItemTree tree;
    LoadTreskel(tree, treeBytes);
    size_t i = 0;
    ForEachItem(tree, [&](TItemNode* n) {
        const TArchiveEntry& e = index.Entries[i++];
        if (e.Size < 0) return;
        EXPECT_EQ(static_cast<uint32_t>(n->Data()->Crc), BitwiseCrc32(bytes.data() + e.Offset, static_cast<size_t>(e.Size)))
            << n->Text();
    });
}

// Makes the temporary files of large notes in a folder of the test's own
// and keeps their names.
class TempFilesIn : public TFileOps {
public:
    explicit TempFilesIn(std::string dir) : dir_(std::move(dir)) {}
    std::string NewTempFile() override {
        std::string name = dir_ + "passing" + std::to_string(made.size()) + ".tmp";
        TFileStream file(name, fmCreate);
        made.push_back(name);
        return name;
    }
    std::vector<std::string> made;

private:
    std::string dir_;
};

// Fails the chosen step of a save.
class FailingOps : public TFileOps {
public:
    enum Step { kNone, kCreate, kWrite, kFlush, kReadBack, kCorrupt, kReplace };
    explicit FailingOps(Step step, int64_t writeLimit = 0) : step_(step), writeLimit_(writeLimit) {}

    std::unique_ptr<TStream> Create(const std::string& name) override {
        if (step_ == kCreate) throw EFCreateError("Cannot create file " + name + ". Permission denied");
        if (step_ == kWrite) return std::make_unique<Limited>(TFileOps::Create(name), writeLimit_);
        return TFileOps::Create(name);
    }
    std::unique_ptr<TStream> OpenRead(const std::string& name) override {
        if (name.size() > 4 && name.substr(name.size() - 4) == ".tmp") {
            if (step_ == kReadBack) throw EFOpenError("Cannot open file " + name + ". I/O error");
            if (step_ == kCorrupt) {
                auto bytes = ReadAll(name);
                bytes[bytes.size() / 2] ^= 1;
                return std::make_unique<TMemoryStream>(std::vector<uint8_t>(bytes.begin(), bytes.end()));
            }
        }
        return TFileOps::OpenRead(name);
    }
    void Flush(TStream& s) override {
        if (step_ == kFlush) throw EWriteError("Stream write error: No space left on device");
        TFileOps::Flush(s);
    }
    bool Replace(const std::string& source, const std::string& dest) override {
        return step_ != kReplace && TFileOps::Replace(source, dest);
    }

private:
    // A disk that fills up after `limit` bytes.
    class Limited : public TStream {
    public:
        Limited(std::unique_ptr<TStream> s, int64_t limit) : s_(std::move(s)), left_(limit) {}
        int64_t Read(void* b, int64_t n) override { return s_->Read(b, n); }
        int64_t Write(const void* b, int64_t n) override {
            const int64_t k = std::min(n, left_);
            left_ -= k;
            return k > 0 ? s_->Write(b, k) : 0;
        }
        int64_t Seek(int64_t o, TSeekOrigin origin) override { return s_->Seek(o, origin); }

    private:
        std::unique_ptr<TStream> s_;
        int64_t left_;
    };
    Step step_;
    int64_t writeLimit_;
};

}  // namespace treskel::test
