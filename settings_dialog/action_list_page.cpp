// Page 8: the action table as a list with a check box per action, the buttons that add, change
// and delete actions through the register dialog, and three check boxes of action settings.
// Rows map to actions only through the number in their "id" column.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "actions/action_register_dialog.h"
#include "actions/action_table.h"
#include "actions/batch_rename.h"
#include "actions/rename_support.h"
#include "actions/pure/action_editor_rules.h"
#include "browser/icon_lists.h"
#include "browser/list_rows.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/pure/hot_key_text.h"
#include "browser/tooltips.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "settings_dialog/action_pages.h"
#include "resources/action_pages_ids.h"

namespace {
constexpr int kActionListSlot = 19;
constexpr int kColumns = 8, kIdColumn = 7;
constexpr COLORREF kDisabledRowColour = 0x0A0A0A;
const wchar_t* const kTitles[kColumns] = {L"動作", L"対象キー", L"対象フォルダ/対象アプリケーション/動作", L"UNDO",
                                          L"色付け", L"同名JPGの同時処理", L"コメント", L"id"};
const int kHelpIds[6] = {IDC_ACTION_ADD, IDC_ACTION_CHANGE, IDC_ACTION_DELETE, IDC_ACTION_ADVANCE_AFTER_COPY,
                         IDC_ACTION_EXIF_ON_RAW, IDC_ACTION_KEEP_ROTATION_TIME};
const wchar_t* const kHelpTexts[6] = {
    L"アクションの新規登録\n\n好きなキーに下記の機能を割り振る事ができます。\n・他のアプリケーションに転送\n"
    L"・キー割り当て\n・ファイルコピー\n・ファイル移動\n・ゴミ箱へ移動\n・ファイル削除\n・RAW現像(TIFF保存)\n"
    L"・RAW現像(JPEG保存)\n・サムネイル保存\n・リネーム\n・置換リネーム\n・ロスレス回転\n"
    L"・直前のアクションの取り消し(アンドゥ)\n\n※リストからアクションを選択して追加した場合は\n"
    L"選択アクションの設定を引き継いだ状態が初期値になります。",
    L"登録済みアクションの変更\nリストをダブルクリックしても変更可能です",
    L"アクションの登録削除",
    L"メイン画面上でコピーアクション後、次の画像に自動送り",
    L"RAW現像アクションで作成した画像にExif情報を付加",
    L"ロスレス回転アクションを実行した時にファイルの更新日時を更新しないようにします"};

// Per column: 0 never sorted, 1 ascending, 2 descending; kept for the whole run.
int32_t ActionListSortDirection[kColumns];
int g_refilling = 0;
// Lower-cased texts of the sorted column by action number, taken before the sort moves rows.
std::vector<std::wstring> g_sortTexts;
int g_sortDirection = 1;

HWND ListOf(HWND page) { return GetDlgItem(page, IDC_ACTION_LIST); }

ActionEntry* TableRow(int32_t n) {
  return n >= 0 && n < kActionRowLimit ? reinterpret_cast<ActionEntry*>(g_settings.actionTable[n].bytes) : nullptr;
}

void SetCell(HWND list, int row, int column, const wchar_t* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text);
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int StateImage(HWND list, int row) {
  return static_cast<int>((SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

void SetCheck(HWND list, int row, bool on) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool ColourOn(int32_t kind) {
  const int32_t slot = ActionKindColorSlot(kind);
  return slot >= 0 && slot < 20 && g_settings.colorSlotEnabled[slot] == 1;
}

std::wstring TargetText(const ActionEntry& a, int32_t number) {
  wchar_t text[kRenameTextChars + 8];
  switch (a.kind) {
    case 1:
      return W(GetCommandName(a.commandIndex));
    case 10:
      FormatRenameSettingsText(text, a.ownRename ? number : -1);
      return a.ownRename ? std::wstring(L"(固定設定)　") + text : std::wstring(L"[ ") + text + L" ]";
    case 11:
      FormatReplaceRenameText(text, a.ownRename ? number : -1);
      return a.ownRename ? std::wstring(L"(固定設定)　") + text : std::wstring(text);
    case 2: case 3: case 4: case 7: case 8: case 9: {
      wchar_t path[kPathChars];
      wcsncpy(path, W(a.path), kPathChars - 1);
      path[kPathChars - 1] = 0;
      if (ActionPathKind(a.kind) == 1 && a.askAtRunTime == 1) return std::wstring(L"(実行時に変更可) ") + path;
      return path;
    }
    default: {
      const char16_t* fixed = ActionFixedTargetText(a.kind);
      return fixed ? W(fixed) : L"";
    }
  }
}

void Refill(HWND page) {
  HWND list = ListOf(page);
  ++g_refilling;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  const int32_t count = ActionRowCount();
  for (int32_t m = 0; m < count; ++m) {
    const ActionEntry& a = *ActionRowAt(m);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = m;
    item.pszText = const_cast<wchar_t*>(W(ActionKindShortName(a.kind)));
    item.iImage = a.kind;
    item.lParam = m;
    const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) continue;
    SetCell(list, row, kIdColumn, std::to_wstring(m).c_str());
    SetCell(list, row, 1, W(TargetKeyName(a.targetKey).c_str()));
    SetCell(list, row, 2, TargetText(a, m).c_str());
    SetCell(list, row, 3, W(ActionUndoMark(a.kind)));
    SetCell(list, row, 4, ColourOn(a.kind) ? L"○" : L"×");
    SetCell(list, row, 5, a.sameNamedJpg == 1 ? L"する" : L"しない");
    wchar_t comment[256];
    wcsncpy(comment, W(a.comment), 255);
    comment[255] = 0;
    SetCell(list, row, 6, comment);
    SetCheck(list, row, a.enabled != 0);
  }
  if (g_entryCount > 0 && count > 0) {
    LVITEMW select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
  }
  --g_refilling;
}

INT_PTR OpenRegister(HWND page, LPARAM param) {
  if (g_windowSlots[kSlotActionRegister]) return 0;
  const INT_PTR result = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ACTION_REGISTER), page,
                                         ActionRegisterDialogProc, param);
  if (result == 1) SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
  return result;
}

void Command(HWND page, int id) {
  HWND list = ListOf(page);
  if (id == IDC_ACTION_ADD) {
    if (ActionRowCount() >= kActionRowLimit) {
      ShowAppMessageBox(page, L"これ以上アクションは追加できません。", g_productName, MB_ICONINFORMATION);
      return;
    }
    const int n = GetSelectedRowNumber(list, kIdColumn);
    OpenRegister(page, static_cast<LPARAM>((n < 0 ? 0xFFFFu : static_cast<uint32_t>(n) & 0xFFFFu) | 0xFFFF0000u));
  } else if (id == IDC_ACTION_CHANGE) {
    const int n = GetSelectedRowNumber(list, kIdColumn);
    if (n < 0 || n >= ActionRowCount()) return;
    OpenRegister(page, n);
  } else if (id == IDC_ACTION_DELETE) {
    const int n = GetSelectedRowNumber(list, kIdColumn);
    const int32_t count = ActionRowCount();
    if (n < 0 || n >= count) return;
    for (int32_t i = n; i < count - 1; ++i) std::memcpy(TableRow(i), TableRow(i + 1), sizeof(ActionEntry));
    g_settings.actionCount = count - 1;
    SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
  }
}

std::wstring LowerCell(HWND list, int row, int column) {
  wchar_t text[60] = L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 60;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  CharLowerBuffW(text, static_cast<DWORD>(wcslen(text)));
  return text;
}

int CALLBACK CompareActionRows(LPARAM a, LPARAM b, LPARAM) {
  const size_t n = g_sortTexts.size();
  const std::wstring& x = a >= 0 && static_cast<size_t>(a) < n ? g_sortTexts[a] : std::wstring();
  const std::wstring& y = b >= 0 && static_cast<size_t>(b) < n ? g_sortTexts[b] : std::wstring();
  const int c = x < y ? -1 : x > y ? 1 : 0;  // code unit by code unit
  return g_sortDirection == 2 ? -c : c;
}

void Sort(HWND list, int column) {
  if (column < 0 || column >= kColumns) return;
  ActionListSortDirection[column] = ActionListSortDirection[column] == 1 ? 2 : 1;
  g_sortDirection = ActionListSortDirection[column];
  g_sortTexts.assign(kActionRowLimit, std::wstring());
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = r;
    if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam >= 0 &&
        item.lParam < kActionRowLimit)
      g_sortTexts[item.lParam] = LowerCell(list, r, column);
  }
  SendMessageW(list, LVM_SORTITEMS, column, reinterpret_cast<LPARAM>(CompareActionRows));
  g_sortTexts.clear();
}

LRESULT CustomDraw(HWND list, NMLVCUSTOMDRAW* draw) {
  const DWORD stage = draw->nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
  if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    const ActionEntry* a = ActionRowAt(GetRowNumber(list, static_cast<int>(draw->nmcd.dwItemSpec), kIdColumn));
    if (!a) return CDRF_NOTIFYSUBITEMDRAW;
    if (a->enabled != 1) draw->clrTextBk = kDisabledRowColour;
    else if (ColourOn(a->kind)) draw->clrTextBk = g_settings.colorSlots[ActionKindColorSlot(a->kind)];
    else draw->clrTextBk = g_settings.colorSlots[4];
  }
  return CDRF_NOTIFYSUBITEMDRAW;
}

// An empty hook before the popup opens.
void PrepareActionPagePopup(HWND) {}

void ShowPopup(HWND page) {
  PrepareActionPagePopup(page);
  if (!g_menus[15]) return;
  POINT at;
  GetCursorPos(&at);
  HMENU menu = GetSubMenu(g_menus[15], 0) ? GetSubMenu(g_menus[15], 0) : g_menus[15];
  TrackPopupMenu(menu, TPM_LEFTBUTTON, at.x, at.y, 0, page, nullptr);
}

void WriteBack(HWND page) {
  HWND list = ListOf(page);
  const int32_t count = ActionRowCount();
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows && r < count; ++r)
    if (ActionEntry* a = ActionRowAt(GetRowNumber(list, r, kIdColumn))) a->enabled = StateImage(list, r) == 1 ? 0 : 1;
  int order[kColumns];
  if (SendMessageW(list, LVM_GETCOLUMNORDERARRAY, kColumns, reinterpret_cast<LPARAM>(order)))
    for (int i = 0; i < kColumns; ++i) g_settings.actionListColumnOrder[i] = order[i];
  for (int i = 0; i < kColumns; ++i)
    g_settings.actionListColumnWidths[i] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
  // The table is stored in the order shown; a row without a sound number keeps its place.
  std::vector<ActionEntry> copy(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) std::memcpy(&copy[k], TableRow(k), sizeof(ActionEntry));
  std::vector<bool> used(static_cast<size_t>(count), false);
  std::vector<int> source(static_cast<size_t>(count), -1);
  for (int32_t k = 0; k < count && k < rows; ++k) {
    const int n = GetRowNumber(list, k, kIdColumn);
    if (n >= 0 && n < count && !used[n]) {
      source[k] = n;
      used[n] = true;
    }
  }
  // Rows the list does not account for fill the remaining places in table order, so nothing
  // is lost or doubled.
  int32_t next = 0;
  for (int32_t k = 0; k < count; ++k) {
    if (source[k] >= 0) continue;
    while (next < count && used[next]) ++next;
    if (next < count) {
      source[k] = next;
      used[next] = true;
    }
  }
  for (int32_t k = 0; k < count; ++k)
    if (source[k] >= 0) std::memcpy(TableRow(k), &copy[source[k]], sizeof(ActionEntry));
  g_settings.advanceAfterCopy = IsDlgButtonChecked(page, IDC_ACTION_ADVANCE_AFTER_COPY) == BST_CHECKED ? 1 : 0;
  g_settings.exifOnRawDevelop = IsDlgButtonChecked(page, IDC_ACTION_EXIF_ON_RAW) == BST_CHECKED ? 1 : 0;
  g_settings.keepTimeOnLosslessRotation =
      IsDlgButtonChecked(page, IDC_ACTION_KEEP_ROTATION_TIME) == BST_CHECKED ? 1 : 0;
}

INT_PTR Answer(HWND page, LRESULT result) {
  SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
  return TRUE;
}
}  // namespace

void RefreshActionListPage(HWND page) {
  CheckDlgButton(page, IDC_ACTION_ADVANCE_AFTER_COPY, g_settings.advanceAfterCopy ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_ACTION_EXIF_ON_RAW, g_settings.exifOnRawDevelop ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_ACTION_KEEP_ROTATION_TIME,
                 g_settings.keepTimeOnLosslessRotation ? BST_CHECKED : BST_UNCHECKED);
  SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
}

INT_PTR CALLBACK ActionListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kActionListSlot] = page;
      HWND list = ListOf(page);
      SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0x435, 0x435);
      NormaliseActionListColumns(g_settings.actionListColumnWidths, g_settings.actionListColumnOrder);
      for (int c = 0; c < kColumns; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<wchar_t*>(kTitles[c]);
        column.cx = g_settings.actionListColumnWidths[c];
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
      }
      int order[kColumns];
      for (int c = 0; c < kColumns; ++c) order[c] = g_settings.actionListColumnOrder[c];
      SendMessageW(list, LVM_SETCOLUMNORDERARRAY, kColumns, reinterpret_cast<LPARAM>(order));
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_actionKindIcons));
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kRefreshCommand && lParam == 0) Refill(page);
      else if (id == IDC_ACTION_ADD || id == IDC_ACTION_CHANGE || id == IDC_ACTION_DELETE) {
        if (HIWORD(wParam) == BN_CLICKED || lParam == 0) Command(page, id);
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
      if (h->idFrom != IDC_ACTION_LIST) return FALSE;
      switch (h->code) {
        case LVN_COLUMNCLICK:
          Sort(h->hwndFrom, reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
          break;
        case LVN_ITEMCHANGED: {
          const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(lParam);
          if (g_refilling || !(change->uChanged & LVIF_STATE) ||
              !((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) || change->iItem < 0)
            break;
          const int image = static_cast<int>((change->uNewState & LVIS_STATEIMAGEMASK) >> 12);
          ActionEntry* a = ActionRowAt(GetRowNumber(h->hwndFrom, change->iItem, kIdColumn));
          if (a && (image == 1 || image == 2)) a->enabled = image == 2 ? 1 : 0;
          SendMessageW(h->hwndFrom, LVM_REDRAWITEMS, change->iItem, change->iItem);
          break;
        }
        case NM_CUSTOMDRAW:
          return Answer(page, CustomDraw(h->hwndFrom, reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        case NM_RCLICK:
          ShowPopup(page);
          break;
        case NM_DBLCLK:
          SendMessageW(page, WM_COMMAND, IDC_ACTION_CHANGE, 0);
          break;
      }
      return Answer(page, 0);
    }
    case WM_MEASUREITEM:
      return MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return DrawOwnerMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
      return AddControlTooltip(page, reinterpret_cast<HWND>(wParam), kHelpIds, kHelpTexts, 6);
    case WM_DESTROY:
      WriteBack(page);
      g_windowSlots[kActionListSlot] = nullptr;
      return FALSE;
  }
  return FALSE;
}
