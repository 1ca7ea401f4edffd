// Real camera files (the goexif package's samples) against ExifTool's reading of the same bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "metadata/pure/metadata_reader.h"

namespace {

#ifndef _WIN32
using Bytes = std::vector<uint8_t>;
using Record = std::map<std::string, std::string>;

std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

std::vector<std::string> PackageFiles(const std::string& part) {
  std::vector<std::string> files;
  std::string list = RunCommand("dpkg -L golang-github-rwcarlsen-goexif-dev 2>/dev/null");
  size_t at = 0;
  while (at < list.size()) {
    size_t end = list.find('\n', at);
    if (end == std::string::npos) end = list.size();
    std::string line = list.substr(at, end - at);
    at = end + 1;
    if (line.find(part) != std::string::npos && line.size() > 4 &&
        (line.compare(line.size() - 4, 4, ".jpg") == 0))
      files.push_back(line);
  }
  return files;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The samples are cut short after their metadata; ExifTool refuses such JPEGs, so it gets the whole
// segments before the cut (or the scan) followed by EOI.
Bytes WholeSegments(const Bytes& file) {
  Bytes out(file.begin(), file.begin() + 2);
  size_t pos = 2;
  while (pos + 4 <= file.size() && file[pos] == 0xFF && file[pos + 1] != 0xDA) {
    size_t length = size_t(file[pos + 2]) << 8 | file[pos + 3];
    if (length < 2 || pos + 2 + length > file.size()) break;
    out.insert(out.end(), file.begin() + pos, file.begin() + pos + 2 + length);
    pos += 2 + length;
  }
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

// ExifTool's -j output: an array of flat objects with string or number values.
std::vector<Record> ParseJson(const std::string& s) {
  std::vector<Record> records;
  size_t i = 0;
  auto skip = [&] { while (i < s.size() && isspace(static_cast<unsigned char>(s[i]))) ++i; };
  auto string = [&] {
    std::string v;
    ++i;
    while (i < s.size() && s[i] != '"') {
      if (s[i] == '\\' && i + 1 < s.size()) ++i;
      v += s[i++];
    }
    ++i;
    return v;
  };
  skip();
  if (i >= s.size() || s[i] != '[') return records;
  ++i;
  for (;;) {
    skip();
    if (i >= s.size() || s[i] != '{') break;
    ++i;
    Record r;
    for (;;) {
      skip();
      if (i < s.size() && s[i] == '}') { ++i; break; }
      if (i >= s.size() || s[i] != '"') return records;
      std::string key = string();
      skip();
      ++i;  // ':'
      skip();
      std::string value;
      if (i < s.size() && s[i] == '"') value = string();
      else while (i < s.size() && s[i] != ',' && s[i] != '}' && !isspace(static_cast<unsigned char>(s[i]))) value += s[i++];
      r[key] = value;
      skip();
      if (i < s.size() && s[i] == ',') ++i;
    }
    records.push_back(r);
    skip();
    if (i < s.size() && s[i] == ',') ++i;
  }
  return records;
}

std::string Line(const std::string& text, const std::string& key) {
  size_t at = text.find("\n" + key + "\t");
  if (at == std::string::npos) return std::string();
  at += key.size() + 2;
  return text.substr(at, text.find('\n', at) - at);
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == 0)) s.pop_back();
  return s;
}

double Number(const std::string& s) {
  if (s.rfind("1/", 0) == 0) return 1.0 / atof(s.c_str() + 2);
  return atof(s.c_str() + (s.rfind("F", 0) == 0 ? 1 : 0));
}

bool Near(double ours, double theirs, double relative, double absolute) {
  return std::fabs(ours - theirs) <= absolute + relative * std::fabs(theirs);
}

TEST(MetadataSamples, AgreeWithExifTool) {
  std::vector<std::string> files = PackageFiles("/exif/samples/");
  for (const std::string& f : PackageFiles("/exif/sample1.jpg")) files.push_back(f);
  ASSERT_GE(files.size(), 50u) << "golang-github-rwcarlsen-goexif-dev is not installed";
  ASSERT_NE(RunCommand("exiftool -ver"), "") << "exiftool is not installed";

  char dirTemplate[] = "/tmp/brn-samples-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  std::map<std::string, Bytes> contents;
  for (size_t i = 0; i < files.size(); ++i) {
    std::string copy = dir + "/" + std::to_string(i) + ".jpg";
    Bytes bytes = ReadFile(files[i]);
    Bytes whole = WholeSegments(bytes);
    std::ofstream(copy, std::ios::binary).write(reinterpret_cast<const char*>(whole.data()), whole.size());
    contents[copy] = bytes;
  }
  std::string json = RunCommand(
      "exiftool -j -n -G1 -q -q -IFD0:Make -IFD0:Model -ExifIFD:DateTimeOriginal -ExifIFD:ExposureTime "
      "-ExifIFD:FNumber -ExifIFD:ISO -ExifIFD:FocalLength -IFD0:Orientation -GPS:GPSLatitude -GPS:GPSLongitude "
      "-GPS:GPSLatitudeRef -GPS:GPSLongitudeRef -Canon:LensType -Canon:MaxFocalLength -Canon:MinFocalLength "
      "-Canon:FocalUnits -Nikon:LensType -Nikon:Lens -PreviewIFD:PreviewImageStart -Olympus:PreviewImageStart " +
      dir + "/*.jpg 2>/dev/null");
  RunCommand("rm -rf " + dir);
  std::vector<Record> records = ParseJson(json);
  ASSERT_EQ(records.size(), files.size());

  int compared = 0;
  static char dump[kMetadataTextSize], summary[kMetadataTextSize];
  for (Record& et : records) {
    const Bytes& bytes = contents[et["SourceFile"]];
    MemoryByteSource src(bytes.data(), bytes.size());
    TextBuffer out(dump, sizeof dump);
    EXPECT_TRUE(DumpMetadataText(src, "x", out)) << et["SourceFile"];
    const std::string full = dump;
    // The Exif lines only: a maker note may repeat a key ("ISO").
    std::string text = dump;
    for (size_t a; (a = text.find("\n<---MakerNote start")) != std::string::npos;) {
      size_t b = text.find("<---MakerNote end --->\n", a);
      text.erase(a, b == std::string::npos ? std::string::npos : b + 23 - a);
    }
    TextBuffer sum(summary, sizeof summary);
    GpsPosition gps{};
    ReadExifSummaryText(src, sum, gps);
    const std::string name = et["SourceFile"] + " (" + et["IFD0:Make"] + " " + et["IFD0:Model"] + ")";

    auto same = [&](const char* key, const char* ours, auto check) {
      auto it = et.find(key);
      std::string mine = Line(text, ours);
      if (it == et.end()) {
        EXPECT_EQ(mine, "") << name << " " << key;
        return;
      }
      ++compared;
      EXPECT_TRUE(check(mine, it->second)) << name << " " << key << ": ours \"" << mine << "\", ExifTool \""
                                           << it->second << "\"";
    };
    auto text_eq = [](const std::string& a, const std::string& b) { return TrimRight(a) == TrimRight(b); };
    same("IFD0:Make", "Maker", text_eq);
    same("IFD0:Model", "Model", text_eq);
    same("ExifIFD:DateTimeOriginal", "DateTime", text_eq);
    same("ExifIFD:ExposureTime", "ExposureTime",
         [](const std::string& a, const std::string& b) {
           // "1/%0.0f" rounds the divisor to a whole number.
           if (a.rfind("1/", 0) == 0) return Near(atof(a.c_str() + 2), 1 / atof(b.c_str()), 0.01, 0.5);
           return Near(Number(a), atof(b.c_str()), 0.01, 0.05);
         });
    same("ExifIFD:FNumber", "FNumber",
         [](const std::string& a, const std::string& b) { return Near(Number(a), atof(b.c_str()), 0, 0.051); });
    same("ExifIFD:ISO", "ISO", [](const std::string& a, const std::string& b) { return atoi(a.c_str()) == atoi(b.c_str()); });
    same("ExifIFD:FocalLength", "FocalLength",
         [](const std::string& a, const std::string& b) { return Near(atof(a.c_str()), atof(b.c_str()), 0, 0.5); });
    same("IFD0:Orientation", "Direction", [](const std::string& a, const std::string& b) { return a == b; });
    // Maker notes: the lens codes and preview positions ExifTool finds.
    auto note = [&](const char* key, const char* ours, auto expected) {
      if (!et.count(key)) return;
      ++compared;
      EXPECT_EQ(Line(full, ours), expected(et[key])) << name << " " << key;
    };
    auto same_text = [](const std::string& v) { return v; };
    auto times_units = [&](const std::string& v) {
      return std::to_string(lround(atof(v.c_str()) * atof(et["Canon:FocalUnits"].c_str())));
    };
    note("Canon:LensType", "Lex3", same_text);
    note("Canon:MaxFocalLength", "Lex2", times_units);
    note("Canon:MinFocalLength", "Lex1", times_units);
    note("Nikon:LensType", "Lex1", [](const std::string& v) { return std::string(1, char('A' + atoi(v.c_str()))); });
    note("PreviewIFD:PreviewImageStart", "cg3ofs", same_text);
    note("Olympus:PreviewImageStart", "cg4ofs", same_text);
    if (et.count("Nikon:Lens")) {
      // "18 70 3.5 4.5" against "18-70mm F3.5-4.5": the same numbers, a repeated one written once.
      ++compared;
      double f[4] = {};
      sscanf(et["Nikon:Lens"].c_str(), "%lf %lf %lf %lf", &f[0], &f[1], &f[2], &f[3]);
      std::vector<double> want = {f[0]};
      if (f[1] != f[0]) want.push_back(f[1]);
      want.push_back(f[2]);
      if (f[3] != f[2]) want.push_back(f[3]);
      std::vector<double> got;
      std::string lens = Line(full, "Lens");
      for (const char* p = lens.c_str(); *p;) {
        if (isdigit(static_cast<unsigned char>(*p))) got.push_back(strtod(p, const_cast<char**>(&p)));
        else ++p;
      }
      ASSERT_EQ(got.size(), want.size()) << name << " " << lens;
      for (size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], want[k], 0.05) << name << " " << lens;
    }

    // Degrees written as text ("52,00000,50,...") instead of rationals are not read.
    // (our summary then shows the latitude tag with an empty value).
    bool latitudeAsText = std::string(summary).find("2\t\n\n\t\n") != std::string::npos;
    if (et.count("GPS:GPSLatitude") && !latitudeAsText) {
      ++compared;
      EXPECT_NEAR(gps.latitude, atof(et["GPS:GPSLatitude"].c_str()), 1e-6) << name;
      EXPECT_NEAR(gps.longitude, atof(et["GPS:GPSLongitude"].c_str()), 1e-6) << name;
      EXPECT_EQ(gps.south, et["GPS:GPSLatitudeRef"] == "S" ? 1 : 0) << name;
      EXPECT_EQ(gps.west, et["GPS:GPSLongitudeRef"] == "W" ? 1 : 0) << name;
    } else {
      EXPECT_EQ(gps.latitude, 0) << name;
    }
  }
  EXPECT_GT(compared, 300);
  printf("compared %d values of %zu files\n", compared, records.size());
}

TEST(MetadataSamples, CorruptFilesEndCleanly) {
  std::vector<std::string> files = PackageFiles("/exif/corrupt/");
  ASSERT_EQ(files.size(), 3u);
  static char dump[kMetadataTextSize];
  for (const std::string& f : files) {
    Bytes bytes = ReadFile(f);
    MemoryByteSource src(bytes.data(), bytes.size());
    TextBuffer out(dump, sizeof dump);
    DumpMetadataText(src, "x", out);
    std::string text = dump;
    EXPECT_EQ(text.size(), out.length) << f;
    // Each directory is walked once: the looping file gives each section at most once.
    size_t first = text.find("<---2nd IFD start");
    EXPECT_TRUE(first == std::string::npos || text.find("<---2nd IFD start", first + 1) == std::string::npos) << f;
    EXPECT_LT(text.size(), 2000u) << f;
  }
}
#else
TEST(MetadataSamples, NativeOnly) { GTEST_SKIP() << "ExifTool and the sample package are read by the native run"; }
#endif

}  // namespace
