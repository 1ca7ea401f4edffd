#include "actions/action_register_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "actions/action_path_dialog.h"
#include "actions/action_table.h"
#include "actions/actions_hooks.h"
#include "actions/batch_rename.h"
#include "actions/pure/action_editor_rules.h"
#include "actions/pure/action_path_rules.h"
#include "actions/pure/rename_rules.h"
#include "actions/rename_support.h"
#include "browser/icon_lists.h"
#include "browser/main_window.h"
#include "browser/pure/hot_key_text.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "resources/action_pages_ids.h"
#include "resources/resource.h"

namespace {
constexpr int kKindCount = 13;
constexpr UINT kQuestionBox = 0x40124, kWarningQuestionBox = 0x40134;

// Valid while the dialog is open.
int32_t EditedActionRow = -1;
int32_t g_sourceRow = -1;
uint8_t RenameSnapshotTaken = 0;
RenamePattern g_snapshotPattern;
ReplaceTexts g_snapshotTexts;
WNDPROC g_editPrevious;
HIMAGELIST g_kindIcons;

LRESULT CALLBACK ActionPathEditDropProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (TakeDroppedPath(edit, message, wParam)) return 0;
  return CallWindowProcW(g_editPrevious, edit, message, wParam, lParam);
}

ActionEntry* EditedRow() { return ActionRowAt(EditedActionRow); }

int SelectedKind(HWND dialog) {
  const LRESULT k = SendDlgItemMessageW(dialog, IDC_REGISTER_KIND, CB_GETCURSEL, 0, 0);
  return k >= 0 && k < kKindCount ? static_cast<int>(k) : -1;
}
int SelectedKey(HWND dialog) {
  const LRESULT k = SendDlgItemMessageW(dialog, IDC_REGISTER_KEY, CB_GETCURSEL, 0, 0);
  return k >= 0 && k < kActionKeyCount ? static_cast<int>(k) : 0;
}
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Show(HWND dialog, int id, bool on) { ShowWindow(GetDlgItem(dialog, id), on ? SW_SHOW : SW_HIDE); }
void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on); }

bool ColourSlotOn(int kind) {
  const int32_t slot = ActionKindColorSlot(kind);
  return slot >= 0 && slot < 20 && g_settings.colorSlotEnabled[slot] == 1;
}

std::wstring RowPatternText(const ActionEntry& a) {
  RenamePattern p{};
  p.prefixType = a.prefixType;
  p.nameType = a.nameType;
  p.dateJoiner = a.dateJoiner;
  p.prefixJoiner = a.prefixJoiner;
  p.sequenceStart = a.sequenceStart;
  std::memcpy(p.prefix, a.prefixText, sizeof p.prefix);
  p.prefix[31] = 0;
  NormaliseRenamePattern(p);
  char16_t out[kRenameTextChars];
  return FormatRenamePattern(p, out, kRenameTextChars) ? W(out) : L"";
}

std::wstring RowReplaceText(const char16_t* oldText, const char16_t* newText) {
  char16_t o[128], n[128];
  std::memcpy(o, oldText, sizeof o);
  std::memcpy(n, newText, sizeof n);
  o[127] = n[127] = 0;
  char16_t out[kRenameTextChars];
  return FormatReplaceTexts(o, n, out, kRenameTextChars) ? W(out) : L"";
}

// The rename description the help shows for kinds 10 and 11.
std::wstring RenameHelpTail(HWND dialog, int kind) {
  wchar_t global[kRenameTextChars];
  const ActionEntry* row = EditedRow();
  if (kind == 10) {
    if (!Checked(dialog, IDC_REGISTER_OWN_RENAME)) {
      FormatRenameSettingsText(global, -1);
      return std::wstring(L"\n\n[ ") + global + L" ]";
    }
    std::wstring text;
    if (RenameSnapshotTaken) {
      char16_t out[kRenameTextChars];
      RenamePattern p = g_snapshotPattern;
      NormaliseRenamePattern(p);
      text = FormatRenamePattern(p, out, kRenameTextChars) ? W(out) : L"";
    } else if (row) {
      text = RowPatternText(*row);
    } else {
      FormatRenameSettingsText(global, -1);
      text = global;
    }
    return L"\n\n(固定設定)　" + text;
  }
  std::wstring text;
  if (Checked(dialog, IDC_REGISTER_OWN_RENAME) && RenameSnapshotTaken)
    text = RowReplaceText(g_snapshotTexts.oldText, g_snapshotTexts.newText);
  else if (Checked(dialog, IDC_REGISTER_OWN_RENAME) && row)
    text = RowReplaceText(row->replaceOld, row->replaceNew);
  else {
    FormatReplaceRenameText(global, -1);
    text = global;
  }
  return L"\n\n[ " + text + L" ]";
}

void SetIfDifferent(HWND dialog, int id, const std::wstring& text) {
  wchar_t now[4096] = L"";
  GetDlgItemTextW(dialog, id, now, 4096);
  if (text != now) SetDlgItemTextW(dialog, id, text.c_str());
}

void Refresh(HWND dialog) {
  const int kind = SelectedKind(dialog);
  const int key = SelectedKey(dialog);
  wchar_t field[kPathChars] = L"";
  if (kind == 1) GetDlgItemTextW(dialog, IDC_REGISTER_COMMAND, field, kPathChars);
  else GetDlgItemTextW(dialog, IDC_REGISTER_PATH, field, kPathChars);
  if (kind >= 0) SetIfDifferent(dialog, IDC_REGISTER_PATH_LABEL, W(ActionPathLabel(kind)));
  Show(dialog, IDC_REGISTER_CHOOSE_APP, kind == 2);
  Show(dialog, IDC_REGISTER_CHOOSE_FOLDER, kind != 2);
  std::wstring title, help;
  if (key == 0) {
    title = L"対象キーを設定してください";
    help = W(ActionDescription(0));
  } else if (kind < 0) {
    title = L"動作を設定してください";
    help = W(ActionDescription(0));
  } else {
    title = W(TargetKeyName(key).c_str());
    title += L" を押すと ";
    title += W(ActionWhatText(kind, U16(field)).c_str());
    help = W(ActionDescription(kind + 1));
    if (kind == 10 || kind == 11) help += RenameHelpTail(dialog, kind);
  }
  SetIfDifferent(dialog, IDC_REGISTER_TITLE, title);
  SetIfDifferent(dialog, IDC_REGISTER_HELP, help);
  InvalidateRect(GetDlgItem(dialog, IDC_REGISTER_COLOUR_SAMPLE), nullptr, TRUE);
}

void KindLayout(HWND dialog) {
  const int kind = SelectedKind(dialog);
  const int32_t setting = ActionSettingKind(kind);
  const ActionEntry* row = EditedRow();
  Enable(dialog, IDC_REGISTER_PATH, setting == 1);
  Enable(dialog, IDC_REGISTER_CHOOSE_FOLDER, setting == 1);
  Show(dialog, IDC_REGISTER_OWN_RENAME, kind == 10 || kind == 11);
  if ((kind == 10 || kind == 11) && row) Check(dialog, IDC_REGISTER_OWN_RENAME, row->ownRename != 0);
  Show(dialog, IDC_REGISTER_COMMAND, setting == 2);
  Show(dialog, IDC_REGISTER_PATH, setting != 2);
  if (kind < 0 || !ActionKindHasColourSwitch(kind)) {
    Check(dialog, IDC_REGISTER_COLOUR_ON, false);
    Check(dialog, IDC_REGISTER_COLOUR_OFF, true);
    Enable(dialog, IDC_REGISTER_COLOUR_ON, false);
    Enable(dialog, IDC_REGISTER_COLOUR_OFF, false);
  } else {
    const bool on = ColourSlotOn(kind);
    Check(dialog, IDC_REGISTER_COLOUR_ON, on);
    Check(dialog, IDC_REGISTER_COLOUR_OFF, !on);
    Enable(dialog, IDC_REGISTER_COLOUR_ON, true);
    Enable(dialog, IDC_REGISTER_COLOUR_OFF, true);
  }
  if (kind < 0 || kind == 1) {
    Show(dialog, IDC_REGISTER_ONE_CALL, false);
    Show(dialog, IDC_REGISTER_ASK_AT_RUN, true);
    Enable(dialog, IDC_REGISTER_ASK_AT_RUN, false);
    Enable(dialog, IDC_REGISTER_SAME_JPG, false);
  } else {
    Enable(dialog, IDC_REGISTER_SAME_JPG, true);
    if (row) Check(dialog, IDC_REGISTER_SAME_JPG, row->sameNamedJpg != 0);
    const int32_t pathKind = ActionPathKind(kind);
    if (pathKind == 1) {
      Show(dialog, IDC_REGISTER_ASK_AT_RUN, true);
      Enable(dialog, IDC_REGISTER_ASK_AT_RUN, true);
      if (row) Check(dialog, IDC_REGISTER_ASK_AT_RUN, row->askAtRunTime != 0);
      Show(dialog, IDC_REGISTER_ONE_CALL, false);
    } else if (pathKind == 2) {
      Show(dialog, IDC_REGISTER_ONE_CALL, true);
      if (row) Check(dialog, IDC_REGISTER_ONE_CALL, row->oneCall != 0);
      Show(dialog, IDC_REGISTER_ASK_AT_RUN, false);
    } else {
      Show(dialog, IDC_REGISTER_ONE_CALL, false);
      Show(dialog, IDC_REGISTER_ASK_AT_RUN, true);
      Enable(dialog, IDC_REGISTER_ASK_AT_RUN, false);
    }
  }
  Refresh(dialog);
}

void OwnRenameClicked(HWND dialog) {
  const int kind = SelectedKind(dialog);
  wchar_t text[kRenameTextChars + 256];
  wchar_t description[kRenameTextChars];
  if (Checked(dialog, IDC_REGISTER_OWN_RENAME)) {
    if (kind == 10) {
      FormatRenameSettingsText(description, -1);
      swprintf(text, kRenameTextChars + 256,
               L"現在のリネーム設定 : %ls を\n以後このアクションの固定のパラメータとして適用します。\n\nよろしいですか？",
               description);
    } else {
      FormatReplaceRenameText(description, -1);
      swprintf(text, kRenameTextChars + 256,
               L"現在の置換リネーム設定 : %ls\nを以後このアクションの固定のパラメータとして適用します。\n\nよろしいですか？",
               description);
    }
    if (ShowMessageBox(dialog, text, g_productName, kQuestionBox) == IDYES) {
      g_actionsHooks.commitRenameSettings();
      g_snapshotPattern = GlobalRenamePattern();
      g_snapshotTexts = GlobalReplaceTexts();
      RenameSnapshotTaken = 1;
    } else {
      Check(dialog, IDC_REGISTER_OWN_RENAME, false);
    }
  } else {
    const wchar_t* question =
        kind == 10 ? L"このアクションに固定パラメータとして設定されていたリネーム設定を破棄し解除します。\nよろしいですか？"
                   : L"このアクションに固定パラメータとして設定されていた置換リネーム設定を破棄し解除します。\nよろしいですか？";
    if (ShowMessageBox(dialog, question, g_productName, kQuestionBox) != IDYES)
      Check(dialog, IDC_REGISTER_OWN_RENAME, true);
  }
  Refresh(dialog);
}

void ChooseApplication(HWND dialog) {
  wchar_t buffer[1024] = L"", chosen[kPathChars] = L"";
  GetDlgItemTextW(dialog, IDC_REGISTER_PATH, buffer, kPathChars);
  if (!IsValidFilePath(buffer)) buffer[0] = 0;
  static const wchar_t kFilter[] = L".exe Files {*.exe}\0*.exe\0All files {*.*}\0*.*\0";
  if (ChooseOpenFile(dialog, kFilter, L"アプリケーション選択", buffer, chosen))
    SetDlgItemTextW(dialog, IDC_REGISTER_PATH, chosen);
}

void Fail(HWND dialog, const wchar_t* text) { MessageBoxW(dialog, text, g_productName, MB_ICONERROR); }

bool Register(HWND dialog) {
  const int key = SelectedKey(dialog);
  if (key == 0) return Fail(dialog, L"対象キーが設定されていません。\n対象キーを設定してください。"), false;
  const int32_t count = ActionRowCount();
  for (int32_t r = 0; r < count; ++r)
    if (r != EditedActionRow && ActionRowAt(r)->targetKey == key)
      return Fail(dialog, L"対象キーは既に使用されています。\n対象キーを別のキーに変更してください。"), false;
  const int kind = SelectedKind(dialog);
  if (kind < 0) return Fail(dialog, L"動作が設定されていません。\n動作を設定してください。"), false;
  wchar_t typed[kPathChars] = L"";
  GetDlgItemTextW(dialog, IDC_REGISTER_PATH, typed, kPathChars);
  int32_t command = 0;
  if (kind == 0 || kind == 5 || kind == 6) typed[0] = 0;
  if (kind == 1) {
    const LRESULT at = SendDlgItemMessageW(dialog, IDC_REGISTER_COMMAND, CB_GETCURSEL, 0, 0);
    command = kCommandDisplayOrder[at >= 0 && at < kCommandCount ? at : 0];
    typed[0] = 0;
  } else if (kind == 2) {
    if (!typed[0]) return Fail(dialog, L"起動アプリケーションのパスが入力されていません。"), false;
    if (!IsValidFilePath(typed)) return Fail(dialog, L"起動アプリケーションのパスが不正です。"), false;
  } else if (IsActionFolderKind(kind) && !Checked(dialog, IDC_REGISTER_ASK_AT_RUN)) {
    if (!typed[0]) return Fail(dialog, W(ActionFolderEmptyText(kind))), false;
    if (!IsValidFolderPath(typed)) return Fail(dialog, W(ActionFolderInvalidText(kind))), false;
  }
  if (kind == 6 &&
      MessageBoxW(dialog,
                  L"アクション“削除”が選択されています。\nこのアクションはファイル削除動作の復帰(UNDO)ができませんがよろしいですか？"
                  L"\n\n※誤操作によりファイル喪失を防ぐためより安全性の高いゴミ箱アクションのご使用をお勧めします。 ",
                  g_productName, kWarningQuestionBox) != IDYES)
    return false;
  char16_t path[kPathChars] = {};
  if (typed[0] && !FinishTypedActionPath(dialog, typed, kind, path)) return false;
  // Rows the editor writes stay inside the tables that give them meaning.
  if (!IsEditedActionRowSound(key, kind, command)) return false;

  ActionEntry* row = EditedRow();
  if (!row) {
    if (count >= kActionRowLimit) {
      ShowAppMessageBox(dialog, L"これ以上アクションは追加できません。", g_productName, MB_ICONINFORMATION);
      return false;
    }
    row = reinterpret_cast<ActionEntry*>(g_settings.actionTable[count].bytes);
    std::memset(row, 0, sizeof *row);
    g_settings.actionCount = count + 1;
    row->enabled = 1;
  }
  row->targetKey = key;
  row->kind = kind;
  std::memcpy(row->path, path, sizeof row->path);
  row->sameNamedJpg = Checked(dialog, IDC_REGISTER_SAME_JPG) ? 1 : 0;
  row->oneCall = Checked(dialog, IDC_REGISTER_ONE_CALL) ? 1 : 0;
  row->askAtRunTime = Checked(dialog, IDC_REGISTER_ASK_AT_RUN) ? 1 : 0;
  const bool own = Checked(dialog, IDC_REGISTER_OWN_RENAME);
  if (own && RenameSnapshotTaken && kind == 10) {
    row->prefixType = g_snapshotPattern.prefixType;
    row->nameType = g_snapshotPattern.nameType;
    row->dateJoiner = g_snapshotPattern.dateJoiner;
    row->prefixJoiner = g_snapshotPattern.prefixJoiner;
    row->sequenceStart = g_snapshotPattern.sequenceStart;
    std::memcpy(row->prefixText, g_snapshotPattern.prefix, sizeof row->prefixText);
  } else if (own && RenameSnapshotTaken && kind == 11) {
    std::memcpy(row->replaceOld, g_snapshotTexts.oldText, sizeof row->replaceOld);
    std::memcpy(row->replaceNew, g_snapshotTexts.newText, sizeof row->replaceNew);
  }
  row->ownRename = own ? 1 : 0;
  row->commandIndex = command;
  const int32_t slot = ActionKindColorSlot(kind);
  const uint8_t colour = Checked(dialog, IDC_REGISTER_COLOUR_ON) ? 1 : 0;
  if (slot >= 0 && slot < 20 && g_settings.colorSlotEnabled[slot] != colour) {
    g_settings.colorSlotEnabled[slot] = colour;
    if (HWND pane = g_windowSlots[kSlotFileListPane])
      if (HWND list = GetDlgItem(pane, IDC_FILE_LIST)) InvalidateRect(list, nullptr, TRUE);
  }
  g_keyActionState[key] = 2;
  wchar_t comment[256] = L"";
  GetDlgItemTextW(dialog, IDC_REGISTER_COMMENT, comment, 256);
  std::memset(row->comment, 0, sizeof row->comment);
  wcsncpy(W(row->comment), comment, 255);
  return true;
}

void Close(HWND dialog, INT_PTR result) {
  if (g_editPrevious) {
    SetWindowLongPtrW(GetDlgItem(dialog, IDC_REGISTER_PATH), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editPrevious));
    g_editPrevious = nullptr;
  }
  g_windowSlots[kSlotActionRegister] = nullptr;
  EndDialog(dialog, result);
}

void Init(HWND dialog, LPARAM lParam) {
  g_windowSlots[kSlotActionRegister] = dialog;
  RenameSnapshotTaken = 0;
  HWND edit = GetDlgItem(dialog, IDC_REGISTER_PATH);
  SendMessageW(edit, EM_SETLIMITTEXT, kPathChars - 1, 0);
  SendDlgItemMessageW(dialog, IDC_REGISTER_COMMENT, EM_SETLIMITTEXT, 255, 0);
  DragAcceptFiles(edit, TRUE);
  g_editPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ActionPathEditDropProc)));

  const uint32_t param = static_cast<uint32_t>(lParam);
  if (param < 0x10000) {
    EditedActionRow = ActionRowAt(static_cast<int32_t>(param)) ? static_cast<int32_t>(param) : -1;
    g_sourceRow = EditedActionRow;
  } else {
    EditedActionRow = -1;
    const int32_t low = static_cast<int32_t>(param & 0xFFFF);
    g_sourceRow = low != 0xFFFF && ActionRowAt(low) ? low : -1;
  }
  Check(dialog, IDC_REGISTER_ASK_AT_RUN, true);
  if (g_buttonBitmaps[0])
    SendDlgItemMessageW(dialog, IDC_REGISTER_CHOOSE_FOLDER, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(g_buttonBitmaps[0]));
  if (g_buttonBitmaps[1])
    SendDlgItemMessageW(dialog, IDC_REGISTER_CHOOSE_APP, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(g_buttonBitmaps[1]));
  for (int32_t k = 0; k < kActionKeyCount; ++k)
    SendDlgItemMessageW(dialog, IDC_REGISTER_KEY, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(W(TargetKeyName(k).c_str())));
  for (int32_t i = 0; i < kCommandCount; ++i)
    SendDlgItemMessageW(dialog, IDC_REGISTER_COMMAND, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(W(GetCommandName(kCommandDisplayOrder[i]))));

  g_kindIcons = ImageList_LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDB_ACTION_KIND_ICONS), 16, 0, 0xFFFFFF,
                                     IMAGE_BITMAP, LR_CREATEDIBSECTION);
  if (!g_kindIcons) ShowAppMessageBox(dialog, L"イメージを取り入れられませんでした", g_productName, 0);
  HWND kinds = GetDlgItem(dialog, IDC_REGISTER_KIND);
  if (g_kindIcons) SendMessageW(kinds, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(g_kindIcons));
  for (int k = 0; k < kKindCount; ++k) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = k;
    item.pszText = const_cast<wchar_t*>(W(ActionKindShortName(k)));
    item.iImage = item.iSelectedImage = k;
    SendMessageW(kinds, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }

  const ActionEntry* source = ActionRowAt(g_sourceRow);
  if (!source) {
    SendDlgItemMessageW(dialog, IDC_REGISTER_KEY, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog, IDC_REGISTER_COMMAND, CB_SETCURSEL, 0, 0);
  } else {
    SendDlgItemMessageW(dialog, IDC_REGISTER_KEY, CB_SETCURSEL,
                        source->targetKey >= 0 && source->targetKey < kActionKeyCount ? source->targetKey : 0, 0);
    if (source->kind >= 0 && source->kind < kKindCount) SendMessageW(kinds, CB_SETCURSEL, source->kind, 0);
    int position = 0;
    for (int i = 0; i < kCommandCount; ++i)
      if (kCommandDisplayOrder[i] == source->commandIndex) {
        position = i;
        break;
      }
    SendDlgItemMessageW(dialog, IDC_REGISTER_COMMAND, CB_SETCURSEL, position, 0);
    wchar_t text[kPathChars];
    if (source->kind != 1) {
      wcsncpy(text, W(source->path), kPathChars - 1);
      text[kPathChars - 1] = 0;
      SetWindowTextW(edit, text);
    }
    wchar_t comment[256];
    wcsncpy(comment, W(source->comment), 255);
    comment[255] = 0;
    SetDlgItemTextW(dialog, IDC_REGISTER_COMMENT, comment);
  }
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_REGISTER_KIND, 0), 0);
  SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
}
}  // namespace

INT_PTR CALLBACK ActionRegisterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Init(dialog, lParam);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      switch (id) {
        case IDC_REGISTER_KIND:
          KindLayout(dialog);
          return TRUE;
        case IDC_REGISTER_PATH:
          if (g_windowSlots[kSlotActionRegister] == dialog) Refresh(dialog);
          return TRUE;
        case IDC_REGISTER_KEY:
        case IDC_REGISTER_COMMAND:
          if (code == CBN_SELCHANGE) Refresh(dialog);
          return TRUE;
        case IDC_REGISTER_OWN_RENAME:
          if (code == BN_CLICKED) OwnRenameClicked(dialog);
          return TRUE;
        case IDC_REGISTER_COLOUR_ON:
        case IDC_REGISTER_COLOUR_OFF:
          InvalidateRect(GetDlgItem(dialog, IDC_REGISTER_COLOUR_SAMPLE), nullptr, TRUE);
          return TRUE;
        case IDC_REGISTER_CHOOSE_FOLDER: {
          wchar_t initial[kPathChars], chosen[kPathChars];
          GetDlgItemTextW(dialog, IDC_REGISTER_PATH, initial, kPathChars);
          if (ChooseFolder(dialog, initial, chosen) == 1) SetDlgItemTextW(dialog, IDC_REGISTER_PATH, chosen);
          Refresh(dialog);
          return TRUE;
        }
        case IDC_REGISTER_CHOOSE_APP:
          ChooseApplication(dialog);
          Refresh(dialog);
          return TRUE;
        case IDOK:
          if (Register(dialog)) Close(dialog, 1);
          return TRUE;
        case IDCANCEL:
          Close(dialog, 0);
          return TRUE;
        default:
          if (id == kRefreshCommand) Refresh(dialog);
          return TRUE;
      }
    }
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (GetDlgCtrlID(control) != IDC_REGISTER_COLOUR_SAMPLE) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      const int kind = SelectedKind(dialog);
      COLORREF back;
      if (kind < 0) back = GetSysColor(COLOR_GRAYTEXT);
      else if (!ActionKindHasColourSwitch(kind)) back = g_settings.colorSlots[4];
      else if (!Checked(dialog, IDC_REGISTER_COLOUR_OFF))
        back = g_settings.colorSlots[ActionKindColorSlot(kind) < 20 ? ActionKindColorSlot(kind) : 4];
      else back = g_settings.colorSlots[4];
      SetTextColor(dc, g_settings.colorSlots[6]);
      SetBkColor(dc, back);
      SetBkMode(dc, OPAQUE);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_CLOSE:
      Close(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      if (g_kindIcons) {
        SendDlgItemMessageW(dialog, IDC_REGISTER_KIND, CBEM_SETIMAGELIST, 0, 0);
        ImageList_Destroy(g_kindIcons);
        g_kindIcons = nullptr;
      }
      g_windowSlots[kSlotActionRegister] = nullptr;
      return FALSE;
  }
  return FALSE;
}
