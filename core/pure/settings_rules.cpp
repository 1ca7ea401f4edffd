#include "core/pure/settings_rules.h"

#include <cstring>
#include <initializer_list>

const int32_t kDefaultColumnWidths[24] = {124, 30, 48, 37, 58, 117, 66, 58, 130, 38, 117, 80,
                                          39,  55, 45, 36, 80, 100, 49, 51, 73,  30, 27,  75};
const int32_t kDefaultToolboxButtons[32] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                            0,  12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                            22, 23, 0,  24, 25, 0,  26, 27, 28, 44};
const uint32_t kDefaultColorSlots[20] = {0xFFFFFF, 0x5A5A5A, 0xFFFFFF, 0x202020, 0x303030,
                                         0x404040, 0xE0E0E0, 0x146432, 0x644600, 0x0000C8,
                                         0x202020, 0x329664, 0x0050AA, 0x0000C8, 0xAA5000,
                                         0x965014, 0x50AA00, 0xAA7878, 0x0096A0, 0x000000};

namespace {

// "ＭＳ Ｐゴシック"
const char16_t kDefaultFontFace[] = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";

template <size_t N>
void SetText(char16_t (&field)[N], const char16_t* text) {
  CopyText16(field, static_cast<int>(N), text);
}

void SetRows(TextHistory16& list, std::initializer_list<const char16_t*> rows) {
  std::memset(&list, 0, sizeof list);
  int i = 0;
  for (const char16_t* r : rows) {
    if (i == 16) break;
    CopyText16(list.rows[i++], 128, r);
  }
}

template <size_t N>
bool Terminate(char16_t (&field)[N]) {
  if (field[N - 1] == 0) return false;
  field[N - 1] = 0;
  return true;
}

bool TerminateRows(TextHistory16& list) {
  bool changed = false;
  for (auto& row : list.rows) changed |= Terminate(row);
  return changed;
}

template <typename T>
bool Clamp(T& v, T lo, T hi) {
  if (v < lo) { v = lo; return true; }
  if (v > hi) { v = hi; return true; }
  return false;
}

}  // namespace

void CopyText16(char16_t* dst, int capacity, const char16_t* src) {
  if (capacity <= 0) return;
  int i = 0;
  if (src)
    for (; i < capacity - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
}

void ResetColorSlots(SettingsBlock& s) {
  for (int i = 0; i < 20; ++i) {
    s.colorSlots[i] = kDefaultColorSlots[i];
    s.colorSlotEnabled[i] = 1;
  }
}

uint32_t HistogramBackgroundArgb(const SettingsBlock& s) {
  const uint32_t c = s.colorSlots[10];
  const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return (static_cast<uint32_t>(s.histogramBackgroundAlpha & 0xFF) << 24) | (r << 16) | (g << 8) | b;
}

void FillDefaultSettings(SettingsBlock& s, const char16_t* programVersion) {
  std::memset(&s, 0, sizeof s);
  SetText(s.versionText, programVersion);
  s.enabledImageTypes = 0x81FFFFFFu;
  s.histogramOnMainScreen = 1;
  s.infoOnMainScreen = 1;
  s.thumbWidth = 88;
  s.thumbHeight = 60;
  s.listThumbWidth = 28;
  s.listThumbHeight = 20;
  s.autoRotateByExif = 1;
  s.slideshowWaitSeconds = 3;
  s.mediaSplitSize = 4700000000ull;
  s.subfolderMergeDeleteEmpty = 1;
  s.cacheLimitMiB = 512;
  s.fitListThumbs = 1;
  s.fitViewThumbs = 0;
  SetText(s.mediaFolderName, u"media");
  SetText(s.renamePrefix, u"IMG");
  s.renameSequenceStart = 1;
  s.mediaFolderDigits = 1;
  s.stopPagingAtEnds = 1;
  s.exifOnRawDevelop = 1;
  s.wallpaperFitMode = 0;
  s.wallpaperFolder = 1;
  s.wallpaperSharpness = 10;
  ResetColorSlots(s);
  s.histogramBackgroundAlpha = 128;
  s.histogramBackgroundArgb = HistogramBackgroundArgb(s);
  s.performance = 3;
  s.confirmFirstAction = 1;
  s.confirmAgainAfterCancel = 1;
  s.neverConfirmKeyActions = 1;
  FillIndexPrintDefaults(s.indexPrint, s.indexPrintExtras);

  ColorMatchSetup32& cm = s.colorMatchSetup;
  cm.size = 76;
  cm.version = 0x200;
  cm.flags = 0x31;  // CMS_DISABLEICM | CMS_SETMONITORPROFILE | CMS_SETPRINTERPROFILE
  cm.renderIntent = 1;
  cm.proofingIntent = 1;
  cm.monitorProfileChars = cm.printerProfileChars = cm.targetProfileChars = 260;

  s.noSharpenListThumbs = 1;
  s.noSharpenViewThumbs = 1;
  s.listThumbSharpness = 3;
  s.viewThumbSharpness = 3;
  s.listStyle = 1;
  s.listFontSize = 12;
  s.fileNameFontSize = 12;
  s.infoFontSize = 10;
  SetText(s.listFontFace, kDefaultFontFace);
  SetText(s.mainFontFace, kDefaultFontFace);
  for (int i = 0; i < 24; ++i) {
    s.columnWidths[i] = kDefaultColumnWidths[i];
    s.columnOrder[i] = i;
    s.columnShown[i] = 1;
  }
  SetText(s.dataFolder, u".\\user");
  s.splitLayout = 0;
  s.splitterPos1 = s.splitterPos2 = s.splitterPos3 = 200;
  s.viewMode = 3;
  static const int32_t bandWidths[7] = {14, 352, 352, 152, 352, 102, 660};
  for (int i = 0; i < 7; ++i) {
    s.bandLayout[i].bandId = i;
    s.bandLayout[i].breakFlag = (i == 4 || i == 6) ? 1 : 0;
    s.bandLayout[i].width = bandWidths[i];
  }
  s.mainWindowSpareValue = 100;
  s.notifyNewVersion = 1;
  s.confirmRefresh = 1;
  s.numLockOnAtStart = 1;
  s.watchFolder = 1;
  s.histogramMode = 1;
  s.hoverPopupThumbs = 1;
  s.hoverPopupHistograms = 1;
  s.mailLongSide = 640;
  s.mailJpegQuality = 90;
  s.mailSharpness = 10;
  s.mailResizeAttachments = 1;
  s.iptcTabColumnWidths[0] = 150;
  s.iptcTabColumnWidths[1] = 130;
  s.fileInfoLeft = 120;
  s.fileInfoTop = 120;
  s.fileInfoWidth = 300;
  s.fileInfoHeight = 640;
  s.exifTabColumnWidths[0] = 150;
  s.exifTabColumnWidths[1] = 130;
  s.shootingDateFontSize = 20;
  s.listItemsColumnWidths[0] = s.listItemsColumnWidths[1] = 362;
  s.favouritesColumnWidth = 724;
  {
    static const int32_t kActionListWidths[8] = {100, 85, 291, 48, 48, 110, 150, 0};
    for (int i = 0; i < 8; ++i) {
      s.actionListColumnWidths[i] = kActionListWidths[i];
      s.actionListColumnOrder[i] = i;
    }
  }
  s.prefetchLevel = 2;
  s.movieThumbSecond = 5;
  s.movieInitialVolume = -40;
  s.keepCollectionCaches = 1;
  s.loupeSize = 100;
  s.rawDevelopQualities[2] = 2;
  s.noHighQualityAntialias = 1;
  s.slideshowWaitForMovie = 1;
  for (int i = 0; i < 32; ++i) s.toolboxButtons[i] = kDefaultToolboxButtons[i];
  s.toolboxButtonCount = 0;
  s.captureResize = 1;
  s.captureLongSide = 640;
  s.captureQuality = 90;
}

void NormaliseThumbnailWidths(SettingsBlock& s) {
  s.thumbWidth = s.thumbWidth / 4 * 4;
  s.listThumbWidth = s.listThumbWidth / 4 * 4;
}

void NormaliseAfterCollections(SettingsBlock& s) {
  RepairIndexPrintExtras(s.indexPrintExtras);
  if (s.captureLongSide == 0) {
    s.captureLongSide = 640;
    s.captureQuality = 90;
    s.captureResize = 1;
  }
  if (s.toolboxButtonCount == 0) {
    s.toolboxButtonCount = 32;
    for (int i = 0; i < 32; ++i) s.toolboxButtons[i] = kDefaultToolboxButtons[i];
  }
  if (s.listFontSize == 0) {
    s.listFontSize = 12;
    s.fileNameFontSize = 12;
    s.infoFontSize = 10;
    SetText(s.listFontFace, kDefaultFontFace);
    SetText(s.mainFontFace, kDefaultFontFace);
  }
  if (s.shootingDateFontSize < 6) s.shootingDateFontSize = 20;
  if (s.columnWidths[0] == 0) {
    for (int i = 0; i < 24; ++i) {
      s.columnWidths[i] = kDefaultColumnWidths[i];
      s.columnOrder[i] = i;
    }
  }
}

void FillMissingSentinelSections(SettingsBlock& s) {
  if (s.searchSentinel != kSettingsSentinel) {
    s.searchSentinel = kSettingsSentinel;
    std::memset(s.searchConditions, 0, sizeof s.searchConditions);
    SetRows(s.searchFileTypes, {u"JPG JPEG", u"TIF TIFF", u"BMP", u"PNG", u"GIF", u"DNG", u"CRW", u"CR2",
                                u"NEF", u"NRW", u"PEF", u"ORF", u"RAF", u"SR2", u"ARW", u"MRW"});
    SetRows(s.searchMakers, {u"maker", u"CANON", u"NIKON", u"PENTAX", u"OLYMPUS", u"FUJIFILM", u"SONY",
                             u"KONICA MINOLTA", u"PANASONIC", u"LEICA", u"MAMIYA", u"SIGMA", u"SAMSUNG",
                             u"HASSELBLAD", u"POLAROID"});
    SetRows(s.searchMakersInput, {});
    SetRows(s.searchModels, {u"model"});
    SetRows(s.searchModelsInput, {});
    SetRows(s.searchLenses, {u"lens"});
    SetRows(s.searchLensesInput, {});
    SetRows(s.searchShutterFrom, {u"1/100"});
    SetRows(s.searchShutterTo, {u"1/500"});
    SetRows(s.searchApertureFrom, {u"F2.8"});
    SetRows(s.searchApertureTo, {u"F8"});
    SetRows(s.searchIsoFrom, {u"100"});
    SetRows(s.searchIsoTo, {u"800"});
    SetRows(s.searchFocalFrom, {u"50mm"});
    SetRows(s.searchFocalTo, {u"300mm"});
    SetText(s.searchFolder, u"c:\\");
    s.searchSubfolders = 1;
  }
  if (s.actionSentinel != kSettingsSentinel) {
    s.actionSentinel = kSettingsSentinel;
    std::memset(s.actionGpsReserved, 0, sizeof s.actionGpsReserved);
    std::memset(s.actionTable, 0, sizeof s.actionTable);
    // The count comes from the file: never copy more rows than either table has.
    int rows = s.actionCount;
    if (rows < 0) rows = 0;
    if (rows > kActionRows) rows = kActionRows;
    for (int r = 0; r < rows; ++r)
      std::memcpy(s.actionTable[r].bytes, s.legacyActions[r].bytes, sizeof s.legacyActions[r].bytes);
    std::memset(s.renameHistoryPrefix, 0, sizeof s.renameHistoryPrefix);
    std::memset(s.renameHistoryOld, 0, sizeof s.renameHistoryOld);
    std::memset(s.renameHistoryNew, 0, sizeof s.renameHistoryNew);
    std::memset(s.commentSearchReserved, 0, sizeof s.commentSearchReserved);
    s.gpsLogAuText = s.gpsLogDocomoCsv = s.gpsLogGpx = 1;
    s.gpsUtcOffsetHours = 9;
    s.gpsTimeWindowSeconds = 180;
    s.gpsMapSite = 1;
    s.fileInfoSpareByte1 = 0;
    s.fileInfoSpareByte2 = 0;
    s.fileInfoDocked = 0;
    s.fileInfoDockInTree = 1;
    s.fileInfoDockPosition = 0;
    s.gpsTabColumnWidths[0] = 150;
    s.gpsTabColumnWidths[1] = 130;
  }
  if (s.movieSentinel != kSettingsSentinel) {
    s.movieSentinel = kSettingsSentinel;
    SetText(s.movieExtensions, u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;");
  }
  if (s.commentSearchSentinel != kSettingsSentinel) {
    s.commentSearchSentinel = kSettingsSentinel;
    s.commentSearchFlag = 0;
    SetRows(s.searchComments, {u"comment"});
    SetRows(s.searchCommentsInput, {});
    s.fileNameSearchFlag = 0;
    SetRows(s.searchFileNames, {u"file name"});
    SetRows(s.searchFileNamesInput, {});
    std::memset(s.iptcSearchWords, 0, sizeof s.iptcSearchWords);
    std::memset(s.iptcSearchWords2, 0, sizeof s.iptcSearchWords2);
    for (int i = 0; i < 10; ++i) {
      SetRows(s.searchIptc[i], {u"iptc"});
      SetRows(s.searchIptcInput[i], {});
    }
  }
}

int ValidateLoadedSettings(SettingsBlock& s) {
  int changed = 0;
  changed += Clamp<int32_t>(s.actionCount, 0, kActionRows);
  changed += Clamp<int32_t>(s.toolboxButtonCount, 0, kToolboxMax);
  for (auto& b : s.toolboxButtons) changed += Clamp<int32_t>(b, 0, 44);
  changed += Clamp<int32_t>(s.performance, 0, 3);
  changed += Clamp<int32_t>(s.prefetchLevel, 0, 9);
  changed += Clamp<int32_t>(s.columnCaptionBaseStyle, 0, 3);
  changed += Clamp<int32_t>(s.listCaptionStyle, 0, 4);
  changed += Clamp<int32_t>(s.splitLayout, 0, 4);
  changed += Clamp<int32_t>(s.viewMode, 0, 3);
  changed += Clamp<int32_t>(s.thumbWidth, 0, 1024);
  changed += Clamp<int32_t>(s.thumbHeight, 0, 1024);
  changed += Clamp<int32_t>(s.listThumbWidth, 0, 1024);
  changed += Clamp<int32_t>(s.listThumbHeight, 0, 1024);
  // The page's trackbars go to 10; a larger stored value would be lost on the first close.
  changed += Clamp<int32_t>(s.listThumbSharpness, 0, 10);
  changed += Clamp<int32_t>(s.viewThumbSharpness, 0, 10);
  changed += Clamp<int32_t>(s.lastSettingsPage, 0, 17);
  changed += Clamp<int32_t>(s.thumbnailSplitKind, 0, 3);
  changed += Clamp<int32_t>(s.histogramMode, 0, 3);
  changed += Clamp<int32_t>(s.viewFocusType, 0, 5);
  for (auto& q : s.rawDevelopQualities) changed += Clamp<int32_t>(q, 0, 2);
  changed += Clamp<int32_t>(s.rawViewingMode, 0, 2);
  changed += Clamp<int32_t>(s.wallpaperFitMode, 0, 2);
  changed += Clamp<int32_t>(s.wallpaperFolder, 0, 1);
  changed += Clamp<int32_t>(s.wallpaperSharpness, 0, 20);
  changed += Clamp<int32_t>(s.loupeSize, 50, 250);
  changed += Clamp<int32_t>(s.prefetchLevel, 0, 9);
  changed += Clamp<int32_t>(s.fileInfoLastTab, 0, 5);
  changed += Clamp<int32_t>(s.histogramBackgroundAlpha, 0, 255);
  for (auto& o : s.columnOrder) changed += Clamp<int32_t>(o, 0, 23);
  if (s.actionSentinel == kSettingsSentinel) changed += Clamp<int32_t>(s.gpsMapSite, 0, 2);

  changed += Terminate(s.versionText);
  changed += Terminate(s.lastFolder);
  changed += Terminate(s.mediaFolderName);
  changed += Terminate(s.renamePrefix);
  changed += Terminate(s.colorSourceName);
  changed += Terminate(s.colorDisplayName);
  changed += Terminate(s.colorPrinterName);
  changed += Terminate(s.colorMonitorProfile);
  changed += Terminate(s.colorPrinterProfile);
  changed += Terminate(s.colorTargetProfile);
  changed += Terminate(s.listFontFace);
  changed += Terminate(s.mainFontFace);
  changed += Terminate(s.dataFolder);
  for (auto& f : s.favouriteFolders) changed += Terminate(f.path);
  changed += Terminate(s.searchFolder);
  changed += Terminate(s.replaceRenameOld);
  changed += Terminate(s.replaceRenameNew);
  for (auto& r : s.renameHistoryPrefix) changed += Terminate(r);
  for (auto& r : s.renameHistoryOld) changed += Terminate(r);
  for (auto& r : s.renameHistoryNew) changed += Terminate(r);
  changed += Terminate(s.movieExtensions);
  changed += Terminate(s.indexPrint.freeText);
  // Table rows and positions index fixed tables; counts divide the page.
  changed += Clamp<int32_t>(s.indexPrint.paperIndex, 0, 4);
  changed += Clamp<int32_t>(s.indexPrint.zoomIndex, 0, 6);
  changed += Clamp<int32_t>(s.indexPrint.columns, 1, 100);
  changed += Clamp<int32_t>(s.indexPrint.rows, 1, 100);
  changed += Clamp<int32_t>(s.indexPrint.freeTextPosition, 0, 5);
  changed += Clamp<int32_t>(s.indexPrint.pageNumberPosition, 0, 5);
  changed += Clamp<int32_t>(s.indexPrintExtras.folderNamePosition, 0, 5);
  TextHistory16* lists[] = {&s.searchFileTypes, &s.searchMakers, &s.searchMakersInput, &s.searchModels,
                            &s.searchModelsInput, &s.searchLenses, &s.searchLensesInput, &s.searchShutterFrom,
                            &s.searchShutterTo, &s.searchApertureFrom, &s.searchApertureTo, &s.searchIsoFrom,
                            &s.searchIsoTo, &s.searchFocalFrom, &s.searchFocalTo, &s.searchComments,
                            &s.searchCommentsInput, &s.searchFileNames, &s.searchFileNamesInput};
  for (TextHistory16* l : lists) changed += TerminateRows(*l);
  for (int i = 0; i < 10; ++i) {
    changed += TerminateRows(s.searchIptc[i]);
    changed += TerminateRows(s.searchIptcInput[i]);
  }
  return changed;
}

double ParseVersionNumber(const char16_t* text, int maxChars) {
  // Digits and one '.', read by hand: the user's locale may use a decimal comma.
  double value = 0, scale = 0.1;
  bool any = false, fraction = false;
  for (int i = 0; i < maxChars && text[i]; ++i) {
    char16_t c = text[i];
    if (c >= u'0' && c <= u'9') {
      any = true;
      if (fraction) {
        value += (c - u'0') * scale;
        scale /= 10;
      } else {
        value = value * 10 + (c - u'0');
      }
    } else if (c == u'.' && !fraction) {
      fraction = true;
    } else if (c == u' ' && !any) {
      continue;
    } else {
      break;
    }
  }
  return any ? value : 0;
}

bool IsAcceptedSettingsVersion(double fileVersion, double programVersion) {
  long long f = static_cast<long long>(fileVersion), p = static_cast<long long>(programVersion);
  return f == p || f == p - 1;
}

void DeriveHighlightColors(uint32_t colorRef, uint32_t* darkened, uint32_t* lightened) {
  auto scale = [](uint32_t c, float k) -> uint32_t {
    int v = static_cast<int>(static_cast<float>(c) * k);
    return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  };
  uint32_t r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
  *darkened = scale(r, 0.8f) | scale(g, 0.8f) << 8 | scale(b, 0.8f) << 16;
  *lightened = scale(r, 1.2f) | scale(g, 1.2f) << 8 | scale(b, 1.2f) << 16;
}

void FillIndexPrintDefaults(IndexPrintLayout& s, IndexPrintExtras& x) {
  s = IndexPrintLayout{};
  s.paperIndex = 1;
  s.zoomIndex = 3;
  s.spacingMm = 2;
  s.marginTopMm = s.marginBottomMm = s.marginLeftMm = s.marginRightMm = 4;
  s.captionHeightMm = 5;
  s.freeTextOffsetXMm = s.freeTextOffsetYMm = s.pageNumberOffsetXMm = s.pageNumberOffsetYMm = 2;
  s.columns = 5;
  s.rows = 7;
  s.printFileName = 1;
  s.pageWidthPx = 300;
  s.pageHeightPx = 400;
  s.printDpi = 100;
  s.zoomFactor = 3.0f;
  s.keepAspect = 1;
  s.fileNameWithExtension = 1;
  s.freeTextSize = 20;
  s.pageNumberSize = 8;
  s.fileNameSize = 8;
  s.freeTextPosition = 1;
  s.pageNumberPosition = 4;
  s.backgroundColor = 0xFFFFFF;
  CopyText16(s.freeText, 256, u"文字列を入力してください。");
  x = IndexPrintExtras{};
  x.dialogX = x.dialogY = 120;
  x.dialogWidth = 1036;
  x.dialogHeight = 800;
  x.folderNamePosition = 1;
  x.folderNameSize = 20;
  x.folderNameOffsetXMm = x.folderNameOffsetYMm = 2;
  x.infoOffsetYMm = 6;
  x.infoSize = 8;
}

void RepairIndexPrintExtras(IndexPrintExtras& x) {
  if (x.folderNameSize == 0) x.folderNameSize = 20;
  if (x.infoSize == 0) {
    x.infoSize = 8;
    x.infoOffsetXMm = 0;
    x.infoOffsetYMm = 6;
  }
}
