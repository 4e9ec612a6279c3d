// quillon-decode-misbehaving: the decoding helper with a decoder tried first
// that crashes, hangs or eats memory on files that ask for it, as a library
// might on a hostile picture.
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <list>
#include <memory>
#include <string_view>
#include <vector>

#include "decode_request.h"

namespace {

picture::Decoded Misbehave(picture::Bytes file) {
  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size() < 32 ? file.size() : 32);
  if (text.starts_with("QUILLON-TEST crash")) ::raise(SIGSEGV);
  if (text.starts_with("QUILLON-TEST hang")) {
    for (;;) ::pause();
  }
  if (text.starts_with("QUILLON-TEST eat memory")) {
    // Ever larger blocks, as a decoder that believes a hostile header would
    // ask for; each is kept and written to.
    std::list<std::unique_ptr<char[]>> eaten;
    for (size_t size = size_t(64) << 20;; size *= 2) {
      eaten.emplace_back(new char[size]);
      eaten.back()[size - 1] = 1;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) { return picture::RunDecodeHelper(argc, argv, Misbehave); }
