// Console output speed: 100,000 printf calls of a 40-character line into the
// visible console, against the floor of inserting the same lines into a bare
// QTextEdit in one loop; and the cost of an idle _pumpmessages. Both loops are
// timed on the wall clock: painting fills run on Qt's worker threads, which the
// main thread's processor time would leave out.
#include "ostrel/console.h"
#include "runtime/console/console_internal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

constexpr int LINES = 100000;
const char* const LINE = "0123456789 abcdefghij 0123456789 abcdef\n";   // 40 characters

void BM_PrintfIntoConsole(benchmark::State& state)
{
    for (auto _ : state) {
        for (int i = 0; i < LINES; ++i)
            ostrel_printf("%s", LINE);
        // the text area draws at most once a frame: run one frame so the last lines
        // are drawn inside the timing, as the floor draws its own
        QElapsedTimer frame;
        frame.start();
        do
            QApplication::processEvents();
        while (frame.elapsed() < 20);
    }
    state.SetItemsProcessed(state.iterations() * LINES);
}
BENCHMARK(BM_PrintfIntoConsole)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_BareTextEditFloor(benchmark::State& state)
{
    QTextEdit edit;
    edit.setLineWrapMode(QTextEdit::NoWrap);
    edit.resize(800, 500);
    edit.show();
    QString line = QString::fromUtf8(LINE);
    for (auto _ : state) {
        QTextCursor c(edit.document());
        for (int i = 0; i < LINES; ++i) {
            if (edit.document()->characterCount() + 40 >= 256000)
                edit.clear();   // the console's own limit, for a like-for-like text size
            c.movePosition(QTextCursor::End);
            c.insertText(line);
        }
        edit.ensureCursorVisible();
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * LINES);
}
BENCHMARK(BM_BareTextEditFloor)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_IdlePump(benchmark::State& state)
{
    for (auto _ : state)
        _pumpmessages();
}
BENCHMARK(BM_IdlePump);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (!_consolestartup(""))
        return 1;
    _showconsole();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
