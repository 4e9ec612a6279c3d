// The RTF reader over arbitrary bytes: it must end, stay inside the input and
// report only sizes and pictures that the input can hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rtf_parser.h"

namespace {

class CheckingSink : public quillon::rtf::Sink {
 public:
  explicit CheckingSink(size_t inputSize) : m_limit(inputSize) {}
  void Bytes(std::string_view bytes, int, const quillon::rtf::CharFormat&,
             const quillon::rtf::ParaFormat&) override {
    Count(bytes.size());
  }
  void Unicode(std::u16string_view text, const quillon::rtf::CharFormat&,
               const quillon::rtf::ParaFormat&) override {
    Count(text.size());
  }
  void ParagraphEnd(const quillon::rtf::ParaFormat&) override {}
  void LineBreak(const quillon::rtf::CharFormat&, const quillon::rtf::ParaFormat&) override {}
  void CellEnd(const quillon::rtf::ParaFormat&) override {}
  void RowEnd() override {}
  void Picture(quillon::rtf::PictureKind, std::string_view data, int width, int height,
               const quillon::rtf::CharFormat&, const quillon::rtf::ParaFormat&) override {
    if (data.empty() || width < 0 || height < 0) std::abort();
    Count(data.size());
  }

 private:
  void Count(size_t n) {
    m_total += n;
    // Every character or picture byte comes from at least one input byte.
    if (n == 0 || m_total > m_limit) std::abort();
  }
  size_t m_limit;
  size_t m_total = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckingSink sink(size);
  quillon::rtf::Tables tables;
  quillon::rtf::Read(bytes, sink, tables);
  if (tables.colors.size() > size) std::abort();
  return 0;
}
