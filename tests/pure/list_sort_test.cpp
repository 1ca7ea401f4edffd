#include "browser/pure/list_sort.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

struct Row {
  std::u16string name, text;
};

std::vector<std::u16string> Sorted(const std::vector<Row>& rows, int column, bool descending) {
  std::vector<uint16_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0);
  SortDisplayOrder(
      order.data(), order.size(), column, descending, [&](uint16_t e) { return rows[e].text.c_str(); },
      [&](uint16_t e) { return rows[e].name.c_str(); }, CompareLogical);
  std::vector<std::u16string> names;
  for (uint16_t e : order) names.push_back(rows[e].name);
  return names;
}

std::u16string Key(int column, const char16_t* text) {
  char16_t out[kSortKeyUnits];
  MakeSortKey(column, text, out);
  return out;
}

TEST(SortKey, TypedColumns) {
  struct Case {
    int column;
    const char16_t* text;
    const char16_t* key;
  } cases[] = {
      {4, u"1234KB", u"0000001234"},
      {4, u"KB", u""},                   // shorter than its unit
      {6, u"6000*4000", u"0024000000"},
      {6, u"unknown", u"unknown"},       // no "*": stays text
      {11, u"1/250", u"0000000400"},
      {11, u"2", u"0000200000"},
      {11, u"0.5", u"0000050000"},
      {11, u"1/0", u""},                 // no number of seconds
      {12, u"F2.8", u"0000000280"},
      {12, u"F", u""},
      {14, u"3200", u"0000003200"},
      {15, u"-1.0", u"0000009900"},
      {15, u"±0", u"0000010000"},
      {15, u"+0.7", u"0000010070"},
      {17, u"24-70mm", u"0000000024"},                  // lens: the leading integer
      {17, u"EF24-70mm f/2.8L USM", u"0000000000"},
      {18, u"50mm", u"0000000050"},
      {18, u"mm", u""},
      {10, u"2024:01:02 10:11:12", u"2024:01:02 10:11:12"},
      {14, u"", u""},
      {0, u"anything", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(Key(c.column, c.text), std::u16string(c.key)) << c.column;
}

TEST(SortKey, LongTextIsCut) {
  std::u16string text(400, u'x');
  EXPECT_EQ(Key(2, text.c_str()).size(), kSortKeyUnits - 1);
}

TEST(CompareLogical, DigitRunsByValue) {
  struct Case {
    const char16_t *a, *b;
    int sign;
  } cases[] = {
      {u"IMG_9.JPG", u"IMG_10.JPG", -1}, {u"img_10.jpg", u"IMG_9.JPG", 1}, {u"a.jpg", u"A.JPG", 0},
      {u"a", u"ab", -1},                 {u"x007", u"x7", 0},              {u"2", u"10", -1},
  };
  for (const Case& c : cases) {
    int r = CompareLogical(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
  }
}

TEST(SortDisplayOrder, ColumnsAndDirections) {
  std::vector<Row> iso = {{u"a", u"400"}, {u"b", u""}, {u"c", u"3200"}, {u"d", u"100"}};
  EXPECT_EQ(Sorted(iso, 14, true), (std::vector<std::u16string>{u"c", u"a", u"d", u"b"}));
  EXPECT_EQ(Sorted(iso, 14, false), (std::vector<std::u16string>{u"b", u"d", u"a", u"c"}));

  std::vector<Row> shutter = {{u"a", u"2"}, {u"b", u"1/60"}, {u"c", u"1/250"}};
  EXPECT_EQ(Sorted(shutter, 11, false), (std::vector<std::u16string>{u"c", u"b", u"a"}));

  std::vector<Row> bias = {{u"a", u"+0.7"}, {u"b", u"±0"}, {u"c", u"-1.0"}};
  EXPECT_EQ(Sorted(bias, 15, false), (std::vector<std::u16string>{u"c", u"b", u"a"}));

  std::vector<Row> pixels = {{u"a", u"6000*4000"}, {u"b", u"4000*3000"}};
  EXPECT_EQ(Sorted(pixels, 6, false), (std::vector<std::u16string>{u"b", u"a"}));

  std::vector<Row> ties = {{u"IMG_10.JPG", u"100"}, {u"IMG_9.JPG", u"100"}, {u"IMG_1.JPG", u"200"}};
  EXPECT_EQ(Sorted(ties, 14, false), (std::vector<std::u16string>{u"IMG_9.JPG", u"IMG_10.JPG", u"IMG_1.JPG"}));
  EXPECT_EQ(Sorted(ties, 0, false), (std::vector<std::u16string>{u"IMG_1.JPG", u"IMG_9.JPG", u"IMG_10.JPG"}));
  EXPECT_EQ(Sorted(ties, 14, true), (std::vector<std::u16string>{u"IMG_1.JPG", u"IMG_10.JPG", u"IMG_9.JPG"}));
}

TEST(SortDisplayOrder, FullSortedListStaysShallow) {
  const size_t n = 65534;
  std::vector<std::u16string> names(n);
  for (size_t i = 0; i < n; ++i) names[i] = u"f" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
  std::vector<uint16_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  auto text = [&](uint16_t) { return u"same"; };
  auto name = [&](uint16_t e) { return names[e].c_str(); };
  SortDisplayOrder(order.data(), n, 2, false, text, name, CompareLogical);
  SortDisplayOrder(order.data(), n, 2, false, text, name, CompareLogical);
  SortDisplayOrder(order.data(), n, 2, true, text, name, CompareLogical);
  for (size_t i = 1; i < n; ++i) ASSERT_GE(CompareLogical(names[order[i - 1]].c_str(), names[order[i]].c_str()), 0);
}

TEST(MoveDraggedRows, Cases) {
  struct Case {
    std::vector<int> dragged;
    size_t drop;
    std::vector<uint16_t> expected;
    size_t start, moved;
  } cases[] = {
      {{2, 8}, 5, {0, 1, 3, 4, 2, 8, 5, 6, 7, 9}, 4, 2},
      {{8, 2}, 5, {0, 1, 3, 4, 8, 2, 5, 6, 7, 9}, 4, 2},   // the dragged list's order
      {{3, 4, 5}, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 3, 3}, // onto its own rows
      {{0}, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, 9, 1},      // past the end
      {{9, 9, 42}, 0, {9, 0, 1, 2, 3, 4, 5, 6, 7, 8}, 0, 1}, // repeats and bad rows ignored
      {{}, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 3, 0},
  };
  for (const Case& c : cases) {
    std::vector<uint16_t> order(10);
    std::iota(order.begin(), order.end(), 0);
    size_t moved = 99;
    size_t start = MoveDraggedRows(order.data(), order.size(), c.dragged.data(), c.dragged.size(), c.drop, &moved);
    EXPECT_EQ(order, c.expected);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(moved, c.moved);
  }
}

}  // namespace
