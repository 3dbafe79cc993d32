#include "platform/classes/IniFiles.h"

#include <vector>

#include "platform/classes/Errors.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace vel {

VEL_DEFINE_CLASS(TCustomIniFile, TObject)
VEL_DEFINE_CLASS(TMemIniFile, TCustomIniFile)
VEL_DEFINE_CLASS(TIniFile, TCustomIniFile)

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

// The parsed file: lines before the first section, then the sections with their lines.
// Unchanged lines keep their original text, so a rewrite changes only what was written.
class TIniDocument {
public:
    struct TLine {
        bool Entry = false;
        std::string Key, Value;  // for entries
        std::string Raw;         // the text written back
    };
    struct TSection {
        std::string Name;
        std::vector<TLine> Lines;
    };
    std::vector<TLine> Preamble;
    std::vector<TSection> Sections;

    void Parse(std::string_view text) {
        Preamble.clear();
        Sections.clear();
        while (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        TSection* cur = nullptr;
        std::size_t i = 0, n = text.size();
        while (i < n) {
            std::size_t start = i;
            while (i < n && text[i] != '\n' && text[i] != '\r') ++i;
            std::string_view line = text.substr(start, i - start);
            if (i < n) i += (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;

            std::string_view t = TrimView(line);
            if (!t.empty() && t[0] == '[') {
                // A missing ']' is forgiven: the rest of the line is the name.
                std::string_view name = t.substr(1);
                std::size_t close = name.find(']');
                if (close != std::string_view::npos) name = name.substr(0, close);
                name = TrimView(name);
                cur = Find(name);
                if (!cur) {
                    Sections.push_back(TSection{std::string(name), {}});
                    cur = &Sections.back();
                }
                continue;
            }
            TLine l;
            l.Raw = std::string(line);
            std::size_t eq = line.find('=');
            if (cur && !t.empty() && t[0] != ';' && t[0] != '#' && eq != std::string_view::npos) {
                std::string_view key = TrimView(line.substr(0, eq));
                if (!key.empty()) {
                    l.Entry = true;
                    l.Key = std::string(key);
                    l.Value = std::string(line.substr(eq + 1));
                }
            }
            (cur ? cur->Lines : Preamble).push_back(std::move(l));
        }
    }

    std::string Text() const {
        std::string out;
        for (const TLine& l : Preamble) out += l.Raw + "\n";
        for (const TSection& s : Sections) {
            out += "[" + s.Name + "]\n";
            for (const TLine& l : s.Lines) out += l.Raw + "\n";
        }
        return out;
    }

    TSection* Find(std::string_view name) {
        for (TSection& s : Sections)
            if (Utf8SameText(s.Name, name)) return &s;
        return nullptr;
    }

    const TLine* FindEntry(std::string_view section, std::string_view key) {
        TSection* s = Find(section);
        if (!s) return nullptr;
        for (const TLine& l : s->Lines)
            if (l.Entry && Utf8SameText(l.Key, key)) return &l;
        return nullptr;
    }

    static void CheckNames(const std::string& section, const std::string& key) {
        if (HasLineBreak(section) || section.find(']') != std::string::npos ||
            TrimView(section).size() != section.size())
            throw EIniFileException("Invalid INI section name \"" + section + "\".");
        if (key.empty() || HasLineBreak(key) || key.find('=') != std::string::npos ||
            key[0] == '[' || key[0] == ';' || key[0] == '#' || TrimView(key).size() != key.size())
            throw EIniFileException("Invalid INI key name \"" + key + "\" in section \"" + section +
                                    "\".");
    }

    void Write(const std::string& section, const std::string& key, const std::string& value) {
        CheckNames(section, key);
        if (HasLineBreak(value))
            throw EIniFileException("The value of \"" + key + "\" in section \"" + section +
                                    "\" contains a line break, which an INI file cannot hold.");
        TSection* s = Find(section);
        if (!s) {
            // Keep sections apart with a blank line, as people write them.
            bool any = !Preamble.empty() || !Sections.empty();
            std::vector<TLine>& last = Sections.empty() ? Preamble : Sections.back().Lines;
            if (any && (last.empty() || !TrimView(last.back().Raw).empty()))
                last.push_back(TLine{});
            Sections.push_back(TSection{section, {}});
            s = &Sections.back();
        }
        TLine line{true, key, value, key + "=" + value};
        std::size_t insertAt = 0;
        for (std::size_t i = 0; i < s->Lines.size(); ++i) {
            TLine& l = s->Lines[i];
            if (!l.Entry) continue;
            if (Utf8SameText(l.Key, key)) {
                l.Value = value;
                l.Raw = l.Key + "=" + value;
                return;
            }
            insertAt = i + 1;
        }
        s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
    }

    void Erase(const std::string& section) {
        for (std::size_t i = 0; i < Sections.size(); ++i)
            if (Utf8SameText(Sections[i].Name, section)) {
                Sections.erase(Sections.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
    }

    void DeleteKey(const std::string& section, const std::string& key) {
        TSection* s = Find(section);
        if (!s) return;
        std::erase_if(s->Lines,
                      [&](const TLine& l) { return l.Entry && Utf8SameText(l.Key, key); });
    }

    void ReadSection(const std::string& section, TStrings* list, bool values) {
        list->BeginUpdate();
        TScopeExit cleanup([&] { list->EndUpdate(); });
        list->Clear();
        if (TSection* s = Find(section))
            for (const TLine& l : s->Lines)
                if (l.Entry) list->Add(values ? l.Key + "=" + l.Value : l.Key);
    }

    void ReadSections(TStrings* list) {
        list->BeginUpdate();
        TScopeExit cleanup([&] { list->EndUpdate(); });
        list->Clear();
        for (const TSection& s : Sections) list->Add(s.Name);
    }
};

// ---- TCustomIniFile ----

namespace {

// Values are written with invariant settings so that files move between locales; reading
// also accepts the current locale, which older files may have used.
const TFormatSettings& Invariant() {
    static const TFormatSettings fs = TFormatSettings::Invariant();
    return fs;
}

bool ParseInt(std::string_view s, int& out) {
    return TryStrToInt(TrimView(s), out);
}

}  // namespace

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    int v;
    return ParseInt(ReadString(Section, Ident, std::string()), v) ? v : Default;
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    std::string s = ReadString(Section, Ident, std::string());
    std::string_view t = TrimView(s);
    if (Utf8SameText(t, "true")) return true;
    if (Utf8SameText(t, "false")) return false;
    int v;
    return ParseInt(t, v) ? v != 0 : Default;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident,
                                 double Default) {
    std::string s = ReadString(Section, Ident, std::string());
    double v;
    if (TryStrToFloat(s, v, Invariant()) || TryStrToFloat(s, v)) return v;
    return Default;
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident,
                                double Value) {
    WriteString(Section, Ident, FloatToStr(Value, Invariant()));
}

namespace {

using TDateReader = bool (*)(const std::string&, TDateTime&, const TFormatSettings&);

TDateTime ReadDateValue(TCustomIniFile* ini, const std::string& Section, const std::string& Ident,
                        TDateTime Default, TDateReader Reader) {
    std::string s(TrimView(ini->ReadString(Section, Ident, std::string())));
    TDateTime v;
    if (Reader(s, v, Invariant()) || Reader(s, v, FormatSettings())) return v;
    return Default;
}

}  // namespace

TDateTime TCustomIniFile::ReadDate(const std::string& Section, const std::string& Ident,
                                   TDateTime Default) {
    return ReadDateValue(this, Section, Ident, Default, &TryStrToDate);
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& Section, const std::string& Ident,
                                       TDateTime Default) {
    return ReadDateValue(this, Section, Ident, Default, &TryStrToDateTime);
}

TDateTime TCustomIniFile::ReadTime(const std::string& Section, const std::string& Ident,
                                   TDateTime Default) {
    return ReadDateValue(this, Section, Ident, Default, &TryStrToTime);
}

void TCustomIniFile::WriteDate(const std::string& Section, const std::string& Ident,
                               TDateTime Value) {
    WriteString(Section, Ident, DateToStr(Value, Invariant()));
}

void TCustomIniFile::WriteDateTime(const std::string& Section, const std::string& Ident,
                                   TDateTime Value) {
    WriteString(Section, Ident, DateTimeToStr(Value, Invariant()));
}

void TCustomIniFile::WriteTime(const std::string& Section, const std::string& Ident,
                               TDateTime Value) {
    WriteString(Section, Ident, TimeToStr(Value, Invariant()));
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---- shared file helpers ----

namespace {

std::string LoadIniText(const std::string& FileName) {
    try {
        return ReadFileBytes(FileName);
    } catch (const EFOpenError& e) {
        throw EIniFileException("Cannot read the INI file \"" + FileName + "\": " + e.Message());
    }
}

void SaveIniText(const std::string& FileName, const std::string& Text) {
    try {
        WriteFileAtomic(FileName, Text);
    } catch (const EStreamError& e) {
        throw EIniFileException("Unable to write to \"" + FileName + "\": " + e.Message());
    }
}

}  // namespace

// ---- TMemIniFile ----

TMemIniFile::TMemIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FDoc(std::make_unique<TIniDocument>()) {
    Rename(FileName, true);
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
    if (Reload) {
        TIniDocument doc;
        if (!FileName.empty() && GetFileStamp(FileName) != TFileStamp{})
            doc.Parse(LoadIniText(FileName));
        *FDoc = std::move(doc);
    }
    FFileName = FileName;
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) {
    const TIniDocument::TLine* l = FDoc->FindEntry(Section, Ident);
    return l ? l->Value : Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    FDoc->Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    FDoc->ReadSection(Section, Strings, false);
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    FDoc->ReadSections(Strings);
}

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    FDoc->ReadSection(Section, Strings, true);
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    return FDoc->FindEntry(Section, Ident) != nullptr;
}

void TMemIniFile::EraseSection(const std::string& Section) {
    FDoc->Erase(Section);
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    FDoc->DeleteKey(Section, Ident);
}

void TMemIniFile::UpdateFile() {
    if (!FFileName.empty()) SaveIniText(FFileName, FDoc->Text());
}

void TMemIniFile::Clear() {
    *FDoc = TIniDocument();
}

void TMemIniFile::GetStrings(TStrings* List) const {
    List->SetText(FDoc->Text());
}

void TMemIniFile::SetStrings(const TStrings* List) {
    FDoc->Parse(List->GetText());
}

std::string TMemIniFile::GetText() const {
    return FDoc->Text();
}

void TMemIniFile::SetText(std::string_view Text) {
    FDoc->Parse(Text);
}

// ---- TIniFile ----

TIniFile::TIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FDoc(std::make_unique<TIniDocument>()) {
    if (FileName.empty()) throw EIniFileException("An INI file needs a file name.");
    Refresh();
}

TIniFile::~TIniFile() = default;

void TIniFile::Refresh() {
    TFileStamp now = GetFileStamp(FFileName);
    if (now == FStamp) return;
    TIniDocument doc;
    if (now != TFileStamp{}) doc.Parse(LoadIniText(FFileName));
    *FDoc = std::move(doc);
    FStamp = now;
}

template <class F>
void TIniFile::Change(F&& Mutate) {
    Refresh();
    TIniDocument next = *FDoc;
    Mutate(next);
    SaveIniText(FFileName, next.Text());
    *FDoc = std::move(next);
    FStamp = GetFileStamp(FFileName);
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) {
    Refresh();
    const TIniDocument::TLine* l = FDoc->FindEntry(Section, Ident);
    return l ? l->Value : Default;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident,
                           const std::string& Value) {
    Change([&](TIniDocument& d) { d.Write(Section, Ident, Value); });
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Refresh();
    FDoc->ReadSection(Section, Strings, false);
}

void TIniFile::ReadSections(TStrings* Strings) {
    Refresh();
    FDoc->ReadSections(Strings);
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    Refresh();
    FDoc->ReadSection(Section, Strings, true);
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    Refresh();
    return FDoc->FindEntry(Section, Ident) != nullptr;
}

void TIniFile::EraseSection(const std::string& Section) {
    Refresh();
    if (!FDoc->Find(Section)) return;
    Change([&](TIniDocument& d) { d.Erase(Section); });
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    Refresh();
    if (!FDoc->FindEntry(Section, Ident)) return;
    Change([&](TIniDocument& d) { d.DeleteKey(Section, Ident); });
}

void TIniFile::UpdateFile() {
    Refresh();
}

}  // namespace vel
