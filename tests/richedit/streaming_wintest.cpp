// The editor's stream formats under Wine: the selection alone read and
// written, Unicode text in and out, rich text without its objects or with
// them as text, the plain-RTF flag; and a window that refuses the
// editor's OLE set-up.
#include <algorithm>
#include <cstring>

#include "richedit/EditorFixture.h"
#include "richedit/RichOLE.h"

namespace treskel::test {
namespace {

std::string Bytes(const std::wstring& w) {
    return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

// A note of text around a small picture, as the editor keeps one.
std::string PictureNote() {
    RECT frame{0, 0, 2000, 1000};
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    Rectangle(rec, 0, 0, 60, 30);
    HENHMETAFILE emf = CloseEnhMetaFile(rec);
    std::vector<uint8_t> data(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, static_cast<UINT>(data.size()), data.data());
    DeleteEnhMetaFile(emf);
    std::string rtf = "{\\rtf1\\ansi before {\\pict\\emfblip\\picw2000\\pich1000\\picwgoal1134\\pichgoal567 ";
    static const char digits[] = "0123456789abcdef";
    for (uint8_t b : data) {
        rtf += digits[b >> 4];
        rtf += digits[b & 15];
    }
    return rtf + "} after\\par}";
}

}  // namespace

class StreamFormats : public EditorTest {
protected:
    std::string Written(TOutputFormat format) {
        editor->SetOutputFormat(format);
        std::string out = Save(editor);
        editor->SetOutputFormat(TOutputFormat::ofRTF);
        return out;
    }
    void Read(TInputFormat format, const std::string& bytes) {
        editor->SetInputFormat(format);
        Load(editor, bytes);
        editor->SetInputFormat(TInputFormat::ifRTF);
    }
};

// With SelectedInOut a write gives the selection only and a read replaces
// the selection only.
TEST_F(StreamFormats, TheSelectionAloneIsWrittenAndReplaced) {
    Read(TInputFormat::ifText, "Hello big world");
    Select(editor, 6, 9);
    editor->SetSelectedInOut(true);
    EXPECT_EQ(Written(TOutputFormat::ofText), "big");
    const std::string rtf = Written(TOutputFormat::ofRTF);
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(rtf.find("big"), std::string::npos);
    EXPECT_EQ(rtf.find("Hello"), std::string::npos);
    Read(TInputFormat::ifText, "small");
    EXPECT_EQ(Text(editor), L"Hello small world");
    editor->SetSelectedInOut(false);
    EXPECT_EQ(Written(TOutputFormat::ofText).rfind("Hello small world", 0), 0u);
    // Without it a read replaces everything.
    Read(TInputFormat::ifText, "all new");
    EXPECT_EQ(Text(editor), L"all new");
}

// Unicode text goes in and comes out whole: letters of every script, one
// of them with a zero byte in its code, and the line breaks.
TEST_F(StreamFormats, UnicodeTextInAndOut) {
    const std::wstring text = L"\u0100ne \u010D\u0161\u017E\r\n\u4E2D\u6587 \u03B1\u03B2";
    Read(TInputFormat::ifUnicode, Bytes(text));
    EXPECT_EQ(Text(editor), L"\u0100ne \u010D\u0161\u017E\r\u4E2D\u6587 \u03B1\u03B2");
    const std::string out = Written(TOutputFormat::ofUnicode);
    ASSERT_EQ(out.size() % 2, 0u);
    std::wstring back(out.size() / 2, L'\0');
    std::memcpy(back.data(), out.data(), out.size());
    EXPECT_EQ(back.rfind(text, 0), 0u);
}

// A note with a picture: as rich text without objects it is still rich
// text; textized and as plain text it is its text with one character in
// the picture's place.
TEST_F(StreamFormats, RichTextWithoutObjectsAndTextized) {
    editor->SetIncludeOLE(true);
    Load(editor, PictureNote());
    ASSERT_EQ(editor->RichEditOle()->GetObjectCount(), 1);
    const std::string rtf = Written(TOutputFormat::ofRTF), noObjects = Written(TOutputFormat::ofRTFNoObjs);
    for (const std::string& r : {rtf, noObjects}) {
        EXPECT_EQ(r.rfind("{\\rtf", 0), 0u);
        EXPECT_NE(r.find("before"), std::string::npos);
        EXPECT_NE(r.find("after"), std::string::npos);
    }
    for (TOutputFormat f : {TOutputFormat::ofTextized, TOutputFormat::ofText}) {
        const std::string t = Written(f);
        EXPECT_EQ(t.size(), std::string("before X after").size()) << t;
        EXPECT_EQ(t.rfind("before ", 0), 0u) << t;
        EXPECT_EQ(t.substr(8), " after") << t;
    }
    // The picture is still there after every write.
    EXPECT_EQ(editor->RichEditOle()->GetObjectCount(), 1);
}

// The plain-RTF and selection flags reach the window with every read and
// write, whatever the format (the window decides what they change).
TEST_F(StreamFormats, PlainRtfAndSelectionFlagsReachTheWindow) {
    std::vector<std::pair<UINT, WPARAM>> seen;
    editor->WindowProc = [&seen, old = editor->WindowProc](TMessage& m) {
        if (m.Msg == EM_STREAMIN || m.Msg == EM_STREAMOUT) seen.emplace_back(m.Msg, m.WParam);
        old(m);
    };
    editor->SetPlainRTF(true);
    Load(editor, "{\\rtf1\\ansi plain\\par}");
    Written(TOutputFormat::ofRTF);
    editor->SetSelectedInOut(true);
    Read(TInputFormat::ifUnicode, Bytes(L"x"));
    Written(TOutputFormat::ofTextized);
    editor->SetPlainRTF(false);
    Written(TOutputFormat::ofRTFNoObjs);
    ASSERT_EQ(seen.size(), 5u);
    const WPARAM flags[] = {SFF_PLAINRTF, SFF_PLAINRTF, SFF_PLAINRTF | SFF_SELECTION, SFF_PLAINRTF | SFF_SELECTION,
                            SFF_SELECTION};
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].second & (SFF_PLAINRTF | SFF_SELECTION), flags[i]) << i;
    EXPECT_EQ(seen[0].first, static_cast<UINT>(EM_STREAMIN));
    EXPECT_EQ(seen[4].first, static_cast<UINT>(EM_STREAMOUT));
}

// A window that will not give the editor its OLE interface, or will not
// take its callback, stops the window's set-up with the reason; a window
// that does both works again.
TEST_F(EditorTest, AWindowRefusingTheOleSetUpStopsItWithTheReason) {
    const std::pair<UINT, const char*> refusals[] = {{EM_GETOLEINTERFACE, "Unable to get interface"},
                                                     {EM_SETOLECALLBACK, "Unable to set callback"}};
    for (const auto& [refused, reason] : refusals) {
        TRichEditEx* e = NewEditor();
        e->WindowProc = [refused, old = e->WindowProc](TMessage& m) {
            if (m.Msg == refused) {
                m.Result = 0;
                return;
            }
            old(m);
        };
        try {
            e->SetIncludeOLE(true);
            e->HandleNeeded();
            ADD_FAILURE() << "no error for " << reason;
        } catch (const Exception& x) {
            EXPECT_STREQ(x.what(), reason);
        }
        EXPECT_EQ(e->RichEditOle() != nullptr, refused == EM_SETOLECALLBACK);
    }
    editor->SetIncludeOLE(true);
    EXPECT_NE(editor->RichEditOle(), nullptr);
    EXPECT_EQ(SendMessageA(editor->Handle(), EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(editor->OleCallback())), 1);
}

}  // namespace treskel::test
