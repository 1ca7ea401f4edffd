#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/pure/data_folder.h"
#include "core/pure/file_types.h"
#include "core/pure/key_hold.h"
#include "core/pure/os_class.h"

namespace {

TEST(FileTypes, BuiltInTable) {
  MovieExtensionTable none{};
  struct Row { const char16_t* ext; uint32_t bit; } rows[] = {
      {u"bmp", 0x1}, {u"jpg", 0x2}, {u"png", 0x4}, {u"gif", 0x8}, {u"tif", 0x10}, {u"crw", 0x20},
      {u"cr2", 0x40}, {u"nef", 0x80}, {u"mrw", 0x100}, {u"pef", 0x200}, {u"orf", 0x400}, {u"raf", 0x800},
      {u"sr2", 0x1000}, {u"arw", 0x2000}, {u"dng", 0x4000}, {u"nrw", 0x8000}, {u"raw", 0x10000},
      {u"rw2", 0x20000}, {u"rwl", 0x40000}, {u"mef", 0x80000}, {u"x3f", 0x100000}, {u"psd", 0x200000},
      {u"srw", 0x400000}, {u"fff", 0x800000}, {u"dcr", 0x80000000u},
  };
  for (const auto& r : rows) {
    std::u16string lower = std::u16string(u"C:\\p\\IMG_1.") + r.ext, upper = lower;
    for (auto& c : upper) c = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
    EXPECT_EQ(ClassifyFileName(lower.c_str(), 0xFFFFFFFFu, none), r.bit);
    EXPECT_EQ(ClassifyFileName(upper.c_str(), 0xFFFFFFFFu, none), r.bit);
    EXPECT_EQ(ClassifyFileName(upper.c_str(), ~r.bit, none), 0u);
  }
}

TEST(FileTypes, LongFormsAndMovies) {
  MovieExtensionTable movies;
  ParseMovieExtensionList(u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;", movies);
  EXPECT_EQ(movies.count, 12);
  const uint32_t all = 0x81FFFFFF, noJpegTiff = all & ~0x12u, noMovie = all & ~0x1000000u;
  struct Case { const char16_t* name; uint32_t enabled; uint32_t want; } cases[] = {
      {u"a.JPG", all, 0x2}, {u"a.jpg", noJpegTiff, 0},
      {u"a.JPEG", all, 0x2}, {u"a.JPEG", noJpegTiff, 0x2}, {u"a.Tiff", noJpegTiff, 0x10},
      {u"notjpeg", all, 0}, {u"a.MP4", all, 0x1000000}, {u"a.MP4", noMovie, 0},
      {u"clip.m2ts", all, 0x1000000}, {u"x.txt", all, 0}, {u"jpg", all, 0}, {u"a", all, 0},
      {u"noext", all, 0}, {u"C:\\v.mp4\\noext", all, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyFileName(c.name, c.enabled, movies), c.want);
}

TEST(FileTypes, MovieListParsing) {
  struct Case { std::u16string list; std::vector<std::u16string> want; } cases[] = {
      {u"AVI\uff1b M P 4 \u3000;\u3000mov", {u"avi", u"mp4", u"mov"}},
      {u"avi;;mp4;", {u"avi", u"", u"mp4"}},
      {u"abcdefgh;abcdefg;x", {u"abcdefg", u"x"}},
      {u"", {}},
  };
  for (const auto& c : cases) {
    MovieExtensionTable t;
    ParseMovieExtensionList(c.list.c_str(), t);
    ASSERT_EQ(t.count, int32_t(c.want.size()));
    for (size_t i = 0; i < c.want.size(); ++i) EXPECT_EQ(std::u16string(t.entries[i]), c.want[i]);
    // Only an empty segment (";;") lists files without an extension.
    const bool empty = std::find(c.want.begin(), c.want.end(), u"") != c.want.end();
    EXPECT_EQ(MatchMovieExtension(u"noext", t), empty ? 0x1000000u : 0u) << int(empty);
    EXPECT_EQ(MatchMovieExtension(u"a.mp", t), 0u);
  }
  std::u16string many;
  for (int i = 0; i < 200; ++i) many += u"e" + std::u16string(1, char16_t(u'0' + i % 10)) + u";";
  many.resize(1023);
  MovieExtensionTable t;
  ParseMovieExtensionList(many.c_str(), t);
  EXPECT_EQ(t.count, 128);
  // The setting may arrive without a terminator: never read past its 1,024 units.
  std::vector<char16_t> full(kMovieListChars, u'a');
  ParseMovieExtensionList(full.data(), t);
  EXPECT_EQ(t.count, 0);
}

TEST(DataFolder, Resolution) {
  struct Case { const char16_t* program; const char16_t* setting; const char16_t* want; } cases[] = {
      {u"C:\\Tools\\Viewer", u".\\user", u"C:\\Tools\\Viewer\\user\\cache\\"},
      {u"C:\\Tools\\Viewer\\", u".\\user", u"C:\\Tools\\Viewer\\user\\cache\\"},
      {u"C:\\Tools\\Viewer", u"D:\\data", u"D:\\data\\cache\\"},
      {u"C:\\Tools\\Viewer", u"D:\\data\\", u"D:\\data\\cache\\"},
      {u"C:\\Tools\\Viewer", u"..\\shared", u"C:\\Tools\\shared\\cache\\"},
      {u"C:\\Tools\\Viewer", u"\\\\server\\share\\bn", u"\\\\server\\share\\bn\\cache\\"},
      {u"C:\\Tools\\Viewer", u"", u"C:\\Tools\\Viewer\\cache\\"},
      {u"C:\\Viewer", u"..\\..\\..\\x", u"C:\\x\\cache\\"},
  };
  for (const auto& c : cases) {
    char16_t out[260];
    ASSERT_TRUE(BuildDataFolderPath(c.program, c.setting, u"cache", out, 260));
    EXPECT_EQ(std::u16string(out), c.want);
  }
  std::u16string deep = u"D:\\" + std::u16string(250, u'd');
  char16_t out[260];
  EXPECT_FALSE(BuildDataFolderPath(u"C:\\p", deep.c_str(), u"collection", out, 260));
}

TEST(OsClass, VersionTable) {
  struct Case { uint32_t platform, major, minor, build; int32_t want; } cases[] = {
      {1, 4, 0, 1111, 1}, {1, 4, 0, 0x0A0003E8, 2}, {1, 4, 10, 2222, 3}, {1, 4, 90, 3000, 3}, {1, 5, 0, 0, 0},
      {2, 3, 51, 0, 4}, {2, 4, 0, 0, 5}, {2, 5, 0, 0, 6}, {2, 5, 1, 0, 7}, {2, 5, 2, 0, 8}, {2, 5, 3, 0, 0},
      {2, 6, 0, 0, 9}, {2, 6, 1, 0, 10}, {2, 6, 2, 0, 10}, {2, 6, 3, 0, 10}, {2, 10, 0, 19045, 10},
      {2, 7, 0, 0, 10}, {2, 2, 0, 0, 0}, {0, 3, 1, 0, 0}, {3, 6, 1, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyOsVersion(c.platform, c.major, c.minor, c.build), c.want);
}

struct FakeKeyboard {
  bool down[256] = {};
  static bool Query(int32_t key, void* self) { return static_cast<FakeKeyboard*>(self)->down[key]; }
};

TEST(KeyHold, HoldReleaseAndQueries) {
  KeyHoldState s{};
  s.injectedKey = -1;
  FakeKeyboard kb;
  kb.down['A'] = true;
  for (int poll = 1; poll <= 25; ++poll) {
    PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
    EXPECT_EQ(s.counters['A'], poll < 20 ? poll : 20);
    EXPECT_EQ(KeyJustPressed(s, 'A'), poll == 1) << poll;
    EXPECT_EQ(KeyPressedOrRepeating(s, 'A'), poll == 1 || poll >= 20) << poll;
    EXPECT_TRUE(KeyHeld(s, 'A'));
  }
  kb.down['A'] = false;
  PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
  EXPECT_FALSE(KeyHeld(s, 'A'));
  kb.down['A'] = true;
  PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
  EXPECT_TRUE(KeyJustPressed(s, 'A'));

  s.pollingSuspended = 1;
  PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
  EXPECT_EQ(s.counters['A'], 2);  // counting goes on while the answers are held back
  EXPECT_FALSE(KeyHeld(s, 'A') || KeyJustPressed(s, 'A') || KeyPressedOrRepeating(s, 'A'));
}

TEST(KeyHold, InjectedKeyAndOutOfRangeCodes) {
  KeyHoldState s{};
  s.injectedKey = 0x11;
  FakeKeyboard kb;
  PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
  EXPECT_EQ(s.counters[0x11], 1);
  EXPECT_EQ(s.injectedKey, -1);
  PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
  EXPECT_EQ(s.counters[0x11], 0);

  for (auto& c : s.counters) c = 1;
  for (int32_t key : {0, 256, 1000, -1})
    EXPECT_FALSE(KeyHeld(s, key) || KeyJustPressed(s, key) || KeyPressedOrRepeating(s, key)) << key;
  kb.down[255] = true;
  s.counters[255] = 0;
  PollKeyHoldCounters(s, FakeKeyboard::Query, &kb);
  EXPECT_EQ(s.counters[255], 0);
  ResetKeyHoldCounters(s);
  for (int32_t c : s.counters) EXPECT_EQ(c, 0);
}

}  // namespace
