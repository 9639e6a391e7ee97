// Reading a spool file that holds the stand-in drawing library's stream
// (outside/drawlib/drawlib_stream.h): the records are found by their marker bytes, every other
// byte (job header texts, the graphics module's own blocks) is passed over, and each record's
// length is checked against the bytes present.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/base/types.h"

struct SpoolRecord {
  BYTE slot;
  std::span<const BYTE> payload;
};

struct SpoolScan {
  std::vector<SpoolRecord> records;
  size_t otherBytes = 0;  // bytes outside any record
  bool truncated = false; // the last record's length ran past the end of the bytes
};

// The records of the bytes, in order. Records point into the bytes, which must outlive them.
SpoolScan ScanSpoolStream(std::span<const BYTE> bytes);

// Bounds-checked little-endian reads of a record's payload: a read past its end gives 0 and
// marks the reader failed for good.
class PayloadReader {
 public:
  explicit PayloadReader(std::span<const BYTE> payload) : payload_(payload) {}
  WORD U16();
  DWORD U32();
  LONG I32() { return static_cast<LONG>(U32()); }
  float F32();
  BYTE U8();
  // The next n bytes; an empty span (and failure) when fewer remain.
  std::span<const BYTE> Bytes(size_t n);
  bool failed() const { return failed_; }
  size_t remaining() const { return failed_ ? 0 : payload_.size() - at_; }

 private:
  std::span<const BYTE> payload_;
  size_t at_ = 0;
  bool failed_ = false;
};
