/* RAW decoder module: a narrow wrapper over LibRaw's C interface, built by MinGW into
   rawdecoder.dll with LibRaw linked in statically. */
#define BRN_RAWDECODER_MODULE
#define BRN_RAWDECODER_BUILD
#include "rawdecoder.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <libraw/libraw.h>

#include "rawdecoder/mem_rows.h"

struct RawDecoder {
  libraw_data_t* lr;
  int developed;                    /* LibRaw holds developed rows */
  uint8_t* reduced;                 /* block-reduced rows (mode 3), else null */
  uint32_t rows, columns, samples;
  uint32_t filters;                 /* from identification: processing may clear it */
};

static void QuietData(void* data, const char* file, const int offset) {
  (void)data; (void)file; (void)offset;
}
static void QuietMemory(void* data, const char* file, const char* where) {
  (void)data; (void)file; (void)where;
}

static void CopyText(char* to, const char* from, size_t field) {
  size_t n = 0;
  while (n < field && from[n]) ++n;
  memset(to, 0, field);
  memcpy(to, from, n);
}

/* LibRaw turns a recorded "YYYY:MM:DD hh:mm:ss" into a time_t with the C library's mktime and
   keeps binary stamps (CRW, CINE) as the file holds them: both are the camera's clock counted as
   UTC once the library's zone is UTC, and gmtime then gives the recorded fields back exactly (a
   time in a daylight-saving gap included). The zone is UTC only while the file is identified;
   TZ is put back afterwards, so neither the program nor the processes it starts see it. */
typedef struct SavedZone {
  int had;
  char* value;
} SavedZone;

static void UseZone(const char* zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone ? zone : ""); /* empty: removed */
  _tzset();
#else
  if (zone) setenv("TZ", zone, 1); else unsetenv("TZ");
  tzset();
#endif
}

static int ZoneUtc(SavedZone* saved) {
  const char* tz = getenv("TZ");
  saved->had = tz != NULL;
  saved->value = NULL;
  if (tz) {
    const size_t n = strlen(tz) + 1;
    saved->value = (char*)malloc(n);
    if (!saved->value) return 0;
    memcpy(saved->value, tz, n);
  }
  UseZone("UTC");
  return 1;
}

static void ZoneRestore(SavedZone* saved) {
  UseZone(saved->had ? saved->value : NULL);
  free(saved->value);
  saved->value = NULL;
}

static void CaptureTime(time_t stamp, RawDecoderInfo* info) {
  struct tm t;
  int ok;
  memset(&t, 0, sizeof t);
#ifdef _WIN32
  ok = stamp != 0 && gmtime_s(&t, &stamp) == 0;
#else
  ok = stamp != 0 && gmtime_r(&stamp, &t) != NULL;
#endif
  if (!ok) {
    memset(&t, 0, sizeof t);
    t.tm_year = 70;
    t.tm_mday = 1;
  }
  info->year = t.tm_year + 1900;
  info->month = t.tm_mon + 1;
  info->day = t.tm_mday;
  info->hour = t.tm_hour;
  info->minute = t.tm_min;
  info->second = t.tm_sec;
}

static int32_t FromLibRaw(int ret) {
  switch (ret) {
    case LIBRAW_SUCCESS: return RAWDEC_OK;
    case LIBRAW_FILE_UNSUPPORTED: return RAWDEC_NOT_RAW;
    case LIBRAW_UNSUFFICIENT_MEMORY: return RAWDEC_NO_MEMORY;
    case LIBRAW_TOO_BIG: return RAWDEC_TOO_LARGE;
    default: return RAWDEC_FAILED;
  }
}

static void FreeOutput(RawDecoder* d) {
  d->developed = 0;
  free(d->reduced);
  d->reduced = NULL;
  d->rows = d->columns = d->samples = 0;
}

int32_t RAWDEC_CALL RawDecoderOpen(const uint8_t* data, uint32_t size, RawDecoderInfo* info, RawDecoder** out) {
  RawDecoder* d;
  libraw_data_t* lr;
  SavedZone zone;
  int ret;
  if (!out) return RAWDEC_FAILED;
  *out = NULL;
  if (!data || !size || !info) return RAWDEC_FAILED;
  memset(info, 0, sizeof *info);
  d = (RawDecoder*)calloc(1, sizeof *d);
  if (!d) return RAWDEC_NO_MEMORY;
  lr = libraw_init(0);
  if (!lr) {
    free(d);
    return RAWDEC_NO_MEMORY;
  }
  d->lr = lr;
  libraw_set_dataerror_handler(lr, QuietData, NULL);
  libraw_set_memerror_handler(lr, QuietMemory, NULL);
  lr->params.max_raw_memory_mb = RAWDEC_MAX_RAW_MEMORY_MB;
  if (!ZoneUtc(&zone)) {
    RawDecoderClose(d);
    return RAWDEC_NO_MEMORY;
  }
  ret = libraw_open_buffer(lr, (void*)data, size);
  ZoneRestore(&zone);
  if (ret != LIBRAW_SUCCESS) {
    RawDecoderClose(d);
    return FromLibRaw(ret);
  }
  CopyText(info->make, lr->idata.make, sizeof info->make);
  CopyText(info->model, lr->idata.model, sizeof info->model);
  CopyText(info->description, lr->other.desc, sizeof info->description);
  CopyText(info->artist, lr->other.artist, sizeof info->artist);
  CaptureTime(lr->other.timestamp, info);
  info->shutter = lr->other.shutter;
  info->aperture = lr->other.aperture;
  info->focalLength = lr->other.focal_len;
  info->iso = lr->other.iso_speed;
  memcpy(info->gps, lr->other.gpsdata, sizeof info->gps);
  info->rawWidth = lr->sizes.raw_width;
  info->rawHeight = lr->sizes.raw_height;
  info->width = lr->sizes.width;
  info->height = lr->sizes.height;
  info->filters = lr->idata.filters;
  info->colors = lr->idata.colors;
  d->filters = lr->idata.filters;
  *out = d;
  return RAWDEC_OK;
}

/* Averages each 4x4 block of the half-size rows (d->rows x d->columns) into one pixel (the
   one-eighth size). */
static int32_t ReduceBlocks(RawDecoder* d, const uint8_t* half) {
  const uint32_t w = d->columns, h = d->rows, s = d->samples;
  uint32_t rows = h >> 2, cols = w >> 2, r, c, k, y, x;
  uint8_t* out;
  if (rows == 0) rows = 1;
  if (cols == 0) cols = 1;
  out = (uint8_t*)malloc((size_t)rows * cols * s);
  if (!out) return RAWDEC_NO_MEMORY;
  for (r = 0; r < rows; ++r) {
    const uint32_t y1 = (r * 4 + 4 < h) ? r * 4 + 4 : h;
    for (c = 0; c < cols; ++c) {
      const uint32_t x1 = (c * 4 + 4 < w) ? c * 4 + 4 : w;
      for (k = 0; k < s; ++k) {
        uint32_t sum = 0, n = 0;
        for (y = r * 4; y < y1; ++y)
          for (x = c * 4; x < x1; ++x, ++n) sum += half[((size_t)y * w + x) * s + k];
        out[((size_t)r * cols + c) * s + k] = (uint8_t)((sum + n / 2) / n);
      }
    }
  }
  d->reduced = out;
  d->rows = rows;
  d->columns = cols;
  return RAWDEC_OK;
}

int32_t RAWDEC_CALL RawDecoderDevelop(RawDecoder* d, uint32_t mode, RawDecoderImage* image) {
  libraw_output_params_t* p;
  int ret, width = 0, height = 0, colors = 0, bps = 0;
  uint64_t sites;
  if (!d || !image || mode > 3) return RAWDEC_FAILED;
  memset(image, 0, sizeof *image);
  FreeOutput(d);
  sites = (uint64_t)d->lr->sizes.raw_width * d->lr->sizes.raw_height;
  if (sites == 0) return RAWDEC_FAILED;
  if (sites > RAWDEC_MAX_SENSOR_SITES) return RAWDEC_TOO_LARGE;

  p = &d->lr->params;
  p->half_size = (mode == 0 || mode == 3);
  p->four_color_rgb = (mode == 0 || mode == 2);
  p->use_camera_wb = 1;
  p->use_auto_wb = 0;
  p->use_camera_matrix = 1;
  p->user_flip = 0;
  p->user_qual = 0;
  p->output_bps = 8;
  p->output_color = 1;
  p->output_tiff = 1;
  p->no_auto_bright = 0;
  p->auto_bright_thr = 0.01f; /* LibRaw halves the count for SuperCCD sensors itself */
  p->bright = 1.0f;
  p->highlight = 0;
  p->gamm[0] = 0.45;
  p->gamm[1] = 4.5;
  p->dark_frame = NULL;
  p->bad_pixels = NULL;
  p->threshold = 0;
  p->aber[0] = p->aber[2] = 1.0;
  p->med_passes = 0;
  p->use_fuji_rotate = 1;

  ret = libraw_unpack(d->lr);
  if (ret != LIBRAW_SUCCESS) return FromLibRaw(ret);
  /* LibRaw stretches non-square sites together with the SuperCCD rotation; the picture keeps
     its sensor geometry. Processing starts again from the unpacked copy of the sizes. */
  d->lr->sizes.pixel_aspect = 1.0;
  d->lr->rawdata.sizes.pixel_aspect = 1.0;
  ret = libraw_dcraw_process(d->lr);
  if (ret != LIBRAW_SUCCESS) return FromLibRaw(ret);
  /* The rows stay in LibRaw until they are copied out: through the gamma curve straight into
     the caller's buffer. */
  if (!RawDecoderRowsFormat(d->lr, &width, &height, &colors, &bps) || bps != 8 || (colors != 1 && colors != 3) ||
      width <= 0 || height <= 0)
    return RAWDEC_FAILED;
  d->rows = (uint32_t)height;
  d->columns = (uint32_t)width;
  d->samples = (uint32_t)colors;
  d->developed = 1;
  /* Sensors without a colour filter array were not halved, so they keep their full size. */
  if (mode == 3 && d->filters) {
    const size_t stride = (size_t)d->columns * d->samples;
    uint8_t* half = (uint8_t*)malloc(stride * d->rows);
    if (!half) {
      FreeOutput(d);
      return RAWDEC_NO_MEMORY;
    }
    ret = RawDecoderCopyRowsInto(d->lr, half, (int)stride) == LIBRAW_SUCCESS ? ReduceBlocks(d, half) : RAWDEC_FAILED;
    free(half);
    if (ret != RAWDEC_OK) {
      FreeOutput(d);
      return ret;
    }
  }
  image->rows = d->rows;
  image->columns = d->columns;
  image->samples = d->samples;
  image->hasProfile = !(d->lr->rawdata.ioparams.raw_color || d->samples == 1);
  return RAWDEC_OK;
}

int32_t RAWDEC_CALL RawDecoderCopyRows(RawDecoder* d, uint8_t* dest, uint32_t destSize) {
  uint64_t bytes;
  if (!d || !dest || !d->developed) return RAWDEC_FAILED;
  bytes = (uint64_t)d->rows * d->columns * d->samples;
  if (bytes > destSize) return RAWDEC_FAILED;
  if (d->reduced) {
    memcpy(dest, d->reduced, (size_t)bytes);
    return RAWDEC_OK;
  }
  return RawDecoderCopyRowsInto(d->lr, dest, (int)(d->columns * d->samples)) == LIBRAW_SUCCESS ? RAWDEC_OK
                                                                                             : RAWDEC_FAILED;
}

void RAWDEC_CALL RawDecoderClose(RawDecoder* d) {
  if (!d) return;
  FreeOutput(d);
  if (d->lr) libraw_close(d->lr);
  free(d);
}
