// The reference renderer's page against its kept picture. To rewrite the picture after an
// intended change:
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_platform_engine --gtest_filter='ReferenceRenderer.*'
#include <cstdlib>
#include <filesystem>

#include "tests/platform/engine/sample_page.h"
#include "tests/support/sandbox_test.h"

namespace {

// A4 at 100 dots per inch, the test driver's page.
constexpr SIZEL kPage{826, 1169};
// Pixels may differ by this much in a channel (antialiasing, font rasteriser versions) and this
// share of the page may differ by more.
constexpr int kChannelTolerance = 64;
constexpr double kDifferingShare = 0.005;

std::filesystem::path Fixture() { return std::filesystem::path(QV_SOURCE_DIR) / "tests/platform/engine/data/reference_page.png"; }

TEST(ReferenceRenderer, DrawsTheSamplePageAsItsKeptPicture) {
  const std::vector<DrawCall> calls = SamplePage();
  ReferenceImage page = RenderReferencePage(calls, kPage, 1.0);
  ASSERT_EQ(page.width, kPage.cx);
  const char* update = std::getenv("QV_UPDATE_FIXTURES");
  if (update != nullptr && *update == '1') {
    ASSERT_TRUE(SaveReferencePng(page, Fixture().string()));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(Fixture().string(), kept)) << Fixture();
  EXPECT_LE(CompareReferenceImages(page, kept, kChannelTolerance), kDifferingShare);
}

TEST(ReferenceRenderer, SeesADifferentPageAsDifferent) {
  std::vector<DrawCall> calls = SamplePage();
  ReferenceImage page = RenderReferencePage(calls, kPage, 1.0);
  calls.erase(calls.begin() + 10);  // the stretched gradient
  ReferenceImage without = RenderReferencePage(calls, kPage, 1.0);
  EXPECT_GT(CompareReferenceImages(page, without, kChannelTolerance), kDifferingShare);
  ReferenceImage half = RenderReferencePage(SamplePage(), kPage, 0.5);
  EXPECT_EQ(half.width, 413);
  EXPECT_EQ(CompareReferenceImages(page, half, kChannelTolerance), 1.0);
}

}  // namespace
