// The worst layouts we can think of for the scanners, each at two sizes, so
// that time that grows faster than the input shows: folders of a set that
// lost its volume block, one folder of 200 000 files, 100 000 sets, a tag
// every 4 bytes, a large sparse file. Processor time per MiB and per record
// is printed against a healthy backup's.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app_state.h"
#include "bench_support.h"
#include "bkf_writer.h"
#include "scan_options.h"
#include "scanner.h"

namespace {
using Work = std::function<void(fixture::BkfWriter&, std::FILE*)>;

std::u16string Name16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::filesystem::path Make(const std::string& name, const Work& work) {
  const auto path = bench::DataDir() / "layouts" / name;
  if (std::filesystem::exists(path)) return path;
  std::filesystem::create_directories(path.parent_path());
  std::fprintf(stderr, "making %s (once)...\n", path.c_str());
  const auto part = path.string() + ".part";
  std::FILE* out = std::fopen(part.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot create " + part);
  fixture::BkfWriter w;
  work(w, out);
  w.FlushTo(out);
  std::fclose(out);
  std::filesystem::rename(part, path);
  return path;
}

std::filesystem::path FoldersWithoutVolume(int folders) {
  return Make("no-volb-" + std::to_string(folders) + ".bkf", [folders](fixture::BkfWriter& w, std::FILE* out) {
    w.Tape(u"Layout");
    w.Sset(1, u"With volume");
    w.Volb(u"C:");
    w.Dirb(u"Data");
    w.Sset(2, u"Volume block lost");
    for (int i = 0; i < folders; ++i) {
      w.Dirb(u"Data\\Folder" + Name16(std::to_string(i)) + u"\\Sub");
      w.File(u"f.txt", "x");
      if (i % 1000 == 0) w.FlushTo(out);
    }
  });
}

std::filesystem::path OneFolder(int files) {
  return Make("one-folder-" + std::to_string(files) + ".bkf", [files](fixture::BkfWriter& w, std::FILE* out) {
    w.Tape(u"Layout");
    w.Sset(1, u"One folder");
    w.Volb(u"C:");
    w.Dirb(u"Everything");
    for (int i = 0; i < files; ++i) {
      w.File(Name16("file-" + std::to_string(i) + ".txt"), "x");
      if (i % 1000 == 0) w.FlushTo(out);
    }
  });
}

std::filesystem::path ManySets(int sets) {
  return Make("sets-" + std::to_string(sets) + ".bkf", [sets](fixture::BkfWriter& w, std::FILE* out) {
    w.Tape(u"Layout");
    for (int i = 0; i < sets; ++i) {
      w.Sset(uint16_t(i), Name16("Set " + std::to_string(i)));
      w.File(u"f.txt", "x");
      if (i % 1000 == 0) w.FlushTo(out);
    }
  });
}

std::filesystem::path TagEvery4Bytes(int mib) {
  return Make("tags-" + std::to_string(mib) + "mib.bin", [mib](fixture::BkfWriter& w, std::FILE* out) {
    const std::string cycle = "FILEDIRBSSETVOLBTAPEESETEOTMESPBCFILSFMB";
    std::string chunk;
    while (chunk.size() < 1 << 20) chunk += cycle;
    chunk.resize(1 << 20);
    for (int i = 0; i < mib; ++i) {
      w.Raw(chunk);
      w.FlushTo(out);
    }
  });
}

// A backup at the start, then a hole of `gib` GiB, then a file at the end.
std::filesystem::path Sparse(int gib) {
  const auto path = bench::DataDir() / "layouts" / ("sparse-" + std::to_string(gib) + "gib.bkf");
  if (std::filesystem::exists(path)) return path;
  std::filesystem::create_directories(path.parent_path());
  fixture::BkfWriter head;
  head.Tape(u"Layout");
  head.Sset(1, u"Sparse");
  head.Volb(u"C:");
  head.Dirb(u"Start");
  head.File(u"first.txt", "first");
  fixture::WriteFile(path, head.Data());
  fixture::BkfWriter tail;
  tail.File(u"last.txt", "last");
  const uint64_t at = (uint64_t(gib) << 30) - 4096;
  std::filesystem::resize_file(path, at);
  std::FILE* out = std::fopen(path.c_str(), "ab");
  if (!out) throw std::runtime_error("cannot open " + path.string());
  std::fwrite(tail.Data().data(), 1, tail.Data().size(), out);
  std::fclose(out);
  return path;
}

struct Figures {
  double seconds = 0;
  uint64_t records = 0;
  uint64_t mib = 0;
};

// Processor time (user and system) of the scan, so that a machine busy with
// other work does not decide the figures; each scan runs in a process of its
// own, so the memory left by one scan does not weigh on the next.
Figures ScanOnce(const std::filesystem::path& path, ScanMode mode) {
  const bench::ChildResult child = bench::InChild([&] {
    bench::CountingNotify notify;
    ScanOptions options;
    options.mode = mode;
    std::unique_ptr<bkf> scanner = MakeScanner(options);
    scanner->m_hNotifyWnd = &notify;
    AppState().m_bProcessRunning.store(1);
    scanner->Scan(path);
    return double(scanner->m_files.Count() + scanner->m_tree.Count());
  });
  return {child.cpuSeconds, uint64_t(child.extra), std::filesystem::file_size(path) >> 20};
}

struct Reference {
  double perMiB[2];
  double perRecord[2];
};

void Row(const char* label, const std::filesystem::path& small, const std::filesystem::path& large,
         const Reference& ref, double& worstGrowth) {
  // Read both once first, so that the first scan does not pay for filling
  // the page cache (for a sparse file, with pages of zeros) and the second not.
  bench::RawReadMBps(small);
  bench::RawReadMBps(large);
  for (ScanMode mode : {ScanMode::Standard, ScanMode::Advanced}) {
    const int m = mode == ScanMode::Standard ? 0 : 1;
    // Best of three where a scan is short enough for one run to be noise.
    auto best = [&](const std::filesystem::path& path) {
      Figures f = ScanOnce(path, mode);
      for (int run = 1; run < 3 && f.seconds < 2.0; ++run) {
        const Figures again = ScanOnce(path, mode);
        if (again.seconds < f.seconds) f = again;
      }
      return f;
    };
    const Figures a = best(small), b = best(large);
    const double perMiB = b.seconds * 1e3 / double(std::max<uint64_t>(1, b.mib));
    const double perRecord = b.seconds * 1e6 / double(std::max<uint64_t>(1, b.records));
    // Time per byte of the larger input against the smaller one: 1 when linear.
    const double growth = (b.seconds / double(std::max<uint64_t>(1, b.mib))) /
                          (a.seconds / double(std::max<uint64_t>(1, a.mib)));
    worstGrowth = std::max(worstGrowth, growth);
    std::printf("%-28s %-8s %8llu MiB %9llu rec %8.3f s  %7.3f ms/MiB (x%.2f healthy)  %6.3f us/rec (x%.2f)  "
                "growth per byte x%.2f\n",
                label, m ? "Advanced" : "Standard", static_cast<unsigned long long>(b.mib),
                static_cast<unsigned long long>(b.records), b.seconds, perMiB, perMiB / ref.perMiB[m], perRecord,
                perRecord / ref.perRecord[m], growth);
    std::fflush(stdout);
  }
}
}  // namespace

int main() {
  Reference ref{};
  const auto healthy = bench::HealthyBackup();
  const auto many = bench::ManySmallFiles();
  bench::RawReadMBps(healthy);
  bench::RawReadMBps(many);
  for (ScanMode mode : {ScanMode::Standard, ScanMode::Advanced}) {
    const int m = mode == ScanMode::Standard ? 0 : 1;
    const Figures h = ScanOnce(healthy, mode), r = ScanOnce(many, mode);
    ref.perMiB[m] = h.seconds * 1e3 / double(h.mib);
    ref.perRecord[m] = r.seconds * 1e6 / double(r.records);
    std::printf("healthy reference %-8s %7.3f ms/MiB, %6.3f us/record\n", m ? "Advanced" : "Standard",
                ref.perMiB[m], ref.perRecord[m]);
  }
  const char* env = std::getenv("LAYOUT_BENCH_SPARSE_GIB");
  const int sparseGib = env ? std::max(2, std::atoi(env)) : 100;

  double worst = 0;
  Row("80 000 folders, no VOLB", FoldersWithoutVolume(40000), FoldersWithoutVolume(80000), ref, worst);
  Row("200 000 files, one folder", OneFolder(100000), OneFolder(200000), ref, worst);
  Row("100 000 sets", ManySets(50000), ManySets(100000), ref, worst);
  Row("a tag every 4 bytes, 64 MiB", TagEvery4Bytes(32), TagEvery4Bytes(64), ref, worst);
  Row(("sparse " + std::to_string(sparseGib) + " GiB").c_str(), Sparse(sparseGib / 2), Sparse(sparseGib), ref,
      worst);
  bench::PrintGoal("worst growth of time per byte (2x input)", worst, "<", 1.5);
  return 0;
}
