// Fuzz target: arbitrary escapes sent to a live printer device context of qorvexgr.dll through
// the engine host, as applications and the user-interface module send them. Input: bytes 0-1
// the escape code (little-endian; values below 64 pick one of the codes the module knows, so
// most inputs reach a handler), bytes 2-3 the output size, byte 4 the scene the escape meets
// (bit 0: inside a started document, on a page with a drawing; bit 1: direct mode on; bit 2: a
// job data batch begun; bit 3: a stamp being drawn), the rest the input bytes. Buffers are
// exactly the sizes given, so any read or write beyond them is caught.
//
// The printer, the driver and one device context are set up once per process, and the inputs
// that meet a document print their pages into one open document (ended after 128 pages, or
// when an input needs none). After each input the device is brought back to its first state:
// what an escape can leave in the device is put back through the escapes that set it; an
// escape whose traces cannot be undone that way (and any input that began a batch, or whose
// page failed its job) has its document ended and the device made anew, as has a device whose
// settings or direct mode did not come back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/engine/engine_drawing.h"
#include "platform/engine/engine_host.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "platform/platform.h"
#include "platform/spooler/spooler_sim.h"

namespace {

constexpr std::uint16_t kKnownCodes[] = {
    8,      17,     20,     4209,   4210,   4211,   4212,   4216,   0x5001, 0x5002, 0x5003, 0x5004,
    0x5005, 0x5006, 0x5007, 0x5008, 0x5009, 0x500A, 0x500B, 0x5010, 0x5020, 0x5021, 0x5023, 0x5024,
    0x5025, 0x5028, 0x5029, 0x502A, 0x502B, 0x502C, 0x502D, 0x502E, 0x502F, 0x5030, 0x5100};

constexpr ULONG kDirect = 4209, kDirectQuery = 4212, kStampMode = 0x5003, kJobInfoMode = 0x5008, kBatch = 0x5021,
                kGetSettings = 0x5002, kSetSettings = 0x5005, kGetDirect = 0x5028, kSetDirect = 0x5029,
                kSetApp = 0x502D, kSetAux = 0x502F, kExtBlock = 0x502C, kConfirmed = 0x502B, kExtValue = 0x5030;
constexpr ULONG kSettingsBytes = 5364, kDirectRecordBytes = 12, kExtBlockBytes = 2112;

// How an escape's traces in the device are undone.
enum class Undo {
  Nothing,
  Settings,
  DirectRecord,
  DirectOverrides,
  AppBlock,
  AuxBlock,
  ExtBlock,
  Confirmed,
  ExtValue,
  OverlayModes,  // while the page is still open
  NewDevice
};

struct UndoRow {
  std::uint16_t code;
  Undo undo;
};

// Escapes that leave nothing in the device, or only what an escape puts back; every other code
// the module knows (job information, configuration, fax list, headers, margins, names, blocks,
// the measurement system, the batch, image transfers) has the device made anew.
constexpr UndoRow kUndo[] = {
    {8, Undo::Nothing},          {20, Undo::Nothing},       {0x5002, Undo::Nothing},
    {0x5006, Undo::Nothing},     {0x5009, Undo::Nothing},   {0x500A, Undo::Nothing},
    {0x5028, Undo::Nothing},     {0x502A, Undo::Nothing},   {0x502E, Undo::Nothing},
    {17, Undo::Settings},        {0x5005, Undo::Settings},  {4209, Undo::DirectRecord},
    {4211, Undo::DirectRecord},  {0x5029, Undo::DirectRecord}, {4212, Undo::DirectOverrides},
    {4216, Undo::AppBlock},      {0x502D, Undo::AppBlock},  {0x502B, Undo::Confirmed},
    {0x5030, Undo::ExtValue},    {0x502F, Undo::AuxBlock},  {0x502C, Undo::ExtBlock},
    {0x5003, Undo::OverlayModes}, {0x5008, Undo::OverlayModes},
};

Undo UndoOf(std::uint16_t code) {
  for (const UndoRow& row : kUndo)
    if (row.code == code) return row.undo;
  for (std::uint16_t known : kKnownCodes)
    if (known == code) return Undo::NewDevice;
  return Undo::Nothing;  // a code the module does not know changes nothing
}

constexpr DWORD CDM_DRIVER_DEFAULT = 4;
constexpr LONG kDevModeBytes = 1548;
using ConvertDevModeProc = BOOL (*)(LPWSTR printerName, DEVMODEW* input, DEVMODEW* output, LONG* size, DWORD mode);

// The printer's device and what it holds when it is made.
struct Device {
  EngineDriver* driver = nullptr;
  std::vector<BYTE> devMode;  // the model's defaults, as the user-interface module makes them
  EngineDc* dc = nullptr;
  std::vector<BYTE> settings;      // its settings record
  std::vector<BYTE> directRecord;  // its direct-mode record
  bool inDocument = false;         // a document is open on it
  int pages = 0;                   // pages printed in that document
};

// The pages one document takes before it is ended and another begun, so that its spool job
// stays small.
constexpr int kPagesPerDocument = 128;

// Sends an escape whose input is the given bytes and which has no output.
LONG Send(EngineDc* dc, ULONG code, std::vector<BYTE> in) {
  return EngineEscape(dc, code, static_cast<ULONG>(in.size()), in.empty() ? nullptr : in.data(), 0, nullptr);
}

std::vector<BYTE> Read(EngineDc* dc, ULONG code, ULONG size) {
  std::vector<BYTE> out(size);
  if (EngineEscape(dc, code, 0, nullptr, size, out.data()) != 1) std::abort();
  return out;
}

void EndDocument(Device& d) {
  if (d.inDocument) EngineEndDoc(d.dc);
  d.inDocument = false;
  d.pages = 0;
}

void MakeDevice(Device& d) {
  EndDocument(d);
  if (d.dc != nullptr && !EngineDeleteDC(d.dc)) std::abort();
  std::vector<BYTE> devMode = d.devMode;
  d.dc = EngineCreateDC(d.driver, u"P1", reinterpret_cast<DEVMODEW*>(devMode.data()));
  if (d.dc == nullptr) std::abort();
  d.settings = Read(d.dc, kGetSettings, kSettingsBytes);
  d.directRecord = Read(d.dc, kGetDirect, kDirectRecordBytes);
}

Device& Setup() {
  static Device device = [] {
    Device d;
    const char* dir = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(dir != nullptr ? dir : QV_DRIVER_DIR);
    SimPrinterSetup setup;
    setup.name = u"P1";
    setup.dataFile = u"QX4500.DDD";
    if (!SimAddPrinter(setup)) std::abort();
    // The modules the printer loads and frees around each device and document stay loaded for
    // the whole run: the fuzzer keeps reading the coverage counters of every module it saw, and
    // a module loaded anew for each job would add its counters again each time.
    for (LPCWSTR module : {u"qorvexdata.dll", u"qvdrawzd.dll", u"qvjobattr.dll", u"qvqdm.dll", u"qvcolor.dll"})
      if (LoadLibraryW(module) == nullptr) std::abort();
    HMODULE ui = LoadLibraryW(u"qorvexui.dll");
    if (ui == nullptr) std::abort();
    auto convert = reinterpret_cast<ConvertDevModeProc>(GetProcAddress(ui, "DrvConvertDevMode"));
    LONG size = kDevModeBytes;
    d.devMode.assign(size, 0);
    if (convert == nullptr ||
        !convert(const_cast<LPWSTR>(u"P1"), nullptr, reinterpret_cast<DEVMODEW*>(d.devMode.data()), &size,
                 CDM_DRIVER_DEFAULT))
      std::abort();
    d.driver = EngineLoadDriver(u"qorvexgr.dll");
    if (d.driver == nullptr) std::abort();
    MakeDevice(d);
    return d;
  }();
  // The device goes before the process ends, so that nothing it holds counts as leaked.
  static const bool atExit = std::atexit([] {
    EndDocument(device);
    if (device.dc != nullptr) EngineDeleteDC(device.dc);
    device.dc = nullptr;
  }) == 0;
  (void)atExit;
  return device;
}

// Puts back what the escape may have left in the device.
void UndoEscape(Device& d, Undo undo) {
  switch (undo) {
    case Undo::Nothing: break;
    case Undo::Settings: Send(d.dc, kSetSettings, d.settings); break;
    case Undo::DirectOverrides:
      // The overrides go with direct mode on; the record then puts back the mode itself.
      Send(d.dc, kDirect, {8, 0, 0, 0, 1, 0, 0, 0});
      Send(d.dc, kDirectQuery, {8, 0, 0, 0, 0x04, 0x13, 0, 0});        // pages per sheet: none
      Send(d.dc, kDirectQuery, {8, 0, 0, 0, 0x02, 0x13, 0x14, 0x13});  // duplex: none
      Send(d.dc, kSetDirect, d.directRecord);
      break;
    case Undo::DirectRecord: Send(d.dc, kSetDirect, d.directRecord); break;
    case Undo::AppBlock: EngineEscape(d.dc, kSetApp, 0, nullptr, 0, nullptr); break;
    case Undo::AuxBlock: EngineEscape(d.dc, kSetAux, 0, nullptr, 0, nullptr); break;
    case Undo::ExtBlock: Send(d.dc, kExtBlock, std::vector<BYTE>(kExtBlockBytes, 0)); break;
    case Undo::OverlayModes:
      Send(d.dc, kStampMode, {0, 0, 0, 0});
      Send(d.dc, kJobInfoMode, {0, 0, 0, 0});
      break;
    case Undo::Confirmed: Send(d.dc, kConfirmed, {0, 0, 0, 0}); break;
    case Undo::ExtValue: Send(d.dc, kExtValue, std::vector<BYTE>(8, 0)); break;
    case Undo::NewDevice: MakeDevice(d); break;
  }
}

// Scene bits of byte 4.
constexpr std::uint8_t kInDocument = 0x1, kDirectOn = 0x2, kInBatch = 0x4, kDrawingStamp = 0x8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  Device& device = Setup();
  std::uint16_t code = static_cast<std::uint16_t>(data[0] | data[1] << 8);
  if (code < 64) code = kKnownCodes[code % (sizeof kKnownCodes / sizeof kKnownCodes[0])];
  const ULONG outSize = static_cast<ULONG>(data[2] | data[3] << 8);
  const std::uint8_t scene = data[4];
  // Outside a document the device has none open.
  if ((scene & kInDocument) == 0) EndDocument(device);
  EngineDc* dc = device.dc;
  if (scene & kDirectOn) Send(dc, kDirect, {8, 0, 0, 0, 1, 0, 0, 0});
  if ((scene & kInDocument) != 0 && !device.inDocument) device.inDocument = EngineStartDoc(dc, u"Fuzz");
  const bool onPage = device.inDocument && EngineStartPage(dc);
  if (onPage) {
    DrawCall fill;
    fill.kind = DrawKind::FillPath;
    fill.path = PathRectangle({10, 10, 200, 100});
    fill.brush.kind = BrushKind::Solid;
    EngineDraw(dc, fill);
    if (scene & kDrawingStamp) Send(dc, kStampMode, {1, 0, 0, 0});
  }
  if (scene & kInBatch) Send(dc, kBatch, {0, 0});
  std::vector<BYTE> in(data + 5, data + size);
  std::vector<BYTE> out(outSize);
  EngineEscape(dc, code, static_cast<ULONG>(in.size()), in.empty() ? nullptr : in.data(), outSize,
               out.empty() ? nullptr : out.data());
  // A second escape reads back what the first may have changed.
  std::vector<BYTE> settings(kSettingsBytes);
  EngineEscape(dc, kGetSettings, 0, nullptr, static_cast<ULONG>(settings.size()), settings.data());
  Undo undo = UndoOf(code);
  if (onPage) {
    if (scene & kDrawingStamp) Send(dc, kStampMode, {0, 0, 0, 0});
    if (undo == Undo::OverlayModes) UndoEscape(device, undo);
    // A page that cannot end has failed its job.
    if (!EngineEndPage(dc)) undo = Undo::NewDevice;
    if (++device.pages >= kPagesPerDocument) EndDocument(device);
  } else if (device.inDocument) {
    undo = Undo::NewDevice;  // the document could not take a page
  }
  if (undo == Undo::OverlayModes) undo = Undo::Nothing;  // refused outside a page, undone on it
  // A batch locks the device's settings until its end.
  if (scene & kInBatch) undo = Undo::NewDevice;
  UndoEscape(device, undo);
  if (scene & kDirectOn) UndoEscape(device, Undo::DirectRecord);
  // Whatever the escapes could not put back (a setting the device would not take back, say)
  // has the device made anew.
  if (Read(device.dc, kGetSettings, kSettingsBytes) != device.settings ||
      Read(device.dc, kGetDirect, kDirectRecordBytes) != device.directRecord)
    MakeDevice(device);
  return 0;
}
