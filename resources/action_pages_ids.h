// Dialog and control ids of the action list page, the action register dialog and the rename
// settings page (shared with the .rc).
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_SETTINGS_ACTION_LIST        135
#define IDD_ACTION_REGISTER             136
#define IDD_SETTINGS_RENAME             162

#define IDC_ACTION_LIST                 316
#define IDC_ACTION_ADD                  318
#define IDC_ACTION_CHANGE               319
#define IDC_ACTION_DELETE               320
#define IDC_ACTION_ADVANCE_AFTER_COPY   346
#define IDC_ACTION_EXIF_ON_RAW          347
#define IDC_ACTION_KEEP_ROTATION_TIME   348

#define IDC_REGISTER_KEY                308
#define IDC_REGISTER_KIND               310
#define IDC_REGISTER_PATH               309
#define IDC_REGISTER_CHOOSE_FOLDER      311
#define IDC_REGISTER_CHOOSE_APP         312
#define IDC_REGISTER_COMMAND            448
#define IDC_REGISTER_COMMENT            347
#define IDC_REGISTER_ONE_CALL           445
#define IDC_REGISTER_ASK_AT_RUN         446
#define IDC_REGISTER_SAME_JPG           444
#define IDC_REGISTER_OWN_RENAME         447
#define IDC_REGISTER_COLOUR_ON          432
#define IDC_REGISTER_COLOUR_OFF         433
#define IDC_REGISTER_COLOUR_SAMPLE      431
#define IDC_REGISTER_PATH_LABEL         345
#define IDC_REGISTER_TITLE              343
#define IDC_REGISTER_HELP               344

#define IDC_RENAME_PREFIX_TYPE          404
#define IDC_RENAME_PREFIX_TEXT          402
#define IDC_RENAME_PREFIX_JOINER        406
#define IDC_RENAME_NAME_TYPE            403
#define IDC_RENAME_DATE_JOINER          405
#define IDC_RENAME_SEQUENCE             413
#define IDC_RENAME_SEQUENCE_SPIN        459
#define IDC_RENAME_OLD_TEXT             411
#define IDC_RENAME_NEW_TEXT             412
#define IDC_RENAME_ACTIONS              407
#define IDC_RENAME_BIND                 542
#define IDC_RENAME_RELEASE              544
#define IDC_RENAME_FETCH                543
#define IDC_REPLACE_ACTIONS             408
#define IDC_REPLACE_BIND                546
#define IDC_REPLACE_RELEASE             545
#define IDC_REPLACE_FETCH               547
