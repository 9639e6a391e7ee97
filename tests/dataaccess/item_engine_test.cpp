// The item value engine linked in as the printer modules carry it.
#include <gtest/gtest.h>

#include "dataaccess/item_engine.h"
#include "engine_cases.h"

TEST(ItemEngine, CaseTableThroughLinkedEngine) {
  RunEngineCases({&itemengine::dma_GetValue, &itemengine::dma_SetValue});
}
