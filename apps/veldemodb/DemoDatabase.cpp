#include "apps/veldemodb/DemoDatabase.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

#include "platform/db/sqlite/SQLite.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Codecs.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"

namespace vel {

namespace {

// splitmix64: small, fast and the same on every machine.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : FState(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Range(int lo, int hi) {
        return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
    bool Chance(double p) { return Unit() < p; }
    template <class T, std::size_t N>
    const T& Pick(const std::array<T, N>& a) {
        return a[Next() % N];
    }

private:
    std::uint64_t FState;
};

const std::array<const char*, 40> kFirst = {
    "Anna",  "Ben",    "Clara",  "David", "Eva",  "Felix", "Greta", "Hugo", "Ines",  "Jonas",
    "Karla", "Leon",   "Maja",   "Noah",  "Olga", "Paul",  "Quinn", "Rosa", "Simon", "Tara",
    "Ugo",   "Vera",   "Walter", "Xenia", "Yann", "Zoe",   "Amir",  "Bea",  "Chen",  "Dina",
    "Emil",  "Fatima", "Goran",  "Hana",  "Ivan", "Jana",  "Kofi",  "Lena", "Mateo", "Nina"};
const std::array<const char*, 40> kLast = {
    "Adler",   "Berger", "Costa",   "Dubois",    "Eriksen",  "Fischer", "Garcia",   "Hansen",
    "Ivanova", "Jensen", "Keller",  "Lindqvist", "Moreau",   "Novak",   "O'Connor", "Petrov",
    "Quist",   "Rossi",  "Schmidt", "Tanaka",    "Ulrich",   "Varga",   "Weber",    "Xu",
    "Yilmaz",  "Zimmer", "Almeida", "Bauer",     "Cohen",    "Dvorak",  "Engel",    "Fontaine",
    "Gruber",  "Horvat", "Iqbal",   "Jovanovic", "Kowalski", "Larsen",  "Meyer",    "Nakamura"};
const std::array<const char*, 24> kCompanyA = {
    "Alpine", "Blue",  "Central", "Delta", "Eastern", "First",  "Golden", "Harbor",
    "Iron",   "Jade",  "Kestrel", "Lake",  "Metro",   "North",  "Oak",    "Pioneer",
    "Quartz", "River", "Silver",  "Tower", "United",  "Valley", "West",   "Zenith"};
const std::array<const char*, 20> kCompanyB = {
    "Trading",    "Foods",        "Imports", "Supply",   "Market", "Provisions", "Goods",
    "Wholesale",  "Distribution", "Grocers", "Deli",     "Pantry", "Kitchen",    "Traders",
    "Outfitters", "Store",        "Bazaar",  "Emporium", "Co-op",  "Merchants"};
const std::array<const char*, 6> kCompanyC = {"Ltd", "GmbH", "S.A.", "Inc.", "& Sons", "AB"};
struct City {
    const char* Name;
    const char* Country;
    const char* Prefix;
};
const std::array<City, 20> kCities = {{{"Berlin", "Germany", "+49"},
                                       {"Hamburg", "Germany", "+49"},
                                       {"Paris", "France", "+33"},
                                       {"Lyon", "France", "+33"},
                                       {"Madrid", "Spain", "+34"},
                                       {"Sevilla", "Spain", "+34"},
                                       {"Lisboa", "Portugal", "+351"},
                                       {"Roma", "Italy", "+39"},
                                       {"Torino", "Italy", "+39"},
                                       {"Wien", "Austria", "+43"},
                                       {"Z\xC3\xBCrich", "Switzerland", "+41"},
                                       {"Bruxelles", "Belgium", "+32"},
                                       {"Amsterdam", "Netherlands", "+31"},
                                       {"K\xC3\xB8"
                                        "benhavn",
                                        "Denmark", "+45"},
                                       {"Stockholm", "Sweden", "+46"},
                                       {"Oslo", "Norway", "+47"},
                                       {"Helsinki", "Finland", "+358"},
                                       {"Warszawa", "Poland", "+48"},
                                       {"Praha", "Czechia", "+420"},
                                       {"London", "United Kingdom", "+44"}}};
struct Category {
    const char* Name;
    const char* Description;
    std::uint32_t Color;  // 0xRRGGBB
    std::array<const char*, 6> Items;
};
const std::array<Category, 8> kCategories = {{
    {"Beverages",
     "Soft drinks, coffees, teas, beers, and ales",
     0x8B4513,
     {"Coffee", "Green Tea", "Lager", "Lemonade", "Cider", "Espresso"}},
    {"Condiments",
     "Sweet and savory sauces, relishes, spreads",
     0xC0392B,
     {"Mustard", "Ketchup", "Chutney", "Pesto", "Aioli", "Relish"}},
    {"Confections",
     "Desserts, candies, and sweet breads",
     0xE91E63,
     {"Chocolate", "Toffee", "Marzipan", "Biscotti", "Nougat", "Fudge"}},
    {"Dairy",
     "Milk, butter and cheeses",
     0xF1C40F,
     {"Gouda", "Brie", "Butter", "Yoghurt", "Mozzarella", "Feta"}},
    {"Grains",
     "Breads, crackers, pasta, and cereal",
     0xD4A017,
     {"Rye Bread", "Crackers", "Linguine", "Muesli", "Couscous", "Polenta"}},
    {"Meat",
     "Prepared meats",
     0x7B241C,
     {"Salami", "Ham", "Sausages", "P\xC3\xA2t\xC3\xA9", "Bacon", "Jerky"}},
    {"Produce",
     "Dried fruit and bean curd",
     0x27AE60,
     {"Dried Apples", "Tofu", "Raisins", "Figs", "Dates", "Apricots"}},
    {"Seafood",
     "Seaweed and fish",
     0x2E86C1,
     {"Herring", "Salmon", "Crab Meat", "Anchovies", "Caviar", "Shrimp"}},
}};
const std::array<const char*, 10> kAdjectives = {"Alpine", "Classic", "Organic", "Royal",
                                                 "Smoked", "Spicy",   "Golden",  "Nordic",
                                                 "Rustic", "Premium"};
const std::array<const char*, 8> kTitles = {
    "Sales Representative", "Sales Representative", "Account Manager", "Inside Sales",
    "Sales Representative", "Key Account Manager",  "Sales Assistant", "Sales Representative"};
const std::array<const char*, 3> kShippers = {"Speedy Express", "United Package",
                                              "Federal Shipping"};

// A small picture for a product: a gradient in the category's colour with a round label.
TBitmap ProductPicture(TRandom& rnd, std::uint32_t rgb, int w, int h) {
    TBitmap bmp(w, h);
    int r0 = (rgb >> 16) & 0xFF, g0 = (rgb >> 8) & 0xFF, b0 = rgb & 0xFF;
    int cx = rnd.Range(w / 3, 2 * w / 3), cy = rnd.Range(h / 3, 2 * h / 3),
        rad = rnd.Range(h / 5, h / 3);
    for (int y = 0; y < h; ++y) {
        TPixel* line = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            double t = static_cast<double>(x + y) / (w + h);
            int r = static_cast<int>(r0 + (255 - r0) * t),
                g = static_cast<int>(g0 + (255 - g0) * t),
                b = static_cast<int>(b0 + (255 - b0) * t);
            int dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= rad * rad)
                r = 255 - r0 / 2, g = 255 - g0 / 2, b = 255 - b0 / 2;
            line[x] =
                0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
        }
    }
    return bmp;
}

std::string Bytes(const TBytes& b) {
    return std::string(b.begin(), b.end());
}

Variant Text(const std::string& s) {
    return Variant(s);
}
Variant Money(std::int64_t cents) {
    return Variant(Currency::FromScaled(cents * 100));
}
Variant Date(TDateTime d) {
    return Variant::FromDateTime(d);
}

}  // namespace

std::string GraphicHeaderPrefixed(const std::string& bitmap) {
    std::string out(8, '\0');
    auto size = static_cast<std::uint32_t>(bitmap.size());
    const std::uint8_t hdr[8] = {1,
                                 0,
                                 0,
                                 1,
                                 std::uint8_t(size),
                                 std::uint8_t(size >> 8),
                                 std::uint8_t(size >> 16),
                                 std::uint8_t(size >> 24)};
    for (int i = 0; i < 8; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(hdr[i]);
    return out + bitmap;
}

void BuildDemoDatabase(const std::string& fileName, const TDemoDatabaseOptions& o) {
    namespace fs = std::filesystem;
    const std::string temp = fileName + ".building";
    std::error_code ec;
    // Checked before the work, which takes seconds: the rename at the end would fail.
    if (fs::is_directory(fileName, ec))
        throw EDatabaseError("Cannot write the demo database to '" + fileName + "': it is a folder");
    const fs::path folder = fs::path(fileName).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec))
        throw EDatabaseError("Cannot write the demo database to '" + fileName + "': the folder '" +
                          folder.string() + "' does not exist");
    fs::remove(temp, ec);
    TRandom rnd(o.Seed);
    try {
        TSQLiteConnection db;
        db.SetFileName(temp);
        db.SetCreateIfMissing(true);
        db.ExecSQL("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
        db.ExecSQL(R"(
CREATE TABLE categories (id INTEGER PRIMARY KEY, name VARCHAR(30) NOT NULL UNIQUE, description TEXT);
CREATE TABLE customers (id INTEGER PRIMARY KEY, company VARCHAR(60) NOT NULL, contact VARCHAR(40),
  city VARCHAR(30), country VARCHAR(30), phone VARCHAR(24), email VARCHAR(60), since DATE,
  credit_limit DECIMAL(12,2), vip BOOLEAN NOT NULL DEFAULT 0, notes TEXT);
CREATE TABLE employees (id INTEGER PRIMARY KEY, manager_id INTEGER REFERENCES employees(id),
  first_name VARCHAR(20) NOT NULL, last_name VARCHAR(30) NOT NULL, title VARCHAR(40), hired DATE,
  birth_date DATE, salary DECIMAL(10,2), active BOOLEAN NOT NULL DEFAULT 1, start_time TIME);
CREATE TABLE products (id INTEGER PRIMARY KEY, name VARCHAR(50) NOT NULL,
  category_id INTEGER REFERENCES categories(id), unit_price DECIMAL(10,2) NOT NULL,
  in_stock INTEGER, discontinued BOOLEAN NOT NULL DEFAULT 0, added DATETIME,
  picture_format VARCHAR(12), picture IMAGE);
CREATE TABLE orders (id INTEGER PRIMARY KEY, customer_id INTEGER NOT NULL REFERENCES customers(id),
  employee_id INTEGER REFERENCES employees(id), order_date DATETIME NOT NULL, required_date DATE,
  shipped_date DATE, ship_via VARCHAR(20), freight DECIMAL(10,2), total DECIMAL(12,2),
  paid BOOLEAN NOT NULL DEFAULT 0, status VARCHAR(12), comment TEXT);
CREATE TABLE order_lines (order_id INTEGER NOT NULL REFERENCES orders(id), line_no INTEGER NOT NULL,
  product_id INTEGER NOT NULL REFERENCES products(id), quantity INTEGER NOT NULL,
  unit_price DECIMAL(10,2) NOT NULL, discount REAL NOT NULL DEFAULT 0, PRIMARY KEY (order_id, line_no));
)");
        db.StartTransaction();
        const TDateTime start = EncodeDate(2019, 1, 1);
        const int days = static_cast<int>(EncodeDate(2024, 12, 31) - start);

        {
            TSQLiteStatement st(db, "INSERT INTO categories VALUES (?, ?, ?)");
            for (std::size_t i = 0; i < kCategories.size(); ++i) {
                st.Bind(1, Variant(static_cast<int>(i + 1)));
                st.Bind(2, Text(kCategories[i].Name));
                st.Bind(3, Text(kCategories[i].Description));
                st.Execute();
            }
        }
        {
            TSQLiteStatement st(db,
                                "INSERT INTO customers VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            for (int i = 1; i <= o.Customers; ++i) {
                const City& c = rnd.Pick(kCities);
                std::string first = rnd.Pick(kFirst), last = rnd.Pick(kLast);
                std::string company = std::string(rnd.Pick(kCompanyA)) + " " + rnd.Pick(kCompanyB);
                if (rnd.Chance(0.6)) company += std::string(" ") + rnd.Pick(kCompanyC);
                std::string mail;
                for (char ch : first + "." + last)
                    if (std::isalpha(static_cast<unsigned char>(ch)) || ch == '.')
                        mail += static_cast<char>(std::tolower(ch));
                st.Bind(1, Variant(i));
                st.Bind(2, Text(company));
                st.Bind(3, rnd.Chance(0.05) ? Variant::Null() : Text(first + " " + last));
                st.Bind(4, Text(c.Name));
                st.Bind(5, Text(c.Country));
                st.Bind(6, rnd.Chance(0.1) ? Variant::Null()
                                           : Text(std::string(c.Prefix) + " " +
                                                  std::to_string(rnd.Range(100, 999)) + " " +
                                                  std::to_string(rnd.Range(1000, 9999))));
                st.Bind(7, rnd.Chance(0.15) ? Variant::Null() : Text(mail + "@example.com"));
                st.Bind(8, Date(start - rnd.Range(0, 3650)), TFieldType::ftDate);
                st.Bind(9, rnd.Chance(0.2) ? Variant::Null() : Money(rnd.Range(10, 500) * 10000));
                st.Bind(10, Variant(rnd.Chance(0.1)));
                st.Bind(11, rnd.Chance(0.9)
                                ? Variant::Null()
                                : Text(rnd.Chance(0.5) ? "Prefers delivery before noon"
                                                       : "Ask for \"Mr. " + last +
                                                             "\"; don't call on Mondays"));
                st.Execute();
            }
        }
        std::vector<int> salesReps;
        {
            // A tree: one director, regional managers under the director, team leads under the
            // managers, representatives under the leads.
            TSQLiteStatement st(db, "INSERT INTO employees VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            std::vector<int> managers, leads;
            for (int i = 1; i <= o.Employees; ++i) {
                Variant boss = Variant::Null();
                std::string title;
                std::int64_t salary;
                if (i == 1) {
                    title = "Sales Director";
                    salary = 9500;
                } else if (i <= 5) {
                    boss = Variant(1);
                    title = "Regional Manager";
                    salary = 7000 + rnd.Range(0, 800);
                    managers.push_back(i);
                } else if (i <= 15) {
                    boss = Variant(managers[static_cast<std::size_t>(i) % managers.size()]);
                    title = "Team Lead";
                    salary = 5200 + rnd.Range(0, 600);
                    leads.push_back(i);
                } else {
                    boss = Variant(leads[static_cast<std::size_t>(i) % leads.size()]);
                    title = rnd.Pick(kTitles);
                    salary = 3000 + rnd.Range(0, 1800);
                    salesReps.push_back(i);
                }
                TDateTime hired = start - rnd.Range(0, 4000);
                st.Bind(1, Variant(i));
                st.Bind(2, boss);
                st.Bind(3, Text(rnd.Pick(kFirst)));
                st.Bind(4, Text(rnd.Pick(kLast)));
                st.Bind(5, Text(title));
                st.Bind(6, Date(hired), TFieldType::ftDate);
                st.Bind(7,
                        rnd.Chance(0.05) ? Variant::Null()
                                         : Date(hired - rnd.Range(22 * 365, 50 * 365)),
                        TFieldType::ftDate);
                st.Bind(8, Money(salary * 100 + rnd.Range(0, 99)));
                st.Bind(9, Variant(!rnd.Chance(0.08)));
                st.Bind(10, Date(EncodeTime(rnd.Range(7, 10), rnd.Chance(0.5) ? 0 : 30, 0, 0)),
                        TFieldType::ftTime);
                st.Execute();
            }
        }
        std::vector<std::int64_t> prices(static_cast<std::size_t>(o.Products) + 1);
        {
            TSQLiteStatement st(db, "INSERT INTO products VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            static const char* kFormats[] = {"PNG", "JPEG", "BMP", "Header+BMP"};
            for (int i = 1; i <= o.Products; ++i) {
                std::size_t cat = static_cast<std::size_t>(rnd.Next() % kCategories.size());
                const Category& c = kCategories[cat];
                std::string name =
                    std::string(rnd.Pick(kAdjectives)) + " " + c.Items[rnd.Next() % c.Items.size()];
                prices[static_cast<std::size_t>(i)] = rnd.Range(150, 12000);  // cents
                st.Bind(1, Variant(i));
                st.Bind(2, Text(name + " #" + std::to_string(i)));
                st.Bind(3, Variant(static_cast<int>(cat + 1)));
                st.Bind(4, Money(prices[static_cast<std::size_t>(i)]));
                st.Bind(5, rnd.Chance(0.05) ? Variant::Null() : Variant(rnd.Range(0, 250)));
                st.Bind(6, Variant(rnd.Chance(0.1)));
                st.Bind(7, Date(start + rnd.Range(0, 400) + rnd.Range(0, 86399) / 86400.0),
                        TFieldType::ftDateTime);
                if (i % 13 == 0) {
                    st.Bind(8, Variant::Null());
                    st.Bind(9, Variant::Null());
                } else {
                    TBitmap pic = ProductPicture(rnd, c.Color, 96, 72);
                    int kind = i % 4;
                    std::string data;
                    switch (kind) {
                        case 0:
                            data = Bytes(EncodePng(pic, false));
                            break;
                        case 1:
                            data = Bytes(EncodeJpeg(pic, 85));
                            break;
                        case 2:
                            data = Bytes(EncodeBmp(pic, false));
                            break;
                        default:
                            data = GraphicHeaderPrefixed(Bytes(EncodeBmp(pic, false)));
                            break;
                    }
                    st.Bind(8, Text(kFormats[kind]));
                    st.Bind(
                        9, Variant::FromBytes(std::vector<std::uint8_t>(data.begin(), data.end())));
                }
                st.Execute();
            }
        }
        {
            TSQLiteStatement ord(db,
                                 "INSERT INTO orders VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            TSQLiteStatement line(db, "INSERT INTO order_lines VALUES (?, ?, ?, ?, ?, ?)");
            static const double kDiscounts[] = {0, 0, 0, 0.05, 0.1, 0.15};
            for (int id = 1; id <= o.Orders; ++id) {
                // Order dates grow with the id, as they would in a real shop.
                TDateTime when = start + (static_cast<double>(id - 1) * days) / o.Orders +
                                 rnd.Range(8 * 3600, 19 * 3600) / 86400.0;
                when = std::floor(when) + std::floor((when - std::floor(when)) * 86400.0) / 86400.0;
                struct Line {
                    int Product, Qty;
                    double Disc;
                };
                Line items[5];
                int lines = rnd.Range(1, 5);
                std::int64_t total = 0;
                for (int n = 0; n < lines; ++n) {
                    Line& l = items[n];
                    l = {rnd.Range(1, o.Products), rnd.Range(1, 40), kDiscounts[rnd.Next() % 6]};
                    std::int64_t price = prices[static_cast<std::size_t>(l.Product)];
                    total += std::llround(static_cast<double>(price * l.Qty) * (1.0 - l.Disc));
                }
                const bool open = id > o.Orders - 400 || rnd.Chance(0.02);
                ord.Bind(1, Variant(id));
                // A few big customers place many of the orders.
                int customer = rnd.Chance(0.3) ? rnd.Range(1, std::max(1, o.Customers / 50))
                                               : rnd.Range(1, o.Customers);
                ord.Bind(2, Variant(customer));
                ord.Bind(3, rnd.Chance(0.01) || salesReps.empty()
                                ? Variant::Null()
                                : Variant(salesReps[rnd.Next() % salesReps.size()]));
                ord.Bind(4, Date(when), TFieldType::ftDateTime);
                ord.Bind(5, Date(std::floor(when) + 14), TFieldType::ftDate);
                ord.Bind(6, open ? Variant::Null() : Date(std::floor(when) + rnd.Range(1, 12)),
                         TFieldType::ftDate);
                ord.Bind(7, Text(rnd.Pick(kShippers)));
                ord.Bind(8, Money(rnd.Range(0, 25000)));
                ord.Bind(9, Money(total));
                ord.Bind(10, Variant(!open && !rnd.Chance(0.04)));
                ord.Bind(11, Text(open ? "open" : (rnd.Chance(0.97) ? "shipped" : "returned")));
                ord.Bind(12, rnd.Chance(0.97) ? Variant::Null()
                                              : Text(rnd.Chance(0.5) ? "Gift wrap, please"
                                                                     : "Leave at the 'back' door"));
                ord.Execute();
                for (int n = 0; n < lines; ++n) {
                    line.Bind(1, Variant(id));
                    line.Bind(2, Variant(n + 1));
                    line.Bind(3, Variant(items[n].Product));
                    line.Bind(4, Variant(items[n].Qty));
                    line.Bind(5, Money(prices[static_cast<std::size_t>(items[n].Product)]));
                    line.Bind(6, Variant(items[n].Disc));
                    line.Execute();
                }
            }
        }
        db.ExecSQL(R"(
CREATE INDEX orders_customer ON orders(customer_id);
CREATE INDEX orders_date ON orders(order_date);
CREATE INDEX order_lines_product ON order_lines(product_id);
CREATE INDEX employees_manager ON employees(manager_id);
)");
        db.Commit();
        db.Close();
        fs::rename(temp, fileName, ec);
        if (ec)
            throw EDatabaseError("Cannot write the demo database to '" + fileName +
                              "': " + ec.message());
    } catch (...) {
        fs::remove(temp, ec);
        throw;
    }
}

}  // namespace vel
