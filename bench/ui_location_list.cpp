// The location list of the sample map with 100,000 places: opening its pop-up
// until it is painted, and a typed letter that jumps to the first name with
// it, in the closed list and in the open one. Each should stay well within
// 100 ms; the memcpy of the master is the usual baseline of the same run.
#include "WindowBench.h"

#include "SortedComboBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace {

void Type(QWidget* receiver, char letter)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (letter - 'a'), Qt::NoModifier, QString(QChar(letter)));
    QCoreApplication::sendEvent(receiver, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + (letter - 'a'), Qt::NoModifier, QString(QChar(letter)));
    QCoreApplication::sendEvent(receiver, &release);
}

void BM_OpenLocationList(benchmark::State& state)
{
    TSortedComboBox& list = *ManyPlacesForm->CBLoc;
    for (auto _ : state) {
        list.showPopup();
        list.view()->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        list.hidePopup();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// Alternating letters, so that every key press moves to another entry.
void TypeToJump(benchmark::State& state, bool open)
{
    TSortedComboBox& list = *ManyPlacesForm->CBLoc;
    if (open)
        list.showPopup();
    QWidget* receiver = open ? static_cast<QWidget*>(list.view()) : &list;
    int key = 0;
    for (auto _ : state) {
        Type(receiver, "tkm"[key++ % 3]);
        QCoreApplication::processEvents();
    }
    const bool found = (open ? list.view()->currentIndex().row() : list.currentIndex()) >= 0;
    if (open)
        list.hidePopup();
    if (!found)
        state.SkipWithError("typing selected nothing");
}

void BM_TypeToJumpClosed(benchmark::State& state)
{
    TypeToJump(state, false);
}

void BM_TypeToJumpOpen(benchmark::State& state)
{
    TypeToJump(state, true);
}

} // namespace

BENCHMARK(BM_MemcpyMaster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenLocationList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TypeToJumpClosed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TypeToJumpOpen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
