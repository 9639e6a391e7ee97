#include "core/persist/file_block.h"

#include "platform/kernel/files.h"

DWORD WriteFileBlock(HANDLE file, const void* bytes, DWORD length) {
  const auto* from = static_cast<const BYTE*>(bytes);
  DWORD done = 0;
  while (done < length) {
    DWORD written = 0;
    // A write that reports more than it was given is taken as a failed one.
    if (!WriteFile(file, from + done, length - done, &written, nullptr) || written == 0 || written > length - done)
      break;
    done += written;
  }
  return done;
}
