// The run-time question for an action's folder: its title, the checks of the typed folder,
// and what a confirmed answer stores in the row.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/action_path_dialog.h"
#include "actions/action_table.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/settings.h"
#include "support/modal_steps.h"
#include "support/program_services.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
HWND Shown() { return g_windowSlots[kSlotActionPath]; }

INT_PTR Ask(int32_t row, std::vector<std::function<void(HWND)>> steps) {
  std::vector<std::function<void()>> onShown;
  for (auto& step : steps) onShown.push_back([step] { step(Shown()); });
  INT_PTR result = 0;
  RunModalSteps(Shown, EachOnce(std::move(onShown)), 60, [&] {
    result = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(kActionPathDialogTemplate), nullptr,
                             ActionPathInputDialogProc, row);
  });
  return result;
}

class ActionPathDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    token_ = StartProgramServices(dir_.path());
    SetDefaultSettings();
    g_settings.actionCount = 1;
    row_ = ActionRowAt(0);
    row_->enabled = 1;
    row_->kind = 3;
    row_->targetKey = 1;
    row_->askAtRunTime = 1;
    wcscpy(W(row_->path), L"old\\");
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }
  ScratchDir dir_;
  ULONG_PTR token_ = 0;
  ActionEntry* row_ = nullptr;
};

TEST_F(ActionPathDialogTest, ChecksTheFolderAndStoresItInTheRow) {
  // Installed once the question is up: the answerer presses OK on every dialog it sees open.
  std::optional<BoxAnswerer> boxes;
  std::wstring title, shownPath;
  bool openAfterBad = false;
  const INT_PTR result = Ask(0, {
      [&](HWND d) {
        boxes.emplace(IDOK);
        boxes->Ignore(d);
        wchar_t t[512];
        GetDlgItemTextW(d, IDC_ACTION_PATH_TITLE, t, 512);
        title = t;
        GetDlgItemTextW(d, IDC_ACTION_PATH_EDIT, t, 512);
        shownPath = t;
        SetDlgItemTextW(d, IDC_ACTION_PATH_EDIT, L"");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
      },
      [&](HWND d) {
        SetDlgItemTextW(d, IDC_ACTION_PATH_EDIT, L"\\keep");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        openAfterBad = g_windowSlots[kSlotActionPath] != nullptr;
      },
      [&](HWND d) {
        SaveScreenshot(ExeFolder() + L"\\action_path_dialog.bmp");
        SetDlgItemTextW(d, IDC_ACTION_PATH_EDIT, L"keep\\copy");
        CheckDlgButton(d, IDC_ACTION_PATH_KEEP, BST_CHECKED);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
      },
  });
  EXPECT_NE(title.find(L"のコピー先フォルダを入力してください。"), std::wstring::npos) << title;
  EXPECT_NE(title.find(L"[ コピー ]"), std::wstring::npos) << title;
  EXPECT_EQ(shownPath, L"old\\");
  EXPECT_TRUE(openAfterBad);
  std::vector<std::wstring> texts;
  for (const auto& s : boxes->seen)
    if (!s.text.empty()) texts.push_back(s.text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], L"ファイルコピー先フォルダが入力されていません。");
  EXPECT_EQ(texts[1], L"フォルダ名が不正です。\n相対パスにする場合先頭に'\\'は必要ありません。");
  EXPECT_EQ(result, 1);
  EXPECT_STREQ(W(row_->path), L"keep\\copy\\");
  EXPECT_EQ(row_->askAtRunTime, 0);
}

TEST_F(ActionPathDialogTest, CancelKeepsTheRowAndATooLongFolderIsRefused) {
  std::optional<BoxAnswerer> boxes;
  const INT_PTR cancelled = Ask(0, {[&](HWND d) {
    SetDlgItemTextW(d, IDC_ACTION_PATH_EDIT, L"other");
    SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
  }});
  EXPECT_EQ(cancelled, 0);
  EXPECT_STREQ(W(row_->path), L"old\\");
  EXPECT_EQ(row_->askAtRunTime, 1);

  // The media-split move names itself in the title as the other kinds do.
  row_->kind = 13;
  std::wstring title;
  Ask(0, {[&](HWND d) {
    wchar_t t[512];
    GetDlgItemTextW(d, IDC_ACTION_PATH_TITLE, t, 512);
    title = t;
    SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
  }});
  EXPECT_EQ(title, L"マウスホイールボタン　[ 振分け移動 ]　アクション入力してください。");
  row_->kind = 3;

  // 259 characters fill the field; the folder's final '\' would not fit and is not cut off.
  const std::wstring longName = L"C:\\" + std::wstring(256, L'a');
  bool stillOpen = false;
  const INT_PTR refused = Ask(0, {
      [&](HWND d) {
        boxes.emplace(IDOK);
        boxes->Ignore(d);
        SetDlgItemTextW(d, IDC_ACTION_PATH_EDIT, longName.c_str());
        SendMessageW(d, WM_COMMAND, IDOK, 0);
        stillOpen = g_windowSlots[kSlotActionPath] != nullptr;
      },
      [&](HWND d) { SendMessageW(d, WM_CLOSE, 0, 0); },
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(refused, 0);
  ASSERT_EQ(boxes->seen.size(), 1u);
  EXPECT_EQ(boxes->seen[0].text, L"フォルダ名が長すぎます。\n短いパスを入力してください。");
  EXPECT_STREQ(W(row_->path), L"old\\");
}
}  // namespace
