// The demo's office document: the sample document's pages printed by qorvexgr.dll through the
// engine host on a printer of the sample model, the spool file kept and its pages rendered to
// PNG files a person can open.
#include "tools/demo/document_demo.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_store.h"
#include "platform/base/text.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/spooler/spooler_sim.h"
#include "tools/demo/sample_document.h"
#include "tools/demo/spool_pages.h"
#include "tools/spoolview/spool_render.h"

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 Office";
constexpr size_t kPages = kSampleDocumentKinds;

}  // namespace

void PrintOfficeDocument(const std::filesystem::path& folder) {
  std::printf("\nPrinting a %zu-page office document (letter, table, schedule, chart, photograph) on printer \"%s\":\n",
              kPages, Utf16ToUtf8(kPrinter).c_str());
  SimPrinterSetup setup;
  setup.name = kPrinter;
  setup.dataFile = u"QX4500.DDD";
  const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  ItemStore* store = OpenItemStoreAtPath(path.c_str());
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  EngineDriver* driver = nullptr;
  EngineDc* dc = nullptr;
  DocumentModes modes;
  if (store != nullptr && SimAddPrinter(setup) && ApplyDataFileDefaults(store, settings.get(), config.get(), kPrinter)) {
    modes = MakeDocumentModes(*settings, *config);
    driver = EngineLoadDriver(u"qorvexgr.dll");
  }
  if (driver != nullptr) dc = EngineCreateDC(driver, kPrinter, reinterpret_cast<const DEVMODEW*>(modes.portrait.data()));
  if (dc == nullptr) {
    std::printf("  the printer's device context could not be made (error %u)\n", GetLastError());
  } else {
    const DocumentPrintResult result =
        PrintSampleDocument(dc, modes, kPages, u"Service agreement", [](size_t index, const DocumentPage& page, EngineDc* at) {
          const SIZEL size = EngineDcSurface(at)->sizlBitmap;
          std::printf("  page %zu: %-22s %zu drawing calls on %d x %d device pixels\n", index + 1, page.name,
                      page.calls.size(), size.cx, size.cy);
        });
    std::printf("  document %s; drawing calls taken %d, refused %d\n", result.printed ? "printed" : "failed",
                result.taken, result.refused);
    SaveLastSpoolJob(folder, "office-document.spl", "office-page-");
  }
  if (dc != nullptr) EngineDeleteDC(dc);
  if (driver != nullptr) EngineUnloadDriver(driver);
  if (store != nullptr) CloseItemStore(store);
}
