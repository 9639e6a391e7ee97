// Settings blob headers and their checked parsers.
#include "core/persist/blob_format.h"

#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"

namespace {

DWORD ReadU32(const BYTE* p) {
  DWORD v;
  std::memcpy(&v, p, 4);
  return v;
}

WORD ReadU16(const BYTE* p) {
  WORD v;
  std::memcpy(&v, p, 2);
  return v;
}

void WriteU32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}

// Writes a tag as UTF-16LE, zero-filled to 16 bytes.
void WriteTag(BYTE* out, const WCHAR* tag) {
  std::memset(out, 0, kBlobTagSize);
  for (DWORD i = 0; tag[i] != 0 && 2 * i + 1 < kBlobTagSize; ++i) {
    out[2 * i] = BYTE(tag[i]);
    out[2 * i + 1] = BYTE(tag[i] >> 8);
  }
}

// The 16-byte field holds exactly the tag and zeros.
bool HasTag(const BYTE* field, const WCHAR* tag) {
  BYTE expected[kBlobTagSize];
  WriteTag(expected, tag);
  return std::memcmp(field, expected, kBlobTagSize) == 0;
}

// Bytes from the cursor to the end; 0 when the cursor lies beyond the end.
DWORD Remaining(DWORD size, DWORD cursor) { return cursor <= size ? size - cursor : 0; }

}  // namespace

void WriteExtensionBlobHeader(BYTE* out) {
  WriteTag(out, kExtensionBlobTag);
  WriteU32(out + 16, kExtensionBlobVersion);
  WriteU32(out + 20, kSettingsExtensionSize);
}

void WriteTmbInfoBlobHeader(BYTE* out, DWORD length) {
  WriteTag(out, kTmbInfoBlobTag);
  WriteU32(out + 16, length);
}

BOOL PeekExtensionBlobHeader(const BYTE* data, DWORD size, DWORD cursor, DWORD* version, DWORD* length) {
  if (data == nullptr || version == nullptr || length == nullptr) return FALSE;
  if (Remaining(size, cursor) < kExtensionBlobHeaderSize || !HasTag(data + cursor, kExtensionBlobTag)) return FALSE;
  *version = ReadU32(data + cursor + 16);
  *length = ReadU32(data + cursor + 20);
  return TRUE;
}

BOOL ExtensionBlobNeedsDefaults(const BYTE* data, DWORD size, DWORD cursor) {
  DWORD version, length;
  return PeekExtensionBlobHeader(data, size, cursor, &version, &length) &&
         (version < kExtensionBlobVersion || length < kSettingsExtensionSize);
}

int ParseExtensionBlob(const BYTE* data, DWORD size, DWORD* cursor, BYTE* extension, const BYTE* defaults) {
  if (cursor == nullptr || extension == nullptr) return 0;
  DWORD version, length;
  if (!PeekExtensionBlobHeader(data, size, *cursor, &version, &length)) return 0;
  if (version > kExtensionBlobVersion) return 0;
  const BYTE* header = data + *cursor;
  if (length > Remaining(size, *cursor) - kExtensionBlobHeaderSize) return 0;
  // Whatever the stored extension does not hold keeps the model's defaults.
  const bool partial = version < kExtensionBlobVersion || length < kSettingsExtensionSize;
  if (partial && defaults == nullptr) return 0;
  if (partial) std::memmove(extension, defaults, kSettingsExtensionSize);
  const DWORD copied = length < kSettingsExtensionSize ? length : kSettingsExtensionSize;
  std::memcpy(extension, header + kExtensionBlobHeaderSize, copied);
  extension[kExtensionVersionOffset] = BYTE(kExtensionBlobVersion);
  extension[kExtensionVersionOffset + 1] = BYTE(kExtensionBlobVersion >> 8);
  *cursor += kExtensionBlobHeaderSize + length;
  return 1;
}

int ParseTmbInfoBlob(const BYTE* data, DWORD size, DWORD* cursor, BYTE** block, DWORD* length) {
  if (data == nullptr || cursor == nullptr || block == nullptr || length == nullptr) return 0;
  *block = nullptr;
  if (Remaining(size, *cursor) < kTmbInfoBlobHeaderSize) return 0;
  const BYTE* header = data + *cursor;
  if (!HasTag(header, kTmbInfoBlobTag)) return 0;
  const DWORD stored = ReadU32(header + 16);
  if (stored > Remaining(size, *cursor) - kTmbInfoBlobHeaderSize) return 0;
  if (stored > 0) {
    *block = static_cast<BYTE*>(GlobalCopyBytes(header + kTmbInfoBlobHeaderSize, stored));
    if (*block == nullptr) return 0;
  }
  *length = stored;
  *cursor += kTmbInfoBlobHeaderSize + stored;
  return 1;
}

int ParseFaxSendListBlob(const BYTE* data, DWORD size, DWORD cursor, BYTE** record, DWORD* recordSize) {
  if (data == nullptr || record == nullptr || recordSize == nullptr) return 0;
  *record = nullptr;
  const DWORD remaining = Remaining(size, cursor);
  if (remaining < kFaxRecordHeaderSize || !HasTag(data + cursor, kFaxRecordTag)) return 0;
  const DWORD count = ReadU16(data + cursor + kFaxRecordCountOffset);
  if (remaining != GetFaxRecordSize(count)) return 0;
  *record = static_cast<BYTE*>(GlobalCopyBytes(data + cursor, remaining));
  if (*record == nullptr) return 0;
  *recordSize = remaining;
  return 1;
}
