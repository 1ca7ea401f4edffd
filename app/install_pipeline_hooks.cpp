#include "app/program_hooks.h"

#include "browser/icon_lists.h"
#include "browser/list_order.h"
#include "browser/main_window.h"
#include "core/pipeline_hooks.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "viewer/fitted_pictures.h"
#include "viewer/movie_player.h"
#include "viewer/pure/unsharp_mask.h"
#include "viewer/sharpen.h"
#include "viewer/viewer_paint.h"
#include "viewer/viewer_threads.h"

void InstallPipelineHooks() {
  g_pipelineHooks.takeRecentFileBytes = &TakeRecentFileBytes;
  g_pipelineHooks.dumpImageMetadataInto = &DumpImageMetadataInto;
  g_pipelineHooks.fillImageInfoFromText = &FillImageInfoFromText;
  g_pipelineHooks.releaseMovieSlot = &ReleaseMovieSlot;
  g_pipelineHooks.touchEntryImage = &TouchEntryImage;
  g_pipelineHooks.forgetFittedPictures = &ForgetFittedPictures;
  g_pipelineHooks.needsFullDevelopment = &NeedsFullDevelopment;
  g_pipelineHooks.waitViewerDevelopThread = &WaitViewerDevelopThread;
  g_pipelineHooks.startViewerDevelopThread = &StartViewerDevelopThread;
  g_pipelineHooks.sharpenBitmap = &SharpenBitmap;
  g_pipelineHooks.sharpenPixels24 = &SharpenPixels24;
  g_pipelineHooks.clearHeaderSortMarks = &ClearHeaderSortMarks;
  g_pipelineHooks.fillThumbnailList = &FillThumbnailList;
  g_pipelineHooks.createThumbnailImageLists = &CreateThumbnailImageLists;
  g_pipelineHooks.freeThumbnailImageLists = &FreeThumbnailImageLists;
  g_pipelineHooks.collectWindowSettings = &CollectWindowSettings;
}
