#pragma once
// Synthetic colour-filter-array DNG files for RAW development tests (RGGB, 12-bit, uncompressed).
#include <cstdint>
#include <string>
#include <vector>

namespace brn_test {

struct SyntheticDng {
  uint32_t width = 64, height = 48;
  uint16_t orientation = 1;
  bool colorMatrix = true;  // without one the decoder keeps raw camera colour
  bool gps = false;
  bool monochrome = false;  // a linear single-channel image instead of the colour filter array
  bool pixels = true;
  uint32_t defaultScale[4] = {1, 1, 1, 1};  // horizontal and vertical rationals: pixel aspect       // false: directories only, as in a truncated file
  std::string make = "Synthetica", model = "Sensor Board", description = "test scene", artist = "Tester";
  std::string dateTime = "2021:03:04 05:06:07";
  uint32_t exposure[2] = {1, 250}, fnumber[2] = {56, 10}, focal[2] = {50, 1};
  uint16_t iso = 400;
  // GPS values written when gps is set.
  char latitudeRef = 'N', longitudeRef = 'E';
  uint8_t altitudeRef = 0;
  uint32_t latitude[6] = {35, 1, 39, 1, 2912, 100}, longitude[6] = {139, 1, 44, 1, 3000, 100};
  uint32_t altitude[2] = {405, 10}, gpsTime[6] = {5, 1, 6, 1, 7, 1};
  std::string mapDatum = "WGS-84", gpsDate = "2021:03:04";
};

// Left half of the scene warm and bright, right half blue and dark.
std::vector<uint8_t> MakeSyntheticDng(const SyntheticDng& shot);

// A high-speed camera frame file (the "CI" format, 16-bit Bayer) whose capture time is a binary
// count of seconds since 1970 (the camera's clock), not a date text.
std::vector<uint8_t> MakeSyntheticCine(uint32_t width, uint32_t height, uint32_t seconds);

// A Foveon X3F file (three colours at every site): header, a property list (maker, model,
// capture time as seconds), a 10-bit raw image section in its uncompressed form (column
// differences through a table) and the directory at the end; the scene as MakeSyntheticDng's.
std::vector<uint8_t> MakeSyntheticX3f(uint32_t width, uint32_t height, uint32_t seconds);


}  // namespace brn_test
