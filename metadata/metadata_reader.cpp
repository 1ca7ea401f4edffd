// Win32 side of the metadata reader: opens the file, serialises the callers, keeps the shared buffers.
#include "metadata/metadata_reader.h"

#include "core/semaphore_lock.h"

#include <windows.h>

#include <cstring>
#include <memory>

char g_metadataDumpBuffer[kMetadataTextSize];
char g_exifSummaryBuffer[kMetadataTextSize];
char g_iptcTextBuffer[kMetadataTextSize];
char g_jpegCommentBuffer[kJpegCommentSize];
GpsPosition g_gpsPosition;

namespace {

// Reads a file through a read-ahead window: a JPEG's segments and a TIFF's directories are near each other.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(const wchar_t* path) {
    file_ = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    LARGE_INTEGER size;
    if (file_ != INVALID_HANDLE_VALUE && GetFileSizeEx(file_, &size)) size_ = static_cast<uint64_t>(size.QuadPart);
  }
  ~FileByteSource() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  uint64_t Size() override { return size_; }

  size_t ReadAt(uint64_t offset, uint8_t* dst, size_t n) override {
    if (offset >= size_) return 0;
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
  static constexpr size_t kWindow = 64 * 1024;

  size_t ReadDirect(uint64_t offset, uint8_t* dst, size_t n) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return 0;
    size_t done = 0;
    while (done < n) {
      DWORD got = 0;
      DWORD want = static_cast<DWORD>(n - done > 0x40000000 ? 0x40000000 : n - done);
      if (!ReadFile(file_, dst + done, want, &got, nullptr) || got == 0) break;
      done += got;
    }
    return done;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  uint64_t size_ = 0;
  uint8_t window_[kWindow];
  uint64_t windowStart_ = 0;
  size_t windowLength_ = 0;
};


bool DumpLocked(const wchar_t* path) {
  g_iptcTextBuffer[0] = 0;
  g_exifSummaryBuffer[0] = 0;
  TextBuffer out(g_metadataDumpBuffer, sizeof g_metadataDumpBuffer);
  auto source = std::make_unique<FileByteSource>(path);
  if (!source->IsOpen()) return false;
  char pathText[8193];
  int n = WideCharToMultiByte(CP_ACP, 0, path, -1, pathText, 8192, nullptr, nullptr);
  if (n <= 0) {
    // A path longer than the line allows is cut to what converts.
    n = WideCharToMultiByte(CP_ACP, 0, path, static_cast<int>(wcsnlen(path, 4096)), pathText, 8192, nullptr, nullptr);
    pathText[n > 0 ? n : 0] = 0;
  }
  pathText[8192] = 0;
  return DumpMetadataText(*source, pathText, out);
}

}  // namespace

void MetadataTextToWide(const char* text, wchar_t* out, size_t outChars) {
  if (outChars == 0) return;
  out[0] = 0;
  size_t len = strnlen(text, 8192);
  if (len == 0) return;
  int cap = static_cast<int>(outChars - 1 < 8191 ? outChars - 1 : 8191);
  int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(len), out, cap);
  if (n <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    // Too long: convert the whole text elsewhere and keep its head.
    int need = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(len), nullptr, 0);
    if (need > 0) {
      std::unique_ptr<wchar_t[]> all(new wchar_t[need]);
      MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(len), all.get(), need);
      n = need < cap ? need : cap;
      memcpy(out, all.get(), sizeof(wchar_t) * n);
    }
  }
  out[n > 0 ? n : 0] = 0;
}

bool DumpImageMetadata(const wchar_t* path) {
  SemaphoreLock lock(kSemaInterp);
  return DumpLocked(path);
}

bool DumpImageMetadataWide(const wchar_t* path, wchar_t* out, size_t outChars) {
  SemaphoreLock lock(kSemaInterp);
  bool ok = DumpLocked(path);
  if (ok) MetadataTextToWide(g_metadataDumpBuffer, out, outChars);
  else if (outChars) out[0] = 0;
  return ok;
}

bool ReadExifSummary(const wchar_t* path) {
  SemaphoreLock lock(kSemaInterp);
  TextBuffer out(g_exifSummaryBuffer, sizeof g_exifSummaryBuffer);
  auto source = std::make_unique<FileByteSource>(path);
  if (!source->IsOpen()) return false;
  return ReadExifSummaryText(*source, out, g_gpsPosition);
}

bool ReadIptc(const wchar_t* path) {
  SemaphoreLock lock(kSemaInterp);
  TextBuffer out(g_iptcTextBuffer, sizeof g_iptcTextBuffer);
  auto source = std::make_unique<FileByteSource>(path);
  if (!source->IsOpen()) return false;
  return ReadIptcText(*source, out);
}

bool ReadJpegComment(const wchar_t* path) {
  SemaphoreLock lock(kSemaInterp);
  g_jpegCommentBuffer[0] = g_jpegCommentBuffer[1] = 0;
  auto source = std::make_unique<FileByteSource>(path);
  if (!source->IsOpen()) return false;
  return ReadJpegCommentBytes(*source, g_jpegCommentBuffer, sizeof g_jpegCommentBuffer);
}

bool ReadIptcInto(const wchar_t* path, char* out, size_t outBytes) {
  if (outBytes < 2) return false;
  TextBuffer text(out, outBytes);
  auto source = std::make_unique<FileByteSource>(path);
  if (!source->IsOpen()) return false;
  return ReadIptcText(*source, text);
}

bool ReadJpegCommentInto(const wchar_t* path, char* out, size_t outBytes) {
  if (outBytes < 2) return false;
  out[0] = out[1] = 0;
  auto source = std::make_unique<FileByteSource>(path);
  if (!source->IsOpen()) return false;
  return ReadJpegCommentBytes(*source, out, outBytes);
}
