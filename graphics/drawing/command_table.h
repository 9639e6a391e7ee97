// The table of the display list's fixed-shape commands: for each, its opcode, the library slot
// (or call-layer function) that carries it, and the encoding of its operands in order. The command recorder writes these
// commands and the replayer reads them from this one table, so a fixed-shape command is defined
// once here and in the opcode list (display_list.h). The commands whose operands depend on
// each other (counted lists, line types, colours, patterns, images, font data, page blocks)
// keep their own writers and readers.
#pragma once

#include <type_traits>

#include "graphics/drawing/library_calls.h"
#include "graphics/output/display_list.h"

// The encoding of one operand in the list.
enum class Wire : BYTE {
  kU8,   // one byte
  kU16,  // 16 bits big-endian, read back unsigned
  kI16,  // the low 16 bits big-endian, read back sign-extended
  kU32,  // 32 bits big-endian
  kF32,  // a float's 32 bits big-endian
};

constexpr DWORD GetWireBytes(Wire w) {
  return w == Wire::kU8 ? 1 : (w == Wire::kU16 || w == Wire::kI16) ? 2 : 4;
}

// The value a reader keeps of each encoding.
template <Wire W>
using WireValue = std::conditional_t<
    W == Wire::kU8, BYTE,
    std::conditional_t<W == Wire::kU16, WORD,
                       std::conditional_t<W == Wire::kI16, SHORT, std::conditional_t<W == Wire::kU32, DWORD, float>>>>;

// How the replayer treats the library's answer.
enum class CallCheck : BYTE {
  kNonZeroFails,   // any answer but 0 fails the replay
  kNegativeFails,  // page and job ends: only a negative answer fails it
};

// A command of a fixed number of operands, each handed to the library as one argument. Call is
// the library's slot (a member of DrawingFunctionTable) where the operands go to it converted
// only, or the call-layer function that does more (blocks, constant arguments, session state).
template <WORD Opcode, auto Call, CallCheck Check, Wire... Operands>
struct FixedCommand {
  static constexpr WORD opcode = Opcode;
  static constexpr DWORD bytes = 2 + (GetWireBytes(Operands) + ... + 0);
};

// A command of Count floats handed to the library's slot as Count arguments.
template <WORD Opcode, auto Slot, int Count>
struct FloatsCommand {
  static constexpr WORD opcode = Opcode;
  static constexpr DWORD bytes = 2 + 4 * Count;
};

// The library argument of an operand: a real value reaches an integer argument truncated
// (TruncateToLong), every other value converted as C++ converts it.
template <typename Param, typename Value>
Param ToLibraryArgument(Value v) {
  if constexpr (std::is_same_v<Param, LONG> && std::is_floating_point_v<Value>)
    return TruncateToLong(v);
  else
    return static_cast<Param>(v);
}

// Calls a library slot or call-layer function with the given operands, each converted to the
// parameter it meets.
template <typename... Params, typename... Values>
int CallWithOperands(int (*call)(OutputChannel*, Params...), OutputChannel* channel, Values... values) {
  return call(channel, ToLibraryArgument<Params>(values)...);
}

template <typename... Params, typename... Values>
int CallWithOperands(int (*DrawingFunctionTable::*slot)(VrHandle, Params...), OutputChannel* channel,
                     Values... values) {
  return CallLibrarySlot(slot, channel, ToLibraryArgument<Params>(values)...);
}

// The commands. Names follow the recorder's functions; "Real" is the command's float form.
namespace dl {
constexpr auto kChecked = CallCheck::kNonZeroFails;
constexpr auto kEnd = CallCheck::kNegativeFails;
constexpr auto U8 = Wire::kU8;
constexpr auto U16 = Wire::kU16;
constexpr auto I16 = Wire::kI16;
constexpr auto U32 = Wire::kU32;
constexpr auto F32 = Wire::kF32;

using SetAxis = FloatsCommand<kDlSetAxis, &DrawingFunctionTable::SetAxis, 6>;
using InitClip = FixedCommand<kDlInitClip, &DrawingFunctionTable::InitClip, kChecked>;
using SetRectangleClip = FixedCommand<kDlSetRectangleClip, CallSetRectangleClip, kChecked, I16, I16, I16, I16>;
using SetRectangleClipReal =
    FixedCommand<kDlSetRectangleClipReal, CallSetRectangleClip, kChecked, F32, F32, F32, F32>;
using ClipPath = FixedCommand<kDlClipPath, CallClipPath, kChecked>;
using SetLineWidth = FixedCommand<kDlSetLineWidth, &DrawingFunctionTable::SetLineWidth, kChecked, U16>;
using SetLineWidthReal = FixedCommand<kDlSetLineWidthReal, &DrawingFunctionTable::SetLineWidth, kChecked, F32>;
using SetLineCap = FixedCommand<kDlSetLineCap, &DrawingFunctionTable::SetLineCap, kChecked, U8>;
using SetLineJoin = FixedCommand<kDlSetLineJoin, &DrawingFunctionTable::SetLineJoin, kChecked, U8>;
using SetMiterLimit = FixedCommand<kDlSetMiterLimit, &DrawingFunctionTable::SetMiterLimit, kChecked, U8>;
using SetMiterLimitReal = FixedCommand<kDlSetMiterLimitReal, &DrawingFunctionTable::SetMiterLimit, kChecked, F32>;
using AdjustStroke = FixedCommand<kDlAdjustStroke, &DrawingFunctionTable::AdjustStroke, kChecked, U8>;
using SetFillMode = FixedCommand<kDlSetFillMode, &DrawingFunctionTable::SetFillMode, kChecked, U8>;
using SetDrawMode = FixedCommand<kDlSetDrawMode, &DrawingFunctionTable::SetDrawMode, kChecked, U8>;
using SetRopMode = FixedCommand<kDlSetRopMode, &DrawingFunctionTable::SetRopMode, kChecked, U8, U32>;
using InitPath = FixedCommand<kDlInitPath, &DrawingFunctionTable::InitPath, kChecked>;
using ClosePath = FixedCommand<kDlClosePath, &DrawingFunctionTable::ClosePath, kChecked>;
using DrawPath = FixedCommand<kDlDrawPath, &DrawingFunctionTable::DrawPath, kChecked>;
using MovePoint = FixedCommand<kDlMovePoint, &DrawingFunctionTable::MovePoint, kChecked, I16, I16>;
using MovePointReal = FixedCommand<kDlMovePointReal, &DrawingFunctionTable::MovePoint, kChecked, F32, F32>;
using AddRectanglePath = FixedCommand<kDlAddRectanglePath, &DrawingFunctionTable::AddRectanglePath, kChecked, I16, I16>;
using AddRectanglePathReal = FixedCommand<kDlAddRectanglePathReal, &DrawingFunctionTable::AddRectanglePath, kChecked, F32, F32>;
using AddEllipseArcPath = FloatsCommand<kDlAddEllipseArcPath, &DrawingFunctionTable::AddEllipseArcPath, 6>;
using AddEllipseChordPath = FloatsCommand<kDlAddEllipseChordPath, &DrawingFunctionTable::AddEllipseChordPath, 6>;
using AddEllipsePiePath = FloatsCommand<kDlAddEllipsePiePath, &DrawingFunctionTable::AddEllipsePiePath, 6>;
using AddRoundRectanglePath = FloatsCommand<kDlAddRoundRectanglePath, &DrawingFunctionTable::AddRoundRectanglePath, 6>;
using DrawRectangle = FixedCommand<kDlDrawRectangle, CallDrawRectangle, kChecked, I16, I16, I16, I16>;
using DrawRectangleReal = FixedCommand<kDlDrawRectangleReal, CallDrawRectangle, kChecked, F32, F32, F32, F32>;
using DrawCircleArc = FloatsCommand<kDlDrawCircleArc, &DrawingFunctionTable::DrawCircleArc, 5>;
using DrawCirclePie = FloatsCommand<kDlDrawCirclePie, &DrawingFunctionTable::DrawCirclePie, 5>;
using DrawEllipseArc = FloatsCommand<kDlDrawEllipseArc, &DrawingFunctionTable::DrawEllipseArc, 6>;
using DrawEllipseChord = FloatsCommand<kDlDrawEllipseChord, &DrawingFunctionTable::DrawEllipseChord, 6>;
using DrawRoundRectangle = FloatsCommand<kDlDrawRoundRectangle, &DrawingFunctionTable::DrawRoundRectangle, 6>;
using DrawEllipsePie = FloatsCommand<kDlDrawEllipsePie, &DrawingFunctionTable::DrawEllipsePie, 6>;
using EndJob = FixedCommand<kDlEndJob, &DrawingFunctionTable::EndJob, kEnd>;
using EndPage = FixedCommand<kDlEndPage, CallEndPage, kEnd>;
using ShowPage = FixedCommand<kDlShowPage, &DrawingFunctionTable::ShowPage, kEnd>;
}  // namespace dl

template <typename... Commands>
struct CommandList {};

// Every fixed-shape command, for the replayer's dispatch.
using FixedShapeCommands =
    CommandList<dl::SetAxis, dl::InitClip, dl::SetRectangleClip, dl::SetRectangleClipReal, dl::ClipPath,
                dl::SetLineWidth, dl::SetLineWidthReal, dl::SetLineCap, dl::SetLineJoin, dl::SetMiterLimit,
                dl::SetMiterLimitReal, dl::AdjustStroke, dl::SetFillMode, dl::SetDrawMode, dl::SetRopMode,
                dl::InitPath, dl::ClosePath, dl::DrawPath, dl::MovePoint, dl::MovePointReal, dl::AddRectanglePath,
                dl::AddRectanglePathReal, dl::AddEllipseArcPath, dl::AddEllipseChordPath, dl::AddEllipsePiePath,
                dl::AddRoundRectanglePath, dl::DrawRectangle, dl::DrawRectangleReal, dl::DrawCircleArc,
                dl::DrawCirclePie, dl::DrawEllipseArc, dl::DrawEllipseChord, dl::DrawRoundRectangle,
                dl::DrawEllipsePie, dl::EndJob, dl::EndPage, dl::ShowPage>;
