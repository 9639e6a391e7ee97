#include "layer_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// A checkout of its own in a fresh temporary folder: core/ in two layers, platform/ in two
// layers with test-control headers, ui/ in three.
class LayerCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "layercheck-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    Write("core/README.md", "# core\n\n## Layers\n\n- `core/low/`: below\n- `core/high/`: above\n\n## Other\n\n- `core/none/`\n");
    Write("platform/README.md", "## Layers\n\n1. `platform/kernel/`\n2. `platform/user/`\n3. `platform/`: umbrella\n");
    Write("ui/README.md", "## Layers\n- `ui/framework/`\n- `ui/pages/`\n- `ui/module/`\n");
    Write("core/low/low.h", "#pragma once\n");
    Write("core/high/high.cpp", "#include \"core/low/low.h\"\n#include \"platform/kernel/kernel.h\"\n");
    Write("platform/kernel/kernel.h", "#pragma once\n");
    Write("platform/kernel/kernel_sim.h", "#include \"platform/kernel/kernel.h\"\n");
    Write("platform/user/user_sim.h", "#include \"platform/kernel/kernel.h\"\n");
    Write("platform/platform.h", "#include \"platform/kernel/kernel_sim.h\"\n#include \"platform/user/user_sim.h\"\n");
    Write("ui/framework/dialog/rows.cpp", "#include \"core/high/high.h\"\n#include \"ui/framework/sheet/state.h\"\n");
    Write("ui/framework/sheet/state.h", "#pragma once\n");
    Write("ui/pages/page.cpp", "#include \"ui/framework/dialog/rows.h\"\n");
    Write("ui/module/exports.cpp", "#include \"ui/pages/page.h\"\n");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& path, const std::string& text) {
    fs::create_directories((root_ / path).parent_path());
    std::ofstream(root_ / path) << text;
  }

  fs::path root_;
};

TEST_F(LayerCheckTest, ATreeThatHoldsItsLayersHasNoFault) { EXPECT_THAT(CheckLayers(root_), IsEmpty()); }

// Each case adds one file to the clean tree and names a fault it must bring (an include against
// the order can close a circle of folders too).
struct FaultCase {
  const char* path;
  const char* text;
  const char* fault;
};

TEST_F(LayerCheckTest, EachBreachIsReportedWithTheIncludeThatMakesIt) {
  const FaultCase cases[] = {
      {"core/low/up.cpp", "#include \"core/high/high.h\"\n",
       "core/low/up.cpp includes core/high/high.h: layer core/low/ lies below core/high/ (core/README.md)"},
      {"ui/framework/text/up.cpp", "#include \"ui/module/exports.h\"\n",
       "ui/framework/text/up.cpp includes ui/module/exports.h: layer ui/framework/ lies below ui/module/"},
      {"core/low/module.cpp", "#include \"ui/module/exports.h\"\n",
       "core/low/module.cpp includes ui/module/exports.h: core/ does not build on ui/"},
      {"platform/kernel/core_use.cpp", "#include \"core/low/low.h\"\n",
       "platform/kernel/core_use.cpp includes core/low/low.h: platform/ does not build on core/"},
      {"core/none/lost.h", "#pragma once\n", "core/none/ is in no layer of core/README.md"},
      {"platform/user/more_sim.h", "#include \"platform/kernel/kernel_sim.h\"\n",
       "platform/user/more_sim.h includes platform/kernel/kernel_sim.h: a test-control header includes another service's"},
      {"ui/pages/umbrella.cpp", "#include \"platform/platform.h\"\n",
       "ui/pages/umbrella.cpp includes platform/platform.h: product code includes the service headers it uses"},
      {"core/high/sim_use.cpp", "#include \"platform/user/user_sim.h\"\n",
       "core/high/sim_use.cpp includes platform/user/user_sim.h: product code includes the service headers it uses"},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.path);
    Write(c.path, c.text);
    EXPECT_THAT(CheckLayers(root_), Contains(HasSubstr(c.fault)));
    fs::remove(root_ / c.path);
    EXPECT_THAT(CheckLayers(root_), IsEmpty());
  }
}

// An include marked as a known exception to the order is neither a breach nor part of a circle;
// the same include unmarked is both.
TEST_F(LayerCheckTest, AnIncludeMarkedUpIsAKnownException) {
  Write("core/low/back.cpp", "#include \"core/high/high.h\"  // up: the low part calls back\n");
  EXPECT_THAT(CheckLayers(root_), IsEmpty());
  Write("core/low/back.cpp", "#include \"core/high/high.h\"  // calls back\n");
  const std::vector<std::string> faults = CheckLayers(root_);
  EXPECT_THAT(faults, Contains(HasSubstr("core/low/back.cpp includes core/high/high.h: layer core/low/ lies below")));
  EXPECT_THAT(faults, Contains(HasSubstr("folders include each other")));
}

TEST_F(LayerCheckTest, FoldersOfOneLayerThatIncludeEachOtherAreACircle) {
  Write("ui/framework/sheet/back.cpp", "#include \"ui/framework/dialog/rows.h\"\n");
  EXPECT_THAT(CheckLayers(root_),
              ElementsAre("folders include each other: ui/framework/dialog/ -> ui/framework/sheet/ (ui/framework/dialog/"
                          "rows.cpp includes ui/framework/sheet/state.h); ui/framework/sheet/ -> ui/framework/dialog/ "
                          "(ui/framework/sheet/back.cpp includes ui/framework/dialog/rows.h)"));
}

TEST_F(LayerCheckTest, ACircleThroughAThirdFolderIsFound) {
  Write("platform/kernel/a/a.cpp", "#include \"platform/kernel/b/b.h\"\n");
  Write("platform/kernel/b/b.cpp", "#include \"platform/kernel/c/c.h\"\n");
  Write("platform/kernel/c/c.cpp", "#include \"platform/kernel/a/a.h\"\n");
  const auto faults = CheckLayers(root_);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_THAT(faults[0], HasSubstr("platform/kernel/a/ -> platform/kernel/b/"));
  EXPECT_THAT(faults[0], HasSubstr("platform/kernel/c/ -> platform/kernel/a/"));
}

TEST_F(LayerCheckTest, ACoreFolderOfMoreThanFortyFilesIsTooLarge) {
  for (int i = 1; i < kCoreFolderFileLimit; ++i) Write("core/low/part" + std::to_string(i) + ".h", "#pragma once\n");
  EXPECT_THAT(CheckLayers(root_), IsEmpty());  // 40 files with low.h
  Write("core/low/one_more.h", "#pragma once\n");
  EXPECT_THAT(CheckLayers(root_), ElementsAre("core/low/ holds 41 files, more than 40"));
}

TEST_F(LayerCheckTest, ATreeWithoutLayersInItsReadmeIsReported) {
  fs::remove(root_ / "ui/README.md");
  EXPECT_THAT(CheckLayers(root_), ElementsAre("ui/README.md names no layers (a \"## Layers\" list)"));
}

TEST_F(LayerCheckTest, AnIncludeBesideTheFileBelongsToItsFolder) {
  Write("core/low/near.cpp", "#include \"near.h\"\n#include \"../high/high.h\"\n");
  Write("core/low/near.h", "#pragma once\n");
  Write("core/high/high.h", "#pragma once\n");
  EXPECT_THAT(CheckLayers(root_), Contains("core/low/near.cpp includes core/high/high.h: layer core/low/ lies below "
                                           "core/high/ (core/README.md)"));
}

}  // namespace
