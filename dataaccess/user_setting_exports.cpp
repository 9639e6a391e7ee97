// The DMA_ exports that exchange the per-user part of the PrinterConfiguration as one
// UserSettingInfo block.
#include <cstring>

#include "dataaccess/dma_interface.h"
#include "items/item_engine.h"
#include "items/user_setting_info.h"
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"

namespace {

// The context's name in the model-name field: up to its 32 characters, which fill it without a
// terminator.
void WriteModelName(const DmaContext* context, BYTE* block) {
  const int n = int(strnlen(context->modelName, sizeof context->modelName));
  WCHAR wide[sizeof context->modelName + 1] = {};
  const int count = n == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, context->modelName, n, wide, n);
  const int kept = count < int(kUserSettingModelNameChars) ? count : int(kUserSettingModelNameChars);
  std::memcpy(block + kUserSettingModelNameOffset, wide, size_t(kept) * 2);
}

// One field of the block from the PrinterConfiguration.
bool ReadField(PrinterConfiguration* config, const ItemLayoutRow& row, BYTE* block) {
  if (row.type == kTypeString) {
    ItemLocation location;
    if (LocateItem(row.id, nullptr, config, &location) != kItemDone) return false;
    std::memcpy(block + row.offset, location.address, std::min(row.byteLength, location.row->byteLength));
    return true;
  }
  ValueTypeCode type;
  DWORD length;
  ItemArea area;
  BYTE value[sizeof(ULONG_PTR)] = {};
  if (itemengine::dma_GetValue(row.id, nullptr, config, &type, &length, value, &area) != kItemDone) return false;
  std::memcpy(block + row.offset, value, row.byteLength);
  return true;
}

ItemAccessResult WriteField(PrinterConfiguration* config, const ItemLayoutRow& row, const BYTE* block) {
  const BYTE* field = block + row.offset;
  if (row.type == kTypeString) return itemengine::dma_SetValue(row.id, nullptr, config, row.type, row.byteLength, &field);
  return itemengine::dma_SetValue(row.id, nullptr, config, row.type, row.byteLength, field);
}

}  // namespace

DLLEXPORT DmaResult WINAPI DMA_GetUserSettingInfo(DmaContext* context, void* block, DWORD* length) {
  if (context == nullptr || length == nullptr) return kDmaFailed;
  if (block == nullptr && *length == 0) {
    *length = kUserSettingInfoSize;
    return kDmaTooSmall;
  }
  if (block == nullptr) return kDmaFailed;
  if (*length < kUserSettingInfoSize) return kDmaTooSmall;
  BYTE work[kUserSettingInfoSize] = {};
  std::memcpy(work, &kUserSettingInfoVersion, 2);
  WriteModelName(context, work);
  for (const auto& list : UserSettingFieldTable)
    for (const ItemLayoutRow& row : list)
      if (!ReadField(context->config, row, work)) return kDmaFailed;
  std::memcpy(block, work, sizeof work);
  return kDmaDone;
}

DLLEXPORT DmaResult WINAPI DMA_SetUserSettingInfo(DmaContext* context, const void* block) {
  if (context == nullptr || block == nullptr) return kDmaFailed;
  BYTE work[kUserSettingInfoSize] = {};
  if (!ConvertUserSettingInfo(static_cast<const BYTE*>(block), work)) return kDmaFailed;
  // Lists 2 and 3 in order; the first failing field stops the walk (those before stay written).
  for (size_t list = 1; list < UserSettingFieldTable.size(); ++list)
    for (const ItemLayoutRow& row : UserSettingFieldTable[list])
      if (WriteField(context->config, row, work) != kItemDone) return kDmaFailed;
  return kDmaDone;
}
