#include "core/status_counters.h"

#include <cwchar>

#include "core/app_globals.h"

int32_t g_statusPartEdges[kStatusPartCount];
volatile int32_t g_copyCount = 0, g_moveCount = 0, g_deleteCount = 0;

void SetStatusPartText(int part, const wchar_t* text) {
  if (part < 0 || part >= kStatusPartCount || !g_statusTexts) return;
  wchar_t* pending = g_statusTexts + part * kStatusPartChars;
  wcsncpy(pending, text, kStatusPartChars - 1);
  pending[kStatusPartChars - 1] = 0;
}
