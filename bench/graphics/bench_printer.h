// The world the graphics benchmarks print into: a sandbox with the driver files and a printer
// of the sample model that holds its configuration in printer data, as an installed printer
// does, with its default device mode. `adjust` may change the settings before the device mode
// is taken. The sandbox goes when the object does, after whatever the owner unloaded first.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/persist/printer_config.h"
#include "core/store/item_store.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/locale.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"

struct BenchPrinter {
  std::filesystem::path root;
  HANDLE printer = nullptr;
  std::vector<BYTE> devMode;

  BenchPrinter(const WCHAR* name, const std::string& sandboxName,
               const std::function<void(SettingsRecord*, PrinterConfiguration*)>& adjust = {}) {
    const char* env = std::getenv("QV_DRIVER_DIR");
    std::filesystem::path dir = env && *env ? env : QV_DRIVER_DIR;
    root = std::filesystem::temp_directory_path() / (sandboxName + "-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(dir.string());
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");
    SimPrinterSetup setup;
    setup.name = name;
    setup.dataFile = u"QX4500.DDD";
    SimAddPrinter(setup);
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    OpenPrinterW(name, &printer, &access);
    ItemStore* store = OpenItemStore(printer);
    SettingsRecord settings{};
    PrinterConfiguration config{};
    if (store != nullptr && ApplyDataFileDefaults(store, &settings, &config, name)) {
      if (adjust) adjust(&settings, &config);
      devMode.assign(settings.bytes, settings.bytes + kSettingsRecordShortSize);
      InitPrinterConfiguration(printer, &config, TRUE);
    }
    CloseItemStore(store);
  }
  ~BenchPrinter() {
    ClosePrinter(printer);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
  BenchPrinter(const BenchPrinter&) = delete;
  BenchPrinter& operator=(const BenchPrinter&) = delete;
  DEVMODEW* Mode() { return reinterpret_cast<DEVMODEW*>(devMode.data()); }
};
