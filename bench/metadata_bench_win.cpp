// Files per second for DumpImageMetadataWide and DumpImageMetadataInto on every file of a folder, through the
// Win32 entry points, and where their time goes.
#include <windows.h>
#include <shellapi.h>

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

// The lock-free road call by call, as its file source makes them: open, one read of the head at the
// file pointer (the handle's first use, which fetches its Unix descriptor from Wine's server), a size
// query only when the head fills the window, close. Beside it one bare server call, to read the others by.
void PrintLockFreeStages(const std::vector<std::wstring>& files, HANDLE sema) {
  const int passes = 5;
  const double n = static_cast<double>(files.size()) * passes;
  static uint8_t head[64 * 1024];
  static char text[kMetadataTextSize];
  double open = 0, read = 0, reread = 0, size = 0, close = 0, parse = 0, server = 0, lookup = 0;
  long long sized = 0;
  for (int p = 0; p < passes; ++p) {
    for (const std::wstring& path : files) {
      double t0 = Now();
      HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
      double t1 = Now();
      DWORD got = 0;
      ReadFile(h, head, sizeof head, &got, nullptr);
      double t2 = Now();
      if (got == sizeof head) {
        LARGE_INTEGER length{};
        GetFileSizeEx(h, &length);
        ++sized;
      }
      double t3 = Now();
      // Not in the road: the same read once the descriptor is at hand, and the path's lookup alone
      // (done in the process, no server call), to split the first read and the open.
      DWORD again = 0;
      LARGE_INTEGER start{};
      double r0 = Now();
      SetFilePointerEx(h, start, nullptr, FILE_BEGIN);
      ReadFile(h, head, sizeof head, &again, nullptr);
      double r1 = Now();
      WIN32_FILE_ATTRIBUTE_DATA attributes;
      GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
      double r2 = Now();
      reread += r1 - r0;
      lookup += r2 - r1;
      double c0 = Now();
      CloseHandle(h);
      double t4 = Now();
      MemoryByteSource source(head, got);
      TextBuffer out(text, sizeof text);
      DumpMetadataText(source, "x", out);
      double t5 = Now();
      ReleaseSemaphore(sema, 1, nullptr);  // fails: the count is at its maximum; still a server call
      double t6 = Now();
      open += t1 - t0;
      read += t2 - t1;
      size += t3 - t2;
      close += t4 - c0;
      parse += t5 - t4;
      server += t6 - t5;
    }
  }
  printf("lock-free stages (us a file): CreateFileW %.1f, ReadFile 64 KiB %.1f, GetFileSizeEx %.1f (%lld of %.0f files), "
         "CloseHandle %.1f, parse %.1f; one bare server call %.1f; seek and read again on the open handle %.1f; the path's "
         "lookup alone (GetFileAttributesExW) %.1f\n",
         open * 1e6 / n, read * 1e6 / n, size * 1e6 / n, sized, n, close * 1e6 / n,
         parse * 1e6 / n, server * 1e6 / n, reread * 1e6 / n, lookup * 1e6 / n);
}

// Open, head read and close in a few ways, interleaved so that load drifts alike over each.
void PrintOpenVariants(const std::vector<std::wstring>& files) {
  const int passes = 10;
  const double n = static_cast<double>(files.size()) * passes;
  static uint8_t head[64 * 1024];
  struct Variant {
    const char* name;
    DWORD flags;
    bool sizeFirst, overlapped;
    double sizeTime, total;
  } variants[] = {{"read at the file pointer", 0, false, false, 0, 0},
                  {"read at an OVERLAPPED offset", 0, false, true, 0, 0},
                  {"FILE_FLAG_SEQUENTIAL_SCAN, read at the file pointer", FILE_FLAG_SEQUENTIAL_SCAN, false, false, 0, 0},
                  {"GetFileSizeEx, then read at the file pointer", 0, true, false, 0, 0}};
  for (int p = 0; p < passes; ++p) {
    for (const std::wstring& path : files) {
      // Each pass starts at another variant, so none is always the first to open a file.
      for (size_t k = 0; k < 4; ++k) {
        Variant& v = variants[(k + p) % 4];
        double t0 = Now();
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, v.flags, nullptr);
        double t1 = Now();
        if (v.sizeFirst) {
          LARGE_INTEGER length{};
          GetFileSizeEx(h, &length);
        }
        double t2 = Now();
        DWORD got = 0;
        OVERLAPPED at{};
        ReadFile(h, head, sizeof head, &got, v.overlapped ? &at : nullptr);
        CloseHandle(h);
        double t3 = Now();
        v.sizeTime += t2 - t1;
        v.total += t3 - t0;
      }
    }
  }
  printf("open + head read + close (us a file):");
  for (const Variant& v : variants) {
    printf(" %s %.1f", v.name, v.total * 1e6 / n);
    if (v.sizeFirst) printf(" (of it GetFileSizeEx %.1f)", v.sizeTime * 1e6 / n);
    printf(";");
  }
  printf("\n");
}

// Files a second for one entry point over every file, for about the given time.
template <typename Dump>
double FilesPerSecond(const std::vector<std::wstring>& files, double seconds, Dump dump, long long* doneOut,
                      long long* okOut) {
  long long done = 0, ok = 0;
  double start = Now(), elapsed = 0;
  while (elapsed < seconds) {
    for (const std::wstring& path : files) {
      ok += dump(path.c_str());
      ++done;
    }
    elapsed = Now() - start;
  }
  *doneOut = done;
  *okOut = ok;
  return done / elapsed;
}

struct Half {
  const std::vector<std::wstring>* files;
  size_t first;
  double seconds;
  long long done;
  wchar_t text[8192];
};

DWORD WINAPI DumpHalf(void* p) {
  Half* h = static_cast<Half*>(p);
  double begin = Now();
  while (Now() - begin < h->seconds) {
    for (size_t f = h->first; f < h->files->size(); f += 2) {
      DumpImageMetadataInto((*h->files)[f].c_str(), h->text, 8192);
      ++h->done;
    }
  }
  return 0;
}

// The lock-free dump on two threads at once, each on every other file: what overlapping one
// file's server calls with another's work would give.
double TwoThreadFilesPerSecond(const std::vector<std::wstring>& files, double seconds) {
  static Half halves[2];
  HANDLE threads[2];
  double start = Now();
  for (size_t i = 0; i < 2; ++i) {
    halves[i] = Half{&files, i, seconds, 0, {}};
    threads[i] = CreateThread(nullptr, 0, DumpHalf, &halves[i], 0, nullptr);
  }
  WaitForMultipleObjects(2, threads, TRUE, INFINITE);
  double elapsed = Now() - start;
  for (HANDLE t : threads) CloseHandle(t);
  return (halves[0].done + halves[1].done) / elapsed;
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
  long long done = 0, ok = 0, freeDone = 0, freeOk = 0;
  static wchar_t wide[8192];
  double locked = FilesPerSecond(
      files, seconds, [](const wchar_t* path) { return DumpImageMetadataWide(path, wide, 8192); }, &done, &ok);
  double lockFree = FilesPerSecond(
      files, seconds, [](const wchar_t* path) { return DumpImageMetadataInto(path, wide, 8192); }, &freeDone, &freeOk);
  double twoThreads = TwoThreadFilesPerSecond(files, seconds);
  PrintStages(files, sema);
  PrintLockFreeStages(files, sema);
  PrintOpenVariants(files);
  CloseHandle(sema);
  printf("metadata dump (Wine): %lld files = %.0f files/s (%lld with metadata)\n", done, locked, ok);
  printf("metadata dump without the lock (Wine, DumpImageMetadataInto): %lld files = %.0f files/s (%lld with metadata)\n",
         freeDone, lockFree, freeOk);
  printf("the same on two threads at once: %.0f files/s\n", twoThreads);
  return 0;
}
