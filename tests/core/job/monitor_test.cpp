// The document monitor: the client found through its registration and bound by name (a
// standard user reaches it too; a missing client or entry makes it unavailable and holds
// nothing), the header and job record it receives through its newer entry or as the older
// block, ids and their limits, delays across midnight, and the texts a job is announced with.
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/job/fax_job_lines.h"
#include "core/job/monitor_job.h"
#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "outside/monitor/monitor_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/time.h"
#include "platform/registry/registry_sim.h"
#include "tests/support/printer_fixture.h"

namespace {

constexpr WCHAR kClientKey[] = u"SOFTWARE\\Quelmar\\Hollowmere\\Client\\Pirvex";

DWORD U32(const std::vector<BYTE>& data, size_t at) {
  DWORD v = 0;
  std::memcpy(&v, data.data() + at, 4);
  return v;
}
std::string Text(const std::vector<BYTE>& data, size_t at, size_t bytes) {
  const char* p = reinterpret_cast<const char*>(data.data() + at);
  return std::string(p, strnlen(p, bytes));
}

// The stand-in client held loaded so that its log and data can be read.
struct Client {
  HMODULE module = nullptr;
  template <typename Proc>
  Proc Get(const char* name) {
    return reinterpret_cast<Proc>(GetProcAddress(module, name));
  }
  void Load(LPCWSTR name) {
    module = LoadLibraryW(name);
    ASSERT_NE(module, nullptr);
    Get<SimQdmResetProc>("SimQdmReset")();
  }
  void Free() {
    if (module != nullptr) FreeLibrary(module);
    module = nullptr;
  }
  std::vector<DWORD> Entries() {
    std::vector<DWORD> entries;
    const DWORD n = Get<SimQdmCallCountProc>("SimQdmCallCount")();
    for (DWORD i = 0; i < n; ++i) {
      SimQdmCall call{};
      Get<SimQdmGetCallProc>("SimQdmGetCall")(i, &call);
      entries.push_back(call.entry);
    }
    return entries;
  }
  std::vector<BYTE> Data() {
    std::vector<BYTE> data(Get<SimQdmGetDataProc>("SimQdmGetData")(nullptr, 0));
    Get<SimQdmGetDataProc>("SimQdmGetData")(data.data(), DWORD(data.size()));
    return data;
  }
  LONG OpenHandles() { return Get<SimQdmOpenHandlesProc>("SimQdmOpenHandles")(); }
};

class MonitorTest : public printer_test::SampleSettingsTest {
 protected:
  void SetUp() override {
    SampleSettingsTest::SetUp();
    if (HasFatalFailure()) return;
    Install(u"qvqdm.dll");
  }
  void TearDown() override {
    client_.Free();
    SampleSettingsTest::TearDown();
  }
  // Registers a client library and loads it for inspection.
  void Install(LPCWSTR library) {
    client_.Free();
    CreateDirectoryW(u"C:\\Monitor", nullptr);
    HANDLE f = CreateFileW(u"C:\\Monitor\\client.cfg", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    SimRegistrySeedString(HKEY_LOCAL_MACHINE, kClientKey, nullptr, u"C:\\Monitor\\client.cfg");
    SimRegistrySeedString(HKEY_LOCAL_MACHINE, kClientKey, u"QdmApi", library);
    client_.Load(library);
  }
  int Fill(DWORD jobType, int mode = kPirvexModeOther, PirvexHandle* handle = nullptr) {
    PirvexHandle own = 0;
    const PirvexJobTexts texts{"LPT1:", "Report.txt", "Plain", "P1", "alice", "Branch", "0123"};
    id_[0] = 0;
    return FillPirvexRecords(handle != nullptr ? handle : &own, id_, mode, 77, jobType, &texts, 1, 0);
  }
  void SetClock(WORD hour, WORD minute) {
    SYSTEMTIME t{};
    t.wYear = 2024;
    t.wMonth = 1;
    t.wDay = 2;
    t.wHour = hour;
    t.wMinute = minute;
    SimSetClock(t);
  }

  Client client_;
  char id_[kPirvexIdBytes] = {};
};

TEST_F(MonitorTest, ClientReceivesHeaderAndJobRecord) {
  PirvexHandle handle = 0;
  ASSERT_EQ(Fill(kPirvexJobSecure, kPirvexModeOther, &handle), kPirvexDone);
  EXPECT_EQ(handle, kSimQdmHandle);
  EXPECT_STREQ(id_, "C01.J0001");
  const std::vector<BYTE> data = client_.Data();
  ASSERT_EQ(data.size(), kPirvexHeaderSize + kPirvexJobRecordSize);
  EXPECT_EQ(U32(data, 0), 600u);
  EXPECT_EQ(U32(data, 4), 1u);
  EXPECT_EQ(U32(data, 8), 3u);
  EXPECT_EQ(U32(data, 12), 11u);
  EXPECT_EQ(Text(data, 16, 260), "LPT1:");
  EXPECT_EQ(Text(data, 276, 256), "P1");
  EXPECT_EQ(Text(data, 532, 64), "alice");
  const size_t r = kPirvexHeaderSize;
  EXPECT_EQ(U32(data, r), 812u);
  EXPECT_EQ(U32(data, r + 4), kPirvexJobSecure);
  EXPECT_EQ(U32(data, r + 8), DWORD(_time64(nullptr)));
  EXPECT_EQ(Text(data, r + 12, 260), "LPT1:");
  EXPECT_EQ(Text(data, r + 272, 64), "J0001");
  EXPECT_EQ(Text(data, r + 336, 260), "Report.txt");
  EXPECT_EQ(Text(data, r + 596, 64), "");  // no fax texts
  EXPECT_EQ(U32(data, r + 660), 77u);
  EXPECT_EQ(U32(data, r + 664), 0u);
  EXPECT_EQ(Text(data, r + 732, 80), "Plain");
  EXPECT_EQ(client_.Entries(), (std::vector<DWORD>{kSimQdmInitialize, kSimQdmCreateClientId, kSimQdmCreateJobId,
                                                   kSimQdmSetQdmDataEx}));
  EXPECT_EQ(client_.OpenHandles(), 1);
  EXPECT_EQ(SubmitPirvexJob(handle), kPirvexDone);
  EXPECT_EQ(client_.Entries().back(), kSimQdmUnInitialize);
  EXPECT_EQ(client_.OpenHandles(), 0);

  // A fax record carries the destination's texts and no item 320.
  ASSERT_EQ(Fill(kPirvexJobFax, kPirvexModeFax, &handle), kPirvexDone);
  const std::vector<BYTE> fax = client_.Data();
  EXPECT_EQ(Text(fax, r + 596, 32), "Branch");
  EXPECT_EQ(Text(fax, r + 628, 32), "0123");
  EXPECT_EQ(U32(fax, r + 660), 0u);
  EXPECT_EQ(Text(fax, r + 732, 80), "");
  EXPECT_EQ(SubmitPirvexJob(handle), kPirvexDone);
}

TEST_F(MonitorTest, DelayedPrintAcrossMidnight) {
  struct Case {
    WORD hour, minute;
    DWORD delay;  // until 01:00
  };
  const Case cases[] = {{23, 0, 7200}, {1, 0, 86400}, {0, 30, 1800}, {1, 1, 86340}};
  for (const Case& c : cases) {
    SetClock(c.hour, c.minute);
    PirvexHandle handle = 0;
    ASSERT_EQ(Fill(kPirvexJobDelayed, kPirvexModeOther, &handle), kPirvexDone);
    EXPECT_EQ(U32(client_.Data(), kPirvexHeaderSize + 664), c.delay) << c.hour << ":" << c.minute;
    SubmitPirvexJob(handle);
  }
  EXPECT_EQ(ComputeDelaySeconds(0, 0, 0), 86400u);
  EXPECT_EQ(ComputeDelaySeconds(23, 59, 86399), 86341u);
}

TEST_F(MonitorTest, OlderClientReceivesTheOlderBlock) {
  Install(u"qvqdm_without_QdmSetQdmDataEx.dll");
  for (DWORD type : {kPirvexJobTimedFax, kPirvexJobFax}) {
    PirvexHandle handle = 0;
    ASSERT_EQ(Fill(type, kPirvexModeFax, &handle), kPirvexDone);
    const std::vector<BYTE> block = client_.Data();
    ASSERT_EQ(block.size(), 1192u);
    EXPECT_EQ(U32(block, 0), 1u);
    EXPECT_EQ(U32(block, 4), 2u);
    EXPECT_EQ(U32(block, 8), 11u);
    EXPECT_EQ(Text(block, 12, 260), "LPT1:");
    EXPECT_EQ(Text(block, 272, 256), "P1");
    EXPECT_EQ(U32(block, 532), 660u);
    EXPECT_EQ(U32(block, 536), type == kPirvexJobTimedFax ? 1u : 0u);
    EXPECT_EQ(Text(block, 532 + 272, 64), "J0001");
    EXPECT_EQ(Text(block, 532 + 336, 260), "Report.txt");
    EXPECT_EQ(Text(block, 532 + 596, 32), "Branch");
    EXPECT_EQ(Text(block, 532 + 628, 32), "0123");
    EXPECT_EQ(client_.Entries()[3], kSimQdmSetQdmData);
    EXPECT_EQ(SubmitPirvexJob(handle), kPirvexDone);
  }
}

TEST_F(MonitorTest, IdsAndArguments) {
  auto setIds = client_.Get<SimQdmSetIdsProc>("SimQdmSetIds");
  // 30 + 1 + 20 characters: too long for the job header; nothing announced, nothing held.
  setIds(std::string(30, 'c').c_str(), std::string(20, 'j').c_str());
  EXPECT_EQ(Fill(kPirvexJobPrint), kPirvexTextTooLong);
  EXPECT_EQ(client_.Entries().size(), 4u);  // initialise, two ids, close
  EXPECT_EQ(client_.Entries().back(), kSimQdmUnInitialize);
  EXPECT_EQ(client_.OpenHandles(), 0);
  EXPECT_STREQ(id_, "");
  // An id of 64 characters or more is a client failure.
  setIds("C", std::string(100, 'j').c_str());
  EXPECT_EQ(Fill(kPirvexJobPrint), kPirvexClientFailed);
  EXPECT_EQ(client_.OpenHandles(), 0);
  setIds(std::string(23, 'c').c_str(), std::string(23, 'j').c_str());  // 47 characters
  PirvexHandle handle = 0;
  EXPECT_EQ(Fill(kPirvexJobPrint, kPirvexModeOther, &handle), kPirvexDone);
  EXPECT_EQ(std::strlen(id_), 47u);
  SubmitPirvexJob(handle);

  PirvexHandle h = 0;
  char id[kPirvexIdBytes];
  const std::string user64(64, 'u'), name32(32, 'n');
  const PirvexJobTexts longUser{"LPT1:", "d", "o", "P1", user64.c_str(), "n", "f"};
  EXPECT_EQ(FillPirvexRecords(&h, id, kPirvexModeOther, 0, 0, &longUser, 0, 0), kPirvexTextTooLong);
  const PirvexJobTexts longFax{"LPT1:", "d", "o", "P1", "u", name32.c_str(), "f"};
  EXPECT_EQ(FillPirvexRecords(&h, id, kPirvexModeFax, 0, 0, &longFax, 0, 0), kPirvexTextTooLong);
  EXPECT_EQ(FillPirvexRecords(&h, id, 2, 0, 0, &longFax, 0, 0), kPirvexBadMode);
  EXPECT_EQ(FillPirvexRecords(&h, nullptr, 0, 0, 0, &longFax, 0, 0), kPirvexMissingArgument);
  const size_t before = client_.Entries().size();
  EXPECT_EQ(SubmitPirvexJob(0), kPirvexMissingArgument);
  EXPECT_EQ(client_.Entries().size(), before);
  // A failing submission still closes the handle.
  ASSERT_EQ(Fill(kPirvexJobPrint, kPirvexModeOther, &handle), kPirvexDone);
  client_.Get<SimQdmSetResultProc>("SimQdmSetResult")(kSimQdmExec, FALSE);
  EXPECT_EQ(SubmitPirvexJob(handle), kPirvexClientFailed);
  EXPECT_EQ(client_.OpenHandles(), 0);
}

TEST_F(MonitorTest, AvailabilityAndAStandardUser) {
  SimRegistrySetAdministrator(FALSE);
  EXPECT_TRUE(IsPirvexAvailable());
  EXPECT_EQ(client_.OpenHandles(), 0);
  // The client switched off: unavailable, and nothing stays held.
  client_.Get<SimQdmSetAvailableProc>("SimQdmSetAvailable")(FALSE);
  EXPECT_FALSE(IsPirvexAvailable());
  EXPECT_EQ(Fill(kPirvexJobPrint), kPirvexClientFailed);
  client_.Get<SimQdmSetAvailableProc>("SimQdmSetAvailable")(TRUE);
  EXPECT_TRUE(IsPirvexAvailable());
  // A closing that fails answers so.
  client_.Get<SimQdmSetResultProc>("SimQdmSetResult")(kSimQdmUnInitialize, FALSE);
  EXPECT_FALSE(IsPirvexAvailable());
  // A client without a required entry, a missing file or no registration: unavailable.
  Install(u"qvqdm_without_QdmSetJobId.dll");
  EXPECT_FALSE(IsPirvexAvailable());
  EXPECT_TRUE(client_.Entries().empty());
  Install(u"qvqdm.dll");
  DeleteFileW(u"C:\\Monitor\\client.cfg");
  EXPECT_FALSE(IsPirvexAvailable());
  EXPECT_TRUE(client_.Entries().empty());
  SimRegistryReset();
  EXPECT_FALSE(IsPirvexAvailable());
}

// ---- The texts a job is announced with -----------------------------------------------------

class MonitorJobTest : public MonitorTest {
 protected:
  MonitorJobContext Context() {
    MonitorJobContext c{};
    c.resourceModule = GetResourceModule();
    c.printer = printer_;
    c.store = store_;
    c.settings = &settings_;
    c.config = &config_;
    c.documentName = u"Minutes";
    return c;
  }
  void PutText(SettingItemId id, const std::u16string& text) {
    BYTE padded[600] = {};
    std::memcpy(padded, text.c_str(), 2 * text.size());
    const BYTE* p = padded;
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, kTypeString, DWORD(2 * text.size() + 2), &p), kItemDone);
  }
};

TEST_F(MonitorJobTest, OrdinaryJobTakesTheSpoolerNamesAndSettings) {
  Put(kItemJobType, 4);  // delayed print
  Put(kItemDelayHour, 5);
  Put(kItemDelayMinute, 30);
  PutText(kItemOwnerName, u"Owner A");
  Put(kItemOwnerMode, 1);
  MonitorJobContext c = Context();
  char id[kPirvexIdBytes] = "unchanged";
  const PirvexHandle handle = CollectJobOwnerData(&c, id);
  ASSERT_EQ(handle, kSimQdmHandle);
  EXPECT_STREQ(id, "C01.J0001");
  const std::vector<BYTE> data = client_.Data();
  PRINTER_INFO_2W* info = nullptr;
  DWORD needed = 0;
  GetPrinterW(printer_, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(printer_, 2, buffer.data(), needed, &needed));
  info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  std::string port;
  for (LPCWSTR p = info->pPortName; *p; ++p) port += char(*p);
  EXPECT_EQ(Text(data, 16, 260), port);
  EXPECT_EQ(Text(data, 276, 256), "P1");
  EXPECT_EQ(Text(data, 532, 64), "Owner A");
  EXPECT_EQ(U32(data, 600 + 4), kPirvexJobDelayed);
  EXPECT_EQ(Text(data, 600 + 336, 260), "Minutes");
  struct tm now = {};
  const LONGLONG seconds = _time64(nullptr);
  ASSERT_EQ(_localtime64_s(&now, &seconds), 0);
  EXPECT_EQ(U32(data, 600 + 664), ComputeDelaySeconds(5, 30, now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec));
  EXPECT_EQ(SubmitPirvexJob(handle), kPirvexDone);

  // Marked jobs carry item 338 as owner; no client leaves the id as it was.
  Put(kItemSaveToFile, 1);
  PutText(kItemSaveFileName, u"Marked");
  ASSERT_EQ(SubmitPirvexJob(CollectJobOwnerData(&c, id)), kPirvexDone);
  EXPECT_EQ(U32(client_.Data(), 600 + 4), kPirvexJobMarked);
  EXPECT_EQ(Text(client_.Data(), 600 + 732, 80), "Marked");
  client_.Get<SimQdmSetAvailableProc>("SimQdmSetAvailable")(FALSE);
  std::strcpy(id, "unchanged");
  EXPECT_EQ(CollectJobOwnerData(&c, id), 0u);
  EXPECT_STREQ(id, "unchanged");
}

TEST_F(MonitorJobTest, UserNameRetriedWhileTheServiceAnswers) {
  MonitorJobContext c = Context();
  char name[kPirvexIdBytes];
  SimSetUserName(u"bob");
  SimQueueUserName(u"SYSTEM");
  SimQueueUserName(u"SYSTEM");
  const ULONGLONG slept = SimSleptMilliseconds();
  GetMonitorUserName(&c, name, sizeof name);
  EXPECT_STREQ(name, "bob");
  EXPECT_EQ(SimSleptMilliseconds() - slept, 2u);
  SimSetUserName(u"SYSTEM");
  GetMonitorUserName(&c, name, sizeof name);
  EXPECT_STREQ(name, "UnknownUser");
  // The context's name, then the owner items as item 5127 selects them.
  c.userName = u"carol";
  GetMonitorUserName(&c, name, sizeof name);
  EXPECT_STREQ(name, "carol");
  PutText(kItemOtherOwnerName, u"Other owner");
  Put(kItemOwnerMode, 6);
  GetMonitorUserName(&c, name, sizeof name);
  EXPECT_STREQ(name, "Other owner");
}

TEST_F(MonitorJobTest, FaxTextsWithOtherDestinations) {
  struct Case {
    std::u16string name, number;
    WORD kind;
    DWORD count;
    std::string shownName, shownNumber;
  };
  const Case cases[] = {
      {u"Branch", u"0123", 0, 1, "Branch", "0123"},
      {u"Branch", u"0123", 0, 3, "Branch +2 more", "0123 +more"},
      {u"Headquarters", u"0123", 1, 2, "Headquarters +1 more", "N:0123 +more"},
      // A name of 25 bytes or more: the long pattern from byte 20.
      {u"Regional Distribution Ctr", u"01234567890123456789012345678", 0, 4, "Regional Distributio+3",
       "0123456789012345678901234..+"},
      {std::u16string(40, u'x'), std::u16string(40, u'5'), 0, 1, std::string(31, 'x'), std::string(31, '5')},
  };
  for (const Case& c : cases) {
    FaxDestination d{};
    std::memcpy(d.name, c.name.data(), 2 * c.name.size());
    std::memcpy(d.number, c.number.data(), 2 * c.number.size());
    d.kind = c.kind;
    char name[kMonitorTextBytes], number[kMonitorTextBytes];
    BuildFaxMonitorTexts(GetResourceModule(), &d, c.count, name, number);
    EXPECT_EQ(std::string(name), c.shownName);
    EXPECT_EQ(std::string(number), c.shownNumber);
  }
}

}  // namespace
