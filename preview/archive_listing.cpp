#include "archive_listing.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

using namespace sevenzip;

namespace {

HRESULT FromErrno(int error) { return error ? HRESULT(0x80070000u | (uint32_t(error) & 0xFFFF)) : E_FAIL; }

// An object handed to the library with two interfaces: the first also
// answers for IUnknown; both share one reference count, and the last
// Release deletes the object.
template <class First, const GUID& kFirst, class Second, const GUID& kSecond>
class CTwoInterfaceObject : public First, public Second {
 public:
  virtual ~CTwoInterfaceObject() = default;
  HRESULT QueryInterface(const GUID& iid, void** out) override {
    if (!out) return E_NOINTERFACE;
    if (iid == kIID_IUnknown || iid == kFirst) {
      *out = static_cast<First*>(this);
    } else if (iid == kSecond) {
      *out = static_cast<Second*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_refs; }
  ULONG Release() override {
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
  }

 private:
  ULONG m_refs = 0;
};

// The extracted archive as the library's input stream.
class CInFileStream final
    : public CTwoInterfaceObject<IInStream, kIID_IInStream, IStreamGetSize, kIID_IStreamGetSize> {
 public:
  ~CInFileStream() {
    if (m_fd >= 0) ::close(m_fd);
  }
  // Opens an existing regular file for reading; never waits on a FIFO or a device.
  bool Open(const std::filesystem::path& path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) return false;
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0) ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    return true;
  }

  HRESULT Read(void* data, uint32_t size, uint32_t* processed) override {
    if (processed) *processed = 0;
    constexpr uint32_t kMaxRead = 4u << 20;
    size = std::min(size, kMaxRead);
    ssize_t n;
    do n = ::read(m_fd, data, size);
    while (n < 0 && errno == EINTR);
    if (n < 0) return FromErrno(errno);
    if (processed) *processed = uint32_t(n);
    return S_OK;
  }
  HRESULT Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) override {
    int whence;
    switch (origin) {
      case 0: whence = SEEK_SET; break;
      case 1: whence = SEEK_CUR; break;
      case 2: whence = SEEK_END; break;
      default: return STG_E_INVALIDFUNCTION;
    }
    const off_t at = ::lseek(m_fd, off_t(offset), whence);
    if (at < 0) return FromErrno(errno);
    if (newPosition) *newPosition = uint64_t(at);
    return S_OK;
  }
  HRESULT GetSize(uint64_t* size) override {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) return FromErrno(errno);
    if (size) *size = uint64_t(st.st_size);
    return S_OK;
  }

 private:
  int m_fd = -1;
};

// The open callback: takes every progress report; has no password, so an
// archive whose listing needs one cannot be opened.
class CArchiveOpenCallback final
    : public CTwoInterfaceObject<IArchiveOpenCallback, kIID_IArchiveOpenCallback, ICryptoGetTextPassword,
                                 kIID_ICryptoGetTextPassword> {
 public:
  HRESULT SetTotal(const uint64_t*, const uint64_t*) override { return S_OK; }
  HRESULT SetCompleted(const uint64_t*, const uint64_t*) override { return S_OK; }
  // The preview never defines a password.
  HRESULT CryptoGetTextPassword(BSTR* password) override {
    if (password) *password = nullptr;
    return E_ABORT;
  }
};

// The loaded library and the objects made from it, released in order.
struct Session {
  void* library = nullptr;
  IInArchive* archive = nullptr;
  CInFileStream* stream = nullptr;
  SysFreeStringFunc freeString = nullptr;
  ~Session() {
    if (stream) stream->Release();
    if (archive) archive->Release();
    if (library) ::dlclose(library);
  }
};

void AppendUtf16(std::u16string& out, uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out += char16_t(0xD800 + (cp >> 10));
    out += char16_t(0xDC00 + (cp & 0x3FF));
  } else {
    out += char16_t(cp);
  }
}

std::u16string Decimal(uint64_t value, bool negative) {
  std::string text = std::to_string(value);
  if (negative) text.insert(0, 1, '-');
  return std::u16string(text.begin(), text.end());
}

std::u16string LowerAscii(std::u16string text) {
  for (char16_t& c : text)
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
  return text;
}

struct FormatName {
  std::u16string_view name;
  uint8_t format;
};
constexpr FormatName kFormats[] = {
    {u"7z", 0x07},    {u"arj", 0x04},  {u"bzip2", 0x02}, {u"cab", 0x08},  {u"chm", 0xE9},
    {u"compound", 0xE5}, {u"cpio", 0xED}, {u"deb", 0xEC},  {u"gzip", 0xEF}, {u"iso", 0xE7},
    {u"lzh", 0x06},   {u"lzma", 0x0A}, {u"nsis", 0x09},  {u"rar", 0x03},  {u"rpm", 0xEB},
    {u"split", 0xEA}, {u"tar", 0xEE},  {u"wim", 0xE6},   {u"z", 0x05},    {u"zip", 0x01},
};

}  // namespace

std::optional<std::u16string> PropertyText(const PROPVARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY: return std::u16string();
    case VT_BSTR: {
      std::u16string text;
      if (value.bstrVal)
        for (const wchar_t* p = value.bstrVal; *p; ++p) AppendUtf16(text, uint32_t(*p));
      return text;
    }
    case VT_BOOL: return std::u16string(value.boolVal ? u"+" : u"-");
    case VT_I1: return Decimal(uint64_t(value.cVal < 0 ? -int64_t(value.cVal) : value.cVal), value.cVal < 0);
    case VT_UI1: return Decimal(value.bVal, false);
    case VT_I2: return Decimal(uint64_t(value.iVal < 0 ? -int64_t(value.iVal) : value.iVal), value.iVal < 0);
    case VT_UI2: return Decimal(value.uiVal, false);
    case VT_I4:
    case VT_INT: return Decimal(uint64_t(value.lVal < 0 ? -int64_t(value.lVal) : value.lVal), value.lVal < 0);
    case VT_UI4:
    case VT_UINT: return Decimal(value.ulVal, false);
    case VT_I8: return Decimal(value.hVal < 0 ? 0 - uint64_t(value.hVal) : uint64_t(value.hVal), value.hVal < 0);
    case VT_UI8: return Decimal(value.uhVal, false);
    default: return std::nullopt;
  }
}

std::u16string ShortenEntryPath(std::u16string path) {
  if (path.size() <= kMaxEntryPath) return path;
  constexpr size_t kHead = 500;
  constexpr std::u16string_view kGap = u"...";
  size_t head = kHead;
  if (path[head - 1] >= 0xD800 && path[head - 1] <= 0xDBFF) --head;  // keep a pair whole
  size_t tailStart = path.size() - (kMaxEntryPath - kHead - kGap.size());
  if (path[tailStart] >= 0xDC00 && path[tailStart] <= 0xDFFF) ++tailStart;
  return path.substr(0, head) + std::u16string(kGap) + path.substr(tailStart);
}

std::optional<GUID> ArchiveFormatForPath(const std::filesystem::path& path) {
  const std::u16string name = path.filename().u16string();
  const size_t dot = name.find_last_of(u'.');
  if (dot == std::u16string::npos) return std::nullopt;
  const std::u16string ext = LowerAscii(name.substr(dot + 1));
  for (const FormatName& f : kFormats)
    if (f.name == ext) return FormatClassId(f.format);
  return std::nullopt;
}

ArchiveListResult ListArchive(const std::filesystem::path& path, const char* library) {
  const std::optional<GUID> format = ArchiveFormatForPath(path);
  if (!format) return {std::nullopt, "the extension names no archive format"};
  return ListArchive(path, *format, library);
}

ArchiveListResult ListArchive(const std::filesystem::path& path, const GUID& formatClass, const char* library) {
  Session s;
  s.library = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (!s.library) return {std::nullopt, std::string("cannot load the archive library: ") + library};
  const auto create = reinterpret_cast<CreateObjectFunc>(::dlsym(s.library, "CreateObject"));
  if (!create) return {std::nullopt, "the archive library has no CreateObject"};
  s.freeString = reinterpret_cast<SysFreeStringFunc>(::dlsym(s.library, "SysFreeString"));
  void* object = nullptr;
  if (create(&formatClass, &kIID_IInArchive, &object) != S_OK || !object)
    return {std::nullopt, "the archive library does not know the format"};
  s.archive = static_cast<IInArchive*>(object);

  s.stream = new CInFileStream;
  s.stream->AddRef();
  if (!s.stream->Open(path)) return {std::nullopt, "cannot open the archive file"};

  auto* callback = new CArchiveOpenCallback;
  callback->AddRef();
  const HRESULT opened = s.archive->Open(s.stream, nullptr, callback);
  callback->Release();
  if (opened != S_OK) return {std::nullopt, "the archive cannot be opened"};

  uint32_t count = 0;
  if (s.archive->GetNumberOfItems(&count) != S_OK) return {std::nullopt, "the archive has no item count"};
  ArchiveListing listing;
  listing.records.resize(count);
  // A string the library made is freed by the library.
  const auto take = [&](uint32_t index, uint32_t property) -> std::optional<std::u16string> {
    PROPVARIANT value{};
    if (s.archive->GetProperty(index, property, &value) != S_OK) value.vt = VT_EMPTY;
    std::optional<std::u16string> text = PropertyText(value);
    if (value.vt == VT_BSTR && value.bstrVal && s.freeString) s.freeString(value.bstrVal);
    return text;
  };
  for (uint32_t i = 0; i < count; ++i) {
    std::optional<std::u16string> entryPath = take(i, kpidPath);
    std::optional<std::u16string> folder = take(i, kpidIsDir);
    if (!entryPath || !folder) return {std::nullopt, "an entry property has no text form"};
    listing.records[i].path = ShortenEntryPath(std::move(*entryPath));
    listing.records[i].folderFlag = folder->substr(0, 1);
  }
  return {std::move(listing), {}};
}
