// Fuzz target: arbitrary escapes sent to a live printer device context of qorvexgr.dll through
// the engine host, as applications and the user-interface module send them. Input: bytes 0-1
// the escape code (little-endian; values below 64 pick one of the codes the module knows, so
// most inputs reach a handler), bytes 2-3 the output size, the rest the input bytes. Buffers are
// exactly the sizes given, so any read or write beyond them is caught. Each input gets a fresh
// device context, so one escape's state never hides another's fault.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/engine/engine_host.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/platform.h"
#include "platform/spooler/spooler_sim.h"

namespace {

constexpr std::uint16_t kKnownCodes[] = {
    8,      17,     20,     4209,   4210,   4211,   4212,   4216,   0x5001, 0x5002, 0x5003, 0x5004,
    0x5005, 0x5006, 0x5007, 0x5008, 0x5009, 0x500A, 0x500B, 0x5010, 0x5020, 0x5021, 0x5023, 0x5024,
    0x5025, 0x5028, 0x5029, 0x502A, 0x502B, 0x502C, 0x502D, 0x502E, 0x502F, 0x5030, 0x5100};

EngineDriver* Driver() {
  static EngineDriver* driver = [] {
    const char* dir = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(dir != nullptr ? dir : QV_DRIVER_DIR);
    SimPrinterSetup setup;
    setup.name = u"P1";
    setup.dataFile = u"QX4500.DDD";
    if (!SimAddPrinter(setup)) std::abort();
    EngineDriver* d = EngineLoadDriver(u"qorvexgr.dll");
    if (d == nullptr) std::abort();
    return d;
  }();
  return driver;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  EngineDc* dc = EngineCreateDC(Driver(), u"P1", nullptr);
  if (dc == nullptr) std::abort();
  std::uint16_t code = static_cast<std::uint16_t>(data[0] | data[1] << 8);
  if (code < 64) code = kKnownCodes[code % (sizeof kKnownCodes / sizeof kKnownCodes[0])];
  const ULONG outSize = static_cast<ULONG>(data[2] | data[3] << 8);
  std::vector<BYTE> in(data + 4, data + size);
  std::vector<BYTE> out(outSize);
  EngineEscape(dc, code, static_cast<ULONG>(in.size()), in.empty() ? nullptr : in.data(), outSize,
               out.empty() ? nullptr : out.data());
  // A second escape reads back what the first may have changed.
  std::vector<BYTE> settings(5364);
  EngineEscape(dc, 0x5002, 0, nullptr, static_cast<ULONG>(settings.size()), settings.data());
  if (!EngineDeleteDC(dc)) std::abort();
  return 0;
}
