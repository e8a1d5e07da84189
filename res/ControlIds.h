// The ids of the controls the program addresses: the templates give them, the
// windows bind and route by them, the tests find the controls by them.
#pragma once

namespace quellhart {

// The framework's help command, which its "Help" buttons send.
inline constexpr int ID_HELP = 57670;

// About box: its button ends it with IDOK.
inline constexpr int IDC_ABOUT_OK = 1;

// Main window.
inline constexpr int IDC_OPEN_FILE = 1009;
inline constexpr int IDC_COMMIT_CHANGES = 1035;
inline constexpr int IDC_ACTIVE_FILE = 1014;
// A line beneath the buttons about the save on disk: loaded again after the game saved
// it, or changed since the edits began.
inline constexpr int IDC_DISK_STATUS = 1040;

// "Global Variables" page.
inline constexpr int IDC_GLOB_COUNT = 1001;
inline constexpr int IDC_GLOB_LIST = 1002;
inline constexpr int IDC_GLOB_RAW_ADDRESS = 1003;
inline constexpr int IDC_GLOB_UNK1 = 1007;
inline constexpr int IDC_GLOB_NAME_LEN = 1010;
inline constexpr int IDC_GLOB_NAME = 1006;
inline constexpr int IDC_GLOB_FNAM_LEN = 1005;
inline constexpr int IDC_GLOB_FNAM = 1004;
inline constexpr int IDC_GLOB_VALUE_LEN = 1012;
inline constexpr int IDC_GLOB_VALUE_RAW = 1015;
inline constexpr int IDC_GLOB_VALUE_CAPTION = 1021;
inline constexpr int IDC_GLOB_VALUE = 1011;
inline constexpr int IDC_CONFIRM_CHANGE = 1034;

// "Player Data" page.
inline constexpr int IDC_PLAYER_RAW_ADDRESS = 1008;
inline constexpr int IDC_PLAYER_NAME = 1025;
inline constexpr int IDC_PLAYER_RACE = 1036;
inline constexpr int IDC_PLAYER_CLASS = 1037;
inline constexpr int IDC_PLAYER_HEAD = 1026;
inline constexpr int IDC_PLAYER_HAIR = 1027;

// "Versions" window.
inline constexpr int IDC_VERSION_LIST = 1040;
inline constexpr int IDC_VERSION_CHANGES = 1041;
inline constexpr int IDC_VERSION_RESTORE = 1042;
inline constexpr int IDC_VERSION_CLOSE = 2;  // ends the window as Escape does (IDCANCEL)

}  // namespace quellhart
