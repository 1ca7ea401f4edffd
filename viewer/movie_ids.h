// Control ids of the movie control strip (dialog IDD_MOVIE_CONTROLS) and the two skip commands
// it takes from the keys.
#pragma once

#define IDC_MOVIE_PAUSE        490
#define IDC_MOVIE_REWIND       491
#define IDC_MOVIE_REPEAT_ON    492
#define IDC_MOVIE_POSITION     493
#define IDC_MOVIE_VOLUME_BAR   494
#define IDC_MOVIE_TIME         495
#define IDC_MOVIE_LENGTH       496
#define IDC_MOVIE_PLAY         497
#define IDC_MOVIE_REPEAT_OFF   498
#define IDC_MOVIE_SPEAKER      499
#define IDC_MOVIE_SKIP_FORWARD 297
#define IDC_MOVIE_SKIP_BACK    298
