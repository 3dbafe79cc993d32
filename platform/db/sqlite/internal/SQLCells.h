#pragma once
// Values as SQLite hands them over, shared by loading and posting in the SQL datasets.
#include <sqlite3.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/DBTypes.h"
#include "platform/db/sqlite/SQLite.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

namespace vel::sqlcells {

// One value as SQLite handed it over.
struct Cell {
    int Storage = SQLITE_NULL;
    std::int64_t I = 0;
    double D = 0;
    std::string_view S;
};

// Straight from the statement handle: this runs for every cell of a load. The cell's value
// object is taken once and read without the per-call checks of the column functions; the
// connection is used from one thread.
inline Cell CellOf(sqlite3_value* v) {
    Cell c;
    c.Storage = sqlite3_value_type(v);
    switch (c.Storage) {
        case SQLITE_INTEGER:
            c.I = sqlite3_value_int64(v);
            break;
        case SQLITE_FLOAT:
            c.D = sqlite3_value_double(v);
            break;
        case SQLITE_TEXT: {
            const unsigned char* t = sqlite3_value_text(v);
            c.S = std::string_view(reinterpret_cast<const char*>(t),
                                   static_cast<std::size_t>(sqlite3_value_bytes(v)));
            break;
        }
        case SQLITE_BLOB: {
            const void* b = sqlite3_value_blob(v);
            std::size_t n = static_cast<std::size_t>(sqlite3_value_bytes(v));
            c.S = n ? std::string_view(static_cast<const char*>(b), n) : std::string_view();
            break;
        }
        default:
            break;
    }
    return c;
}

inline Cell CellOf(const TSQLiteStatement& st, int col) {
    return CellOf(sqlite3_column_value(st.Handle(), col));
}

// Text is filled in by the caller, which keeps the string alive.
inline Cell CellOf(const Variant& v) {
    Cell c;
    switch (v.VarType()) {
        case TVarType::varInt64:
        case TVarType::varInteger:
            c.Storage = SQLITE_INTEGER, c.I = v.AsInt64();
            break;
        case TVarType::varDouble:
            c.Storage = SQLITE_FLOAT, c.D = v.AsFloat();
            break;
        case TVarType::varString:
            c.Storage = SQLITE_TEXT;
            break;
        case TVarType::varBytes: {
            const auto& b = v.AsBytes();
            c.Storage = SQLITE_BLOB;
            c.S = std::string_view(reinterpret_cast<const char*>(b.data()), b.size());
            break;
        }
        default:
            break;
    }
    return c;
}

inline bool ParseInt(std::string_view s, std::int64_t& out) {
    std::string t = Trim(std::string(s));
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || *end) return false;
    out = v;
    return true;
}

inline bool ParseDouble(std::string_view s, double& out) {
    std::string t = Trim(std::string(s));
    if (t.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (*end) return false;
    out = v;
    return true;
}

inline std::string CellText(const Cell& c) {
    switch (c.Storage) {
        case SQLITE_INTEGER:
            return std::to_string(c.I);
        case SQLITE_FLOAT: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.15g",
                          c.D);  // as SQLite writes it, whatever the locale
            return buf;
        }
        default:
            return std::string(c.S);
    }
}

inline Variant CellVariant(const Cell& c) {
    switch (c.Storage) {
        case SQLITE_INTEGER:
            return Variant(static_cast<long long>(c.I));
        case SQLITE_FLOAT:
            return Variant(c.D);
        case SQLITE_TEXT:
            return Variant(std::string(c.S));
        case SQLITE_BLOB:
            return Variant::FromBytes(std::vector<std::uint8_t>(c.S.begin(), c.S.end()));
        default:
            return Variant::Null();
    }
}

inline bool IsDateType(TFieldType t) {
    return t == TFieldType::ftDate || t == TFieldType::ftTime || t == TFieldType::ftDateTime;
}

}  // namespace vel::sqlcells
