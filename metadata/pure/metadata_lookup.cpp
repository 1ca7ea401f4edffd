#include "metadata/pure/metadata_lookup.h"

#include "metadata/pure/image_info.h"
#include "metadata/pure/lens_tables.h"
#include "metadata/pure/wide_text.h"

namespace {

constexpr size_t kMaxKeyLength = 14;
constexpr size_t kWorkValue = 256;  // lens codes and numbers are short; longer is cut

// Start of the text after `key` (and a tab when `withTab`) on the first line that begins
// with it; line 1 (the file path) is never searched. Null when there is none.
const char16_t* FindKeyAtLineStart(const char16_t* text, const char16_t* key, bool withTab) {
  size_t keyLength = WideLength(key);
  if (keyLength == 0 || keyLength > kMaxKeyLength) return nullptr;
  const char16_t* p = text;
  while (*p && *p != u'\n') ++p;
  while (*p) {
    ++p;  // past the line feed
    size_t i = 0;
    while (i < keyLength && p[i] == key[i]) ++i;
    if (i == keyLength && (!withTab || p[i] == u'\t')) return p + i + (withTab ? 1 : 0);
    while (*p && *p != u'\n') ++p;
  }
  return nullptr;
}

// Value span of a "key<TAB>" line; false when absent, empty or not ended by a line feed.
bool FindValue(const char16_t* text, const char16_t* key, const char16_t** value, size_t* length) {
  const char16_t* start = FindKeyAtLineStart(text, key, true);
  if (!start) return false;
  const char16_t* end = start;
  while (*end && *end != u'\n') ++end;
  if (*end != u'\n' || end == start) return false;
  *value = start;
  *length = static_cast<size_t>(end - start);
  return true;
}

bool HasPrefixNoCase(const char16_t* text, const char16_t* prefix, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    char16_t a = text[i], b = prefix[i];
    if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - 32);
    if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - 32);
    if (a != b || a == 0) return false;
  }
  return true;
}

// First eight characters of `value` equal to an eight-character key.
bool KeyOfEight(const char16_t* value, const char16_t* key) {
  for (int i = 0; i < 8; ++i) {
    if (value[i] == 0 || value[i] != key[i]) return false;
  }
  return key[8] == 0;
}

int KindFromMake(int kind, const char16_t* make) {
  struct Prefix {
    const char16_t* text;
    int kind;
  };
  static const Prefix kPrefixes[] = {
      {u"Canon", 6}, {u"NIKON", 7}, {u"PENTAX", 9},   {u"OLYMPUS", 10},
      {u"SONY", 13}, {u"Minolta", 8}, {u"KONICA", 8}, {u"Panasonic", 17},
  };
  if (!make) return kind;
  for (const Prefix& row : kPrefixes) {
    if (HasPrefixNoCase(make, row.text, 4)) return row.kind;
  }
  return kind;
}

void CanonCodes(const char16_t* text, char16_t* out, size_t outCap) {
  char16_t buffer[kWorkValue];
  if (!GetDumpValue(text, u"Lex3", buffer, kWorkValue)) return;
  int32_t lensType = WideToInt(buffer);
  if (lensType == 0) {
    if (!GetDumpValue(text, u"Lex4", buffer, kWorkValue)) return;
    lensType = WideToInt(buffer);
  }
  GetDumpValue(text, u"Lex1", buffer, kWorkValue);
  uint32_t code = static_cast<uint32_t>(WideToInt(buffer)) << 16;
  GetDumpValue(text, u"Lex2", buffer, kWorkValue);
  code |= static_cast<uint32_t>(WideToInt(buffer));
  for (const CanonLensRow& row : kCanonLenses) {
    if (row.code == code && row.lensType == lensType) {
      CopyWideBounded(out, outCap, row.name, WideLength(row.name));
      return;
    }
  }
}

void LookupCoded(const CodedLensRow* rows, int count, const char16_t* value, char16_t* out, size_t outCap) {
  int32_t code = WideToInt(value);
  for (int i = 0; i < count; ++i) {
    if (rows[i].code == code) {
      CopyWideBounded(out, outCap, rows[i].name, WideLength(rows[i].name));
      return;
    }
  }
}

void LookupNikon(const char16_t* text, const char16_t* lensValue, char16_t* out, size_t outCap) {
  char16_t lex3[kWorkValue], lex1[kWorkValue];
  if (!GetDumpValue(text, u"Lex3", lex3, kWorkValue) || !GetDumpValue(text, u"Lex1", lex1, kWorkValue)) return;
  char16_t key[4] = {lex3[0], lex3[0] ? lex3[1] : u'\0', 0, 0};
  key[WideLength(key)] = lex1[0];
  for (const NikonLensRow& row : kNikonLenses) {
    if (WideEqual(row.key, key) && WideEqual(row.lensText, lensValue)) {
      CopyWideBounded(out, outCap, row.name, WideLength(row.name));
      return;
    }
  }
}

void LookupOlympus(const char16_t* text, const char16_t* lensValue, char16_t* out, size_t outCap) {
  for (const KeyedLensRow& row : kOlympusLenses) {
    if (KeyOfEight(lensValue, row.key)) {
      CopyWideBounded(out, outCap, row.name, WideLength(row.name));
      break;
    }
  }
  char16_t ext[kWorkValue];
  if (!GetDumpValue(text, u"Ext", ext, kWorkValue)) return;
  for (const KeyedLensRow& row : kOlympusExtenders) {
    if (KeyOfEight(ext, row.key)) {
      AppendWideBounded(out, outCap, u" +");
      AppendWideBounded(out, outCap, row.name);
      return;
    }
  }
}

}  // namespace

bool GetDumpValue(const char16_t* text, const char16_t* key, char16_t* out, size_t outCap) {
  const char16_t* value;
  size_t length;
  if (!FindValue(text, key, &value, &length)) {
    CopyWideBounded(out, outCap, u"", 0);
    return false;
  }
  CopyWideBounded(out, outCap, value, length);
  return true;
}

bool GetDumpValueTrimmed(const char16_t* text, const char16_t* key, char16_t* out, size_t outCap) {
  if (!GetDumpValue(text, key, out, outCap)) return false;
  size_t n = WideLength(out);
  while (n > 0 && out[n - 1] == u' ') out[--n] = 0;
  return true;
}

int GetDumpFlagAndNumber(const char16_t* text, const char16_t* key, int32_t* number) {
  *number = 0;
  const char16_t* p = FindKeyAtLineStart(text, key, false);
  if (!p || *p == 0 || *p == u'\n') return 0;
  int flag = (*p == u'M') ? 2 : 1;
  const char16_t* digits = p + 1;
  const char16_t* end = digits;
  while (*end && *end != u'\n') ++end;
  if (*end != u'\n' || end == digits) return 0;
  char16_t buffer[16];
  CopyWideBounded(buffer, sizeof buffer / sizeof buffer[0], digits, static_cast<size_t>(end - digits));
  *number = WideToInt(buffer);
  return flag;
}

bool ReadPsdThumbnailLocation(const char16_t* text, ImageInfo& info) {
  char16_t buffer[32];
  if (!GetDumpValue(text, u"cg6ofs", buffer, 32)) return false;
  info.thumbOffset = WideToInt(buffer);
  if (!GetDumpValue(text, u"cg6size", buffer, 32)) return false;
  info.thumbSize = WideToInt(buffer);
  return true;
}

bool ResolveLensName(int kind, const char16_t* text, char16_t* out, size_t outCap, const char16_t* make) {
  constexpr uint32_t kNoLensKinds = 0x81F8402Du;
  if (kind < 0 || kind > 31 || (kNoLensKinds >> kind) & 1u) {
    CopyWideBounded(out, outCap, u"", 0);
    return false;
  }
  const char16_t* value;
  size_t length;
  if (!FindKeyAtLineStart(text, u"Lens", true)) {
    if (kind == 6) {
      CanonCodes(text, out, outCap);
      return true;
    }
    CopyWideBounded(out, outCap, u"", 0);
    return false;
  }
  if (!FindValue(text, u"Lens", &value, &length)) {
    CopyWideBounded(out, outCap, u"", 0);
    return false;
  }
  char16_t lensValue[kWorkValue];
  CopyWideBounded(lensValue, kWorkValue, value, length);
  CopyWideBounded(out, outCap, value, length);
  if (kind == 1 || kind == 4) kind = KindFromMake(kind, make);
  switch (kind) {
    case 9:
      LookupCoded(kPentaxLenses, kPentaxLensCount, lensValue, out, outCap);
      break;
    case 8:
    case 13:
      LookupCoded(kMinoltaSonyLenses, kMinoltaSonyLensCount, lensValue, out, outCap);
      break;
    case 7:
      LookupNikon(text, lensValue, out, outCap);
      break;
    case 10:
      LookupOlympus(text, lensValue, out, outCap);
      break;
    case 11:
    case 12:
    case 15:
    case 16:
    case 18:
      CopyWideBounded(out, outCap, u"", 0);
      return false;
    default:
      break;
  }
  return true;
}

