#pragma once
// Command and control ids of the main window.

// Ribbon commands.
inline constexpr int ID_FILE_OPEN_BKF = 283;     // "Open"
inline constexpr int ID_STOP_PROCESS = 322;      // "Stop"
inline constexpr int ID_SAVE_RECOVERED = 298;    // "Save"
inline constexpr int ID_SEARCH_FILES = 297;      // "Search"
inline constexpr int ID_SAVE_LOG = 325;          // "Log"
inline constexpr int ID_LOAD_SNAPSHOT = 293;     // "Load"
inline constexpr int ID_SAVE_SNAPSHOT = 294;     // "Save" (snapshot)
inline constexpr int ID_HELP_PAGE = 295;         // "Help"
inline constexpr int ID_APP_ABOUT = 296;         // "About"

// Status bar.
inline constexpr int ID_STATUSBAR_PANE1 = 121;   // the static pane
inline constexpr int ID_STATUSBAR_LINK = 311;    // the link element, opens the product page

// Visual look group (216 is the black variant, the one every start applies).
inline constexpr unsigned ID_VIEW_APPLOOK_FIRST = 210;
inline constexpr unsigned ID_VIEW_APPLOOK_BLACK = 216;
inline constexpr unsigned ID_VIEW_APPLOOK_LAST = 218;

// Docking panes.
inline constexpr int ID_VIEW_FILEVIEW = 133;     // "BKF File"
inline constexpr int ID_VIEW_OUTPUTWND = 149;    // "BKF File Status"

// Controls of the panes.
inline constexpr int IDC_BKF_TREE = 281;
inline constexpr int IDC_LOG_LIST = 323;
inline constexpr int IDC_OUTPUT_TABS = 324;

// The "Tree Click" menu of the folder tree.
inline constexpr int ID_TREE_COLLAPSE_ALL = 32777;  // "Collapse All"
inline constexpr int ID_TREE_RENAME = 32782;        // "Rename"
