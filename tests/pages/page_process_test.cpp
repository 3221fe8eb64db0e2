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

TEST(PageProcess, PageZeroIsFatalClosingAPageOrItsExitEndsTheProgram)
{
    struct { const char* mode; std::string out; } rows[] = {
        {"fatal", "caption: OSTREL ERROR\ntext: in _newpage\n    page=0. 0 means console.\n"},
        {"close", "page open\nended\n"},   // closed while open, before main went on
        {"exitmenu", "ended\n"},
    };
    for (auto& r : rows) {
        ChildRun c = run_child(r.mode);
        ASSERT_TRUE(c.finished) << c.out;
        EXPECT_EQ(c.status, QProcess::NormalExit);
        EXPECT_EQ(c.code, 0);
        EXPECT_EQ(c.out.substr(0, r.out.size()), r.out) << r.mode;
        EXPECT_EQ(c.out.find("after"), std::string::npos) << c.out;
        EXPECT_EQ(c.out.find("main returned"), std::string::npos) << c.out;
        EXPECT_EQ(c.out.substr(c.out.size() - 6), "ended\n") << c.out;
    }
}
