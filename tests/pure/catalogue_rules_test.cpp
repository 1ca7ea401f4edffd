#include "core/pure/catalogue_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/pure/image_entry.h"

namespace {

RowTest Selected(std::vector<int> rows) {
  return [rows](int r) {
    for (int x : rows) if (x == r) return true;
    return false;
  };
}

TEST(PathLists, WholeLines) {
  const char16_t* list = u"C:\\p\\a.jpg.jpg\nC:\\p\\B.jpg\n";
  struct Case {
    const char16_t* line;
    bool ignoreCase, found;
  } cases[] = {
      {u"C:\\p\\a.jpg", false, false}, {u"C:\\p\\a.jpg.jpg", false, true}, {u"C:\\p\\b.jpg", false, false},
      {u"C:\\p\\b.jpg", true, true},   {u"p\\B.jpg", false, false},       {u"", false, false},
  };
  for (const Case& c : cases) EXPECT_EQ(ContainsLine(list, c.line, c.ignoreCase), c.found);
  EXPECT_FALSE(ContainsLine(nullptr, u"x", false));

  std::u16string text = u"C:\\a.jpg\nC:\\a.jpg.jpg\nc:\\A.JPG\nC:\\b.jpg\n";
  EXPECT_EQ(RemoveLine(&text[0], u"C:\\a.jpg"), 2u);
  EXPECT_EQ(std::u16string(text.c_str()), u"C:\\a.jpg.jpg\nC:\\b.jpg\n");
  EXPECT_EQ(RemoveLine(&text[0], u"C:\\zzz"), 0u);

  std::u16string replaced;
  EXPECT_TRUE(ReplaceLine(u"C:\\a.jpg\nC:\\a.jpg.jpg\nc:\\A.JPG\n", u"C:\\a.jpg", u"D:\\n.jpg", &replaced));
  EXPECT_EQ(replaced, u"D:\\n.jpg\nC:\\a.jpg.jpg\nD:\\n.jpg\n");
  EXPECT_FALSE(ReplaceLine(u"C:\\a.jpg.jpg\n", u"C:\\a.jpg", u"x", &replaced));

  EXPECT_TRUE(SameLineSet(u"a\nb\nc\n", u"c\na\nb\n"));
  EXPECT_FALSE(SameLineSet(u"a\nb\n", u"a\nbb\n"));
  EXPECT_FALSE(SameLineSet(u"a\na\n", u"a\n"));
  EXPECT_TRUE(SameLineSet(nullptr, u""));
}

TEST(CollectionFile, RoundTripAndDamage) {
  const char16_t* list = u"C:\\p\\a.jpg\nD:\\写真\\b.jpg\n";
  std::vector<uint8_t> bytes = EncodeCollectionFile(list);
  ASSERT_EQ(bytes.size(), (std::char_traits<char16_t>::length(list) + 1) * 2);
  EXPECT_EQ(bytes[0], 'C');
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[bytes.size() - 4], 0x0A);
  EXPECT_EQ(bytes[bytes.size() - 2], 0);
  EXPECT_EQ(DecodeCollectionFile(bytes.data(), bytes.size()), list);
  EXPECT_EQ(EncodeCollectionFile(nullptr).size(), 0u);
  EXPECT_EQ(EncodeCollectionFile(u"").size(), 0u);

  auto decode = [](const std::vector<uint8_t>& b) { return DecodeCollectionFile(b.data(), b.size()); };
  struct Case {
    std::vector<uint8_t> bytes;
    std::u16string text;
  } cases[] = {
      {{}, u""},
      {{'a', 0, '\n', 0}, u"a\n"},                   // no terminator
      {{'a', 0, '\n', 0, 'b'}, u"a\n"},              // odd byte count
      {{'a', 0}, u"a\n"},                            // last line without its line feed
      {{'a', 0, 0, 0, 'b', 0, '\n', 0}, u"a\n"},     // text ends at the first U+0000
      {{'\n', 0, '\n', 0, 'c', 0, '\n', 0, 0, 0}, u"c\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(decode(c.bytes), c.text);

  std::u16string longLine(300, u'x');
  longLine += u"\nok\n";
  std::vector<uint8_t> b = EncodeCollectionFile(longLine.c_str());
  EXPECT_EQ(decode(b), u"ok\n");
}

TEST(CollectionName, FileNameRules) {
  struct Case {
    const char16_t* name;
    bool ok;
  } cases[] = {
      {u"Trip", true},  {u"a.b", true},  {u"旅行 2024", true}, {u"", false},    {u".", false},
      {u"..", false},   {u"a/b", false}, {u"a\\b", false},     {u"a:b", false}, {u"a*", false},
      {u"a?", false},   {u"\"a\"", false}, {u"<a>", false},    {u"a|b", false}, {u"a\tb", false},
      {u"trailing.", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidCollectionName(c.name), c.ok);
  std::u16string n64(64, u'n'), n65(65, u'n');
  EXPECT_TRUE(IsValidCollectionName(n64.c_str()));
  EXPECT_FALSE(IsValidCollectionName(n65.c_str()));
}

TEST(Paging, FlaggedWraps) {
  struct Case {
    std::vector<int> selected;
    int count, start, direction, n;
    int position, result;
  } cases[] = {
      {{1, 3, 5}, 6, 1, 1, 1, 3, 1},
      {{1, 3, 5}, 6, 5, 1, 1, 1, 1},   // wraps to the start
      {{1, 3, 5}, 6, 1, 0, 1, 5, 1},   // wraps to the end
      {{1, 3, 5}, 6, 1, 1, 5, 1, 6},   // fewer met: the last one met
      {{}, 6, 2, 1, 1, -1, 6},
      {{2}, 6, 2, 1, 1, 2, 5},         // itself after a full turn
  };
  for (const Case& c : cases) {
    int pos = c.start;
    EXPECT_EQ(FindNextFlaggedRow(&pos, c.direction, c.n, c.count, Selected(c.selected)), c.result);
    EXPECT_EQ(pos, c.position);
  }
}

TEST(Paging, StopAtEndsTurnsRoundOnce) {
  struct Case {
    std::vector<int> selected;
    int count, start, direction, n;
    int position, result;
  } cases[] = {
      {{0, 1, 2}, 3, 1, 1, 2, 1, 0},   // reaches the last row, turns, ends on the middle again
      {{0, 1, 2}, 3, 1, 1, 1, 2, 0},
      {{0, 1, 2}, 3, 1, 0, 2, 1, 0},   // the same at the first row
      {{0, 1, 2}, 3, 1, 1, 9, 0, 2},   // turned and reached the other end: count - 1
      {{}, 4, 0, 1, 1, -1, 3},
      {{3}, 4, 3, 1, 1, -1, 3},        // at the last row: turns at once, the start row is not met
      {{0, 3}, 4, 3, 1, 1, 0, 2},
  };
  for (const Case& c : cases) {
    int pos = c.start;
    EXPECT_EQ(FindNextMatchingRow(&pos, c.direction, c.n, c.count, Selected(c.selected), true), c.result)
        << c.start << " " << c.n;
    EXPECT_EQ(pos, c.position);
  }
  int pos = 5;
  EXPECT_EQ(FindNextMatchingRow(&pos, 1, 1, 6, Selected({1}), false), 1);
  EXPECT_EQ(pos, 1);
  pos = 0;
  EXPECT_EQ(FindNextMatchingRow(&pos, 1, 1, 0, Selected({}), true), -1);
}

// One step of paging: with the ends as walls the cursor stays at the last row going forward and
// at the first going back; wrapping, it goes round.
int PageStep(int row, int direction, int count, const RowTest& selected, bool stop) {
  int found = row;
  const int result = FindNextMatchingRow(&found, direction, 1, count, selected, stop);
  return PagingTarget(row, direction, found, result, count, stop);
}

TEST(Paging, StepStaysAtTheEndsWhenTheyAreWalls) {
  const RowTest all = Selected({0, 1, 2, 3});
  struct Case {
    int row, direction;
    bool stop;
    int expected;
  } cases[] = {
      {0, 1, true, 1}, {2, 1, true, 3}, {3, 1, true, 3}, {3, 0, true, 2},
      {0, 0, true, 0}, {3, 1, false, 0}, {0, 0, false, 3},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PageStep(c.row, c.direction, 4, all, c.stop), c.expected) << c.row << " " << c.direction << " " << c.stop;
  // Only selected rows count: past the last selected one there is nothing to go to.
  EXPECT_EQ(PageStep(1, 1, 6, Selected({1, 4}), true), 4);
  EXPECT_EQ(PageStep(4, 1, 6, Selected({1, 4}), true), 4);
  EXPECT_EQ(PageStep(1, 0, 6, Selected({1, 4}), true), 1);
  EXPECT_EQ(PageStep(2, 1, 4, Selected({}), true), 2);
  EXPECT_EQ(PageStep(2, 1, 4, Selected({2}), false), 2);  // itself after a full turn
  EXPECT_EQ(PageStep(0, 1, 1, Selected({0}), true), 0);
}

TEST(Paging, PanesAtTheEnd) {
  RowTest marked = Selected({0, 2, 4, 6, 8});
  struct Case {
    int row, panes;
    bool stop;
    int expected;
  } cases[] = {
      {8, 4, true, 2},  {6, 4, true, 2},  {2, 4, true, 2}, {8, 4, false, 8},
      {8, 1, true, 8},  {8, 2, true, 6},  {0, 4, true, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(AdjustRowForPanes(c.row, c.stop, c.panes, 9, marked), c.expected);
  EXPECT_EQ(AdjustRowForPanes(1, true, 3, 2, Selected({0, 1})), 1);  // panes >= marked rows
}

TEST(Paging, PaneTable) {
  int shown[4] = {5, -1, -1, 7};
  int requested[4] = {5, 6, 7, 8};
  EXPECT_EQ(PaneOrderNumber(shown, requested, 4, 0), 5);
  EXPECT_EQ(PaneOrderNumber(shown, requested, 4, 1), 6);
  EXPECT_EQ(PaneOrderNumber(shown, requested, 4, 2), 8);
  EXPECT_EQ(PaneOrderNumber(shown, requested, 4, 3), 7);
  EXPECT_EQ(PaneOrderNumber(shown, requested, 4, -1), -1);
  int none[4] = {-1, -1, -1, -1};
  EXPECT_EQ(PaneOrderNumber(none, none, 2, 1), -1);
}

TEST(Texts, SeparatorsAndProgress) {
  std::u16string s = u"Make\t\n\nCanon\t\nrest";
  char16_t* text = &s[0];
  char16_t* head = nullptr;
  ASSERT_TRUE(SplitAtSeparator(&text, &head, 0));
  EXPECT_EQ(std::u16string(head), u"Make");
  ASSERT_TRUE(SplitAtSeparator(&text, &head, 1));
  EXPECT_EQ(std::u16string(head), u"Canon");
  EXPECT_EQ(std::u16string(text), u"rest");
  EXPECT_FALSE(SplitAtSeparator(&text, &head, 1));

  char16_t out[32];
  FormatProgressText(0, 0, out);
  EXPECT_EQ(std::u16string(out), u"***/***");
  FormatProgressText(7, 1234, out);
  EXPECT_EQ(std::u16string(out), u"007/1234");
  EXPECT_EQ(ProgressPercent(0, 1), 0);
  EXPECT_EQ(ProgressPercent(1, 1), 100);
  EXPECT_EQ(ProgressPercent(5, 11), 50);
  EXPECT_EQ(StepPercent(999), 100);
  EXPECT_EQ(StepPercent(1000), 0);
}

TEST(ActionColumn, TextAndIcon) {
  uint8_t enabled[20];
  std::memset(enabled, 1, sizeof enabled);
  struct Case {
    int undoCount, kind;
    bool vanished;
    const char16_t* text;
    int icon;
  } cases[] = {
      {0, -1, false, nullptr, -1}, {0, -1, true, nullptr, 9},  {2, -1, false, nullptr, -1},
      {1, 3, false, u"ｺﾋﾟｰ", 11},  {1, 3, true, nullptr, 9},   // a copy of a vanished file
      {1, 5, true, u"ｺﾞﾐ箱", 13},  {1, 14, true, u"ﾌｫﾙﾀﾞ統合", 12}, {1, 0, false, u"復帰(UNDO)", 20},
  };
  for (const Case& c : cases) {
    const char16_t* t = EntryActionText(c.undoCount, c.kind, c.vanished);
    if (c.text) {
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(std::u16string(t), c.text);
    } else {
      EXPECT_EQ(t, nullptr);
    }
    EXPECT_EQ(EntryActionStateIcon(c.undoCount, c.kind, c.vanished, enabled), c.icon);
  }
  enabled[11] = 0;
  EXPECT_EQ(EntryActionStateIcon(1, 3, false, enabled), -1);
}

TEST(EntryImage, RoundTripKeepsNoPointers) {
  ImageEntry e;
  std::memset(&e, 0, sizeof e);
  e.cacheIndex = 7;
  std::u16string path = u"C:\\pics\\IMG_0001.JPG";
  std::copy(path.begin(), path.end(), e.path);
  SetEntryNamePointer(&e);
  e.info.fileSize = 123456;
  e.flags = 0x46;
  e.presence = 3;
  e.userRotation = 1;
  e.undoCount = 2;
  e.currentUndo = 1;
  e.moviePosition = 2.5;
  e.movieSlot = 255;
  e.volume = -127;
  e.movieThumbSecond = 5;
  e.undoRecords = reinterpret_cast<UndoRecord*>(&e);
  uint8_t image[kEntryImageSize];
  EncodeEntryImage(e, image);
  EXPECT_EQ(image[entry_image::kPath], 'C');
  EXPECT_EQ(image[entry_image::kName], 8);
  EXPECT_EQ(image[entry_image::kUndoRecords], 0);
  EXPECT_EQ(image[entry_image::kFlags], 0x46);

  ImageEntry d;
  ASSERT_TRUE(DecodeEntryImage(image, sizeof image, &d));
  EXPECT_EQ(d.cacheIndex, 7);
  EXPECT_EQ(std::u16string(d.name), u"IMG_0001.JPG");
  EXPECT_EQ(d.undoRecords, nullptr);
  EXPECT_EQ(d.histogramPicture, nullptr);
  EXPECT_EQ(d.levelImages[0], nullptr);
  EXPECT_EQ(d.info.fileSize, 123456u);
  EXPECT_EQ(d.currentUndo, 1);
  EXPECT_EQ(d.moviePosition, 2.5);
  EXPECT_EQ(d.volume, -127);
  EXPECT_FALSE(DecodeEntryImage(image, sizeof image - 1, &d));

  // A damaged image: no terminator in the path, a current undo index beyond the records.
  std::memset(image + entry_image::kPath, 'x', kEntryPathChars * 2);
  image[entry_image::kUndoCount] = 1;
  image[entry_image::kCurrentUndo] = 9;
  ASSERT_TRUE(DecodeEntryImage(image, sizeof image, &d));
  EXPECT_EQ(d.path[kEntryPathChars - 1], 0);
  EXPECT_EQ(d.currentUndo, 0);
}

}  // namespace
