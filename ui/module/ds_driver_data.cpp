// WriteDsDriverData: the duplex and stapling values the spooler publishes for the printer.
#include "core/rules/record_numbers.h"
#include "platform/base/errors.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"
#include "ui/module/printer_data.h"

namespace {

constexpr SettingItemId kDuplexFlagItem = 4103;
constexpr SettingItemId kStapleFlagItem = 4101;
constexpr SettingItemId kStapleFlagItem2 = 4116;
constexpr SettingItemId kStapleUnitItem = 5134;

bool ItemIs(PrinterConfiguration* config, SettingItemId id, LONG expected) {
  LONG value = 0;
  return ReadItemLong(nullptr, config, id, &value) && value == expected;
}

bool WriteByte(HANDLE printer, LPCWSTR name, BYTE value) {
  return SetPrinterDataExW(printer, kDsDriverKey, name, REG_BINARY, &value, 1) == ERROR_SUCCESS;
}

}  // namespace

int WriteDsDriverData(HANDLE printer, PrinterConfiguration* config) {
  const BYTE duplex = ItemIs(config, kDuplexFlagItem, 1) ? 1 : 0;
  const BYTE stapling =
      (ItemIs(config, kStapleFlagItem, 1) || ItemIs(config, kStapleFlagItem2, 1)) && ItemIs(config, kStapleUnitItem, 1)
          ? 1
          : 0;
  const bool duplexWritten = WriteByte(printer, kDsDuplexValue, duplex);
  const bool staplingWritten = WriteByte(printer, kDsStaplingValue, stapling);
  return duplexWritten && staplingWritten ? 1 : 0;
}
