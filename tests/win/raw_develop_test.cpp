// RAW development through the rawdecoder module, with synthetic DNG files.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/semaphore_lock.h"
#include "core/pure/raw_tiff.h"
#include "core/raw_develop.h"
#include "tests/support/dng_writer.h"

using brn_test::MakeSyntheticDng;
using brn_test::SyntheticDng;

namespace {

std::wstring TempDir() {
  static std::wstring dir;
  if (dir.empty()) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    dir = std::wstring(base) + L"brn_raw_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
  }
  return dir;
}

std::wstring WriteTemp(const std::wstring& name, const std::vector<uint8_t>& bytes) {
  const std::wstring path = TempDir() + L"\\" + name;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  EXPECT_EQ(written, bytes.size());
  return path;
}

std::vector<uint8_t> ReadAll(const wchar_t* path) {
  std::vector<uint8_t> bytes;
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(h, nullptr));
  DWORD got = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  bytes.resize(got);
  CloseHandle(h);
  return bytes;
}

// A developed block, copied out and freed.
struct Developed {
  uint32_t size = 0;
  bool gotBlock = false;
  std::vector<uint8_t> bytes;
};

Developed Develop(const std::wstring& path, uint32_t mode) {
  Developed d;
  HGLOBAL block = nullptr;
  d.size = brn::DevelopRawToTiff(path.c_str(), &block, mode);
  d.gotBlock = block != nullptr;
  if (block) {
    EXPECT_EQ(GlobalSize(block), d.size);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    d.bytes.assign(p, p + d.size);
    GlobalUnlock(block);
    GlobalFree(block);
  }
  return d;
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// Value field of the first-directory entry with this tag, or -1 when absent.
int64_t FirstDirValue(const std::vector<uint8_t>& b, uint32_t tag) {
  for (uint32_t i = 0, n = U16(b, 10); i < n; ++i)
    if (U16(b, 12 + 12 * i) == tag) return U32(b, 12 + 12 * i + 8);
  return -1;
}

std::string Text(const std::vector<uint8_t>& b, size_t at, size_t field) {
  std::string s(reinterpret_cast<const char*>(b.data() + at), field);
  return s.substr(0, s.find('\0'));
}

// Set by the test runner for the runs that need a process environment of their own.
std::wstring EnvValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  return GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

}  // namespace

TEST(RawDevelop, OutputSizeFollowsModeAndSensor) {
  struct Case {
    uint32_t width, height, mode, columns, rows;
  } cases[] = {
      {3000, 2000, 0, 1500, 1000}, {3000, 2000, 3, 375, 250}, {3001, 2001, 0, 1501, 1001},
      {3001, 2001, 3, 375, 250},   {64, 48, 1, 64, 48},       {64, 48, 2, 64, 48},
      {23, 29, 3, 3, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " mode " + std::to_string(c.mode));
    SyntheticDng shot;
    shot.width = c.width;
    shot.height = c.height;
    const auto path = WriteTemp(L"size.dng", MakeSyntheticDng(shot));
    const Developed d = Develop(path, c.mode);
    ASSERT_TRUE(d.gotBlock);
    EXPECT_EQ(d.size, 1376u + 476 + c.rows * c.columns * 3 + 1024);
    EXPECT_EQ(FirstDirValue(d.bytes, 256), c.columns);
    EXPECT_EQ(FirstDirValue(d.bytes, 257), c.rows);
    EXPECT_EQ(FirstDirValue(d.bytes, 273), 1376 + 476);
    std::vector<uint8_t> spare(d.bytes.end() - 1024, d.bytes.end());
    EXPECT_EQ(spare, std::vector<uint8_t>(1024, 0));
  }
}

TEST(RawDevelop, X3fNameDevelopsAtFullSizeExceptFourColours) {
  struct Case {
    const wchar_t* path;
    uint32_t mode, expected;
  } cases[] = {{L"a.X3F", 0, 1}, {L"b.x3f", 3, 1}, {L"c.x3F", 2, 2}, {L"d.nef", 0, 0}, {L"x3f", 3, 1},
               {L"3F", 0, 0},    {L"e.x3f", 1, 1}};
  for (const Case& c : cases) EXPECT_EQ(brn::EffectiveRawMode(c.path, c.mode), c.expected) << c.path;

  // The decoder goes by content, so a DNG named .X3F shows the rule end to end.
  SyntheticDng shot;
  const auto path = WriteTemp(L"renamed.X3F", MakeSyntheticDng(shot));
  const Developed d = Develop(path, 3);
  EXPECT_EQ(FirstDirValue(d.bytes, 256), 64);
  EXPECT_EQ(FirstDirValue(d.bytes, 257), 48);

  // A Foveon file develops (the thumbnail's mode 3 at full size, three colours at every site)
  // into a TIFF GDI+ reads, with the camera's colour profile and its warm left half.
  const Developed foveon = Develop(WriteTemp(L"scene.x3f", brn_test::MakeSyntheticX3f(64, 48, 1600000000u)), 3);
  ASSERT_TRUE(foveon.gotBlock);
  EXPECT_EQ(foveon.size, 1376u + 476 + 64 * 48 * 3 + 1024);
  EXPECT_EQ(Text(foveon.bytes, 1132, 64), "Sigma");
  EXPECT_EQ(Text(foveon.bytes, 1292, 20), "2020:09:13 12:26:40");
  const size_t pixels = 1376 + 476, warm = pixels + (20 * 64 + 10) * 3, cool = pixels + (20 * 64 + 50) * 3;
  EXPECT_GT(foveon.bytes[warm], foveon.bytes[warm + 2]);
  EXPECT_GT(foveon.bytes[cool + 2], foveon.bytes[cool]);
}

TEST(RawDevelop, FilesThatAreNoRawGiveNothing) {
  const auto jpeg = ReadAll(L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\sample1.jpg");
  ASSERT_FALSE(jpeg.empty());
  SyntheticDng shot;
  auto truncated = MakeSyntheticDng(shot);
  truncated.resize(200);
  const std::string text = "not a raw file\r\n";
  SyntheticDng huge;  // 1.6 gigasites declared, no pixel data
  huge.width = huge.height = 40000;
  huge.pixels = false;
  struct Case {
    const wchar_t* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {L"camera.CR2", jpeg},
      {L"notes.NEF", std::vector<uint8_t>(text.begin(), text.end())},
      {L"empty.ARW", {}},
      {L"cut.dng", truncated},
      {L"huge.dng", MakeSyntheticDng(huge)},
  };
  for (const Case& c : cases) {
    const auto path = WriteTemp(c.name, c.bytes);
    const Developed d = Develop(path, 0);
    EXPECT_EQ(d.size, 0u) << c.name;
    EXPECT_FALSE(d.gotBlock) << c.name;
  }
  EXPECT_EQ(Develop(TempDir() + L"\\missing.dng", 0).size, 0u);
  EXPECT_EQ(Develop(WriteTemp(L"good.dng", MakeSyntheticDng(shot)), 4).size, 0u);  // no such mode
  HGLOBAL block = nullptr;
  EXPECT_EQ(brn::DevelopRawToTiff(nullptr, &block, 0), 0u);
}

TEST(RawDevelop, HeaderCarriesTheFilesMetadata) {
  SyntheticDng shot;
  shot.gps = true;
  shot.latitudeRef = 'S';
  shot.longitudeRef = 'W';
  shot.altitudeRef = 1;
  const auto path = WriteTemp(L"gps.dng", MakeSyntheticDng(shot));
  const Developed d = Develop(path, 0);
  ASSERT_TRUE(d.gotBlock);
  const auto& b = d.bytes;
  EXPECT_EQ(U16(b, 10), 23u);
  EXPECT_EQ(FirstDirValue(b, 34853), 346);
  EXPECT_EQ(FirstDirValue(b, 34675), 1376);
  EXPECT_EQ(Text(b, 620, 512), shot.description);
  EXPECT_EQ(Text(b, 1132, 64), shot.make);
  EXPECT_EQ(Text(b, 1196, 64), shot.model);
  EXPECT_EQ(Text(b, 1260, 32), "Tavelund App Ver2.08");
  EXPECT_EQ(Text(b, 1292, 20), shot.dateTime);
  EXPECT_EQ(Text(b, 1312, 64), shot.artist);
  EXPECT_EQ(U32(b, 492), 4000u);  // 1/250 s
  EXPECT_EQ(U32(b, 500), 5600000u);
  EXPECT_EQ(U32(b, 508), 50000000u);
  EXPECT_EQ(U32(b, 296 + 2 * 12 + 8), 400u);  // ISO
  // GPS: version, references and the block words as in the file.
  EXPECT_EQ(U16(b, 346), 10u);
  EXPECT_EQ(U32(b, 348 + 8), 0x00000202u);
  EXPECT_EQ(b[348 + 12 + 8], 'S');
  EXPECT_EQ(b[348 + 36 + 8], 'W');
  EXPECT_EQ(b[348 + 60 + 8], 1);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(U32(b, 516 + 4 * i), shot.latitude[i]);
    EXPECT_EQ(U32(b, 540 + 4 * i), shot.longitude[i]);
    EXPECT_EQ(U32(b, 564 + 4 * i), shot.gpsTime[i]);
  }
  EXPECT_EQ(U32(b, 588), shot.altitude[0]);
  EXPECT_EQ(U32(b, 592), shot.altitude[1]);
  EXPECT_EQ(Text(b, 596, 12), shot.mapDatum);
  EXPECT_EQ(Text(b, 608, 12), shot.gpsDate);
  // The profile follows the header unchanged.
  uint8_t profile[brn::kRawIccProfileSize];
  brn::BuildIccProfile(profile);
  EXPECT_EQ(memcmp(b.data() + 1376, profile, sizeof profile), 0);
}

TEST(RawDevelop, SensorGeometryKeptAndOptionalEntriesDropped) {
  SyntheticDng shot;
  shot.orientation = 6;  // pixels keep the sensor's orientation
  const Developed plain = Develop(WriteTemp(L"plain.dng", MakeSyntheticDng(shot)), 1);
  ASSERT_TRUE(plain.gotBlock);
  EXPECT_EQ(U16(plain.bytes, 10), 22u);
  EXPECT_EQ(FirstDirValue(plain.bytes, 34853), -1);
  EXPECT_EQ(U16(plain.bytes, 346), 0u);
  EXPECT_EQ(FirstDirValue(plain.bytes, 256), 64);
  EXPECT_EQ(FirstDirValue(plain.bytes, 257), 48);
  EXPECT_EQ(FirstDirValue(plain.bytes, 274), -1);

  shot.defaultScale[0] = 2;  // non-square sites are not stretched
  const Developed wide = Develop(WriteTemp(L"wide.dng", MakeSyntheticDng(shot)), 1);
  EXPECT_EQ(FirstDirValue(wide.bytes, 256), 64);
  EXPECT_EQ(FirstDirValue(wide.bytes, 257), 48);
  shot.defaultScale[0] = 1;

  shot.colorMatrix = false;
  shot.make = "Nobrand";
  const Developed raw = Develop(WriteTemp(L"rawcolour.dng", MakeSyntheticDng(shot)), 1);
  ASSERT_TRUE(raw.gotBlock);
  EXPECT_EQ(raw.size, 1376u + 64 * 48 * 3 + 1024);
  EXPECT_EQ(U16(raw.bytes, 10), 21u);
  EXPECT_EQ(FirstDirValue(raw.bytes, 34675), -1);
  EXPECT_EQ(FirstDirValue(raw.bytes, 273), 1376);
}

TEST(RawDevelop, MonochromeSensorGivesOneSampleWithoutProfile) {
  SyntheticDng shot;
  shot.monochrome = true;
  for (uint32_t mode : {0u, 1u, 3u}) {  // no colour filter array: full size in every mode
    const Developed d = Develop(WriteTemp(L"mono.dng", MakeSyntheticDng(shot)), mode);
    ASSERT_TRUE(d.gotBlock) << mode;
    EXPECT_EQ(d.size, 1376u + 64 * 48 + 1024) << mode;
    EXPECT_EQ(FirstDirValue(d.bytes, 258), 8);
    EXPECT_EQ(FirstDirValue(d.bytes, 262), 1);
    EXPECT_EQ(FirstDirValue(d.bytes, 277), 1);
    EXPECT_EQ(FirstDirValue(d.bytes, 34675), -1);
  }
}

// The runner also starts this test under TZ=JST-9 and TZ=UTC (BRN_EXPECT_BIAS in minutes).
TEST(RawDevelop, DateTimeAsRecordedInAnyTimeZone) {
  const std::wstring bias = EnvValue(L"BRN_EXPECT_BIAS");
  if (!bias.empty()) {
    TIME_ZONE_INFORMATION tzi;
    GetTimeZoneInformation(&tzi);
    ASSERT_EQ(tzi.Bias, _wtol(bias.c_str())) << "the run is not in the time zone it asks for";
  }
  SyntheticDng shot;
  wchar_t before[64] = {}, after[64] = {};
  const DWORD hadTz = GetEnvironmentVariableW(L"TZ", before, 64);
  for (const char* time : {"2021:07:31 23:59:58", "2020:01:01 00:00:00", "2019:12:31 23:30:00"}) {
    shot.dateTime = time;
    const Developed d = Develop(WriteTemp(L"time.dng", MakeSyntheticDng(shot)), 3);
    ASSERT_TRUE(d.gotBlock);
    EXPECT_EQ(Text(d.bytes, 1292, 20), time);
  }
  // A stamp the file holds as a number of seconds is the camera's clock, not UTC to be moved
  // into the machine's zone.
  const Developed cine = Develop(WriteTemp(L"time.cin", brn_test::MakeSyntheticCine(64, 48, 1600000000u)), 3);
  ASSERT_TRUE(cine.gotBlock);
  EXPECT_EQ(Text(cine.bytes, 1292, 20), "2020:09:13 12:26:40");
  // The program's own time zone setting is left alone.
  EXPECT_EQ(GetEnvironmentVariableW(L"TZ", after, 64), hadTz);
  EXPECT_STREQ(before, after);
}

// The runner starts this with the module switched off (WINEDLLOVERRIDES=rawdecoder=d).
TEST(RawDevelop, MissingModuleFailsCleanly) {
  if (EnvValue(L"BRN_RAW_NO_MODULE").empty()) GTEST_SKIP() << "needs a run without the module";
  const auto path = WriteTemp(L"lone.dng", MakeSyntheticDng(SyntheticDng()));
  HGLOBAL block = nullptr;
  EXPECT_EQ(brn::DevelopRawToTiff(path.c_str(), &block, 0), 0u);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(GetModuleHandleW(L"rawdecoder.dll"), nullptr);
}

TEST(RawDevelop, GdiplusDecodesTheBlockAsRgbTiff) {
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  SyntheticDng shot;
  shot.width = 200;
  shot.height = 100;
  shot.gps = true;
  const auto path = WriteTemp(L"gdiplus.dng", MakeSyntheticDng(shot));
  HGLOBAL block = nullptr;
  const uint32_t size = brn::DevelopRawToTiff(path.c_str(), &block, 1);
  ASSERT_NE(size, 0u);
  brn::MemoryStreamHolder holder;
  ASSERT_EQ(brn::OpenMemoryStream(&holder, block, false), S_OK);
  {
    Gdiplus::Bitmap bitmap(holder.stream, FALSE);
    ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
    GUID format;
    bitmap.GetRawFormat(&format);
    EXPECT_TRUE(IsEqualGUID(format, Gdiplus::ImageFormatTIFF));
    EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_EQ(bitmap.GetWidth(), 200u);
    EXPECT_EQ(bitmap.GetHeight(), 100u);
    Gdiplus::Color warm, cool;
    bitmap.GetPixel(50, 50, &warm);
    bitmap.GetPixel(150, 50, &cool);
    EXPECT_GT(warm.GetR(), warm.GetB());
    EXPECT_GT(cool.GetB(), cool.GetR());
    EXPECT_GT(warm.GetR() + warm.GetG() + warm.GetB(), cool.GetR() + cool.GetG() + cool.GetB());
  }
  holder.stream->Release();
  GlobalFree(block);
  brn::MemoryStreamHolder none;
  EXPECT_EQ(brn::OpenMemoryStream(&none, nullptr, false), E_INVALIDARG);
  EXPECT_EQ(none.stream, nullptr);
  Gdiplus::GdiplusShutdown(token);
}

TEST(RawDevelop, SemaphoreLockHoldsTheDecoderSemaphore) {
  HANDLE created = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  ASSERT_NE(created, nullptr);
  g_semaphores[kSemaDecoder] = created;
  {
    SemaphoreLock lock(kSemaDecoder);
    EXPECT_TRUE(lock.held());
    EXPECT_EQ(WaitForSingleObject(created, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_NE(Develop(WriteTemp(L"locked.dng", MakeSyntheticDng(SyntheticDng())), 0).size, 0u);
  }
  EXPECT_EQ(WaitForSingleObject(created, 0), WAIT_OBJECT_0);
  ReleaseSemaphore(created, 1, nullptr);
  g_semaphores[kSemaDecoder] = nullptr;
  CloseHandle(created);
  EXPECT_FALSE(SemaphoreLock(kSemaDecoder).held());
}
