#include "core/raw_develop.h"

#include <cstring>
#include <new>

#include "core/block_stream.h"
#include "core/pure/raw_tiff.h"
#include "rawdecoder/rawdecoder.h"

namespace brn {
namespace {

struct RawDecoderApi {
  RawDecoderOpenFn open = nullptr;
  RawDecoderDevelopFn develop = nullptr;
  RawDecoderCopyRowsFn copyRows = nullptr;
  RawDecoderCloseFn close = nullptr;
};

RawDecoderApi g_rawDecoder;
INIT_ONCE g_rawDecoderOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK LoadRawDecoder(PINIT_ONCE, PVOID, PVOID*) {
  HMODULE module = LoadLibraryW(L"rawdecoder.dll");
  if (!module) return TRUE;  // stays unavailable; developments fail
  RawDecoderApi api;
  api.open = reinterpret_cast<RawDecoderOpenFn>(GetProcAddress(module, "RawDecoderOpen"));
  api.develop = reinterpret_cast<RawDecoderDevelopFn>(GetProcAddress(module, "RawDecoderDevelop"));
  api.copyRows = reinterpret_cast<RawDecoderCopyRowsFn>(GetProcAddress(module, "RawDecoderCopyRows"));
  api.close = reinterpret_cast<RawDecoderCloseFn>(GetProcAddress(module, "RawDecoderClose"));
  if (api.open && api.develop && api.copyRows && api.close) {
    g_rawDecoder = api;
  } else {
    FreeLibrary(module);
  }
  return TRUE;
}

const RawDecoderApi* RawDecoderModule() {
  InitOnceExecuteOnce(&g_rawDecoderOnce, LoadRawDecoder, nullptr, nullptr);
  return g_rawDecoder.open ? &g_rawDecoder : nullptr;
}

template <size_t N, size_t M>
void CopyField(char (&to)[N], const char (&from)[M]) {
  static_assert(N == M, "field sizes");
  memcpy(to, from, N);
}

RawTiffFields FieldsOf(const RawDecoderInfo& info, const RawDecoderImage& image) {
  RawTiffFields f;
  f.rows = image.rows;
  f.columns = image.columns;
  f.samples = image.samples;
  f.hasProfile = image.hasProfile != 0;
  CopyField(f.description, info.description);
  CopyField(f.make, info.make);
  CopyField(f.model, info.model);
  CopyField(f.artist, info.artist);
  f.year = info.year;
  f.month = info.month;
  f.day = info.day;
  f.hour = info.hour;
  f.minute = info.minute;
  f.second = info.second;
  f.shutter = info.shutter;
  f.aperture = info.aperture;
  f.focalLength = info.focalLength;
  f.iso = info.iso;
  static_assert(sizeof f.gps == sizeof info.gps, "GPS words");
  memcpy(f.gps, info.gps, sizeof f.gps);
  return f;
}

// Closes the decoder and the file however the development ends.
struct Development {
  const RawDecoderApi* api;
  MemoryFile* file = nullptr;
  ::RawDecoder* decoder = nullptr;
  ~Development() {
    if (decoder) api->close(decoder);
    CloseMemoryFile(file);
  }
};

}  // namespace

MemoryFile* OpenMemoryFile(const wchar_t* path) {
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  MemoryFile* file = nullptr;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < 0xFFFFFFFFLL) {
    file = new (std::nothrow) MemoryFile;
    if (file) {
      file->size = static_cast<uint32_t>(size.QuadPart);
      file->data = new (std::nothrow) uint8_t[file->size];
      uint32_t done = 0;
      while (file->data && done < file->size) {
        DWORD got = 0;
        const DWORD want = file->size - done < (1u << 24) ? file->size - done : (1u << 24);
        if (!ReadFile(h, file->data + done, want, &got, nullptr) || got == 0) break;
        done += got;
      }
      if (!file->data || done != file->size) {
        CloseMemoryFile(file);
        file = nullptr;
      }
    }
  }
  CloseHandle(h);
  return file;
}

void CloseMemoryFile(MemoryFile* file) {
  if (!file) return;
  delete[] file->data;
  delete file;
}

RawDevelopMode EffectiveRawMode(const wchar_t* path, RawDevelopMode mode) {
  if (mode == 2 || !path) return mode;
  const size_t n = wcslen(path);
  if (n >= 3 && CompareStringOrdinal(path + n - 3, 3, L"X3F", 3, TRUE) == CSTR_EQUAL) return 1;
  return mode;
}

uint32_t DevelopRawToTiff(const wchar_t* path, HGLOBAL* block, RawDevelopMode mode) {
  if (!path || !block) return 0;
  const RawDecoderApi* api = RawDecoderModule();
  if (!api) return 0;
  mode = EffectiveRawMode(path, mode);

  Development dev{api};
  dev.file = OpenMemoryFile(path);
  if (!dev.file) return 0;
  RawDecoderInfo info;
  if (api->open(dev.file->data, dev.file->size, &info, &dev.decoder) != RAWDEC_OK) return 0;
  RawDecoderImage image;
  if (api->develop(dev.decoder, mode, &image) != RAWDEC_OK) return 0;

  const RawTiffFields fields = FieldsOf(info, image);
  uint32_t size = 0;
  if ((fields.samples != 1 && fields.samples != 3) ||
      !RawTiffBlockSize(fields.rows, fields.columns, fields.samples, fields.hasProfile, &size))
    return 0;
  HGLOBAL out = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
  if (!out) return 0;
  auto* bytes = static_cast<uint8_t*>(GlobalLock(out));
  if (!bytes) {
    GlobalFree(out);
    return 0;
  }
  const uint32_t profile = BuildTiffHeader(fields, bytes);
  if (profile) BuildIccProfile(bytes + kRawTiffHeaderSize);
  const uint32_t pixels = size - kRawTiffHeaderSize - profile - kRawTiffSpareSize;
  const bool copied = api->copyRows(dev.decoder, bytes + kRawTiffHeaderSize + profile, pixels) == RAWDEC_OK;
  GlobalUnlock(out);
  if (!copied) {
    GlobalFree(out);
    return 0;
  }
  *block = out;
  return size;
}

HRESULT OpenMemoryStream(MemoryStreamHolder* holder, HGLOBAL block, bool deleteOnRelease) {
  if (!holder) return E_POINTER;
  holder->stream = nullptr;
  if (!block) return E_INVALIDARG;
  holder->stream = NewBlockStream(block, deleteOnRelease);
  return holder->stream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace brn
