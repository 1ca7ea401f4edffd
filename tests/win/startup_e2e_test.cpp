// Drives the real program: a copy of Brannomere.exe in a scratch folder, so each case owns
// its settings file.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "resources/resource.h"
#include "support/e2e_start.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kTermsTitle[] = L"Brannomere 使用許諾条件";
const wchar_t kUncleanQuestion[] =
    L"前回正常に終了しなかった可能性があります。　以前開いたフォルダに復帰しますか?\n\n"
    L"※何度も繰り返しこの表示が出る場合は設定ファイルが破損している可能性があります。\n"
    L"　実行ファイルと同じフォルダ内にある設定ファイル[Brannomere.cfg]を一度削除した後、起動することで改善する可能性があります。";

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = CopyProgramInto(dir_);
    ASSERT_FALSE(exe_.empty());
    cfg_ = dir_.File(L"Brannomere.cfg");
  }

  HWND WaitTopWindow(Process& p, const std::wstring& cls, const std::wstring& title) {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindTopWindow(p.id, cls, title)) != nullptr; }, 30000);
    return w;
  }

  // Starts, agrees to the terms and returns the main window.
  HWND StartAndAgree(Process& p) {
    EXPECT_TRUE(p.Start(exe_, L""));
    HWND terms = WaitTopWindow(p, L"#32770", kTermsTitle);
    EXPECT_NE(terms, nullptr);
    if (!terms) return nullptr;
    PostMessageW(terms, WM_COMMAND, MAKEWPARAM(IDC_TERMS_AGREE, BN_CLICKED), 0);
    return WaitTopWindow(p, L"BRANNOMERE", L"");
  }

  std::vector<uint8_t> PlainSettings() {
    std::vector<uint8_t> b;
    ReadWholeFile(cfg_, &b);
    ScrambleBuffer(b.data(), b.size());
    return b;
  }

  ScratchDir dir_;
  std::wstring exe_, cfg_;
};

TEST_F(StartupTest, DecliningTheTermsEndsWithoutASettingsFile) {
  Process p;
  ASSERT_TRUE(p.Start(exe_, L""));
  HWND terms = WaitTopWindow(p, L"#32770", kTermsTitle);
  ASSERT_NE(terms, nullptr);
  EXPECT_NE(WindowText(GetDlgItem(terms, 550)).find(L"使用許諾条件"), std::wstring::npos);
  PostMessageW(terms, WM_COMMAND, MAKEWPARAM(425, BN_CLICKED), 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(cfg_));
  EXPECT_EQ(FindTopWindow(0, L"BRANNOMERE", L""), nullptr);
}

TEST_F(StartupTest, AgreeingOpensTheMainWindowAndClosingSavesTheSettings) {
  Process p;
  HWND main = StartAndAgree(p);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), L"Brannomere Ver5.71");

  // A second start while the first runs ends at once and shows nothing.
  Process second;
  ASSERT_TRUE(second.Start(exe_, L""));
  DWORD code = 1;
  ASSERT_TRUE(second.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(FindTopWindow(second.id, L"", L""), nullptr);

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
  auto plain = PlainSettings();
  ASSERT_EQ(plain.size(), sizeof(SettingsBlock));
  EXPECT_EQ(plain[offsetof(SettingsBlock, cleanExit)], 1);
  EXPECT_EQ(std::memcmp(plain.data(), u"5.71", 10), 0);
  int32_t sentinel;
  std::memcpy(&sentinel, plain.data() + 183012, 4);
  EXPECT_EQ(sentinel, 1234);

  // A clean restart asks nothing and shows the main window again.
  Process again;
  ASSERT_TRUE(again.Start(exe_, L""));
  HWND main2 = WaitTopWindow(again, L"BRANNOMERE", L"");
  ASSERT_NE(main2, nullptr);
  EXPECT_EQ(FindTopWindow(again.id, L"#32770", L""), nullptr);
  PostMessageW(main2, WM_CLOSE, 0, 0);
  ASSERT_TRUE(again.WaitExit(20000, &code));
}

TEST_F(StartupTest, AnUncleanExitAsksWhetherToReturnToTheLastFolder) {
  {
    Process p;
    HWND main = StartAndAgree(p);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(p.WaitExit(20000, nullptr));
  }
  // As after a save made while running, then a crash: the clean-exit byte is 0 on disk.
  auto plain = PlainSettings();
  plain[offsetof(SettingsBlock, cleanExit)] = 0;
  ScrambleBuffer(plain.data(), plain.size());
  ASSERT_TRUE(WriteWholeFile(cfg_, plain.data(), plain.size()));

  Process p;
  ASSERT_TRUE(p.Start(exe_, L""));
  std::wstring caption, text;
  ASSERT_TRUE(AnswerForeignBox(p.id, IDNO, 30000, &caption, &text));
  EXPECT_EQ(caption, L"Brannomere");
  EXPECT_EQ(text, kUncleanQuestion);
  HWND main = WaitTopWindow(p, L"BRANNOMERE", L"");
  ASSERT_NE(main, nullptr);
  // Killed: the abandoned mutex is taken over by the next start.
  p.Kill();
  Process next;
  ASSERT_TRUE(next.Start(exe_, L""));
  HWND main2 = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    HWND box = FindTopWindow(next.id, L"#32770", L"");
    if (box) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    return (main2 = FindTopWindow(next.id, L"BRANNOMERE", L"")) != nullptr;
  }, 30000));
  PostMessageW(main2, WM_CLOSE, 0, 0);
  ASSERT_TRUE(next.WaitExit(20000, nullptr));
}

}  // namespace
