#include "platform/classes/Streaming.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Errors.h"
#include "platform/classes/PropAccess.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/classes/internal/FormText.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"

namespace vel {

using K = TFormValue::TKind;

namespace {

[[noreturn]] void Fail(int line, const std::string& message) {
    throw EReadError("Line " + std::to_string(line) + ": " + message);
}

std::string FloatText(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc()) return "0";
    // The shortest form of a large whole number has no point; past 64 bits the reader would
    // take it for an integer out of range, so such values are written with an exponent.
    if (std::find_if(buf, end, [](char c) { return c == '.' || c == 'e'; }) == end &&
        std::fabs(v) >= 9.2e18)
        end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    return std::string(buf, end);
}

std::string ObjectLabel(const TObject* o) {
    if (auto* c = dynamic_cast<const TComponent*>(o))
        if (!c->GetName().empty()) return c->GetName();
    return o->ClassName();
}

}  // namespace

std::string QuoteFormString(std::string_view Value) {
    if (Value.empty()) return "''";
    std::string out;
    bool open = false;
    for (char c : Value) {
        auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127) {
            if (open) out += '\'';
            open = false;
            out += '#';
            out += std::to_string(u);
        } else {
            if (!open) out += '\'';
            open = true;
            out += c;
            if (c == '\'') out += '\'';
        }
    }
    if (open) out += '\'';
    return out;
}

// ===================================================================== reading

class TFormReader;

struct TReader::TImpl {
    TFormReader* Owner = nullptr;
    const TFormValue* Value = nullptr;
    std::string Target;  // defined property being looked for
    bool Matched = false;
    int Line = 0;

    const TFormValue& Need(K kind, const char* what) const {
        if (Value->Kind != kind)
            Fail(Value->Line, "Property " + Target + " expects " + what + ", not " +
                                  FormValueKindName(Value->Kind));
        return *Value;
    }
};


class TFormReader {
public:
    explicit TFormReader(TComponent* root) : FImpl(), FReader(FImpl) {
        FImpl.Owner = this;
        FReader.FRoot = root;
        FRoot = root;
    }

    TComponent* ReadRoot(const TFormObject& o, TComponent* instance, TComponent* owner);
    void ReadLoneCollection(const TFormValue& v, TCollection* c);

    void ReadCollectionItems(TCollection* c, const TFormValue& v);

private:
    struct TFixup {
        TObject* Instance;
        const TPropInfo* Prop;
        std::string Name;
        std::string Path;
        int Line;
        std::vector<const TCollection*> Within;  // collections the instance lives in
    };

    TComponent* ReadObject(const TFormObject& o, TComponent* parent, TComponent* instance);
    void ApplyProperty(TObject* obj, const std::string& path, const TFormValue& v, int line);
    void SetValue(TObject* obj, const TPropInfo& p, const TFormValue& v, const std::string& path);
    void ResolveFixups();
    TComponent* FindReference(const std::string& name) const;
    void Cleanup(TComponent* instance, bool createdRoot);

    TReader::TImpl FImpl;
    TReader FReader;
    TComponent* FRoot = nullptr;
    std::vector<TComponent*> FLoaded;
    std::vector<TComponent*> FCreated;
    std::vector<TFixup> FFixups;
    std::vector<const TCollection*> FWithin;
};


void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                             const TWriterProc&, bool) {
    if (FImpl.Matched || !FImpl.Value || !Utf8SameText(Name, FImpl.Target)) return;
    FImpl.Matched = true;
    if (ReadData) ReadData(*this);
}

std::string TReader::ReadString() { return FImpl.Need(K::vkString, "a string").Str; }

std::int64_t TReader::ReadInteger() { return FImpl.Need(K::vkInteger, "an integer").Int; }

double TReader::ReadFloat() {
    if (FImpl.Value->Kind == K::vkInteger) return static_cast<double>(FImpl.Value->Int);
    return FImpl.Need(K::vkFloat, "a number").Float;
}

bool TReader::ReadBoolean() {
    const std::string& s = FImpl.Need(K::vkIdent, "True or False").Str;
    if (Utf8SameText(s, "True")) return true;
    if (Utf8SameText(s, "False")) return false;
    Fail(FImpl.Value->Line, "Property " + FImpl.Target + " expects True or False, not '" + s + "'");
}

std::string TReader::ReadIdent() { return FImpl.Need(K::vkIdent, "an identifier").Str; }

std::vector<std::string> TReader::ReadStrings() {
    const TFormValue& v = FImpl.Need(K::vkList, "a list of strings");
    std::vector<std::string> out;
    for (const TFormValue& e : v.List) {
        if (e.Kind != K::vkString)
            Fail(e.Line, "Property " + FImpl.Target + " expects strings in its list, not " +
                             FormValueKindName(e.Kind));
        out.push_back(e.Str);
    }
    return out;
}

std::vector<std::uint8_t> TReader::ReadBinary() {
    const std::string& bytes = FImpl.Need(K::vkBinary, "binary data").Str;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void TReader::ReadCollection(TCollection* Collection) {
    FImpl.Owner->ReadCollectionItems(Collection, FImpl.Need(K::vkCollection, "a collection"));
}

TComponent* TFormReader::ReadRoot(const TFormObject& o, TComponent* instance, TComponent* owner) {
    bool createdRoot = !instance;
    TComponent* root = instance;
    try {
        if (!root) {
            const TClassInfo* cls = GetClass(o.ClassName);
            if (!cls) throw EClassNotFound("Line " + std::to_string(o.Line) + ": Class " + o.ClassName + " not found");
            if (!cls->Factory || !cls->InheritsFrom(TComponent::StaticClass()))
                Fail(o.Line, "Class " + o.ClassName + " cannot be created by name");
            root = static_cast<TComponent*>(cls->Factory(owner));
        }
        FRoot = root;
        FReader.FRoot = root;
        ReadObject(o, nullptr, root);
        ResolveFixups();
        for (TComponent* c : FLoaded) c->Loaded();
        for (TComponent* c : FLoaded) {
            c->SetComponentStateFlag(TComponentStateFlag::csLoading, false);
            c->SetComponentStateFlag(TComponentStateFlag::csReading, false);
        }
        return root;
    } catch (...) {
        Cleanup(createdRoot ? root : instance, createdRoot);
        throw;
    }
}

void TFormReader::Cleanup(TComponent* root, bool createdRoot) {
    FFixups.clear();
    if (createdRoot) {
        delete root;  // takes every component it owns with it
        return;
    }
    for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) delete *it;
    if (root) {
        root->SetComponentStateFlag(TComponentStateFlag::csLoading, false);
        root->SetComponentStateFlag(TComponentStateFlag::csReading, false);
    }
}

TComponent* TFormReader::ReadObject(const TFormObject& o, TComponent* parent, TComponent* instance) {
    TComponent* comp = instance;
    if (!comp) {
        const TClassInfo* cls = GetClass(o.ClassName);
        if (!cls) throw EClassNotFound("Line " + std::to_string(o.Line) + ": Class " + o.ClassName + " not found");
        if (!cls->Factory || !cls->InheritsFrom(TComponent::StaticClass()))
            Fail(o.Line, "Class " + o.ClassName + " cannot be created by name");
        comp = static_cast<TComponent*>(cls->Factory(FRoot));
        FCreated.push_back(comp);
    } else if (!comp->InheritsFrom(o.ClassName)) {
        Fail(o.Line, "The text describes a " + o.ClassName + " but the component is a " + comp->ClassName());
    }
    comp->SetComponentStateFlag(TComponentStateFlag::csLoading, true);
    comp->SetComponentStateFlag(TComponentStateFlag::csReading, true);
    FLoaded.push_back(comp);
    try {
        if (!o.Name.empty()) comp->SetName(o.Name);
        if (parent) comp->SetParentComponent(parent);
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Fail(o.Line, e.Message());
    }
    for (const TFormProperty& p : o.Props) ApplyProperty(comp, p.Path, p.Value, p.Line);
    for (const TFormObject& child : o.Children) ReadObject(child, comp, nullptr);
    comp->SetComponentStateFlag(TComponentStateFlag::csReading, false);
    return comp;
}

void TFormReader::ApplyProperty(TObject* obj, const std::string& path, const TFormValue& v, int line) {
    TObject* target = obj;
    std::string_view rest = path;
    std::string where = ObjectLabel(obj);
    try {
        for (;;) {
            auto dot = rest.find('.');
            std::string_view seg = rest.substr(0, dot);
            const TPropInfo* p = GetPropInfo(target->ClassType(), seg);
            if (dot == std::string_view::npos) {
                // A published property that is never written gives way to stream data of the
                // same name the object defines itself (a grid streams its columns that way).
                if (p && p->StoredFlag) {
                    SetValue(target, *p, v, path);
                    return;
                }
                // Not published: maybe stream data the object defines itself.
                if (auto* pers = dynamic_cast<TPersistent*>(target)) {
                    TReader::TImpl saved = FImpl;
                    FImpl.Value = &v;
                    FImpl.Target = std::string(seg);
                    FImpl.Matched = false;
                    FImpl.Line = line;
                    if (auto* list = dynamic_cast<TStrings*>(pers))
                        FReader.DefineProperty(
                            "Strings",
                            [list](TReader& r) {
                                auto items = r.ReadStrings();
                                list->BeginUpdate();
                                list->Clear();
                                list->AddStrings(items);
                                list->EndUpdate();
                            },
                            nullptr, false);
                    pers->DefineProperties(FReader);
                    bool matched = FImpl.Matched;
                    FImpl = saved;
                    if (matched) return;
                }
                if (p) {
                    SetValue(target, *p, v, path);
                    return;
                }
                Fail(line, "Property " + path + " does not exist in " + where + " (" +
                               target->ClassName() + ")");
            }
            if (!p) Fail(line, "Property " + path + " does not exist in " + where + " (" + target->ClassName() + ")");
            if (p->Kind != TTypeKind::tkClass)
                Fail(line, "Property " + std::string(seg) + " of " + where + " has no sub-properties");
            TObject* next = p->GetObject(target);
            if (!next) Fail(line, "Property " + std::string(seg) + " of " + where + " is nil");
            if (dynamic_cast<TComponent*>(next) &&
                !static_cast<TComponent*>(next)->GetComponentStyle().Contains(TComponentStyleFlag::csSubComponent))
                Fail(line, "Property " + std::string(seg) + " of " + where +
                               " refers to another component; its properties are not stored here");
            target = next;
            where += "." + std::string(seg);
            rest = rest.substr(dot + 1);
        }
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Fail(line, "Error reading " + ObjectLabel(obj) + "." + path + ": " + e.Message());
    }
}

void TFormReader::SetValue(TObject* obj, const TPropInfo& p, const TFormValue& v, const std::string& path) {
    auto wrong = [&](const char* expected) {
        Fail(v.Line, "Property " + path + " expects " + expected + ", not " + FormValueKindName(v.Kind));
    };
    auto invalid = [&](const std::string& text) {
        Fail(v.Line, "Invalid value " + text + " for property " + path);
    };
    if (p.Kind != TTypeKind::tkClass && !p.IsWritable()) Fail(v.Line, "Property " + path + " is read-only");
    switch (p.Kind) {
        case TTypeKind::tkInteger:
        case TTypeKind::tkInt64: {
            std::int64_t n = 0;
            if (v.Kind == K::vkInteger) {
                n = v.Int;
            } else if (v.Kind == K::vkIdent) {
                if (!p.Idents || !p.Idents->FromIdent(v.Str, n)) invalid("'" + v.Str + "'");
            } else {
                wrong("an integer");
            }
            if (p.Kind == TTypeKind::tkInteger && (n < INT32_MIN || n > INT32_MAX))
                Fail(v.Line, "Value " + std::to_string(n) + " is out of range for property " + path);
            p.SetOrd(obj, n);
            return;
        }
        case TTypeKind::tkEnumeration: {
            if (v.Kind != K::vkIdent) wrong(p.IsBoolean ? "True or False" : "an enumeration value name");
            int n = p.EnumType->GetValue(v.Str);
            if (n < 0) invalid("'" + v.Str + "'");
            p.SetOrd(obj, n);
            return;
        }
        case TTypeKind::tkSet: {
            if (v.Kind != K::vkSet) wrong("a set");
            std::uint64_t mask = 0;
            for (const std::string& name : v.Names) {
                int n = p.EnumType->GetValue(name);
                if (n < 0 || n >= 64) invalid("'" + name + "'");
                mask |= std::uint64_t{1} << n;
            }
            p.SetOrd(obj, static_cast<std::int64_t>(mask));
            return;
        }
        case TTypeKind::tkFloat:
            if (v.Kind == K::vkInteger)
                p.SetFloat(obj, static_cast<double>(v.Int));
            else if (v.Kind == K::vkFloat)
                p.SetFloat(obj, v.Float);
            else
                wrong("a number");
            return;
        case TTypeKind::tkString:
            if (v.Kind != K::vkString) wrong("a string");
            p.SetStr(obj, v.Str);
            return;
        case TTypeKind::tkChar: {
            if (v.Kind != K::vkString) wrong("a character");
            if (!Utf8IsValid(v.Str) || Utf8Length(v.Str) != 1)
                invalid(QuoteFormString(v.Str) + " (not one character)");
            std::size_t pos = 0;
            p.SetOrd(obj, static_cast<std::int64_t>(Utf8Decode(v.Str, pos)));
            return;
        }
        case TTypeKind::tkClass: {
            if (v.Kind == K::vkCollection) {
                auto* c = dynamic_cast<TCollection*>(p.GetObject(obj));
                if (!c) Fail(v.Line, "Property " + path + " is not a collection");
                ReadCollectionItems(c, v);
                return;
            }
            if (v.Kind != K::vkIdent) wrong("a component name");
            if (!p.SetObject) Fail(v.Line, "Property " + path + " is read-only");
            if (Utf8SameText(v.Str, "nil")) {
                p.SetObject(obj, nullptr);
                return;
            }
            FFixups.push_back({obj, &p, v.Str, path, v.Line, FWithin});
            return;
        }
        case TTypeKind::tkUnknown: break;
    }
    Fail(v.Line, "Property " + path + " cannot be read");
}

void TFormReader::ReadCollectionItems(TCollection* c, const TFormValue& v) {
    // Items about to be freed must not keep pending references.
    std::erase_if(FFixups, [c](const TFixup& f) {
        return std::find(f.Within.begin(), f.Within.end(), c) != f.Within.end();
    });
    FWithin.push_back(c);
    c->BeginUpdate();
    TScopeExit cleanup([&] {
        FWithin.pop_back();
        c->EndUpdate();
    });
    c->Clear();
    for (const TFormItem& item : v.Items) {
        TCollectionItem* it = c->Add();
        for (const TFormProperty& p : item.Props) ApplyProperty(it, p.Path, p.Value, p.Line);
    }
}

TComponent* TFormReader::FindReference(const std::string& name) const {
    auto dot = name.find('.');
    if (dot == std::string::npos) {
        if (FRoot && Utf8SameText(FRoot->GetName(), name)) return FRoot;
        if (FRoot)
            if (TComponent* c = FRoot->FindComponent(name)) return c;
        return FindGlobalComponent(name);
    }
    std::string head = name.substr(0, dot);
    TComponent* base = nullptr;
    if (FRoot && Utf8SameText(FRoot->GetName(), head))
        base = FRoot;
    else
        base = FindGlobalComponent(head);
    TComponent* cur = base;
    std::string_view rest = std::string_view(name).substr(dot + 1);
    while (cur && !rest.empty()) {
        auto d = rest.find('.');
        cur = cur->FindComponent(rest.substr(0, d));
        rest = d == std::string_view::npos ? std::string_view() : rest.substr(d + 1);
    }
    return cur;
}

void TFormReader::ResolveFixups() {
    std::vector<TFixup> fixups = std::move(FFixups);
    FFixups.clear();
    for (const TFixup& f : fixups) {
        TComponent* target = FindReference(f.Name);
        if (!target)
            Fail(f.Line, "Property " + f.Path + " refers to " + f.Name + ", which does not exist");
        try {
            f.Prop->SetObject(f.Instance, target);
        } catch (const Exception& e) {
            Fail(f.Line, "Error setting " + f.Path + " to " + f.Name + ": " + e.Message());
        }
    }
}

void TFormReader::ReadLoneCollection(const TFormValue& v, TCollection* c) {
    ReadCollectionItems(c, v);
    ResolveFixups();
}

TComponent* ReadComponentText(std::string_view Text, TComponent* Instance, TComponent* Owner) {
    TFormObject o = ParseFormText(Text);
    TFormReader reader(Instance);
    return reader.ReadRoot(o, Instance, Owner);
}

void ReadCollectionText(std::string_view Text, TCollection* Collection, TComponent* Root) {
    TFormValue v = ParseCollectionText(Text);
    TFormReader reader(Root);
    reader.ReadLoneCollection(v, Collection);
}

// ===================================================================== writing

class TFormWriter;

struct TWriter::TImpl {
    TFormWriter* Owner = nullptr;
    int Indent = 0;
    std::string Prefix;
};

class TFormWriter {
public:
    explicit TFormWriter(const TComponent* root) : FImpl(), FWriter(FImpl) {
        FImpl.Owner = this;
        FRoot = const_cast<TComponent*>(root);
        FWriter.FRoot = FRoot;
    }

    void WriteObject(const TComponent* c, int indent);
    void WriteCollectionValue(const TCollection* c, int indent);
    void WriteProperties(const TObject* obj, const std::string& prefix, int indent);
    void Indent(int n) { Out.append(static_cast<std::size_t>(n) * 2, ' '); }

    std::string Out;

private:
    std::string ReferenceName(const TComponent* c) const;
    void WriteValueProp(const TObject* obj, const TPropInfo& p, const std::string& name, int indent);

    TWriter::TImpl FImpl;
    TWriter FWriter;
    TComponent* FRoot = nullptr;
    std::vector<const TObject*> FPath;  // objects being written, against cycles
};

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
    if (!HasData || !WriteData) return;
    TFormWriter& w = *FImpl.Owner;
    w.Indent(FImpl.Indent);
    w.Out += FImpl.Prefix + Name;
    w.Out += " = ";
    WriteData(*this);
    w.Out += '\n';
}

void TWriter::WriteString(const std::string& Value) { FImpl.Owner->Out += QuoteFormString(Value); }

void TWriter::WriteInteger(std::int64_t Value) { FImpl.Owner->Out += std::to_string(Value); }

void TWriter::WriteFloat(double Value) { FImpl.Owner->Out += FloatText(Value); }

void TWriter::WriteBoolean(bool Value) { FImpl.Owner->Out += Value ? "True" : "False"; }

void TWriter::WriteIdent(const std::string& Value) { FImpl.Owner->Out += Value; }

void TWriter::WriteStrings(const std::vector<std::string>& Values) {
    TFormWriter& w = *FImpl.Owner;
    w.Out += '(';
    for (const std::string& s : Values) {
        w.Out += '\n';
        w.Indent(FImpl.Indent + 1);
        w.Out += QuoteFormString(s);
    }
    w.Out += ')';
}

void TWriter::WriteBinary(const std::uint8_t* Data, std::size_t Size) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    constexpr std::size_t kBytesPerLine = 32;
    TFormWriter& w = *FImpl.Owner;
    w.Out += '{';
    for (std::size_t i = 0; i < Size; ++i) {
        if (i % kBytesPerLine == 0) {
            w.Out += '\n';
            w.Indent(FImpl.Indent + 1);
        }
        w.Out += kHex[Data[i] >> 4];
        w.Out += kHex[Data[i] & 15];
    }
    w.Out += '}';
}

void TWriter::WriteCollection(const TCollection* Collection) {
    FImpl.Owner->WriteCollectionValue(Collection, FImpl.Indent);
}

std::string TFormWriter::ReferenceName(const TComponent* c) const {
    if (c->GetName().empty()) return {};
    const TComponent* owner = c->GetOwner();
    if (c == FRoot || !owner || owner == FRoot) return c->GetName();
    if (owner->GetName().empty()) return {};
    return owner->GetName() + "." + c->GetName();
}

void TFormWriter::WriteValueProp(const TObject* obj, const TPropInfo& p, const std::string& name,
                                 int indent) {
    std::string text;
    switch (p.Kind) {
        case TTypeKind::tkInteger:
        case TTypeKind::tkInt64: {
            std::int64_t v = p.GetOrd(obj);
            if (!p.Idents || !p.Idents->ToIdent(v, text)) text = std::to_string(v);
            break;
        }
        case TTypeKind::tkEnumeration: text = p.EnumType->GetName(p.GetOrd(obj)); break;
        case TTypeKind::tkSet:
            text = SetToString(p.EnumType, static_cast<std::uint64_t>(p.GetOrd(obj)), true);
            break;
        case TTypeKind::tkFloat: text = FloatText(p.GetFloat(obj)); break;
        case TTypeKind::tkString: text = QuoteFormString(p.GetStr(obj)); break;
        case TTypeKind::tkChar: {
            // Printable characters quoted, control characters by code.
            const auto c = static_cast<char32_t>(p.GetOrd(obj));
            if (c < 32 || (c >= 127 && c < 160))
                text = "#" + std::to_string(std::uint32_t(c));
            else
                text = QuoteFormString(Utf8Encode(c));
            break;
        }
        default: return;
    }
    if (text.empty()) return;  // an enumeration value without a name cannot be read back
    Indent(indent);
    Out += name + " = " + text + "\n";
}

void TFormWriter::WriteProperties(const TObject* obj, const std::string& prefix, int indent) {
    if (std::find(FPath.begin(), FPath.end(), obj) != FPath.end() || FPath.size() > 32) return;
    FPath.push_back(obj);
    for (const TPropInfo* p : GetPropList(obj)) {
        if (!p->IsStored(obj)) continue;
        std::string name = prefix + p->Name;
        if (p->Kind != TTypeKind::tkClass) {
            if (!p->IsDefaultValue(obj)) WriteValueProp(obj, *p, name, indent);
            continue;
        }
        TObject* value = p->GetObject(obj);
        if (!value) continue;
        auto* comp = dynamic_cast<TComponent*>(value);
        if (comp && !comp->GetComponentStyle().Contains(TComponentStyleFlag::csSubComponent)) {
            std::string ref = ReferenceName(comp);
            if (ref.empty()) continue;
            Indent(indent);
            Out += name + " = " + ref + "\n";
        } else if (auto* coll = dynamic_cast<TCollection*>(value)) {
            Indent(indent);
            Out += name + " = ";
            WriteCollectionValue(coll, indent);
            Out += '\n';
        } else if (dynamic_cast<TPersistent*>(value)) {
            WriteProperties(value, name + ".", indent);
        }
    }
    if (auto* pers = dynamic_cast<const TPersistent*>(obj)) {
        // Defined properties carry the same prefix as the object's published ones.
        TWriter::TImpl saved = FImpl;
        FImpl.Indent = indent;
        FImpl.Prefix = prefix;
        // A string list streams its items as "Strings", like the classic lists.
        if (auto* list = dynamic_cast<const TStrings*>(pers))
            FWriter.DefineProperty(
                "Strings", nullptr, [list](TWriter& w) { w.WriteStrings(list->ToStringArray()); },
                list->Count() > 0);
        const_cast<TPersistent*>(pers)->DefineProperties(FWriter);
        FImpl = saved;
    }
    FPath.pop_back();
}

void TFormWriter::WriteCollectionValue(const TCollection* c, int indent) {
    Out += '<';
    for (int i = 0; i < c->Count(); ++i) {
        Out += '\n';
        Indent(indent + 1);
        Out += "item\n";
        WriteProperties(c->GetItem(i), std::string(), indent + 2);
        Indent(indent + 1);
        Out += "end";
    }
    Out += '>';
}

void TFormWriter::WriteObject(const TComponent* c, int indent) {
    Indent(indent);
    Out += "object ";
    if (!c->GetName().empty()) Out += c->GetName() + ": ";
    Out += c->ClassName() + "\n";
    WriteProperties(c, std::string(), indent + 1);
    const_cast<TComponent*>(c)->GetChildren([&](TComponent* child) { WriteObject(child, indent + 1); },
                                            FRoot);
    Indent(indent);
    Out += "end\n";
}

std::string ComponentToText(const TComponent* Root) {
    TFormWriter w(Root);
    const_cast<TComponent*>(Root)->SetComponentStateFlag(TComponentStateFlag::csWriting, true);
    {
        TScopeExit cleanup([&] {
            const_cast<TComponent*>(Root)->SetComponentStateFlag(TComponentStateFlag::csWriting,
                                                                 false);
        });
        w.WriteObject(Root, 0);
    }
    return w.Out;
}

std::string CollectionToText(const TCollection* Collection) {
    TFormWriter w(nullptr);
    w.WriteCollectionValue(Collection, 0);
    w.Out += '\n';
    return w.Out;
}

// ===================================================================== files and streams

void SaveComponentToFile(const TComponent* Root, const std::string& FileName) {
    WriteFileAtomic(FileName, ComponentToText(Root));
}

TComponent* LoadComponentFromFile(const std::string& FileName, TComponent* Instance, TComponent* Owner) {
    return ReadComponentText(ReadFileBytes(FileName), Instance, Owner);
}

void SaveCollectionToFile(const TCollection* Collection, const std::string& FileName) {
    WriteFileAtomic(FileName, CollectionToText(Collection));
}

void LoadCollectionFromFile(const std::string& FileName, TCollection* Collection, TComponent* Root) {
    ReadCollectionText(ReadFileBytes(FileName), Collection, Root);
}

void WriteComponent(TStream* Stream, const TComponent* Root) { Stream->WriteString(ComponentToText(Root)); }

TComponent* ReadComponent(TStream* Stream, TComponent* Instance, TComponent* Owner) {
    return ReadComponentText(Stream->ReadToEnd(), Instance, Owner);
}

void WriteCollection(TStream* Stream, const TCollection* Collection) {
    Stream->WriteString(CollectionToText(Collection));
}

void ReadCollection(TStream* Stream, TCollection* Collection, TComponent* Root) {
    ReadCollectionText(Stream->ReadToEnd(), Collection, Root);
}

}  // namespace vel
