#include "platform/SysUtils.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace treskel {

void Abort() { throw EAbort("Operation aborted"); }

std::string ExceptionMessage(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        return "There is not enough memory to finish this operation";
    return "This operation was stopped by an error inside the program";
}

std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string Thousands(int64_t value, std::string_view separator) {
    const std::string digits = std::to_string(value < 0 ? -static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
    std::string out = value < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string IntToHex(uint64_t value, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), hex[value & 15]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(s.size()) < digits) s.insert(s.begin(), '0');
    return s;
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * base + d;
        if (v > (uint64_t(1) << 63)) return false;
    }
    if (!neg && v > uint64_t(INT64_MAX) && base == 10) return false;
    value = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

bool TryStrToInt(std::string_view s, int& value) {
    int64_t v;
    if (!TryStrToInt64(s, v)) return false;
    // Hexadecimal values may use all 32 bits ("$FFFFFFFF" is -1).
    if (v < INT32_MIN || v > UINT32_MAX) return false;
    if (v > INT32_MAX) {
        bool hex = s.find('$') != std::string_view::npos || s.find('x') != std::string_view::npos ||
                   s.find('X') != std::string_view::npos;
        if (!hex) return false;
    }
    value = static_cast<int>(static_cast<uint32_t>(v));
    return true;
}

int StrToInt(std::string_view s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", std::string(s).c_str()));
    return v;
}

int StrToIntDef(std::string_view s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

// Code page 1252: letters in 0xC0..0xDE (but 0xD7) pair with 0xE0..0xFE (but 0xF7),
// plus the few pairs in 0x8A..0x9F.
static unsigned char AnsiUpper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
        case 0x9A: return 0x8A;
        case 0x9C: return 0x8C;
        case 0x9E: return 0x8E;
        case 0xFF: return 0x9F;
        default: return c;
    }
}

static unsigned char AnsiLower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8E: return 0x9E;
        case 0x9F: return 0xFF;
        default: return c;
    }
}

std::string AnsiUpperCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
    return r;
}

std::string AnsiLowerCase(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(AnsiLower(static_cast<unsigned char>(c)));
    return r;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca -= 32;
        if (cb >= 'a' && cb <= 'z') cb -= 32;
        if (ca != cb) return ca - cb;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

bool IsAccel(char key, std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return AnsiLower(static_cast<unsigned char>(caption[i + 1])) == AnsiLower(static_cast<unsigned char>(key));
    }
    return false;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = AnsiLower(static_cast<unsigned char>(a[i]));
        int cb = AnsiLower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    size_t pos = 0;
    for (;;) {
        size_t f = s.find(from, pos);
        if (f == std::string_view::npos) break;
        r.append(s.substr(pos, f - pos));
        r.append(to);
        pos = f + from.size();
    }
    r.append(s.substr(pos));
    return r;
}

std::string QuotedStr(std::string_view s) { return "'" + StringReplaceAll(s, "'", "''") + "'"; }

std::vector<std::string> SplitString(std::string_view s, char sep) {
    std::vector<std::string> parts;
    size_t pos = 0;
    for (;;) {
        size_t f = s.find(sep, pos);
        if (f == std::string_view::npos) {
            parts.emplace_back(s.substr(pos));
            return parts;
        }
        parts.emplace_back(s.substr(pos, f - pos));
        pos = f + 1;
    }
}

char32_t CodePointAt(std::wstring_view text, size_t i, size_t* units) {
    const char32_t c = static_cast<char32_t>(text[i]);
    const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
    if (units != nullptr) *units = pair ? 2 : 1;
    return pair ? 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00) : c;
}

static bool IsDelim(char c) { return c == '\\' || c == '/'; }

static size_t LastDelimiter(std::string_view name, bool withColon) {
    for (size_t i = name.size(); i > 0; --i) {
        char c = name[i - 1];
        if (IsDelim(c) || (withColon && c == ':')) return i - 1;
    }
    return std::string_view::npos;
}

std::string IncludeTrailingBackslash(std::string_view path) {
    std::string r(path);
    if (r.empty() || !IsDelim(r.back())) r += '\\';
    return r;
}

std::string ExcludeTrailingBackslash(std::string_view path) {
    std::string r(path);
    if (!r.empty() && IsDelim(r.back())) r.pop_back();
    return r;
}

std::string ExtractFilePath(std::string_view name) {
    size_t i = LastDelimiter(name, true);
    return i == std::string_view::npos ? std::string() : std::string(name.substr(0, i + 1));
}

std::string ExtractFileDir(std::string_view name) {
    size_t i = LastDelimiter(name, true);
    if (i == std::string_view::npos) return std::string();
    // Keep the root's separator: "C:\" stays "C:\".
    if (i > 0 && IsDelim(name[i]) && name[i - 1] != ':' && !IsDelim(name[i - 1])) return std::string(name.substr(0, i));
    return std::string(name.substr(0, i + 1));
}

std::string ExtractFileName(std::string_view name) {
    size_t i = LastDelimiter(name, true);
    return std::string(i == std::string_view::npos ? name : name.substr(i + 1));
}

std::string ExtractFileExt(std::string_view name) {
    for (size_t i = name.size(); i > 0; --i) {
        char c = name[i - 1];
        if (c == '.') return std::string(name.substr(i - 1));
        if (IsDelim(c) || c == ':') break;
    }
    return std::string();
}

std::string ChangeFileExt(std::string_view name, std::string_view ext) {
    std::string e = ExtractFileExt(name);
    return std::string(name.substr(0, name.size() - e.size())) + std::string(ext);
}

}  // namespace treskel
