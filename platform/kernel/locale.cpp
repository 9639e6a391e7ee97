#include "platform/kernel/locale.h"

#include <cstring>
#include <map>
#include <mutex>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr LCID kDefaultLocale = 0x0409;

struct LocaleRecord {
  LANGID language;
  const char16_t* languageName;     // LOCALE_SLANGUAGE (in English)
  const char16_t* englishLanguage;  // LOCALE_SENGLANGUAGE
  const char16_t* abbrevLanguage;   // LOCALE_SABBREVLANGNAME
  const char16_t* nativeLanguage;   // LOCALE_SNATIVELANGNAME
  const char16_t* country;          // LOCALE_ICOUNTRY
  const char16_t* countryName;      // LOCALE_SCOUNTRY, LOCALE_SENGCOUNTRY
  const char16_t* abbrevCountry;    // LOCALE_SABBREVCTRYNAME
  const char16_t* nativeCountry;    // LOCALE_SNATIVECTRYNAME
  const char16_t* oemPage;          // LOCALE_IDEFAULTCODEPAGE
  const char16_t* ansiPage;         // LOCALE_IDEFAULTANSICODEPAGE
  const char16_t* measure;          // LOCALE_IMEASURE: 0 metric, 1 U.S.
  const char16_t* paperSize;        // LOCALE_IPAPERSIZE: 1 letter, 9 A4
  const char16_t* decimal;
  const char16_t* thousand;
  const char16_t* list;
  const char16_t* iso639;
  const char16_t* iso3166;
};

constexpr LocaleRecord kLocales[] = {
    {0x0409, u"English (United States)", u"English", u"ENU", u"English", u"1", u"United States", u"USA",
     u"United States", u"437", u"1252", u"1", u"1", u".", u",", u",", u"en", u"US"},
    {0x0809, u"English (United Kingdom)", u"English", u"ENG", u"English", u"44", u"United Kingdom", u"GBR",
     u"United Kingdom", u"850", u"1252", u"0", u"9", u".", u",", u",", u"en", u"GB"},
    {0x0407, u"German (Germany)", u"German", u"DEU", u"Deutsch", u"49", u"Germany", u"DEU", u"Deutschland", u"850",
     u"1252", u"0", u"9", u",", u".", u";", u"de", u"DE"},
    {0x040C, u"French (France)", u"French", u"FRA", u"fran\u00e7ais", u"33", u"France", u"FRA", u"France", u"850",
     u"1252", u"0", u"9", u",", u"\u00a0", u";", u"fr", u"FR"},
    {0x0410, u"Italian (Italy)", u"Italian", u"ITA", u"italiano", u"39", u"Italy", u"ITA", u"Italia", u"850", u"1252",
     u"0", u"9", u",", u".", u";", u"it", u"IT"},
    {0x0C0A, u"Spanish (Spain)", u"Spanish", u"ESN", u"espa\u00f1ol", u"34", u"Spain", u"ESP", u"Espa\u00f1a", u"850",
     u"1252", u"0", u"9", u",", u".", u";", u"es", u"ES"},
    {0x0411, u"Japanese (Japan)", u"Japanese", u"JPN", u"\u65e5\u672c\u8a9e", u"81", u"Japan", u"JPN",
     u"\u65e5\u672c", u"932", u"932", u"0", u"9", u".", u",", u",", u"ja", u"JP"},
    {0x0804, u"Chinese (Simplified, PRC)", u"Chinese", u"CHS", u"\u4e2d\u6587", u"86", u"People's Republic of China",
     u"CHN", u"\u4e2d\u534e\u4eba\u6c11\u5171\u548c\u56fd", u"936", u"936", u"0", u"9", u".", u",", u",", u"zh", u"CN"},
    {0x0404, u"Chinese (Traditional, Taiwan)", u"Chinese", u"CHT", u"\u4e2d\u6587", u"886", u"Taiwan", u"TWN",
     u"\u53f0\u7063", u"950", u"950", u"0", u"9", u".", u",", u",", u"zh", u"TW"},
    {0x0412, u"Korean (Korea)", u"Korean", u"KOR", u"\ud55c\uad6d\uc5b4", u"82", u"Korea", u"KOR",
     u"\ub300\ud55c\ubbfc\uad6d", u"949", u"949", u"0", u"9", u".", u",", u",", u"ko", u"KR"},
};

struct LocaleState {
  std::mutex lock;
  LCID user = kDefaultLocale;
  LCID system = kDefaultLocale;
  LANGID uiLanguage = static_cast<LANGID>(kDefaultLocale);
  std::map<LCTYPE, std::u16string> overrides;
};

LocaleState& State() {
  static LocaleState state;
  return state;
}

void ResetLocale() {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.user = s.system = kDefaultLocale;
  s.uiLanguage = static_cast<LANGID>(kDefaultLocale);
  s.overrides.clear();
}
const bool registered = (SimAddResetHook(&ResetLocale), true);

const LocaleRecord* FindLocale(LCID lcid) {
  for (const LocaleRecord& r : kLocales)
    if (r.language == LANGIDFROMLCID(lcid)) return &r;
  return nullptr;
}

// The locale a caller's LCID stands for, and whether it is the user's (overrides apply).
const LocaleRecord* Resolve(LCID lcid, bool& isUser) {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  LCID resolved = lcid;
  if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_NEUTRAL) resolved = s.user;
  else if (lcid == LOCALE_SYSTEM_DEFAULT) resolved = s.system;
  else if (lcid == LOCALE_INVARIANT) resolved = kDefaultLocale;
  isUser = LANGIDFROMLCID(resolved) == LANGIDFROMLCID(s.user);
  return FindLocale(resolved);
}

// The text answer for a type, or NULL for a type the layer does not know.
// The short date's order: "0" month-day-year (English of the United States), "2" year-month-day
// (Chinese, Japanese, Korean, Hungarian, Lithuanian), "1" day-month-year for the others.
const char16_t* ShortDateOrder(LANGID language) {
  constexpr LANGID kEnglishUs = 0x0409;
  switch (language & 0x3FF) {
    case 0x04: case 0x11: case 0x12: case 0x0E: case 0x27: return u"2";
    default: return language == kEnglishUs ? u"0" : u"1";
  }
}

const char16_t* Field(const LocaleRecord& r, LCTYPE type, std::u16string& scratch) {
  switch (type) {
    case LOCALE_ILANGUAGE: {
      scratch = FormatHex(r.language, 4, false);
      return scratch.c_str();
    }
    case LOCALE_SLANGUAGE: return r.languageName;
    case LOCALE_SENGLANGUAGE: return r.englishLanguage;
    case LOCALE_SABBREVLANGNAME: return r.abbrevLanguage;
    case LOCALE_SNATIVELANGNAME: return r.nativeLanguage;
    case LOCALE_ICOUNTRY: return r.country;
    case LOCALE_SCOUNTRY: case LOCALE_SENGCOUNTRY: return r.countryName;
    case LOCALE_SABBREVCTRYNAME: return r.abbrevCountry;
    case LOCALE_SNATIVECTRYNAME: return r.nativeCountry;
    case LOCALE_IDEFAULTCODEPAGE: return r.oemPage;
    case LOCALE_IDEFAULTANSICODEPAGE: return r.ansiPage;
    case LOCALE_IMEASURE: return r.measure;
    case LOCALE_IPAPERSIZE: return r.paperSize;
    case LOCALE_SDECIMAL: return r.decimal;
    case LOCALE_STHOUSAND: return r.thousand;
    case LOCALE_SLIST: return r.list;
    case LOCALE_SISO639LANGNAME: return r.iso639;
    case LOCALE_SISO3166CTRYNAME: return r.iso3166;
    case LOCALE_IDATE: return ShortDateOrder(r.language);
    default: return nullptr;
  }
}

bool IsNumberType(LCTYPE type) {
  return type == LOCALE_ILANGUAGE || type == LOCALE_ICOUNTRY || type == LOCALE_IDEFAULTCODEPAGE ||
         type == LOCALE_IDEFAULTANSICODEPAGE || type == LOCALE_IMEASURE || type == LOCALE_IPAPERSIZE ||
         type == LOCALE_IDATE;
}

// Looks up a locale answer; false with the last error set when there is none.
bool Lookup(LCID locale, LCTYPE type, std::u16string& value, const LocaleRecord*& record) {
  bool isUser = false;
  record = Resolve(locale, isUser);
  if (record == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  LCTYPE base = type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER);
  std::u16string scratch;
  const char16_t* text = Field(*record, base, scratch);
  if (text == nullptr || ((type & LOCALE_RETURN_NUMBER) && !IsNumberType(base))) {
    SetLastError(ERROR_INVALID_FLAGS);
    return false;
  }
  value = text;
  if (isUser && !(type & LOCALE_NOUSEROVERRIDE)) {
    LocaleState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    auto found = s.overrides.find(base);
    if (found != s.overrides.end()) value = found->second;
  }
  return true;
}

}  // namespace

int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size) {
  if (size < 0 || (data == nullptr && size > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (SimCallFails("GetLocaleInfoW")) return 0;
  std::u16string value;
  const LocaleRecord* record;
  if (!Lookup(locale, type, value, record)) return 0;
  if (type & LOCALE_RETURN_NUMBER) {
    constexpr int kUnits = sizeof(DWORD) / sizeof(WCHAR);
    if (size == 0) return kUnits;
    if (size < kUnits) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    LCTYPE base = type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER);
    DWORD number = base == LOCALE_ILANGUAGE ? wcstoul(value.c_str(), nullptr, 16) : wcstoul(value.c_str(), nullptr, 10);
    std::memcpy(data, &number, sizeof(number));
    return kUnits;
  }
  int needed = static_cast<int>(value.size()) + 1;
  if (size == 0) return needed;
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  lstrcpynW(data, value.c_str(), needed);
  return needed;
}

int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size) {
  if (size < 0 || (data == nullptr && size > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (SimCallFails("GetLocaleInfoW")) return 0;
  std::u16string value;
  const LocaleRecord* record;
  if (!Lookup(locale, type, value, record)) return 0;
  if (type & LOCALE_RETURN_NUMBER) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  UINT page = (type & LOCALE_USE_CP_ACP) ? CP_ACP : static_cast<UINT>(_wtoi(record->ansiPage));
  if (!IsValidCodePage(page)) page = CP_ACP;
  int needed = WideCharToMultiByte(page, 0, value.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size == 0) return needed;
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return WideCharToMultiByte(page, 0, value.c_str(), -1, data, size, nullptr, nullptr);
}

BOOL IsValidLocale(LCID locale, DWORD) { return FindLocale(locale) != nullptr ? TRUE : FALSE; }

LCID GetUserDefaultLCID() {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.user;
}

LCID GetSystemDefaultLCID() {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.system;
}

LCID GetThreadLocale() { return GetUserDefaultLCID(); }
LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(GetUserDefaultLCID()); }
LANGID GetSystemDefaultLangID() { return LANGIDFROMLCID(GetSystemDefaultLCID()); }

LANGID GetUserDefaultUILanguage() {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.uiLanguage;
}

LANGID GetSystemDefaultUILanguage() { return GetSystemDefaultLangID(); }

BOOL SimSetUserLocale(LCID locale) {
  if (FindLocale(locale) == nullptr) return FALSE;
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.user = locale;
  return TRUE;
}

BOOL SimSetSystemLocale(LCID locale) {
  if (FindLocale(locale) == nullptr) return FALSE;
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.system = locale;
  return TRUE;
}

void SimSetUserUILanguage(LANGID language) {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.uiLanguage = language;
}

void SimSetLocaleInfo(LCTYPE type, const std::u16string& value) {
  LocaleState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.overrides[type] = value;
}
