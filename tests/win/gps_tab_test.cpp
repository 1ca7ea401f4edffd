// The GPS tab in a real File Information window over real phone and camera pictures, its map
// commands (the addresses handed to the shell), and the position estimate from the logs of a
// folder, GPX files read through the system's XML document object.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/file_info_window.h"
#include "metadata/gps_estimate.h"
#include "metadata/metadata_reader.h"
#include "resources/resource.h"
#include "support/program_window_suite.h"
#include "support/sample_pictures.h"
#include "support/win_test_support.h"
#include "tests/support/exif_fixture.h"

using namespace testsupport;

namespace {

std::vector<std::wstring> g_opened;
HINSTANCE WINAPI CaptureShell(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT) {
  g_opened.push_back(std::wstring(verb) + L" " + file);
  return reinterpret_cast<HINSTANCE>(33);
}

std::wstring Cell(HWND list, int row, int column) { return ListText(list, row, column); }

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// The value of the row with that label, "(none)" when there is no such row.
std::wstring ValueOf(HWND list, const wchar_t* label) {
  for (int row = 0; row < Rows(list); ++row)
    if (Cell(list, row, 1) == label) return Cell(list, row, 0);
  return L"(none)";
}

bool WriteText(const std::wstring& path, const std::string& text) { return WriteWholeFile(path, text.data(), text.size()); }

class GpsTabTest : public ProgramWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenProgram([] {
      g_settings.enabledImageTypes |= 0x2;
      g_settings.fileInfoDockInTree = 0;
    }));
    // An iPhone 4S and a Nikon D2H picture with GPS (neither names a datum), a plain JPEG, and
    // one that says it is in the Tokyo datum.
    ASSERT_TRUE(CopyFileW((std::wstring(kExifSamples) + L"has-lens-info.jpg").c_str(), photos_->File(L"phone.jpg").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((std::wstring(kExifFolder) + L"sample1.jpg").c_str(), photos_->File(L"nikon.jpg").c_str(), FALSE));
    const fx::Bytes plain = fx::Jpeg({});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"plain.jpg"), plain.data(), plain.size()));
    auto gps = fx::NewIfd(false);
    gps->Ascii(1, "N").Rational(2, {{35, 1}, {40, 1}, {4032, 100}}).Ascii(3, "E").Rational(4, {{139, 1}, {46, 1}, {1320, 100}});
    gps->Ascii(18, "TOKYO");
    auto ifd0 = fx::NewIfd(false);
    ifd0->Ascii(0x010F, "Canon").Sub(0x8825, gps);
    const fx::Bytes tokyo = fx::Jpeg({fx::ExifApp1(fx::Tiff(*ifd0))});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"tokyo.jpg"), tokyo.data(), tokyo.size()));
    ASSERT_NO_FATAL_FAILURE(LoadFolder(photos_->path()));
    SendMessageW(g_hwndMain, WM_COMMAND, 243, 0);  // File Information
    Pump();
    ASSERT_NE(g_windowSlots[kSlotFileInfo], nullptr);
    MoveWindow(g_windowSlots[kSlotFileInfo], 20, 20, 420, 420, TRUE);
    g_shellExecuteFn = CaptureShell;
  }
  static void TearDownTestSuite() {
    g_shellExecuteFn = ShellExecuteW;
    CloseProgram();
  }

  static HWND ShowGps(const wchar_t* name) {
    g_viewMode = 1;
    for (int row = 0; row < g_listCount; ++row)
      if (wcscmp(EntryName(EntryAtRow(row)), name) == 0) g_cursorRow = row;
    SelectFileInfoTab(kTabGps);
    SendMessageW(g_windowSlots[kSlotFileInfo], WM_COMMAND, kRefreshCommand, 0);
    Pump();
    return GetDlgItem(g_windowSlots[kSlotInfoTabGps], IDC_GPS_LIST);
  }

  static std::wstring Open(int command) {
    g_opened.clear();
    SendMessageW(g_windowSlots[kSlotInfoTabGps], WM_COMMAND, command, 0);
    return g_opened.size() == 1 ? g_opened[0] : L"(opened " + std::to_wstring(g_opened.size()) + L")";
  }

};

TEST_F(GpsTabTest, ShowsTheTagsAndOpensThePosition) {
  HWND list = ShowGps(L"phone.jpg");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(g_windowSlots[kSlotInfoTabGps]));
  // exiftool -n -GPSLatitude -GPSLongitude: 59.3325472222222 18.0649416666667 (N, E).
  EXPECT_NEAR(g_gpsPosition.wgsLatitude, 59.3325472222222, 1e-9);
  EXPECT_NEAR(g_gpsPosition.wgsLongitude, 18.0649416666667, 1e-9);
  EXPECT_EQ(ValueOf(list, L"北緯,南緯"), L"北緯");
  EXPECT_EQ(ValueOf(list, L"東経,西経"), L"東経");
  EXPECT_EQ(ValueOf(list, L"緯度").substr(0, 7), L"59° 19'") << ValueOf(list, L"緯度");
  EXPECT_EQ(ValueOf(list, L"経度").substr(0, 6), L"18° 3'") << ValueOf(list, L"経度");
  EXPECT_EQ(ValueOf(list, L"測位に用いた地図データ"), L"(none)");
  int header[2] = {};
  SendMessageW(list, LVM_GETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(header));
  EXPECT_EQ(header[0], 1);  // the label first

  // The phone's position, with no datum named, opens where it was taken: as WGS84, unshifted.
  EXPECT_EQ(Open(301), L"open http://maps.google.co.jp/maphp?hl=ja&q=&ie=UTF8&om=1&z=17&ll=59.332547,18.064942");
  char expected[512];
  ASSERT_TRUE(BuildMapSiteAddress(1, 59.3325472222222, 18.0649416666667, expected, sizeof expected));
  EXPECT_EQ(Open(300), L"open " + std::wstring(expected, expected + strlen(expected)));
  EXPECT_NE(Open(300).find(L"http://www.mapion.co.jp/m/59.33"), std::wstring::npos);
  EXPECT_NE(Open(308).find(L"http://map.yahoo.co.jp/pl?&sc=2&lat=59.33"), std::wstring::npos);

  // Copy: value, tab, label per selected row.
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  SendMessageW(g_windowSlots[kSlotInfoTabGps], WM_COMMAND, 244, 0);
  EXPECT_EQ(ClipboardText(), Cell(list, 1, 0) + L"\t" + Cell(list, 1, 1) + L"\n");
  RedrawWindow(g_windowSlots[kSlotFileInfo], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  SaveScreenshot(ExeFolder() + L"\\fileinfo_gps.bmp");

  // exiftool -n: 39.9155555555556 116.390833333333.
  list = ShowGps(L"nikon.jpg");
  EXPECT_NEAR(g_gpsPosition.wgsLatitude, 39.9155555555556, 1e-9);
  EXPECT_NEAR(g_gpsPosition.wgsLongitude, 116.390833333333, 1e-9);
  EXPECT_NE(Open(301).find(L"ll=39.915556,116.390833"), std::wstring::npos);

  // A picture that names the Tokyo datum is shifted to WGS84 before it is opened.
  list = ShowGps(L"tokyo.jpg");
  EXPECT_EQ(ValueOf(list, L"測位に用いた地図データ"), L"TOKYO");
  const double lat = 35 + 40 / 60.0 + 40.32 / 3600, lon = 139 + 46 / 60.0 + 13.2 / 3600;
  EXPECT_NEAR(g_gpsPosition.tokyoLatitude, lat, 1e-9);
  double wLat, wLon;
  TokyoToWgsDatum(lat, lon, &wLat, &wLon);
  EXPECT_NEAR(g_gpsPosition.wgsLatitude, wLat, 1e-12);
  EXPECT_NE(Open(301).find(L"ll=35.68"), std::wstring::npos);

  // Without GPS data: the one row, and the maps open 0, 0.
  list = ShowGps(L"plain.jpg");
  ASSERT_EQ(Rows(list), 1);
  EXPECT_EQ(Cell(list, 0, 1), L"GPS情報が見つかりません");
  EXPECT_EQ(Cell(list, 0, 0), L"");
  EXPECT_NE(Open(301).find(L"ll=0.000000,0.000000"), std::wstring::npos);
  EXPECT_NE(Open(300).find(L"/m/-0.0046020000000_-0.0100410000000_10/"), std::wstring::npos) << Open(300);
}

// The list's GPS command reads its own row's position and leaves the one the tab shows.
TEST_F(GpsTabTest, TheListsCommandLeavesTheTabsPosition) {
  HWND list = GetDlgItem(g_windowSlots[kSlotFileListPane], IDC_FILE_LIST);
  int nikon = -1;
  for (int row = 0; row < g_listCount; ++row)
    if (wcscmp(EntryName(EntryAtRow(row)), L"nikon.jpg") == 0) nikon = row;
  ASSERT_NE(nikon, -1);
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, nikon, reinterpret_cast<LPARAM>(&select));
  ShowGps(L"phone.jpg");
  SetForegroundWindow(g_hwndMain);
  SetFocus(list);
  ASSERT_EQ(GetFocus(), list);

  g_settings.gpsMapSite = 0;
  g_opened.clear();
  SendMessageW(g_windowSlots[kSlotFileListPane], WM_COMMAND, 305, 0);
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_NE(g_opened[0].find(L"ll=39.915556,116.390833"), std::wstring::npos) << g_opened[0];
  EXPECT_NE(Open(301).find(L"ll=59.332547,18.064942"), std::wstring::npos);
}

// Logs of a folder: an AU text log, a Docomo CSV log and GPX tracks (namespaced, two segments,
// points lacking a time or a coordinate, a broken file), read in the order AU, Docomo, GPX.
TEST_F(GpsTabTest, EstimatesFromTheLogsOfAFolder) {
  ScratchDir logs;
  const std::string gpx =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
      " <trk><name>walk</name>\n"
      "  <trkseg>\n"
      "   <trkpt lat=\"35.681236\" lon=\"139.767125\"><ele>5</ele><time>2013-05-03T01:02:03Z</time></trkpt>\n"
      "   <trkpt lat=\"35.682000\" lon=\"139.768000\"><ele>5</ele></trkpt>\n"
      "   <trkpt lon=\"139.769000\"><time>2013-05-03T01:02:13Z</time></trkpt>\n"
      "  </trkseg>\n"
      "  <trkseg>\n"
      "   <trkpt lat=\"-33.856\" lon=\"151.215\"><time>2013-05-03T01:03:00.500Z</time></trkpt>\n"
      "  </trkseg>\n"
      " </trk>\n"
      "</gpx>\n";
  ASSERT_TRUE(WriteText(logs.File(L"track.gpx"), gpx));
  ASSERT_TRUE(WriteText(logs.File(L"broken.gpx"), "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2013-05-03T01:02:03Z"));
  ASSERT_TRUE(CreateDirectoryW(logs.File(L"folder.gpx").c_str(), nullptr));
  ASSERT_TRUE(WriteText(logs.File(L"au.txt"), "+++GPS\x83\x8D\x83O+++\r\n"
                                              "999999999,139.700000,35.6000000\n"));
  ASSERT_TRUE(WriteText(logs.File(L"docomo.csv"), "date,lon,lat,\r\n2013/05/03 10:01:33,502896000,128452000,0\r\n"));

  g_settings.gpsUtcOffsetHours = 9;
  g_settings.gpsTimeWindowSeconds = 180;
  g_settings.gpsLogAuText = g_settings.gpsLogDocomoCsv = g_settings.gpsLogGpx = 1;
  ASSERT_TRUE(ParseGpsShootingTime(u"2013:05:03 10:02:03", &GpsShootingTime));
  InitGpsPointTable();
  LoadFolderGpsLogs(logs.path().c_str());
  // The AU point lies years away; Docomo's 30 s before; GPX's two timed points with both
  // coordinates, 0 and 57 s after.
  ASSERT_EQ(g_gpsPointTable.count, 3);
  EXPECT_NEAR(g_gpsPointTable.points[0].longitude, 139.69, 1e-9);
  EXPECT_EQ(g_gpsPointTable.points[1].latitude, 35.681236);
  EXPECT_EQ(g_gpsPointTable.points[1].longitude, 139.767125);
  EXPECT_EQ(g_gpsPointTable.points[2].time - GpsShootingTime, 57);
  EXPECT_EQ(g_gpsPointTable.points[2].latitude, -33.856);

  g_settings.gpsMapSite = 0;
  g_opened.clear();
  EXPECT_TRUE(EstimatePhotoPosition());
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_NE(g_opened[0].find(L"ll=35.681236,139.767125"), std::wstring::npos) << g_opened[0];
  ClearGpsPoints();
  EXPECT_EQ(g_gpsPointTable.count, 0);

  // Switched off, a format is not read; with no point left the estimate opens nothing.
  g_settings.gpsLogGpx = 0;
  ASSERT_TRUE(ParseGpsShootingTime(u"2013:05:03 10:05:00", &GpsShootingTime));
  InitGpsPointTable();
  LoadFolderGpsLogs(logs.path().c_str());
  EXPECT_EQ(g_gpsPointTable.count, 0);
  g_opened.clear();
  EXPECT_FALSE(EstimatePhotoPosition());
  EXPECT_TRUE(g_opened.empty());
  ClearGpsPoints();
  g_settings.gpsLogGpx = 1;

  // Site 3 opens nothing.
  g_opened.clear();
  EXPECT_EQ(OpenMapSite(3, 35, 139), 0);
  EXPECT_TRUE(g_opened.empty());
}

}  // namespace
