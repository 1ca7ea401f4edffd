#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "actions/pure/action_table.h"
#include "actions/pure/recycle_records.h"
#include "actions/pure/undo_rules.h"
#include "core/pure/path_text.h"

namespace {

ActionEntry Row(int32_t key, int32_t kind, int32_t command = 0) {
  ActionEntry r{};
  r.enabled = 1;
  r.targetKey = key;
  r.kind = kind;
  r.commandIndex = command;
  return r;
}

TEST(ActionTable, CommandTableAndDisplayOrder) {
  EXPECT_EQ(std::u16string(GetCommandName(0)), u"前の画像へ(←)");
  EXPECT_EQ(GetCommandCode(0), -20);
  EXPECT_EQ(GetCommandRepeatKind(0), 2);
  EXPECT_EQ(std::u16string(GetCommandName(46)), u"画像スクロール → 上\u3000(テンキー８)");
  EXPECT_EQ(GetCommandRepeatKind(12), 0);
  EXPECT_EQ(GetCommandCode(93), -317);
  EXPECT_EQ(std::u16string(GetCommandName(87)), u"ムービー\u3000切替/先頭");
  EXPECT_EQ(std::u16string(GetCommandName(94)), u"");
  // Every index shown exactly once, in the editor's blocks.
  std::set<int32_t> seen(kCommandDisplayOrder, kCommandDisplayOrder + kCommandCount);
  EXPECT_EQ(seen.size(), 94u);
  EXPECT_EQ(*seen.begin(), 0);
  EXPECT_EQ(*seen.rbegin(), 93);
  EXPECT_EQ(kCommandDisplayOrder[44], 44);
  EXPECT_EQ(kCommandDisplayOrder[45], 81);
  EXPECT_EQ(kCommandDisplayOrder[48], 45);
  EXPECT_EQ(kCommandDisplayOrder[74], 80);
  EXPECT_EQ(kCommandDisplayOrder[75], 93);
  EXPECT_EQ(kCommandDisplayOrder[76], 71);
  EXPECT_EQ(kCommandDisplayOrder[93], 92);
  // Codes are unique: each command does something of its own.
  std::set<int32_t> codes;
  for (const CommandRow& c : kCommandTable) codes.insert(c.code);
  EXPECT_EQ(codes.size(), 94u);
  EXPECT_EQ(std::u16string(ActionKindShortName(3)), u"ｺﾋﾟｰ");
  EXPECT_EQ(ActionPathKind(2), 2);
  EXPECT_EQ(ActionPathKind(9), 1);
  EXPECT_EQ(ActionPathKind(13), 1);
  EXPECT_EQ(ActionPathKind(14), -1);
}

TEST(ActionTable, SanitizeDisablesRowsOutOfRange) {
  std::vector<ActionEntry> rows(kActionRowLimit);
  rows[0] = Row(4, 3);
  rows[1] = Row(40, 3);          // key out of range
  rows[2] = Row(5, 14);          // kind out of range
  rows[3] = Row(6, 1, 94);       // command out of range
  rows[4] = Row(7, 1, 93);
  for (auto& c : rows[4].comment) c = u'x';  // no terminator
  rows[20] = Row(50, 99);        // beyond the count: left alone
  int32_t count = 5;
  SanitizeActionTable(rows.data(), &count);
  EXPECT_EQ(rows[0].enabled, 1);
  EXPECT_EQ(rows[1].enabled, 0);
  EXPECT_EQ(rows[2].enabled, 0);
  EXPECT_EQ(rows[3].enabled, 0);
  EXPECT_EQ(rows[4].enabled, 1);
  EXPECT_EQ(rows[4].comment[255], 0);
  EXPECT_EQ(rows[20].enabled, 1);
  count = 1000;
  SanitizeActionTable(rows.data(), &count);
  EXPECT_EQ(count, 39);
  count = -3;
  SanitizeActionTable(rows.data(), &count);
  EXPECT_EQ(count, 0);

  int32_t states[kActionKeyCount];
  rows[1].targetKey = 9;
  rows[1].enabled = 0;  // bound but disabled still counts
  RebuildActionKeyStates(rows.data(), 3, states);
  EXPECT_EQ(states[4], 1);
  EXPECT_EQ(states[9], 1);
  EXPECT_EQ(states[5], 1);
  EXPECT_EQ(states[7], 0);  // row 4 is beyond the count
}

// A scripted surroundings: which virtual keys are down, what the question answers.
struct ScriptHost : ActionFiringHost {
  std::set<int32_t> down;
  bool focus = true;
  std::vector<int32_t> ran, confirmed;
  FireAnswer answer = FireAnswer::kRun;
  int32_t* pending = nullptr;
  int32_t restartKey = 0;
  bool KeyFires(int32_t vk, int32_t) override { return down.count(vk) != 0; }
  bool BrowsingFocus() override { return focus; }
  bool CommandAllowedWithoutFocus(int32_t index) override { return index == 2; }
  FireAnswer Confirm(int32_t row) override {
    confirmed.push_back(row);
    if (answer == FireAnswer::kRestartWalk) {
      answer = FireAnswer::kRun;
      *pending = restartKey;
      return FireAnswer::kRestartWalk;
    }
    return answer;
  }
  bool AskFolder(int32_t) override { return true; }
  int32_t Run(int32_t row) override {
    ran.push_back(row);
    return rows_[row].kind == 1 ? 2 : 1;
  }
  void AfterRun() override {}
  const ActionEntry* rows_ = nullptr;
};

TEST(ActionTable, FiringRule) {
  std::vector<ActionEntry> rows = {Row(0, 3), Row(4, 3), Row(4, 4), Row(5, 1, 6), Row(5, 3), Row(1, 5), Row(1, 6)};
  ScriptHost host;
  host.rows_ = rows.data();
  int32_t pending = 0;
  host.pending = &pending;
  // Key 0 never fires, even with everything down; both rows on A run in table order.
  host.down = {0, 'A'};
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_EQ(host.ran, (std::vector<int32_t>{1, 2}));
  // A built-in command first on B ends the walk: the copy on B does not run.
  host.ran.clear();
  host.down = {'B'};
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_EQ(host.ran, (std::vector<int32_t>{3}));
  // A mouse key is taken by the first row bound to it only, and never survives the tick.
  host.ran.clear();
  host.down.clear();
  pending = 1;
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_EQ(host.ran, (std::vector<int32_t>{5}));
  EXPECT_EQ(pending, 0);
  pending = 3;  // no row bound to it
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_EQ(pending, 0);
  // Without the browsing focus only allowed commands run.
  host.ran.clear();
  host.focus = false;
  host.down = {'A', 'B'};
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_TRUE(host.ran.empty());
  rows[3].commandIndex = 2;
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_EQ(host.ran, (std::vector<int32_t>{3}));
  // Cancel ends the walk; rows beyond the count and disabled rows never fire.
  host.focus = true;
  host.ran.clear();
  host.answer = FireAnswer::kEndWalk;
  host.down = {'A'};
  WalkActionRows(rows.data(), 7, &pending, host);
  EXPECT_TRUE(host.ran.empty());
  host.answer = FireAnswer::kRun;
  rows[1].enabled = 2;
  WalkActionRows(rows.data(), 2, &pending, host);
  EXPECT_TRUE(host.ran.empty());
  // "Settings first" re-evaluates the same key from row 0 through the pending key.
  rows[1].enabled = 1;
  host.answer = FireAnswer::kRestartWalk;
  host.restartKey = 4;
  host.down.clear();
  host.confirmed.clear();
  pending = 4;
  WalkActionRows(rows.data(), 3, &pending, host);
  EXPECT_EQ(host.confirmed, (std::vector<int32_t>{1, 1}));
  EXPECT_EQ(host.ran, (std::vector<int32_t>{1}));
}

TEST(UndoRules, HistoryLinesAndStack) {
  EXPECT_EQ(FormatHistoryLine(3, u"a.jpg", 0), u"ｺﾋﾟｰ:a.jpg->NG!");
  EXPECT_EQ(FormatHistoryLine(0, u"a.jpg", 2), u"復帰(UNDO):a.jpg->Skip!");
  EXPECT_EQ(FormatHistoryLine(-2, u"b.jpg", 1), u"ﾌｫﾙﾀﾞ統合:b.jpg->OK!");
  EXPECT_EQ(HistoryIconIndex(3, 1), 3);
  EXPECT_EQ(HistoryIconIndex(3, 0), 17);
  EXPECT_EQ(HistoryIconIndex(-2, 2), 27);

  ImageEntry e{};
  e.currentUndo = -1;
  EXPECT_TRUE(IsEntryFileInPlaceRule(&e));
  ASSERT_TRUE(PushUndoRecord(&e, 3, u"C:\\a\\"));
  ASSERT_TRUE(PushUndoRecord(&e, 10, u"C:\\x\\old.jpg"));
  ASSERT_TRUE(PushUndoRecord(&e, 13, u"C:\\m\\"));
  EXPECT_EQ(e.undoCount, 3);
  EXPECT_FALSE(IsEntryFileInPlaceRule(&e));  // kind 13 moved it away
  PopUndoRecord(&e);
  EXPECT_EQ(e.currentUndo, 1);
  EXPECT_EQ(e.undoCount, 3);
  EXPECT_TRUE(IsEntryFileInPlaceRule(&e));
  EXPECT_EQ(std::u16string(CurrentUndoRecord(&e)->path), u"C:\\x\\old.jpg");
  // A new action after an undo drops the undone record.
  ASSERT_TRUE(PushUndoRecord(&e, 5, nullptr));
  EXPECT_EQ(e.undoCount, 3);
  EXPECT_EQ(e.currentUndo, 2);
  EXPECT_EQ(e.undoRecords[2].kind, 5);
  EXPECT_EQ(e.undoRecords[0].kind, 3);
  FreeUndoRecords(&e);
  EXPECT_EQ(e.currentUndo, -1);
  EXPECT_EQ(CurrentUndoRecord(&e), nullptr);
}

TEST(UndoRules, FoldersAndProducts) {
  char16_t out[kPathUnits];
  ASSERT_TRUE(ResolveAgainstImageFolder(u"C:\\photos\\a.jpg", u"sel\\", out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"C:\\photos\\sel\\");
  ASSERT_TRUE(ResolveAgainstImageFolder(u"C:\\photos\\a.jpg", u"..\\keep\\", out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"C:\\keep\\");
  ASSERT_TRUE(ResolveAgainstImageFolder(u"C:\\photos\\a.jpg", u"D:\\x\\", out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"D:\\x\\");
  // The name is cut in the file-name part only, never inside a folder name.
  ASSERT_TRUE(BuildUndoProductPath(9, u"D:\\pre.views", u"C:\\v1.2\\IMG_1", out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"D:\\pre.views\\IMG_1.jpg");
  ASSERT_TRUE(BuildUndoProductPath(7, u"out\\", u"C:\\p\\a.b.NEF", out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"C:\\p\\out\\a.b.tiff");
  ASSERT_TRUE(BuildUndoProductPath(3, u"D:\\c", u"C:\\p\\a.jpg", out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"D:\\c\\a.jpg");
  std::u16string longFolder = u"D:\\" + std::u16string(250, u'f');
  EXPECT_FALSE(BuildUndoProductPath(3, longFolder.c_str(), u"C:\\p\\a.jpg", out, kPathUnits));

  char16_t text[kPathUnits] = {};
  CopyText(text, kPathUnits, u"D:\\copies\\");
  ProductStamp s{123456, 0x89ABCDEF, 0x01D00000}, back{};
  EXPECT_FALSE(ReadProductStamp(text, &back));
  ASSERT_TRUE(StoreProductStamp(text, s));
  EXPECT_EQ(std::u16string(text), u"D:\\copies\\");
  ASSERT_TRUE(ReadProductStamp(text, &back));
  EXPECT_EQ(back.size, s.size);
  EXPECT_EQ(back.timeLow, s.timeLow);
  EXPECT_EQ(back.timeHigh, s.timeHigh);
}

TEST(UndoRules, Orientation) {
  EXPECT_EQ(RotatedOrientation(6, 1), 3);
  EXPECT_EQ(RotatedOrientation(8, 2), 6);
  EXPECT_EQ(RotatedOrientation(1, 3), 8);
  EXPECT_EQ(RotatedOrientation(1, -1), 8);
  EXPECT_EQ(RotatedOrientation(2, 1), 0);
  uint8_t b[2];
  ASSERT_TRUE(EncodeOrientation(6, 2, b));
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 6);
  ASSERT_TRUE(EncodeOrientation(6, 1, b));
  EXPECT_EQ(b[0], 6);
  EXPECT_EQ(b[1], 0);
  EXPECT_FALSE(EncodeOrientation(6, 0, b));
}

void PutText(std::vector<uint8_t>& d, size_t at, const std::u16string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    d[at + 2 * i] = static_cast<uint8_t>(s[i] & 0xFF);
    d[at + 2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
  }
}

TEST(RecycleRecords, Info2AndDollarI) {
  std::vector<uint8_t> info2(kInfo2Header + 3 * kInfo2RecordSize, 0);
  auto record = [&](size_t i, uint32_t number, const std::u16string& path) {
    const size_t at = kInfo2Header + i * kInfo2RecordSize;
    std::memcpy(&info2[at + 260], &number, 4);
    PutText(info2, at + 280, path);
  };
  record(0, 4, u"C:\\Photos\\a.jpg");
  record(1, 7, u"C:\\Photos\\b.jpg");
  record(2, 9, u"C:\\PHOTOS\\A.JPG");  // deleted again later: the newest wins
  EXPECT_EQ(FindInfo2RecordNumber(info2.data(), info2.size(), u"c:\\photos\\a.jpg"), 9);
  EXPECT_EQ(FindInfo2RecordNumber(info2.data(), info2.size(), u"C:\\Photos\\b.jpg"), 7);
  EXPECT_EQ(FindInfo2RecordNumber(info2.data(), info2.size(), u"C:\\Photos\\c.jpg"), -1);
  // A cut file holds only whole records; a record without a terminator never matches.
  EXPECT_EQ(FindInfo2RecordNumber(info2.data(), info2.size() - 1, u"c:\\photos\\a.jpg"), 4);
  std::vector<uint8_t> bad(kInfo2Header + kInfo2RecordSize, 0x41);
  EXPECT_EQ(FindInfo2RecordNumber(bad.data(), bad.size(), u"AAAA"), -1);
  EXPECT_EQ(FindInfo2RecordNumber(info2.data(), 10, u"x"), -1);

  char16_t name[32];
  ASSERT_TRUE(BuildInfo2CopyName(u'C', 12, u"C:\\p.x\\IMG.JPG", name, 32));
  EXPECT_EQ(std::u16string(name), u"dc12.jpg");
  ASSERT_TRUE(BuildInfo2CopyName(u'd', 0, u"D:\\p.x\\README", name, 32));
  EXPECT_EQ(std::u16string(name), u"dd0");

  std::vector<uint8_t> v1(24 + 2 * 16, 0);
  v1[0] = 1;
  PutText(v1, 24, u"C:\\a\\b.jpg");
  char16_t path[kPathUnits];
  ASSERT_TRUE(ReadDollarIPath(v1.data(), v1.size(), path, kPathUnits));
  EXPECT_EQ(std::u16string(path), u"C:\\a\\b.jpg");
  std::vector<uint8_t> v2(28 + 2 * 11, 0);
  v2[0] = 2;
  v2[24] = 11;
  PutText(v2, 28, u"C:\\a\\c.jpg");
  ASSERT_TRUE(ReadDollarIPath(v2.data(), v2.size(), path, kPathUnits));
  EXPECT_EQ(std::u16string(path), u"C:\\a\\c.jpg");
  v2[24] = 200;  // a length beyond the file is bounded by the file
  ASSERT_TRUE(ReadDollarIPath(v2.data(), v2.size(), path, kPathUnits));
  std::vector<uint8_t> unterminated(24 + 8, 0x41);
  unterminated[0] = 1;
  unterminated[1] = unterminated[2] = unterminated[3] = 0;
  for (int i = 4; i < 24; ++i) unterminated[i] = 0;
  EXPECT_FALSE(ReadDollarIPath(unterminated.data(), unterminated.size(), path, kPathUnits));
  v1[0] = 3;
  EXPECT_FALSE(ReadDollarIPath(v1.data(), v1.size(), path, kPathUnits));
  EXPECT_FALSE(ReadDollarIPath(v1.data(), 20, path, kPathUnits));
  EXPECT_TRUE(IsDollarRName(u"$RAB12.jpg"));
  EXPECT_FALSE(IsDollarRName(u"$IAB12.jpg"));
}

}  // namespace

namespace {
TEST(RecycleRecords, DeletionTime) {
  std::vector<uint8_t> d(28, 0);
  d[16] = 0x10;
  d[23] = 0x01;
  EXPECT_EQ(DollarIDeletionTime(d.data(), d.size()), 0x0100000000000010ull);
  EXPECT_EQ(DollarIDeletionTime(d.data(), 20), 0u);
}
}  // namespace
