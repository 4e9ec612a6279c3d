#pragma once
// The few parts of the 7-Zip library's object interface that the archive
// listing uses, declared here from the library's documented binary layout on
// this platform: 32-bit HRESULT, GUIDs, 16-byte PROPVARIANTs whose strings
// are BSTRs allocated (and freed) by the library, and interfaces whose
// IUnknown has no virtual destructor.

#include <cstdint>
#include <cstring>

namespace sevenzip {

using HRESULT = int32_t;
using ULONG = uint32_t;
using BSTR = wchar_t*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
inline constexpr HRESULT E_ABORT = HRESULT(0x80004004u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001u);

struct GUID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
  bool operator==(const GUID& other) const { return std::memcmp(this, &other, sizeof(GUID)) == 0; }
};
static_assert(sizeof(GUID) == 16);

inline constexpr GUID kIID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {23170F69-40C1-278A-0000-000G00S0000}
constexpr GUID InterfaceId(uint8_t group, uint8_t sub) {
  return {0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, sub, 0, 0}};
}
inline constexpr GUID kIID_IInStream = InterfaceId(0x03, 0x03);
inline constexpr GUID kIID_IStreamGetSize = InterfaceId(0x03, 0x06);
inline constexpr GUID kIID_ICryptoGetTextPassword = InterfaceId(0x05, 0x10);
inline constexpr GUID kIID_IArchiveOpenCallback = InterfaceId(0x06, 0x10);
inline constexpr GUID kIID_IInArchive = InterfaceId(0x06, 0x60);
// Format class {23170F69-40C1-278A-1000-000110xx0000}.
constexpr GUID FormatClassId(uint8_t format) {
  return {0x23170F69, 0x40C1, 0x278A, {0x10, 0, 0, 0x01, 0x10, format, 0, 0}};
}

enum : uint16_t { VT_EMPTY = 0, VT_I2 = 2, VT_I4 = 3, VT_BSTR = 8, VT_BOOL = 11, VT_I1 = 16, VT_UI1 = 17,
                  VT_UI2 = 18, VT_UI4 = 19, VT_I8 = 20, VT_UI8 = 21, VT_INT = 22, VT_UINT = 23 };

struct PROPVARIANT {
  uint16_t vt;
  uint16_t reserved1, reserved2, reserved3;
  union {
    int8_t cVal;
    uint8_t bVal;
    int16_t iVal;
    uint16_t uiVal;
    int32_t lVal;
    uint32_t ulVal;
    int64_t hVal;
    uint64_t uhVal;
    int16_t boolVal;  // VARIANT_BOOL: -1 true
    BSTR bstrVal;
  };
};
static_assert(sizeof(PROPVARIANT) == 16);

inline constexpr uint32_t kpidPath = 3;
inline constexpr uint32_t kpidIsDir = 6;

struct IUnknown {
  virtual HRESULT QueryInterface(const GUID& iid, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
};
struct ISequentialInStream : IUnknown {
  virtual HRESULT Read(void* data, uint32_t size, uint32_t* processed) = 0;
};
struct IInStream : ISequentialInStream {
  virtual HRESULT Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) = 0;
};
struct IStreamGetSize : IUnknown {
  virtual HRESULT GetSize(uint64_t* size) = 0;
};
struct IArchiveOpenCallback : IUnknown {
  virtual HRESULT SetTotal(const uint64_t* files, const uint64_t* bytes) = 0;
  virtual HRESULT SetCompleted(const uint64_t* files, const uint64_t* bytes) = 0;
};
struct ICryptoGetTextPassword : IUnknown {
  virtual HRESULT CryptoGetTextPassword(BSTR* password) = 0;
};
struct IInArchive : IUnknown {
  virtual HRESULT Open(IInStream* stream, const uint64_t* maxCheckStartPosition, IArchiveOpenCallback* callback) = 0;
  virtual HRESULT Close() = 0;
  virtual HRESULT GetNumberOfItems(uint32_t* count) = 0;
  virtual HRESULT GetProperty(uint32_t index, uint32_t propId, PROPVARIANT* value) = 0;
};

using CreateObjectFunc = HRESULT (*)(const GUID* clsid, const GUID* iid, void** out);
using PropVariantClearFunc = HRESULT (*)(PROPVARIANT* value);
using SysFreeStringFunc = void (*)(BSTR);

}  // namespace sevenzip
