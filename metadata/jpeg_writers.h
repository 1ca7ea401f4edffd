// Writers of the IPTC resource and the comment of JPEG files. Both read the whole file, build
// the new bytes and replace the file through WriteFileReplacing: on any failure the file is
// left byte for byte as it was. The creation time and the attributes are kept; the last-write
// time becomes the time of the write. New bytes equal to the file's are not written at all.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

#include "metadata/pure/jpeg_segment_writer.h"

// The block length after a rewrite, 0 on failure. A TIFF or a little-endian ORF is not written:
// its IPTC is read into g_iptcTextBuffer as ReadIptc would, and the result is 1.
int32_t WriteJpegIptc(const wchar_t* path, const uint8_t* block, uint32_t blockLength);
// The text goes in the ANSI code page; more than 65,533 bytes of it is refused.
bool WriteJpegComment(const wchar_t* path, const wchar_t* text);
// The comment's bytes as given, zero bytes included; more than 65,533 of them is refused.
bool WriteJpegCommentBytes(const wchar_t* path, const uint8_t* bytes, size_t length);
// Wide text in the ANSI code page (in UTF-8 with utf8 set); false when it does not convert, or
// holds a character the code page lacks.
bool WideToMetadataBytes(const wchar_t* text, size_t chars, bool utf8, std::string& out);
// Bytes of the text in the ANSI code page (without terminator).
size_t AnsiByteLength(const wchar_t* text);

// Why the last write failed (kDone after a success); for kIoFailed, LastWriteError (safe_file.h)
// holds the system's reason, 0 when there is none to tell.
extern SegmentWriteResult g_lastSegmentWrite;
// Fault injection for tests: a non-zero value fails that step of reading the file (1 open,
// 2 size, 3 read).
extern int g_segmentReadFaultStep;
