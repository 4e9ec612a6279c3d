#include "save_job.h"

#include <unistd.h>

#include <cerrno>
#include <exception>

#include "app_state.h"
#include "bkf_file.h"
#include "log_time.h"
#include "output_file.h"
#include "save_log.h"
#include "save_target.h"
#include "text.h"

namespace quillon {

namespace {

bool Running() { return AppState().m_bProcessRunning.load() != 0; }

// How one file's extraction ended.
struct FileEnd {
  bool written = false;   // logged as saved (also after a stop during it)
  bool declined = false;  // an answer ended it before any data
  int error = 0;          // errno of a write failure
  bool readFailed = false;
  std::u16string reason;
};

FileEnd Extract(bkf& scanner, const FoundFileRecord& record, OutputSlot& slot, ISaveJobPrompts& prompts,
                SegmentedReader& reader) {
  FileEnd end;
  OutputFile out;
  out.Adopt(slot.fd, slot.path);
  slot.fd = -1;
  try {
    const ExtractOutcome outcome = ExtractFile(scanner, record, out, prompts, reader);
    end.declined = outcome == ExtractOutcome::Declined;
    end.written = outcome == ExtractOutcome::Written;
  } catch (const OutputFileError& e) {
    end.error = e.Error() ? e.Error() : EIO;
    end.reason = ErrorText(end.error);
  } catch (const BkfIoError& e) {
    end.readFailed = true;
    end.reason = u"the BKF file cannot be read (" + Utf8ToUtf16(e.what()) + u")";
  } catch (const std::exception& e) {
    end.readFailed = true;
    end.reason = Utf8ToUtf16(e.what());
  }
  return end;
}

}  // namespace

std::u16string SaveJobResult::ClosingMessage() const {
  std::u16string text;
  if (endedEarly)
    text = u"File(s) saving process has ended early: " + reason + u". Saved file(s) location is:" + location;
  else
    text = SaveCompletedMessage(location);
  if (notSaved > 0)
    text += u"\n" + ToDecimal16(notSaved) + u" file(s) could not be saved; the log names them.";
  return text;
}

void LogSaveOpening(ISaveJobSink& sink, uint64_t count) {
  sink.LogLine(u"");
  sink.LogLine(SaveStartedLine(LogTimeNow()));
  sink.LogLine(FilesToSaveLine(count));
  sink.LogLine(u"");
}

SaveJobResult RunSaveJob(bkf& scanner, const std::vector<SaveEntry>& entries, const SaveJobSettings& settings,
                         ISaveJobPrompts& prompts, ISaveJobSink& sink, SegmentedReader& reader) {
  SaveJobResult result;
  SaveTarget target(settings.destination);
  result.location = target.LocationText();
  reader.Reset();
  const uint64_t total = entries.size();

  if (!target.Open()) {
    result.endedEarly = true;
    result.reason = ErrorText(errno);
    sink.LogLine(SaveEndedEarlyLine(result.location + u": " + result.reason));
  }
  for (uint64_t i = 0; !result.endedEarly && i < total && Running(); ++i) {
    const SaveEntry& entry = entries[i];
    bkf& source = entry.source ? *entry.source : scanner;
    ++result.processed;
    sink.LogLine(SavingLine(entry.displayText, entry.sizeText));
    if (!source.m_files.IsValid(entry.record)) {
      sink.Progress(i + 1, total);
      continue;
    }
    const FoundFileRecord record = source.m_files.Record(entry.record);
    if (record.kind != kFileKind || record.dataPosition == 0) {
      sink.Progress(i + 1, total);
      continue;
    }
    OutputSlot slot = target.Create(source.m_tree, record, source.m_files.Name(entry.record), settings.hierarchy);
    const std::u16string path = PathToUtf16(slot.path);
    if (slot.fd < 0) {
      ++result.notSaved;
      sink.LogLine(FileNotSavedLine(path, ErrorText(slot.error), false));
      if (slot.fatal) {
        result.endedEarly = true;
        result.reason = ErrorText(slot.error);
        sink.LogLine(SaveEndedEarlyLine(result.reason));
      }
      sink.LogLine(u"");
      sink.Progress(i + 1, total);
      continue;
    }
    prompts.FileStarting(entry);
    const FileEnd end = Extract(source, record, slot, prompts, reader);
    if (end.declined) continue;
    if (!end.written) {
      // Nothing half-written is left behind as if it were the file.
      const bool removed = ::unlinkat(slot.dirFd, slot.name.c_str(), 0) == 0;
      ++result.notSaved;
      sink.LogLine(FileNotSavedLine(path, end.reason, removed));
      if (end.readFailed || target.IsFatal(end.error, slot.dirFd)) {
        result.endedEarly = true;
        result.reason = end.reason;
        sink.LogLine(SaveEndedEarlyLine(result.reason));
      }
      sink.LogLine(u"");
      sink.Progress(i + 1, total);
      continue;
    }
    sink.Progress(i + 1, total);
    sink.LogLine(FileSavedLine(path));
    sink.LogLine(u"");
  }

  // Closing, the same whether the list is done, a stop was asked or an error ended it.
  result.stopped = !result.endedEarly && !Running();
  reader.Reset();
  sink.LogLine(FilesSavedLine(result.processed));
  if (result.notSaved > 0) sink.LogLine(FilesNotSavedLine(result.notSaved));
  sink.LogLine(u"");
  AppState().m_bProcessRunning.store(0);
  sink.LogLine(SaveCompletedLine(result.location, LogTimeNow()));
  return result;
}

}  // namespace quillon
