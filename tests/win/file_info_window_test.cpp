// The File Information window in a real main window over a folder of JPEGs: the list command
// opens it, each tab shows the entry at the cursor, the COMMENT and IPTC tabs write into the
// file and read it back, and closing keeps the floating rectangle.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "actions/action_history.h"
#include "actions/entry_actions.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "app/startup.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/file_info_window.h"
#include "metadata/metadata_reader.h"
#include "resources/resource.h"
#include "support/program_window_suite.h"
#include "support/sample_pictures.h"
#include "support/win_test_support.h"
#include "tests/support/exif_fixture.h"

using namespace testsupport;

namespace {

HWND Window() { return g_windowSlots[kSlotFileInfo]; }
HWND Page(int slot) { return g_windowSlots[slot]; }

std::wstring Text(HWND page, int id) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(page, id, text, 1024);
  return text;
}

std::wstring Cell(HWND list, int row, int column) { return ListText(list, row, column); }

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<uint8_t> FileBytes(const std::wstring& path) {
  std::vector<uint8_t> b;
  ReadWholeFile(path, &b);
  return b;
}

size_t Find(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
  auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
  return it == hay.end() ? std::string::npos : static_cast<size_t>(it - hay.begin());
}

// The text of the file's first COM segment.
std::string CommentSegment(const std::vector<uint8_t>& file) {
  const size_t at = Find(file, {0xFF, 0xFE});
  if (at == std::string::npos || at + 4 > file.size()) return "<none>";
  const size_t n = size_t(file[at + 2]) << 8 | file[at + 3];
  return std::string(file.begin() + at + 4, file.begin() + at + 2 + n);
}

// "a", then 日 (two bytes in the code page) to byte 19,000, so that one straddles byte 8,192; a
// line break and ASCII to 20,000 bytes.
std::string LongComment() {
  std::string c = "a";
  while (c.size() < 19000) c += "\x93\xfa";
  c += "\r\n";
  while (c.size() < 20000) c += 'z';
  return c;
}

const std::string kTokyo = "\xe6\x9d\xb1\xe4\xba\xac", kKorea = "\xed\x95\x9c\xea\xb5\xad",
                  kPhoto = "\xe5\x86\x99\xe7\x9c\x9f\xe2\x91\xa0", kOsaka = "\xe5\xa4\xa7\xe9\x98\xaa",
                  kCafe = "caf\xe9", kZeroComment = std::string("shown\0kept\xff", 11);

int32_t EntryNamed(const wchar_t* name) {
  for (int32_t i = 0; i < g_entryCount; ++i)
    if (wcscmp(EntryName(EntryAt(i)), name) == 0) return i;
  return -1;
}

// The COMMENT tab's edit mode on or off, whatever an earlier test left.
void SetCommentEditMode(HWND page, bool on) {
  const bool readOnly = (GetWindowLongW(GetDlgItem(page, IDC_COMMENT_EDIT), GWL_STYLE) & ES_READONLY) != 0;
  if (readOnly == on) SendMessageW(page, WM_COMMAND, IDC_TAB_TOGGLE, 0);
}

// The list says the file is now another one (as after a rename from outside); undone at the end.
class EntryRenamed {
 public:
  explicit EntryRenamed(const wchar_t* name) : e_(EntryAt(EntryNamed(name))), kept_(EntryPath(e_)) {
    std::wstring other = kept_;
    other.insert(other.size() - 4, L"_moved");
    wcscpy(EntryPath(e_), other.c_str());
  }
  ~EntryRenamed() { wcscpy(EntryPath(e_), kept_.c_str()); }

 private:
  ImageEntry* e_;
  std::wstring kept_;
};

// The IPTC list's label editor on a row, given a text and left (which keeps the text).
bool EditIptcLabel(HWND page, HWND list, int row, const std::wstring& text) {
  SetFocus(list);
  HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, row, 0));
  if (!edit) return false;
  SetWindowTextW(edit, text.c_str());
  SetFocus(page);
  Pump();
  return true;
}

class FileInfoWindowTest : public ProgramWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenProgram([] {
      g_settings.enabledImageTypes |= 0x2;
      g_settings.fileInfoDockInTree = 0;
    }));
    ASSERT_TRUE(CopyFileW((std::wstring(kExifSamples) + L"has-lens-info.jpg").c_str(),
                          photos_->File(L"a.jpg").c_str(), FALSE));
    const fx::Bytes plain = fx::Jpeg({});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"b.jpg"), plain.data(), plain.size()));
    ASSERT_TRUE(CopyFileW((std::wstring(kExifFolder) + L"sample1.jpg").c_str(), photos_->File(L"c.jpg").c_str(), FALSE));
    const std::vector<uint8_t> cmyk = MakeCmykJpeg(800, 600);
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"d.jpg"), cmyk.data(), cmyk.size()));
    const fx::Bytes longComment = fx::Jpeg({fx::Segment(0xFE, fx::Text(LongComment()))});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"e.jpg"), longComment.data(), longComment.size()));
    // A comment in front of a big-endian Exif block with orientation 1.
    auto ifd = fx::NewIfd(false);
    ifd->Ascii(0x010F, "Canon").Short(0x0112, {1});
    const fx::Bytes turned = fx::Jpeg({fx::Segment(0xFE, fx::Text("ab")), fx::ExifApp1(fx::Tiff(*ifd))});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"f.jpg"), turned.data(), turned.size()));
    // An IPTC record that declares UTF-8, one of its values outside the Windows code page.
    fx::Bytes utf8 = fx::IptcRecord(90, fx::Text("\x1b%G"), 1);
    fx::Append(utf8, fx::IptcRecord(0, fx::Bytes{0, 4}));
    fx::Append(utf8, fx::IptcRecord(5, fx::Text(kTokyo)));
    fx::Append(utf8, fx::IptcRecord(25, fx::Text(kKorea)));
    fx::Append(utf8, fx::IptcRecord(120, fx::Text(kPhoto)));
    const fx::Bytes tagged = fx::Jpeg({fx::App13(fx::Resource8bim(1028, utf8))});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"g.jpg"), tagged.data(), tagged.size()));
    // A record that declares nothing: a Latin-1 title and a UTF-8 keyword, record version 4.
    fx::Bytes undeclared = fx::IptcRecord(0, fx::Bytes{0, 4});
    fx::Append(undeclared, fx::IptcRecord(5, fx::Text(kCafe)));
    fx::Append(undeclared, fx::IptcRecord(25, fx::Text(kKorea)));
    fx::Append(undeclared, fx::IptcRecord(120, fx::Text("old caption")));
    const fx::Bytes latin = fx::Jpeg({fx::App13(fx::Resource8bim(1028, undeclared))});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"h.jpg"), latin.data(), latin.size()));
    const fx::Bytes zero = fx::Jpeg({fx::Segment(0xFE, fx::Text(kZeroComment))});
    ASSERT_TRUE(WriteWholeFile(photos_->File(L"i.jpg"), zero.data(), zero.size()));
    LoadFolder(photos_->path());
  }
  static void TearDownTestSuite() { CloseProgram(); }

  // Puts the cursor on the file and shows the tab, as the idle loop would after a cursor move.
  static void Show(const wchar_t* name, int tab) {
    g_viewMode = 1;
    for (int row = 0; row < g_listCount; ++row)
      if (wcscmp(EntryName(EntryAtRow(row)), name) == 0) g_cursorRow = row;
    SelectFileInfoTab(tab);
    SendMessageW(Window(), WM_COMMAND, kRefreshCommand, 0);
    Pump();
  }

  // The list focused with only the file selected, and the PREVIEW tab painted until it is done.
  static void SelectOnly(const wchar_t* name) {
    HWND list = GetListControl();
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
    for (int row = 0; row < g_listCount; ++row) {
      if (wcscmp(EntryName(EntryAtRow(row)), name) != 0) continue;
      LVITEMW select{};
      select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&select));
    }
    Show(name, kTabPreview);
  }
  static bool Preview(const wchar_t* name) {
    SelectOnly(name);
    PreviewDelayTicks = 0;
    PreviewPaintStep = 0;
    InvalidateRect(Page(kSlotInfoTabPreview), nullptr, FALSE);
    return WaitFor([] { return PreviewPaintStep == 2; }, 3000);
  }
  static COLORREF PreviewCentre() {
    HWND page = Page(kSlotInfoTabPreview);
    RECT rc{};
    GetClientRect(page, &rc);
    HDC pageDc = GetDC(page);
    const COLORREF c = GetPixel(pageDc, rc.right / 2, rc.bottom / 2);
    ReleaseDC(page, pageDc);
    return c;
  }

  // The page's write button pressed, every box it opens answered with OK; what they said.
  static std::vector<BoxAnswerer::Seen> WriteAnsweringBoxes(HWND page) {
    BoxAnswerer ok(IDOK);
    ok.Ignore(Window());
    SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
    Pump();
    return ok.seen;
  }
  // The list painted and nothing of it left to paint.
  static void PaintList() {
    HWND list = GetListControl();
    ShowWindow(list, SW_SHOWNA);  // as view mode 1 shows it; the test window may not have yet
    UpdateWindow(list);
    ValidateRect(list, nullptr);
  }
  // The file's row is invalid: the list will draw it again from its record.
  static bool RowAwaitsPaint(const wchar_t* name) {
    HWND list = GetListControl();
    RECT row{LVIR_BOUNDS};
    for (int r = 0; r < g_listCount; ++r)
      if (wcscmp(EntryName(EntryAtRow(r)), name) == 0) SendMessageW(list, LVM_GETITEMRECT, r, reinterpret_cast<LPARAM>(&row));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool invalid = GetUpdateRgn(list, region, FALSE) != NULLREGION && RectInRegion(region, &row);
    DeleteObject(region);
    return invalid;
  }

  static void Shot(const wchar_t* name) {
    RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    Sleep(100);
    SaveScreenshot(ExeFolder() + L"\\fileinfo_" + name + L".bmp");
  }

};

TEST_F(FileInfoWindowTest, OpensFromTheListCommandAndShowsFileAndExif) {
  g_settings.fileInfoLastTab = 9;  // out of range: opens on PREVIEW
  SendMessageW(g_hwndMain, WM_COMMAND, 243, 0);  // the menu item, passed on to the list pane
  Pump();
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(g_settings.fileInfoLastTab, 5);
  for (int slot = kSlotInfoTabFile; slot <= kSlotInfoTabPreview; ++slot) EXPECT_NE(Page(slot), nullptr) << slot;
  EXPECT_TRUE(IsWindowVisible(Page(kSlotInfoTabPreview)));
  EXPECT_FALSE(IsWindowVisible(Page(kSlotInfoTabFile)));
  MoveWindow(Window(), 20, 20, 420, 420, TRUE);

  Show(L"a.jpg", kTabFile);
  HWND file = Page(kSlotInfoTabFile);
  EXPECT_TRUE(IsWindowVisible(file));
  EXPECT_EQ(Text(file, IDC_INFO_NAME), L"a.jpg");
  EXPECT_EQ(Text(file, IDC_INFO_FOLDER), photos_->path() + L"\\");
  EXPECT_NE(Text(file, IDC_INFO_SIZE).find(L"KB"), std::wstring::npos);
  EXPECT_EQ(Text(file, IDC_INFO_WRITTEN).size(), 19u);  // "YYYY/MM/DD hh:mm:ss"
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(file, IDC_ATTR_SYSTEM)));
  // The read-only box writes the attribute at once; the file system's answer is shown.
  CheckDlgButton(file, IDC_ATTR_READONLY, BST_CHECKED);
  SendMessageW(file, WM_COMMAND, IDC_ATTR_READONLY, 0);
  EXPECT_TRUE(GetFileAttributesW(photos_->File(L"a.jpg").c_str()) & FILE_ATTRIBUTE_READONLY);
  CheckDlgButton(file, IDC_ATTR_READONLY, BST_UNCHECKED);
  SendMessageW(file, WM_COMMAND, IDC_ATTR_READONLY, 0);
  EXPECT_FALSE(GetFileAttributesW(photos_->File(L"a.jpg").c_str()) & FILE_ATTRIBUTE_READONLY);
  Shot(L"file");

  Show(L"a.jpg", kTabExif);
  HWND exif = GetDlgItem(Page(kSlotInfoTabExif), IDC_EXIF_LIST);
  ASSERT_GE(Rows(exif), 3);
  EXPECT_EQ(Cell(exif, 0, 1), L"ﾒｰｶｰ");
  EXPECT_FALSE(Cell(exif, 0, 0).empty());
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED;
  SendMessageW(exif, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
  SendMessageW(exif, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  SendMessageW(Page(kSlotInfoTabExif), WM_COMMAND, 244, 0);
  EXPECT_EQ(ClipboardText(), Cell(exif, 0, 0) + L"\t" + Cell(exif, 0, 1) + L"\n" + Cell(exif, 1, 0) + L"\t" +
                                 Cell(exif, 1, 1) + L"\n");
  Shot(L"exif");

  Show(L"b.jpg", kTabExif);
  ASSERT_EQ(Rows(exif), 1);
  EXPECT_EQ(Cell(exif, 0, 1), L"EXIF情報が見つかりません");
  EXPECT_EQ(Cell(exif, 0, 0), L"");
}

TEST_F(FileInfoWindowTest, CommentIsEditedWrittenAndReadBack) {
  ASSERT_NE(Window(), nullptr);
  Show(L"b.jpg", kTabComment);
  HWND page = Page(kSlotInfoTabComment);
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"コメント情報が見つかりませんでした。");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_TOGGLE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  HWND edit = GetDlgItem(page, IDC_COMMENT_EDIT);
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
  SendMessageW(page, WM_COMMAND, IDC_TAB_TOGGLE, 0);
  EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
  // Typed as keys: select the old text and replace it.
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (const wchar_t* c = L"書いた comment"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  PaintList();
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  EXPECT_TRUE(RowAwaitsPaint(L"b.jpg"));  // its new size and date
  EXPECT_EQ(EntryAt(EntryNamed(L"b.jpg"))->info.fileSize, FileBytes(photos_->File(L"b.jpg")).size());
  Pump();
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"書いた comment");  // read back from the file
  ASSERT_TRUE(ReadJpegComment(photos_->File(L"b.jpg").c_str()));
  wchar_t wide[64];
  MetadataTextToWide(g_jpegCommentBuffer, wide, 64);
  EXPECT_STREQ(wide, L"書いた comment");
  Shot(L"comment");
  // A file that cannot be written: the box, the file as it was and the typed text kept.
  const std::wstring file = photos_->File(L"b.jpg");
  std::vector<uint8_t> before, after;
  ASSERT_TRUE(ReadWholeFile(file, &before));
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (const wchar_t* c = L"次の文"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
  {
    const auto seen = WriteAnsweringBoxes(page);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"コメントを書き出せませんでした。\n" + file +
                                   L"\n\n他のプロセスがファイルを使用しているか、書き込みが許可されていません。");
  }
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"次の文");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  ASSERT_TRUE(ReadWholeFile(file, &after));
  EXPECT_TRUE(before == after);

  // A character the code page lacks is refused, not written as "?".
  for (const wchar_t* c = L"\ud55c"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);  // 한
  {
    const auto seen = WriteAnsweringBoxes(page);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"Windowsの文字コードにない文字が含まれているため、コメントを書き出せません。");
  }
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"次の文\ud55c");
  ASSERT_TRUE(ReadWholeFile(file, &after));
  EXPECT_TRUE(before == after);
  SendMessageW(page, WM_COMMAND, IDC_TAB_TOGGLE, 0);
}

TEST_F(FileInfoWindowTest, LongCommentIsShownAndWrittenWhole) {
  ASSERT_NE(Window(), nullptr);
  Show(L"e.jpg", kTabComment);
  HWND page = Page(kSlotInfoTabComment);
  HWND edit = GetDlgItem(page, IDC_COMMENT_EDIT);
  const std::string comment = LongComment();
  EXPECT_EQ(GetWindowTextLengthW(edit), MultiByteToWideChar(932, 0, comment.data(), int(comment.size()), nullptr, 0));
  // Two characters typed at its end: the file gets the whole comment and them.
  SetCommentEditMode(page, true);
  const int end = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, end, end);
  for (const wchar_t* c = L"末!"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  const std::wstring file = photos_->File(L"e.jpg");
  const std::vector<uint8_t> written = FileBytes(file);
  EXPECT_TRUE(CommentSegment(written) == comment + "\x96\x96!");

  // The list no longer names the file the tab showed: nothing is written, the user is told why,
  // the typed text and the button stay.
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (const wchar_t* c = L"新"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
  {
    EntryRenamed renamed(L"e.jpg");
    const auto seen = WriteAnsweringBoxes(page);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"ファイル一覧が更新されたため、コメントを書き出せませんでした。");
    EXPECT_EQ(seen[0].caption, g_productName);
  }
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"新");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  EXPECT_TRUE(FileBytes(file) == written);
  SetCommentEditMode(page, false);
}

// A comment is bytes: what follows its first zero byte is not shown, and it stays through an
// edit; a text typed back as it was writes nothing.
TEST_F(FileInfoWindowTest, CommentWithAZeroByteKeepsItsBytes) {
  ASSERT_NE(Window(), nullptr);
  Show(L"i.jpg", kTabComment);
  HWND page = Page(kSlotInfoTabComment);
  HWND edit = GetDlgItem(page, IDC_COMMENT_EDIT);
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"shown");
  SetCommentEditMode(page, true);
  const std::wstring file = photos_->File(L"i.jpg");
  const std::vector<uint8_t> before = FileBytes(file);
  SendMessageW(edit, EM_SETSEL, 5, 5);
  SendMessageW(edit, WM_CHAR, L'x', 1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 1);
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  EXPECT_TRUE(FileBytes(file) == before);

  SendMessageW(edit, EM_SETSEL, 5, 5);
  for (const wchar_t* c = L" 文"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  EXPECT_TRUE(CommentSegment(FileBytes(file)) == "shown \x95\xb6" + kZeroComment.substr(5));
  EXPECT_EQ(Text(page, IDC_COMMENT_EDIT), L"shown 文");

  // Cleared with the keys: nothing of the comment is left, the hidden bytes neither.
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 1);
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  EXPECT_EQ(CommentSegment(FileBytes(file)), "");
  SetCommentEditMode(page, false);
}

// A comment in front of the Exif block grows by two bytes: the entry's orientation offset moves
// with it, so the lossless rotation writes the value and not the count in front of it (which
// holds the same bytes, 00 01, in a big-endian file).
TEST_F(FileInfoWindowTest, WriteIntoTheFileMovesTheOffsetsTheRotationUses) {
  ASSERT_NE(Window(), nullptr);
  const int32_t n = EntryNamed(L"f.jpg");
  ASSERT_GE(n, 0);
  ImageEntry* e = EntryAt(n);
  ASSERT_TRUE(WaitFor([e] { return (e->flags & kEntryInfoRead) != 0; }, 10000));
  const std::wstring path = photos_->File(L"f.jpg");
  const std::vector<uint8_t> orientation = {0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01};
  ASSERT_EQ(e->info.orientationByteOrder, 2);
  ASSERT_EQ(e->info.orientation, 1);
  ASSERT_EQ(size_t(e->info.orientationOffset), Find(FileBytes(path), orientation) + 8);
  Show(L"f.jpg", kTabComment);
  HWND page = Page(kSlotInfoTabComment);
  HWND edit = GetDlgItem(page, IDC_COMMENT_EDIT);
  SetCommentEditMode(page, true);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (const wchar_t* c = L"abcd"; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  SetCommentEditMode(page, false);
  const std::vector<uint8_t> written = FileBytes(path);
  ASSERT_EQ(CommentSegment(written), "abcd");
  const size_t at = Find(written, orientation) + 8;
  EXPECT_EQ(size_t(e->info.orientationOffset), at);
  EXPECT_EQ(e->info.fileSize, written.size());

  e->presence = 1;
  e->userRotation = 1;
  ASSERT_EQ(ExecuteEntryAction(n, 12, L"", -1, 0), kActionDone);
  std::vector<uint8_t> turned = FileBytes(path);
  EXPECT_EQ(turned[at], 0);
  EXPECT_EQ(turned[at + 1], 6);
  turned[at + 1] = 1;
  EXPECT_TRUE(turned == written);  // nothing else changed
}

TEST_F(FileInfoWindowTest, IptcCaptionIsTypedAndWritten) {
  ASSERT_NE(Window(), nullptr);
  Show(L"c.jpg", kTabIptc);
  HWND page = Page(kSlotInfoTabIptc);
  HWND list = GetDlgItem(page, IDC_IPTC_LIST);
  ASSERT_GE(Rows(list), 1);
  const int before = Cell(list, 0, 2).empty() ? 0 : Rows(list);
  // The tool strip adds the caption row; the label editor takes the typed value.
  SendMessageW(page, WM_COMMAND, IDC_TAB_TOGGLE, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(245, 31), 0);
  ASSERT_EQ(Rows(list), before + 1);
  const int row = before;
  EXPECT_EQ(Cell(list, row, 1), L"キャプション");
  EXPECT_EQ(Cell(list, row, 2), L"120");
  ASSERT_TRUE(EditIptcLabel(page, list, row, L"Typed caption"));
  EXPECT_EQ(Cell(list, row, 0), L"Typed caption");
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  Shot(L"iptc");
  PaintList();
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  EXPECT_TRUE(RowAwaitsPaint(L"c.jpg"));
  Pump();
  SendMessageW(Window(), WM_COMMAND, kRefreshCommand, 0);
  Pump();
  ASSERT_TRUE(ReadIptc(photos_->File(L"c.jpg").c_str()));
  EXPECT_NE(std::string(g_iptcTextBuffer).find("120\t\n\nTyped caption\t\n"), std::string::npos) << g_iptcTextBuffer;
  bool shown = false;
  for (int r = 0; r < Rows(list); ++r) shown |= Cell(list, r, 0) == L"Typed caption";
  EXPECT_TRUE(shown);
  // Kept for the check with ExifTool outside the program.
  CopyFileW(photos_->File(L"c.jpg").c_str(), (ExeFolder() + L"\\fileinfo_iptc_written.jpg").c_str(), FALSE);

  // A file without IPTC shows the one row.
  Show(L"a.jpg", kTabIptc);
  ASSERT_EQ(Rows(list), 1);
  EXPECT_EQ(Cell(list, 0, 1), L"IPTC情報が見つかりません");

  // The tool commands on the list: insert all, the combo's offer, paste all with the skip check.
  Show(L"c.jpg", kTabIptc);
  SendMessageW(page, WM_COMMAND, 246, 0);
  EXPECT_EQ(Rows(list), 0);
  SendMessageW(page, WM_COMMAND, 249, 0);
  ASSERT_EQ(Rows(list), 32);
  EXPECT_EQ(Cell(list, 0, 1), L"タイトル");
  EXPECT_EQ(Cell(list, 31, 1), L"キャプション作成者");
  HWND strip = GetWindow(list, GW_HWNDNEXT);
  while (strip && GetDlgCtrlID(strip) != 0 && !GetDlgItem(strip, IDC_IPTC_ADD_COMBO)) strip = GetWindow(strip, GW_HWNDNEXT);
  ASSERT_NE(strip, nullptr);
  SendMessageW(strip, WM_COMMAND, kRefreshCommand, 0);
  EXPECT_EQ(SendDlgItemMessageW(strip, IDC_IPTC_ADD_COMBO, CB_GETCOUNT, 0, 0), 4);  // the repeatable ones
  SendMessageW(page, WM_COMMAND, 247, 0);
  SendMessageW(page, WM_COMMAND, 246, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(245, 1), 0);
  LVITEMW value{};
  value.pszText = const_cast<wchar_t*>(L"mine");
  SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&value));
  g_settings.iptcPasteSkip = 1;
  SendMessageW(page, WM_COMMAND, 248, 0);
  ASSERT_EQ(Rows(list), 32);
  EXPECT_EQ(Cell(list, 0, 0), L"mine");
  EXPECT_EQ(Cell(list, 1, 1), L"編集ステータス");
  g_settings.iptcPasteSkip = 0;
  SendMessageW(page, WM_COMMAND, 248, 0);
  int titles = 0;
  for (int r = 0; r < Rows(list); ++r) titles += Cell(list, r, 1) == L"タイトル";
  EXPECT_EQ(titles, 1);
  EXPECT_NE(Cell(list, 0, 1), L"タイトル");  // the list's own title gave way to the template's

  // The choice and date editors open over the value cell with the value selected.
  SendMessageW(page, WM_COMMAND, 246, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(245, 3), 0);   // 緊急度
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(245, 10), 0);  // 公開日
  LVITEMW five{};
  five.pszText = const_cast<wchar_t*>(L"5");
  SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&five));
  LVITEMW day{};
  day.pszText = const_cast<wchar_t*>(L"20240315");
  SendMessageW(list, LVM_SETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&day));
  static LRESULT seenChoice;
  static SYSTEMTIME seenDate;
  static RECT seenCombo, seenPicker, seenInside;  // the editors and the popup's client area, on the screen
  auto answer = [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM out) -> BOOL {
      if (GetDlgItem(w, IDC_IPTC_CHOICE_COMBO) || GetDlgItem(w, IDC_IPTC_PICKER)) *reinterpret_cast<HWND*>(out) = w;
      return TRUE;
    }, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    KillTimer(nullptr, id);
    if (HWND combo = GetDlgItem(box, IDC_IPTC_CHOICE_COMBO)) {
      seenChoice = SendMessageW(combo, CB_GETCURSEL, 0, 0);
      GetWindowRect(combo, &seenCombo);
      GetClientRect(box, &seenInside);
      MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&seenInside), 2);
      SendMessageW(combo, CB_SETCURSEL, 7, 0);
    } else {
      HWND picker = GetDlgItem(box, IDC_IPTC_PICKER);
      SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&seenDate));
      GetWindowRect(picker, &seenPicker);
      GetClientRect(box, &seenInside);
      MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&seenInside), 2);
      SYSTEMTIME t{};
      t.wYear = 2023;
      t.wMonth = 12;
      t.wDay = 1;
      SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  };
  SetFocus(list);
  SetTimer(nullptr, 0, 50, answer);
  SendMessageW(list, LVM_EDITLABELW, 0, 0);
  Pump();
  EXPECT_EQ(seenChoice, 5);
  // Each editor shows whole inside its popup, the combo box as tall as its font makes it.
  auto inside = [](const RECT& editor) {
    RECT both{};
    return IntersectRect(&both, &editor, &seenInside) && EqualRect(&both, &editor);
  };
  EXPECT_TRUE(inside(seenCombo)) << seenCombo.right - seenCombo.left << " x " << seenCombo.bottom - seenCombo.top
                                 << " in " << seenInside.right - seenInside.left << " x "
                                 << seenInside.bottom - seenInside.top;
  EXPECT_EQ(Cell(list, 0, 0), L"7");
  SetFocus(list);
  SetTimer(nullptr, 0, 50, answer);
  SendMessageW(list, LVM_EDITLABELW, 1, 0);
  Pump();
  EXPECT_EQ(seenDate.wYear, 2024);
  EXPECT_TRUE(inside(seenPicker));
  EXPECT_EQ(seenPicker.bottom - seenPicker.top, 16);
  EXPECT_EQ(seenDate.wMonth, 3);
  EXPECT_EQ(seenDate.wDay, 15);
  EXPECT_EQ(Cell(list, 1, 0), L"20231201");
  Show(L"a.jpg", kTabIptc);  // moving on drops the unwritten edits
}

// A record that declares UTF-8 is shown as such, and written back in it: the values not edited
// keep their bytes (one of them is not in the Windows code page) and the declaration stays.
TEST_F(FileInfoWindowTest, IptcInUtf8KeepsTheValuesNotEdited) {
  ASSERT_NE(Window(), nullptr);
  Show(L"g.jpg", kTabIptc);
  HWND page = Page(kSlotInfoTabIptc);
  HWND list = GetDlgItem(page, IDC_IPTC_LIST);
  auto wide = [](const std::string& utf8) {
    wchar_t w[64] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w, 64);
    return std::wstring(w);
  };
  ASSERT_EQ(Rows(list), 3);
  EXPECT_EQ(Cell(list, 0, 0), wide(kTokyo));
  EXPECT_EQ(Cell(list, 1, 0), wide(kKorea));
  EXPECT_EQ(Cell(list, 2, 0), wide(kPhoto));
  ASSERT_TRUE(EditIptcLabel(page, list, 0, wide(kOsaka)));
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  const std::wstring path = photos_->File(L"g.jpg");
  const std::vector<uint8_t> before = FileBytes(path);

  // Not while the list names another file: told, nothing written, the edit kept.
  {
    EntryRenamed renamed(L"g.jpg");
    const auto seen = WriteAnsweringBoxes(page);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"ファイル一覧が更新されたため、IPTC情報を書き出せませんでした。");
  }
  EXPECT_TRUE(FileBytes(path) == before);
  EXPECT_EQ(Cell(list, 0, 0), wide(kOsaka));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));

  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  const std::vector<uint8_t> written = FileBytes(path);
  auto has = [&written](uint8_t dataset, const std::string& value, uint8_t record = 2) {
    return Find(written, fx::IptcRecord(dataset, fx::Text(value), record)) != std::string::npos;
  };
  EXPECT_TRUE(has(90, "\x1b%G", 1));
  EXPECT_TRUE(has(5, kOsaka));
  EXPECT_TRUE(has(25, kKorea));
  EXPECT_TRUE(has(120, kPhoto));
  SendMessageW(Window(), WM_COMMAND, kRefreshCommand, 0);
  Pump();
  EXPECT_EQ(Cell(list, 0, 0), wide(kOsaka));
  // Kept for the check with ExifTool outside the program.
  CopyFileW(path.c_str(), (ExeFolder() + L"\\fileinfo_iptc_utf8_written.jpg").c_str(), FALSE);
}

// A record that declares no character set: its values are shown in the code page, and those not
// edited keep their bytes though they do not convert back (a Latin-1 letter, UTF-8), as does the
// record version; no declaration is added.
TEST_F(FileInfoWindowTest, IptcWithoutDeclarationKeepsTheValuesNotEdited) {
  ASSERT_NE(Window(), nullptr);
  Show(L"h.jpg", kTabIptc);
  HWND page = Page(kSlotInfoTabIptc);
  HWND list = GetDlgItem(page, IDC_IPTC_LIST);
  ASSERT_EQ(Rows(list), 3);
  EXPECT_EQ(Cell(list, 2, 0), L"old caption");
  // A typed character the code page lacks is refused, and the file keeps its bytes.
  const std::vector<uint8_t> before = FileBytes(photos_->File(L"h.jpg"));
  ASSERT_TRUE(EditIptcLabel(page, list, 2, L"\ud55c caption"));
  {
    const auto seen = WriteAnsweringBoxes(page);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"Windowsの文字コードにない文字が含まれているため、IPTC情報を書き出せません。");
  }
  EXPECT_TRUE(FileBytes(photos_->File(L"h.jpg")) == before);
  EXPECT_EQ(Cell(list, 2, 0), L"\ud55c caption");
  ASSERT_TRUE(EditIptcLabel(page, list, 2, L"new caption"));
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_TAB_WRITE)));
  SendMessageW(page, WM_COMMAND, IDC_TAB_WRITE, 0);
  Pump();
  const std::vector<uint8_t> written = FileBytes(photos_->File(L"h.jpg"));
  fx::Bytes record = fx::IptcRecord(0, fx::Bytes{0, 4});
  fx::Append(record, fx::IptcRecord(5, fx::Text(kCafe)));
  fx::Append(record, fx::IptcRecord(25, fx::Text(kKorea)));
  fx::Append(record, fx::IptcRecord(120, fx::Text("new caption")));
  EXPECT_NE(Find(written, fx::Resource8bim(1028, record)), std::string::npos);
  CopyFileW(photos_->File(L"h.jpg").c_str(), (ExeFolder() + L"\\fileinfo_iptc_latin_written.jpg").c_str(), FALSE);
}

// A list loaded anew can give another folder's file the address of the entry shown: while the
// picture lock is busy the page shows the background, not the picture of the list before.
TEST_F(FileInfoWindowTest, PreviewOfANewListNeverKeepsThePictureBefore) {
  ASSERT_NE(Window(), nullptr);
  ScratchDir other;
  for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg", L"d.jpg", L"e.jpg", L"f.jpg", L"g.jpg", L"h.jpg", L"i.jpg"})
    ASSERT_TRUE(CopyFileW(photos_->File(name).c_str(), other.File(std::wstring(L"x") + name).c_str(), FALSE));
  auto load = [](const std::wstring& folder) {
    g_listReadyFlag = 0;
    wcscpy(g_currentFolder, folder.c_str());
    LoadListContents(1, 0, 0);
    EXPECT_TRUE(WaitFor([] { return g_listReadyFlag == 1; }, 20000));
    Pump();
  };
  struct Back {
    std::function<void()> f;
    ~Back() { f(); }
  } back{[&] { load(photos_->path()); }};
  // The same files by turns: after a few loads the heap hands the old addresses out again.
  for (int round = 0; round < 2; ++round) {
    load(other.path());
    load(photos_->path());
  }
  SetFocus(GetListControl());
  g_settings.colorSlots[19] = RGB(0, 0, 128);
  ASSERT_TRUE(Preview(L"c.jpg"));
  const ImageEntry* shown = EntryAtRow(g_cursorRow);
  ASSERT_NE(PreviewCentre(), RGB(0, 128, 0));

  // Another tab while the list loads: the page is not painted until it is shown again.
  Show(L"c.jpg", kTabFile);
  load(other.path());
  int again = -1;
  for (int row = 0; row < g_listCount; ++row)
    if (EntryAtRow(row) == shown) again = row;
  ASSERT_NE(again, -1) << "no entry of the new list took the address of the one shown";
  g_settings.colorSlots[19] = RGB(0, 128, 0);
  WaitForSingleObject(g_semaphores[kSemaImage], INFINITE);
  SelectOnly(EntryName(EntryAtRow(again)));
  PreviewDelayTicks = 0;
  InvalidateRect(Page(kSlotInfoTabPreview), nullptr, FALSE);
  UpdateWindow(Page(kSlotInfoTabPreview));
  const COLORREF whileBusy = PreviewCentre();
  ReleaseSemaphore(g_semaphores[kSemaImage], 1, nullptr);
  EXPECT_EQ(whileBusy, RGB(0, 128, 0)) << EntryName(EntryAtRow(again));
}

TEST_F(FileInfoWindowTest, PreviewThenCloseKeepsTheRectangle) {
  ASSERT_NE(Window(), nullptr);
  // With the list focused the tab paints its first selected row: the thumbnail source first,
  // then the view picture on a later tick.
  g_settings.colorSlots[19] = RGB(0, 0, 128);
  HWND list = GetListControl();
  SetFocus(list);
  auto preview = Preview;
  // A JPEG libjpeg-turbo cannot give in 24-bit colour (CMYK) is painted by the system's decoder.
  EXPECT_TRUE(preview(L"d.jpg"));
  {
    RECT rc{};
    GetClientRect(Page(kSlotInfoTabPreview), &rc);
    HDC pageDc = GetDC(Page(kSlotInfoTabPreview));
    const COLORREF left = GetPixel(pageDc, rc.right / 2 - 8, rc.bottom / 2);
    const COLORREF right = GetPixel(pageDc, rc.right / 2 + 8, rc.bottom / 2);
    ReleaseDC(Page(kSlotInfoTabPreview), pageDc);
    EXPECT_GT(GetRValue(left), 180);
    EXPECT_GT(GetBValue(right), 180);
  }
  EXPECT_TRUE(preview(L"c.jpg"));
  Shot(L"preview");
  // A paint that meets the picture lock busy is made again once the lock is free. The corner
  // lies in a bar of the background colour unless the picture fills the page exactly.
  HWND page = Page(kSlotInfoTabPreview);
  auto corner = [page] {
    HDC pageDc = GetDC(page);
    const COLORREF c = GetPixel(pageDc, 0, 0);
    ReleaseDC(page, pageDc);
    return c;
  };
  auto centre = PreviewCentre;
  ASSERT_EQ(corner(), RGB(0, 0, 128));
  g_settings.colorSlots[19] = RGB(0, 128, 0);
  WaitForSingleObject(g_semaphores[kSemaImage], INFINITE);
  InvalidateRect(page, nullptr, FALSE);
  UpdateWindow(page);
  const COLORREF whileBusy = corner();
  ReleaseSemaphore(g_semaphores[kSemaImage], 1, nullptr);
  EXPECT_EQ(whileBusy, RGB(0, 0, 128));  // the entry's own picture stays
  EXPECT_TRUE(WaitFor([&] { return corner() == RGB(0, 128, 0); }, 3000));
  EXPECT_EQ(PreviewPaintStep, 2);
  // Another entry while the lock is busy: the page shows the background, never the picture of
  // the entry before; the new one's once the lock is free.
  ASSERT_NE(centre(), RGB(0, 128, 0));
  WaitForSingleObject(g_semaphores[kSemaImage], INFINITE);
  SelectOnly(L"d.jpg");
  PreviewDelayTicks = 0;
  InvalidateRect(page, nullptr, FALSE);
  UpdateWindow(page);
  const COLORREF otherWhileBusy = centre();
  ReleaseSemaphore(g_semaphores[kSemaImage], 1, nullptr);
  EXPECT_EQ(otherWhileBusy, RGB(0, 128, 0));
  EXPECT_TRUE(WaitFor([&] { return PreviewPaintStep == 2 && centre() != RGB(0, 128, 0); }, 3000));

  // The paint's own lock is waited for boundedly: at shut-down a holder that never lets go costs
  // the paint a few seconds, not the program.
  struct Holder {
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  } holder;
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        WaitForSingleObject(g_semaphores[kSemaThumbInfo], INFINITE);
        SetEvent(static_cast<Holder*>(p)->taken);
        Sleep(8000);
        ReleaseSemaphore(g_semaphores[kSemaThumbInfo], 1, nullptr);
        return 0;
      },
      &holder, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(holder.taken, 5000), WAIT_OBJECT_0);
  BeginShutDown();
  const DWORD start = GetTickCount();
  InvalidateRect(page, nullptr, FALSE);
  UpdateWindow(page);
  const DWORD waited = GetTickCount() - start;
  g_shuttingDown = 0;
  EXPECT_LT(waited, 6000u);
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
  CloseHandle(holder.taken);
  MoveWindow(Window(), 30, 40, 400, 380, TRUE);
  SendMessageW(Window(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(Window(), nullptr);
  for (int slot = kSlotInfoTabFile; slot <= kSlotInfoTabPreview; ++slot) EXPECT_EQ(Page(slot), nullptr) << slot;
  EXPECT_EQ(g_settings.fileInfoLeft, 30);
  EXPECT_EQ(g_settings.fileInfoTop, 40);
  EXPECT_EQ(g_settings.fileInfoWidth, 400);
  EXPECT_EQ(g_settings.fileInfoHeight, 380);
}

}  // namespace

namespace {
TEST_F(FileInfoWindowTest, DockedFormLeavesTheFloatingRectangle) {
  ASSERT_EQ(Window(), nullptr);
  g_settings.fileInfoLeft = 11;
  g_settings.fileInfoTop = 12;
  g_settings.fileInfoWidth = 300;
  g_settings.fileInfoHeight = 310;
  g_settings.fileInfoDockInTree = 1;
  g_treeHidden = 0;
  SendMessageW(g_windowSlots[kSlotFileListPane], WM_COMMAND, 253, 0);
  Pump();
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(GetParent(Window()), g_windowSlots[kSlotNavigationPane]);
  EXPECT_TRUE(IsWindowVisible(Window()));
  Show(L"a.jpg", kTabFile);
  EXPECT_EQ(Text(Page(kSlotInfoTabFile), IDC_INFO_NAME), L"a.jpg");
  Shot(L"docked");
  // The command hides it again; destroying it keeps the floating window's rectangle.
  SendMessageW(g_windowSlots[kSlotFileListPane], WM_COMMAND, 253, 0);
  Pump();
  EXPECT_EQ(g_settings.fileInfoDocked, 0);
  DestroyWindow(Window());
  Pump();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(g_settings.fileInfoLeft, 11);
  EXPECT_EQ(g_settings.fileInfoWidth, 300);
  g_settings.fileInfoDockInTree = 0;
}
}  // namespace
