#include "ExamSection.h"
#include "LargeBankStore.h"
#include "NewTalkExamForm.h"
#include "QueTypeData.h"
#include "QuestionTypeTipDialog.h"
#include "SqliteClass.h"
#include "WaitingForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>

// From the start call of the exam window to the end of its loading (the
// paper dialog up, the first question shown), on the 20,000-question bank
// with every chapter chosen: a man-machine paper of type 2 (60 questions,
// 10 B1 groups, 8 case groups) and a simulated exam of every type of the
// bank at its stored exam count. $VELMORA_LARGE_BANK when set, else one
// written by banktool into a temporary directory.

namespace {

using Start = std::function<void(NewTalkExamForm *)>;

void closePaperDialogs()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QuestionTypeTipDialog *>(widget))
            delete widget;
    }
}

void BM_TalkExamLoad(benchmark::State &state, const Start &start)
{
    for (auto _ : state) {
        QPointer<NewTalkExamForm> window = new NewTalkExamForm;
        window->show();
        QElapsedTimer timer;
        timer.start();
        start(window);
        WaitingForm *overlay = window->findChild<WaitingForm *>();
        while (window && overlay->isVisible())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!window) {
            state.SkipWithError("the paper had no question");
            break;
        }
        delete window;
        closePaperDialogs();
    }
}

QList<ExamSection *> everyType()
{
    SqliteClass *store = SqliteClass::instance();
    QList<int> types;
    store->questionTypesInBank(types);
    QList<ExamSection *> parts;
    for (const int type : types) {
        QueTypeData *record = nullptr;
        store->questionType(record, type);
        auto *part = new ExamSection;
        part->queTypeId = type;
        part->count = record && record->examCount > 0 ? record->examCount : 5;
        part->name = record ? record->queTypeName : QString();
        parts << part;
    }
    return parts;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    if (!openLargeBank(scratch, {QStringLiteral("20000"), QStringLiteral("15000")}))
        return EXIT_FAILURE;

    benchmark::RegisterBenchmark("TalkExamLoad/manMachine2", BM_TalkExamLoad,
                                 Start([](NewTalkExamForm *window) { window->startManMachineExam(2); }))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("TalkExamLoad/simulatedEveryType", BM_TalkExamLoad,
                                 Start([](NewTalkExamForm *window) {
                                     const QList<ExamSection *> parts = everyType();
                                     window->startSimulatedExam(parts);
                                     qDeleteAll(parts);
                                 }))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    delete SqliteClass::instance();
    benchmark::Shutdown();
    return 0;
}
