/* Interface of the RAW decoder module (rawdecoder.dll). Only fixed-width types cross it:
   the module is built by a different compiler and C library than the program that loads it. */
#ifndef BRN_RAWDECODER_H
#define BRN_RAWDECODER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__x86_64__) || defined(_M_X64)
#define RAWDEC_CALL __attribute__((ms_abi))
#else
#define RAWDEC_CALL __attribute__((stdcall))
#endif

enum {
  RAWDEC_OK = 0,
  RAWDEC_NOT_RAW = 1,    /* no loader for this file */
  RAWDEC_NO_MEMORY = 2,
  RAWDEC_TOO_LARGE = 3,  /* sensor or output beyond the caps below */
  RAWDEC_FAILED = 4,     /* read, unpack or processing error, or a bad argument */
};

/* Caps checked before any large allocation. */
#define RAWDEC_MAX_SENSOR_SITES 160000000u
#define RAWDEC_MAX_RAW_MEMORY_MB 2048u

typedef struct RawDecoderInfo {
  char make[64];
  char model[64];
  char description[512];
  char artist[64];
  /* Capture time exactly as recorded in the file; 1970-01-01 00:00:00 when it has none. */
  int32_t year, month, day, hour, minute, second;
  float shutter;      /* seconds */
  float aperture;     /* f-number */
  float focalLength;  /* mm */
  float iso;
  /* GPS words as read from the file's GPS directory: 0-5 latitude, 6-11 longitude,
     12-17 time stamp, 18-19 altitude, 20-22 map datum text, 23-25 date stamp text,
     29 latitude ref, 30 longitude ref, 31 altitude ref. */
  uint32_t gps[32];
  uint32_t rawWidth, rawHeight;  /* sensor sites including margins */
  uint32_t width, height;        /* visible sensor area */
  uint32_t filters;              /* non-zero for a colour filter array */
  int32_t colors;
} RawDecoderInfo;

typedef struct RawDecoderImage {
  uint32_t rows, columns, samples; /* samples: 3, or 1 for a monochrome sensor */
  uint32_t hasProfile;             /* 0 when the output keeps raw camera colour */
} RawDecoderImage;

typedef struct RawDecoder RawDecoder;

/* Modes: 0 half size (four colours), 1 full size bilinear, 2 full size four colours,
   3 one-eighth size (half size, then each 4x4 block averaged). */

/* Identifies the file in data[0..size), which must stay valid until RawDecoderClose. */
typedef int32_t(RAWDEC_CALL* RawDecoderOpenFn)(const uint8_t* data, uint32_t size, RawDecoderInfo* info,
                                               RawDecoder** decoder);
typedef int32_t(RAWDEC_CALL* RawDecoderDevelopFn)(RawDecoder* decoder, uint32_t mode, RawDecoderImage* image);
/* Copies rows*columns*samples bytes, rows top to bottom, no padding. */
typedef int32_t(RAWDEC_CALL* RawDecoderCopyRowsFn)(RawDecoder* decoder, uint8_t* dest, uint32_t destSize);
typedef void(RAWDEC_CALL* RawDecoderCloseFn)(RawDecoder* decoder);

#ifdef BRN_RAWDECODER_MODULE
#if defined(__MINGW32__) && defined(BRN_RAWDECODER_BUILD)
#define RAWDEC_EXPORT __declspec(dllexport)
#else
#define RAWDEC_EXPORT
#endif
RAWDEC_EXPORT int32_t RAWDEC_CALL RawDecoderOpen(const uint8_t* data, uint32_t size, RawDecoderInfo* info, RawDecoder** decoder);
RAWDEC_EXPORT int32_t RAWDEC_CALL RawDecoderDevelop(RawDecoder* decoder, uint32_t mode, RawDecoderImage* image);
RAWDEC_EXPORT int32_t RAWDEC_CALL RawDecoderCopyRows(RawDecoder* decoder, uint8_t* dest, uint32_t destSize);
RAWDEC_EXPORT void RAWDEC_CALL RawDecoderClose(RawDecoder* decoder);
#endif

#ifdef __cplusplus
static_assert(sizeof(RawDecoderInfo) == 896, "RawDecoderInfo layout");
static_assert(sizeof(RawDecoderImage) == 16, "RawDecoderImage layout");
#else
_Static_assert(sizeof(RawDecoderInfo) == 896, "RawDecoderInfo layout");
_Static_assert(sizeof(RawDecoderImage) == 16, "RawDecoderImage layout");
#endif

#ifdef __cplusplus
}
#endif
#endif
