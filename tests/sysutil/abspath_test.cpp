// _abspath against the current and a base directory (with the box for a base
// that does not exist) and CurrentDirKeeper.
#include "ostrel/sysutil.h"
#include "modal_answer.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

std::string cwd()
{
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : "";
}

class AbsPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath().toStdString();
        ASSERT_TRUE(QDir(QString::fromStdString(root_)).mkpath("work/sub"));
        start_ = cwd();
        ASSERT_EQ(chdir(root_.c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(start_.c_str()), 0); }

    QTemporaryDir tmp_;
    std::string root_, start_;
    char out_[SYSUTIL_MAX_PATH] = {};
};

TEST_F(AbsPath, QuotedRelativeNameAgainstABaseDirectory)
{
    std::string base = root_ + "/work";
    ASSERT_EQ(_abspath("\"x.txt\"", out_, base.c_str()), out_);
    EXPECT_EQ(std::string(out_), root_ + "/work/x.txt");
    EXPECT_EQ(cwd(), root_);   // the current directory comes back
}

TEST_F(AbsPath, BaseDirectoryThatDoesNotExistShowsTheBox)
{
    QString title, text;
    answer_next_modal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    std::string base = root_ + "/missing";
    EXPECT_EQ(_abspath("x.txt", out_, base.c_str()), nullptr);
    EXPECT_TRUE(modal_seen());
    EXPECT_EQ(title, QStringLiteral("_abspath"));
    EXPECT_EQ(text, QString::fromStdString("ref=" + base + "が不正です"));
    EXPECT_EQ(cwd(), root_);
}

TEST_F(AbsPath, RelativePartsAreResolvedAgainstTheCurrentDirectory)
{
    ASSERT_NE(_abspath("work/sub/../x/./y.txt", out_), nullptr);
    EXPECT_EQ(std::string(out_), root_ + "/work/x/y.txt");
    ASSERT_NE(_abspath("..", out_), nullptr);
    EXPECT_EQ(std::string(out_), QDir(QString::fromStdString(root_ + "/..")).absolutePath().toStdString());
}

TEST_F(AbsPath, OneTrailingSeparatorIsRemoved)
{
    ASSERT_NE(_abspath("work/", out_), nullptr);
    EXPECT_EQ(std::string(out_), root_ + "/work");
}

TEST_F(AbsPath, RootStaysRoot)
{
    ASSERT_NE(_abspath("/", out_), nullptr);
    EXPECT_STREQ(out_, "/");
    ASSERT_NE(_abspath("/../..", out_), nullptr);
    EXPECT_STREQ(out_, "/");
}

TEST_F(AbsPath, AbsolutePathStays)
{
    ASSERT_NE(_abspath("/usr//lib/", out_, (root_ + "/work").c_str()), nullptr);
    EXPECT_STREQ(out_, "/usr/lib");
}

TEST_F(AbsPath, NoPathGivesTheRecordedDirectory)
{
    ASSERT_NE(_abspath(nullptr, out_, (root_ + "/work").c_str()), nullptr);
    EXPECT_EQ(std::string(out_), root_);
}

TEST_F(AbsPath, BlankPathGivesTheCurrentDirectory)
{
    ASSERT_NE(_abspath("   ", out_, (root_ + "/work").c_str()), nullptr);
    EXPECT_EQ(std::string(out_), root_ + "/work");
    ASSERT_NE(_abspath("   ", out_), nullptr);
    EXPECT_EQ(std::string(out_), root_);
}

TEST_F(AbsPath, ResultBeyondThePathBufferIsRefused)
{
    std::string name(300, 'n');
    std::memset(out_, '#', sizeof out_);
    EXPECT_EQ(_abspath(name.c_str(), out_), nullptr);
    EXPECT_EQ(out_[0], '#');
}

TEST_F(AbsPath, EmptyQuotesAreNoPath)
{
    EXPECT_EQ(_abspath("\"\"", out_), nullptr);
}

TEST_F(AbsPath, KeeperRestoresTheDirectory)
{
    {
        CurrentDirKeeper keep;
        EXPECT_EQ(std::string(keep.saved()), root_);
        ASSERT_EQ(chdir("/"), 0);
        EXPECT_EQ(cwd(), "/");
    }
    EXPECT_EQ(cwd(), root_);
}

TEST_F(AbsPath, KeeperWithAPathChangesThereAndBack)
{
    {
        CurrentDirKeeper keep("\"work/sub\"");
        EXPECT_EQ(cwd(), root_ + "/work/sub");
    }
    EXPECT_EQ(cwd(), root_);
}

TEST_F(AbsPath, KeeperRestoresWhenAnExceptionPasses)
{
    try {
        CurrentDirKeeper keep("work");
        EXPECT_EQ(cwd(), root_ + "/work");
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(cwd(), root_);
}

} // namespace
