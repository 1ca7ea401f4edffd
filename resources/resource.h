// Resource identifiers shared by the .rc files and the code.
#pragma once

#define IDS_PRODUCT_NAME      103
#define IDS_PROGRAM_VERSION   104
#define IDS_NOTICE_LINE       105
#define IDS_SITE_URL          106
#define IDS_FEEDBACK_URL      107
#define IDS_VERSION_FILE_URL  108
#define IDS_WINDOW_CLASS      109
#define IDS_CACHE_VERSION     110

#define IDI_APP               107
#define IDR_ACCELERATORS      109
#define IDB_SITE_BUTTON       150
#define IDR_UNKNOWN_PICTURE   215
#define IDR_GUIDE_PICTURE     216

#define IDD_TERMS_OF_USE      228
#define IDC_TERMS_TEXT        550
#define IDC_TERMS_AGREE       424
#define IDC_TERMS_DECLINE     425
#define IDC_SITE_BUTTON       334
#define IDC_NOTICE_LINE       378
#define IDC_TERMS_INTRO       551

#define IDD_ABOUT             148
#define IDC_VERSION_LINE      377
#define IDC_NOTIFY_NEW_VERSION 445
#define IDD_KEY_GUIDE         159

#define IDM_ABOUT             104

// Picture strips of the rebar's two toolbars.
#define IDB_TOOLBOX                 202
#define IDB_TOOLBOX_LARGE           226
// The disabled toolbox images, the band images, the folder-combo images and the menu icons
// are strips of the icon lists.
#define IDB_TOOLBOX_DISABLED        228
#define IDB_TOOLBOX_DISABLED_LARGE  227
#define IDB_MENU_BUTTON             209
#define IDB_MENU_BUTTON_LARGE       221
#define IDB_BAND_IMAGES             211
#define IDB_BAND_IMAGES_LARGE       222
#define IDB_FOLDER_COMBO            200
#define IDB_MENU_ICONS              228
#define IDB_MENU_ICONS_LARGE        227
#define IDD_FILE_LIST_PANE    130
#define IDD_NAVIGATION_PANE   131
#define IDD_PREVIEW_POPUP     208
#define IDD_HISTOGRAM_POPUP   209
#define IDD_MOVIE_CONTROLS    220
#define IDD_DOCKED_FILE_INFO  229
#define IDC_VIEWER_PANE1      301
#define IDC_VIEWER_PANE2      302
#define IDC_VIEWER_PANE3      303
#define IDC_VIEWER_PANE4      304
#define IDC_FILE_LIST         313
#define IDC_FOLDER_TREE       302
#define IDC_COLLECTION_TREE   303
#define IDC_NAVIGATION_TAB    501
// Icon-list strips and dialog button faces (built by scripts/make_icon_strips.py).
#define IDB_FOLDER_COMBO_LARGE      224
#define IDB_ACTION_KIND_ICONS       155
#define IDB_ACTION_KIND_ICONS_LARGE 225
#define IDB_LIST_SORT_MARKS         152
#define IDB_LIST_CHECK_MARKS        153
#define IDB_COMMAND_ICONS           229
#define IDB_COMMAND_ICONS_LARGE     230
#define IDB_BUTTON_CHOOSE_FOLDER    134
#define IDB_BUTTON_CHOOSE_FILE      156
#define IDB_BUTTON_MOVIE_REWIND     213
#define IDB_BUTTON_MOVIE_PAUSE      214
#define IDB_BUTTON_MOVIE_PLAY       215
#define IDB_BUTTON_MOVIE_REPEAT     216
#define IDB_BUTTON_MOVIE_ONCE       217
