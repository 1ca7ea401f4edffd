#include "actions/pure/rename_rules.h"

#include <cstring>
#include <string>

#include "core/pure/path_text.h"

namespace {

constexpr int32_t kNameTypes = 24;
// A counter or a suffix search gives up after this many taken names.
constexpr int32_t kMaxNameAttempts = 1000000;

template <size_t N>
void TerminateField(char16_t (&field)[N]) {
  field[N - 1] = 0;
}

int32_t ReadInt32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

template <size_t N>
void ReadText(const uint8_t* p, char16_t (&field)[N]) {
  for (size_t i = 0; i < N; ++i) field[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
  TerminateField(field);
}

bool Store(const std::u16string& text, char16_t* out, size_t capacity) { return CopyText(out, capacity, text.c_str()); }

std::u16string Text(const char16_t* p) { return p ? std::u16string(p) : std::u16string(); }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool ReadActionRowRename(const uint8_t* row, RenamePattern* pattern, ReplaceTexts* texts) {
  using namespace action_row;
  if (pattern) {
    pattern->prefixType = ReadInt32(row + kPrefixType);
    pattern->nameType = ReadInt32(row + kNameType);
    ReadText(row + kPrefix, pattern->prefix);
    pattern->dateJoiner = ReadInt32(row + kDateJoiner);
    pattern->prefixJoiner = ReadInt32(row + kPrefixJoiner);
    pattern->sequenceStart = ReadInt32(row + kSequenceStart);
  }
  if (texts) {
    ReadText(row + kReplaceOld, texts->oldText);
    ReadText(row + kReplaceNew, texts->newText);
  }
  return row[kOwnRename] != 0;
}

void NormaliseRenamePattern(RenamePattern& p) {
  if (p.prefixType < 0 || p.prefixType > 5) p.prefixType = 0;
  if (p.nameType < 0 || p.nameType >= kNameTypes) p.nameType = 0;
  if (p.dateJoiner < 0 || p.dateJoiner > 1) p.dateJoiner = 0;
  if (p.prefixJoiner < 0 || p.prefixJoiner > 2) p.prefixJoiner = 0;
  if (p.sequenceStart < 0 || p.sequenceStart > 99999999) p.sequenceStart = 0;
  TerminateField(p.prefix);
}

const char16_t* RenamePrefixTypeLabel(int32_t prefixType) {
  static const char16_t* const kNames[] = {u"", u"", u"フォルダ名", u"元ファイル名", u"カメラメーカー名", u"カメラモデル名"};
  return prefixType >= 0 && prefixType <= 5 ? kNames[prefixType] : u"";
}

const char16_t* RenamePrefixJoinerLabel(int32_t prefixJoiner) {
  static const char16_t* const kNames[] = {u"+", u"-", u"_"};
  return prefixJoiner >= 0 && prefixJoiner <= 2 ? kNames[prefixJoiner] : kNames[0];
}

const char16_t* RenamePrefixJoinerText(int32_t prefixJoiner) {
  static const char16_t* const kTexts[] = {u"", u"-", u"_"};
  return prefixJoiner >= 0 && prefixJoiner <= 2 ? kTexts[prefixJoiner] : kTexts[0];
}

const char16_t* RenameDateJoinerText(int32_t dateJoiner) { return dateJoiner == 1 ? u"_" : u"-"; }

const char16_t* RenameNameTypeLabel(int32_t nameType, int32_t dateJoiner) {
  struct Tables {
    std::u16string names[2][kNameTypes];
    Tables() {
      static const char16_t* const kNumbers[] = {u"連番 (3桁)", u"連番 (4桁)", u"連番 (5桁)"};
      static const char16_t* const kSources[] = {u"EXIF撮影日時 (", u"ﾌｧｲﾙ作成日時 (", u"ﾌｧｲﾙ更新日時 ("};
      static const char16_t* const kLayouts[] = {u"YYYY-MM-DD-HH-MM-SS", u"YY-MM-DD-HH-MM-SS", u"MM-DD-HH-MM-SS",
                                                 u"YYYYMMDD-HHMMSS",     u"YYMMDD-HHMMSS",     u"MMDD-HHMMSS",
                                                 u"YYYYMMDDHHMMSS"};
      for (int j = 0; j < 2; ++j) {
        for (int t = 0; t < 3; ++t) names[j][t] = kNumbers[t];
        for (int s = 0; s < 3; ++s)
          for (int l = 0; l < 7; ++l) {
            std::u16string layout = kLayouts[l];
            if (j == 1)
              for (char16_t& c : layout)
                if (c == u'-') c = u'_';
            names[j][3 + s * 7 + l] = std::u16string(kSources[s]) + layout + u")";
          }
      }
    }
  };
  static const Tables tables;
  if (nameType < 0 || nameType >= kNameTypes) return u"";
  return tables.names[dateJoiner == 1 ? 1 : 0][nameType].c_str();
}

bool FormatRenamePattern(const RenamePattern& pattern, char16_t* out, size_t capacity) {
  RenamePattern p = pattern;
  NormaliseRenamePattern(p);
  const std::u16string name = RenameNameTypeLabel(p.nameType, p.dateJoiner);
  const std::u16string joiner = RenamePrefixJoinerLabel(p.prefixJoiner);
  std::u16string text;
  if (p.prefixType == 0 || (p.prefixType == 1 && p.prefix[0] == 0))
    text = name;
  else if (p.prefixType == 1)
    text = Text(p.prefix) + joiner + name;
  else
    text = Text(RenamePrefixTypeLabel(p.prefixType)) + joiner + name;
  return Store(text, out, capacity);
}

bool FormatReplaceTexts(const char16_t* oldText, const char16_t* newText, char16_t* out, size_t capacity) {
  return Store(u"旧文字列 [ " + Text(oldText) + u" ] を 新文字列 [ " + Text(newText) + u" ] に置換リネーム", out, capacity);
}

int32_t RenameDateSource(int32_t nameType) {
  if (nameType < 3 || nameType >= kNameTypes) return 0;
  return 1 + (nameType - 3) / 7;
}

bool BuildDateNamePart(const char16_t* d, int32_t nameType, int32_t dateJoiner, char16_t* out, size_t capacity) {
  if (capacity) out[0] = 0;
  if (RenameDateSource(nameType) == 0 || TextLength(d) != 19) return false;
  static const int kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
  for (int i : kDigits)
    if (!IsDigit(d[i])) return false;
  const std::u16string j = RenameDateJoinerText(dateJoiner);
  const std::u16string year(d, 4), month(d + 5, 2), day(d + 8, 2), hour(d + 11, 2), minute(d + 14, 2), second(d + 17, 2);
  std::u16string text;
  switch ((nameType - 3) % 7) {
    case 0: text = year + j + month + j + day + j + hour + j + minute + j + second; break;
    case 1: text = year.substr(2) + j + month + j + day + j + hour + j + minute + j + second; break;
    case 2: text = month + j + day + j + hour + j + minute + j + second; break;
    case 3: text = year + month + day + j + hour + minute + second; break;
    case 4: text = year.substr(2) + month + day + j + hour + minute + second; break;
    case 5: text = month + day + j + hour + minute + second; break;
    default: text = year + month + day + hour + minute + second; break;
  }
  return Store(text, out, capacity);
}

void CleanPrefixText(const char16_t* text, char16_t* out, size_t capacity) {
  if (capacity == 0) return;
  const char16_t* start = text;
  for (const char16_t* p = text; *p; ++p)
    if (*p == u'\\' || *p == u'/') start = p + 1;
  static const char16_t kRemoved[] = u"\\/:*?<>|\"";
  size_t n = 0;
  for (const char16_t* p = start; *p && n + 1 < capacity; ++p)
    if (!std::char_traits<char16_t>::find(kRemoved, 9, *p)) out[n++] = *p;
  out[n] = 0;
}

const char16_t* ExtensionOf(const char16_t* fileName) {
  const char16_t* dot = nullptr;
  const char16_t* p = fileName;
  for (; *p; ++p)
    if (*p == u'.') dot = p;
  return dot ? dot : p;
}

bool ChooseNumberName(const char16_t* folder, const char16_t* stem, int32_t nameType, const char16_t* extension,
                      int32_t* counter, NameProbe& probe, char16_t* outPath) {
  const int digits = nameType == 1 ? 4 : nameType == 2 ? 5 : 3;
  for (int32_t attempt = 0; attempt < kMaxNameAttempts && *counter >= 0; ++attempt) {
    std::string number = std::to_string(*counter);
    if (number.size() < size_t(digits)) number.insert(0, digits - number.size(), '0');
    const std::u16string name = Text(stem) + std::u16string(number.begin(), number.end()) + Text(extension);
    if (!JoinFolderAndName(folder, name.c_str(), outPath, kPathUnits)) return false;
    if (!probe.Exists(outPath)) return true;
    if (*counter == INT32_MAX) break;
    ++*counter;
  }
  outPath[0] = 0;
  return false;
}

bool ChooseDateName(const char16_t* folder, const char16_t* stem, const char16_t* joiner, const char16_t* extension,
                    NameProbe& probe, char16_t* outPath) {
  auto build = [&](int32_t suffix, char16_t* out) {
    std::u16string name = Text(stem);
    if (suffix) {
      const std::string n = std::to_string(suffix);
      name += Text(joiner) + std::u16string(n.begin(), n.end());
    }
    return JoinFolderAndName(folder, (name + Text(extension)).c_str(), out, kPathUnits);
  };
  char16_t first[kPathUnits], plain[kPathUnits];
  if (!build(1, first) || !build(0, plain)) {
    outPath[0] = 0;
    return false;
  }
  int32_t suffix = probe.Exists(first) ? 2 : 0;
  for (int32_t attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    if (!build(suffix, outPath)) break;
    if (!probe.Exists(outPath)) return true;
    if (suffix == 0) probe.PlainDateNameTaken(plain, first);
    suffix = suffix == 0 ? 2 : suffix + 1;
  }
  outPath[0] = 0;
  return false;
}
