// UserSettingInfo: extraction from and application to a printer configuration, storage per
// user and in printer data, and the neutral values.
#include "core/persist/user_setting_store.h"

#include <cstring>

#include "core/database/database.h"
#include "core/database/model_texts.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "items/user_setting_info.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kUserSettingInfoValue[] = u"UserSettingInfo";
constexpr DWORD kFirstBlockLengthOffset = 72, kFirstBlockOffset = 74, kFirstBlockLength = 354;
constexpr DWORD kSecondBlockLengthOffset = 428, kSecondBlockOffset = 432, kSecondBlockLength = 548;
// Fields that take the neutral name, and the flags that are on by default.
constexpr DWORD kNeutralNameFields[] = {432, 642};
constexpr DWORD kNeutralOnFlags[] = {628, 632, 636};
constexpr DWORD kNeutralNameChars = 32;

void PutU16(BYTE* p, DWORD v) {
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
}

// Copies one configuration item into its field of the block.
bool ExtractField(PrinterConfiguration* config, const ItemLayoutRow& row, BYTE* info) {
  ValueTypeCode type;
  DWORD length;
  BYTE cell[8] = {};
  if (GetItemValue(row.id, nullptr, config, &type, &length, cell) != kItemDone) return false;
  BYTE* field = info + row.offset;
  switch (type) {
    case kTypeFlag:
    case kTypeUInt16:
    case kTypeUInt8:
      // Only the field's own bytes of the zero-extended value.
      std::memcpy(field, cell, row.byteLength);
      return true;
    case kTypeString: {
      const BYTE* text;
      std::memcpy(&text, cell, sizeof text);
      std::memcpy(field, text, length < row.byteLength ? length : row.byteLength);
      return true;
    }
    default: return false;
  }
}

// The neutral name, cut to 32 characters; empty when the resource is missing.
void LoadNeutralName(WCHAR* name) {
  name[0] = 0;
  AcquireResourceModule();
  HMODULE module = GetResourceModule();
  if (module == nullptr || LoadStringW(module, kNeutralUserNameString, name, kNeutralNameChars + 1) <= 0) name[0] = 0;
  ReleaseResourceModule();
}

}  // namespace

int FillDefaultUserSettingInfo(BYTE* info) {
  if (info == nullptr) return 0;
  for (size_t list = 1; list < UserSettingFieldTable.size(); ++list)
    for (const ItemLayoutRow& row : UserSettingFieldTable[list]) std::memset(info + row.offset, 0, row.byteLength);
  WCHAR name[kNeutralNameChars + 1];
  LoadNeutralName(name);
  for (DWORD offset : kNeutralNameFields)
    for (DWORD i = 0; name[i] != 0; ++i) PutU16(info + offset + 2 * i, name[i]);
  for (DWORD offset : kNeutralOnFlags) info[offset] = 1;
  return 1;
}

int ExtractUserSettingInfo(HANDLE printer, PrinterConfiguration* config, BYTE* info) {
  if (config == nullptr || info == nullptr) return 0;
  std::memset(info, 0, kUserSettingInfoSize);
  PutU16(info, kUserSettingInfoVersion);
  PutU16(info + kFirstBlockLengthOffset, kFirstBlockLength);
  PutU16(info + kSecondBlockLengthOffset, kSecondBlockLength);
  for (const auto& list : UserSettingFieldTable)
    for (const ItemLayoutRow& row : list)
      if (!ExtractField(config, row, info)) return 0;
  LPWSTR model = ReadModelNameText(printer);
  if (model == nullptr) return 0;
  for (DWORD i = 0; i < kUserSettingModelNameChars && model[i] != 0; ++i)
    PutU16(info + kUserSettingModelNameOffset + 2 * i, model[i]);
  ReleaseGlobalBlock(model);
  return 1;
}

int ApplyUserSettingInfo(PrinterConfiguration* config, const BYTE* info, WORD kind) {
  if (config == nullptr || info == nullptr) return 0;
  const bool first = kind != kUserInfoKeepFirst;
  const bool second = kind == kUserInfoBoth || kind == kUserInfoKeepFirst;
  for (size_t list = 1; list < UserSettingFieldTable.size(); ++list) {
    if ((list == 1 && !first) || (list == 2 && !second)) continue;
    for (const ItemLayoutRow& row : UserSettingFieldTable[list]) {
      const BYTE* field = info + row.offset;
      const ItemAccessResult r = row.type == kTypeString
                                     ? SetItemValue(row.id, nullptr, config, row.type, row.byteLength, &field)
                                     : SetItemValue(row.id, nullptr, config, row.type, row.byteLength, field);
      if (r != kItemDone) return 0;
    }
  }
  return 1;
}

int SaveUserSettingInfo(HANDLE printer, BYTE* info, WORD kind) {
  if (info == nullptr) return 0;
  if (kind == kUserInfoPrinterData)
    return WritePrinterDataValue(printer, info, kUserSettingInfoSize, kUserSettingInfoData) == 1 ? 1 : 0;
  if (kind == kUserInfoKeepFirst || kind == kUserInfoKeepSecond) {
    BYTE stored[kUserSettingInfoSize] = {};
    DWORD size = sizeof stored;
    const int read = ReadUserValue(printer, stored, &size, REG_BINARY, nullptr, kUserSettingInfoValue);
    if (read == kUserValueRead) {
      // The caller's length word says how much to take, never more than its block holds.
      const bool firstBlock = kind == kUserInfoKeepFirst;
      const DWORD at = firstBlock ? kFirstBlockOffset : kSecondBlockOffset;
      const DWORD cap = firstBlock ? kFirstBlockLength : kSecondBlockLength;
      DWORD length = GetLE16(info + (firstBlock ? kFirstBlockLengthOffset : kSecondBlockLengthOffset));
      if (length > cap) length = cap;
      std::memcpy(info + at, stored + at, length);
    } else if (read != kUserValueAbsent) {
      return 0;
    }
  }
  return WriteUserValue(printer, info, kUserSettingInfoSize, REG_BINARY, nullptr, kUserSettingInfoValue);
}

int LoadUserSettingInfo(HANDLE printer, BYTE* info, WORD kind, LPCWSTR userBase) {
  if (info == nullptr) return 0;
  // Whatever is stored is read into a zeroed block of the full size first, so a short stored
  // block is never read beyond its end.
  BYTE work[kUserSettingInfoSize] = {};
  bool found = false;
  if (kind != kUserInfoPrinterData) {
    DWORD size = sizeof work;
    const int read = ReadUserValue(printer, work, &size, REG_BINARY, nullptr, kUserSettingInfoValue, userBase);
    if (read == kUserStoreUnavailable) return 0;
    found = read == kUserValueRead;
  }
  if (!found) {
    DWORD size = 0;
    BYTE* block = nullptr;
    if (ReadPrinterDataValue(printer, &size, kUserSettingInfoData, &block, FALSE) == 1 && block != nullptr) {
      std::memcpy(work, block, size < sizeof work ? size : sizeof work);
      found = true;
    }
    GlobalFree(block);
  }
  FillDefaultUserSettingInfo(info);
  if (found) ConvertUserSettingInfo(work, info);
  return 1;
}
