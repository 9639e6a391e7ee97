#include "graphics/device/render_settings.h"

#include <cstring>

#include "core/common/common_routines.h"
#include "core/store/effective_values.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"

namespace {

// Model features the record depends on.
constexpr DWORD kFeatureDriverCollation = 0x10000;
constexpr DWORD kFeatureTrailerVariant = 0x40000;
constexpr DWORD kFeatureDeferredHeader = 0x4000000;
constexpr DWORD kFeatureInsertedSheets = 0xFFFF0026;  // bit 6 of the second word

constexpr WORD kSameAsPagePaper = 267;

// The settings a document is read from.
struct ItemSource {
  SettingsRecord* settings;
  PrinterConfiguration* config;

  // The item as a number in its own width (signed for 16-bit signed items); 0 when unreadable.
  LONG Item(SettingItemId id) const {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ULONG_PTR cell = 0;
    if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone) return 0;
    if (type == kTypeInt16) return static_cast<SHORT>(cell);
    if (length == 1) return static_cast<BYTE>(cell);
    if (length == 2) return static_cast<WORD>(cell);
    return static_cast<LONG>(static_cast<DWORD>(cell));
  }
  bool On(SettingItemId id) const { return Item(id) != 0; }
  // The effective value (the item's neutral value when it does not apply).
  LONG Effective(SettingItemId id) const { return static_cast<LONG>(GetEffectiveItemNumber(settings, config, id)); }
  // A non-empty text item.
  bool HasText(SettingItemId id) const {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ULONG_PTR cell = 0;
    if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone || type != kTypeString) return false;
    const auto* text = reinterpret_cast<const WCHAR*>(cell);
    return text != nullptr && text[0] != 0;
  }
};

bool ReadColor(RenderSettings* r, const ItemSource& in) {
  const bool tolerant = in.On(kItemTolerantGrey);
  switch (in.Item(kItemColorMode)) {
    case 0: r->colorMode = kColorAutomatic; break;
    case 1: r->colorMode = kColorMonochrome; break;
    case 2: r->colorMode = kColorFull; break;
    case 3: r->colorMode = tolerant ? kColorAutomatic : kColorFull; break;
    default: return false;
  }
  r->tolerantGrey = tolerant;
  r->specialColor = in.Effective(kItemSpecialColorAllowed) == 1 && in.Effective(kItemSpecialColor) == 1 &&
                    r->colorMode == kColorAutomatic;
  if (r->specialColor) {
    const LONG value = in.Item(kItemSpecialColorValue);
    r->specialColorValue = static_cast<SHORT>(value & 0xFF);
    const LONG variant = (value >> 8) & 0xF;
    if (variant > 1) return false;
    r->specialColorVariant = variant;
  }
  return true;
}

bool ReadLayout(RenderSettings* r, const ItemSource& in) {
  switch (in.Item(kItemDuplex)) {
    case 1: r->duplexCount = 1; break;
    case 2:
    case 3: r->duplexCount = 2; break;
    default: return false;
  }
  const LONG nUp = in.Item(kItemPagesPerSheet);
  if (nUp != 1 && nUp != 2 && nUp != 4 && nUp != 8 && nUp != 16 && nUp != 32) return false;
  r->nUp = static_cast<WORD>(nUp);
  r->skipEmptyPages = in.On(kItemSkipEmptyPages);
  r->reserved4 = 0;
  const LONG kind = in.Item(kItemPageLayout);
  r->tiles = kind == 1;
  if (r->tiles) {
    const LONG tiles = in.Item(kItemTileCount);
    if (tiles != 514 && tiles != 771 && tiles != 1028) return false;
    r->tileColumns = r->tileRows = static_cast<SHORT>(tiles & 0xFF);
    r->tileMarks = in.On(kItemTileMarks);
  }
  if (kind < 0 || kind > 2) return false;
  r->booklet = kind == 2;
  if (r->booklet) {
    const LONG bookletKind = in.Item(kItemBookletOutput);
    if (bookletKind < 0 || bookletKind > 2) return false;
    r->bookletKind = bookletKind;
    if (bookletKind == 1) r->bookletSubset = static_cast<SHORT>(in.Item(kItemBookletSubsetDevice));
    if (bookletKind == 2) r->bookletSubset = static_cast<SHORT>(in.Item(kItemBookletSubset));
  }
  return true;
}

void ReadStamps(RenderSettings* r, const ItemSource& in) {
  r->perSheetStamp = r->perPageStamp = r->stampValueA = r->stampModeValue = 0;
  if (!in.HasText(kItemStampName) || !in.HasText(kItemStampText)) return;
  const bool perSheet = in.On(kItemStampRepeat);
  r->perSheetStamp = perSheet;
  r->perPageStamp = !perSheet;
  r->stampValueA = in.Item(kItemStampFirstPageOnly);
  r->stampModeValue = in.Item(kItemStampMode);
}

bool ReadInsertedSheets(RenderSettings* r, const ItemSource& in, const DWORD features[2]) {
  if (TestFeatureFlag(features, kFeatureInsertedSheets) && in.Effective(kItemSheetBeforeDocument) == 1) {
    r->insertedSheetMode = in.On(kItemSheetShortForm) ? 1 : 2;
    r->insertedSheetPaper = static_cast<SHORT>(in.Item(kItemSheetBeforePaper));
    return true;
  }
  const LONG mode = in.Effective(kItemInsertedSheetMode);
  if (mode < 0 || mode > 2) return false;
  r->insertedSheetMode = mode;
  r->insertedSheetPaper = static_cast<SHORT>(in.Item(kItemInsertedSheetPaper));
  return true;
}

void ReadJobInformation(RenderSettings* r, const ItemSource& in) {
  r->jobInfoSwitch = 0;
  for (int i = 0; i < kJobInfoValues; ++i) {
    r->jobInfoValues[i] = -1;
    if (in.Effective(static_cast<SettingItemId>(kItemJobInfoUser + i)) != 1) continue;
    r->jobInfoValues[i] = static_cast<SHORT>(in.Item(static_cast<SettingItemId>(kItemJobInfoUserPosition + i)));
    r->jobInfoSwitch = 1;
  }
}

void ReadCopies(RenderSettings* r, const ItemSource& in, const DWORD features[2]) {
  // Zero or negative copies would print nothing: one copy at least.
  const LONG copies = static_cast<SHORT>(in.Effective(kItemCopies));
  r->copies = static_cast<SHORT>(copies < 1 ? 1 : copies);
  r->reverseOrder = in.Effective(kItemReverseOrder) == 1;
  r->extensionFlag = static_cast<SHORT>(in.Effective(kItemApplyCheck)) != 0 && (r->extensionValue & 0xFFFFFFFFull) != 0;
  r->driverCollation =
      r->copies > 1 && TestFeatureFlag(features, kFeatureDriverCollation) && in.Effective(kItemCollate) == 1 &&
      (!in.On(kItemDeviceCollation) || (!in.On(kItemCopiesByDeviceSecond) && !in.On(kItemCopiesByDevice)));
  r->storePages = r->driverCollation || r->reverseOrder || r->extensionFlag;
}

}  // namespace

int ReadRenderSettings(RenderSettings* render, DWORD streamVersion, SettingsRecord* settings,
                       PrinterConfiguration* config, const DWORD features[2]) {
  if (render == nullptr || settings == nullptr || features == nullptr) return -1;
  if (streamVersion < kStreamVersionFirst || streamVersion > kStreamVersionLast) return -1;
  const ItemSource in{settings, config};
  RenderSettings* r = render;
  r->streamVersion = streamVersion;
  if (!ReadColor(r, in) || !ReadLayout(r, in)) return -1;
  r->deferredHeader = TestFeatureFlag(features, kFeatureDeferredHeader) && r->booklet && r->bookletKind == 1 &&
                      in.Item(kItemBookletHeaderSwitch) == 1;
  ReadStamps(r, in);
  const bool imposed = r->nUp > 1 || r->booklet;
  r->customPaper = !imposed && in.Item(kItemOutputPaper) == kSameAsPagePaper;
  r->paperChecks = !imposed;
  r->reserved5 = 0;
  r->fontSubstitution = 0;
  r->graphicsModeA = in.Item(kItemGraphicsModeA) == 1;
  r->graphicsModeB = in.Item(kItemGraphicsModeB) == 1;
  r->saveToFile = in.Item(kItemSaveToFile) == 1;
  r->bannerText = in.Item(kItemBannerText) == 1;
  if (!ReadInsertedSheets(r, in, features)) return -1;
  ReadJobInformation(r, in);
  r->item326 = static_cast<SHORT>(in.Effective(kItemStapleSource));
  r->item344 = static_cast<SHORT>(in.Effective(kItemPunchSource));
  r->borderless = in.Effective(kItemWholePaper) == 1;
  r->marginBlock = in.Effective(kItemPerPaperMargins) == 1;
  ReadCopies(r, in, features);
  r->item5149 = in.Effective(kItemSaveJobAllowed) == 1 && !r->saveToFile;
  r->trailerVariant = TestFeatureFlag(features, kFeatureTrailerVariant);
  r->collate = in.Effective(kItemCollate) == 1;
  r->item1320 = in.Effective(kItemCenterEveryByte) == 1;
  const LONG jobType = in.Effective(kItemJobType);
  r->jobType = jobType >= 1 && jobType <= 3 ? jobType : 0;
  r->item1313 = !in.On(kItemSeparateSourceOn) ? 0 : in.Item(kItemSeparateSourceKind) != 0 ? 2 : 1;
  const bool insertFeature = TestFeatureFlag(features, kFeatureInsertedSheets);
  r->insertAtEnd = insertFeature && in.Effective(kItemSheetAtEnd) == 1;
  r->insertList = insertFeature && in.Effective(kItemSheetList) == 1;
  r->insertAtEndPaper = static_cast<SHORT>(in.Effective(kItemSheetAtEndPaper));
  r->insertListPaper = static_cast<SHORT>(in.Effective(kItemSheetListPaper));
  for (int i = 0; i < kInsertListSheets; ++i)
    r->insertListSheets[i] = static_cast<WORD>(in.Effective(static_cast<SettingItemId>(kItemNumberListFirst + i)));
  return 0;
}

int ClearRenderSettings(RenderSettings* render) {
  if (render == nullptr) return -1;
  std::memset(render, 0, sizeof *render);
  return 0;
}
