#include "core/pure/image_info.h"

#include "core/pure/camera_models.h"

namespace {
// The last unit of a text column of `bytes` bytes becomes the terminator.
void EndWithin(char16_t* text, size_t bytes) { text[bytes / sizeof(char16_t) - 1] = 0; }
}  // namespace

void ValidateImageInfo(ImageInfo& info) {
  if (info.modelRow < 0 || info.modelRow >= kCameraModelRows) {
    info.modelRow = static_cast<int16_t>(RowForModelCode(kUnknownModelCode));
  }
  if (info.orientation < 0 || info.orientation > 8) info.orientation = 0;
  EndWithin(info.focalLength35, sizeof info.focalLength35);
  EndWithin(info.actionText, sizeof info.actionText);
  EndWithin(info.fileTypeName, sizeof info.fileTypeName);
  EndWithin(info.fileSizeText, sizeof info.fileSizeText);
  EndWithin(info.fileTimeText, sizeof info.fileTimeText);
  EndWithin(info.pixelSize, sizeof info.pixelSize);
  EndWithin(info.maker, sizeof info.maker);
  EndWithin(info.model, sizeof info.model);
  EndWithin(info.orientationText, sizeof info.orientationText);
  EndWithin(info.dateTime, sizeof info.dateTime);
  EndWithin(info.exposureTime, sizeof info.exposureTime);
  EndWithin(info.fNumber, sizeof info.fNumber);
  EndWithin(info.exposureProgram, sizeof info.exposureProgram);
  EndWithin(info.iso, sizeof info.iso);
  EndWithin(info.exposureBias, sizeof info.exposureBias);
  EndWithin(info.meteringMode, sizeof info.meteringMode);
  EndWithin(info.lens, sizeof info.lens);
  EndWithin(info.focalLength, sizeof info.focalLength);
  EndWithin(info.exposureMode, sizeof info.exposureMode);
  EndWithin(info.whiteBalance, sizeof info.whiteBalance);
  EndWithin(info.flash, sizeof info.flash);
  EndWithin(info.exifVersion, sizeof info.exifVersion);
  EndWithin(info.mediaNumber, sizeof info.mediaNumber);
}
