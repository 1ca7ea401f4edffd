// Value-to-text tables of the Exif and GPS tags. Texts are CP932 bytes (the UTF-8 text in the comment).
#pragma once
#include <cstdint>

struct CodeText {
  int32_t code;
  const char* text;  // a row without text ends the table
};

inline const CodeText kExposureProgramCodes[] = {
    {0, "\xcc\xd9\xb5\xb0\xc4"},                                  // ﾌﾙｵｰﾄ
    {1, "\xcf\xc6\xad\xb1\xd9"},                                  // ﾏﾆｭｱﾙ
    {2, "\xcc\xdf\xdb\xb8\xde\xd7\xd1" "AE"},                      // ﾌﾟﾛｸﾞﾗﾑAE
    {3, "Av"},
    {4, "Tv"},
    {5, "A-DEP"},
    {6, "\xb1\xb8\xbc\xae\xdd \xcc\xdf\xdb\xb8\xde\xd7\xd1"},     // ｱｸｼｮﾝ ﾌﾟﾛｸﾞﾗﾑ
    {7, "\xce\xdf\xb0\xc4\xda\xb2\xc4 \xd3\xb0\xc4\xde"},         // ﾎﾟｰﾄﾚｲﾄ ﾓｰﾄﾞ
    {8, "\xd7\xdd\xc4\xde\xbd\xb9\xb0\xcc\xdf \xd3\xb0\xc4\xde"}, // ﾗﾝﾄﾞｽｹｰﾌﾟ ﾓｰﾄﾞ
    {9, "\xca\xde\xd9\xcc\xde"},                                  // ﾊﾞﾙﾌﾞ
    {0, nullptr}};

inline const CodeText kMeteringCodes[] = {
    {0, "unknown"},
    {0, "unknown"},
    {1, "\x95\xbd\x8b\xcf\x91\xaa\x8c\xf5"},                  // 平均測光
    {2, "\x92\x86\x89\x9b\x8f\x64\x93_\x91\xaa\x8c\xf5"},     // 中央重点測光
    {3, "\xbd\xce\xdf\xaf\xc4\x91\xaa\x8c\xf5"},              // ｽﾎﾟｯﾄ測光
    {4, "\xcf\xd9\xc1\xbd\xce\xdf\xaf\xc4\x91\xaa\x8c\xf5"},  // ﾏﾙﾁｽﾎﾟｯﾄ測光
    {5, "\x95\xaa\x8a\x84\x91\xaa\x8c\xf5"},                  // 分割測光
    {6, "\x95\x94\x95\xaa\x91\xaa\x8c\xf5"},                  // 部分測光
    {255, "\x82\xbb\x82\xcc\x91\xbc"},                        // その他
    {0, nullptr}};

inline const CodeText kExposureModeCodes[] = {
    {0, "\xb5\xb0\xc4"},                                // ｵｰﾄ
    {1, "\xcf\xc6\xad\xb1\xd9"},                        // ﾏﾆｭｱﾙ
    {2, "\xb5\xb0\xc4 \xcc\xde\xd7\xb9\xaf\xc4"},       // ｵｰﾄ ﾌﾞﾗｹｯﾄ
    {0, nullptr}};

inline const CodeText kWhiteBalanceCodes[] = {
    {0, "\xb5\xb0\xc4 \xce\xdc\xb2\xc4\xca\xde\xd7\xdd\xbd"},          // ｵｰﾄ ﾎﾜｲﾄﾊﾞﾗﾝｽ
    {1, "\xcf\xc6\xad\xb1\xd9 \xce\xdc\xb2\xc4\xca\xde\xd7\xdd\xbd"},  // ﾏﾆｭｱﾙ ﾎﾜｲﾄﾊﾞﾗﾝｽ
    {0, nullptr}};

inline const CodeText kAltitudeRefCodes[] = {
    {0, "\x8a\x43\x94\xb2\x8a\xee\x8f\x80"},                   // 海抜基準
    {1, "\x8a\x43\x94\xb2\x8a\xee\x8f\x80(\x95\x89\x92l)"},    // 海抜基準(負値)
    {0, nullptr}};

inline const CodeText kSpeedUnitCodes[] = {{75, "Km/h"}, {77, "Mile/h"}, {78, "knot"}, {0, nullptr}};

inline const CodeText kBearingRefCodes[] = {
    {84, "\x90^\x95\xfb\x88\xca"},    // 真方位
    {77, "\x8e\xa5\x95\xfb\x88\xca"}, // 磁方位
    {0, nullptr}};

inline const CodeText kDifferentialCodes[] = {
    {0, "\x92P\x93\xc6\x91\xaa\x88\xca"},      // 単独測位
    {1, "\x95\xe2\x90\xb3\x91\xaa\x88\xca"},   // 補正測位
    {0, nullptr}};
