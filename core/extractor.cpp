#include "extractor.h"

#include <cstring>
#include <optional>
#include <vector>

#include "app_state.h"
#include "lzs.h"
#include "mtf.h"

using namespace extract;

namespace {

bool Running() { return AppState().m_bProcessRunning.load(std::memory_order_relaxed) != 0; }

// The position of the header that follows a stream: 22 + length bytes after
// its header, that distance rounded up to a multiple of four when `round`.
// Nothing when the position would overflow.
std::optional<uint64_t> NextHeaderPosition(uint64_t header, uint64_t length, bool round) {
  if (length > UINT64_MAX - MtfStreamHeader::kSize) return std::nullopt;
  uint64_t distance = MtfStreamHeader::kSize + length;
  if (round && !RoundUp4(distance, distance)) return std::nullopt;
  if (distance > UINT64_MAX - header) return std::nullopt;
  return header + distance;
}

MtfStreamHeader ReadStreamHeader(const BkfFile& file, uint64_t position) {
  uint8_t raw[MtfStreamHeader::kSize];
  file.ReadZeroFilled(position, raw, sizeof raw);
  return MtfStreamHeader::Read(raw);
}

// Compressed data is recognised by a first frame header that can be real:
// "FH", a frame that fits the buffers and the data, and something to decode.
bool IsPlausibleFrameHeader(const uint8_t* head, uint64_t dataLength) {
  const MtfCompressionHeader h = MtfCompressionHeader::Read(head);
  if (head[0] != 'F' || head[1] != 'H') return false;
  if (dataLength < MtfCompressionHeader::kSize) return false;
  if (h.compressedSize < 1 || h.compressedSize > kMaxCompressedFrame) return false;
  if (h.compressedSize > dataLength - MtfCompressionHeader::kSize) return false;
  return h.uncompressedSize >= 1 && h.uncompressedSize <= kMaxUncompressedFrame;
}

// Where the search of a next part ended.
struct Continuation {
  enum class Result { NoFileBlock, NoStan, OnStan, Stopped } result = Result::NoFileBlock;
  uint64_t header = 0;  // position of the STAN header in the part
  uint64_t length = 0;  // its Stream Length
  bool padded = false;  // the block holds a CPAD stream
};

class Extraction {
 public:
  Extraction(const bkf& scanner, const FoundFileRecord& record, IExtractPrompts& prompts, SegmentedReader& reader,
             OutputFile& out)
      : m_scanner(scanner), m_record(record), m_prompts(prompts), m_reader(reader), m_out(out) {}

  ExtractOutcome Run();

 private:
  bool WalkPart(uint8_t part, uint64_t header, uint64_t length, bool roundFirst);
  bool ContinueInNextParts();
  Continuation FindContinuation(uint8_t part);
  void WriteData();
  void WriteCompressed();
  void WriteUncompressed();

  const bkf& m_scanner;
  const FoundFileRecord& m_record;
  IExtractPrompts& m_prompts;
  SegmentedReader& m_reader;
  OutputFile& m_out;
};

ExtractOutcome Extraction::Run() {
  // Gathering in part 0.
  m_reader.AddPart(m_scanner.m_file);
  const uint64_t dataPosition = m_record.dataPosition;
  const uint64_t dataLength = m_record.dataLength;
  // A record whose data begins in the file's first 22 bytes has no header in front of it.
  const uint64_t header = dataPosition >= MtfStreamHeader::kSize ? dataPosition - MtfStreamHeader::kSize : 0;
  const MtfStreamHeader first =
      dataPosition >= MtfStreamHeader::kSize ? ReadStreamHeader(m_scanner.m_file, header) : MtfStreamHeader{};
  m_reader.AddSegment(dataPosition, dataLength, 0);
  if (first.IsContinuation() && !m_prompts.ConfirmStartsEarlier(m_record)) return ExtractOutcome::Declined;

  if (WalkPart(0, header, dataLength, true) && !ContinueInNextParts()) return ExtractOutcome::Declined;
  WriteData();
  return ExtractOutcome::Written;
}

// The end-of-part test for the first data stream gathered in a part (its
// segment is the last one), then the chain of data streams that follow it.
// True when the walk ended on a soft filemark that ends the part: the data
// goes on in the next part.
bool Extraction::WalkPart(uint8_t part, uint64_t header, uint64_t length, bool roundFirst) {
  const BkfFile& file = m_reader.PartFile(part);
  const uint64_t partLength = file.Length();
  const uint64_t lastKiB = partLength >= kPartTrailer ? partLength - kPartTrailer : 0;

  std::optional<uint64_t> next;
  if (header >= partLength || length >= partLength - header) {
    // Runs into the end of the part: the piece ends 1024 bytes before the
    // end (nothing of it when the part is shorter), where the next header is.
    const uint64_t keep = MtfStreamHeader::kSize + kPartTrailer;
    m_reader.LastSegment().length = header < partLength && partLength - header > keep ? partLength - header - keep : 0;
    if (partLength >= kPartTrailer) next = lastKiB;
  } else {
    next = NextHeaderPosition(header, length, roundFirst);
  }

  // Positions only grow along the chain, and a header at or past the end of
  // the part reads as zeros, which ends it.
  bool haveLast = false;
  uint64_t lastPosition = 0;
  MtfStreamHeader last;
  while (next && Running()) {
    last = ReadStreamHeader(file, *next);
    lastPosition = *next;
    haveLast = true;
    if (!last.IsDataStream() || m_reader.SegmentCount() >= kMaxSegments) break;
    // A piece never reaches past the end of its part.
    const uint64_t start = *next + MtfStreamHeader::kSize;
    const uint64_t available = partLength > start ? partLength - start : 0;
    m_reader.AddSegment(start, last.length < available ? last.length : available, part);
    next = NextHeaderPosition(*next, last.length, true);
  }
  // Only a soft filemark in the part's last KiB ends the part; anywhere else
  // it ends the file like any other header.
  return haveLast && Running() && last.IdIs("SFMB") && lastPosition >= lastKiB;
}

// Asks for the next part and gathers there, as long as each part ends in a
// soft filemark. False when the caller gave up.
bool Extraction::ContinueInNextParts() {
  bool filemark = true;
  while (filemark) {
    filemark = false;
    BkfSegment& piece = m_reader.LastSegment();
    piece.length = piece.length > kFilemarkGap ? piece.length - kFilemarkGap : 0;
    for (;;) {
      // A 257th part cannot be addressed: taken as no further part.
      if (m_reader.IsFull()) return true;
      NextPartAnswer answer = m_prompts.RequestNextPart();
      if (answer.kind == NextPartAnswer::Kind::GiveUp) return false;
      if (answer.kind != NextPartAnswer::Kind::Part || !answer.file || !answer.file->IsOpen()) return true;
      const std::optional<uint8_t> part = m_reader.AddPart(std::move(answer.file));
      if (!part) return true;
      const Continuation c = FindContinuation(*part);
      if (c.result == Continuation::Result::NoFileBlock) continue;  // asked again, for the same marker
      if (c.result != Continuation::Result::OnStan) return true;
      if (m_reader.SegmentCount() >= kMaxSegments) return true;
      m_reader.AddSegment(c.header + MtfStreamHeader::kSize, c.length, *part);
      filemark = WalkPart(*part, c.header, c.length, !c.padded);
      break;
    }
  }
  return true;
}

// The first "FILE" block at a multiple of 1024 in the part, and its data
// stream: the streams in front of it are stepped over inside a window of
// 2048 bytes (rounded to four bytes, except after a "CPAD" stream).
Continuation Extraction::FindContinuation(uint8_t part) {
  const BkfFile& file = m_reader.PartFile(part);
  const uint64_t partLength = file.Length();
  WindowReader windows(file);
  Continuation c;
  for (uint64_t offset = 0; offset < partLength; offset += kPartTrailer) {
    if (!Running()) {
      c.result = Continuation::Result::Stopped;
      return c;
    }
    uint8_t tag[4];
    windows.Read(offset, tag, sizeof tag);
    if (std::memcmp(tag, "FILE", 4) == 0) {
      uint8_t window[kContinuationWindow];
      windows.Read(offset, window, sizeof window);
      c.result = Continuation::Result::NoStan;
      uint64_t at = LoadU16(window + MtfBlockHeader::kOffsetToFirstEvent);
      while (at + MtfStreamHeader::kSize <= sizeof window) {
        const int s = m_scanner.FindStreamTag(window + at);
        if (s == kStreamStan) {
          c.result = Continuation::Result::OnStan;
          c.header = offset + at;
          c.length = LoadU64(window + at + 8);
          return c;
        }
        if (s < 0) return c;
        if (s == kStreamCpad) c.padded = true;
        at += MtfStreamHeader::kSize + LoadU32(window + at + 8);
        if (s != kStreamCpad) at = (at + 3) & ~uint64_t(3);
      }
      return c;
    }
    if (offset > UINT64_MAX - kPartTrailer) break;
  }
  return c;
}

void Extraction::WriteData() {
  if (m_reader.SegmentCount() == 0) return;
  const BkfSegment first = m_reader.Segment(0);
  uint8_t head[MtfCompressionHeader::kSize];
  m_reader.PartFile(first.part).ReadZeroFilled(first.start, head, sizeof head);
  if (IsPlausibleFrameHeader(head, m_record.dataLength))
    WriteCompressed();
  else
    WriteUncompressed();
}

// Frame by frame through the reader, so frames may straddle pieces and parts.
void Extraction::WriteCompressed() {
  std::vector<uint8_t> in(kMaxCompressedFrame);
  std::vector<uint8_t> out(kMaxUncompressedFrame);
  uint64_t position = 0;
  uint8_t head[MtfCompressionHeader::kSize] = {};
  uint64_t got = m_reader.Read(head, sizeof head, position);
  while (got > 0 && head[0] == 'F' && head[1] == 'H' && Running()) {
    const MtfCompressionHeader frame = MtfCompressionHeader::Read(head);
    // A frame larger than the buffers cannot be real: the data ends here.
    if (frame.compressedSize > kMaxCompressedFrame || frame.uncompressedSize > kMaxUncompressedFrame) break;
    const uint64_t delivered = m_reader.Read(in.data(), frame.compressedSize, position);
    if (frame.compressedSize < frame.uncompressedSize) {
      const size_t produced = lzs::Decode(in.data(), static_cast<size_t>(delivered), out.data(), frame.uncompressedSize);
      if (produced > 0) {
        m_out.Write(out.data(), produced);
        m_prompts.PieceWritten(produced);
      }
    } else if (delivered > 0) {
      m_out.Write(in.data(), static_cast<size_t>(delivered));
      m_prompts.PieceWritten(delivered);
    }
    std::memset(head, 0, sizeof head);
    got = m_reader.Read(head, sizeof head, position);
  }
}

// Segment by segment from their parts, in pieces of at most 1 MiB.
void Extraction::WriteUncompressed() {
  uint64_t largest = 0;
  for (size_t i = 0; i < m_reader.SegmentCount(); ++i) {
    const uint64_t length = m_reader.Segment(i).length;
    if (length > largest) largest = length;
  }
  const size_t bufferSize = static_cast<size_t>(largest < kCopyPiece ? largest : kCopyPiece);
  if (bufferSize == 0) return;
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[bufferSize]);
  for (size_t i = 0; i < m_reader.SegmentCount(); ++i) {
    const BkfSegment segment = m_reader.Segment(i);
    if (segment.part >= m_reader.PartCount()) continue;
    const BkfFile& file = m_reader.PartFile(segment.part);
    uint64_t position = segment.start;
    uint64_t left = segment.length;
    while (left > 0) {
      if (!Running()) return;
      const size_t n = static_cast<size_t>(left < bufferSize ? left : bufferSize);
      file.ReadZeroFilled(position, buffer.get(), n);
      m_out.Write(buffer.get(), n);
      m_prompts.PieceWritten(n);
      position = n > UINT64_MAX - position ? UINT64_MAX : position + n;
      left -= n;
    }
  }
}

// Empties the reader when the extraction ends, however it ends.
struct ReaderReset {
  SegmentedReader& reader;
  ~ReaderReset() { reader.Reset(); }
};

}  // namespace

ExtractOutcome ExtractFile(const bkf& scanner, const FoundFileRecord& record, const std::filesystem::path& outputPath,
                           IExtractPrompts& prompts, SegmentedReader& reader) {
  OutputFile out;
  if (!out.Create(outputPath)) return ExtractOutcome::CannotCreate;
  return ExtractFile(scanner, record, out, prompts, reader);
}

bool StartsInEarlierPart(const bkf& scanner, const FoundFileRecord& record) {
  if (record.dataPosition < MtfStreamHeader::kSize) return false;
  return ReadStreamHeader(scanner.m_file, record.dataPosition - MtfStreamHeader::kSize).IsContinuation();
}

ExtractOutcome ExtractFile(const bkf& scanner, const FoundFileRecord& record, OutputFile& out,
                           IExtractPrompts& prompts, SegmentedReader& reader) {
  if (!out.IsOpen()) return ExtractOutcome::CannotCreate;
  if (record.dataLength == 0) {
    out.Close();
    return ExtractOutcome::Written;
  }
  ReaderReset reset{reader};
  reader.Reset();
  const ExtractOutcome outcome = Extraction(scanner, record, prompts, reader, out).Run();
  out.Close();
  return outcome;
}
