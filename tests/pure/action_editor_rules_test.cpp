#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/pure/action_editor_rules.h"

namespace {
std::u16string Entry(const char16_t* history, size_t chars, size_t i) { return history + i * chars; }

TEST(ActionEditorRules, HistoryPutsTheTypedTextFirstAndBlanksItsOldPlace) {
  char16_t h[4][8] = {u"IMG", u"ABC", u"DSC", u""};
  // Typing the same text as entry 0 changes nothing.
  EXPECT_FALSE(PushRenameHistory(&h[0][0], 4, 8, u"IMG", {u"IMG", u"ABC", u"DSC"}));
  EXPECT_EQ(Entry(&h[0][0], 8, 1), u"ABC");
  // A text already listed goes first; where it was is left empty.
  EXPECT_TRUE(PushRenameHistory(&h[0][0], 4, 8, u"DSC", {u"IMG", u"ABC", u"DSC"}));
  EXPECT_EQ(Entry(&h[0][0], 8, 0), u"DSC");
  EXPECT_EQ(Entry(&h[0][0], 8, 1), u"IMG");
  EXPECT_EQ(Entry(&h[0][0], 8, 2), u"ABC");
  EXPECT_EQ(Entry(&h[0][0], 8, 3), u"");
  // The list keeps at most its slots; too long texts are cut to the slot with its terminator.
  EXPECT_TRUE(PushRenameHistory(&h[0][0], 4, 8, u"0123456789", {u"a", u"b", u"c", u"d", u"e"}));
  EXPECT_EQ(Entry(&h[0][0], 8, 0), u"0123456");
  EXPECT_EQ(Entry(&h[0][0], 8, 3), u"c");
}

TEST(ActionEditorRules, KindsAndColumns) {
  EXPECT_EQ(ActionWhatText(3, u"d:\\x\\"), u"フォルダ　[ d:\\x\\ ]　に選択ファイルをコピーします。");
  EXPECT_EQ(ActionWhatText(5, u"ignored"), u"選択ファイルをゴミ箱に移動します。");
  EXPECT_EQ(ActionWhatText(13, u"x"), u"");
  EXPECT_EQ(ActionSettingKind(1), 2);
  EXPECT_EQ(ActionSettingKind(2), 1);
  EXPECT_EQ(ActionSettingKind(-1), -1);
  EXPECT_EQ(std::u16string(ActionUndoMark(5)), u"△");
  EXPECT_EQ(std::u16string(ActionUndoMark(6)), u"×");
  EXPECT_EQ(std::u16string(ActionUndoMark(11)), u"◎");
  EXPECT_EQ(ActionFixedTargetText(3), nullptr);
  for (int i = -1; i <= 14; ++i) EXPECT_EQ(ActionDescription(i)[0], u'■');
  EXPECT_EQ(std::u16string(ActionDescription(11)).rfind(u"■リネームについて", 0), 0u);
  EXPECT_TRUE(IsEditedActionRowSound(39, 12, 93));
  EXPECT_FALSE(IsEditedActionRowSound(40, 3, 0));
  EXPECT_FALSE(IsEditedActionRowSound(4, 13, 0));
  EXPECT_FALSE(IsEditedActionRowSound(4, 1, 94));
  EXPECT_FALSE(IsEditedActionRowSound(-1, 1, 0));

  int32_t widths[8] = {}, order[8] = {0, 1, 2, 3, 4, 5, 6, 6};
  NormaliseActionListColumns(widths, order);
  EXPECT_EQ(widths[2], 291);
  EXPECT_EQ(order[7], 7);
  int32_t kept[8] = {10, 20, 30, 40, 50, 60, 70, 0}, swapped[8] = {7, 1, 2, 3, 4, 5, 6, 0};
  NormaliseActionListColumns(kept, swapped);
  EXPECT_EQ(kept[0], 10);
  EXPECT_EQ(swapped[0], 7);
}
}  // namespace
