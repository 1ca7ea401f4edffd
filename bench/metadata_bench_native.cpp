// Files per second for the full metadata dump of every file in a folder (default: the goexif samples).
// Each pass opens and reads the files again, as the list thread does.
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "metadata/pure/metadata_reader.h"

namespace {

class StdioByteSource : public ByteSource {
 public:
  explicit StdioByteSource(FILE* f) : f_(f) {
    fseek(f_, 0, SEEK_END);
    size_ = static_cast<uint64_t>(ftell(f_));
  }
  size_t ReadAt(uint64_t offset, uint8_t* dst, size_t n) override {
    if (offset >= size_ || fseek(f_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return fread(dst, 1, n, f_);
  }
  uint64_t Size() override { return size_; }

 private:
  FILE* f_;
  uint64_t size_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "/usr/share/gocode/src/github.com/rwcarlsen/goexif/exif/samples";
  double seconds = argc > 2 ? atof(argv[2]) : 3.0;
  std::vector<std::string> files;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') files.push_back(dir + "/" + e->d_name);
    closedir(d);
  }
  if (files.empty()) {
    fprintf(stderr, "no files in %s\n", dir.c_str());
    return 1;
  }
  static char text[kMetadataTextSize];
  long long done = 0, ok = 0;
  auto start = std::chrono::steady_clock::now();
  double elapsed = 0;
  while (elapsed < seconds) {
    for (const std::string& path : files) {
      FILE* f = fopen(path.c_str(), "rb");
      if (!f) continue;
      StdioByteSource src(f);
      TextBuffer out(text, sizeof text);
      ok += DumpMetadataText(src, path.c_str(), out);
      fclose(f);
      ++done;
    }
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  printf("metadata dump (native): %lld files in %.2f s = %.0f files/s (%lld with metadata)\n", done, elapsed,
         done / elapsed, ok);
  return 0;
}
