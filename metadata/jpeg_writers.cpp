#include "metadata/jpeg_writers.h"

#include <climits>
#include <cstring>
#include <vector>

#include "core/safe_file.h"
#include "core/semaphore_lock.h"
#include "metadata/metadata_reader.h"

SegmentWriteResult g_lastSegmentWrite = SegmentWriteResult::kDone;
int g_segmentReadFaultStep = 0;

namespace {
constexpr uint64_t kMaxFileBytes = 1u << 30;

struct FileFacts {
  FILETIME created;
  DWORD attributes;
};

bool ReadWholeFile(const wchar_t* path, std::vector<uint8_t>& bytes, FileFacts& facts) {
  HANDLE h = g_segmentReadFaultStep == 1 ? INVALID_HANDLE_VALUE
                                         : CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetLastWriteError(g_segmentReadFaultStep == 1 ? ERROR_READ_FAULT : GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  bool ok = g_segmentReadFaultStep != 2 && GetFileSizeEx(h, &size) && size.QuadPart >= 2 &&
            static_cast<uint64_t>(size.QuadPart) <= kMaxFileBytes && GetFileTime(h, &facts.created, nullptr, nullptr);
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    const DWORD want = g_segmentReadFaultStep == 3 ? static_cast<DWORD>(bytes.size() / 2) : static_cast<DWORD>(bytes.size());
    ok = ReadFile(h, bytes.data(), want, &got, nullptr) && got == bytes.size();
  }
  CloseHandle(h);
  facts.attributes = GetFileAttributesW(path);
  // A read-only file stays as the user marked it.
  if (ok && facts.attributes != INVALID_FILE_ATTRIBUTES && (facts.attributes & FILE_ATTRIBUTE_READONLY))
    SetLastWriteError(ERROR_ACCESS_DENIED);
  return ok && facts.attributes != INVALID_FILE_ATTRIBUTES && !(facts.attributes & FILE_ATTRIBUTE_READONLY);
}

bool ReplaceKeepingFacts(const wchar_t* path, const std::vector<uint8_t>& old, const std::vector<uint8_t>& bytes,
                         const FileFacts& facts) {
  // Nothing changed (a value typed back as it was): the file is not touched, not even its time.
  if (bytes == old) return true;
  if (!WriteFileReplacing(path, bytes.data(), static_cast<uint32_t>(bytes.size()))) return false;
  // The file was rewritten, not made anew: its creation time and attributes carry over.
  HANDLE h = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    SetFileTime(h, &facts.created, nullptr, nullptr);
    CloseHandle(h);
  }
  SetFileAttributesW(path, (facts.attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE);
  return true;
}

// A file whose IPTC the reader takes from the IPTC-NAA tag: a TIFF, a little-endian ORF.
bool IsTiffHeader(const uint8_t* b, size_t n) {
  if (n < 4) return false;
  if (b[0] == 'I' && b[1] == 'I')
    return (b[2] == 42 && b[3] == 0) || (b[2] == 'R' && (b[3] == 'O' || b[3] == 'S'));
  return b[0] == 'M' && b[1] == 'M' && b[2] == 0 && b[3] == 42;
}

// The first bytes of the file; false when it cannot be opened.
bool ReadHead(const wchar_t* path, uint8_t* head, DWORD want, DWORD* got) {
  *got = 0;
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetLastWriteError(GetLastError());
    return false;
  }
  const bool ok = ReadFile(h, head, want, got, nullptr) != FALSE;
  CloseHandle(h);
  return ok;
}
}  // namespace

size_t AnsiByteLength(const wchar_t* text) {
  const int chars = static_cast<int>(wcslen(text));
  if (chars == 0) return 0;
  const int n = WideCharToMultiByte(CP_ACP, 0, text, chars, nullptr, 0, nullptr, nullptr);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

int32_t WriteJpegIptc(const wchar_t* path, const uint8_t* block, uint32_t blockLength) {
  g_iptcTextBuffer[0] = g_iptcTextBuffer[1] = 0;
  SetLastWriteError(0);
  uint8_t head[4];
  DWORD got = 0;
  if (g_segmentReadFaultStep == 1 || !ReadHead(path, head, sizeof head, &got)) {
    g_lastSegmentWrite = SegmentWriteResult::kIoFailed;
    return 0;
  }
  if (IsTiffHeader(head, got)) {
    // Not written: its IPTC is read as ReadIptc would, and nothing failed.
    g_lastSegmentWrite = SegmentWriteResult::kNotJpeg;
    ReadIptc(path);
    return 1;
  }
  // The list thread's reader must not have the file open while it is replaced.
  SemaphoreLock lock(kSemaInterp);
  std::vector<uint8_t> bytes, image;
  FileFacts facts{};
  if (!ReadWholeFile(path, bytes, facts)) {
    g_lastSegmentWrite = SegmentWriteResult::kIoFailed;
    return 0;
  }
  g_lastSegmentWrite = BuildJpegWithIptc(bytes.data(), bytes.size(), block, blockLength, image);
  if (g_lastSegmentWrite != SegmentWriteResult::kDone) return 0;
  if (!ReplaceKeepingFacts(path, bytes, image, facts)) {
    g_lastSegmentWrite = SegmentWriteResult::kIoFailed;
    return 0;
  }
  return static_cast<int32_t>(blockLength);
}

bool WideToMetadataBytes(const wchar_t* text, size_t chars, bool utf8, std::string& out) {
  out.clear();
  if (chars == 0) return true;
  if (chars > INT_MAX) return false;
  const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
  // A character the code page lacks would be written as its default character: the user's text
  // would change without a word, so it is refused instead.
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(codePage, 0, text, static_cast<int>(chars), nullptr, 0, nullptr,
                                    utf8 ? nullptr : &lossy);
  if (n <= 0 || lossy) return false;
  out.resize(static_cast<size_t>(n));
  return WideCharToMultiByte(codePage, 0, text, static_cast<int>(chars), &out[0], n, nullptr, nullptr) == n;
}

bool WriteJpegComment(const wchar_t* path, const wchar_t* text) {
  std::string bytes;
  if (!WideToMetadataBytes(text, wcslen(text), false, bytes)) {
    g_lastSegmentWrite = SegmentWriteResult::kBadBlock;
    return false;
  }
  return WriteJpegCommentBytes(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool WriteJpegCommentBytes(const wchar_t* path, const uint8_t* text, size_t n) {
  SetLastWriteError(0);
  if (n > kMaxCommentBytes) {
    g_lastSegmentWrite = SegmentWriteResult::kTooLarge;
    return false;
  }
  SemaphoreLock lock(kSemaInterp);
  std::vector<uint8_t> bytes, image;
  FileFacts facts{};
  if (!ReadWholeFile(path, bytes, facts)) {
    g_lastSegmentWrite = SegmentWriteResult::kIoFailed;
    return false;
  }
  g_lastSegmentWrite = BuildJpegWithComment(bytes.data(), bytes.size(), text, n, image);
  if (g_lastSegmentWrite != SegmentWriteResult::kDone) return false;
  if (!ReplaceKeepingFacts(path, bytes, image, facts)) {
    g_lastSegmentWrite = SegmentWriteResult::kIoFailed;
    return false;
  }
  return true;
}
