#pragma once
// Names from a backup are data: printed to a terminal as they are, an ESC,
// BEL, CR or LF in a name could move the cursor, ring the bell or fake lines
// of the output. The text output shows such characters as \xNN instead.

#include <string>
#include <string_view>

// UTF-8 text with every control character (U+0000..U+001F, U+007F and
// U+0080..U+009F) written as \xNN (the code point in two hex digits).
// Anything that is not valid UTF-8 is shown byte by byte the same way.
std::string TerminalText(std::string_view utf8);
