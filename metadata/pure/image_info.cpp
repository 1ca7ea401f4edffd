#include "metadata/pure/image_info.h"

#include <cstdarg>
#include <cstdio>

#include "metadata/pure/camera_models.h"
#include "metadata/pure/metadata_lookup.h"
#include "metadata/pure/wide_text.h"

namespace {

template <size_t N>
bool Column(const char16_t* text, const char16_t* key, char16_t (&column)[N]) {
  return GetDumpValue(text, key, column, N);
}

template <size_t N>
void Print(char16_t (&column)[N], const char* format, ...) __attribute__((format(printf, 2, 3)));

template <size_t N>
void Print(char16_t (&column)[N], const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  WidenAscii(column, N, buffer);
}

// Reads a decimal value into `field` when the key is there; a missing key leaves it.
bool ReadNumber(const char16_t* text, const char* keyFormat, int n, int32_t& field) {
  char key[16];
  char16_t wideKey[16], value[32];
  snprintf(key, sizeof key, keyFormat, n);
  WidenAscii(wideKey, 16, key);
  if (!GetDumpValue(text, wideKey, value, 32)) return false;
  field = WideToInt(value);
  return true;
}

// The first "key<TAB>" line of `from` gets `lastTo` as the key's last character, so later
// lookups of `from` miss it.
void RenameKeyLine(char16_t* text, const char16_t* from, char16_t lastTo) {
  const char16_t* value = FindDumpKey(text, from, true);
  if (value) text[value - text - 2] = lastTo;
}

int32_t ModelCodeForType(uint32_t type, bool haveModel, const ImageInfo& info) {
  switch (type) {
    case kFileTypeJpg: return 165;
    case kFileTypeTif: return 166;
    case kFileTypeCrw: return 167;
    case kFileTypeDng: return 168;
    case kFileTypeRaw: return 169;
    case kFileTypeMef: return 170;
    case kFileTypeX3f:
      if (!haveModel) return 171;
      break;
    case kFileType3fr: return 172;
    case kFileTypePsd: return 173;
    case kFileTypeMovie: return 174;
    case kFileTypeDcr: return 213;
    default: break;
  }
  return LookupCameraModel(info.model, info.maker);
}

void ReadOrientation(ImageInfo& info, const char16_t* text) {
  char16_t value[16];
  if (GetDumpValue(text, u"Direction", value, 16)) {
    int32_t direction = WideToInt(value);
    if (direction < 0) direction = 0;
    if (direction > 8) direction = 8;
    info.orientation = static_cast<int8_t>(direction);
  }
  int32_t offset = 0;
  info.orientationByteOrder = static_cast<uint8_t>(GetDumpFlagAndNumber(text, u"Flip", &offset));
  info.orientationOffset = offset;
}

void PreviewRanges(ImageInfo& info, const char16_t* text, int32_t code, bool mamiyaThumbByDevelopment) {
  const CameraModelRecord& row = CameraRowChecked(info.modelRow);
  const int a = row.thumbPreview, b = row.viewPreview;
  if (!ReadPsdThumbnailLocation(text, info)) {
    if (a == 0 || (code == 170 && !mamiyaThumbByDevelopment)) {
      info.thumbOffset = 0;
      info.thumbSize = 262144;
    } else if (ReadNumber(text, "cg%dofs", a, info.thumbOffset)) {
      ReadNumber(text, "cg%dsize", a, info.thumbSize);
    } else if (ReadNumber(text, "cg%dofs", b, info.thumbOffset)) {
      ReadNumber(text, "cg%dsize", b, info.thumbSize);
    }
  }
  if (ReadNumber(text, "cg%dofs", b, info.previewOffset)) {
    ReadNumber(text, "cg%dsize", b, info.previewSize);
  } else if (code < 165 || code > 171) {
    info.previewOffset = info.thumbOffset;
    info.previewSize = info.thumbSize;
  }
  if (code == 172) {
    if (info.thumbSize == 0) info.thumbSize = 4194304;
    if (info.previewSize == 0) {
      info.previewSize = info.thumbSize;
    } else {
      info.thumbOffset = 0;
      info.previewOffset = 0;
    }
  }
}

const char* const kFileTypeNames[32] = {
    "BMP", "JPG", "PNG", "GIF", "TIF", "CRW", "CR2", "NEF", "MRW", "PEF", "ORF",
    "RAF", "SR2", "ARW", "DNG", "NRW", "RAW", "RW2", "RWL", "MEF", "X3F", "PSD",
    "SRW", "3FR", "MPG", "MP4", "MOV", "WMV", "AVI", "FLV", "3GP", "DCR"};

void PixelSize(ImageInfo& info, const char16_t* text) {
  if (info.fileTypeFlag == kFileTypeMovie) {
    Print(info.pixelSize, "%d*%d", info.width, info.height);
    return;
  }
  char16_t w1[16], h1[16], w2[16], h2[16];
  bool first = GetDumpValue(text, u"Width", w1, 16) && GetDumpValue(text, u"Height", h1, 16);
  bool second = GetDumpValue(text, u"Width2", w2, 16) && GetDumpValue(text, u"Height2", h2, 16);
  const char16_t *w = nullptr, *h = nullptr;
  if (first && second) {
    bool firstLarger = WideToInt(w2) < WideToInt(w1) && WideToInt(h2) < WideToInt(h1);
    w = firstLarger ? w1 : w2;
    h = firstLarger ? h1 : h2;
  } else if (first) {
    w = w1, h = h1;
  } else if (second) {
    w = w2, h = h2;
  }
  if (!w) return;
  CopyWideBounded(info.pixelSize, 16, w, WideLength(w));
  AppendWideBounded(info.pixelSize, 16, u"*");
  AppendWideBounded(info.pixelSize, 16, h);
}

// Copy of a search text: at most 127 characters, lower-cased, without spaces.
void PrepareNumberText(const char16_t* text, char* out) {
  char16_t wide[128];
  CopyWideBounded(wide, 128, text, WideLength(text));
  LowerAndRemoveBlanks(wide);
  size_t i = 0;
  for (; wide[i]; ++i) out[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
  out[i] = 0;
}

// Leading decimal number in the C locale; `end` gets the first character after it.
double LeadingNumber(const char* p, const char** end = nullptr) {
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  double value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
  if (*p == '.') {
    double scale = 0.1;
    for (++p; *p >= '0' && *p <= '9'; ++p, scale /= 10) value += (*p - '0') * scale;
  }
  if (end) *end = p;
  return negative ? -value : value;
}

}  // namespace

void FillImageInfoRecord(ImageInfo& info, char16_t* text, bool mamiyaThumbByDevelopment) {
  GetDumpValueTrimmed(text, u"Maker", info.maker, 32);
  bool haveModel = GetDumpValueTrimmed(text, u"Model", info.model, 32) && info.model[0] != 0;
  const uint32_t type = info.fileTypeFlag;
  const bool typeDecides = type == kFileTypeCrw || type == kFileTypeRaw || type == kFileTypeMef ||
                           type == kFileTypeX3f || type == kFileTypePsd || type == kFileTypeMovie ||
                           type == kFileTypeDcr;
  int32_t code = kUnknownModelCode;
  if (haveModel || typeDecides) {
    if (type == kFileTypeDcr) {
      RenameKeyLine(text, u"Width2", u'3');
      RenameKeyLine(text, u"Height2", u'3');
    }
    code = ModelCodeForType(type, haveModel, info);
  }
  info.modelRow = static_cast<int16_t>(RowForModelCode(code));
  if (code == kUnknownModelCode) {
    if (!ReadPsdThumbnailLocation(text, info) && (haveModel || typeDecides)) {
      info.previewOffset = info.previewSize = info.thumbOffset = info.thumbSize = 0;
    }
  } else {
    PreviewRanges(info, text, code, mamiyaThumbByDevelopment);
  }
  // Orientation is read for every file, also for models the table does not know.
  ReadOrientation(info, text);
}

void FillImageInfoTexts(ImageInfo& info, const char16_t* text, const InfoTime* writeTime) {
  int kind = -1;
  for (int bit = 0; bit < 32; ++bit) {
    if (info.fileTypeFlag & (1u << bit)) {
      kind = bit;
      Print(info.fileTypeName, "%s", kFileTypeNames[bit]);
      break;
    }
  }
  Print(info.fileSizeText, "%uKB", static_cast<unsigned>(info.fileSize / 1024));
  if (writeTime) {
    Print(info.fileTimeText, "%04d/%02d/%02d %02d:%02d:%02d", writeTime->year, writeTime->month,
          writeTime->day, writeTime->hour, writeTime->minute, writeTime->second);
  } else {
    Print(info.fileTimeText, "0000/00/00 00:00:00");
  }
  PixelSize(info, text);
  if (info.orientation != 0) {
    Print(info.orientationText, "%d", info.orientation);
  } else {
    info.orientationText[0] = 0;
  }
  char16_t date[20];
  if (Column(text, u"DateTime", date)) {
    if (WideLength(date) > 7 && date[4] == u':' && date[7] == u':') date[4] = date[7] = u'/';
    CopyWideBounded(info.dateTime, 20, date, WideLength(date));
  }
  Column(text, u"ExposureTime", info.exposureTime);
  Column(text, u"FNumber", info.fNumber);
  Column(text, u"ExposureProg", info.exposureProgram);
  Column(text, u"ISO", info.iso);
  Column(text, u"ExifVer", info.exifVersion);
  Column(text, u"ExposureBias", info.exposureBias);
  Column(text, u"PhotometryMode", info.meteringMode);
  Column(text, u"Flash", info.flash);
  ResolveLensName(kind, text, info.lens, 128, info.maker);
  Column(text, u"FocalLength", info.focalLength);
  Column(text, u"FL35mm", info.focalLength35);
  Column(text, u"ExposureMode", info.exposureMode);
  Column(text, u"WhiteBalance", info.whiteBalance);
}

const char16_t* GetInfoFieldText(const ImageInfo& info, int column, bool focal35Display) {
  switch (column) {
    case 1: return info.focalLength35;
    case 2: return info.actionText;
    case 3: return info.fileTypeName;
    case 4: return info.fileSizeText;
    case 5: return info.fileTimeText;
    case 6: return info.pixelSize;
    case 7: return info.maker;
    case 8: return info.model;
    case 9: return info.orientationText;
    case 10: return info.dateTime;
    case 11: return info.exposureTime;
    case 12: return info.fNumber;
    case 13: return info.exposureProgram;
    case 14: return info.iso;
    case 15: return info.exposureBias;
    case 16: return info.meteringMode;
    case 17: return info.lens;
    case 19: return info.exposureMode;
    case 20: return info.whiteBalance;
    case 21: return info.flash;
    case 22: return info.exifVersion;
    case 23: return info.mediaNumber;
    case 18: break;
    default: return nullptr;
  }
  if (!focal35Display) return info.focalLength;
  // Each thread gets its own result: the list, search and UI threads all ask for it.
  thread_local char16_t result[32];
  int32_t focal35 = WideToInt(info.focalLength35);
  if (focal35 != 0) {
    Print(result, "%dmm", focal35);
    return result;
  }
  float crop = CameraRowChecked(info.modelRow).cropFactor;
  if (crop == 0) {
    // The record's copies of maker and model are terminated within their columns.
    char16_t model[32], maker[32];
    CopyWideBounded(model, 32, info.model, 31);
    CopyWideBounded(maker, 32, info.maker, 31);
    crop = kCameraModelTable[RowForModelCode(LookupCameraModel(model, maker))].cropFactor;
  }
  int32_t focal = WideToInt(info.focalLength);
  if (crop == 0) {
    if (focal == 0) return info.focalLength;
    Print(result, "%dmm *", focal);
    return result;
  }
  float product = static_cast<float>(focal) * crop;
  if (!(product > -2147483648.0f && product < 2147483648.0f)) return info.focalLength;
  int32_t equivalent = static_cast<int32_t>(product);
  if (equivalent == 0) return info.focalLength;
  Print(result, "%dmm", equivalent);
  return result;
}

float ParseNumberText(const char16_t* text) {
  char buffer[128];
  PrepareNumberText(text, buffer);
  return static_cast<float>(LeadingNumber(buffer));
}

float ParseFNumberText(const char16_t* text) {
  char buffer[128];
  PrepareNumberText(text, buffer);
  const char* p = buffer;
  if (*p == 'f') ++p;  // the copy is lower-cased, so a leading F or f is 'f' here
  return static_cast<float>(LeadingNumber(p));
}

float ParseFractionText(const char16_t* text) {
  char buffer[128];
  PrepareNumberText(text, buffer);
  if (buffer[0] && buffer[1] == '/') {
    double denominator = LeadingNumber(buffer + 2);
    if (denominator == 0) return 0.0f;
    return static_cast<float>(LeadingNumber(buffer) / denominator);
  }
  return static_cast<float>(LeadingNumber(buffer));
}

