#include "metadata/pure/iptc_text.h"

#include <utility>

const IptcDatasetRow IptcDatasetTable[kIptcDatasetRows] = {
    {2, 0, 0, kIptcFreeText, 65535, u"バージョン"},
    {2, 5, 0, kIptcFreeText, 65535, u"タイトル"},
    {2, 7, 0, kIptcFreeText, 65535, u"編集ステータス"},
    {2, 10, 0, kIptcUrgency, 65535, u"緊急度"},
    {2, 15, 0, kIptcFreeText, 65535, u"カテゴリー"},
    {2, 20, 1, kIptcFreeText, 65535, u"補足カテゴリー"},
    {2, 22, 0, kIptcFreeText, 65535, u"固定識別子"},
    {2, 25, 1, kIptcFreeText, 65535, u"キーワード"},
    {2, 26, 0, kIptcFreeText, 3, u"ロケーションコード"},
    {2, 27, 1, kIptcFreeText, 65535, u"ロケーション名"},
    {2, 30, 0, kIptcDate, 65535, u"公開日"},
    {2, 35, 0, kIptcTime, 65535, u"公開時間"},
    {2, 40, 0, kIptcFreeText, 65535, u"特別指示"},
    {2, 55, 0, kIptcDate, 65535, u"撮影日"},
    {2, 60, 0, kIptcTime, 65535, u"撮影時間"},
    {2, 65, 0, kIptcFreeText, 65535, u"生成媒体"},
    {2, 70, 0, kIptcFreeText, 65535, u"生成プログラムバージョン"},
    {2, 75, 0, kIptcObjectCycle, 65535, u"オブジェクトサイクル"},
    {2, 80, 0, kIptcFreeText, 65535, u"撮影者"},
    {2, 85, 0, kIptcFreeText, 65535, u"撮影者の肩書"},
    {2, 90, 0, kIptcFreeText, 65535, u"発信地"},
    {2, 92, 0, kIptcFreeText, 65535, u"発信地補足"},
    {2, 95, 0, kIptcFreeText, 65535, u"都道府県名"},
    {2, 100, 0, kIptcFreeText, 3, u"国コード"},
    {2, 101, 0, kIptcFreeText, 65535, u"国名"},
    {2, 103, 0, kIptcFreeText, 65535, u"写真番号"},
    {2, 105, 0, kIptcFreeText, 65535, u"サブタイトル"},
    {2, 110, 0, kIptcFreeText, 65535, u"クレジット"},
    {2, 115, 0, kIptcFreeText, 65535, u"オリジナル所有者"},
    {2, 116, 0, kIptcFreeText, 65535, u"著作権表示"},
    {2, 118, 1, kIptcFreeText, 65535, u"コンタクト"},
    {2, 120, 0, kIptcFreeText, 65535, u"キャプション"},
    {2, 122, 0, kIptcFreeText, 65535, u"キャプション作成者"},
};

namespace {
const std::u16string kHeadEnd = u"\t\n\n";
const std::u16string kValueEnd = u"\t\n";

std::u16string Number(int n) {
  std::u16string s;
  do {
    s.insert(s.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n);
  return s;
}
}  // namespace

int FindIptcRowByDataset(int dataset) {
  for (int r = 1; r < kIptcDatasetRows; ++r)
    if (IptcDatasetTable[r].dataset == dataset) return r;
  return -1;
}

int FindIptcRowByCaption(const std::u16string& caption) {
  for (int r = 1; r < kIptcDatasetRows; ++r)
    if (caption == IptcDatasetTable[r].caption) return r;
  return -1;
}

namespace {
// The reader's form and the list's form have the same separators, in bytes or in wide text.
template <typename Char>
std::vector<std::pair<int, std::basic_string<Char>>> ParseEntries(const std::basic_string<Char>& text) {
  using String = std::basic_string<Char>;
  const Char headEnd[] = {'\t', '\n', '\n', 0}, droppedEnd[] = {' ', '\n', '\n', 0}, valueEnd[] = {'\t', '\n', 0};
  std::vector<std::pair<int, String>> out;
  size_t pos = 0;
  for (;;) {
    // A dataset marked dropped has " \n\n" after its number: it ends at its own value, so the
    // marking never swallows the dataset after it.
    size_t end = text.find(headEnd, pos);
    const size_t dropped = text.find(droppedEnd, pos);
    bool isDropped = false;
    if (dropped != String::npos && (end == String::npos || dropped < end)) {
      end = dropped;
      isDropped = true;
    }
    if (end == String::npos) break;
    String head = text.substr(pos, end - pos);
    pos = end + 3;
    if (isDropped) head += Char(' ');
    // Leading line feeds belong to the separators, not to the number.
    while (!head.empty() && (head[0] == Char('\n') || head[0] == Char('\r'))) head.erase(0, 1);
    if (head.empty()) break;
    const size_t valueAt = text.find(valueEnd, pos);
    String value = text.substr(pos, valueAt == String::npos ? String::npos : valueAt - pos);
    pos = valueAt == String::npos ? text.size() : valueAt + 2;
    if (head.find(Char(' ')) != String::npos) continue;  // marked dropped
    int number = 0;
    bool digits = true;
    for (Char c : head) {
      if (c < Char('0') || c > Char('9') || number > 1000) {
        digits = false;
        break;
      }
      number = number * 10 + (c - Char('0'));
    }
    if (!digits || FindIptcRowByDataset(number) < 0) continue;
    out.emplace_back(number, std::move(value));
  }
  return out;
}
}  // namespace

std::vector<IptcTextEntry> ParseIptcText(const std::u16string& text) {
  std::vector<IptcTextEntry> out;
  for (auto& e : ParseEntries(text)) out.push_back({e.first, std::move(e.second)});
  return out;
}

std::vector<IptcTextBytes> ParseIptcTextBytes(const std::string& text) {
  std::vector<IptcTextBytes> out;
  for (auto& e : ParseEntries(text)) out.push_back({e.first, std::move(e.second)});
  return out;
}

std::u16string IptcEntriesToText(const std::vector<IptcTextEntry>& entries) {
  std::u16string t = u"\n";
  for (const IptcTextEntry& e : entries) t += Number(e.dataset) + kHeadEnd + e.value + kValueEnd;
  return t;
}

bool IptcTextHasDataset(const std::u16string& text, int dataset) {
  return text.find(u"\n" + Number(dataset) + kHeadEnd) != std::u16string::npos;
}

void MarkIptcDuplicates(std::u16string& a, std::u16string& b, bool skipIdentical) {
  for (int r = 1; r < kIptcDatasetRows; ++r) {
    if (IptcDatasetTable[r].repeatable) continue;
    const std::u16string pattern = u"\n" + Number(IptcDatasetTable[r].dataset) + kHeadEnd;
    const size_t inA = a.find(pattern), inB = b.find(pattern);
    if (inA == std::u16string::npos || inB == std::u16string::npos) continue;
    std::u16string& target = skipIdentical ? b : a;
    const size_t at = skipIdentical ? inB : inA;
    target[at + pattern.size() - kHeadEnd.size()] = u' ';
  }
}

bool ParseIptcTemplate(const uint8_t* bytes, size_t length, std::u16string& text) {
  text.clear();
  const size_t chars = length / 2;
  if (chars < 4) return false;
  std::u16string all(chars, u'\0');
  for (size_t i = 0; i < chars; ++i) all[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  if (all.compare(0, 4, u"IPTC") != 0) return false;
  text = all.substr(4);
  const size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) text.resize(zero);
  return true;
}

std::vector<uint8_t> MakeIptcTemplate(const std::u16string& text) {
  const std::u16string all = u"IPTC" + text;
  std::vector<uint8_t> bytes(all.size() * 2);
  for (size_t i = 0; i < all.size(); ++i) {
    bytes[2 * i] = static_cast<uint8_t>(all[i]);
    bytes[2 * i + 1] = static_cast<uint8_t>(all[i] >> 8);
  }
  return bytes;
}
