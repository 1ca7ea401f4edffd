#include "core/pure/camera_models.h"

int32_t g_cameraModelIndex[kCameraModelCodes];
char16_t g_cameraModelNameIndex[kCameraModelRows][kCameraNameLength];

int RowForModelCode(int32_t code) {
  if (code < 0 || code >= kCameraModelCodes) code = kUnknownModelCode;
  return g_cameraModelIndex[code];
}

const CameraModelRecord& CameraRowChecked(int row) {
  if (row < 0 || row >= kCameraModelRows) row = g_cameraModelIndex[kUnknownModelCode];
  return kCameraModelTable[row];
}

