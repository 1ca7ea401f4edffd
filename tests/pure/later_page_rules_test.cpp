#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings_dialog/pure/later_page_rules.h"

namespace {
std::vector<int32_t> Used(const int32_t* b, int32_t n) { return std::vector<int32_t>(b, b + n); }

TEST(LaterPageRules, MediaSizesAndTypedNumbers) {
  EXPECT_EQ(MediaPresetForSize(737280000), 3);
  EXPECT_EQ(MediaPresetForSize(4700000000LL), 4);
  EXPECT_EQ(MediaPresetForSize(0), 0);  // item 0 is free entry, never matched by size
  EXPECT_EQ(MediaPresetForSize(737280001), 0);
  EXPECT_EQ(LeadingDigits64(u"4.7G"), 4);
  EXPECT_EQ(LeadingDigits64(u"G4"), 0);
  EXPECT_EQ(LeadingDigits64(u"999999999999999999"), 999999999999999999LL);
  // Digits past the 64-bit range stop the conversion instead of wrapping negative.
  EXPECT_EQ(LeadingDigits64(u"99999999999999999999"), 999999999999999999LL);
  int32_t v = 7;
  EXPECT_TRUE(ParseSignedDecimal(u"-5", &v));
  EXPECT_EQ(v, -5);
  EXPECT_TRUE(ParseSignedDecimal(u"250", &v));
  EXPECT_EQ(v, 250);
  v = 7;
  EXPECT_FALSE(ParseSignedDecimal(u"", &v));
  EXPECT_FALSE(ParseSignedDecimal(u"-", &v));
  EXPECT_FALSE(ParseSignedDecimal(u"5x", &v));
  EXPECT_FALSE(ParseSignedDecimal(u"2147483648", &v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseSignedDecimal(u"-2147483648", &v));
  EXPECT_EQ(v, INT32_MIN);
}

TEST(LaterPageRules, ColumnCaptionEdits) {
  EXPECT_TRUE(AcceptColumnCaption(u"名前", u"ﾌｧｲﾙ名"));
  EXPECT_FALSE(AcceptColumnCaption(u"", u"ﾌｧｲﾙ名"));
  EXPECT_FALSE(AcceptColumnCaption(u"FILENAME", u"filename"));  // letter case alone is no change
  EXPECT_TRUE(AcceptColumnCaption(u"1234567890123456789012345678901", u"x"));    // 31 units fit the field
  EXPECT_FALSE(AcceptColumnCaption(u"12345678901234567890123456789012", u"x"));  // 32 would lose the terminator
}

TEST(LaterPageRules, ToolboxEditing) {
  int32_t b[kToolboxSlotCount] = {};
  int32_t marks[kToolboxSlotCount];
  // 62 used and three kinds chosen: only the first fits under the limit of 63.
  int32_t count = 62;
  const int32_t three[3] = {5, 6, 7};
  EXPECT_EQ(AddToolboxKinds(b, &count, three, 3), 1);
  EXPECT_EQ(count, 63);
  EXPECT_EQ(b[62], 5);
  EXPECT_EQ(AddToolboxKinds(b, &count, three, 3), 0);

  int32_t list[6] = {1, 2, 3, 4, 5, 6};
  std::copy(list, list + 6, b);
  count = 6;
  // A block at the top stays in order and selected; the rest of a selection moves up.
  const int top[3] = {0, 1, 3};
  MoveToolboxUp(b, count, top, 3, marks);
  EXPECT_EQ(Used(b, count), (std::vector<int32_t>{1, 2, 4, 3, 5, 6}));
  EXPECT_EQ(marks[0], 1);
  EXPECT_EQ(marks[1], 1);
  EXPECT_EQ(marks[2], 1);
  EXPECT_EQ(marks[3], -1);
  const int block[2] = {3, 4};
  MoveToolboxUp(b, count, block, 2, marks);
  EXPECT_EQ(Used(b, count), (std::vector<int32_t>{1, 2, 3, 5, 4, 6}));
  const int bottom[2] = {4, 5};
  MoveToolboxDown(b, count, bottom, 2, marks);
  EXPECT_EQ(Used(b, count), (std::vector<int32_t>{1, 2, 3, 5, 4, 6}));
  EXPECT_EQ(marks[4], 1);
  EXPECT_EQ(marks[5], 1);
  const int one[1] = {0};
  MoveToolboxDown(b, count, one, 1, marks);
  EXPECT_EQ(Used(b, count), (std::vector<int32_t>{2, 1, 3, 5, 4, 6}));
  EXPECT_EQ(marks[1], 1);

  const int gone[2] = {0, 5};
  RemoveToolboxPositions(b, &count, gone, 2);
  EXPECT_EQ(Used(b, count), (std::vector<int32_t>{1, 3, 5, 4}));
  const int all[4] = {0, 1, 2, 3};
  RemoveToolboxPositions(b, &count, all, 4);
  EXPECT_EQ(count, 0);

  // The separator is offered however often it is used; used kinds are not.
  int32_t withSeparators[4] = {0, 1, 0, 44};
  int32_t offered[kToolboxKinds];
  const int n = AvailableToolboxKinds(withSeparators, 4, offered);
  EXPECT_EQ(n, kToolboxKinds - 2);
  EXPECT_EQ(offered[0], 0);
  EXPECT_EQ(offered[1], 2);
  EXPECT_EQ(offered[n - 1], 43);
  ResetToolboxMarks(marks);
  EXPECT_EQ(marks[0], 1);
  EXPECT_EQ(marks[1], -1);
}
}  // namespace

#include "actions/pure/action_path_rules.h"
#include "browser/pure/hot_key_text.h"

namespace {
std::u16string Finish(const char16_t* typed, int32_t kind, ActionPathResult expect = ActionPathResult::kOk) {
  char16_t out[260];
  EXPECT_EQ(FinishActionPath(typed, kind, out, 260), expect) << static_cast<int>(kind);
  return expect == ActionPathResult::kOk ? std::u16string(out) : std::u16string();
}

TEST(ActionPathRules, FoldersEndWithABackslashAndAreNeverCut) {
  EXPECT_EQ(Finish(u"d:\\backup", 3), u"d:\\backup\\");
  EXPECT_EQ(Finish(u"keep\\copy", 4), u"keep\\copy\\");
  EXPECT_EQ(Finish(u"d:\\backup\\", 7), u"d:\\backup\\");
  EXPECT_EQ(Finish(u"c:\\tools\\app.exe", 2), u"c:\\tools\\app.exe");  // an application stays as typed
  EXPECT_EQ(Finish(u"", 3), u"");
  Finish(u"\\keep", 3, ActionPathResult::kLeadingBackslash);
  const std::u16string full(258, u'a');  // 258 + '\' + terminator fill 260 units
  EXPECT_EQ(Finish(full.c_str(), 3).size(), 259u);
  const std::u16string over(259, u'a');
  Finish(over.c_str(), 3, ActionPathResult::kTooLong);
  EXPECT_EQ(Finish(over.c_str(), 2).size(), 259u);
  EXPECT_EQ(std::u16string(ActionKindLongName(3)), u"コピー");
  EXPECT_EQ(std::u16string(ActionKindLongName(13)), u"振分け移動");  // the media-split move asks for its folder too
  EXPECT_EQ(std::u16string(ActionPathQuestionPhrase(8)), u"の保存先フォルダを");
}
}  // namespace
