// The note editor's lines: single-byte and wide line lists, and streaming of
// the whole content to and from streams and files.
#include <algorithm>
#include <exception>
#include <tuple>
#include <vector>

#include "platform/Streams.h"
#include "richedit/Langs.h"
#include "richedit/RichEdit2.h"
#include "richedit/RichEdit2Priv.h"
#include "richedit/RichEdit2Rules.h"

namespace treskel {

namespace {

// The conversion of streams that need none; it keeps no state.
TConversion& PlainConversion() {
    static TConversion plain;
    return plain;
}

// Stops the window drawing while the lines are updated, and draws it anew
// when they are done.
void SetRedraw(TCustomRichEditEx* re, bool updating) {
    if (!re->HandleAllocated()) return;
    SendMessageA(re->Handle(), WM_SETREDRAW, updating ? 0 : 1, 0);
    if (!updating) {
        re->Invalidate();
        re->Perform(CM_TEXTCHANGED);
    }
}

// What the window's read callback works on: the stream, its conversion,
// and what went wrong, carried out to be raised after the window returns.
struct TStreamPair {
    TStream* stream = nullptr;
    TConversion* conversion = nullptr;
    std::unique_ptr<TStreamChunkReader> reader;
    std::exception_ptr error;
};

DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
    auto* pair = reinterpret_cast<TStreamPair*>(cookie);
    *pcb = 0;
    try {
        *pcb = pair->reader->Read(buffer, static_cast<int>(cb));
        return 0;
    } catch (...) {
        pair->error = std::current_exception();
        return 1;
    }
}

// The rich text from the stream's position to its end, measured as the
// control would read it, and whether it may hold an address.
TRtfShape MeasureRichText(TStream& stream, TConversion& conversion, TAddressHint& hint) {
    TParaWordFilter reader = TParaWordFilter::ToControl(0);
    std::vector<uint8_t> buffer(64 * 1024);
    for (;;) {
        const int64_t n = conversion.ConvertReadStream(stream, buffer.data(), static_cast<int64_t>(buffer.size()));
        if (n <= 0) break;
        const std::string_view piece(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(n));
        reader.Pass(piece);
        hint.Pass(piece);
    }
    reader.Finish();
    return reader.Shape();
}

// The conversion formats by file extension; both name the plain one.
struct TConversionFormat {
    const char* extension;
    std::unique_ptr<TConversion> (*create)();
};

std::unique_ptr<TConversion> MakePlainConversion() { return std::make_unique<TConversion>(); }

const TConversionFormat kConversionFormats[] = {{"txt", MakePlainConversion}, {"rtf", MakePlainConversion}};

std::unique_ptr<TConversion> ConversionFor(const std::string& fileName) {
    std::string ext = LowerCase(ExtractFileExt(fileName));
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    for (const auto& f : kConversionFormats)
        if (ext == f.extension) return f.create();
    return kConversionFormats[0].create();
}

// Detaches an event for a scope.
class DetachedEvent {
public:
    explicit DetachedEvent(TNotifyEvent& event) : event_(event), saved_(std::move(event)) { event_ = nullptr; }
    ~DetachedEvent() { event_ = std::move(saved_); }
    DetachedEvent(const DetachedEvent&) = delete;
    DetachedEvent& operator=(const DetachedEvent&) = delete;

private:
    TNotifyEvent& event_;
    TNotifyEvent saved_;
};

// Sets a flag for a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};

}  // namespace

int64_t TConversion::ConvertReadStream(TStream& stream, uint8_t* buffer, int64_t count) {
    return stream.Read(buffer, count);
}

int64_t TConversion::ConvertWriteStream(TStream& stream, const uint8_t* buffer, int64_t count) {
    return stream.Write(buffer, count);
}

// ------------------------------------------------------------ single-byte lines

TRichEditStringsEx::TRichEditStringsEx(TCustomRichEditEx* richEdit) : richEdit_(richEdit) {}

TRichEditStringsEx::~TRichEditStringsEx() = default;

int TRichEditStringsEx::Count() const {
    if (!richEdit_->HandleAllocated()) return 0;
    auto count = static_cast<int>(richEdit_->SendToWindow(EM_GETLINECOUNT));
    if (count > 0) {
        LRESULT start = richEdit_->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(count - 1));
        if (richEdit_->SendToWindow(EM_LINELENGTH, static_cast<WPARAM>(start)) == 0) --count;
    }
    return count;
}

std::string TRichEditStringsEx::Get(int index) const {
    return WideToAnsi(richEdit_->WideLines()->GetW(index), richEdit_->TextCodePage());
}

void TRichEditStringsEx::Put(int index, const std::string& s) {
    richEdit_->WideLines()->PutW(index, AnsiToWide(s, richEdit_->TextCodePage()));
}

void TRichEditStringsEx::Insert(int index, const std::string& s) {
    richEdit_->WideLines()->InsertW(index, AnsiToWide(s, richEdit_->TextCodePage()));
}

void TRichEditStringsEx::Delete(int index) { richEdit_->WideLines()->Delete(index); }

void TRichEditStringsEx::Clear() { richEdit_->Clear(); }

void TRichEditStringsEx::SetText(std::string_view text) {
    richEdit_->HandleNeeded();
    ChangeEventsOff quiet(richEdit_);
    TStrings::SetText(text);
}

void TRichEditStringsEx::AddStrings(const TStrings& strings) {
    DetachedEvent detached(richEdit_->OnSelectionChange);
    TStrings::AddStrings(strings);
}

void TRichEditStringsEx::SetUpdateState(bool updating) { SetRedraw(richEdit_, updating); }

void TRichEditStringsEx::LoadFromStream(TStream& stream) {
    TCustomRichEditEx* re = richEdit_;
    re->HandleNeeded();
    TConversion* conversion = converter_ ? converter_.get() : &PlainConversion();
    UINT format = re->ReadFormat();
    bool selectionOnly = (format & SFF_SELECTION) != 0;
    int64_t position = stream.Position();

    if (stream.Size() - position <= 0) {
        // No bytes: an empty note, not a damaged one.
        if (!selectionOnly) re->Clear();
    } else {
        // What the control takes for rich text is reckoned before it reads
        // a byte: it ends the process when it runs out of memory.
        const bool richText = (format & SF_RTF) != 0;
        TRtfShape shape;
        TAddressHint addresses;
        try {
            if (richText) {
                shape = MeasureRichText(stream, *conversion, addresses);
                stream.SetPosition(position);
                if (RichEditBytes(shape) > kRichEditMostBytes) throw EOutOfMemory(RichEditRoomProblem(shape, "It has"));
            }
            // As many bytes as characters at most: the window is made for a
            // text of that length.
            if (!selectionOnly) re->DropLongText(stream.Size() - position);
            if (richText) EnsureRoom(RichEditBytes(shape), kNoRoomForText);
        } catch (...) {
            // What the window held before is not this note.
            if (!selectionOnly) re->Clear();
            throw;
        }
        auto streamIn = [&] {
            TStreamPair pair;
            pair.stream = &stream;
            pair.conversion = conversion;
            // Unicode text goes to the window as it is; other formats get
            // their line breaks normalised, and rich text passes the
            // control's reader, which flattens what nests too deep.
            pair.reader = std::make_unique<TStreamChunkReader>(
                [&stream, conversion](uint8_t* buffer, int64_t count) {
                    return conversion->ConvertReadStream(stream, buffer, count);
                },
                (format & SF_UNICODE) == 0, 4096, richText);
            EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&pair), 0, ReadCallback};
            re->SendToWindow(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
            bool ok = es.dwError == 0 && !pair.error;
            return std::make_pair(ok, pair.error);
        };
        // The control looks at every word it reads for an address (on a
        // note of short paragraphs a sixth of the time it takes to read);
        // a note that can hold none is read without, and what is typed
        // into it is looked at as before.
        const bool detecting = re->AutoURLDetect() == TAutoURLDetect::adDefault;
        const bool unlooked = detecting && richText && !selectionOnly && !addresses.MayHoldAddress();
        if (unlooked) re->SendToWindow(EM_AUTOURLDETECT, 0, 0);
        struct LookAgain {
            TCustomRichEditEx* re;
            bool on;
            ~LookAgain() {
                if (on) re->SendToWindow(EM_AUTOURLDETECT, 1, 0);
            }
        } lookAgain{re, unlooked};
        auto [ok, error] = streamIn();
        if (!ok && richText) {
            stream.SetPosition(position);
            std::tie(ok, error) = streamIn();
        }
        if (!ok) {
            // What the window kept of a rejected note must not pass for the
            // note: the next save would overwrite the good file with it.
            if (!selectionOnly) re->Clear();
            if (error) std::rethrow_exception(error);
            if (shape.Unclosed > 0)
                throw EReadError("The rich text is cut off: " + Thousands(shape.Unclosed) +
                                 (shape.Unclosed == 1 ? " of its groups is" : " of its groups are") + " never closed.");
            throw EReadError("Failed to Load Stream");
        }
    }
    if (re->IncludeOLE()) re->TrackObjects();
    // Addresses of what was read are marked as the user's typing would be.
    if (re->AutoURLDetect() == TAutoURLDetect::adExtended) {
        re->pendingUrlRange_ = CHARRANGE{0, 0};
        re->ScanForUrls(0, re->WideTextLength());
    }
}

void TRichEditStringsEx::SaveToStream(TStream& stream) const {
    TCustomRichEditEx* re = richEdit_;
    re->HandleNeeded();
    TConversion* conversion = converter_ ? converter_.get() : &PlainConversion();
    re->StreamOut(re->WriteFormat(), [&stream, conversion](const uint8_t* bytes, int64_t count) {
        return conversion->ConvertWriteStream(stream, bytes, count);
    });
}

void TRichEditStringsEx::LoadFromFile(const std::string& fileName) {
    converter_ = ConversionFor(fileName);
    try {
        TStrings::LoadFromFile(fileName);
    } catch (...) {
        converter_.reset();
        throw;
    }
}

void TRichEditStringsEx::SaveToFile(const std::string& fileName) const {
    converter_ = ConversionFor(fileName);
    try {
        TStrings::SaveToFile(fileName);
    } catch (...) {
        converter_.reset();
        throw;
    }
}

// ------------------------------------------------------------ wide lines

TWideRichEditStringsEx::TWideRichEditStringsEx(TCustomRichEditEx* richEdit) : richEdit_(richEdit) {}

std::wstring TWideRichEditStringsEx::GetW(int index) const {
    TCustomRichEditEx* re = richEdit_;
    if (!re->HandleAllocated() || index < 0) return std::wstring();
    LRESULT start = re->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(index));
    if (start < 0) return std::wstring();
    // As long as the line is: no line is cut.
    LRESULT length = re->SendToWindow(EM_LINELENGTH, static_cast<WPARAM>(start));
    if (length <= 0) return std::wstring();
    return re->TextRangeW(static_cast<int>(start), static_cast<int>(start + length));
}

int TWideRichEditStringsEx::GetCount() const { return richEdit_->Lines()->Count(); }

void TWideRichEditStringsEx::PutW(int index, const std::wstring& s) {
    TCustomRichEditEx* re = richEdit_;
    if (index < 0) return;
    re->HandleNeeded();
    FlagScope wide(re->wideText_);
    LRESULT start = re->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(index));
    if (start < 0) return;
    LRESULT length = re->SendToWindow(EM_LINELENGTH, static_cast<WPARAM>(start));
    CHARRANGE r{static_cast<LONG>(start), static_cast<LONG>(start + length)};
    re->SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    re->ReplaceSelectionW(s);
}

void TWideRichEditStringsEx::SetTextStr(std::wstring_view text) {
    TCustomRichEditEx* re = richEdit_;
    re->HandleNeeded();
    FlagScope wide(re->wideText_);
    ChangeEventsOff quiet(re);
    TWideStrings::SetTextStr(text);
}

void TWideRichEditStringsEx::SetUpdateState(bool updating) { SetRedraw(richEdit_, updating); }

void TWideRichEditStringsEx::SetLanguage(TLanguage language) { richEdit_->SetLanguage(language); }

TLanguage TWideRichEditStringsEx::GetLanguage() const { return richEdit_->Language(); }

void TWideRichEditStringsEx::AddStringsW(const TWideStrings& strings) {
    DetachedEvent detached(richEdit_->OnSelectionChange);
    TWideStrings::AddStringsW(strings);
}

void TWideRichEditStringsEx::Clear() { richEdit_->Clear(); }

void TWideRichEditStringsEx::Delete(int index) {
    TCustomRichEditEx* re = richEdit_;
    if (index < 0 || !re->HandleAllocated()) return;
    LRESULT start = re->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(index));
    if (start < 0) return;
    LRESULT end = re->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(index + 1));
    if (end < 0) end = start + re->SendToWindow(EM_LINELENGTH, static_cast<WPARAM>(start));
    FlagScope wide(re->wideText_);
    CHARRANGE r{static_cast<LONG>(start), static_cast<LONG>(end)};
    re->SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    re->ReplaceSelectionW(std::wstring());
}

void TWideRichEditStringsEx::InsertW(int index, const std::wstring& s) {
    TCustomRichEditEx* re = richEdit_;
    if (index < 0) return;
    re->HandleNeeded();
    FlagScope wide(re->wideText_);
    std::wstring text;
    LRESULT pos = re->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(index));
    if (pos >= 0) {
        text = s + L"\r";
    } else {
        pos = re->SendToWindow(EM_LINEINDEX, static_cast<WPARAM>(index - 1));
        if (pos < 0) return;
        LRESULT length = re->SendToWindow(EM_LINELENGTH, static_cast<WPARAM>(pos));
        if (length == 0) return;
        pos += length;
        text = L"\r" + s;
    }
    CHARRANGE r{static_cast<LONG>(pos), static_cast<LONG>(pos)};
    re->SendToWindow(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    re->ReplaceSelectionW(text);
    // Inside the window a break is one character, however it was written.
    size_t expected = text.size();
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == L'\r' && text[i + 1] == L'\n') --expected;
    CHARRANGE after{0, 0};
    re->SendToWindow(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
    if (after.cpMin != pos + static_cast<LRESULT>(expected)) throw EOutOfResources("RichEdit line insertion error");
}

void TWideRichEditStringsEx::LoadFromFile(const std::string& fileName) { richEdit_->Lines()->LoadFromFile(fileName); }

void TWideRichEditStringsEx::LoadFromStream(TStream& stream) { richEdit_->Lines()->LoadFromStream(stream); }

void TWideRichEditStringsEx::SaveToFile(const std::string& fileName) { richEdit_->Lines()->SaveToFile(fileName); }

void TWideRichEditStringsEx::SaveToStream(TStream& stream) { richEdit_->Lines()->SaveToStream(stream); }

}  // namespace treskel
