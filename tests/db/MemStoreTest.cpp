#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/db/MemStore.h"

using namespace vel;

namespace {

TMemStore TwoColumnStore() {
    TMemStore s;
    s.Define({{"N", TFieldType::ftInteger, MemKindOf(TFieldType::ftInteger)},
              {"S", TFieldType::ftString, MemKindOf(TFieldType::ftString), 40}});
    return s;
}

std::string TextOf(int i) { return "row " + std::to_string(i) + std::string(i % 7, 'x'); }

}  // namespace

// Rows and text cross from the heap into their own mapping (over 1 MB) while growing; every
// value written before and after the switch must read back, also from copies and moves.
TEST(MemStore, LargeStoresKeepTheirRowsThroughGrowthCopyAndMove) {
    TMemStore s = TwoColumnStore();
    const int n = 200'000;
    std::vector<std::uint8_t> img(static_cast<std::size_t>(s.RowSize()));
    for (int i = 0; i < n; ++i) {
        std::fill(img.begin(), img.end(), 0);
        std::memcpy(img.data() + s.Columns()[0].Offset, &i, 4);
        s.PutText(img.data(), 1, TextOf(i));
        ASSERT_EQ(s.AppendRow(img.data()), static_cast<std::uint32_t>(i));
    }
    ASSERT_GT(s.TextBytes(), std::size_t(1) << 20);
    auto check = [&](const TMemStore& st) {
        for (int i : {0, 1, 4095, 65536, 131071, n - 1}) {
            std::int32_t v;
            std::memcpy(&v, st.Row(static_cast<std::uint32_t>(i)) + st.Columns()[0].Offset, 4);
            EXPECT_EQ(v, i);
            EXPECT_EQ(st.Text(st.Row(static_cast<std::uint32_t>(i)), 1), TextOf(i));
        }
    };
    check(s);
    TMemStore copy = s;
    check(copy);
    TMemStore moved = std::move(copy);
    check(moved);
    s.Clear();
    EXPECT_EQ(s.LiveCount(), 0u);
    check(moved);  // clearing one store leaves the others alone

    // Dropping most rows and compacting moves the text of the survivors.
    for (std::uint32_t id = 0; id < static_cast<std::uint32_t>(n); ++id)
        if (id % 4 != 0) moved.DeleteRow(id);
    moved.CompactIfWasteful();
    EXPECT_EQ(moved.Text(moved.Row(40000), 1), TextOf(40000));
    EXPECT_EQ(moved.Text(moved.Row(0), 1), TextOf(0));
}
