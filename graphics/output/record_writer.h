// A bounded writer of display-list records into a caller's buffer: every value big-endian,
// floats as their 32 bits. A write that would pass the buffer's end is dropped and the writer
// remembers that the block did not fit.
#pragma once

#include <cstring>

#include "graphics/output/display_list.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"

// Opcodes of the ready-made blocks.
constexpr WORD kDlCoverTextMatrix = DisplayListOpcode('D', 'b');
constexpr WORD kDlCoverText = DisplayListOpcode('D', 'd');
constexpr WORD kDlOverlayName = DisplayListOpcode('E', 'g');

struct RecordWriter {
  BYTE* data;
  DWORD capacity;
  DWORD length;
  bool fits;
};

inline BYTE* Reserve(RecordWriter* w, DWORD n) {
  if (!w->fits || n > w->capacity - w->length) {
    w->fits = false;
    return nullptr;
  }
  BYTE* at = w->data + w->length;
  w->length += n;
  return at;
}
inline void PutByte(RecordWriter* w, BYTE v) {
  if (BYTE* p = Reserve(w, 1)) *p = v;
}
inline void PutU16(RecordWriter* w, WORD v) {
  if (BYTE* p = Reserve(w, 2)) PutBE16(p, v);
}
inline void PutU32(RecordWriter* w, DWORD v) {
  if (BYTE* p = Reserve(w, 4)) PutBE32(p, v);
}
inline void PutOpcode(RecordWriter* w, WORD opcode) { PutU16(w, opcode); }
inline void PutFloat(RecordWriter* w, float v) {
  DWORD bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU32(w, bits);
}
inline void PutBytes(RecordWriter* w, const void* bytes, DWORD n) {
  if (BYTE* p = Reserve(w, n)) std::memcpy(p, bytes, n);
}
