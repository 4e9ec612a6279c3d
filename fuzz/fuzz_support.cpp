#include "fuzz_support.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace fuzzing {

namespace {
std::filesystem::path Scratch() {
  static const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quillon-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}
}  // namespace

const std::filesystem::path& InputAsFile(const uint8_t* data, size_t size) {
  static const std::filesystem::path path = Scratch() / "input.bkf";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
  return path;
}

const std::filesystem::path& FreshFolder() {
  static const std::filesystem::path dir = Scratch() / "out";
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace fuzzing
