#include "save_log.h"

#include <cstring>

#include "text.h"

namespace quillon {

std::u16string SaveStartedLine(std::u16string_view timeStamp) {
  return u" Saving process for recovered files starts.    " + std::u16string(timeStamp);
}

std::u16string FilesToSaveLine(uint64_t count) { return u"Number of files to be saved: " + ToDecimal16(count); }

std::u16string SavingLine(std::u16string_view entryText, uint64_t size) {
  const size_t slash = entryText.rfind(u'\\');
  const std::u16string_view name = slash == std::u16string_view::npos ? entryText : entryText.substr(slash + 1);
  return std::u16string(name) + u" saving...                      " + u"File Size(Bytes):  " + ToDecimal16(size);
}

std::u16string SavingLine(std::u16string_view entryText, std::u16string_view sizeText) {
  const size_t slash = entryText.rfind(u'\\');
  const std::u16string_view name = slash == std::u16string_view::npos ? entryText : entryText.substr(slash + 1);
  return std::u16string(name) + u" saving...                      " + u"File Size(Bytes):  " + std::u16string(sizeText);
}

std::u16string FileSavedLine(std::u16string_view outputPath) { return std::u16string(outputPath) + u" File saved."; }

std::u16string FilesSavedLine(uint64_t count) { return u"Number of files saved: " + ToDecimal16(count); }

std::u16string SaveCompletedLine(std::u16string_view location, std::u16string_view timeStamp) {
  return u"Saving of recovered files has been completed, saving location is:  " + std::u16string(location) + u"    " +
         std::u16string(timeStamp);
}

std::u16string SaveCompletedMessage(std::u16string_view location) {
  return u"File(s) saving process has been completed. Saved file(s) location is:" + std::u16string(location);
}

std::u16string FileNotSavedLine(std::u16string_view outputPath, std::u16string_view reason, bool removed) {
  std::u16string line = std::u16string(outputPath) + u" File not saved: " + std::u16string(reason) + u".";
  if (removed) line += u" The partly written file was removed.";
  return line;
}

std::u16string FilesNotSavedLine(uint64_t count) { return u"Number of files not saved: " + ToDecimal16(count); }

std::u16string SaveEndedEarlyLine(std::u16string_view reason) {
  return u"Saving ended early: " + std::u16string(reason) + u".";
}

std::u16string ErrorText(int error) { return Utf8ToUtf16(std::strerror(error)); }

}  // namespace quillon
