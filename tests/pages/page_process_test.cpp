// Whole-process behaviour of pages, seen from outside through a child program:
// the fatal report for page 0 and its exit status, and the end of the program
// when a page is closed or its Exit is chosen.
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct ChildRun {
    bool finished;
    int code;
    QProcess::ExitStatus status;
    std::string out;
};

ChildRun run_child(const char* mode)
{
    QProcess p;
    // The child program is built beside the test program.
    QString exe = QCoreApplication::applicationDirPath() + "/pages_child";
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(exe, {QString::fromUtf8(mode)});
    ChildRun r{};
    if (!p.waitForStarted(10000)) {
        r.out = "could not start " + exe.toStdString();
        return r;
    }
    r.finished = p.waitForFinished(20000);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(2000);
    }
    r.code = p.exitCode();
    r.status = p.exitStatus();
    r.out = p.readAllStandardOutput().toStdString();
    return r;
}

} // namespace

TEST(PageProcess, PageZeroIsFatal)
{
    ChildRun r = run_child("fatal");
    ASSERT_TRUE(r.finished) << r.out;
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("caption: OSTREL ERROR"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("in _newpage\n    page=0. 0 means console.\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("after"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ended"), std::string::npos) << r.out;
}

TEST(PageProcess, ClosingAPageEndsTheProgram)
{
    ChildRun r = run_child("close");
    ASSERT_TRUE(r.finished) << r.out;
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "page open\nended\n");   // closed while open, before main went on
}

TEST(PageProcess, ExitInThePageMenuEndsTheProgram)
{
    ChildRun r = run_child("exitmenu");
    ASSERT_TRUE(r.finished) << r.out;
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "ended\n");
}
