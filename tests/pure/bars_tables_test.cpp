// Menu, toolbar, band, focus and favourite tables and rules.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "browser/pure/favourite_rows.h"
#include "browser/pure/focus_rules.h"
#include "browser/pure/menu_tables.h"
#include "browser/pure/toolbar_tables.h"
#include "core/pure/settings_rules.h"

namespace {

std::u16string Text(const char16_t* t) { return t ? std::u16string(t) : std::u16string(); }

TEST(MenuTables, PopupShapes) {
  struct Case {
    int index, count, firstId, lastId;
    const char16_t* firstText;
    const char16_t* lastText;
  } cases[] = {
      {1, 10, 224, 105, u"ツールバーの固定", u"アプリケーションの終了"},
      {2, 43, 275, 9, u"検索", u"ヘルプ"},
      {3, 5, 435, 439, u"１画面", u"４画面分割"},
      {4, 26, 140, 309, u"BMP", u"動画"},
      {9, 3, 133, 132, u"ヘルプ", u"バージョン情報"},
      {10, 18, 2000, 2017, u"画像ファイル設定", u"GPS撮影位置推測設定"},
      {11, 23, 155, 9, u"ツリーを最新の情報に更新", u"ヘルプ"},
      {14, 4, 210, 209, u"項目名変更", u"全てのチェックを外す"},
      {18, 4, 244, 308, u"コピー", u"Yahoo!地図を開く"},
      {20, 4, 267, 299, u"新規コレクション作成", u"検索結果の一括削除"},
      {21, 3, 427, 429, u"追加", u"削除"},
  };
  for (const Case& c : cases) {
    const PopupTable* t = FindPopupTable(c.index);
    ASSERT_NE(t, nullptr) << c.index;
    EXPECT_EQ(t->count, c.count) << c.index;
    EXPECT_EQ(t->items[0].id, c.firstId) << c.index;
    EXPECT_EQ(t->items[c.count - 1].id, c.lastId) << c.index;
    EXPECT_EQ(Text(t->items[0].text), c.firstText) << c.index;
    EXPECT_EQ(Text(t->items[c.count - 1].text), c.lastText) << c.index;
  }
  for (int dynamic : {0, 12, 13, 19}) EXPECT_EQ(FindPopupTable(dynamic), nullptr);
  // Popup 10: 2000 + n opens page n, every item checked.
  const PopupTable* settings = FindPopupTable(10);
  for (int n = 0; n < 18; ++n) {
    EXPECT_EQ(settings->items[n].id, 2000 + n);
    EXPECT_EQ(settings->items[n].flags, kMenuChecked);
    EXPECT_EQ(settings->items[n].icon, -1);
  }
}

TEST(MenuTables, SubmenusAreBuiltBeforeTheirParents) {
  std::set<int> built = {kFavouritesMenu, kCacheHistoryMenu, kCollectionsMenu};
  for (int index : kBuildOrder) {
    const PopupTable* t = FindPopupTable(index);
    ASSERT_NE(t, nullptr);
    for (int i = 0; i < t->count; ++i)
      if (t->items[i].flags & kMenuPopup) EXPECT_TRUE(built.count(t->items[i].id)) << index << "/" << i;
    built.insert(index);
  }
  EXPECT_EQ(built.size(), 21u);

  SubmenuSlot slots[2];
  ASSERT_EQ(SubmenuSlots(kFavouritesMenu, slots), 2);
  EXPECT_EQ(slots[0].parent, 2);
  EXPECT_EQ(slots[0].position, 17);
  EXPECT_EQ(slots[1].parent, 11);
  EXPECT_EQ(slots[1].position, 17);
  ASSERT_EQ(SubmenuSlots(kCacheHistoryMenu, slots), 2);
  EXPECT_EQ(slots[0].position, 20);
  EXPECT_EQ(slots[1].position, 20);
  ASSERT_EQ(SubmenuSlots(kCollectionsMenu, slots), 1);
  EXPECT_EQ(slots[0].position, 13);
}

TEST(MenuTables, OwnerItemDataIsBoundsChecked) {
  EXPECT_EQ(OwnerItemRecord(OwnerItemData(2, 42))->id, 9);
  EXPECT_EQ(OwnerItemRecord(OwnerItemData(2, 43)), nullptr);   // past the table
  EXPECT_EQ(OwnerItemRecord(OwnerItemData(2, 4)), nullptr);    // separator, not owner-drawn
  EXPECT_EQ(OwnerItemRecord(OwnerItemData(3, 0)), nullptr);    // plain popup
  EXPECT_EQ(OwnerItemRecord(OwnerItemData(99, 0)), nullptr);
  EXPECT_EQ(Text(OwnerItemRecord(OwnerItemData(16, 0))->text), u"コピー");
}

TEST(MenuTables, FormatItemsFollowTheTypeMask) {
  const PopupTable* formats = FindPopupTable(4);
  uint32_t all = 0;
  for (int i = 0; i < formats->count; ++i) {
    uint32_t bit = FormatItemTypeBit(formats->items[i].id);
    ASSERT_NE(bit, 0u) << formats->items[i].id;
    EXPECT_EQ(bit & (bit - 1), 0u);
    EXPECT_EQ(all & bit, 0u) << "bit used twice";
    all |= bit;
  }
  EXPECT_EQ(all, 0x81FFFFFFu);
  EXPECT_EQ(FormatItemTypeBit(278), 0x80000000u);  // Kodak DCR
  EXPECT_EQ(FormatItemTypeBit(154), 0x100u);
  EXPECT_EQ(FormatItemTypeBit(145), 0x4000u);
  EXPECT_EQ(FormatItemTypeBit(105), 0u);
}

TEST(MenuTables, DynamicSubmenuRows) {
  static FavouriteFolderRow rows[128];
  std::memset(rows, 0, sizeof rows);
  CopyText16(rows[0].path, 260, u"C:\\a");
  rows[0].used = 1;
  rows[3].used = 1;  // used but empty
  CopyText16(rows[4].path, 260, u"C:\\unused");
  CopyText16(rows[5].path, 260, u"C:\\写真");
  rows[5].used = 1;
  DynamicMenuItem items[128];
  ASSERT_EQ(FavouriteMenuItems(rows, items), 2);
  EXPECT_EQ(items[0].id, 3000);
  EXPECT_EQ(items[1].id, 3005);
  EXPECT_EQ(Text(items[1].text), u"C:\\写真");
  EXPECT_EQ(items[1].flags, kMenuChecked);

  std::memset(rows, 0, sizeof rows);
  ASSERT_EQ(FavouriteMenuItems(rows, items), 1);
  EXPECT_EQ(items[0].id, 3000);
  EXPECT_EQ(items[0].flags, kMenuChecked | kMenuGrayed);
  EXPECT_EQ(Text(items[0].text), u"なし");

  ASSERT_EQ(ListMenuItems(1000, nullptr, 0, items, 128), 1);
  EXPECT_EQ(items[0].id, 1000);
  EXPECT_EQ(Text(items[0].text), u"なし");
  const char16_t* names[] = {u"旅行", u"家族"};
  ASSERT_EQ(ListMenuItems(4000, names, 2, items, 128), 2);
  EXPECT_EQ(items[1].id, 4001);
  EXPECT_EQ(ListMenuItems(4000, names, 2, items, 1), 1);  // capacity bounds the rows
}

TEST(MenuTables, ListPopupEnableRules) {
  auto state = [](const ListPopupInputs& in, int id) {
    CommandEnable rules[kListPopupRuleCount];
    ListPopupEnableRules(in, rules);
    for (const CommandEnable& r : rules)
      if (r.id == id) return int(r.enabled);
    return -1;
  };
  ListPopupInputs listReady{true, 10, 3, 2, 10, 0, true, 0, false, true, true};
  ListPopupInputs noSelection = listReady;
  noSelection.selectedRows = 0;
  ListPopupInputs viewerOnly = noSelection;
  viewerOnly.viewMode = 2;
  ListPopupInputs viewerDeleted = viewerOnly;
  viewerDeleted.cursorEntryPresent = false;
  ListPopupInputs loading = listReady;
  loading.thumbnailsComplete = false;
  ListPopupInputs collection = listReady;
  collection.listSource = 1;
  ListPopupInputs searching = listReady;
  searching.searchOpen = true;
  ListPopupInputs empty{true, 0, 1, 0, 0, -1, false, 0, false};
  // The keys on the tree: no pane takes a file action, the current pane the other commands.
  ListPopupInputs keysOnTree = listReady;
  keysOnTree.fileActionTarget = false;
  ListPopupInputs noPicture = keysOnTree;
  noPicture.pictureTarget = false;
  struct Case {
    const ListPopupInputs* in;
    int id, enabled;
  } cases[] = {
      {&listReady, 120, 1},   {&listReady, 117, 1},   {&listReady, 130, 1},   {&listReady, 164, 1},
      {&listReady, 273, 0},   {&listReady, 275, 1},   {&listReady, 137, 1},   {&listReady, 206, 1},
      {&noSelection, 120, 0}, {&noSelection, 117, 0}, {&noSelection, 158, 0}, {&noSelection, 130, 1},
      {&viewerOnly, 120, 1},  {&viewerOnly, 125, 1},  {&viewerOnly, 137, 0},  {&viewerOnly, 227, 1},
      {&viewerDeleted, 122, 0}, {&loading, 130, 0},   {&loading, 127, 0},     {&loading, 120, 0},
      {&loading, 119, 1},     {&collection, 164, 0},  {&collection, 273, 1},  {&searching, 275, 0},
      {&empty, 119, 0},       {&empty, 131, 0},       {&empty, 206, 0},       {&empty, 138, 1},
      {&listReady, 197, 1},   {&listReady, 200, 1},   {&empty, 197, 0},       {&empty, 136, 0},
      {&keysOnTree, 117, 0},  {&keysOnTree, 122, 0},  {&keysOnTree, 125, 0},  {&keysOnTree, 197, 0},
      {&keysOnTree, 230, 0},  {&keysOnTree, 158, 1},  {&keysOnTree, 136, 1},  {&keysOnTree, 182, 1},
      {&keysOnTree, 120, 1},  {&noPicture, 158, 0},   {&noPicture, 305, 0},   {&noPicture, 183, 0},
      {&noPicture, 200, 0},   {&noPicture, 136, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(state(*c.in, c.id), c.enabled) << c.id;

  EXPECT_TRUE(FolderTreeCopyEnabled(true, 1, 5, false));
  EXPECT_FALSE(FolderTreeCopyEnabled(true, 1, 5, true));   // the folder shown
  EXPECT_FALSE(FolderTreeCopyEnabled(true, 0, 5, false));
  EXPECT_TRUE(FolderTreeCopyEnabled(false, 0, 5, false));
  EXPECT_FALSE(FolderTreeCopyEnabled(false, 3, 0, false));
}

TEST(MenuTables, ModeIconsChangeInPlace) {
  const PopupTable* list = FindPopupTable(2);
  SetListPopupModeIcons(true, true);
  EXPECT_EQ(list->items[8].icon, 33);
  EXPECT_EQ(list->items[9].icon, 25);
  SetListPopupModeIcons(false, false);
  EXPECT_EQ(list->items[8].icon, 32);
  EXPECT_EQ(list->items[9].icon, 24);
  int w, h;
  OwnerItemSize(50, 12, 2, &w, &h);
  EXPECT_EQ(w, 92);
  EXPECT_EQ(h, 36);
}

TEST(FocusRules, ExactlyTheListedCommandsRunWithoutFocus) {
  int count = 0;
  for (uint8_t b : kCommandFocusTable) count += b;
  EXPECT_EQ(count, 53);
  for (int row : {2, 3, 6, 9, 14, 15, 17, 21, 22, 24, 25, 42, 45, 55, 70, 71, 74, 75, 79, 80, 83, 84, 86, 87, 92, 93})
    EXPECT_EQ(IsCommandAllowedWithoutFocus(1, row), 1) << row;
  for (int row : {0, 1, 4, 5, 10, 16, 18, 23, 26, 41, 46, 54, 81, 82, 85})
    EXPECT_EQ(IsCommandAllowedWithoutFocus(1, row), 0) << row;
  EXPECT_EQ(IsCommandAllowedWithoutFocus(2, 83), 0);  // a file action never
  EXPECT_EQ(IsCommandAllowedWithoutFocus(1, -1), 0);
  EXPECT_EQ(IsCommandAllowedWithoutFocus(1, 94), 0);

  struct Case {
    int remembered, panes, expected;
  } cases[] = {{3, 2, 1}, {-1, 4, 0}, {2, 4, 2}, {0, 1, 0}, {5, 1, 0}};
  for (const Case& c : cases) EXPECT_EQ(ClampRememberedPane(c.remembered, c.panes), c.expected);
}

TEST(ToolbarTables, RowsIdsAndTexts) {
  EXPECT_EQ(kToolbarCommandTable[0].id, 0);
  std::set<int> checks;
  for (int row = 1; row < kToolbarRows; ++row) {
    EXPECT_EQ(kToolbarCommandTable[row].id, kToolbarCommandIds[row - 1]);
    EXPECT_LT(kToolbarCommandTable[row].image, 56);
    if (kToolbarCommandTable[row].checkStyle) checks.insert(row);
    for (const char16_t* t : {kCommandTooltipTexts[row - 1].normal, kCommandTooltipTexts[row - 1].toggled})
      EXPECT_LT(Text(t).size(), 80u);
  }
  EXPECT_EQ(checks, (std::set<int>{1, 2, 3, 4, 6, 7, 22}));
  EXPECT_EQ(FindCommandIndex(328, kToolbarCommandIds, kToolbarCommands), 0);
  EXPECT_EQ(FindCommandIndex(556, kToolbarCommandIds, kToolbarCommands), 43);
  EXPECT_EQ(FindCommandIndex(999, kToolbarCommandIds, kToolbarCommands), -1);
  EXPECT_EQ(Text(kCommandTooltipTexts[0].toggled), u"ウインドウ表示(ESC)");
  EXPECT_EQ(Text(kCommandTooltipTexts[11].toggled), u"スライドショー停止(F1)");
  EXPECT_EQ(Text(kCommandTooltipTexts[30].normal), u"キヤッシュクリア");
}

TEST(ToolbarTables, ToolboxRowsAreClamped) {
  int32_t out[kToolboxSlots];
  EXPECT_EQ(ToolboxRows(kDefaultToolboxButtons, 32, out), 32);
  int separators = 0;
  for (int i = 0; i < 32; ++i) separators += out[i] == 0;
  EXPECT_EQ(separators, 3);
  EXPECT_EQ(out[31], 44);

  int32_t slots[kToolboxSlots];
  for (int i = 0; i < kToolboxSlots; ++i) slots[i] = i % 45;
  EXPECT_EQ(ToolboxRows(slots, 70, out), 64);  // count above 64
  slots[0] = 45;
  slots[1] = -3;
  slots[2] = 7;
  EXPECT_EQ(ToolboxRows(slots, 3, out), 1);    // kinds outside the table skipped
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(ToolboxRows(slots, -5, out), 0);
}

TEST(ToolbarTables, BandPlan) {
  SettingsBlock* s = new SettingsBlock;
  FillDefaultSettings(*s, u"5.71");
  BandPlacement plan[kBandCount];
  ASSERT_EQ(PlanBands(s->bandLayout, plan), 7);
  const int widths[] = {14, 352, 352, 152, 352, 102, 660};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(plan[i].kind, i);
    EXPECT_EQ(plan[i].width, widths[i]);
    EXPECT_EQ(plan[i].newRow, i == 4 || i == 6);
  }
  delete s;

  BandLayoutRecord saved[kBandCount] = {{6, 0, 500}, {0, 0, 14}, {6, 1, 10}, {-1, 0, 5},
                                        {9, 0, 5},   {3, 1, 200}, {1, 0, 300}};
  ASSERT_EQ(PlanBands(saved, plan), 4);  // repeat, negative and too-large kinds skipped
  EXPECT_EQ(plan[0].kind, 6);
  EXPECT_EQ(plan[0].width, 500);
  EXPECT_EQ(plan[1].kind, 0);
  EXPECT_EQ(plan[2].kind, 3);
  EXPECT_TRUE(plan[2].newRow);
  EXPECT_EQ(plan[3].kind, 1);

  struct Case {
    int kind, scale, os, height;
  } heights[] = {{0, 1, 10, 21}, {1, 1, 10, 27}, {1, 1, 8, 22}, {2, 2, 9, 44}, {3, 1, 10, 20},
                 {4, 1, 5, 22},  {5, 2, 10, 31}, {6, 1, 10, 22}};
  for (const Case& c : heights) EXPECT_EQ(BandHeight(c.kind, c.scale, c.os), c.height) << c.kind;
}

TEST(ToolbarTables, ImageLevelText) {
  struct Case {
    ImageLevelInputs in;
    const char16_t* text;
  } cases[] = {
      {{1, true, true, 0x80, 0}, u"\tThumbnail"},
      {{3, true, false, 0x2, 0}, u"\tNow Processing..."},
      {{2, false, true, 0x80, 0}, u"\tOriginal RAW"},
      {{2, false, true, 0x80000000u, 0}, u"\tOriginal RAW"},
      {{2, false, true, 0x2, 5000}, u"\tThumbnail"},
      {{3, false, false, 0x80, 5000}, u"\tThumbnail"},
      {{3, false, false, 0x2, 0}, u"\tOriginal"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(ImageLevelText(c.in)), c.text);
}

bool SameNoCase(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    char16_t x = *a, y = *b;
    if (x >= u'A' && x <= u'Z') x += 32;
    if (y >= u'A' && y <= u'Z') y += 32;
    if (x != y) return false;
    if (!x) return true;
  }
}

class FavouriteRowsTest : public ::testing::Test {
 protected:
  FavouriteFolderRow rows[kFavouriteRows] = {};
  std::u16string PathAt(int row) { return rows[row].path; }
  int Used() {
    int n = 0;
    while (n < kFavouriteRows && rows[n].path[0]) ++n;
    return n;
  }
};

TEST_F(FavouriteRowsTest, AddMovesToTopOnce) {
  for (const char16_t* p : {u"C:\\a", u"C:\\b", u"C:\\c"}) AddFavouriteRow(rows, p, SameNoCase);
  EXPECT_EQ(PathAt(0), u"C:\\c");
  AddFavouriteRow(rows, u"c:\\A", SameNoCase);  // third row, other letter case
  EXPECT_EQ(Used(), 3);
  EXPECT_EQ(PathAt(0), u"c:\\A");
  EXPECT_EQ(PathAt(1), u"C:\\c");
  EXPECT_EQ(PathAt(2), u"C:\\b");
  EXPECT_EQ(rows[0].used, 1);
  AddFavouriteRow(rows, u"c:\\A", SameNoCase);
  EXPECT_EQ(Used(), 3);
  AddFavouriteRow(rows, u"", SameNoCase);
  EXPECT_EQ(Used(), 3);
  AddFavouriteRow(rows, rows[2].path, SameNoCase);  // a path inside the rows themselves
  EXPECT_EQ(PathAt(0), u"C:\\b");
  EXPECT_EQ(Used(), 3);
}

TEST_F(FavouriteRowsTest, FullListDropsLastAndRemoveClears) {
  for (int i = 0; i < 129; ++i) {
    std::u16string p = u"D:\\f";
    for (char c : std::to_string(i)) p += char16_t(c);
    AddFavouriteRow(rows, p.c_str(), SameNoCase);
  }
  EXPECT_EQ(Used(), 128);
  EXPECT_EQ(PathAt(0), u"D:\\f128");
  EXPECT_EQ(PathAt(127), u"D:\\f1");  // f0 fell off
  AddFavouriteRow(rows, u"D:\\f1", SameNoCase);  // the last row moves up
  EXPECT_EQ(PathAt(0), u"D:\\f1");
  EXPECT_EQ(PathAt(127), u"D:\\f2");
  RemoveFavouriteRow(rows, 0);
  EXPECT_EQ(Used(), 127);
  EXPECT_EQ(rows[127].used, 0);
  EXPECT_EQ(PathAt(0), u"D:\\f128");
  RemoveFavouriteRow(rows, 200);
  EXPECT_EQ(Used(), 127);
  rows[3].used = 0;
  SetFavouriteRow(rows, 3, u"E:\\x");
  EXPECT_EQ(PathAt(3), u"E:\\x");
  EXPECT_EQ(rows[3].used, 0);
}

}  // namespace
