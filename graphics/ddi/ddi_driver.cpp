#include <cstring>

#include "core/runtime/trace_log.h"
#include "graphics/ddi/ddi_exports.h"
#include "graphics/ddi/driver_state.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

#define ROW(name) {INDEX_##name, reinterpret_cast<PFN>(&name)}
const DRVFN kDriverFunctions[kDriverFunctionCount] = {
    ROW(DrvEnablePDEV),     ROW(DrvResetPDEV),          ROW(DrvCompletePDEV),   ROW(DrvDisablePDEV),
    ROW(DrvEnableSurface),  ROW(DrvDisableSurface),     ROW(DrvBitBlt),         ROW(DrvStretchBlt),
    ROW(DrvCopyBits),       ROW(DrvTextOut),            ROW(DrvQueryFont),      ROW(DrvQueryFontTree),
    ROW(DrvQueryFontData),  ROW(DrvQueryAdvanceWidths), ROW(DrvSendPage),       ROW(DrvStrokePath),
    ROW(DrvFillPath),       ROW(DrvStrokeAndFillPath),  ROW(DrvRealizeBrush),   ROW(DrvStartPage),
    ROW(DrvStartDoc),       ROW(DrvEscape),             ROW(DrvEndDoc),         ROW(DrvGetGlyphMode),
    ROW(DrvStretchBltROP),
};
#undef ROW

namespace {

BOOL EnableDriver(ULONG engineVersion, ULONG cj, DRVENABLEDATA* data) {
  if (engineVersion < kDriverVersion || cj < kDriverEnableDataSize || data == nullptr) {
    SetLastError(ERROR_BAD_DRIVER_LEVEL);
    return FALSE;
  }
  data->iDriverVersion = kDriverVersion;
  data->c = kDriverFunctionCount;
  data->pdrvfn = const_cast<DRVFN*>(kDriverFunctions);
  if (InitDriverState()) return TRUE;
  // The engine unloads a driver that refuses without disabling it: undo what was made.
  ReleaseDriverState();
  return FALSE;
}

BOOL QueryDriverInfo(DWORD mode, PVOID buffer, DWORD cb, PDWORD needed) {
  if (mode != DRVQUERY_USERMODE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  constexpr DWORD kUserMode = 1;
  if (needed != nullptr) *needed = sizeof kUserMode;
  if (buffer == nullptr || cb < sizeof kUserMode) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, &kUserMode, sizeof kUserMode);
  return TRUE;
}

}  // namespace

BOOL EnableDriverEntry(ULONG engineVersion, ULONG cj, DRVENABLEDATA* data) {
  TraceEnter(u"DrvEnableDriver");
  const BOOL result = EnableDriver(engineVersion, cj, data);
  TraceLeave(u"DrvEnableDriver RetValue = %d", result);
  return result;
}

VOID DisableDriverEntry() {
  TraceEnter(u"DrvDisableDriver");
  ReleaseDriverState();
  TraceLeave(u"DrvDisableDriver");
}

BOOL QueryDriverInfoEntry(DWORD mode, PVOID buffer, DWORD cb, PDWORD needed) {
  TraceEnter(u"DrvQueryDriverInfo");
  const BOOL result = QueryDriverInfo(mode, buffer, cb, needed);
  TraceLeave(u"DrvQueryDriverInfo RetValue = %d", result);
  return result;
}

ULONG DrvGetGlyphMode(DHPDEV, FONTOBJ*) {
  TraceEnter(u"DrvGetGlyphMode");
  const ULONG result = FO_GLYPHBITS;
  TraceLeave(u"DrvGetGlyphMode RetValue = %ld", result);
  return result;
}
