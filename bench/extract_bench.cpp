// Extracting every file of the healthy backup against a plain read/write copy
// of the same bytes with the same buffer size, and LZS decoding speed.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "bench_support.h"
#include "extractor.h"
#include "lzs.h"
#include "lzs_encoder.h"
#include "sample_content.h"
#include "segmented_reader.h"

namespace {

class NoPrompts : public IExtractPrompts {
 public:
  bool ConfirmStartsEarlier(const FoundFileRecord&) override { return true; }
  NextPartAnswer RequestNextPart() override { return NextPartAnswer::None(); }
};

std::vector<std::filesystem::path> FreshOutputs(const std::filesystem::path& folder, int64_t count) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::vector<std::filesystem::path> paths;
  for (int64_t i = 0; i < count; ++i) paths.push_back(folder / std::to_string(i));
  return paths;
}

// The copy every extraction is measured against: each file's bytes read and
// written in pieces of the extractor's buffer size.
void PlainCopy(const bkf& scanner, const std::vector<std::filesystem::path>& outputs) {
  const int in = ::open(scanner.m_file.Path().c_str(), O_RDONLY);
  std::unique_ptr<char[]> buffer(new char[extract::kCopyPiece]);
  for (int64_t i = 0; i < scanner.m_files.Count(); ++i) {
    const FoundFileRecord r = scanner.m_files.Record(i);
    const int out = ::open(outputs[size_t(i)].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    uint64_t position = r.dataPosition;
    uint64_t left = r.dataLength;
    while (left > 0) {
      const size_t n = left < extract::kCopyPiece ? size_t(left) : size_t(extract::kCopyPiece);
      if (::pread(in, buffer.get(), n, off_t(position)) != ssize_t(n) || ::write(out, buffer.get(), n) != ssize_t(n))
        std::abort();
      position += n;
      left -= n;
    }
    ::close(out);
  }
  ::close(in);
}

void ExtractAll(const bkf& scanner, const std::vector<std::filesystem::path>& outputs) {
  SegmentedReader reader;
  NoPrompts prompts;
  for (int64_t i = 0; i < scanner.m_files.Count(); ++i)
    if (ExtractFile(scanner, scanner.m_files.Record(i), outputs[size_t(i)], prompts, reader) != ExtractOutcome::Written)
      std::abort();
}

// Both write into memory when /dev/shm has room, so that the disk's
// write-back of one run does not slow the other.
// QUILLON_BENCH_OUT names another folder.
std::filesystem::path OutputFolder(uint64_t bytes) {
  if (const char* chosen = std::getenv("QUILLON_BENCH_OUT")) return std::filesystem::path(chosen) / "extract-out";
  std::error_code ec;
  const auto space = std::filesystem::space("/dev/shm", ec);
  if (!ec && space.available > 2 * bytes) return std::filesystem::path("/dev/shm") / ("quillon-extract-bench-" + std::to_string(getpid()));
  return bench::DataDir() / "extract-out";
}

double ExtractAgainstCopy() {
  const auto path = bench::HealthyBackup();
  bench::CountingNotify notify;
  bkf scanner;
  scanner.m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  scanner.Scan(path);
  uint64_t bytes = 0;
  for (int64_t i = 0; i < scanner.m_files.Count(); ++i) bytes += scanner.m_files.Record(i).dataLength;

  const auto folder = OutputFolder(bytes);
  bench::RawReadMBps(path);  // the backup in the page cache for both
  auto outputs = FreshOutputs(folder, scanner.m_files.Count());
  const double copy = bench::Seconds([&] { PlainCopy(scanner, outputs); });
  ::sync();
  outputs = FreshOutputs(folder, scanner.m_files.Count());
  ::sync();
  const double extract = bench::Seconds([&] { ExtractAll(scanner, outputs); });
  ::sync();
  std::filesystem::remove_all(folder);
  AppState().m_bProcessRunning.store(0);

  std::printf("Extracting every file of %s (%lld files, %.0f MiB of data) into %s\n", path.filename().c_str(),
              static_cast<long long>(scanner.m_files.Count()), double(bytes) / (1024.0 * 1024.0),
              folder.parent_path().c_str());
  std::printf("  plain read/write copy: %8.1f MB/s  (%.2f s)\n", bench::MBps(bytes, copy), copy);
  std::printf("  ExtractFile:           %8.1f MB/s  (%.2f s)\n", bench::MBps(bytes, extract), extract);
  std::printf("  extract/copy:          %8.3f\n", copy / extract);
  return copy / extract;
}

// Decodes the frames of `data` (cut into frames of 16 KiB) again and again
// for at least a second; MB/s of output.
double LzsDecodeMBps(const char* label, const fixture::Bytes& data) {
  constexpr size_t kFrame = 16384;
  struct Frame {
    fixture::Bytes packed;
    size_t size;
  };
  std::vector<Frame> frames;
  size_t packedBytes = 0;
  for (size_t at = 0; at < data.size(); at += kFrame) {
    const size_t size = std::min(kFrame, data.size() - at);
    frames.push_back({fixture::LzsEncode(std::span<const uint8_t>(data.data() + at, size)), size});
    packedBytes += frames.back().packed.size();
  }
  std::vector<uint8_t> out(extract::kMaxUncompressedFrame);
  // Correct first.
  for (size_t k = 0; k < frames.size(); ++k) {
    const size_t n = lzs::Decode(frames[k].packed.data(), frames[k].packed.size(), out.data(), frames[k].size);
    if (n != frames[k].size || std::memcmp(out.data(), data.data() + k * kFrame, n) != 0) std::abort();
  }
  uint64_t produced = 0;
  int rounds = 0;
  const double seconds = bench::Seconds([&] {
    const auto start = std::chrono::steady_clock::now();
    do {
      for (const Frame& f : frames) produced += lzs::Decode(f.packed.data(), f.packed.size(), out.data(), f.size);
      ++rounds;
    } while (std::chrono::steady_clock::now() - start < std::chrono::seconds(1));
  });
  const double mbps = bench::MBps(produced, seconds);
  std::printf("  %-12s %6.1f MiB, compressed to %5.1f %%: %8.1f MB/s of output (%d rounds)\n", label,
              double(data.size()) / (1024.0 * 1024.0), 100.0 * double(packedBytes) / double(data.size()), mbps,
              rounds);
  return mbps;
}

}  // namespace

int main() {
  bench::PrintGoal("extract/copy", ExtractAgainstCopy(), ">=", 0.8);
  std::printf("LZS decoding (frames of 16 KiB)\n");
  const double text = LzsDecodeMBps("text-like", fixture::TextContent(64 << 20, 1));
  const double binary = LzsDecodeMBps("binary-like", fixture::BinaryContent(64 << 20, 2));
  bench::PrintGoal("LZS text-like MB/s", text, ">=", 450);
  bench::PrintGoal("LZS binary-like MB/s", binary, ">=", 450);
  return 0;
}
