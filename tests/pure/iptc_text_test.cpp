#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/pure/scramble.h"
#include "metadata/pure/iptc_text.h"

using namespace std::string_literals;
namespace {

std::u16string Join(const std::vector<IptcTextEntry>& entries) {
  std::u16string s;
  for (const IptcTextEntry& e : entries) s += std::u16string(1, char16_t(u'0' + e.dataset % 10)) + u"=" + e.value + u";";
  return s;
}

TEST(IptcText, TableAndParsing) {
  EXPECT_EQ(FindIptcRowByDataset(25), 7);
  EXPECT_EQ(FindIptcRowByDataset(0), -1);  // the version row is never listed
  EXPECT_EQ(FindIptcRowByCaption(u"キャプション"), 31);
  EXPECT_EQ(IptcDatasetTable[8].maxLength, 3);
  EXPECT_EQ(IptcDatasetTable[17].editor, kIptcObjectCycle);

  // The reader's form (no leading line feed, the version first) and the list's form.
  const std::u16string read = u"0\t\n\n02\t\n5\t\n\nTitle\t\n25\t\n\nk1\t\n25\t\n\nk2\t\n200\t\n\nx\t\n";
  const auto entries = ParseIptcText(read);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].dataset, 5);
  EXPECT_EQ(entries[0].value, u"Title");
  EXPECT_EQ(entries[2].value, u"k2");
  const std::u16string text = IptcEntriesToText(entries);
  EXPECT_EQ(text, u"\n5\t\n\nTitle\t\n25\t\n\nk1\t\n25\t\n\nk2\t\n");
  EXPECT_EQ(ParseIptcText(text).size(), 3u);
  EXPECT_TRUE(IptcTextHasDataset(text, 25));
  EXPECT_FALSE(IptcTextHasDataset(text, 120));
  // An empty value and a value missing its end.
  EXPECT_EQ(Join(ParseIptcText(u"\n120\t\n\n\t\n5\t\n\ncut")), u"0=;5=cut;");
  // The reader's bytes split by the same rules, every byte of a value kept.
  const auto bytes = ParseIptcTextBytes("0\t\n\n04\t\n5\t\n\ncaf\xe9\t\n25\t\n\n\xed\x95\x9c\t\n200\t\n\nx\t\n");
  ASSERT_EQ(bytes.size(), 2u);
  EXPECT_EQ(bytes[0].dataset, 5);
  EXPECT_EQ(bytes[0].value, "caf\xe9");
  EXPECT_EQ(bytes[1].value, "\xed\x95\x9c");
}

TEST(IptcText, DuplicatesDropExactlyTheMarkedDataset) {
  // Title in both, keywords in both (repeatable: both kept), a caption only in b.
  const std::u16string a0 = u"\n5\t\n\nmine\t\n25\t\n\nk\t\n";
  const std::u16string b0 = u"\n5\t\n\ntheirs\t\n25\t\n\nk\t\n120\t\n\ncap\t\n";
  std::u16string a = a0, b = b0;
  MarkIptcDuplicates(a, b, true);
  auto joined = ParseIptcText(a + b);
  ASSERT_EQ(joined.size(), 4u);
  EXPECT_EQ(joined[0].value, u"mine");
  EXPECT_EQ(joined[3].value, u"cap");
  a = a0;
  b = b0;
  MarkIptcDuplicates(a, b, false);
  joined = ParseIptcText(a + b);
  ASSERT_EQ(joined.size(), 4u);
  EXPECT_EQ(joined[0].dataset, 25);
  EXPECT_EQ(joined[1].value, u"theirs");
  // A value holding a number like a head is not mistaken for a dataset.
  a = u"\n120\t\n\n5\t\n";
  b = u"\n5\t\n\nt\t\n";
  MarkIptcDuplicates(a, b, true);
  EXPECT_EQ(ParseIptcText(a + b).size(), 2u);
}

TEST(IptcText, TemplateFiles) {
  const std::u16string text = u"\n5\t\n\n題名\t\n";
  std::vector<uint8_t> file = MakeIptcTemplate(text);
  EXPECT_EQ(file.size(), (4 + text.size()) * 2);
  ScrambleBuffer(file.data(), file.size());
  ScrambleBuffer(file.data(), file.size());
  std::u16string back;
  ASSERT_TRUE(ParseIptcTemplate(file.data(), file.size(), back));
  EXPECT_EQ(back, text);
  // A trailing odd byte is ignored; a zero ends the text; anything else is not a template.
  file.push_back(0x41);
  ASSERT_TRUE(ParseIptcTemplate(file.data(), file.size(), back));
  EXPECT_EQ(back, text);
  std::vector<uint8_t> zero = MakeIptcTemplate(u"\n5\t\n\nab\0cd"s);
  ASSERT_TRUE(ParseIptcTemplate(zero.data(), zero.size(), back));
  EXPECT_EQ(back, u"\n5\t\n\nab");
  EXPECT_FALSE(ParseIptcTemplate(file.data(), 7, back));
  std::vector<uint8_t> other = MakeIptcTemplate(text);
  other[0] = 'X';
  EXPECT_FALSE(ParseIptcTemplate(other.data(), other.size(), back));
}

}  // namespace
