// GDI+ started for a test that reads pictures back, as the program keeps it for its whole run.
#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace testsupport {

// Started for as long as the object lives.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

// Started for every test of the program: ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment).
class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

 private:
  ULONG_PTR token_ = 0;
};

// The encoder GDI+ lists for a MIME type ("image/jpeg").
bool EncoderFor(const wchar_t* mime, CLSID* out);
// The picture as that encoder writes it.
std::vector<uint8_t> EncodedBytes(Gdiplus::Image& image, const CLSID& encoder);

}  // namespace testsupport
