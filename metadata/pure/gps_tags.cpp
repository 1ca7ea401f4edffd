#include "metadata/pure/gps_tags.h"

const GpsTagLabel GpsTagLabels[kGpsTagLabelCount] = {
    {0, u"GPSタグのバージョン"},
    {1, u"北緯,南緯"},
    {2, u"緯度"},
    {3, u"東経,西経"},
    {4, u"経度"},
    {5, u"高度の基準"},
    {6, u"高度(m)"},
    {7, u"GPSの時間(UTC)"},
    {8, u"測位に使用した衛星番号"},
    {9, u"GPS受信機の状態"},
    {10, u"GPSの測位方法"},
    {11, u"測位の信頼性"},
    {12, u"速度の単位"},
    {13, u"速度"},
    {14, u"進行方向の基準"},
    {15, u"進行方向(度)"},
    {16, u"撮影方向の基準"},
    {17, u"撮影方向(度)"},
    {18, u"測位に用いた地図データ"},
    {19, u"目的地の北緯,南緯"},
    {20, u"目的地の緯度"},
    {21, u"目的地の東経,西経"},
    {22, u"目的地の経度"},
    {23, u"目的地の方角の基準"},
    {24, u"目的地の方角(度)"},
    {25, u"目的地への距離の単位"},
    {26, u"目的地への距離"},
    {27, u"測位方式の名称"},
    {28, u"測位地点の名称"},
    {29, u"GPS日付"},
    {30, u"GPS補正測位"},
};

const char16_t* FindGpsTagLabel(int tag) {
  for (const GpsTagLabel& row : GpsTagLabels)
    if (row.tag == tag) return row.label;
  return nullptr;
}

std::vector<GpsSummaryRow> ParseGpsSummaryRows(const std::u16string& text) {
  static const std::u16string kHeadEnd = u"\t\n\n", kValueEnd = u"\t\n";
  std::vector<GpsSummaryRow> rows;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t headEnd = text.find(kHeadEnd, pos);
    if (headEnd == std::u16string::npos) break;
    std::u16string head = text.substr(pos, headEnd - pos);
    pos = headEnd + kHeadEnd.size();
    const size_t valueEnd = text.find(kValueEnd, pos);
    std::u16string value = text.substr(pos, valueEnd == std::u16string::npos ? std::u16string::npos : valueEnd - pos);
    pos = valueEnd == std::u16string::npos ? text.size() : valueEnd + kValueEnd.size();
    while (!head.empty() && (head[0] == u'\n' || head[0] == u'\r')) head.erase(0, 1);
    if (head.empty() || head.find(u' ') != std::u16string::npos) continue;
    int tag = 0;
    bool digits = true;
    for (char16_t c : head) {
      if (c < u'0' || c > u'9' || tag > 1000) {
        digits = false;
        break;
      }
      tag = tag * 10 + (c - u'0');
    }
    const char16_t* label = digits ? FindGpsTagLabel(tag) : nullptr;
    if (label) rows.push_back({tag, value, label});
  }
  return rows;
}
