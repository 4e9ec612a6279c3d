#pragma once
// Which viewer shows a previewed file, chosen by its upper-case extension,
// and which files the browser shows through a wrapper page.

#include <string_view>

enum class ViewerGroup { Picture, Mailbox, Text, Browser, Archive, HexDump };

// The group of an upper-case extension (compared exactly); HexDump for an
// extension in no group, the empty one included.
ViewerGroup ViewerGroupOf(std::u16string_view upperExtension);

// The wrapper page the browser is pointed at instead of the file.
enum class WrapperKind { None, Image, Media, Flash };
WrapperKind WrapperKindOf(std::u16string_view upperExtension);
