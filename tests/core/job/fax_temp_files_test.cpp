// The registrations of direct-fax temporary files: which files and values a purge removes
// (by file age, sheet window and instance), that a deletion that keeps failing does not stall
// the purge, and how a sheet's file is registered once.
#include <cstring>

#include "core/job/fax_temp_files.h"
#include "platform/base/addr32.h"
#include "platform/kernel/files.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/time.h"
#include "platform/registry/registry_sim.h"
#include "platform/user/window.h"
#include "tests/support/printer_fixture.h"

namespace {

constexpr WCHAR kCurrentKey[] = u"Software\\Varno Quelmar\\VQ Printer Driver Data\\TempFile";
constexpr WCHAR kOlderKey[] = u"Software\\Varno Quelmar\\VQ Nimbrel Printer Driver\\DirectFax\\TempFile";
constexpr WCHAR kSheetClass[] = u"FaxSheetTest";
constexpr ULONGLONG kDay = 86400ULL * 10000000ULL;

struct Record {
  WCHAR file[kDirectFaxFileChars];
  DWORD window;
  DWORD instance;
};
static_assert(sizeof(Record) == kDirectFaxRecordSize);

class FaxTempFilesTest : public printer_test::SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    if (HasFatalFailure()) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kSheetClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    CreateDirectoryW(u"C:\\fax", nullptr);
  }
  void TearDown() override {
    for (HWND w : windows_) DestroyWindow(w);
    UnregisterClassW(kSheetClass, nullptr);
    SamplePrinterTest::TearDown();
  }
  HWND Window(HWND parent = nullptr) {
    HWND w = CreateWindowExW(0, kSheetClass, u"sheet", parent != nullptr ? WS_CHILD : 0, 0, 0, 10, 10, parent,
                             nullptr, module_, nullptr);
    windows_.insert(windows_.begin(), w);  // children are destroyed first
    return w;
  }
  // A file last written `days` days before the clock.
  void MakeFile(LPCWSTR path, double days) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG value = ((ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime) - ULONGLONG(days * kDay);
    const FILETIME written{DWORD(value), DWORD(value >> 32)};
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
  }
  void Register(LPCWSTR key, LPCWSTR name, LPCWSTR file, HWND window) {
    Record r{};
    std::memcpy(r.file, file, (lstrlenW(file) + 1) * sizeof(WCHAR));
    r.window = ToAddr32(window);
    r.instance = ToAddr32(module_);
    SimRegistrySeedValue(HKEY_CURRENT_USER, key, name, REG_BINARY, &r, sizeof r);
  }
  bool HasValue(LPCWSTR key, LPCWSTR name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    return SimRegistryReadValue(HKEY_CURRENT_USER, key, name, type, data);
  }
  static bool Exists(LPCWSTR path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

  std::vector<HWND> windows_;
};

TEST_F(FaxTempFilesTest, PurgeByAgeWindowAndInstance) {
  const HWND live = Window();
  MakeFile(u"C:\\fax\\young.tmp", 6);
  MakeFile(u"C:\\fax\\old.tmp", 8);
  MakeFile(u"C:\\fax\\open.tmp", 30);
  MakeFile(u"C:\\fax\\older.tmp", 8);
  Register(kCurrentKey, u"DFaxInfo_1", u"C:\\fax\\young.tmp", nullptr);  // sheet gone, not 7 days old
  Register(kCurrentKey, u"DFaxInfo_2", u"C:\\fax\\old.tmp", nullptr);    // sheet gone, older
  Register(kCurrentKey, u"DFaxInfo_3", u"C:\\fax\\open.tmp", live);      // sheet still open
  Register(kCurrentKey, u"DFaxInfo_4", u"C:\\fax\\missing.tmp", live);   // file gone
  SimRegistrySeedString(HKEY_CURRENT_USER, kCurrentKey, u"DFaxInfo_5", u"not a record");
  SimRegistrySeedValue(HKEY_CURRENT_USER, kCurrentKey, u"Other", REG_BINARY, "x", 1);
  Register(kOlderKey, u"DFaxInfo_1", u"C:\\fax\\older.tmp", nullptr);
  PurgeAllDirectFaxTempFiles();
  EXPECT_TRUE(Exists(u"C:\\fax\\young.tmp"));
  EXPECT_TRUE(HasValue(kCurrentKey, u"DFaxInfo_1"));
  EXPECT_FALSE(Exists(u"C:\\fax\\old.tmp"));
  EXPECT_FALSE(HasValue(kCurrentKey, u"DFaxInfo_2"));
  EXPECT_TRUE(Exists(u"C:\\fax\\open.tmp"));
  EXPECT_TRUE(HasValue(kCurrentKey, u"DFaxInfo_3"));
  EXPECT_FALSE(HasValue(kCurrentKey, u"DFaxInfo_4"));
  EXPECT_TRUE(HasValue(kCurrentKey, u"DFaxInfo_5"));
  EXPECT_TRUE(HasValue(kCurrentKey, u"Other"));
  EXPECT_FALSE(Exists(u"C:\\fax\\older.tmp"));
  EXPECT_FALSE(HasValue(kOlderKey, u"DFaxInfo_1"));

  // The sheet closes: its file goes once older than 7 days.
  DestroyWindow(live);
  windows_.clear();
  PurgeAllDirectFaxTempFiles();
  EXPECT_FALSE(Exists(u"C:\\fax\\open.tmp"));
  EXPECT_FALSE(HasValue(kCurrentKey, u"DFaxInfo_3"));
  EXPECT_TRUE(Exists(u"C:\\fax\\young.tmp"));
  // A window that now belongs to another instance does not keep the file either.
  MakeFile(u"C:\\fax\\moved.tmp", 9);
  Register(kCurrentKey, u"DFaxInfo_6", u"C:\\fax\\moved.tmp", Window());
  SetWindowLongPtrW(windows_.front(), GWLP_HINSTANCE, 0x1000);
  PurgeAllDirectFaxTempFiles();
  EXPECT_FALSE(Exists(u"C:\\fax\\moved.tmp"));
}

TEST_F(FaxTempFilesTest, FailingDeletionDoesNotStallThePurge) {
  MakeFile(u"C:\\fax\\a.tmp", 10);
  Register(kCurrentKey, u"DFaxInfo_1", u"C:\\fax\\missing-a.tmp", nullptr);
  Register(kCurrentKey, u"DFaxInfo_2", u"C:\\fax\\missing-b.tmp", nullptr);
  Register(kCurrentKey, u"DFaxInfo_3", u"C:\\fax\\a.tmp", nullptr);
  SimFailCall("RegDeleteValueW", ERROR_ACCESS_DENIED, 1, 1000);
  PurgeAllDirectFaxTempFiles();
  EXPECT_LE(SimCallCount("RegDeleteValueW"), 3);
  EXPECT_TRUE(HasValue(kCurrentKey, u"DFaxInfo_1"));
  EXPECT_TRUE(HasValue(kCurrentKey, u"DFaxInfo_3"));
  // The file went; its value is removed by the next purge that may delete.
  EXPECT_FALSE(Exists(u"C:\\fax\\a.tmp"));
  SimReset();
  SimSetInstantSleep(TRUE);
  Register(kCurrentKey, u"DFaxInfo_1", u"C:\\fax\\missing-a.tmp", nullptr);
  PurgeAllDirectFaxTempFiles();
  EXPECT_FALSE(HasValue(kCurrentKey, u"DFaxInfo_1"));
}

TEST_F(FaxTempFilesTest, SheetFileRegisteredOnceForItsTopLevelWindow) {
  const HWND sheet = Window();
  const HWND page = Window(sheet);
  MakeFile(u"C:\\fax\\doc.tmp", 0);
  FinishDirectFaxSheet(page, u"C:\\fax\\doc.tmp");
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(SimRegistryReadValue(HKEY_CURRENT_USER, kCurrentKey, u"DFaxInfo_1", type, data));
  ASSERT_EQ(data.size(), sizeof(Record));
  Record r;
  std::memcpy(&r, data.data(), sizeof r);
  EXPECT_EQ(std::u16string(r.file), u"C:\\fax\\doc.tmp");
  EXPECT_EQ(FromAddr32(r.window), sheet);
  EXPECT_EQ(FromAddr32(r.instance), module_);
  // The same file in another case: nothing new; another file takes the next free number.
  FinishDirectFaxSheet(sheet, u"c:\\FAX\\DOC.TMP");
  EXPECT_FALSE(HasValue(kCurrentKey, u"DFaxInfo_2"));
  SimRegistrySeedString(HKEY_CURRENT_USER, kCurrentKey, u"DFaxInfo_2", u"taken");
  FinishDirectFaxSheet(sheet, u"C:\\fax\\next.tmp");
  EXPECT_TRUE(HasValue(kCurrentKey, u"DFaxInfo_3"));
}

TEST_F(FaxTempFilesTest, CurrentKeyFollowsTheModel) {
  OpenStore();
  SetDirectFaxTempKey(store_->main);
  WCHAR key[260];
  GetDirectFaxTempKey(key, 260);
  EXPECT_EQ(std::u16string(key), u"Software\\Qorvex\\QX-4500\\Users\\TempFile");
  const HWND sheet = Window();
  FinishDirectFaxSheet(sheet, u"C:\\fax\\doc.tmp");
  EXPECT_TRUE(HasValue(key, u"DFaxInfo_1"));
  SetDirectFaxTempKey(nullptr);
  GetDirectFaxTempKey(key, 260);
  EXPECT_EQ(std::u16string(key), u"Software\\Qorvex\\QX-4500\\Users\\TempFile");
}

}  // namespace
