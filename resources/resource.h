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
// File Information window, its tabs and the IPTC editors.
#define IDD_IPTC_TAB          211
#define IDD_FILE_INFO         212
#define IDD_FILE_TAB          213
#define IDD_EXIF_TAB          214
#define IDD_COMMENT_TAB       215
#define IDD_IPTC_TOOL_STRIP   216
#define IDD_IPTC_CHOICE       217
#define IDD_IPTC_DATE_TIME    218
#define IDD_GPS_TAB           226
#define IDD_PREVIEW_TAB       230
#define IDC_FILE_INFO_TAB     305
#define IDC_TAB_WRITE         424
#define IDC_TAB_TOGGLE        425
#define IDC_IPTC_LIST         471
#define IDC_ATTR_READONLY     474
#define IDC_ATTR_HIDDEN       475
#define IDC_ATTR_ARCHIVE      476
#define IDC_ATTR_SYSTEM       477
#define IDC_INFO_NAME         478
#define IDC_INFO_FOLDER       479
#define IDC_INFO_SIZE         480
#define IDC_INFO_CREATED      481
#define IDC_INFO_WRITTEN      482
#define IDC_INFO_ACCESSED     483
#define IDC_EXIF_LIST         475
#define IDC_COMMENT_EDIT      476
#define IDC_GPS_LIST          543
#define IDC_IPTC_ADD_COMBO    481
#define IDC_IPTC_ADD          489
#define IDC_IPTC_CLEAR_ALL    478
#define IDC_IPTC_COPY_ALL     491
#define IDC_IPTC_PASTE_ALL    492
#define IDC_IPTC_INSERT_ALL   493
#define IDC_IPTC_SAVE_TEMPLATE 479
#define IDC_IPTC_LOAD_TEMPLATE 480
#define IDC_IPTC_PASTE_SKIP   484
#define IDC_IPTC_CHOICE_COMBO 482
#define IDC_IPTC_PICKER       483
