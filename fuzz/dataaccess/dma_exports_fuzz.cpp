// Drives every export of qorvexdata.dll, loaded by name, with arbitrary ids, types, lengths
// and bytes, on records whose fields hold arbitrary bytes (unterminated texts included). Every
// caller buffer is exactly as long as the call says, so a read or write past it is caught.
//
// Input: call (1 byte), flags (1: code page 932, 2: no SettingsRecord, 4: no
// PrinterConfiguration, 8: no buffer), id (2), length (4), type (2), then the payload: the
// caller's bytes, also repeated through both records before the call.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "dataaccess/dma_interface.h"
#include "items/item_tables.h"
#include "items/user_setting_info.h"
#include "platform/base/types.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"

namespace {

using EngineGetProc = ItemAccessResult (*)(SettingItemId, SettingsRecord*, PrinterConfiguration*, ValueTypeCode*,
                                           DWORD*, void*, ItemArea*);
using EngineSetProc = ItemAccessResult (*)(SettingItemId, SettingsRecord*, PrinterConfiguration*, ValueTypeCode,
                                           DWORD, const void*);

struct Exports {
  EngineGetProc engineGet;
  EngineSetProc engineSet;
  DmaGetValueProc getValue;
  DmaSetValueProc setValue;
  DmaGetStringDataProc getString;
  DmaSetStringDataProc setString;
  DmaGetLogFontDataProc getFont;
  DmaSetLogFontDataProc setFont;
  DmaGetUserSettingInfoProc getUserInfo;
  DmaSetUserSettingInfoProc setUserInfo;
};

const Exports& LoadExports() {
  static const Exports exports = [] {
    const char* driver = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(driver != nullptr ? driver : QV_DRIVER_DIR);
    HMODULE module = LoadLibraryW(u"qorvexdata.dll");
    if (module == nullptr) std::abort();
    auto bind = [module](const char* name) {
      FARPROC proc = GetProcAddress(module, name);
      if (proc == nullptr) std::abort();
      return proc;
    };
    return Exports{reinterpret_cast<EngineGetProc>(bind("dma_GetValue")),
                   reinterpret_cast<EngineSetProc>(bind("dma_SetValue")),
                   reinterpret_cast<DmaGetValueProc>(bind("DMA_GetValue")),
                   reinterpret_cast<DmaSetValueProc>(bind("DMA_SetValue")),
                   reinterpret_cast<DmaGetStringDataProc>(bind("DMA_GetStringData")),
                   reinterpret_cast<DmaSetStringDataProc>(bind("DMA_SetStringData")),
                   reinterpret_cast<DmaGetLogFontDataProc>(bind("DMA_GetLogFontData")),
                   reinterpret_cast<DmaSetLogFontDataProc>(bind("DMA_SetLogFontData")),
                   reinterpret_cast<DmaGetUserSettingInfoProc>(bind("DMA_GetUserSettingInfo")),
                   reinterpret_cast<DmaSetUserSettingInfoProc>(bind("DMA_SetUserSettingInfo"))};
  }();
  return exports;
}

template <typename T>
T Take(const std::uint8_t* data) {
  T v;
  std::memcpy(&v, data, sizeof v);
  return v;
}

void FillWith(BYTE* bytes, size_t size, const std::uint8_t* payload, size_t payloadSize) {
  if (payloadSize == 0) return;
  for (size_t i = 0; i < size; ++i) bytes[i] = payload[i % payloadSize];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr size_t kHeader = 10;
  if (size < kHeader) return 0;
  const Exports& dll = LoadExports();
  const BYTE call = data[0], flags = data[1];
  const WORD id = Take<WORD>(data + 2);
  const DWORD declared = Take<DWORD>(data + 4);
  const WORD type = Take<WORD>(data + 8);
  const std::uint8_t* payload = data + kHeader;
  const size_t payloadSize = size - kHeader;
  SimSetAnsiCodePage(flags & 1 ? 932 : 1252);

  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  FillWith(settings->bytes, sizeof settings->bytes, payload, payloadSize);
  FillWith(config->bytes, sizeof config->bytes, payload, payloadSize);
  auto context = std::make_unique<DmaContext>();
  FillWith(reinterpret_cast<BYTE*>(context->modelName), sizeof context->modelName, payload, payloadSize);
  context->settings = flags & 2 ? nullptr : settings.get();
  context->config = flags & 4 ? nullptr : config.get();

  // The caller's buffer: exactly the payload; a length never claims more than it holds.
  std::vector<char> buffer(payload, payload + payloadSize);
  char* bytes = flags & 8 ? nullptr : buffer.data();
  DWORD length = payloadSize == 0 ? 0 : declared % (payloadSize + 1);
  DWORD value = declared;
  switch (call % 10) {
    case 0: {
      ValueTypeCode outType;
      DWORD outLength;
      ItemArea area;
      BYTE out[sizeof(ULONG_PTR)];
      dll.engineGet(id, context->settings, context->config, &outType, &outLength, out, &area);
      break;
    }
    case 1: {
      // Numbers by value (at most 4 bytes are read), strings and fonts by pointer.
      const void* pointer = bytes;
      BYTE number[8] = {};
      std::memcpy(number, payload, std::min<size_t>(payloadSize, sizeof number));
      const bool byPointer = type == kTypeString || type == kTypeFont;
      dll.engineSet(id, context->settings, context->config, type, byPointer ? length : declared,
                    flags & 8 ? nullptr : byPointer ? static_cast<const void*>(&pointer) : number);
      break;
    }
    case 2: dll.getValue(context.get(), id, flags & 8 ? nullptr : &value); break;
    case 3: dll.setValue(context.get(), id, value); break;
    case 4: dll.getString(context.get(), id, bytes, &length); break;
    case 5: dll.setString(context.get(), id, bytes, length); break;
    case 6: dll.getFont(context.get(), id, reinterpret_cast<LOGFONTA*>(bytes), &length); break;
    case 7: dll.setFont(context.get(), id, reinterpret_cast<const LOGFONTA*>(bytes), length); break;
    case 8: dll.getUserInfo(context.get(), bytes, &length); break;
    case 9: {
      // The block has no length: the caller hands a whole one.
      std::vector<BYTE> block(kUserSettingInfoSize);
      std::memcpy(block.data(), payload, std::min<size_t>(payloadSize, block.size()));
      dll.setUserInfo(context.get(), flags & 8 ? nullptr : block.data());
      break;
    }
  }
  return 0;
}
