// How much of a damaged backup comes back. Healthy backups of a few shapes
// are made by the fixture writer, each is damaged in several ways, and both
// scanners run over the result. For each row: the upper bound (files whose
// blocks and data are untouched, from the writer's manifest), the files each
// mode gives back intact (name and content), and the time of each scan.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app_state.h"
#include "bench_support.h"
#include "bkf_writer.h"
#include "scan_options.h"
#include "scanner.h"
#include "split_backup.h"

namespace {
using fixture::Bytes;

struct Rng {
  uint64_t s;
  uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
  uint64_t Below(uint64_t n) { return Next() % n; }
};

// One file of a backup: where its block starts, where its data ends.
struct Entry {
  std::u16string name;
  uint64_t start = 0;
  uint64_t end = 0;
  Bytes content;
};

struct Backup {
  std::string shape;
  Bytes bytes;
  std::vector<Entry> files;
};

std::u16string Name16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

Bytes TextContent(Rng& rng, size_t size) {
  static const char* words[] = {"backup", "report", "the", "of", "FILE", "data", "invoice", "2024", "and",
                                "customer", "total", "page", "DIRB", "summary", "SSET", "\r\n"};
  Bytes out;
  out.reserve(size + 16);
  while (out.size() < size) {
    const char* w = words[rng.Below(16)];
    out.insert(out.end(), w, w + std::char_traits<char>::length(w));
    out.push_back(' ');
  }
  out.resize(size);
  return out;
}

Bytes RandomContent(Rng& rng, size_t size) {
  Bytes out(size);
  for (auto& b : out) b = uint8_t(rng.Next() >> 24);
  return out;
}

void AddFile(fixture::BkfWriter& w, Backup& b, const std::string& name, Bytes content) {
  Entry e;
  e.name = Name16(name);
  e.start = w.File(e.name, content);
  e.end = w.LastStanDataPosition() + content.size();
  e.content = std::move(content);
  b.files.push_back(std::move(e));
}

using ContentMaker = std::function<Bytes(Rng&)>;

Backup MakeBackup(const std::string& shape, int folders, int filesPerFolder, const ContentMaker& content) {
  Backup b;
  b.shape = shape;
  Rng rng{2024};
  fixture::BkfWriter w;
  w.Tape(u"Recovery media");
  w.Sset(1, u"Recovery set");
  w.Volb(u"C:");
  for (int folder = 0; folder < folders; ++folder) {
    w.Dirb(u"Data\\Folder" + Name16(std::to_string(folder)));
    for (int f = 0; f < filesPerFolder; ++f)
      AddFile(w, b, shape + "-" + std::to_string(folder) + "-" + std::to_string(f), content(rng));
  }
  w.Marker("ESET");
  b.bytes = w.Data();
  return b;
}

// The first part of a split backup: files, then one whose data runs into
// the next part (left out of the count: its data is not all in this part).
Backup MakeSplitPart() {
  Backup b;
  b.shape = "split";
  Rng rng{77};
  fixture::SplitBackupWriter split;
  split.Sset(1, u"Split set");
  split.Volb(u"C:");
  for (int folder = 0; folder < 8; ++folder) {
    split.Dirb(u"Split\\Folder" + Name16(std::to_string(folder)));
    for (int f = 0; f < 40; ++f)
      AddFile(split.Part(), b, "split-" + std::to_string(folder) + "-" + std::to_string(f),
              TextContent(rng, 500 + rng.Below(40000)));
  }
  split.Part().PadTo(1024);
  const Bytes big = RandomContent(rng, 3 * 1024 * 1024);
  split.SplitFile(u"runs-on.bin", big, {1024 * 1024 + 2});
  b.bytes = split.PartWriter(0).Data();
  return b;
}

// A damage: the damaged bytes, and whether a file's original range
// [start, end) came through untouched (and how many copies of it there are).
struct Damaged {
  Bytes bytes;
  std::function<bool(uint64_t start, uint64_t end)> intact;
  int copies = 1;
};

struct Damage {
  std::string name;
  std::function<Damaged(const Bytes&)> apply;
};

bool Outside(uint64_t start, uint64_t end, uint64_t a, uint64_t b) { return end <= a || start >= b; }

std::vector<Damage> Damages() {
  std::vector<Damage> d;
  d.push_back({"bit flips, 1 per MiB", [](const Bytes& in) {
                 Rng rng{in.size()};
                 std::vector<uint64_t> at;
                 const uint64_t n = std::max<uint64_t>(1, in.size() >> 20);
                 Damaged out{in, nullptr};
                 for (uint64_t i = 0; i < n; ++i) {
                   at.push_back(rng.Below(in.size()));
                   out.bytes[at.back()] ^= uint8_t(1u << rng.Below(8));
                 }
                 out.intact = [at](uint64_t s, uint64_t e) {
                   return std::none_of(at.begin(), at.end(), [&](uint64_t p) { return p >= s && p < e; });
                 };
                 return out;
               }});
  for (uint64_t run : {uint64_t(4096), uint64_t(65536), uint64_t(1) << 20}) {
    d.push_back({"zeroed " + std::to_string(run / 1024) + " KiB", [run](const Bytes& in) {
                   const uint64_t a = in.size() * 2 / 5 + 333, b = std::min<uint64_t>(in.size(), a + run);
                   Damaged out{in, nullptr};
                   std::fill(out.bytes.begin() + long(a), out.bytes.begin() + long(b), 0);
                   out.intact = [a, b](uint64_t s, uint64_t e) { return Outside(s, e, a, b); };
                   return out;
                 }});
  }
  d.push_back({"deleted 3001 bytes", [](const Bytes& in) {
                 const uint64_t a = in.size() / 2 + 17, b = a + 3001;
                 Damaged out{in, nullptr};
                 out.bytes.erase(out.bytes.begin() + long(a), out.bytes.begin() + long(b));
                 out.intact = [a, b](uint64_t s, uint64_t e) { return Outside(s, e, a, b); };
                 return out;
               }});
  for (uint64_t n : {uint64_t(1), uint64_t(512)}) {
    d.push_back({"inserted " + std::to_string(n) + " byte(s)", [n](const Bytes& in) {
                   const uint64_t a = in.size() / 3 + 101;
                   Damaged out{in, nullptr};
                   out.bytes.insert(out.bytes.begin() + long(a), size_t(n), uint8_t(0xA5));
                   out.intact = [a](uint64_t s, uint64_t e) { return e <= a || s >= a; };
                   return out;
                 }});
  }
  d.push_back({"truncated at 60%", [](const Bytes& in) {
                 const uint64_t t = in.size() * 3 / 5;
                 Damaged out{Bytes(in.begin(), in.begin() + long(t)), nullptr};
                 out.intact = [t](uint64_t, uint64_t e) { return e <= t; };
                 return out;
               }});
  d.push_back({"first MiB lost", [](const Bytes& in) {
                 const uint64_t b = std::min<uint64_t>(in.size(), 1 << 20);
                 Damaged out{Bytes(in.begin() + long(b), in.end()), nullptr};
                 out.intact = [b](uint64_t s, uint64_t) { return s >= b; };
                 return out;
               }});
  d.push_back({"two backups concatenated", [](const Bytes& in) {
                 Damaged out{in, [](uint64_t, uint64_t) { return true; }, 2};
                 out.bytes.insert(out.bytes.end(), in.begin(), in.end());
                 return out;
               }});
  return d;
}

struct ModeResult {
  uint64_t intact = 0;
  double seconds = 0;
};

ModeResult Run(const Backup& b, const Damaged& damaged, const std::filesystem::path& path, ScanMode mode) {
  ScanOptions options;
  options.mode = mode;
  std::unique_ptr<bkf> scanner = MakeScanner(options);
  bench::CountingNotify notify;
  scanner->m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  ModeResult r;
  r.seconds = bench::Seconds([&] { scanner->Scan(path); });
  AppState().m_bProcessRunning.store(0);

  std::map<std::u16string, size_t> byName;
  for (size_t i = 0; i < b.files.size(); ++i) byName[b.files[i].name] = i;
  std::vector<int> found(b.files.size(), 0);
  for (int64_t i = 0; i < scanner->m_files.Count(); ++i) {
    const auto it = byName.find(scanner->m_files.Name(i));
    if (it == byName.end()) continue;
    const Entry& e = b.files[it->second];
    const FoundFileRecord& rec = scanner->m_files.Record(i);
    const uint64_t pos = rec.dataPosition, len = rec.dataLength;
    if (len != e.content.size() || pos > damaged.bytes.size() || damaged.bytes.size() - pos < len) continue;
    if (std::equal(e.content.begin(), e.content.end(), damaged.bytes.begin() + long(pos))) ++found[it->second];
  }
  const bool listMissing = std::getenv("RECOVERY_BENCH_MISSING") != nullptr;
  for (size_t i = 0; i < b.files.size(); ++i) {
    if (!damaged.intact(b.files[i].start, b.files[i].end)) continue;
    r.intact += uint64_t(std::min(found[i], damaged.copies));
    if (listMissing && found[i] < damaged.copies) {
      std::filesystem::copy_file(path, bench::DataDir() / "recovery" / "missing.bkf",
                                 std::filesystem::copy_options::overwrite_existing);
      std::printf("    missing: %s (block at %llu)\n", std::string(b.files[i].name.begin(), b.files[i].name.end()).c_str(),
                  static_cast<unsigned long long>(b.files[i].start));
    }
  }
  return r;
}
}  // namespace

int main() {
  std::vector<Backup> backups;
  backups.push_back(MakeBackup("small", 40, 60, [](Rng& rng) { return TextContent(rng, 100 + rng.Below(6000)); }));
  backups.push_back(MakeBackup("documents", 12, 10, [](Rng& rng) { return TextContent(rng, 20000 + rng.Below(300000)); }));
  backups.push_back(MakeBackup("compressed", 10, 12, [](Rng& rng) { return RandomContent(rng, 5000 + rng.Below(200000)); }));
  backups.push_back(MakeSplitPart());

  const auto folder = bench::DataDir() / "recovery";
  std::filesystem::create_directories(folder);
  const auto path = folder / "damaged.bkf";
  int rowsBelow = 0, advancedBelow = 0;
  std::printf("%-11s %-26s %7s %17s %17s %9s %9s\n", "backup", "damage", "bound", "Standard", "Advanced",
              "Std ms", "Adv ms");
  for (const Backup& b : backups) {
    for (const Damage& d : Damages()) {
      const Damaged damaged = d.apply(b.bytes);
      fixture::WriteFile(path, damaged.bytes);
      uint64_t bound = 0;
      for (const Entry& e : b.files)
        if (damaged.intact(e.start, e.end)) bound += uint64_t(damaged.copies);
      const ModeResult st = Run(b, damaged, path, ScanMode::Standard);
      const ModeResult adv = Run(b, damaged, path, ScanMode::Advanced);
      auto pct = [bound](uint64_t n) { return bound ? 100.0 * double(n) / double(bound) : 100.0; };
      std::printf("%-11s %-26s %7llu %8llu %6.1f%% %8llu %6.1f%% %9.1f %9.1f\n", b.shape.c_str(), d.name.c_str(),
                  static_cast<unsigned long long>(bound), static_cast<unsigned long long>(st.intact), pct(st.intact),
                  static_cast<unsigned long long>(adv.intact), pct(adv.intact), st.seconds * 1e3, adv.seconds * 1e3);
      if (st.intact < bound || adv.intact < bound) ++rowsBelow;
      if (adv.intact < st.intact) ++advancedBelow;
    }
  }
  std::filesystem::remove(path);
  bench::PrintGoal("rows below the bound", rowsBelow, "<", 1);
  bench::PrintGoal("rows where Advanced is below Standard", advancedBelow, "<", 1);
  return 0;
}
