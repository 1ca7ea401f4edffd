#include "metadata/pure/wide_text.h"

size_t WideLength(const char16_t* text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

void CopyWideBounded(char16_t* out, size_t outCap, const char16_t* source, size_t count) {
  if (outCap == 0) return;
  if (count > outCap - 1) count = outCap - 1;
  for (size_t i = 0; i < count; ++i) out[i] = source[i];
  out[count] = 0;
}

void AppendWideBounded(char16_t* out, size_t outCap, const char16_t* source) {
  if (outCap == 0) return;
  size_t used = 0;
  while (used < outCap - 1 && out[used]) ++used;
  CopyWideBounded(out + used, outCap - used, source, WideLength(source));
}

void WidenAscii(char16_t* out, size_t outCap, const char* source) {
  if (outCap == 0) return;
  size_t i = 0;
  for (; i < outCap - 1 && source[i]; ++i) out[i] = static_cast<unsigned char>(source[i]);
  out[i] = 0;
}

int32_t WideToInt(const char16_t* text) {
  const char16_t* p = text;
  while (*p == u' ' || (*p >= u'\t' && *p <= u'\r')) ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = (*p++ == u'-');
  int64_t value = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    if (value <= INT64_C(0x80000000)) value = value * 10 + (*p - u'0');
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void LowerAndRemoveBlanks(char16_t* text) {
  char16_t* out = text;
  for (const char16_t* p = text; *p; ++p) {
    char16_t c = *p;
    if (c == u' ') continue;
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    *out++ = c;
  }
  *out = 0;
}

bool WideEqual(const char16_t* a, const char16_t* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

