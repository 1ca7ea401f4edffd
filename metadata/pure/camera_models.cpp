#include "metadata/pure/camera_models.h"

#include "metadata/pure/wide_text.h"

void BuildCameraModelIndex() {
  for (int32_t& row : g_cameraModelIndex) row = 0;
  for (int row = 0; row < kCameraModelRows; ++row) {
    const CameraModelRecord& record = kCameraModelTable[row];
    char16_t* name = g_cameraModelNameIndex[row];
    CopyWideBounded(name, kCameraNameLength, record.model, WideLength(record.model));
    LowerAndRemoveBlanks(name);
    if (record.code >= 0 && record.code < kCameraModelCodes) g_cameraModelIndex[record.code] = row;
  }
}

int32_t LookupCameraModel(const char16_t* model, const char16_t* maker) {
  size_t length = WideLength(model);
  if (length == 0 || length >= kCameraNameLength) return kUnknownModelCode;
  char16_t wanted[kCameraNameLength];
  CopyWideBounded(wanted, kCameraNameLength, model, length);
  LowerAndRemoveBlanks(wanted);

  auto upper = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
  char16_t first = upper(maker[0]);
  char16_t second = first ? upper(maker[1]) : u'\0';
  int start = 7, count = 11;  // the file-format rows
  switch (first) {
    case u'C': start = 18, count = 76; break;
    case u'F': start = 226, count = 40; break;
    case u'K':
    case u'M': start = 351, count = 12; break;
    case u'L': start = 350, count = 1; break;
    case u'N': start = 94, count = 64; break;
    case u'O': start = 181, count = 45; break;
    case u'R': start = 158, count = 23; break;
    case u'P':
      if (second == u'A') start = 316, count = 34;
      else if (second == u'E') start = 158, count = 23;
      else if (second == u'O') start = 381, count = 1;
      break;
    case u'S':
      if (second == u'A') start = 382, count = 17;
      else if (second == u'I') start = 363, count = 18;
      else if (second == u'O') start = 266, count = 50;
      break;
    default: break;
  }
  for (int row = start; row < start + count; ++row) {
    if (WideEqual(g_cameraModelNameIndex[row], wanted)) return kCameraModelTable[row].code;
  }
  return kUnknownModelCode;
}
