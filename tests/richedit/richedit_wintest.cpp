// The note editor on real rich-edit windows under Wine.
#include <algorithm>
#include <cstring>

#include "platform/FormLoader.h"
#include "richedit/EditorFixture.h"
#include "richedit/Langs.h"
#include "richedit/RichOLE.h"
#include "support/Snapshot.h"

namespace treskel::test {
namespace {

// A stream that hands out at most `step` bytes per read, so that the
// editor's chunks end anywhere, and that can fail after `failAfter` bytes.
class TrickleStream : public TMemoryStream {
public:
    TrickleStream(const std::string& bytes, int64_t step, int64_t failAfter = -1)
        : TMemoryStream(std::vector<uint8_t>(bytes.begin(), bytes.end())), step_(step), failAfter_(failAfter) {}
    int64_t Read(void* buffer, int64_t count) override {
        if (failAfter_ >= 0 && Position() >= failAfter_) throw EReadError("Stream read error");
        return TMemoryStream::Read(buffer, std::min(count, step_));
    }

private:
    int64_t step_;
    int64_t failAfter_;
};

// A stream on a disk that fills up after `room` bytes.
class FullDiskStream : public TMemoryStream {
public:
    explicit FullDiskStream(int64_t room, bool raise = false) : room_(room), raise_(raise) {}
    int64_t Write(const void* buffer, int64_t count) override {
        int64_t n = std::min(count, room_ - Size());
        if (n < count && raise_) throw EWriteError("Stream write error");
        return n > 0 ? TMemoryStream::Write(buffer, n) : 0;
    }

private:
    int64_t room_;
    bool raise_;
};

// Cyrillic, Greek and Chinese letters.
const std::wstring kNonLatin = L"\x041F\x0440\x0438\x0432\x0435\x0442 \x03A8\x03BB\x03BD \x4E2D\x6587";

TEST_F(EditorTest, NewControlHasItsDocumentedDefaultsAndAPlainDefaultFormat) {
    auto* fresh = Create<TRichEditEx>(form.get());
    EXPECT_EQ(fresh->AutoURLDetect(), TAutoURLDetect::adNone);
    EXPECT_FALSE(fresh->ShowSelectionBar());
    EXPECT_EQ(fresh->LangOptions(), TLangOptions{TLangOption::loAutoFont});
    EXPECT_EQ(fresh->InputFormat(), TInputFormat::ifRTF);
    EXPECT_EQ(fresh->OutputFormat(), TOutputFormat::ofRTF);
    EXPECT_FALSE(fresh->IncludeOLE());
    EXPECT_TRUE(fresh->AutoVerbMenu());
    EXPECT_TRUE(fresh->WordFormatting());
    EXPECT_EQ(fresh->CustomURLs()->Text(),
              "http\r\nfile\r\nmailto\r\nftp\r\nhttps\r\ngopher\r\nnntp\r\nprospero\r\ntelnet\r\nnews\r\nwais\r\n");
    EXPECT_EQ(fresh->Language(), static_cast<TLanguage>(GetSystemDefaultLCID()));
    fresh->Free();

    // A wide window on the system's class, whose default format is the
    // control's font rather than the window's own bold system font.
    EXPECT_TRUE(IsWindowUnicode(editor->Handle()));
    EXPECT_FALSE(editor->RichEdit10());
    EXPECT_FALSE(editor->DefAttributes()->Bold());
    EXPECT_EQ(editor->DefAttributes()->Name(), editor->Font()->Name());
    EXPECT_EQ(editor->DefAttributes()->Size(), editor->Font()->Size());
    Append(editor, L"typed");
    Select(editor, 0, 5);
    EXPECT_FALSE(editor->SelAttributes()->Bold());
    EXPECT_EQ(editor->SelAttributes()->Name(), editor->Font()->Name());
}

struct Word {
    const wchar_t* text;
    int start = 0;
};

TEST_F(EditorTest, RtfRoundTripKeepsTextCharacterAndParagraphFormats) {
    std::wstring text = L"Bold Italic Under Double Red High Mono Big Half " + kNonLatin +
                        L"\rCentered\rRight\rFirst bullet\rSecond bullet\rPlain";
    Append(editor, text);
    auto sel = [&](const wchar_t* w) {
        int p = Find(text, w);
        ASSERT_GE(p, 0) << "missing word";
        Select(editor, p, p + static_cast<int>(std::wcslen(w)));
    };
    TTextAttributesEx* a = editor->SelAttributes();
    sel(L"Bold");
    a->SetBold(true);
    sel(L"Italic");
    a->SetItalic(true);
    sel(L"Under");
    a->SetUnderline(1);
    sel(L"Double");
    a->SetUnderline(3);
    sel(L"Red");
    a->SetColor(clRed);
    sel(L"High");
    a->SetBackColor(clYellow);
    sel(L"Mono");
    a->SetName("Courier New");
    sel(L"Big");
    a->SetSize(21);
    sel(L"Half");
    a->SetSizeTwips(210);
    sel(L"Centered");
    editor->Paragraph()->SetAlignment(TAlignment::taCenter);
    sel(L"Right");
    editor->Paragraph()->SetAlignment(TAlignment::taRightJustify);
    Select(editor, Find(text, L"First"), Find(text, L"Second") + 3);
    editor->Paragraph()->SetNumbering(1);

    std::string first = Save(editor);
    EXPECT_EQ(first.rfind("{\\rtf", 0), 0u);

    TRichEditEx* copy = NewEditor();
    Load(copy, first);
    std::wstring back = WideText(copy);
    EXPECT_EQ(back.substr(0, back.find(L'\r')), text.substr(0, text.find(L'\r')));
    EXPECT_NE(back.find(kNonLatin), std::wstring::npos);

    TTextAttributesEx* b = copy->SelAttributes();
    auto at = [&](const wchar_t* w) {
        int p = Find(text, w);
        Select(copy, p, p + static_cast<int>(std::wcslen(w)));
    };
    at(L"Bold");
    EXPECT_TRUE(b->Bold());
    EXPECT_FALSE(b->Italic());
    at(L"Italic");
    EXPECT_TRUE(b->Italic());
    EXPECT_FALSE(b->Bold());
    at(L"Under");
    EXPECT_EQ(b->Underline(), 1);
    at(L"Double");
    EXPECT_EQ(b->Underline(), 3);
    at(L"Red");
    EXPECT_EQ(b->Color(), clRed);
    at(L"Plain");
    EXPECT_EQ(b->Color(), clWindowText);
    EXPECT_EQ(b->Underline(), 0);
    EXPECT_EQ(b->BackColor(), clNone);
    at(L"High");
    EXPECT_EQ(b->BackColor(), clYellow);
    at(L"Mono");
    EXPECT_EQ(b->Name(), "Courier New");
    at(L"Big");
    EXPECT_EQ(b->Size(), 21);
    at(L"Half");
    EXPECT_EQ(b->SizeTwips(), 210);
    EXPECT_EQ(b->Size(), 10);
    at(L"Centered");
    EXPECT_EQ(copy->Paragraph()->Alignment(), TAlignment::taCenter);
    at(L"Right");
    EXPECT_EQ(copy->Paragraph()->Alignment(), TAlignment::taRightJustify);
    at(L"First");
    EXPECT_EQ(copy->Paragraph()->Numbering(), 1);
    at(L"Second");
    EXPECT_EQ(copy->Paragraph()->Numbering(), 1);
    at(L"Plain");
    EXPECT_EQ(copy->Paragraph()->Numbering(), 0);
    EXPECT_EQ(copy->Paragraph()->Alignment(), TAlignment::taLeftJustify);

    // Saving what was loaded gives the same document, and that one is
    // stable.
    std::string second = Save(copy);
    EXPECT_EQ(second, first);
    TRichEditEx* third = NewEditor();
    Load(third, second);
    EXPECT_EQ(Save(third), second);
}

// Every character from U+0100 to U+21FF, which holds the letters that a
// code page lacks but has a look-alike for (Ā, č, ı, α, ...).
std::wstring LettersBeyondLatin1() {
    std::wstring s;
    for (wchar_t c = 0x0100; c < 0x2200; ++c) s += c;
    return s;
}

TEST_F(EditorTest, EveryLetterComesBackFromItsRtfInEveryFontsCharacterSet) {
    // In the default font, in a Central European font (which lacks ā and ñ
    // but has look-alikes for them) and in a symbol font; with a
    // character beyond the 16-bit range and the characters RTF escapes.
    std::wstring text = LettersBeyondLatin1() + L"\r" + L"\x010D\x0101\x00F1\x00E9 {\\} \xD83D\xDE00\r" +
                        L"\xF0B7\x03B1\r\x00E9\x00FC\x20AC";
    Append(editor, text);
    auto font = [&](const wchar_t* from, int length, const wchar_t* face, BYTE charset) {
        int start = Find(text, from);
        Select(editor, start, start + length);
        CHARFORMAT2W f{};
        f.cbSize = sizeof f;
        f.dwMask = CFM_FACE | CFM_CHARSET;
        wcscpy(f.szFaceName, face);
        f.bCharSet = charset;
        SendMessageW(editor->Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    };
    font(L"\x010D\x0101", 4, L"Arial", EASTEUROPE_CHARSET);
    font(L"\xF0B7", 2, L"Symbol", SYMBOL_CHARSET);
    ASSERT_EQ(Differences(text, Text(editor)), "");

    // Plain RTF in the system's code page, seven bits throughout: what is
    // beyond a font's code page is a \u escape, what it holds its bytes.
    std::string rtf = Save(editor);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg" + std::to_string(GetACP()) + "\\uc1", 0), 0u) << rtf.substr(0, 80);
    EXPECT_EQ(std::count_if(rtf.begin(), rtf.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; }), 0);
    EXPECT_NE(rtf.find("\\u269?"), std::string::npos);
    EXPECT_NE(rtf.find("\\'e8\\u257?\\u241?\\'e9"), std::string::npos);
    EXPECT_NE(rtf.find("\\'e9\\'fc\\'80"), std::string::npos);

    TRichEditEx* copy = NewEditor();
    Load(copy, rtf);
    EXPECT_EQ(Differences(text, Text(copy)), "");
    EXPECT_TRUE(Save(copy) == rtf);

    // The content a re-created window gets back keeps them too.
    editor->SetShowSelectionBar(true);
    EXPECT_EQ(Differences(text, Text(editor)), "");

    // Notes stored before read as they did: a look-alike stays what it is.
    Load(copy, "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset238 Arial;}}"
               "\\f0 cA\\'e9\\u945?\\f1\\'e8}");
    EXPECT_EQ(Text(copy), L"cA\x00E9\x03B1\x010D");
}

TEST_F(EditorTest, AttributeEdgesAlignmentAndHalfPoints) {
    Append(editor, L"justified paragraph");
    Select(editor, 0, 5);
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof pf;
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = PFA_JUSTIFY;
    SendMessageW(editor->Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_EQ(editor->Paragraph()->Alignment(), TAlignment::taLeftJustify);
    editor->Paragraph()->SetAlignment(TAlignment::taCenter);
    pf = PARAFORMAT2{};
    pf.cbSize = sizeof pf;
    SendMessageW(editor->Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_EQ(pf.wAlignment, PFA_CENTER);

    // Assignments keep half points: from another attribute object and from a
    // font of 14 pixels at 96 pixels per inch.
    Select(editor, 0, 9);
    editor->SelAttributes()->SetSizeTwips(230);
    editor->DefAttributes()->Assign(editor->SelAttributes());
    EXPECT_EQ(editor->DefAttributes()->SizeTwips(), 230);
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetHeight(-14);
    Select(editor, 10, 19);
    editor->SelAttributes()->Assign(&font);
    EXPECT_EQ(editor->SelAttributes()->SizeTwips(), 210);
    TFont out;
    out.SetPixelsPerInch(96);
    out.Assign(editor->SelAttributes());
    EXPECT_EQ(out.Height(), -14);

    // Automatic colour reads back as window text, not as its current RGB.
    editor->SelAttributes()->SetColor(clWindowText);
    EXPECT_EQ(editor->SelAttributes()->Color(), clWindowText);
    editor->SelAttributes()->SetSize(11);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(editor->Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.yHeight, 220);
}

TEST_F(EditorTest, FormattingAnEmptySelectionFormatsTheWordAtTheCaret) {
    Append(editor, L"abc def ");
    Select(editor, 1, 1);
    editor->SelAttributes()->SetBold(true);
    // The caret stays where it was, and moving it afterwards is safe.
    Select(editor, 5, 5);
    Select(editor, 0, 3);
    EXPECT_TRUE(editor->SelAttributes()->Bold());
    Select(editor, 4, 7);
    EXPECT_FALSE(editor->SelAttributes()->Bold());
    // At a word's end or start only the insertion point takes the format.
    Select(editor, 7, 7);
    editor->SelAttributes()->SetItalic(true);
    EXPECT_TRUE(editor->SelAttributes()->Italic());
    Select(editor, 4, 7);
    EXPECT_FALSE(editor->SelAttributes()->Italic());
    Select(editor, 4, 4);
    editor->SelAttributes()->SetItalic(true);
    Select(editor, 4, 7);
    EXPECT_FALSE(editor->SelAttributes()->Italic());
    // Without word formatting only the insertion point changes.
    editor->SetWordFormatting(false);
    Select(editor, 1, 1);
    editor->SelAttributes()->SetUnderline(1);
    Select(editor, 0, 3);
    EXPECT_EQ(editor->SelAttributes()->Underline(), 0);
}

TEST_F(EditorTest, EmfPictureSurvivesSaveAndLoad) {
    editor->SetIncludeOLE(true);
    Append(editor, L"before ");
    RECT frame{0, 0, 2000, 1000};  // 0.01 mm
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    ASSERT_NE(rec, nullptr);
    Rectangle(rec, 0, 0, 60, 30);
    HENHMETAFILE emf = CloseEnhMetaFile(rec);
    ASSERT_TRUE(OpenClipboard(form->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, emf);
    CloseClipboard();
    editor->PasteFromClipboard();
    Append(editor, L" after");
    ASSERT_NE(editor->RichEditOle(), nullptr);
    EXPECT_EQ(editor->RichEditOle()->GetObjectCount(), 1);

    std::string first = Save(editor);
    EXPECT_NE(first.find("\\emfblip"), std::string::npos);

    TRichEditEx* copy = NewEditor();
    copy->SetIncludeOLE(true);
    Load(copy, first);
    EXPECT_EQ(copy->RichEditOle()->GetObjectCount(), 1);
    std::wstring text = WideText(copy);
    EXPECT_EQ(text.substr(0, 7), L"before ");
    EXPECT_NE(text.find(L" after"), std::wstring::npos);
    std::string second = Save(copy);
    EXPECT_NE(second.find("\\emfblip"), std::string::npos);
    EXPECT_EQ(second, first);
}

// A picture read from a note is shown, not only kept: an enhanced
// metafile of a red box, as the note stores one.
TEST_F(EditorTest, APictureReadFromANoteIsShown) {
    editor->SetIncludeOLE(true);
    RECT frame{0, 0, 2000, 1000};  // 0.01 mm
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    ASSERT_NE(rec, nullptr);
    RECT box{0, 0, 76, 38};
    GdiHandle<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(rec, &box, red.Get());
    EnhMetaFileHandle emf(CloseEnhMetaFile(rec));
    std::vector<uint8_t> bytes(GetEnhMetaFileBits(emf.Get(), 0, nullptr));
    GetEnhMetaFileBits(emf.Get(), static_cast<UINT>(bytes.size()), bytes.data());
    std::string rtf = "{\\rtf1\\ansi before {\\pict\\emfblip\\picw2000\\pich1000\\picwgoal1134\\pichgoal567 ";
    static const char digits[] = "0123456789abcdef";
    for (uint8_t b : bytes) rtf += {digits[b >> 4], digits[b & 15]};
    rtf += "} after\\par}";
    Load(editor, rtf);
    ASSERT_EQ(editor->RichEditOle()->GetObjectCount(), 1);
    Snapshot s = OnScreen(editor->Handle());
    EXPECT_GT(s.Count(TRect(0, 0, s.width, s.height), Reddish), 1500);
    // Shown again after a save and a load.
    TRichEditEx* copy = NewEditor();
    copy->SetIncludeOLE(true);
    editor->SetVisible(false);
    Load(copy, Save(editor));
    s = OnScreen(copy->Handle());
    EXPECT_GT(s.Count(TRect(0, 0, s.width, s.height), Reddish), 1500);
}

TEST_F(EditorTest, PlainTextOverManyChunksKeepsEveryKindOfLineEnd) {
    editor->SetWordWrap(false);
    editor->SetInputFormat(TInputFormat::ifText);
    const char* ends[] = {"\r", "\n", "\r\n"};
    std::string bytes;
    std::vector<std::string> expected;
    for (int i = 0; i < 1500; ++i) {
        std::string line = "line " + IntToStr(i) + (i % 7 == 0 ? "" : " text");
        expected.push_back(line);
        bytes += line + ends[i % 3];
    }
    // Reads of 7 and of 1 byte end chunks between CR and LF many times.
    for (int64_t step : {int64_t{7}, int64_t{1}, int64_t{4096}}) {
        TrickleStream s(bytes, step);
        editor->Lines()->LoadFromStream(s);
        ASSERT_EQ(editor->Lines()->Count(), static_cast<int>(expected.size())) << "step " << step;
        std::vector<std::string> got = editor->Lines()->ToVector();
        EXPECT_EQ(got, expected) << "step " << step;
    }
    // Text that ends without a break keeps its last line.
    TrickleStream tail("a\r\nb\rc", 2);
    editor->Lines()->LoadFromStream(tail);
    EXPECT_EQ(editor->Lines()->ToVector(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(EditorTest, ARejectedReadIsReportedAndLeavesNoHalfNote) {
    Load(editor, "{\\rtf1\\ansi good note\\par}");
    EXPECT_EQ(WideText(editor).substr(0, 9), L"good note");

    EXPECT_THROW(Load(editor, "this is not rich text"), EReadError);
    EXPECT_EQ(WideText(editor), L"");

    Load(editor, "{\\rtf1\\ansi good note\\par}");
    EXPECT_THROW(Load(editor, "{\\rtf1\\ansi cut off in the mid"), EReadError);
    EXPECT_EQ(WideText(editor), L"");

    // A stream that fails part way: its own error arrives.
    Load(editor, "{\\rtf1\\ansi good note\\par}");
    std::string rtf = "{\\rtf1\\ansi " + std::string(3000, 'x') + "\\par}";
    TrickleStream failing(rtf, 100, 1000);
    try {
        editor->Lines()->LoadFromStream(failing);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_EQ(WideText(editor), L"");

    // No bytes at all is an empty note.
    Load(editor, "{\\rtf1\\ansi good note\\par}");
    EXPECT_NO_THROW(Load(editor, ""));
    EXPECT_EQ(WideText(editor), L"");
}

TEST_F(EditorTest, AShortWriteIsAnErrorNotACutOffNote) {
    Append(editor, std::wstring(5000, L'n'));
    FullDiskStream full(1000);
    try {
        editor->Lines()->SaveToStream(full);
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Failed to Save Stream");
    }
    FullDiskStream raising(1000, true);
    EXPECT_THROW(editor->Lines()->SaveToStream(raising), EWriteError);

    FullDiskStream roomy(1 << 20);
    EXPECT_NO_THROW(editor->Lines()->SaveToStream(roomy));
    EXPECT_EQ(roomy.AsString().substr(0, 5), "{\\rtf");
}

TEST_F(EditorTest, EmptyControlStillWritesACompleteDocument) {
    std::string rtf = Save(editor);
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u);
    EXPECT_EQ(rtf.find_last_not_of(std::string("\r\n\0", 3)), rtf.rfind('}'));
}

TEST_F(EditorTest, FindForwardsBackwardsWithCaseAndWholeWords) {
    std::wstring text = L"Alpha beta ALPHA alphabet beta";
    Append(editor, text);
    TSearchTypesEx none;
    TSearchTypesEx matchCase{TSearchTypeEx::stMatchCase};
    TSearchTypesEx whole{TSearchTypeEx::stWholeWord};
    TSearchTypesEx back{TSearchTypeEx::stBackward};
    EXPECT_EQ(editor->FindText("alpha", 0, 0, none), 0);
    EXPECT_EQ(editor->FindText("alpha", 1, 0, none), 11);
    EXPECT_EQ(editor->FindText("ALPHA", 0, 0, matchCase), 11);
    EXPECT_EQ(editor->FindText("alpha", 1, 0, matchCase), 17);
    EXPECT_EQ(editor->FindText("alpha", 12, 0, whole), -1);
    EXPECT_EQ(editor->FindText("alpha", 12, 0, none), 17);
    EXPECT_EQ(editor->FindText("gamma", 0, 0, none), -1);
    EXPECT_EQ(editor->FindText("beta", 0, 10, none), 6);
    EXPECT_EQ(editor->FindText("beta", 12, 5, none), -1);

    int len = static_cast<int>(text.size());
    EXPECT_EQ(editor->FindText("beta", len, 0, back), 26);
    EXPECT_EQ(editor->FindText("beta", 25, 0, back), 6);
    EXPECT_EQ(editor->FindText("alpha", len, 0, back + TSearchTypeEx::stWholeWord), 11);
    EXPECT_EQ(editor->FindText("alpha", len, 0, back + TSearchTypeEx::stWholeWord + TSearchTypeEx::stMatchCase), -1);
    // The main window's find from a selection at 10 over the rest of the
    // text: backwards the range reaches past the start and is cut there.
    EXPECT_EQ(editor->FindText("beta", 10, len - 10, back), 6);
    EXPECT_EQ(editor->FindText("beta", 20, len - 20, back), -1);
}

TEST_F(EditorTest, CaretLineAndColumnCountFromZero) {
    Append(editor, L"one\rtwo\rthree");
    Select(editor, 9, 9);
    EXPECT_EQ(editor->CaretLine(), 2);
    EXPECT_EQ(editor->CaretColumn(), 1);
    Select(editor, 4, 4);
    EXPECT_EQ(editor->CaretLine(), 1);
    EXPECT_EQ(editor->CaretColumn(), 0);
    Select(editor, 0, 0);
    EXPECT_EQ(editor->CaretLine(), 0);
    EXPECT_EQ(editor->CaretColumn(), 0);
    EXPECT_EQ(editor->FirstVisibleLine(), 0);
}

int ClickCharacter(TCustomRichEditEx* e, int pos) {
    POINTL pt{0, 0};
    SendMessageW(e->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), pos);
    ClickAt(e->Handle(), pt.x + 2, pt.y + 4);
    PumpMessages();
    return 0;
}

TEST_F(EditorTest, ClickOnADetectedAddressPassesExactlyThatAddress) {
    editor->SetAutoURLDetect(TAutoURLDetect::adDefault);
    std::wstring text = L"see http://example.com/a/b?q=1&r=two now";
    Append(editor, text);
    PumpMessages();
    std::vector<std::string> clicks;
    editor->OnURLClick = [&](TObject* sender, const std::string& url) {
        EXPECT_EQ(sender, editor);
        clicks.push_back(url);
    };
    ClickCharacter(editor, 10);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], "http://example.com/a/b?q=1&r=two");

    // Plain words are no address.
    ClickCharacter(editor, 1);
    EXPECT_EQ(clicks.size(), 1u);

    // An address the code page cannot hold arrives whole, percent-encoded.
    editor->Clear();
    Append(editor, L"go http://example.com/\x043F\x0443\x0442\x044C now");
    PumpMessages();
    ClickCharacter(editor, 8);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1], "http://example.com/%D0%BF%D1%83%D1%82%D1%8C");
}

TEST_F(EditorTest, ExtendedScanMarksAddressesAndKeepsTheUsersColours) {
    editor->SetAutoURLDetect(TAutoURLDetect::adExtended);
    std::wstring text = L"mail me@host.net or see http://x.org/p and red words";
    Append(editor, text);
    int red = Find(text, L"red");
    Select(editor, red, red + 3);
    editor->SelAttributes()->SetColor(clRed);
    editor->SelAttributes()->SetUnderline(1);
    // Typing at the end rescans around the change.
    Append(editor, L" ok");
    PumpMessages();
    auto at = [&](int start, int length) {
        Select(editor, start, start + length);
        return editor->SelAttributes();
    };
    EXPECT_TRUE(at(Find(text, L"me@host.net"), 11)->Link());
    EXPECT_TRUE(at(Find(text, L"http://x.org/p"), 14)->Link());
    EXPECT_EQ(at(Find(text, L"http://x.org/p"), 14)->Color(), 0xFF0000);
    EXPECT_FALSE(at(Find(text, L"mail"), 4)->Link());
    // The user's own formatting of a word that is no address stays.
    EXPECT_EQ(at(red, 3)->Color(), clRed);
    EXPECT_EQ(at(red, 3)->Underline(), 1);

    // A scan leaves the selection where it was.
    Select(editor, 2, 4);
    Append(editor, L"!");
    CHARRANGE r{0, 0};
    SendMessageW(editor->Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    int end = static_cast<int>(WideText(editor).size());
    EXPECT_EQ(r.cpMin, end);

    // An address edited into a plain word is unmarked.
    int h = Find(text, L"http:");
    Select(editor, h + 4, h + 5);
    SendMessageW(editor->Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(L" "));
    PumpMessages();
    EXPECT_FALSE(at(h, 4)->Link());
    EXPECT_EQ(at(h, 4)->Color(), clWindowText);
}

TEST_F(EditorTest, NarrowTextMessagesUseTheLanguagesCodePageAndStayInTheBuffer) {
    editor->SetLanguage(1049);  // Russian: code page 1251
    EXPECT_EQ(editor->TextCodePage(), 1251u);
    editor->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\xCF\xF0\xE8\xE2\xE5\xF2 world"));
    EXPECT_EQ(WideText(editor), L"\x041F\x0440\x0438\x0432\x0435\x0442 world");
    EXPECT_EQ(editor->Perform(WM_GETTEXTLENGTH), 12);

    char buf[32];
    std::memset(buf, 'X', sizeof buf);
    TEXTRANGEA tr{{0, 6}, buf};
    EXPECT_EQ(editor->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr)), 6);
    EXPECT_EQ(std::string(buf, 6), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(buf[6], '\0');
    EXPECT_EQ(buf[7], 'X');

    Select(editor, 12, 12);
    editor->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(" \xE4\xE0"));
    EXPECT_EQ(WideText(editor), L"\x041F\x0440\x0438\x0432\x0435\x0442 world \x0434\x0430");
    EXPECT_EQ(editor->Lines()->Get(0), "\xCF\xF0\xE8\xE2\xE5\xF2 world \xE4\xE0");
    EXPECT_EQ(editor->SelText(), "");

    // A double-byte code page: whole characters only, never past the buffer.
    editor->SetLanguage(1041);  // Japanese: code page 932
    editor->Clear();
    Append(editor, L"\x65E5\x672C\x8A9E abc");
    std::memset(buf, 'X', sizeof buf);
    tr = TEXTRANGEA{{0, 3}, buf};  // room for 3 characters and the zero
    LRESULT n = editor->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(buf[2], '\0');
    EXPECT_EQ(buf[4], 'X');

    std::memset(buf, 'X', sizeof buf);
    *reinterpret_cast<WORD*>(buf) = 5;
    n = editor->Perform(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(n, 4);
    EXPECT_EQ(buf[5], 'X');

    std::memset(buf, 'X', sizeof buf);
    n = editor->Perform(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(n, 4);
    EXPECT_EQ(buf[4], '\0');
    EXPECT_EQ(buf[5], 'X');

    Select(editor, 0, 2);
    std::memset(buf, 'X', sizeof buf);
    n = editor->Perform(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(n, 2);  // one of the two characters fits 2 bytes and the zero
    EXPECT_EQ(buf[2], '\0');
    EXPECT_EQ(buf[3], 'X');

    // Messages through the system stay wide.
    wchar_t wide[8] = {};
    TEXTRANGEW trw{{0, 3}, wide};
    EXPECT_EQ(SendMessageW(editor->Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&trw)), 3);
    EXPECT_EQ(std::wstring(wide), L"\x65E5\x672C\x8A9E");
}

TEST_F(EditorTest, WideLinesOfAnyLengthAndLineEditing) {
    editor->SetWordWrap(false);
    std::wstring longLine(10000, L'a');
    longLine += L"\x0436";
    editor->WideLines()->SetTextStr(longLine + L"\r\nsecond\r\n");
    EXPECT_EQ(editor->WideLines()->GetCount(), 2);
    EXPECT_EQ(editor->WideLines()->GetW(0), longLine);
    EXPECT_EQ(editor->WideLines()->GetW(1), L"second");

    TWideStrings* w = editor->WideLines();
    w->SetTextStr(L"one\ntwo\nthree");
    w->PutW(1, L"TWO");
    EXPECT_EQ(w->GetCount(), 3);
    EXPECT_EQ(w->GetW(1), L"TWO");
    w->InsertW(3, L"four");
    EXPECT_EQ(w->GetCount(), 4);
    EXPECT_EQ(w->GetW(3), L"four");
    w->InsertW(0, L"zero");
    EXPECT_EQ(w->GetW(0), L"zero");
    w->Delete(1);
    EXPECT_EQ(w->GetTextStr(), L"zero\r\nTWO\r\nthree\r\nfour\r\n");
    w->Delete(-1);
    w->PutW(-1, L"x");
    EXPECT_EQ(w->GetCount(), 4);

    TStrings* lines = editor->Lines();
    lines->SetText("a\nb\n");
    EXPECT_EQ(lines->Count(), 2);
    lines->Add("c");
    EXPECT_EQ(lines->ToVector(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(EditorTest, RecreatingTheWindowKeepsTextFormattingAndPictures) {
    editor->SetIncludeOLE(true);
    Append(editor, L"kept " + kNonLatin);
    Select(editor, 0, 4);
    editor->SelAttributes()->SetBold(true);
    editor->SelAttributes()->SetColor(clBlue);
    RECT frame{0, 0, 1000, 1000};
    HDC rec = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    Ellipse(rec, 0, 0, 40, 40);
    HENHMETAFILE emf = CloseEnhMetaFile(rec);
    ASSERT_TRUE(OpenClipboard(form->Handle()));
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, emf);
    CloseClipboard();
    Select(editor, -1, -1);
    editor->PasteFromClipboard();
    Select(editor, 1, 3);
    std::string before = Save(editor);
    HWND oldWindow = editor->Handle();

    editor->SetShowSelectionBar(true);
    EXPECT_NE(editor->Handle(), oldWindow);
    EXPECT_EQ(Save(editor), before);
    EXPECT_EQ(editor->RichEditOle()->GetObjectCount(), 1);
    Select(editor, 0, 4);
    EXPECT_TRUE(editor->SelAttributes()->Bold());
    EXPECT_EQ(editor->SelAttributes()->Color(), clBlue);

    // Setting the same value again does not re-create the window.
    HWND now = editor->Handle();
    editor->SetShowSelectionBar(true);
    EXPECT_EQ(editor->Handle(), now);
}

TEST_F(EditorTest, StoredRtfPropertyTravelsThroughALayoutWithoutEvents) {
    RegisterRichEditClasses();
    form->SetName("NoteForm");
    editor->SetName("REdit");
    editor->SetAutoURLDetect(TAutoURLDetect::adDefault);
    editor->SetShowSelectionBar(true);
    editor->SetIncludeOLE(true);
    Append(editor, L"stored text");
    Select(editor, 0, 6);
    editor->SelAttributes()->SetItalic(true);
    std::string layout = WriteLayout(form.get());
    EXPECT_NE(layout.find(" RTF = "), std::string::npos);
    EXPECT_NE(layout.find("AutoURLDetect = adDefault"), std::string::npos);
    EXPECT_NE(layout.find("ShowSelectionBar = True"), std::string::npos);
    EXPECT_NE(layout.find("InputFormat = ifRTF"), std::string::npos);
    EXPECT_NE(layout.find("IncludeOLE = True"), std::string::npos);

    auto other = MakeForm<TForm>();
    ReadLayout(other.get(), layout, "test");
    auto* read = dynamic_cast<TRichEditEx*>(other->FindComponent("REdit"));
    ASSERT_NE(read, nullptr);
    int changes = 0;
    read->OnChange = [&](TObject*) { ++changes; };
    other->Show();
    PumpMessages();
    EXPECT_EQ(WideText(read).substr(0, 11), L"stored text");
    EXPECT_TRUE(read->ShowSelectionBar());
    EXPECT_EQ(read->AutoURLDetect(), TAutoURLDetect::adDefault);
    Select(read, 0, 6);
    EXPECT_TRUE(read->SelAttributes()->Italic());
    EXPECT_EQ(changes, 0);

    // An empty control stores no RTF.
    editor->Clear();
    EXPECT_EQ(WriteLayout(form.get()).find(" RTF = "), std::string::npos);

    // A layout may give the lines; what is written is the RTF, never the lines.
    EXPECT_EQ(layout.find("Lines"), std::string::npos);
    auto given = MakeForm<TForm>();
    ReadLayout(given.get(),
               "object F: TForm\n  object E: TRichEditEx\n    Lines.Strings = (\n      'first line'\n"
               "      'second line')\n  end\nend\n",
               "lines.form");
    auto* lines = dynamic_cast<TRichEditEx*>(given->FindComponent("E"));
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->Lines()->Count(), 2);
    EXPECT_EQ(lines->Lines()->Get(0), "first line");
    EXPECT_EQ(lines->Lines()->Get(1), "second line");
    std::string written = WriteLayout(given.get());
    EXPECT_NE(written.find(" RTF = "), std::string::npos);
    EXPECT_EQ(written.find("Lines"), std::string::npos);
}

TEST_F(EditorTest, TypedCharactersOutsideLatinReachTheText) {
    // As a wide message loop delivers them.
    int presses = 0;
    editor->OnKeyPress = [&](TObject*, char& key) {
        ++presses;
        if (key == 'b') key = 'c';
    };
    SendMessageW(editor->Handle(), WM_CHAR, 0x0436, 1);
    SendMessageW(editor->Handle(), WM_CHAR, L'a', 1);
    SendMessageW(editor->Handle(), WM_CHAR, L'b', 1);
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(WideText(editor), L"\x0436" L"ac");
}

}  // namespace
}  // namespace treskel::test

namespace treskel::test {

namespace {

// An editor whose window is made with content kept from another.
class KeepingEditor : public TRichEditEx {
public:
    using TRichEditEx::TRichEditEx;
    void Keep(const std::string& rtf) { savedContent_ = TSavedContent{rtf, CHARRANGE{0, 0}}; }
};

}  // namespace

// No road takes rich text into the window nested deeper than it survives
// (it ends the process at 33 groups): a note read through the lines, the
// stored RTF property read before there is a window, and the content kept
// while the window is made anew.  The deeper groups' text stays.
TEST_F(EditorTest, RichTextNestedTooDeepReachesTheWindowFlattenedOnEveryRoad) {
    const std::string deep = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 a" + std::string(1000, '{') + "b" +
                             std::string(1000, '}') + "c\\par}";
    Load(editor, deep);
    EXPECT_EQ(Text(editor), L"abc");

    auto* stored = Create<TRichEditEx>(form.get());
    stored->ReadRtfProperty(deep);
    stored->SetParent(form.get());
    stored->HandleNeeded();
    EXPECT_EQ(Text(stored), L"abc");

    auto* kept = Create<KeepingEditor>(form.get());
    kept->SetParent(form.get());
    kept->HandleNeeded();
    kept->DestroyHandle();
    kept->Keep(deep);
    kept->HandleNeeded();
    EXPECT_EQ(Text(kept), L"abc");
}

}  // namespace treskel::test
