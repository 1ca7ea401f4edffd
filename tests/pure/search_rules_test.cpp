// Search criteria: histories, keyword splitting and every test a file goes through.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "browser/pure/search_rules.h"
#include "core/pure/path_text.h"

namespace {

std::u16string Row(const TextHistory16& h, int i) { return h.rows[i]; }

SearchTime Date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
  SearchTime t{};
  t.year = static_cast<uint16_t>(y);
  t.month = static_cast<uint16_t>(m);
  t.day = static_cast<uint16_t>(d);
  t.hour = static_cast<uint16_t>(hh);
  t.minute = static_cast<uint16_t>(mm);
  t.second = static_cast<uint16_t>(ss);
  return t;
}

bool Keywords(int kind, const char16_t* text, const char16_t* typed) {
  KeywordList list;
  SplitKeywords(list, typed);
  std::u16string copy(text);
  return MatchKeywords(kind, &copy[0], list);
}

TEST(SearchRules, HistoryKeepsNewestFirstWithoutDuplicates) {
  TextHistory16 h{};
  PushSearchHistory(h, u"a");
  PushSearchHistory(h, u"b");
  PushSearchHistory(h, u"c");
  PushSearchHistory(h, u"a");
  EXPECT_EQ(Row(h, 0), u"a");
  EXPECT_EQ(Row(h, 1), u"c");
  EXPECT_EQ(Row(h, 2), u"b");
  EXPECT_EQ(Row(h, 3), u"");
  PushSearchHistory(h, u"A");  // exact comparison: another text
  EXPECT_EQ(Row(h, 0), u"A");
  EXPECT_EQ(Row(h, 1), u"a");
  for (int i = 0; i < 20; ++i) PushSearchHistory(h, std::u16string(1, static_cast<char16_t>(u'k' + i)).c_str());
  EXPECT_EQ(Row(h, 0), std::u16string(1, static_cast<char16_t>(u'k' + 19)));
  EXPECT_EQ(Row(h, 15), std::u16string(1, static_cast<char16_t>(u'k' + 4)));
  PushSearchHistory(h, u"");  // empty is stored like any other text
  EXPECT_EQ(Row(h, 0), u"");
  std::u16string longText(200, u'x');
  PushSearchHistory(h, longText.c_str());
  EXPECT_EQ(Row(h, 0).size(), 127u);
}

TEST(SearchRules, KeywordSplitting) {
  KeywordList k;
  SplitKeywords(k, u"canon  nikon");
  ASSERT_EQ(k.count, 3);
  EXPECT_EQ(std::u16string(k.rows[0]), u"CANON");
  EXPECT_EQ(std::u16string(k.rows[1]), u"");
  EXPECT_EQ(std::u16string(k.rows[2]), u"NIKON");
  SplitKeywords(k, u"  a ");
  EXPECT_EQ(k.count, 3);  // two leading empties, trailing blank adds none
  EXPECT_EQ(std::u16string(k.rows[2]), u"A");
  SplitKeywords(k, u"");
  EXPECT_EQ(k.count, 0);
  std::u16string many;
  for (int i = 0; i < 20; ++i) many += u"w ";
  SplitKeywords(k, many.c_str());
  EXPECT_EQ(k.count, 16);
}

TEST(SearchRules, KeywordKinds) {
  EXPECT_TRUE(Keywords(1, u"Canon EOS", u"nikon canon"));
  EXPECT_FALSE(Keywords(1, u"Pentax", u"nikon canon"));
  EXPECT_FALSE(Keywords(1, u"anything", u""));  // any of none: nothing
  EXPECT_TRUE(Keywords(2, u"anything", u""));   // all of none: everything
  EXPECT_TRUE(Keywords(2, u"NIKON CORPORATION", u"nikon corp"));
  EXPECT_FALSE(Keywords(2, u"NIKON", u"nikon corp"));
  EXPECT_TRUE(Keywords(3, u"Pentax", u"nikon canon"));
  EXPECT_FALSE(Keywords(3, u"Canon", u"nikon canon"));
  EXPECT_TRUE(Keywords(4, u"NIKON", u"nikon corp"));
  EXPECT_FALSE(Keywords(4, u"NIKON CORP", u"nikon corp"));
  EXPECT_FALSE(Keywords(4, u"x", u""));
  EXPECT_TRUE(Keywords(1, u"x", u"a  b"));  // the empty middle keyword is in every text
  EXPECT_TRUE(Keywords(0, u"x", u"zzz"));
  EXPECT_TRUE(Keywords(9, u"x", u"zzz"));
}

TEST(SearchRules, NumberKinds) {
  EXPECT_TRUE(CompareNumberCriterion(1, 100, 100, 0));
  EXPECT_FALSE(CompareNumberCriterion(2, 100, 100, 0));
  EXPECT_TRUE(CompareNumberCriterion(3, 0.004f, 0.01f, 0));
  EXPECT_FALSE(CompareNumberCriterion(4, 0.004f, 0.01f, 0));
  EXPECT_TRUE(CompareNumberCriterion(5, 400, 800, 100));  // ends in either order
  EXPECT_TRUE(CompareNumberCriterion(5, 800, 100, 800));
  EXPECT_FALSE(CompareNumberCriterion(5, 801, 100, 800));
  EXPECT_TRUE(CompareNumberCriterion(0, 1, 2, 3));
  EXPECT_TRUE(CompareNumberCriterion(6, 1, 2, 3));
}

TEST(SearchRules, DatesAndTimes) {
  EXPECT_TRUE(MatchDateCriterion(1, 2020, 5, 5, Date(2020, 5, 5), Date(2000, 1, 1)));
  EXPECT_FALSE(MatchDateCriterion(1, 2021, 5, 5, Date(2020, 5, 5), Date(2000, 1, 1)));
  EXPECT_TRUE(MatchDateCriterion(2, 2019, 1, 1, Date(2020, 1, 1), Date(2018, 12, 31)));
  EXPECT_TRUE(MatchDateCriterion(2, 2020, 1, 1, Date(2020, 1, 1), Date(2018, 12, 31)));
  EXPECT_FALSE(MatchDateCriterion(2, 2020, 1, 2, Date(2020, 1, 1), Date(2018, 12, 31)));
  // Without the year, over the year end: both end days outside.
  const SearchTime dec1 = Date(2000, 12, 1), feb28 = Date(1990, 2, 28);
  for (auto d : {std::make_pair(12, 2), std::make_pair(2, 27), std::make_pair(1, 15)})
    EXPECT_TRUE(MatchDateCriterion(3, 1970, d.first, d.second, dec1, feb28)) << d.first << "/" << d.second;
  for (auto d : {std::make_pair(12, 1), std::make_pair(2, 28), std::make_pair(3, 1), std::make_pair(11, 30)})
    EXPECT_FALSE(MatchDateCriterion(3, 1970, d.first, d.second, dec1, feb28)) << d.first << "/" << d.second;
  EXPECT_TRUE(MatchDateCriterion(3, 2024, 6, 1, Date(1, 5, 5), Date(1, 7, 7)));
  EXPECT_TRUE(MatchDateCriterion(3, 2024, 5, 5, Date(1, 5, 5), Date(1, 7, 7)));  // in order: ends included
  // from = to wraps: every day but that one.
  EXPECT_FALSE(MatchDateCriterion(3, 2011, 5, 5, Date(2000, 5, 5), Date(2000, 5, 5)));
  EXPECT_TRUE(MatchDateCriterion(3, 2011, 5, 6, Date(2000, 5, 5), Date(2000, 5, 5)));
  EXPECT_TRUE(MatchDateCriterion(3, 2011, 1, 1, Date(2000, 5, 5), Date(2000, 5, 5)));
  // Times over midnight likewise: the ends outside; from = to every second but that one.
  const SearchTime late = Date(1, 1, 1, 22, 0, 0), early = Date(1, 1, 1, 2, 0, 0);
  EXPECT_TRUE(MatchTimeCriterion(2, 23, 59, 59, late, early));
  EXPECT_FALSE(MatchTimeCriterion(2, 22, 0, 0, late, early));
  EXPECT_FALSE(MatchTimeCriterion(2, 2, 0, 0, late, early));
  EXPECT_TRUE(MatchTimeCriterion(2, 1, 59, 59, late, early));
  EXPECT_FALSE(MatchTimeCriterion(2, 12, 0, 0, late, early));
  EXPECT_TRUE(MatchTimeCriterion(2, 12, 0, 0, early, late));
  EXPECT_TRUE(MatchTimeCriterion(2, 2, 0, 0, early, late));
  EXPECT_TRUE(MatchTimeCriterion(1, 22, 0, 0, late, early));
  EXPECT_FALSE(MatchTimeCriterion(1, 22, 0, 1, late, early));
  EXPECT_FALSE(MatchTimeCriterion(2, 9, 0, 0, Date(1, 1, 1, 9, 0, 0), Date(1, 1, 1, 9, 0, 0)));
  EXPECT_TRUE(MatchTimeCriterion(2, 9, 0, 1, Date(1, 1, 1, 9, 0, 0), Date(1, 1, 1, 9, 0, 0)));
}

TEST(SearchRules, SizesAndFormats) {
  // "That size" 10 KByte: 9 KB and 10 KB (whole-number division), not 8 or 11.
  EXPECT_TRUE(MatchSizeCriterion(1, 1, 9 * 1024, 10, 0));
  EXPECT_TRUE(MatchSizeCriterion(1, 1, 10 * 1024 + 1023, 10, 0));
  EXPECT_FALSE(MatchSizeCriterion(1, 1, 9 * 1024 - 1, 10, 0));
  EXPECT_FALSE(MatchSizeCriterion(1, 1, 11 * 1024, 10, 0));
  EXPECT_TRUE(MatchSizeCriterion(2, 2, 5ull << 20, 7, 6));
  EXPECT_FALSE(MatchSizeCriterion(2, 2, 8ull << 20, 7, 6));
  // Files past 4 GiB keep their size.
  EXPECT_TRUE(MatchSizeCriterion(1, 2, 5000ull << 20, 5000, 0));
  EXPECT_FALSE(MatchSizeCriterion(1, 0, (1ull << 32) + 10, 10, 0));
  EXPECT_TRUE(MatchSizeCriterion(0, 0, 1, 99, 99));

  EXPECT_TRUE(MatchFormatCriterion(1, u"c:\\a\\x.jpg", u"JPG TIF"));
  EXPECT_TRUE(MatchFormatCriterion(1, u"c:\\a\\x.TIF", u"jpg tif"));
  EXPECT_FALSE(MatchFormatCriterion(1, u"c:\\a\\x.png", u"JPG TIF"));
  EXPECT_TRUE(MatchFormatCriterion(1, u"c:\\a\\noext", u"JPG TIF"));  // empty extension always found
  EXPECT_TRUE(MatchFormatCriterion(2, u"c:\\a\\x.png", u"JPG TIF"));
  EXPECT_FALSE(MatchFormatCriterion(2, u"c:\\a\\x.jpg", u"JPG TIF"));
}

TEST(SearchRules, ShootingDateText) {
  int y, mo, d, h, mi, s;
  ASSERT_TRUE(ParseDumpDateTime(u"2008:07:31 10:05:49", &y, &mo, &d, &h, &mi, &s));
  EXPECT_EQ(y * 10000 + mo * 100 + d, 20080731);
  EXPECT_EQ(h * 10000 + mi * 100 + s, 100549);
  EXPECT_FALSE(ParseDumpDateTime(u"2008:07:31 10:05", &y, &mo, &d, &h, &mi, &s));
  EXPECT_FALSE(ParseDumpDateTime(u"", &y, &mo, &d, &h, &mi, &s));
  EXPECT_FALSE(ParseDumpDateTime(u"    :  :     :  :  ", &y, &mo, &d, &h, &mi, &s));
}

TEST(SearchRules, IptcRecords) {
  std::u16string long300(300, u'v');
  std::u16string text = u"5\t\n\ntitle\t\n25\t\n\nkey one\t\n2 5\t\n\nskipped\t\n25\t\n\nkey two\t\n120\t\n\n" + long300 +
                        u"\t\n";
  IptcRecordList list;
  ParseIptcRecordList(&text[0], list);
  ASSERT_EQ(list.count, 4);
  EXPECT_EQ(std::u16string(FindIptcValue(list, 5)), u"title");
  EXPECT_EQ(std::u16string(FindIptcValue(list, 25)), u"key one");  // the first of a repeated dataset
  EXPECT_EQ(std::u16string(FindIptcValue(list, 120)).size(), 255u);
  EXPECT_EQ(FindIptcValue(list, 80), nullptr);
  std::u16string cut = u"5\t\n\nno end";
  ParseIptcRecordList(&cut[0], list);
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(std::u16string(list.records[0].value), u"no end");
  std::u16string many;
  for (int i = 0; i < 200; ++i) many += u"5\t\n\nx\t\n";
  ParseIptcRecordList(&many[0], list);
  EXPECT_EQ(list.count, kIptcRecordMax);
}

TEST(SearchRules, CollectionLinesAndResults) {
  const char16_t* list = u"c:\\a.jpg\nc:\\b.jpg\ntrailing";
  EXPECT_EQ(CountListLines(list), 2);
  EXPECT_EQ(CountListLines(nullptr), 0);
  char16_t line[kPathUnits];
  const char16_t* cursor = list;
  ASSERT_TRUE(NextListLine(&cursor, line));
  EXPECT_EQ(std::u16string(line), u"c:\\a.jpg");
  ASSERT_TRUE(NextListLine(&cursor, line));
  EXPECT_FALSE(NextListLine(&cursor, line));  // text after the last line feed is ignored
  std::u16string tooLong = std::u16string(300, u'x') + u"\nc:\\c.jpg\n";
  cursor = tooLong.c_str();
  ASSERT_TRUE(NextListLine(&cursor, line));
  EXPECT_EQ(line[0], 0);
  ASSERT_TRUE(NextListLine(&cursor, line));
  EXPECT_EQ(std::u16string(line), u"c:\\c.jpg");

  SearchResultList r;
  EXPECT_TRUE(r.Add(u"c:\\a.jpg"));
  EXPECT_TRUE(r.Add(u"c:\\b.jpg"));
  EXPECT_FALSE(r.Add(u"c:\\a.jpg"));
  EXPECT_EQ(r.Text(), u"c:\\a.jpg\nc:\\b.jpg\n");
  EXPECT_EQ(std::u16string(SearchProgressDots(6)), u".. ");
}

}  // namespace
