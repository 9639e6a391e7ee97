#include "graphics/job/cover_page.h"

#include <cmath>
#include <cstring>
#include <string>

#include "core/runtime/resource_module.h"
#include "graphics/device/pdev_settings.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"

namespace {

constexpr SHORT kEndOfTable = 11;
constexpr int kCoverStringChars = 50;
constexpr double kMillimetresPerPoint = 25.4 / 72;
// A fax number of this many bytes or more is set smaller, to fit this width (millimetres).
constexpr size_t kLongFaxNumber = 52;
constexpr double kFaxNumberWidth = 107;
constexpr double kPointMillimetres = 0.35277777777777775;
constexpr SHORT kNameOnlyEntry = 1;

// Rows are {source, string, font, right, baseline, size, x, y, per line, lines, step}.
constexpr CoverLayoutRow kHeadingFirst[] = {{1, 1774, 1, 1, 0, 100, 1750, 518, 0, 1, 0},
                                            {0, 0, 1, 1, 0, 100, 1397, 518, 0, 1, 0},
                                            {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kHeadingSecond[] = {{1, 1775, 1, 1, 0, 100, 1750, 518, 0, 1, 0},
                                             {0, 0, 1, 1, 0, 100, 1715, 518, 0, 1, 0},
                                             {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kDestinationFirst[] = {
    {1, 1776, 1, 0, 0, 110, 350, 680, 0, 1, 0},  {2, 0, 1, 0, 0, 145, 680, 669, 40, 1, 0},
    {3, 0, 1, 0, 0, 120, 1708, 676, 0, 1, 0},    {4, 0, 1, 0, 0, 90, 680, 762, 40, 2, 40},
    {5, 0, 1, 1, 0, 90, 1750, 762, 0, 1, 0},     {7, 1778, 1, 0, 0, 90, 350, 870, 0, 1, 0},
    {8, 0, 1, 0, 0, 120, 680, 864, 100, 1, 0},   {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kDestinationSecond[] = {
    {1, 1777, 1, 0, 0, 110, 350, 680, 0, 1, 0}, {2, 0, 1, 0, 0, 145, 680, 669, 40, 1, 0},
    {4, 0, 1, 0, 0, 90, 680, 762, 40, 2, 40},   {7, 1779, 1, 0, 0, 90, 350, 870, 0, 1, 0},
    {8, 0, 1, 0, 0, 120, 680, 864, 100, 1, 0},  {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kSenderFirst[] = {
    {1, 1780, 1, 0, 0, 110, 350, 1021, 0, 1, 0}, {2, 0, 1, 0, 0, 145, 680, 1010, 40, 1, 0},
    {4, 0, 1, 0, 0, 90, 680, 1101, 40, 5, 40},   {1, 1782, 1, 0, 0, 90, 350, 1335, 0, 1, 0},
    {6, 0, 1, 0, 0, 140, 680, 1323, 30, 1, 0},   {1, 1784, 1, 0, 0, 90, 350, 1418, 0, 1, 0},
    {8, 0, 1, 0, 0, 140, 680, 1406, 30, 1, 0},   {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kSenderSecond[] = {
    {1, 1781, 1, 0, 0, 110, 350, 1021, 0, 1, 0}, {2, 0, 1, 0, 0, 145, 680, 1010, 40, 1, 0},
    {4, 0, 1, 0, 0, 90, 680, 1101, 40, 5, 40},   {1, 1783, 1, 0, 0, 90, 350, 1335, 0, 1, 0},
    {6, 0, 1, 0, 0, 140, 680, 1323, 30, 1, 0},   {1, 1785, 1, 0, 0, 90, 350, 1418, 0, 1, 0},
    {8, 0, 1, 0, 0, 140, 680, 1406, 30, 1, 0},   {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kCommentFirst[] = {{1, 1786, 1, 0, 0, 100, 350, 1650, 0, 1, 0},
                                            {9, 0, 1, 0, 0, 130, 680, 1640, 40, 1, 0},
                                            {1, 1788, 1, 0, 0, 90, 350, 1744, 0, 1, 0},
                                            {10, 0, 1, 0, 0, 110, 680, 1744, 40, 16, 49},
                                            {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
constexpr CoverLayoutRow kCommentSecond[] = {{1, 1787, 1, 0, 0, 100, 350, 1650, 0, 1, 0},
                                             {9, 0, 1, 0, 0, 130, 680, 1640, 40, 1, 0},
                                             {1, 1789, 1, 0, 0, 90, 350, 1744, 0, 1, 0},
                                             {10, 0, 1, 0, 0, 110, 680, 1744, 40, 16, 49},
                                             {kEndOfTable, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};

// The four tables in walking order, each with its two variants.
constexpr const CoverLayoutRow* kCoverTables[4][2] = {{kHeadingFirst, kHeadingSecond},
                                                      {kDestinationFirst, kDestinationSecond},
                                                      {kSenderFirst, kSenderSecond},
                                                      {kCommentFirst, kCommentSecond}};

// Strings of the destination table chosen by the cover settings.
constexpr UINT kCompanyStrings[] = {1770, 1771};
constexpr UINT kHonorificStrings[] = {1772, 1773};

std::u16string LoadCoverString(UINT id) {
  WCHAR text[kCoverStringChars + 1] = {};
  if (LoadStringW(GetResourceModule(), id, text, kCoverStringChars + 1) <= 0) return {};
  return text;
}

template <size_t N>
std::u16string FieldText(const WCHAR (&field)[N]) {
  return std::u16string(field, static_cast<size_t>(FaxFieldLength(field)));
}

std::u16string Text(LPCWSTR text) { return text != nullptr ? std::u16string(text) : std::u16string(); }

// The text a row of table `table` (0-3) places.
std::u16string ResolveCoverSource(int table, const CoverLayoutRow& row, const ExtendedFaxDestination& e,
                                  const CoverInformation& info, const CoverExtras& extras) {
  if (row.source == 1) return LoadCoverString(static_cast<UINT>(row.stringId));
  switch (table) {
    case 0:
      return row.source == 0 ? Text(info.title) : std::u16string();
    case 1: {
      const bool single = info.mode != 1;
      const bool numbered = single && e.entry.kind != kNameOnlyEntry;
      switch (row.source) {
        case 2: return info.mode == 1 ? Text(info.recipient) : FieldText(e.entry.name);
        case 3: return single && (info.company == 1 || info.company == 2) ? LoadCoverString(kCompanyStrings[info.company - 1])
                                                                          : std::u16string();
        case 4: return single ? FieldText(e.entry.secondText) : std::u16string();
        case 5: return single && (info.honorific == 1 || info.honorific == 2)
                           ? LoadCoverString(kHonorificStrings[info.honorific - 1])
                           : std::u16string();
        case 7: return numbered ? LoadCoverString(static_cast<UINT>(row.stringId)) : std::u16string();
        case 8: {
          if (!numbered) return {};
          std::u16string prefix;
          if (info.numberPrefix == 1 && e.entry.dialKind == 2) prefix = Text(extras.secondPrefix);
          else if (info.numberPrefix == 1 && e.entry.dialKind == 1) prefix = Text(extras.firstPrefix);
          return prefix + FieldText(e.entry.number);
        }
        default: return {};
      }
    }
    case 2:
      if (row.source == 2 || row.source == 4 || row.source == 6 || row.source == 8)
        return Text(info.sender[row.source / 2 - 1]);
      return {};
    default:
      if (row.source == 9) return FieldText(e.firstText);
      if (row.source == 10) return FieldText(e.secondText);
      return {};
  }
}

bool ToAnsi(const std::u16string& text, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(text.c_str(), &ansi, &length, 0)) return false;
  out->assign(ansi, static_cast<size_t>(length));
  GlobalFree(ansi);
  return true;
}

// Appends an ANSI line as wide text, cut to kCoverTextChars characters.
bool AppendCoverLine(const std::string& line, WCHAR (*lines)[kCoverTextChars + 1], int* count) {
  WCHAR* out = lines[*count];
  std::memset(out, 0, sizeof lines[0]);
  if (!line.empty()) {
    LPWSTR wide = nullptr;
    int chars = 0;
    if (!MultiByteToWideCp(line.c_str(), &wide, &chars, 0)) return false;
    for (int i = 0; i < kCoverTextChars && wide[i] != 0; ++i) out[i] = wide[i];
    GlobalFree(wide);
  }
  ++*count;
  return true;
}

void CopyItemText(WCHAR* out, const std::u16string& text) {
  const size_t n = text.size() < static_cast<size_t>(kCoverTextChars) ? text.size() : kCoverTextChars;
  std::memcpy(out, text.data(), n * sizeof(WCHAR));
  out[n] = 0;
}

}  // namespace

int LoadFaxDestination(const BYTE* blob, DWORD size, DWORD index, ExtendedFaxDestination* out) {
  FaxListHeader header;
  if (out == nullptr || !GetFaxListHeader(blob, size, &header) || !GetFaxDestination(blob, size, index, &out->entry))
    return 0;
  std::memcpy(out->firstText, header.firstText, sizeof out->firstText);
  std::memcpy(out->secondText, header.secondText, sizeof out->secondText);
  return 1;
}

void ReadCoverInformation(Pdev* pdev, CoverInformation* info, CoverExtras* extras) {
  *info = {};
  info->kind = GetPdevSettingWord(pdev, kItemCoverKind);
  info->title = GetPdevSettingString(pdev, kItemCoverTitle);
  info->mode = GetPdevSettingWord(pdev, kItemFaxDestinations) >= 2 ? GetPdevSettingWord(pdev, kItemFaxOneJob) : 0;
  info->recipient = GetPdevSettingString(pdev, kItemCoverRecipient);
  info->company = GetPdevSettingWord(pdev, kItemCoverCompany);
  info->honorific = GetPdevSettingWord(pdev, kItemCoverHonorific);
  info->numberPrefix = GetPdevSettingWord(pdev, kItemCoverNumberPrefix);
  for (int i = 0; i < 4; ++i)
    info->sender[i] = GetPdevSettingString(pdev, static_cast<SettingItemId>(kItemCoverSenderFirst + i));
  extras->secondPrefix = GetPdevSettingString(pdev, kItemFaxSecondPrefix);
  extras->firstPrefix = GetPdevSettingString(pdev, kItemFaxFirstPrefix);
}

int WrapCoverText(LPCWSTR text, int bytesPerLine, int maxLines, WCHAR (*lines)[kCoverTextChars + 1], int* count) {
  *count = 0;
  std::string ansi;
  if (!ToAnsi(Text(text), &ansi)) return 0;
  std::string line;
  size_t i = 0;
  while (i < ansi.size() && *count < maxLines) {
    if (ansi[i] == '\r' && i + 1 < ansi.size() && ansi[i + 1] == '\n') {
      if (!AppendCoverLine(line, lines, count)) return 0;
      line.clear();
      i += 2;
      continue;
    }
    const size_t width = IsDBCSLeadByte(static_cast<BYTE>(ansi[i])) && i + 1 < ansi.size() ? 2 : 1;
    if (line.size() + width > static_cast<size_t>(bytesPerLine) && !line.empty()) {
      if (!AppendCoverLine(line, lines, count)) return 0;
      line.clear();
      continue;
    }
    line.append(ansi, i, width);
    i += width;
  }
  // The remainder is the last line, unless the line limit is already reached.
  if (!line.empty() && *count < maxLines && !AppendCoverLine(line, lines, count)) return 0;
  return 1;
}

int PlaceCoverText(LPCWSTR text, const CoverLayoutRow* row, CoverTextItem* items, int* count) {
  if (text == nullptr || *text == 0) return 1;
  WCHAR lines[kMaxCoverTexts][kCoverTextChars + 1];
  int lineCount = 0;
  if (row->lines < 2) {
    CopyItemText(lines[0], text);
    lineCount = 1;
  } else if (!WrapCoverText(text, row->perLine, row->lines < kMaxCoverTexts ? row->lines : kMaxCoverTexts, lines,
                            &lineCount)) {
    return 0;
  }
  std::string whole;
  if (!ToAnsi(text, &whole)) return 0;
  SHORT size = row->size;
  if (row->source == 8 && whole.size() >= kLongFaxNumber)
    size = static_cast<SHORT>(kFaxNumberWidth / static_cast<double>(whole.size()) * 2 / kPointMillimetres * 10);
  const double millimetresPerSize = row->size / 10.0 * kMillimetresPerPoint;
  for (int k = 0; k < lineCount && *count < kMaxCoverTexts; ++k) {
    std::string bytes;
    if (!ToAnsi(lines[k], &bytes)) return 0;
    CoverTextItem& item = items[(*count)++];
    LONG x = row->x;
    if (row->rightAlign == 1) x -= static_cast<LONG>(millimetresPerSize * (static_cast<double>(bytes.size()) * 0.5) * 10);
    LONG y = row->y + k * row->lineStep;
    if (row->baseline == 2) y -= static_cast<LONG>(millimetresPerSize * 860 / 1000 * 10);
    item.x = static_cast<SHORT>(x);
    item.y = static_cast<SHORT>(y);
    item.size = size;
    item.fontSlot = row->fontSlot;
    std::memcpy(item.text, lines[k], sizeof item.text);
  }
  return 1;
}

int BuildCoverTexts(const ExtendedFaxDestination* entry, const CoverInformation* info, const CoverExtras* extras,
                    CoverTextItem* items, int* count) {
  if (entry == nullptr || info == nullptr || extras == nullptr || items == nullptr || count == nullptr) return 0;
  *count = 0;
  const int variant = info->kind == 0 ? 0 : 1;
  for (int table = 0; table < 4; ++table) {
    for (const CoverLayoutRow* row = kCoverTables[table][variant]; row->source != kEndOfTable; ++row) {
      const std::u16string text = ResolveCoverSource(table, *row, *entry, *info, *extras);
      if (!PlaceCoverText(text.c_str(), row, items, count)) return 0;
    }
  }
  return 1;
}
