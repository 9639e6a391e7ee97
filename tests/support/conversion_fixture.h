// Model defaults and stored records for the conversion tests: a current model "AB-12 X/Y"
// of identity 0x21 whose defaults are known, and helpers to read and write items.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/store/item_access.h"
#include "core/persist/settings_conversion.h"
#include "items/item_ids.h"

namespace printer_test {

inline void PutItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, DWORD value) {
  ItemLocation location;
  ASSERT_EQ(LocateItem(id, settings, config, &location), kItemDone) << id;
  DWORD size = 0;
  GetValueTypeSize(location.row->type, &size);
  ASSERT_EQ(SetItemValue(id, settings, config, location.row->type, size, &value), kItemDone) << id;
}

inline DWORD ItemOf(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id) {
  ValueTypeCode type;
  DWORD length;
  BYTE cell[8] = {};
  EXPECT_EQ(GetItemValue(id, settings, config, &type, &length, cell), kItemDone) << id;
  DWORD v = 0;
  std::memcpy(&v, cell, length < 4 ? length : 4);
  return v;
}

inline void PutText(SettingsRecord* settings, SettingItemId id, const std::u16string& text) {
  const char16_t* p = text.c_str();
  ASSERT_EQ(SetItemValue(id, settings, nullptr, kTypeString, DWORD(2 * text.size() + 2), &p), kItemDone) << id;
}

// The text of a string item of the settings or of the configuration.
inline std::u16string ItemText(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id) {
  ValueTypeCode type;
  DWORD length;
  const char16_t* p = nullptr;
  EXPECT_EQ(GetItemValue(id, settings, config, &type, &length, &p), kItemDone);
  return p != nullptr ? std::u16string(p) : std::u16string();
}

inline std::u16string TextOf(SettingsRecord* settings, SettingItemId id) { return ItemText(settings, nullptr, id); }

inline std::u16string ConfigText(PrinterConfiguration* config, SettingItemId id) {
  return ItemText(nullptr, config, id);
}

inline constexpr WORD kCurrentRelease = 0x5010;
inline constexpr WORD kModelIdentity = 0x21;

// The current model's defaults.
inline void BuildTestDefaults(ModelDefaults* d, WORD identity = kModelIdentity) {
  std::memset(d, 0, sizeof *d);
  SettingsRecord* s = &d->settings;
  PutText(s, kItemDeviceName, u"P1");
  PutItem(s, nullptr, kItemSpecVersion, 0x401);
  PutItem(s, nullptr, kItemDevmodeSize, 220);
  PutItem(s, nullptr, kItemDriverExtra, 1328);
  PutItem(s, nullptr, kItemLayoutVersion, 0x5040);
  PutItem(s, nullptr, kItemDriverRelease, 0x2142);
  PutText(s, kItemModelName, u"AB-12 X/Y");
  PutItem(s, nullptr, kItemDefaultSource, 7);
  PutItem(s, nullptr, kItemPaperSource, 3);
  PutItem(s, nullptr, kItemPrintMode, 4);
  PutItem(s, nullptr, kItemPrintModeDetail, 9);
  PutItem(s, nullptr, kItemScaleFieldFlag, 1);
  PutItem(s, nullptr, kItemLowRasterResolution, 1);
  PutItem(s, nullptr, kItemPatternResolution, 300);
  s->bytes[kSettingsExtensionOffset + 3000] = 0xEE;  // a default deep in the extension
  PrinterConfiguration* c = &d->config;
  PutItem(nullptr, c, kItemConfigLength, kPrinterConfigurationSize);
  PutItem(nullptr, c, kItemConfigLayoutVersion, 0x2142);
  PutItem(nullptr, c, kItemConfigRelease, kCurrentRelease);
  PutItem(nullptr, c, kItemModelIdentity, identity);
  PutItem(nullptr, c, kItemBookletSubsetDevice, 77);
  PutItem(nullptr, c, kItemStreamVersion, 5);
}

// A stored device mode of a layout: the public part of the defaults with dmSize 220, the given
// dmDriverExtra, and the header behind the public part.
inline std::vector<BYTE> StoredRecord(const ModelDefaults& d, WORD layout, WORD driverExtra,
                                      const std::u16string& model = u"AB-12 X/Y") {
  std::vector<BYTE> r(220 + driverExtra, 0);
  std::memcpy(r.data(), d.settings.bytes, 220 < r.size() ? 220 : r.size());
  r[70] = BYTE(driverExtra);
  r[71] = BYTE(driverExtra >> 8);
  if (r.size() >= 224) {
    r[220] = BYTE(layout);
    r[221] = BYTE(layout >> 8);
    r[222] = 0x00;
    r[223] = 0x21;
  }
  for (size_t i = 0; i < model.size() && 224 + 2 * i + 1 < r.size(); ++i) {
    r[224 + 2 * i] = BYTE(model[i]);
    r[225 + 2 * i] = BYTE(model[i] >> 8);
  }
  return r;
}

inline void PutU16(std::vector<BYTE>& b, size_t at, DWORD v) {
  b[at] = BYTE(v);
  b[at + 1] = BYTE(v >> 8);
}
inline void PutU32(std::vector<BYTE>& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

}  // namespace printer_test
