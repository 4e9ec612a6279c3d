#pragma once
// The page "bkTmp.htm" the browser view is pointed at for pictures it draws
// itself, media files and Flash clips: one element that refers to the
// extracted file next to it.

#include <filesystem>
#include <optional>
#include <string>

#include "viewer_table.h"

inline constexpr char kWrapperPageName[] = "bkTmp.htm";

// The page text for a file (full path of the extracted file); empty for None.
std::u16string WrapperPageText(WrapperKind kind, const std::u16string& filePath);
// Writes the page into the folder: one byte per character (its low eight
// bits), then one zero byte. The page's path, or none when it cannot be
// created. An existing link of that name is not followed.
std::optional<std::filesystem::path> WriteWrapperPage(const std::filesystem::path& folder, const std::u16string& text);
