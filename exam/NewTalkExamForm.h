#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class DataToUiThreadClass;
class ExamSection;
class HelpDialog;
class MainQuestion;
class MyMessageBox;
class NewTalkExamCell;
class QProcess;
class QuestionData;
class QTimer;
class QuestionTypeTipDialog;
class QuestionTypeTipDialog2;
class QuestionTypeTipDialog3;
class QuestionTypeTipDialog4;
class QuestionTypeTipDialog5;
class ViewReport;
class WaitingForm;

namespace Ui {
class NewTalkExamForm;
}

// 0 the computer-based imitation with a fixed paper, 1 a simulated exam,
// 2 a prediction paper.
using ExamMode = int;
// The fixed paper of a man-machine exam: 0, 1 or 2 (2 has 90 minutes).
using ManMachinePaperType = int;

// The timed exam window. An entry constructs it without parent, shows it,
// sets the skin and calls exactly one start operation; the worker draws the
// paper part by part, the card numbers the questions as they arrive, and
// when loading ends the first question shows under the paper dialog and the
// clock starts. The window deletes itself when closed.
class NewTalkExamForm : public QWidget
{
    Q_OBJECT
public:
    explicit NewTalkExamForm(QWidget *parent = nullptr);
    ~NewTalkExamForm() override;

    void setSkinColor(const QString &color);
    void startManMachineExam(ManMachinePaperType type);
    // The caller keeps its parts; the window copies those it uses.
    void startSimulatedExam(QList<ExamSection *> parts);
    void startPredictionPaper(int paperId, ExamMode mode);

public slots:
    void receiveTimeOut();
    void receiveTalkError(int ret);
    void receiveTalkQuestion(int type, QList<MainQuestion *> list);
    // type is the part index.
    void receiveNewTalkExam(int type, int id, QString number);
    void receiveNextSignal(int index);
    void receiveState(int id, int state, QString answer);
    void receiveDialog3(int index);
    void on_pushButton_clicked();
    void on_btn_last_clicked();
    void on_btn_next_clicked();
    void on_btn_submit_clicked();
    void on_pushButton_2_clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showNotice(const QString &text);
    void requestNextSection(int index);
    // The record of the question shown, its answer length and its part's type.
    QuestionData *currentRecord() const;
    int currentAnswerLength() const;
    int currentPartType() const;

    void showOverlay();
    void addCardSection(ExamSection *part, int stretch);
    QString nextNumberText(int type, const MainQuestion *question, const MainQuestion *before);
    void showClock();
    // The buttons and their shortcuts wait for the end of loading: before,
    // no part or section they would address exists.
    bool paperReady() const;

    Ui::NewTalkExamForm *ui;
    QList<NewTalkExamCell *> NewTalkExamCellList;
    QList<NewTalkExamCell *> TempNewTalkExamCellList;
    int remainingSeconds = 0;
    QTimer *timer = nullptr;
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
    QList<ExamSection *> ExamSectionList;
    QList<ExamSection *> TempExamSectionList;
    DataToUiThreadClass *worker = nullptr;
    float numberCounter = 0;
    int lastSection = -1;
    int shownIndex = -1;
    int buttonIdCounter = 0;
    int furthestSection = 0;
    QuestionTypeTipDialog *paperDialog = nullptr;
    QuestionTypeTipDialog2 *nextPartDialog = nullptr;
    QuestionTypeTipDialog3 *submitDialog = nullptr;
    QuestionTypeTipDialog4 *resultDialog = nullptr;
    QuestionTypeTipDialog5 *noticeDialog = nullptr;
    int currentSection = 0;
    int currentIndex = 0;
    QString currentNumber;
    ViewReport *reportView = nullptr;
    HelpDialog *helpDialog = nullptr;
    int answeredCount = 0;
    int totalCount = 0;
    bool submitted = false;
    WaitingForm *waitingForm = nullptr;
    ExamMode examMode = 0;
    ManMachinePaperType paperType = 0;
    MyMessageBox *noQuestionBox = nullptr;
    int elapsedSeconds = 0;
    QProcess *calculator = nullptr;

    // The generation of the job whose rows are arriving: rows of a stopped
    // job (queued before the window went) are only freed.
    int arrivingGeneration = -1;
    // The exam time of the clock text, fixed at the end of loading.
    QString examTimeText;
};
