// The list's GPS command: a photo's own position on the map site, or one estimated from the
// GPS logs beside it.
#include "browser/file_list_pane.h"

#include <cstring>
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
  std::memset(&g_gpsPosition, 0, sizeof g_gpsPosition);
  ReadExifSummary(EntryPath(e));
  if (g_gpsPosition.latitude != 0 || g_gpsPosition.longitude != 0) {
    ComputeGpsDatums(&g_gpsPosition);
    OpenMapSite(g_settings.gpsMapSite, g_gpsPosition.wgsLatitude, g_gpsPosition.wgsLongitude);
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
