// Pages 10, 13, 14, 15 and 17: media split, performance, wallpaper, mail attachments and the
// GPS estimate: a few fields each.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <initializer_list>

#include "core/window_slots.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/file_system.h"
#include "core/folder_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "settings_dialog/pure/later_page_rules.h"
#include "settings_dialog/settings_dialog.h"
#include "settings_dialog/settings_more_ids.h"

namespace {
constexpr int kSplitSlot = 20, kPerformanceSlot = 22, kWallpaperSlot = 23, kMailSlot = 29, kGpsSlot = 31;
const wchar_t* const kMapSites[3] = {L"GoogleMap(グーグルマップ)", L"Mapion（マピオン地図）", L"Yahoo!（Yahoo!地図）"};

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

void SetUpTrackbar(HWND page, int id, int maximum, int32_t position) {
  HWND bar = GetDlgItem(page, id);
  SendMessageW(bar, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageW(bar, TBM_SETRANGEMAX, FALSE, maximum);
  SendMessageW(bar, TBM_SETTIC, 0, 0);
  SendMessageW(bar, TBM_SETPOS, TRUE, position);
}
int32_t TrackbarPos(HWND page, int id) { return static_cast<int32_t>(SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0)); }

void ShowSize(HWND page, int64_t size) {
  wchar_t text[32];
  swprintf(text, 32, L"%I64d", static_cast<long long>(size));
  SetDlgItemTextW(page, IDC_SPLIT_SIZE, text);
}

// A non-empty edit as a signed decimal; false keeps the old value.
bool ReadEdit(HWND page, int id, int32_t* out) {
  wchar_t text[16];
  GetDlgItemTextW(page, id, text, 16);
  return ParseSignedDecimal(U16(text), out);
}

INT_PTR Answer(HWND page, LRESULT result) {
  SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
  return TRUE;
}
}  // namespace

INT_PTR CALLBACK MediaSplitPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSplitSlot] = page;
      HWND presets = GetDlgItem(page, IDC_SPLIT_PRESET);
      for (const char16_t* text : kMediaPresetTexts) SendMessageW(presets, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
      const int64_t size = static_cast<int64_t>(g_settings.mediaSplitSize);
      SendMessageW(presets, CB_SETCURSEL, MediaPresetForSize(size), 0);
      ShowSize(page, size);
      SendDlgItemMessageW(page, IDC_SPLIT_SIZE, EM_SETLIMITTEXT, 18, 0);
      HWND digits = GetDlgItem(page, IDC_SPLIT_DIGITS);
      for (const wchar_t* d : {L"1", L"2", L"3", L"4"}) SendMessageW(digits, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
      SendMessageW(digits, CB_SETCURSEL, g_settings.mediaFolderDigits, 0);
      // The field holds 64 units with its terminator.
      const int nameChars = static_cast<int>(sizeof g_settings.mediaFolderName / sizeof(char16_t));
      SendDlgItemMessageW(page, IDC_SPLIT_FOLDER_NAME, EM_SETLIMITTEXT, nameChars - 1, 0);
      SetDlgItemTextW(page, IDC_SPLIT_FOLDER_NAME, W(g_settings.mediaFolderName));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand && lParam == 0) {
        Check(page, IDC_SPLIT_PARENT_PREFIX, g_settings.mediaFolderParentPrefix);
        Check(page, IDC_SPLIT_EVEN, g_settings.mediaSplitEven);
      } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_SPLIT_PARENT_PREFIX) {
        // Kept at once: a refresh sent for another page sets these checks from the fields.
        g_settings.mediaFolderParentPrefix = Checked(page, IDC_SPLIT_PARENT_PREFIX);
      } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_SPLIT_EVEN) {
        g_settings.mediaSplitEven = Checked(page, IDC_SPLIT_EVEN);
      } else if (LOWORD(wParam) == IDC_SPLIT_PRESET && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT sel = SendDlgItemMessageW(page, IDC_SPLIT_PRESET, CB_GETCURSEL, 0, 0);
        if (sel > 0 && sel < kMediaPresetCount) ShowSize(page, kMediaPresetSizes[sel]);
      }
      return TRUE;
    case WM_NOTIFY:
      return Answer(page, 0);
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 10, wParam);
    case WM_DESTROY: {
      wchar_t text[32];
      GetDlgItemTextW(page, IDC_SPLIT_SIZE, text, 32);
      g_settings.mediaSplitSize = static_cast<uint64_t>(LeadingDigits64(U16(text)));
      const LRESULT digits = SendDlgItemMessageW(page, IDC_SPLIT_DIGITS, CB_GETCURSEL, 0, 0);
      if (digits >= 0 && digits < 4) g_settings.mediaFolderDigits = static_cast<int32_t>(digits);
      const int nameChars = static_cast<int>(sizeof g_settings.mediaFolderName / sizeof(char16_t));
      GetDlgItemTextW(page, IDC_SPLIT_FOLDER_NAME, W(g_settings.mediaFolderName), nameChars);
      g_settings.mediaFolderParentPrefix = Checked(page, IDC_SPLIT_PARENT_PREFIX);
      g_settings.mediaSplitEven = Checked(page, IDC_SPLIT_EVEN);
      g_windowSlots[kSplitSlot] = nullptr;
      return FALSE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK PerformancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kPerformanceSlot] = page;
      SetUpTrackbar(page, IDC_PERF_PRIORITY, 3, g_settings.performance);
      SetUpTrackbar(page, IDC_PERF_PREFETCH, 9, g_settings.prefetchLevel);
      return TRUE;
    case WM_HSCROLL:
      g_settings.performance = TrackbarPos(page, IDC_PERF_PRIORITY);
      g_settings.prefetchLevel = TrackbarPos(page, IDC_PERF_PREFETCH);
      return TRUE;
    case WM_COMMAND:
      return TRUE;
    case WM_NOTIFY:
      return Answer(page, 0);
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 13, wParam);
    case WM_DESTROY:
      g_windowSlots[kPerformanceSlot] = nullptr;
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK WallpaperPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kWallpaperSlot] = page;
      SetUpTrackbar(page, IDC_WALLPAPER_SHARPNESS, 20, g_settings.wallpaperSharpness);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kRefreshCommand && lParam == 0) {
        for (int k = 0; k < 3; ++k) Check(page, IDC_WALLPAPER_FIT_ALL + k, g_settings.wallpaperFitMode == k);
        Check(page, IDC_WALLPAPER_IN_PROGRAM, g_settings.wallpaperFolder == 0);
        Check(page, IDC_WALLPAPER_IN_DOCUMENTS, g_settings.wallpaperFolder == 1);
        return TRUE;
      }
      if (HIWORD(wParam) != BN_CLICKED) return TRUE;
      if (id >= IDC_WALLPAPER_FIT_ALL && id <= IDC_WALLPAPER_FIT_STRETCH) g_settings.wallpaperFitMode = id - IDC_WALLPAPER_FIT_ALL;
      else if (id == IDC_WALLPAPER_IN_PROGRAM) g_settings.wallpaperFolder = 0;
      else if (id == IDC_WALLPAPER_IN_DOCUMENTS) g_settings.wallpaperFolder = 1;
      else return TRUE;
      RefreshSettingsPages();
      return TRUE;
    }
    case WM_HSCROLL:
      g_settings.wallpaperSharpness = TrackbarPos(page, IDC_WALLPAPER_SHARPNESS);
      return TRUE;
    case WM_NOTIFY:
      return Answer(page, 0);
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 14, wParam);
    case WM_DESTROY:
      g_windowSlots[kWallpaperSlot] = nullptr;
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK MailAttachmentPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kMailSlot] = page;
      InitUpDownControl(GetDlgItem(page, IDC_MAIL_LONG_SIDE_SPIN), GetDlgItem(page, IDC_MAIL_LONG_SIDE), 0, 32768,
                        g_settings.mailLongSide);
      InitUpDownControl(GetDlgItem(page, IDC_MAIL_QUALITY_SPIN), GetDlgItem(page, IDC_MAIL_QUALITY), 0, 100,
                        g_settings.mailJpegQuality);
      SendDlgItemMessageW(page, IDC_MAIL_LONG_SIDE, EM_SETLIMITTEXT, 6, 0);
      SendDlgItemMessageW(page, IDC_MAIL_QUALITY, EM_SETLIMITTEXT, 3, 0);
      SetUpTrackbar(page, IDC_MAIL_SHARPNESS, 20, g_settings.mailSharpness);
      Check(page, IDC_MAIL_RESIZE, g_settings.mailResizeAttachments);
      wchar_t folder[kPathChars];
      EnableWindow(GetDlgItem(page, IDC_MAIL_OPEN_FOLDER), GetMailFolder(folder) && FileExists(folder));
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kRefreshCommand && lParam == 0) {
        const bool on = g_settings.mailResizeAttachments == 1;
        for (int c : {IDC_MAIL_LONG_SIDE, IDC_MAIL_QUALITY, IDC_MAIL_SHARPNESS}) EnableWindow(GetDlgItem(page, c), on);
      } else if (id == IDC_MAIL_RESIZE && HIWORD(wParam) == BN_CLICKED) {
        g_settings.mailResizeAttachments = Checked(page, IDC_MAIL_RESIZE);
        RefreshSettingsPages();
      } else if (id == IDC_MAIL_OPEN_FOLDER && HIWORD(wParam) == BN_CLICKED) {
        wchar_t folder[kPathChars];
        if (GetMailFolder(folder)) ShellExecuteW(GetShellWindow(), L"explore", folder, nullptr, nullptr, SW_SHOWNORMAL);
      }
      return TRUE;
    }
    case WM_HSCROLL:
      g_settings.mailSharpness = TrackbarPos(page, IDC_MAIL_SHARPNESS);
      return TRUE;
    case WM_NOTIFY:
      return Answer(page, 0);
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 15, wParam);
    case WM_DESTROY: {
      int32_t v;
      if (ReadEdit(page, IDC_MAIL_LONG_SIDE, &v)) g_settings.mailLongSide = v == 0 ? 1 : v;
      if (ReadEdit(page, IDC_MAIL_QUALITY, &v)) g_settings.mailJpegQuality = v;
      g_windowSlots[kMailSlot] = nullptr;
      return FALSE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK GpsSettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kGpsSlot] = page;
      InitUpDownControl(GetDlgItem(page, IDC_GPS_UTC_OFFSET_SPIN), GetDlgItem(page, IDC_GPS_UTC_OFFSET), -12, 12,
                        g_settings.gpsUtcOffsetHours);
      InitUpDownControl(GetDlgItem(page, IDC_GPS_WINDOW_SPIN), GetDlgItem(page, IDC_GPS_WINDOW), 1, 999,
                        g_settings.gpsTimeWindowSeconds);
      SendDlgItemMessageW(page, IDC_GPS_UTC_OFFSET, EM_SETLIMITTEXT, 3, 0);
      SendDlgItemMessageW(page, IDC_GPS_WINDOW, EM_SETLIMITTEXT, 3, 0);
      Check(page, IDC_GPS_AU, g_settings.gpsLogAuText);
      Check(page, IDC_GPS_DOCOMO, g_settings.gpsLogDocomoCsv);
      Check(page, IDC_GPS_GPX, g_settings.gpsLogGpx);
      HWND sites = GetDlgItem(page, IDC_GPS_MAP_SITE);
      for (const wchar_t* site : kMapSites) SendMessageW(sites, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(site));
      SendMessageW(sites, CB_SETCURSEL, g_settings.gpsMapSite, 0);
      return TRUE;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        if (id == IDC_GPS_AU) g_settings.gpsLogAuText = Checked(page, id);
        else if (id == IDC_GPS_DOCOMO) g_settings.gpsLogDocomoCsv = Checked(page, id);
        else if (id == IDC_GPS_GPX) g_settings.gpsLogGpx = Checked(page, id);
      }
      return TRUE;
    case WM_NOTIFY:
      return Answer(page, 0);
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 17, wParam);
    case WM_DESTROY: {
      int32_t v;
      if (ReadEdit(page, IDC_GPS_UTC_OFFSET, &v)) g_settings.gpsUtcOffsetHours = v;
      if (ReadEdit(page, IDC_GPS_WINDOW, &v)) g_settings.gpsTimeWindowSeconds = v;
      const LRESULT site = SendDlgItemMessageW(page, IDC_GPS_MAP_SITE, CB_GETCURSEL, 0, 0);
      if (site >= 0 && site < 3) g_settings.gpsMapSite = static_cast<int32_t>(site);
      g_windowSlots[kGpsSlot] = nullptr;
      return FALSE;
    }
  }
  return FALSE;
}
