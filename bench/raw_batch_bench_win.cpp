// The RAW development batch over synthetic 24-megapixel DNGs, file by file.
// Pass 1 calls the batch's own steps on each file (DevelopRawToTiff, the GDI+ stream decode
// DevelopFullImage does, SaveDevelopedImage as kind 7 or 8) and times each phase.
// Pass 2 runs the real batch (StartRawDevelopBatch over the selected rows of the loaded folder)
// and times each file from one finished file to the next, the worker's polling included.
// Usage: raw_batch_bench_win.exe <folder> [files=20] [kind=7; 8 JPEG; 0 only writes the files]
// The DNGs are written into <folder>\dng<files> as raw_NN.dng unless files of their size are
// already there; the outputs go to its develop1 (pass 1) and develop (pass 2) folders.
// Prints "file NN: ..." lines and "result: pass1_ms=... batch_ms=..." (per-file means).
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "actions/action_table.h"
#include "actions/developed_save.h"
#include "actions/raw_batch.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/image_pipeline.h"
#include "core/raw_develop.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/pure/camera_models.h"
#include "support/program_services.h"
// The DNG writer is a test helper; benches do not link the test support library.
#include "tests/support/dng_writer.cpp"

namespace {

LARGE_INTEGER g_freq;

double Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(g_freq.QuadPart);
}

void PumpOnce() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(bool (*done)(), DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpOnce();
  }
  return true;
}

bool WriteIfDifferent(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  WIN32_FILE_ATTRIBUTE_DATA present;
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &present) && present.nFileSizeLow == bytes.size())
    return true;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = h != INVALID_HANDLE_VALUE &&
                  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return ok;
}

int RowWithRawFlag() {
  for (int r = 0; r < kCameraModelRows; ++r)
    if ((kCameraModelTable[r].rawFlag & 0xFF) == 1 && kCameraModelTable[r].code != kUnknownModelCode) return r;
  return -1;
}

// A copy of the listed entry that shares no picture with it, as the batch makes.
void CopyEntry(const ImageEntry* from, ImageEntry* to) {
  std::memcpy(to, from, sizeof *to);
  to->histogramPicture = nullptr;
  to->undoCount = 0;
  to->currentUndo = 0;
  to->undoRecords = nullptr;
  to->fullLevelSize = 0;
  for (int k = 0; k < kImageLevelCount; ++k) {
    to->levelBlocks[k] = nullptr;
    to->levelImages[k] = nullptr;
    to->levelStreams[k] = nullptr;
  }
  SetEntryNamePointer(to);
}

std::wstring OutputName(const std::wstring& folder, ImageEntry* e, int32_t kind) {
  wchar_t path[260];
  return RawBatchOutputPath(folder.c_str(), EntryName(e), kind, path) ? std::wstring(path) : std::wstring();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: raw_batch_bench_win <folder> [files] [kind]\n");
    return 2;
  }
  QueryPerformanceFrequency(&g_freq);
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, argv[1], -1, wide, MAX_PATH);
  std::wstring dir = wide;
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  const int files = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
  // Kind 0 only writes the files and prints the settings.
  const int32_t kindArg = argc > 3 ? atoi(argv[3]) : 7;
  const int32_t kind = kindArg == 8 ? 8 : 7;

  std::wstring programDir = dir + L"\\program";
  CreateDirectoryW(programDir.c_str(), nullptr);
  const ULONG_PTR token = testsupport::StartProgramServices(programDir);
  static wchar_t version[] = L"5.16";
  g_programVersion = version;
  g_cacheVersionText = version;
  BuildCameraModelIndex();
  g_settings.enabledImageTypes |= 0x2 | 0x4000;
  const brn::RawDevelopMode mode = static_cast<brn::RawDevelopMode>(g_settings.rawDevelopQualities[2]);
  printf("settings: development mode %u, Exif on save %d, kind %d (%s)\n", mode, g_settings.exifOnRawDevelop, kind,
         kind == 7 ? "TIFF" : "JPEG");

  const std::wstring photos = dir + L"\\dng" + std::to_wstring(files);
  CreateDirectoryW(photos.c_str(), nullptr);
  brn_test::SyntheticDng shot;
  shot.width = 6000;
  shot.height = 4000;
  const std::vector<uint8_t> dng = brn_test::MakeSyntheticDng(shot);
  for (int i = 0; i < files; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"\\raw_%02d.dng", i + 1);
    if (!WriteIfDifferent(photos + name, dng)) {
      fprintf(stderr, "cannot write %ls%ls\n", photos.c_str(), name);
      return 1;
    }
  }
  printf("files: %d x %u bytes, %ux%u sites\n", files, static_cast<unsigned>(dng.size()), shot.width, shot.height);
  if (kindArg == 0) return 0;

  if (!RegisterMainWindowClass(g_hInstance) || !CreateMainWindow(g_hInstance, SW_SHOW)) {
    fprintf(stderr, "no main window (class %p, error %lu)\n", static_cast<void*>(g_windowClassName), GetLastError());
    return 1;
  }
  KillTimer(g_hwndMain, kIdleTimerId);
  PumpOnce();
  wcscpy(g_currentFolder, photos.c_str());
  LoadListContents(1, 0, 0);
  if (!PumpUntil([] { return g_listCount > 0 && g_listReadyFlag == 1 && g_listPassComplete == 1; }, 120000) ||
      g_listCount != files) {
    fprintf(stderr, "the folder did not load (%d rows)\n", g_listCount);
    return 1;
  }
  // The synthetic camera is no model of the table: the entries are given a developable one.
  const int rawRow = RowWithRawFlag();
  for (int32_t i = 0; i < g_entryCount; ++i) {
    EntryAt(i)->presence = 1;
    EntryAt(i)->info.modelRow = static_cast<int16_t>(rawRow);
  }

  // Pass 1: the batch's steps by hand, phase by phase.
  const std::wstring out1 = photos + L"\\develop1\\";
  CreateDirectoryW(out1.c_str(), nullptr);
  double sum1 = 0, sumDevelop = 0, sumDecode = 0, sumSave = 0;
  for (int32_t row = 0; row < g_listCount; ++row) {
    ImageEntry copy;
    CopyEntry(EntryAtRow(row), &copy);
    const double t0 = Now();
    HGLOBAL block = nullptr;
    const uint32_t size = brn::DevelopRawToTiff(reinterpret_cast<const wchar_t*>(copy.path), &block, mode);
    const double t1 = Now();
    brn::MemoryStreamHolder holder;
    if (!size || FAILED(brn::OpenMemoryStream(&holder, block, false))) {
      fprintf(stderr, "%ls: development failed\n", EntryName(&copy));
      return 1;
    }
    Gdiplus::Image* decoded = DecodePictureStream(holder.stream, false);
    if (decoded) decoded->GetWidth();
    copy.levelBlocks[kLevelFull] = block;
    copy.levelStreams[kLevelFull] = holder.stream;
    copy.levelImages[kLevelFull] = decoded;
    const double t2 = Now();
    if (row == 0 && decoded) {
      // The save's own parts once: the draw into the 32-bit bitmap (which decodes the TIFF),
      // and the encoding into memory; the rest of the save is the file write and its flush.
      const INT w = static_cast<INT>(decoded->GetWidth()), h = static_cast<INT>(decoded->GetHeight());
      Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
      const double d0 = Now();
      {
        Gdiplus::Graphics g(&bitmap);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.DrawImage(decoded, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
      }
      const double d1 = Now();
      CLSID tiff{};
      UINT count = 0, bytes = 0;
      Gdiplus::GetImageEncodersSize(&count, &bytes);
      std::vector<uint8_t> buffer(bytes);
      auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
      Gdiplus::GetImageEncoders(count, bytes, codecs);
      for (UINT c = 0; c < count; ++c)
        if (wcscmp(codecs[c].MimeType, L"image/tiff") == 0) tiff = codecs[c].Clsid;
      IStream* memory = nullptr;
      CreateStreamOnHGlobal(nullptr, TRUE, &memory);
      if (memory) bitmap.Save(memory, &tiff, nullptr);
      const double d2 = Now();
      if (memory) memory->Release();
      printf("save parts (file 01, again): draw %.0f ms, TIFF encoding into memory %.0f ms\n", d1 - d0, d2 - d1);
    }
    const double t2b = Now();
    const bool saved = SaveDevelopedImage(&copy, kind == 7 ? kDevelopedTiff : kDevelopedJpeg,
                                          OutputName(out1, &copy, kind).c_str());
    const double t3 = Now();
    delete decoded;
    holder.stream->Release();
    GlobalFree(block);
    if (!saved) {
      fprintf(stderr, "%ls: saving failed\n", EntryName(&copy));
      return 1;
    }
    printf("file %02d pass1: %.0f ms (develop %.0f, decode %.0f, save %.0f)\n", row + 1, t3 - t2b + t2 - t0, t1 - t0,
           t2 - t1, t3 - t2b);
    sum1 += t3 - t2b + t2 - t0;
    sumDevelop += t1 - t0;
    sumDecode += t2 - t1;
    sumSave += t3 - t2b;
  }
  fflush(stdout);

  // Pass 2: the real batch over every row, from the action table.
  std::memset(g_settings.actionTable, 0, sizeof g_settings.actionTable);
  ActionEntry& action = *reinterpret_cast<ActionEntry*>(g_settings.actionTable[0].bytes);
  action.enabled = 1;
  action.kind = kind;
  wcscpy(reinterpret_cast<wchar_t*>(action.path), L"develop\\");
  g_settings.actionCount = 1;
  CreateDirectoryW((photos + L"\\develop").c_str(), nullptr);  // no question about a new folder
  HWND list = GetListControl();
  g_viewMode |= 1;
  SetForegroundWindow(g_hwndMain);
  SetFocus(list);
  PumpOnce();
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  PumpOnce();
  std::vector<double> finished;
  const double start = Now();
  if (!StartRawDevelopBatch(0)) {
    fprintf(stderr, "the batch did not start (list focused: %d)\n", GetFocus() == list);
    return 1;
  }
  // Each file's time splits into the worker's development (until its state turns 3), the wait
  // for the dialog's next timer tick, and the tick's own work (the save and the next start).
  std::vector<double> developed, ticked;
  double workerDone = 0;
  const DWORD limit = GetTickCount();
  while (RawDevelopBatchRunning() && GetTickCount() - limit < 1800000) {
    if (g_rawBatchState == 3 && workerDone == 0) workerDone = Now();
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      const int32_t before = g_rawBatchDone;
      const double t = Now();
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (g_rawBatchDone != before) {
        finished.push_back(Now());
        developed.push_back(workerDone ? workerDone : t);
        ticked.push_back(t);
        workerDone = 0;
      }
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
  }
  const double end = Now();
  if (static_cast<int>(finished.size()) != files) {
    fprintf(stderr, "the batch finished %d of %d files\n", static_cast<int>(finished.size()), files);
    return 1;
  }
  for (int i = 0; i < files; ++i)
    printf("file %02d batch: %.0f ms (develop %.0f, tick wait %.0f, save %.0f)\n", i + 1,
           finished[i] - (i ? finished[i - 1] : start), developed[i] - (i ? finished[i - 1] : start),
           ticked[i] - developed[i], finished[i] - ticked[i]);
  printf("result: pass1_ms=%.0f develop_ms=%.0f decode_ms=%.0f save_ms=%.0f batch_ms=%.0f\n", sum1 / files,
         sumDevelop / files, sumDecode / files, sumSave / files, (end - start) / files);
  SendMessageW(g_hwndMain, WM_CLOSE, 0, 0);
  PumpOnce();
  FreeImageEntries();
  Gdiplus::GdiplusShutdown(token);
  return 0;
}
