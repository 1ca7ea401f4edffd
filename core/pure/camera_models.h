// The camera model table: what the pipeline reads of a file's model (previews, margins, RAW
// development) and the lists show of it.
#pragma once
#include <cstdint>

struct CameraMargins {
  int32_t top, bottom, left, right;
};

struct CameraModelRecord {
  const char16_t* maker;   // as shown; "unknown" for the unknown rows
  const char16_t* model;   // as the camera writes it in Exif
  int32_t thumbPreview;    // preview locator number N ("cg%dofs") for the thumbnail; 0 none
  int32_t viewPreview;     // the one for the view image and the thumbnail's fallback
  float cropFactor;        // real to 35 mm focal length; 0 = not known
  int32_t rawFlag;         // low byte 1: the RAW decoder develops this model's files
  CameraMargins thumbMargins;
  CameraMargins viewMargins;
  int32_t code;            // stable model code, 0..399
};

constexpr int kCameraModelRows = 399;
constexpr int kCameraModelCodes = 400;
constexpr int kUnknownModelCode = 181;
constexpr int kCameraNameLength = 32;

extern const CameraModelRecord kCameraModelTable[kCameraModelRows];

// Model code to row; codes no row carries map to row 0.
extern int32_t g_cameraModelIndex[kCameraModelCodes];
// Model names lower-cased and without spaces, row by row.
extern char16_t g_cameraModelNameIndex[kCameraModelRows][kCameraNameLength];

// Row for a model code; any code out of range reads as the unknown model.
int RowForModelCode(int32_t code);

// A row as stored in a record (or a cache file); out of range reads as the unknown row.
const CameraModelRecord& CameraRowChecked(int row);
