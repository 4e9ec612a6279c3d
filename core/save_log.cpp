#include "save_log.h"

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

std::u16string FileSavedLine(std::u16string_view outputPath) { return std::u16string(outputPath) + u" File saved."; }

std::u16string FilesSavedLine(uint64_t count) { return u"Number of files saved: " + ToDecimal16(count); }

std::u16string SaveCompletedLine(std::u16string_view location, std::u16string_view timeStamp) {
  return u"Saving of recovered files has been completed, saving location is:  " + std::u16string(location) + u"    " +
         std::u16string(timeStamp);
}

std::u16string SaveCompletedMessage(std::u16string_view location) {
  return u"File(s) saving process has been completed. Saved file(s) location is:" + std::u16string(location);
}

}  // namespace quillon
