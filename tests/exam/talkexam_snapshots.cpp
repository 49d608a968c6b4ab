// Draws the timed exam window on the demo subject into PNG files, to look at
// it without a screen: talkexam_snapshots OUTDIR DEMO_SUBJECT_DIR.
// For 1024 x 700 and 1280 x 800: a man-machine paper of type 1 with the
// paper dialog over it, a simulated exam of every type and the first
// prediction paper, each loaded, on a later question and after some ticks;
// and the window while its paper loads. The simulated exam and the
// prediction paper also with a refused part entry, then answered through and
// graded with the result box and a multiple-choice question's answer; and a
// man-machine paper 2 submitted at once. The exam records go into a copy of
// the bank.
#include "BuiltinPassphrase.h"
#include "ExamSection.h"
#include "LabelForm.h"
#include "NewTalkExamCell.h"
#include "NewTalkExamForm.h"
#include "PaperDriving.h"
#include "QueTypeData.h"
#include "QuestionTypeTipDialog.h"
#include "QuestionTypeTipDialog3.h"
#include "QuestionTypeTipDialog4.h"
#include "QuestionTypeTipDialog5.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdio>

namespace {

QDir outDir;
const QString skin = QStringLiteral("44,154,213,255");

bool waitFor(const std::function<bool()> &done, int ms = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

template<typename T = QuestionTypeTipDialog>
T *paperDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<T *>(widget)) {
            if (dialog->isVisible())
                return dialog;
        }
    }
    return nullptr;
}

bool loaded(NewTalkExamForm *window)
{
    auto *overlay = window->findChild<WaitingForm *>();
    return overlay && overlay->isHidden();
}

void saveImage(const QImage &image, const QString &name)
{
    image.save(outDir.filePath(name + QStringLiteral(".png")));
    std::printf("%s.png\n", qPrintable(name));
}

// The window with the paper dialog centred over it, as the user first sees it.
void saveWithDialog(NewTalkExamForm *window, QWidget *dialog, const QString &name)
{
    // A dialog just shown settles its scroll bars with the next events.
    QApplication::processEvents();
    QImage image = window->grab().toImage();
    const QImage over = dialog->grab().toImage();
    QPainter painter(&image);
    painter.drawImage((image.width() - over.width()) / 2, (image.height() - over.height()) / 2, over);
    painter.end();
    saveImage(image, name);
}

// Goes on to a later question and lets the clock tick, then draws.
void saveAnswering(NewTalkExamForm *window, const QString &name)
{
    QList<LabelForm *> card = window->findChildren<LabelForm *>();
    if (card.size() > 3)
        card.at(3)->click();
    for (int i = 0; i < 3725; ++i)
        window->receiveTimeOut();
    QApplication::processEvents();
    saveImage(window->grab().toImage(), name);
}

// The multiple-choice part's first question, answered and graded.
void saveMultipleChoice(NewTalkExamForm *window, const QString &name)
{
    for (NewTalkExamCell *section : window->findChildren<NewTalkExamCell *>()) {
        auto *title = section->findChild<QLabel *>(QStringLiteral("label_title"));
        if (title && title->text().contains(QStringLiteral("X型题"))) {
            section->clickNumber(0);
            QApplication::processEvents();
            saveImage(window->grab().toImage(), name);
            return;
        }
    }
}

// A card click on the next part (refused: the first part is not done),
// then the paper answered through, submitted and graded.
void saveGraded(NewTalkExamForm *window, const QString &base, const QString &suffix)
{
    QList<NewTalkExamCell *> card = window->findChildren<NewTalkExamCell *>();
    std::sort(card.begin(), card.end(), [](NewTalkExamCell *a, NewTalkExamCell *b) { return a->y() < b->y(); });
    if (card.size() > 1) {
        card.at(1)->clickNumber(0);
        if (auto *notice = paperDialog<QuestionTypeTipDialog5>()) {
            saveWithDialog(window, notice, base + QStringLiteral("_refused") + suffix);
            notice->close();
        }
    }
    if (!card.isEmpty())
        card.first()->clickNumber(0);
    if (!answerWholePaper(window))
        window->on_btn_submit_clicked();
    if (auto *ask = paperDialog<QuestionTypeTipDialog3>()) {
        saveWithDialog(window, ask, base + QStringLiteral("_submit") + suffix);
        QMetaObject::invokeMethod(ask, "clickConfirm");
    }
    QApplication::processEvents();
    if (auto *result = paperDialog<QuestionTypeTipDialog4>()) {
        saveWithDialog(window, result, base + QStringLiteral("_result") + suffix);
        result->close();
    }
    saveImage(window->grab().toImage(), base + QStringLiteral("_graded") + suffix);
    saveMultipleChoice(window, base + QStringLiteral("_graded_multiple") + suffix);
}

template<typename Start>
void savePaper(const QString &base, QSize size, Start start, bool graded = false)
{
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->resize(size);
    window->show();
    window->setSkinColor(skin);
    start(window.data());
    QApplication::processEvents();
    if (size.width() == 1024)
        saveImage(window->grab().toImage(), base + QStringLiteral("_loading"));
    if (!waitFor([&] { return window.isNull() || loaded(window); }) || window.isNull()) {
        std::fprintf(stderr, "talkexam_snapshots: %s did not load\n", qPrintable(base));
        delete window;
        return;
    }
    // Let the card lay out the buttons that came with the last lists.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QString suffix = QStringLiteral("_%1x%2").arg(size.width()).arg(size.height());
    if (QuestionTypeTipDialog *dialog = paperDialog()) {
        saveWithDialog(window, dialog, base + suffix);
        dialog->close();
    }
    saveAnswering(window, base + QStringLiteral("_answering") + suffix);
    if (graded)
        saveGraded(window, base, suffix);
    delete window;
    QApplication::processEvents();
}

// A fresh man-machine paper 2 submitted at once: every number is listed.
void saveSubmittedAtOnce(QSize size)
{
    QPointer<NewTalkExamForm> window = new NewTalkExamForm;
    window->resize(size);
    window->show();
    window->setSkinColor(skin);
    window->startManMachineExam(2);
    if (!waitFor([&] { return window.isNull() || loaded(window); }) || window.isNull()) {
        std::fprintf(stderr, "talkexam_snapshots: paper 2 did not load\n");
        delete window;
        return;
    }
    if (QuestionTypeTipDialog *dialog = paperDialog())
        dialog->close();
    window->on_btn_submit_clicked();
    if (auto *ask = paperDialog<QuestionTypeTipDialog3>()) {
        const QString name = QStringLiteral("NewTalkExamForm_manmachine2_submit_at_once_%1x%2").arg(size.width()).arg(size.height());
        saveWithDialog(window, ask, name);
        QScrollBar *bar = ask->findChild<QScrollArea *>()->verticalScrollBar();
        bar->setValue(bar->maximum());
        saveWithDialog(window, ask, name + QStringLiteral("_end"));
        ask->close();
    }
    delete window;
    QApplication::processEvents();
}

QList<ExamSection *> everyType()
{
    SqliteClass *store = SqliteClass::instance();
    QList<int> types;
    store->questionTypesInBank(types);
    QList<ExamSection *> parts;
    for (int type : types) {
        QueTypeData *record = nullptr;
        store->questionType(record, type);
        auto *part = new ExamSection;
        part->queTypeId = type;
        part->count = record && record->examCount > 0 ? record->examCount : 2;
        part->name = record ? record->queTypeName : QString();
        part->description = record ? record->memo : QString();
        parts << part;
    }
    return parts;
}

int firstPaper()
{
    QList<SqliteData *> papers;
    SqliteClass::instance()->paperChapters(papers, 0, 0);
    const int id = papers.isEmpty() ? 0 : papers.first()->text0.toInt();
    qDeleteAll(papers);
    return id;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: talkexam_snapshots OUTDIR DEMO_SUBJECT_DIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    outDir = QDir(QString::fromLocal8Bit(argv[1]));
    SqliteClass *store = SqliteClass::instance();
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    QTemporaryDir work;
    const QString bank = work.filePath(QStringLiteral("MedicalDB.db"));
    if (!QFile::copy(QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("MedicalDB.db")), bank)) {
        std::fprintf(stderr, "talkexam_snapshots: no MedicalDB.db in %s\n", argv[2]);
        return 1;
    }
    if (store->openDatabase(work.path(), phrase, 0) != 2 || store->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "talkexam_snapshots: cannot read the demo subject: %s\n", qPrintable(store->lastErrorText()));
        return 1;
    }
    const int paper = firstPaper();
    for (const QSize size : {QSize(1024, 700), QSize(1280, 800)}) {
        savePaper(QStringLiteral("NewTalkExamForm_manmachine1"), size,
                  [](NewTalkExamForm *window) { window->startManMachineExam(1); });
        savePaper(QStringLiteral("NewTalkExamForm_simulated"), size, [](NewTalkExamForm *window) {
            const QList<ExamSection *> parts = everyType();
            window->startSimulatedExam(parts);
            qDeleteAll(parts);
        }, true);
        savePaper(QStringLiteral("NewTalkExamForm_prediction"), size,
                  [paper](NewTalkExamForm *window) { window->startPredictionPaper(paper, 2); }, true);
        saveSubmittedAtOnce(size);
    }
    delete store;
    return 0;
}
