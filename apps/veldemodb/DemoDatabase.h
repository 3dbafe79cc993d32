#pragma once
// The demo database: a deterministic, realistic sample (categories, customers, employees with
// a manager hierarchy, products with pictures, orders and order lines) built in one
// transaction with prepared statements.
#include <cstdint>
#include <string>

#include "platform/db/DBTypes.h"

namespace vel {

struct TDemoDatabaseOptions {
    std::uint32_t Seed = 20240601;
    int Customers = 2000;
    int Employees = 60;
    int Products = 77;
    int Orders = 100000;
};

// Writes the database to a temporary name beside FileName and renames it over FileName, so a
// failure never leaves a half-built file. Raises EDatabaseError naming the file and the cause
// (a folder, a missing folder: checked before the work).
void BuildDemoDatabase(const std::string& fileName, const TDemoDatabaseOptions& options = {});

// The 8-byte header older desktop databases put in front of stored bitmaps.
std::string GraphicHeaderPrefixed(const std::string& bitmap);

}  // namespace vel
