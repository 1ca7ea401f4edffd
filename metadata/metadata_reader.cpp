// Win32 side of the metadata reader: opens the file, serialises the callers, keeps the shared buffers.
#include "metadata/metadata_reader.h"

#include "core/semaphore_lock.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

char g_metadataDumpBuffer[kMetadataTextSize];
char g_exifSummaryBuffer[kMetadataTextSize];
char g_iptcTextBuffer[kMetadataTextSize];
bool g_iptcTextIsUtf8 = false;
char g_jpegCommentBuffer[kJpegCommentSize];
size_t g_jpegCommentLength = 0;
GpsPosition g_gpsPosition;

namespace {

constexpr size_t kWindow = 64 * 1024;

// What the thread's window holds after its last reader closed: the file and the range.
struct RecentRead {
  bool valid = false;
  wchar_t path[MAX_PATH];
  uint64_t fileSize = 0, start = 0;
  size_t length = 0;
  DWORD at = 0;  // when it was read: a file can change later, so the offer is short-lived
};
thread_local RecentRead t_recent;

// Reads a file through a read-ahead window: a JPEG's segments and a TIFF's directories are near
// each other, so most files are served by the first read. The window is the caller's: one per
// thread is reused, as a fresh 64 KiB for every file of a folder cost more than the read.
class FileByteSource : public ByteSource {
 public:
  FileByteSource(const wchar_t* path, uint8_t* window) : window_(window), path_(path) {
    t_recent.valid = false;  // the window is about to hold another file
    file_ = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
  }
  ~FileByteSource() override {
    if (file_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(file_);
    const size_t chars = wcsnlen(path_, MAX_PATH);
    if (windowLength_ > 0 && chars < MAX_PATH) {
      wmemcpy(t_recent.path, path_, chars + 1);
      t_recent.fileSize = size_;
      t_recent.start = windowStart_;
      t_recent.length = windowLength_;
      t_recent.at = GetTickCount();
      t_recent.valid = true;
    }
  }
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  uint64_t Size() override {
    if (!sizeKnown_) LearnSize();
    return size_;
  }

  size_t ReadAt(uint64_t offset, uint8_t* dst, size_t n) override {
    if (offset >= Size()) return 0;
    if (n > size_ - offset) n = static_cast<size_t>(size_ - offset);
    if (n > kWindow) return ReadDirect(offset, dst, n);
    if (offset < windowStart_ || offset + n > windowStart_ + windowLength_) {
      windowLength_ = ReadDirect(offset, window_, kWindow);
      windowStart_ = offset;
      if (windowLength_ < n) n = windowLength_;
    }
    memcpy(dst, window_ + (offset - windowStart_), n);
    return n;
  }

 private:
  // The window from the start, which every format reads first, tells a file shorter than the
  // window its size; only a file that fills it is asked, as that is one more call to Wine's server.
  // A short read is the end of the file, so no offset checked against this size lies past it.
  void LearnSize() {
    sizeKnown_ = true;
    if (file_ == INVALID_HANDLE_VALUE) return;
    windowStart_ = 0;
    windowLength_ = ReadDirect(0, window_, kWindow);
    if (windowLength_ < kWindow) {
      size_ = windowLength_;
      return;
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(file_, &size)) size_ = static_cast<uint64_t>(size.QuadPart);
    else windowLength_ = 0;
  }

  // Reads at the file pointer, moved only when the read is elsewhere. A read given an OVERLAPPED
  // offset costs Wine a server call per read (to post a completion nobody waits for); the pointer
  // is moved in the process.
  size_t ReadDirect(uint64_t offset, uint8_t* dst, size_t n) {
    if (offset != position_) {
      LARGE_INTEGER to;
      to.QuadPart = static_cast<LONGLONG>(offset);
      position_ = kUnknownPosition;
      if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return 0;
      position_ = offset;
    }
    size_t done = 0;
    while (done < n) {
      DWORD got = 0;
      DWORD want = static_cast<DWORD>(n - done > 0x40000000 ? 0x40000000 : n - done);
      if (!ReadFile(file_, dst + done, want, &got, nullptr)) {
        position_ = kUnknownPosition;
        break;
      }
      position_ += got;
      done += got;
      if (got < want) break;  // the end of the file
    }
    return done;
  }

  static constexpr uint64_t kUnknownPosition = ~uint64_t{0};
  HANDLE file_ = INVALID_HANDLE_VALUE;
  uint64_t size_ = 0;
  bool sizeKnown_ = false;
  uint8_t* window_;
  const wchar_t* path_;
  uint64_t windowStart_ = 0;
  size_t windowLength_ = 0;
  uint64_t position_ = 0;  // of the file pointer: a new handle's is at the start
};

// The calling thread's read-ahead window; null when it cannot be had.
uint8_t* ThreadWindow() {
  static thread_local std::unique_ptr<uint8_t[]> window;
  if (!window) window.reset(new (std::nothrow) uint8_t[kWindow]);
  return window.get();
}

// The dump of the file into text; touches nothing shared but the thread's own window.
bool DumpText(const wchar_t* path, char* text, size_t bytes) {
  TextBuffer out(text, bytes);
  uint8_t* window = ThreadWindow();
  if (!window) return false;
  FileByteSource source(path, window);
  if (!source.IsOpen()) return false;
  char pathText[8193];
  int n = WideCharToMultiByte(CP_ACP, 0, path, -1, pathText, 8192, nullptr, nullptr);
  if (n <= 0) {
    // A path longer than the line allows is cut to what converts.
    n = WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(wcsnlen(path, 4096)), pathText, 8192, nullptr, nullptr);
    pathText[n > 0 ? n : 0] = 0;
  }
  pathText[8192] = 0;
  return DumpMetadataText(source, pathText, out);
}

bool DumpLocked(const wchar_t* path) {
  g_iptcTextBuffer[0] = 0;
  g_exifSummaryBuffer[0] = 0;
  return DumpText(path, g_metadataDumpBuffer, sizeof g_metadataDumpBuffer);
}

}  // namespace

void MetadataTextToWide(const char* text, wchar_t* out, size_t outChars, bool utf8) {
  if (outChars == 0) return;
  out[0] = 0;
  size_t len = strnlen(text, 8192);
  if (len == 0) return;
  const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
  int cap = static_cast<int>(outChars - 1 < 8191 ? outChars - 1 : 8191);
  int n = MultiByteToWideChar(codePage, 0, text, static_cast<int>(len), out, cap);
  if (n <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    // Too long: convert the whole text elsewhere and keep its head.
    int need = MultiByteToWideChar(codePage, 0, text, static_cast<int>(len), nullptr, 0);
    if (need > 0) {
      std::unique_ptr<wchar_t[]> all(new wchar_t[need]);
      MultiByteToWideChar(codePage, 0, text, static_cast<int>(len), all.get(), need);
      n = need < cap ? need : cap;
      memcpy(out, all.get(), sizeof(wchar_t) * n);
    }
  }
  out[n > 0 ? n : 0] = 0;
}

std::wstring MetadataBytesToWide(const char* bytes, size_t n, bool utf8) {
  if (n == 0 || n > INT_MAX) return std::wstring();
  const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
  const int chars = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(n), nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(n), &wide[0], chars);
  return wide;
}

bool DumpImageMetadataWide(const wchar_t* path, wchar_t* out, size_t outChars) {
  SemaphoreLock lock(kSemaInterp);
  bool ok = DumpLocked(path);
  if (ok) MetadataTextToWide(g_metadataDumpBuffer, out, outChars);
  else if (outChars) out[0] = 0;
  return ok;
}

bool DumpImageMetadataInto(const wchar_t* path, wchar_t* out, size_t outChars) {
  char text[kMetadataTextSize];
  bool ok = DumpText(path, text, sizeof text);
  if (ok) MetadataTextToWide(text, out, outChars);
  else if (outChars) out[0] = 0;
  return ok;
}

bool ReadExifSummary(const wchar_t* path, GpsPosition* gps) {
  SemaphoreLock lock(kSemaInterp);
  TextBuffer out(g_exifSummaryBuffer, sizeof g_exifSummaryBuffer);
  uint8_t* window = ThreadWindow();
  if (!window) return false;
  FileByteSource source(path, window);
  if (!source.IsOpen()) return false;
  return ReadExifSummaryText(source, out, *gps);
}

bool ReadIptc(const wchar_t* path) {
  SemaphoreLock lock(kSemaInterp);
  TextBuffer out(g_iptcTextBuffer, sizeof g_iptcTextBuffer);
  g_iptcTextIsUtf8 = false;
  uint8_t* window = ThreadWindow();
  if (!window) return false;
  FileByteSource source(path, window);
  if (!source.IsOpen()) return false;
  return ReadIptcText(source, out, &g_iptcTextIsUtf8);
}

bool ReadJpegComment(const wchar_t* path) {
  SemaphoreLock lock(kSemaInterp);
  g_jpegCommentBuffer[0] = g_jpegCommentBuffer[1] = 0;
  g_jpegCommentLength = 0;
  uint8_t* window = ThreadWindow();
  if (!window) return false;
  FileByteSource source(path, window);
  if (!source.IsOpen()) return false;
  return ReadJpegCommentBytes(source, g_jpegCommentBuffer, sizeof g_jpegCommentBuffer, &g_jpegCommentLength);
}

bool ReadIptcInto(const wchar_t* path, char* out, size_t outBytes, bool* utf8) {
  if (utf8) *utf8 = false;
  if (outBytes < 2) return false;
  TextBuffer text(out, outBytes);
  uint8_t* window = ThreadWindow();
  if (!window) return false;
  FileByteSource source(path, window);
  if (!source.IsOpen()) return false;
  return ReadIptcText(source, text, utf8);
}

bool ReadJpegCommentInto(const wchar_t* path, char* out, size_t outBytes) {
  if (outBytes < 2) return false;
  out[0] = out[1] = 0;
  uint8_t* window = ThreadWindow();
  if (!window) return false;
  FileByteSource source(path, window);
  if (!source.IsOpen()) return false;
  return ReadJpegCommentBytes(source, out, outBytes);
}

const uint8_t* TakeRecentFileBytes(const wchar_t* path, uint64_t offset, uint64_t size) {
  RecentRead& r = t_recent;
  if (!r.valid) return nullptr;
  r.valid = false;
  if (GetTickCount() - r.at > 1000) return nullptr;
  uint8_t* window = ThreadWindow();
  if (!window || size == 0 || offset < r.start || offset > r.fileSize || size > r.fileSize - offset) return nullptr;
  if (offset - r.start > r.length || size > r.length - (offset - r.start)) return nullptr;
  if (wcsncmp(path, r.path, MAX_PATH) != 0) return nullptr;
  return window + (offset - r.start);
}
