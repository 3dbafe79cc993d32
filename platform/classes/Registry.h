#pragma once
// A registry stand-in: trees of keys holding string and integer values, one tree per root
// key, all kept in one text file under a configurable folder. Key and value names compare
// case-insensitively and keep the case they were created with; paths use '\'.
//
// Store file format (UTF-8, lines end with '\n', a trailing '\r' is ignored):
//     velgrid-registry 1
//     key "HKEY_CURRENT_USER" "Software" "Pimworks"
//     string "Title" "Form1.Grid1"
//     integer "Width" -12
// A `key` line names a key by its path components (every key has its line, so empty keys
// survive); the `string` and `integer` lines after it are that key's values. Quoted texts
// escape '\\', '"', "\n", "\r", "\t" and other control bytes as "\xHH"; every other byte,
// UTF-8 included, is written as it is. Blank lines and lines starting with '#' are comments.
// A line that cannot be read is skipped and counted as damage; a newer format version is
// refused with ERegistryException.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Errors.h"
#include "platform/classes/IniFiles.h"
#include "platform/classes/Object.h"
#include "platform/rtl/SafeFile.h"

namespace vel {

class TStrings;

using HKEY = std::uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum class TRegDataType { rdUnknown, rdString, rdInteger };

// The folder that holds the store file "registry.txt". The default is
// $XDG_CONFIG_HOME/velgrid, else $HOME/.config/velgrid. Tests point it at a temporary folder;
// an empty Folder restores the default. Registry objects created afterwards use the new folder.
void SetRegistryRoot(const std::string& Folder);
std::string GetRegistryRoot();
std::string GetRegistryStoreFile();

// The trees in memory and their text form.
class TRegistryStore {
public:
    struct TValue {
        std::string Name;
        TRegDataType Type = TRegDataType::rdString;
        std::string Str;
        std::int32_t Int = 0;
    };
    struct TKey {
        std::string Name;
        std::vector<TValue> Values;
        std::vector<TKey> Keys;

        TKey* Child(std::string_view name);
        TValue* Value(std::string_view name);
    };

    TRegistryStore();
    // Replaces the content. Returns the number of damaged lines that were skipped; raises
    // ERegistryException (content unchanged) for a format version it does not know.
    int LoadFromText(std::string_view Text);
    std::string SaveToText() const;

    static const char* RootName(HKEY Root);  // null for an unknown root
    // Path is the list of components below the root; null when a key is missing.
    TKey* FindKey(HKEY Root, const std::vector<std::string>& Path);
    TKey& CreateKey(HKEY Root, const std::vector<std::string>& Path);
    bool DeleteKey(HKEY Root, const std::vector<std::string>& Path);

    static std::string Quote(std::string_view S);

private:
    TKey FTop;  // its children are the root keys, always present
};

class TRegistry : public TObject {
    VEL_CLASS(TRegistry)
public:
    // Works on the store file of the registry root current at construction; the file is read
    // on first use and written (atomically) after every change.
    TRegistry();
    ~TRegistry() override = default;

    HKEY GetRootKey() const { return FRootKey; }
    // Closes the open key. An unknown root raises ERegistryException.
    void SetRootKey(HKEY Value);

    // A Key starting with '\' is absolute; otherwise it is relative to the open key, or to
    // the root when none is open. OpenKey answers false when the key is missing and may not
    // be created; a key opened read-only refuses writes with ERegistryException.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    bool CreateKey(const std::string& Key);
    void CloseKey();
    bool KeyExists(const std::string& Key);
    // Deletes the key with all its subkeys; false when it did not exist.
    bool DeleteKey(const std::string& Key);
    bool HasSubKeys();
    // The open key's path without a leading '\'; empty when none is open.
    std::string GetCurrentPath() const;
    bool GetKeyOpen() const { return FOpen; }
    // On (the default) a change is saved atomically but not forced to disk, like the classic
    // lazy flush; off, every change is synced before the call returns.
    bool GetLazyWrite() const { return FLazyWrite; }
    void SetLazyWrite(bool Value) { FLazyWrite = Value; }
    const std::string& GetStoreFile() const { return FFile; }

    // Values of the open key. ReadString of a missing value answers ""; ReadInteger of a
    // missing value and any read of the wrong type raise ERegistryException.
    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    TRegDataType GetDataType(const std::string& Name);
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    int ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int Value);
    bool ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }
    void WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }
    // Both clear Strings first and list names in creation order.
    void GetValueNames(TStrings* Strings);
    void GetKeyNames(TStrings* Strings);

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FOpen = false;
    bool FReadOnly = false;
    bool FLazyWrite = true;
    std::vector<std::string> FCurrent;
    std::string FFile;
    TRegistryStore FStore;
    TFileStamp FStamp;
    bool FLoaded = false;
    int FDamaged = 0;  // damaged lines in the file as last read

    void Refresh();
    std::vector<std::string> Resolve(const std::string& Key) const;
    TRegistryStore::TKey* Current();
    TRegistryStore::TKey& WritableCurrent(TRegistryStore& Store, const std::string& Name);
    template <class F>
    void Change(F&& Mutate);
};

// An INI interface over a registry key: sections are its subkeys, keys are their values.
// Nothing is written until a value is.
class TRegistryIniFile : public TCustomIniFile {
    VEL_CLASS(TRegistryIniFile)
public:
    // FileName is the key path (for example "\Software\Pimworks\VelDBGrid") under RootKey.
    explicit TRegistryIniFile(const std::string& FileName, HKEY RootKey = HKEY_CURRENT_USER);

    TRegistry& GetRegistry() { return FReg; }
    // Integer values read as their decimal text.
    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident,
                     const std::string& Value) override;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override {}

private:
    TRegistry FReg;
    std::string SectionPath(const std::string& Section) const;
    bool OpenSection(const std::string& Section);
};

}  // namespace vel
