// Little-endian field-by-field writing and bounded reading of byte layouts (resource
// containers and the templates inside them). A reader that runs past its bytes stops and
// remembers the failure; it never reads outside its span.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/base/types.h"

struct ByteWriter {
  std::vector<BYTE>& out;
  void U8(BYTE v) { out.push_back(v); }
  void U16(WORD v) {
    out.push_back(BYTE(v));
    out.push_back(BYTE(v >> 8));
  }
  void U32(DWORD v) {
    U16(WORD(v));
    U16(WORD(v >> 16));
  }
  // A UTF-16LE text followed by a 0 character.
  void Text(std::u16string_view s) {
    for (WCHAR c : s) U16(c);
    U16(0);
  }
  void Align(size_t n) {
    while (out.size() % n != 0) out.push_back(0);
  }
  void PutU32At(size_t at, DWORD v) {
    for (int i = 0; i < 4; ++i) out[at + i] = BYTE(v >> (8 * i));
  }
};

struct ByteReader {
  std::span<const BYTE> bytes;
  size_t pos = 0;
  bool ok = true;

  bool Has(size_t n) {
    if (!ok || n > bytes.size() - pos) ok = false;
    return ok;
  }
  BYTE U8() { return Has(1) ? bytes[pos++] : 0; }
  WORD U16() {
    if (!Has(2)) return 0;
    WORD v = WORD(bytes[pos] | bytes[pos + 1] << 8);
    pos += 2;
    return v;
  }
  DWORD U32() {
    DWORD lo = U16();
    return lo | DWORD(U16()) << 16;
  }
  // A UTF-16LE text up to its 0 character (which is consumed).
  std::u16string Text() {
    std::u16string s;
    for (;;) {
      WCHAR c = U16();
      if (!ok || c == 0) return s;
      s.push_back(c);
    }
  }
  void Align(size_t n) {
    size_t pad = (n - pos % n) % n;
    if (Has(pad)) pos += pad;
  }
  void Skip(size_t n) {
    if (Has(n)) pos += n;
  }
};
