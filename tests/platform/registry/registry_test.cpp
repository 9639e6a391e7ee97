// The in-memory registry: size-query protocol, enumeration order, delete rules, names
// without regard to case, the administrator switch, and bad arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr const WCHAR* kKey = u"Software\\Qorvex\\Test";

class RegistryTest : public SandboxTest {
 protected:
  HKEY Create(HKEY root, LPCWSTR path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    return key;
  }
};

TEST_F(RegistryTest, SizeQueryThenReadAndMoreData) {
  HKEY key = Create(HKEY_CURRENT_USER, kKey);
  const BYTE blob[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  ASSERT_EQ(RegSetValueExW(key, u"Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExW(key, u"Blob", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_BINARY));
  EXPECT_EQ(size, sizeof blob);

  BYTE small[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExW(key, u"Blob", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof blob);
  EXPECT_EQ(small[0], 0xEE);  // nothing written on failure

  BYTE out[16] = {};
  size = sizeof out;
  ASSERT_EQ(RegQueryValueExW(key, u"Blob", nullptr, nullptr, out, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, sizeof blob);
  EXPECT_EQ(std::memcmp(out, blob, sizeof blob), 0);

  EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExW(key, u"Blob", nullptr, nullptr, out, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, EveryTypeKeepsItsBytes) {
  HKEY key = Create(HKEY_CURRENT_USER, kKey);
  const char16_t text[] = u"Qorvex";
  const char16_t multi[] = u"a\0bc\0";  // two strings and the closing empty one
  const DWORD number = 0x12345678;
  const BYTE raw[3] = {0, 0xFF, 7};
  struct Case {
    LPCWSTR name;
    DWORD type;
    const void* data;
    DWORD size;
  } cases[] = {
      {u"Text", REG_SZ, text, sizeof text},
      {u"Path", REG_EXPAND_SZ, u"%TEMP%\\x", 18},
      {u"List", REG_MULTI_SZ, multi, sizeof multi},
      {u"Number", REG_DWORD, &number, 4},
      {u"Raw", REG_BINARY, raw, 3},
      {u"Unterminated", REG_SZ, text, 4},
      {nullptr, REG_SZ, text, sizeof text},  // the default value
  };
  for (const Case& c : cases)
    ASSERT_EQ(RegSetValueExW(key, c.name, 0, c.type, static_cast<const BYTE*>(c.data), c.size), ERROR_SUCCESS);
  for (const Case& c : cases) {
    BYTE out[64];
    DWORD type = 0, size = sizeof out;
    ASSERT_EQ(RegQueryValueExW(key, c.name, nullptr, &type, out, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    ASSERT_EQ(size, c.size);
    EXPECT_EQ(std::memcmp(out, c.data, c.size), 0);
  }
  // "" and NULL both name the default value.
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, sizeof text);
  RegCloseKey(key);
  EXPECT_EQ(SimRegistryDump(HKEY_CURRENT_USER, kKey),
            "[HKEY_CURRENT_USER\\Software\\Qorvex\\Test]\n"
            "\"Text\" = REG_SZ \"Qorvex\"\n"
            "\"Path\" = REG_EXPAND_SZ \"%TEMP%\\\\x\"\n"
            "\"List\" = REG_MULTI_SZ \"a\", \"bc\"\n"
            "\"Number\" = REG_DWORD 0x12345678\n"
            "\"Raw\" = REG_BINARY 00 ff 07\n"
            "\"Unterminated\" = REG_SZ \"Qo\"\n"
            "@ = REG_SZ \"Qorvex\"\n");
}

TEST_F(RegistryTest, EnumerationOrderAndEnd) {
  HKEY key = Create(HKEY_CURRENT_USER, kKey);
  for (LPCWSTR sub : {u"Zeta", u"alpha", u"Mid"}) {
    HKEY child = Create(key, sub);
    RegCloseKey(child);
  }
  for (LPCWSTR name : {u"z", u"a", u"m"}) {
    DWORD v = 1;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
  }
  // Sub keys in name order without regard to case; values in creation order.
  std::vector<std::u16string> keys, values;
  WCHAR name[64];
  for (DWORD i = 0;; ++i) {
    DWORD size = 64;
    LSTATUS status = RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(size, std::u16string(name).size());
    keys.push_back(name);
  }
  for (DWORD i = 0;; ++i) {
    DWORD size = 64, type = 0;
    LSTATUS status = RegEnumValueW(key, i, name, &size, nullptr, &type, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    values.push_back(name);
  }
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"alpha", u"Mid", u"Zeta"}));
  EXPECT_EQ(values, (std::vector<std::u16string>{u"z", u"a", u"m"}));

  DWORD tiny = 3;  // "alpha" needs 6 characters with the terminator
  EXPECT_EQ(RegEnumKeyExW(key, 0, name, &tiny, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(RegEnumKeyW(key, 3, name, 64), ERROR_NO_MORE_ITEMS);

  DWORD subKeys = 0, valueCount = 0, maxName = 0, maxData = 0, maxKey = 0;
  ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxKey, nullptr, &valueCount, &maxName, &maxData,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 3u);
  EXPECT_EQ(maxKey, 5u);
  EXPECT_EQ(valueCount, 3u);
  EXPECT_EQ(maxName, 1u);
  EXPECT_EQ(maxData, 4u);
  RegCloseKey(key);
}

TEST_F(RegistryTest, NamesIgnoreCase) {
  SimRegistrySeedString(HKEY_CURRENT_USER, u"Software\\Qorvex", u"UserName", u"kim");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"SOFTWARE\\qorvex\\", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"USERNAME", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 8u);
  RegCloseKey(key);
  // Creating under another spelling opens the existing key.
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"software\\QORVEX", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
  RegCloseKey(key);
  EXPECT_EQ(SimRegistryDump(HKEY_CURRENT_USER, u"software"),
            "[HKEY_CURRENT_USER\\Software]\n[HKEY_CURRENT_USER\\Software\\Qorvex]\n\"UserName\" = REG_SZ \"kim\"\n");
}

TEST_F(RegistryTest, DeleteRules) {
  SimRegistrySeedDword(HKEY_CURRENT_USER, u"A\\B\\C", u"v", 1);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"A\\B"), ERROR_ACCESS_DENIED);  // has a sub key
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_CURRENT_USER, u"A\\B\\C"));

  HKEY open = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, u"A\\B\\C", &open), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"a\\b\\c"), ERROR_SUCCESS);
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_CURRENT_USER, u"A\\B\\C"));
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(open, u"v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  RegCloseKey(open);

  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"A\\B\\C"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"A\\B"), ERROR_SUCCESS);

  SimRegistrySeedDword(HKEY_CURRENT_USER, u"A", u"gone", 1);
  ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, u"A", &open), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(open, u"GONE"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(open, u"gone"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(open);
}

TEST_F(RegistryTest, AdministratorSwitchGuardsMachineWrites) {
  SimRegistrySeedKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Qorvex");
  SimRegistrySetAdministrator(FALSE);
  const DWORD one = 1;
  const auto* bytes = reinterpret_cast<const BYTE*>(&one);

  // The machine root opened without a sub key, as a write probe does.
  HKEY root = nullptr;
  ASSERT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, nullptr, &root), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(root, u"WriteCheck", 0, REG_DWORD, bytes, 4), ERROR_ACCESS_DENIED);
  RegCloseKey(root);

  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Qorvex", 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Qorvex\\New", &key), ERROR_ACCESS_DENIED);
  ASSERT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Qorvex", &key), ERROR_SUCCESS);  // reading is allowed
  EXPECT_EQ(RegSetValueExW(key, u"v", 0, REG_DWORD, bytes, 4), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Qorvex"), ERROR_ACCESS_DENIED);
  // The user's own hive stays writable.
  HKEY user = Create(HKEY_CURRENT_USER, u"Software\\Qorvex");
  EXPECT_EQ(RegSetValueExW(user, u"v", 0, REG_DWORD, bytes, 4), ERROR_SUCCESS);
  RegCloseKey(user);
  EXPECT_EQ(SimRegistryDump(HKEY_LOCAL_MACHINE, nullptr), "[HKEY_LOCAL_MACHINE]\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
                                                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qorvex]\n");

  SimRegistrySetAdministrator(TRUE);
  ASSERT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE, nullptr, &root), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(root, u"WriteCheck", 0, REG_DWORD, bytes, 4), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(root, u"WriteCheck"), ERROR_SUCCESS);
  RegCloseKey(root);
}

TEST_F(RegistryTest, ReadOnlyHandleRefusesWrites) {
  SimRegistrySeedKey(HKEY_CURRENT_USER, kKey);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  const BYTE b = 1;
  EXPECT_EQ(RegSetValueExW(key, u"x", 0, REG_BINARY, &b, 1), ERROR_ACCESS_DENIED);
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyExW(key, u"Child", 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
}

TEST_F(RegistryTest, BadArgumentsAndHandles) {
  HKEY bogus = reinterpret_cast<HKEY>(ULONG_PTR(0x1234));
  DWORD size = 4;
  HKEY out = nullptr;
  EXPECT_EQ(RegQueryValueExW(bogus, u"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Missing", 0, KEY_READ, &out), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"a\\\\b", 0, KEY_READ, &out), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, u"x", nullptr), ERROR_INVALID_PARAMETER);
  HKEY key = Create(HKEY_CURRENT_USER, kKey);
  EXPECT_EQ(RegSetValueExW(key, u"x", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
  EXPECT_EQ(RegSetValueExW(key, u"empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(RegEnumValueW(key, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryTest, ScriptedFailureChangesNothing) {
  HKEY key = Create(HKEY_CURRENT_USER, kKey);
  SimFailCall("RegSetValueExW", ERROR_CANTWRITE);
  const BYTE b = 1;
  EXPECT_EQ(RegSetValueExW(key, u"x", 0, REG_BINARY, &b, 1), ERROR_CANTWRITE);
  DWORD type;
  std::vector<BYTE> data;
  EXPECT_FALSE(SimRegistryReadValue(HKEY_CURRENT_USER, kKey, u"x", type, data));
  EXPECT_EQ(RegSetValueExW(key, u"x", 0, REG_BINARY, &b, 1), ERROR_SUCCESS);
  ASSERT_TRUE(SimRegistryReadValue(HKEY_CURRENT_USER, kKey, u"X", type, data));
  EXPECT_EQ(data, std::vector<BYTE>{1});
  RegCloseKey(key);
}

TEST_F(RegistryTest, AnsiFormsConvertTexts) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Scan", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char text[] = "caf\xE9";  // code page 1252
  ASSERT_EQ(RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), ERROR_SUCCESS);
  DWORD type;
  std::vector<BYTE> stored;
  ASSERT_TRUE(SimRegistryReadValue(HKEY_CURRENT_USER, u"Software\\Scan", u"Name", type, stored));
  EXPECT_EQ(stored.size(), 10u);
  EXPECT_EQ(stored[6], 0xE9);
  EXPECT_EQ(stored[7], 0x00);
  char out[8];
  DWORD size = 3;
  EXPECT_EQ(RegQueryValueExA(key, "name", nullptr, &type, reinterpret_cast<BYTE*>(out), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 5u);
  size = sizeof out;
  ASSERT_EQ(RegQueryValueExA(key, "name", nullptr, &type, reinterpret_cast<BYTE*>(out), &size), ERROR_SUCCESS);
  EXPECT_STREQ(out, text);
  EXPECT_EQ(RegDeleteValueA(key, "NAME"), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Scan"), ERROR_SUCCESS);
}

}  // namespace
