// What the thumbnail list thread and the image pipeline need of the subsystems above core: the
// metadata reader, the viewer and the file list. The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

struct ImageEntry;
struct ImageInfo;
namespace Gdiplus {
class Bitmap;
class Image;
}  // namespace Gdiplus

struct PipelineHooks {
  // The metadata reader's last read of the file, when it still holds the asked range.
  const uint8_t* (*takeRecentFileBytes)(const wchar_t* path, uint64_t offset, uint64_t size);
  // The metadata text of a file, and the information record made from it.
  bool (*dumpImageMetadataInto)(const wchar_t* path, wchar_t* out, size_t outChars);
  void (*fillImageInfoFromText)(ImageInfo& info, const wchar_t* sharedText, bool withTexts);
  // A movie slot goes with the vanished entry it plays.
  void (*releaseMovieSlot)(int32_t entry);
  // Makes GDI+ decode a new level picture now, while the pipeline holds "sema".
  void (*touchEntryImage)(ImageEntry* entry, int level);
  // The viewer's shrunk copies of a picture that is about to be freed.
  void (*forgetFittedPictures)(const Gdiplus::Image* image);
  // The viewer's RAW development thread, started for an entry shown at full development.
  bool (*needsFullDevelopment)(ImageEntry* entry, int32_t row);
  bool (*waitViewerDevelopThread)();
  void (*startViewerDevelopThread)();
  // The thumbnails' sharpening, of a bitmap or of 24-bit pixels the list thread scaled itself.
  bool (*sharpenBitmap)(Gdiplus::Bitmap* bitmap, int radius, int percent);
  bool (*sharpenPixels24)(uint8_t* pixels, int width, int height, int stride, int radius, int percent);
  // The file list's rows and image lists, rebuilt by each list load.
  void (*clearHeaderSortMarks)(HWND list);
  void (*fillThumbnailList)(HWND list, int count);
  void (*createThumbnailImageLists)();
  void (*freeThumbnailImageLists)();
  // The main window's placement, bands and list columns into the settings before they are saved.
  void (*collectWindowSettings)();
};
extern PipelineHooks g_pipelineHooks;
