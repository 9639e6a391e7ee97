#include "graphics/drawing/graphics_emitter.h"

#include <cstring>
#include <vector>

#include "graphics/device/pdev.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/version.h"

namespace {

constexpr DWORD kUnknownColor = 0xFFFFFFFF;
constexpr BYTE kUnknownLineType = 255;

bool Cached(const GraphicsStateEmitter* e) { return e->cache->enabled != 0; }

// The colour value 0xRRGGBB of colour bytes ({red, green, blue}, or {grey} as grey x 0x010101).
DWORD ColorValue(BYTE space, const BYTE* color) {
  if (space == kDlColorGrey) return color[0] * 0x010101u;
  return (static_cast<DWORD>(color[0]) << 16) | (static_cast<DWORD>(color[1]) << 8) | color[2];
}

bool IsColorSpace(BYTE space) { return space == kDlColorGrey || space == kDlColorRgb; }

// 28.4 value whose whole-pixel part fits a signed 16-bit value exactly.
bool IsWholeFixedPoint(LONG v) { return (v & 0xF) == 0 && v >= -0x80000 && v <= 0x7FFFF; }
// A float that is a whole number within [low, high].
bool IsWholeWithin(float f, float low, float high) {
  return f >= low && f <= high && static_cast<float>(static_cast<LONG>(f)) == f;
}
bool IsDeviceCoordinate(LONG v) { return v >= -32768 && v <= 32767; }
// A rectangle takes the short form (four 16-bit values) only when both corners fit it; else
// the recorded far corner would wrap.
bool AreDeviceCoordinates(LONG left, LONG top, LONG right, LONG bottom) {
  return IsDeviceCoordinate(left) && IsDeviceCoordinate(top) && IsDeviceCoordinate(right) && IsDeviceCoordinate(bottom);
}

void DropPatternCopy(GraphicsStateCache* cache) {
  GlobalFree(cache->patternData);
  cache->patternData = nullptr;
}

void ForgetSolidColor(GraphicsStateCache* cache) {
  cache->solidKind = 0;
  cache->solidSpace = 0;
  cache->solidColor = kUnknownColor;
}

void ClearPagePart(GraphicsStateCache* cache) {
  cache->patternResolution = 0;
  cache->patternResolutionKind1 = 0;
  std::memset(cache->pageRest, 0, sizeof(cache->pageRest));
}

}  // namespace

GraphicsStateEmitter* CreateGraphicsEmitter(Pdev* pdev, DWORD value) {
  if (pdev == nullptr || value == 0) return nullptr;
  auto* emitter = static_cast<GraphicsStateEmitter*>(GlobalAlloc(GPTR, sizeof(GraphicsStateEmitter)));
  if (emitter == nullptr) return nullptr;
  emitter->mode = 1;
  emitter->resetPageState = 1;
  emitter->channel = pdev->channel;
  emitter->cache = static_cast<GraphicsStateCache*>(GlobalAlloc(GPTR, sizeof(GraphicsStateCache)));
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (emitter->cache == nullptr || !GetVersionExW(&version)) {
    FreeGraphicsEmitter(emitter);
    return nullptr;
  }
  emitter->cache->enabled = 1;
  emitter->osLevel = version.dwMajorVersion <= 4 ? 1 : (version.dwMajorVersion == 5 && version.dwMinorVersion == 0) ? 2 : 3;
  return emitter;
}

int FreeGraphicsEmitter(GraphicsStateEmitter* emitter) {
  if (emitter == nullptr) return 0;
  if (emitter->cache != nullptr) DropPatternCopy(emitter->cache);
  GlobalFree(emitter->cache);
  GlobalFree(emitter);
  return 0;
}

void SetEmitterMode(GraphicsStateEmitter* emitter, DWORD mode, DWORD resetPageState) {
  emitter->mode = mode;
  emitter->resetPageState = resetPageState;
}

DWORD SetStateCacheEnabled(GraphicsStateEmitter* emitter, DWORD on) {
  const DWORD previous = emitter->cache->enabled;
  emitter->cache->enabled = on != 0 ? 1 : 0;
  return previous;
}

int InvalidateStateCache(GraphicsStateEmitter* emitter) {
  GraphicsStateCache* c = emitter->cache;
  if (emitter->resetPageState == 1) ClearPagePart(c);
  std::memset(c->axis, 0, sizeof(c->axis));
  c->lineWidth = 0;
  c->lineJoin = -1;
  c->lineCap = -1;
  c->miterLimit = -1.0f;
  c->adjustStroke = -1;
  c->fillMode = 0;
  c->drawMode = 0;
  c->ropCode = 0;
  ForgetSolidColor(c);
  c->lineTypeKind = kUnknownLineType;
  DropPatternCopy(c);
  c->secondaryKind = c->secondarySpace = c->secondaryMode = 0;
  c->secondaryColor = 0;
  c->graphicsFirst = c->graphicsSecond = -1;
  return 0;
}

int ResetEmitterPageState(GraphicsStateEmitter* emitter) {
  ClearPagePart(emitter->cache);
  return 0;
}

void SetCachedAxis(GraphicsStateEmitter* emitter, const float axis[6]) {
  if (std::memcmp(emitter->cache->axis, axis, sizeof(emitter->cache->axis)) != 0)
    std::memcpy(emitter->cache->axis, axis, sizeof(emitter->cache->axis));
}

void GetCachedAxis(const GraphicsStateEmitter* emitter, float axis[6]) {
  std::memcpy(axis, emitter->cache->axis, sizeof(emitter->cache->axis));
}

void GetCachedRopMode(const GraphicsStateEmitter* emitter, WORD* code, DWORD* value) {
  *code = emitter->cache->ropCode;
  *value = emitter->cache->ropValue;
}

int EmitSetAxis(GraphicsStateEmitter* e, const float axis[6]) {
  if (Cached(e) && std::memcmp(e->cache->axis, axis, sizeof(e->cache->axis)) == 0) return 0;
  if (RecordSetAxis(e->channel, axis) != 0) return -1;
  std::memcpy(e->cache->axis, axis, sizeof(e->cache->axis));
  return 0;
}

int EmitLineWidth(GraphicsStateEmitter* e, float width) {
  if (Cached(e) && e->cache->lineWidth == width) return 0;
  const int result = IsWholeWithin(width, -32768.0f, 32767.0f)
                         ? RecordSetLineWidth(e->channel, static_cast<WORD>(static_cast<LONG>(width)))
                         : RecordSetLineWidthReal(e->channel, width);
  if (result != 0) return -1;
  e->cache->lineWidth = width;
  return 0;
}

int EmitMiterLimit(GraphicsStateEmitter* e, float limit) {
  if (Cached(e) && e->cache->miterLimit == limit) return 0;
  const int result = IsWholeWithin(limit, -128.0f, 127.0f)
                         ? RecordSetMiterLimit(e->channel, static_cast<BYTE>(static_cast<LONG>(limit)))
                         : RecordSetMiterLimitReal(e->channel, limit);
  if (result != 0) return -1;
  e->cache->miterLimit = limit;
  return 0;
}

int EmitLineCap(GraphicsStateEmitter* e, BYTE cap) {
  if (Cached(e) && e->cache->lineCap == cap) return 0;
  if (RecordSetLineCap(e->channel, cap) != 0) return -1;
  e->cache->lineCap = cap;
  return 0;
}

int EmitLineJoin(GraphicsStateEmitter* e, BYTE join) {
  if (Cached(e) && e->cache->lineJoin == join) return 0;
  if (RecordSetLineJoin(e->channel, join) != 0) return -1;
  e->cache->lineJoin = join;
  return 0;
}

int EmitAdjustStroke(GraphicsStateEmitter* e, BYTE value) {
  if (Cached(e) && e->cache->adjustStroke == value) return 0;
  if (RecordAdjustStroke(e->channel, value) != 0) return -1;
  e->cache->adjustStroke = value;
  return 0;
}

int EmitFillMode(GraphicsStateEmitter* e, BYTE mode) {
  if (Cached(e) && e->cache->fillMode == mode) return 0;
  if (RecordSetFillMode(e->channel, mode) != 0) return -1;
  e->cache->fillMode = mode;
  return 0;
}

int EmitDrawMode(GraphicsStateEmitter* e, BYTE mode) {
  if (Cached(e) && e->cache->drawMode == mode) return 0;
  if (RecordSetDrawMode(e->channel, mode) != 0) return -1;
  e->cache->drawMode = mode;
  return 0;
}

int EmitRopMode(GraphicsStateEmitter* e, BYTE code, DWORD value) {
  if (Cached(e) && e->cache->ropCode == code && e->cache->ropValue == value) return 0;
  if (RecordSetRopMode(e->channel, code, value) != 0) return -1;
  e->cache->ropCode = code;
  e->cache->ropValue = value;
  return 0;
}

int EmitSolidColor(GraphicsStateEmitter* e, BYTE kind, BYTE space, const BYTE* color) {
  if (color == nullptr || !IsColorSpace(space)) return -1;
  const DWORD value = ColorValue(space, color);
  GraphicsStateCache* c = e->cache;
  if (Cached(e) && c->solidKind == kind && c->solidSpace == space && c->solidColor == value) return 0;
  if (RecordSetSolidColor(e->channel, kind, space, value) != 0) return -1;
  c->solidKind = kind;
  c->solidSpace = space;
  c->solidColor = value;
  DropPatternCopy(c);
  return 0;
}

int EmitTextColor(GraphicsStateEmitter* e, BYTE kind, BYTE space, BYTE mode, const BYTE* color) {
  if (color == nullptr || !IsColorSpace(space)) return -1;
  const DWORD value = ColorValue(space, color);
  GraphicsStateCache* c = e->cache;
  if (Cached(e) && c->secondaryKind == kind && c->secondarySpace == space && c->secondaryMode == mode &&
      c->secondaryColor == value)
    return 0;
  if (RecordSecondaryColor(e->channel, kind, space, mode, value) != 0) return -1;
  c->secondaryKind = kind;
  c->secondarySpace = space;
  c->secondaryMode = mode;
  c->secondaryColor = value;
  return 0;
}

int EmitLineType(GraphicsStateEmitter* e, BYTE kind, float offset, BYTE count, const float* dashes) {
  GraphicsStateCache* c = e->cache;
  if (kind != kLineTypeUser) {
    if (Cached(e) && c->lineTypeKind == kind) return 0;
    // The kind is taken as sent whether or not the send succeeds.
    c->lineTypeKind = kind;
    return RecordSetLineType(e->channel, kind, 0, 0, nullptr) != 0 ? -1 : 0;
  }
  // A user dash pattern is always sent, and the next line type after it too.
  c->lineTypeKind = kUnknownLineType;
  if (count > 0 && dashes == nullptr) return -1;
  bool whole = IsWholeWithin(offset, -32768.0f, 32767.0f);
  for (int i = 0; i < count && whole; ++i) whole = IsWholeWithin(dashes[i], -32768.0f, 32767.0f);
  if (!whole) return RecordSetLineTypeReal(e->channel, kind, offset, count, dashes) != 0 ? -1 : 0;
  WORD shortDashes[255];
  for (int i = 0; i < count; ++i) shortDashes[i] = static_cast<WORD>(static_cast<LONG>(dashes[i]));
  return RecordSetLineType(e->channel, kind, static_cast<WORD>(static_cast<LONG>(offset)), count, shortDashes) != 0
             ? -1
             : 0;
}

int EmitLineTypeFromIntegers(GraphicsStateEmitter* e, BYTE kind, LONG offset, BYTE count, const LONG* dashes) {
  if (kind != kLineTypeUser) return EmitLineType(e, kind, 0, 0, nullptr);
  if (count > 0 && dashes == nullptr) return -1;
  float widened[255];
  for (int i = 0; i < count; ++i) widened[i] = static_cast<float>(dashes[i]);
  return EmitLineType(e, kind, static_cast<float>(offset), count, widened);
}

int EmitGraphicsMode(GraphicsStateEmitter* e, LONG first, LONG second) {
  if (Cached(e) && e->cache->graphicsFirst == first && e->cache->graphicsSecond == second) return 0;
  if (RecordSetGraphicsMode(e->channel, first, second) != 0) return -1;
  e->cache->graphicsFirst = first;
  e->cache->graphicsSecond = second;
  return 0;
}

int EmitPatternResolution(GraphicsStateEmitter* e, BYTE patternKind, WORD resolution) {
  WORD& cached = patternKind == 1 ? e->cache->patternResolutionKind1 : e->cache->patternResolution;
  if (Cached(e) && cached == resolution) return 0;
  if (RecordSetPatternResolution(e->channel, patternKind, resolution) != 0) return -1;
  cached = resolution;
  return 0;
}

int EmitRasterPattern(GraphicsStateEmitter* e, LONG x, LONG y, BYTE kind, BYTE space, BYTE bits, WORD width,
                      WORD height, BYTE countByte, DWORD length, const BYTE* data) {
  if (length > 0 && data == nullptr) return -1;
  GraphicsStateCache* c = e->cache;
  if (Cached(e) && c->patternData != nullptr && c->patternX == x && c->patternY == y && c->patternKind == kind &&
      c->patternSpace == space && c->patternBits == bits && c->patternWidth == width && c->patternHeight == height &&
      c->patternCount == countByte && c->patternLength == length && std::memcmp(c->patternData, data, length) == 0)
    return 0;
  if (RecordSetRasterPattern(e->channel, x, y, kind, space, bits, width, height, countByte, length, data) != 0)
    return -1;
  c->patternX = x;
  c->patternY = y;
  c->patternKind = kind;
  c->patternSpace = space;
  c->patternBits = bits;
  c->patternWidth = width;
  c->patternHeight = height;
  c->patternCount = countByte;
  c->patternLength = length;
  DropPatternCopy(c);
  // Without a copy the next pattern is simply sent again.
  c->patternData = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, length > 0 ? length : 1));
  if (c->patternData != nullptr && length > 0) std::memcpy(c->patternData, data, length);
  ForgetSolidColor(c);
  return 0;
}

int EmitHatchPattern(GraphicsStateEmitter* e, LONG x, LONG y, BYTE style, BYTE space, BYTE pattern,
                     const BYTE* color) {
  if (color == nullptr || !IsColorSpace(space)) return -1;
  const DWORD value = ColorValue(space, color);
  const int result = IsDeviceCoordinate(x) && IsDeviceCoordinate(y)
                         ? RecordSetHatchPattern(e->channel, x, y, style, space, pattern, value)
                         : RecordSetHatchPatternReal(e->channel, static_cast<float>(x), static_cast<float>(y), style,
                                                     space, pattern, value);
  if (result != 0) return -1;
  ForgetSolidColor(e->cache);
  DropPatternCopy(e->cache);
  return 0;
}

int EmitMaskPattern(GraphicsStateEmitter* e, LONG x, LONG y, BYTE kind, BYTE space, const BYTE* color, WORD width,
                    WORD height, const BYTE* bits) {
  if (color == nullptr || !IsColorSpace(space)) return -1;
  const DWORD value = ColorValue(space, color);
  const int result =
      IsDeviceCoordinate(x) && IsDeviceCoordinate(y)
          ? RecordSetMaskPattern(e->channel, x, y, kind, space, value, width, height, bits)
          : RecordSetMaskPatternReal(e->channel, static_cast<float>(x), static_cast<float>(y), kind, space, value,
                                     width, height, bits);
  if (result != 0) return -1;
  ForgetSolidColor(e->cache);
  DropPatternCopy(e->cache);
  return 0;
}

int EmitInitClip(GraphicsStateEmitter* e) { return RecordInitClip(e->channel); }
int EmitClipPath(GraphicsStateEmitter* e) { return RecordClipPath(e->channel); }

int EmitRectangleClip(GraphicsStateEmitter* e, LONG left, LONG top, LONG right, LONG bottom) {
  if (AreDeviceCoordinates(left, top, right, bottom)) return RecordSetRectangleClip(e->channel, left, top, right, bottom);
  return RecordSetRectangleClipReal(e->channel, static_cast<float>(left), static_cast<float>(top),
                                    static_cast<float>(right), static_cast<float>(bottom));
}

int EmitInitPath(GraphicsStateEmitter* e) { return RecordInitPath(e->channel); }
int EmitClosePath(GraphicsStateEmitter* e) { return RecordClosePath(e->channel); }
int EmitDrawPath(GraphicsStateEmitter* e) { return RecordDrawPath(e->channel); }

int EmitMovePoint(GraphicsStateEmitter* e, LONG x, LONG y) {
  if (IsWholeFixedPoint(x) && IsWholeFixedPoint(y)) return RecordMovePoint(e->channel, x >> 4, y >> 4);
  return RecordMovePointReal(e->channel, static_cast<float>(x) * 0.0625f, static_cast<float>(y) * 0.0625f);
}

int EmitLinePath(GraphicsStateEmitter* e, DWORD count, const RecordPoint* points) {
  if (count > 0 && points == nullptr) return -1;
  bool whole = true;
  for (DWORD i = 0; i < count && whole; ++i) whole = IsWholeFixedPoint(points[i].x) && IsWholeFixedPoint(points[i].y);
  if (!whole) return RecordAddLinePathReal(e->channel, count, points);
  std::vector<RecordPoint> shifted(count);
  for (DWORD i = 0; i < count; ++i) shifted[i] = {points[i].x >> 4, points[i].y >> 4};
  return RecordAddLinePath(e->channel, count, shifted.data());
}

int EmitBezierPath(GraphicsStateEmitter* e, DWORD count, const RecordPoint* points) {
  return RecordAddBezierPath(e->channel, count, points);
}

int EmitEllipse(GraphicsStateEmitter* e, const float values[6]) { return RecordDrawEllipseArc(e->channel, values); }

int EmitRectangle(GraphicsStateEmitter* e, LONG left, LONG top, LONG right, LONG bottom) {
  if (IsWholeFixedPoint(left) && IsWholeFixedPoint(top) && IsWholeFixedPoint(right) && IsWholeFixedPoint(bottom))
    return RecordDrawRectangle(e->channel, static_cast<LONG>(left * 0.0625f), static_cast<LONG>(top * 0.0625f),
                               static_cast<LONG>(right * 0.0625f), static_cast<LONG>(bottom * 0.0625f));
  return RecordDrawRectangleReal(e->channel, left * 0.0625f, top * 0.0625f, right * 0.0625f, bottom * 0.0625f);
}

int EmitDeviceRectangle(GraphicsStateEmitter* e, LONG left, LONG top, LONG right, LONG bottom) {
  if (AreDeviceCoordinates(left, top, right, bottom)) return RecordDrawRectangle(e->channel, left, top, right, bottom);
  return RecordDrawRectangleReal(e->channel, static_cast<float>(left), static_cast<float>(top),
                                 static_cast<float>(right), static_cast<float>(bottom));
}

int EmitDrawImage(GraphicsStateEmitter* e, const ImageAttributes& header) {
  if (RecordDrawImage(e->channel, header) != 0) return -1;
  if (header.tail[2] != kDlImagePlainRows) return RecordDrawImageTail(e->channel, header);
  return 0;
}

int EmitDrawImageMask(GraphicsStateEmitter* e, const ImageMaskHeader& header) {
  return RecordDrawImageMask(e->channel, header);
}

int EmitImageData(GraphicsStateEmitter* e, const BYTE* bytes, DWORD length) {
  return RecordImageData(e->channel, bytes, length);
}

int EmitDataFontText(GraphicsStateEmitter* e, float x, float y, const BYTE* record) {
  return RecordDrawDataFont(e->channel, x, y, 0, record);
}

int EmitSolidMaskPattern(GraphicsStateEmitter* e, BYTE kind, DWORD color) {
  // The second colour is the value's bytes in memory order (blue, green, red); a transparent
  // background never shows it.
  const BYTE memoryOrder[3] = {static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16)};
  if (EmitTextColor(e, kind, kDlColorRgb, kSecondaryTransparent, memoryOrder) != 0) return -1;
  const BYTE rgb[3] = {static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color)};
  static constexpr BYTE kRows[8] = {0xBB, 0xBB, 0xEE, 0xEE, 0xBB, 0xBB, 0xEE, 0xEE};
  return EmitMaskPattern(e, 0, 0, kind, kDlColorRgb, rgb, 8, 8, kRows);
}

int EmitStartJob(GraphicsStateEmitter* e, BYTE jobMode, BYTE b, BYTE c, WORD d, WORD f) {
  return RecordStartJob(e->channel, static_cast<BYTE>(((jobMode * 4 + b) * 16) + c), d, f);
}

int EmitEndJob(GraphicsStateEmitter* e) { return RecordEndJob(e->channel); }
int EmitStartPage(GraphicsStateEmitter* e) { return RecordStartPage(e->channel); }
int EmitEndPage(GraphicsStateEmitter* e) { return RecordEndPage(e->channel); }
int EmitShowPage(GraphicsStateEmitter* e) { return RecordShowPage(e->channel); }

int EmitJobHeaderBlock(GraphicsStateEmitter* e, DWORD blockSize, const BYTE* block, JobBlockKind kind) {
  return RecordJobHeader(e->channel, block, blockSize, kind);
}

int WriteEmitterComment(GraphicsStateEmitter*, DWORD, const char*) { return 0; }
