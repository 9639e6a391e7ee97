#include "graphics/drawing/command_recorder.h"

#include <bit>
#include <cstring>
#include <vector>

#include "graphics/drawing/command_table.h"
#include "graphics/drawing/point_encoding.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"

namespace {

constexpr DWORD kMaxCount = 0xFFFF;  // counts travel as 16-bit values

bool CallsLibrary(WORD mode) { return mode == kChannelPrinter || mode == kChannelPrinterAndFile; }
bool WritesList(WORD mode) {
  return mode == kChannelTempStore || mode == kChannelUserFile || mode == kChannelPrinterAndFile;
}
bool IsColorSpace(BYTE space) { return space == kDlColorGrey || space == kDlColorRgb; }

// Gathers one command's bytes and hands them to the channel in as few writes as possible: the
// whole command at once when it fits the gathering buffer. The bytes are first encoded in place
// in the channel's room (behind the bytes waiting in its staging buffer, or in the temporary job
// store's write-behind block); a command that fits there is taken by counting it, with no copy.
// One that outgrows the room moves what it has so far to its own buffer and goes on there, so
// the channel sees exactly the writes it would have seen had the command been gathered aside
// from the start.
class CommandWriter {
 public:
  CommandWriter(OutputChannel* channel, WORD opcode) : CommandWriter(channel) { U16(opcode); }
  // A continuation of the command before (no opcode).
  explicit CommandWriter(OutputChannel* channel) : CommandWriter(channel, GetChannelRoom(channel)) {}

  void Byte(BYTE v) {
    Room(1);
    *out_++ = v;
  }
  void U16(WORD v) {
    Room(2);
    PutBE16(out_, v);
    out_ += 2;
  }
  void U32(DWORD v) {
    Room(4);
    PutBE32(out_, v);
    out_ += 4;
  }
  void F32(float v) { U32(std::bit_cast<DWORD>(v)); }
  // 28.4 points as pairs of floats (x 0.0625), encoded in runs as long as the room allows.
  void FixedPoints(const RecordPoint* points, DWORD count) {
    while (count > 0) {
      const DWORD fit = static_cast<DWORD>(end_ - out_) / kFixedPointBytes;
      if (fit == 0) {
        // At the end of the room: one point value by value, so a spill falls where it would.
        F32(static_cast<float>(points->x) * 0.0625f);
        F32(static_cast<float>(points->y) * 0.0625f);
        ++points;
        --count;
        continue;
      }
      const DWORD n = count < fit ? count : fit;
      EncodeFixedPoints(out_, points, n);
      out_ += n * kFixedPointBytes;
      points += n;
      count -= n;
    }
  }
  void Bytes(const BYTE* bytes, DWORD length) {
    if (length > static_cast<DWORD>(end_ - out_)) LeaveRoom();
    if (length <= static_cast<DWORD>(end_ - out_)) {
      if (length > 0) std::memcpy(out_, bytes, length);
      out_ += length;
      return;
    }
    Spill();
    if (!failed_ && WriteChannel(channel_, length, bytes) < 0) failed_ = true;
  }
  // Stages or writes what is still gathered; 0, or -1 when any write failed.
  int Finish() {
    if (inRoom_) {
      *roomFill_ += static_cast<DWORD>(out_ - start_);
      return 0;
    }
    Spill();
    return failed_ ? -1 : 0;
  }

 private:
  CommandWriter(OutputChannel* channel, ChannelRoom room)
      : channel_(channel), roomFill_(room.fill), start_(room.bytes), out_(room.bytes), end_(room.bytes + room.size) {}

  // Makes room for n more bytes: out of the channel's room first, then by a spill of the own
  // buffer when fewer than n bytes are left there.
  void Room(DWORD n) {
    if (static_cast<DWORD>(end_ - out_) >= n) return;
    LeaveRoom();
    if (static_cast<DWORD>(end_ - out_) < n) Spill();
  }
  // Moves the bytes encoded in the channel's room so far (never more than the own buffer holds)
  // to the own buffer.
  void LeaveRoom() {
    if (!inRoom_) return;
    const size_t done = static_cast<size_t>(out_ - start_);
    if (done > 0) std::memcpy(buffer_, start_, done);
    inRoom_ = false;
    start_ = buffer_;
    out_ = buffer_ + done;
    end_ = buffer_ + sizeof(buffer_);
  }
  void Spill() {
    const DWORD fill = static_cast<DWORD>(out_ - start_);
    if (fill > 0 && !failed_ && WriteChannel(channel_, fill, buffer_) < 0) failed_ = true;
    out_ = buffer_;
  }

  OutputChannel* channel_;
  DWORD* roomFill_;  // the count of bytes in the channel's room
  BYTE* start_;      // the command's first byte not yet handed over
  BYTE* out_;        // where the next byte goes
  BYTE* end_;        // the end of the room
  bool inRoom_ = true;
  bool failed_ = false;
  BYTE buffer_[kChannelStagingSize];
};

// Writes the fields of a command known to fit the room it is given, without further checks:
// the same fields as a CommandWriter.
class RoomWriter {
 public:
  explicit RoomWriter(BYTE* out) : out_(out) {}

  void Byte(BYTE v) { *out_++ = v; }
  void U16(WORD v) {
    PutBE16(out_, v);
    out_ += 2;
  }
  void U32(DWORD v) {
    PutBE32(out_, v);
    out_ += 4;
  }
  void F32(float v) { U32(std::bit_cast<DWORD>(v)); }
  void FixedPoints(const RecordPoint* points, DWORD count) {
    EncodeFixedPoints(out_, points, count);
    out_ += count * kFixedPointBytes;
  }
  BYTE* End() const { return out_; }

 private:
  BYTE* out_;
};

// A colour: its space byte, then the grey byte or red, green, blue.
template <typename Writer>
void PutColor(Writer& w, BYTE space, DWORD color) {
  w.Byte(space);
  if (space == kDlColorGrey) {
    w.Byte(static_cast<BYTE>(color));
  } else {
    w.Byte(static_cast<BYTE>(color >> 16));
    w.Byte(static_cast<BYTE>(color >> 8));
    w.Byte(static_cast<BYTE>(color));
  }
}
constexpr DWORD kMaxColorBytes = 4;

// A command that does not fit the channel's room, gathered by a CommandWriter (kept out of line:
// the writer's buffer would otherwise burden every command's frame).
template <typename Put>
__attribute__((noinline)) int GatherCommand(OutputChannel* channel, Put put) {
  CommandWriter w(channel);
  put(w);
  return w.Finish();
}

// Writes a command of at most maxLength bytes: put(writer) writes its fields. When the channel's
// room holds maxLength bytes (the common case) they go straight there after this one check;
// otherwise they are gathered. The length is 64-bit so that a point count however large cannot
// wrap it below the room. 0, or -1 when a write failed.
template <typename Put>
int WriteCommand(OutputChannel* channel, ULONGLONG maxLength, Put put) {
  const ChannelRoom room = GetChannelRoom(channel);
  if (maxLength > room.size) return GatherCommand(channel, put);
  RoomWriter w(room.bytes);
  put(w);
  *room.fill += static_cast<DWORD>(w.End() - room.bytes);
  return 0;
}

// One operand in its list encoding.
template <Wire W, typename Writer, typename Value>
void PutOperand(Writer& w, Value v) {
  if constexpr (W == Wire::kU8)
    w.Byte(static_cast<BYTE>(v));
  else if constexpr (W == Wire::kU16 || W == Wire::kI16)
    w.U16(static_cast<WORD>(v));
  else if constexpr (W == Wire::kU32)
    w.U32(static_cast<DWORD>(v));
  else
    w.F32(static_cast<float>(v));
}

// Records a fixed-shape command of the command table: the library call with the operands
// converted to its parameters, then the opcode and each operand in its encoding.
template <WORD Opcode, auto Call, CallCheck Check, Wire... Operands, typename... Values>
int RecordCommand(FixedCommand<Opcode, Call, Check, Operands...>, OutputChannel* channel, Values... values) {
  static_assert(sizeof...(Operands) == sizeof...(Values), "one value per operand");
  if (channel == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallWithOperands(Call, channel, values...) != 0) return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, FixedCommand<Opcode, Call, Check, Operands...>::bytes, [=](auto& w) {
    w.U16(Opcode);
    (PutOperand<Operands>(w, values), ...);
  });
}

// Records a command of the table whose floats go to the library as one array.
template <WORD Opcode, auto Slot, int Count>
int RecordCommand(FloatsCommand<Opcode, Slot, Count>, OutputChannel* channel, const float* values) {
  if (channel == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallLibrarySlotWithArray(Slot, channel, values) != 0) return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, FloatsCommand<Opcode, Slot, Count>::bytes, [=](auto& w) {
    w.U16(Opcode);
    for (int i = 0; i < Count; ++i) w.F32(values[i]);
  });
}

DrawingLibrarySession* SessionOf(OutputChannel* channel) { return channel != nullptr ? channel->session : nullptr; }

// Hatch patterns in both forms: the origin as given for the list, as integers for the library.
int RecordHatch(OutputChannel* channel, bool real, float fx, float fy, LONG x, LONG y, BYTE style, BYTE colorSpace,
                BYTE pattern, DWORD color) {
  DrawingLibrarySession* session = SessionOf(channel);
  if (session == nullptr || !IsColorSpace(colorSpace)) return -1;
  const SecondaryColor second = session->secondary;
  const WORD mode = channel->mode;
  if (!IsColorSpace(second.colorSpace) && (CallsLibrary(mode) || WritesList(mode))) return -1;
  if (CallsLibrary(mode) && CallSetHatchPattern(channel, x, y, style, colorSpace, pattern, color, second) != 0)
    return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, real ? kDlSetHatchPatternReal : kDlSetHatchPattern);
  if (real) {
    w.F32(fx);
    w.F32(fy);
  } else {
    w.U16(static_cast<WORD>(x));
    w.U16(static_cast<WORD>(y));
  }
  w.Byte(style);
  PutColor(w, colorSpace, color);
  w.Byte(pattern);
  w.Byte(second.background);
  PutColor(w, second.colorSpace, second.color);
  return w.Finish();
}

int RecordMask(OutputChannel* channel, bool real, float fx, float fy, LONG x, LONG y, BYTE kind, BYTE colorSpace,
               DWORD color, WORD width, WORD height, const BYTE* bits) {
  DrawingLibrarySession* session = SessionOf(channel);
  if (session == nullptr || !IsColorSpace(colorSpace)) return -1;
  const DWORD bitBytes = ((static_cast<DWORD>(width) + 7) >> 3) * height;
  if (bitBytes > 0 && bits == nullptr) return -1;
  const SecondaryColor second = session->secondary;
  const WORD mode = channel->mode;
  if (!IsColorSpace(second.colorSpace) && (CallsLibrary(mode) || WritesList(mode))) return -1;
  if (CallsLibrary(mode) &&
      CallSetMaskPattern(channel, x, y, kind, colorSpace, color, second, width, height, bits) != 0)
    return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, real ? kDlSetMaskPatternReal : kDlSetMaskPattern);
  if (real) {
    w.F32(fx);
    w.F32(fy);
  } else {
    w.U16(static_cast<WORD>(x));
    w.U16(static_cast<WORD>(y));
  }
  w.Byte(kind);
  PutColor(w, colorSpace, color);
  w.Byte(1);
  w.U16(width);
  w.U16(height);
  w.Bytes(bits, bitBytes);
  w.Byte(second.background);
  PutColor(w, second.colorSpace, second.color);
  return w.Finish();
}

// The library's float points of a point list: whole pixels (low 16 bits, signed) or 28.4.
std::vector<float> LibraryPoints(const RecordPoint* points, DWORD count, bool fixed) {
  std::vector<float> values(static_cast<size_t>(count) * 2);
  for (DWORD i = 0; i < count; ++i) {
    if (fixed) {
      values[2 * i] = static_cast<float>(points[i].x) * 0.0625f;
      values[2 * i + 1] = static_cast<float>(points[i].y) * 0.0625f;
    } else {
      values[2 * i] = static_cast<float>(static_cast<SHORT>(points[i].x));
      values[2 * i + 1] = static_cast<float>(static_cast<SHORT>(points[i].y));
    }
  }
  return values;
}

// A font-data record's total length (bytes 4-7, little-endian); 0 when below its own head.
DWORD FontRecordLength(const BYTE* record) {
  if (record == nullptr) return 0;
  const DWORD length = GetLE32(record + 4);
  return length < kDlFontRecordHeadBytes ? 0 : length;
}

}  // namespace

int RecordSetAxis(OutputChannel* channel, const float axis[6]) { return RecordCommand(dl::SetAxis{}, channel, axis); }

int RecordInitClip(OutputChannel* channel) { return RecordCommand(dl::InitClip{}, channel); }

int RecordSetRectangleClip(OutputChannel* channel, LONG x0, LONG y0, LONG x1, LONG y1) { return RecordCommand(dl::SetRectangleClip{}, channel, x0, y0, x1, y1); }

int RecordSetRectangleClipReal(OutputChannel* channel, float x0, float y0, float x1, float y1) { return RecordCommand(dl::SetRectangleClipReal{}, channel, x0, y0, x1, y1); }

int RecordClipPath(OutputChannel* channel) { return RecordCommand(dl::ClipPath{}, channel); }

int RecordSetLineWidth(OutputChannel* channel, WORD width) { return RecordCommand(dl::SetLineWidth{}, channel, width); }

int RecordSetLineWidthReal(OutputChannel* channel, float width) { return RecordCommand(dl::SetLineWidthReal{}, channel, width); }

int RecordSetLineCap(OutputChannel* channel, BYTE cap) { return RecordCommand(dl::SetLineCap{}, channel, cap); }

int RecordSetLineJoin(OutputChannel* channel, BYTE join) { return RecordCommand(dl::SetLineJoin{}, channel, join); }

int RecordSetMiterLimit(OutputChannel* channel, BYTE limit) { return RecordCommand(dl::SetMiterLimit{}, channel, limit); }

int RecordSetMiterLimitReal(OutputChannel* channel, float limit) { return RecordCommand(dl::SetMiterLimitReal{}, channel, limit); }

int RecordSetLineType(OutputChannel* channel, BYTE kind, WORD offset, BYTE count, const WORD* dashes) {
  if (channel == nullptr || (count > 0 && dashes == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode)) {
    float widened[255];
    for (int i = 0; i < count; ++i) widened[i] = static_cast<float>(dashes[i]);
    if (CallSetLineType(channel, kind, static_cast<float>(offset), count, widened) != 0) return -1;
  }
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, kDlSetLineType);
  w.Byte(kind);
  if (kind == kDlLineTypeUser) {
    w.U16(offset);
    w.Byte(count);
    for (int i = 0; i < count; ++i) w.U16(dashes[i]);
  }
  return w.Finish();
}

int RecordSetLineTypeReal(OutputChannel* channel, BYTE kind, float offset, BYTE count, const float* dashes) {
  if (channel == nullptr || (count > 0 && dashes == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallSetLineType(channel, kind, offset, count, dashes) != 0) return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, kDlSetLineTypeReal);
  w.Byte(kind);
  if (kind == kDlLineTypeUser) {
    w.F32(offset);
    w.Byte(count);
    for (int i = 0; i < count; ++i) w.F32(dashes[i]);
  }
  return w.Finish();
}

int RecordAdjustStroke(OutputChannel* channel, BYTE value) { return RecordCommand(dl::AdjustStroke{}, channel, value); }

int RecordSetFillMode(OutputChannel* channel, BYTE mode) { return RecordCommand(dl::SetFillMode{}, channel, mode); }

int RecordSetDrawMode(OutputChannel* channel, BYTE mode) { return RecordCommand(dl::SetDrawMode{}, channel, mode); }

int RecordSetRopMode(OutputChannel* channel, BYTE code, DWORD value) { return RecordCommand(dl::SetRopMode{}, channel, code, value); }

int RecordSetSolidColor(OutputChannel* channel, BYTE kind, BYTE colorSpace, DWORD color) {
  if (channel == nullptr || !IsColorSpace(colorSpace)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallSetSolidColor(channel, kind, colorSpace, color) != 0) return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 3 + kMaxColorBytes, [=](auto& w) {
    w.U16(kDlSetSolidColor);
    w.Byte(kind);
    PutColor(w, colorSpace, color);
  });
}

int RecordSetHatchPattern(OutputChannel* channel, LONG x, LONG y, BYTE style, BYTE colorSpace, BYTE pattern,
                          DWORD color) {
  return RecordHatch(channel, false, 0, 0, x, y, style, colorSpace, pattern, color);
}

int RecordSetHatchPatternReal(OutputChannel* channel, float x, float y, BYTE style, BYTE colorSpace, BYTE pattern,
                              DWORD color) {
  return RecordHatch(channel, true, x, y, TruncateToLong(x), TruncateToLong(y), style, colorSpace, pattern,
                     color);
}

int RecordSetMaskPattern(OutputChannel* channel, LONG x, LONG y, BYTE kind, BYTE colorSpace, DWORD color, WORD width,
                         WORD height, const BYTE* bits) {
  return RecordMask(channel, false, 0, 0, x, y, kind, colorSpace, color, width, height, bits);
}

int RecordSetMaskPatternReal(OutputChannel* channel, float x, float y, BYTE kind, BYTE colorSpace, DWORD color,
                             WORD width, WORD height, const BYTE* bits) {
  return RecordMask(channel, true, x, y, TruncateToLong(x), TruncateToLong(y), kind, colorSpace, color, width,
                    height, bits);
}

int RecordSetRasterPattern(OutputChannel* channel, LONG x, LONG y, BYTE kind, BYTE colorSpace, BYTE bits, WORD width,
                           WORD height, BYTE countByte, DWORD length, const BYTE* data) {
  if (channel == nullptr || (length > 0 && data == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) &&
      CallSetRasterPattern(channel, x, y, kind, colorSpace, bits, width, height, length, data) != 0)
    return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, kDlSetRasterPattern);
  w.U16(static_cast<WORD>(x));
  w.U16(static_cast<WORD>(y));
  w.Byte(kind);
  w.Byte(colorSpace);
  w.Byte(bits);
  w.U16(width);
  w.U16(height);
  w.Byte(countByte);
  w.U32(length);
  w.Bytes(data, length);
  return w.Finish();
}

int RecordSecondaryColor(OutputChannel* channel, BYTE kind, BYTE colorSpace, BYTE modeFlag, DWORD color) {
  DrawingLibrarySession* session = SessionOf(channel);
  if (session == nullptr || !IsColorSpace(colorSpace)) return -1;
  session->secondary.kind = kind;
  session->secondary.colorSpace = colorSpace;
  session->secondary.background = modeFlag == kSecondaryOpaque ? kBackgroundOpaque : kBackgroundTransparent;
  session->secondary.color = color;
  return 0;
}

int RecordSetGraphicsMode(OutputChannel* channel, LONG first, LONG second) {
  if (channel == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) &&
      CallSetGraphicsMode(channel, static_cast<WORD>(second), static_cast<WORD>(first)) != 0)
    return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 3, [=](auto& w) {
    w.U16(kDlSetGraphicsMode);
    w.Byte(static_cast<BYTE>((first != 0 ? 1 : 0) | (second != 0 ? 4 : 0)));
  });
}

int RecordSetPatternResolution(OutputChannel* channel, BYTE patternKind, WORD resolution) {
  if (channel == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallSetPatternResolution(channel, resolution) != 0) return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 5, [=](auto& w) {
    w.U16(kDlSetPatternResolution);
    w.Byte(patternKind);
    w.U16(resolution);
  });
}

int RecordInitPath(OutputChannel* channel) { return RecordCommand(dl::InitPath{}, channel); }
int RecordClosePath(OutputChannel* channel) { return RecordCommand(dl::ClosePath{}, channel); }
int RecordDrawPath(OutputChannel* channel) { return RecordCommand(dl::DrawPath{}, channel); }

int RecordMovePoint(OutputChannel* channel, LONG x, LONG y) { return RecordCommand(dl::MovePoint{}, channel, x, y); }

int RecordMovePointReal(OutputChannel* channel, float x, float y) { return RecordCommand(dl::MovePointReal{}, channel, x, y); }

int RecordAddLinePath(OutputChannel* channel, DWORD count, const RecordPoint* points) {
  if (channel == nullptr || count > kMaxCount || (count > 0 && points == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode)) {
    const std::vector<float> values = LibraryPoints(points, count, false);
    if (CallAddLinePath(channel, static_cast<WORD>(count), values.data()) != 0) return -1;
  }
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 4 + 4 * ULONGLONG{count}, [=](auto& w) {
    w.U16(kDlAddLinePath);
    w.U16(static_cast<WORD>(count));
    for (DWORD i = 0; i < count; ++i) {
      w.U16(static_cast<WORD>(points[i].x));
      w.U16(static_cast<WORD>(points[i].y));
    }
  });
}

int RecordAddLinePathReal(OutputChannel* channel, DWORD count, const RecordPoint* points) {
  if (channel == nullptr || count > kMaxCount || (count > 0 && points == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode)) {
    const std::vector<float> values = LibraryPoints(points, count, true);
    if (CallAddLinePath(channel, static_cast<WORD>(count), values.data()) != 0) return -1;
  }
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 4 + kFixedPointBytes * ULONGLONG{count}, [=](auto& w) {
    w.U16(kDlAddLinePathReal);
    w.U16(static_cast<WORD>(count));
    w.FixedPoints(points, count);
  });
}

int RecordAddBezierPath(OutputChannel* channel, DWORD count, const RecordPoint* points) {
  if (channel == nullptr || count > kMaxCount || (count > 0 && points == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && count > 0) {
    const std::vector<float> values = LibraryPoints(points, count * 3, true);
    if (CallAddBezierPath(channel, static_cast<WORD>(count), values.data()) != 0) return -1;
  }
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 4 + kFixedPointBytes * 3 * ULONGLONG{count}, [=](auto& w) {
    w.U16(kDlAddBezierPath);
    w.U16(static_cast<WORD>(count));
    w.FixedPoints(points, count * 3);
  });
}

int RecordDrawRectangle(OutputChannel* channel, LONG x0, LONG y0, LONG x1, LONG y1) { return RecordCommand(dl::DrawRectangle{}, channel, x0, y0, x1, y1); }

int RecordDrawRectangleReal(OutputChannel* channel, float x0, float y0, float x1, float y1) { return RecordCommand(dl::DrawRectangleReal{}, channel, x0, y0, x1, y1); }

int RecordDrawEllipseArc(OutputChannel* channel, const float values[6]) { return RecordCommand(dl::DrawEllipseArc{}, channel, values); }

int RecordDrawImageMask(OutputChannel* channel, const ImageMaskHeader& header) {
  if (channel == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallDrawImageMask(channel, header) != 0) return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 2 + kDlImageMaskHeaderBytes, [&](auto& w) {
    w.U16(kDlDrawImageMask);
    w.F32(header.x);
    w.F32(header.y);
    w.U16(header.width);
    w.U16(header.height);
    w.Byte(header.polarity);
    for (float m : header.matrix) w.F32(m);
    w.U32(header.dataLength);
  });
}

namespace {

bool HasTable(const ImageAttributes& header) {
  return header.colorFormat >= kDlFirstTableFormat && header.colorFormat <= kDlLastTableFormat;
}

void WriteImageTail(CommandWriter& w, const ImageAttributes& header) {
  w.Byte(header.colorFormat);
  if (HasTable(header)) {
    w.Byte(header.entrySize);
    w.U16(header.entryCount);
    w.U16(header.tableLength);
    w.Bytes(header.table, header.tableLength);
  }
  for (BYTE b : header.tail) w.Byte(b);
  w.U32(header.imageLength);
}

bool TableIsPresent(const ImageAttributes& header) {
  return !HasTable(header) || header.tableLength == 0 || header.table != nullptr;
}

}  // namespace

int RecordDrawImage(OutputChannel* channel, const ImageAttributes& header) {
  if (channel == nullptr || !TableIsPresent(header)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallDrawImage(channel, header) != 0) return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, kDlDrawImage);
  w.F32(header.x);
  w.F32(header.y);
  for (float m : header.matrix) w.F32(m);
  w.U16(header.width);
  w.U16(header.height);
  w.Byte(header.maskKind);
  if (header.maskKind == kDlImageMaskFollows) {
    w.Byte(header.maskByte);
    w.U32(header.maskLength);
  }
  w.Byte(header.sourceKind);
  if (header.sourceKind == kDlImageDataFollows && header.tail[2] == kDlImagePlainRows) WriteImageTail(w, header);
  return w.Finish();
}

int RecordDrawImageTail(OutputChannel* channel, const ImageAttributes& header) {
  if (channel == nullptr || !TableIsPresent(header)) return -1;
  if (!WritesList(channel->mode)) return 0;
  CommandWriter w(channel);
  WriteImageTail(w, header);
  return w.Finish();
}

int RecordImageData(OutputChannel* channel, const BYTE* bytes, DWORD length) {
  if (channel == nullptr || (length > 0 && bytes == nullptr)) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallAppendImageData(channel, bytes, length) != 0) return -1;
  if (!WritesList(mode) || length == 0) return 0;
  return WriteChannel(channel, length, bytes) < 0 ? -1 : 0;
}

int RecordDrawDataFont(OutputChannel* channel, float x, float y, DWORD value, const BYTE* record) {
  const DWORD length = FontRecordLength(record);
  if (channel == nullptr || length == 0) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && CallDrawDataFont(channel, x, y, value, record) != 0) return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, kDlDrawDataFont);
  w.F32(x);
  w.F32(y);
  w.U32(value);
  w.Bytes(record, length);
  return w.Finish();
}

int RecordDrawDataFontAt(OutputChannel* channel, SHORT x, SHORT y, const BYTE* record) {
  return RecordDrawDataFont(channel, static_cast<float>(x), static_cast<float>(y), 0, record);
}

int RecordDrawDataFontAtReal(OutputChannel* channel, float x, float y, const BYTE* record) {
  return RecordDrawDataFont(channel, x, y, 0, record);
}

int RecordStartJob(OutputChannel* channel, BYTE jobByte, WORD a, WORD b) {
  if (channel == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && StartLibraryJob(channel, (jobByte >> 6) & 3, a, b) != 0) return -1;
  if (!WritesList(mode)) return 0;
  return WriteCommand(channel, 7, [=](auto& w) {
    w.U16(kDlStartJob);
    w.Byte(jobByte);
    w.U16(a);
    w.U16(b);
  });
}

int RecordEndJob(OutputChannel* channel) { return RecordCommand(dl::EndJob{}, channel); }

int RecordStartPage(OutputChannel* channel) {
  DrawingLibrarySession* session = SessionOf(channel);
  if (session == nullptr || session->resourcePathBlock == nullptr) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) &&
      StartLibraryPage(channel, session->pageBlock, session->resourcePathBlock, session->pageSizeBlock) != 0)
    return -1;
  if (!WritesList(mode)) return 0;
  CommandWriter w(channel, kDlStartPage);
  w.Bytes(session->pageBlock, kPageParameterBlockBytes);
  w.Bytes(session->resourcePathBlock, kResourcePathBlockBytes);
  w.Bytes(session->pageSizeBlock, kPageSizeBlockBytes);
  return w.Finish();
}

int RecordEndPage(OutputChannel* channel) { return RecordCommand(dl::EndPage{}, channel); }
int RecordShowPage(OutputChannel* channel) { return RecordCommand(dl::ShowPage{}, channel); }

int RecordJobHeader(OutputChannel* channel, const BYTE* block, DWORD blockSize, JobBlockKind kind) {
  if (channel == nullptr || block == nullptr || blockSize < 8) return -1;
  const WORD mode = channel->mode;
  if (CallsLibrary(mode) && SendLibraryJobHeader(channel, block, kind) != 0) return -1;
  if (!WritesList(mode) || blockSize == 8) return 0;
  return WriteChannel(channel, blockSize - 8, block + 8) < 0 ? -1 : 0;
}
