// WStrList: an abstract list of wide (UTF-16) strings with an object each,
// in the manner of TStrings, carrying a locale that governs comparisons.
// The rich-edit control's wide line list derives from it.  No <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Classes.h"

namespace treskel {

class TStream;

// A 16-bit locale identifier.
using TLanguage = uint16_t;

class TWideStrings : public TPersistent {
    TRESKEL_CLASS(TWideStrings)
public:
    TWideStrings();

    // The abstract core a descendant supplies.
    virtual std::wstring GetW(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void InsertW(int index, const std::wstring& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int) {}
    virtual void* GetObject(int) const { return nullptr; }
    virtual void PutObject(int, void*) {}
    virtual void PutW(int index, const std::wstring& s);
    // All strings, each followed by CR LF.
    virtual std::wstring GetTextStr() const;
    // Replaces the list by the lines of `text` (CR, LF or CR LF ends a line).
    virtual void SetTextStr(std::wstring_view text);
    virtual void SetLanguage(TLanguage language) { language_ = language; }
    virtual TLanguage GetLanguage() const { return language_; }
    virtual int AddW(const std::wstring& s);
    virtual int AddObjectW(const std::wstring& s, void* object);
    virtual void AddStringsW(const TWideStrings& strings);
    virtual void Exchange(int a, int b);
    virtual int IndexOfW(const std::wstring& s) const;
    virtual void Move(int from, int to);
    virtual void LoadFromFile(const std::string& fileName);
    // Reads the rest of the stream as UTF-16 little-endian text.
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToFile(const std::string& fileName);
    // Writes GetTextStr as UTF-16 little-endian code units, no byte-order mark.
    virtual void SaveToStream(TStream& stream);
    virtual void SetTextW(const wchar_t* text);

    // A zero-terminated copy of GetTextStr, owned by the caller.
    std::unique_ptr<wchar_t[]> GetTextW() const;
    void InsertObjectW(int index, const std::wstring& s, void* object);

    int Count() const { return GetCount(); }
    std::wstring Strings(int index) const { return GetW(index); }
    TLanguage Language() const { return GetLanguage(); }

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    void Assign(TPersistent* source) override;

    // The stored "WideStrings" value: 4 upper-case hexadecimal digits per
    // character of GetTextStr.
    std::string WideStringsValue() const;
    void ReadWideStringsValue(std::string_view value);
    // Whether the stored value is written: the list differs from the
    // ancestor's, or, without one, holds strings.
    bool StoresWideStrings(const TWideStrings* ancestor) const;

protected:
    virtual void SetUpdateState(bool updating) {}

private:
    int updateCount_ = 0;
    TLanguage language_;
};

// Registers the list's stored "WideStrings" property with the layouts.
void RegisterWideStringsClass();

// Locale services the list needs from the system (the Windows build asks
// the system; the native build has simple stand-ins).
TLanguage UserDefaultLanguage();
// Case-insensitive comparison in the locale: -1, 0 or 1.
int CompareWideText(TLanguage language, const std::wstring& a, const std::wstring& b);
// Single-byte text widened with the system's default conversion.
std::wstring WidenDefault(std::string_view s);

// UTF-16 code units of a wide string and back (wchar_t is 32 bits natively).
std::u16string ToUtf16(std::wstring_view s);
std::wstring FromUtf16(std::u16string_view s);

}  // namespace treskel
