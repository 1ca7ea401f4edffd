// Wallpaper bitmaps, resized mail copies, the Simple MAPI hand-over (through a logging
// mapi32.dll of the tests' own) and developed RAW pictures saved with their Exif items.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actions/developed_save.h"
#include "actions/image_encoders.h"
#include "actions/mail_send.h"
#include "actions/picture_export.h"
#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/settings.h"
#include "metadata/pure/camera_models.h"
#include "tests/support/dng_writer.h"
#include "tests/support/entry_lists.h"
#include "tests/support/gdiplus_session.h"
#include "tests/support/program_services.h"
#include "tests/support/win_test_support.h"

using namespace Gdiplus;
using testsupport::ScratchDir;

namespace {

// A picture whose left half is red and right half blue, encoded by GDI+.
std::vector<uint8_t> MakePicture(int width, int height, const wchar_t* mime) {
  Bitmap bitmap(width, height, PixelFormat24bppRGB);
  {
    Graphics g(&bitmap);
    SolidBrush blue(Color(255, 0, 0, 255)), red(Color(255, 255, 0, 0));
    g.FillRectangle(&blue, 0, 0, width, height);
    g.FillRectangle(&red, 0, 0, width / 2, height);
  }
  CLSID clsid;
  EXPECT_GE(GetEncoderClsid(mime, &clsid), 0);
  return testsupport::EncodedBytes(bitmap, clsid);
}

struct Picture {
  UINT width = 0, height = 0;
  Color at(int x, int y) const {
    Color c;
    if (bitmap) bitmap->GetPixel(x, y, &c);
    return c;
  }
  Bitmap* bitmap = nullptr;
  explicit Picture(const std::wstring& path) {
    bitmap = Bitmap::FromFile(path.c_str());
    if (bitmap && bitmap->GetLastStatus() == Ok) {
      width = bitmap->GetWidth();
      height = bitmap->GetHeight();
    }
  }
  ~Picture() { delete bitmap; }
};

bool Reddish(const Color& c) { return c.GetR() > 180 && c.GetB() < 90; }
bool Bluish(const Color& c) { return c.GetB() > 180 && c.GetR() < 90; }

int RowWithRawFlag() {
  for (int r = 0; r < kCameraModelRows; ++r)
    if ((kCameraModelTable[r].rawFlag & 0xFF) == 1 && kCameraModelTable[r].code != kUnknownModelCode) return r;
  return -1;
}

class MailExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_ = new ScratchDir;
    token_ = testsupport::StartProgramServices(program_->path());
    BuildCameraModelIndex();
  }
  static void TearDownTestSuite() {
    GdiplusShutdown(token_);
    delete program_;
  }
  void SetUp() override {
    SetDefaultSettings();
    g_entryCount = 0;
  }
  void TearDown() override {
    for (ImageEntry* e : entries_) testsupport::DeleteFileEntry(e);
    g_entryCount = 0;
  }
  // An entry of the list, as the mail command finds the selected ones.
  ImageEntry* NewEntry(const std::wstring& path, uint32_t type, int modelRow = -1) {
    ImageEntry* e = testsupport::NewFileEntry(path, type, modelRow);
    e->currentUndo = -1;
    g_entryPointers[g_entryCount] = e;
    g_displayOrder[g_entryCount] = static_cast<uint16_t>(g_entryCount);
    ++g_entryCount;
    entries_.push_back(e);
    return e;
  }
  std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    const std::wstring path = dir_.File(name);
    EXPECT_TRUE(testsupport::WriteWholeFile(path, bytes.data(), bytes.size()));
    return path;
  }
  static ScratchDir* program_;
  static ULONG_PTR token_;
  ScratchDir dir_;
  std::vector<ImageEntry*> entries_;
};
ScratchDir* MailExport::program_ = nullptr;
ULONG_PTR MailExport::token_ = 0;

TEST_F(MailExport, MailCopiesAreResizedTurnedAndReplaced) {
  ImageEntry* wide = NewEntry(Write(L"wide.jpg", MakePicture(3000, 2000, L"image/jpeg")), 0x2);
  const std::wstring out = dir_.File(L"copy.jpg");
  ASSERT_TRUE(SaveResizedJpeg(wide, out.c_str(), 640, 10, 90));
  {
    Picture p(out);
    EXPECT_EQ(p.width, 640u);
    EXPECT_EQ(p.height, 426u);
    EXPECT_TRUE(Reddish(p.at(10, 200)));
    EXPECT_TRUE(Bluish(p.at(630, 200)));
  }
  // Orientation 6 turns the picture a quarter clockwise first: the red half is then on top.
  wide->info.orientation = 6;
  ASSERT_TRUE(SaveResizedJpeg(wide, out.c_str(), 640, 20, 90));
  {
    Picture p(out);
    EXPECT_EQ(p.width, 424u);
    EXPECT_EQ(p.height, 640u);
    EXPECT_TRUE(Reddish(p.at(200, 20)));
    EXPECT_TRUE(Bluish(p.at(200, 620)));
  }
  // A JPEG libjpeg-turbo cannot give in 24-bit colour (CMYK) goes through the system's decoder.
  ImageEntry* cmyk = NewEntry(Write(L"cmyk.jpg", testsupport::MakeCmykJpeg(1200, 800)), 0x2);
  ASSERT_TRUE(SaveResizedJpeg(cmyk, out.c_str(), 640, 10, 90));
  EXPECT_EQ(Picture(out).width, 640u);
  EXPECT_EQ(Picture(out).height, 426u);
  // A file that cannot be read leaves the earlier copy as it was.
  std::vector<uint8_t> before;
  ASSERT_TRUE(testsupport::ReadWholeFile(out, &before));
  ImageEntry* missing = NewEntry(dir_.File(L"gone.jpg"), 0x2);
  EXPECT_FALSE(SaveResizedJpeg(missing, out.c_str(), 640, 10, 90));
  ImageEntry* junk = NewEntry(Write(L"junk.jpg", std::vector<uint8_t>(300, 0x41)), 0x2);
  EXPECT_FALSE(SaveResizedJpeg(junk, out.c_str(), 640, 10, 90));
  std::vector<uint8_t> after;
  ASSERT_TRUE(testsupport::ReadWholeFile(out, &after));
  EXPECT_EQ(before, after);
  // A save into a folder that does not exist fails.
  wide->info.orientation = 1;
  EXPECT_FALSE(SaveResizedJpeg(wide, dir_.File(L"no\\such\\copy.jpg").c_str(), 640, 10, 90));
  // A RAW file of a developable model without preview, whose format is not developed at
  // reduced size, gets the placeholder picture for unreadable files.
  const int rawRow = RowWithRawFlag();
  ASSERT_GE(rawRow, 0);
  ImageEntry* raw = NewEntry(Write(L"x.raw", std::vector<uint8_t>(64, 1)), 0x8, rawRow);
  if (!DevelopsRawWithoutPreview(raw) && g_unknownPicture) {  // the test process may have none
    ASSERT_TRUE(SaveResizedJpeg(raw, out.c_str(), 64, 10, 90));
    EXPECT_EQ(Picture(out).width % 4, 0u);
  }
}

TEST_F(MailExport, WallpaperIsTheDesktopSizeWithTheFitModes) {
  ImageEntry* e = NewEntry(Write(L"w.png", MakePicture(400, 300, L"image/png")), 0x2);
  RECT desk{};
  GetClientRect(GetDesktopWindow(), &desk);
  const UINT dw = static_cast<UINT>(desk.right) / 4 * 4, dh = static_cast<UINT>(desk.bottom);
  const std::wstring out = dir_.File(L"BG__test__.bmp");
  g_settings.wallpaperFitMode = 0;
  ASSERT_TRUE(RenderWallpaperBitmap(e, out.c_str()));
  {
    Picture p(out);
    ASSERT_EQ(p.width, dw);
    ASSERT_EQ(p.height, dh);
    // Fitted whole: 4:3 on the desktop, centred; black margins on the wider axis.
    const bool wider = dw * 3 > dh * 4;
    if (wider) {
      const Color margin = p.at(1, dh / 2);
      EXPECT_EQ(margin.GetR() + margin.GetG() + margin.GetB(), 0);
    }
    EXPECT_TRUE(Reddish(p.at(dw / 2 - dh * 4 / 3 / 2 + 8, dh / 2)));
    EXPECT_TRUE(Bluish(p.at(dw / 2 + 8, dh / 2)));
  }
  g_settings.wallpaperFitMode = 2;
  ASSERT_TRUE(RenderWallpaperBitmap(e, out.c_str()));
  {
    Picture p(out);
    EXPECT_TRUE(Reddish(p.at(dw / 4, dh / 2)));
    EXPECT_TRUE(Bluish(p.at(dw * 3 / 4, dh / 2)));
    EXPECT_GT(p.at(dw / 4, 8).GetR(), 180);  // stretched to the top edge
  }
  // A camera JPEG turned upright (decoded no larger than the desktop needs), and a CMYK one (by the
  // system's decoder), fitted whole.
  ImageEntry* turned = NewEntry(Write(L"t.jpg", MakePicture(1600, 1200, L"image/jpeg")), 0x2);
  turned->info.orientation = 6;
  ImageEntry* cmyk = NewEntry(Write(L"cmyk.jpg", testsupport::MakeCmykJpeg(1600, 1200)), 0x2);
  g_settings.wallpaperFitMode = 0;
  for (ImageEntry* picture : {turned, cmyk}) {
    ASSERT_TRUE(RenderWallpaperBitmap(picture, out.c_str()));
    Picture p(out);
    ASSERT_EQ(p.width, dw);
    const int quarter = static_cast<int>(dh) / 3;  // a quarter of the 4:3 picture's width
    EXPECT_TRUE(Reddish(picture == turned ? p.at(dw / 2, dh / 4) : p.at(dw / 2 - quarter, dh / 2)));
    EXPECT_TRUE(Bluish(picture == turned ? p.at(dw / 2, dh * 3 / 4) : p.at(dw / 2 + quarter, dh / 2)));
  }
  g_settings.wallpaperFitMode = 9;  // nothing drawn: a black wallpaper
  ASSERT_TRUE(RenderWallpaperBitmap(e, out.c_str()));
  EXPECT_EQ(Picture(out).at(dw / 2, dh / 2).GetR(), 0);
  // The bitmap's place: the program folder, or the documents folder.
  wchar_t path[260];
  g_settings.wallpaperFolder = 0;
  ASSERT_TRUE(GetWallpaperBitmapPath(path));
  EXPECT_EQ(std::wstring(path), program_->path() + L"\\BG__" + g_productName + L"__.bmp");
  g_settings.wallpaperFolder = 1;
  ASSERT_TRUE(GetWallpaperBitmapPath(path));
  EXPECT_NE(std::wstring(path).find(std::wstring(L"\\BG__") + g_productName + L"__.bmp"), std::wstring::npos);
}

TEST_F(MailExport, ThreeCopiesGoToSimpleMapiWithTheDialogFlag) {
  std::vector<int32_t> numbers;
  ScratchDir other;
  numbers.push_back(static_cast<int32_t>(entries_.size()));
  NewEntry(Write(L"one.jpg", MakePicture(1200, 800, L"image/jpeg")), 0x2);
  numbers.push_back(static_cast<int32_t>(entries_.size()));
  NewEntry(Write(L"two.png", MakePicture(800, 1200, L"image/png")), 0x2);
  // The same name in another folder gets a copy of its own.
  const std::wstring sameName = other.File(L"one.jpg");
  const auto bytes = MakePicture(900, 900, L"image/jpeg");
  ASSERT_TRUE(testsupport::WriteWholeFile(sameName, bytes.data(), bytes.size()));
  numbers.push_back(static_cast<int32_t>(entries_.size()));
  NewEntry(sameName, 0x2);
  g_settings.mailResizeAttachments = 1;
  g_settings.mailLongSide = 320;
  MailAttachmentList list;
  uint64_t total = 0;
  for (int32_t n : numbers) total += AddMailAttachment(n, &list);
  wchar_t mail[260];
  ASSERT_TRUE(GetMailFolder(mail));
  const std::wstring folder = mail;
  const std::wstring expected = folder + L"one.jpg?" + folder + L"two.jpg?" + folder + L"one_2.jpg?";
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(list.text.data())), expected);
  EXPECT_EQ(Picture(folder + L"one.jpg").width, 320u);
  EXPECT_EQ(Picture(folder + L"two.jpg").height, 320u);
  EXPECT_EQ(Picture(folder + L"one_2.jpg").height, 320u);
  EXPECT_GT(total, 0u);
  // Nothing is attached for a file that is gone or an entry number outside the list.
  EXPECT_EQ(AddMailAttachment(-1, &list), 0u);
  ImageEntry* gone = NewEntry(dir_.File(L"gone.jpg"), 0x2);
  (void)gone;
  EXPECT_EQ(AddMailAttachment(g_entryCount - 1, &list), 0u);
  // Without resizing the pictures' own files go.
  g_settings.mailResizeAttachments = 0;
  MailAttachmentList own;
  EXPECT_EQ(AddMailAttachment(numbers[0], &own), testsupport::FileExists(dir_.File(L"one.jpg")) ? [&] {
    std::vector<uint8_t> b;
    testsupport::ReadWholeFile(dir_.File(L"one.jpg"), &b);
    return static_cast<uint64_t>(b.size());
  }() : 0u);

  // The hand-over: the logging mapi32.dll built beside the tests.
  const std::wstring log = dir_.File(L"mapi.log");
  SetEnvironmentVariableW(L"BRN_FAKE_MAPI_LOG", log.c_str());
  const std::wstring fake = testsupport::ExeFolder() + L"\\fake_mapi\\mapi32.dll";
  ASSERT_TRUE(testsupport::FileExists(fake));
  ASSERT_TRUE(SendImagesByMail(list, 3, fake.c_str()));
  std::vector<uint8_t> logged;
  ASSERT_TRUE(testsupport::ReadWholeFile(log, &logged));
  const std::string text(logged.begin(), logged.end());
  std::string folderAnsi(520, 0);
  folderAnsi.resize(WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, &folderAnsi[0], 520, nullptr, nullptr) - 1);
  EXPECT_NE(text.find("session=0 ui=0 flags=8 reserved=0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("subject=[] note=[] recipients=0 files=3\n"), std::string::npos) << text;
  EXPECT_NE(text.find("file=" + folderAnsi + "one.jpg|pos=0|name=(null)|type=(null)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("file=" + folderAnsi + "one_2.jpg|"), std::string::npos) << text;
  // No mail program: false, and nothing else happens.
  EXPECT_FALSE(SendImagesByMail(list, 3, dir_.File(L"none\\mapi32.dll").c_str()));
}

TEST_F(MailExport, DevelopedRawSavedAsTiffAndJpegWithItsExifItems) {
  const int rawRow = RowWithRawFlag();
  ASSERT_GE(rawRow, 0);
  brn_test::SyntheticDng shot;
  shot.width = 160;
  shot.height = 120;
  ImageEntry* e = NewEntry(Write(L"IMG_0001.DNG", brn_test::MakeSyntheticDng(shot)), 0x80000000u, rawRow);
  auto put = [](char16_t* field, size_t n, const char16_t* text) {
    for (size_t i = 0; i < n; ++i) field[i] = 0;
    for (size_t i = 0; text[i] && i + 1 < n; ++i) field[i] = text[i];
  };
  put(e->info.fileTimeText, 20, u"2013/05/17 09:05:00");
  put(e->info.maker, 32, u"Canon");
  put(e->info.exposureTime, 8, u"1/250");
  put(e->info.fNumber, 8, u"F5.6");
  put(e->info.exposureBias, 8, u"+0.7");
  put(e->info.meteringMode, 16, u"その他");
  put(e->info.focalLength, 16, u"50mm");
  put(e->info.focalLength35, 16, u"80mm");
  put(e->info.orientationText, 2, u"1");
  g_settings.focalLength35mm = 1;
  DevelopFullImage(e, 2);
  ASSERT_NE(e->levelImages[kLevelFull], nullptr);
  const UINT w = e->levelImages[kLevelFull]->GetWidth(), h = e->levelImages[kLevelFull]->GetHeight();

  const auto items = DevelopedExifItems(e, static_cast<int32_t>(w), static_cast<int32_t>(h));
  auto find = [&](uint32_t tag) -> const ExifItem* {
    for (const auto& i : items)
      if (i.tag == tag) return &i;
    return nullptr;
  };
  ASSERT_NE(find(0x0132), nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(find(0x0132)->value.data()), "2013:05:17 09:05:00");
  EXPECT_EQ(find(0x829A)->value[4], 250);
  EXPECT_EQ(find(0x829D)->value[0], 56);
  EXPECT_EQ(find(0x9204)->value[0], 7);
  EXPECT_EQ(find(0x9207)->value[0], 7);
  EXPECT_EQ(find(0x920A)->value[0], 80);  // as the column shows it: the 35 mm display is on
  EXPECT_EQ(find(0x0100)->value[0] | find(0x0100)->value[1] << 8, static_cast<int>(w));
  EXPECT_EQ(find(0x0101)->value[0] | find(0x0101)->value[1] << 8, static_cast<int>(h));
  EXPECT_EQ(find(0x0112)->value[0], 1);
  EXPECT_EQ(find(0x0110), nullptr);  // no model text: no item
  const std::string software(find(0x0131)->value.begin(), find(0x0131)->value.end() - 1);
  EXPECT_EQ(software.rfind("Tavelund ", 0), 0u);

  for (int32_t format : {kDevelopedTiff, kDevelopedJpeg}) {
    const std::wstring out = dir_.File(format == kDevelopedTiff ? L"IMG_0001.tiff" : L"IMG_0001.jpg");
    ASSERT_TRUE(SaveDevelopedImage(e, format, out.c_str()));
    Picture p(out);
    EXPECT_EQ(p.width, w);
    EXPECT_EQ(p.height, h);
    Color a, b;
    static_cast<Bitmap*>(e->levelImages[kLevelFull])->GetPixel(w / 4, h / 2, &a);
    b = p.at(w / 4, h / 2);
    const int tolerance = format == kDevelopedTiff ? 1 : 24;
    EXPECT_LE(std::abs(a.GetR() - b.GetR()), tolerance);
    EXPECT_LE(std::abs(a.GetB() - b.GetB()), tolerance);
  }
  EXPECT_FALSE(SaveDevelopedImage(e, kDevelopedTiff, dir_.File(L"no\\dir\\x.tiff").c_str()));
  ReleaseEntryLevel(e, kLevelFull, 0);
  EXPECT_FALSE(SaveDevelopedImage(e, kDevelopedTiff, dir_.File(L"again.tiff").c_str()));
}

}  // namespace
