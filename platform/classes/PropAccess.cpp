#include "platform/classes/PropAccess.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/classes/Errors.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"
#include "platform/rtl/Variant.h"

namespace vel {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string ClassNameOf(const TObject* o) { return o ? o->ClassName() : std::string("nil"); }

[[noreturn]] void NotPublished(const TObject* instance, std::string_view path) {
    throw EPropertyError("Property " + std::string(path) + " is not published by " +
                         ClassNameOf(instance) + ".");
}

// Resolves a path or raises; Instance becomes the holder of the last property.
const TPropInfo& Need(const TObject*& instance, std::string_view path) {
    const TObject* start = instance;
    const TPropInfo* p = ResolvePropPath(instance, path);
    if (!p) NotPublished(start, path);
    return *p;
}

[[noreturn]] void WrongKind(const TPropInfo& p, const char* wanted) {
    throw EPropertyError("Property " + p.Name + " is not " + wanted + ".");
}

[[noreturn]] void ReadOnly(const TPropInfo& p) {
    throw EPropertyError("Property " + p.Name + " is read-only.");
}

void BuildTable(const TClassInfo* cls);

const std::vector<const TPropInfo*>& EmptyList() {
    static const std::vector<const TPropInfo*> empty;
    return empty;
}

std::string FloatText(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

}  // namespace

// ---- descriptors ----

std::string TEnumInfo::GetName(std::int64_t Value) const {
    if (Value < 0 || Value >= static_cast<std::int64_t>(Names.size())) return {};
    return Names[static_cast<std::size_t>(Value)];
}

int TEnumInfo::GetValue(std::string_view Name) const {
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (Utf8SameText(Names[i], Name)) return static_cast<int>(i);
    return -1;
}

const TEnumInfo* BooleanEnumInfo() {
    static const TEnumInfo info{"Boolean", {"False", "True"}};
    return &info;
}

TEnumInfo MakeEnumInfo(const char* TypeName, const char* NamesText,
                       const std::vector<std::int64_t>& Values) {
    TEnumInfo info{TypeName, {}};
    std::string_view text = NamesText;
    while (!text.empty()) {
        auto comma = text.find(',');
        info.Names.emplace_back(Trim(text.substr(0, comma)));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    if (info.Names.size() != Values.size())
        throw EInvalidArgument(std::string("Bad value list for enumeration ") + TypeName + ".");
    for (std::size_t i = 0; i < Values.size(); ++i)
        if (Values[i] != static_cast<std::int64_t>(i))
            throw EInvalidArgument(std::string("Enumeration ") + TypeName + " value " +
                                   info.Names[i] + " is listed out of order.");
    return info;
}

bool TPropInfo::IsWritable() const {
    switch (Kind) {
        case TTypeKind::tkString: return static_cast<bool>(SetStr);
        case TTypeKind::tkFloat: return static_cast<bool>(SetFloat);
        case TTypeKind::tkClass: return static_cast<bool>(SetObject);
        default: return static_cast<bool>(SetOrd);
    }
}

bool TPropInfo::IsOrdinal() const {
    return Kind == TTypeKind::tkInteger || Kind == TTypeKind::tkInt64 ||
           Kind == TTypeKind::tkEnumeration || Kind == TTypeKind::tkSet ||
           Kind == TTypeKind::tkChar;
}

bool TPropInfo::IsStored(const TObject* Instance) const {
    if (!StoredFlag) return false;
    return !StoredFn || StoredFn(Instance);
}

bool TPropInfo::IsDefaultValue(const TObject* Instance) const {
    switch (Kind) {
        case TTypeKind::tkString: return GetStr(Instance) == StrDefault;
        case TTypeKind::tkFloat: return HasDefault && GetFloat(Instance) == FloatDefault;
        case TTypeKind::tkClass: return GetObject(Instance) == nullptr;
        case TTypeKind::tkUnknown: return true;
        default: return HasDefault && GetOrd(Instance) == OrdDefault;
    }
}

// ---- registry ----

bool RegisterPublished(const TClassInfo* Class, std::function<void(TPropertyTable&)> Builder) {
    auto* cls = const_cast<TClassInfo*>(Class);  // the class info itself is a mutable static
    if (!cls->Properties) cls->Properties = new TPropertyTable;
    cls->Properties->Builder = std::move(Builder);
    return true;
}

namespace {

void BuildTable(const TClassInfo* cls) {
    TPropertyTable* t = cls->Properties;
    if (!t || t->Built) return;
    t->Built = true;
    if (t->Builder) t->Builder(*t);
    if (cls->Parent) t->All = GetPropList(cls->Parent);
    for (auto& own : t->Own) {
        bool replaced = false;
        for (auto& inherited : t->All)
            if (Utf8SameText(inherited->Name, own->Name)) {
                inherited = own.get();
                replaced = true;
            }
        if (!replaced) t->All.push_back(own.get());
    }
}

}  // namespace

const std::vector<const TPropInfo*>& GetPropList(const TClassInfo* Class) {
    for (const TClassInfo* c = Class; c; c = c->Parent)
        if (c->Properties) {
            BuildTable(c);
            return c->Properties->All;
        }
    return EmptyList();
}

const std::vector<const TPropInfo*>& GetPropList(const TObject* Instance) {
    return Instance ? GetPropList(Instance->ClassType()) : EmptyList();
}

const TPropInfo* GetPropInfo(const TClassInfo* Class, std::string_view Name) {
    for (const TPropInfo* p : GetPropList(Class))
        if (Utf8SameText(p->Name, Name)) return p;
    return nullptr;
}

const TPropInfo* ResolvePropPath(const TObject*& Instance, std::string_view Path) {
    while (Instance) {
        auto dot = Path.find('.');
        const TPropInfo* p = GetPropInfo(Instance->ClassType(), Path.substr(0, dot));
        if (!p || dot == std::string_view::npos) return p;
        if (p->Kind != TTypeKind::tkClass) return nullptr;
        Instance = p->GetObject(Instance);
        Path = Path.substr(dot + 1);
    }
    return nullptr;
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::string_view Path) {
    return ResolvePropPath(Instance, Path);
}

bool IsPublishedProp(const TObject* Instance, std::string_view Path) {
    return GetPropInfo(Instance, Path) != nullptr;
}

bool IsPublishedProp(const TClassInfo* Class, std::string_view Name) {
    return GetPropInfo(Class, Name) != nullptr;
}

bool PropIsType(const TObject* Instance, std::string_view Path, TTypeKind Kind) {
    const TPropInfo* p = GetPropInfo(Instance, Path);
    return p && p->Kind == Kind;
}

TTypeKind PropType(const TObject* Instance, std::string_view Path) {
    return Need(Instance, Path).Kind;
}

// ---- typed access ----

std::string GetStrProp(const TObject* Instance, std::string_view Path) {
    const TPropInfo& p = Need(Instance, Path);
    if (p.Kind != TTypeKind::tkString) WrongKind(p, "a string property");
    return p.GetStr(Instance);
}

void SetStrProp(TObject* Instance, std::string_view Path, const std::string& Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    if (p.Kind != TTypeKind::tkString) WrongKind(p, "a string property");
    if (!p.SetStr) ReadOnly(p);
    p.SetStr(const_cast<TObject*>(holder), Value);
}

std::int64_t GetOrdProp(const TObject* Instance, std::string_view Path) {
    const TPropInfo& p = Need(Instance, Path);
    if (!p.IsOrdinal()) WrongKind(p, "an ordinal property");
    return p.GetOrd(Instance);
}

void SetOrdProp(TObject* Instance, std::string_view Path, std::int64_t Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    if (!p.IsOrdinal()) WrongKind(p, "an ordinal property");
    if (!p.SetOrd) ReadOnly(p);
    p.SetOrd(const_cast<TObject*>(holder), Value);
}

std::string GetEnumProp(const TObject* Instance, std::string_view Path) {
    const TPropInfo& p = Need(Instance, Path);
    if (p.Kind != TTypeKind::tkEnumeration) WrongKind(p, "an enumeration property");
    return p.EnumType->GetName(p.GetOrd(Instance));
}

void SetEnumProp(TObject* Instance, std::string_view Path, std::string_view Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    if (p.Kind != TTypeKind::tkEnumeration) WrongKind(p, "an enumeration property");
    if (!p.SetOrd) ReadOnly(p);
    int v = p.EnumType->GetValue(Trim(Value));
    if (v < 0)
        throw EPropertyError("'" + std::string(Value) + "' is not a valid " +
                             p.EnumType->TypeName + " value for property " + p.Name + ".");
    p.SetOrd(const_cast<TObject*>(holder), v);
}

Variant GetPropValue(const TObject* Instance, std::string_view Path, bool PreferStrings) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    switch (p.Kind) {
        case TTypeKind::tkString: return Variant(p.GetStr(holder));
        case TTypeKind::tkFloat: return Variant(p.GetFloat(holder));
        case TTypeKind::tkInteger: return Variant(static_cast<int>(p.GetOrd(holder)));
        case TTypeKind::tkInt64: return Variant(static_cast<long long>(p.GetOrd(holder)));
        case TTypeKind::tkEnumeration:
            if (p.IsBoolean) return Variant(p.GetOrd(holder) != 0);
            if (PreferStrings) return Variant(p.EnumType->GetName(p.GetOrd(holder)));
            return Variant(static_cast<int>(p.GetOrd(holder)));
        case TTypeKind::tkSet:
            if (PreferStrings)
                return Variant(SetToString(p.EnumType, static_cast<std::uint64_t>(p.GetOrd(holder)), true));
            return Variant(static_cast<long long>(p.GetOrd(holder)));
        case TTypeKind::tkChar:
            if (PreferStrings) return Variant(GetPropText(holder, p.Name));
            return Variant(static_cast<int>(p.GetOrd(holder)));
        default: WrongKind(p, "a value property");
    }
}

void SetPropValue(TObject* Instance, std::string_view Path, const Variant& Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    auto* target = const_cast<TObject*>(holder);
    if (!p.IsWritable()) ReadOnly(p);
    if (Value.VarType() == TVarType::varString || p.Kind == TTypeKind::tkString) {
        if (p.Kind == TTypeKind::tkString)
            p.SetStr(target, Value.AsString());
        else
            SetPropText(target, Path, Value.AsString());
        return;
    }
    switch (p.Kind) {
        case TTypeKind::tkFloat: p.SetFloat(target, Value.AsFloat()); return;
        case TTypeKind::tkInteger: p.SetOrd(target, Value.AsInteger()); return;
        case TTypeKind::tkEnumeration:
            if (p.IsBoolean) {
                p.SetOrd(target, Value.AsBoolean() ? 1 : 0);
                return;
            }
            [[fallthrough]];
        case TTypeKind::tkInt64:
        case TTypeKind::tkSet:
        case TTypeKind::tkChar:
            p.SetOrd(target, Value.AsInt64());
            return;
        default: WrongKind(p, "a value property");
    }
}

namespace {

void CopyProps(const TObject* src, TObject* dst, int depth) {
    if (!src || !dst || src == dst || depth > 16) return;
    for (const TPropInfo* d : GetPropList(dst)) {
        if (!d->StoredFlag) continue;
        const TPropInfo* s = GetPropInfo(src->ClassType(), d->Name);
        if (!s || s->Kind != d->Kind) continue;
        switch (d->Kind) {
            case TTypeKind::tkString:
                if (d->SetStr) d->SetStr(dst, s->GetStr(src));
                break;
            case TTypeKind::tkFloat:
                if (d->SetFloat) d->SetFloat(dst, s->GetFloat(src));
                break;
            case TTypeKind::tkClass: {
                TObject* sv = s->GetObject(src);
                TObject* dv = d->GetObject(dst);
                auto* sp = dynamic_cast<TPersistent*>(sv);
                auto* dp = dynamic_cast<TPersistent*>(dv);
                if (!sv) {
                    if (d->SetObject && (!dv || dv->InheritsFrom("TComponent"))) d->SetObject(dst, nullptr);
                    break;
                }
                bool reference = sv->InheritsFrom("TComponent");
                if (d->SetObject && (reference || !dv)) {
                    d->SetObject(dst, sv);
                } else if (sp && dp) {
                    if (d->SetObject)
                        d->SetObject(dst, sv);
                    else if (dv->InheritsFrom("TCollection") || dv->InheritsFrom("TStrings"))
                        dp->Assign(sp);
                    else
                        CopyProps(sv, dv, depth + 1);
                }
                break;
            }
            case TTypeKind::tkUnknown: break;
            default:
                if (d->SetOrd && ((d->Kind != TTypeKind::tkEnumeration && d->Kind != TTypeKind::tkSet) ||
                                  d->EnumType == s->EnumType))
                    d->SetOrd(dst, s->GetOrd(src));
                break;
        }
    }
}

}  // namespace

void CopyPublishedProperties(const TObject* Source, TObject* Dest) { CopyProps(Source, Dest, 0); }

std::string SetToString(const TEnumInfo* Info, std::uint64_t Mask, bool Brackets) {
    std::string s;
    for (std::size_t i = 0; i < Info->Names.size() && i < 64; ++i)
        if (Mask & (std::uint64_t{1} << i)) {
            if (!s.empty()) s += Brackets ? ", " : ",";
            s += Info->Names[i];
        }
    return Brackets ? "[" + s + "]" : s;
}

std::uint64_t StringToSet(const TEnumInfo* Info, std::string_view Text) {
    std::string_view t = Trim(Text);
    if (!t.empty() && t.front() == '[') {
        if (t.back() != ']')
            throw EPropertyError("Set text '" + std::string(Text) + "' lacks its closing ']'.");
        t = t.substr(1, t.size() - 2);
    }
    std::uint64_t mask = 0;
    while (!Trim(t).empty()) {
        auto comma = t.find(',');
        std::string_view name = Trim(t.substr(0, comma));
        int v = Info->GetValue(name);
        if (v < 0 || v >= 64)
            throw EPropertyError("'" + std::string(name) + "' is not a value of " + Info->TypeName + ".");
        mask |= std::uint64_t{1} << v;
        if (comma == std::string_view::npos) break;
        t = t.substr(comma + 1);
    }
    return mask;
}

std::string GetSetProp(const TObject* Instance, std::string_view Path, bool Brackets) {
    const TPropInfo& p = Need(Instance, Path);
    if (p.Kind != TTypeKind::tkSet) WrongKind(p, "a set property");
    return SetToString(p.EnumType, static_cast<std::uint64_t>(p.GetOrd(Instance)), Brackets);
}

void SetSetProp(TObject* Instance, std::string_view Path, std::string_view Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    if (p.Kind != TTypeKind::tkSet) WrongKind(p, "a set property");
    if (!p.SetOrd) ReadOnly(p);
    p.SetOrd(const_cast<TObject*>(holder), static_cast<std::int64_t>(StringToSet(p.EnumType, Value)));
}

double GetFloatProp(const TObject* Instance, std::string_view Path) {
    const TPropInfo& p = Need(Instance, Path);
    if (p.Kind != TTypeKind::tkFloat) WrongKind(p, "a floating-point property");
    return p.GetFloat(Instance);
}

void SetFloatProp(TObject* Instance, std::string_view Path, double Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    if (p.Kind != TTypeKind::tkFloat) WrongKind(p, "a floating-point property");
    if (!p.SetFloat) ReadOnly(p);
    p.SetFloat(const_cast<TObject*>(holder), Value);
}

TObject* GetObjectProp(const TObject* Instance, std::string_view Path, const TClassInfo* MinClass) {
    const TPropInfo* p = ResolvePropPath(Instance, Path);
    if (!p || p->Kind != TTypeKind::tkClass) return nullptr;
    TObject* o = p->GetObject(Instance);
    if (o && MinClass && !o->InheritsFrom(MinClass)) return nullptr;
    return o;
}

void SetObjectProp(TObject* Instance, std::string_view Path, TObject* Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    if (p.Kind != TTypeKind::tkClass) WrongKind(p, "an object property");
    if (!p.SetObject) ReadOnly(p);
    p.SetObject(const_cast<TObject*>(holder), Value);
}

std::string GetPropText(const TObject* Instance, std::string_view Path) {
    const TPropInfo& p = Need(Instance, Path);
    switch (p.Kind) {
        case TTypeKind::tkString: return p.GetStr(Instance);
        case TTypeKind::tkFloat: return FloatText(p.GetFloat(Instance));
        case TTypeKind::tkEnumeration: return p.EnumType->GetName(p.GetOrd(Instance));
        case TTypeKind::tkSet:
            return SetToString(p.EnumType, static_cast<std::uint64_t>(p.GetOrd(Instance)), true);
        case TTypeKind::tkInteger:
        case TTypeKind::tkInt64: {
            std::int64_t v = p.GetOrd(Instance);
            std::string ident;
            if (p.Idents && p.Idents->ToIdent(v, ident)) return ident;
            return std::to_string(v);
        }
        case TTypeKind::tkChar: {
            const std::int64_t c = p.GetOrd(Instance);
            return c == 0 ? std::string() : Utf8Encode(static_cast<char32_t>(c));
        }
        default: WrongKind(p, "a value property");
    }
}

void SetPropText(TObject* Instance, std::string_view Path, std::string_view Value) {
    const TObject* holder = Instance;
    const TPropInfo& p = Need(holder, Path);
    auto* target = const_cast<TObject*>(holder);
    if (!p.IsWritable()) ReadOnly(p);
    auto bad = [&]() {
        throw EPropertyError("'" + std::string(Value) + "' is not a valid value for property " +
                             p.Name + ".");
    };
    switch (p.Kind) {
        case TTypeKind::tkString: p.SetStr(target, std::string(Value)); return;
        case TTypeKind::tkFloat: {
            std::string_view t = Trim(Value);
            double d = 0;
            auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
            if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(d)) bad();
            p.SetFloat(target, d);
            return;
        }
        case TTypeKind::tkEnumeration: {
            int v = p.EnumType->GetValue(Trim(Value));
            if (v < 0) bad();
            p.SetOrd(target, v);
            return;
        }
        case TTypeKind::tkSet:
            p.SetOrd(target, static_cast<std::int64_t>(StringToSet(p.EnumType, Value)));
            return;
        case TTypeKind::tkInteger:
        case TTypeKind::tkInt64: {
            std::string_view t = Trim(Value);
            std::int64_t v = 0;
            if (p.Idents && p.Idents->FromIdent(t, v)) {
                p.SetOrd(target, v);
                return;
            }
            if (!t.empty() && t.front() == '$') {  // hex keeps a 32-bit pattern ($FF00000F)
                std::uint64_t u = 0;
                auto [end, ec] = std::from_chars(t.data() + 1, t.data() + t.size(), u, 16);
                if (t.size() == 1 || ec != std::errc() || end != t.data() + t.size()) bad();
                v = u <= 0xFFFFFFFFull && p.Kind == TTypeKind::tkInteger
                        ? static_cast<std::int32_t>(static_cast<std::uint32_t>(u))
                        : static_cast<std::int64_t>(u);
            } else {
                auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
                if (t.empty() || ec != std::errc() || end != t.data() + t.size()) bad();
            }
            if (p.Kind == TTypeKind::tkInteger && (v < INT32_MIN || v > INT32_MAX))
                throw ERangeError("Value " + std::string(t) + " is out of range for property " +
                                  p.Name + ".");
            p.SetOrd(target, v);
            return;
        }
        case TTypeKind::tkChar: {
            // Exactly one character; nothing at all clears it to #0.
            if (Value.empty()) {
                p.SetOrd(target, 0);
                return;
            }
            if (!Utf8IsValid(Value) || Utf8Length(Value) != 1) bad();
            std::size_t pos = 0;
            p.SetOrd(target, static_cast<std::int64_t>(Utf8Decode(Value, pos)));
            return;
        }
        default: WrongKind(p, "a value property");
    }
}

}  // namespace vel
