// The model class the pages choose layouts by, on printer "P1" of the sample (a colour
// printer), and the folders a user names: made level by level and looked up by attributes.
#include <gtest/gtest.h>

#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/framework/text/directory_paths.h"
#include "ui/framework/sheet/model_class.h"

namespace {

class ModelAndFoldersTest : public printer_test::SampleSettingsTest {};

TEST_F(ModelAndFoldersTest, ClassesOfTheSampleModel) {
  EXPECT_EQ(GetModelClass(store_), 1);  // colour
  EXPECT_EQ(GetModelClass(nullptr), -1);
  Put(kItemColorMode, 1);
  EXPECT_EQ(GetItem270Class(&settings_, store_), 1);
  Put(kItemColorMode, 0);
  EXPECT_EQ(GetItem270Class(&settings_, store_), 2);
  EXPECT_EQ(GetItem270Class(&settings_, nullptr), -1);
  EXPECT_EQ(IsModelKind2(store_), 0);  // a printer
}

TEST_F(ModelAndFoldersTest, FoldersMadeLevelByLevel) {
  WCHAR current[MAX_PATH] = {};
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  EXPECT_EQ(IsDirectoryPresent(u"C:\\Out\\Jobs\\2024"), 0);
  CreateDirectoryPath(u"C:\\Out\\Jobs\\2024");
  EXPECT_EQ(IsDirectoryPresent(u"C:\\Out"), 1);
  EXPECT_EQ(IsDirectoryPresent(u"C:\\Out\\Jobs\\2024"), 1);
  CreateDirectoryPath(u"C:\\Out\\Jobs\\2024");  // again: nothing fails
  EXPECT_EQ(IsDirectoryPresent(u"C:\\Out\\Jobs\\2024"), 1);
  // The look-up leaves the current directory alone.
  WCHAR after[MAX_PATH] = {};
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, after), 0u);
  EXPECT_EQ(std::u16string(after), std::u16string(current));
  // A file is no folder; a path beyond 260 characters is not made.
  HANDLE file = CreateFileW(u"C:\\Out\\note.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(IsDirectoryPresent(u"C:\\Out\\note.txt"), 0);
  const std::u16string tooLong = u"C:\\Out\\" + std::u16string(260, u'x');
  CreateDirectoryPath(tooLong.c_str());
  EXPECT_EQ(IsDirectoryPresent(tooLong.c_str()), 0);
  EXPECT_EQ(IsDirectoryPresent(nullptr), 0);
}

}  // namespace
