// Test fixture of the graphics module's parts: a sandbox with the driver files, the test
// string table standing for the module's own (its data-access module is qorvexdata), the
// module's lock slots, and the binding of qorvexdata on request. Everything is undone at the
// end of the test, so the sandbox's leak check covers it.
#pragma once

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "graphics/ddi/data_access.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

class GraphicsModuleTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    for (int slot = 0; slot < kLockSlotCount; ++slot) ASSERT_EQ(InitLock(slot), 1);
    own_ = LoadLibraryW(u"graphics_test_module.qrs");
    ASSERT_NE(own_, nullptr);
    SetModuleInstance(own_);
  }

  void TearDown() override {
    while (bound_ > 0) {
      UnloadDataAccessModule();
      --bound_;
    }
    FreeResourceModule();
    SetModuleInstance(nullptr);
    FreeLibrary(own_);
    for (int slot = 0; slot < kLockSlotCount; ++slot) DeleteLock(slot);
    SandboxTest::TearDown();
  }

  // Binds qorvexdata for the test; unbound again at its end.
  void BindDataAccess() {
    ++bound_;
    ASSERT_EQ(LoadDataAccessModule(own_), 1);
  }

  HMODULE own_ = nullptr;
  int bound_ = 0;
};
