// Arbitrary bytes as AU and Docomo logs, GPX fields, GPS summaries and map positions: no read
// outside the buffers, no overflow in the time arithmetic.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "metadata/pure/gps_log.h"
#include "metadata/pure/gps_tags.h"
#include "metadata/pure/map_site.h"

namespace {
struct Sink {
  GpsPointTable table;
  int64_t shot;
};
void Offer(void* context, const GpsPoint& p) {
  Sink* s = static_cast<Sink*>(context);
  OfferGpsPoint(s->table, s->shot, 999, p);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exact-size copies, so a read one byte past the end is caught.
  std::vector<uint8_t> bytes(data, data + size);
  std::vector<GpsPoint> slots(kGpsPointLimit);
  Sink sink{{slots.data(), 0}, 0};
  std::u16string wide(size / 2, u'\0');
  if (size >= 2) std::memcpy(&wide[0], data, wide.size() * 2);
  if (!ParseGpsShootingTime(wide.c_str(), &sink.shot)) sink.shot = GpsWallClockSeconds(2013, 5, 3, 10, 2, 3);

  ParseAuTxtLog(bytes.empty() ? nullptr : bytes.data(), bytes.size(), Offer, &sink);
  ParseDocomoCsvLog(bytes.empty() ? nullptr : bytes.data(), bytes.size(), Offer, &sink);
  GpsPoint chosen;
  if (ChooseNearestGpsPoint(sink.table, sink.shot, 999, &chosen)) {
    char address[512];
    for (int site = 0; site < 4; ++site) BuildMapSiteAddress(site, chosen.latitude, chosen.longitude, address, sizeof address);
  }

  std::vector<char16_t> units(wide.begin(), wide.end());
  int64_t t;
  double v;
  ParseGpxTime(units.empty() ? nullptr : units.data(), units.size(), 12, &t);
  ParseDecimalNumber(units.empty() ? nullptr : units.data(), units.size(), &v);
  ParseDecimalNumber(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &v);
  ParseGpsSummaryRows(wide);

  if (size >= 16) {
    GpsPosition p{};
    std::memcpy(&p.latitude, data, 8);
    std::memcpy(&p.longitude, data + 8, 8);
    p.south = data[0] & 1;
    p.datum = static_cast<int8_t>(data[1]) % 2;
    ComputeGpsDatums(&p);
    char address[64];
    BuildMapSiteAddress(data[2] % 3, p.wgsLatitude, p.wgsLongitude, address, sizeof address);
  }
  return 0;
}
