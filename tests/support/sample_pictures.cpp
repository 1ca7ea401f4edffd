#include "support/sample_pictures.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace testsupport {

const wchar_t kExifFolder[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\";
const wchar_t kExifSamples[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
const wchar_t* const kDatedSamples[3] = {
    L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg",
    L"2006-08-03-16-29-38-sep-2006-08-03-16-29-38a.jpg",
    L"2006-11-11-19-17-56-sep-2006-11-11-19-17-56a.jpg",
};

bool CopyDatedSamples(const ScratchDir& photos, int count) {
  const wchar_t* const names[] = {L"a.jpg", L"b.jpg", L"c.jpg"};
  for (int k = 0; k < count && k < 3; ++k)
    if (!CopyFileW((std::wstring(kExifSamples) + kDatedSamples[k]).c_str(), photos.File(names[k]).c_str(), FALSE)) {
      ADD_FAILURE() << "could not copy " << testing::PrintToString(std::wstring(kDatedSamples[k]))
                    << " (golang-github-rwcarlsen-goexif-dev)";
      return false;
    }
  return true;
}

}  // namespace testsupport
