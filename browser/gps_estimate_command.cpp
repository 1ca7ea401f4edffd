// The list's GPS command: a photo's own position on the map site, or one estimated from the
// GPS logs beside it.
#include "browser/file_list_pane.h"

#include <cwchar>

#include "browser/focus_queries.h"
#include "browser/pure/list_command_rules.h"
#include "browser/viewer_panes.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/app_globals.h"
#include "metadata/gps_estimate.h"
#include "metadata/pure/gps_log.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "resources/resource.h"


void EstimateGpsPositionCommand(HWND) {
  const int row = FirstPictureCommandRow();
  if (row < 0) return;
  ImageEntry* e = EntryAtRow(row);
  // Its own position: the GPS tab's one belongs to the entry the tab shows.
  GpsPosition position{};
  ReadExifSummary(EntryPath(e), &position);
  if (position.latitude != 0 || position.longitude != 0) {
    ComputeGpsDatums(&position);
    OpenMapSite(g_settings.gpsMapSite, position.wgsLatitude, position.wgsLongitude);
    return;
  }
  int64_t shot = 0;
  if (!ParseGpsShootingTime(U16(GetInfoField(e->info, 10)), &shot)) return;
  GpsShootingTime = shot;
  InitGpsPointTable();
  LoadFolderGpsLogs(g_currentFolder);
  EstimatePhotoPosition();
  ClearGpsPoints();
}
