// The information fill on the real camera JPEGs of the goexif package, read by our metadata
// reader. Oracles that need no other tool: the shooting time is in each sample's file name,
// the orientation value must sit at the reported offset, and thumbnails must start a JPEG.
#include <gtest/gtest.h>

#if __has_include("metadata/pure/metadata_reader.h") && !defined(_WIN32)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "metadata/pure/camera_models.h"
#include "metadata/pure/image_info.h"
#include "metadata/pure/metadata_lookup.h"
#include "metadata/pure/metadata_reader.h"

namespace {

std::vector<std::string> SampleJpegs() {
  std::vector<std::string> files;
  FILE* list = popen("dpkg -L golang-github-rwcarlsen-goexif-dev 2>/dev/null", "r");
  if (!list) return files;
  char line[1024];
  while (fgets(line, sizeof line, list)) {
    std::string path(line);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0 && path.find("/samples/") != std::string::npos)
      files.push_back(path);
  }
  pclose(list);
  return files;
}

// The reader's text is multibyte; the samples' values are ASCII, anything else is marked.
std::u16string Widen(const char* text) {
  std::u16string wide;
  for (const char* p = text; *p; ++p) wide += static_cast<unsigned char>(*p) < 0x80 ? char16_t(*p) : u'?';
  return wide;
}

// "2004-01-11-22-45-15-sep-..." holds the sample's shooting time.
std::u16string DateFromName(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  if (name.size() < 19 || name[4] != '-' || name[13] != '-') return u"";
  std::string date = name.substr(0, 4) + "/" + name.substr(5, 2) + "/" + name.substr(8, 2) + " " +
                     name.substr(11, 2) + ":" + name.substr(14, 2) + ":" + name.substr(17, 2);
  return Widen(date.c_str());
}

TEST(ImageInfoSamples, FillFromRealCameraFiles) {
  BuildCameraModelIndex();
  std::vector<std::string> files = SampleJpegs();
  if (files.empty()) GTEST_SKIP() << "goexif samples not installed";
  int dated = 0, oriented = 0, thumbs = 0, models = 0;
  for (const std::string& path : files) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static char dump[kMetadataTextSize];
    TextBuffer out(dump, sizeof dump);
    MemoryByteSource source(bytes.data(), bytes.size());
    if (!DumpMetadataText(source, path.c_str(), out)) continue;
    std::u16string text = Widen(dump);

    ImageInfo info{};
    info.fileTypeFlag = kFileTypeJpg;
    info.fileSize = static_cast<uint32_t>(bytes.size());
    FillImageInfoRecord(info, &text[0], false);
    FillImageInfoTexts(info, text.c_str(), nullptr);
    SCOPED_TRACE(path);

    char16_t model[32];
    bool hasModel = GetDumpValueTrimmed(text.c_str(), u"Model", model, 32) && model[0];
    EXPECT_EQ(info.modelRow, hasModel ? 7 : 6);  // a JPEG with a model is the JPEG row
    models += hasModel;
    EXPECT_EQ(std::u16string(info.fileTypeName), u"JPG");

    std::u16string date = DateFromName(path);
    if (!date.empty() && date.compare(0, 2, u"20") == 0 && info.dateTime[0]) {
      EXPECT_EQ(std::u16string(info.dateTime), date);
      ++dated;
    }
    if (info.orientationByteOrder) {
      // Lossless rotation writes the 16-bit value here: it must be the value read.
      ASSERT_LE(static_cast<size_t>(info.orientationOffset) + 2, bytes.size());
      const uint8_t* at = &bytes[info.orientationOffset];
      int value = info.orientationByteOrder == 2 ? (at[0] << 8 | at[1]) : (at[1] << 8 | at[0]);
      EXPECT_EQ(value, info.orientation);
      ++oriented;
    }
    if (info.thumbSize > 0 && info.thumbOffset > 0 &&
        static_cast<size_t>(info.thumbOffset) + info.thumbSize <= bytes.size()) {
      EXPECT_EQ(bytes[info.thumbOffset], 0xFF);
      EXPECT_EQ(bytes[info.thumbOffset + 1], 0xD8);
      ++thumbs;
    }
  }
  // The package's samples: most carry a model, a dated name, an orientation and a thumbnail.
  EXPECT_GT(models, 40);
  EXPECT_GT(dated, 30);
  EXPECT_GT(oriented, 30);
  EXPECT_GT(thumbs, 20);
  printf("samples: %zu files, %d models, %d dates, %d orientations, %d thumbnails checked\n", files.size(), models,
         dated, oriented, thumbs);
}

}  // namespace
#else
TEST(ImageInfoSamples, FillFromRealCameraFiles) { GTEST_SKIP() << "needs the metadata reader and the host's samples"; }
#endif
