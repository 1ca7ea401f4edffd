#include "printing/index_print_dialog.h"

#include <commctrl.h>

#include <cwchar>
#include <initializer_list>
#include <string>

#include "browser/main_window.h"
#include "browser/tooltips.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "core/write_failure.h"
#include "printing/index_print_preview.h"
#include "printing/print_job.h"
#include "printing/pure/index_page.h"
#include "resources/resource.h"
#include "settings_dialog/color_settings.h"

namespace {
IndexPrintLayout& L() { return g_settings.indexPrint; }
IndexPrintExtras& X() { return g_settings.indexPrintExtras; }

// What follows a change: nothing, a repaint of the preview, a new composition of the preview
// (grey first), or a refresh of the dialog and then a repaint of the preview.
enum Then { kNothing, kPreviewRedraw, kPreviewRefresh, kDialogRefresh };
// Number rules: 1 takes the typed number on leaving the field and the up-down position on a
// change; 2 the typed number and then the up-down position on a change; 3 the typed number.
struct NumberControl {
  int id, upDown;
  int32_t* (*field)();
  int32_t minimum, maximum;
  int rule;
  Then then;
};
const NumberControl kNumbers[] = {
    {IDC_IP_COLUMNS, IDC_IP_COLUMNS_UD, [] { return &L().columns; }, 1, 100, 1, kDialogRefresh},
    {IDC_IP_ROWS, IDC_IP_ROWS_UD, [] { return &L().rows; }, 1, 100, 1, kDialogRefresh},
    {IDC_IP_DPI, 0, [] { return &L().printDpi; }, 10, 1200, 3, kPreviewRefresh},
    {IDC_IP_SPACING, IDC_IP_SPACING_UD, [] { return &L().spacingMm; }, 1, 1000, 1, kPreviewRedraw},
    {IDC_IP_MARGIN_TOP, IDC_IP_MARGIN_TOP_UD, [] { return &L().marginTopMm; }, 1, 1000, 1, kPreviewRedraw},
    {IDC_IP_MARGIN_BOTTOM, IDC_IP_MARGIN_BOTTOM_UD, [] { return &L().marginBottomMm; }, 1, 1000, 1, kPreviewRedraw},
    {IDC_IP_MARGIN_LEFT, IDC_IP_MARGIN_LEFT_UD, [] { return &L().marginLeftMm; }, 1, 1000, 1, kPreviewRedraw},
    {IDC_IP_MARGIN_RIGHT, IDC_IP_MARGIN_RIGHT_UD, [] { return &L().marginRightMm; }, 1, 1000, 1, kPreviewRedraw},
    {IDC_IP_CAPTION, IDC_IP_CAPTION_UD, [] { return &L().captionHeightMm; }, 1, 1000, 1, kPreviewRedraw},
    {IDC_IP_FOLDER_SIZE, IDC_IP_FOLDER_SIZE_UD, [] { return &X().folderNameSize; }, 1, 1000, 2, kPreviewRedraw},
    {IDC_IP_FOLDER_X, IDC_IP_FOLDER_X_UD, [] { return &X().folderNameOffsetXMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_FOLDER_Y, IDC_IP_FOLDER_Y_UD, [] { return &X().folderNameOffsetYMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_FREE_SIZE, IDC_IP_FREE_SIZE_UD, [] { return &L().freeTextSize; }, 1, 1000, 2, kPreviewRedraw},
    {IDC_IP_FREE_X, IDC_IP_FREE_X_UD, [] { return &L().freeTextOffsetXMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_FREE_Y, IDC_IP_FREE_Y_UD, [] { return &L().freeTextOffsetYMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_NAME_SIZE, IDC_IP_NAME_SIZE_UD, [] { return &L().fileNameSize; }, 1, 1000, 2, kPreviewRedraw},
    {IDC_IP_PAGE_SIZE, IDC_IP_PAGE_SIZE_UD, [] { return &L().pageNumberSize; }, 1, 1000, 2, kPreviewRedraw},
    {IDC_IP_PAGE_X, IDC_IP_PAGE_X_UD, [] { return &L().pageNumberOffsetXMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_PAGE_Y, IDC_IP_PAGE_Y_UD, [] { return &L().pageNumberOffsetYMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_INFO_SIZE, IDC_IP_INFO_SIZE_UD, [] { return &X().infoSize; }, 1, 1000, 2, kPreviewRedraw},
    {IDC_IP_INFO_X, IDC_IP_INFO_X_UD, [] { return &X().infoOffsetXMm; }, -1000, 1000, 2, kPreviewRedraw},
    {IDC_IP_INFO_Y, IDC_IP_INFO_Y_UD, [] { return &X().infoOffsetYMm; }, -1000, 1000, 2, kPreviewRedraw},
};

struct CheckControl {
  int id;
  uint8_t* (*field)();
  Then then;
};
const CheckControl kChecks[] = {
    {IDC_IP_PRINT_NAME, [] { return &L().printFileName; }, kDialogRefresh},
    {IDC_IP_EXTENSION, [] { return &L().fileNameWithExtension; }, kDialogRefresh},
    {IDC_IP_KEEP_ASPECT, [] { return &L().keepAspect; }, kPreviewRedraw},
    {IDC_IP_DETAILED, [] { return &L().detailedPreview; }, kPreviewRedraw},
    {IDC_IP_PRINT_FREE_TEXT, [] { return &L().printFreeText; }, kDialogRefresh},
    {IDC_IP_PRINT_FOLDER, [] { return &X().printFolderName; }, kDialogRefresh},
    {IDC_IP_FULL_PATH, [] { return &X().folderFullPath; }, kDialogRefresh},
    {IDC_IP_PRINT_MODEL, [] { return &X().printCameraModel; }, kDialogRefresh},
    {IDC_IP_PRINT_LENS, [] { return &X().printLens; }, kDialogRefresh},
    {IDC_IP_PRINT_DATE, [] { return &X().printDateTime; }, kDialogRefresh},
    {IDC_IP_PRINT_EXPOSURE, [] { return &X().printExposure; }, kDialogRefresh},
    {IDC_IP_PRINT_PAGE, [] { return &L().printPageNumber; }, kDialogRefresh},
    {IDC_IP_LANDSCAPE, [] { return &L().landscape; }, kPreviewRefresh},
};

struct ComboControl {
  int id;
  int32_t* (*field)();
  Then then;
};
const ComboControl kCombos[] = {
    {IDC_IP_PAPER, [] { return &L().paperIndex; }, kPreviewRefresh},
    {IDC_IP_ZOOM, [] { return &L().zoomIndex; }, kPreviewRefresh},
    {IDC_IP_FREE_POSITION, [] { return &L().freeTextPosition; }, kPreviewRedraw},
    {IDC_IP_FOLDER_POSITION, [] { return &X().folderNamePosition; }, kPreviewRedraw},
    {IDC_IP_PAGE_POSITION, [] { return &L().pageNumberPosition; }, kPreviewRedraw},
};

struct SwatchControl {
  int id;
  uint32_t* (*field)();
};
const SwatchControl kSwatches[] = {
    {IDC_IP_BACK_COLOR, [] { return &L().backgroundColor; }},
    {IDC_IP_TEXT_COLOR, [] { return &L().textColor; }},
    {IDC_IP_NAME_COLOR, [] { return &X().fileNameColor; }},
    {IDC_IP_INFO_COLOR, [] { return &X().infoColor; }},
};

const int kTooltipIds[] = {
    IDC_IP_PAPER,         IDC_IP_COLUMNS,        IDC_IP_ROWS,          IDC_IP_DPI,           IDC_IP_BACK_COLOR,
    IDC_IP_TEXT_COLOR,    IDC_IP_PAGE_BACK,      IDC_IP_PAGE_TEXT,     IDC_IP_PAGE_NEXT,     IDC_IP_ZOOM,
    IDC_IP_DETAILED,      IDC_IP_SAVE,           IDC_IP_PRINT,         IDC_IP_LANDSCAPE,     IDC_IP_KEEP_ASPECT,
    IDC_IP_SPACING,       IDC_IP_MARGIN_TOP,     IDC_IP_MARGIN_BOTTOM, IDC_IP_MARGIN_LEFT,   IDC_IP_MARGIN_RIGHT,
    IDC_IP_PRINT_FOLDER,  IDC_IP_FULL_PATH,      IDC_IP_FOLDER_SIZE,   IDC_IP_FOLDER_POSITION, IDC_IP_FOLDER_X,
    IDC_IP_FOLDER_Y,      IDC_IP_PRINT_FREE_TEXT, IDC_IP_FREE_TEXT,    IDC_IP_FREE_SIZE,     IDC_IP_FREE_POSITION,
    IDC_IP_FREE_X,        IDC_IP_FREE_Y,         IDC_IP_PRINT_NAME,    IDC_IP_EXTENSION,     IDC_IP_CAPTION,
    IDC_IP_NAME_SIZE,     IDC_IP_NAME_COLOR,     IDC_IP_PRINT_PAGE,    IDC_IP_PAGE_SIZE,     IDC_IP_PAGE_POSITION,
    IDC_IP_PAGE_X,        IDC_IP_PAGE_Y,         IDC_IP_PRINT_MODEL,   IDC_IP_PRINT_LENS,    IDC_IP_PRINT_DATE,
    IDC_IP_PRINT_EXPOSURE, IDC_IP_INFO_SIZE,     IDC_IP_INFO_COLOR,    IDC_IP_INFO_X,        IDC_IP_INFO_Y,
};
const wchar_t* const kTooltipTexts[] = {
    L"印刷する用紙サイズを選んでください",
    L"横に並べる数を設定します",
    L"縦に並べる数を設定します",
    L"DPIの設定です。\n※大きくすると詳細な画像が得られますがプレビューが重くなる事があります\n出力する最終段階で設定される事を推奨します",
    L"ベースとなる下地の色を設定します",
    L"ベースとなる文字の色を設定します",
    L"前のページに移動します",
    L"現在のページです",
    L"後ろのページに移動します",
    L"プレビュー画像の拡大率です\n※大きくすると詳細な画像が得られますがプレビューが重くなる事があります",
    L"プレビュー画像の生成にサムネイルを使用せず実データで描画します\n　※正確な画像プレビューが可能ですが処理が重くなる事があります\n　出力する最終段階で設定される事を推奨します",
    L"現在のページを画像として保存",
    L"現在のページを印刷",
    L"用紙を横方向に使用するレイアウトにします",
    L"画像のアスペクト比を保つようにします\n※最終的なレイアウトの確認には『詳細プレビュー』に\n　チェックを入れ確認をお願いします",
    L"画像と画像の間のスペースを設定します",
    L"レイアウト上部のスペースを設定します",
    L"レイアウト下部のスペースを設定します",
    L"レイアウト左部のスペースを設定します",
    L"レイアウト右部のスペースを設定します",
    L"フォルダ名を印刷します",
    L"フォルダ名印刷にフルパスを使用します",
    L"フォルダ名印刷の文字サイズを指定します",
    L"フォルダ名印刷のベースとなる文字位置を指定します",
    L"フォルダ名印刷の文字位置の微調整をします（横方向）",
    L"フォルダ名印刷の文字位置の微調整をします（縦方向）",
    L"任意の文字列を印刷します",
    L"文字列印刷に使用する文字列を入力します",
    L"文字列印刷の文字サイズを指定します",
    L"文字列印刷のベースとなる文字位置を指定します",
    L"文字列印刷の文字位置の微調整をします（横方向）",
    L"文字列印刷の文字位置の微調整をします（縦方向）",
    L"ファイルネームの印刷をします",
    L"ファイルの拡張子を印刷をします",
    L"ファイルネームと画像とのスペースを設定します",
    L"ファイルネームの文字サイズを指定します",
    L"ファイルネームの文字色を指定します",
    L"ページ名の印刷をします",
    L"ページ名の印刷の文字サイズを指定します",
    L"ページ名の印刷のベースとなる位置を指定します",
    L"ページ名の印刷の文字位置の微調整をします（横方向）",
    L"ページ名の印刷の文字位置の微調整をします（縦方向）",
    L"カメラ名を印刷します（EXIFに情報がある場合）",
    L"レンズ名を印刷します（EXIFに情報がある場合）",
    L"撮影日時を印刷します（EXIFに情報がある場合）",
    L"撮影データを印刷します（EXIFに情報がある場合）",
    L"撮影情報の文字サイズを指定します",
    L"撮影情報の文字色を指定します",
    L"撮影情報の文字位置の微調整をします（横方向）",
    L"撮影情報の文字位置の微調整をします（縦方向）",
};
static_assert(sizeof kTooltipIds / sizeof kTooltipIds[0] == sizeof kTooltipTexts / sizeof kTooltipTexts[0], "");

// Re-entry guard: the refresh writes the edits, whose change notices must not store again.
bool g_refreshing = false;

HWND Preview() { return g_windowSlots[kSlotIndexPrintPreview]; }

void RedrawPreview() {
  if (HWND p = Preview()) InvalidateRect(p, nullptr, TRUE);
}

void Follow(HWND dialog, Then then) {
  switch (then) {
    case kNothing: break;
    case kPreviewRedraw: RedrawPreview(); break;
    case kPreviewRefresh:
      if (HWND p = Preview()) SendMessageW(p, WM_COMMAND, kRefreshCommand, 0);
      break;
    case kDialogRefresh:
      SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
      RedrawPreview();
      break;
  }
}

// The typed number of an edit; false when it is empty or not a number.
bool TypedNumber(HWND dialog, int id, int32_t* value) {
  wchar_t text[16] = {};
  GetDlgItemTextW(dialog, id, text, 16);
  if (!text[0]) return false;
  wchar_t* end = nullptr;
  const long v = std::wcstol(text, &end, 10);
  if (end == text || *end) return false;
  *value = static_cast<int32_t>(v);
  return true;
}

void HandleNumber(HWND dialog, const NumberControl& c, WORD code) {
  int32_t* field = c.field();
  int32_t value = *field;
  auto upDownPos = [&] {
    BOOL failed = FALSE;
    const int32_t pos = static_cast<int32_t>(SendDlgItemMessageW(dialog, c.upDown, UDM_GETPOS32, 0,
                                                                 reinterpret_cast<LPARAM>(&failed)));
    return pos;
  };
  auto typedInRange = [&](int32_t* out) {
    int32_t typed;
    if (!TypedNumber(dialog, c.id, &typed) || typed < c.minimum || typed > c.maximum) return false;
    *out = typed;
    return true;
  };
  if (c.rule == 1) {
    if (code == EN_KILLFOCUS) {
      if (!typedInRange(&value)) return;
    } else if (code == EN_CHANGE) {
      value = upDownPos();
    } else {
      return;
    }
  } else if (c.rule == 2) {
    if (code != EN_CHANGE) return;
    // The up-down reads its buddy's text for its position: a typed number in range is already it,
    // and setting the position would write the text being typed into.
    value = upDownPos();
  } else {
    // The resolution has no up-down: a value outside a workable range is not taken.
    if (!typedInRange(&value)) return;
  }
  if (value < c.minimum || value > c.maximum || value == *field) return;
  *field = value;
  Follow(dialog, c.then);
}

void RefreshDialog(HWND dialog) {
  g_refreshing = true;
  IndexPrintLayout& s = L();
  IndexPrintExtras& x = X();
  const int shownIds[] = {IDC_IP_COLUMNS, IDC_IP_ROWS,       IDC_IP_SPACING,     IDC_IP_MARGIN_TOP, IDC_IP_MARGIN_BOTTOM,
                          IDC_IP_MARGIN_LEFT, IDC_IP_MARGIN_RIGHT, IDC_IP_CAPTION, IDC_IP_DPI,      IDC_IP_NAME_SIZE,
                          IDC_IP_INFO_SIZE, IDC_IP_FREE_SIZE,  IDC_IP_FOLDER_SIZE, IDC_IP_PAGE_SIZE,  IDC_IP_FREE_X,
                          IDC_IP_FREE_Y,    IDC_IP_FOLDER_X,   IDC_IP_FOLDER_Y,    IDC_IP_PAGE_X,     IDC_IP_PAGE_Y};
  for (int id : shownIds)
    for (const NumberControl& c : kNumbers)
      if (c.id == id) ShowNumberInEdit(GetDlgItem(dialog, id), *c.field());
  ShowTextInEdit(GetDlgItem(dialog, IDC_IP_FREE_TEXT), reinterpret_cast<const wchar_t*>(s.freeText));

  s.lastPage = IndexLastPage(g_listCount, s.columns, s.rows);
  if (s.currentPage > s.lastPage) s.currentPage = s.lastPage;
  if (s.currentPage < 0) s.currentPage = 0;
  wchar_t page[48];
  swprintf(page, 48, L"%d/%d Page", s.currentPage + 1, s.lastPage + 1);
  SetDlgItemTextW(dialog, IDC_IP_PAGE_TEXT, page);

  for (const CheckControl& c : kChecks) CheckDlgButton(dialog, c.id, *c.field() ? BST_CHECKED : BST_UNCHECKED);
  const bool folder = g_listSource == 0;
  SetDlgItemTextW(dialog, IDC_IP_PRINT_FOLDER, folder ? L"フォルダ名を印刷" : L"コレクション名を印刷");
  SetDlgItemTextW(dialog, IDC_IP_FOLDER_GROUP, folder ? L"フォルダ名印刷" : L"コレクション名印刷");

  auto enable = [&](std::initializer_list<int> ids, bool on) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), on);
  };
  enable({IDC_IP_FOLDER_SIZE, IDC_IP_FOLDER_POSITION, IDC_IP_FOLDER_X, IDC_IP_FOLDER_Y}, x.printFolderName != 0);
  enable({IDC_IP_FULL_PATH}, x.printFolderName != 0 && folder);
  enable({IDC_IP_FREE_TEXT, IDC_IP_FREE_SIZE, IDC_IP_FREE_POSITION, IDC_IP_FREE_X, IDC_IP_FREE_Y}, s.printFreeText != 0);
  enable({IDC_IP_CAPTION, IDC_IP_NAME_SIZE}, s.printFileName != 0);
  enable({IDC_IP_PAGE_SIZE, IDC_IP_PAGE_POSITION, IDC_IP_PAGE_X, IDC_IP_PAGE_Y}, s.printPageNumber != 0);
  enable({IDC_IP_INFO_SIZE, IDC_IP_INFO_X, IDC_IP_INFO_Y},
         x.printCameraModel || x.printLens || x.printDateTime || x.printExposure);
  g_refreshing = false;
}

void InitDialog(HWND dialog) {
  g_windowSlots[kSlotIndexPrint] = dialog;
  SendMessageW(dialog, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(LoadIconW(g_hInstance, MAKEINTRESOURCEW(IDI_APP))));
  if (!Preview())
    CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_INDEX_PRINT_PREVIEW), dialog, IndexPrintPreviewProc, 0);
  SendDlgItemMessageW(dialog, IDC_IP_FREE_TEXT, EM_LIMITTEXT, 255, 0);
  // Each up-down starts at its own field: its buddy's change notice then stores that same value.
  for (const NumberControl& c : kNumbers)
    if (c.upDown)
      InitUpDownControl(GetDlgItem(dialog, c.upDown), GetDlgItem(dialog, c.id), c.minimum, c.maximum, *c.field());
  SendDlgItemMessageW(dialog, IDC_IP_SAVE, BM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(IDB_INDEX_SAVE_BUTTON))));
  SendDlgItemMessageW(dialog, IDC_IP_PRINT, BM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(IDB_INDEX_PRINT_BUTTON))));
  auto fill = [&](int id, const char16_t* const* texts, int count, int32_t selected) {
    for (int i = 0; i < count; ++i)
      SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, selected, 0);
  };
  const char16_t* papers[kIndexPrintPaperCount];
  for (int i = 0; i < kIndexPrintPaperCount; ++i) papers[i] = kIndexPrintPaper[i].text;
  fill(IDC_IP_PAPER, papers, kIndexPrintPaperCount, L().paperIndex);
  fill(IDC_IP_ZOOM, kPreviewZoomTexts, kPreviewZoomCount, L().zoomIndex);
  fill(IDC_IP_FREE_POSITION, kBasePositionTexts, 6, L().freeTextPosition);
  fill(IDC_IP_FOLDER_POSITION, kBasePositionTexts, 6, X().folderNamePosition);
  fill(IDC_IP_PAGE_POSITION, kBasePositionTexts, 6, L().pageNumberPosition);
  SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
  MoveWindow(dialog, X().dialogX, X().dialogY, X().dialogWidth, X().dialogHeight, TRUE);
}

void StoreRectangle(HWND dialog) {
  if (IsIconic(dialog)) return;
  RECT r;
  if (!GetWindowRect(dialog, &r)) return;
  X().dialogX = r.left;
  X().dialogY = r.top;
  X().dialogWidth = r.right - r.left;
  X().dialogHeight = r.bottom - r.top;
}

void SavePageAsPicture(HWND dialog) {
  wchar_t chosen[260];
  if (!ChooseSaveFile(dialog,
                      L".Jpg Files {*.jpg}\0*.jpg\0.Jpeg Files {*.jpeg}\0*.jpeg\0.PNG Files {*.png}\0*.png\0"
                      L".GIF Files {*.gif}\0*.gif\0.BMP Files {*.bmp}\0*.bmp\0.TIFF Files {*.tiff}\0*.tiff\0",
                      L"セーブファイル選択", g_printTargetPath, chosen, L"jpg"))
    return;
  wcsncpy(g_printTargetPath, chosen, 259);
  g_printTargetPath[259] = 0;
  // Composed and saved here, not by a later paint, so that a failure can be told at once.
  SetLastWriteError(0);
  if (ComposeIndexPage(nullptr, nullptr, g_printTargetPath) != 1) {
    // A write that failed says why; without one the name found no encoder.
    const DWORD error = LastWriteError();
    const std::wstring text = error ? WriteFailureText(L"次の画像ファイルを保存できませんでした。", g_printTargetPath, error)
                                    : L"画像ファイルを保存できませんでした。\n保存先と拡張子を確認してください。";
    ShowMessageBox(dialog, text.c_str(), g_productName, MB_ICONERROR);
  }
  RedrawPreview();
}

// The page file of the print job: beside the program, or in the temporary folder when the
// program's folder cannot be written.
bool WritePrintPicture() {
  swprintf(g_printTargetPath, 260, L"%ls\\__PRINT__.bmp", g_programFolder);
  if (ComposeIndexPage(nullptr, nullptr, g_printTargetPath) == 1) return true;
  wchar_t temp[260];
  const DWORD n = GetTempPathW(260, temp);
  if (n == 0 || n >= 240) return false;
  swprintf(g_printTargetPath, 260, L"%ls__PRINT__.bmp", temp);
  return ComposeIndexPage(nullptr, nullptr, g_printTargetPath) == 1;
}

void PrintPage(HWND dialog) {
  if (!WritePrintPicture()) {
    ShowMessageBox(dialog, L"印刷用の画像を作成できませんでした。", g_productName, MB_ICONERROR);
    return;
  }
  RedrawPreview();
  const int paper = L().paperIndex >= 0 && L().paperIndex < kIndexPrintPaperCount ? L().paperIndex : 1;
  PrintImage(dialog, kIndexPrintPaper[paper].paperCode, L().landscape ? 2 : 1, 1);
}

bool HandleCommand(HWND dialog, WORD id, WORD code) {
  if (id == kRefreshCommand) {
    RefreshDialog(dialog);
    return true;
  }
  if (g_refreshing) return true;
  for (const NumberControl& c : kNumbers)
    if (c.id == id) return HandleNumber(dialog, c, code), true;
  for (const CheckControl& c : kChecks) {
    if (c.id != id) continue;
    *c.field() = IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
    Follow(dialog, c.then);
    return true;
  }
  for (const ComboControl& c : kCombos) {
    if (c.id != id) continue;
    if (code != CBN_SELCHANGE) return true;
    const LRESULT sel = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return true;
    *c.field() = static_cast<int32_t>(sel);
    Follow(dialog, c.then);
    return true;
  }
  for (const SwatchControl& c : kSwatches) {
    if (c.id != id) continue;
    if (code != STN_CLICKED) return true;
    *c.field() = PickColor(dialog, *c.field());
    InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE);
    RedrawPreview();
    return true;
  }
  IndexPrintLayout& s = L();
  switch (id) {
    case IDC_IP_FREE_TEXT: {
      wchar_t text[256] = {};
      GetDlgItemTextW(dialog, id, text, 256);
      if (std::wcscmp(text, reinterpret_cast<const wchar_t*>(s.freeText)) == 0) return true;
      std::wmemcpy(reinterpret_cast<wchar_t*>(s.freeText), text, 256);
      s.freeText[255] = 0;
      RedrawPreview();
      return true;
    }
    case IDC_IP_PAGE_BACK:
    case IDC_IP_PAGE_NEXT: {
      const int32_t page = id == IDC_IP_PAGE_BACK ? IndexPreviousPage(s.currentPage, s.lastPage)
                                                  : IndexNextPage(s.currentPage, s.lastPage);
      if (page != s.currentPage) {
        s.currentPage = page;
        Follow(dialog, kDialogRefresh);
      }
      return true;
    }
    case IDC_IP_SAVE: SavePageAsPicture(dialog); return true;
    case IDC_IP_PRINT: PrintPage(dialog); return true;
  }
  return false;
}
}  // namespace

INT_PTR CALLBACK IndexPrintDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitDialog(dialog); return TRUE;
    case WM_COMMAND: return HandleCommand(dialog, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_SETCURSOR:
      return AddControlTooltip(dialog, reinterpret_cast<HWND>(wParam), kTooltipIds, kTooltipTexts,
                               static_cast<int>(sizeof kTooltipIds / sizeof kTooltipIds[0]));
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lParam);
      for (const SwatchControl& c : kSwatches) {
        if (GetDlgItem(dialog, c.id) != control) continue;
        SetBkColor(reinterpret_cast<HDC>(wParam), *c.field());
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      }
      return FALSE;
    }
    case WM_SIZE:
      if (HWND p = Preview()) {
        RECT r;
        GetClientRect(dialog, &r);
        MoveWindow(p, 0, 244, r.right, r.bottom > 244 ? r.bottom - 244 : 0, TRUE);
      }
      return TRUE;
    case WM_CLOSE:
      StoreRectangle(dialog);
      g_windowSlots[kSlotIndexPrint] = nullptr;
      if (HWND p = Preview()) SendMessageW(p, WM_CLOSE, 0, 0);
      DestroyWindow(dialog);
      PauseBusy();
      return TRUE;
    case WM_DESTROY:
      StoreRectangle(dialog);
      if (g_windowSlots[kSlotIndexPrint] == dialog) g_windowSlots[kSlotIndexPrint] = nullptr;
      for (int id : {IDC_IP_SAVE, IDC_IP_PRINT}) {
        HBITMAP b = reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dialog, id, BM_GETIMAGE, IMAGE_BITMAP, 0));
        if (b) DeleteObject(b);
      }
      return FALSE;
  }
  return FALSE;
}
