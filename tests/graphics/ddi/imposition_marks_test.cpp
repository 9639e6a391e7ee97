// N-up borders printed through the engine host: four solid lines around every cell placed on a
// side, drawn after the side's pages with the axis set back to the identity.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "items/item_ids.h"
#include "tests/graphics/ddi/document_fixture.h"

namespace {

TEST_F(DocumentTest, NupBordersFrameEveryPlacedCell) {
  struct Case {
    WORD nUp;
    int pages;
    size_t sides;
  };
  const Case cases[] = {{1, 2, 2}, {2, 3, 2}, {4, 4, 1}, {4, 6, 2}, {16, 5, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nUp);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, kPrinter));
    Set(kItemColorMode, kTypeUInt8, 2);
    Set(kItemPagesPerSheet, kTypeUInt16, c.nUp);
    Set(kItemNupBorders, kTypeFlag, 1);
    reset_();
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(PrintBlankDocument(dc, c.pages).ended);
    const std::vector<std::string> calls = Calls();
    EXPECT_EQ(static_cast<size_t>(std::count(calls.begin(), calls.end(), "VR_ShowPage")), c.sides) << Trace();
    // One path per border line: four for every page placed.
    EXPECT_EQ(static_cast<size_t>(std::count(calls.begin(), calls.end(), "VR_DrawPath")),
              4u * static_cast<size_t>(c.pages))
        << Trace();
    // Every side's border comes before its end.
    const auto lastPath = std::find(calls.rbegin(), calls.rend(), "VR_DrawPath");
    const auto lastEnd = std::find(calls.rbegin(), calls.rend(), "VR_EndPage");
    EXPECT_LT(lastEnd - calls.rbegin(), lastPath - calls.rbegin());
    EXPECT_EQ(breaches_(), 0u) << Trace();
    DeleteDc(dc);
  }
}

}  // namespace
