#include "browser/pure/menu_tables.h"

#include <initializer_list>

namespace {

constexpr uint32_t C = kMenuChecked, P = kMenuPopup, S = kMenuSeparator;
#define SEP {-1, S, 0, u""}
#define N(a) int(sizeof(a) / sizeof(a[0]))

MenuItemRecord popup1[] = {
    {0, 0, 224, u"ツールバーの固定"},
    SEP,
    {10, P, 10, u"設定(F9)"},
    {1, 0, 32790, u"カラーマネジメント設定"},
    {2, 0, 32781, u"インデックス印刷"},
    {35, 0, 243, u"ファイル付帯情報＆編集"},
    SEP,
    {4, 0, 32775, u"ゴミ箱を空にする"},
    {19, P, 9, u"ヘルプ"},
    {21, 0, 105, u"アプリケーションの終了"},
};

MenuItemRecord popup2[] = {
    {37, 0, 275, u"検索"},
    {11, 0, 118, u"最新の情報に更新(F5)"},
    {5, 0, 120, u"選択画像だけを閲覧"},
    {6, 0, 122, u"選択ファイルのアクション復帰(UNDO)"},
    SEP,
    {12, 0, 119, u"表示スタイル変更(SPACE)"},
    {29, 0, 218, u"サムネイル分割表示の切替(F11)"},
    {30, P, 3, u"マルチスクリーン分割(F12)"},
    {32, 0, 227, u"等倍、拡大保持モード切替"},
    {24, 0, 206, u"ルーペモード切替"},
    {0, P, 4, u"対象画像フォーマット"},
    SEP,
    {36, 0, 267, u"新規コレクション作成"},
    {0, P, 19, u"画像をコレクションに追加"},
    {0, 0, 273, u"画像をコレクションから外す"},
    SEP,
    {20, 0, 164, u"お気に入りフォルダに登録"},
    {0, P, 12, u"お気に入りフォルダ"},
    SEP,
    {16, 0, 185, u"キャッシュクリア"},
    {0, P, 13, u"キャッシュ履歴"},
    SEP,
    {10, P, 10, u"設定(F9)"},
    {1, 0, 134, u"カラーマネジメント設定"},
    {2, 0, 130, u"インデックス印刷"},
    SEP,
    {18, 0, 139, u"サブフォルダ画像統合(F8)"},
    {28, 0, 197, u"表示の方向でロスレス回転"},
    {8, P, 5, u"チェックマーク"},
    {17, P, 6, u"一括リネーム"},
    {22, P, 7, u"壁紙"},
    {34, P, 8, u"画像添付メール"},
    SEP,
    {23, 0, 156, u"フォルダをエクスプローラで開く"},
    {27, 0, 157, u"フォルダのプロパティ"},
    {26, 0, 158, u"ファイルのプロパティ"},
    {35, 0, 253, u"ファイル付帯情報＆編集"},
    {7, 0, 136, u"選択項目の情報をクリップボードにコピー"},
    {54, 0, 305, u"ＧＰＳ撮影位置推測"},
    SEP,
    {3, 0, 117, u"選択ファイルをゴミ箱へ(DEL)"},
    {4, 0, 123, u"ゴミ箱を空にする"},
    {19, P, 9, u"ヘルプ"},
};

MenuItemRecord popup3[] = {
    {-1, C, 435, u"１画面"},      {-1, C, 436, u"左右２画面"}, {-1, C, 437, u"上下２画面"},
    {-1, C, 438, u"３画面分割"}, {-1, C, 439, u"４画面分割"},
};

MenuItemRecord popup4[] = {
    {-1, C, 140, u"BMP"},
    {-1, C, 141, u"JPG"},
    {-1, C, 142, u"PNG"},
    {-1, C, 143, u"GIF"},
    {-1, C, 144, u"TIFF"},
    {-1, C, 242, u"Adobe PSD"},
    {-1, C, 145, u"Adobe DNG"},
    {-1, C, 146, u"Canon CRW"},
    {-1, C, 147, u"Canon CR2"},
    {-1, C, 148, u"Nikon NEF"},
    {-1, C, 233, u"Nikon NRW"},
    {-1, C, 149, u"PENTAX PEF"},
    {-1, C, 150, u"OLYMPUS ORF"},
    {-1, C, 151, u"FUJIFILM RAF"},
    {-1, C, 152, u"SONY SR2"},
    {-1, C, 153, u"SONY ARW"},
    {-1, C, 154, u"KONICA MINOLTA MRW"},
    {-1, C, 235, u"Panasonic/Leica RAW"},
    {-1, C, 237, u"Panasonic RW2"},
    {-1, C, 239, u"Leica RWL"},
    {-1, C, 236, u"Sigma X3F"},
    {-1, C, 261, u"Samsung SRW"},
    {-1, C, 238, u"Mamiya MEF"},
    {-1, C, 274, u"HasselBlad 3F Raw"},
    {-1, C, 278, u"Kodak DCR"},
    {-1, C, 309, u"動画"},
};

MenuItemRecord popup5[] = {
    {-1, 0, 182, u"選択ファイルをチェック(F2)"},
    {-1, 0, 183, u"選択ファイルのチェック外す(F3)"},
    {-1, 0, 200, u"選択ファイルのチェックマークを反転"},
    {-1, 0, 137, u"チェックマーク画像を全選択"},
    {-1, 0, 138, u"チェックマーク画像以外を全選択"},
};
MenuItemRecord popup6[] = {{-1, 0, 127, u"フォルダ一括リネーム"}, {-1, 0, 131, u"フォルダ一括置換リネーム"}};
MenuItemRecord popup7[] = {{-1, 0, 125, u"選択画像を壁紙に設定"}, {-1, 0, 126, u"壁紙設定を開く"}};
MenuItemRecord popup8[] = {{-1, 0, 230, u"画像添付メール作成"}, {-1, 0, 231, u"メール画像設定"}};
MenuItemRecord popup9[] = {{-1, 0, 133, u"ヘルプ"}, {-1, 0, 129, u"キー操作一覧"}, {-1, 0, 132, u"バージョン情報"}};

MenuItemRecord popup10[] = {
    {-1, C, 2000, u"画像ファイル設定"},     {-1, C, 2001, u"動画ファイル設定"},
    {-1, C, 2002, u"表示設定"},             {-1, C, 2003, u"サムネイル設定"},
    {-1, C, 2004, u"キャッシュ設定"},       {-1, C, 2005, u"ビューフォーカス設定"},
    {-1, C, 2006, u"カラー設定"},           {-1, C, 2007, u"フォント設定"},
    {-1, C, 2008, u"アクション設定"},       {-1, C, 2009, u"リネーム設定"},
    {-1, C, 2010, u"メディア容量分割設定"}, {-1, C, 2011, u"お気に入り設定"},
    {-1, C, 2012, u"リスト項目設定"},       {-1, C, 2013, u"パフォーマンス設定"},
    {-1, C, 2014, u"壁紙設定"},             {-1, C, 2015, u"メール添付画像設定"},
    {-1, C, 2016, u"ツールBOX ボタン設定"}, {-1, C, 2017, u"GPS撮影位置推測設定"},
};

MenuItemRecord popup11[] = {
    {11, 0, 155, u"ツリーを最新の情報に更新"},
    SEP,
    {10, P, 10, u"設定(F9)"},
    SEP,
    {23, 0, 156, u"フォルダをエクスプローラで開く"},
    {27, 0, 157, u"フォルダのプロパティ"},
    SEP,
    {13, 0, 160, u"フォルダを作成"},
    {0, 0, 159, u"フォルダの削除"},
    {0, 0, 161, u"フォルダのリネーム"},
    SEP,
    {15, 0, 162, u"選択ファイルをここにコピー"},
    {14, 0, 163, u"選択ファイルをここに移動"},
    SEP,
    {18, 0, 139, u"サブフォルダ画像統合(F8)"},
    SEP,
    {20, 0, 164, u"お気に入りフォルダに登録"},
    {0, P, 12, u"お気に入りフォルダ"},
    SEP,
    {16, 0, 185, u"キャッシュクリア"},
    {0, P, 13, u"キャッシュ履歴"},
    SEP,
    {19, P, 9, u"ヘルプ"},
};

MenuItemRecord popup14[] = {
    {-1, 0, 210, u"項目名変更"},
    {-1, 0, 207, u"選択項目名をベース項目名に戻す"},
    {-1, 0, 208, u"全てにチェック"},
    {-1, 0, 209, u"全てのチェックを外す"},
};
MenuItemRecord popup15[] = {{-1, 0, 318, u"追加"}, {-1, 0, 319, u"変更"}, {-1, 0, 320, u"削除"}};
MenuItemRecord popup16[] = {{0, 0, 244, u"コピー"}};
MenuItemRecord popup17[] = {{0, 0, 244, u"コピー"}, {0, 0, 252, u"ペースト"}, {0, 0, 250, u"削除"}};
MenuItemRecord popup18[] = {
    {0, 0, 244, u"コピー"},
    {0, 0, 301, u"GoogleMapを開く"},
    {0, 0, 300, u"マピオンの地図を開く"},
    {0, 0, 308, u"Yahoo!地図を開く"},
};
MenuItemRecord popup20[] = {
    {36, 0, 267, u"新規コレクション作成"},
    {0, 0, 272, u"コレクション名の変更"},
    {0, 0, 271, u"コレクション削除"},
    {0, 0, 299, u"検索結果の一括削除"},
};
MenuItemRecord popup21[] = {{-1, 0, 427, u"追加"}, {-1, 0, 428, u"変更"}, {-1, 0, 429, u"削除"}};

const PopupTable kTables[] = {
    {1, popup1, N(popup1)},    {2, popup2, N(popup2)},    {3, popup3, N(popup3)},    {4, popup4, N(popup4)},
    {5, popup5, N(popup5)},    {6, popup6, N(popup6)},    {7, popup7, N(popup7)},    {8, popup8, N(popup8)},
    {9, popup9, N(popup9)},    {10, popup10, N(popup10)}, {11, popup11, N(popup11)}, {14, popup14, N(popup14)},
    {15, popup15, N(popup15)}, {16, popup16, N(popup16)}, {17, popup17, N(popup17)}, {18, popup18, N(popup18)},
    {20, popup20, N(popup20)}, {21, popup21, N(popup21)},
};

struct TypeBit {
  int id;
  uint32_t bit;
};
const TypeBit kFormatBits[] = {
    {140, 0x1},      {141, 0x2},      {142, 0x4},      {143, 0x8},       {144, 0x10},       {146, 0x20},
    {147, 0x40},     {148, 0x80},     {154, 0x100},    {149, 0x200},     {150, 0x400},      {151, 0x800},
    {152, 0x1000},   {153, 0x2000},   {145, 0x4000},   {233, 0x8000},    {235, 0x10000},    {237, 0x20000},
    {239, 0x40000},  {238, 0x80000},  {236, 0x100000}, {242, 0x200000},  {261, 0x400000},   {274, 0x800000},
    {309, 0x1000000}, {278, 0x80000000u},
};

}  // namespace

const int kBuildOrder[kBuildOrderCount] = {15, 21, 14, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 11, 20, 16, 17, 18};
const char16_t kNoneItemText[] = u"なし";

const PopupTable* FindPopupTable(int index) {
  for (const PopupTable& t : kTables)
    if (t.index == index) return &t;
  return nullptr;
}

int SubmenuSlots(int submenu, SubmenuSlot out[2]) {
  int n = 0;
  for (int parent : {2, 11}) {
    const PopupTable* t = FindPopupTable(parent);
    for (int i = 0; i < t->count; ++i)
      if ((t->items[i].flags & kMenuPopup) && t->items[i].id == submenu) out[n++] = {parent, i};
  }
  return n;
}

const MenuItemRecord* OwnerItemRecord(uintptr_t itemData) {
  const PopupTable* t = FindPopupTable(int(itemData >> 16));
  int position = int(itemData & 0xFFFF);
  if (!t || position >= t->count || t->items[position].icon < 0) return nullptr;
  return &t->items[position];
}

uint32_t FormatItemTypeBit(int id) {
  for (const TypeBit& b : kFormatBits)
    if (b.id == id) return b.bit;
  return 0;
}

int FavouriteMenuItems(const FavouriteFolderRow rows[128], DynamicMenuItem out[128]) {
  int n = 0;
  for (int row = 0; row < 128; ++row)
    if (rows[row].used == 1 && rows[row].path[0]) out[n++] = {3000 + row, kMenuChecked, rows[row].path};
  if (n == 0) out[n++] = {3000, kMenuChecked | kMenuGrayed, kNoneItemText};
  return n;
}

int ListMenuItems(int base, const char16_t* const* texts, int count, DynamicMenuItem* out, int capacity) {
  int n = 0;
  for (int i = 0; i < count && n < capacity; ++i) out[n++] = {base + i, kMenuChecked, texts[i] ? texts[i] : u""};
  if (n == 0 && capacity > 0) out[n++] = {base, kMenuChecked | kMenuGrayed, kNoneItemText};
  return n;
}

void ListPopupEnableRules(const ListPopupInputs& in, CommandEnable out[kListPopupRuleCount]) {
  bool listShown = (in.viewMode & 1) != 0, picturesShown = (in.viewMode & 2) != 0;
  bool ready = in.thumbnailsComplete && in.entryCount > 0;
  bool target = listShown ? in.selectedRows > 0
                          : in.listCount > 0 && in.cursorRow >= 0 && in.cursorRow < in.listCount && in.cursorEntryPresent;
  // An item whose command acts on rows is enabled only when that command finds one.
  const bool cursor = in.listCount > 0 && in.cursorRow >= 0 && in.cursorRow < in.listCount;
  const bool files = cursor && in.fileActionTarget, pictures = cursor && in.pictureTarget;
  int n = 0;
  out[n++] = {130, ready};
  out[n++] = {127, ready};
  out[n++] = {131, ready};
  out[n++] = {120, ready && (!listShown || target)};
  out[n++] = {119, in.entryCount > 0};
  out[n++] = {125, target && files};
  out[n++] = {122, target && files};
  out[n++] = {117, target && files};
  out[n++] = {158, target && pictures};
  for (int32_t id : {197, 230}) out[n++] = {id, files};
  for (int32_t id : {136, 305, 182, 183, 200}) out[n++] = {id, pictures};
  out[n++] = {137, listShown};
  out[n++] = {138, listShown};
  out[n++] = {206, picturesShown};
  out[n++] = {227, picturesShown};
  out[n++] = {164, in.listSource == 0};
  out[n++] = {273, in.listSource != 0};
  out[n++] = {275, !in.searchOpen};
}

bool FolderTreeCopyEnabled(bool listShown, int32_t selectedRows, int32_t entryCount, bool targetIsCurrent) {
  bool files = listShown ? selectedRows > 0 : entryCount > 0;
  return files && !targetIsCurrent;
}

void SetListPopupModeIcons(bool zoomHold, bool loupe) {
  popup2[8].icon = zoomHold ? 33 : 32;
  popup2[9].icon = loupe ? 25 : 24;
}
