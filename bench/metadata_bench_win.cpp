// Files per second for DumpImageMetadata on every file of a folder, through the Win32 entry point.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/metadata_reader.h"

namespace {

double Now() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER q;
    QueryPerformanceFrequency(&q);
    return q;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Where a dump's time goes under Wine: each step alone over every file, in microseconds a file.
void PrintStages(const std::vector<std::wstring>& files, HANDLE sema) {
  const int passes = 5;
  const double n = static_cast<double>(files.size()) * passes;
  static uint8_t head[64 * 1024];
  static char text[kMetadataTextSize];
  double lock = 0, open = 0, read = 0, parse = 0;
  for (int p = 0; p < passes; ++p) {
    for (const std::wstring& path : files) {
      double t0 = Now();
      WaitForSingleObject(sema, INFINITE);
      ReleaseSemaphore(sema, 1, nullptr);
      double t1 = Now();
      HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
      LARGE_INTEGER size{};
      GetFileSizeEx(h, &size);
      double t2 = Now();
      DWORD got = 0;
      OVERLAPPED at{};
      ReadFile(h, head, sizeof head, &got, &at);
      double t3 = Now();
      CloseHandle(h);
      double t4 = Now();
      MemoryByteSource source(head, got);
      TextBuffer out(text, sizeof text);
      DumpMetadataText(source, "x", out);
      double t5 = Now();
      lock += t1 - t0;
      open += (t2 - t1) + (t4 - t3);
      read += t3 - t2;
      parse += t5 - t4;
    }
  }
  printf("stages (us a file): lock %.1f, open+size+close %.1f, read 64 KiB %.1f, parse from memory %.1f\n",
         lock * 1e6 / n, open * 1e6 / n, read * 1e6 / n, parse * 1e6 / n);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring dir = argc > 1 ? argv[1] : L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples";
  double seconds = argc > 2 ? _wtof(argv[2]) : 3.0;
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(dir + L"\\" + fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  if (files.empty()) {
    fprintf(stderr, "no files\n");
    return 1;
  }
  // As in the program, start-up has created the reader's lock.
  HANDLE sema = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  g_semaphores[kSemaInterp] = sema;
  long long done = 0, ok = 0;
  auto start = std::chrono::steady_clock::now();
  double elapsed = 0;
  while (elapsed < seconds) {
    for (const std::wstring& path : files) {
      ok += DumpImageMetadata(path.c_str());
      ++done;
    }
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  PrintStages(files, sema);
  CloseHandle(sema);
  printf("metadata dump (Wine): %lld files in %.2f s = %.0f files/s (%lld with metadata)\n", done, elapsed,
         done / elapsed, ok);
  return 0;
}
