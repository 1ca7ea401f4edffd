#include "metadata/gps_estimate.h"

#include <msxml2.h>
#include <shellapi.h>

#include <cwchar>
#include <new>

#include "core/memory.h"
#include "core/path_utils.h"
#include "core/settings.h"

int64_t GpsShootingTime = 0;
GpsPointTable g_gpsPointTable;
HINSTANCE(WINAPI* g_shellExecuteFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) = ShellExecuteW;

namespace {

// MSXML 3.0's document object.
const CLSID kDomDocument30 = {0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
const IID kIXMLDOMDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIXMLDOMElement = {0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
// A log larger than this is no location log of a phone or a track of a day.
constexpr uint32_t kMaxLogBytes = 256u << 20;

void Offer(void*, const GpsPoint& p) { AddGpsPoint(p.time, p.latitude, p.longitude); }

// Reads the whole file into a global block and hands it to the parser; a file that cannot be
// opened, allocated or read whole contributes nothing.
void LoadTextLog(const wchar_t* path, void (*parse)(const uint8_t*, size_t, GpsPointSink, void*)) {
  if (!path) return;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxLogBytes) {
    const uint32_t bytes = static_cast<uint32_t>(size.QuadPart);
    if (HGLOBAL block = AllocGlobal(GMEM_FIXED, bytes)) {
      uint8_t* data = static_cast<uint8_t*>(static_cast<void*>(block));
      DWORD got = 0;
      if (ReadFile(file, data, bytes, &got, nullptr) && got == bytes) parse(data, bytes, Offer, nullptr);
      FreeGlobal(block);
    }
  }
  CloseHandle(file);
}

template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// The named attribute's text, false when it is missing.
bool AttributeNumber(IXMLDOMElement* element, const wchar_t* name, double* value) {
  BSTR key = SysAllocString(name);
  VARIANT v;
  VariantInit(&v);
  bool ok = key && element->getAttribute(key, &v) == S_OK && v.vt == VT_BSTR && v.bstrVal &&
            ParseDecimalNumber(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal), value);
  VariantClear(&v);
  SysFreeString(key);
  return ok;
}

// The text of the first "time" element inside the point, on the wall-clock scale.
bool PointTime(IXMLDOMElement* point, int64_t* time) {
  BSTR tag = SysAllocString(L"time");
  IXMLDOMNodeList* times = nullptr;
  IXMLDOMNode* first = nullptr;
  BSTR text = nullptr;
  bool ok = tag && point->getElementsByTagName(tag, &times) == S_OK && times &&
            times->get_item(0, &first) == S_OK && first && first->get_text(&text) == S_OK && text &&
            ParseGpxTime(reinterpret_cast<const char16_t*>(text), SysStringLen(text), g_settings.gpsUtcOffsetHours,
                         time);
  SysFreeString(text);
  Release(first);
  Release(times);
  SysFreeString(tag);
  return ok;
}

void LoadPointsOfSegment(IXMLDOMNode* segmentNode) {
  IXMLDOMElement* segment = nullptr;
  if (segmentNode->QueryInterface(kIXMLDOMElement, reinterpret_cast<void**>(&segment)) != S_OK) return;
  BSTR tag = SysAllocString(L"trkpt");
  IXMLDOMNodeList* points = nullptr;
  long count = 0;
  if (tag && segment->getElementsByTagName(tag, &points) == S_OK && points && points->get_length(&count) == S_OK) {
    for (long i = 0; i < count; ++i) {
      IXMLDOMNode* node = nullptr;
      IXMLDOMElement* point = nullptr;
      if (points->get_item(i, &node) == S_OK && node &&
          node->QueryInterface(kIXMLDOMElement, reinterpret_cast<void**>(&point)) == S_OK) {
        int64_t time;
        double latitude, longitude;
        // A point without a time or a coordinate contributes nothing.
        if (PointTime(point, &time) && AttributeNumber(point, L"lat", &latitude) &&
            AttributeNumber(point, L"lon", &longitude))
          AddGpsPoint(time, latitude, longitude);
      }
      Release(point);
      Release(node);
    }
  }
  Release(points);
  SysFreeString(tag);
  Release(segment);
}

void LoadMatchingFiles(const wchar_t* folder, const wchar_t* extension, void (*load)(const wchar_t*)) {
  wchar_t mask[16], pattern[260];
  if (swprintf(mask, 16, L"*.%ls", extension) < 0 || !JoinFolderAndName(folder, mask, pattern, 260)) return;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    wchar_t path[260];
    if (!JoinFolderAndName(folder, found.cFileName, path, 260)) continue;  // too long a path
    load(path);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

}  // namespace

void InitGpsPointTable() {
  ClearGpsPoints();
  g_gpsPointTable.points = new (std::nothrow) GpsPoint[kGpsPointLimit];
}

void ClearGpsPoints() {
  delete[] g_gpsPointTable.points;
  g_gpsPointTable.points = nullptr;
  g_gpsPointTable.count = 0;
}

bool AddGpsPoint(int64_t time, double latitude, double longitude) {
  const int32_t window = g_settings.gpsTimeWindowSeconds > 0 ? g_settings.gpsTimeWindowSeconds : 0;
  return OfferGpsPoint(g_gpsPointTable, GpsShootingTime, window, GpsPoint{time, latitude, longitude});
}

void LoadAuTxtLog(const wchar_t* path) { LoadTextLog(path, ParseAuTxtLog); }
void LoadDocomoCsvLog(const wchar_t* path) { LoadTextLog(path, ParseDocomoCsvLog); }

void LoadGpxLog(const wchar_t* path) {
  if (!path) return;
  IXMLDOMDocument* document = nullptr;
  // Without the document object (no MSXML 3.0) GPX files contribute nothing.
  if (CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument,
                       reinterpret_cast<void**>(&document)) != S_OK)
    return;
  document->put_async(VARIANT_FALSE);
  document->put_validateOnParse(VARIANT_TRUE);
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocString(path);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  BSTR tag = SysAllocString(L"trkseg");
  IXMLDOMNodeList* segments = nullptr;
  long count = 0;
  if (source.bstrVal && tag && document->load(source, &loaded) == S_OK && loaded == VARIANT_TRUE &&
      document->getElementsByTagName(tag, &segments) == S_OK && segments && segments->get_length(&count) == S_OK) {
    for (long i = 0; i < count; ++i) {
      IXMLDOMNode* segment = nullptr;
      if (segments->get_item(i, &segment) == S_OK && segment) LoadPointsOfSegment(segment);
      Release(segment);
    }
  }
  Release(segments);
  SysFreeString(tag);
  VariantClear(&source);
  document->Release();
}

void LoadFolderGpsLogs(const wchar_t* folder) {
  if (!folder || !folder[0]) return;
  if (g_settings.gpsLogAuText == 1) LoadMatchingFiles(folder, L"txt", LoadAuTxtLog);
  if (g_settings.gpsLogDocomoCsv == 1) LoadMatchingFiles(folder, L"csv", LoadDocomoCsvLog);
  if (g_settings.gpsLogGpx == 1) LoadMatchingFiles(folder, L"gpx", LoadGpxLog);
}

bool EstimatePhotoPosition() {
  const int32_t window = g_settings.gpsTimeWindowSeconds > 0 ? g_settings.gpsTimeWindowSeconds : 0;
  GpsPoint chosen;
  if (!ChooseNearestGpsPoint(g_gpsPointTable, GpsShootingTime, window, &chosen)) return false;
  OpenMapSite(g_settings.gpsMapSite, chosen.latitude, chosen.longitude);
  return true;
}

intptr_t OpenMapSite(int32_t site, double latitude, double longitude) {
  char address[512];
  if (!BuildMapSiteAddress(site, latitude, longitude, address, sizeof address)) return 0;
  wchar_t wide[512];
  size_t i = 0;
  for (; address[i] && i + 1 < 512; ++i) wide[i] = static_cast<unsigned char>(address[i]);
  wide[i] = 0;
  return reinterpret_cast<intptr_t>(g_shellExecuteFn(GetShellWindow(), L"open", wide, L"", nullptr, SW_SHOWNORMAL));
}
