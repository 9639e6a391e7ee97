// The item value engine linked in as the printer modules carry it.
#include <gtest/gtest.h>

#include "items/item_engine.h"
#include "engine_cases.h"
#include "qorvexdata_module.h"
#include "tests/support/sandbox_test.h"

TEST(ItemEngine, CaseTableThroughLinkedEngine) {
  RunEngineCases({&itemengine::dma_GetValue, &itemengine::dma_SetValue});
}

// The same cases through the exports of qorvexdata.dll, loaded by name as the graphics module
// binds them.
class ItemEngineModule : public SandboxTest {};

TEST_F(ItemEngineModule, CaseTableThroughExports) {
  QorvexDataExports dll;
  ASSERT_TRUE(LoadQorvexData(&dll));
  RunEngineCases(dll.engine);
  UnloadQorvexData(&dll);
}
