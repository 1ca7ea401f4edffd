#include "browser/pure/list_command_rules.h"

namespace {
bool IsLower(char16_t a, char16_t b) {
  if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a - u'A' + u'a');
  if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b - u'A' + u'a');
  return a == b;
}
}  // namespace

const char16_t* DeleteQuestionText(bool askAgainAfterCancel) {
  return askAgainAfterCancel
             ? u"DELキー [ ファイル削除 ] が押されました\nファイル削除実行しますか？\n\n※実行すると次回からこの表示はスキップされます。（表示設定で変更可）"
             : u"DELキー [ ファイル削除 ] が押されました\nファイル削除実行しますか？\n\n※以後この表示はスキップされます。（表示設定で変更可）";
}

bool FolderDropMoves(bool moveOnSameDrive, bool sameAsShown, const char16_t* targetRoot, const char16_t* shownRoot,
                     bool ctrlHeld) {
  bool sameDrive = false;
  if (targetRoot && shownRoot && targetRoot[0] && shownRoot[0]) {
    sameDrive = true;
    int k = 0;
    for (; targetRoot[k] && shownRoot[k]; ++k)
      if (!IsLower(targetRoot[k], shownRoot[k])) {
        sameDrive = false;
        break;
      }
    if (sameDrive && targetRoot[k] != shownRoot[k]) sameDrive = false;
  }
  bool moves = moveOnSameDrive && !sameAsShown && sameDrive;
  return ctrlHeld ? !moves : moves;
}

int DragListWidth(int columnWidth) { return columnWidth < 100 ? 100 : (columnWidth > 255 ? 255 : columnWidth); }

void PreviewPopupCorner(int cursorX, int cursorY, int desktopWidth, int* left, int* bottom) {
  const int x = cursorX + 8, y = cursorY - 2;
  *bottom = y > 258 ? y : 258;
  *left = x < desktopWidth - 258 ? x : desktopWidth - 258;
}

int NextPopupAlpha(int alpha, int limit) {
  int a = alpha + 24;
  return a < 0 ? 0 : (a > limit ? limit : a);
}

void CountPopupHistogram(const uint8_t* pixels, int width, int height, int stride, int32_t bins[3][256]) {
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v) bins[c][v] = 0;
  if (!pixels || width <= 0 || height <= 0 || stride < 3 * width) return;
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = pixels + static_cast<size_t>(y) * stride;
    for (int x = 0; x < width; ++x, p += 3) {
      ++bins[2][p[0]];
      ++bins[1][p[1]];
      ++bins[0][p[2]];
    }
  }
  const float factor = 4096.0f / (static_cast<float>(width) * static_cast<float>(height));
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v) bins[c][v] = static_cast<int32_t>(static_cast<float>(bins[c][v]) * factor);
}

void FitInsideSquare(int width, int height, int side, int* outWidth, int* outHeight) {
  if (width <= 0 || height <= 0) {
    *outWidth = *outHeight = side;
    return;
  }
  if (width >= height) {
    *outWidth = side;
    *outHeight = static_cast<int>(static_cast<int64_t>(height) * side / width);
  } else {
    *outHeight = side;
    *outWidth = static_cast<int>(static_cast<int64_t>(width) * side / height);
  }
  if (*outWidth < 1) *outWidth = 1;
  if (*outHeight < 1) *outHeight = 1;
}
