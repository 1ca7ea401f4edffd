#include <gtest/gtest.h>

#include <string>

#include "browser/pure/hot_key_text.h"

namespace {

TEST(HotKeyText, KeysAndKinds) {
  struct Case {
    int32_t key, vk;
    std::u16string name;
  } cases[] = {{0, 0, u"無し"},   {1, 0, u"マウスホイールボタン"}, {3, 0, u"マウス拡張Ｘ２ボタン"},
               {4, 'A', u"Aキー"}, {29, 'Z', u"Zキー"},                {30, '0', u"0キー"},
               {39, '9', u"9キー"}, {40, 0, u""},                       {-1, 0, u""}};
  for (const Case& c : cases) {
    EXPECT_EQ(TargetKeyVirtualKey(c.key), c.vk) << c.key;
    EXPECT_EQ(TargetKeyName(c.key), c.name) << c.key;
  }
  EXPECT_EQ(std::u16string(ActionKindLongName(0)), u"復帰(UNDO)");
  EXPECT_EQ(std::u16string(ActionKindLongName(14)), u"フォルダ統合");
  EXPECT_EQ(std::u16string(ActionKindLongName(15)), u"");
}

TEST(HotKeyText, DescriptionLines) {
  struct Case {
    int32_t kind;
    bool ask;
    std::u16string want;
  } cases[] = {
      {1, false, u"指定動作 [ X ]\n"},
      {2, false, u"転送先アプリケーションは　[ X ]　です。\n"},
      {3, true, u"コピー先フォルダは　[ X ]　です。　(実行時に変更可)\n"},
      {3, false, u"コピー先フォルダは　[ X ]　です。\n"},
      {4, false, u"移動先フォルダは　[ X ]　です。\n"},
      {8, true, u"保存先フォルダは　[ X ]　です。　(実行時に変更可)\n"},
      {10, false, u"リネーム設定 : [ X ]\n"},
      {11, false, u"置換リネーム設定 : ファイル名にあるXします。\n"},
      {5, false, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ActionDescriptionLine(c.kind, c.ask, u"X"), c.want) << c.kind;
  EXPECT_EQ(FillPattern(u"%s-%s-%s", {u"a"}), u"a--");
  EXPECT_EQ(FillPattern(u"100%", {u"a"}), u"100%");
}

TEST(HotKeyText, Question) {
  EXPECT_EQ(ActionQuestionText(1, 4, 3, u"", u"D\n", false, false),
            u"Aキー　[ コピー ]　アクションが押されました。\nD\n\nアクションを実行してもよろしいですか？  \n\n"
            u"※以後この表示はスキップされます。（表示設定で変更可）");
  EXPECT_EQ(ActionQuestionText(2, 30, 7, u"memo", u"", true, true),
            u"0キー　[ RAW現像(TIFF保存) ]　アクションの内容が変更されています。\nコメント ： memo\n\n"
            u"アクションを実行してもよろしいですか？  \n\nアクション対象のファイルが RAWデータ であった場合\n"
            u"リスト中の同名の Jpgファイル に対しても　[ RAW現像(TIFF保存) ]　が適用されます。\n\n"
            u"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）");
}

}  // namespace
