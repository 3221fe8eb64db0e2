// How a program ends: runs the test program as a child process per scenario and
// checks its exit status, its timing and what it reported.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    bool finished = false;
    qint64 ms = 0;
    std::string err;
};

Outcome run(const char* scenario, QStringList args = {}, int timeout_ms = 20000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("OSTREL_SCENARIO", scenario);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    // the test program sits beside this one
    p.start(QCoreApplication::applicationDirPath() + "/console_child", args);
    Outcome r;
    r.finished = p.waitForFinished(timeout_ms);
    r.ms = t.elapsed();
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = p.readAllStandardError().toStdString();
    return r;
}

bool has(const Outcome& r, const std::string& s)
{
    return r.err.find(s) != std::string::npos;
}

} // namespace

TEST(ProcessEnd, MainReturning1961ClosesAtOnceWithStatusZero)
{
    Outcome r = run("return1961", {"some", "args"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r, "cmdline=[some args]")) << r.err;
    EXPECT_TRUE(has(r, "teardown status1=[Done. ")) << r.err;
    EXPECT_TRUE(has(r, "atexit ran")) << r.err;
}

TEST(ProcessEnd, MainReturningZeroWithoutOutputEndsAtOnce)
{
    Outcome r = run("return0_silent");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r, "teardown status1=[]")) << r.err;
}

TEST(ProcessEnd, MainReturningZeroAfterOutputStaysUntilClosed)
{
    Outcome r = run("return0_printed");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_GE(r.ms, 550);
    EXPECT_TRUE(has(r, "teardown status1=[Done. ")) << r.err;
    EXPECT_TRUE(has(r, "msec]")) << r.err;
}

TEST(ProcessEnd, ExitZeroShowsItsTextAndWaitsForTheUser)
{
    Outcome r = run("exit0");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_GE(r.ms, 250);
    EXPECT_TRUE(has(r, "teardown status1=[exit() ...Done]")) << r.err;
    EXPECT_TRUE(has(r, "atexit ran")) << r.err;
}

TEST(ProcessEnd, Exit1961ClosesEverythingWithoutThatText)
{
    Outcome r = run("exit1961");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r, "teardown status1=[]")) << r.err;
    EXPECT_TRUE(has(r, "atexit ran")) << r.err;
}

TEST(ProcessEnd, ClosingTheConsoleDuringGetcharEndsTheProgram)
{
    Outcome r = run("close_in_getchar");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(has(r, "getchar returned")) << r.err;
    EXPECT_TRUE(has(r, "teardown status1=[getchar]")) << r.err;
    EXPECT_TRUE(has(r, "atexit ran")) << r.err;
}

TEST(ProcessEnd, ConsoleDestroyedWhileMainRunsEndsAtTheNextPump)
{
    Outcome r = run("destroyed_then_printf");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(has(r, "main went on")) << r.err;
    EXPECT_TRUE(has(r, "atexit ran")) << r.err;
}

TEST(ProcessEnd, OverlongCommandLineIsCut)
{
    Outcome r = run("return1961", {QString(3000, 'a')});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(has(r, "cmdline=[" + std::string(1023, 'a') + "]")) << r.err.substr(0, 200);
}
