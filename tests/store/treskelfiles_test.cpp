// A treskel's files as the store meets them: an archive whose name gives no
// name, a data directory that goes away while a treskel is open, and a new
// treskel whose name the file system takes for another's files.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "store/NoteStore.h"
#include "store/TreskelArchive.h"
#include "store/TreskelNames.h"
#include "platform/FileSys.h"
#include "support/StoreTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using Bytes = std::vector<unsigned char>;

// One start of the program on a data directory.
struct Session {
    explicit Session(const std::string& dataPath) { notes.SetDataPath(dataPath); }
    void Save(int32_t id, const std::string& text) {
        TMemoryStream rtf(std::vector<uint8_t>(text.begin(), text.end()));
        notes.Save(id, 2, "t", rtf, lh5);
    }
    std::string Note(int32_t id) {
        TMemoryStream rtf;
        return notes.Load(id, rtf, lh5) ? rtf.AsString() : "(none)";
    }
    TNoteStore notes;
    TPlainItemTree tree;
    LH5Compression lh5{nullptr};
};

// A closed treskel: A and B with notes, C without.
Bytes LeaveTreskel(const std::string& dataPath, const std::string& name) {
    Session s(dataPath);
    s.notes.Open(s.tree, name);
    for (int32_t id : {1, 2, 3}) test::AddItem(s.tree, nullptr, std::string(1, static_cast<char>('A' + id - 1)), id);
    s.Save(1, "note of A");
    s.Save(2, "note of B");
    s.notes.Pack(s.tree, name);
    return test::ReadAll(ArchiveFileName(dataPath, name));
}

TEST(TreskelFiles, AnArchiveNamedOnlyByItsExtensionIsOpenAndKeepsItsNotes) {
    test::TempDir dir;
    const Bytes archive = LeaveTreskel(dir.Path(), "Work");
    ASSERT_TRUE(RenameFile(dir.File("Work.tsx"), dir.File(".tsx")));
    Session s(dir.Path());
    ASSERT_EQ(s.notes.ListTreskels(), std::vector<std::string>{""});
    s.notes.Open(s.tree, "");
    EXPECT_EQ(ItemCount(s.tree), 3);
    EXPECT_EQ(s.Note(1), "note of A");
    // Nothing changed: nothing written.
    EXPECT_FALSE(s.notes.SaveTree(s.tree));
    s.notes.Pack(s.tree, "");
    EXPECT_EQ(test::ReadAll(dir.File(".tsx")), archive);
    // A note saved is packed with every note the archive held.
    s.Save(3, "note of C");
    EXPECT_TRUE(s.notes.IdInUse(3));
    s.notes.Pack(s.tree, "");
    EXPECT_GT(test::ReadAll(dir.File(".tsx")).size(), archive.size());
    Session again(dir.Path());
    again.notes.Open(again.tree, "");
    EXPECT_EQ(again.Note(1), "note of A");
    EXPECT_EQ(again.Note(2), "note of B");
    EXPECT_EQ(again.Note(3), "note of C");
    // Given a name, it keeps them under it.
    again.notes.Rename("", "Named");
    EXPECT_EQ(again.Note(3), "note of C");
    EXPECT_EQ(TreskelCaptions(dir.Path()), std::vector<std::string>{"Named"});
}

TEST(TreskelFiles, AnUnnamedTreskelsTabHasACaptionNoNameCanHave) {
    EXPECT_EQ(TreskelTabCaption(""), kUnnamedTreskelCaption);
    EXPECT_EQ(TreskelOfTab(kUnnamedTreskelCaption), "");
    for (const char* name : {"Work", "no name", "(no name)"}) {
        EXPECT_EQ(TreskelTabCaption(name), name);
        EXPECT_EQ(TreskelOfTab(TreskelTabCaption(name)), name);
    }
    EXPECT_FALSE(IsValidTreskelName(kUnnamedTreskelCaption));
}

// Moved away while a treskel is open: every read and save says which
// directory is gone, another treskel does not open as an empty new one,
// and once the directory is back nothing was lost.
TEST(TreskelFiles, ADataDirectoryGoneWhileATreskelIsOpenSaysSoOnEveryRoad) {
    test::TempDir root;
    const std::string folder = root.File("Data"), moved = root.File("Moved");
    const std::string data = folder + root.Path().back();
    ASSERT_TRUE(CreateDir(folder));
    LeaveTreskel(data, "Work");
    const Bytes home = LeaveTreskel(data, "Home");
    Session s(data);
    s.notes.Open(s.tree, "Work");
    s.Save(3, "saved before");
    ASSERT_TRUE(RenameFile(folder, moved));

    int said = 0;
    auto gone = [&](const char* road, const std::function<void()>& step) {
        try {
            step();
            ADD_FAILURE() << road << ": no error";
        } catch (const EDataFolderGone& e) {
            ++said;
            EXPECT_NE(e.Message().find("The data directory " + folder + " is not there"), std::string::npos)
                << road << ": " << e.Message();
        }
    };
    gone("an archived note", [&] { s.Note(1); });
    gone("a loose note", [&] { s.Note(3); });
    gone("no note", [&] { s.Note(4); });
    gone("a note saved", [&] { s.Save(2, "typed"); });
    gone("a clone", [&] { s.notes.Copy(1, 9); });
    test::AddItem(s.tree, nullptr, "D", 4);
    gone("the tree beside the notes", [&] { s.notes.SaveTree(s.tree); });
    gone("the treskel saved", [&] { s.notes.Pack(s.tree, "Work"); });
    gone("the treskel renamed", [&] { s.notes.Rename("Work", "Job"); });
    Session other(data);
    gone("another treskel opened", [&] { other.notes.Open(other.tree, "Home"); });
    EXPECT_EQ(said, 9);
    EXPECT_EQ(other.tree.Count(), 0);

    ASSERT_TRUE(RenameFile(moved, folder));
    s.notes.Pack(s.tree, "Work");
    Session back(data);
    back.notes.Open(back.tree, "Work");
    EXPECT_EQ(ItemCount(back.tree), 4);
    EXPECT_EQ(back.Note(1), "note of A");
    EXPECT_EQ(back.Note(2), "note of B");
    EXPECT_EQ(back.Note(3), "saved before");
    EXPECT_EQ(test::ReadAll(data + "Home.tsx"), home);
}

// A new treskel's empty archive is made only where no treskel keeps its
// files under that name, as the file system finds names.
TEST(TreskelFiles, ANewTreskelNeverTakesAnotherTreskelsFiles) {
    test::TempDir dir;
    const Bytes work = LeaveTreskel(dir.Path(), "Work notes 2024");
    CreateTreskel(dir.Path(), "Fresh");
    EXPECT_EQ(test::ReadAll(dir.File("Fresh.tsx")), Bytes({4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_THROW(CreateTreskel(dir.Path(), "Fresh"), ETreskelError);
    // A file that takes the name while the archive is written stays.
    const Bytes raced{'o', 't', 'h', 'e', 'r'};
    struct Racing : TFileOps {
        std::string other;
        Bytes bytes;
        std::unique_ptr<TStream> Create(const std::string& name) override {
            test::WriteAll(other, bytes);
            return TFileOps::Create(name);
        }
    } racing;
    racing.other = dir.File("Raced.tsx");
    racing.bytes = raced;
    EXPECT_THROW(CreateTreskel(dir.Path(), "Raced", racing), ETreskelError);
    EXPECT_EQ(test::ReadAll(dir.File("Raced.tsx")), raced);
    EXPECT_FALSE(FileExists(TempArchiveFileName(dir.Path(), "Raced")));
    // A note folder left without its archive is a treskel's too.
    ASSERT_TRUE(CreateDir(dir.File("Draft.tsn")));
    EXPECT_TRUE(TreskelFilesExist(dir.Path(), "Draft"));
    EXPECT_THROW(CreateTreskel(dir.Path(), "Draft"), ETreskelError);
    // So is a tree file an older build left without one.
    test::WriteAll(dir.File("Old.tsk"), Bytes{0, 0, 0, 0});
    EXPECT_THROW(CreateTreskel(dir.Path(), "Old"), ETreskelError);
    EXPECT_FALSE(TreskelFilesExist(dir.Path(), "Other"));
#if defined(_WIN32)
    // The system's short name of the archive and other letter cases.
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(dir.File("Work notes 2024.tsx").c_str(), shortName, MAX_PATH), 0u);
    const std::string stem = ChangeFileExt(ExtractFileName(shortName), "");
    ASSERT_NE(stem, "Work notes 2024");
    for (const std::string& name : {stem, LowerCase(stem), std::string("WORK NOTES 2024"), std::string("draft")}) {
        EXPECT_TRUE(TreskelFilesExist(dir.Path(), name)) << name;
        EXPECT_THROW(CreateTreskel(dir.Path(), name), ETreskelError) << name;
    }
#endif
    EXPECT_EQ(test::ReadAll(dir.File("Work notes 2024.tsx")), work);
    EXPECT_EQ(test::DataFiles(dir.Path()).size(), 4u);  // three archives and the old tree file
}

}  // namespace
}  // namespace treskel
