#include "core/rules/device_capabilities.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/common/format_text.h"
#include "core/constraints/change_values.h"
#include "core/constraints/constraint_engine.h"
#include "core/rules/record_numbers.h"
#include "core/runtime/resource_module.h"
#include "core/store/dm_fields.h"
#include "core/store/item_access.h"
#include "core/store/printer_forms.h"
#include "core/system/os_generation.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/spooler/spooler.h"

namespace {

constexpr WORD kChoiceListType = 4;
constexpr WORD kPaperRecordType = 10;
constexpr UINT kUserPaperNameString = 5174;  // user name, width and length in millimetres
// The paper number of a user paper that no spooler form stands for: the custom size.
constexpr WORD kCustomPaperNumber = 256;

// Fixed answers when the settings or the store are not at hand.
constexpr LONG kNoSpecVersion = 0x500;
constexpr LONG kNoDriverVersion = 0x2142;
constexpr LONG kNoSize = 220;
constexpr LONG kNoExtra = 1548 - 220;
constexpr LONG kNoFields = 0x1FF13;
constexpr LONG kNoCopies = 999;
constexpr LONG kTrueTypeAnswer = 6;  // DCTT_DOWNLOAD | DCTT_SUBDEV
constexpr LONG kOrientationAnswer = 90;
constexpr LONG kPrintRateUnitAnswer = 1;  // pages per minute

bool Has(const CapabilityQuery& q, DWORD flags) { return (q.available & flags) == flags; }

// The item of the query's records, or -1 when it cannot be read.
LONG ItemOrFail(const CapabilityQuery& q, SettingItemId id) {
  LONG value = 0;
  return ReadItemLong(q.settings, q.config, id, &value) ? value : -1;
}

// The choice list record of an item with its choice count; FALSE when it cannot be read.
bool ReadChoiceCount(ItemStore* store, SettingItemId item, WORD* count) {
  ScopedRecord list;
  if (store == nullptr ||
      ReadKeyedRecord(TRUE, store->main, store->linked, kChoiceListType, item, 0, &list.record) != kDbOk ||
      list.record == nullptr)
    return false;
  *count = reinterpret_cast<const ChoiceListRecord*>(list.record)->choices.count;
  return true;
}

void CopyName(WCHAR* slot, int chars, LPCWSTR name) {
  std::memset(slot, 0, chars * sizeof(WCHAR));
  if (name != nullptr) lstrcpynW(slot, name, chars);
}

// The spooler's forms, freed with the holder.
struct Forms {
  FORM_INFO_1W* forms = nullptr;
  DWORD count = 0;
  ~Forms() { GlobalFree(forms); }
  // 1-based number of the form of that name, 0 for none.
  DWORD FindByName(LPCWSTR name) const {
    if (name == nullptr) return 0;
    for (DWORD i = 0; i < count; ++i)
      if (forms[i].pName != nullptr && wcscmp(forms[i].pName, name) == 0) return i + 1;
    return 0;
  }
  bool IsBuiltin(DWORD number) const {
    return number >= 1 && number <= count && (forms[number - 1].Flags & FORM_BUILTIN) != 0;
  }
};

// A user paper: the form of the paper record's name gives its number and size; the name is
// string 5174 made with the user name and the size in millimetres.
bool DescribeUserPaper(const CapabilityQuery& q, const Forms& forms, HMODULE resources, WORD key,
                       const DatabaseRecord* paper, PaperEntry* entry) {
  const WORD slot = UserPaperIdToIndex(key);
  if (slot == 0xFFFF) return false;
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD bytes = 0;
  if (GetItemValue(static_cast<SettingItemId>(kItemUserPaperName + slot), q.settings, q.config, &type, &bytes, &cell) !=
          kItemDone ||
      type != kTypeString || cell.data == nullptr)
    return false;
  WCHAR userName[kPaperNameChars] = {};
  const auto* stored = static_cast<const WCHAR*>(cell.data);
  std::memcpy(userName, stored, std::min<size_t>(wcsnlen(stored, bytes / 2), kPaperNameChars - 1) * sizeof(WCHAR));
  if (const DWORD number = forms.FindByName(GetRecordName(paper)); number != 0) {
    entry->number = static_cast<WORD>(number);
    entry->width = static_cast<DWORD>(forms.forms[number - 1].Size.cx / 100);
    entry->length = static_cast<DWORD>(forms.forms[number - 1].Size.cy / 100);
  } else {
    // No form stands for it: the custom size of the user paper's own size items.
    LONG width = 0, length = 0;
    if (!ReadItemLong(q.settings, q.config, static_cast<SettingItemId>(kItemUserPaperWidth + slot), &width) ||
        !ReadItemLong(q.settings, q.config, static_cast<SettingItemId>(kItemUserPaperLength + slot), &length))
      return false;
    entry->number = kCustomPaperNumber;
    entry->width = static_cast<DWORD>(width);
    entry->length = static_cast<DWORD>(length);
  }
  WCHAR format[kPaperNameChars * 2] = {};
  if (LoadStringW(resources, kUserPaperNameString, format, static_cast<int>(std::size(format))) > 0)
    FormatText(entry->name, kPaperNameChars, format,
               {static_cast<LPCWSTR>(userName), static_cast<LONG>(entry->width / 10),
                static_cast<LONG>(entry->length / 10)});
  else
    CopyName(entry->name, kPaperNameChars, userName);
  return true;
}

// Any other paper: its first size, the choice's name, and the built-in form of its key or the
// form of its name (0 for none).
bool DescribeModelPaper(const Forms& forms, WORD key, const DatabaseRecord* choice, const DatabaseRecord* paper,
                        PaperEntry* entry) {
  SizePairElement size{};
  if (GetPaperRecordSize(paper, &size) != kDbOk) return false;
  entry->width = size.width;
  entry->length = size.length;
  CopyName(entry->name, kPaperNameChars, GetRecordName(choice));
  const DWORD form = PaperSizeToFormIndex(key);
  entry->number = static_cast<WORD>(forms.IsBuiltin(form) ? form : forms.FindByName(GetRecordName(paper)));
  return true;
}

// The paper list of the query into a vector; FALSE when it cannot be built or is empty.
bool ReadPapers(const CapabilityQuery& q, std::vector<PaperEntry>* papers) {
  const DWORD count = BuildPaperList(q.printer, q.settings, q.config, q.store, nullptr);
  if (count == 0) return false;
  papers->assign(count, PaperEntry{});
  return BuildPaperList(q.printer, q.settings, q.config, q.store, papers->data()) == count;
}

LONG AnswerPaperList(const CapabilityQuery& q, WORD index) {
  if (!Has(q, kCapabilityStore | kCapabilitySettings | kCapabilityConfig)) return -1;
  if (q.output == nullptr) {
    const DWORD count = BuildPaperList(q.printer, q.settings, q.config, q.store, nullptr);
    return count == 0 ? -1 : static_cast<LONG>(count);
  }
  std::vector<PaperEntry> papers;
  if (!ReadPapers(q, &papers)) return -1;
  auto* out = static_cast<BYTE*>(q.output);
  for (const PaperEntry& paper : papers) {
    if (index == DC_PAPERS) {
      std::memcpy(out, &paper.number, sizeof(WORD));
      out += sizeof(WORD);
    } else if (index == DC_PAPERSIZE) {
      const LONG size[2] = {static_cast<LONG>(paper.width), static_cast<LONG>(paper.length)};
      std::memcpy(out, size, sizeof size);
      out += sizeof size;
    } else {
      std::memcpy(out, paper.name, sizeof paper.name);
      out += sizeof paper.name;
    }
  }
  return static_cast<LONG>(papers.size());
}

LONG AnswerExtent(const CapabilityQuery& q, WORD index) {
  if (!Has(q, kCapabilityStore | kCapabilitySettings | kCapabilityConfig)) return -1;
  std::vector<PaperEntry> papers;
  if (!ReadPapers(q, &papers)) return -1;
  const bool smallest = index == DC_MINEXTENT;
  DWORD width = smallest ? 0x7FFFFFFF : 0, length = width;
  for (const PaperEntry& paper : papers) {
    width = smallest ? std::min(width, paper.width) : std::max(width, paper.width);
    length = smallest ? std::min(length, paper.length) : std::max(length, paper.length);
  }
  return static_cast<LONG>((width & 0xFFFF) | ((length & 0xFFFF) << 16));
}

LONG AnswerBinList(const CapabilityQuery& q, WORD index) {
  if (!Has(q, kCapabilityStore | kCapabilitySettings | kCapabilityConfig)) return -1;
  DWORD count = 0;
  BinEntry* bins = nullptr;
  if (!BuildBinList(q.store, q.printer, q.settings, q.config, &count, &bins)) return -1;
  if (q.output != nullptr) {
    auto* out = static_cast<BYTE*>(q.output);
    for (DWORD i = 0; i < count; ++i) {
      if (index == DC_BINS) {
        std::memcpy(out + i * sizeof(WORD), &bins[i].value, sizeof(WORD));
      } else {
        WCHAR slot[kBinNameChars] = {};
        lstrcpynW(slot, bins[i].name, kBinNameChars);
        std::memcpy(out + i * sizeof slot, slot, sizeof slot);
      }
    }
  }
  GlobalFree(bins);
  return static_cast<LONG>(count);
}

LONG AnswerResolutions(const CapabilityQuery& q, WORD) {
  if (!Has(q, kCapabilityStore)) return -1;
  // A model without a resolution list (or with an empty one) has no list to give.
  const DWORD count = BuildResolutionList(q.store, nullptr);
  if (count == 0) return -1;
  if (q.output != nullptr) {
    std::vector<WORD> pairs(2 * count);
    if (BuildResolutionList(q.store, pairs.data()) != count) return -1;
    for (DWORD i = 0; i < 2 * count; ++i) {
      const LONG value = pairs[i];
      std::memcpy(static_cast<BYTE*>(q.output) + i * sizeof(LONG), &value, sizeof value);
    }
  }
  return static_cast<LONG>(count);
}

LONG AnswerRecordItem(const CapabilityQuery& q, WORD index) {
  struct Row {
    WORD index;
    SettingItemId item;
    LONG fallback;
  };
  constexpr Row kRows[] = {{DC_VERSION, 2, kNoSpecVersion}, {DC_DRIVER, 258, kNoDriverVersion},
                           {DC_SIZE, 4, kNoSize},           {DC_EXTRA, 5, kNoExtra}};
  for (const Row& row : kRows)
    if (row.index == index) return Has(q, kCapabilitySettings) ? ItemOrFail(q, row.item) : row.fallback;
  return -1;
}

LONG AnswerFields(const CapabilityQuery& q, WORD) {
  if (Has(q, kCapabilitySettings)) return ItemOrFail(q, kItemFields);
  if (!Has(q, kCapabilityStore)) return kNoFields;
  DWORD mask = 0;
  return ComputeDmFields(q.store, &mask, kItemOpCheck) == 1 ? static_cast<LONG>(mask) : -1;
}

LONG AnswerCopies(const CapabilityQuery& q, WORD) {
  return Has(q, kCapabilityStore) ? static_cast<LONG>(GetMaxCopies(q.store)) : kNoCopies;
}

LONG AnswerDuplex(const CapabilityQuery& q, WORD) {
  if (!Has(q, kCapabilitySettings | kCapabilityConfig)) return -1;
  const LONG unit = ItemOrFail(q, kItemModelOptions);
  return unit == -1 ? -1 : unit != 0 ? 1 : 0;
}

LONG AnswerFixed(const CapabilityQuery&, WORD index) {
  switch (index) {
    case DC_TRUETYPE: return kTrueTypeAnswer;
    case DC_ORIENTATION: return kOrientationAnswer;
    case DC_PRINTRATEUNIT: return kPrintRateUnitAnswer;
    default: return -1;
  }
}

LONG AnswerFileDependencies(const CapabilityQuery& q, WORD) {
  if (q.output != nullptr) std::memset(q.output, 0, sizeof(WCHAR));
  return 0;
}

LONG AnswerColorDevice(const CapabilityQuery& q, WORD) {
  if (!Has(q, kCapabilityStore)) return -1;
  const DWORD color = ReadSectionValue(q.store->main, 5, 1, 0);
  return color == 1 ? 0 : color == 2 || color == 18 ? 1 : -1;
}

LONG AnswerMediaReady(const CapabilityQuery& q, WORD) {
  WORD count = 0;
  if (!Has(q, kCapabilityStore) || !ReadChoiceCount(q.store, kItemPaperSize, &count)) return -1;
  if (q.output == nullptr) return count;
  for (WORD n = 1; n <= count; ++n) {
    ScopedRecord choice;
    WORD type = 0;
    if (ReadChoiceRecord(FALSE, q.store->main, q.store->linked, kItemPaperSize, n, &type, &choice.record) != kDbOk)
      return -1;
    WCHAR slot[kPaperNameChars];
    CopyName(slot, kPaperNameChars, GetRecordName(choice.record));
    std::memcpy(static_cast<BYTE*>(q.output) + (n - 1) * sizeof slot, slot, sizeof slot);
  }
  return count;
}

LONG AnswerPrintRate(const CapabilityQuery& q, WORD) {
  return Has(q, kCapabilityStore) ? static_cast<LONG>(ReadSectionValue(q.store->main, 16, 2, 0)) : -1;
}

LONG AnswerStaple(const CapabilityQuery& q, WORD) {
  if (!Has(q, kCapabilityStore | kCapabilityConfig)) return -1;
  const LONG stapler = ItemOrFail(q, kItemStapler), finisher = ItemOrFail(q, kItemFinisher);
  if (stapler == -1 || finisher == -1) return -1;
  return stapler == 1 && finisher == 1 ? 1 : 0;
}

LONG AnswerCollate(const CapabilityQuery&, WORD) { return IsWindowsXpOrLater() == 1 ? 1 : -1; }

// One choice list of bins: {name, value, flags} per choice.
struct BinChoice {
  std::u16string name;
  WORD value;
  WORD flags;
};
constexpr WORD kListedInSources = 1;
constexpr WORD kOffered = 2;

bool ReadValueList(ItemStore* store, SettingItemId item, std::vector<BinChoice>* list) {
  list->clear();
  for (WORD n = 1;; ++n) {
    ChoiceValue* choice = nullptr;
    const WORD status = ReadChoiceValue(store->main, store->linked, item, n, &choice);
    if (status == kDbAbsent) return true;
    if (status != kDbOk) return false;
    LONGLONG value = 0;
    const bool numbered = NumberOfTypedValue(choice->valueType, choice->value, &value);
    if (numbered)
      list->push_back({choice->name != nullptr ? std::u16string(choice->name) : std::u16string(),
                       static_cast<WORD>(value), 0});
    ReleaseChoiceEntry(choice);
    if (!numbered) return false;
  }
}

}  // namespace

const CapabilityRow CapabilityTable[] = {
    {DC_PAPERNAMES, AnswerPaperList},
    {DC_PAPERSIZE, AnswerPaperList},
    {DC_PAPERS, AnswerPaperList},
    {DC_BINS, AnswerBinList},
    {DC_BINNAMES, AnswerBinList},
    {DC_ENUMRESOLUTIONS, AnswerResolutions},
    {DC_TRUETYPE, AnswerFixed},
    {DC_VERSION, AnswerRecordItem},
    {DC_DRIVER, AnswerRecordItem},
    {DC_SIZE, AnswerRecordItem},
    {DC_EXTRA, AnswerRecordItem},
    {DC_FIELDS, AnswerFields},
    {DC_COPIES, AnswerCopies},
    {DC_DUPLEX, AnswerDuplex},
    {DC_ORIENTATION, AnswerFixed},
    {DC_FILEDEPENDENCIES, AnswerFileDependencies},
    {DC_MINEXTENT, AnswerExtent},
    {DC_MAXEXTENT, AnswerExtent},
    {DC_COLORDEVICE, AnswerColorDevice},
    {DC_MEDIAREADY, AnswerMediaReady},
    {DC_PRINTRATE, AnswerPrintRate},
    {DC_PRINTRATEPPM, AnswerPrintRate},
    {DC_PRINTRATEUNIT, AnswerFixed},
    {DC_STAPLE, AnswerStaple},
    {DC_COLLATE, AnswerCollate},
    {0, nullptr},
};

LONG DispatchDeviceCapability(HANDLE printer, WORD index, void* output, DWORD available, SettingsRecord* settings,
                              PrinterConfiguration* config, ItemStore* store) {
  const CapabilityQuery query{printer, output, available, settings, config, store};
  for (const CapabilityRow* row = CapabilityTable; row->index != 0; ++row)
    if (row->index == index) return row->answer(query, index);
  return -1;
}

DWORD BuildPaperList(HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config, ItemStore* store,
                     PaperEntry* entries) {
  WORD count = 0;
  if (!ReadChoiceCount(store, kItemPaperSize, &count)) return 0;
  if (entries == nullptr) return count;
  // With entries to fill, the forms and the texts must be at hand: a list left unfilled would
  // read as papers.
  Forms forms;
  DWORD needed = 0;
  if (EnumFormsAlloc(printer, &forms.forms, &needed, &forms.count) != kFormDone ||
      forms.count > needed / sizeof(FORM_INFO_1W))
    return 0;
  HMODULE resources = GetResourceModule();
  if (resources == nullptr) return 0;
  const CapabilityQuery query{printer, nullptr, 0, settings, config, store};
  for (WORD n = 1; n <= count; ++n) {
    ScopedRecord choice, paper;
    WORD type = 0, paperType = 0;
    if (ReadChoiceRecord(FALSE, store->main, store->linked, kItemPaperSize, n, &type, &choice.record) != kDbOk ||
        ReadReferencedRecord(FALSE, store->main, store->linked, choice.record, &paperType, &paper.record) != kDbOk ||
        paper.record == nullptr || paperType != kPaperRecordType)
      return 0;
    PaperEntry* entry = &entries[n - 1];
    *entry = PaperEntry{};
    const WORD key = paper.record->h.key;
    const bool described = IsUserPaperId(key) ? DescribeUserPaper(query, forms, resources, key, paper.record, entry)
                                              : DescribeModelPaper(forms, key, choice.record, paper.record, entry);
    if (!described) return 0;
  }
  return count;
}

DWORD BuildResolutionList(ItemStore* store, WORD* pairs) {
  WORD count = 0;
  if (!ReadChoiceCount(store, kItemResolutionPair, &count)) return 0;
  if (pairs == nullptr) return count;
  for (WORD n = 1; n <= count; ++n) {
    ChoiceValue* choice = nullptr;
    if (ReadChoiceValue(store->main, store->linked, kItemResolutionPair, n, &choice) != kDbOk) return 0;
    LONGLONG number = 0;
    const bool numbered = NumberOfTypedValue(choice->valueType, choice->value, &number);
    ReleaseChoiceEntry(choice);
    if (!numbered) return 0;
    const DWORD value = static_cast<DWORD>(number);
    pairs[2 * (n - 1)] = static_cast<WORD>(value & 0xFFFF);
    pairs[2 * (n - 1) + 1] = static_cast<WORD>(value >> 16);
  }
  return count;
}

BOOL BuildBinList(ItemStore* store, HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config,
                  DWORD* count, BinEntry** entries) {
  if (count == nullptr || entries == nullptr) return FALSE;
  *count = 0;
  *entries = nullptr;
  std::vector<BinChoice> bins, sources;
  if (store == nullptr || !ReadValueList(store, kItemDefaultSource, &bins) ||
      !ReadValueList(store, kItemPaperSource, &sources))
    return FALSE;
  for (BinChoice& bin : bins)
    for (const BinChoice& source : sources)
      if (source.value == bin.value) bin.flags = kListedInSources;
  DWORD offered = 0;
  for (BinChoice& bin : bins) {
    ConstraintState* state = CreateConstraintState();
    if (state == nullptr) return FALSE;
    const bool listed = bin.flags == kListedInSources;
    const SHORT signedValue = static_cast<SHORT>(bin.value);
    const WORD answer =
        CheckSettingChange(kCheckModePlain, printer, store, settings, config, nullptr,
                           listed ? kItemPaperSource : kItemDefaultSource, listed ? kTypeUInt16 : kTypeInt16,
                           listed ? static_cast<const void*>(&bin.value) : &signedValue, state, nullptr, 0);
    const WORD type = state->messageType;
    FreeConstraintState(state);
    if (answer != kCheckDone) return FALSE;
    constexpr WORD kRefused = 1, kHidden = 6;
    if (type != kRefused && type != kHidden) {
      bin.flags |= kOffered;
      ++offered;
    }
  }
  auto* out = static_cast<BinEntry*>(GlobalAlloc(GPTR, (offered != 0 ? offered : 1) * sizeof(BinEntry)));
  if (out == nullptr) return FALSE;
  DWORD n = 0;
  for (const BinChoice& bin : bins) {
    if ((bin.flags & kOffered) == 0) continue;
    out[n].value = bin.value;
    lstrcpynW(out[n].name, bin.name.c_str(), kBinNameChars + 1);
    ++n;
  }
  *count = offered;
  *entries = out;
  return TRUE;
}
