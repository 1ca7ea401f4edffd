#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/pure/folder_cache_format.h"

namespace {

std::vector<uint8_t> EntryImage(uint8_t fill, uint32_t undoCount) {
  std::vector<uint8_t> e(kCacheEntryImageSize, fill);
  std::memcpy(e.data() + kEntryImageUndoCountOffset, &undoCount, 4);
  return e;
}

// Three rows: the first with two undo records and pixels, the second bare, the third with pixels.
std::vector<uint8_t> SampleBlock(const char16_t* version = u"5.71") {
  CacheLayout layout;
  EXPECT_TRUE(ComputeCacheLayout(3, 2, &layout));
  std::vector<uint8_t> block(static_cast<size_t>(layout.totalSize));
  CacheBlockWriter w(block.data(), layout, 3);
  w.SetHeader(version, u"C:\\Pics\\Trip", 2);
  std::vector<uint8_t> undo(2 * kCacheUndoRecordSize, 0x55), pixels(kCachePixelBlockSize, 0x77);
  w.AddRow(EntryImage(1, 2).data(), undo.data(), 2, pixels.data());
  w.AddRow(EntryImage(2, 0).data(), nullptr, 0, nullptr);
  w.AddRow(EntryImage(3, 0).data(), nullptr, 0, pixels.data());
  EXPECT_TRUE(w.Complete());
  return block;
}

TEST(CacheFormat, LayoutSizes) {
  CacheLayout l;
  ASSERT_TRUE(ComputeCacheLayout(3, 2, &l));
  EXPECT_EQ(l.fixedSize, 6488u);
  EXPECT_EQ(l.totalSize, 6488u + 3u * 17376u);
  ASSERT_TRUE(ComputeCacheLayout(0, 0, &l));
  EXPECT_EQ(l.totalSize, 548u);
  EXPECT_FALSE(ComputeCacheLayout(65535, 0, &l));
}

TEST(CacheFormat, WrittenBlockReadsBack) {
  auto block = SampleBlock();
  CacheView v;
  ASSERT_TRUE(OpenCacheView(block.data(), block.size(), 5.16, true, &v));
  EXPECT_EQ(v.count, 3u);
  EXPECT_EQ(v.restoreRow, 2);
  EXPECT_EQ(v.EntryImage(1)[0], 2);
  uint32_t n;
  const uint8_t* undo = v.UndoRecords(0, &n);
  ASSERT_NE(undo, nullptr);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(undo[2 * kCacheUndoRecordSize - 1], 0x55);
  EXPECT_EQ(v.UndoRecords(1, &n), nullptr);
  EXPECT_EQ(n, 0u);
  ASSERT_NE(v.PixelBlock(0), nullptr);
  EXPECT_EQ(v.PixelBlock(1), nullptr);
  EXPECT_EQ(v.PixelBlock(2)[kCachePixelBlockSize - 1], 0x77);
  // The unused tail share of the row without pixels stays zero.
  EXPECT_EQ(block.back(), 0);
  EXPECT_EQ(v.EntryImage(3), nullptr);

  // Only the fixed part read: entries and undo records, no pixels.
  CacheView fixed;
  ASSERT_TRUE(OpenCacheView(block.data(), 6488, 5.16, false, &fixed));
  EXPECT_EQ(fixed.PixelBlock(0), nullptr);
}

TEST(CacheFormat, VersionsBelowTheCacheVersionAreIgnored) {
  CacheView v;
  auto old = SampleBlock(u"5.15");
  EXPECT_FALSE(OpenCacheView(old.data(), old.size(), 5.16, true, &v));
  auto same = SampleBlock(u"5.16");
  EXPECT_TRUE(OpenCacheView(same.data(), same.size(), 5.16, true, &v));
}

TEST(CacheFormat, DamagedBlocksAreRefused) {
  auto good = SampleBlock();
  CacheView v;
  struct Damage {
    const char* what;
    size_t offset;
    uint32_t value;
    size_t truncateTo;
  };
  const size_t tableA = 548, tableB = 548 + 12, entries = 548 + 24;
  Damage cases[] = {
      {"truncated inside the fixed part", 0, 0, 3000},
      {"truncated inside the pixels", 0, 0, 6488 + 17376},
      {"huge count", 540, 0x7FFFFFFF, 0},
      {"negative count", 540, 0xFFFFFFFF, 0},
      {"fixed size beyond the file", 544, 0x7FFFFFF0, 0},
      {"fixed size below its minimum", 544, 548, 0},
      {"undo offset out of range", tableA, 0xFFFFFF00, 0},
      {"undo offset inside the entries", tableA, 600, 0},
      {"undo count too large", entries + kEntryImageUndoCountOffset, 1000, 0},
      {"pixel offset past the end", tableB + 4 * 2, 0xFFFFFF00, 0},
      {"pixel offset inside the fixed part", tableB, 1000, 0},
  };
  for (const Damage& d : cases) {
    auto b = good;
    if (d.truncateTo) b.resize(d.truncateTo);
    else std::memcpy(b.data() + d.offset, &d.value, 4);
    EXPECT_FALSE(OpenCacheView(b.data(), b.size(), 5.16, true, &v)) << d.what;
  }
  EXPECT_FALSE(OpenCacheView(good.data(), 100, 5.16, false, &v));
  EXPECT_FALSE(OpenCacheView(nullptr, 0, 5.16, false, &v));
}

TEST(CacheFormat, FileNamesOfFoldersAndCollections) {
  char16_t out[600];
  ASSERT_TRUE(BuildCacheFileName(u"D:\\cache\\", u"C:\\Pics\\Trip", false, out, 600));
  EXPECT_EQ(std::u16string(out), u"D:\\cache\\C\uFF1A\uFFE5Pics\uFFE5Trip.cac");
  ASSERT_TRUE(BuildCacheFileName(u"D:\\cache\\", u"Trip", true, out, 600));
  EXPECT_EQ(std::u16string(out), u"D:\\cache\\Lib\uFF1ATrip.cac");
  EXPECT_FALSE(BuildCacheFileName(u"D:\\cache\\", u"", false, out, 600));
  EXPECT_FALSE(BuildCacheFileName(u"D:\\cache\\", u"C:\\Pics\\Trip", false, out, 20));
  // A 259-character folder below a 259-character cache folder fits the 2 x 260 + 16 buffer.
  std::u16string longFolder(259, u'a'), longCache(259, u'b');
  char16_t big[2 * 260 + 16];
  EXPECT_TRUE(BuildCacheFileName(longCache.c_str(), longFolder.c_str(), false, big, sizeof big / 2));

  struct { const char16_t* name; const char16_t* folder; } decode[] = {
      {u"C\uFF1A\uFFE5Pics\uFFE5Trip.cac", u"C:\\Pics\\Trip"},
      {u"Lib\uFF1ATrip.cac", nullptr},
      {u"\uFFE5\uFFE5server\uFFE5share.cac", nullptr},
      {u"C\uFF1A\uFFE5x.txt", nullptr},
  };
  for (auto& d : decode) {
    bool ok = DecodeCacheFileName(d.name, out, 600);
    EXPECT_EQ(ok, d.folder != nullptr);
    if (ok) EXPECT_EQ(std::u16string(out), d.folder);
  }
}

}  // namespace
