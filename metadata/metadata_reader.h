// Metadata reader entry points on wide paths, and the process-wide buffers they fill.
// Each entry point that fills them takes "sema_interp" itself; callers read the buffers after it
// returns and before the next call. The ...Into entry points fill the caller's buffers instead and
// take no lock.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "metadata/pure/metadata_reader.h"

extern char g_metadataDumpBuffer[kMetadataTextSize];   // MetadataText
extern char g_exifSummaryBuffer[kMetadataTextSize];    // ExifSummaryText
extern char g_iptcTextBuffer[kMetadataTextSize];       // IptcText
extern bool g_iptcTextIsUtf8;                          // its values are UTF-8 (the record says so)
extern char g_jpegCommentBuffer[kJpegCommentSize];
extern size_t g_jpegCommentLength;                     // its bytes (a comment may hold zero bytes)
extern GpsPosition g_gpsPosition;                      // the position of the entry the GPS tab shows

// The summary into g_exifSummaryBuffer and the picture's position into the caller's *gps, so a
// command that reads another picture leaves the one the GPS tab shows as it was.
bool ReadExifSummary(const wchar_t* path, GpsPosition* gps);
bool ReadIptc(const wchar_t* path);
bool ReadJpegComment(const wchar_t* path);

// The file's metadata text into g_metadataDumpBuffer (emptying the IPTC and Exif summary texts),
// then as wide text (at most 8,191 characters) into out, all under the lock. On failure out is empty.
bool DumpImageMetadataWide(const wchar_t* path, wchar_t* out, size_t outChars);
// The same text into out without the lock or the shared buffers (the others are left as they
// are): for a worker that dumps a whole folder and keeps its own copy.
bool DumpImageMetadataInto(const wchar_t* path, wchar_t* out, size_t outChars);

// The same readers into the caller's buffers, without the shared ones: for a worker thread
// that must not race the user-interface thread's readers. utf8, when given, tells whether the
// IPTC record declares its values UTF-8.
bool ReadIptcInto(const wchar_t* path, char* out, size_t outBytes, bool* utf8 = nullptr);
bool ReadJpegCommentInto(const wchar_t* path, char* out, size_t outBytes);

// The bytes [offset, offset + size) of the file the calling thread's last metadata read opened,
// when that read already holds them; null otherwise. Asking ends the offer (once only), so a
// thumbnail built right after its file's dump reads nothing twice, and nothing older is served.
const uint8_t* TakeRecentFileBytes(const wchar_t* path, uint64_t offset, uint64_t size);

// Multibyte text of the ANSI code page (of UTF-8 with utf8 set) to wide text: at most 8,191 and
// outChars - 1 characters and a terminator.
void MetadataTextToWide(const char* text, wchar_t* out, size_t outChars, bool utf8 = false);
// n bytes of the ANSI code page (of UTF-8 with utf8 set) to wide text, whatever their length.
std::wstring MetadataBytesToWide(const char* bytes, size_t n, bool utf8 = false);
