#pragma once
// The type text of a file name, by its extension, as the desktop program's
// lists show it: the comment of the freedesktop MIME type, or "EXT File" for
// an extension the database does not know ("File" without one).

#include <string>

std::string FileTypeName(const std::u16string& fileName);
