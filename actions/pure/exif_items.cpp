#include "actions/pure/exif_items.h"

#include <cmath>
#include <cstring>

namespace {

const char16_t* const kExposureProgramNames[10] = {
    u"ﾌﾙｵｰﾄ", u"ﾏﾆｭｱﾙ", u"ﾌﾟﾛｸﾞﾗﾑAE", u"Av", u"Tv", u"A-DEP", u"ｱｸｼｮﾝ ﾌﾟﾛｸﾞﾗﾑ", u"ﾎﾟｰﾄﾚｲﾄ ﾓｰﾄﾞ", u"ﾗﾝﾄﾞｽｹｰﾌﾟ ﾓｰﾄﾞ", u"ﾊﾞﾙﾌﾞ"};
const char16_t* const kMeteringModeNames[8] = {u"unknown", u"平均測光", u"中央重点測光", u"ｽﾎﾟｯﾄ測光",
                                               u"ﾏﾙﾁｽﾎﾟｯﾄ測光", u"分割測光", u"部分測光", u"その他"};

bool Empty(const char16_t* t) { return !t || !*t; }

bool Same(const char16_t* a, const char16_t* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, static_cast<uint16_t>(x));
  Put16(v, static_cast<uint16_t>(x >> 16));
}

ExifItem Short(uint32_t tag, uint16_t value) {
  ExifItem item{tag, kExifShort, {}};
  Put16(item.value, value);
  return item;
}
ExifItem Rational(uint32_t tag, uint16_t type, uint32_t numerator, uint32_t denominator) {
  ExifItem item{tag, type, {}};
  Put32(item.value, numerator);
  Put32(item.value, denominator);
  return item;
}
ExifItem Ascii(uint32_t tag, const std::string& text) {
  ExifItem item{tag, kExifAscii, {}};
  item.value.assign(text.begin(), text.end());
  item.value.push_back(0);
  return item;
}
// The date items keep their 20-byte length whatever the text.
ExifItem Date(uint32_t tag, const std::string& text) {
  ExifItem item{tag, kExifAscii, std::vector<uint8_t>(20, 0)};
  std::memcpy(item.value.data(), text.data(), text.size() < 19 ? text.size() : 19);
  return item;
}

}  // namespace

int32_t LeadingWholeNumber(const char16_t* text) {
  if (!text) return 0;
  const char16_t* p = text;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
  int64_t value = 0;
  while (*p >= u'0' && *p <= u'9') {
    value = value * 10 + (*p++ - u'0');
    if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

double LeadingNumber(const char16_t* text) {
  if (!text) return 0;
  const char16_t* p = text;
  double sign = 1;
  if (*p == u'+' || *p == u'-') sign = *p++ == u'-' ? -1 : 1;
  double value = 0;
  int digits = 0;
  while (*p >= u'0' && *p <= u'9' && digits < 18) value = value * 10 + (*p++ - u'0'), ++digits;
  if (*p == u'.') {
    ++p;
    double scale = 0.1;
    while (*p >= u'0' && *p <= u'9') value += (*p++ - u'0') * scale, scale /= 10;
  }
  return sign * value;
}

int32_t TenthsOf(double value) {
  const double thousandths = std::nearbyint(value * 10000.0) / 1000.0;  // tenths, kept to 3 decimals
  if (thousandths > 2147483647.0 || thousandths < -2147483647.0) return 0;
  return static_cast<int32_t>(std::trunc(thousandths));
}

std::u16string ExifDateText(const char16_t* text) {
  std::u16string out = text ? text : u"";
  if (out.size() == 19) out[4] = out[7] = u':';
  return out;
}

void ExposureTimeRational(const char16_t* text, uint32_t* numerator, uint32_t* denominator) {
  const char16_t* slash = nullptr;
  for (const char16_t* p = text; p && *p; ++p) {
    if (*p == u'/' && p != text) {
      slash = p;
      break;
    }
  }
  if (slash) {
    const int32_t d = LeadingWholeNumber(slash + 1);
    *numerator = 1;
    *denominator = static_cast<uint32_t>(d);
    return;
  }
  const int32_t t = TenthsOf(LeadingNumber(text));
  *numerator = static_cast<uint32_t>(t);
  *denominator = 10;
}

uint16_t ExposureProgramCode(const char16_t* text) {
  for (uint16_t i = 0; i < 10; ++i)
    if (text && Same(text, kExposureProgramNames[i])) return i;
  return 65535;
}

uint16_t MeteringModeCode(const char16_t* text) {
  for (uint16_t i = 0; i < 8; ++i)
    if (text && Same(text, kMeteringModeNames[i])) return i;
  return 65535;
}

std::vector<ExifItem> BuildExifItems(const ExifSourceTexts& t, const ToMultibyte& convert) {
  std::vector<ExifItem> items;
  if (t.width > 0 && t.height > 0) {
    items.push_back(Short(0x0100, static_cast<uint16_t>(t.width > 65535 ? 65535 : t.width)));
    items.push_back(Short(0x0101, static_cast<uint16_t>(t.height > 65535 ? 65535 : t.height)));
  }
  if (!Empty(t.maker)) items.push_back(Ascii(0x010F, convert(t.maker)));
  if (!Empty(t.model)) items.push_back(Ascii(0x0110, convert(t.model)));
  if (!Empty(t.orientation)) {
    const int32_t o = LeadingWholeNumber(t.orientation);
    items.push_back(Short(0x0112, static_cast<uint16_t>(t.orientationApplied ? 1 : (o >= 1 && o <= 8 ? o : 1))));
  }
  if (!Empty(t.fileDate)) items.push_back(Date(0x0132, convert(ExifDateText(t.fileDate).c_str())));
  if (!Empty(t.shotDate)) items.push_back(Date(0x9003, convert(ExifDateText(t.shotDate).c_str())));
  if (!Empty(t.exposureTime)) {
    uint32_t n, d;
    ExposureTimeRational(t.exposureTime, &n, &d);
    items.push_back(Rational(0x829A, kExifRational, n, d));
  }
  if (!Empty(t.fNumber)) {
    items.push_back(Rational(0x829D, kExifRational, static_cast<uint32_t>(TenthsOf(LeadingNumber(t.fNumber + 1))), 10));
  }
  if (!Empty(t.program)) items.push_back(Short(0x8822, ExposureProgramCode(t.program)));
  if (!Empty(t.iso)) items.push_back(Short(0x8827, static_cast<uint16_t>(LeadingWholeNumber(t.iso))));
  {
    ExifItem version{0x9000, kExifUndefined, {'0', '2', '1', '0'}};
    items.push_back(version);
  }
  if (!Empty(t.bias)) {
    const int32_t tenths = (t.bias[0] == u'+' || t.bias[0] == u'-') ? TenthsOf(LeadingNumber(t.bias)) : 0;
    items.push_back(Rational(0x9204, kExifSRational, static_cast<uint32_t>(tenths), 10));
  }
  if (!Empty(t.metering)) items.push_back(Short(0x9207, MeteringModeCode(t.metering)));
  if (!Empty(t.flash)) items.push_back(Short(0x9209, Same(t.flash, u"Off") ? 0 : 1));
  if (!Empty(t.focalLength)) {
    std::u16string number(t.focalLength);
    number.resize(number.size() >= 2 ? number.size() - 2 : 0);
    items.push_back(Rational(0x920A, kExifRational, static_cast<uint32_t>(LeadingWholeNumber(number.c_str())), 1));
  }
  items.push_back(Ascii(0x0131, convert(t.software ? t.software : u"")));
  return items;
}
