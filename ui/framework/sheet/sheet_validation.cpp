#include "ui/framework/sheet/sheet_validation.h"

#include "core/messages/sheet_services.h"
#include "core/rules/apply_validation.h"
#include "core/rules/record_numbers.h"
#include "core/system/sheet_host.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "ui/framework/sheet/margin_checks.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

// Where the swept margins live, or no sweep.
enum class MarginStore { kNone, kPerUser, kPrinter };

MarginStore ChooseMarginStore(HWND window, LONG perUserItem) {
  if (window == nullptr) return perUserItem == 1 ? MarginStore::kPerUser : MarginStore::kNone;
  SheetState* sheet = GetSheetState(window);
  const DWORD sheetType = sheet != nullptr ? sheet->sheetType : 0;
  return DetectSheetHost(window, sheetType) == kSheetHostDefaults ? MarginStore::kPrinter : MarginStore::kPerUser;
}

// Sweeps the margins; a misfit is reset and worded into warning 0. FALSE on a failure.
bool SweepMargins(HMODULE module, HANDLE printer, const SettingsContext& context, LONG perUserItem,
                  MarginStore target, PendingWarnings* pair) {
  WORD ids[kMarginSweepPapers] = {};
  const int fit = CheckAllPaperMargins(printer, context.settings, context.config, context.store, perUserItem != 0, ids);
  if (fit == kMarginCheckFailed) return false;
  if (fit == kMarginsFit) return true;
  if (!ResetPaperMargins(printer, &context, target == MarginStore::kPerUser, ids)) return false;
  const bool append = pair->text[0] != nullptr;
  return BuildMarginWarningText(module, &context, kMarginTextOnly, ids, &pair->text[0], append) != 0;
}

}  // namespace

int ValidateSheetOnApply(HMODULE module, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                         PrinterConfiguration* config, BOOL checkForms, DWORD checks, BOOL checkMargins,
                         UINT messageId, const MeasurementFlags* flags, HWND window, PendingWarnings** pending) {
  if (pending == nullptr) return 0;
  *pending = nullptr;
  auto* pair = static_cast<PendingWarnings*>(GlobalAlloc(GPTR, sizeof(PendingWarnings)));
  if (pair == nullptr) return 0;
  const SettingsContext context{store, settings, config};
  bool ok = true;
  if (checks & kValidateAllSettings) {
    LPWSTR report = nullptr;
    if (ValidateAllSettings(checkForms, module, printer, store, settings, config, messageId, flags, &report) ==
        kValidationReport)
      pair->text[0] = report;
    else
      GlobalFree(report);
  }
  LONG perUserItem = 0;
  ok = ReadItemLong(settings, config, kItemPerUserMargins, &perUserItem) != FALSE;
  if (ok && checkMargins) {
    const MarginStore target = ChooseMarginStore(window, perUserItem);
    if (target != MarginStore::kNone) ok = SweepMargins(module, printer, context, perUserItem, target, pair);
  }
  if (ok && (checks & kValidateTiles)) {
    LPWSTR text = nullptr;
    if (ValidateItemOnApply(module, TRUE, store, settings, config, flags, &text) == kTilesDoNotFit) {
      if (pair->text[0] == nullptr)
        pair->text[0] = text;
      else if (pair->text[1] == nullptr)
        pair->text[1] = text;
      else
        GlobalFree(text);
    } else {
      GlobalFree(text);
    }
  }
  if (!ok || (pair->text[0] == nullptr && pair->text[1] == nullptr)) {
    FreePendingWarnings(&pair);
    return ok ? 1 : 0;
  }
  *pending = pair;
  return 1;
}

LPCWSTR GetPendingWarning(const PendingWarnings* pair, int n, int* missing) {
  if (missing != nullptr) *missing = 0;
  if (pair == nullptr) return nullptr;
  if (n < 0 || n > 1) {
    if (missing != nullptr) *missing = 1;
    return nullptr;
  }
  return pair->text[n];
}

int FreePendingWarnings(PendingWarnings** pair) {
  if (pair == nullptr) return 0;
  if (*pair != nullptr) {
    GlobalFree((*pair)->text[0]);
    GlobalFree((*pair)->text[1]);
    GlobalFree(*pair);
    *pair = nullptr;
  }
  return 1;
}
