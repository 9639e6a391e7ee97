// The job information block and the document's user name (job_info.h).
#include "ui/module/job_info.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "core/common/format_text.h"
#include "core/database/model_features.h"
#include "core/runtime/resource_module.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/identity.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/resource.h"
#include "platform/kernel/time.h"
#include "platform/registry/registry.h"
#include "platform/user/format.h"
#include "ui/module/job_items.h"

namespace {

constexpr WCHAR kServiceUser[] = u"SYSTEM";
constexpr WCHAR kUnknownUser[] = u"UnknownUser";
// The spelling the job information has always printed for a computer name that cannot be read.
constexpr WCHAR kUnknownHost[] = u"UnkownHost";
constexpr WCHAR kWinlogonKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr WCHAR kDefaultUserValue[] = u"DefaultUserName";
constexpr DWORD kDefaultUserMaxBytes = 1024;
// The owner text is the user name alone on models with this feature.
constexpr DWORD kFeatureOwnerWithoutHost = 0x2000000;

constexpr DWORD kUserFieldBytes = 63;
constexpr DWORD kOwnerFieldBytes = 31;
constexpr DWORD kUserWorkChars = 1024;

// Resource strings: the time format, and the date formats by the locale's date order.
constexpr UINT kTimeFormatString = 5178;
constexpr UINT kDateFormatStrings[] = {5179, 5180, 5181};
constexpr int kTimeFormatChars = 11;
constexpr int kDateFormatChars = 13;
constexpr int kYearMonthDayOrder = 2;

enum JobInfoField { kFieldUser, kFieldOwner, kFieldDocument, kFieldPage, kFieldDate, kFieldTime };

bool FieldOn(DcJobRecord* record, JobInfoField field) {
  return JobNumber(&record->settings, &record->configuration, kJobInfoFieldItems[field]) == 1;
}

bool IsBlankName(LPCWSTR name) {
  for (; *name != 0; ++name)
    if (*name != u' ' && *name != u'\u3000') return false;
  return true;
}

// The machine's default user (Winlogon), read only when it fits the buffer; false otherwise.
bool ReadDefaultUserName(LPWSTR buffer, DWORD count) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogonKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  bool read = RegQueryValueExW(key, kDefaultUserValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              type == REG_SZ && size <= count * sizeof(WCHAR) && size <= kDefaultUserMaxBytes;
  if (read) {
    read = RegQueryValueExW(key, kDefaultUserValue, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) ==
           ERROR_SUCCESS;
    // The value's own terminator may be missing: end the text within the bytes read.
    buffer[read ? std::min<DWORD>(size / sizeof(WCHAR), count - 1) : 0] = 0;
  }
  RegCloseKey(key);
  return read;
}

// The date in the locale's order with the resource format of that order.
void FormatDate(const SYSTEMTIME& now, LPWSTR field, int chars) {
  WCHAR order[4] = {};
  int index = kYearMonthDayOrder;
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDATE, order, 4) > 0 && order[0] >= u'0' && order[0] <= u'1' &&
      order[1] == 0)
    index = order[0] - u'0';
  WCHAR format[kDateFormatChars] = {};
  LoadStringW(GetResourceModule(), kDateFormatStrings[index], format, kDateFormatChars);
  WCHAR month[4], day[4];
  wsprintfW(month, u"%02d", now.wMonth);
  wsprintfW(day, u"%02d", now.wDay);
  FormatText(field, chars, format, {static_cast<LONG>(now.wYear), month, day});
}

void FormatTime(const SYSTEMTIME& now, LPWSTR field, int chars) {
  WCHAR format[kTimeFormatChars] = {};
  LoadStringW(GetResourceModule(), kTimeFormatString, format, kTimeFormatChars);
  // The format holds two numbers at most; the text is cut to the field.
  WCHAR text[64] = {};
  wsprintfW(text, format, now.wHour, now.wMinute);
  lstrcpynW(field, text, chars);
}

}  // namespace

int GetDocumentUserName(LPWSTR buffer, DWORD count) {
  if (buffer == nullptr || count == 0) return 0;
  DWORD size = count;
  if (!GetUserNameW(buffer, &size) || lstrcmpW(buffer, kServiceUser) == 0) {
    buffer[0] = 0;
    if (!ReadDefaultUserName(buffer, count)) buffer[0] = 0;
  }
  // A document always has a name to print: a service without a default user prints as the
  // unknown user rather than failing the document.
  if (IsBlankName(buffer)) lstrcpynW(buffer, kUnknownUser, static_cast<int>(count));
  return 1;
}

void FitAnsiText(LPCWSTR text, LPWSTR field, DWORD bytes) {
  std::string narrow(bytes + 1, '\0');
  field[0] = 0;
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), static_cast<int>(bytes + 1), nullptr, nullptr);
  if (length <= 0) return;
  if (MultiByteToWideChar(CP_ACP, 0, narrow.data(), -1, field, static_cast<int>(bytes + 1)) <= 0) field[0] = 0;
}

int FillJobInfoBlock(DcJobRecord* record) {
  JobInfoBlock& info = record->jobInfo;
  info = JobInfoBlock{};
  bool any = false;
  std::u16string user(kUserWorkChars, u'\0');
  auto fetchUser = [&] {
    if (!GetDocumentUserName(user.data(), kUserWorkChars)) user[0] = 0;
  };
  if (FieldOn(record, kFieldUser)) {
    any = true;
    fetchUser();
    FitAnsiText(user.c_str(), info.user, kUserFieldBytes);
  }
  if (FieldOn(record, kFieldOwner)) {
    any = true;
    if (user[0] == 0) fetchUser();
    std::u16string owner = user.c_str();
    if (record->store == nullptr || !HasModelFeature(record->store->main, kFeatureOwnerWithoutHost)) {
      WCHAR host[MAX_COMPUTERNAME_LENGTH + 1] = {};
      DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
      owner += u'\\';
      owner += GetComputerNameW(host, &size) ? host : kUnknownHost;
    }
    FitAnsiText(owner.c_str(), info.owner, kOwnerFieldBytes);
  }
  if (FieldOn(record, kFieldDocument)) {
    any = true;
    lstrcpynW(info.document, record->documentName, kDocumentNameChars);
  }
  any |= FieldOn(record, kFieldPage);
  const bool date = FieldOn(record, kFieldDate), time = FieldOn(record, kFieldTime);
  if (date || time) {
    any = true;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (date) FormatDate(now, info.date, static_cast<int>(std::size(info.date)));
    if (time) FormatTime(now, info.time, static_cast<int>(std::size(info.time)));
  }
  info.used = any ? 1 : 0;
  return 1;
}
