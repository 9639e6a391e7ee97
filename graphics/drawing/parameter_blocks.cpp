#include "graphics/drawing/parameter_blocks.h"

#include <cstring>
#include <string>

#include "core/common/typed_value.h"
#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "core/runtime/module_state.h"
#include "core/store/effective_values.h"
#include "core/store/item_store.h"
#include "core/system/temp_path.h"
#include "graphics/device/pdev.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/output/output_channel.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kConditionRecordType = 22;
constexpr WORD kBaseResolution = 600;
constexpr DWORD kDefaultConditionalValue = 64;

constexpr DWORD kWhitePoints[] = {5000, 6500, 9300};
constexpr DWORD kToneValues[] = {10, 14, 18, 22, 26};

constexpr WCHAR kDebugFileTail[] = u"\\Spool\\Drivers\\x64\\3\\VQDBG.tmp";

DWORD Setting(Pdev* pdev, SettingItemId id) { return GetEffectiveItemNumber(&pdev->settings, pdev->config, id); }

BYTE* NewBlock(Pdev* pdev, DWORD bytes) { return static_cast<BYTE*>(AllocCounted(pdev->channel, bytes)); }

// The model's header text of the kind; NULL when the model or the text cannot be read.
LPWSTR ReadModelHeaderText(HANDLE printer, WORD kind) {
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return nullptr;
  LPWSTR text = nullptr;
  if (ReadHeaderText(store->main, kind, &text) != kDbOk) text = nullptr;
  CloseItemStore(store);
  return text;
}

}  // namespace

BOOL CopyAnsiPath(LPCWSTR text, BYTE* out) {
  std::memset(out, 0, kAnsiPathChars);
  const std::string ansi = WideToAnsi(text != nullptr ? std::u16string_view(text) : std::u16string_view());
  if (ansi.size() > kAnsiPathChars - 1) return FALSE;
  std::memcpy(out, ansi.data(), ansi.size());
  return TRUE;
}

signed char DecodeAdjustment(DWORD value) {
  for (int byte = 0; byte < 3; ++byte)
    for (int bit = 0; bit < 7; ++bit)
      if (value == (1u << (8 * byte + bit))) return static_cast<signed char>(bit - 3);
  return 0;
}

WORD LookUpConditionalValue(Pdev* pdev, WORD key) {
  ItemStore* store = OpenItemStore(pdev->printer);
  if (store == nullptr) return 0;
  WORD result = 0;
  const WORD records = CountRecords(store->main, kConditionRecordType);
  for (WORD position = 1; position <= records && position != 0; ++position) {
    ScopedRecord record;
    if (ReadRecord(TRUE, store->main, store->linked, kConditionRecordType, position, &record.record) != kDbOk) continue;
    WORD pairs = 0;
    if (GetPairListCount(record.record, &pairs) != kDbOk || pairs % 2 != 0) continue;
    // Pairs two at a time: the result pair, then the key pair it answers for.
    for (WORD n = 1; n + 1 <= pairs; n += 2) {
      WORD values[2];
      bool readable = true;
      for (int k = 0; k < 2; ++k) {
        WORD length = 0;
        BYTE type = 0;
        const void* value = nullptr;
        ULONG_PTR slot = 0;
        if (GetPairListEntry(record.record, static_cast<WORD>(n + k), &length, &type, &value) != kDbOk ||
            !SetTypedValue(type, &slot, value)) {
          readable = false;
          break;
        }
        values[k] = static_cast<WORD>(slot);
      }
      if (!readable) break;
      if (values[1] == key) {
        result = values[0];
        break;
      }
    }
  }
  CloseItemStore(store);
  return result;
}

int BuildJobParameterBlock(Pdev* pdev, DrawingLibrarySession* session) {
  BYTE* block = NewBlock(pdev, kJobParameterBlockBytes);
  if (block == nullptr) return -1;
  session->jobBlock = block;
  // The fixed words, by offset.
  static constexpr struct {
    DWORD offset;
    DWORD value;
  } kWords[] = {{0, kJobParameterBlockBytes}, {12, 1}, {16, 1}, {20, 1}, {24, 3}, {28, 4}, {32, 1}, {36, 1},
                {40, 1}, {48, 1}, {52, 1}, {64, 8}, {68, 0x1000008}, {72, 3}, {76, 3}, {84, 1}, {88, 10},
                {96, 4096}, {224, 4097}};
  for (const auto& word : kWords) PutLE32(block + word.offset, word.value);
  PutLE32(block + 160, Setting(pdev, kItemExtendedRange) != 0 ? 1 : 0);
  const WORD conditional = LookUpConditionalValue(pdev, static_cast<WORD>(Setting(pdev, kItemConditionKey)));
  PutLE32(block + 228, conditional != 0 ? conditional : kDefaultConditionalValue);
  return 0;
}

int BuildResourcePathBlock(Pdev* pdev, DrawingLibrarySession* session) {
  BYTE* block = NewBlock(pdev, kResourcePathBlockBytes);
  if (block == nullptr) return -1;
  session->resourcePathBlock = block;
  PutLE32(block, kResourcePathBlockBytes);
  const HANDLE printer = pdev->channel->target;
  std::memcpy(block + kResourcePathPrinterOffset, &printer, sizeof(printer));
  LPWSTR text = ReadModelHeaderText(pdev->printer, kHeaderTextDrawingLibrary);
  if (text == nullptr) return -1;
  // The last "?" (not the first character) becomes "I".
  for (int i = lstrlenW(text) - 1; i > 0; --i) {
    if (text[i] == u'?') {
      text[i] = u'I';
      break;
    }
  }
  WCHAR directory[kModuleDirectoryBufferBytes / sizeof(WCHAR)] = {};
  const bool haveDirectory = GetModuleDirectory(directory, sizeof(directory)) != 0;
  const std::u16string path = std::u16string(directory) + text;
  GlobalFree(text);
  if (!haveDirectory) return -1;
  BYTE ansi[kAnsiPathChars];
  if (!CopyAnsiPath(path.c_str(), ansi)) return -1;
  std::memcpy(block + kResourcePathTextOffset, ansi, kAnsiPathChars);
  return 0;
}

int BuildColorParameterBlock(Pdev* pdev, DrawingLibrarySession* session) {
  BYTE* block = NewBlock(pdev, kColorParameterBlockBytes);
  if (block == nullptr) return -1;
  session->colorBlock = block;
  const DWORD treatment = Setting(pdev, kItemColorAdjustKinds);
  const bool firstMatching = Setting(pdev, kItemFirstKindMatching) == 1;
  const bool secondMatching = Setting(pdev, kItemSecondKindMatching) == 1;
  DWORD flags[3] = {0, 0, 0};
  if (Setting(pdev, kItemPerKindAdjust) == 1) {
    if (treatment & 1) flags[0] = firstMatching ? 3 : 1;
    if (treatment & 2) flags[1] = secondMatching ? 3 : 1;
    if (treatment & 4) flags[2] = 1;
  } else {
    if (treatment & 7) flags[0] = flags[1] = flags[2] = 1;
    if (firstMatching) flags[0] |= 3;
    if (secondMatching) flags[1] |= 3;
  }
  if (Setting(pdev, kItemProfileKind) == 1) {
    const DWORD white = Setting(pdev, kItemWhitePoint);
    const DWORD tone = Setting(pdev, kItemTone);
    if (white >= std::size(kWhitePoints) || tone >= std::size(kToneValues)) return -1;
    for (int kind = 0; kind < 3; ++kind) {
      flags[kind] |= 1;
      PutLE32(block + 16 + 8 * kind, kWhitePoints[white]);
      PutLE32(block + 20 + 8 * kind, kToneValues[tone]);
    }
  }
  for (int kind = 0; kind < 3; ++kind) {
    const DWORD cleared = flags[kind] & ~DWORD{0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100 | 0x200 | 0x800};
    PutLE32(block + 4 + 4 * kind, cleared | 0x400 | 0x1000);
  }
  PutLE16(block + 52, 1);
  PutLE16(block + kColorBlockColorModeOffset, Setting(pdev, kItemColorMode) == 1 ? 4 : 3);
  const DWORD range = Setting(pdev, kItemExtendedRange) != 0 ? 256 : 0;
  for (int i = 0; i < 3; ++i) PutLE32(block + 56 + 4 * i, range);
  if (Setting(pdev, kItemCenterEveryByte) == 1) {
    std::memset(block + 68, 128, 12);
  } else if (Setting(pdev, kItemCenterAllChannels) == 1) {
    for (int i = 0; i < 3; ++i) block[68 + 4 * i] = 128;
  }
  // Four rows of four signed steps; row r holds the items 401 - 3r .. 403 - 3r.
  BYTE table[16] = {};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 3; ++column) {
      const SettingItemId item = static_cast<SettingItemId>(kItemAdjustmentFirst + 9 - 3 * row + column);
      table[4 * row + column] = static_cast<BYTE>(DecodeAdjustment(GetPdevSettingDword(pdev, item)));
    }
  for (int kind = 0; kind < 3; ++kind) std::memcpy(block + 80 + 16 * kind, table, sizeof(table));
  return 0;
}

int BuildDeviceBlock(Pdev* pdev, DrawingLibrarySession* session) {
  BYTE* block = NewBlock(pdev, kDeviceParameterBlockBytes);
  if (block == nullptr) return -1;
  session->deviceBlock = block;
  PutLE32(block, kDeviceParameterBlockBytes);
  PutLE16(block + 16, kBaseResolution);
  PutLE16(block + 18, kBaseResolution);
  PutLE16(block + 20, static_cast<WORD>(Setting(pdev, kItemResolution)));
  PutLE16(block + 22, static_cast<WORD>(Setting(pdev, kItemYResolution)));
  const WORD raster = Setting(pdev, kItemLowRasterResolution) == 1 ? 200 : 600;
  PutLE16(block + 24, raster);
  PutLE16(block + 26, raster);
  PutLE16(block + 28, static_cast<WORD>(RoundedMulDiv(3048, kBaseResolution, 254)));
  PutLE16(block + 30, static_cast<WORD>(RoundedMulDiv(9000, kBaseResolution, 254)));
  // A fresh temporary name: the file is made, then deleted, so that only its name remains.
  WCHAR temp[MAX_PATH] = {};
  if (!MakeTempFilePath(temp)) return -1;
  DeleteFileW(temp);
  if (!CopyAnsiPath(temp, block + 32)) return -1;
  const DWORD duplex = Setting(pdev, kItemDuplex);
  WORD value = 1;
  if (duplex == 2) value = Setting(pdev, kItemPageLayout) == 2 ? 3 : 2;
  if (duplex == 3) value = 3;
  PutLE16(block + 292, value);
  return 0;
}

int BuildDebugBlock(Pdev* pdev, DrawingLibrarySession* session) {
  BYTE* block = NewBlock(pdev, kDebugParameterBlockBytes);
  if (block == nullptr) return -1;
  session->debugBlock = block;
  PutLE32(block, kDebugParameterBlockBytes);
  WCHAR system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return -1;
  const std::u16string path = std::u16string(system) + kDebugFileTail;
  return CopyAnsiPath(path.c_str(), block + 4) ? 0 : -1;
}
