// Fixture of the graphics module as the engine drives it: the sample model's printer "P1" in
// the spooler, its default settings as the device mode an application hands to CreateDC, and
// qorvexgr.dll loaded and enabled by the engine host (unloaded again at the end, so the
// sandbox's leak check covers every device the test made).
#pragma once

#include <cstring>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/engine_sim.h"
#include "platform/platform.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/sample_fixture.h"

class EngineModuleTest : public SampleStoreTest {
 protected:
  static constexpr const WCHAR* kPrinter = u"P1";

  void SetUp() override {
    SampleStoreTest::SetUp();
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, kPrinter));
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    driver_ = EngineLoadDriver(u"qorvexgr.dll");
    ASSERT_NE(driver_, nullptr);
  }

  void TearDown() override {
    for (EngineDc* dc : dcs_) EngineDeleteDC(dc);
    if (driver_ != nullptr) {
      EXPECT_TRUE(EngineUnloadDriver(driver_));
    }
    SampleStoreTest::TearDown();
  }

  // The device mode of the current settings: the settings record's first 1548 bytes, and an
  // optional margin block behind them (dmDriverExtra then counts it).
  std::vector<BYTE> DevMode(const std::vector<BYTE>& marginBlock = {}) const {
    std::vector<BYTE> bytes(settings_->bytes, settings_->bytes + kSettingsRecordShortSize);
    bytes.insert(bytes.end(), marginBlock.begin(), marginBlock.end());
    auto* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
    dm->dmDriverExtra = static_cast<WORD>(dm->dmDriverExtra + marginBlock.size());
    return bytes;
  }

  // A printer DC on "P1" with the device mode; deleted at the end of the test.
  EngineDc* CreateDc(std::vector<BYTE> devMode) {
    devMode_ = std::move(devMode);
    EngineDc* dc = EngineCreateDC(driver_, kPrinter, reinterpret_cast<DEVMODEW*>(devMode_.data()));
    if (dc != nullptr) dcs_.push_back(dc);
    return dc;
  }
  EngineDc* CreateDc() { return CreateDc(DevMode()); }

  void DeleteDc(EngineDc* dc) {
    std::erase(dcs_, dc);
    EXPECT_TRUE(EngineDeleteDC(dc));
  }

  EngineDriver* driver_ = nullptr;
  std::vector<EngineDc*> dcs_;
  std::vector<BYTE> devMode_;
};
