#include "core/params/param_table.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace core::params {
namespace {

TEST(ParamTable, RowsAreUniqueAndSearchable) {
  std::set<std::pair<int, int>> seen;
  for (const ParamEntry& e : kParamTable) {
    EXPECT_TRUE(seen.insert({e.module, e.param}).second)
        << "duplicate row " << int(e.module) << "/" << int(e.param);
    EXPECT_EQ(FindParam(e.module, e.param), &e);
  }
  EXPECT_EQ(seen.size(), 230u);
  EXPECT_EQ(FindParam(5, 0), nullptr);   // an equaliser band is not a table row
  EXPECT_EQ(FindParam(4, 16), nullptr);  // image-only record
  EXPECT_EQ(FindParam(0, 0), nullptr);
}

// Laying the records out in table order, with the two music records the
// table skips, must put every row's first word exactly where its slot says
// and end at the image's last byte.
TEST(ParamTable, RecordsLaidOutInTableOrderMatchEverySlot) {
  std::size_t at = 1422;
  std::size_t row = 0;
  for (const ImageRecord& r : kImageRecords) {
    const bool tableRow = !(r.module == 4 && (r.param == 16 || r.param == 17));
    if (tableRow) {
      ASSERT_LT(row, kParamTable.size());
      const ParamEntry& e = kParamTable[row++];
      EXPECT_EQ(e.module, r.module);
      EXPECT_EQ(e.param, r.param);
      EXPECT_EQ(e.words, r.words);
      if (e.HasSlot()) {
        EXPECT_EQ(static_cast<std::size_t>(e.slot), at + 3)
            << int(e.module) << "/" << int(e.param);
      } else {
        EXPECT_EQ(at + 3, 2000u) << "the pitch record keeps its place without a slot";
      }
    }
    at += 3 + 4 * r.words;
  }
  EXPECT_EQ(row, kParamTable.size());
  EXPECT_EQ(at, 3518u);
}

TEST(ParamTable, KindsAndSlotsOfRepresentativeRows) {
  struct Case {
    int module, param;
    ValueKind kind;
    int words, slot;
  };
  const Case cases[] = {
      {1, 4, ValueKind::Percent, 1, 1425},       {1, 8, ValueKind::TenThousandths, 1, 1453},
      {1, 38, ValueKind::Block, 1, 1558},        {1, 39, ValueKind::Milliseconds, 1, 1565},
      {1, 44, ValueKind::Block, 6, 1600},        {1, 71, ValueKind::Block, 6, 1704},
      {4, 14, ValueKind::Block, 7, 1948},        {4, 21, ValueKind::Block, 1, kNoSlot},
      {4, 23, ValueKind::RawByte, 1, 2014},      {4, 37, ValueKind::Percent, 1, 2112},
      {4, 40, ValueKind::Percent, 1, 2126},      {5, 15, ValueKind::RawByte, 1, 2133},
      {5, 27, ValueKind::Block, 7, 2221},        {12, 29, ValueKind::Block, 6, 3330},
      {13, 10, ValueKind::Block, 7, 3392},       {14, 0, ValueKind::Float, 1, 3437},
      {14, 11, ValueKind::RawByte, 1, 3514},
  };
  for (const Case& c : cases) {
    const ParamEntry* e = FindParam(c.module, c.param);
    ASSERT_NE(e, nullptr) << c.module << "/" << c.param;
    EXPECT_EQ(e->kind, c.kind) << c.module << "/" << c.param;
    EXPECT_EQ(e->words, c.words) << c.module << "/" << c.param;
    EXPECT_EQ(e->slot, c.slot) << c.module << "/" << c.param;
  }
}

}  // namespace
}  // namespace core::params
