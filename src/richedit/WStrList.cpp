#include "richedit/WStrList.h"

#include <cstring>
#include <vector>

#include "platform/Streams.h"
#include "platform/TypInfo.h"

namespace treskel {

std::u16string ToUtf16(std::wstring_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (wchar_t wc : s) {
        auto c = static_cast<uint32_t>(wc);
        if constexpr (sizeof(wchar_t) > 2) {
            if (c > 0xFFFF && c <= 0x10FFFF) {
                c -= 0x10000;
                out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
                continue;
            }
        }
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

std::wstring FromUtf16(std::u16string_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if constexpr (sizeof(wchar_t) > 2) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                ++i;
            }
        }
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

TWideStrings::TWideStrings() : language_(UserDefaultLanguage()) {}

void TWideStrings::PutW(int index, const std::wstring& s) {
    void* object = GetObject(index);
    Delete(index);
    InsertObjectW(index, s, object);
}

std::wstring TWideStrings::GetTextStr() const {
    std::wstring r;
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        r += GetW(i);
        r += L"\r\n";
    }
    return r;
}

void TWideStrings::SetTextStr(std::wstring_view text) {
    BeginUpdate();
    try {
        Clear();
        size_t i = 0, n = text.size();
        while (i < n) {
            size_t start = i;
            while (i < n && text[i] != L'\r' && text[i] != L'\n') ++i;
            AddW(std::wstring(text.substr(start, i - start)));
            if (i < n && text[i] == L'\r') ++i;
            if (i < n && text[i] == L'\n') ++i;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TWideStrings::AddW(const std::wstring& s) {
    int index = GetCount();
    InsertW(index, s);
    return index;
}

int TWideStrings::AddObjectW(const std::wstring& s, void* object) {
    int index = AddW(s);
    PutObject(index, object);
    return index;
}

void TWideStrings::AddStringsW(const TWideStrings& strings) {
    BeginUpdate();
    try {
        int n = strings.GetCount();
        for (int i = 0; i < n; ++i) AddObjectW(strings.GetW(i), strings.GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::Exchange(int a, int b) {
    BeginUpdate();
    try {
        std::wstring sa = GetW(a), sb = GetW(b);
        void* oa = GetObject(a);
        void* ob = GetObject(b);
        PutW(a, sb);
        PutW(b, sa);
        PutObject(a, ob);
        PutObject(b, oa);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TWideStrings::IndexOfW(const std::wstring& s) const {
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (CompareWideText(GetLanguage(), GetW(i), s) == 0) return i;
    return -1;
}

void TWideStrings::Move(int from, int to) {
    if (from == to) return;
    BeginUpdate();
    try {
        std::wstring s = GetW(from);
        void* object = GetObject(from);
        Delete(from);
        InsertObjectW(to, s, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::InsertObjectW(int index, const std::wstring& s, void* object) {
    InsertW(index, s);
    PutObject(index, object);
}

void TWideStrings::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TWideStrings::LoadFromStream(TStream& stream) {
    BeginUpdate();
    try {
        int64_t n = stream.Size() - stream.Position();
        // Whole code units only: an odd last byte cannot form a character.
        std::vector<uint8_t> bytes(static_cast<size_t>(n > 0 ? n : 0));
        if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        std::u16string units(bytes.size() / 2, u'\0');
        for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(GetU16(&bytes[2 * i]));
        SetTextStr(FromUtf16(units));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

void TWideStrings::SaveToStream(TStream& stream) {
    std::u16string units = ToUtf16(GetTextStr());
    std::vector<uint8_t> bytes(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i) PutU16(&bytes[2 * i], units[i]);
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TWideStrings::SetTextW(const wchar_t* text) { SetTextStr(text != nullptr ? std::wstring_view(text) : std::wstring_view()); }

std::unique_ptr<wchar_t[]> TWideStrings::GetTextW() const {
    std::wstring t = GetTextStr();
    auto buf = std::make_unique<wchar_t[]>(t.size() + 1);
    std::memcpy(buf.get(), t.c_str(), (t.size() + 1) * sizeof(wchar_t));
    return buf;
}

void TWideStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TWideStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TWideStrings::Assign(TPersistent* source) {
    if (auto* w = dynamic_cast<TWideStrings*>(source)) {
        BeginUpdate();
        try {
            Clear();
            AddStringsW(*w);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    if (auto* s = dynamic_cast<TStrings*>(source)) {
        // Assigning replaces the list, whatever kind of list the source is.
        BeginUpdate();
        try {
            Clear();
            for (int i = 0; i < s->Count(); ++i) AddObjectW(WidenDefault(s->Get(i)), s->GetObject(i));
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

std::string TWideStrings::WideStringsValue() const {
    static const char digits[] = "0123456789ABCDEF";
    std::u16string units = ToUtf16(GetTextStr());
    std::string r;
    r.reserve(units.size() * 4);
    for (char16_t c : units)
        for (int shift = 12; shift >= 0; shift -= 4) r += digits[(c >> shift) & 0xF];
    return r;
}

void TWideStrings::ReadWideStringsValue(std::string_view value) {
    Clear();
    std::u16string units;
    units.reserve(value.size() / 4);
    for (size_t i = 0; i + 4 <= value.size(); i += 4) {
        int v = 0;
        if (!TryStrToInt("$" + std::string(value.substr(i, 4)), v))
            throw EReadError(Format("'%s' is not a valid hexadecimal character", std::string(value.substr(i, 4)).c_str()));
        units.push_back(static_cast<char16_t>(v));
    }
    SetTextStr(FromUtf16(units));
}

bool TWideStrings::StoresWideStrings(const TWideStrings* ancestor) const {
    if (ancestor == nullptr) return GetCount() > 0;
    if (ancestor->GetCount() != GetCount()) return true;
    for (int i = 0; i < GetCount(); ++i)
        if (ancestor->GetW(i) != GetW(i)) return true;
    return false;
}

void RegisterWideStringsClass() {
    static bool done = false;
    if (done) return;
    done = true;
    // Written as a layout writer without an ancestor sees the list.
    PublishClass<TWideStrings, TPersistent>().Custom(
        "WideStrings",
        [](TWideStrings* l, const FormValue& v, LayoutReader& r) { l->ReadWideStringsValue(typinfo::AsString(v, r)); },
        [](TWideStrings* l) -> std::optional<FormValue> {
            if (!l->StoresWideStrings(nullptr)) return std::nullopt;
            return FormValue::Str(l->WideStringsValue());
        });
}

}  // namespace treskel
