#pragma once
// The private window messages of the desktop program's own windows
// (WM_USER + n). The messages the core's scanners send are in notify.h.

#include <cstdint>

#include "notify.h"

constexpr uint32_t UM_TREE_SELECT = WM_USER_BASE + 151;          // 1175
constexpr uint32_t UM_TREE_CONTEXT = WM_USER_BASE + 152;         // 1176
constexpr uint32_t UM_TREE_EXPAND = WM_USER_BASE + 154;          // 1178
constexpr uint32_t UM_TREE_CHECK = WM_USER_BASE + 155;           // 1179
constexpr uint32_t UM_TREE_RENAME = WM_USER_BASE + 156;          // 1180
constexpr uint32_t UM_SHOW_PREVIEW = WM_USER_BASE + 160;         // 1184
constexpr uint32_t UM_PROCESS_STATE = WM_USER_BASE + 162;        // 1186
constexpr uint32_t UM_SEARCH_ITEM_CLICKED = WM_USER_BASE + 163;  // 1187

static_assert(UM_PROCESS_STATE == 1186 && UM_TREE_SELECT == 1175);
