/* RAW decoder module: a narrow wrapper over LibRaw's C interface, built by MinGW into
   rawdecoder.dll with LibRaw linked in statically. */
#define BRN_RAWDECODER_MODULE
#define BRN_RAWDECODER_BUILD
#include "rawdecoder.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <libraw/libraw.h>

struct RawDecoder {
  libraw_data_t* lr;
  libraw_processed_image_t* image;  /* LibRaw's developed rows */
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

/* Reads "YYYY:MM:DD hh:mm:ss" at p into calendar fields without any time-zone arithmetic. */
static int ParseDateText(const uint8_t* p, struct tm* t) {
  static const uint8_t kLayout[19] = "0000:00:00 00:00:00";
  int v[6] = {0, 0, 0, 0, 0, 0}, field = 0, i;
  for (i = 0; i < 19; ++i) {
    if (kLayout[i] == '0') {
      if (p[i] < '0' || p[i] > '9') return 0;
      v[field] = v[field] * 10 + (p[i] - '0');
    } else {
      if (p[i] != kLayout[i]) return 0;
      ++field;
    }
  }
  if (v[0] < 1 || v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59 || v[5] > 60)
    return 0;
  memset(t, 0, sizeof *t);
  t->tm_year = v[0] - 1900;
  t->tm_mon = v[1] - 1;
  t->tm_mday = v[2];
  t->tm_hour = v[3];
  t->tm_min = v[4];
  t->tm_sec = v[5];
  return 1;
}

/* LibRaw turned a recorded "YYYY:MM:DD hh:mm:ss" into a time_t with this C library's mktime in
   the current time zone. Converting that back with localtime is not exact: a time inside a
   daylight-saving gap (02:30 on a spring-forward night) comes back an hour later. So the text
   itself is looked up in the file: the first date text whose mktime gives the same stamp holds
   the recorded fields. Only when none does (a stamp from a binary field) localtime is used.
   Nothing here changes the process's time zone. */
static int FindRecordedTime(const uint8_t* data, uint32_t size, time_t stamp, struct tm* out) {
  const uint8_t* p = data;
  const uint8_t* end = data + size;
  while (end - p >= 19) {
    const uint8_t* colon = (const uint8_t*)memchr(p + 4, ':', (size_t)(end - p - 4));
    struct tm t, probe;
    if (!colon || end - (colon - 4) < 19) break;
    p = colon - 4;
    if (ParseDateText(p, &t)) {
      probe = t;
      probe.tm_isdst = -1;
      if (mktime(&probe) == stamp) {
        *out = t;
        return 1;
      }
    }
    ++p;
  }
  return 0;
}

static void CaptureTime(const uint8_t* data, uint32_t size, time_t stamp, RawDecoderInfo* info) {
  struct tm t;
  int ok;
  memset(&t, 0, sizeof t);
  if (stamp == 0) {
    t.tm_year = 70;
    t.tm_mday = 1;
    ok = 1;
  } else if (FindRecordedTime(data, size, stamp, &t)) {
    ok = 1;
  } else {
#ifdef __MINGW32__
    ok = localtime_s(&t, &stamp) == 0;
#else
    ok = localtime_r(&stamp, &t) != NULL;
#endif
  }
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
  if (d->image) libraw_dcraw_clear_mem(d->image);
  d->image = NULL;
  free(d->reduced);
  d->reduced = NULL;
  d->rows = d->columns = d->samples = 0;
}

int32_t RAWDEC_CALL RawDecoderOpen(const uint8_t* data, uint32_t size, RawDecoderInfo* info, RawDecoder** out) {
  RawDecoder* d;
  libraw_data_t* lr;
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
  ret = libraw_open_buffer(lr, (void*)data, size);
  if (ret != LIBRAW_SUCCESS) {
    RawDecoderClose(d);
    return FromLibRaw(ret);
  }
  CopyText(info->make, lr->idata.make, sizeof info->make);
  CopyText(info->model, lr->idata.model, sizeof info->model);
  CopyText(info->description, lr->other.desc, sizeof info->description);
  CopyText(info->artist, lr->other.artist, sizeof info->artist);
  CaptureTime(data, size, lr->other.timestamp, info);
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

/* Averages each 4x4 block of the half-size rows into one pixel (the one-eighth size). */
static int32_t ReduceBlocks(RawDecoder* d) {
  const libraw_processed_image_t* img = d->image;
  const uint32_t w = img->width, h = img->height, s = img->colors;
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
          for (x = c * 4; x < x1; ++x, ++n) sum += img->data[((size_t)y * w + x) * s + k];
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
  int ret, err = 0;
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
  d->image = libraw_dcraw_make_mem_image(d->lr, &err);
  if (!d->image) return err == LIBRAW_UNSUFFICIENT_MEMORY ? RAWDEC_NO_MEMORY : RAWDEC_FAILED;
  if (d->image->type != LIBRAW_IMAGE_BITMAP || d->image->bits != 8 ||
      (d->image->colors != 1 && d->image->colors != 3) || !d->image->width || !d->image->height) {
    FreeOutput(d);
    return RAWDEC_FAILED;
  }
  d->rows = d->image->height;
  d->columns = d->image->width;
  d->samples = d->image->colors;
  /* Sensors without a colour filter array were not halved, so they keep their full size. */
  if (mode == 3 && d->filters) {
    ret = ReduceBlocks(d);
    if (ret != RAWDEC_OK) {
      FreeOutput(d);
      return ret;
    }
    libraw_dcraw_clear_mem(d->image);
    d->image = NULL;
  }
  image->rows = d->rows;
  image->columns = d->columns;
  image->samples = d->samples;
  image->hasProfile = !(d->lr->rawdata.ioparams.raw_color || d->samples == 1);
  return RAWDEC_OK;
}

int32_t RAWDEC_CALL RawDecoderCopyRows(RawDecoder* d, uint8_t* dest, uint32_t destSize) {
  uint64_t bytes;
  if (!d || !dest || (!d->image && !d->reduced)) return RAWDEC_FAILED;
  bytes = (uint64_t)d->rows * d->columns * d->samples;
  if (bytes > destSize) return RAWDEC_FAILED;
  memcpy(dest, d->reduced ? d->reduced : d->image->data, (size_t)bytes);
  return RAWDEC_OK;
}

void RAWDEC_CALL RawDecoderClose(RawDecoder* d) {
  if (!d) return;
  FreeOutput(d);
  if (d->lr) libraw_close(d->lr);
  free(d);
}
