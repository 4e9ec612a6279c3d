#pragma once
// The file extractor: writes the data of one found file to an output file.
// It gathers the pieces of the file's data into the segmented reader,
// following the chain of data streams and, in a split backup, going on in the
// next part the caller names; then it decodes LZS-compressed frames or copies
// the data unchanged. The caller answers two questions through
// IExtractPrompts (the save job asks the user, the preview gives up).

#include <cstdint>
#include <filesystem>
#include <memory>

#include "bkf_file.h"
#include "output_file.h"
#include "recovery_tree.h"
#include "scanner.h"
#include "segmented_reader.h"

// The answer to RequestNextPart.
struct NextPartAnswer {
  enum class Kind {
    Part,    // the next part, opened read-only
    None,    // no further part: write what was gathered
    GiveUp,  // end without writing any data (outcome declined)
  };
  Kind kind = Kind::None;
  std::unique_ptr<BkfFile> file;

  static NextPartAnswer None() { return {}; }
  static NextPartAnswer GiveUp() { return {Kind::GiveUp, nullptr}; }
  static NextPartAnswer Part(std::unique_ptr<BkfFile> file) { return {Kind::Part, std::move(file)}; }
};

class IExtractPrompts {
 public:
  virtual ~IExtractPrompts() = default;
  // The file's first data stream carries the continuation bit: its beginning
  // lies in an earlier part. True goes on with the data of this part.
  virtual bool ConfirmStartsEarlier(const FoundFileRecord& record) = 0;
  // The data runs into the end of a part that another part follows.
  virtual NextPartAnswer RequestNextPart() = 0;
  // Told after each piece of data written (bytes of the piece); for progress.
  virtual void PieceWritten(uint64_t bytes) { (void)bytes; }
};

enum class ExtractOutcome {
  Written,      // created, and all data that could be gathered written (also after a stop)
  Declined,     // an answer ended the extraction before any data was written; the file stays empty
  CannotCreate, // the output file could not be opened
};

namespace extract {
// One compressed frame at most: the input and output buffers.
inline constexpr uint32_t kMaxCompressedFrame = 63488;
inline constexpr uint32_t kMaxUncompressedFrame = 63520;
// Uncompressed data is copied in pieces of this size.
inline constexpr uint64_t kCopyPiece = 1024 * 1024;
// The piece that runs into the end of a part ends this far before the end.
inline constexpr uint64_t kPartTrailer = 1024;
// Dropped in front of the soft filemark that ends a part.
inline constexpr uint64_t kFilemarkGap = 2048;
// The next part is searched in steps of kPartTrailer with windows of this size.
inline constexpr size_t kContinuationWindow = 2048;
// A chain of data streams longer than this is taken as damage and ends there.
inline constexpr size_t kMaxSegments = 1u << 20;
}  // namespace extract

// Writes the data of `record` (a record of `scanner`'s found-file list, read
// through the scanner's open file as part 0) to `outputPath`. The reader is
// emptied when the call begins and again when it returns, whatever the
// outcome. A stop request (AppState().m_bProcessRunning cleared) ends the
// gathering and the writing at the next check; the outcome is then Written.
// Read errors of a direct read raise BkfIoError, write errors OutputFileError.
ExtractOutcome ExtractFile(const bkf& scanner, const FoundFileRecord& record, const std::filesystem::path& outputPath,
                           IExtractPrompts& prompts, SegmentedReader& reader);
// True when the record's first data stream carries the continuation bit:
// the file begins in an earlier part of a split backup.
bool StartsInEarlierPart(const bkf& scanner, const FoundFileRecord& record);

// The same into an output file the caller has opened (and closes: the file
// is closed when the call returns, also when it raises).
ExtractOutcome ExtractFile(const bkf& scanner, const FoundFileRecord& record, OutputFile& out,
                           IExtractPrompts& prompts, SegmentedReader& reader);
