#include "graphics/output/display_list.h"

namespace {

constexpr DisplayListUse kW = DisplayListUse::kWriter;
constexpr DisplayListUse kR = DisplayListUse::kReplayOnly;
constexpr DisplayListUse kX = DisplayListUse::kRefused;

}  // namespace

const DisplayListCommand kDisplayListCommands[] = {
    {kDlSetRectangleClip, "RC", kW, nullptr},      {kDlSetRectangleClipReal, "RC", kW, nullptr},
    {kDlClipPath, "CC", kW, nullptr},              {kDlSetLineWidth, "LW", kW, nullptr},
    {kDlSetLineWidthReal, "LW", kW, nullptr},      {kDlSetLineCap, "LC", kW, nullptr},
    {kDlSetLineJoin, "LJ", kW, nullptr},           {kDlSetMiterLimit, "ML", kW, nullptr},
    {kDlSetMiterLimitReal, "ML", kW, nullptr},     {kDlSetLineType, "LT", kW, nullptr},
    {kDlSetLineTypeReal, "LT", kW, nullptr},       {kDlAdjustStroke, "AS", kW, nullptr},
    {kDlSetFillMode, "FM", kW, nullptr},           {kDlSetDrawMode, "SM", kW, nullptr},
    {kDlSetRopMode, "RM", kW, nullptr},            {kDlSetSolidColor, "SC", kW, nullptr},
    {kDlSetHatchPattern, "PH", kW, nullptr},       {kDlSetHatchPatternReal, "PH", kW, nullptr},
    {kDlSetMaskPattern, "PM", kW, nullptr},        {kDlSetMaskPatternReal, "PM", kW, nullptr},
    {kDlSetRasterPattern, "PC", kW, nullptr},      {kDlRefusedBC, "BC", kX, "BC Command"},
    {kDlInitClip, "IC", kW, nullptr},              {kDlSetAxis, "SA", kW, nullptr},
    {kDlInitPath, "IP", kW, nullptr},              {kDlMovePoint, "MP", kW, nullptr},
    {kDlMovePointReal, "MP", kW, nullptr},         {kDlClosePath, "CP", kW, nullptr},
    {kDlDrawPath, "SR", kW, nullptr},              {kDlAddLinePath, "AL", kW, nullptr},
    {kDlAddLinePathReal, "AL", kW, nullptr},       {kDlAddRectanglePath, "AR", kR, nullptr},
    {kDlAddRectanglePathReal, "AR", kR, nullptr},  {kDlAddEllipseArcPath, "AE", kR, nullptr},
    {kDlAddEllipseChordPath, "AC", kR, nullptr},   {kDlAddEllipsePiePath, "DA", kR, nullptr},
    {kDlAddBezierPath, "AB", kW, nullptr},         {kDlAddRoundRectanglePath, "RR", kR, nullptr},
    {kDlRefusedRL, "RL", kX, nullptr},             {kDlSpans, "QS", kR, nullptr},
    {kDlDrawLine, "SL", kR, nullptr},              {kDlDrawLineReal, "SL", kR, nullptr},
    {kDlDrawRectangle, "DR", kW, nullptr},         {kDlDrawRectangleReal, "DR", kW, nullptr},
    {kDlDrawCircleArc, "DC", kR, nullptr},         {kDlDrawEllipseArc, "DE", kW, nullptr},
    {kDlDrawEllipseChord, "CD", kR, nullptr},      {kDlDrawCirclePie, "PD", kR, nullptr},
    {kDlDrawBezier, "DB", kR, nullptr},            {kDlDrawRoundRectangle, "RD", kR, nullptr},
    {kDlDrawEllipsePie, "DP", kR, nullptr},        {kDlDrawImageMask, "DM", kW, nullptr},
    {kDlDrawImage, "DI", kW, nullptr},             {kDlRefusedLR, "LR", kX, "LR Command"},
    {kDlFontSF, "SF", kR, nullptr},                {kDlTextTC, "TC", kR, nullptr},
    {kDlTextTE, "TE", kR, nullptr},                {kDlDrawDataFont, "FC", kW, nullptr},
    {kDlRefusedFE, "FE", kX, "FE Command"},        {kDlFontDL, "DL", kR, nullptr},
    {kDlFontDF, "DF", kR, nullptr},                {kDlRefusedHL, "HL", kX, "HL Command"},
    {kDlRefusedHS, "HS", kX, "HS Command"},        {kDlRefusedEF, "EF", kX, "EF Command"},
    {kDlStartJob, "JS", kW, nullptr},              {kDlEndJob, "JE", kW, nullptr},
    {kDlEndPage, "PE", kW, nullptr},               {kDlStartPage, "PN", kW, nullptr},
    {kDlSetPatternResolution, "PR", kW, nullptr},  {kDlShowPage, "SP", kW, nullptr},
    {kDlSetGraphicsMode, "SG", kW, nullptr},       {kDlRefusedPR, "PR", kX, "PR Command"},
};
const size_t kDisplayListCommandCount = sizeof(kDisplayListCommands) / sizeof(kDisplayListCommands[0]);

const DisplayListCommand* FindDisplayListCommand(WORD opcode) {
  for (const DisplayListCommand& command : kDisplayListCommands)
    if (command.opcode == opcode) return &command;
  return nullptr;
}

DWORD EncodeDisplayListVarInt(LONG value, BYTE* out) {
  const BYTE sign = value < 0 ? 0x40 : 0;
  const unsigned long long magnitude = value < 0 ? 0ull - static_cast<long long>(value) : value;
  // Bytes needed: the first holds 6 magnitude bits, every further one 7.
  DWORD count = 1;
  while (count < kDlVarIntMaxBytes && (magnitude >> (6 + 7 * (count - 1))) != 0) ++count;
  out[0] = static_cast<BYTE>(sign | ((magnitude >> (7 * (count - 1))) & 0x3F) | (count > 1 ? 0x80 : 0));
  for (DWORD i = 1; i < count; ++i)
    out[i] = static_cast<BYTE>(((magnitude >> (7 * (count - 1 - i))) & 0x7F) | (i + 1 < count ? 0x80 : 0));
  return count;
}

DWORD DecodeDisplayListVarInt(const BYTE* bytes, DWORD available, LONG* value) {
  if (available == 0) return 0;
  unsigned long long magnitude = bytes[0] & 0x3F;
  const bool negative = (bytes[0] & 0x40) != 0;
  DWORD used = 1;
  bool more = (bytes[0] & 0x80) != 0;
  while (more) {
    if (used >= available || used >= kDlVarIntMaxBytes) return 0;
    magnitude = magnitude * 128 + (bytes[used] & 0x7F);
    more = (bytes[used] & 0x80) != 0;
    ++used;
  }
  if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
  *value = negative ? static_cast<LONG>(0 - magnitude) : static_cast<LONG>(magnitude);
  return used;
}
