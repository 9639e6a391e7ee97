// Fuzz target: arbitrary escapes sent to a live printer device context of qorvexgr.dll through
// the engine host, as applications and the user-interface module send them. Input: bytes 0-1
// the escape code (little-endian; values below 64 pick one of the codes the module knows, so
// most inputs reach a handler), bytes 2-3 the output size, byte 4 the scene the escape meets
// (bit 0: inside a started document, on a page with a drawing; bit 1: direct mode on; bit 2: a
// job data batch begun; bit 3: a stamp being drawn), the rest the input bytes. Buffers are
// exactly the sizes given, so any read or write beyond them is caught. Each input gets a fresh
// device context, so one escape's state never hides another's fault; the document is ended
// afterwards, so everything the escape left in the job is freed through the job's end.
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

constexpr DWORD CDM_DRIVER_DEFAULT = 4;
constexpr LONG kDevModeBytes = 1548;
using ConvertDevModeProc = BOOL (*)(LPWSTR printerName, DEVMODEW* input, DEVMODEW* output, LONG* size, DWORD mode);

struct Device {
  EngineDriver* driver = nullptr;
  std::vector<BYTE> devMode;  // the model's defaults, as the user-interface module makes them
};

const Device& Setup() {
  static const Device device = [] {
    Device d;
    const char* dir = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(dir != nullptr ? dir : QV_DRIVER_DIR);
    SimPrinterSetup setup;
    setup.name = u"P1";
    setup.dataFile = u"QX4500.DDD";
    if (!SimAddPrinter(setup)) std::abort();
    // The modules the printer loads and frees around each device and document stay loaded for
    // the whole run: the fuzzer keeps reading the coverage counters of every module it saw.
    for (LPCWSTR module : {u"qorvexdata.dll", u"qvdrawzd.dll"})
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
    return d;
  }();
  return device;
}


// Scene bits of byte 4.
constexpr std::uint8_t kInDocument = 0x1, kDirectOn = 0x2, kInBatch = 0x4, kDrawingStamp = 0x8;

// Sends an escape whose input is the given bytes and which has no output.
void Send(EngineDc* dc, ULONG code, std::vector<BYTE> in) {
  EngineEscape(dc, code, static_cast<ULONG>(in.size()), in.data(), 0, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const Device& device = Setup();
  std::vector<BYTE> devMode = device.devMode;
  EngineDc* dc = EngineCreateDC(device.driver, u"P1", reinterpret_cast<DEVMODEW*>(devMode.data()));
  if (dc == nullptr) std::abort();
  std::uint16_t code = static_cast<std::uint16_t>(data[0] | data[1] << 8);
  if (code < 64) code = kKnownCodes[code % (sizeof kKnownCodes / sizeof kKnownCodes[0])];
  const ULONG outSize = static_cast<ULONG>(data[2] | data[3] << 8);
  const std::uint8_t scene = data[4];
  if (scene & kDirectOn) Send(dc, 4209, {8, 0, 0, 0, 1, 0, 0, 0});
  const bool inDocument = (scene & kInDocument) != 0 && EngineStartDoc(dc, u"Fuzz") && EngineStartPage(dc);
  if (inDocument) {
    DrawCall fill;
    fill.kind = DrawKind::FillPath;
    fill.path = PathRectangle({10, 10, 200, 100});
    fill.brush.kind = BrushKind::Solid;
    EngineDraw(dc, fill);
    if (scene & kDrawingStamp) Send(dc, 0x5003, {1, 0, 0, 0});
  }
  if (scene & kInBatch) Send(dc, 0x5021, {0, 0});
  std::vector<BYTE> in(data + 5, data + size);
  std::vector<BYTE> out(outSize);
  EngineEscape(dc, code, static_cast<ULONG>(in.size()), in.empty() ? nullptr : in.data(), outSize,
               out.empty() ? nullptr : out.data());
  // A second escape reads back what the first may have changed.
  std::vector<BYTE> settings(5364);
  EngineEscape(dc, 0x5002, 0, nullptr, static_cast<ULONG>(settings.size()), settings.data());
  if (inDocument) {
    if (scene & kDrawingStamp) Send(dc, 0x5003, {0, 0, 0, 0});
    EngineEndPage(dc);
    EngineEndDoc(dc);
  }
  if (!EngineDeleteDC(dc)) std::abort();
  return 0;
}
