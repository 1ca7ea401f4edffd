#include "core/pure/image_entry.h"

#include <cstring>

namespace {

void Put32(uint8_t* out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
uint32_t Get32(const uint8_t* in, size_t at) {
  return in[at] | (in[at + 1] << 8) | (in[at + 2] << 16) | (static_cast<uint32_t>(in[at + 3]) << 24);
}
uint16_t Get16(const uint8_t* in, size_t at) { return static_cast<uint16_t>(in[at] | (in[at + 1] << 8)); }

}  // namespace

void SetEntryNamePointer(ImageEntry* entry) {
  size_t start = 0;
  for (size_t i = 0; i < kEntryPathChars && entry->path[i]; ++i) {
    if (entry->path[i] == u'\\' || entry->path[i] == u'/') start = i + 1;
  }
  entry->name = entry->path + start;
}

void EncodeEntryImage(const ImageEntry& e, uint8_t* out) {
  using namespace entry_image;
  std::memset(out, 0, kEntryImageSize);
  Put32(out, kCacheIndex, static_cast<uint32_t>(e.cacheIndex));
  Put32(out, kCacheWords, static_cast<uint32_t>(e.cacheWords[0]));
  Put32(out, kCacheWords + 4, static_cast<uint32_t>(e.cacheWords[1]));
  for (int i = 0; i < kEntryPathChars; ++i) Put16(out, kPath + 2 * i, e.path[i]);
  Put32(out, kName, e.name ? static_cast<uint32_t>(e.name - e.path) : 0);
  std::memcpy(out + kInfo, &e.info, sizeof(ImageInfo));
  Put32(out, kMediaNumber, static_cast<uint32_t>(e.mediaNumber));
  Put16(out, kFlags, e.flags);
  out[kChecked] = e.checked;
  out[kPresence] = e.presence;
  out[kUserRotation] = static_cast<uint8_t>(e.userRotation);
  out[kExifRotation] = static_cast<uint8_t>(e.exifRotation);
  out[kDevelopMode] = e.developMode;
  Put32(out, kUndoCount, static_cast<uint32_t>(e.undoCount));
  Put32(out, kCurrentUndo, static_cast<uint32_t>(e.currentUndo));
  Put32(out, kFullLevelSize, static_cast<uint32_t>(e.fullLevelSize));
  Put32(out, kMovieValue, static_cast<uint32_t>(e.movieValue));
  std::memcpy(out + kMoviePosition, &e.moviePosition, 8);
  out[kMovieSlot] = e.movieSlot;
  out[kVolume] = static_cast<uint8_t>(e.volume);
  Put16(out, kMovieThumbSecond, static_cast<uint16_t>(e.movieThumbSecond));
}

bool DecodeEntryImage(const uint8_t* in, size_t size, ImageEntry* e) {
  using namespace entry_image;
  if (size < kEntryImageSize) return false;
  std::memset(e, 0, sizeof(*e));
  e->cacheIndex = static_cast<int32_t>(Get32(in, kCacheIndex));
  e->cacheWords[0] = static_cast<int32_t>(Get32(in, kCacheWords));
  e->cacheWords[1] = static_cast<int32_t>(Get32(in, kCacheWords + 4));
  for (int i = 0; i < kEntryPathChars; ++i) e->path[i] = Get16(in, kPath + 2 * i);
  e->path[kEntryPathChars - 1] = 0;
  SetEntryNamePointer(e);
  std::memcpy(&e->info, in + kInfo, sizeof(ImageInfo));
  ValidateImageInfo(e->info);
  e->mediaNumber = static_cast<int32_t>(Get32(in, kMediaNumber));
  e->flags = Get16(in, kFlags);
  e->checked = in[kChecked];
  e->presence = in[kPresence];
  e->userRotation = static_cast<int8_t>(in[kUserRotation] & 3);
  e->exifRotation = static_cast<int8_t>(in[kExifRotation] & 3);
  e->developMode = in[kDevelopMode];
  int32_t undoCount = static_cast<int32_t>(Get32(in, kUndoCount));
  e->undoCount = undoCount < 0 ? 0 : undoCount;
  int32_t current = static_cast<int32_t>(Get32(in, kCurrentUndo));
  e->currentUndo = (current < -1 || current >= e->undoCount) ? e->undoCount - 1 : current;
  e->fullLevelSize = static_cast<int32_t>(Get32(in, kFullLevelSize));
  e->movieValue = static_cast<int32_t>(Get32(in, kMovieValue));
  std::memcpy(&e->moviePosition, in + kMoviePosition, 8);
  e->movieSlot = in[kMovieSlot];
  e->volume = static_cast<int8_t>(in[kVolume]);
  e->movieThumbSecond = static_cast<int16_t>(Get16(in, kMovieThumbSecond));
  return true;
}
