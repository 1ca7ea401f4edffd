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
#include "core/standins.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "resources/resource.h"

namespace {
using LogReader = void (*)(const wchar_t*);

// Every file (not folder) of the folder matching the pattern, in listing order.
void ReadLogs(const wchar_t* folder, const wchar_t* pattern, LogReader read) {
  wchar_t query[kPathChars];
  int n = _snwprintf(query, kPathChars, L"%ls\\%ls", folder, pattern);
  if (n <= 0 || n >= kPathChars) return;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(query, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    wchar_t path[kPathChars];
    n = _snwprintf(path, kPathChars, L"%ls\\%ls", folder, found.cFileName);
    if (n > 0 && n < kPathChars) read(path);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

int FirstTarget(HWND pane) {
  if (IsListFocused()) {
    std::vector<int> rows = SelectedRows(GetDlgItem(pane, IDC_FILE_LIST));
    return rows.empty() ? -1 : rows.front();
  }
  int r = GetPaneOrderNumber(g_focusedPane);
  return (g_focusedPane >= 0 && r >= 0 && r < g_listCount) ? r : -1;
}
}  // namespace

void EstimateGpsPositionCommand(HWND pane) {
  const int row = FirstTarget(pane);
  if (row < 0 || row >= g_listCount) return;
  ImageEntry* e = EntryAtRow(row);
  std::memset(&g_gpsPosition, 0, sizeof g_gpsPosition);
  ReadExifSummary(EntryPath(e));
  if (g_gpsPosition.latitude != 0 || g_gpsPosition.longitude != 0) {
    ComputeGpsDatums(&g_gpsPosition);
    OpenMapSite(g_settings.gpsMapSite, g_gpsPosition.wgsLatitude, g_gpsPosition.wgsLongitude);
    return;
  }
  int f[6];
  if (!ParseShootingDate(U16(GetInfoField(e->info, 10)), f)) return;
  GpsShootingTime = WallClockSeconds(f[0], f[1], f[2], f[3], f[4], f[5]);
  InitGpsPointTable();
  if (g_settings.gpsLogAuText) ReadLogs(g_currentFolder, L"*.txt", LoadAuTxtLog);
  if (g_settings.gpsLogDocomoCsv) ReadLogs(g_currentFolder, L"*.csv", LoadDocomoCsvLog);
  if (g_settings.gpsLogGpx) ReadLogs(g_currentFolder, L"*.gpx", LoadGpxLog);
  EstimatePhotoPosition();
  ClearGpsPoints();
}
