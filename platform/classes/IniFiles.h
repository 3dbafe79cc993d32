#pragma once
// INI files. Section and key names compare case-insensitively; values are kept verbatim:
// everything after the first '=' of a line, not trimmed, quotes not stripped. Comment lines
// (';' or '#'), blank lines and lines that are not entries survive a rewrite.
#include <memory>
#include <string>
#include <string_view>

#include "platform/classes/Errors.h"
#include "platform/classes/Object.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/Types.h"

namespace vel {

class TStrings;
class TIniDocument;

class TCustomIniFile : public TObject {
    VEL_CLASS(TCustomIniFile)
public:
    explicit TCustomIniFile(std::string FileName) : FFileName(std::move(FileName)) {}
    const std::string& GetFileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident,
                             const std::string& Value) = 0;
    // Decimal, "$1F" or "0x1F", blanks around allowed; anything else gives Default.
    virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Any integer other than 0 is true; "true"/"false" are accepted too. Written as 1 / 0.
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // Written with '.' whatever the locale (FloatToStr, 15 digits), so files move between
    // machines; read with '.' or the locale's decimal separator.
    virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    virtual void WriteFloat(const std::string& Section, const std::string& Ident, double Value);
    // Dates and times likewise: written in the invariant format ("MM/dd/yyyy HH:mm:ss"), read
    // in it or in the locale's.
    TDateTime ReadDate(const std::string& Section, const std::string& Ident, TDateTime Default);
    TDateTime ReadDateTime(const std::string& Section, const std::string& Ident, TDateTime Default);
    TDateTime ReadTime(const std::string& Section, const std::string& Ident, TDateTime Default);
    void WriteDate(const std::string& Section, const std::string& Ident, TDateTime Value);
    void WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value);
    void WriteTime(const std::string& Section, const std::string& Ident, TDateTime Value);

    // Each clears Strings first. ReadSection: key names; ReadSections: section names;
    // ReadSectionValues: "key=value" lines.
    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0;
    // True when the section holds at least one key.
    virtual bool SectionExists(const std::string& Section);
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    // Flushes pending changes to the storage.
    virtual void UpdateFile() = 0;

protected:
    std::string FFileName;
};

// The whole file in memory; nothing is written before UpdateFile. A missing file starts
// empty; an unreadable one (a folder, no permission) raises EIniFileException.
class TMemIniFile : public TCustomIniFile {
    VEL_CLASS(TMemIniFile)
public:
    // An empty FileName makes a purely in-memory INI; UpdateFile then writes nothing.
    explicit TMemIniFile(const std::string& FileName);
    ~TMemIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    // Bad names or values (a line break, '=' or a leading '[', ';', '#' in a key, ']' in a
    // section, blanks at either end of a name) raise EIniFileException and change nothing.
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Writes atomically; on failure raises EIniFileException and the old file stays.
    void UpdateFile() override;

    void Clear();
    // The file's lines as they would be written / replaces everything by these lines.
    void GetStrings(TStrings* List) const;
    void SetStrings(const TStrings* List);
    std::string GetText() const;
    void SetText(std::string_view Text);
    // Points the object at another file, loading it when Reload.
    void Rename(const std::string& FileName, bool Reload);

private:
    std::unique_ptr<TIniDocument> FDoc;
};

// An INI over a real file: every write goes to disk at once (atomically), and reads see
// changes other objects or processes made to the file since.
class TIniFile : public TCustomIniFile {
    VEL_CLASS(TIniFile)
public:
    explicit TIniFile(const std::string& FileName);
    ~TIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    // Raises EIniFileException when the value cannot be stored or the file cannot be written;
    // the file and this object then keep their previous contents.
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Everything is written already; rereads the file when it changed.
    void UpdateFile() override;

private:
    std::unique_ptr<TIniDocument> FDoc;
    TFileStamp FStamp;
    void Refresh();
    template <class F>
    void Change(F&& Mutate);
};

}  // namespace vel
