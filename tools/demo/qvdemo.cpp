// The demo: sets up a sandbox with the driver files and shows what the system can do so far,
// driving it as its real hosts would (modules loaded by name, the platform's calls).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/constraints/constraint_engine.h"
#include "core/constraints/tile_count.h"
#include "core/database/dbrecords.h"
#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/engine/engine_host.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_sim.h"
#include "platform/spooler/spooler_sim.h"
#include "platform/twain/twain.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/user_sim.h"
#include "platform/user/window.h"
#include "platform/winmm/winmm_sim.h"
#include "tests/support/twain_app.h"
#include "tools/demo/app_printing.h"
#include "tools/demo/document_demo.h"
#include "tools/demo/spool_pages.h"
#include "tools/spoolview/spool_render.h"

namespace {

// The deliverables, under the names the hosts load them by.
constexpr const WCHAR* kModules[] = {u"qorvexui.dll", u"qorvexgr.dll", u"qorvexdata.dll", u"qorvexres.dll", u"pelvo.ds"};

std::string Text(std::u16string_view s) { return Utf16ToUtf8(s); }

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

void ShowModules() {
  std::printf("Modules in the driver directory %s:\n", Text(SimDriverDirectory()).c_str());
  int loaded = 0;
  for (LPCWSTR name : kModules) {
    HMODULE h = LoadLibraryW(name);
    if (!h) {
      DWORD error = GetLastError();
      if (error == ERROR_MOD_NOT_FOUND)
        std::printf("  %-15s not built yet\n", Text(name).c_str());
      else
        std::printf("  %-15s refused to load (error %u) %s\n", Text(name).c_str(), error, SimModuleLastLoadMessage().c_str());
      continue;
    }
    ++loaded;
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(h, path, MAX_PATH);
    std::printf("  %-15s loaded from %s", Text(name).c_str(), Text(path).c_str());
    WCHAR own[MAX_PATH];
    if (LoadStringW(h, 32767, own, MAX_PATH) > 0) std::printf(", resource file %s", Text(own).c_str());
    std::printf("\n");
    FreeLibrary(h);
  }
  if (loaded == 0) std::printf("  (no module has been built yet)\n");
}

void ShowRegistry() {
  HKEY key = nullptr;
  const WCHAR* path = u"Software\\Qorvex Demo";
  if (RegCreateKeyW(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS) return;
  const WCHAR name[] = u"Demo user";
  DWORD copies = 2;
  RegSetValueExW(key, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
  RegSetValueExW(key, u"Copies", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&copies), sizeof copies);
  RegCloseKey(key);
  SimRegistrySetAdministrator(FALSE);
  HKEY machine = nullptr;
  LSTATUS status = RegCreateKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Qorvex Demo", &machine);
  std::printf("\nRegistry (a machine key written by a non-administrator: error %d):\n%s", status,
              SimRegistryDump(HKEY_CURRENT_USER, u"Software").c_str());
  SimRegistrySetAdministrator(TRUE);
}

void ShowResources() {
  std::u16string file = std::u16string(SimDriverDirectory()) + u"\\qvdemo.qrs";
  HMODULE h = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!h) {
    std::printf("\nResource file %s did not load (error %u)\n", Text(file).c_str(), GetLastError());
    return;
  }
  WCHAR text[128];
  std::printf("\nResource file %s:\n", Text(file).c_str());
  for (UINT id : {1u, 2u}) {
    LoadStringW(h, id, text, 128);
    std::printf("  string %u: %s\n", id, Text(text).c_str());
  }
  FreeLibrary(h);
}

// Lists the sample model through the description-database reader: its name, version, papers
// (the choices of item 8) and paper sources (the choices of item 13).
void ShowSampleModel() {
  std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  // The demo runs from the driver directory, where the model's string libraries lie.
  SimSetHostModulePath((std::u16string(SimDriverDirectory()) + u"\\qvdemo").c_str());
  DatabaseStream main = {}, linked = {};
  WORD status = OpenDescriptionDatabase(path.c_str(), 0, &main, &linked);
  if (status != kDbOk) {
    std::printf("\nSample model %s did not open (status %u)\n", Text(path).c_str(), status);
    return;
  }
  DatabaseRecord* header = nullptr;
  if (ReadDatabaseHeader(&main, &header) == kDbOk) {
    auto* h = reinterpret_cast<HeaderRecord*>(header);
    std::printf("\nSample model %s: \"%s\" (%s), version %u.%u.%u, format level 0x%X, linked database %s\n",
                Text(path).c_str(), Text(h->modelName).c_str(), Text(h->displayName).c_str(), h->major, h->minor,
                h->build, h->formatLevel, Text(h->linkedName).c_str());
    FreeRecord(&header, kDbAnyType);
  }
  struct Listing {
    WORD item;
    const char* title;
  };
  for (const Listing& list : {Listing{8, "Papers"}, Listing{13, "Paper sources"}}) {
    DatabaseRecord* record = nullptr;
    if (ReadKeyedRecord(TRUE, &main, &linked, 4, list.item, 0, &record) != kDbOk) continue;
    auto* choices = reinterpret_cast<ChoiceListRecord*>(record);
    std::printf("  %s (item %u, %u choices):\n", list.title, list.item, choices->choices.count);
    for (WORD n = 1; n <= choices->choices.count; ++n) {
      DatabaseRecord* entry = nullptr;
      if (ReadKeyedRecord(FALSE, &main, &linked, 4, list.item, n, &entry) != kDbOk) continue;
      auto* e = reinterpret_cast<ChoiceEntryRecord*>(entry);
      std::printf("    %-28s", Text(e->name ? e->name : u"").c_str());
      DatabaseRecord* target = nullptr;
      if (e->refType == 10 && ReadKeyedRecord(FALSE, &main, &linked, 10, e->refKey.key, 0, &target) == kDbOk) {
        auto* paper = reinterpret_cast<PaperRecord*>(target);
        if (paper->size.width == paper->altSize.width && paper->size.length == paper->altSize.length)
          std::printf(" %6.1f x %6.1f mm", paper->size.width / 10.0, paper->size.length / 10.0);
        else
          std::printf(" %6.1f x %6.1f to %.1f x %.1f mm", paper->size.width / 10.0, paper->size.length / 10.0,
                      paper->altSize.width / 10.0, paper->altSize.length / 10.0);
      } else if ((e->refType == 5 || e->refType == 6) &&
                 ReadKeyedRecord(FALSE, &main, &linked, e->refType, e->refKey.key, 0, &target) == kDbOk) {
        std::printf(" takes %u papers", reinterpret_cast<PaperSourceRecord*>(target)->papers.count);
      }
      std::printf("\n");
      FreeRecord(&target, kDbAnyType);
      FreeRecord(&entry, kDbAnyType);
    }
    FreeRecord(&record, kDbAnyType);
  }
  CloseDatabaseStreams(&main, &linked);
}

// Proposes setting changes to the sample model's rules on its default settings and prints what
// the constraint engine answers: the message type and the messages of the records that fired.
void ShowConstraintChecks() {
  std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  ItemStore* store = OpenItemStoreAtPath(path.c_str());
  ConstraintState* state = CreateConstraintState();
  auto* settings = new SettingsRecord{};
  auto* config = new PrinterConfiguration{};
  if (store == nullptr || state == nullptr || !ApplyDataFileDefaults(store, settings, config, u"QX-4500")) {
    std::printf("\nThe constraint checks could not start\n");
  } else {
    std::printf("\nProposed changes checked against the sample model's rules:\n");
    struct Proposal {
      const char* what;
      SettingItemId paper;   // item 8 before the change
      SettingItemId source;  // item 265 before the change
      SettingItemId id;
      ValueTypeCode type;
      DWORD value;
      WORD lookup;  // 1: the rules of the item's list, not of the chosen value
      DWORD userWidth = 2000, userLength = 3000;  // user paper 1, tenths of a millimetre
    };
    const Proposal proposals[] = {
        {"two-sided printing on Envelope #10", 20, 7, 16, kTypeInt16, 2, 1},
        {"stapling paper from the bypass tray", 9, 4, 320, kTypeUInt16, 1, 1},
        {"punching A6", 70, 7, 341, kTypeUInt16, 1, 1},
        {"user paper 1 (200 x 300 mm), bypass tray", 0, 4, 8, kTypeInt16, 262, 0},
        {"user paper 1 (320 x 450 mm), bypass tray", 0, 4, 8, kTypeInt16, 262, 0, 3200, 4500},
        {"user paper 1 (200 x 300 mm), tray 1", 0, 1, 8, kTypeInt16, 262, 0},
    };
    const HANDLE printer = reinterpret_cast<HANDLE>(1);  // the sample's rules need no printer
    for (const Proposal& p : proposals) {
      if (p.paper != 0) SetItemNumberV(settings, config, kItemPaperSize, kTypeInt16, p.paper);
      SetItemNumberV(settings, config, kItemPaperSource, kTypeUInt16, p.source);
      SetItemNumberV(settings, config, kItemUserPaperWidth, kTypeUInt16, p.userWidth);  // user paper 1's width item
      SetItemNumberV(settings, config, kItemUserPaperLength, kTypeUInt16, p.userLength);
      ResetConstraintState(state);
      const WORD status = CheckSettingChange(kCheckModePlain, printer, store, settings, config, nullptr, p.id,
                                             p.type, &p.value, state, nullptr, p.lookup);
      std::printf("  %-48s status %u, message type %u\n", p.what, status, state->messageType);
      for (WORD kind = 7; kind <= 8; ++kind) {
        const WORD* numbers = kind == 7 ? state->firedRules : state->firedRequirements;
        const WORD count = kind == 7 ? state->firedRuleCount : state->firedRequirementCount;
        for (WORD n = 0; n < count; ++n) {
          DatabaseRecord* record = nullptr;
          if (ReadKeyedRecord(FALSE, store->main, store->linked, kind, numbers[n], 0, &record) != kDbOk) continue;
          const LPCWSTR message = reinterpret_cast<ConstraintRecord*>(record)->message;
          std::printf("    %s %u: %s\n", kind == 7 ? "rule" : "requirement", numbers[n],
                      Text(message != nullptr ? message : u"").c_str());
          FreeRecord(&record, kDbAnyType);
        }
      }
    }
    // Poster printing: 2 x 2 tiles of A4 for an A4 page at 100 % leave a row and a column empty.
    SetItemNumberV(settings, config, kItemPaperSize, kTypeInt16, 9);
    SetItemNumberV(settings, config, kItemPageLayout, kTypeUInt8, 1);
    SetItemNumberV(settings, config, kItemZoomOn, kTypeFlag, 1);
    SetItemNumberV(settings, config, kItemTileCount, kTypeUInt16, 0x0202);
    SetItemNumberV(settings, config, kItemZoomPercent, kTypeUInt16, 100);
    WORD* involved = nullptr;
    const SettingsContext context{store, settings, config};
    const WORD tiles = CheckTileCount(&context, nullptr, &involved);
    std::printf("  %-48s answer %u (%s)\n", "poster of 2 x 2 A4 tiles for an A4 page", tiles,
                tiles == kTilesTooMany ? "a row and a column of tiles stay empty" : "see the tile rules");
    GlobalFree(involved);
  }
  delete settings;
  delete config;
  FreeConstraintState(state);
  CloseItemStore(store);
}

void ShowMessageBox() {
  int answer = MessageBoxW(nullptr, u"Nothing is shown: boxes are answered from a script.", u"Qorvex demo",
                           MB_OKCANCEL | MB_ICONINFORMATION);
  std::printf("\nAn unscripted message box answered %s and was recorded (%zu in the log).\n",
              answer == IDCANCEL ? "Cancel" : "something else", SimMessageBoxLog().size());
}

// Scans an A4 page of the simulated flatbed at 150 dpi through the data source, as a TWAIN
// application does (open, negotiate, enable without the interface, file transfer), and keeps
// the BMP file outside the sandbox.
void ScanPage() {
  std::printf("\nScanning a page with the TWAIN data source pelvo.ds:\n");
  TwainApplication app;
  if (!app.Load()) {
    std::printf("  the data source did not load (error %u) %s\n", GetLastError(), SimModuleLastLoadMessage().c_str());
    return;
  }
  if (app.Open() != TWRC_SUCCESS) {
    std::printf("  the source did not open (condition %u)\n", app.Condition());
    return;
  }
  const char* scan = "C:\\Windows\\Temp\\scan.bmp";
  ReceivedImage image;
  TW_INT16 pending = 0;
  const bool negotiated = app.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 150) == TWRC_SUCCESS &&
                          app.SetEnumeration(ICAP_SUPPORTEDSIZES, TWTY_UINT16, {TWSS_A4LETTER}, 0) == TWRC_SUCCESS &&
                          app.SetEnumeration(ICAP_XFERMECH, TWTY_UINT16, {TWSX_FILE}, 0) == TWRC_SUCCESS;
  const bool scanned = negotiated && app.EnableWithoutInterface() == TWRC_SUCCESS &&
                       app.TransferFile(scan, image) == TWRC_XFERDONE && app.EndTransfer(&pending) == TWRC_SUCCESS;
  if (!scanned) {
    std::printf("  the scan failed (condition %u)\n", app.Condition());
  } else {
    std::u16string wide(scan, scan + std::strlen(scan));
    const std::filesystem::path kept = ExecutableDirectory().parent_path() / "scans" / "scan.bmp";
    std::error_code ec;
    std::filesystem::create_directories(kept.parent_path(), ec);
    std::filesystem::copy_file(SimHostPath(wide.c_str()), kept, std::filesystem::copy_options::overwrite_existing, ec);
    std::printf("  A4 at 150 dpi, one bit per pixel: %u x %u pixels, %ju bytes, pending transfers %d\n", image.Width,
                image.Height, static_cast<std::uintmax_t>(std::filesystem::file_size(kept, ec)), pending);
    std::printf("  BMP file: %s\n", ec ? "(could not be kept)" : kept.string().c_str());
  }
  app.Disable();
  app.Close();
}

// The preview window inside the scan dialog.
// The dialog's picture as a person sees it a moment after it was painted: the crop frame's
// marching ants (drawn by the animation's timer, not by painting) have had their first tick.
bool SaveSeenPicture(HWND dialog, const std::string& path) {
  SimPaint(dialog);
  for (const SimMmTimer& timer : SimArmedMmTimers()) SimFireMmTimer(timer.id);
  ReferenceImage picture;
  return SimWindowPictureAsShown(dialog, picture) && SaveReferencePng(picture, path);
}

HWND FindPreviewWindow(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char16_t name[32] = {};
    GetClassNameW(child, reinterpret_cast<LPWSTR>(name), 32);
    if (std::u16string(name) == u"PrevCtl_tarn_ibg") return child;
  }
  return nullptr;
}

// Scans again with the data source's own dialog, used as a person would: A5 and Photo chosen,
// a preview, a new frame dragged on it, Scan; the application then takes the image as a file.
// A picture of the dialog is kept beside the scanned image.
void ScanWithDialog() {
  std::printf("\nScanning with the data source's dialog (preview, frame, scan):\n");
  // The data source's own texts are Japanese: shown in the Japanese ANSI code page.
  SimSetAnsiCodePage(932);
  TwainApplication app;
  if (!app.Load() || app.Open() != TWRC_SUCCESS) {
    std::printf("  the source did not open (condition %u)\n", app.Condition());
    return;
  }
  const char* scan = "C:\\Windows\\Temp\\scan_dialog.bmp";
  ReceivedImage image;
  TW_INT16 pending = 0;
  bool scanned = app.SetEnumeration(ICAP_XFERMECH, TWTY_UINT16, {TWSX_FILE}, 0) == TWRC_SUCCESS &&
                 app.EnableWithInterface(nullptr) == TWRC_SUCCESS;
  HWND dialog = scanned ? FindWindowW(nullptr, u"Scriptora Duo Local Scan") : nullptr;
  HWND preview = dialog != nullptr ? FindPreviewWindow(dialog) : nullptr;
  const std::filesystem::path folder = ExecutableDirectory().parent_path() / "scans";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::filesystem::path picture = folder / "scan_dialog.png";
  bool pictured = false;
  if (preview != nullptr) {
    SimPickCombo(GetDlgItem(dialog, 1038), 1);  // Photo
    SimPickCombo(GetDlgItem(dialog, 1037), 4);  // 150 dpi
    SimPickCombo(GetDlgItem(dialog, 1173), 2);  // A5
    SimClick(GetDlgItem(dialog, 1033));         // Preview
    SimPumpMessages();
    RECT client{};
    GetClientRect(preview, &client);
    const LPARAM from = MAKELPARAM(client.right * 55 / 100, client.bottom * 45 / 100);
    const LPARAM to = MAKELPARAM(client.right * 85 / 100, client.bottom * 70 / 100);
    SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, from);
    SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, to);
    SendMessageW(preview, WM_LBUTTONUP, 0, to);
    pictured = SaveSeenPicture(dialog, picture.string());
    scanned = SimClick(GetDlgItem(dialog, 1034)) && app.TransferFile(scan, image) == TWRC_XFERDONE &&
              app.EndTransfer(&pending) == TWRC_SUCCESS;
  } else {
    scanned = false;
  }
  if (!scanned) {
    std::printf("  the scan failed (condition %u)\n", app.Condition());
  } else {
    std::u16string wide(scan, scan + std::strlen(scan));
    const std::filesystem::path kept = folder / "scan_dialog.bmp";
    std::filesystem::copy_file(SimHostPath(wide.c_str()), kept, std::filesystem::copy_options::overwrite_existing, ec);
    std::printf("  the dragged frame at 150 dpi, one bit per pixel (Photo): %u x %u pixels\n", image.Width, image.Height);
    std::printf("  BMP file: %s\n", ec ? "(could not be kept)" : kept.string().c_str());
  }
  std::printf("  picture of the dialog: %s\n", pictured ? picture.string().c_str() : "(none)");
  app.Disable();
  app.Close();
}

// Prints a two-page document through the whole path: qorvexgr.dll loaded by the engine host
// for a printer of the sample model, the document's pages sent through its DDI calls, the job
// written by the drawing library into the printer's spool job; the spool file is kept and its
// pages rendered to PNG files outside the sandbox.
void PrintDocument() {
  std::printf("\nPrinting a two-page document on printer \"QX-4500\" through qorvexgr.dll:\n");
  constexpr const WCHAR* kPrinter = u"QX-4500";
  SimPrinterSetup setup;
  setup.name = kPrinter;
  setup.dataFile = u"QX4500.DDD";
  const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  ItemStore* store = OpenItemStoreAtPath(path.c_str());
  auto* settings = new SettingsRecord{};
  auto* config = new PrinterConfiguration{};
  EngineDriver* driver = nullptr;
  EngineDc* dc = nullptr;
  if (store == nullptr || !SimAddPrinter(setup) || !ApplyDataFileDefaults(store, settings, config, kPrinter) ||
      (driver = EngineLoadDriver(u"qorvexgr.dll")) == nullptr ||
      (dc = EngineCreateDC(driver, kPrinter, reinterpret_cast<const DEVMODEW*>(settings->bytes))) == nullptr) {
    std::printf("  the printer's device context could not be made (error %u)\n", GetLastError());
  } else {
    // The application's drawing on each page: a filled rectangle, a stroked line, a line of
    // text naming the page and a small image.
    std::vector<DrawCall> drawing(4);
    drawing[0].kind = DrawKind::FillPath;
    PathMoveTo(drawing[0].path, 400, 400);
    PathLineTo(drawing[0].path, 2400, 400);
    PathLineTo(drawing[0].path, 2400, 1400);
    PathLineTo(drawing[0].path, 400, 1400);
    drawing[0].brush.kind = BrushKind::Solid;
    drawing[0].brush.colour = RGB(0x33, 0x66, 0xCC);
    drawing[1].kind = DrawKind::StrokePath;
    PathMoveTo(drawing[1].path, 400, 1700);
    PathLineTo(drawing[1].path, 4000, 1700);
    drawing[1].pen.geometric = true;
    drawing[1].pen.width = 8;
    drawing[2].kind = DrawKind::TextOut;
    drawing[2].text.emHeight = 120;
    drawing[2].text.origin = {400, 2200};
    drawing[3].kind = DrawKind::BitBlt;
    drawing[3].image.width = drawing[3].image.height = 2;
    drawing[3].image.stride = 8;
    drawing[3].image.bits = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    drawing[3].target = {400, 2600, 1400, 3600};
    int taken = 0, refused = 0;
    const bool started = EngineStartDoc(dc, u"Demo document");
    for (int page = 0; started && page < 2; ++page) {
      EngineStartPage(dc);
      drawing[2].text.text = u"Qorvex QX-4500 demo page " + std::u16string(1, char16_t(u'1' + page));
      for (const DrawCall& call : drawing) (EngineDraw(dc, call) == TRUE ? taken : refused)++;
      EngineEndPage(dc);
    }
    const bool printed = started && EngineEndDoc(dc);
    std::printf("  document %s; drawing calls taken %d, refused %d\n",
                printed ? "printed" : "failed", taken, refused);
    SaveLastSpoolJob(ExecutableDirectory().parent_path() / "pages", "demo-document.spl", "page-");
  }
  if (dc != nullptr) EngineDeleteDC(dc);
  if (driver != nullptr) EngineUnloadDriver(driver);
  if (store != nullptr) CloseItemStore(store);
  delete settings;
  delete config;
}

}  // namespace

int main() {
  std::string root = (std::filesystem::temp_directory_path() / ("qvdemo-" + std::to_string(::getpid()))).string();
  SimSetSandboxRoot(root);
  SimInstallDriverFiles(ExecutableDirectory().string());
  std::printf("Sandbox: %s\n", SimSandboxRoot().c_str());
  ShowModules();
  ShowRegistry();
  ShowResources();
  ShowSampleModel();
  ShowConstraintChecks();
  ShowMessageBox();
  PrintDocument();
  PrintOfficeDocument(ExecutableDirectory().parent_path() / "pages");
  PrintFromApplication(ExecutableDirectory().parent_path() / "pages");
  ScanPage();
  ScanWithDialog();
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return 0;
}
