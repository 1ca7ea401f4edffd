// Times RAW development of a synthetic 24-megapixel DNG at modes 0, 1 and 3, then the stages
// inside it (reading the file, the module's identify, develop and copy-out calls) and a digest
// of the block, so a change that should keep the pixels can be checked to keep them.
// Usage: raw_develop_bench_win [folder [mode...]]  (default: the temp folder, modes 0 1 3).
// The DNG is written there as bench24.dng unless a file of its size is already there.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "core/raw_develop.h"
#include "rawdecoder/rawdecoder.h"
// The DNG writer is a test helper; benches do not link the test support library.
#include "tests/support/dng_writer.cpp"

int main(int argc, char** argv) {
  std::wstring dir;
  if (argc > 1) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, wide, MAX_PATH);
    dir = wide;
  } else {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir = temp;
  }
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  const std::wstring path = dir + L"bench24.dng";

  std::vector<uint32_t> modes;
  for (int i = 2; i < argc; ++i) modes.push_back(static_cast<uint32_t>(atoi(argv[i])));
  if (modes.empty()) modes = {0, 1, 3};

  brn_test::SyntheticDng shot;
  shot.width = 6000;
  shot.height = 4000;
  shot.gps = true;
  const std::vector<uint8_t> dng = brn_test::MakeSyntheticDng(shot);
  WIN32_FILE_ATTRIBUTE_DATA present;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &present) || present.nFileSizeLow != dng.size()) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = h != INVALID_HANDLE_VALUE &&
                    WriteFile(h, dng.data(), static_cast<DWORD>(dng.size()), &written, nullptr) &&
                    written == dng.size();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!ok) {
      fprintf(stderr, "cannot write %ls\n", path.c_str());
      return 1;
    }
  }
  printf("file %ls: %u bytes, 6000x4000 sites\n", path.c_str(), static_cast<unsigned>(dng.size()));

  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  const int kRuns = 3;
  for (uint32_t mode : modes) {
    double best = 1e30;
    uint32_t size = 0;
    for (int run = 0; run < kRuns; ++run) {
      LARGE_INTEGER t0, t1;
      HGLOBAL block = nullptr;
      QueryPerformanceCounter(&t0);
      size = brn::DevelopRawToTiff(path.c_str(), &block, mode);
      QueryPerformanceCounter(&t1);
      if (!size) {
        fprintf(stderr, "mode %u: development failed\n", mode);
        return 1;
      }
      GlobalFree(block);
      best = std::min(best, 1000.0 * (t1.QuadPart - t0.QuadPart) / freq.QuadPart);
    }
    printf("mode %u: %.0f ms (best of %d), block %u bytes\n", mode, best, kRuns, size);
  }

  HMODULE module = LoadLibraryW(L"rawdecoder.dll");
  auto open = reinterpret_cast<RawDecoderOpenFn>(GetProcAddress(module, "RawDecoderOpen"));
  auto develop = reinterpret_cast<RawDecoderDevelopFn>(GetProcAddress(module, "RawDecoderDevelop"));
  auto copyRows = reinterpret_cast<RawDecoderCopyRowsFn>(GetProcAddress(module, "RawDecoderCopyRows"));
  auto close = reinterpret_cast<RawDecoderCloseFn>(GetProcAddress(module, "RawDecoderClose"));
  if (!open || !develop || !copyRows || !close) return 0;
  auto now = [&] {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * t.QuadPart / freq.QuadPart;
  };
  for (uint32_t mode : modes) {
    double best[4] = {1e30, 1e30, 1e30, 1e30};
    uint64_t digest = 0;
    for (int run = 0; run < kRuns; ++run) {
      double t[5];
      t[0] = now();
      brn::MemoryFile* file = brn::OpenMemoryFile(path.c_str());
      t[1] = now();
      RawDecoderInfo info;
      RawDecoder* d = nullptr;
      RawDecoderImage image{};
      if (!file || open(file->data, file->size, &info, &d) != RAWDEC_OK) return 1;
      t[2] = now();
      if (develop(d, mode, &image) != RAWDEC_OK) return 1;
      t[3] = now();
      const uint32_t bytes = image.rows * image.columns * image.samples;
      HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
      if (!block || copyRows(d, static_cast<uint8_t*>(block), bytes) != RAWDEC_OK) return 1;
      t[4] = now();
      digest = 14695981039346656037ull;  // FNV-1a of the pixels
      for (uint32_t i = 0; i < bytes; ++i) digest = (digest ^ static_cast<uint8_t*>(block)[i]) * 1099511628211ull;
      GlobalFree(block);
      close(d);
      brn::CloseMemoryFile(file);
      for (int k = 0; k < 4; ++k) best[k] = std::min(best[k], t[k + 1] - t[k]);
    }
    printf("mode %u stages: read %.0f ms, identify %.0f ms, develop %.0f ms, copy out %.0f ms; pixels %016llx\n", mode,
           best[0], best[1], best[2], best[3], static_cast<unsigned long long>(digest));
  }
  return 0;
}
