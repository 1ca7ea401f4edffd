#include <gtest/gtest.h>

#include <string>

#include "browser/pure/list_pane_rules.h"

namespace {

std::u16string S(const char16_t* s) { return s ? std::u16string(s) : std::u16string(u"(null)"); }

TEST(ListColumns, CaptionSetsAndAlignment) {
  struct Case {
    int column, set;
    const char16_t* want;
  } cases[] = {
      {0, 0, u"ﾌｧｲﾙ名"}, {0, 3, u"file"},        {9, 1, u"Orientation "}, {11, 2, u"SS"},
      {23, 0, u"ﾒﾃﾞｨｱ分割#"}, {23, 3, u"Media#"}, {24, 0, nullptr},       {5, 4, nullptr},
      {-1, 0, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(S(ListColumnCaption(c.column, c.set)), S(c.want)) << c.column << "/" << c.set;
  for (int k = 0; k < kListColumnCount; ++k) EXPECT_EQ(ListColumnRightAligned(k), k == 4 || k == 23) << k;
}

TEST(ListColumns, CaptionByStyleWithTheUsersOwn) {
  char16_t own[kListColumnCount][kCustomCaptionChars] = {};
  const std::u16string mine = u"撮った日";
  mine.copy(own[10], mine.size());
  for (char16_t& c : own[11]) c = u'x';  // no terminator in its field
  EXPECT_EQ(S(ListColumnCaptionForStyle(10, 2, own)), u"撮影日時");
  EXPECT_EQ(S(ListColumnCaptionForStyle(11, 1, own)), u"ShutterSpeed");
  EXPECT_EQ(S(ListColumnCaptionForStyle(10, 4, own)), mine);
  EXPECT_EQ(S(ListColumnCaptionForStyle(11, 4, own)), u"ｼｬｯﾀｰｽﾋﾟｰﾄﾞ");
  EXPECT_EQ(S(ListColumnCaptionForStyle(12, 4, own)), u"F値");  // empty own caption
  EXPECT_EQ(S(ListColumnCaptionForStyle(12, 4, nullptr)), u"F値");
  EXPECT_EQ(S(ListColumnCaptionForStyle(3, 9, own)), u"ﾌｫｰﾏｯﾄ");  // a damaged style reads as 0
  EXPECT_EQ(S(ListColumnCaptionForStyle(3, -1, own)), u"ﾌｫｰﾏｯﾄ");
  EXPECT_EQ(S(ListColumnCaptionForStyle(24, 4, own)), u"(null)");
}

TEST(ListColours, CellAndLabelIndices) {
  struct Case {
    int column, row, media, action, want;
  } cases[] = {
      {23, 0, 0, -1, 3},  {23, 1, -2, -1, 9}, {23, 0, 4, -1, 7}, {23, 0, 3, -1, 8}, {23, 0, 3, 12, 8},
      {5, 0, 0, -1, 4},   {5, 1, 0, -1, 5},   {5, 1, 0, 12, 12}, {5, 0, 0, 20, 4},  {5, 1, 0, 99, 5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ListCellColorIndex(c.column, c.row, c.media, c.action), c.want) << c.column << " " << c.action;
  EXPECT_EQ(ThumbnailLabelColorIndex(-1), 6);
  EXPECT_EQ(ThumbnailLabelColorIndex(11), 11);
  EXPECT_EQ(ThumbnailLabelColorIndex(20), 6);  // outside the 20-slot table
}

TEST(RenameName, SplitsAtTheLastDotAndJoinsBelowTheLimit) {
  struct Case {
    const char16_t *name, *base, *ext;
  } cases[] = {
      {u"IMG_0001.JPG", u"IMG_0001", u".JPG"},
      {u"a.b.jpeg", u"a.b", u".jpeg"},
      {u"README", u"README", u""},
      {u".hidden", u"", u".hidden"},
      {u"", u"", u""},
  };
  for (const Case& c : cases) {
    char16_t base[260], ext[260];
    SplitRenameName(c.name, base, ext, 260);
    EXPECT_EQ(S(base), S(c.base));
    EXPECT_EQ(S(ext), S(c.ext));
  }
  char16_t small[4], ext[4];
  SplitRenameName(u"abcdefg.jpeg", small, ext, 4);
  EXPECT_EQ(S(small), S(u"abc"));
  EXPECT_EQ(S(ext), S(u".jp"));

  char16_t out[260];
  EXPECT_TRUE(JoinRenamePath(u"C:\\p\\", u"new.jpg", out, 260));
  EXPECT_EQ(S(out), S(u"C:\\p\\new.jpg"));
  std::u16string folder(250, u'f'), name(9, u'n');
  EXPECT_TRUE(JoinRenamePath(folder.c_str(), name.c_str(), out, 260));
  name += u'n';  // 260 together
  EXPECT_FALSE(JoinRenamePath(folder.c_str(), name.c_str(), out, 260));
}

TEST(HoverText, LabelsOnlyWithValuesAndTrailingLinesCut) {
  const char16_t* full[kListColumnCount] = {};
  full[0] = u"a.jpg";
  full[6] = u"4000x3000";
  full[8] = u"X100";
  full[10] = u"2020/01/02";
  full[11] = u"1/250";
  full[12] = u"F2.8";
  full[13] = u"P";
  full[14] = u"200";
  full[15] = u"+0.3";
  full[17] = u"lens";
  full[18] = u"23mm";
  full[21] = u"off";
  char16_t out[512];
  BuildHoverText(full, out, 512);
  EXPECT_EQ(S(out), S(u"File : a.jpg\n4000x3000 Pixel\nDate : 2020/01/02\nX100\n1/250\nF2.8\nP\nISO200\nEv+0.3\n23mm\n"
                      u"lens\nFlash : off"));

  const char16_t* sparse[kListColumnCount] = {};
  sparse[0] = u"b.png";
  sparse[8] = u"M";
  BuildHoverText(sparse, out, 512);
  EXPECT_EQ(S(out), S(u"File : b.png\n\n\nM"));

  char16_t tiny[8];
  BuildHoverText(full, tiny, 8);
  EXPECT_EQ(S(tiny), S(u"File : "));
}

TEST(Splitter, GripAndDragStopSixtyFourPixelsFromTheEdges) {
  struct Grip {
    int kind, x, y;
    bool want;
  } grips[] = {
      {0, 10, 196, true}, {0, 10, 199, true}, {0, 10, 200, false}, {1, 10, 195, false},
      {2, 650, 5, true},  {2, 653, 5, true},  {2, 654, 5, false},  {3, 150, 5, true},
      {3, 149, 5, false}, {0, 10, 700, false},
  };
  for (const Grip& g : grips) EXPECT_EQ(IsOnSplitterGrip(g.kind, 800, 600, 200, 150, g.x, g.y), g.want) << g.kind << " " << g.x << "," << g.y;

  struct Drag {
    int kind, fromX, fromY, toX, toY;
    bool moved;
    int32_t height, width;
  } drags[] = {
      {0, 0, 200, 0, 250, true, 250, 150},  {1, 0, 200, 0, 10, false, 64, 150},
      {0, 0, 200, 0, 590, false, 536, 150}, {2, 650, 0, 600, 0, true, 200, 200},
      {3, 150, 0, 100, 0, true, 200, 100},  {3, 150, 0, 10, 0, false, 200, 64},
  };
  for (const Drag& d : drags) {
    int32_t h = 200, w = 150;
    EXPECT_EQ(DragSplitter(d.kind, 800, 600, d.fromX, d.fromY, d.toX, d.toY, &h, &w), d.moved) << d.kind;
    EXPECT_EQ(h, d.height);
    EXPECT_EQ(w, d.width);
  }
}

TEST(CommandArithmetic, RotationsAndLayouts) {
  EXPECT_EQ(StepUserRotation(0, -1, false), 3);
  EXPECT_EQ(StepUserRotation(3, 1, false), 0);
  EXPECT_EQ(StepUserRotation(1, 1, false), 2);
  EXPECT_EQ(StepUserRotation(2, 1, true), 0);
  int layouts[] = {1, 2, 3, 4, 0};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(NextSplitLayout(k), layouts[k]);
  EXPECT_EQ(NextSplitLayout(9), 0);
}

}  // namespace
