// Resource calls over the resource blocks of loaded modules (resource.h).
#include "platform/kernel/resource.h"

#include <algorithm>

#include "platform/base/errors.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/module_resources.h"

namespace {

template <typename T>
T FailWith(DWORD error, T value) {
  SetLastError(error);
  return value;
}

// The entry a HRSRC stands for, checked against the module's own entries.
const QrsEntry* EntryOf(const ModuleResourceView& view, HRSRC resource) {
  auto* entry = reinterpret_cast<const QrsEntry*>(resource);
  const std::vector<QrsEntry>& entries = *view.entries;
  if (entries.empty() || entry < entries.data() || entry >= entries.data() + entries.size()) return nullptr;
  return entry;
}

HRSRC Find(HMODULE module, const QrsName& type, const QrsName& name) {
  ModuleResourceView view;
  DWORD error = 0;
  if (!ModuleResourceBlock(module, view, error)) return FailWith(error, HRSRC(nullptr));
  if (view.entries->empty()) return FailWith(ERROR_RESOURCE_DATA_NOT_FOUND, HRSRC(nullptr));
  if (const QrsEntry* e = QrsFind(*view.entries, type, name))
    return reinterpret_cast<HRSRC>(const_cast<QrsEntry*>(e));
  bool typeKnown = std::any_of(view.entries->begin(), view.entries->end(),
                               [&](const QrsEntry& e) { return QrsNameEquals(e.type, type); });
  return FailWith(typeKnown ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND, HRSRC(nullptr));
}

// The UTF-16 form of an A-form type or name argument.
struct WideArg {
  std::u16string text;
  LPCWSTR arg;
  explicit WideArg(LPCSTR a)
      : text(IS_INTRESOURCE(a) ? std::u16string() : AnsiToWide(a)),
        arg(IS_INTRESOURCE(a) ? reinterpret_cast<LPCWSTR>(a) : text.c_str()) {}
};

}  // namespace

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD) {
  QrsName t, n;
  if (!type || !name || !QrsNameFromArg(type, t) || !QrsNameFromArg(name, n))
    return FailWith(ERROR_INVALID_PARAMETER, HRSRC(nullptr));
  return Find(module, t, n);
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) { return FindResourceExW(module, type, name, 0); }

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (!name || !type) return FailWith(ERROR_INVALID_PARAMETER, HRSRC(nullptr));
  return FindResourceExW(module, WideArg(type).arg, WideArg(name).arg, 0);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  ModuleResourceView view;
  DWORD error = 0;
  if (!ModuleResourceBlock(module, view, error)) return FailWith(error, HGLOBAL(nullptr));
  const QrsEntry* e = EntryOf(view, resource);
  if (!e) return FailWith(ERROR_RESOURCE_DATA_NOT_FOUND, HGLOBAL(nullptr));
  return const_cast<BYTE*>(view.bytes.data() + e->offset);
}

LPVOID LockResource(HGLOBAL resource) { return resource; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  ModuleResourceView view;
  DWORD error = 0;
  if (!ModuleResourceBlock(module, view, error)) return FailWith(error, DWORD(0));
  const QrsEntry* e = EntryOf(view, resource);
  return e ? e->size : FailWith(ERROR_RESOURCE_DATA_NOT_FOUND, DWORD(0));
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

BOOL EnumResourceNamesW(HMODULE module, LPCWSTR type, ENUMRESNAMEPROCW proc, LONG_PTR param) {
  QrsName t;
  if (!proc || !type || !QrsNameFromArg(type, t)) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  ModuleResourceView view;
  DWORD error = 0;
  if (!ModuleResourceBlock(module, view, error)) return FailWith(error, FALSE);
  bool any = false;
  for (const QrsEntry& e : *view.entries) {
    if (!QrsNameEquals(e.type, t)) continue;
    any = true;
    std::u16string text = e.name.text;
    LPWSTR name = e.name.IsNumber() ? MAKEINTRESOURCEW(e.name.id) : text.data();
    if (!proc(module, type, name, param)) return TRUE;
  }
  return any ? TRUE : FailWith(ERROR_RESOURCE_TYPE_NOT_FOUND, FALSE);
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
  if (!buffer || size < 0) return FailWith(ERROR_INVALID_PARAMETER, 0);
  ModuleResourceView view;
  DWORD error = 0;
  std::span<const WCHAR> text;
  if (!ModuleResourceBlock(instance, view, error)) {
    if (size > 0) buffer[0] = 0;
    return FailWith(error, 0);
  }
  if (!QrsFindString(view.bytes, *view.entries, id, text)) {
    if (size > 0) buffer[0] = 0;
    return FailWith(ERROR_RESOURCE_NAME_NOT_FOUND, 0);
  }
  if (size == 0) {
    *reinterpret_cast<LPCWSTR*>(buffer) = text.data();
    return int(text.size());
  }
  size_t n = std::min(text.size(), size_t(size - 1));
  std::copy(text.begin(), text.begin() + n, buffer);
  buffer[n] = 0;
  return int(n);
}

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return FailWith(ERROR_INVALID_PARAMETER, 0);
  LPCWSTR text = nullptr;
  int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0) {
    buffer[0] = 0;
    return 0;
  }
  std::string ansi = WideToAnsi(std::u16string_view(text, size_t(length)));
  // Cut at a character boundary: step whole characters while they fit.
  size_t cut = 0;
  while (cut < ansi.size()) {
    size_t step = IsDBCSLeadByte(BYTE(ansi[cut])) && cut + 1 < ansi.size() ? 2 : 1;
    if (cut + step > size_t(size - 1)) break;
    cut += step;
  }
  std::copy(ansi.begin(), ansi.begin() + cut, buffer);
  buffer[cut] = 0;
  return int(cut);
}
