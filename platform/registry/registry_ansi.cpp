// The A forms of the registry calls: names and texts pass through the ANSI code page.
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/codepage.h"
#include "platform/registry/registry.h"

namespace {

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// A NULL name stays NULL (the default value or the key itself).
struct WideName {
  std::u16string text;
  bool present;
  explicit WideName(LPCSTR name) : text(AnsiToWide(name)), present(name != nullptr) {}
  LPCWSTR get() const { return present ? text.c_str() : nullptr; }
};

}  // namespace

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result) {
  return RegOpenKeyExW(key, WideName(subKey).get(), options, desired, result);
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR, DWORD options, REGSAM desired,
                        SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition) {
  return RegCreateKeyExW(key, WideName(subKey).get(), reserved, nullptr, options, desired, security, result, disposition);
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey) { return RegDeleteKeyW(key, WideName(subKey).get()); }

LSTATUS RegDeleteValueA(HKEY key, LPCSTR name) { return RegDeleteValueW(key, WideName(name).get()); }

LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  if (!IsText(type) || !data || size == 0) return RegSetValueExW(key, WideName(name).get(), reserved, type, data, size);
  auto* bytes = reinterpret_cast<LPCSTR>(data);
  int n = MultiByteToWideChar(CP_ACP, 0, bytes, int(size), nullptr, 0);
  std::u16string wide(size_t(n), u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes, int(size), wide.data(), n);
  return RegSetValueExW(key, WideName(name).get(), reserved, type, reinterpret_cast<const BYTE*>(wide.data()),
                        DWORD(wide.size() * sizeof(WCHAR)));
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
  WideName wideName(name);
  DWORD storedType = 0, storedSize = 0;
  LSTATUS status = RegQueryValueExW(key, wideName.get(), nullptr, &storedType, nullptr, &storedSize);
  if (status != ERROR_SUCCESS) return status;
  if (!IsText(storedType)) return RegQueryValueExW(key, wideName.get(), nullptr, type, data, size);
  std::vector<BYTE> stored(storedSize);
  status = RegQueryValueExW(key, wideName.get(), nullptr, &storedType, stored.data(), &storedSize);
  if (status != ERROR_SUCCESS) return status;
  std::u16string wide(storedSize / sizeof(WCHAR), u'\0');
  if (!wide.empty()) std::memcpy(wide.data(), stored.data(), wide.size() * sizeof(WCHAR));
  std::string ansi = WideToAnsi(wide);
  if (type) *type = storedType;
  if (!size) return ERROR_SUCCESS;
  if (data && *size < ansi.size()) {
    *size = DWORD(ansi.size());
    return ERROR_MORE_DATA;
  }
  if (data && !ansi.empty()) std::memcpy(data, ansi.data(), ansi.size());
  *size = DWORD(ansi.size());
  return ERROR_SUCCESS;
}
