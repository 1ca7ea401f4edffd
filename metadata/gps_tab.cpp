// The GPS tab: the GPS tags of the entry in focus with their labels, copied by row, and the
// picture's position opened on one of the map sites.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/main_window_state.h"
#include "core/window_slots.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "metadata/file_info_window.h"
#include "metadata/gps_estimate.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/gps_tags.h"
#include "resources/resource.h"

namespace {
constexpr int kCopy = 244, kMapion = 300, kGoogleMap = 301, kYahooMap = 308;
constexpr size_t kSummaryChars = 8192;

const wchar_t* Wc(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

void AddRow(HWND list, const wchar_t* value, const wchar_t* label) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = count;
  item.pszText = const_cast<wchar_t*>(value);
  item.lParam = count;
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  LVITEMW sub{};
  sub.iSubItem = 1;
  sub.pszText = const_cast<wchar_t*>(label);
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
}

void FillGpsList(HWND list, const wchar_t* text) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  if (!text[0]) {
    AddRow(list, L"", L"GPS情報が見つかりません");
    std::memset(&g_gpsPosition, 0, sizeof g_gpsPosition);
    return;
  }
  const std::u16string summary(reinterpret_cast<const char16_t*>(text));
  for (const GpsSummaryRow& row : ParseGpsSummaryRows(summary)) {
    const std::wstring value(row.value.begin(), row.value.end());
    AddRow(list, value.c_str(), Wc(row.label));
  }
}

void RefreshGpsTab(HWND page) {
  HWND list = GetDlgItem(page, IDC_GPS_LIST);
  int32_t entry;
  const bool changed = TakeFileInfoTarget(kTabGps, &entry);
  if (entry < 0) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    return;
  }
  if (!changed || g_entryCount <= 0) return;
  std::memset(&g_gpsPosition, 0, sizeof g_gpsPosition);
  std::vector<wchar_t> wide(kSummaryChars, 0);
  // A file the reader cannot take shows as one without GPS data.
  if (ReadExifSummary(EntryPath(EntryAt(entry)), &g_gpsPosition)) MetadataTextToWide(g_exifSummaryBuffer, wide.data(), wide.size());
  ComputeGpsDatums(&g_gpsPosition);
  FillGpsList(list, wide.data());
}
}  // namespace

INT_PTR CALLBACK GpsTabProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  static const InfoListTab kTab = {IDC_GPS_LIST, kSlotInfoTabGps, g_settings.gpsTabColumnWidths, 2, 18};
  HWND list = GetDlgItem(page, IDC_GPS_LIST);
  INT_PTR result;
  if (HandleInfoListTabMessage(page, kTab, message, lParam, &result)) return result;
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotInfoTabGps] = page;
      const wchar_t* captions[] = {L"内容", L"タグ"};
      const int order[] = {1, 0};
      SetUpInfoList(list, captions, g_settings.gpsTabColumnWidths, 2, order);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kRefreshCommand:
          RefreshGpsTab(page);
          return TRUE;
        case kCopy:
          CopyInfoListRows(list);
          return TRUE;
        // The position is opened even for a picture without GPS data (then 0, 0).
        case kGoogleMap:
          OpenMapSite(0, g_gpsPosition.wgsLatitude, g_gpsPosition.wgsLongitude);
          return TRUE;
        case kMapion:
          OpenMapSite(1, g_gpsPosition.wgsLatitude, g_gpsPosition.wgsLongitude);
          return TRUE;
        case kYahooMap:
          OpenMapSite(2, g_gpsPosition.wgsLatitude, g_gpsPosition.wgsLongitude);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
