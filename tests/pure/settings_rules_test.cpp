#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/pure/settings_rules.h"

namespace {

std::unique_ptr<SettingsBlock> Defaults() {
  auto s = std::make_unique<SettingsBlock>();
  FillDefaultSettings(*s, u"5.71");
  return s;
}

const uint8_t* Bytes(const SettingsBlock& s) { return reinterpret_cast<const uint8_t*>(&s); }
int32_t I32At(const SettingsBlock& s, size_t off) {
  int32_t v;
  std::memcpy(&v, Bytes(s) + off, 4);
  return v;
}
std::u16string TextAt(const SettingsBlock& s, size_t off) {
  return std::u16string(reinterpret_cast<const char16_t*>(Bytes(s) + off));
}

TEST(SettingsDefaults, FieldsLandAtTheirFileOffsets) {
  auto s = Defaults();
  EXPECT_EQ(TextAt(*s, 0), u"5.71");
  EXPECT_EQ(static_cast<uint32_t>(I32At(*s, 720)), 0x81FFFFFFu);
  EXPECT_EQ(I32At(*s, 728), 88);
  EXPECT_EQ(I32At(*s, 732), 60);
  EXPECT_EQ(I32At(*s, 736), 28);
  EXPECT_EQ(I32At(*s, 41640), 512);
  uint64_t split;
  std::memcpy(&split, Bytes(*s) + 41628, 8);
  EXPECT_EQ(split, 4700000000ull);
  EXPECT_EQ(TextAt(*s, 43794), u"media");
  EXPECT_EQ(TextAt(*s, 45084), u"IMG");
  EXPECT_EQ(TextAt(*s, 49572), u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
  EXPECT_EQ(TextAt(*s, 50280), u".\\user");
  EXPECT_EQ(I32At(*s, 49308), 76);
  EXPECT_EQ(I32At(*s, 49308 + 4), 0x200);
  EXPECT_EQ(I32At(*s, 49308 + 8), 0x31);
  EXPECT_EQ(I32At(*s, 119716), 3);
  EXPECT_EQ(I32At(*s, 120012), -40);
  EXPECT_EQ(static_cast<uint32_t>(I32At(*s, 119816)), 0x80202020u);
  // Default columns and bands.
  EXPECT_EQ(I32At(*s, 50088), 124);
  EXPECT_EQ(I32At(*s, 50088 + 23 * 4), 75);
  EXPECT_EQ(I32At(*s, 50184 + 23 * 4), 23);
  const int widths[7] = {14, 352, 352, 152, 352, 102, 660};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(I32At(*s, 119720 + i * 12), i);
    EXPECT_EQ(I32At(*s, 119720 + i * 12 + 4), (i == 4 || i == 6) ? 1 : 0);
    EXPECT_EQ(I32At(*s, 119720 + i * 12 + 8), widths[i]);
  }
  // Sentinels and the clean-exit byte start at 0 so the first start fills every section.
  EXPECT_EQ(Bytes(*s)[119997], 0);
  for (size_t off : {120020u, 182976u, 183012u, 268316u}) EXPECT_EQ(I32At(*s, off), 0) << off;
  EXPECT_EQ(I32At(*s, 182432), 0);
  EXPECT_EQ(I32At(*s, 182176), 1);
  // Fields the RAW output, wallpaper and capture code read: a zeroed block would develop the
  // batch at half size, drop the Exif items and put the wallpaper beside the program.
  EXPECT_EQ(I32At(*s, 117636), 2);  // RawDevelopModes[3]
  EXPECT_EQ(Bytes(*s)[45152], 1);
  EXPECT_EQ(I32At(*s, 45156), 0);
  EXPECT_EQ(I32At(*s, 45160), 1);
  EXPECT_EQ(I32At(*s, 45164), 10);
  EXPECT_EQ(Bytes(*s)[182440], 1);
  EXPECT_EQ(I32At(*s, 182444), 640);
  EXPECT_EQ(I32At(*s, 120008), 5);
}

TEST(SettingsStartupRepair, FillsSectionsAndRepairsZeroFields) {
  auto s = Defaults();
  s->thumbWidth = 91;
  s->listThumbWidth = -7;
  s->shootingDateFontSize = 5;
  s->listFontSize = 0;
  s->columnWidths[0] = 0;
  s->columnOrder[3] = 9;
  NormaliseThumbnailWidths(*s);
  NormaliseAfterCollections(*s);
  FillMissingSentinelSections(*s);
  EXPECT_EQ(s->thumbWidth, 88);
  EXPECT_EQ(s->listThumbWidth, -4);  // truncation towards zero
  EXPECT_EQ(s->shootingDateFontSize, 20);
  EXPECT_EQ(s->listFontSize, 12);
  EXPECT_EQ(s->infoFontSize, 10);
  EXPECT_EQ(s->columnOrder[3], 3);
  EXPECT_EQ(s->toolboxButtonCount, 32);
  EXPECT_EQ(s->toolboxButtons[31], 44);
  for (size_t off : {120020u, 182976u, 183012u, 268316u}) EXPECT_EQ(I32At(*s, off), 1234) << off;
  EXPECT_EQ(TextAt(*s, 266268), u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;");
  EXPECT_EQ(Bytes(*s)[182988], 1);
  EXPECT_EQ(Bytes(*s)[182990], 1);
  EXPECT_EQ(I32At(*s, 182992), 9);
  EXPECT_EQ(I32At(*s, 182996), 180);
  EXPECT_EQ(I32At(*s, 183000), 1);
  EXPECT_EQ(Bytes(*s)[183007], 1);
  EXPECT_EQ(TextAt(*s, 120152), u"JPG JPEG");
  EXPECT_EQ(TextAt(*s, 120152 + 15 * 256), u"MRW");
  EXPECT_EQ(TextAt(*s, 124252 + 14 * 256), u"POLAROID");
  EXPECT_EQ(TextAt(*s, 181652), u"c:\\");
  EXPECT_EQ(TextAt(*s, 284768 + 9 * 4100), u"iptc");
  EXPECT_EQ(TextAt(*s, 280628), u"");

  // A section that already carries its sentinel is left alone.
  s->movieExtensions[0] = u'x';
  FillMissingSentinelSections(*s);
  EXPECT_EQ(s->movieExtensions[0], u'x');
}

TEST(SettingsStartupRepair, LegacyActionRowsMoveIntoTheActionTable) {
  auto s = Defaults();
  s->actionCount = 2;
  std::memset(s->legacyActions[0].bytes, 0xA1, sizeof s->legacyActions[0].bytes);
  std::memset(s->legacyActions[1].bytes, 0xB2, sizeof s->legacyActions[1].bytes);
  std::memset(s->legacyActions[2].bytes, 0xC3, sizeof s->legacyActions[2].bytes);
  FillMissingSentinelSections(*s);
  EXPECT_EQ(s->actionTable[0].bytes[0], 0xA1);
  EXPECT_EQ(s->actionTable[0].bytes[1047], 0xA1);
  EXPECT_EQ(s->actionTable[0].bytes[1048], 0);  // the new part of the row stays zero
  EXPECT_EQ(s->actionTable[1].bytes[500], 0xB2);
  EXPECT_EQ(s->actionTable[2].bytes[0], 0);      // beyond the count: not copied
}

TEST(SettingsValidation, ClampsWhatAFileCanCorrupt) {
  auto s = Defaults();
  s->actionCount = 100000;
  s->toolboxButtonCount = -3;
  s->toolboxButtons[5] = 999;
  s->performance = 7;
  s->splitLayout = -1;
  s->viewMode = 42;
  s->columnOrder[0] = 77;
  s->bandLayout[2].bandId = 9;
  for (auto& c : s->lastFolder) c = u'A';
  for (auto& c : s->searchMakers.rows[3]) c = u'B';
  s->rawDevelopQualities[2] = 9;
  s->wallpaperFitMode = -1;
  s->wallpaperSharpness = 21;
  EXPECT_GT(ValidateLoadedSettings(*s), 0);
  EXPECT_EQ(s->actionCount, 39);
  EXPECT_EQ(s->toolboxButtonCount, 0);
  EXPECT_EQ(s->toolboxButtons[5], 44);
  EXPECT_EQ(s->performance, 3);
  EXPECT_EQ(s->splitLayout, 0);
  EXPECT_EQ(s->viewMode, 3);
  EXPECT_EQ(s->columnOrder[0], 23);
  EXPECT_EQ(s->bandLayout[2].bandId, 9);  // a kind above 6 is kept and makes no band, not the toolbox
  EXPECT_EQ(s->lastFolder[259], 0);
  EXPECT_EQ(s->searchMakers.rows[3][127], 0);
  EXPECT_EQ(s->rawDevelopQualities[2], 2);
  EXPECT_EQ(s->wallpaperFitMode, 0);
  EXPECT_EQ(s->wallpaperSharpness, 20);
  // A clean block needs no change.
  auto clean = Defaults();
  EXPECT_EQ(ValidateLoadedSettings(*clean), 0);

  // A huge count from a file never copies more than the table holds.
  auto big = Defaults();
  big->actionCount = 5000;
  ValidateLoadedSettings(*big);
  FillMissingSentinelSections(*big);
  EXPECT_EQ(big->actionCount, 39);
}

TEST(SettingsVersion, ParsesInTheCLocaleAndAcceptsOneMajorBack) {
  EXPECT_DOUBLE_EQ(ParseVersionNumber(u"5.16", 10), 5.16);
  EXPECT_NEAR(ParseVersionNumber(u"5.71", 10), 5.71, 1e-9);
  EXPECT_DOUBLE_EQ(ParseVersionNumber(u"4", 10), 4.0);
  EXPECT_DOUBLE_EQ(ParseVersionNumber(u"", 10), 0.0);
  EXPECT_DOUBLE_EQ(ParseVersionNumber(u"5,16", 10), 5.0);  // a comma ends the number
  const char16_t unterminated[4] = {u'5', u'.', u'7', u'1'};
  EXPECT_NEAR(ParseVersionNumber(unterminated, 3), 5.7, 1e-9);

  struct { double file; bool accepted; } cases[] = {{5.71, true}, {5.0, true}, {4.99, true}, {4.0, true},
                                                    {3.99, false}, {6.0, false}, {0, false}};
  for (auto& c : cases) EXPECT_EQ(IsAcceptedSettingsVersion(c.file, 5.71), c.accepted) << c.file;
}

TEST(HighlightColors, ScaleEachComponentAndClamp) {
  uint32_t dark, light;
  DeriveHighlightColors(0xFFFFFF, &dark, &light);
  EXPECT_EQ(dark, 0xCCCCCCu);  // 255 x 0.8 = 204
  EXPECT_EQ(light, 0xFFFFFFu);
  DeriveHighlightColors(0x0A6433, &dark, &light);  // r 0x33, g 0x64, b 0x0A
  EXPECT_EQ(dark, (8u << 16) | (80u << 8) | 40u);
  EXPECT_EQ(light, (12u << 16) | (120u << 8) | 61u);
}

}  // namespace
