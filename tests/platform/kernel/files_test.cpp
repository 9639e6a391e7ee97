#include "platform/kernel/files.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

using Files = SandboxTest;

HANDLE Open(const char16_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileW(path, access, share, nullptr, disposition, flags, nullptr);
}

void Write(HANDLE h, const std::string& bytes) {
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(written, bytes.size());
}

std::string ReadAll(const char16_t* path) {
  std::ifstream in(SimHostPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void MakeFile(const char16_t* path, const std::string& bytes) {
  HANDLE h = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  Write(h, bytes);
  ASSERT_TRUE(CloseHandle(h));
}

TEST_F(Files, DispositionsAndTheirErrors) {
  MakeFile(u"C:\\there.txt", "abc");
  struct Case {
    const char16_t* path;
    DWORD access;
    DWORD disposition;
    bool opens;
    DWORD error;  // last error after the call
    size_t sizeAfter;
  } cases[] = {
      {u"C:\\there.txt", GENERIC_READ, OPEN_EXISTING, true, NO_ERROR, 3},
      {u"C:\\THERE.TXT", GENERIC_READ, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, 3},
      {u"C:\\there.txt", GENERIC_WRITE, CREATE_NEW, false, ERROR_FILE_EXISTS, 3},
      {u"C:\\there.txt", GENERIC_WRITE, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, 0},
      {u"C:\\missing.txt", GENERIC_READ, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, 0},
      {u"C:\\missing.txt", GENERIC_READ, TRUNCATE_EXISTING, false, ERROR_INVALID_PARAMETER, 0},
      {u"C:\\missing.txt", GENERIC_WRITE, TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, 0},
      {u"C:\\nodir\\x.txt", GENERIC_WRITE, CREATE_ALWAYS, false, ERROR_PATH_NOT_FOUND, 0},
      {u"C:\\Windows", GENERIC_READ, OPEN_EXISTING, false, ERROR_ACCESS_DENIED, 0},
      {u"C:\\bad|name", GENERIC_READ, OPEN_EXISTING, false, ERROR_INVALID_NAME, 0},
      {u"C:\\new.txt", GENERIC_WRITE, OPEN_ALWAYS, true, NO_ERROR, 0},
      {u"C:\\there.txt", GENERIC_READ, 9, false, ERROR_INVALID_PARAMETER, 0},
  };
  for (const Case& c : cases) {
    SetLastError(0xDEAD);
    HANDLE h = Open(c.path, c.access, FILE_SHARE_READ, c.disposition);
    EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens) << Utf16ToUtf8(c.path) << " " << c.disposition;
    EXPECT_EQ(GetLastError(), c.error) << Utf16ToUtf8(c.path) << " " << c.disposition;
    if (h != INVALID_HANDLE_VALUE) {
      EXPECT_EQ(GetFileSize(h, nullptr), c.sizeAfter);
      EXPECT_TRUE(CloseHandle(h));
    }
  }
  EXPECT_EQ(Open(nullptr, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Files, SharingRules) {
  MakeFile(u"C:\\shared.bin", "0123456789");
  struct Case {
    DWORD firstAccess, firstShare, secondAccess, secondShare;
    bool secondOpens;
  } cases[] = {
      {GENERIC_READ, 0, GENERIC_READ, FILE_SHARE_READ, false},  // share 0 refuses every other open
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, FILE_SHARE_READ, false},
      {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, false},  // the second must share writing
      {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_WRITE, FILE_SHARE_READ, true},
      {GENERIC_READ, 0, 0, 0, true},  // attribute-only opens never conflict
  };
  for (const Case& c : cases) {
    HANDLE first = Open(u"C:\\shared.bin", c.firstAccess, c.firstShare, OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    HANDLE second = Open(u"c:\\SHARED.bin", c.secondAccess, c.secondShare, OPEN_EXISTING);
    EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.secondOpens) << c.firstAccess << "/" << c.firstShare << " then "
                                                             << c.secondAccess << "/" << c.secondShare;
    if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
    else EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(first);
  }

  // An open file cannot be deleted or moved unless it was opened with FILE_SHARE_DELETE.
  HANDLE h = Open(u"C:\\shared.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_FALSE(DeleteFileW(u"C:\\shared.bin"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(MoveFileW(u"C:\\shared.bin", u"C:\\moved.bin"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CopyFileW(u"C:\\shared.bin", u"C:\\copy.bin", TRUE);  // reading alongside is fine
  EXPECT_EQ(ReadAll(u"C:\\copy.bin"), "0123456789");
  CloseHandle(h);
  h = Open(u"C:\\shared.bin", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
  EXPECT_TRUE(DeleteFileW(u"C:\\shared.bin"));
  CloseHandle(h);
  EXPECT_EQ(GetFileAttributesW(u"C:\\shared.bin"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, ReadWriteSeekAndSize) {
  HANDLE h = Open(u"C:\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  Write(h, "hello world");
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), 0u);
  char buffer[32] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(h, buffer, 5, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "hello");
  EXPECT_EQ(SetFilePointer(h, -5, nullptr, FILE_END), 6u);
  EXPECT_TRUE(ReadFile(h, buffer, sizeof(buffer), &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "world");
  EXPECT_TRUE(ReadFile(h, buffer, sizeof(buffer), &got, nullptr));  // end of file: TRUE, 0 bytes
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(SetFilePointer(h, -100, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  // Writing past the end fills the gap with zeros.
  LARGE_INTEGER far, at;
  far.QuadPart = 20;
  EXPECT_TRUE(SetFilePointerEx(h, far, &at, FILE_BEGIN));
  EXPECT_EQ(at.QuadPart, 20);
  Write(h, "!");
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(h, &high), 21u);
  EXPECT_EQ(high, 0u);
  SetFilePointer(h, 5, nullptr, FILE_BEGIN);
  EXPECT_TRUE(SetEndOfFile(h));
  EXPECT_EQ(GetFileSize(h, nullptr), 5u);
  // Large positions through the high part.
  LONG highPart = 1;
  EXPECT_EQ(SetFilePointer(h, 0, &highPart, FILE_BEGIN), 0u);
  EXPECT_EQ(highPart, 1);
  EXPECT_TRUE(CloseHandle(h));

  // Access is checked per handle; bad handles get ERROR_INVALID_HANDLE.
  h = Open(u"C:\\data.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(ReadFile(h, nullptr, 4, &got, nullptr));
  EXPECT_FALSE(ReadFile(h, buffer, 4, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(h);
  for (HANDLE bad : {h, INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr)}) {
    EXPECT_FALSE(ReadFile(bad, buffer, 1, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
  }
}

TEST_F(Files, DeleteMoveCopyAndFolders) {
  MakeFile(u"C:\\a.txt", "A");
  MakeFile(u"C:\\b.txt", "B");
  EXPECT_FALSE(MoveFileW(u"C:\\a.txt", u"C:\\b.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(MoveFileExW(u"C:\\a.txt", u"C:\\b.txt", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadAll(u"C:\\b.txt"), "A");
  EXPECT_FALSE(MoveFileW(u"C:\\a.txt", u"C:\\c.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(CopyFileW(u"C:\\b.txt", u"C:\\b.txt", TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_TRUE(CopyFileW(u"C:\\B.TXT", u"C:\\c.txt", TRUE));
  EXPECT_FALSE(CopyFileW(u"C:\\none.txt", u"C:\\d.txt", FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_TRUE(CreateDirectoryW(u"C:\\Folder", nullptr));
  EXPECT_FALSE(CreateDirectoryW(u"c:\\folder", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryW(u"C:\\no\\deeper", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesW(u"C:\\FOLDER"), FILE_ATTRIBUTE_DIRECTORY);
  MakeFile(u"C:\\folder\\inner.txt", "x");
  EXPECT_FALSE(RemoveDirectoryW(u"C:\\Folder"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(DeleteFileW(u"C:\\Folder"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(RemoveDirectoryW(u"C:\\c.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_TRUE(DeleteFileW(u"C:\\Folder\\INNER.txt"));
  EXPECT_TRUE(RemoveDirectoryW(u"C:\\Folder"));
  EXPECT_FALSE(DeleteFileW(u"C:\\gone\\x.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  // Read-only files refuse writing and deleting.
  EXPECT_TRUE(SetFileAttributesW(u"C:\\c.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesW(u"C:\\c.txt"), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Open(u"C:\\c.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeleteFileW(u"C:\\c.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(SetFileAttributesW(u"C:\\c.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileW(u"C:\\c.txt"));

  // ANSI forms go through the ANSI code page.
  EXPECT_TRUE(CreateDirectoryA("C:\\Caf\xe9", nullptr));
  EXPECT_EQ(GetFileAttributesW(u"C:\\Caf\u00e9"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Files, DriverFilesAreNeverChangedThroughTheirLinks) {
  std::string driverFile = (DriverDir() / "libplatform.so").string();
  struct stat before;
  ASSERT_EQ(::stat(driverFile.c_str(), &before), 0);
  std::u16string inSandbox = std::u16string(SimDriverDirectory()) + u"\\libplatform.so";
  HANDLE h = Open(inSandbox.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  h = Open(inSandbox.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  Write(h, "x");
  CloseHandle(h);
  struct stat after;
  ASSERT_EQ(::stat(driverFile.c_str(), &after), 0);
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(ReadAll(inSandbox.c_str()), "x");
}

TEST_F(Files, FindWithWildcards) {
  CreateDirectoryW(u"C:\\Find", nullptr);
  for (const char16_t* name : {u"C:\\Find\\b.DDD", u"C:\\Find\\a.ddd", u"C:\\Find\\Readme", u"C:\\Find\\x1.txt", u"C:\\Find\\x22.txt"})
    MakeFile(name, "12345");
  auto find = [](const char16_t* pattern) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileW(h, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    return names;
  };
  using Names = std::vector<std::u16string>;
  EXPECT_EQ(find(u"C:\\Find\\*.ddd"), (Names{u"a.ddd", u"b.DDD"}));
  EXPECT_EQ(find(u"c:\\find\\*.*"), (Names{u".", u"..", u"a.ddd", u"b.DDD", u"Readme", u"x1.txt", u"x22.txt"}));
  EXPECT_EQ(find(u"C:\\Find\\x?.txt"), (Names{u"x1.txt"}));
  EXPECT_EQ(find(u"C:\\Find\\README"), (Names{u"Readme"}));
  EXPECT_EQ(find(u"C:\\Find\\*.none"), Names{});
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(find(u"C:\\Nowhere\\*"), Names{});
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(u"C:\\Find\\a.ddd", &data);
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_FALSE(CloseHandle(h));  // find handles close with FindClose only
  EXPECT_TRUE(FindClose(h));
  EXPECT_FALSE(FindClose(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  WIN32_FIND_DATAA dataA;
  h = FindFirstFileA("C:\\Find\\R*", &dataA);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(dataA.cFileName, "Readme");
  FindClose(h);
}

TEST_F(Files, FolderQueriesAndTemporaryFiles) {
  WCHAR buffer[MAX_PATH];
  struct Case {
    UINT (*query)(LPWSTR, UINT);
    std::u16string answer;
  } cases[] = {{GetWindowsDirectoryW, u"C:\\Windows"}, {GetSystemDirectoryW, u"C:\\Windows\\System32"}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.query(buffer, MAX_PATH), c.answer.size());
    EXPECT_EQ(std::u16string(buffer), c.answer);
    EXPECT_EQ(c.query(buffer, 3), c.answer.size() + 1);  // too small: the size needed
  }
  EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 16u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\Windows\\Temp\\");
  EXPECT_EQ(GetTempPathW(4, buffer), 17u);
  SimFailCall("GetTempPathW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 16u);  // only the one call failed

  WCHAR name[MAX_PATH];
  UINT unique = GetTempFileNameW(u"C:\\Windows\\Temp", u"VQPX", 0, name);
  ASSERT_NE(unique, 0u);
  std::u16string made = name;
  EXPECT_EQ(made.rfind(u"C:\\Windows\\Temp\\VQP", 0), 0u);
  EXPECT_EQ(made.substr(made.size() - 4), u".TMP");
  EXPECT_NE(GetFileAttributesW(name), INVALID_FILE_ATTRIBUTES);  // the file exists
  WCHAR second[MAX_PATH];
  EXPECT_NE(GetTempFileNameW(u"C:\\Windows\\Temp\\", u"VQP", 0, second), 0u);
  EXPECT_NE(std::u16string(second), made);
  EXPECT_EQ(GetTempFileNameW(u"C:\\Windows\\Temp", u"AIO", 0x1A2B, name), 0x1A2Bu);
  EXPECT_EQ(std::u16string(name), u"C:\\Windows\\Temp\\AIO1A2B.TMP");
  EXPECT_EQ(GetFileAttributesW(name), INVALID_FILE_ATTRIBUTES);  // a given number makes no file
  EXPECT_EQ(GetTempFileNameW(u"C:\\NoSuchDir", u"VQP", 0, name), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));

  // Short names: the path itself unless scripted; the file must exist.
  MakeFile(u"C:\\Long Name File.txt", "x");
  EXPECT_EQ(GetShortPathNameW(u"C:\\Long Name File.txt", buffer, MAX_PATH), 21u);
  EXPECT_EQ(GetShortPathNameW(u"C:\\Long Name File.txt", buffer, 5), 22u);
  SimSetShortPathName(u"c:\\long name file.txt", u"C:\\LONGNA~1.TXT");
  EXPECT_EQ(GetShortPathNameW(u"C:\\Long Name File.txt", buffer, MAX_PATH), 15u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\LONGNA~1.TXT");
  EXPECT_EQ(GetShortPathNameW(u"C:\\absent.txt", buffer, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  LPWSTR filePart = nullptr;
  EXPECT_EQ(GetFullPathNameW(u"sub\\..\\file.txt", MAX_PATH, buffer, &filePart), 11u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\file.txt");
  EXPECT_EQ(std::u16string(filePart), u"file.txt");
}

TEST_F(Files, InjectedFailuresByPath) {
  SimFailOpen(u"C:\\Locked\\*", ERROR_ACCESS_DENIED);
  CreateDirectoryW(u"C:\\Locked", nullptr);
  EXPECT_EQ(Open(u"C:\\locked\\f.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  SimShortWrite(u"*.short", 4);
  HANDLE h = Open(u"C:\\a.short", GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h, "123456", 6, &written, nullptr));
  EXPECT_EQ(written, 4u);
  EXPECT_TRUE(WriteFile(h, "78", 2, &written, nullptr));
  EXPECT_EQ(written, 0u);
  CloseHandle(h);
  EXPECT_EQ(ReadAll(u"C:\\a.short"), "1234");

  SimDiskFull(u"C:\\Spool\\*", 10);
  CreateDirectoryW(u"C:\\Spool", nullptr);
  h = Open(u"C:\\Spool\\job.spl", GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_TRUE(WriteFile(h, "12345678", 8, &written, nullptr));
  EXPECT_FALSE(WriteFile(h, "12345678", 8, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(written, 2u);
  CloseHandle(h);

  SimFailWrite(u"C:\\fail.bin", ERROR_WRITE_FAULT);
  h = Open(u"C:\\FAIL.BIN", GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_FALSE(WriteFile(h, "1", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
  CloseHandle(h);

  SimFailCall("CreateDirectoryW", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(CreateDirectoryW(u"C:\\Refused", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  SimReset();  // rules go with a reset
  h = Open(u"C:\\Locked\\f.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

TEST_F(Files, DeleteOnCloseAndFileTimes) {
  HANDLE h = Open(u"C:\\scratch.tmp", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE);
  HANDLE reader = Open(u"C:\\scratch.tmp", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_NE(GetFileAttributesW(u"C:\\scratch.tmp"), INVALID_FILE_ATTRIBUTES);  // still open
  CloseHandle(reader);
  EXPECT_EQ(GetFileAttributesW(u"C:\\scratch.tmp"), INVALID_FILE_ATTRIBUTES);

  // A written file takes the layer's clock as its last-write time.
  SYSTEMTIME when = {2011, 3, 0, 15, 10, 20, 30, 0};
  SimSetClock(when);
  MakeFile(u"C:\\stamped.txt", "x");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(u"C:\\stamped.txt", &data);
  FindClose(find);
  SYSTEMTIME got;
  FileTimeToSystemTime(&data.ftLastWriteTime, &got);
  EXPECT_EQ(got.wYear, 2011);
  EXPECT_EQ(got.wMonth, 3);
  EXPECT_EQ(got.wDay, 15);
  EXPECT_EQ(got.wHour, 10);
  EXPECT_EQ(got.wMinute, 20);
}

TEST_F(Files, ReadOnlyMapping) {
  std::string content(70000, 'a');
  content[65536] = 'Z';
  MakeFile(u"C:\\model.ddd", content);
  MakeFile(u"C:\\empty.ddd", "");
  HANDLE file = Open(u"C:\\model.ddd", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  const char* second = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 0));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second[0], 'Z');
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 100, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MAPPED_ALIGNMENT));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 80000), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(mapping);
  CloseHandle(file);
  // The views outlive the handles, and a mapped file cannot be deleted.
  EXPECT_EQ(view[69999], 'a');
  EXPECT_FALSE(DeleteFileW(u"C:\\model.ddd"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(SimLiveMappedViews(), 2);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_TRUE(UnmapViewOfFile(second));
  EXPECT_FALSE(UnmapViewOfFile(second));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
  EXPECT_TRUE(DeleteFileW(u"C:\\model.ddd"));

  file = Open(u"C:\\empty.ddd", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));
  CloseHandle(file);
}

}  // namespace
