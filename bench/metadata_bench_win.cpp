// Files per second for DumpImageMetadata on every file of a folder, through the Win32 entry point.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "metadata/metadata_reader.h"

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
  CloseHandle(sema);
  printf("metadata dump (Wine): %lld files in %.2f s = %.0f files/s (%lld with metadata)\n", done, elapsed,
         done / elapsed, ok);
  return 0;
}
