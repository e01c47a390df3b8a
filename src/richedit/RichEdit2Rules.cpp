#include "richedit/RichEdit2Rules.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <utility>

namespace treskel {

// ---------------------------------------------------------------- stream chunks

TStreamChunkReader::TStreamChunkReader(Source source, bool normaliseLineBreaks, int sourceChunk, bool richText)
    : source_(std::move(source)), normalise_(normaliseLineBreaks), sourceChunk_(std::max(sourceChunk, 1)) {
    if (richText) richText_ = std::make_unique<TParaWordFilter>(TParaWordFilter::ToControl(kRichEditDepth));
}

TStreamChunkReader::~TStreamChunkReader() = default;

const TRtfShape* TStreamChunkReader::Shape() const { return richText_ ? &richText_->Shape() : nullptr; }

int TStreamChunkReader::Read(uint8_t* dest, int capacity) {
    if (capacity <= 0) return 0;
    while (pos_ >= out_.size()) {
        out_.clear();
        pos_ = 0;
        if (finished_) return 0;
        Refill();
    }
    size_t n = std::min(out_.size() - pos_, static_cast<size_t>(capacity));
    std::copy_n(out_.begin() + static_cast<std::ptrdiff_t>(pos_), n, dest);
    pos_ += n;
    return static_cast<int>(n);
}

void TStreamChunkReader::Refill() {
    in_.resize(static_cast<size_t>(sourceChunk_));
    int64_t n = source_(in_.data(), sourceChunk_);
    if (n <= 0) {
        finished_ = true;
        // A CR that ended the source is a break of its own.
        if (std::exchange(carriedCR_, false)) out_ = {'\r', '\n'};
    } else if (normalise_) {
        Normalise(in_.data(), static_cast<size_t>(n));
    } else {
        out_.assign(in_.begin(), in_.begin() + n);
    }
    if (!richText_) return;
    filtered_.clear();
    richText_->Write(std::string_view(reinterpret_cast<const char*>(out_.data()), out_.size()), filtered_);
    if (finished_) richText_->Finish(filtered_);
    out_.assign(filtered_.begin(), filtered_.end());
}

void TStreamChunkReader::Normalise(const uint8_t* in, size_t n) {
    out_.reserve(n * 2 + 2);
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = in[i];
        if (carriedCR_) {
            carriedCR_ = false;
            out_.push_back('\r');
            out_.push_back('\n');
            if (b == '\n') continue;
        }
        if (b == '\r') {
            if (i + 1 == n) {
                carriedCR_ = true;  // the next read decides
                continue;
            }
            out_.push_back('\r');
            out_.push_back('\n');
            if (in[i + 1] == '\n') ++i;
        } else if (b == '\n') {
            out_.push_back('\r');
            out_.push_back('\n');
        } else {
            out_.push_back(b);
        }
    }
}

// ---------------------------------------------------------------- addresses

bool IsUrlChar(wchar_t c) {
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z')) return true;
    switch (c) {
        case L'(':
        case L')':
        case L'-':
        case L'.':
        case L'/':
        case L':':
        case L'@':
        case L'\\':
            return true;
        default:
            return false;
    }
}

void TAddressHint::Pass(std::string_view bytes) {
    if (may_ || bytes.empty()) return;
    // A word cut between two pieces is looked at whole.
    std::string text = tail_;
    text.append(bytes);
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    static constexpr std::string_view kSigns[] = {":", "www", "\\'3a", "\\'77", "\\'57", "\\u58", "\\u87", "\\u119"};
    for (std::string_view sign : kSigns)
        if (text.find(sign) != std::string::npos) {
            may_ = true;
            return;
        }
    constexpr size_t kLongestSign = 5;
    tail_ = text.substr(text.size() > kLongestSign ? text.size() - kLongestSign : 0);
}

bool IsAddressToken(std::wstring_view token, const std::vector<std::wstring>& schemes) {
    for (const std::wstring& scheme : schemes) {
        if (scheme.empty()) continue;
        std::wstring prefix;
        for (wchar_t c : scheme) prefix += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        prefix += L':';
        if (token.size() > prefix.size() && token.substr(0, prefix.size()) == prefix) return true;
    }
    size_t at = token.find(L'@');
    if (at == std::wstring_view::npos || at == 0) return false;
    std::wstring_view domain = token.substr(at + 1);
    size_t dot = domain.find(L'.');
    return dot != std::wstring_view::npos && dot > 0;
}

std::vector<TUrlToken> ScanUrlTokens(std::wstring_view text, const std::vector<std::wstring>& schemes) {
    std::vector<TUrlToken> tokens;
    size_t i = 0, n = text.size();
    while (i < n) {
        while (i < n && !IsUrlChar(text[i])) ++i;
        if (i >= n) break;
        size_t start = i;
        while (i < n && IsUrlChar(text[i])) ++i;
        TUrlToken t;
        t.Start = static_cast<int>(start);
        t.Length = static_cast<int>(i - start);
        t.Address = IsAddressToken(text.substr(start, i - start), schemes);
        tokens.push_back(t);
    }
    return tokens;
}

void WidenToUrlTokens(int length, const std::function<wchar_t(int)>& charAt, int& start, int& end) {
    if (length <= 0) {
        start = end = 0;
        return;
    }
    start = std::clamp(start, 0, length - 1);
    end = std::clamp(end, 0, length);
    // Back to the start of the token holding `start`, and over the break
    // before it to the start of the token before: a change at a break can
    // have cut that token short.
    int p = start;
    while (p > 0 && IsUrlChar(charAt(p - 1))) --p;
    int q = p;
    while (q > 0 && !IsUrlChar(charAt(q - 1))) --q;
    int r = q;
    while (r > 0 && IsUrlChar(charAt(r - 1))) --r;
    start = r < q ? r : p;
    while (end < length && IsUrlChar(charAt(end))) ++end;
}

// ---------------------------------------------------------------- search

TFindRange FindTextRange(int startPos, int length, bool backwards, int textLength) {
    TFindRange r;
    if (backwards) {
        r.Min = startPos < 0 || startPos > textLength ? textLength : startPos;
        r.Max = length > 0 ? std::max(r.Min - length, 0) : 0;
    } else {
        r.Min = std::max(startPos, 0);
        r.Max = length > 0 ? r.Min + length : -1;
    }
    return r;
}

// ---------------------------------------------------------------- caret

void TCaretTracker::Follow(int selMin, int selMax) {
    if (selMin == selMax) {
        anchor_ = caret_ = selMin;
    } else if (anchor_ == selMin) {
        caret_ = selMax;
    } else if (anchor_ == selMax) {
        caret_ = selMin;
    } else {
        anchor_ = selMin;
        caret_ = selMax;
    }
}

int TCaretTracker::Caret(int selMin, int selMax) const {
    if (selMin == selMax) return selMin;
    const bool followed = std::min(anchor_, caret_) == selMin && std::max(anchor_, caret_) == selMax;
    return followed ? caret_ : selMax;
}

// ---------------------------------------------------------------- formats

int AlignmentFromParaAlignment(int paraAlignment) {
    switch (paraAlignment) {
        case 2: return 1;  // PFA_RIGHT
        case 3: return 2;  // PFA_CENTER
        default: return 0;  // PFA_LEFT, PFA_JUSTIFY and anything else
    }
}

int ParaAlignmentFromAlignment(int alignment) {
    switch (alignment) {
        case 1: return 2;
        case 2: return 3;
        default: return 1;
    }
}

int PointsToTwips(double points) { return static_cast<int>(std::nearbyint(points * 20.0)); }

double TwipsToPoints(int twips) { return twips / 20.0; }

int FontHeightToTwips(int height, int ppi) {
    if (ppi <= 0) ppi = 96;
    double halfPoints = std::abs(height) * 144.0 / ppi;
    return 10 * static_cast<int>(std::nearbyint(halfPoints));
}

int TwipsToFontHeight(int twips, int ppi) {
    if (ppi <= 0) ppi = 96;
    return -static_cast<int>(std::nearbyint(twips * static_cast<double>(ppi) / 1440.0));
}

// ---------------------------------------------------------------- OLE

int32_t MakeVerbEntry(int verbNumber, unsigned menuFlags) {
    return static_cast<int32_t>((static_cast<uint32_t>(menuFlags & 0xFFFF) << 16) |
                                (static_cast<uint32_t>(verbNumber) & 0xFFFF));
}

int ResolveVerb(int verb, const std::vector<int32_t>& entries) {
    if (verb > 0) {
        if (static_cast<size_t>(verb) >= entries.size()) throw EOleError("Invalid Verb");
        return static_cast<int16_t>(static_cast<uint16_t>(entries[static_cast<size_t>(verb)] & 0xFFFF));
    }
    if (verb == -65536) return 0;
    return verb;
}

uint32_t DropEffectFor(uint32_t keyState, uint32_t effect) {
    const uint32_t mkShift = 0x4, mkControl = 0x8;
    const uint32_t dropCopy = 1, dropMove = 2, dropLink = 4;
    uint32_t wanted = dropMove;
    if ((keyState & (mkControl | mkShift)) == (mkControl | mkShift))
        wanted = dropLink;
    else if (keyState & mkControl)
        wanted = dropCopy;
    return (effect & wanted) != 0 ? wanted : effect;
}

std::string PercentEncodeUtf8(char32_t c) {
    uint8_t bytes[4];
    int n;
    if (c < 0x80) {
        bytes[0] = static_cast<uint8_t>(c);
        n = 1;
    } else if (c < 0x800) {
        bytes[0] = static_cast<uint8_t>(0xC0 | (c >> 6));
        bytes[1] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        n = 2;
    } else if (c < 0x10000) {
        bytes[0] = static_cast<uint8_t>(0xE0 | (c >> 12));
        bytes[1] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
        bytes[2] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        n = 3;
    } else {
        bytes[0] = static_cast<uint8_t>(0xF0 | (c >> 18));
        bytes[1] = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
        bytes[2] = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
        bytes[3] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        n = 4;
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string r;
    for (int i = 0; i < n; ++i) {
        r += '%';
        r += digits[bytes[i] >> 4];
        r += digits[bytes[i] & 0xF];
    }
    return r;
}

size_t FitWidePrefix(std::wstring_view text, size_t capacity,
                     const std::function<size_t(std::wstring_view)>& narrowLength) {
    auto fits = [&](size_t n) { return narrowLength(text.substr(0, n)) <= capacity; };
    auto keepPairs = [&](size_t n) {
        // A high surrogate without its partner would come out as '?'.
        if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00) --n;
        return n;
    };
    if (fits(text.size())) return text.size();
    size_t lo = 0, hi = text.size();  // fits(lo) holds, fits(hi) does not
    while (hi - lo > 1) {
        size_t mid = lo + (hi - lo) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid;
    }
    return keepPairs(lo);
}

}  // namespace treskel
