#include "viewer/pure/viewer_geometry.h"

#include <cstdio>

namespace {

void Widen(const char* text, char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return;
  size_t i = 0;
  for (; text[i] && i + 1 < capacity; ++i) out[i] = static_cast<unsigned char>(text[i]);
  out[i] = 0;
}

// Appends UTF-16 text; returns the new length (never past capacity - 1).
size_t Append(char16_t* out, size_t capacity, size_t len, const char16_t* text) {
  if (!text) return len;
  while (*text && len + 1 < capacity) out[len++] = *text++;
  out[len] = 0;
  return len;
}

bool Empty(const char16_t* t) { return !t || !t[0]; }

}  // namespace

PaneRect FitPictureRect(float pictureW, float pictureH, int32_t paneW, int32_t paneH) {
  PaneRect r{0, 0, 0, 0};
  if (!(pictureW > 0.0f) || !(pictureH > 0.0f) || paneW <= 0 || paneH <= 0) return r;
  const float rx = pictureW / static_cast<float>(paneW);
  const float ry = pictureH / static_cast<float>(paneH);
  if (ry > rx) {
    r.w = static_cast<int32_t>(static_cast<float>(paneW) * (rx / ry));
    r.h = paneH;
    r.x = (paneW - r.w) / 2;
  } else {
    r.w = paneW;
    r.h = static_cast<int32_t>(static_cast<float>(paneH) * (ry / rx));
    r.y = (paneH - r.h) / 2;
  }
  return r;
}

int32_t ClampZoomStep(int32_t baseStep, int32_t* offset) {
  int32_t o = *offset;
  if (o < kZoomStepMin - baseStep) o = kZoomStepMin - baseStep;
  if (o > kZoomStepMax - baseStep) o = kZoomStepMax - baseStep;
  *offset = o;
  int32_t step = baseStep + o;
  if (step < kZoomStepMin) step = kZoomStepMin;
  if (step > kZoomStepMax) step = kZoomStepMax;
  return step;
}

float ZoomFactorOfStep(int32_t step, bool doubled) {
  float f = static_cast<float>(step) * 0.1f;
  return doubled ? f * 2.0f : f;
}

ZoomAxis ComputeZoomAxis(int32_t picture, int32_t pane, int32_t reduction, float factor, float* centre,
                         float panDelta) {
  ZoomAxis a{0, 0, 0, pane};
  if (reduction < 1) reduction = 1;
  if (!(factor > 0.0f) || pane <= 0) return a;
  a.window = static_cast<int32_t>(static_cast<float>(pane) / (static_cast<float>(reduction) * factor));
  if (picture < a.window || picture < pane) {
    a.start = (picture - a.window) / 2;
  } else {
    float c = *centre + panDelta / static_cast<float>(reduction);
    const float half = static_cast<float>(a.window) / 2.0f;
    if (c < half) c = half;
    if (c > static_cast<float>(picture) - half) c = static_cast<float>(picture) - half;
    *centre = c;
    int32_t s = static_cast<int32_t>(c - half);
    if (s > picture - a.window) s = picture - a.window;
    if (s < 0) s = 0;
    a.start = s;
  }
  // The margins are in screen pixels: one source pixel covers reduction x factor of them.
  if (a.start < 0) {
    const float scale = static_cast<float>(reduction) * factor;
    a.outPos = static_cast<int32_t>(static_cast<float>(-a.start) * scale);
    a.outSize = pane + static_cast<int32_t>(static_cast<float>(a.start) * scale * 2.0f);
  }
  return a;
}

void LoupeSourcePoint(const PaneRect& fitted, float pictureW, float pictureH, int32_t cx, int32_t cy, int32_t* sx,
                      int32_t* sy) {
  *sx = fitted.w > 0 ? static_cast<int32_t>(static_cast<float>(cx - fitted.x) * pictureW / static_cast<float>(fitted.w)) : 0;
  *sy = fitted.h > 0 ? static_cast<int32_t>(static_cast<float>(cy - fitted.y) * pictureH / static_cast<float>(fitted.h)) : 0;
}

void FormatZoomStatusText(float factor, char16_t* out, size_t capacity) {
  char number[32];
  std::snprintf(number, sizeof number, "%0.2f", static_cast<double>(factor));
  size_t len = Append(out, capacity, 0, u"\tZOOM \u00D7");
  char16_t wide[32];
  Widen(number, wide, 32);
  Append(out, capacity, len, wide);
}

void FormatBrightnessText(int32_t preview, char16_t* out, size_t capacity) {
  char text[32];
  const double ev = static_cast<double>(static_cast<float>(preview) / 96.0f);
  std::snprintf(text, sizeof text, preview > 0 ? "Ev:+%1.1f" : "Ev:%1.1f", ev);
  Widen(text, out, capacity);
}

void FormatInfoLineText(const InfoLineFields& f, char16_t* out, size_t capacity) {
  if (!out || capacity == 0) return;
  // "File : %s  %s%s  %s%s\n%s  %s%s  %s  %s  %s%s  %s%s  %s  %s%s\n%s%s"
  size_t n = 0;
  out[0] = 0;
  auto put = [&](const char16_t* t) { n = Append(out, capacity, n, t); };
  auto labelled = [&](const char16_t* label, const char16_t* value) {
    put(Empty(value) ? u"" : label);
    put(value);
  };
  put(u"File : ");
  put(f.name);
  put(u"  ");
  put(f.pixelSize);
  put(Empty(f.pixelSize) ? u"" : u" Pixel");
  put(u"  ");
  labelled(u"Date : ", f.date);
  put(u"\n");
  put(f.model);
  put(u"  ");
  put(f.exposure);
  put(Empty(f.exposure) ? u"" : u"(sec)");
  put(u"  ");
  put(f.fNumber);
  put(u"  ");
  put(f.program);
  put(u"  ");
  labelled(u"ISO", f.iso);
  put(u"  ");
  labelled(u"Ev", f.bias);
  put(u"  ");
  put(f.focal);
  put(u"  ");
  labelled(u"Flash : ", f.flash);
  put(u"\n");
  labelled(u"Lens : ", f.lens);
}

int32_t GridLinePositions(int32_t size, int32_t* out, int32_t capacity) {
  if (size <= 0) return 0;
  int32_t count = 0;
  for (int32_t i = 0; i <= size / 64 && count < capacity; ++i) out[count++] = (size % 64) / 2 + 64 * i;
  return count;
}

int32_t NextPrefetchRadius(int32_t n, uint64_t availablePhysical, uint64_t pressureLimit, int32_t panes,
                           int32_t prefetchLevel) {
  if (availablePhysical < pressureLimit) {
    n -= 1;
    if (n < panes / 2) {
      n = panes / 2;
    } else if (n > 10) {
      n = 10;
    }
    if (n == 0) n = 1;
  } else if (availablePhysical >= (4ull << 30) || availablePhysical > 0x20000000ull) {
    if (n < prefetchLevel + panes + 1) n += 1;
  }
  return n;
}
