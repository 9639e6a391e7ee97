// An application hands the driver any device mode it likes: merging its public fields into the
// settings must read nothing beyond the bytes given, take only values that pass their checks
// and leave the settings this driver's (its header, a positive copy count, a known
// orientation), whatever the fields say.
//
// Input: one byte of switches (bit 0: the applications' check instead of the driver's; bit 1:
// the rest is laid over the driver's own default device mode by exclusive or, so mutations
// stay near a device mode whose header passes), then the device mode's bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/persist/public_fields.h"
#include "core/rules/record_numbers.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"

namespace {

constexpr const WCHAR* kPrinter = u"Fuzz";

struct Printer {
  HANDLE handle = nullptr;
  ItemStore* store = nullptr;
  SettingsRecord defaults{};
  PrinterConfiguration config{};
  ~Printer() {
    if (store != nullptr) CloseItemStore(store);
    if (handle != nullptr) ClosePrinter(handle);
    SimReset();
  }
};

// The sample model's printer with a server form named like one of its papers, opened once.
const Printer& SamplePrinter() {
  static const std::unique_ptr<Printer> printer = [] {
    auto p = std::make_unique<Printer>();
    SimReset();
    const char* driver = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(driver != nullptr ? driver : QV_DRIVER_DIR);
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!SimAddPrinter(setup) || !OpenPrinterW(kPrinter, &p->handle, &all)) std::abort();
    FORM_INFO_1W form{0, const_cast<LPWSTR>(u"Office A5"), {148000, 210000}, {0, 0, 148000, 210000}};
    if (!AddFormW(p->handle, 1, reinterpret_cast<const BYTE*>(&form))) std::abort();
    p->store = OpenItemStore(p->handle);
    if (p->store == nullptr || !ApplyDataFileDefaults(p->store, &p->defaults, &p->config, kPrinter)) std::abort();
    return p;
  }();
  return *printer;
}

LONG Item(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id) {
  LONG value = 0;
  if (!ReadItemLong(settings, config, id, &value)) __builtin_trap();
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 8192) return 0;
  const Printer& printer = SamplePrinter();
  const WORD operation = (data[0] & 1) != 0 ? kItemOpCheckpublic : kItemOpCheck;
  // An exact copy of the device mode, so any read past it is caught.
  std::vector<BYTE> source(data + 1, data + size);
  if ((data[0] & 2) != 0) {
    std::vector<BYTE> own(printer.defaults.bytes, printer.defaults.bytes + kSettingsRecordShortSize);
    for (std::size_t i = 0; i < source.size() && i < own.size(); ++i) own[i] ^= source[i];
    source = std::move(own);
  }
  auto settings = std::make_unique<SettingsRecord>(printer.defaults);
  auto config = std::make_unique<PrinterConfiguration>(printer.config);
  const BOOL merged = ValidatePublicFields(printer.store, settings.get(), source.data(), DWORD(source.size()),
                                           config.get(), printer.handle, operation);
  if (merged != TRUE && merged != FALSE) __builtin_trap();
  // Whatever came in, the record stays this driver's.
  if (Item(settings.get(), config.get(), kItemDevmodeSize) != 220 ||
      Item(settings.get(), config.get(), kItemDriverExtra) != 1328 ||
      Item(settings.get(), config.get(), kItemDriverRelease) != 0x2142)
    __builtin_trap();
  if (Item(settings.get(), config.get(), kItemCopies) < 1) __builtin_trap();
  const LONG orientation = Item(settings.get(), config.get(), kItemOrientation);
  if (orientation != 1 && orientation != 2) __builtin_trap();
  return 0;
}
