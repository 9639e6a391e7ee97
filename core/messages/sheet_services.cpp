#include "core/messages/sheet_services.h"

#include <atomic>

#include "platform/base/types.h"

namespace {

std::atomic<const SheetServices*> g_services{nullptr};

}  // namespace

void SetSheetServices(const SheetServices* services) { g_services.store(services); }

SheetState* GetSheetState(HWND window) {
  const SheetServices* services = g_services.load();
  return services != nullptr && services->getSheetState != nullptr ? services->getSheetState(window) : nullptr;
}

BOOL GetMeasurementFlags(SheetState* state, MeasurementFlags* flags) {
  const SheetServices* services = g_services.load();
  if (state == nullptr || flags == nullptr || services == nullptr || services->getMeasurementFlags == nullptr)
    return FALSE;
  return services->getMeasurementFlags(state, flags);
}

int ShowMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT style) {
  const SheetServices* services = g_services.load();
  return services != nullptr && services->showMessageBox != nullptr
             ? services->showMessageBox(window, text, caption, style)
             : 0;
}
