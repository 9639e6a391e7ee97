#include "graphics/drawing/command_replayer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <tuple>

#include "graphics/drawing/command_table.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/library_calls.h"
#include "graphics/output/display_list.h"
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"

namespace {

// Where the resource path block keeps the printer handle the library writes to.
constexpr DWORD kResourcePathPrinterOffset = 8;

// ---------------------------------------------------------------------------------------------
// Reading.

// Makes n bytes available in the buffer, refilling from the first unread byte when fewer
// remain; a page whose bytes end first sets kReaderEnd.
bool Ensure(DisplayListReader* r, DWORD n) {
  if (r->error != kReaderOk) return false;
  if (r->size - r->position >= n) return true;
  if (RefillReader(r) < 0) return false;
  if (r->size - r->position < n) {
    r->error = kReaderEnd;
    return false;
  }
  return true;
}

// Bytes of the page still to be read: those left in the buffer and those in the store up to
// the page's next record.
unsigned long long BytesLeft(const DisplayListReader* r) {
  const StoredPageCursor& c = r->channel->cursor;
  const bool reading = c.state == kCursorReading && c.nextBoundary >= 0 &&
                       static_cast<DWORD>(c.nextBoundary) > c.readPosition;
  return (r->size - r->position) + (reading ? static_cast<DWORD>(c.nextBoundary) - c.readPosition : 0u);
}

// Whether the page still holds n bytes; a length or count that announces more than that is
// data ending inside the command, found before anything is allocated for it.
bool CheckPageHolds(DisplayListReader* r, unsigned long long n) {
  if (n <= BytesLeft(r)) return true;
  if (r->error == kReaderOk) r->error = kReaderEnd;
  return false;
}

// Passes over n bytes.
int Skip(DisplayListReader* r, DWORD n) {
  while (n > 0) {
    if (r->position == r->size && RefillReader(r) < 0) return -1;
    const DWORD take = std::min(n, r->size - r->position);
    r->position += take;
    n -= take;
  }
  return 0;
}

// The number forms of the display list, read as the float the library takes.
enum class Num { kU8, kU16, kI16, kF32 };

template <Num N>
int ReadNumber(DisplayListReader* r, float* out) {
  if constexpr (N == Num::kU8) {
    BYTE v;
    if (ReadByte(r, &v) != 0) return -1;
    *out = static_cast<float>(v);
  } else if constexpr (N == Num::kF32) {
    return ReadFloatBE(r, out);
  } else {
    WORD v;
    if (ReadUInt16BE(r, &v) != 0) return -1;
    *out = N == Num::kI16 ? static_cast<float>(static_cast<SHORT>(v)) : static_cast<float>(v);
  }
  return 0;
}

template <Num N>
int ReadNumbers(DisplayListReader* r, float* out, DWORD count) {
  for (DWORD i = 0; i < count; ++i)
    if (ReadNumber<N>(r, &out[i]) != 0) return -1;
  return 0;
}

// A colour: its space byte, then one grey byte or red, green, blue. Other spaces fail.
int ReadColor(DisplayListReader* r, BYTE* space, DWORD* color) {
  if (ReadByte(r, space) != 0) return -1;
  if (*space == kDlColorGrey) return ReadGrey8(r, color);
  if (*space == kDlColorRgb) return ReadRgb24(r, color);
  return -1;
}

// A counted block of the channel's session, freed when the handler returns.
class CountedBlock {
 public:
  CountedBlock(OutputChannel* channel, SIZE_T bytes)
      : channel_(channel), data_(bytes > 0 ? static_cast<BYTE*>(AllocCounted(channel, bytes)) : nullptr),
        failed_(bytes > 0 && data_ == nullptr) {}
  ~CountedBlock() { FreeCounted(channel_, data_); }
  CountedBlock(const CountedBlock&) = delete;
  CountedBlock& operator=(const CountedBlock&) = delete;
  BYTE* data() const { return data_; }
  float* floats() const { return reinterpret_cast<float*>(data_); }
  bool failed() const { return failed_; }

 private:
  OutputChannel* channel_;
  BYTE* data_;
  bool failed_;
};

// A library answer as a handler result: 0, or -1 for any non-zero answer.
int CheckCall(int result) { return result == 0 ? 0 : -1; }

// ---------------------------------------------------------------------------------------------
// Handlers: each reads its command's operands and makes the command's library calls. A
// handler answers 0 or -1 (a read failure leaves the reader's error set, a failed call not).

using ReplayHandler = int (*)(DisplayListReader*, WORD opcode);

int FailAlways(DisplayListReader*, WORD) { return -1; }

// A command that is defined but never replayed: the debug message with its text, then failure.
int RefuseCommand(DisplayListReader*, WORD opcode) {
  const DisplayListCommand* command = FindDisplayListCommand(opcode);
  if (command != nullptr && command->refusal != nullptr) {
    WCHAR text[16] = {};
    for (int i = 0; i < 15 && command->refusal[i] != '\0'; ++i) text[i] = static_cast<WCHAR>(command->refusal[i]);
    ShowDebugMessage(nullptr, text, u"Store Data Error", 0);
  }
  return -1;
}

// One operand of the command table in its list encoding.
template <Wire W>
int ReadOperand(DisplayListReader* r, WireValue<W>* out) {
  if constexpr (W == Wire::kU8) {
    return ReadByte(r, out);
  } else if constexpr (W == Wire::kU16) {
    return ReadUInt16BE(r, out);
  } else if constexpr (W == Wire::kI16) {
    WORD v;
    if (ReadUInt16BE(r, &v) != 0) return -1;
    *out = static_cast<SHORT>(v);
    return 0;
  } else if constexpr (W == Wire::kU32) {
    return ReadUInt32BE(r, out);
  } else {
    return ReadFloatBE(r, out);
  }
}

// Reads the operands of a fixed-shape command of the table in order and makes its call.
template <WORD Opcode, auto Call, CallCheck Check, Wire... Operands>
int ReplayFixed(FixedCommand<Opcode, Call, Check, Operands...>, DisplayListReader* r) {
  std::tuple<WireValue<Operands>...> values{};
  const bool read = std::apply([r](auto&... v) { return ((ReadOperand<Operands>(r, &v) == 0) && ...); }, values);
  if (!read) return -1;
  const int answer = std::apply([r](auto... v) { return CallWithOperands(Call, r->channel, v...); }, values);
  if constexpr (Check == CallCheck::kNegativeFails)
    return answer < 0 ? -1 : 0;
  else
    return CheckCall(answer);
}

template <WORD Opcode, auto Slot, int Count>
int ReplayFixed(FloatsCommand<Opcode, Slot, Count>, DisplayListReader* r) {
  float values[Count];
  if (ReadNumbers<Num::kF32>(r, values, Count) != 0) return -1;
  return CheckCall(CallLibrarySlotWithArray(Slot, r->channel, values));
}

template <typename Command>
int ReplayTableCommand(DisplayListReader* r, WORD) {
  return ReplayFixed(Command{}, r);
}

// u16 n, then PerCount x n + Extra values, handed over with n.
template <auto Call, Num N, DWORD PerCount, DWORD Extra>
int ReplayCountedList(DisplayListReader* r, WORD) {
  WORD n;
  if (ReadUInt16BE(r, &n) != 0) return -1;
  const DWORD count = PerCount * n + Extra;
  if (!CheckPageHolds(r, static_cast<unsigned long long>(count) * (N == Num::kF32 ? 4 : 2))) return -1;
  CountedBlock values(r->channel, count * sizeof(float));
  if (values.failed()) return -1;
  if (ReadNumbers<N>(r, values.floats(), count) != 0) return -1;
  return CheckCall(Call(r->channel, n, values.floats()));
}

// "Cf": u16 n, the start point, 6n floats.
int ReplayDrawBezier(DisplayListReader* r, WORD) {
  WORD n;
  float start[2];
  if (ReadUInt16BE(r, &n) != 0 || ReadNumbers<Num::kF32>(r, start, 2) != 0) return -1;
  const DWORD count = 6u * n;
  if (!CheckPageHolds(r, count * 4ull)) return -1;
  CountedBlock values(r->channel, count * sizeof(float));
  if (values.failed() || ReadNumbers<Num::kF32>(r, values.floats(), count) != 0) return -1;
  return CheckCall(CallDrawBezier(r->channel, n, start[0], start[1], values.floats()));
}

// "AH"/"Ah": kind 6 carries its offset and dashes; the other kinds go without.
template <Num N>
int ReplayLineType(DisplayListReader* r, WORD) {
  BYTE kind;
  if (ReadByte(r, &kind) != 0) return -1;
  if (kind != kDlLineTypeUser) return CheckCall(CallSetLineType(r->channel, kind, 0, 0, nullptr));
  float offset;
  BYTE count;
  float dashes[255];
  if (ReadNumber<N>(r, &offset) != 0 || ReadByte(r, &count) != 0 || ReadNumbers<N>(r, dashes, count) != 0) return -1;
  return CheckCall(CallSetLineType(r->channel, kind, offset, count, dashes));
}

int ReplaySolidColor(DisplayListReader* r, WORD) {
  BYTE kind, space;
  DWORD color;
  if (ReadByte(r, &kind) != 0 || ReadColor(r, &space, &color) != 0) return -1;
  return CheckCall(CallSetSolidColor(r->channel, kind, space, color));
}

// A pattern origin: 16-bit values sign-extended, or floats truncated.
template <Num N>
int ReadOrigin(DisplayListReader* r, LONG* x, LONG* y) {
  float v[2];
  if (ReadNumbers<N>(r, v, 2) != 0) return -1;
  *x = TruncateToLong(v[0]);
  *y = TruncateToLong(v[1]);
  return 0;
}

// The second colour of a pattern: background mode and colour.
int ReadSecondary(DisplayListReader* r, SecondaryColor* second) {
  return ReadByte(r, &second->background) != 0 || ReadColor(r, &second->colorSpace, &second->color) != 0 ? -1 : 0;
}

template <Num N>
int ReplayHatchPattern(DisplayListReader* r, WORD) {
  LONG x, y;
  BYTE style, space, pattern;
  DWORD color;
  SecondaryColor second{};
  if (ReadOrigin<N>(r, &x, &y) != 0 || ReadByte(r, &style) != 0 || ReadColor(r, &space, &color) != 0 ||
      ReadByte(r, &pattern) != 0 || ReadSecondary(r, &second) != 0)
    return -1;
  return CheckCall(CallSetHatchPattern(r->channel, x, y, style, space, pattern, color, second));
}

template <Num N>
int ReplayMaskPattern(DisplayListReader* r, WORD) {
  LONG x, y;
  BYTE kind, space, one;
  DWORD color;
  WORD width, height;
  if (ReadOrigin<N>(r, &x, &y) != 0 || ReadByte(r, &kind) != 0 || ReadColor(r, &space, &color) != 0 ||
      ReadByte(r, &one) != 0 || ReadUInt16BE(r, &width) != 0 || ReadUInt16BE(r, &height) != 0)
    return -1;
  const DWORD length = ((static_cast<DWORD>(width) + 7) >> 3) * height;
  if (!CheckPageHolds(r, length)) return -1;
  CountedBlock bits(r->channel, length);
  if (bits.failed() || ReadBlock(r, bits.data(), length) != 0) return -1;
  SecondaryColor second{};
  if (ReadSecondary(r, &second) != 0) return -1;
  DrawingLibrarySession* session = GetChannelSession(r->channel);
  if (session == nullptr) return -1;
  // The pattern's second colour becomes the session's, as drawing it directly would leave it.
  session->secondary.background = second.background;
  session->secondary.colorSpace = second.colorSpace;
  session->secondary.color = second.color;
  return CheckCall(CallSetMaskPattern(r->channel, x, y, kind, space, color, session->secondary, width, height,
                                    bits.data()));
}

int ReplayRasterPattern(DisplayListReader* r, WORD) {
  LONG x, y;
  BYTE kind, space, bitsPerComponent, one;
  WORD width, height;
  DWORD length;
  if (ReadOrigin<Num::kI16>(r, &x, &y) != 0 || ReadByte(r, &kind) != 0 || ReadByte(r, &space) != 0 ||
      ReadByte(r, &bitsPerComponent) != 0 || ReadUInt16BE(r, &width) != 0 || ReadUInt16BE(r, &height) != 0 ||
      ReadByte(r, &one) != 0 || ReadUInt32BE(r, &length) != 0)
    return -1;
  if (!CheckPageHolds(r, length)) return -1;
  CountedBlock data(r->channel, length);
  if (data.failed() || ReadBlock(r, data.data(), length) != 0) return -1;
  return CheckCall(
      CallSetRasterPattern(r->channel, x, y, kind, space, bitsPerComponent, width, height, length, data.data()));
}

// Reads the data of the image the library session now waits for straight into the session's
// block, then lets the library draw it (its answer is not checked).
int DrawWaitingImage(DisplayListReader* r, DWORD length) {
  DrawingLibrarySession* session = GetChannelSession(r->channel);
  if (session == nullptr) return -1;
  if (length == 0) return 0;  // drawn with its header
  if (session->pendingKind == kPendingNone || session->pendingData == nullptr ||
      session->pendingExpected != length || ReadBlock(r, session->pendingData, length) != 0) {
    DropPendingImage(r->channel, session);
    return -1;
  }
  session->pendingReceived = length;
  CallAppendImageData(r->channel, nullptr, 0);
  return 0;
}

int ReplayDrawImageMask(DisplayListReader* r, WORD) {
  ImageMaskHeader h{};
  if (ReadFloatBE(r, &h.x) != 0 || ReadFloatBE(r, &h.y) != 0 || ReadUInt16BE(r, &h.width) != 0 ||
      ReadUInt16BE(r, &h.height) != 0 || ReadByte(r, &h.polarity) != 0 ||
      ReadNumbers<Num::kF32>(r, h.matrix, 6) != 0 || ReadUInt32BE(r, &h.dataLength) != 0 ||
      !CheckPageHolds(r, h.dataLength))
    return -1;
  if (CallDrawImageMask(r->channel, h) != 0 && h.dataLength > 0) return -1;
  return DrawWaitingImage(r, h.dataLength);
}

int ReplayDrawImage(DisplayListReader* r, WORD) {
  ImageAttributes a{};
  if (ReadFloatBE(r, &a.x) != 0 || ReadFloatBE(r, &a.y) != 0 || ReadNumbers<Num::kF32>(r, a.matrix, 6) != 0 ||
      ReadUInt16BE(r, &a.width) != 0 || ReadUInt16BE(r, &a.height) != 0 || ReadByte(r, &a.maskKind) != 0)
    return -1;
  if (a.maskKind == kDlImageMaskFollows && (ReadByte(r, &a.maskByte) != 0 || ReadUInt32BE(r, &a.maskLength) != 0))
    return -1;
  if (ReadByte(r, &a.sourceKind) != 0) return -1;
  // Without image data nothing is drawn; a mask recorded after the header is passed over so
  // that the next command is read from its own first byte.
  if (a.sourceKind != kDlImageDataFollows) {
    const DWORD mask = a.maskKind == kDlImageMaskFollows ? a.maskLength : 0;
    return CheckPageHolds(r, mask) ? Skip(r, mask) : -1;
  }
  if (ReadByte(r, &a.colorFormat) != 0) return -1;
  if (a.colorFormat >= kDlFirstTableFormat && a.colorFormat <= kDlLastTableFormat &&
      (ReadByte(r, &a.entrySize) != 0 || ReadUInt16BE(r, &a.entryCount) != 0 || ReadUInt16BE(r, &a.tableLength) != 0))
    return -1;
  if (!CheckPageHolds(r, a.tableLength)) return -1;
  CountedBlock table(r->channel, a.tableLength);
  if (table.failed() || ReadBlock(r, table.data(), a.tableLength) != 0) return -1;
  a.table = table.data();
  if (ReadBlock(r, a.tail, 3) != 0 || ReadUInt32BE(r, &a.imageLength) != 0) return -1;
  // The mask data and the image data follow as one run.
  const unsigned long long length = static_cast<unsigned long long>(a.maskLength) + a.imageLength;
  if (length > 0xFFFFFFFFull || !CheckPageHolds(r, length)) return -1;
  if (CallDrawImage(r->channel, a) != 0 && length > 0) return -1;
  return DrawWaitingImage(r, static_cast<DWORD>(length));
}

// "C,": u16 n and n triples of variable-length integers, read and dropped.
int SkipSpans(DisplayListReader* r, WORD) {
  WORD n;
  if (ReadUInt16BE(r, &n) != 0) return -1;
  SHORT triple[3];
  for (DWORD i = 0; i < n; ++i)
    if (ReadVarPoint3(r, triple) < 0) return -1;
  return 0;
}

// "DA": five 4-byte values, 8 bytes, byte n, n bytes, two bytes; dropped.
int SkipFontSelect(DisplayListReader* r, WORD) {
  BYTE n;
  if (Skip(r, 28) != 0 || ReadByte(r, &n) != 0) return -1;
  return Skip(r, n + 2u);
}

// "DC"/"DD": the text record; dropped.
int SkipTextRecord(DisplayListReader* r, WORD) {
  WORD n, m, space;
  if (Skip(r, 9) != 0 || ReadUInt16BE(r, &n) != 0 || Skip(r, 4u * n) != 0 || ReadUInt16BE(r, &m) != 0 ||
      Skip(r, m + 5u) != 0 || ReadUInt16BE(r, &space) != 0)
    return -1;
  return Skip(r, (space == kDlColorGrey ? 1u : 3u) + 2u + 16u);
}

// "DH": 4 bytes, then a block whose first 4 bytes hold its own length in their low 18 bits;
// dropped. A length below those 4 bytes is refused.
int SkipFontDownload(DisplayListReader* r, WORD) {
  DWORD head;
  if (Skip(r, 4) != 0 || ReadUInt32BE(r, &head) != 0) return -1;
  const DWORD length = head & 0x3FFFF;
  if (length < 4) return -1;
  return Skip(r, length - 4);
}

// "DI": u16, u16, 4 bytes; dropped.
int SkipFontDefine(DisplayListReader* r, WORD) { return Skip(r, 8); }

// "DE": position, value and the font-data record, rebuilt whole for the library (its answer
// is not checked).
int ReplayDrawDataFont(DisplayListReader* r, WORD) {
  float x, y;
  DWORD value;
  BYTE head[kDlFontRecordHeadBytes];
  if (ReadFloatBE(r, &x) != 0 || ReadFloatBE(r, &y) != 0 || ReadUInt32BE(r, &value) != 0 ||
      ReadBlock(r, head, sizeof head) != 0)
    return -1;
  const DWORD length = GetLE32(head + 4);
  if (length < kDlFontRecordHeadBytes) return -1;
  if (!CheckPageHolds(r, length - kDlFontRecordHeadBytes)) return -1;
  CountedBlock record(r->channel, length);
  if (record.failed()) return -1;
  std::memcpy(record.data(), head, sizeof head);
  if (ReadBlock(r, record.data() + sizeof head, length - kDlFontRecordHeadBytes) != 0) return -1;
  CallDrawDataFont(r->channel, x, y, value, record.data());
  return 0;
}

int ReplayStartJob(DisplayListReader* r, WORD) {
  BYTE job;
  WORD a, b;
  if (ReadByte(r, &job) != 0 || ReadUInt16BE(r, &a) != 0 || ReadUInt16BE(r, &b) != 0) return -1;
  return CheckCall(StartLibraryJob(r->channel, job >> 6, a, b));
}

int ReplayStartPage(DisplayListReader* r, WORD) {
  BYTE page[kPageParameterBlockBytes], paths[kResourcePathBlockBytes], size[kPageSizeBlockBytes];
  if (ReadBlock(r, page, sizeof page) != 0 || ReadBlock(r, paths, sizeof paths) != 0 ||
      ReadBlock(r, size, sizeof size) != 0)
    return -1;
  // The recorded block names the printer job of its recording; the library must write to the
  // job the session writes to now (a later pass of the document has its own).
  DrawingLibrarySession* session = GetChannelSession(r->channel);
  if (session != nullptr && session->resourcePathBlock != nullptr)
    std::memcpy(paths + kResourcePathPrinterOffset, session->resourcePathBlock + kResourcePathPrinterOffset,
                sizeof(HANDLE));
  return CheckCall(StartLibraryPage(r->channel, page, paths, size));
}

int ReplayPatternResolution(DisplayListReader* r, WORD) {
  BYTE kind;
  WORD resolution;
  if (ReadByte(r, &kind) != 0 || ReadUInt16BE(r, &resolution) != 0) return -1;
  return CheckCall(CallSetPatternResolution(r->channel, resolution));
}

// "FF": bit 0 is the first mode value, bit 2 the second; each reaches the library as 0 or 1.
int ReplayGraphicsMode(DisplayListReader* r, WORD) {
  BYTE v;
  if (ReadByte(r, &v) != 0) return -1;
  return CheckCall(CallSetGraphicsMode(r->channel, (v >> 2) & 1, v & 1));
}

// ---------------------------------------------------------------------------------------------
// Dispatch.

struct ReplayEntry {
  WORD opcode;
  ReplayHandler handler;
};

// The handler of every replayed opcode outside the command table. Opcodes missing from both
// ("B0") take slot 0's handler.
constexpr ReplayEntry kReplayEntries[] = {
    {kDlSetLineType, ReplayLineType<Num::kU16>},
    {kDlSetLineTypeReal, ReplayLineType<Num::kF32>},
    {kDlSetSolidColor, ReplaySolidColor},
    {kDlSetHatchPattern, ReplayHatchPattern<Num::kI16>},
    {kDlSetHatchPatternReal, ReplayHatchPattern<Num::kF32>},
    {kDlSetMaskPattern, ReplayMaskPattern<Num::kI16>},
    {kDlSetMaskPatternReal, ReplayMaskPattern<Num::kF32>},
    {kDlSetRasterPattern, ReplayRasterPattern},
    {kDlRefusedBC, RefuseCommand},
    {kDlAddLinePath, ReplayCountedList<CallAddLinePath, Num::kI16, 2, 0>},
    {kDlAddLinePathReal, ReplayCountedList<CallAddLinePath, Num::kF32, 2, 0>},
    {kDlAddBezierPath, ReplayCountedList<CallAddBezierPath, Num::kF32, 6, 0>},
    {kDlSpans, SkipSpans},
    {kDlDrawLine, ReplayCountedList<CallDrawLine, Num::kI16, 2, 2>},
    {kDlDrawLineReal, ReplayCountedList<CallDrawLine, Num::kF32, 2, 2>},
    {kDlDrawBezier, ReplayDrawBezier},
    {kDlDrawImageMask, ReplayDrawImageMask},
    {kDlDrawImage, ReplayDrawImage},
    {kDlRefusedLR, RefuseCommand},
    {kDlFontSF, SkipFontSelect},
    {kDlTextTC, SkipTextRecord},
    {kDlTextTE, SkipTextRecord},
    {kDlDrawDataFont, ReplayDrawDataFont},
    {kDlRefusedFE, RefuseCommand},
    {kDlFontDL, SkipFontDownload},
    {kDlFontDF, SkipFontDefine},
    {kDlRefusedHL, RefuseCommand},
    {kDlRefusedHS, RefuseCommand},
    {kDlRefusedEF, RefuseCommand},
    {kDlStartJob, ReplayStartJob},
    {kDlStartPage, ReplayStartPage},
    {kDlSetPatternResolution, ReplayPatternResolution},
    {kDlSetGraphicsMode, ReplayGraphicsMode},
    {kDlRefusedPR, RefuseCommand},
};

// The command letters of each group in slot order (slot 1 first); slot 0 is the unknown one.
constexpr const char* kGroupLetters = "ABCDEF";
constexpr const char* kSlotLetters[6] = {
    "BCDEFGIJKLMNOPQRahHbdgno", "ACDbpvB0PVrsouw", ",AGpq!bcdefghja", "IAbCLMDHEF", "ABDc", "BFaA",
};
constexpr int kMaxSlots = 25;
constexpr BYTE kNoGroup = 0;
constexpr BYTE kPadGroup = 1;  // the zero byte between commands
constexpr BYTE kFirstLetterGroup = 2;

struct ReplayDispatch {
  std::array<BYTE, 256> groupOf{};                     // first byte -> group
  std::array<std::array<BYTE, 256>, 6> slotOf{};       // per letter group: command letter -> slot
  std::array<std::array<ReplayHandler, kMaxSlots>, 6> handler{};
  std::array<std::array<char, kMaxSlots>, 6> check{};  // the letter that selects each slot
};

// Whether the command table holds the opcode; its handler into *found when it does. (Told by
// a flag: a function address compared in a constant expression is refused by some builds.)
template <typename... Commands>
constexpr bool FindTableHandler(WORD opcode, CommandList<Commands...>, ReplayHandler* found) {
  return ((Commands::opcode == opcode ? (*found = ReplayTableCommand<Commands>, true) : false) || ...);
}

constexpr ReplayHandler FindHandler(WORD opcode) {
  ReplayHandler table = FailAlways;
  if (FindTableHandler(opcode, FixedShapeCommands{}, &table)) return table;
  for (const ReplayEntry& e : kReplayEntries)
    if (e.opcode == opcode) return e.handler;
  return FailAlways;
}

constexpr ReplayDispatch BuildDispatch() {
  ReplayDispatch d{};
  d.groupOf[0] = kPadGroup;
  for (int g = 0; g < 6; ++g) {
    const char group = kGroupLetters[g];
    d.groupOf[static_cast<BYTE>(group)] = static_cast<BYTE>(kFirstLetterGroup + g);
    d.handler[g][0] = FailAlways;
    const char* letters = kSlotLetters[g];
    for (int slot = 1; letters[slot - 1] != '\0'; ++slot) {
      const char letter = letters[slot - 1];
      d.slotOf[g][static_cast<BYTE>(letter)] = static_cast<BYTE>(slot);
      d.check[g][slot] = letter;
      d.handler[g][slot] = FindHandler(DisplayListOpcode(group, letter));
    }
  }
  return d;
}

constexpr ReplayDispatch kDispatch = BuildDispatch();

// The replay result of a failed handler, by the reader's state.
int GetReplayFailure(const DisplayListReader& r) {
  if (r.error == kReaderOk) return kReplayCallFailed;
  return r.error == kReaderEnd ? kReplayBadData : kReplayReadError;
}

}  // namespace

int RefillReader(DisplayListReader* r) {
  // The unread bytes go back to the store so that the chunk starts with them.
  const DWORD unread = r->size - r->position;
  const int got = unread > 0 && UnreadChannelBytes(r->channel, unread) != 0
                      ? -1
                      : ReadChannelChunk(r->channel, r->chunkSize, r->data);
  r->position = 0;
  if (got > 0) {
    r->size = static_cast<DWORD>(got);
    return got;
  }
  r->size = 0;
  r->error = got == 0 ? kReaderEnd : kReaderFailed;
  return -1;
}

int ReadByte(DisplayListReader* r, BYTE* out) {
  if (!Ensure(r, 1)) return -1;
  *out = r->data[r->position++];
  return 0;
}

int ReadUInt16BE(DisplayListReader* r, WORD* out) {
  if (!Ensure(r, 2)) return -1;
  *out = GetBE16(r->data + r->position);
  r->position += 2;
  return 0;
}

int ReadUInt32BE(DisplayListReader* r, DWORD* out) {
  if (!Ensure(r, 4)) return -1;
  *out = GetBE32(r->data + r->position);
  r->position += 4;
  return 0;
}

int ReadFloatBE(DisplayListReader* r, float* out) {
  DWORD bits;
  if (ReadUInt32BE(r, &bits) != 0) return -1;
  *out = std::bit_cast<float>(bits);
  return 0;
}

int ReadRgb24(DisplayListReader* r, DWORD* out) {
  if (!Ensure(r, 3)) return -1;
  const BYTE* p = r->data + r->position;
  *out = (static_cast<DWORD>(p[0]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[2];
  r->position += 3;
  return 0;
}

int ReadGrey8(DisplayListReader* r, DWORD* out) {
  BYTE g;
  if (ReadByte(r, &g) != 0) return -1;
  *out = g * 0x010101u;
  return 0;
}

int ReadBlock(DisplayListReader* r, BYTE* destination, DWORD n) {
  if (r->error != kReaderOk) return -1;
  const DWORD buffered = std::min(n, r->size - r->position);
  if (buffered > 0) std::memcpy(destination, r->data + r->position, buffered);
  r->position += buffered;
  DWORD got = buffered;
  if (got == n) return 0;
  // The rest goes straight from the store into the destination, piece by piece as the store
  // hands it out; the chunk buffer is then empty.
  r->size = r->position = 0;
  while (got < n) {
    const int piece = ReadChannelChunk(r->channel, n - got, destination + got);
    if (piece <= 0) {
      r->error = piece == 0 ? kReaderEnd : kReaderFailed;
      return -1;
    }
    got += static_cast<DWORD>(piece);
  }
  return 0;
}

int ReadVarInt(DisplayListReader* r, LONG* out) {
  BYTE bytes[kDlVarIntMaxBytes];
  DWORD used = 0;
  do {
    // A value longer than the longest form is refused as data ending inside it.
    if (used == kDlVarIntMaxBytes) {
      r->error = kReaderEnd;
      return -1;
    }
    if (ReadByte(r, &bytes[used]) != 0) return -1;
  } while ((bytes[used++] & 0x80) != 0);
  if (DecodeDisplayListVarInt(bytes, used, out) != used) {
    r->error = kReaderEnd;
    return -1;
  }
  return static_cast<int>(used);
}

int ReadVarPoint3(DisplayListReader* r, SHORT out[3]) {
  int total = 0;
  for (int i = 0; i < 3; ++i) {
    LONG v;
    const int used = ReadVarInt(r, &v);
    if (used < 0) return -1;
    out[i] = static_cast<SHORT>(v);
    total += used;
  }
  return total;
}

int ReplayCommands(OutputChannel* channel, DWORD chunkSize, BYTE* buffer) {
  if (channel == nullptr || buffer == nullptr || chunkSize < kReplayMinChunkSize) return kReplayReadError;
  // size = position: the first read refills.
  DisplayListReader r{buffer, chunkSize, chunkSize, channel, chunkSize, kReaderOk};
  for (;;) {
    BYTE first;
    if (ReadByte(&r, &first) != 0) return r.error == kReaderEnd ? kReplayDone : kReplayReadError;
    const BYTE group = kDispatch.groupOf[first];
    if (group == kNoGroup) return kReplayBadData;
    if (group == kPadGroup) continue;
    BYTE letter;
    if (ReadByte(&r, &letter) != 0) return r.error == kReaderEnd ? kReplayDone : kReplayReadError;
    const int g = group - kFirstLetterGroup;
    const BYTE slot = kDispatch.slotOf[g][letter];
    if (slot == 0 || kDispatch.check[g][slot] != static_cast<char>(letter)) return kReplayBadData;
    if (kDispatch.handler[g][slot](&r, DisplayListOpcode(kGroupLetters[g], static_cast<char>(letter))) < 0)
      return GetReplayFailure(r);
  }
}
