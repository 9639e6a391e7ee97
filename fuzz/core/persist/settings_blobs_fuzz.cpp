// Settings blobs, stored printer configurations and old device modes come from printer data,
// the registry, side files and applications: parsing and converting them must never read
// outside the bytes given, and what they produce must carry this release's header.
// The first input byte chooses what the rest is: 0 a blob file (extension, TMBINFO, fax
// record), 1 a stored printer configuration, 2 a stored device mode.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/persist/blob_format.h"
#include "core/persist/settings_conversion.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

void Put(SettingsRecord* s, PrinterConfiguration* c, SettingItemId id, DWORD value) {
  ItemLocation location;
  DWORD size = 0;
  if (LocateItem(id, s, c, &location) != kItemDone || !GetValueTypeSize(location.row->type, &size)) __builtin_trap();
  if (SetItemValue(id, s, c, location.row->type, size, &value) != kItemDone) __builtin_trap();
}

// A model "AB-12 X/Y" of identity 0x21 and release 0x5010.
const ModelDefaults& Defaults() {
  static const std::unique_ptr<ModelDefaults> defaults = [] {
    auto d = std::make_unique<ModelDefaults>();
    std::memset(d.get(), 0, sizeof *d);
    SettingsRecord* s = &d->settings;
    Put(s, nullptr, kItemSpecVersion, 0x401);
    Put(s, nullptr, kItemDevmodeSize, 220);
    Put(s, nullptr, kItemDriverExtra, 1328);
    Put(s, nullptr, kItemLayoutVersion, 0x5040);
    Put(s, nullptr, kItemDriverRelease, 0x2142);
    const char16_t* model = u"AB-12 X/Y";
    if (SetItemValue(kItemModelName, s, nullptr, kTypeString, 20, &model) != kItemDone) __builtin_trap();
    Put(s, nullptr, kItemPrintModeDetail, 9);
    PrinterConfiguration* c = &d->config;
    Put(nullptr, c, kItemConfigLength, kPrinterConfigurationSize);
    Put(nullptr, c, kItemConfigLayoutVersion, 0x2142);
    Put(nullptr, c, kItemConfigRelease, 0x5010);
    Put(nullptr, c, kItemModelIdentity, 0x21);
    return d;
  }();
  return *defaults;
}

void FuzzBlobFile(const std::vector<BYTE>& bytes) {
  const DWORD size = DWORD(bytes.size());
  std::vector<BYTE> extension(kSettingsExtensionSize);
  const std::vector<BYTE> defaults(kSettingsExtensionSize, 0xDD);
  DWORD cursor = 0;
  if (!ParseExtensionBlob(bytes.data(), size, &cursor, extension.data(), defaults.data())) return;
  if (cursor > size || extension[0] != 0x40 || extension[1] != 0x50) __builtin_trap();
  BYTE* tmb = nullptr;
  DWORD tmbSize = 0;
  if (!ParseTmbInfoBlob(bytes.data(), size, &cursor, &tmb, &tmbSize)) return;
  if (cursor > size || (tmbSize == 0) != (tmb == nullptr)) __builtin_trap();
  GlobalFree(tmb);
  BYTE* fax = nullptr;
  DWORD faxSize = 0;
  if (ParseFaxSendListBlob(bytes.data(), size, cursor, &fax, &faxSize)) {
    if (faxSize != size - cursor) __builtin_trap();
    GlobalFree(fax);
  }
}

void FuzzConfiguration(const std::vector<BYTE>& bytes) {
  auto stored = std::make_unique<PrinterConfiguration>();
  std::memset(stored.get(), 0, sizeof *stored);
  if (!bytes.empty())
    std::memcpy(stored->bytes, bytes.data(), bytes.size() < kPrinterConfigurationSize ? bytes.size() : kPrinterConfigurationSize);
  auto out = std::make_unique<PrinterConfiguration>();
  const int r = ConvertConfigurationOverDefaults(*stored, out.get(), Defaults(), (bytes.size() & 1) != 0);
  if (r < 0 || r > 2) __builtin_trap();
  ConfigurationHeader header;
  if (!ReadConfigurationHeader(out.get(), &header) || header.layout != 0x2142) __builtin_trap();
}

void FuzzDocument(const std::vector<BYTE>& bytes) {
  auto out = std::make_unique<SettingsRecord>();
  std::memset(out.get(), 0, sizeof *out);
  auto config = std::make_unique<PrinterConfiguration>(Defaults().config);
  std::vector<BYTE> extension(kSettingsExtensionSize);
  const int r = ConvertSettingsOverDefaults(bytes.data(), DWORD(bytes.size()), out->bytes, Defaults(), config.get(),
                                            extension.data());
  if (r < 0 || r > 2) __builtin_trap();
  if (GetItemNumber(out.get(), nullptr, kItemDevmodeSize, kTypeUInt16) != 220 ||
      GetItemNumber(out.get(), nullptr, kItemDriverExtra, kTypeUInt16) != 1328)
    __builtin_trap();
  if (r != 1 && GetItemNumber(out.get(), nullptr, kItemLayoutVersion, kTypeUInt16) != 0x5040) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 8192) return 0;
  // An exact copy of the rest, so any read past it is caught.
  const std::vector<BYTE> bytes(data + 1, data + size);
  switch (data[0] % 3) {
    case 0: FuzzBlobFile(bytes); break;
    case 1: FuzzConfiguration(bytes); break;
    default: FuzzDocument(bytes); break;
  }
  return 0;
}
