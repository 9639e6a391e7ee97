#include "core/job/monitor_job.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/database/dbrecords.h"
#include "core/descriptors/item_descriptors.h"
#include "core/store/item_access.h"
#include "core/system/printer_info.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/identity.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/kernel/time.h"
#include "platform/spooler/spooler.h"

namespace {

constexpr UINT kOthersShortName = 5140;
constexpr UINT kOthersLongName = 5139;
constexpr UINT kOthersCutNumber = 5141;
constexpr UINT kOthersNumber = 5142;
constexpr UINT kNamePrefix = 5143;
constexpr DWORD kResourceTextBytes = 256;
constexpr int kUserNameChars = 65;
constexpr int kUserNameRetries = 3;
constexpr char kUnknownUser[] = "UnknownUser";

// Text limits of the fax texts (bytes without the terminator).
constexpr size_t kFaxTextMax = kMonitorTextBytes - 1;
constexpr size_t kShortNameLimit = 25;
constexpr size_t kOthersAt = 20;
constexpr size_t kLongNumber = 29;
constexpr size_t kCutNumber = 25;

std::string ToAnsi(LPCWSTR text) {
  if (text == nullptr || *text == 0) return {};
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(text, &ansi, &length, 0)) return {};
  std::string out(ansi, static_cast<size_t>(length));
  GlobalFree(ansi);
  return out;
}

template <size_t N>
std::string FieldAnsi(const WCHAR (&field)[N]) {
  return ToAnsi(std::u16string(field, static_cast<size_t>(FaxFieldLength(field))).c_str());
}

// Whether a character of the ANSI text begins at byte `at` (the end counts as a beginning).
bool StartsCharacter(const std::string& text, size_t at) {
  size_t i = 0;
  while (i < at && i < text.size()) i += IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size() ? 2 : 1;
  return i == at;
}

// The text cut to at most max bytes without splitting a double-byte character.
std::string CutAnsi(const std::string& text, size_t max) {
  if (text.size() <= max) return text;
  size_t end = max;
  while (end > 0 && !StartsCharacter(text, end)) --end;
  return text.substr(0, end);
}

std::string ResourceAnsi(HMODULE module, UINT id) {
  WCHAR text[kResourceTextBytes] = {};
  if (module == nullptr || LoadStringW(module, id, text, static_cast<int>(kResourceTextBytes)) <= 0) return {};
  return ToAnsi(text);
}

// Whether a pattern holds exactly one whole-number directive (and no other but "%%").
bool HasOneNumberDirective(const std::string& pattern) {
  int numbers = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (++i < pattern.size() && pattern[i] == '%') continue;
    while (i < pattern.size() && (std::strchr("-+ #0", pattern[i]) != nullptr || (pattern[i] >= '0' && pattern[i] <= '9')))
      ++i;
    if (i >= pattern.size() || std::strchr("diu", pattern[i]) == nullptr) return false;
    ++numbers;
  }
  return numbers == 1;
}

std::string FormatOthers(HMODULE module, UINT id, DWORD others) {
  const std::string pattern = ResourceAnsi(module, id);
  if (!HasOneNumberDirective(pattern)) return {};
  char text[kResourceTextBytes];
  std::snprintf(text, sizeof text, pattern.c_str(), static_cast<int>(others));
  return text;
}

DWORD ReadNumber(const MonitorJobContext* c, SettingItemId id) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, c->settings, c->config, &type, &length, &cell) != kItemDone || type == kTypeString) return 0;
  return length == 1 ? cell.byte : length == 2 ? cell.word : cell.number;
}

std::string ReadTextAnsi(const MonitorJobContext* c, SettingItemId id) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, c->settings, c->config, &type, &length, &cell) != kItemDone || type != kTypeString ||
      cell.data == nullptr)
    return {};
  const LPCWSTR text = static_cast<LPCWSTR>(cell.data);
  return ToAnsi(std::u16string(text, wcsnlen(text, length / sizeof(WCHAR))).c_str());
}

// The owner text of an ordinary job: the name of the paper type's value up to its first line
// end.
std::string BuildOwnerText(const MonitorJobContext* c) {
  if (c->store == nullptr) return {};
  ItemValueCell cell{};
  ValueTypeCode valueType = 0;
  DWORD length = 0;
  if (GetItemValue(kItemPaperType, c->settings, c->config, &valueType, &length, &cell) != kItemDone) return {};
  WORD type = 0;
  DatabaseRecord* record = nullptr;
  if (ReadItemValueRecord(FALSE, c->store->main, c->store->linked, kItemPaperType, &cell, &type, &record) != kDbOk ||
      record == nullptr)
    return {};
  LPWSTR name = nullptr;
  void* value = nullptr;
  WORD valueKind = 0;
  std::string owner;
  if (CopyChoiceValue(record, &name, &value, &valueKind) == kDbOk && name != nullptr) {
    owner = ToAnsi(name);
    owner.resize(strnlen(owner.c_str(), owner.size()));
    if (const char* cr = std::strchr(owner.c_str(), '\r'); cr != nullptr) owner.resize(cr - owner.c_str());
  }
  ReleaseGlobalBlock(name);
  ReleaseGlobalBlock(value);
  FreeRecord(&record, type);
  return owner;
}

// The port and printer names: the context's, else the spooler's.
void ReadPrinterNames(const MonitorJobContext* c, std::string* port, std::string* printer) {
  *port = ToAnsi(c->portName);
  *printer = ToAnsi(c->printerName);
  if (!port->empty() && !printer->empty()) return;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(GetPrinterInfo(c->printer, 2));
  if (info == nullptr) return;
  if (port->empty()) *port = ToAnsi(info->pPortName);
  if (printer->empty()) *printer = ToAnsi(info->pPrinterName);
  GlobalFree(info);
}

}  // namespace

void GetMonitorUserName(const MonitorJobContext* context, LPSTR name, DWORD bytes) {
  if (name == nullptr || bytes == 0) return;
  std::string user;
  const DWORD source = ReadNumber(context, kItemOwnerMode) & 0xFFFF;
  if (source == 1 || source == 4) {
    user = ReadTextAnsi(context, kItemOwnerName);
  } else if (source == 5 || source == 6) {
    user = ReadTextAnsi(context, kItemOtherOwnerName);
  } else if (context->userName != nullptr && context->userName[0] != 0) {
    user = ToAnsi(context->userName);
  } else {
    WCHAR logged[kUserNameChars];
    for (int attempt = 0; attempt <= kUserNameRetries; ++attempt) {
      if (attempt > 0) Sleep(1);
      DWORD size = kUserNameChars;
      if (!GetUserNameW(logged, &size)) break;
      if (lstrcmpW(logged, u"SYSTEM") != 0) {
        user = ToAnsi(logged);
        break;
      }
    }
  }
  if (user.empty()) user = kUnknownUser;
  std::snprintf(name, bytes, "%s", CutAnsi(user, bytes - 1).c_str());
}

void BuildFaxMonitorTexts(HMODULE resources, const FaxDestination* entry, DWORD count, char* name, char* number) {
  std::string n = CutAnsi(FieldAnsi(entry->name), kFaxTextMax);
  if (count > 1) {
    const std::string others =
        FormatOthers(resources, n.size() < kShortNameLimit ? kOthersShortName : kOthersLongName, count - 1);
    if (!others.empty()) {
      // Over the name's end when it reaches byte 19, without splitting a character there.
      size_t at = n.size();
      if (n.size() >= kOthersAt)
        at = StartsCharacter(n, kOthersAt - 1) && IsDBCSLeadByte(BYTE(n[kOthersAt - 1])) ? kOthersAt - 1 : kOthersAt;
      n = CutAnsi(n.substr(0, at) + others, kFaxTextMax);
    }
  }
  std::string d = entry->kind == 1 ? ResourceAnsi(resources, kNamePrefix) : std::string();
  d = CutAnsi(d + FieldAnsi(entry->number), kFaxTextMax);
  if (count > 1) {
    if (d.size() >= kLongNumber) d = CutAnsi(d, kCutNumber) + ResourceAnsi(resources, kOthersCutNumber);
    else d += ResourceAnsi(resources, kOthersNumber);
    d = CutAnsi(d, kFaxTextMax);
  }
  std::snprintf(name, kMonitorTextBytes, "%s", n.c_str());
  std::snprintf(number, kMonitorTextBytes, "%s", d.c_str());
}

PirvexHandle CollectJobOwnerData(const MonitorJobContext* context, LPSTR id) {
  if (context == nullptr || id == nullptr) return 0;
  std::string port, printer;
  ReadPrinterNames(context, &port, &printer);
  char user[kPirvexIdBytes];
  GetMonitorUserName(context, user, sizeof user);
  const std::string document = ToAnsi(context->documentName);
  int mode = kPirvexModeOther;
  DWORD jobType = kPirvexJobPrint;
  DWORD item320 = 0;
  std::string owner;
  char faxName[kMonitorTextBytes] = {}, faxNumber[kMonitorTextBytes] = {};
  DWORD hour = 0, minute = 0;
  if (context->fax && ReadNumber(context, kItemFaxHeaderOnly) != 1) {
    FaxDestination entry;
    if (!GetFaxDestination(context->faxBlob, context->faxBlobSize, context->destinationIndex, &entry)) return 0;
    mode = kPirvexModeFax;
    jobType = ReadNumber(context, kItemFaxTimeOn) == 1 ? kPirvexJobTimedFax : kPirvexJobFax;
    BuildFaxMonitorTexts(context->resourceModule, &entry, context->destinationCount, faxName, faxNumber);
  } else {
    item320 = ReadNumber(context, kItemStaplePosition);
    if (ReadNumber(context, kItemSaveToFile) == 1) {
      jobType = kPirvexJobMarked;
      owner = ReadTextAnsi(context, kItemSaveFileName);
    } else {
      switch (ReadNumber(context, kItemJobType)) {
        case 1: jobType = kPirvexJobSecure; break;
        case 2: jobType = kPirvexJobSample; break;
        case 3: jobType = kPirvexJobBox; break;
        case 4: jobType = kPirvexJobDelayed; break;
        default: jobType = kPirvexJobPrint; break;
      }
      // A box job's record carries no owner text.
      if (jobType != kPirvexJobBox) owner = BuildOwnerText(context);
      hour = ReadNumber(context, kItemDelayHour);
      minute = ReadNumber(context, kItemDelayMinute);
    }
  }
#if defined(QV_BUILD_UI)
  const PirvexJobTexts texts{port.c_str(), document.c_str(), owner.c_str(), printer.c_str(), user, faxName, faxNumber};
  PirvexHandle handle = 0;
  char combined[kPirvexIdBytes];
  if (FillPirvexRecords(&handle, combined, mode, item320, jobType, &texts, hour, minute) != kPirvexDone) return 0;
  std::memcpy(id, combined, sizeof combined);
  return handle;
#else
  // The graphics module gathers the texts only; announcing is the user-interface module's.
  static_cast<void>(mode + item320 + jobType + hour + minute);
  return 0;
#endif
}
