// The temporary job store: its file and registration, bounded reads and moves, the
// write-failure box with each answer, and the clean-up of files that earlier jobs left.
#include "platform/user/user_sim.h"
#include "tests/graphics/job/job_store_fixture.h"

namespace {

TEST_F(JobStoreTest, StoreFileIsRegisteredWhileItExists) {
  TempJobStore store;
  ASSERT_EQ(InitTempStore(&store, FALSE, nullptr), 0);
  EXPECT_EQ(IsTempStoreOpen(&store), -1);
  EXPECT_EQ(DeleteTempStore(&store), -1) << "no file to delete";
  ASSERT_EQ(CreateTempStoreFile(&store), 0);
  const std::u16string path = store.name;
  EXPECT_EQ(path.rfind(u"C:\\Windows\\Temp\\VQP", 0), 0u) << Utf16ToUtf8(path);
  EXPECT_EQ(IsTempStoreOpen(&store), 1);
  EXPECT_TRUE(HostExists(path));
  DWORD type = 0;
  std::vector<BYTE> value;
  ASSERT_TRUE(SimRegistryReadValue(HKEY_LOCAL_MACHINE, RegistrationOf(path).c_str(), nullptr, type, value));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(value.data())), u"[2024,01/02,03:04:05]");
  // A second file replaces the first. Its name comes from the tick count, which is moved on so
  // that the name cannot be the first one's again within the same millisecond.
  SimAdvanceClock(1);
  ASSERT_EQ(CreateTempStoreFile(&store), 0);
  const std::u16string second = store.name;
  EXPECT_NE(second, path);
  EXPECT_FALSE(HostExists(path));
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(path).c_str()));
  EXPECT_EQ(DeleteTempStore(&store), 0);
  EXPECT_FALSE(HostExists(second));
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(second).c_str()));
  EXPECT_EQ(store.name[0], 0);
}

TEST_F(JobStoreTest, ReadsAndMovesStayWithinTheWrittenSize) {
  TempJobStore store;
  InitTempStore(&store, FALSE, nullptr);
  EXPECT_EQ(WriteTempStore(&store, "x", 1), -1) << "no file";
  ASSERT_EQ(CreateTempStoreFile(&store), 0);
  const auto bytes = Pattern(5000);
  EXPECT_EQ(WriteTempStore(&store, bytes.data(), 5000), 5000);
  EXPECT_EQ(WriteTempStore(&store, nullptr, 0), 0);
  EXPECT_EQ(WriteTempStore(&store, nullptr, 3), -1);
  EXPECT_EQ(GetTempStoreSize(&store), 5000);
  EXPECT_EQ(SeekTempStore(&store, 5001), -1);
  EXPECT_EQ(SeekTempStore(&store, 4990), 4990);
  BYTE buffer[20] = {};
  EXPECT_EQ(ReadTempStore(&store, buffer, 11), -1) << "past the size";
  EXPECT_EQ(ReadTempStore(&store, buffer, 10), 10);
  EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 10), std::vector<BYTE>(bytes.begin() + 4990, bytes.end()));
  EXPECT_EQ(ReadTempStore(&store, buffer, 0), 0);
  // Writing in the middle keeps the size.
  EXPECT_EQ(SeekTempStore(&store, 100), 100);
  EXPECT_EQ(WriteTempStore(&store, "abc", 3), 3);
  EXPECT_EQ(GetTempStoreSize(&store), 5000);
  EXPECT_EQ(SeekTempStoreEnd(&store), 5000);
  EXPECT_EQ(FlushTempStore(&store), 0);
  const std::u16string path = store.name;
  EXPECT_EQ(DeleteTempStore(&store), 0);
  EXPECT_EQ(FlushTempStore(&store), -1);
  EXPECT_EQ(GetTempStoreSize(&store), -1);
}

// Each box answer, and the room the disk has again once the user has answered (0: still full).
struct BoxAnswer {
  int answer;
  DWORD roomAfter;
};
struct WriteFailureCase {
  const char* what;
  std::vector<BoxAnswer> answers;
  int result;
};

TEST_F(JobStoreTest, WriteFailureAsksTheUser) {
  const std::vector<WriteFailureCase> cases = {
      {"OK: the rest is written where it belongs", {{IDOK, 100000}}, 3000},
      {"OK while still full, then OK with room", {{IDOK, 0}, {IDOK, 100000}}, 3000},
      {"Cancel: the store becomes unusable", {{IDCANCEL, 0}}, -1},
      {"OK without room, then Cancel", {{IDOK, 0}, {IDCANCEL, 0}}, -1},
  };
  for (const WriteFailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    // Each case's rules are its own: a store file named from the same tick as the previous
    // case's would otherwise still be full.
    SimClearFileRules();
    SimMessageBoxReset();
    TempJobStore store;
    InitTempStore(&store, FALSE, nullptr);
    ASSERT_EQ(CreateTempStoreFile(&store), 0);
    const std::u16string path = store.name;
    ASSERT_EQ(WriteTempStore(&store, Pattern(100).data(), 100), 100);
    SimDiskFull(path.c_str(), 500);
    for (const BoxAnswer& a : c.answers)
      SimOnMessageBox([&path, a](const SimMessageBox&) {
        if (a.roomAfter != 0) SimShortWrite(path.c_str(), a.roomAfter);
        return a.answer;
      });
    const auto bytes = Pattern(3000, 100);
    EXPECT_EQ(WriteTempStore(&store, bytes.data(), 3000), c.result);
    const auto log = SimMessageBoxLog();
    ASSERT_EQ(log.size(), c.answers.size());
    EXPECT_EQ(log[0].caption, u"警告");
    EXPECT_NE(log[0].text.find(u"\nCドライブに十分な空き"), std::u16string::npos);
    EXPECT_EQ(log[0].type, kTempWriteFailureBoxFlags);
    if (c.result > 0) {
      EXPECT_EQ(GetTempStoreSize(&store), 3100);
      EXPECT_EQ(ReadTempStore(&store, nullptr, 0), 0);
      CloseHandle(store.file);
      store.file = INVALID_HANDLE_VALUE;
      EXPECT_EQ(HostBytes(path), Pattern(3100));
    } else {
      EXPECT_EQ(store.writable, 0u);
      EXPECT_EQ(IsTempStoreOpen(&store), -1);
      BYTE b;
      EXPECT_EQ(ReadTempStore(&store, &b, 1), -1);
      EXPECT_EQ(WriteTempStore(&store, "x", 1), -1);
    }
    EXPECT_EQ(DeleteTempStore(&store), 0);
  }
}

TEST_F(JobStoreTest, WriteFailureBoxNamesTheDrive) {
  struct Case {
    const char16_t* name;
    char16_t drive;
  };
  const Case cases[] = {{u"d:\\spool\\VQP1.tmp", u'D'}, {u"C:\\x.tmp", u'C'}, {u"\\\\server\\share\\x.tmp", u' '}};
  for (const Case& c : cases) {
    SimMessageBoxReset();
    TempJobStore store;
    InitTempStore(&store, FALSE, nullptr);
    lstrcpynW(store.name, c.name, MAX_PATH);
    SimMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(ShowTempWriteError(&store), IDCANCEL);
    const auto log = SimMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].text.find(u"\n" + std::u16string(1, c.drive) + u"ドライブ"), std::u16string::npos);
  }
  EXPECT_EQ(ShowTempWriteError(nullptr), IDCANCEL);
}

TEST_F(JobStoreTest, StaleFilesAreCleanedUpButFilesInUseStay) {
  // Nothing registered yet: the list key is missing.
  EXPECT_EQ(CleanUpStaleTempFiles(), -1);
  // A running job's store (open), a finished job's file (closed, still there) and a crashed
  // job's registration whose file is gone.
  TempJobStore running;
  InitTempStore(&running, FALSE, nullptr);
  ASSERT_EQ(CreateTempStoreFile(&running), 0);
  TempJobStore finished;
  InitTempStore(&finished, FALSE, nullptr);
  ASSERT_EQ(CreateTempStoreFile(&finished), 0);
  const std::u16string finishedPath = finished.name;
  CloseHandle(finished.file);
  const std::u16string gonePath = u"C:\\Windows\\Temp\\VQPdead.tmp";
  ASSERT_EQ(RegisterTempFile(gonePath.c_str()), 0);
  // Cleaning up while initialising a new store.
  TempJobStore next;
  ASSERT_EQ(InitTempStore(&next, TRUE, nullptr), 0);
  EXPECT_TRUE(HostExists(running.name));
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(running.name).c_str()));
  EXPECT_FALSE(HostExists(finishedPath));
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(finishedPath).c_str()));
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(gonePath).c_str()));
  EXPECT_EQ(WriteTempStore(&running, "still", 5), 5);
  EXPECT_EQ(DeleteTempStore(&running), 0);
  // The list is empty now.
  EXPECT_EQ(CleanUpStaleTempFiles(), 0);
}

TEST_F(JobStoreTest, DriverKeyText) {
  const std::u16string key = u"SOFTWARE\\Qorvex\\QX-4500\\";
  ASSERT_EQ(SetTempRegistryKey(key.c_str()), 0);
  EXPECT_EQ(SetTempRegistryKey(nullptr), -1);
  EXPECT_EQ(SetTempRegistryKey(std::u16string(128, u'k').c_str()), -1) << "too long: the key stays";
  EXPECT_EQ(SetTempRegistryKey(std::u16string(127, u'k').c_str()), 0);
  ASSERT_EQ(SetTempRegistryKey(key.c_str()), 0);
  TempJobStore store;
  InitTempStore(&store, FALSE, nullptr);
  ASSERT_EQ(CreateTempStoreFile(&store), 0);
  std::u16string name = store.name;
  ToRegistryKeyName(name.data());
  EXPECT_EQ(name.find(u'\\'), std::u16string::npos);
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, (key + u"TempFile\\" + name).c_str()));
  EXPECT_EQ(DeleteTempStore(&store), 0);
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, (key + u"TempFile\\" + name).c_str()));
}

}  // namespace
