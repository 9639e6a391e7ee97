// Model defaults and stored records for the conversion tests: a current model "AB-12 X/Y"
// of identity 0x21 whose defaults are known, and helpers to read and write items.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/store/item_access.h"
#include "core/persist/settings_conversion.h"

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

// Item 0x141E: the user name in the per-user part of the configuration.
inline constexpr SettingItemId kUserNameItem = 0x141E;

inline std::u16string ConfigText(PrinterConfiguration* config, SettingItemId id) {
  return ItemText(nullptr, config, id);
}

inline constexpr WORD kCurrentRelease = 0x5010;
inline constexpr WORD kModelIdentity = 0x21;

// The current model's defaults.
inline void BuildTestDefaults(ModelDefaults* d, WORD identity = kModelIdentity) {
  std::memset(d, 0, sizeof *d);
  SettingsRecord* s = &d->settings;
  PutText(s, 1, u"P1");
  PutItem(s, nullptr, 2, 0x401);
  PutItem(s, nullptr, 4, 220);
  PutItem(s, nullptr, 5, 1328);
  PutItem(s, nullptr, 257, 0x5040);
  PutItem(s, nullptr, 258, 0x2142);
  PutText(s, 259, u"AB-12 X/Y");
  PutItem(s, nullptr, 13, 7);
  PutItem(s, nullptr, 265, 3);
  PutItem(s, nullptr, 271, 4);
  PutItem(s, nullptr, 350, 9);
  PutItem(s, nullptr, 1324, 1);
  PutItem(s, nullptr, 1302, 1);
  PutItem(s, nullptr, 348, 300);
  s->bytes[kSettingsExtensionOffset + 3000] = 0xEE;  // a default deep in the extension
  PrinterConfiguration* c = &d->config;
  PutItem(nullptr, c, 8202, kPrinterConfigurationSize);
  PutItem(nullptr, c, 8203, 0x2142);
  PutItem(nullptr, c, 8204, kCurrentRelease);
  PutItem(nullptr, c, 5137, identity);
  PutItem(nullptr, c, 5158, 77);
  PutItem(nullptr, c, 8205, 5);
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
