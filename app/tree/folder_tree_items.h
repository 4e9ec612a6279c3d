#pragma once
// What the items of the folder tree show: the kind byte of their item data
// (a node of the recovery tree or a found-file record, with its list index)
// and the label of the placeholder that marks a folder not populated yet.

#include <cstdint>

#include "recovery_tree.h"

inline constexpr uint8_t kNodeItemKind = 'N';
inline constexpr uint8_t kFileItemKind = kFileKind;  // 'F', as the record's own kind byte
inline constexpr char kPlaceholderLabel[] = "Dummy";
inline constexpr char kFolderTypeText[] = "Folder";
