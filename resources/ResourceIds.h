// Ids of the launcher's images and icon, shared by the resource scripts and the code: macros,
// since windres reads this header too.
#pragma once

#define ICON_LAUNCHER 102

#define IMAGE_SKIN 101

// The login window's buttons: normal, hover, pressed.
#define IMAGE_MINIMIZE_NORMAL 102
#define IMAGE_MINIMIZE_HOVER 103
#define IMAGE_MINIMIZE_PRESSED 104
#define IMAGE_CLOSE_NORMAL 105
#define IMAGE_CLOSE_HOVER 106
#define IMAGE_CLOSE_PRESSED 107
#define IMAGE_FORUM_NORMAL 108
#define IMAGE_FORUM_HOVER 109
#define IMAGE_FORUM_PRESSED 110
#define IMAGE_RECHARGE_NORMAL 111
#define IMAGE_RECHARGE_HOVER 112
#define IMAGE_RECHARGE_PRESSED 113
#define IMAGE_SERVICE_NORMAL 114
#define IMAGE_SERVICE_HOVER 115
#define IMAGE_SERVICE_PRESSED 116
#define IMAGE_SITE_NORMAL 117
#define IMAGE_SITE_HOVER 118
#define IMAGE_SITE_PRESSED 119

// The game window's title-bar buttons.
#define IMAGE_GAME_MINIMIZE_NORMAL 120
#define IMAGE_GAME_MINIMIZE_HOVER 121
#define IMAGE_GAME_MINIMIZE_PRESSED 122
#define IMAGE_GAME_MAXIMIZE_NORMAL 123
#define IMAGE_GAME_MAXIMIZE_HOVER 124
#define IMAGE_GAME_MAXIMIZE_PRESSED 125
#define IMAGE_GAME_CLOSE_NORMAL 126
#define IMAGE_GAME_CLOSE_HOVER 127
#define IMAGE_GAME_CLOSE_PRESSED 128

// The notice's Retry button.
#define IMAGE_RETRY_NORMAL 129
#define IMAGE_RETRY_HOVER 130
#define IMAGE_RETRY_PRESSED 131

// Each image drawn at twice its size, for displays at 200 %, has its id plus this.
#define IMAGE_TWIN_OFFSET 1000
#define IMAGE_TWIN(id) ((id) + IMAGE_TWIN_OFFSET)
