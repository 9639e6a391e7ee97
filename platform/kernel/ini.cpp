#include "platform/kernel/ini.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/files.h"
#include "platform/kernel/lasterror.h"

namespace {

constexpr const char16_t* kDefaultProfile = u"win.ini";

enum class Encoding { Ansi, Utf16, Utf8 };

struct IniFile {
  bool exists = false;
  Encoding encoding = Encoding::Ansi;
  std::vector<std::u16string> lines;
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Trim(std::u16string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return std::u16string(text.substr(b, e - b));
}

bool SameName(const std::u16string& a, LPCWSTR b) { return lstrcmpiW(a.c_str(), b) == 0; }

// The file's platform path: a bare name lives in the Windows folder.
std::u16string ProfilePath(LPCWSTR fileName) {
  std::u16string name = fileName != nullptr && fileName[0] != 0 ? fileName : kDefaultProfile;
  if (name.find_first_of(u"\\/:") != std::u16string::npos) return name;
  WCHAR windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::u16string(windows) + u"\\" + name;
}

IniFile Load(const std::u16string& path) {
  IniFile ini;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ini;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(h, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(h);
  ini.exists = true;
  std::u16string text;
  if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) {
    ini.encoding = Encoding::Utf16;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      text += static_cast<char16_t>(static_cast<BYTE>(bytes[i]) | static_cast<BYTE>(bytes[i + 1]) << 8);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    ini.encoding = Encoding::Utf8;
    text = Utf8ToUtf16(std::string_view(bytes).substr(3));
  } else if (!bytes.empty()) {
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.resize(n > 0 ? n : 0);
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    ini.lines.push_back(line);
    start = end + 1;
  }
  return ini;
}

bool Save(const std::u16string& path, const IniFile& ini) {
  std::u16string text;
  for (const std::u16string& line : ini.lines) text += line + u"\r\n";
  std::string bytes;
  if (ini.encoding == Encoding::Utf16) {
    bytes = "\xFF\xFE";
    for (char16_t c : text) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
  } else if (ini.encoding == Encoding::Utf8) {
    bytes = "\xEF\xBB\xBF" + Utf16ToUtf8(text);
  } else if (!text.empty()) {
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    bytes.resize(n > 0 ? n : 0);
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  }
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok || written != bytes.size()) {
    SetLastError(ok ? ERROR_DISK_FULL : error);
    return false;
  }
  return true;
}

// The section name of a "[name]" line.
std::optional<std::u16string> SectionOf(const std::u16string& line) {
  std::u16string t = Trim(line);
  if (t.empty() || t[0] != u'[') return std::nullopt;
  size_t close = t.find(u']');
  return Trim(std::u16string_view(t).substr(1, (close == std::u16string::npos ? t.size() : close) - 1));
}

// The key and raw value of a "key=value" line (a line without '=' is a key without value).
bool KeyOf(const std::u16string& line, std::u16string& key, std::u16string& value) {
  std::u16string t = Trim(line);
  if (t.empty() || t[0] == u';' || t[0] == u'[') return false;
  size_t eq = t.find(u'=');
  key = Trim(std::u16string_view(t).substr(0, eq));
  value = eq == std::u16string::npos ? std::u16string() : Trim(std::u16string_view(t).substr(eq + 1));
  return true;
}

// Lines [begin, end) of the first section with that name; begin is the header's line.
bool FindSection(const IniFile& ini, LPCWSTR app, size_t& begin, size_t& end) {
  for (size_t i = 0; i < ini.lines.size(); ++i) {
    std::optional<std::u16string> name = SectionOf(ini.lines[i]);
    if (!name || !SameName(*name, app)) continue;
    begin = i;
    end = i + 1;
    while (end < ini.lines.size() && !SectionOf(ini.lines[end])) ++end;
    return true;
  }
  return false;
}

std::u16string Unquote(const std::u16string& value) {
  if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

// The whole answer of a query: a single text, or a list of names.
struct Answer {
  std::vector<std::u16string> items;
  bool list = false;
};

Answer Query(LPCWSTR app, LPCWSTR key, LPCWSTR defaultText, LPCWSTR fileName) {
  std::u16string path = ProfilePath(fileName);
  IniFile ini = Load(path);
  Answer answer;
  std::u16string fallback = defaultText != nullptr ? defaultText : u"";
  while (!fallback.empty() && fallback.back() == u' ') fallback.pop_back();
  if (!ini.exists) SetLastError(ERROR_FILE_NOT_FOUND);
  if (app == nullptr) {
    answer.list = true;
    for (const std::u16string& line : ini.lines)
      if (std::optional<std::u16string> name = SectionOf(line)) answer.items.push_back(*name);
    return answer;
  }
  size_t begin, end;
  bool found = FindSection(ini, app, begin, end);
  std::u16string k, v;
  if (key == nullptr) {
    if (found)
      for (size_t i = begin + 1; i < end; ++i)
        if (KeyOf(ini.lines[i], k, v)) answer.items.push_back(k);
    answer.list = !answer.items.empty();
    if (!answer.list) answer.items = {fallback};
    return answer;
  }
  if (found)
    for (size_t i = begin + 1; i < end; ++i)
      if (KeyOf(ini.lines[i], k, v) && SameName(k, key)) {
        answer.items = {Unquote(v)};
        return answer;
      }
  answer.items = {fallback};
  return answer;
}

// Stores an answer in a buffer of `size` units with the platform's truncation rules.
template <typename C>
DWORD Store(const std::vector<std::basic_string<C>>& items, bool list, C* out, DWORD size) {
  if (out == nullptr || size == 0) return 0;
  if (!list) {
    const std::basic_string<C>& text = items.empty() ? std::basic_string<C>() : items[0];
    DWORD n = static_cast<DWORD>(text.size()) < size - 1 ? static_cast<DWORD>(text.size()) : size - 1;
    for (DWORD i = 0; i < n; ++i) out[i] = text[i];
    out[n] = 0;
    return n;
  }
  std::basic_string<C> joined;
  for (const auto& item : items) {
    joined += item;
    joined += C(0);
  }
  if (joined.size() + 1 <= size) {
    for (size_t i = 0; i < joined.size(); ++i) out[i] = joined[i];
    out[joined.size()] = 0;
    return static_cast<DWORD>(joined.size());
  }
  if (size < 2) {
    out[0] = 0;
    return 0;
  }
  for (DWORD i = 0; i < size - 2; ++i) out[i] = joined[i];
  out[size - 2] = 0;
  out[size - 1] = 0;
  return size - 2;
}

std::u16string Wide(LPCSTR text) {
  if (text == nullptr) return std::u16string();
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::u16string wide(n > 0 ? n : 1, u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  wide.resize(lstrlenW(wide.c_str()));
  return wide;
}

std::string Narrow(const std::u16string& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

// A NULL ANSI argument stays NULL in the wide call.
struct WideArg {
  explicit WideArg(LPCSTR text) : isNull(text == nullptr), value(Wide(text)) {}
  LPCWSTR get() const { return isNull ? nullptr : value.c_str(); }
  bool isNull;
  std::u16string value;
};

UINT ParseInt(const std::u16string& value, INT defaultValue) {
  if (value.empty()) return static_cast<UINT>(defaultValue);
  return static_cast<UINT>(_wtoi(value.c_str()));
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultText, LPWSTR returned, DWORD size,
                               LPCWSTR fileName) {
  if (returned == nullptr || size == 0) return 0;
  Answer answer = Query(appName, keyName, defaultText, fileName);
  return Store(answer.items, answer.list, returned, size);
}

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returned, DWORD size,
                               LPCSTR fileName) {
  if (returned == nullptr || size == 0) return 0;
  WideArg app(appName), key(keyName), def(defaultText), file(fileName);
  Answer answer = Query(app.get(), key.get(), def.get(), file.get());
  std::vector<std::string> items;
  for (const std::u16string& item : answer.items) items.push_back(Narrow(item));
  return Store(items, answer.list, returned, size);
}

DWORD GetPrivateProfileSectionNamesW(LPWSTR returned, DWORD size, LPCWSTR fileName) {
  return GetPrivateProfileStringW(nullptr, nullptr, nullptr, returned, size, fileName);
}

UINT GetPrivateProfileIntW(LPCWSTR appName, LPCWSTR keyName, INT defaultValue, LPCWSTR fileName) {
  if (appName == nullptr || keyName == nullptr) return static_cast<UINT>(defaultValue);
  Answer answer = Query(appName, keyName, u"", fileName);
  return ParseInt(answer.items.empty() ? std::u16string() : answer.items[0], defaultValue);
}

UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName) {
  WideArg app(appName), key(keyName), file(fileName);
  return GetPrivateProfileIntW(app.get(), key.get(), defaultValue, file.get());
}

BOOL WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR value, LPCWSTR fileName) {
  if (appName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::u16string path = ProfilePath(fileName);
  IniFile ini = Load(path);
  size_t begin = 0, end = 0;
  bool found = FindSection(ini, appName, begin, end);
  if (keyName == nullptr) {
    if (!found) return TRUE;
    ini.lines.erase(ini.lines.begin() + begin, ini.lines.begin() + end);
    return Save(path, ini) ? TRUE : FALSE;
  }
  std::u16string k, v;
  size_t keyLine = 0;
  bool hasKey = false;
  if (found)
    for (size_t i = begin + 1; i < end && !hasKey; ++i)
      if (KeyOf(ini.lines[i], k, v) && SameName(k, keyName)) {
        keyLine = i;
        hasKey = true;
      }
  if (value == nullptr) {
    if (!hasKey) return TRUE;
    ini.lines.erase(ini.lines.begin() + keyLine);
    return Save(path, ini) ? TRUE : FALSE;
  }
  if (hasKey) {
    ini.lines[keyLine] = k + u"=" + value;
  } else if (found) {
    size_t at = end;
    while (at > begin + 1 && Trim(ini.lines[at - 1]).empty()) --at;
    ini.lines.insert(ini.lines.begin() + at, std::u16string(keyName) + u"=" + value);
  } else {
    ini.lines.push_back(u"[" + std::u16string(appName) + u"]");
    ini.lines.push_back(std::u16string(keyName) + u"=" + value);
  }
  return Save(path, ini) ? TRUE : FALSE;
}

BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName) {
  WideArg app(appName), key(keyName), text(value), file(fileName);
  return WritePrivateProfileStringW(app.get(), key.get(), text.get(), file.get());
}
