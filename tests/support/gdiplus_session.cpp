#include "support/gdiplus_session.h"

namespace testsupport {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (ok_) Gdiplus::GdiplusShutdown(token_);
}

void GdiplusEnvironment::SetUp() {
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

void GdiplusEnvironment::TearDown() { Gdiplus::GdiplusShutdown(token_); }

}  // namespace testsupport
