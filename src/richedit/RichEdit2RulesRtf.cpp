// The RTF the window writes in UTF-8, made into RTF that every reader reads.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <utility>

#include "richedit/RichEdit2Rules.h"

namespace treskel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Header = "{\\urtf";

bool IsLetter(char b) { return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z'); }
bool IsDigit(char b) { return b >= '0' && b <= '9'; }
bool IsPlainText(char b) { return static_cast<uint8_t>(b) < 0x80 && b != '\\' && b != '{' && b != '}'; }

void PutNumber(int value, std::string& out) {
    char digits[12];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

int ParamValue(const std::string& param) {
    long v = 0;
    for (char c : param)
        if (IsDigit(c) && v < 100000000) v = v * 10 + (c - '0');
    return static_cast<int>(!param.empty() && param[0] == '-' ? -v : v);
}

void PutHexByte(uint8_t b, std::string& out) {
    static constexpr char kHex[] = "0123456789abcdef";
    const char escape[4] = {'\\', '\'', kHex[b >> 4], kHex[b & 15]};
    out.append(escape, sizeof escape);
}

}  // namespace

unsigned CodePageOfCharset(int charset, unsigned documentCodePage) {
    switch (charset) {
        case 0: return 1252;
        case 1: return documentCodePage;
        case 2: return 42;  // symbol fonts
        case 128: return 932;
        case 129: return 949;
        case 130: return 1361;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        default: return 0;
    }
}

TUtf8RtfFilter::TUtf8RtfFilter(unsigned documentCodePage, Encoder encode)
    : documentCodePage_(documentCodePage), encode_(std::move(encode)) {}

void TUtf8RtfFilter::Write(std::string_view bytes, std::string& out) {
    if (state_ == TState::Unchanged) {
        out.append(bytes);
        return;
    }
    out.reserve(out.size() + bytes.size() + bytes.size() / 4);
    for (size_t i = 0; i < bytes.size();) {
        // Runs of ASCII text pass in one piece.
        size_t plain = i;
        if (state_ == TState::Text)
            while (plain < bytes.size() && IsPlainText(bytes[plain])) ++plain;
        if (plain > i) {
            out.append(bytes.data() + i, plain - i);
            groupStart_ = false;
            i = plain;
        } else {
            Put(bytes[i++], out);
        }
    }
}

void TUtf8RtfFilter::Finish(std::string& out) {
    switch (state_) {
        case TState::Header: out += held_; break;
        case TState::Escape: out += '\\'; break;
        case TState::Utf8: PutCharacter(kReplacement, out); break;
        case TState::Word:
        case TState::Param: EndWord(out); break;
        default: break;
    }
    held_.clear();
    state_ = TState::Text;
}

void TUtf8RtfFilter::Put(char b, std::string& out) {
    switch (state_) {
        case TState::Header:
            PutHeader(b, out);
            return;
        case TState::Unchanged:
            out += b;
            return;
        case TState::Text:
            PutText(b, out);
            return;
        case TState::Utf8:
            if ((static_cast<uint8_t>(b) & 0xC0) == 0x80) {
                utf8_ = (utf8_ << 6) | (static_cast<uint8_t>(b) & 0x3F);
                if (--utf8Left_ > 0) return;
                state_ = TState::Text;
                // Overlong forms, surrogates and values past Unicode are no
                // characters.
                static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
                bool valid = utf8_ >= kLeast[utf8Length_] && utf8_ <= 0x10FFFF && (utf8_ < 0xD800 || utf8_ > 0xDFFF);
                PutCharacter(valid ? utf8_ : kReplacement, out);
                return;
            }
            state_ = TState::Text;
            PutCharacter(kReplacement, out);
            PutText(b, out);
            return;
        case TState::Escape:
            if (IsLetter(b)) {
                word_.assign(1, b);
                param_.clear();
                state_ = TState::Word;
            } else if (b == '\'') {
                out += "\\'";
                hexLeft_ = 2;
                state_ = TState::Hex;
            } else if (static_cast<uint8_t>(b) < 0x80) {
                out += '\\';
                out += b;
                state_ = TState::Text;
            } else {
                // No control symbol: the byte is text.
                state_ = TState::Text;
                PutText(b, out);
            }
            return;
        case TState::Word:
            if (IsLetter(b)) {
                word_ += b;
                return;
            }
            if (IsDigit(b) || b == '-') {
                param_.assign(1, b);
                state_ = TState::Param;
                return;
            }
            break;
        case TState::Param:
            if (IsDigit(b)) {
                param_ += b;
                return;
            }
            break;
        case TState::Hex:
            if (std::isxdigit(static_cast<unsigned char>(b))) {
                out += b;
                if (--hexLeft_ == 0) state_ = TState::Text;
                return;
            }
            state_ = TState::Text;
            PutText(b, out);
            return;
        case TState::Binary:
            out += b;
            if (--binaryLeft_ == 0) state_ = TState::Text;
            return;
    }
    // The byte after a control word: a space belongs to the word.
    EndWord(out);
    if (b == ' ') {
        out += b;
        return;
    }
    if (state_ == TState::Binary) {
        Put(b, out);
        return;
    }
    PutText(b, out);
}

void TUtf8RtfFilter::PutHeader(char b, std::string& out) {
    held_ += b;
    if (held_.size() <= kUtf8Header.size()) {
        if (kUtf8Header.compare(0, held_.size(), held_) != 0) {
            state_ = TState::Unchanged;
            out += held_;
            held_.clear();
        }
        return;
    }
    if (IsDigit(b)) return;
    if (IsLetter(b)) {
        // Another control word than the header's.
        state_ = TState::Unchanged;
        out += held_;
        held_.clear();
        return;
    }
    char buf[48];
    std::snprintf(buf, sizeof buf, "{\\rtf1\\ansi\\ansicpg%u\\uc1", documentCodePage_);
    out += buf;
    held_.clear();
    outer_.push_back(group_);
    state_ = TState::Text;
    if (b == ' ')
        out += b;
    else
        PutText(b, out);
}

void TUtf8RtfFilter::PutText(char b, std::string& out) {
    auto u = static_cast<uint8_t>(b);
    if (u < 0x80) {
        switch (b) {
            case '\\':
                state_ = TState::Escape;
                return;
            case '{':
                outer_.push_back(group_);
                groupStart_ = true;
                break;
            case '}':
                if (!outer_.empty()) {
                    group_ = outer_.back();
                    outer_.pop_back();
                }
                groupStart_ = false;
                break;
            default:
                groupStart_ = false;
                break;
        }
        out += b;
        return;
    }
    groupStart_ = false;
    if ((u & 0xE0) == 0xC0) {
        utf8_ = u & 0x1F;
        utf8Length_ = 2;
    } else if ((u & 0xF0) == 0xE0) {
        utf8_ = u & 0x0F;
        utf8Length_ = 3;
    } else if ((u & 0xF8) == 0xF0) {
        utf8_ = u & 0x07;
        utf8Length_ = 4;
    } else {
        PutCharacter(kReplacement, out);
        return;
    }
    utf8Left_ = utf8Length_ - 1;
    state_ = TState::Utf8;
}

void TUtf8RtfFilter::EndWord(std::string& out) {
    out += '\\';
    out += word_;
    out += param_;
    state_ = TState::Text;
    bool first = std::exchange(groupStart_, false);
    bool hasParam = !param_.empty() && param_ != "-";
    int value = ParamValue(param_);
    if (word_ == "fonttbl") {
        if (first) group_.FontTable = true;
    } else if (word_ == "f" && hasParam) {
        group_.Font = value;
    } else if (word_ == "fcharset" && hasParam) {
        if (group_.FontTable && group_.Font >= 0) fontCharsets_[group_.Font] = value;
    } else if (word_ == "deff" && hasParam) {
        defaultFont_ = value;
    } else if (word_ == "plain") {
        group_.Font = -1;
    } else if (word_ == "uc" && hasParam) {
        group_.SkipCount = std::clamp(value, 0, 16);
    } else if (word_ == "bin" && hasParam && value > 0) {
        binaryLeft_ = value;
        state_ = TState::Binary;
    }
}

unsigned TUtf8RtfFilter::CodePageHere() const {
    int font = group_.Font >= 0 ? group_.Font : defaultFont_;
    auto it = fontCharsets_.find(font);
    return CodePageOfCharset(it != fontCharsets_.end() ? it->second : 1, documentCodePage_);
}

uint32_t TUtf8RtfFilter::ExactBytes(char32_t c, unsigned codePage) {
    std::vector<uint32_t>& known = exact_[codePage];
    if (known.empty()) known.resize(0x10000, kNotAsked);
    uint32_t& bytes = known[c];
    if (bytes == kNotAsked) {
        // One or two bytes, the count in the high half.
        std::string b = encode_ ? encode_(c, codePage) : std::string();
        bytes = b.empty() || b.size() > 2 ? kNone
                                          : static_cast<uint32_t>(b.size() << 16 | static_cast<uint8_t>(b[0]) << 8 |
                                                                  static_cast<uint8_t>(b.back()));
    }
    return bytes;
}

void TUtf8RtfFilter::PutCharacter(char32_t c, std::string& out) {
    unsigned codePage = CodePageHere();
    if (codePage != 0 && c <= 0xFFFF) {
        uint32_t bytes = ExactBytes(c, codePage);
        if (bytes != kNone) {
            if ((bytes >> 16) == 2) PutHexByte(static_cast<uint8_t>(bytes >> 8), out);
            PutHexByte(static_cast<uint8_t>(bytes), out);
            return;
        }
    }
    auto unicode = [&](char32_t unit) {
        out += "\\u";
        PutNumber(static_cast<int16_t>(unit), out);
        // Readers that know \u skip as many characters after it as \uc says.
        if (group_.SkipCount == 0)
            out += ' ';
        else
            out.append(static_cast<size_t>(group_.SkipCount), '?');
    };
    if (c > 0xFFFF) {
        c -= 0x10000;
        unicode(0xD800 + (c >> 10));
        unicode(0xDC00 + (c & 0x3FF));
    } else {
        unicode(c);
    }
}

}  // namespace treskel
