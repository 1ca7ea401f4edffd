// Dialog and control ids of the later preferences pages (fonts to GPS), shared with the .rc.
#pragma once

#define IDD_SETTINGS_FONTS              165
#define IDD_SETTINGS_MEDIA_SPLIT        147
#define IDD_SETTINGS_FAVOURITES         168
#define IDD_SETTINGS_LIST_ITEMS         170
#define IDD_SETTINGS_PERFORMANCE        157
#define IDD_SETTINGS_WALLPAPER          158
#define IDD_SETTINGS_MAIL               210
#define IDD_SETTINGS_TOOLBOX            225
#define IDD_SETTINGS_GPS                227

#define IDC_FONT_LIST_FACE              418
#define IDC_FONT_LIST_SIZE              412
#define IDC_FONT_LIST_SIZE_SPIN         413
#define IDC_FONT_LIST_BOLD              421
#define IDC_FONT_LIST_RESET             419
#define IDC_FONT_MAIN_FACE              332
#define IDC_FONT_NAME_SIZE              415
#define IDC_FONT_NAME_SIZE_SPIN         414
#define IDC_FONT_NAME_BOLD              422
#define IDC_FONT_MAIN_RESET             420
#define IDC_FONT_INFO_SIZE              417
#define IDC_FONT_INFO_SIZE_SPIN         416
#define IDC_FONT_INFO_BOLD              423
#define IDC_FONT_INFO_RESET             424
#define IDC_FONT_DATE_SIZE              427
#define IDC_FONT_DATE_SIZE_SPIN         426
#define IDC_FONT_DATE_BOLD              428
#define IDC_FONT_DATE_RESET             425

#define IDC_SPLIT_SIZE                  330
#define IDC_SPLIT_PRESET                331
#define IDC_SPLIT_FOLDER_NAME           340
#define IDC_SPLIT_DIGITS                332
#define IDC_SPLIT_PARENT_PREFIX         346
#define IDC_SPLIT_EVEN                  347

#define IDC_FAVOURITES_LIST             426
#define IDC_FAVOURITES_ADD              427
#define IDC_FAVOURITES_CHANGE           428
#define IDC_FAVOURITES_DELETE           429

#define IDC_LIST_ITEMS_LIST             442
#define IDC_LIST_ITEMS_STYLE            443
#define IDM_LIST_ITEMS_RESTORE          207
#define IDM_LIST_ITEMS_CHECK_ALL        208
#define IDM_LIST_ITEMS_UNCHECK_ALL      209
#define IDM_LIST_ITEMS_RENAME           210

#define IDC_PERF_PRIORITY               363
#define IDC_PERF_PREFETCH               365

#define IDC_WALLPAPER_FIT_ALL           369
#define IDC_WALLPAPER_FIT_CROP          370
#define IDC_WALLPAPER_FIT_STRETCH       371
#define IDC_WALLPAPER_IN_PROGRAM        372
#define IDC_WALLPAPER_IN_DOCUMENTS      373
#define IDC_WALLPAPER_SHARPNESS         407

#define IDC_MAIL_LONG_SIDE              465
#define IDC_MAIL_LONG_SIDE_SPIN         466
#define IDC_MAIL_QUALITY                467
#define IDC_MAIL_QUALITY_SPIN           468
#define IDC_MAIL_SHARPNESS              469
#define IDC_MAIL_RESIZE                 470
#define IDC_MAIL_OPEN_FOLDER            308

#define IDC_TOOLBOX_USED                531
#define IDC_TOOLBOX_AVAILABLE           532
#define IDC_TOOLBOX_ADD                 528
#define IDC_TOOLBOX_REMOVE              530
#define IDC_TOOLBOX_UP                  529
#define IDC_TOOLBOX_DOWN                533
#define IDC_TOOLBOX_RESET               534

#define IDC_GPS_AU                      544
#define IDC_GPS_DOCOMO                  545
#define IDC_GPS_GPX                     546
#define IDC_GPS_UTC_OFFSET              547
#define IDC_GPS_UTC_OFFSET_SPIN         548
#define IDC_GPS_WINDOW                  549
#define IDC_GPS_WINDOW_SPIN             550
#define IDC_GPS_MAP_SITE                551
