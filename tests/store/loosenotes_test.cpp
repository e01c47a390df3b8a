// Loose note files belong to the treskel that wrote them: through crashes,
// treskels that share ids (a copied archive), removals and either order of
// opening, each treskel shows and packs only its own.
#include <gtest/gtest.h>

#include "store/CRC32c.h"
#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreeFile.h"
#include "platform/SysUtils.h"
#include "support/StoreTest.h"

namespace treskel {
namespace {

// The data directory of a user, and the program's side of one start.
struct DataDir {
    test::TempDir dir;
    LH5Compression lh5{nullptr};

    struct Session {
        TNoteStore notes;
        TPlainItemTree tree;
    };
    // Opens the treskel as a start of the program, or a tab change, does.
    std::unique_ptr<Session> Open(const std::string& caption) {
        auto s = std::make_unique<Session>();
        s->notes.SetDataPath(dir.Path());
        s->notes.Open(s->tree, caption);
        return s;
    }
    void Save(Session& s, int32_t id, const std::string& text, const std::string& title = "t") {
        TMemoryStream rtf(std::vector<uint8_t>(text.begin(), text.end()));
        const uint32_t crc = s.notes.Save(id, 2, title, rtf, lh5);
        ForEachItem(s.tree, [&](TItemNode* n) {
            if (n->Data()->Id == id && n->Data()->IsLink == 0) n->Data()->Crc = static_cast<int32_t>(crc);
        });
    }
    std::string Note(Session& s, int32_t id) {
        TMemoryStream rtf;
        return s.notes.Load(id, rtf, lh5) ? rtf.AsString() : "(none)";
    }
    // The item removal of the main window: its note, then its node.
    void Remove(Session& s, int32_t id) {
        s.notes.Remove(id);
        ForEachItem(s.tree, [&](TItemNode* n) {
            if (n->Data() != nullptr && n->Data()->Id == id) n->SetData(nullptr);
        });
        for (int i = s.tree.Count() - 1; i >= 0; --i)
            if (s.tree.Item(i)->Data() == nullptr) s.tree.Delete(s.tree.Item(i));
    }
    // "Work" of three items, packed, and "Old work", a copy of its archive
    // that the user keeps; then note 2 of Work is saved and the program
    // dies before it packs.
    void WorkAndItsCopyAfterACrash() {
        {
            auto s = Open("Work");
            for (int32_t id : {1, 2, 3}) {
                test::AddItem(s->tree, nullptr, "Item " + IntToStr(id), id);
                Save(*s, id, "work " + IntToStr(id));
            }
            s->notes.Pack(s->tree, "Work");
        }
        test::WriteAll(dir.File("Old work.tsx"), test::ReadAll(dir.File("Work.tsx")));
        auto s = Open("Work");
        Save(*s, 2, "work 2, newer");
    }
};

TEST(LooseNotes, TwoTreskelsSharingIdsKeepTheirOwnNotesInEitherOrderAfterACrash) {
    for (bool copyFirst : {true, false}) {
        SCOPED_TRACE(copyFirst ? "the copy opens first" : "Work opens first");
        DataDir d;
        d.WorkAndItsCopyAfterACrash();
        auto check = [&](const std::string& caption) {
            auto s = d.Open(caption);
            if (caption == "Work") {
                EXPECT_EQ(d.Note(*s, 2), "work 2, newer");
            } else {
                EXPECT_EQ(d.Note(*s, 2), "work 2");
            }
            EXPECT_EQ(d.Note(*s, 1), "work 1");
            EXPECT_EQ(ItemCount(s->tree), 3);
            s->notes.Pack(s->tree, caption);
        };
        check(copyFirst ? "Old work" : "Work");
        check(copyFirst ? "Work" : "Old work");
        // And so after both were packed.
        check("Work");
        check("Old work");
        EXPECT_EQ(test::DataFiles(d.dir.Path()).size(), 2u);
    }
}

// Removing an item in the copy leaves Work's saved note alone, whichever
// treskel the user opens first after the crash.
TEST(LooseNotes, RemovingAnItemNeverDeletesAnotherTreskelsLooseNote) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    const auto workFiles = test::DataFiles(d.dir.Path());
    {
        auto copy = d.Open("Old work");
        d.Remove(*copy, 2);
        EXPECT_EQ(d.Note(*copy, 2), "(none)");
        copy->notes.Pack(copy->tree, "Old work");
    }
    EXPECT_EQ(test::DataFiles(d.dir.Path()).count("Work.tsn/2"), 1u);
    EXPECT_EQ(test::DataFiles(d.dir.Path())["Work.tsn/2"], workFiles.at("Work.tsn/2"));
    auto work = d.Open("Work");
    EXPECT_EQ(d.Note(*work, 2), "work 2, newer");
    d.Remove(*work, 3);
    work->notes.Pack(work->tree, "Work");
    auto copy = d.Open("Old work");
    EXPECT_EQ(ItemCount(copy->tree), 2);  // its own removal only
    EXPECT_EQ(d.Note(*copy, 3), "work 3");
}

// A loose file no treskel wrote (an older build kept every note in the
// data directory itself) is never shown, packed or deleted.
TEST(LooseNotes, AFileNoTreskelClaimsIsKept) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    test::WriteAll(d.dir.File("1"), std::string("whose?"));
    auto s = d.Open("Old work");
    EXPECT_EQ(d.Note(*s, 1), "work 1");
    s->notes.Pack(s->tree, "Old work");
    EXPECT_EQ(test::ReadAll(d.dir.File("1")), std::vector<unsigned char>({'w', 'h', 'o', 's', 'e', '?'}));
}

// Items added since the last save are lost with the tree in a crash, but
// not their notes: they come back as top items, under the captions their
// notes were saved with, and are packed like any other.
TEST(LooseNotes, NotesOfItemsNeverPackedComeBackAsItems) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    {
        auto s = d.Open("Work");
        test::AddItem(s->tree, s->tree.Item(0), "Added", 40);
        d.Save(*s, 40, "added before the crash", "Added");
        test::AddItem(s->tree, nullptr, "Untitled", 41);
        d.Save(*s, 41, "no title", "");
        test::AddItem(s->tree, nullptr, "Link to 2", 2, true);
    }
    auto s = d.Open("Work");
    ASSERT_EQ(s->tree.Count(), 5);
    EXPECT_EQ(s->tree.Item(3)->Text(), "Added");
    EXPECT_EQ(s->tree.Item(3)->Data()->Id, 40);
    EXPECT_EQ(s->tree.Item(3)->Data()->Compression, 2);
    EXPECT_EQ(s->tree.Item(3)->ImageIndex(), ImgItem);
    EXPECT_EQ(s->tree.Item(4)->Text(), "Recovered note 41");
    EXPECT_EQ(d.Note(*s, 40), "added before the crash");
    s->notes.Pack(s->tree, "Work");
    EXPECT_FALSE(DirectoryExists(d.dir.File("Work.tsn")));
    auto again = d.Open("Work");
    EXPECT_EQ(ItemCount(again->tree), 5);
    EXPECT_EQ(d.Note(*again, 41), "no title");
    EXPECT_EQ(d.Note(*again, 2), "work 2, newer");
}

// After a crash the saved note is shown and packed; its record must carry
// that note's CRC, not the one of the version the archive held.
TEST(LooseNotes, ANoteRecoveredAfterACrashIsPackedWithItsOwnCrc) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    test::ExpectRecordsHoldTheirNotesCrc(d.dir.File("Work.tsx"));
    auto s = d.Open("Work");
    s->notes.Pack(s->tree, "Work");
    test::ExpectRecordsHoldTheirNotesCrc(d.dir.File("Work.tsx"));
}

// Renamed, a treskel keeps the notes saved since it was opened; a folder
// in the way stops the rename before anything is renamed.
TEST(LooseNotes, RenamingATreskelTakesItsLooseNotesAlong) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    auto s = d.Open("Work");
    s->notes.Rename("Work", "Office");
    EXPECT_EQ(d.Note(*s, 2), "work 2, newer");
    CreateDir(d.dir.File("Home.tsn"));
    test::WriteAll(d.dir.File("Home.tsn/9"), std::string("a left note"));
    const auto before = test::DataFiles(d.dir.Path());
    EXPECT_THROW(s->notes.Rename("Office", "Home"), ETreskelError);
    EXPECT_EQ(test::DataFiles(d.dir.Path()), before);
    s->notes.Pack(s->tree, "Office");
    auto office = d.Open("Office");
    EXPECT_EQ(d.Note(*office, 2), "work 2, newer");
}

}  // namespace
}  // namespace treskel
