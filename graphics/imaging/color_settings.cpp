// ReadColorAdjustSettings: the flag word of the colour conversion from the document's settings.
#include <cstring>

#include "core/descriptors/item_descriptors.h"
#include "core/store/effective_values.h"
#include "graphics/imaging/color_converter.h"
#include "items/item_ids.h"

namespace {

constexpr WORD kColorModeGrey = 1;

// The built-in profiles: white points by item 287, tones by item 288. Larger values pass the
// items' range test but have no profile; they ask for none.
constexpr WORD kWhitePoints[] = {5000, 6500, 9300};
constexpr WORD kTones[] = {10, 14, 18, 22, 26};

// A profile path: the wide string of the item, cut to the field.
bool ReadPath(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, WCHAR (&out)[kProfilePathChars]) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetEffectiveItemValue(id, settings, config, &type, &length, &cell) != 0 || type != kTypeString) return false;
  // A path that does not apply arrives as its neutral value, a null address: no text.
  if (cell.data == nullptr) {
    out[0] = 0;
    return true;
  }
  const WCHAR* text = static_cast<const WCHAR*>(cell.data);
  int i = 0;
  for (; i < kProfilePathChars - 1 && text[i] != 0; ++i) out[i] = text[i];
  out[i] = 0;
  return true;
}

bool AnyNonZero(const SHORT (&triple)[3]) { return triple[0] != 0 || triple[1] != 0 || triple[2] != 0; }

struct ColorItems {
  LONG mode = 0, perKind = 0, kinds = 0, textGrey = 0, graphicsGrey = 0, profileKind = 0, whitePoint = 0, tone = 0,
       firstOn = 0, secondOn = 0, secondFromFirst = 0, library = 0;
  bool firstPath = false, secondPath = false, secondFromFirstRead = false;
};

// Reads the items in order; the first that cannot be read ends the reading.
void ReadItems(ColorItems& items, ColorSettingsRecord& record, SettingsRecord* settings, PrinterConfiguration* config) {
  auto read = [&](SettingItemId id, LONG& out) { return ReadColorItemNumber(id, settings, config, out); };
  if (!read(kItemColorMode, items.mode) || !read(kItemPerKindAdjust, items.perKind) ||
      !read(kItemColorAdjustKinds, items.kinds))
    return;
  SHORT* triples[4] = {record.Common, record.Text, record.Graphics, record.Image};
  for (int part = 0; part < 3; ++part)
    for (int kind = 0; kind < 4; ++kind) {
      LONG v = 0;
      if (!read(kItemColorTripleFirst + part * 4 + kind, v)) return;
      triples[kind][part] = static_cast<SHORT>(v);
    }
  if (!read(kItemTextGreyAsGrey, items.textGrey) || !read(kItemGraphicsGreyAsGrey, items.graphicsGrey) ||
      !read(kItemProfileKind, items.profileKind) || !read(kItemWhitePoint, items.whitePoint) ||
      !read(kItemTone, items.tone) || !read(kItemFirstProfileOn, items.firstOn) ||
      !read(kItemSecondProfileOn, items.secondOn))
    return;
  items.secondFromFirstRead = read(kItemSecondFromFirst, items.secondFromFirst);
  if (!items.secondFromFirstRead) return;
  record.SecondFromFirst = static_cast<WORD>(items.secondFromFirst);
  items.firstPath = ReadPath(kItemFirstProfilePath, settings, config, record.FirstPath);
  items.secondPath = ReadPath(kItemSecondProfilePath, settings, config, record.SecondPath);
  read(kItemColorLibrary, items.library);
}
}  // namespace

int ReadColorAdjustSettings(ColorConverter* converter, ColorSettingsRecord* record, SettingsRecord* settings,
                            PrinterConfiguration* config) {
  if (converter == nullptr || record == nullptr) return 0;
  std::memset(record, 0, sizeof *record);
  ColorItems items;
  ReadItems(items, *record, settings, config);

  WORD flags = 0;
  const bool greyMode = items.mode == kColorModeGrey;
  if (items.perKind == 1) {
    if ((items.kinds & 0x1) && AnyNonZero(record->Text)) flags |= kConvertTextMatrix;
    if ((flags & kConvertTextMatrix) && !greyMode && items.textGrey == 1) flags |= kConvertTextGrey;
    if ((items.kinds & 0x2) && AnyNonZero(record->Graphics)) flags |= kConvertGraphicsMatrix;
    if ((flags & kConvertGraphicsMatrix) && !greyMode && items.graphicsGrey == 1) flags |= kConvertGraphicsGrey;
    if ((items.kinds & 0x4) && AnyNonZero(record->Image)) flags |= kConvertImageMatrix;
  } else {
    if ((items.kinds & 0x7) && AnyNonZero(record->Common)) flags |= kConvertCommonMatrix;
    if ((flags & kConvertCommonMatrix) && !greyMode && (items.textGrey == 1 || items.graphicsGrey == 1))
      flags |= kConvertCommonGrey;
  }
  if (items.profileKind == 1 && items.whitePoint >= 0 && items.whitePoint < LONG(std::size(kWhitePoints)) &&
      items.tone >= 0 && items.tone < LONG(std::size(kTones))) {
    flags |= kConvertBuiltInProfile;
    record->WhitePoint = kWhitePoints[items.whitePoint];
    record->Tone = kTones[items.tone];
  }
  if (items.profileKind == 2 && items.firstOn == 1 && items.firstPath) flags |= kConvertFirstProfile;
  if (items.profileKind == 2 && items.secondOn == 1 && items.secondFromFirstRead && items.secondPath &&
      (items.secondFromFirst == 0 || (items.secondFromFirst == 1 && items.firstOn == 1 && items.firstPath)))
    flags |= kConvertSecondProfile;
  if (items.library != 0) flags |= kConvertColorLibrary;
  converter->Flags = flags;
  converter->LibraryParameter = static_cast<WORD>(items.library);
  return 0;
}

bool ReadColorItemNumber(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, LONG& out) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetEffectiveItemValue(id, settings, config, &type, &length, &cell) != 0) return false;
  out = type == kTypeInt16 ? static_cast<SHORT>(cell.word)
        : length == 2      ? cell.word
        : length == 1      ? cell.byte
                           : static_cast<LONG>(cell.number);
  return true;
}
