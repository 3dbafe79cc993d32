#pragma once
// Filter expressions: parsed once into a tree when the text is set, bound to the dataset's
// fields (literals converted to the field types) when the filter goes into force, then
// evaluated per record through a small row-reading interface.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DBTypes.h"

namespace vel {

enum class TFilterValueKind : std::uint8_t { Null, Int, Float, Str, Bool };

struct TFilterValue {
    TFilterValueKind Kind = TFilterValueKind::Null;
    std::int64_t Int = 0;
    double Float = 0;  // also dates and times
    std::string_view Str;

    static TFilterValue Null() { return {}; }
    static TFilterValue FromInt(std::int64_t v) { return {TFilterValueKind::Int, v, 0, {}}; }
    static TFilterValue FromFloat(double v) { return {TFilterValueKind::Float, 0, v, {}}; }
    static TFilterValue FromStr(std::string_view v) { return {TFilterValueKind::Str, 0, 0, v}; }
    static TFilterValue FromBool(bool v) { return {TFilterValueKind::Bool, v ? 1 : 0, 0, {}}; }
};

// How the evaluator reads the record under test; a string stays valid until the same slot is
// read again.
class TFilterRow {
public:
    virtual ~TFilterRow() = default;
    virtual TFilterValue Get(int slot) const = 0;
};

struct TFilterNode;

class TFilterExpression {
public:
    // Raises EDatabaseError naming the text and the position of the first error. Numbers may use
    // '.' or the locale's decimal separator.
    static std::unique_ptr<TFilterExpression> Parse(const std::string& text);
    ~TFilterExpression();

    // name -> slot and field type; false when the dataset has no such field.
    using TResolver = std::function<bool(const std::string& name, int& slot, TFieldType& type)>;
    // Raises EDatabaseError for unknown fields and literals the field type cannot take.
    void Bind(const TResolver& resolve, TFilterOptions options);
    void Unbind();
    bool IsBound() const { return FBound; }
    bool Evaluate(const TFilterRow& row) const;
    const std::string& Text() const { return FText; }
    // Field names the expression mentions, in order of appearance.
    std::vector<std::string> FieldNames() const;

private:
    TFilterExpression() = default;
    std::string FText;
    std::unique_ptr<TFilterNode> FRoot;
    bool FBound = false;
};

}  // namespace vel
