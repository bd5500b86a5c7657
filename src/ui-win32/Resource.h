// Resource numbers of the Win32 face: read by the resource compiler and by the
// face's code alike, so plain #defines only.
#pragma once

// Templates: the wizard window, the settings dialog; every page's template has
// the number of its page ID.
#define TV_DLG_WIZARD 129
#define TV_DLG_SETTINGS 157

// Pictures and tables.
#define TV_ICON_APP 5
#define TV_ICON_HELP 20
#define TV_ICON_SETTINGS 21
// The result pictures: the numbers by which the pages ask for them.
#define TV_ICON_SUCCESS 189
#define TV_ICON_FAILURE 188
#define TV_BMP_LOGO 131
#define TV_BMP_LOGO_LARGE 132
#define TV_ACCEL_WIZARD 179
#define TV_MANIFEST 1

// The wizard window's controls beyond the navigation buttons.
#define TV_CTL_LOGO 1002
#define TV_CTL_HELP 1007
#define TV_CTL_SETTINGS 1008
#define TV_CTL_BAND 1057
#define TV_CTL_FRAME_TOP 1058
#define TV_CTL_FRAME_BOTTOM 1059
#define TV_CTL_FRAME_LEFT 1060
#define TV_CTL_FRAME_RIGHT 1061
// The breadcrumb: caption, separator, caption, ... caption (nine statics).
#define TV_CTL_CRUMB1 1073
#define TV_CTL_CRUMB2 1075
#define TV_CTL_CRUMB3 1081
#define TV_CTL_CRUMB4 1082
#define TV_CTL_CRUMB5 1083
#define TV_CTL_CRUMB6 1090
#define TV_CTL_CRUMB7 1091
#define TV_CTL_CRUMB8 1092
#define TV_CTL_CRUMB9 1093
// The active page's own button beside Finish (the verification report).
#define TV_CTL_PAGE_BUTTON 1500

// The status line without a control ID of its own (the verification page).
#define TV_CTL_STATUS_LINE 65535

// The browse button beside the archive path edit: the face hands its click to
// the page's browse action. Only the face knows it.
#define TV_CTL_BROWSE 1490
// The settings dialog's title, as the core addresses it.
#define TV_CTL_SETTINGS_TITLE 1500

// Commands of accelerator table 179.
#define TV_CMD_SETTINGS 32777
#define TV_CMD_NEXT 32778
#define TV_CMD_BACK 32779
#define TV_CMD_BACK_KEY 32780
#define TV_CMD_BROWSE 32782
#define TV_CMD_FOCUS_SETTINGS 32783
