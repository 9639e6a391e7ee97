#include "scanner/connection.h"

namespace {

DWORD g_SourceState = kState3Closed;
TW_UINT16 g_ConditionCode;
ImageRecord g_ImageRecord;

}  // namespace

void SetSourceState(DWORD state) { g_SourceState = state; }
TW_UINT16 ConditionCode() { return g_ConditionCode; }
void SetConditionCode(TW_UINT16 condition) { g_ConditionCode = condition; }
ImageRecord& CurrentImageRecord() { return g_ImageRecord; }

TW_UINT16 RefuseRequest(TW_UINT16 condition) {
  g_ConditionCode = condition;
  return TWRC_FAILURE;
}

BOOL InState(std::initializer_list<int> states) {
  for (int s : states)
    if (g_SourceState == static_cast<DWORD>(s) * 100) return TRUE;
  return FALSE;
}
