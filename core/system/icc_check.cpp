// ICC profile header check: the big-endian signature fields of the first 132 bytes.
#include "core/system/icc_check.h"

#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"

namespace {

constexpr int kIccHeaderBytes = 132;

// A big-endian four-character signature at offset.
DWORD ReadSignature(const BYTE* header, int offset) {
  return GetBE32(header + offset);
}

constexpr DWORD Signature(const char (&s)[5]) {
  return (static_cast<DWORD>(static_cast<BYTE>(s[0])) << 24) | (static_cast<DWORD>(static_cast<BYTE>(s[1])) << 16) |
         (static_cast<DWORD>(static_cast<BYTE>(s[2])) << 8) | static_cast<BYTE>(s[3]);
}

int CheckHeader(const BYTE* header) {
  if (ReadSignature(header, 36) != Signature("acsp")) return -5;
  if (ReadSignature(header, 16) != Signature("RGB ")) return -6;
  const DWORD pcs = ReadSignature(header, 20);
  if (pcs != Signature("XYZ ") && pcs != Signature("Lab ")) return -7;
  const DWORD deviceClass = ReadSignature(header, 12);
  if (deviceClass != Signature("mntr") && deviceClass != Signature("scnr")) return -6;
  return 0;
}

}  // namespace

int CheckIccProfileFile(LPCSTR path) {
  if (path == nullptr) return -1;
  // Read-only, binary: the platform's file handle stands in for the run-time library's.
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -2;
  BYTE header[kIccHeaderBytes] = {};
  DWORD got = 0;
  const BOOL read = ReadFile(file, header, kIccHeaderBytes, &got, nullptr);
  int result = !read || got < static_cast<DWORD>(kIccHeaderBytes) ? -3 : CheckHeader(header);
  if (!CloseHandle(file) && result == 0) result = -4;
  return result;
}
