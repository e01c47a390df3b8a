// Settings files by section and name: the common interface of INI files and
// of the registry used as one (TRegIniFile in Registry.h), and TIniFile over
// the system's profile functions.
#pragma once

#include <string>

#include "platform/Classes.h"

namespace treskel {

// Numbers are stored as decimal text, flags as "0" and "1"; a value that is
// absent or not a number reads as the default.
class TCustomIniFile : public TObject {
    TRESKEL_CLASS(TCustomIniFile)
public:
    explicit TCustomIniFile(const std::string& fileName) : fileName_(fileName) {}

    const std::string& FileName() const { return fileName_; }

    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
    virtual int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
    virtual void WriteInteger(const std::string& section, const std::string& ident, int value);
    // Any non-zero number is True.
    virtual bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    virtual void WriteBool(const std::string& section, const std::string& ident, bool value);

    // The value names of a section.
    virtual void ReadSection(const std::string& section, TStrings& strings) = 0;
    virtual void ReadSections(TStrings& strings) = 0;
    // NAME=VALUE lines of a section.
    virtual void ReadSectionValues(const std::string& section, TStrings& strings);
    virtual void EraseSection(const std::string& section) = 0;
    // Removes one value; the section stays.
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    virtual bool SectionExists(const std::string& section);
    virtual bool ValueExists(const std::string& section, const std::string& ident);
    virtual void UpdateFile() = 0;

private:
    std::string fileName_;
};

// An INI file through the system's profile functions.  A name without a
// directory is looked for in the Windows directory.  The reader strips one
// pair of quotes around a value, as the system does.
class TIniFile : public TCustomIniFile {
    TRESKEL_CLASS(TIniFile)
public:
    explicit TIniFile(const std::string& fileName) : TCustomIniFile(fileName) {}
    ~TIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    // Raises EIniFileException when the file cannot be written.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    // Writes the system's cached changes to disk.
    void UpdateFile() override;
};

}  // namespace treskel
