#include "wrapper_page.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace {
// The player download locations.
constexpr char16_t kMediaPlayerCodebase[] =
    u"http://activex.microsoft.com/activex/controls/mplayer/en/nsmp2inf.cab";
constexpr char16_t kFlashCodebase[] = u"http://download.macromedia.com/pub/shockwave/cabs/flash/swflash.cab";
constexpr char16_t kFlashPluginsPage[] = u"http://www.macromedia.com/go/getflashplayer";

std::u16string FileNameOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u'/');
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

void ReplaceAll(std::u16string& text, std::u16string_view what, std::u16string_view with) {
  for (size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }
}  // namespace

std::u16string WrapperPageText(WrapperKind kind, const std::u16string& filePath) {
  switch (kind) {
    case WrapperKind::Image:
      return u"<html><head></head><body><img src='" + filePath + u"'/></body></html>";
    case WrapperKind::Media: {
      std::u16string page =
          std::u16string(u"<OBJECT ID=\"MediaPlayer1\" WIDTH=320 HEIGHT=240 "
                         u"CLASSID=\"CLSID:22D6f312-B0F6-11D0-94AB-0080C74C7E95\" CODEBASE=\"") +
          kMediaPlayerCodebase +
          u"#Version=5,1,52,701\" standby=\"Loading Microsoft Windows Media Player components...\" "
          u"type=\"application/x-oleobject\"><Param Name=\"FileName\" Value=\"music.mp3\"></OBJECT>";
      ReplaceAll(page, u"music.mp3", FileNameOf(filePath));
      return page;
    }
    case WrapperKind::Flash: {
      std::u16string name = FileNameOf(filePath);
      ReplaceAll(name, u".swf", u"");
      while (!name.empty() && IsBlank(name.back())) name.pop_back();
      std::u16string page =
          std::u16string(u"<OBJECT classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" codebase=\"") +
          kFlashCodebase +
          u"#version=6,0,0,0\" WIDTH=\"500\" HEIGHT=\"250\" id=\"Yourfilename\" ALIGN=\"\">"
          u"<PARAM NAME=movie VALUE=\"Yourfilename.swf\"><PARAM NAME=quality VALUE=high>"
          u"<PARAM NAME=bgcolor VALUE=#333399><EMBED src=\"Yourfilename.swf\" quality=high bgcolor=#333399 "
          u"WIDTH=\"320\" HEIGHT=\"240\" NAME=\"Yourfilename\" ALIGN=\"\" TYPE=\"application/x-shockwave-flash\" "
          u"PLUGINSPAGE=\"" +
          kFlashPluginsPage + u"\"></EMBED></OBJECT>";
      ReplaceAll(page, u"Yourfilename", name);
      return page;
    }
    case WrapperKind::None: break;
  }
  return {};
}

std::optional<std::filesystem::path> WriteWrapperPage(const std::filesystem::path& folder, const std::u16string& text) {
  const std::filesystem::path page = folder / kWrapperPageName;
  std::vector<char> bytes;
  bytes.reserve(text.size() + 1);
  for (char16_t c : text) bytes.push_back(char(c & 0xFF));
  bytes.push_back('\0');
  const int fd = ::open(page.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return std::nullopt;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      ::close(fd);
      return std::nullopt;
    }
    done += size_t(n);
  }
  if (::close(fd) != 0) return std::nullopt;
  return page;
}
