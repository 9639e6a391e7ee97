// The graphics module's build of the document-monitor collection: it gathers the job's texts
// but announces nothing, even with a client installed, and leaves the id as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "core/descriptors/item_defaults.h"
#include "core/job/monitor_job.h"
#include "core/store/item_store.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry_sim.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {

class JobOwnerTest : public SpoolTest {};

TEST_F(JobOwnerTest, GraphicsModuleAnnouncesNothing) {
  BindDataAccess();
  CreateDirectoryW(u"C:\\Monitor", nullptr);
  CloseHandle(CreateFileW(u"C:\\Monitor\\client.cfg", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const WCHAR key[] = u"SOFTWARE\\Quelmar\\Hollowmere\\Client\\Pirvex";
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, key, nullptr, u"C:\\Monitor\\client.cfg");
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, key, u"QdmApi", u"qvqdm.dll");
  std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  ItemStore* store = OpenItemStoreAtPath(path.c_str());
  ASSERT_NE(store, nullptr);
  SettingsRecord settings{};
  PrinterConfiguration config{};
  ASSERT_TRUE(ApplyDataFileDefaults(store, &settings, &config, u"P1"));
  MonitorJobContext context{};
  context.printer = printer_;
  context.store = store;
  context.settings = &settings;
  context.config = &config;
  context.documentName = u"Report";
  char id[kPirvexIdBytes] = "unchanged";
  EXPECT_EQ(CollectJobOwnerData(&context, id), 0u);
  EXPECT_STREQ(id, "unchanged");
  EXPECT_EQ(GetModuleHandleA("qvqdm.dll"), nullptr) << "the client was never loaded";
  CloseItemStore(store);
}

}  // namespace
