#include "platform/classes/Registry.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "platform/classes/Errors.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TRegistry, TObject)
VEL_DEFINE_CLASS(TRegistryIniFile, TCustomIniFile)

// ---- the root folder ----

namespace {

std::string& RootOverride() {
    static std::string folder;
    return folder;
}

struct TRootName {
    HKEY Key;
    const char* Name;
};
constexpr TRootName kRoots[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
                                {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                                {HKEY_USERS, "HKEY_USERS"},
                                {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"}};

constexpr std::string_view kHeader = "velgrid-registry";
constexpr int kVersion = 1;

}  // namespace

void SetRegistryRoot(const std::string& Folder) {
    RootOverride() = Folder;
}

std::string GetRegistryRoot() {
    if (!RootOverride().empty()) return RootOverride();
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/velgrid";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config/velgrid";
    return ".velgrid";
}

std::string GetRegistryStoreFile() {
    return GetRegistryRoot() + "/registry.txt";
}

// ---- TRegistryStore ----

TRegistryStore::TKey* TRegistryStore::TKey::Child(std::string_view name) {
    for (TKey& k : Keys)
        if (Utf8SameText(k.Name, name)) return &k;
    return nullptr;
}

TRegistryStore::TValue* TRegistryStore::TKey::Value(std::string_view name) {
    for (TValue& v : Values)
        if (Utf8SameText(v.Name, name)) return &v;
    return nullptr;
}

TRegistryStore::TRegistryStore() {
    for (const TRootName& r : kRoots) FTop.Keys.push_back(TKey{r.Name, {}, {}});
}

const char* TRegistryStore::RootName(HKEY Root) {
    for (const TRootName& r : kRoots)
        if (r.Key == Root) return r.Name;
    return nullptr;
}

TRegistryStore::TKey* TRegistryStore::FindKey(HKEY Root, const std::vector<std::string>& Path) {
    const char* rn = RootName(Root);
    if (!rn) return nullptr;
    TKey* k = FTop.Child(rn);
    for (const std::string& p : Path) {
        if (!k) return nullptr;
        k = k->Child(p);
    }
    return k;
}

TRegistryStore::TKey& TRegistryStore::CreateKey(HKEY Root, const std::vector<std::string>& Path) {
    const char* rn = RootName(Root);
    if (!rn) throw ERegistryException("Unknown registry root key " + std::to_string(Root) + ".");
    TKey* k = FTop.Child(rn);
    for (const std::string& p : Path) {
        TKey* c = k->Child(p);
        if (!c) {
            k->Keys.push_back(TKey{p, {}, {}});
            c = &k->Keys.back();
        }
        k = c;
    }
    return *k;
}

bool TRegistryStore::DeleteKey(HKEY Root, const std::vector<std::string>& Path) {
    if (Path.empty()) return false;  // roots stay
    std::vector<std::string> parentPath(Path.begin(), Path.end() - 1);
    TKey* parent = FindKey(Root, parentPath);
    if (!parent) return false;
    for (std::size_t i = 0; i < parent->Keys.size(); ++i)
        if (Utf8SameText(parent->Keys[i].Name, Path.back())) {
            parent->Keys.erase(parent->Keys.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    return false;
}

std::string TRegistryStore::Quote(std::string_view S) {
    static const char hex[] = "0123456789ABCDEF";
    std::string r = "\"";
    for (char ch : S) {
        auto c = static_cast<unsigned char>(ch);
        switch (ch) {
            case '\\':
                r += "\\\\";
                break;
            case '"':
                r += "\\\"";
                break;
            case '\n':
                r += "\\n";
                break;
            case '\r':
                r += "\\r";
                break;
            case '\t':
                r += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    r += "\\x";
                    r += hex[c >> 4];
                    r += hex[c & 15];
                } else {
                    r += ch;
                }
        }
    }
    return r + "\"";
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the tokens of one line: a leading word, then quoted texts and integers.
struct TLineReader {
    std::string_view Line;
    std::size_t Pos = 0;

    void SkipBlanks() {
        while (Pos < Line.size() && (Line[Pos] == ' ' || Line[Pos] == '\t')) ++Pos;
    }
    bool AtEnd() {
        SkipBlanks();
        return Pos >= Line.size();
    }
    std::string_view Word() {
        SkipBlanks();
        std::size_t s = Pos;
        while (Pos < Line.size() && Line[Pos] != ' ' && Line[Pos] != '\t') ++Pos;
        return Line.substr(s, Pos - s);
    }
    bool Quoted(std::string& out) {
        SkipBlanks();
        out.clear();
        if (Pos >= Line.size() || Line[Pos] != '"') return false;
        ++Pos;
        while (Pos < Line.size()) {
            char c = Line[Pos++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (Pos >= Line.size()) return false;
            char e = Line[Pos++];
            switch (e) {
                case '\\':
                    out += '\\';
                    break;
                case '"':
                    out += '"';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'x': {
                    if (Pos + 2 > Line.size()) return false;
                    int h = HexDigit(Line[Pos]), l = HexDigit(Line[Pos + 1]);
                    if (h < 0 || l < 0) return false;
                    out += static_cast<char>(h * 16 + l);
                    Pos += 2;
                    break;
                }
                default:
                    return false;
            }
        }
        return false;  // no closing quote
    }
};

}  // namespace

int TRegistryStore::LoadFromText(std::string_view Text) {
    TRegistryStore next;
    int damaged = 0;
    bool headerSeen = false;
    TKey* cur = nullptr;
    std::size_t i = 0;
    while (i < Text.size()) {
        std::size_t e = Text.find('\n', i);
        if (e == std::string_view::npos) e = Text.size();
        std::string_view line = Text.substr(i, e - i);
        i = e + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        TLineReader r{line};
        if (r.AtEnd() || line[r.Pos] == '#') continue;
        std::string_view word = r.Word();
        if (word == kHeader) {
            std::string_view v = r.Word();
            int version = 0;
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), version);
            if (ec != std::errc() || p != v.data() + v.size() || !r.AtEnd()) {
                ++damaged;
            } else if (version > kVersion) {
                throw ERegistryException("The registry store is in format version " +
                                         std::string(v) + ", newer than this program reads (" +
                                         std::to_string(kVersion) + ").");
            }
            headerSeen = true;
            continue;
        }
        bool ok = false;
        if (word == "key") {
            std::vector<std::string> path;
            std::string part;
            ok = true;
            while (!r.AtEnd()) {
                if (!r.Quoted(part) || part.empty() || part.find('\\') != std::string::npos) {
                    ok = false;
                    break;
                }
                path.push_back(part);
            }
            HKEY root = 0;
            if (ok && !path.empty()) {
                for (const TRootName& rn : kRoots)
                    if (Utf8SameText(rn.Name, path[0])) root = rn.Key;
            }
            if (ok && root != 0) {
                path.erase(path.begin());
                cur = &next.CreateKey(root, path);
            } else {
                ok = false;
                cur = nullptr;  // values after a bad key line must not land elsewhere
            }
        } else if ((word == "string" || word == "integer") && cur) {
            TValue v;
            if (r.Quoted(v.Name)) {
                if (word == "string") {
                    v.Type = TRegDataType::rdString;
                    ok = r.Quoted(v.Str) && r.AtEnd();
                } else {
                    v.Type = TRegDataType::rdInteger;
                    std::string_view num = r.Word();
                    auto [p, ec] = std::from_chars(num.data(), num.data() + num.size(), v.Int);
                    ok = !num.empty() && ec == std::errc() && p == num.data() + num.size() &&
                         r.AtEnd();
                }
            }
            if (ok) {
                if (TValue* old = cur->Value(v.Name)) {
                    v.Name = old->Name;
                    *old = std::move(v);
                } else {
                    cur->Values.push_back(std::move(v));
                }
            }
        }
        if (!ok) ++damaged;
    }
    if (!headerSeen && !Text.empty()) ++damaged;
    *this = std::move(next);
    return damaged;
}

namespace {

void WriteKey(std::string& out, const TRegistryStore::TKey& k, std::string& path, bool isRoot) {
    std::string myPath = path + " " + TRegistryStore::Quote(k.Name);
    if (!isRoot || !k.Values.empty() || !k.Keys.empty()) {
        out += "key" + myPath + "\n";
        for (const TRegistryStore::TValue& v : k.Values) {
            if (v.Type == TRegDataType::rdInteger)
                out +=
                    "integer " + TRegistryStore::Quote(v.Name) + " " + std::to_string(v.Int) + "\n";
            else
                out += "string " + TRegistryStore::Quote(v.Name) + " " +
                       TRegistryStore::Quote(v.Str) + "\n";
        }
    }
    for (const TRegistryStore::TKey& c : k.Keys) WriteKey(out, c, myPath, false);
}

}  // namespace

std::string TRegistryStore::SaveToText() const {
    std::string out = std::string(kHeader) + " " + std::to_string(kVersion) + "\n";
    std::string path;
    for (const TKey& root : FTop.Keys) WriteKey(out, root, path, true);
    return out;
}

// ---- TRegistry ----

TRegistry::TRegistry() : FFile(GetRegistryStoreFile()) {}

void TRegistry::Refresh() {
    TFileStamp now = GetFileStamp(FFile);
    if (FLoaded && now == FStamp) return;
    TRegistryStore store;
    int damaged = 0;
    if (now != TFileStamp{}) {
        std::string text;
        try {
            text = ReadFileBytes(FFile);
        } catch (const EFOpenError& e) {
            throw ERegistryException("Cannot read the registry store: " + e.Message());
        }
        damaged = store.LoadFromText(text);
    }
    FStore = std::move(store);
    FDamaged = damaged;
    FStamp = now;
    FLoaded = true;
}

template <class F>
void TRegistry::Change(F&& Mutate) {
    Refresh();
    TRegistryStore next = FStore;
    Mutate(next);
    try {
        // A missing folder is created; a failure surfaces as the write's error below.
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(FFile).parent_path(), ec);
        if (FDamaged > 0) {
            // Keep what could not be read before it is overwritten.
            WriteFileAtomic(FFile + ".damaged", ReadFileBytes(FFile), !FLazyWrite);
            FDamaged = 0;
        }
        WriteFileAtomic(FFile, next.SaveToText(), !FLazyWrite);
    } catch (const EStreamError& e) {
        throw ERegistryException("Cannot save the registry store: " + e.Message());
    }
    FStore = std::move(next);
    FStamp = GetFileStamp(FFile);
}

void TRegistry::SetRootKey(HKEY Value) {
    if (!TRegistryStore::RootName(Value))
        throw ERegistryException("Unknown registry root key " + std::to_string(Value) + ".");
    CloseKey();
    FRootKey = Value;
}

std::vector<std::string> TRegistry::Resolve(const std::string& Key) const {
    std::vector<std::string> path;
    bool relative = Key.empty() || Key[0] != '\\';
    if (relative && FOpen) path = FCurrent;
    std::size_t i = 0;
    while (i <= Key.size()) {
        std::size_t e = Key.find('\\', i);
        if (e == std::string::npos) e = Key.size();
        if (e > i) path.push_back(Key.substr(i, e - i));
        i = e + 1;
    }
    return path;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    std::vector<std::string> path = Resolve(Key);
    Refresh();
    if (!FStore.FindKey(FRootKey, path)) {
        if (!CanCreate) return false;
        Change([&](TRegistryStore& s) { s.CreateKey(FRootKey, path); });
    }
    FCurrent = std::move(path);
    FOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    if (!OpenKey(Key, false)) return false;
    FReadOnly = true;
    return true;
}

bool TRegistry::CreateKey(const std::string& Key) {
    std::vector<std::string> path = Resolve(Key);
    Refresh();
    if (!FStore.FindKey(FRootKey, path))
        Change([&](TRegistryStore& s) { s.CreateKey(FRootKey, path); });
    return true;
}

void TRegistry::CloseKey() {
    FOpen = false;
    FReadOnly = false;
    FCurrent.clear();
}

bool TRegistry::KeyExists(const std::string& Key) {
    std::vector<std::string> path = Resolve(Key);
    Refresh();
    return FStore.FindKey(FRootKey, path) != nullptr;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    std::vector<std::string> path = Resolve(Key);
    if (path.empty()) throw ERegistryException("A registry root key cannot be deleted.");
    Refresh();
    if (!FStore.FindKey(FRootKey, path)) return false;
    Change([&](TRegistryStore& s) { s.DeleteKey(FRootKey, path); });
    return true;
}

bool TRegistry::HasSubKeys() {
    TRegistryStore::TKey* k = Current();
    return k && !k->Keys.empty();
}

std::string TRegistry::GetCurrentPath() const {
    std::string r;
    for (const std::string& p : FCurrent) r += (r.empty() ? "" : "\\") + p;
    return r;
}

TRegistryStore::TKey* TRegistry::Current() {
    Refresh();
    if (!FOpen) return nullptr;
    return FStore.FindKey(FRootKey, FCurrent);
}

TRegistryStore::TKey& TRegistry::WritableCurrent(TRegistryStore& Store, const std::string& Name) {
    if (!FOpen) throw ERegistryException("Cannot write \"" + Name + "\": no registry key is open.");
    if (FReadOnly)
        throw ERegistryException("Cannot write \"" + Name + "\": the key \"" + GetCurrentPath() +
                                 "\" is open read-only.");
    TRegistryStore::TKey* k = Store.FindKey(FRootKey, FCurrent);
    if (!k)
        throw ERegistryException("Cannot write \"" + Name + "\": the key \"" + GetCurrentPath() +
                                 "\" no longer exists.");
    return *k;
}

bool TRegistry::ValueExists(const std::string& Name) {
    TRegistryStore::TKey* k = Current();
    return k && k->Value(Name);
}

bool TRegistry::DeleteValue(const std::string& Name) {
    if (!ValueExists(Name)) return false;
    Change([&](TRegistryStore& s) {
        TRegistryStore::TKey& k = WritableCurrent(s, Name);
        std::erase_if(k.Values,
                      [&](const TRegistryStore::TValue& v) { return Utf8SameText(v.Name, Name); });
    });
    return true;
}

TRegDataType TRegistry::GetDataType(const std::string& Name) {
    TRegistryStore::TKey* k = Current();
    TRegistryStore::TValue* v = k ? k->Value(Name) : nullptr;
    return v ? v->Type : TRegDataType::rdUnknown;
}

std::string TRegistry::ReadString(const std::string& Name) {
    TRegistryStore::TKey* k = Current();
    TRegistryStore::TValue* v = k ? k->Value(Name) : nullptr;
    if (!v) return std::string();
    if (v->Type != TRegDataType::rdString)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return v->Str;
}

int TRegistry::ReadInteger(const std::string& Name) {
    TRegistryStore::TKey* k = Current();
    TRegistryStore::TValue* v = k ? k->Value(Name) : nullptr;
    if (!v) throw ERegistryException("Failed to get data for '" + Name + "'");
    if (v->Type != TRegDataType::rdInteger)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return v->Int;
}

namespace {

void PutValue(TRegistryStore::TKey& k, TRegistryStore::TValue v) {
    if (TRegistryStore::TValue* old = k.Value(v.Name)) {
        v.Name = old->Name;
        *old = std::move(v);
    } else {
        k.Values.push_back(std::move(v));
    }
}

}  // namespace

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    Refresh();
    WritableCurrent(FStore, Name);  // report a closed or read-only key before any work
    Change([&](TRegistryStore& s) {
        PutValue(WritableCurrent(s, Name),
                 TRegistryStore::TValue{Name, TRegDataType::rdString, Value, 0});
    });
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
    Refresh();
    WritableCurrent(FStore, Name);
    Change([&](TRegistryStore& s) {
        PutValue(WritableCurrent(s, Name),
                 TRegistryStore::TValue{Name, TRegDataType::rdInteger, {}, Value});
    });
}

void TRegistry::GetValueNames(TStrings* Strings) {
    TRegistryStore::TKey* k = Current();
    std::vector<std::string> names;
    if (k)
        for (const auto& v : k->Values) names.push_back(v.Name);
    Strings->BeginUpdate();
    Strings->Clear();
    Strings->AddStrings(names);
    Strings->EndUpdate();
}

void TRegistry::GetKeyNames(TStrings* Strings) {
    TRegistryStore::TKey* k = Current();
    std::vector<std::string> names;
    if (k)
        for (const auto& c : k->Keys) names.push_back(c.Name);
    Strings->BeginUpdate();
    Strings->Clear();
    Strings->AddStrings(names);
    Strings->EndUpdate();
}

// ---- TRegistryIniFile ----

TRegistryIniFile::TRegistryIniFile(const std::string& FileName, HKEY RootKey)
    : TCustomIniFile(FileName) {
    FReg.SetRootKey(RootKey);
}

std::string TRegistryIniFile::SectionPath(const std::string& Section) const {
    std::string p = "\\" + FFileName;
    if (!Section.empty()) p += "\\" + Section;
    return p;
}

bool TRegistryIniFile::OpenSection(const std::string& Section) {
    return FReg.OpenKeyReadOnly(SectionPath(Section));
}

std::string TRegistryIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default) {
    if (!OpenSection(Section)) return Default;
    switch (FReg.GetDataType(Ident)) {
        case TRegDataType::rdString:
            return FReg.ReadString(Ident);
        case TRegDataType::rdInteger:
            return std::to_string(FReg.ReadInteger(Ident));
        default:
            return Default;
    }
}

void TRegistryIniFile::WriteString(const std::string& Section, const std::string& Ident,
                                   const std::string& Value) {
    FReg.OpenKey(SectionPath(Section), true);
    FReg.WriteString(Ident, Value);
}

void TRegistryIniFile::WriteInteger(const std::string& Section, const std::string& Ident,
                                    int Value) {
    FReg.OpenKey(SectionPath(Section), true);
    FReg.WriteInteger(Ident, Value);
}

void TRegistryIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    if (OpenSection(Section))
        FReg.GetValueNames(Strings);
    else
        Strings->Clear();
}

void TRegistryIniFile::ReadSections(TStrings* Strings) {
    if (OpenSection(std::string()))
        FReg.GetKeyNames(Strings);
    else
        Strings->Clear();
}

void TRegistryIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    TStringList names;
    ReadSection(Section, &names);
    Strings->BeginUpdate();
    TScopeExit cleanup([&] { Strings->EndUpdate(); });
    Strings->Clear();
    for (int i = 0; i < names.Count(); ++i)
        Strings->Add(names[i] + "=" + ReadString(Section, names[i], std::string()));
}

bool TRegistryIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    return OpenSection(Section) && FReg.ValueExists(Ident);
}

void TRegistryIniFile::EraseSection(const std::string& Section) {
    FReg.CloseKey();
    FReg.DeleteKey(SectionPath(Section));
}

void TRegistryIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    if (!FReg.OpenKey(SectionPath(Section), false)) return;
    FReg.DeleteValue(Ident);
}

}  // namespace vel
