// Start-up of the user-interface module: lock slots, instance, and the trace lines.
#include "core/runtime/module_startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "platform/platform.h"
#include "tests/support/fresh_process.h"
#include "tests/support/sandbox_test.h"

namespace {

class ModuleStartup : public SandboxTest {};

TEST_F(ModuleStartup, AttachAndDetachWriteTheirTraceLines) {
  std::ofstream(std::filesystem::path(Host(SimDriverDirectory())) / "qorvex.cfg") << "[DEFAULT]\nLog=0x3\n";
  QV_IN_FRESH_PROCESS({
    HMODULE own = LoadLibraryW(u"printer_test_module.qrs");
    const int sections = SimLiveCriticalSections();
    EXPECT_EQ(DllInitialize(own, kDllProcessAttach, nullptr), TRUE);
    EXPECT_EQ(SimLiveCriticalSections(), sections + kLockSlotCount);
    EXPECT_EQ(GetModuleInstance(), own);
    EXPECT_EQ(DllInitialize(own, 2, nullptr), TRUE);  // other reasons do nothing
    EXPECT_EQ(DllInitialize(own, kDllProcessDetach, nullptr), TRUE);
    EXPECT_EQ(SimLiveCriticalSections(), sections);
  });
  std::ifstream in(Host(u"c:\\DEBUG_LOG\\WIN2000\\DDI_PRNUI_TRACE_LOG.txt"), std::ios::binary);
  std::ostringstream log;
  log << in.rdbuf();
  EXPECT_EQ(log.str(),
            "IN <<DllInitialize_ATTACH\nOUT>>DllInitialize_ATTACH\n\n"
            "IN <<DllInitialize_DETACH\nOUT>>DllInitialize_DETACH\n\n");
}

}  // namespace
