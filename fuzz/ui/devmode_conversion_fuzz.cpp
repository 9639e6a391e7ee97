// Feeds arbitrary device modes through DrvConvertDevMode of qorvexui.dll, loaded by name, for a
// printer of the sample model. The input device mode lies in a buffer of exactly the bytes its
// dmSize and dmDriverExtra say it holds, and the output in one of exactly the size the call
// gives, so a read or write past either is caught.
//
// Input: mode (1 byte: bit 0 driver defaults instead of a conversion, bit 1 a short output,
// bit 2 an output larger than the device mode), then the device mode's bytes (zero-padded to
// what its length fields say; at least the length fields are present).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/types.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler_sim.h"
#include "ui/module/driver_ui.h"

namespace {

constexpr WCHAR kPrinter[] = u"Fuzz Printer";
constexpr DWORD kLengthFields = 72;  // the device mode up to dmDriverExtra
constexpr LONG kDevModeBytes = 1548;
constexpr DWORD CDM_CONVERT = 1;
constexpr DWORD CDM_DRIVER_DEFAULT = 4;

DrvConvertDevModeProc LoadConversion() {
  static const DrvConvertDevModeProc convert = [] {
    const char* driver = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(driver != nullptr ? driver : QV_DRIVER_DIR);
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    if (!SimAddPrinter(setup)) std::abort();
    HMODULE module = LoadLibraryW(u"qorvexui.dll");
    if (module == nullptr) std::abort();
    auto proc = reinterpret_cast<DrvConvertDevModeProc>(GetProcAddress(module, "DrvConvertDevMode"));
    if (proc == nullptr) std::abort();
    return proc;
  }();
  return convert;
}

WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const DrvConvertDevModeProc convert = LoadConversion();
  const BYTE mode = data[0];
  std::vector<BYTE> head(kLengthFields, 0);
  std::memcpy(head.data(), data + 1, std::min<size_t>(size - 1, kLengthFields));
  const DWORD declared = DWORD(ReadWord(head.data() + 68)) + ReadWord(head.data() + 70);
  std::vector<BYTE> input(std::max(declared, kLengthFields), 0);
  std::memcpy(input.data(), data + 1, std::min<size_t>(size - 1, input.size()));

  LONG outputSize = (mode & 2) ? kDevModeBytes - 1 : (mode & 4) ? kDevModeBytes + 100 : kDevModeBytes;
  std::vector<BYTE> output(outputSize, 0);
  convert(const_cast<LPWSTR>(kPrinter), reinterpret_cast<DEVMODEW*>(input.data()),
          reinterpret_cast<DEVMODEW*>(output.data()), &outputSize, (mode & 1) ? CDM_DRIVER_DEFAULT : CDM_CONVERT);
  return 0;
}
