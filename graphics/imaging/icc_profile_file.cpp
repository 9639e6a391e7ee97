// LoadIccProfile: the profile file is opened through the platform's files and read where the
// reader asks, each read repeated until it is complete.
#include <cstdint>

#include "graphics/imaging/icc_profile_reader.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"

namespace {
// Reads size bytes, repeating short reads; false at an error or the end of the file.
bool ReadFully(HANDLE file, BYTE* buffer, std::size_t size) {
  while (size > 0) {
    const DWORD ask = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(file, buffer, ask, &got, nullptr) || got == 0) return false;
    buffer += got;
    size -= got;
  }
  return true;
}

bool ReadFileAt(void* context, std::uint64_t offset, BYTE* buffer, std::size_t size) {
  HANDLE file = static_cast<HANDLE>(context);
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFully(file, buffer, size);
}
}  // namespace

int LoadIccProfile(ProfileLut* lut, const char* path) {
  if (lut == nullptr) return kIccNoObject;
  ReleaseProfileLut(*lut);
  if (path == nullptr) return kIccCannotOpen;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kIccCannotOpen;
  LARGE_INTEGER size{};
  int rc = GetFileSizeEx(file, &size) ? ReadIccProfile(*lut, IccSource{file, static_cast<std::uint64_t>(size.QuadPart), ReadFileAt})
                                      : kIccReadFailed;
  if (!CloseHandle(file) && rc == kIccOk) {
    ReleaseProfileLut(*lut);
    rc = kIccCloseFailed;
  }
  return rc;
}
