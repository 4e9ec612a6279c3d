#include "bench_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bkf_writer.h"

namespace bench {

namespace {
struct Rng {
  uint64_t s;
  uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
};

std::vector<uint8_t> TextPool(size_t size) {
  static const char* words[] = {"backup", "report", "the", "of", "FILE", "data", "invoice", "2024", "and",
                                "customer", "total", "page", "DIRB", "summary", "record", "\r\n"};
  Rng rng{12345};
  std::vector<uint8_t> pool;
  pool.reserve(size + 32);
  while (pool.size() < size) {
    const char* w = words[rng.Next() % 16];
    pool.insert(pool.end(), w, w + std::strlen(w));
    pool.push_back(' ');
  }
  pool.resize(size);
  return pool;
}

bool Cached(const std::filesystem::path& path, const std::string& version) {
  std::ifstream stamp(path.string() + ".stamp");
  std::string have;
  std::getline(stamp, have);
  return have == version && std::filesystem::exists(path);
}

void Stamp(const std::filesystem::path& path, const std::string& version) {
  std::ofstream(path.string() + ".stamp") << version << "\n";
}

using WriteWork = std::function<void(fixture::BkfWriter&, std::FILE*)>;

std::filesystem::path MakeBackup(const std::string& name, const std::string& version, const WriteWork& work) {
  const auto path = DataDir() / name;
  if (Cached(path, version)) return path;
  std::fprintf(stderr, "making %s (once)...\n", path.c_str());
  std::filesystem::create_directories(DataDir());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot create " + path.string());
  fixture::BkfWriter w;
  work(w, out);
  w.FlushTo(out);
  std::fclose(out);
  Stamp(path, version);
  return path;
}

std::u16string Name16(const std::string& s) { return std::u16string(s.begin(), s.end()); }
}  // namespace

std::filesystem::path DataDir() { return std::filesystem::path(QUILLON_BENCH_DATA); }

std::filesystem::path HealthyBackup() {
  return MakeBackup("healthy-1gib.bkf", "v1", [](fixture::BkfWriter& w, std::FILE* out) {
    const auto pool = TextPool(256 * 1024);
    Rng rng{99};
    w.Tape(u"Benchmark media");
    w.Sset(1, u"Benchmark set");
    w.Volb(u"C:");
    for (int folder = 0; folder < 200; ++folder) {
      w.Dirb(u"Data\\Folder" + Name16(std::to_string(folder)));
      for (int f = 0; f < 100; ++f) {
        const size_t size = 1024 + rng.Next() % (104 * 1024);
        const size_t at = rng.Next() % (pool.size() - size);
        w.File(Name16("file-" + std::to_string(folder) + "-" + std::to_string(f) + ".txt"),
               std::span<const uint8_t>(pool.data() + at, size));
        w.FlushTo(out);
      }
    }
    w.Marker("ESET");
  });
}

std::filesystem::path RandomBytes() {
  const auto path = DataDir() / "random-1gib.bin";
  if (Cached(path, "v1")) return path;
  std::fprintf(stderr, "making %s (once)...\n", path.c_str());
  std::filesystem::create_directories(DataDir());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot create " + path.string());
  Rng rng{7};
  std::vector<uint64_t> chunk(1 << 17);
  for (int i = 0; i < 1024; ++i) {
    for (auto& v : chunk) v = rng.Next();
    std::fwrite(chunk.data(), 8, chunk.size(), out);
  }
  std::fclose(out);
  Stamp(path, "v1");
  return path;
}

std::filesystem::path ManySmallFiles() {
  return MakeBackup("small-200k.bkf", "v1", [](fixture::BkfWriter& w, std::FILE* out) {
    w.Tape(u"Benchmark media");
    w.Sset(1, u"Many files");
    w.Volb(u"C:");
    for (int folder = 0; folder < 2000; ++folder) {
      w.Dirb(u"Users\\Documents\\Archive" + Name16(std::to_string(folder)));
      for (int f = 0; f < 100; ++f)
        w.File(Name16("document-" + std::to_string(folder) + "-" + std::to_string(f) + ".doc"), "small");
      w.FlushTo(out);
    }
    w.Marker("ESET");
  });
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double MBps(uint64_t bytes, double seconds) { return seconds > 0 ? double(bytes) / 1e6 / seconds : 0; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double RawReadMBps(const std::filesystem::path& path) {
  std::vector<char> buffer(1 << 20);
  uint64_t total = 0;
  const double s = Seconds([&] {
    const int fd = ::open(path.c_str(), O_RDONLY);
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) total += uint64_t(n);
    ::close(fd);
  });
  return MBps(total, s);
}

ChildResult InChild(const std::function<double()>& work) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    double extra = 0;
    const double s = Seconds([&] { extra = work(); });
    double both[2] = {s, extra};
    if (write(fds[1], both, sizeof both) != sizeof both) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  double both[2] = {0, 0};
  if (read(fds[0], both, sizeof both) != sizeof both) both[0] = 0;
  close(fds[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return {both[0], double(usage.ru_maxrss) / 1024.0, both[1], cpu};
}

double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  uint64_t size = 0, resident = 0;
  statm >> size >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

intptr_t CountingNotify::SendMessage(uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == UM_SCAN_PROGRESS) {
    delete reinterpret_cast<ScanProgress*>(wParam);
    ++progress;
  }
  return 1;
}

void CountingNotify::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  SendMessage(message, wParam, lParam);
}

void PrintGoal(const std::string& what, double value, const std::string& comparison, double goal) {
  const bool met = comparison == ">=" ? value >= goal : value < goal;
  std::printf("  goal: %s %.3f %s %.3f  [%s]\n", what.c_str(), value, comparison.c_str(), goal,
              met ? "met" : "NOT met");
}

}  // namespace bench
