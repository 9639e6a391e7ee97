#include "core/job/job_attributes.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/descriptors/item_descriptors.h"
#include "core/descriptors/user_paper_name.h"
#include "core/job/job_header_status.h"
#include "core/runtime/lock_slots.h"
#include "core/store/effective_values.h"
#include "core/store/item_access.h"
#include "core/system/user_locale.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/time.h"
#include "platform/spooler/spooler.h"

namespace {

constexpr DWORD kOneTimeTextField = 49;  // bytes of item 329's field
constexpr DWORD kOneTimeTextMax = 48;
constexpr DWORD kDocumentNameMax = 12;
constexpr DWORD kDocumentNameMaxDoubleByte = 24;
constexpr DWORD kOwnerNameMax = 255;               // bytes of the owner name written
constexpr DWORD kOwnerNameBufferChars = 1024;      // a longer name is read whole, then cut
constexpr WORD kNumberListMin = 2;
constexpr WORD kNumberListMax = 9998;

struct PaperName {
  WORD id;
  const char* name;
};
constexpr WORD kUserPaperRow = 262;
constexpr PaperName kPaperNames[] = {
    {8, "A3"},           {9, "A4"},           {11, "A5"},         {70, "A6"},          {12, "B4"},
    {13, "B5"},          {1, "INCH85_11"},    {14, "INCH85_13"},  {5, "INCH85_14"},    {3, "INCH11_17"},
    {6, "INCH55_85"},    {259, "INCH8_10"},   {260, "INCH12_18"}, {261, "SRA3"},       {257, "8KAI"},
    {258, "16KAI"},      {43, "HAGAKI"},      {kUserPaperRow, "UNFIXED:%hu:%hu"},
};

int ReadStatus(ItemAccessResult result) {
  if (result == kItemDone) return 0;
  return result == kItemNoRange ? kJobItemUnknown : kJobItemUnreadable;
}

// Whether a byte is a single-byte character of the job-name ranges, or the lead of a pair.
bool IsSingleNameByte(BYTE b) { return (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF); }
bool IsLeadNameByte(BYTE b) { return b >= 0x81 && b <= 0xFC; }
bool IsTrailNameByte(BYTE b) { return b >= 0x40 && b <= 0xFC; }

int AppendKeyAnsi(LPCWSTR key, LPCSTR value, HeaderOutput* output) {
  const int first = AppendWideAsAnsi(key, output);
  if (first < 0) return first;
  const int second = AppendAnsi(value, output);
  return second < 0 ? second : first + second;
}

// Item 12: "1" when the copies are not the device's to make: the driver repeats the collated
// pages once per copy itself (model feature 0x10000, collated, and item 1344 off or items 4123
// and 4099 both off), so asking the device for the copies as well would print copies x copies
// sets. A job saved as a file is output once, not per copy: it keeps its copies, as it does
// under the model's one-copy rule (features 0x10000 and 0x20000, items 4099 and 4123 off, device
// version 0x1010903 or later), whose cases all fall inside the driver's collation. Else the
// item's own value.
int WriteCopiesAttr(LPCWSTR key, JobHeaderBuild* build) {
  if (HasFeature(build, kFeatureCopiesOne)) {
    DWORD flag1 = 0, flag2 = 0, collate = 0, deviceCollation = 0, saveToFile = 0;
    // A model without the device-collation or save-to-file item has them off.
    if (ReadItemAs(kItemDeviceCollation, build, &deviceCollation) != 0) deviceCollation = 0;
    if (ReadItemAs(kItemSaveToFile, build, &saveToFile) != 0) saveToFile = 0;
    if (ReadItemAs(kItemCopiesByDevice, build, &flag1) == 0 &&
        ReadItemAs(kItemCopiesByDeviceSecond, build, &flag2) == 0 && ReadItemAs(kItemCollate, build, &collate) == 0 &&
        static_cast<SHORT>(collate) == 1 && (deviceCollation == 0 || (flag1 == 0 && flag2 == 0)) && saveToFile != 1)
      return AppendKeyAnsi(key, "1", build->output);
  }
  return FormatItemValue(key, kItemCopies, build);
}

// Item 329: a text that reaches one job only; it is emptied in the job's settings once written.
int WriteOneTimeText(LPCWSTR key, JobHeaderBuild* build) {
  DWORD off = 1;
  if (int r = ReadItemAs(kItemMonitorOn, build, &off); r < 0) return r;
  LPCWSTR field = nullptr;
  if (int r = ReadItemText(kItemOneTimeText, build, &field); r < 0) return r;
  // The field holds ANSI bytes, not always terminated.
  const char* bytes = reinterpret_cast<const char*>(field);
  char text[kOneTimeTextField + 1] = {};
  std::memcpy(text, bytes, strnlen(bytes, kOneTimeTextField));
  if (off != 0 || text[0] == 0) return 0;
  text[kOneTimeTextMax] = 0;
  const int written = AppendKeyAnsi(key, text, build->output);
  if (written < 0) return written;
  const WCHAR empty[kOneTimeTextField] = {};
  LPCWSTR emptyText = empty;
  SetItemValue(kItemOneTimeText, build->context->settings, build->context->config, kTypeString, sizeof(WCHAR),
               &emptyText);
  return written;
}

// The feed item of a user paper: item 409 says which of 412 and 413 holds it.
int GetUserPaperFeedItem(JobHeaderBuild* build, SettingItemId* item) {
  DWORD selector = 0;
  if (ReadItemAs(kItemSheetListPaper, build, &selector) < 0) return kJobValueRuleFailed;
  if (selector == 4)
    *item = kItemSheetFeedEdgeA;
  else if (selector == 264)
    *item = kItemSheetFeedEdgeB;
  else return kJobValueRuleFailed;
  return 0;
}

// A user paper: its spooler form's size in whole millimetres, width first when fed short edge
// first.
int WriteUserPaperSize(LPCWSTR key, WORD paper, JobHeaderBuild* build) {
  WCHAR formName[64] = {};
  if (!FormatUserPaperName(UserPaperIdToIndex(paper), formName, 64)) return kJobValueRuleFailed;
  DWORD needed = 0;
  GetFormW(build->context->printer, formName, 1, nullptr, 0, &needed);
  if (needed < sizeof(FORM_INFO_1W)) return kJobValueRuleFailed;
  std::vector<BYTE> block(needed);
  if (!GetFormW(build->context->printer, formName, 1, block.data(), needed, &needed)) return kJobValueRuleFailed;
  FORM_INFO_1W form;
  std::memcpy(&form, block.data(), sizeof form);
  if (form.Size.cx < 0 || form.Size.cy < 0) return kJobValueRuleFailed;
  const DWORD widthMm = ((static_cast<DWORD>(form.Size.cx) + 50) / 100 + 5) / 10;
  const DWORD lengthMm = ((static_cast<DWORD>(form.Size.cy) + 50) / 100 + 5) / 10;
  SettingItemId feedItem = 0;
  if (GetUserPaperFeedItem(build, &feedItem) < 0) return kJobValueRuleFailed;
  DWORD feed = 0;
  if (ReadItemAs(feedItem, build, &feed) < 0) return kJobValueRuleFailed;
  const DWORD first = feed == 2 ? widthMm : lengthMm;
  const DWORD second = feed == 2 ? lengthMm : widthMm;
  char text[48];
  std::snprintf(text, sizeof text, "UNFIXED:%u:%u", static_cast<WORD>(first), static_cast<WORD>(second));
  return AppendKeyAnsi(key, text, build->output);
}

int WritePaperNameAttr(LPCWSTR key, SettingItemId id, JobHeaderBuild* build) {
  DWORD value = 0;
  if (ReadItemAs(id, build, &value) < 0) return kJobValueRuleFailed;
  const WORD paper = static_cast<WORD>(value);
  if (IsUserPaperId(paper)) return WriteUserPaperSize(key, paper, build);
  for (const PaperName& row : kPaperNames)
    if (row.id == paper && row.id != kUserPaperRow) return AppendKeyAnsi(key, row.name, build->output);
  return kJobValueRuleFailed;
}

int WriteFeedEdgeAttr(LPCWSTR key, SettingItemId id, JobHeaderBuild* build) {
  static constexpr SettingItemId kPairs[3][2] = {{404, 407}, {405, 408}, {406, 409}};
  SettingItemId tested = kItemBypassFeedEdge;
  if (id == kItemSheetFeedEdgeA) {
    for (const auto& pair : kPairs) {
      DWORD a = 0, b = 0;
      if (int r = ReadItemAs(pair[0], build, &a); r < 0) return r;
      if (int r = ReadItemAs(pair[1], build, &b); r < 0) return r;
      if (a == 1 && b == 4) tested = kItemSheetFeedEdgeA;
    }
  }
  DWORD edge = 0;
  if (int r = ReadItemAs(tested, build, &edge); r < 0) return r;
  return AppendKeyAnsi(key, edge == 2 ? "SEF" : "LEF", build->output);
}

// Item 435: its text without leading zeros.
int WriteZeroTrimmedText(LPCWSTR key, JobHeaderBuild* build) {
  LPCWSTR text = nullptr;
  if (int r = ReadItemText(kItemZeroPaddedNumber, build, &text); r < 0) return r;
  while (*text == u'0') ++text;
  return AppendKeyValue(key, text, build->output);
}

int WriteDocumentNameAttr(LPCWSTR key, JobHeaderBuild* build) {
  LPCWSTR name = build->context->documentName;
  if (name == nullptr || *name == 0) return 0;
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(name, &ansi, &length, 0)) return kJobTextConversionFailed;
  const bool doubleByte = HasFeature(build, kFeatureDoubleByteNames);
  char text[kDocumentNameMaxDoubleByte + 1] = {};
  const bool taken = TakeJobNameText(ansi, doubleByte ? kDocumentNameMaxDoubleByte : kDocumentNameMax, doubleByte,
                                     doubleByte, text);
  GlobalFree(ansi);
  return taken ? AppendKeyAnsi(key, text, build->output) : 0;
}

int WriteDocumentNameItem(LPCWSTR key, JobHeaderBuild* build) {
  DWORD mode = 0;
  if (int r = ReadItemAs(kItemDocumentNameMode, build, &mode); r < 0) return r;
  if (mode == 0) {
    LPCWSTR text = nullptr;
    if (ReadItemText(kItemDocumentName, build, &text) < 0) return kJobValueRuleFailed;
    return FormatItemValue(key, kItemDocumentName, build);
  }
  if (mode == 1) return WriteDocumentNameAttr(key, build);
  return kJobDocumentNameModeBad;
}

// Items 1834-1853: the page numbers from 2 to 9998, ascending, each once, joined by ":".
int WriteNumberList(LPCWSTR key, JobHeaderBuild* build) {
  std::vector<WORD> numbers;
  for (SettingItemId id = kItemNumberListFirst; id <= kItemNumberListLast; ++id) {
    DWORD value = 0;
    if (int r = ReadItemAs(id, build, &value); r < 0) return r;
    if (value >= kNumberListMin && value <= kNumberListMax) numbers.push_back(static_cast<WORD>(value));
  }
  if (numbers.empty()) return 0;
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  std::string text;
  for (WORD n : numbers) text += (text.empty() ? "" : ":") + std::to_string(n);
  return AppendKeyAnsi(key, text.c_str(), build->output);
}

int WriteOwnerAttr(LPCWSTR key, JobHeaderBuild* build) {
  WCHAR name[kOwnerNameBufferChars] = {};
  DWORD size = kOwnerNameBufferChars;
  char text[kOwnerNameMax + 1] = "UnknownUser";
  if (GetCurrentUserName(name, &size) && name[0] != 0) {
    LPSTR ansi = nullptr;
    int length = 0;
    char taken[kOwnerNameMax + 1] = {};
    if (WideToMultiByteCp(name, &ansi, &length, 0)) {
      if (TakeJobNameText(ansi, kOwnerNameMax, true, true, taken)) std::memcpy(text, taken, sizeof text);
      GlobalFree(ansi);
    }
  }
  return AppendKeyAnsi(key, text, build->output);
}

int WriteMonitorJobId(LPCWSTR key, JobHeaderBuild* build) {
  if (build->context->monitorFlag != 1) return 0;
  char id[kMonitorJobIdBytes + 1] = {};
  std::memcpy(id, build->context->monitorJobId, strnlen(build->context->monitorJobId, kMonitorJobIdBytes));
  return AppendKeyAnsi(key, id, build->output);
}

// The chosen hour and minute on today's date, or tomorrow's when that time has passed today.
int WriteDelayedPrintTime(LPCWSTR key, JobHeaderBuild* build) {
  DWORD hour = 0, minute = 0;
  if (int r = ReadItemAs(kItemDelayHour, build, &hour); r < 0) return r;
  if (int r = ReadItemAs(kItemDelayMinute, build, &minute); r < 0) return r;
  struct tm now = {};
  {
    LockSlotGuard clock(kLockClock);
    const LONGLONG seconds = _time64(nullptr);
    if (_localtime64_s(&now, &seconds) != 0) return 0;
    const DWORD chosen = hour * 100 + minute;
    const DWORD current = static_cast<DWORD>(now.tm_hour * 100 + now.tm_min);
    if (chosen < current) {
      now.tm_mday += 1;
      if (_mktime64(&now) == -1) return 0;
    }
  }
  char text[48];
  std::snprintf(text, sizeof text, "%04d:%02d:%02d:%02d:%02d", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday,
                static_cast<int>(hour), static_cast<int>(minute));
  return AppendKeyAnsi(key, text, build->output);
}

int WriteTimeOfDayAttr(LPCWSTR key, JobHeaderBuild* build) {
  DWORD hour = 0, minute = 0;
  if (int r = ReadItemAs(kItemFaxHour, build, &hour); r < 0) return r;
  if (int r = ReadItemAs(kItemFaxMinute, build, &minute); r < 0) return r;
  char text[24];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(hour), static_cast<int>(minute));
  return AppendKeyAnsi(key, text, build->output);
}

}  // namespace

bool TakeJobNameText(LPCSTR text, DWORD maxBytes, bool doubleByte, bool cutLonger, char* out) {
  const BYTE* b = reinterpret_cast<const BYTE*>(text);
  const DWORD n = static_cast<DWORD>(std::strlen(text));
  bool onlyBlanks = true;
  DWORD kept = 0;  // bytes of whole characters within maxBytes
  for (DWORD i = 0; i < n;) {
    DWORD width = 0;
    if (IsSingleNameByte(b[i])) {
      width = 1;
      if (b[i] != 0x20) onlyBlanks = false;
    } else if (doubleByte && IsLeadNameByte(b[i]) && i + 1 < n && IsTrailNameByte(b[i + 1])) {
      width = 2;
      if (!(b[i] == 0x81 && b[i + 1] == 0x40)) onlyBlanks = false;
    } else {
      return false;
    }
    if (i + width <= maxBytes) kept = i + width;
    i += width;
  }
  if (onlyBlanks || n == 0) return false;
  if (n > maxBytes && !cutLonger) return false;
  std::memcpy(out, text, kept);
  out[kept] = 0;
  return true;
}

int ReadItemAs(SettingItemId id, JobHeaderBuild* build, DWORD* number) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (int r = ReadStatus(GetItemValue(id, build->context->settings, build->context->config, &type, &length, &cell));
      r < 0)
    return r;
  switch (length) {
    case 1: *number = cell.byte; break;
    case 2: *number = type == kTypeInt16 ? static_cast<DWORD>(static_cast<SHORT>(cell.word)) : cell.word; break;
    case 4: *number = cell.number; break;
    default: return kJobItemBadSize;
  }
  if (type == kTypeString || type == kTypeFont) return kJobItemBadSize;
  return 0;
}

int ReadItemText(SettingItemId id, JobHeaderBuild* build, LPCWSTR* text) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (int r = ReadStatus(GetItemValue(id, build->context->settings, build->context->config, &type, &length, &cell));
      r < 0)
    return r;
  if (type != kTypeString || cell.data == nullptr) return kJobItemNotPrintable;
  *text = static_cast<LPCWSTR>(cell.data);
  return 0;
}

int FormatItemValue(LPCWSTR key, SettingItemId id, JobHeaderBuild* build) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (int r = ReadStatus(GetItemValue(id, build->context->settings, build->context->config, &type, &length, &cell));
      r < 0)
    return r;
  char text[24];
  const auto sized = [&](DWORD size) { return length == size; };
  switch (type) {
    case kTypeFlag:
      if (!sized(4)) return kJobItemBadSize;
      std::snprintf(text, sizeof text, "%s", cell.number == 1 ? "ON" : "OFF");
      break;
    case kTypeInt16:
      if (!sized(2)) return kJobItemBadSize;
      std::snprintf(text, sizeof text, "%d", static_cast<int>(static_cast<SHORT>(cell.word)));
      break;
    case kTypeUInt16:
      if (!sized(2)) return kJobItemBadSize;
      std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(cell.word));
      break;
    case kTypeInt32:
    case kTypeFontField:
      if (!sized(4)) return kJobItemBadSize;
      std::snprintf(text, sizeof text, "%" PRId32, static_cast<int32_t>(cell.number));
      break;
    case kTypeUInt32:
      if (!sized(4)) return kJobItemBadSize;
      std::snprintf(text, sizeof text, "%" PRIu32, static_cast<uint32_t>(cell.number));
      break;
    case kTypeUInt8:
      if (!sized(1)) return kJobItemBadSize;
      std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(cell.byte));
      break;
    case kTypeString: return AppendKeyValue(key, static_cast<LPCWSTR>(cell.data), build->output);
    case 7:
    case kTypeFont: return kJobConditionBadType;
    default: return kJobItemNotPrintable;
  }
  return AppendKeyAnsi(key, text, build->output);
}

int WriteItemAttr(LPCWSTR key, SettingItemId id, JobHeaderBuild* build) {
  switch (id) {
    case kItemCopies: return WriteCopiesAttr(key, build);
    case kItemOneTimeText: return WriteOneTimeText(key, build);
    case kItemSheetPaperA:
    case kItemSheetPaperB: return WritePaperNameAttr(key, id, build);
    case kItemSheetFeedEdgeA:
    case kItemBypassFeedEdge: return WriteFeedEdgeAttr(key, id, build);
    case kItemZeroPaddedNumber: return WriteZeroTrimmedText(key, build);
    case kItemDocumentName: return WriteDocumentNameItem(key, build);
    case kItemNumberListFirst: return WriteNumberList(key, build);
    case kItemJobOwner: return WriteOwnerAttr(key, build);
    case kItemMonitorJob: return WriteMonitorJobId(key, build);
    case kItemJobDelayedPrint: return WriteDelayedPrintTime(key, build);
    case kItemJobDocumentName: return WriteDocumentNameAttr(key, build);
    default: break;
  }
  if (build->modelKind == 2 && id == kItemFaxTimeOn) {
    DWORD on = 0;
    if (int r = ReadItemAs(kItemFaxTimeOn, build, &on); r < 0) return r;
    if (on == 1) return WriteTimeOfDayAttr(key, build);
  }
  return FormatItemValue(key, id, build);
}
