// Filter text: parse, bind to a fixed set of fields, evaluate on two rows. Bad text must raise
// EDatabaseError, never crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/db/DBTypes.h"
#include "platform/db/FilterExpr.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Utf8.h"

namespace {

struct Row : vel::TFilterRow {
    int Variant = 0;
    vel::TFilterValue Get(int slot) const override {
        if (Variant == 1 && slot % 2 == 0) return vel::TFilterValue::Null();
        switch (slot) {
            case 0: return vel::TFilterValue::FromStr(Variant ? "xyz" : "abc");
            case 1: return vel::TFilterValue::FromInt(Variant ? -7 : 42);
            case 2: return vel::TFilterValue::FromFloat(Variant ? 0.5 : 45000.25);
            case 3: return vel::TFilterValue::FromBool(Variant == 0);
            default: return vel::TFilterValue::FromFloat(45000);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        auto e = vel::TFilterExpression::Parse(text);
        static const char* names[] = {"Name", "A", "Unit Price", "Flag", "D"};
        static const vel::TFieldType types[] = {vel::TFieldType::ftString, vel::TFieldType::ftInteger,
                                                vel::TFieldType::ftFloat, vel::TFieldType::ftBoolean,
                                                vel::TFieldType::ftDate};
        for (int opts = 0; opts < 2; ++opts) {
            e->Bind(
                [&](const std::string& n, int& slot, vel::TFieldType& t) {
                    for (int i = 0; i < 5; ++i)
                        if (vel::Utf8SameText(n, names[i])) {
                            slot = i;
                            t = types[i];
                            return true;
                        }
                    return false;
                },
                opts ? vel::TFilterOptions{vel::TFilterOption::foCaseInsensitive} : vel::TFilterOptions{});
            Row r;
            for (r.Variant = 0; r.Variant < 2; ++r.Variant) e->Evaluate(r);
        }
    } catch (const vel::EDatabaseError&) {
    }
    return 0;
}
