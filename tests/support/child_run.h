// Runs a program built beside the test program as a child process, on the
// offscreen platform, and collects how it ended and what it wrote.
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <string>
#include <utility>
#include <vector>

struct ChildRun {
    bool finished = false;
    int status = -1;   // the exit status of a normal end; -1 after a crash or a kill
    qint64 ms = 0;
    std::string out, err;
};

inline ChildRun run_child(const char* program, const QStringList& args,
                          const std::vector<std::pair<QString, QString>>& env = {}, int timeout_ms = 20000)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto& [name, value] : env)
        e.insert(name, value);
    p.setProcessEnvironment(e);
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationDirPath() + "/" + program, args);
    ChildRun r;
    r.finished = p.waitForFinished(timeout_ms);
    r.ms = t.elapsed();
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}
