// The module loader, driven as a host drives it: load by name, bind exports, free.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/kernel/debug.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "platform/registry/registry_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

using TestAdd = int (*)(int, int);
using TestInstance = HINSTANCE (*)();
using TestPath = LPCWSTR (*)();

class ModuleTest : public SandboxTest {
 protected:
  std::u16string DriverPath(const char16_t* file) { return std::u16string(SimDriverDirectory()) + u"\\" + file; }
};

TEST_F(ModuleTest, LoadByNameRunsDllMainAndCountsUses) {
  HMODULE h = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(h, nullptr) << SimModuleLastLoadMessage();
  EXPECT_EQ(SimDebugOutput(), std::vector<std::u16string>{u"qvtestmod attach"});

  auto instance = reinterpret_cast<TestInstance>(GetProcAddress(h, "QvTestInstance"));
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance(), h);  // DllMain got the module's own handle
  auto pathAtAttach = reinterpret_cast<TestPath>(GetProcAddress(h, "QvTestPathAtAttach"));
  ASSERT_NE(pathAtAttach, nullptr);
  EXPECT_EQ(std::u16string(pathAtAttach()), DriverPath(u"qvtestmod.dll"));

  // Same file by another spelling, by full path, and without the extension: same module.
  EXPECT_EQ(LoadLibraryW(u"QVTESTMOD"), h);
  EXPECT_EQ(LoadLibraryExW(DriverPath(u"QvTestMod.DLL").c_str(), nullptr, 0), h);
  EXPECT_EQ(SimModuleUseCount(h), 3);
  EXPECT_EQ(GetModuleHandleW(u"qvtestmod.dll"), h);
  EXPECT_EQ(SimModuleUseCount(h), 3);  // GetModuleHandleW takes no reference

  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimDebugOutput().size(), 1u);  // still attached
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimDebugOutput(), (std::vector<std::u16string>{u"qvtestmod attach", u"qvtestmod detach"}));
  EXPECT_EQ(SimModuleLoadCount(u"qvtestmod.dll"), 3);
  EXPECT_EQ(SimModuleFreeCount(u"QVTESTMOD.DLL"), 3);
  EXPECT_EQ(SimModuleLiveCount(), 0);
  EXPECT_FALSE(FreeLibrary(h));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetModuleHandleW(u"qvtestmod.dll"), nullptr);
}

TEST_F(ModuleTest, ModuleFileNameIsThePlatformPath) {
  HMODULE h = LoadLibraryA("qvtestmod.dll");
  ASSERT_NE(h, nullptr);
  std::u16string expected = DriverPath(u"qvtestmod.dll");
  WCHAR path[MAX_PATH];
  ASSERT_EQ(GetModuleFileNameW(h, path, MAX_PATH), expected.size());
  EXPECT_EQ(std::u16string(path), expected);

  // Too small: cut to size-1 and terminated, answer = size.
  WCHAR small[8];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameW(h, small, 8), 8u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::u16string(small), expected.substr(0, 7));
  EXPECT_EQ(GetModuleFileNameW(h, small, 0), 0u);

  char ansi[MAX_PATH];
  ASSERT_EQ(GetModuleFileNameA(h, ansi, MAX_PATH), expected.size());
  SimSetHostModulePath(u"C:\\Program Files\\Host\\host.exe");
  EXPECT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  EXPECT_EQ(std::u16string(path), u"C:\\Program Files\\Host\\host.exe");
  EXPECT_TRUE(FreeLibrary(h));
}

TEST_F(ModuleTest, HiddenExportsAndErrors) {
  SimModuleHideExport(u"QVTESTMOD.dll", "QvTestAdd");
  HMODULE h = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetProcAddress(h, "QvTestAdd"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  EXPECT_NE(GetProcAddress(h, "QvTestInstance"), nullptr);
  EXPECT_EQ(GetProcAddress(h, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetProcAddress(h, "malloc"), nullptr);  // a dependency's symbol is not an export
  EXPECT_EQ(GetProcAddress(h, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  SimReset();  // lifts the hiding
  auto add = reinterpret_cast<TestAdd>(GetProcAddress(h, "QvTestAdd"));
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(2, 3), 5);
  EXPECT_TRUE(FreeLibrary(h));

  // A path that names a directory or a named pipe names no module (and opening the pipe to
  // read its head must not wait for a writer).
  std::filesystem::create_directories(std::filesystem::path(Host(u"C:\\Modules\\pipe.dll")).parent_path());
  ASSERT_EQ(::mkfifo(Host(u"C:\\Modules\\pipe.dll").c_str(), 0600), 0);
  struct Case {
    LPCWSTR name;
    DWORD error;
  } cases[] = {
      {u"nosuch.dll", ERROR_MOD_NOT_FOUND},
      {u"C:\\Nowhere\\qvtestmod.dll", ERROR_MOD_NOT_FOUND},
      {u"C:\\Windows", ERROR_MOD_NOT_FOUND},
      {u"C:\\Modules\\pipe.dll", ERROR_MOD_NOT_FOUND},
      {u"", ERROR_INVALID_PARAMETER},
      {nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(c.name), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  HMODULE bogus = reinterpret_cast<HMODULE>(ULONG_PTR(0x1234));
  EXPECT_EQ(GetProcAddress(bogus, "x"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  WCHAR path[8];
  EXPECT_EQ(GetModuleFileNameW(bogus, path, 8), 0u);
}

TEST_F(ModuleTest, ScriptedLoadFailureAndRefusedAttach) {
  SimModuleFailLoad(u"qvtestmod.dll", ERROR_DLL_INIT_FAILED);
  EXPECT_EQ(LoadLibraryW(u"qvtestmod.dll"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_DLL_INIT_FAILED));
  EXPECT_TRUE(SimDebugOutput().empty());
  SimModuleFailLoad(u"qvtestmod.dll", 0);

  SimRegistrySeedDword(HKEY_CURRENT_USER, u"Software\\QvTest", u"RefuseAttach", 1);
  EXPECT_EQ(LoadLibraryW(u"qvtestmod.dll"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_DLL_INIT_FAILED));
  // A refused attach still gets its detach call, and the module is gone.
  EXPECT_EQ(SimDebugOutput(), (std::vector<std::u16string>{u"qvtestmod attach", u"qvtestmod detach"}));
  EXPECT_EQ(SimModuleLiveCount(), 0);
  EXPECT_EQ(SimModuleLoadCount(u"qvtestmod.dll"), 0);
}

TEST_F(ModuleTest, DataFlagsSkipDllMainAndExports) {
  HMODULE h = LoadLibraryExW(u"qvtestmod.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(SimDebugOutput().empty());
  EXPECT_EQ(GetProcAddress(h, "QvTestAdd"), nullptr);
  EXPECT_EQ(GetModuleHandleW(u"qvtestmod.dll"), nullptr);  // not a loaded code module
  WCHAR text[32];
  EXPECT_EQ(LoadStringW(h, 32766, text, 32), 14);  // its resources are served
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_TRUE(SimDebugOutput().empty());
}

TEST_F(ModuleTest, BuiltinKernelServesLoaderCalls) {
  HMODULE kernel = GetModuleHandleA("KERNEL32");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(LoadLibraryW(u"C:\\Windows\\System32\\kernel32.dll"), kernel);
  using LoadEx = HMODULE (*)(LPCSTR, HANDLE, DWORD);
  auto loadEx = reinterpret_cast<LoadEx>(GetProcAddress(kernel, "LoadLibraryExA"));
  ASSERT_NE(loadEx, nullptr);
  HMODULE h = loadEx("qvtestmod.dll", nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  ASSERT_NE(h, nullptr);
  auto freeLibrary = reinterpret_cast<BOOL (*)(HMODULE)>(GetProcAddress(kernel, "FreeLibrary"));
  ASSERT_NE(freeLibrary, nullptr);
  EXPECT_TRUE(freeLibrary(h));
  EXPECT_EQ(GetProcAddress(kernel, "NoSuchFunction"), nullptr);
  EXPECT_TRUE(FreeLibrary(kernel));
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(kernel, path, MAX_PATH);
  EXPECT_EQ(std::u16string(path), u"C:\\Windows\\System32\\kernel32.dll");
}

// A module that declares it keeps no state: its image may outlive its last FreeLibrary, and
// every load still behaves as a load of a fresh module.
using KeptCountCall = int (*)();

TEST_F(ModuleTest, KeptImageServesTheNextLoadAsAFreshModule) {
  HMODULE h = LoadLibraryW(u"qvkeptmod.dll");
  ASSERT_NE(h, nullptr) << SimModuleLastLoadMessage();
  const void* code = reinterpret_cast<const void*>(GetProcAddress(h, "QvKeptCountCall"));
  ASSERT_NE(code, nullptr);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimModuleKeptImageCount(), 1);
  // Freed is freed: no module by name, by handle or by address.
  EXPECT_EQ(SimModuleLiveCount(), 0);
  EXPECT_EQ(GetModuleHandleW(u"qvkeptmod.dll"), nullptr);
  HMODULE found = nullptr;
  EXPECT_FALSE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                  static_cast<LPCWSTR>(code), &found));
  EXPECT_FALSE(FreeLibrary(h));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

  HMODULE again = LoadLibraryW(u"qvkeptmod.dll");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SimModuleKeptImageCount(), 0);
  EXPECT_EQ(SimDebugOutput(),
            (std::vector<std::u16string>{u"qvkeptmod attach", u"qvkeptmod detach", u"qvkeptmod attach"}));
  EXPECT_EQ(GetModuleHandleW(u"qvkeptmod.dll"), again);
  auto count = reinterpret_cast<KeptCountCall>(GetProcAddress(again, "QvKeptCountCall"));
  ASSERT_NE(count, nullptr);
  WCHAR text[32];
  EXPECT_EQ(LoadStringW(again, 32766, text, 32), 14);  // its resources are served from the kept image
  EXPECT_EQ(std::u16string(text), u"qorvexdata.dll");
  WCHAR path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(again, path, MAX_PATH), 0u);
  EXPECT_EQ(std::u16string(path), DriverPath(u"qvkeptmod.dll"));
  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ(SimModuleLoadCount(u"qvkeptmod.dll"), 2);
  EXPECT_EQ(SimModuleFreeCount(u"qvkeptmod.dll"), 2);

  // A reset unloads the kept image.
  EXPECT_EQ(SimModuleKeptImageCount(), 1);
  SimReset();
  EXPECT_EQ(SimModuleKeptImageCount(), 0);
}

// Loads the module that declares it keeps no state and binds its call counter (NULL when
// either fails).
KeptCountCall LoadKeptModule(HMODULE& h) {
  h = LoadLibraryW(u"qvkeptmod.dll");
  return h != nullptr ? reinterpret_cast<KeptCountCall>(GetProcAddress(h, "QvKeptCountCall")) : nullptr;
}

TEST_F(ModuleTest, ModuleWhoseMemoryChangedIsUnloadedForReal) {
  // A module that changed a variable, whatever it declares, starts afresh at its next load.
  HMODULE h = nullptr;
  KeptCountCall count = LoadKeptModule(h);
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(count(), 2);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimModuleKeptImageCount(), 0);
  count = LoadKeptModule(h);
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count(), 1);

  // Nor is an image kept that the process had mapped before the load: a data-file load after
  // a code load of one file shares the image the code has changed.
  HMODULE data = LoadLibraryExW(u"qvkeptmod.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_TRUE(FreeLibrary(data));
  EXPECT_EQ(SimModuleKeptImageCount(), 0);
  count = LoadKeptModule(h);
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count(), 1);
  EXPECT_TRUE(FreeLibrary(h));

  // A module without the declaration is never kept, even unchanged.
  h = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimModuleKeptImageCount(), 0);
}

TEST_F(ModuleTest, KeptImageOfAReplacedFileIsNotServed) {
  const std::u16string swap = u"C:\\Modules\\swap.dll";
  const std::filesystem::path host = Host(swap.c_str());
  std::filesystem::create_directories(host.parent_path());
  auto install = [&](const char* file) {
    std::filesystem::remove(host);
    std::filesystem::copy_file(std::filesystem::canonical(TestDriverDir() / file), host);
  };
  install("qvkeptmod.dll");
  HMODULE h = LoadLibraryW(swap.c_str());
  ASSERT_NE(h, nullptr) << SimModuleLastLoadMessage();
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimModuleKeptImageCount(), 1);

  install("qvtestmod.dll");
  h = LoadLibraryW(swap.c_str());
  ASSERT_NE(h, nullptr) << SimModuleLastLoadMessage();
  EXPECT_EQ(SimModuleKeptImageCount(), 0);
  EXPECT_NE(GetProcAddress(h, "QvTestAdd"), nullptr);
  EXPECT_EQ(GetProcAddress(h, "QvKeptCountCall"), nullptr);
  EXPECT_TRUE(FreeLibrary(h));
}

TEST_F(ModuleTest, HandlesStayModuleHandlesOverManyLoads) {
  // More loads than the modules' range of handle values holds: the values start again at the
  // range's beginning (skipping live modules) instead of running into the built-ins' values.
  HMODULE held = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(held, nullptr);
  constexpr int kLoads = (0x7FF00000 - 0x10000000) / 0x10000 + 2;
  for (int i = 0; i < kLoads; ++i) {
    HMODULE h = LoadLibraryW(u"qvkeptmod.dll");
    ASSERT_NE(h, nullptr) << "load " << i;
    ASSERT_NE(h, held) << "load " << i;
    ASSERT_NE(GetProcAddress(h, "QvKeptCountCall"), nullptr) << "load " << i;
    ASSERT_TRUE(FreeLibrary(h)) << "load " << i;
  }
  EXPECT_EQ(SimModuleUseCount(held), 1);
  EXPECT_TRUE(FreeLibrary(held));
}

TEST_F(ModuleTest, HandleFromAddressAndPinning) {
  HMODULE h = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(h, nullptr);
  auto add = reinterpret_cast<const WCHAR*>(GetProcAddress(h, "QvTestAdd"));
  HMODULE found = nullptr;
  ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 add, &found));
  EXPECT_EQ(found, h);
  EXPECT_EQ(SimModuleUseCount(h), 1);
  ASSERT_TRUE(GetModuleHandleExW(0, u"qvtestmod.dll", &found));
  EXPECT_EQ(SimModuleUseCount(h), 2);
  EXPECT_FALSE(GetModuleHandleExW(0, u"nosuch.dll", &found));
  EXPECT_EQ(found, nullptr);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_TRUE(FreeLibrary(h));
}

}  // namespace
