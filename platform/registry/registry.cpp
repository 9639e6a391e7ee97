// The in-memory registry (rules in registry.h).
#include "platform/registry/registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/byte_order.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry_sim.h"

namespace {

enum Hive { kClassesRoot, kCurrentUser, kLocalMachine, kHiveCount };
constexpr const char* kHiveNames[kHiveCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

// Rights that change a key or its values; a non-administrator gets none of them under
// HKEY_LOCAL_MACHINE.
constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | 0x000C0000 /* WRITE_DAC | WRITE_OWNER */;
// The first handle value given out; handles are tokens, never pointers.
constexpr ULONG_PTR kFirstHandle = 0x52000;

struct Value {
  std::u16string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Key {
  std::u16string name;
  Hive hive = kCurrentUser;
  Key* parent = nullptr;
  bool deleted = false;
  std::vector<std::shared_ptr<Key>> subKeys;  // in name order
  std::vector<Value> values;                  // in creation order
};

struct OpenKey {
  std::shared_ptr<Key> key;
  REGSAM access = 0;
};

struct Registry {
  std::recursive_mutex lock;
  std::shared_ptr<Key> roots[kHiveCount];
  std::unordered_map<ULONG_PTR, OpenKey> handles;
  ULONG_PTR nextHandle = kFirstHandle;
  bool administrator = true;
};

std::shared_ptr<Key> NewRoot(Hive hive) {
  auto key = std::make_shared<Key>();
  key->hive = hive;
  return key;
}

void MarkDeleted(Key& key) {
  key.deleted = true;
  for (auto& sub : key.subKeys) MarkDeleted(*sub);
}

void ResetLocked(Registry& r) {
  for (auto& root : r.roots) {
    if (root) MarkDeleted(*root);
    root.reset();
  }
  for (int h = 0; h < kHiveCount; ++h) r.roots[h] = NewRoot(Hive(h));
  r.handles.clear();
  r.administrator = true;
}

Registry& Reg() {
  static Registry* registry = [] {
    auto* r = new Registry;
    ResetLocked(*r);
    return r;
  }();
  return *registry;
}

void ResetRegistry() { SimRegistryReset(); }
const bool registeredReset = (SimAddResetHook(&ResetRegistry), true);

// Answers the scripted failure of `function`, if any, leaving the caller's last error alone.
bool ScriptedFailure(const char* function, LSTATUS& status) {
  DWORD saved = GetLastError();
  bool fails = SimCallFails(function);
  if (fails) status = LSTATUS(GetLastError());
  SetLastError(saved);
  return fails;
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    WCHAR x = UpcaseChar(a[i]), y = UpcaseChar(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::u16string_view NameOf(LPCWSTR name) { return name ? std::u16string_view(name) : std::u16string_view(); }

Key* FindSubKey(Key& key, std::u16string_view name) {
  auto it = std::lower_bound(key.subKeys.begin(), key.subKeys.end(), name,
                             [](const std::shared_ptr<Key>& k, std::u16string_view n) { return CompareNames(k->name, n) < 0; });
  return it != key.subKeys.end() && CompareNames((*it)->name, name) == 0 ? it->get() : nullptr;
}

Key* AddSubKey(Key& key, std::u16string_view name) {
  auto it = std::lower_bound(key.subKeys.begin(), key.subKeys.end(), name,
                             [](const std::shared_ptr<Key>& k, std::u16string_view n) { return CompareNames(k->name, n) < 0; });
  auto sub = std::make_shared<Key>();
  sub->name = name;
  sub->hive = key.hive;
  sub->parent = &key;
  return key.subKeys.insert(it, sub)->get();
}

Value* FindValue(Key& key, std::u16string_view name) {
  for (Value& v : key.values)
    if (CompareNames(v.name, name) == 0) return &v;
  return nullptr;
}

// Splits a sub key path; a single trailing backslash is allowed, empty parts are not.
bool SplitPath(LPCWSTR path, std::vector<std::u16string_view>& parts) {
  parts.clear();
  std::u16string_view rest = NameOf(path);
  if (!rest.empty() && rest.back() == u'\\') rest.remove_suffix(1);
  if (rest.empty()) return true;
  for (;;) {
    size_t slash = rest.find(u'\\');
    std::u16string_view part = rest.substr(0, slash);
    if (part.empty() || part.size() > MAX_KEY_NAME) return false;
    parts.push_back(part);
    if (slash == std::u16string_view::npos) return true;
    rest.remove_prefix(slash + 1);
  }
}

bool IsPredefined(HKEY key, Hive& hive) {
  auto value = reinterpret_cast<ULONG_PTR>(key);
  for (int h = 0; h < kHiveCount; ++h) {
    if (value == static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000u + h))) {
      hive = Hive(h);
      return true;
    }
  }
  return false;
}

REGSAM MostAllowed(const Registry& r, Hive hive) { return (hive == kLocalMachine && !r.administrator) ? KEY_READ : KEY_ALL_ACCESS; }

// Finds the key behind a handle and the access it was opened with.
LSTATUS Resolve(Registry& r, HKEY handle, std::shared_ptr<Key>& key, REGSAM& access) {
  Hive hive;
  if (IsPredefined(handle, hive)) {
    key = r.roots[hive];
    access = MostAllowed(r, hive);
    return ERROR_SUCCESS;
  }
  auto found = r.handles.find(reinterpret_cast<ULONG_PTR>(handle));
  if (found == r.handles.end()) return ERROR_INVALID_HANDLE;
  key = found->second.key;
  access = found->second.access;
  return key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

// One call on a key handle, holding the registry's lock while it runs.
struct KeyCall {
  std::unique_lock<std::recursive_mutex> guard;
  std::shared_ptr<Key> key;
  REGSAM access = 0;
};

// Opens a call on a key handle, in the platform's order: the scripted failure, the caller's
// arguments (argumentCheck, ERROR_SUCCESS when they are usable), the handle, then the access
// the call needs (0 for none). ERROR_SUCCESS with the key locked, or the call's answer.
LSTATUS StartKeyCall(const char* function, HKEY handle, LSTATUS argumentCheck, REGSAM needed, KeyCall& call) {
  LSTATUS status;
  if (ScriptedFailure(function, status)) return status;
  if (argumentCheck != ERROR_SUCCESS) return argumentCheck;
  Registry& r = Reg();
  call.guard = std::unique_lock<std::recursive_mutex>(r.lock);
  if ((status = Resolve(r, handle, call.key, call.access)) != ERROR_SUCCESS) return status;
  if (needed != 0 && !(call.access & needed)) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

// The access a new handle gets, or ERROR_ACCESS_DENIED.
LSTATUS Grant(const Registry& r, Hive hive, REGSAM desired, REGSAM& granted) {
  desired &= ~REGSAM(KEY_WOW64_64KEY | KEY_WOW64_32KEY);
  if (desired & MAXIMUM_ALLOWED) {
    granted = MostAllowed(r, hive);
    return ERROR_SUCCESS;
  }
  if (hive == kLocalMachine && !r.administrator && (desired & kWriteRights)) return ERROR_ACCESS_DENIED;
  granted = desired;
  return ERROR_SUCCESS;
}

HKEY NewHandle(Registry& r, const std::shared_ptr<Key>& key, REGSAM access) {
  ULONG_PTR value = r.nextHandle;
  r.nextHandle += 4;
  r.handles[value] = OpenKey{key, access};
  return reinterpret_cast<HKEY>(value);
}

std::shared_ptr<Key> Share(Key* key) {
  // Keys are owned by their parent's list; find the owning pointer to share it.
  if (!key->parent) return nullptr;
  for (auto& sub : key->parent->subKeys)
    if (sub.get() == key) return sub;
  return nullptr;
}

LSTATUS OpenOrCreate(HKEY handle, LPCWSTR subKey, REGSAM desired, bool create, PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  std::shared_ptr<Key> start;
  REGSAM startAccess = 0;
  if (LSTATUS status = Resolve(r, handle, start, startAccess); status != ERROR_SUCCESS) return status;
  std::vector<std::u16string_view> parts;
  if (!SplitPath(subKey, parts)) return ERROR_BAD_PATHNAME;
  Hive hive;
  if (parts.empty() && IsPredefined(handle, hive)) {  // the predefined key itself
    *result = handle;
    if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  }
  Key* key = start.get();
  size_t found = 0;
  for (; found < parts.size(); ++found) {
    Key* sub = FindSubKey(*key, parts[found]);
    if (!sub) break;
    key = sub;
  }
  if (found < parts.size() && !create) return ERROR_FILE_NOT_FOUND;
  REGSAM granted = 0;
  if (LSTATUS status = Grant(r, key->hive, desired, granted); status != ERROR_SUCCESS) return status;
  if (found < parts.size()) {
    // Creating needs the right to add keys: on the starting handle, and for the hive.
    bool fromPredefined = IsPredefined(handle, hive);
    if (!(startAccess & KEY_CREATE_SUB_KEY) && !fromPredefined) return ERROR_ACCESS_DENIED;
    if (key->hive == kLocalMachine && !r.administrator) return ERROR_ACCESS_DENIED;
    for (; found < parts.size(); ++found) key = AddSubKey(*key, parts[found]);
    if (disposition) *disposition = REG_CREATED_NEW_KEY;
  } else if (disposition) {
    *disposition = REG_OPENED_EXISTING_KEY;
  }
  std::shared_ptr<Key> shared = key == start.get() ? start : Share(key);
  *result = NewHandle(r, shared, granted);
  return ERROR_SUCCESS;
}

// Copies `bytes` to a caller's buffer with the size-query protocol.
LSTATUS CopyOut(const std::vector<BYTE>& bytes, LPBYTE data, LPDWORD size) {
  if (data && !size) return ERROR_INVALID_PARAMETER;
  if (!size) return ERROR_SUCCESS;
  DWORD needed = DWORD(bytes.size());
  if (data && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (data && needed) std::memcpy(data, bytes.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

// Copies a name into a buffer of `*capacity` characters (terminator included).
LSTATUS CopyName(std::u16string_view name, LPWSTR out, LPDWORD capacity) {
  if (!out || !capacity) return ERROR_INVALID_PARAMETER;
  if (*capacity <= name.size()) return ERROR_MORE_DATA;
  std::copy(name.begin(), name.end(), out);
  out[name.size()] = 0;
  *capacity = DWORD(name.size());
  return ERROR_SUCCESS;
}

Key* WalkPath(Registry& r, HKEY root, LPCWSTR path, bool create) {
  Hive hive;
  std::vector<std::u16string_view> parts;
  if (!IsPredefined(root, hive) || !SplitPath(path, parts)) return nullptr;
  Key* key = r.roots[hive].get();
  for (auto part : parts) {
    Key* sub = FindSubKey(*key, part);
    if (!sub && !create) return nullptr;
    key = sub ? sub : AddSubKey(*key, part);
  }
  return key;
}

void SetValueLocked(Key& key, std::u16string_view name, DWORD type, const BYTE* data, DWORD size) {
  Value* v = FindValue(key, name);
  if (!v) {
    key.values.push_back(Value{std::u16string(name), type, {}});
    v = &key.values.back();
  }
  v->type = type;
  v->data.assign(data, data + size);
}

// Text of a REG_SZ-like value: the UTF-16 characters up to the first 0.
std::string QuoteText(const BYTE* p, size_t bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    WCHAR c = WCHAR(GetLE16(p + i));
    if (c == 0) break;
    text.push_back(c);
  }
  std::string out = "\"";
  for (char c : Utf16ToUtf8(text)) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::string FormatValue(const Value& v) {
  std::string line = v.name.empty() ? "@" : "\"" + Utf16ToUtf8(v.name) + "\"";
  line += " = ";
  const std::vector<BYTE>& d = v.data;
  char buf[32];
  if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && d.size() % 2 == 0) {
    line += v.type == REG_SZ ? "REG_SZ " : "REG_EXPAND_SZ ";
    return line + QuoteText(d.data(), d.size());
  }
  if (v.type == REG_DWORD && d.size() == 4) {
    std::snprintf(buf, sizeof buf, "REG_DWORD 0x%08x", unsigned(GetLE32(d.data())));
    return line + buf;
  }
  if (v.type == REG_MULTI_SZ && d.size() % 2 == 0) {
    line += "REG_MULTI_SZ";
    size_t at = 0;
    bool first = true;
    while (at + 2 <= d.size() && (d[at] | d[at + 1]) != 0) {
      size_t end = at;
      while (end + 2 <= d.size() && (d[end] | d[end + 1]) != 0) end += 2;
      line += (first ? " " : ", ") + QuoteText(d.data() + at, end - at);
      first = false;
      at = end + 2;
    }
    return line;
  }
  switch (v.type) {
    case REG_BINARY: line += "REG_BINARY"; break;
    case REG_NONE: line += "REG_NONE"; break;
    case REG_QWORD: line += "REG_QWORD"; break;
    default:
      std::snprintf(buf, sizeof buf, "REG_TYPE(%u)", unsigned(v.type));
      line += buf;
  }
  for (BYTE b : d) {
    std::snprintf(buf, sizeof buf, " %02x", b);
    line += buf;
  }
  return line;
}

void DumpKey(const Key& key, const std::string& path, std::string& out) {
  out += "[" + path + "]\n";
  for (const Value& v : key.values) out += FormatValue(v) + "\n";
  for (const auto& sub : key.subKeys) DumpKey(*sub, path + "\\" + Utf16ToUtf8(sub->name), out);
}

}  // namespace

LSTATUS RegOpenKeyW(HKEY key, LPCWSTR subKey, PHKEY result) {
  LSTATUS status;
  if (ScriptedFailure("RegOpenKeyW", status)) return status;
  return OpenOrCreate(key, subKey, MAXIMUM_ALLOWED, false, result, nullptr);
}

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  LSTATUS status;
  if (ScriptedFailure("RegOpenKeyExW", status)) return status;
  return OpenOrCreate(key, subKey, desired, false, result, nullptr);
}

LSTATUS RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result) {
  LSTATUS status;
  if (ScriptedFailure("RegCreateKeyW", status)) return status;
  return OpenOrCreate(key, subKey, MAXIMUM_ALLOWED, true, result, nullptr);
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM desired, SECURITY_ATTRIBUTES*, PHKEY result,
                        LPDWORD disposition) {
  LSTATUS status;
  if (ScriptedFailure("RegCreateKeyExW", status)) return status;
  return OpenOrCreate(key, subKey, desired, true, result, disposition);
}

LSTATUS RegCloseKey(HKEY key) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  Hive hive;
  if (IsPredefined(key, hive)) return ERROR_SUCCESS;
  return r.handles.erase(reinterpret_cast<ULONG_PTR>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueExW(HKEY handle, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  KeyCall call;
  const LSTATUS arguments = reserved || (data && !size) ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (LSTATUS status = StartKeyCall("RegQueryValueExW", handle, arguments, KEY_QUERY_VALUE, call)) return status;
  const Value* v = FindValue(*call.key, NameOf(name));
  if (!v) return ERROR_FILE_NOT_FOUND;
  if (type) *type = v->type;
  return CopyOut(v->data, data, size);
}

LSTATUS RegSetValueExW(HKEY handle, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  KeyCall call;
  const LSTATUS arguments = !data && size                              ? ERROR_NOACCESS
                            : NameOf(name).size() > MAX_VALUE_NAME ? ERROR_INVALID_PARAMETER
                                                                   : ERROR_SUCCESS;
  if (LSTATUS status = StartKeyCall("RegSetValueExW", handle, arguments, KEY_SET_VALUE, call)) return status;
  SetValueLocked(*call.key, NameOf(name), type, data, size);
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY handle, LPCWSTR name) {
  KeyCall call;
  if (LSTATUS status = StartKeyCall("RegDeleteValueW", handle, ERROR_SUCCESS, KEY_SET_VALUE, call)) return status;
  auto& values = call.key->values;
  auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return CompareNames(v.name, NameOf(name)) == 0; });
  if (it == values.end()) return ERROR_FILE_NOT_FOUND;
  values.erase(it);
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteKeyW(HKEY handle, LPCWSTR subKey) {
  std::vector<std::u16string_view> parts;
  const bool named = subKey != nullptr && SplitPath(subKey, parts) && !parts.empty();
  KeyCall call;
  if (LSTATUS status = StartKeyCall("RegDeleteKeyW", handle, named ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER, 0, call))
    return status;
  const Registry& r = Reg();
  Key* key = call.key.get();
  for (auto part : parts)
    if (!(key = FindSubKey(*key, part))) return ERROR_FILE_NOT_FOUND;
  if (key->hive == kLocalMachine && !r.administrator) return ERROR_ACCESS_DENIED;
  if (!key->subKeys.empty()) return ERROR_ACCESS_DENIED;
  Key* parent = key->parent;
  key->deleted = true;
  parent->subKeys.erase(std::find_if(parent->subKeys.begin(), parent->subKeys.end(),
                                     [&](const std::shared_ptr<Key>& k) { return k.get() == key; }));
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyExW(HKEY handle, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPWSTR keyClass,
                      LPDWORD classSize, FILETIME* lastWrite) {
  KeyCall call;
  const LSTATUS arguments =
      reserved || !name || !nameSize || (keyClass && !classSize) ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (LSTATUS status = StartKeyCall("RegEnumKeyExW", handle, arguments, KEY_ENUMERATE_SUB_KEYS, call)) return status;
  if (index >= call.key->subKeys.size()) return ERROR_NO_MORE_ITEMS;
  if (LSTATUS status = CopyName(call.key->subKeys[index]->name, name, nameSize)) return status;
  if (keyClass) {
    if (*classSize == 0) return ERROR_MORE_DATA;
    keyClass[0] = 0;
    *classSize = 0;
  }
  if (lastWrite) *lastWrite = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyW(HKEY handle, DWORD index, LPWSTR name, DWORD nameSize) {
  return RegEnumKeyExW(handle, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
}

LSTATUS RegEnumValueW(HKEY handle, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
  KeyCall call;
  const LSTATUS arguments =
      reserved || !name || !nameSize || (data && !dataSize) ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (LSTATUS status = StartKeyCall("RegEnumValueW", handle, arguments, KEY_QUERY_VALUE, call)) return status;
  if (index >= call.key->values.size()) return ERROR_NO_MORE_ITEMS;
  const Value& v = call.key->values[index];
  if (LSTATUS status = CopyName(v.name, name, nameSize)) return status;
  if (type) *type = v.type;
  return CopyOut(v.data, data, dataSize);
}

LSTATUS RegQueryInfoKeyW(HKEY handle, LPWSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                         LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                         LPDWORD maxValueLength, LPDWORD securityDescriptor, FILETIME* lastWrite) {
  KeyCall call;
  const LSTATUS arguments = reserved || (keyClass && !classSize) ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  if (LSTATUS status = StartKeyCall("RegQueryInfoKeyW", handle, arguments, KEY_QUERY_VALUE, call)) return status;
  const std::shared_ptr<Key>& key = call.key;
  if (keyClass) {
    if (*classSize == 0) return ERROR_MORE_DATA;
    keyClass[0] = 0;
  }
  if (classSize) *classSize = 0;
  DWORD maxKey = 0, maxName = 0, maxData = 0;
  for (const auto& sub : key->subKeys) maxKey = std::max(maxKey, DWORD(sub->name.size()));
  for (const Value& v : key->values) {
    maxName = std::max(maxName, DWORD(v.name.size()));
    maxData = std::max(maxData, DWORD(v.data.size()));
  }
  if (subKeys) *subKeys = DWORD(key->subKeys.size());
  if (maxSubKeyLength) *maxSubKeyLength = maxKey;
  if (maxClassLength) *maxClassLength = 0;
  if (values) *values = DWORD(key->values.size());
  if (maxValueNameLength) *maxValueNameLength = maxName;
  if (maxValueLength) *maxValueLength = maxData;
  if (securityDescriptor) *securityDescriptor = 0;
  if (lastWrite) *lastWrite = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

void SimRegistryReset() {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  ResetLocked(r);
}

void SimRegistrySetAdministrator(BOOL administrator) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  r.administrator = administrator != FALSE;
}

BOOL SimRegistryIsAdministrator() {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  return r.administrator ? TRUE : FALSE;
}

void SimRegistrySeedKey(HKEY root, LPCWSTR path) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  WalkPath(r, root, path, true);
}

void SimRegistrySeedValue(HKEY root, LPCWSTR path, LPCWSTR name, DWORD type, const void* data, DWORD size) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  if (Key* key = WalkPath(r, root, path, true)) SetValueLocked(*key, NameOf(name), type, static_cast<const BYTE*>(data), data ? size : 0);
}

void SimRegistrySeedString(HKEY root, LPCWSTR path, LPCWSTR name, LPCWSTR text) {
  std::u16string_view t = NameOf(text);
  SimRegistrySeedValue(root, path, name, REG_SZ, t.data() ? text : u"", DWORD((t.size() + 1) * sizeof(WCHAR)));
}

void SimRegistrySeedDword(HKEY root, LPCWSTR path, LPCWSTR name, DWORD value) {
  BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
  SimRegistrySeedValue(root, path, name, REG_DWORD, bytes, 4);
}

bool SimRegistryKeyExists(HKEY root, LPCWSTR path) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  return WalkPath(r, root, path, false) != nullptr;
}

bool SimRegistryReadValue(HKEY root, LPCWSTR path, LPCWSTR name, DWORD& type, std::vector<BYTE>& data) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  Key* key = WalkPath(r, root, path, false);
  const Value* v = key ? FindValue(*key, NameOf(name)) : nullptr;
  if (!v) return false;
  type = v->type;
  data = v->data;
  return true;
}

std::string SimRegistryDump(HKEY root, LPCWSTR path) {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  Key* key = WalkPath(r, root, path, false);
  Hive hive;
  if (!key || !IsPredefined(root, hive)) return {};
  std::string name = kHiveNames[hive];
  std::vector<std::u16string_view> parts;
  SplitPath(path, parts);
  // Print the stored spelling of each key on the way down.
  Key* walk = r.roots[hive].get();
  for (auto part : parts) {
    walk = FindSubKey(*walk, part);
    name += "\\" + Utf16ToUtf8(walk->name);
  }
  std::string out;
  DumpKey(*key, name, out);
  return out;
}

int SimRegistryOpenKeyCount() {
  Registry& r = Reg();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  return int(r.handles.size());
}
