#include "ui/framework/sheet/sheet_routines.h"

#include "core/common/common_routines.h"
#include "core/common/format_text.h"
#include "core/messages/sheet_services.h"
#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/registry/registry.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

namespace {

constexpr int kDefaultStringChars = 256;
constexpr int kCaptionChars = 128;
constexpr int kBoxTextChars = 256;
constexpr int kScreenDpi = 96;
constexpr DWORD kTriStateFeature = 0x8000000;
constexpr DWORD kTriStateSecondFeature = 0xFFFF0026;
constexpr WCHAR kWriteCheckValue[] = u"WriteCheck";

// n x numerator / denominator in 64 bits, rounded half away from zero; -1 for a zero
// denominator or a result beyond 32 bits.
int MulDivRounded(int n, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const long long product = static_cast<long long>(n) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const unsigned long long magnitude = product < 0 ? 0ULL - static_cast<unsigned long long>(product) : product;
  const unsigned long long divisor =
      denominator < 0 ? 0ULL - static_cast<unsigned long long>(denominator) : static_cast<unsigned long long>(denominator);
  const unsigned long long quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > (negative ? 0x80000000ULL : 0x7FFFFFFFULL)) return -1;
  return negative ? static_cast<int>(0LL - static_cast<long long>(quotient)) : static_cast<int>(quotient);
}

UINT BoxType(SheetState* state, UINT type) {
  return HasSheetFeature(state, kRightToLeftFeature) ? type | kRightToLeftBoxFlags : type;
}

}  // namespace

int LoadStringFormat(HWND /*window*/, LPWSTR* text, int size, UINT id, std::initializer_list<FormatArg> args) {
  if (text == nullptr) return 0;
  *text = nullptr;
  if (size <= 0) size = kDefaultStringChars;
  auto* pattern = static_cast<LPWSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(size) * sizeof(WCHAR)));
  auto* out = static_cast<LPWSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(size) * sizeof(WCHAR)));
  bool ok = pattern != nullptr && out != nullptr && LoadStringW(GetResourceModule(), id, pattern, size) > 0;
  // A result of size - 1 characters or more may have been cut: refused.
  ok = ok && FormatTextV(out, size, pattern, std::span<const FormatArg>(args)) < size - 1;
  GlobalFree(pattern);
  if (!ok) {
    GlobalFree(out);
    return 0;
  }
  *text = out;
  return 1;
}

int ShowSheetMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT type) {
  SheetState* state = GetSheetState(window);
  if (state == nullptr) return 0;
  return MessageBoxW(window, text, caption, BoxType(state, type));
}

int ShowResourceMessageBox(HWND window, LONG captionId, LPCWSTR captionText, UINT type, LONG textId, LPCWSTR text) {
  SheetState* state = GetSheetState(window);
  if (state == nullptr) return -1;
  WCHAR caption[kCaptionChars + 1] = {};
  WCHAR body[kBoxTextChars + 1] = {};
  if (captionId != kNoStringId) {
    if (LoadStringW(GetResourceModule(), static_cast<UINT>(captionId), caption, kCaptionChars + 1) <= 0) return -1;
    captionText = caption;
  }
  if (textId != kNoStringId) {
    if (LoadStringW(GetResourceModule(), static_cast<UINT>(textId), body, kBoxTextChars + 1) <= 0) return -1;
    text = body;
  }
  if (text == nullptr) return -1;
  return MessageBoxW(window, text, captionText, BoxType(state, type));
}

int ScaleForDpi(HDC dc, int n, int axis) {
  return MulDivRounded(n, GetDeviceCaps(dc, axis == LOGPIXELSX ? LOGPIXELSX : LOGPIXELSY), kScreenDpi);
}

int GetItemDecimals(SettingItemId id, WORD displayUnit, WORD* decimals) {
  if (decimals == nullptr) return 0;
  WORD base;
  if (id == kItemOffsetX || id == kItemOffsetY || (id >= kItemMarginLeft && id <= kItemMarginBottom) ||
      (id >= kItemUserPaperWidth && id < kItemUserPaperName))
    base = 1;
  else if (id == kItemBindingShift || id == kItemBindingShiftBack || id == kItemBookletShift)
    base = 0;
  else
    return 0;
  *decimals = static_cast<WORD>(base + (displayUnit == 1 ? 1 : 0));
  return 1;
}

BOOL ReadSheetMeasurementFlags(SheetState* state, MeasurementFlags* flags) {
  WORD locale = 0;
  if (state == nullptr || flags == nullptr || !GetLocaleMeasurement(state, &locale)) return FALSE;
  flags->inches = HasSheetFeature(state, kInchLocaleFeature) && locale != 0 ? 1 : 0;
  flags->oneDecimal = HasSheetFeature(state, kRoundUserSizesFeature) ? 1 : 0;
  return TRUE;
}

int HasSheetFeature(SheetState* state, DWORD feature) {
  DWORD words[2] = {};
  if (!GetSheetFeatureFlags(state, words)) return 0;
  return TestFeatureFlag(words, feature);
}

int GetTriStateFeature(SheetState* state, WORD* value) {
  if (state == nullptr || value == nullptr) return 0;
  if (!HasSheetFeature(state, kTriStateFeature))
    *value = 0;
  else
    *value = HasSheetFeature(state, kTriStateSecondFeature) ? 2 : 1;
  return 1;
}

DWORD LookupControlHelpId(const DWORD* pairs, HWND control) {
  if (pairs == nullptr || control == nullptr) return 0;
  const DWORD id = static_cast<DWORD>(GetDlgCtrlID(control));
  for (const DWORD* pair = pairs; pair[0] != 0; pair += 2)
    if (pair[0] == id) return pair[1];
  return 0;
}

int SetQuadValue(LONG* quad, int index, const LONG* values) {
  if (quad == nullptr || values == nullptr || index < 0 || index > 4) return 0;
  if (index == 4)
    for (int i = 0; i < 4; ++i) quad[i] = values[i];
  else
    quad[index] = values[0];
  return 1;
}

int GetQuadValue(const LONG* quad, int index, LONG* values) {
  if (quad == nullptr || values == nullptr || index < 0 || index > 4) return 0;
  if (index == 4)
    for (int i = 0; i < 4; ++i) values[i] = quad[i];
  else
    values[0] = quad[index];
  return 1;
}

int CanWriteMachineRegistry() {
  HKEY root = nullptr;
  if (RegOpenKeyW(HKEY_LOCAL_MACHINE, nullptr, &root) != ERROR_SUCCESS) return 0;
  const DWORD one = 1;
  const bool written =
      RegSetValueExW(root, kWriteCheckValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one) ==
      ERROR_SUCCESS;
  if (written) RegDeleteValueW(root, kWriteCheckValue);
  RegCloseKey(root);
  return written ? 1 : 0;
}
