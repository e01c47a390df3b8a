#include <gtest/gtest.h>

#include <vector>

#include "platform/FormLoader.h"
#include "platform/Streams.h"
#include "richedit/WStrList.h"

namespace treskel {
namespace {

// The smallest concrete list: strings and objects in vectors, counting the
// calls that matter to the generic operations.
class TVectorWideStrings : public TWideStrings {
public:
    std::wstring GetW(int index) const override { return items_.at(static_cast<size_t>(index)).s; }
    int GetCount() const override { return static_cast<int>(items_.size()); }
    void InsertW(int index, const std::wstring& s) override {
        items_.insert(items_.begin() + index, Item{s, nullptr});
    }
    void Delete(int index) override {
        ++deletes;
        items_.erase(items_.begin() + index);
    }
    void Clear() override { items_.clear(); }
    void* GetObject(int index) const override { return items_.at(static_cast<size_t>(index)).object; }
    void PutObject(int index, void* object) override { items_.at(static_cast<size_t>(index)).object = object; }

    int deletes = 0;
    std::vector<bool> updateStates;

protected:
    void SetUpdateState(bool updating) override { updateStates.push_back(updating); }

private:
    struct Item {
        std::wstring s;
        void* object;
    };
    std::vector<Item> items_;
};

std::vector<std::wstring> Lines(const TWideStrings& l) {
    std::vector<std::wstring> v;
    for (int i = 0; i < l.Count(); ++i) v.push_back(l.GetW(i));
    return v;
}

TEST(WideStrings, TextSplitsOnEveryLineEndAndJoinsWithCrLf) {
    TVectorWideStrings l;
    l.SetTextStr(L"one\r\ntwo\rthree\nfour");
    EXPECT_EQ(Lines(l), (std::vector<std::wstring>{L"one", L"two", L"three", L"four"}));
    EXPECT_EQ(l.GetTextStr(), L"one\r\ntwo\r\nthree\r\nfour\r\n");

    l.SetTextStr(L"a\r\n\r\nb\n\n");
    EXPECT_EQ(Lines(l), (std::vector<std::wstring>{L"a", L"", L"b", L""}));

    l.SetTextStr(L"");
    EXPECT_EQ(l.Count(), 0);
    // A replacement runs inside one update.
    EXPECT_EQ(l.updateStates.back(), false);

    auto copy = l.GetTextW();
    EXPECT_EQ(copy[0], L'\0');
}

TEST(WideStrings, IndexOfIgnoresCaseAndMissesGiveMinusOne) {
    TVectorWideStrings l;
    l.SetTextStr(L"Alpha\nBETA\ngamma");
    EXPECT_EQ(l.IndexOfW(L"beta"), 1);
    EXPECT_EQ(l.IndexOfW(L"GAMMA"), 2);
    EXPECT_EQ(l.IndexOfW(L"delta"), -1);
    EXPECT_EQ(l.IndexOfW(L"alph"), -1);
}

TEST(WideStrings, MoveExchangeAndPutKeepObjects) {
    TVectorWideStrings l;
    int a = 1, b = 2, c = 3;
    l.AddObjectW(L"a", &a);
    l.AddObjectW(L"b", &b);
    l.AddObjectW(L"c", &c);

    l.Move(1, 1);
    EXPECT_EQ(l.deletes, 0);

    l.Move(0, 2);
    EXPECT_EQ(Lines(l), (std::vector<std::wstring>{L"b", L"c", L"a"}));
    EXPECT_EQ(l.GetObject(2), &a);

    l.Exchange(0, 1);
    EXPECT_EQ(Lines(l), (std::vector<std::wstring>{L"c", L"b", L"a"}));
    EXPECT_EQ(l.GetObject(0), &c);
    EXPECT_EQ(l.GetObject(1), &b);

    l.PutW(1, L"B");
    EXPECT_EQ(l.GetW(1), L"B");
    EXPECT_EQ(l.GetObject(1), &b);
}

TEST(WideStrings, NestedUpdatesReportOnlyTheOuterPair) {
    TVectorWideStrings l;
    l.BeginUpdate();
    l.BeginUpdate();
    l.EndUpdate();
    l.EndUpdate();
    l.EndUpdate();  // one too many changes nothing
    EXPECT_EQ(l.updateStates, (std::vector<bool>{true, false}));
}

TEST(WideStrings, StreamIsUtf16LittleEndianWithoutMarkGolden) {
    TVectorWideStrings l;
    l.SetTextStr(L"A\x00E9\x0416");
    TMemoryStream s;
    l.SaveToStream(s);
    EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0x41, 0x00, 0xE9, 0x00, 0x16, 0x04, 0x0D, 0x00, 0x0A, 0x00}));

    TVectorWideStrings back;
    s.SetPosition(0);
    back.LoadFromStream(s);
    EXPECT_EQ(Lines(back), Lines(l));
}

TEST(WideStrings, OddByteCountReadsWholeCharactersOnly) {
    // "AB" and one stray byte: the stray byte is not read past.
    std::vector<uint8_t> bytes{0x41, 0x00, 0x42, 0x00, 0x43};
    TMemoryStream s(bytes);
    TVectorWideStrings l;
    l.LoadFromStream(s);
    EXPECT_EQ(Lines(l), (std::vector<std::wstring>{L"AB"}));

    TMemoryStream one(std::vector<uint8_t>{0x41});
    l.LoadFromStream(one);
    EXPECT_EQ(l.Count(), 0);
}

TEST(WideStrings, CharactersBeyondTheBasicPlaneTravelAsSurrogatePairs) {
    std::wstring text = FromUtf16(u"x\U0001F600y");
    EXPECT_EQ(ToUtf16(text), u"x\U0001F600y");
    TVectorWideStrings l;
    l.SetTextStr(text);
    TMemoryStream s;
    l.SaveToStream(s);
    EXPECT_EQ(s.Size(), 2 * (4 + 2));  // x, two surrogates, y, CR LF
    s.SetPosition(0);
    TVectorWideStrings back;
    back.LoadFromStream(s);
    EXPECT_EQ(back.GetW(0), text);
}

TEST(WideStrings, StoredValueIsFourHexDigitsPerCharacter) {
    TVectorWideStrings l;
    l.AddW(L"A");
    EXPECT_EQ(l.WideStringsValue(), "0041000D000A");

    TVectorWideStrings back;
    back.AddW(L"old");
    back.ReadWideStringsValue("0041000D000A0062");
    EXPECT_EQ(Lines(back), (std::vector<std::wstring>{L"A", L"b"}));
    EXPECT_THROW(back.ReadWideStringsValue("00G1"), EReadError);

    TVectorWideStrings empty;
    EXPECT_FALSE(empty.StoresWideStrings(nullptr));
    EXPECT_TRUE(l.StoresWideStrings(nullptr));
    TVectorWideStrings same;
    same.AddW(L"A");
    EXPECT_FALSE(l.StoresWideStrings(&same));
    same.PutW(0, L"a");
    EXPECT_TRUE(l.StoresWideStrings(&same));
}

// A component that keeps a wide list as a sub-object of its layout.
class TWideListHolder : public TComponent {
    TRESKEL_CLASS(TWideListHolder)
public:
    explicit TWideListHolder(TComponent* owner) : TComponent(owner) {}
    TWideStrings* Items() { return &items; }
    TVectorWideStrings items;
};

TEST(WideStrings, TheStoredValueTravelsThroughALayout) {
    RegisterWideStringsClass();
    static const bool registered = [] {
        PublishClass<TWideListHolder, TComponent>().Object("Items", &TWideListHolder::Items);
        return true;
    }();
    ASSERT_TRUE(registered);
    TWideListHolder holder(nullptr);
    holder.SetName("Holder");
    EXPECT_EQ(WriteLayout(&holder), "object Holder: TWideListHolder\nend\n");  // nothing to store
    holder.items.SetTextStr(L"A\n\x0416\x00E9 wide\n");
    const std::string written = WriteLayout(&holder);
    EXPECT_NE(written.find("Items.WideStrings = '0041000D000A041600E900200077006900640065000D000A'"),
              std::string::npos)
        << written;

    TWideListHolder back(nullptr);
    back.items.AddW(L"replaced");
    ReadLayout(&back, written, "wide.form");
    EXPECT_EQ(Lines(back.items), (std::vector<std::wstring>{L"A", L"\x0416\x00E9 wide"}));
    EXPECT_THROW(ReadLayout(&back, "object Holder: TWideListHolder\n  Items.WideStrings = '00Z1'\nend\n", "bad.form"),
                 Exception);
}

TEST(WideStrings, AssignReplacesFromEitherKindOfList) {
    TVectorWideStrings target;
    target.AddW(L"stale");

    TStringList narrow{"one", "caf\xE9"};
    target.Assign(&narrow);
    EXPECT_EQ(Lines(target), (std::vector<std::wstring>{L"one", L"caf\x00E9"}));

    TVectorWideStrings wide;
    wide.SetTextStr(L"x\ny");
    target.Assign(&wide);
    EXPECT_EQ(Lines(target), (std::vector<std::wstring>{L"x", L"y"}));

    EXPECT_THROW(target.Assign(nullptr), EConvertError);
}

}  // namespace
}  // namespace treskel
