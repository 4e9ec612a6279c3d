#include "viewer_table.h"

#include <algorithm>
#include <initializer_list>

namespace {
using List = std::initializer_list<std::u16string_view>;

const List kPictures = {u"BMP", u"JPG", u"JPEG", u"PNG", u"CUR", u"SKA", u"WMF", u"TIF", u"TIFF", u"ICO", u"TGA",
                        u"PCX", u"WBMP", u"JP2", u"PGX", u"PNM", u"RAS", u"JBG", u"MNG", u"RAW", u"CRW", u"NEF",
                        u"CR2", u"DNG", u"ORF", u"ARW", u"ERF", u"3FR", u"DCR", u"X3F", u"MEF", u"RAF", u"MRW",
                        u"PEF", u"SR2"};
const List kText = {u"RTF",  u"TXT",  u"HPP", u"INI",    u"INF",    u"CPP", u"H",    u"LOG",  u"NFO", u"DSW",
                    u"SLN",  u"MSG",  u"ABW", u"IDX",    u"LST",    u"MBOX", u"README", u"CSV", u"WRI", u"BAT",
                    u"ASM",  u"FRM",  u"CS",  u"HH",     u"JAV",    u"JAVA", u"INC",  u"MAK",  u"MK",  u"PAS",
                    u"PL",   u"PY",   u"RES", u"SRC",    u"TRX",    u"VBS", u"DSP",  u"CGI",  u"JSP", u"VCPROJ",
                    u"CSPROJ", u"LIC", u"PHP", u"ASP",   u"C",      u"REG", u"CXX",  u"PRG",  u"TEXT", u"ERR",
                    u"CSS",  u"CC",   u"DEF", u"IDL",    u"ASPX",   u"DIZ", u"CMD",  u"ADM",  u"HTA", u"XHT",
                    u"PDF"};
const List kBrowserImages = {u"GIF", u"EMF", u"JPE", u"JFIF", u"DIB"};
const List kMedia = {u"MP3", u"MID", u"MIDI", u"MPG", u"MPEG", u"AVI", u"MP2",  u"AU",  u"SND", u"ASF",
                     u"ASX", u"WAV", u"WMA",  u"WAX", u"WM",   u"WMV", u"WVX",  u"RA",  u"RAM", u"RM",
                     u"RMM", u"M1V", u"MPA",  u"MPE", u"RMI",  u"MOV", u"AIF",  u"AIFC", u"AIFF", u"IVF",
                     u"DAT", u"WMZ", u"WMS",  u"QT",  u"VOB",  u"M3U", u"MP2V", u"MPV2"};
const List kBrowserPages = {u"XML", u"MHT", u"HTML", u"HTM", u"XAP", u"XTM", u"XTML"};
const List kArchives = {u"7Z",  u"ARJ",   u"BZIP2", u"CAB", u"CHM", u"COMPOUND", u"CPIO",
                        u"DEB", u"GZIP",  u"ISO",   u"LZH", u"LZMA", u"NSIS",    u"RAR",
                        u"RPM", u"SPLIT", u"TAR",   u"WIM", u"Z",   u"ZIP"};

bool In(const List& list, std::u16string_view ext) { return std::find(list.begin(), list.end(), ext) != list.end(); }
}  // namespace

ViewerGroup ViewerGroupOf(std::u16string_view ext) {
  if (ext.empty()) return ViewerGroup::HexDump;
  if (In(kPictures, ext)) return ViewerGroup::Picture;
  if (ext == u"DBX") return ViewerGroup::Mailbox;
  if (In(kText, ext)) return ViewerGroup::Text;
  if (In(kBrowserImages, ext) || In(kMedia, ext) || In(kBrowserPages, ext) || ext == u"SWF")
    return ViewerGroup::Browser;
  if (In(kArchives, ext)) return ViewerGroup::Archive;
  return ViewerGroup::HexDump;
}

WrapperKind WrapperKindOf(std::u16string_view ext) {
  if (In(kBrowserImages, ext)) return WrapperKind::Image;
  if (In(kMedia, ext)) return WrapperKind::Media;
  if (ext == u"SWF") return WrapperKind::Flash;
  return WrapperKind::None;
}
