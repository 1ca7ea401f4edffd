#pragma once
// RAW development: the camera file is developed by the rawdecoder module into an in-memory
// 8-bit RGB TIFF (see core/pure/raw_tiff.h) that GDI+ opens through a stream.
#include <windows.h>
#include <objidl.h>

#include <cstdint>

namespace brn {

// 0 half size, 1 full size, 2 full size with four colours, 3 one-eighth size.
using RawDevelopMode = uint32_t;

// The whole RAW file in one heap buffer; the decoder reads, seeks and scans it in memory.
struct MemoryFile {
  uint8_t* data = nullptr;
  uint32_t size = 0;
};

// Reads the file whole; null when it cannot be opened, sized (or is 4 GB or more) or read.
MemoryFile* OpenMemoryFile(const wchar_t* path);
void CloseMemoryFile(MemoryFile* file);

// Files named *.x3f develop at full size unless four colours (mode 2) are asked for.
RawDevelopMode EffectiveRawMode(const wchar_t* path, RawDevelopMode mode);

// Develops the file; on success stores a new GMEM_FIXED block (the TIFF plus 1024 zero bytes)
// in *block and returns its size. Returns 0 and leaves *block alone on any failure, including
// a missing rawdecoder module. The caller holds "sema_dec" and frees the block with GlobalFree.
uint32_t DevelopRawToTiff(const wchar_t* path, HGLOBAL* block, RawDevelopMode mode);

struct MemoryStreamHolder {
  IStream* stream = nullptr;
};

// A read-only stream over the block (see core/block_stream.h) into the holder. A null block gives E_INVALIDARG and
// leaves the holder empty.
HRESULT OpenMemoryStream(MemoryStreamHolder* holder, HGLOBAL block, bool deleteOnRelease);

}  // namespace brn
