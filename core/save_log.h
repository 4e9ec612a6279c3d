#pragma once
// The log lines of the save job, in its words. The command-line program
// prints the same lines.

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// " Saving process for recovered files starts.    " and the time stamp.
std::u16string SaveStartedLine(std::u16string_view timeStamp);
// "Number of files to be saved: " and the count.
std::u16string FilesToSaveLine(uint64_t count);
// The entry's text after its last backslash, " saving...", and its size.
std::u16string SavingLine(std::u16string_view entryText, uint64_t size);
// The same with the size as the list shows it.
std::u16string SavingLine(std::u16string_view entryText, std::u16string_view sizeText);
// The output path and " File saved.".
std::u16string FileSavedLine(std::u16string_view outputPath);
// "Number of files saved: " and the count.
std::u16string FilesSavedLine(uint64_t count);
// The closing line with the location as typed and the time stamp.
std::u16string SaveCompletedLine(std::u16string_view location, std::u16string_view timeStamp);
// The closing message.
std::u16string SaveCompletedMessage(std::u16string_view location);

// A file that could not be saved: its path, " File not saved: " and the
// system's reason; `removed` adds that its partly written data was removed.
std::u16string FileNotSavedLine(std::u16string_view outputPath, std::u16string_view reason, bool removed);
// "Number of files not saved: " and the count.
std::u16string FilesNotSavedLine(uint64_t count);
// "Saving ended early: " and the reason.
std::u16string SaveEndedEarlyLine(std::u16string_view reason);
// The system's text of an errno value.
std::u16string ErrorText(int error);

inline constexpr char16_t kNoFileToSave[] = u"No file is present in the list to save.";
inline constexpr char16_t kInvalidDestination[] = u"Please select valid path to save recovered files.";
inline constexpr char16_t kStartsEarlierQuestion[] =
    u"File must have its beginning in a earlier file, Do you want to recover remaining data from current file.";
inline constexpr char16_t kNextPartQuestion[] =
    u"Selected BKF file seems to be split. Enter next BKF file to continue the saving process.";
inline constexpr char16_t kNoNextPart[] = u"No BKF file is selected to continue the saving process.";

}  // namespace quillon
