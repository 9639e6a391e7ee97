// Printer DCs: the application side of printing (printer_dc.h). A printer DC keeps the printer
// handle GDI hands its user-interface module, that module and its DrvDocumentEvent, and the
// graphics engine's device context on the printer's graphics module; engine drivers are shared
// by the DCs of one driver file.
#include "platform/engine/printer_dc.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/engine_sim.h"
#include "platform/engine/printer_drawing.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"

namespace {

struct SharedDriver {
  std::u16string path;
  EngineDriver* driver;
  int users;
};

struct PrinterDevice {
  HANDLE printer = nullptr;  // GDI's own handle, given with every document event
  HMODULE userInterface = nullptr;
  DrvDocumentEventProc event = nullptr;
  EngineDriver* driver = nullptr;
  EngineDc* engine = nullptr;
  bool inDoc = false;
  bool inPage = false;
};

struct State {
  std::recursive_mutex lock;
  std::map<HDC, std::shared_ptr<PrinterDevice>> devices;
  std::vector<SharedDriver> drivers;
  std::vector<SimDocumentEvent> events;
  std::vector<SimPrinterEscape> escapes;
};

State& GetState() {
  static State state;
  return state;
}

void ForgetEvents() {
  std::lock_guard guard(GetState().lock);
  GetState().events.clear();
  GetState().escapes.clear();
}
const bool registeredReset = (SimAddResetHook(&ForgetEvents), true);

// The device of a printer DC; NULL with ERROR_INVALID_HANDLE for any other handle. The device
// is held by the caller while the modules run (they may call back into the DC).
std::shared_ptr<PrinterDevice> DeviceOf(HDC dc) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  auto it = state.devices.find(dc);
  if (it == state.devices.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second;
}

int SendEvent(const PrinterDevice& device, HDC dc, int event, ULONG cbIn, PVOID in, ULONG cbOut, PVOID out) {
  if (device.event == nullptr) return DOCUMENTEVENT_UNSUPPORTED;
  const int result = device.event(device.printer, dc, event, cbIn, in, cbOut, out);
  std::lock_guard guard(GetState().lock);
  GetState().events.push_back(SimDocumentEvent{event, result});
  return result;
}

EngineDriver* AcquireDriver(const std::u16string& path) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  for (SharedDriver& shared : state.drivers)
    if (shared.path == path) {
      ++shared.users;
      return shared.driver;
    }
  EngineDriver* driver = EngineLoadDriver(path.c_str());
  if (driver != nullptr) state.drivers.push_back(SharedDriver{path, driver, 1});
  return driver;
}

void ReleaseDriver(EngineDriver* driver) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  for (auto it = state.drivers.begin(); it != state.drivers.end(); ++it)
    if (it->driver == driver && --it->users == 0) {
      EngineUnloadDriver(driver);
      state.drivers.erase(it);
      return;
    }
}

// The driver info's graphics module and user-interface module paths.
bool ReadDriverFiles(HANDLE printer, std::u16string& graphics, std::u16string& userInterface) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
  if (needed < sizeof(DRIVER_INFO_2W)) return false;
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), needed, &needed)) return false;
  const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
  if (info->pDriverPath == nullptr || info->pConfigFile == nullptr) return false;
  graphics = info->pDriverPath;
  userInterface = info->pConfigFile;
  return true;
}

// Releases what a device holds (modules, printer handle), keeping the caller's last error.
void CloseDevice(PrinterDevice& device) {
  const DWORD error = GetLastError();
  if (device.engine != nullptr) EngineDeleteDC(device.engine);
  if (device.driver != nullptr) ReleaseDriver(device.driver);
  if (device.userInterface != nullptr) FreeLibrary(device.userInterface);
  if (device.printer != nullptr) ClosePrinter(device.printer);
  device = PrinterDevice{};
  SetLastError(error);
}

int EndPageOf(HDC dc, PrinterDevice& device) {
  if (!device.inPage) return SP_ERROR;
  // The module may still draw into the page (stamps, job information).
  const int event = SendEvent(device, dc, DOCUMENTEVENT_ENDPAGE, 0, nullptr, 0, nullptr);
  const BOOL ended = EngineEndPage(device.engine);
  device.inPage = false;
  return ended && event != DOCUMENTEVENT_FAILURE ? 1 : SP_ERROR;
}

int AbortDocOf(HDC dc, PrinterDevice& device) {
  if (!device.inDoc) return SP_ERROR;
  SendEvent(device, dc, DOCUMENTEVENT_ABORTDOC, 0, nullptr, 0, nullptr);
  const BOOL aborted = EngineAbortDoc(device.engine);
  device.inDoc = device.inPage = false;
  return aborted ? 1 : SP_ERROR;
}

// ExtEscape on a printer DC: the graphics module's DrvEscape, kept for SimPrinterEscapes.
int EscapeOf(HDC dc, int escape, int cbIn, LPCSTR in, int cbOut, LPSTR out) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return 0;
  if (cbIn < 0 || cbOut < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const int result = EngineEscape(device->engine, static_cast<ULONG>(escape), static_cast<ULONG>(cbIn),
                                  const_cast<char*>(in), static_cast<ULONG>(cbOut), out);
  const auto* bytes = reinterpret_cast<const BYTE*>(in);
  std::lock_guard guard(GetState().lock);
  GetState().escapes.push_back(SimPrinterEscape{
      escape, bytes != nullptr ? std::vector<BYTE>(bytes, bytes + cbIn) : std::vector<BYTE>{}, cbOut, result});
  return result;
}

// DeleteDC of a printer DC: the document aborted when one runs, DELETEDC, the engine's device
// context and the modules released.
void ReleaseOf(HDC dc) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return;
  if (device->inDoc) AbortDocOf(dc, *device);
  SendEvent(*device, dc, DOCUMENTEVENT_DELETEDC, 0, nullptr, 0, nullptr);
  {
    std::lock_guard guard(GetState().lock);
    GetState().devices.erase(dc);
  }
  CloseDevice(*device);
}

// What GDI calls for a printer DC.
constexpr gdi::PrinterDcCalls kPrinterDcCalls = {
    .lines = gdi::PrinterLines,
    .polygon = gdi::PrinterPolygon,
    .rectangle = gdi::PrinterRectangle,
    .fillRect = gdi::PrinterFillRect,
    .text = gdi::PrinterText,
    .image = gdi::PrinterImage,
    .deviceCaps = gdi::PrinterDeviceCaps,
    .escape = EscapeOf,
    .release = ReleaseOf,
};

}  // namespace

HDC CreateDCW(LPCWSTR driverName, LPCWSTR deviceName, LPCWSTR /*output*/, const DEVMODEW* devMode) {
  if (deviceName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto device = std::make_shared<PrinterDevice>();
  std::u16string graphics, userInterface;
  if (!OpenPrinterW(deviceName, &device->printer, nullptr)) return nullptr;
  if (!ReadDriverFiles(device->printer, graphics, userInterface)) {
    CloseDevice(*device);
    return nullptr;
  }
  device->userInterface = LoadLibraryW(userInterface.c_str());
  if (device->userInterface == nullptr) {
    CloseDevice(*device);
    return nullptr;
  }
  device->event = reinterpret_cast<DrvDocumentEventProc>(GetProcAddress(device->userInterface, "DrvDocumentEvent"));

  // Before the DC exists the module may hand out the devmode the DC is to use.
  std::u16string driverText = driverName != nullptr ? driverName : u"";
  std::u16string deviceText = deviceName;
  DOCEVENT_CREATEDCPRE pre{driverText.data(), deviceText.data(), const_cast<DEVMODEW*>(devMode), FALSE};
  DEVMODEW* chosen = nullptr;
  if (SendEvent(*device, nullptr, DOCUMENTEVENT_CREATEDCPRE, sizeof pre, &pre, sizeof chosen, &chosen) ==
      DOCUMENTEVENT_FAILURE) {
    // What the module made at CREATEDCPRE is dropped again, as for a deleted DC.
    SendEvent(*device, nullptr, DOCUMENTEVENT_DELETEDC, 0, nullptr, 0, nullptr);
    CloseDevice(*device);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  device->driver = AcquireDriver(graphics);
  if (device->driver != nullptr)
    device->engine = EngineCreateDC(device->driver, deviceName, chosen != nullptr ? chosen : devMode);
  if (device->engine == nullptr) {
    // The module frees the devmode it handed out, then forgets the DC that never came to be.
    const DWORD error = GetLastError();
    SendEvent(*device, nullptr, DOCUMENTEVENT_CREATEDCPOST, sizeof chosen, &chosen, 0, nullptr);
    SendEvent(*device, nullptr, DOCUMENTEVENT_DELETEDC, 0, nullptr, 0, nullptr);
    CloseDevice(*device);
    SetLastError(error != ERROR_SUCCESS ? error : ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HDC dc = gdi::InsertPrinterDc(device->engine, &kPrinterDcCalls);
  {
    std::lock_guard guard(GetState().lock);
    GetState().devices[dc] = device;
  }
  SendEvent(*device, dc, DOCUMENTEVENT_CREATEDCPOST, sizeof chosen, &chosen, 0, nullptr);
  return dc;
}

HDC ResetDCW(HDC dc, const DEVMODEW* devMode) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return nullptr;
  if (device->inPage) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const DEVMODEW* given = devMode;
  DEVMODEW* chosen = nullptr;
  if (SendEvent(*device, dc, DOCUMENTEVENT_RESETDCPRE, sizeof given, &given, sizeof chosen, &chosen) ==
      DOCUMENTEVENT_FAILURE)
    return nullptr;
  const BOOL reset = EngineResetDC(device->engine, chosen != nullptr ? chosen : devMode);
  // The module frees the devmode it handed out whether or not the reset took.
  SendEvent(*device, dc, DOCUMENTEVENT_RESETDCPOST, sizeof chosen, &chosen, 0, nullptr);
  return reset ? dc : nullptr;
}

int StartDocW(HDC dc, const DOCINFOW* info) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return SP_ERROR;
  if (device->inDoc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return SP_ERROR;
  }
  if (SendEvent(*device, dc, DOCUMENTEVENT_STARTDOCPRE, info != nullptr ? sizeof(DOCINFOW) : 0,
                const_cast<DOCINFOW*>(info), 0, nullptr) == DOCUMENTEVENT_FAILURE)
    return SP_ERROR;
  const LPCWSTR name = info != nullptr && info->lpszDocName != nullptr ? info->lpszDocName : u"";
  if (!EngineStartDoc(device->engine, name)) return SP_ERROR;
  device->inDoc = true;
  DWORD jobId = EngineDcJobId(device->engine);
  if (SendEvent(*device, dc, DOCUMENTEVENT_STARTDOCPOST, sizeof jobId, &jobId, 0, nullptr) == DOCUMENTEVENT_FAILURE) {
    AbortDocOf(dc, *device);
    return SP_ERROR;
  }
  return static_cast<int>(jobId);
}

int StartPage(HDC dc) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return 0;
  if (!device->inDoc || device->inPage) return SP_ERROR;
  if (SendEvent(*device, dc, DOCUMENTEVENT_STARTPAGE, 0, nullptr, 0, nullptr) == DOCUMENTEVENT_FAILURE) return SP_ERROR;
  if (!EngineStartPage(device->engine)) return SP_ERROR;
  device->inPage = true;
  return 1;
}

int EndPage(HDC dc) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return 0;
  return EndPageOf(dc, *device);
}

int EndDoc(HDC dc) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return 0;
  if (!device->inDoc) return SP_ERROR;
  bool failed = device->inPage && EndPageOf(dc, *device) == SP_ERROR;
  // The module may add a page of its own before the document ends; a failure there is
  // reported, but the document still ends.
  failed |= SendEvent(*device, dc, DOCUMENTEVENT_ENDDOCPRE, 0, nullptr, 0, nullptr) == DOCUMENTEVENT_FAILURE;
  failed |= !EngineEndDoc(device->engine);
  device->inDoc = device->inPage = false;
  SendEvent(*device, dc, DOCUMENTEVENT_ENDDOCPOST, 0, nullptr, 0, nullptr);
  return failed ? SP_ERROR : 1;
}

int AbortDoc(HDC dc) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  if (device == nullptr) return 0;
  return AbortDocOf(dc, *device);
}

std::vector<SimDocumentEvent> SimDocumentEvents() {
  std::lock_guard guard(GetState().lock);
  return GetState().events;
}

std::vector<SimPrinterEscape> SimPrinterEscapes() {
  std::lock_guard guard(GetState().lock);
  return GetState().escapes;
}

EngineDc* SimPrinterDcEngine(HDC dc) {
  std::shared_ptr<PrinterDevice> device = DeviceOf(dc);
  return device != nullptr ? device->engine : nullptr;
}
