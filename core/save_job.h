#pragma once
// The save job: writes a list of found files into a destination folder, one
// after the other, with a log line for each. The desktop program's save
// windows run it on their worker thread and the command-line program runs it
// directly; neither keeps a loop of its own.
//
// The running flag of the application state is the stop request: the caller
// sets it before the job starts, the job reads it between files and inside
// the extraction, and clears it when it closes. A file that cannot be created
// is logged with the system's reason and left out; an error that every later
// file would meet too (no space left, a read-only or vanished destination, an
// unreadable BKF file) ends the job. Either way the job closes normally.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extractor.h"
#include "scanner.h"
#include "segmented_reader.h"

namespace quillon {

// One entry of the job's list.
struct SaveEntry {
  std::u16string displayText;  // the folder path in the recovery tree followed by the name
  std::u16string sizeText;     // the size in bytes, decimal
  int64_t record = -1;         // the found-file record
  bkf* source = nullptr;       // the scan result it belongs to; none: the job's
};

// Where the job's lines and progress go.
class ISaveJobSink {
 public:
  virtual ~ISaveJobSink() = default;
  virtual void LogLine(std::u16string_view line) = 0;
  // After each entry: the progress position (the entry's index) of `total`.
  virtual void Progress(uint64_t position, uint64_t total) { (void)position, (void)total; }
};

// The extractor's questions, and the start of each file's extraction.
class ISaveJobPrompts : public IExtractPrompts {
 public:
  virtual void FileStarting(const SaveEntry& entry) { (void)entry; }
};

struct SaveJobSettings {
  std::u16string destination;  // as typed
  bool hierarchy = true;       // "Save files in folder hierarchy"
};

struct SaveJobResult {
  uint64_t processed = 0;   // entries taken from the list, whatever became of them
  uint64_t notSaved = 0;    // files that could not be created or written
  bool stopped = false;     // a stop request ended the job
  bool endedEarly = false;  // an error every later file would meet ended the job
  std::u16string reason;    // the system's text of that error
  std::u16string location;  // the destination as typed, without blanks at its ends

  // The text of the one message box that closes the job.
  std::u16string ClosingMessage() const;
};

// The opening lines: an empty line, the start with the time stamp, the
// number of files, an empty line.
void LogSaveOpening(ISaveJobSink& sink, uint64_t count);

// Runs the job over `entries` of `scanner`'s found-file list: the files, then
// the closing lines; the running flag is cleared before the last line.
SaveJobResult RunSaveJob(bkf& scanner, const std::vector<SaveEntry>& entries, const SaveJobSettings& settings,
                         ISaveJobPrompts& prompts, ISaveJobSink& sink, SegmentedReader& reader);

}  // namespace quillon
