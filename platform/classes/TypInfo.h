#pragma once
// Registration of published properties. Include only in the .cpp that registers a class:
//
//   VEL_PUBLISHED(TVelDBGrid) {
//       Prop("ReadOnly", &T::GetReadOnly, &T::SetReadOnly, false);
//       Prop("Options", &T::GetOptions, &T::SetOptions, DefaultOptions);
//       Color("FixedColor", &T::GetFixedColor, &T::SetFixedColor, clBtnFace);
//       Prop("Width", &T::GetWidth, &T::SetWidth).Stored(&T::IsWidthStored);
//       Prop("Font", &T::GetFont, &T::SetFont);   // owned sub-object, nested "Font.Name"
//       Prop("DataSource", &T::GetDataSource, &T::SetDataSource);   // reference by name
//   }
//
// The kind follows the getter's type: bool, characters (char32_t …), integers, floating
// point, std::string, enumerations (need VEL_ENUM_INFO), TSet<E>, and pointers to TObject
// descendants. Put the block in the same .cpp as the class's VEL_DEFINE_CLASS, so the linker
// keeps it.
#include <concepts>
#include <functional>
#include <limits>
#include <type_traits>

#include "platform/classes/ColorNames.h"
#include "platform/classes/Errors.h"
#include "platform/classes/PropAccess.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TSet.h"

namespace vel {

namespace typinfo_detail {

template <class V>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {
    using Elem = E;
};

template <class V>
constexpr bool IsCharType = std::is_same_v<V, char> || std::is_same_v<V, char8_t> ||
                            std::is_same_v<V, char16_t> || std::is_same_v<V, char32_t>;

template <class V>
constexpr bool IsObjectPtr =
    std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<V>>>;

template <class V>
std::int64_t ToOrd(const V& v) {
    if constexpr (IsTSet<V>::value)
        return static_cast<std::int64_t>(v.ToMask());
    else
        return static_cast<std::int64_t>(v);
}

template <class V>
V FromOrd(const TPropInfo& info, std::int64_t v) {
    if constexpr (std::is_same_v<V, bool>) {
        return v != 0;
    } else if constexpr (IsCharType<V>) {
        if (v < 0 || v > std::int64_t(std::numeric_limits<V>::max()) || v > 0x10FFFF ||
            (v >= 0xD800 && v <= 0xDFFF))
            throw ERangeError("Character code " + std::to_string(v) +
                              " is out of range for property " + info.Name + ".");
        return static_cast<V>(v);
    } else if constexpr (std::is_enum_v<V>) {
        if (v < 0 || v >= static_cast<std::int64_t>(info.EnumType->Names.size()))
            throw ERangeError("Value " + std::to_string(v) + " is out of range for property " +
                              info.Name + ".");
        return static_cast<V>(v);
    } else if constexpr (IsTSet<V>::value) {
        auto count = info.EnumType->Names.size();
        auto mask = static_cast<std::uint64_t>(v);
        if (count < 64 && (mask >> count) != 0)
            throw ERangeError("Set value " + std::to_string(v) + " is out of range for property " +
                              info.Name + ".");
        return V::FromMask(mask);
    } else {
        return static_cast<V>(v);
    }
}

}  // namespace typinfo_detail

// Chainable settings of a property being registered.
template <class C>
class TPropRef {
public:
    explicit TPropRef(TPropInfo& Info) : FInfo(Info) {}
    template <class D>
    TPropRef& Default(const D& Value) {
        using namespace typinfo_detail;
        if constexpr (std::is_convertible_v<D, std::string>) {
            FInfo.StrDefault = Value;
        } else if constexpr (std::is_floating_point_v<D>) {
            FInfo.FloatDefault = Value;
        } else {
            FInfo.OrdDefault = ToOrd(Value);
            FInfo.FloatDefault = static_cast<double>(FInfo.OrdDefault);
        }
        FInfo.HasDefault = true;
        return *this;
    }
    // Always written (when stored), whatever the value.
    TPropRef& NoDefault() {
        FInfo.HasDefault = false;
        return *this;
    }
    TPropRef& Stored(bool Value) {
        FInfo.StoredFlag = Value;
        return *this;
    }
    // A stored-test: a const member function answering whether the value is written.
    template <class F>
        requires std::is_member_function_pointer_v<F>
    TPropRef& Stored(F Test) {
        FInfo.StoredFn = [Test](const TObject* o) {
            return static_cast<bool>(std::invoke(Test, static_cast<const C*>(o)));
        };
        return *this;
    }
    TPropRef& Idents(const TIdentMapInfo* Map) {
        FInfo.Idents = Map;
        return *this;
    }
    TPropInfo& Info() { return FInfo; }

private:
    TPropInfo& FInfo;
};

template <class C>
class TPublisher {
public:
    using T = C;
    explicit TPublisher(TPropertyTable& Table) : FTable(Table) {}

    template <class G, class S = std::nullptr_t>
    TPropRef<C> Prop(const char* Name, G Getter, S Setter = nullptr) {
        using namespace typinfo_detail;
        using V = std::remove_cvref_t<std::invoke_result_t<G, C*>>;
        auto info = std::make_unique<TPropInfo>();
        TPropInfo& p = *info;
        p.Name = Name;
        auto self = [](const TObject* o) { return const_cast<C*>(static_cast<const C*>(o)); };
        constexpr bool writable = !std::is_same_v<S, std::nullptr_t>;
        if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V> || IsTSet<V>::value ||
                      std::is_integral_v<V>) {
            if constexpr (std::is_same_v<V, bool>) {
                p.Kind = TTypeKind::tkEnumeration;
                p.EnumType = BooleanEnumInfo();
                p.IsBoolean = true;
            } else if constexpr (IsCharType<V>) {
                p.Kind = TTypeKind::tkChar;
                p.HasDefault = true;  // #0 is not written
            } else if constexpr (std::is_enum_v<V>) {
                p.Kind = TTypeKind::tkEnumeration;
                p.EnumType = EnumTypeInfo(static_cast<V*>(nullptr));
            } else if constexpr (IsTSet<V>::value) {
                p.Kind = TTypeKind::tkSet;
                p.EnumType = EnumTypeInfo(static_cast<typename IsTSet<V>::Elem*>(nullptr));
            } else {
                p.Kind = sizeof(V) > 4 ? TTypeKind::tkInt64 : TTypeKind::tkInteger;
            }
            p.GetOrd = [Getter, self](const TObject* o) { return ToOrd<V>(std::invoke(Getter, self(o))); };
            if constexpr (writable)
                p.SetOrd = [Setter, self, &p](TObject* o, std::int64_t v) {
                    std::invoke(Setter, self(o), FromOrd<V>(p, v));
                };
        } else if constexpr (std::is_floating_point_v<V>) {
            p.Kind = TTypeKind::tkFloat;
            p.HasDefault = true;
            p.GetFloat = [Getter, self](const TObject* o) {
                return static_cast<double>(std::invoke(Getter, self(o)));
            };
            if constexpr (writable)
                p.SetFloat = [Setter, self](TObject* o, double v) {
                    std::invoke(Setter, self(o), static_cast<V>(v));
                };
        } else if constexpr (std::is_same_v<V, std::string>) {
            p.Kind = TTypeKind::tkString;
            p.HasDefault = true;
            p.GetStr = [Getter, self](const TObject* o) { return std::string(std::invoke(Getter, self(o))); };
            if constexpr (writable)
                p.SetStr = [Setter, self](TObject* o, const std::string& v) { std::invoke(Setter, self(o), v); };
        } else if constexpr (IsObjectPtr<V>) {
            using P = std::remove_cv_t<std::remove_pointer_t<V>>;
            p.Kind = TTypeKind::tkClass;
            p.PropClass = P::StaticClass();
            p.GetObject = [Getter, self](const TObject* o) -> TObject* {
                return const_cast<P*>(std::invoke(Getter, self(o)));
            };
            if constexpr (writable)
                p.SetObject = [Setter, self, &p](TObject* o, TObject* v) {
                    P* typed = dynamic_cast<P*>(v);
                    if (v && !typed)
                        throw EPropertyError("A " + v->ClassName() + " cannot be assigned to property " +
                                             p.Name + " of type " + p.PropClass->Name + ".");
                    std::invoke(Setter, self(o), typed);
                };
        } else {
            static_assert(sizeof(V) == 0, "unsupported published property type");
        }
        FTable.Own.push_back(std::move(info));
        return TPropRef<C>(p);
    }

    template <class G, class S, class D>
    TPropRef<C> Prop(const char* Name, G Getter, S Setter, const D& Default) {
        return Prop(Name, Getter, Setter).Default(Default);
    }

    // An integer property written by colour name (clWindow) when it has one.
    template <class G, class S>
    TPropRef<C> Color(const char* Name, G Getter, S Setter, TColor Default) {
        return Prop(Name, Getter, Setter).Default(Default).Idents(ColorIdentMap());
    }
    template <class G, class S>
    TPropRef<C> Color(const char* Name, G Getter, S Setter) {
        return Prop(Name, Getter, Setter).Idents(ColorIdentMap());
    }

private:
    TPropertyTable& FTable;
};

}  // namespace vel

#define VEL_PUBLISHED_CAT2(a, b) a##b
#define VEL_PUBLISHED_CAT(a, b) VEL_PUBLISHED_CAT2(a, b)
// Opens the registration block of Self's published properties (at namespace scope).
#define VEL_PUBLISHED(Self)                                                               \
    namespace {                                                                           \
    struct VEL_PUBLISHED_CAT(VelPublished_, Self) : ::vel::TPublisher<Self> {             \
        using ::vel::TPublisher<Self>::TPublisher;                                        \
        void Body();                                                                      \
    };                                                                                    \
    [[maybe_unused]] const bool VEL_PUBLISHED_CAT(VelPublishedReg_, Self) =               \
        ::vel::RegisterPublished(Self::StaticClass(), [](::vel::TPropertyTable& t) {      \
            VEL_PUBLISHED_CAT(VelPublished_, Self) p(t);                                  \
            p.Body();                                                                     \
        });                                                                               \
    }                                                                                     \
    void VEL_PUBLISHED_CAT(VelPublished_, Self)::Body()
