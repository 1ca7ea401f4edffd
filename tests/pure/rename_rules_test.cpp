#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "actions/pure/media_split_rules.h"
#include "actions/pure/rename_rules.h"
#include "core/pure/path_text.h"

namespace {

// A folder of names held in memory; a taken plain date name moves aside as the list's entry would.
class SetProbe : public NameProbe {
 public:
  std::set<std::u16string> names;
  bool Exists(const char16_t* path) override { return names.count(path) != 0; }
  void PlainDateNameTaken(const char16_t* plain, const char16_t* first) override {
    if (names.erase(plain)) names.insert(first);
  }
};

std::u16string NumberName(SetProbe& probe, int32_t* counter, const char16_t* extension = u".jpg") {
  char16_t out[kPathUnits];
  if (!ChooseNumberName(u"C:\\p", u"IMG_", 0, extension, counter, probe, out)) return u"(none)";
  probe.names.insert(out);
  return out;
}

TEST(RenameRules, NumbersSkipTakenNamesAndRawJpgShareOne) {
  SetProbe probe;
  probe.names.insert(u"C:\\p\\IMG_002.jpg");
  int32_t counter = 1;
  std::u16string got[3];
  for (auto& name : got) {
    name = NumberName(probe, &counter);
    ++counter;  // the engine raises the counter after each file
  }
  EXPECT_EQ(got[0], u"C:\\p\\IMG_001.jpg");
  EXPECT_EQ(got[1], u"C:\\p\\IMG_003.jpg");
  EXPECT_EQ(got[2], u"C:\\p\\IMG_004.jpg");

  // The JPG of a RAW file is named first without raising the counter: both carry 005.
  EXPECT_EQ(NumberName(probe, &counter, u".jpg"), u"C:\\p\\IMG_005.jpg");
  EXPECT_EQ(NumberName(probe, &counter, u".nef"), u"C:\\p\\IMG_005.nef");

  char16_t out[kPathUnits];
  int32_t wide = 7;
  ASSERT_TRUE(ChooseNumberName(u"C:\\p", u"", 2, u"", &wide, probe, out));
  EXPECT_EQ(std::u16string(out), u"C:\\p\\00007");
  // No name that fits into a path: refused, never cut.
  const std::u16string longFolder = u"C:\\" + std::u16string(250, u'f');
  EXPECT_FALSE(ChooseNumberName(longFolder.c_str(), u"IMG_", 0, u".jpg", &wide, probe, out));
  EXPECT_EQ(out[0], 0);
}

TEST(RenameRules, SameSecondShotsGetSuffixes) {
  SetProbe probe;
  char16_t out[kPathUnits];
  const char16_t* d = u"2023-04-05-06-07-08";
  const std::u16string plain = u"C:\\p\\2023-04-05-06-07-08.jpg";
  auto suffixed = [](int n) { return u"C:\\p\\2023-04-05-06-07-08-" + std::u16string(1, char16_t(u'0' + n)) + u".jpg"; };
  const std::set<std::u16string> after[3] = {{plain}, {suffixed(1), suffixed(2)}, {suffixed(1), suffixed(2), suffixed(3)}};
  for (int shot = 0; shot < 3; ++shot) {
    ASSERT_TRUE(ChooseDateName(u"C:\\p", d, u"-", u".jpg", probe, out));
    probe.names.insert(out);
    EXPECT_EQ(probe.names, after[shot]) << shot;
  }
  // The plain name held by a file outside the list stays; the search still ends with 2.
  SetProbe outside;
  outside.names.insert(u"C:\\p\\D.jpg");
  struct Stubborn : SetProbe {
    void PlainDateNameTaken(const char16_t*, const char16_t*) override {}
  } stubborn;
  stubborn.names = outside.names;
  ASSERT_TRUE(ChooseDateName(u"C:\\p", u"D", u"_", u".jpg", stubborn, out));
  EXPECT_EQ(std::u16string(out), u"C:\\p\\D_2.jpg");
}

TEST(RenameRules, DatePatternsWithEitherJoiner) {
  const char16_t* date = u"2023/04/05 06:07:08";
  const char16_t* want[2][7] = {
      {u"2023-04-05-06-07-08", u"23-04-05-06-07-08", u"04-05-06-07-08", u"20230405-060708", u"230405-060708",
       u"0405-060708", u"20230405060708"},
      {u"2023_04_05_06_07_08", u"23_04_05_06_07_08", u"04_05_06_07_08", u"20230405_060708", u"230405_060708",
       u"0405_060708", u"20230405060708"}};
  char16_t out[64];
  for (int joiner = 0; joiner < 2; ++joiner)
    for (int source = 0; source < 3; ++source)
      for (int layout = 0; layout < 7; ++layout) {
        const int type = 3 + source * 7 + layout;
        ASSERT_TRUE(BuildDateNamePart(date, type, joiner, out, 64)) << type;
        EXPECT_EQ(std::u16string(out), want[joiner][layout]) << type << " joiner " << joiner;
        EXPECT_EQ(RenameDateSource(type), source + 1);
      }
  // Not a date: blanks of an unset camera clock, a short text, a separator where a digit goes.
  EXPECT_FALSE(BuildDateNamePart(u"    /  /     :  :  ", 3, 0, out, 64));
  EXPECT_FALSE(BuildDateNamePart(u"2023/04/05 06:07", 3, 0, out, 64));
  EXPECT_FALSE(BuildDateNamePart(u"2023/0\\/05 06:07:08", 3, 0, out, 64));
  EXPECT_FALSE(BuildDateNamePart(date, 2, 0, out, 64));
}

TEST(RenameRules, DescriptionsAndNames) {
  RenamePattern p{};
  p.nameType = 3;
  std::memcpy(p.prefix, u"IMG", 8);
  char16_t out[512];
  ASSERT_TRUE(FormatRenamePattern(p, out, 512));
  EXPECT_EQ(std::u16string(out), u"EXIF撮影日時 (YYYY-MM-DD-HH-MM-SS)");
  p.prefixType = 1;
  p.prefixJoiner = 2;
  p.dateJoiner = 1;
  p.nameType = 16;
  ASSERT_TRUE(FormatRenamePattern(p, out, 512));
  EXPECT_EQ(std::u16string(out), u"IMG_ﾌｧｲﾙ作成日時 (YYYYMMDDHHMMSS)");
  p.prefixType = 5;
  p.prefixJoiner = 0;
  p.nameType = 19;
  ASSERT_TRUE(FormatRenamePattern(p, out, 512));
  EXPECT_EQ(std::u16string(out), u"カメラモデル名+ﾌｧｲﾙ更新日時 (MM_DD_HH_MM_SS)");
  p.prefixType = 1;
  p.prefix[0] = 0;
  p.nameType = 1;
  ASSERT_TRUE(FormatRenamePattern(p, out, 512));
  EXPECT_EQ(std::u16string(out), u"連番 (4桁)");
  ASSERT_TRUE(FormatReplaceTexts(u"abc", u"ABC", out, 512));
  EXPECT_EQ(std::u16string(out), u"旧文字列 [ abc ] を 新文字列 [ ABC ] に置換リネーム");
  EXPECT_FALSE(FormatReplaceTexts(u"abc", u"ABC", out, 8));

  CleanPrefixText(u"Maker/Sub:Model*?", out, 512);
  EXPECT_EQ(std::u16string(out), u"SubModel");
  CleanPrefixText(u"C:", out, 512);
  EXPECT_EQ(std::u16string(out), u"C");
  EXPECT_EQ(std::u16string(ExtensionOf(u"a.b.jpg")), u".jpg");
  EXPECT_EQ(std::u16string(ExtensionOf(u"noext")), u"");
}

TEST(RenameRules, ActionRowFields) {
  uint8_t row[action_row::kSize] = {};
  row[action_row::kOwnRename] = 1;
  row[action_row::kNameType] = 9;
  row[action_row::kSequenceStart] = 0x10;
  row[action_row::kSequenceStart + 1] = 0x27;  // 10000
  for (size_t i = 0; i < 32; ++i) row[action_row::kPrefix + 2 * i] = 'P';  // no terminator in the field
  row[action_row::kReplaceOld] = 'x';
  row[action_row::kReplaceNew] = 'y';
  RenamePattern p;
  ReplaceTexts t;
  ASSERT_TRUE(ReadActionRowRename(row, &p, &t));
  EXPECT_EQ(p.nameType, 9);
  EXPECT_EQ(p.sequenceStart, 10000);
  EXPECT_EQ(TextLength(p.prefix), 31u);
  EXPECT_EQ(std::u16string(t.oldText), u"x");
  EXPECT_EQ(std::u16string(t.newText), u"y");
  p.nameType = 40;
  p.prefixType = -1;
  NormaliseRenamePattern(p);
  EXPECT_EQ(p.nameType, 0);
  EXPECT_EQ(p.prefixType, 0);
  row[action_row::kOwnRename] = 0;
  EXPECT_FALSE(ReadActionRowRename(row, &p, &t));
}

TEST(MediaSplitRules, FirstPassAndEvenOut) {
  int32_t numbers[8];
  MediaSplitItem three[] = {{true, 600000}, {true, 500000}, {true, 400000}};
  MediaSplitResult r = ComputeMediaSplitNumbers(three, 3, 1000000, false, numbers);
  EXPECT_EQ(r.mediaCount, 2);
  EXPECT_EQ(r.lastMediumBytes, 900000);
  EXPECT_EQ(r.filesInLast, 2);
  EXPECT_FALSE(r.oversize);
  EXPECT_EQ(numbers[0], 1);
  EXPECT_EQ(numbers[1], 2);
  EXPECT_EQ(numbers[2], 2);

  // An oversize file first: -1, the next small one counted with medium 1; a gone file gets 0.
  MediaSplitItem big[] = {{true, 1500000}, {true, 100}, {false, 5}, {true, 2000000}};
  r = ComputeMediaSplitNumbers(big, 4, 1000000, false, numbers);
  EXPECT_TRUE(r.oversize);
  EXPECT_EQ(numbers[0], -1);
  EXPECT_EQ(numbers[1], 1);
  EXPECT_EQ(numbers[2], 0);
  EXPECT_EQ(numbers[3], -2);

  // Sizes past 4 GiB count whole.
  MediaSplitItem huge[] = {{true, 5000000000LL}, {true, 3000000000LL}, {true, 3000000000LL}};
  r = ComputeMediaSplitNumbers(huge, 3, 4700000000LL, false, numbers);
  EXPECT_EQ(numbers[0], -1);
  EXPECT_EQ(numbers[1], 1);
  EXPECT_EQ(numbers[2], 2);

  // Even out: fourteen files of 100 at 500 give 5, 5, 4; lowering by 100 needs a fourth medium,
  // so the lowering is taken back. The results stay those of the first pass.
  MediaSplitItem many[14];
  int32_t manyNumbers[14];
  for (auto& item : many) item = {true, 100};
  r = ComputeMediaSplitNumbers(many, 14, 500, true, manyNumbers);
  EXPECT_EQ(r.mediaCount, 3);
  EXPECT_EQ(r.lastMediumBytes, 400);
  EXPECT_EQ(r.filesInLast, 4);
  EXPECT_EQ(r.passes, 3);
  EXPECT_EQ(manyNumbers[4], 1);
  EXPECT_EQ(manyNumbers[13], 3);

  // Empty files in the last medium cannot stall the even-out.
  MediaSplitItem empty[] = {{true, 900}, {true, 900}, {true, 0}, {true, 0}, {true, 0}, {true, 0}};
  r = ComputeMediaSplitNumbers(empty, 6, 1000, true, numbers);
  EXPECT_EQ(r.mediaCount, 2);
  EXPECT_LT(r.passes, 10);
}

TEST(MediaSplitRules, FolderNames) {
  char16_t out[kPathUnits];
  ASSERT_TRUE(FormatMediaFolder(u"C:\\pics\\media", 1, 3, out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"C:\\pics\\media03\\");
  ASSERT_TRUE(FormatMediaFolder(u"C:\\pics\\trip\\tripmedia", 1, 1, out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"C:\\pics\\trip\\tripmedia01\\");
  ASSERT_TRUE(FormatMediaFolder(u"m", 3, 12, out, kPathUnits));
  EXPECT_EQ(std::u16string(out), u"m0012\\");
  EXPECT_FALSE(FormatMediaFolder(u"m", 0, 1, out, 3));
}

}  // namespace
