// Without the application object the dialogs fail like cancelled ones, and a
// yes-no box that cannot be shown answers -1, instead of aborting the process (this program makes no QApplication).
#include "ostrel/sysutil.h"

#include <gtest/gtest.h>

namespace {

TEST(NoApplication, DialogsReturnZero)
{
    char buffer[SYSUTIL_OPEN_FILES_BUFFER] = "stale";
    EXPECT_EQ(open_files_dialog(buffer, "", "All|*|", "Pick", "", nullptr), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(next_selected_file(), nullptr);
    char path[SYSUTIL_MAX_PATH] = "keep";
    EXPECT_EQ(save_file_dialog(path, "", "", "Save", "", nullptr), 0);
    EXPECT_EQ(browse_folder("Folder", path, nullptr), 0);
    EXPECT_STREQ(path, "keep");
    PrintDlgRecord pd;
    EXPECT_EQ(print_begin(&pd, "doc"), 0);
    EXPECT_EQ(pd.hDC, nullptr);
}

TEST(NoApplication, YesNoBoxAnswersMinusOne)
{
    EXPECT_EQ(msgbox_yesno("Question", "overwrite %s?", "x.dat"), -1);
    EXPECT_EQ(msgbox_info("Error", "x"), 0);
}

} // namespace
