// WriteDsDriverData: the duplex and stapling values the spooler publishes for the printer.
#include "core/rules/record_numbers.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"
#include "ui/module/printer_data.h"

namespace {

bool ItemIs(PrinterConfiguration* config, SettingItemId id, LONG expected) {
  LONG value = 0;
  return ReadItemLong(nullptr, config, id, &value) && value == expected;
}

bool WriteByte(HANDLE printer, LPCWSTR name, BYTE value) {
  return SetPrinterDataExW(printer, kDsDriverKey, name, REG_BINARY, &value, 1) == ERROR_SUCCESS;
}

}  // namespace

int WriteDsDriverData(HANDLE printer, PrinterConfiguration* config) {
  const BYTE duplex = ItemIs(config, kItemModelOptions, 1) ? 1 : 0;
  const BYTE stapling =
      (ItemIs(config, kItemStapler, 1) || ItemIs(config, kItemStaplerSecond, 1)) && ItemIs(config, kItemFinisher, 1)
          ? 1
          : 0;
  const bool duplexWritten = WriteByte(printer, kDsDuplexValue, duplex);
  const bool staplingWritten = WriteByte(printer, kDsStaplingValue, stapling);
  return duplexWritten && staplingWritten ? 1 : 0;
}
