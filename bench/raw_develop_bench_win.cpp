// Times RAW development of a synthetic 24-megapixel DNG at modes 0, 1 and 3.
// Usage: raw_develop_bench_win [folder [mode...]]  (default: the temp folder, modes 0 1 3).
// The DNG is written there as bench24.dng unless a file of its size is already there.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "core/raw_develop.h"
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
  return 0;
}
