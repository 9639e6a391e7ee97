#include "core/persist/paper_fields.h"

#include <cstring>
#include <algorithm>
#include <iterator>
#include <memory>

#include "core/descriptors/item_defaults.h"
#include "core/persist/form_matching.h"
#include "core/rules/field_sync.h"
#include "core/rules/record_numbers.h"
#include "core/store/dm_fields.h"
#include "core/store/item_access.h"
#include "core/store/printer_forms.h"
#include "core/system/printer_info.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

constexpr size_t kFormNameChars = CCHFORMNAME;
constexpr DWORD kPaperBits = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME;
// Which matches a resolution may try, as FindFormForPaper's flags.
constexpr DWORD kBySize = 2;
constexpr WORD kByNumber = kFormFlagByNumber;
constexpr WORD kByName = kFormFlagByName;

// A text item copied into a terminated buffer of `chars` characters (the stored field need not
// hold a terminator); FALSE when it cannot be read.
bool ReadTextItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LPWSTR text,
                  size_t chars) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD bytes = 0;
  text[0] = 0;
  if (GetItemValue(id, settings, config, &type, &bytes, &cell) != kItemDone || type != kTypeString ||
      cell.data == nullptr)
    return false;
  const auto* stored = static_cast<const WCHAR*>(cell.data);
  const size_t length = wcsnlen(stored, std::min<size_t>(bytes / sizeof(WCHAR), chars - 1));
  std::memcpy(text, stored, length * sizeof(WCHAR));
  text[length] = 0;
  return true;
}

bool WriteTextItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LPCWSTR text) {
  const DWORD bytes = (static_cast<DWORD>(lstrlenW(text)) + 1) * sizeof(WCHAR);
  return SetItemValue(id, settings, config, kTypeString, bytes, &text) == kItemDone;
}

// The device mode the printer keeps, in a zeroed full-size record (no more than its own
// dmSize + dmDriverExtra bytes are taken); NULL when it has none.
std::unique_ptr<SettingsRecord> ReadPrinterDevmode(HANDLE printer) {
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info == nullptr) return nullptr;
  std::unique_ptr<SettingsRecord> record;
  const DEVMODEW* mode = reinterpret_cast<const PRINTER_INFO_2W*>(info)->pDevMode;
  if (mode != nullptr) {
    record = std::make_unique<SettingsRecord>();
    std::memset(record.get(), 0, sizeof *record);
    const DWORD bytes = std::min<DWORD>(DWORD(mode->dmSize) + mode->dmDriverExtra, sizeof *record);
    std::memcpy(record->bytes, mode, bytes);
  }
  GlobalFree(info);
  return record;
}

// One item of the printer's own device mode copied into the record.
bool CopyPrinterDevmodeItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer) {
  std::unique_ptr<SettingsRecord> stored = ReadPrinterDevmode(printer);
  return stored != nullptr && CopyItemValue(id, stored.get(), settings, config);
}

}  // namespace

bool ValidateDevmodeHeaderItems(ItemStore* store, SettingsRecord* record) {
  constexpr SettingItemId kHeaderItems[] = {kItemSpecVersion, kItemDevmodeSize, kItemDriverExtra, kItemLayoutVersion,
                                            kItemModelName};
  for (SettingItemId id : kHeaderItems)
    if (!ValidateItemValue(store, id, record, nullptr, kItemOpCheck)) return false;
  return true;
}

int ResolvePaperFromFields(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                           const PaperFields* fields, DWORD flags, PaperSpec* answer) {
  if (fields == nullptr || answer == nullptr || (flags & kPaperBits) == 0) return 0;
  if (fields->paper == kNoFormPaper && fields->width > 0 && fields->length > 0)
    flags = (flags & ~(DM_PAPERSIZE | DM_FORMNAME)) | DM_PAPERLENGTH | DM_PAPERWIDTH;
  DWORD methods = 0;
  if ((flags & (DM_PAPERLENGTH | DM_PAPERWIDTH)) != 0 && fields->width > 0 && fields->length > 0) methods |= kBySize;
  if ((flags & DM_PAPERSIZE) != 0) methods |= kByNumber;
  if ((flags & DM_FORMNAME) != 0) methods |= kByName;
  const PaperSpec query{static_cast<WORD>(fields->paper), static_cast<WORD>(fields->width),
                        static_cast<WORD>(fields->length), const_cast<LPWSTR>(fields->name)};
  if ((methods & kBySize) != 0)
    return FindFormForPaper(store, settings, config, printer, static_cast<WORD>(methods), &query, answer);
  if ((methods & kByNumber) != 0 &&
      MatchFormByIndexOrName(store, settings, config, printer, kFormMatchByNumber, &query, answer) == 1)
    return 1;
  if ((methods & kByName) != 0 &&
      MatchFormByIndexOrName(store, settings, config, printer, kFormMatchByName, &query, answer) == 1)
    return 1;
  return 0;
}

BOOL ResolvePaperItems(ItemStore* store, SettingsRecord* destination, SettingsRecord* source,
                       PrinterConfiguration* config, HANDLE printer, DWORD flags) {
  if (source == nullptr) return FALSE;
  LONG paper = 0, width = 0, length = 0;
  WCHAR name[kFormNameChars + 1];
  if (!ReadItemLong(source, config, kItemPaperSize, &paper) || !ReadItemLong(source, config, kItemPaperWidth, &width) ||
      !ReadItemLong(source, config, kItemPaperLength, &length) ||
      !ReadTextItem(source, config, kItemFormName, name, std::size(name)))
    return FALSE;
  // The paper-size flag counts from the first record whose header is this driver's.
  LONG sizeFlag = 0;
  SettingsRecord* flagRecord = nullptr;
  if (ValidateDevmodeHeaderItems(store, source)) flagRecord = source;
  else if (destination != nullptr && ValidateDevmodeHeaderItems(store, destination)) flagRecord = destination;
  if (flagRecord != nullptr && !ReadItemLong(flagRecord, config, kItemSizeFieldsFlag, &sizeFlag)) return FALSE;

  const PaperFields fields{static_cast<SHORT>(paper), static_cast<SHORT>(width), static_cast<SHORT>(length),
                           name[0] != 0 ? name : nullptr};
  PaperSpec found{};
  if (ResolvePaperFromFields(store, source, config, printer, &fields, flags, &found) != 1)
    return destination == nullptr ? CopyPrinterPaperItems(store, source, config, printer) : TRUE;

  SettingsRecord* target = destination != nullptr ? destination : source;
  bool written = WriteItemLong(target, config, kItemPaperLength, found.length) &&
                 WriteItemLong(target, config, kItemPaperWidth, found.width) &&
                 WriteItemLong(target, config, kItemPaperSize, static_cast<SHORT>(found.id)) &&
                 (found.name == nullptr || WriteTextItem(target, config, kItemFormName, found.name));
  if (written) {
    DWORD set = flags & (DM_PAPERSIZE | DM_FORMNAME), clear = 0;
    if (sizeFlag != 0) set |= DM_PAPERLENGTH | DM_PAPERWIDTH;
    if (found.id == kNoFormPaper) {
      set = (set & ~DM_FORMNAME) | DM_PAPERLENGTH | DM_PAPERWIDTH;
      clear = DM_FORMNAME;
    }
    written = UpdateDevmodeFields(target, config, set, clear);
  }
  FreePaperSpecName(&found);
  return written ? TRUE : FALSE;
}

BOOL SyncFormNameItem(ItemStore* store, HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config) {
  LONG paper = 0;
  WCHAR name[kFormNameChars + 1];
  if (!ReadItemLong(settings, config, kItemPaperSize, &paper) ||
      !ReadTextItem(settings, config, kItemFormName, name, std::size(name)))
    return FALSE;
  const WORD paperId = static_cast<WORD>(paper);
  if (IsUserPaperId(paperId)) {
    const WORD slot = UserPaperIdToIndex(paperId);
    if (!ReadTextItem(settings, config, static_cast<SettingItemId>(kItemUserPaperName + slot), name, std::size(name)))
      return FALSE;
  } else if (IsBuiltinForm(printer, paperId) == 1) {
    const DWORD form = PaperSizeToFormIndex(paperId);
    if (form != paperId && !WriteItemLong(settings, config, kItemPaperSize, static_cast<LONG>(form))) return FALSE;
    return ResolvePaperItems(store, nullptr, settings, config, printer, DM_PAPERSIZE);
  } else {
    const PaperSpec query{paperId, 0, 0, nullptr};
    PaperSpec found{};
    WORD status = 0;
    if (FindPaper(store, kItemPaperSize, kFindPaperById, &query, &found, &status) != 1) return FALSE;
    const bool named = found.name != nullptr;
    if (named) lstrcpynW(name, found.name, static_cast<int>(std::size(name)));
    FreePaperSpecName(&found);
    if (!named) return FALSE;
  }
  if (!WriteTextItem(settings, config, kItemFormName, name)) return FALSE;
  return ResolvePaperItems(store, nullptr, settings, config, printer, DM_FORMNAME);
}

BOOL CopyPrinterPaperItems(ItemStore*, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer) {
  constexpr SettingItemId kItems[] = {kItemPaperSize, kItemPaperLength, kItemPaperWidth, kItemFormName};
  for (SettingItemId id : kItems)
    if (!CopyPrinterDevmodeItem(id, settings, config, printer)) return FALSE;
  return TRUE;
}
