#include "NewTalkExamForm.h"
#include "ui_NewTalkExamForm.h"

#include "ClockText.h"
#include "DataToUiThreadClass.h"
#include "ExamSection.h"
#include "HelpDialog.h"
#include "MainQuestion.h"
#include "MyMessageBox.h"
#include "NewTalkExamCell.h"
#include "QueTypeData.h"
#include "QuestionTypeTipDialog.h"
#include "QuestionTypeTipDialog2.h"
#include "QuestionTypeTipDialog3.h"
#include "QuestionTypeTipDialog4.h"
#include "QuestionTypeTipDialog5.h"
#include "QuestionData.h"
#include "Calculator.h"
#include "SqliteClass.h"
#include "ViewReport.h"
#include "WaitingForm.h"

#include <QCloseEvent>
#include <QDebug>
#include <QMessageBox>
#include <QProcess>
#include <QResizeEvent>
#include <QTimer>

namespace {

struct ManMachinePart
{
    int count;
    int queTypeId; // 0: the case type of the bank
    const char *pattern;
};

// The fixed parts of each man-machine paper, in paper order.
QList<ManMachinePart> manMachineParts(ManMachinePaperType type)
{
    switch (type) {
    case 0:
        return {{25, 6, "多选题(%1)"}, {8, 0, "案例分析题(%1)"}};
    case 1:
        return {{25, 1, "单项选择题(%1)"}, {15, 6, "多选题(%1)"}, {7, 0, "案例分析题(%1)"}};
    case 2:
        return {{60, 1, "单项选择题(%1)"}, {10, 7, "配伍题(%1)"}, {8, 0, "案例分析题(%1)"}};
    default:
        return {};
    }
}

} // namespace

NewTalkExamForm::NewTalkExamForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::NewTalkExamForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);

    worker = new DataToUiThreadClass;
    connect(worker, &DataToUiThreadClass::sendJobStarted, this,
            [this](int generation) { arrivingGeneration = generation; });
    connect(worker, &DataToUiThreadClass::sendTalkError, this, &NewTalkExamForm::receiveTalkError);
    // Only this window's own draw: a window closed but not yet deleted must
    // not take (and delete) the lists of the next one.
    worker->connectOwnRows(SqliteClass::instance(), &SqliteClass::sendTalkQuesion, this,
                           &NewTalkExamForm::receiveTalkQuestion);
    connect(ui->widget_cellform, &ScrollAreaCellForm::sendScrollState, this, &NewTalkExamForm::receiveState);

    SqliteClass::instance()->setExamWindowOpen(true);
}

NewTalkExamForm::~NewTalkExamForm()
{
    if (worker) {
        // Lists still queued to this window arrive as stale and are freed.
        worker->releaseOwner(this);
        delete worker;
        worker = nullptr;
    }
    delete noQuestionBox;
    for (ExamSection *part : qAsConst(ExamSectionList)) {
        qDeleteAll(part->questions);
        delete part;
    }
    ExamSectionList.clear();
    TempExamSectionList.clear();
    qDeleteAll(TempNewTalkExamCellList);
    delete helpDialog;
    delete timer;
    delete reportView;
    delete waitingForm;
    delete calculator;
    // A window deleted without a close must not keep new exams out.
    SqliteClass::instance()->setExamWindowOpen(false);
    delete ui;
}

void NewTalkExamForm::setSkinColor(const QString &color)
{
    ui->widget_cellform->setStyle(color, 0);
    ui->widget_cellform->setStyleSheet(QStringLiteral("background-color:rgb(255,255,255,255)"));
}

void NewTalkExamForm::showOverlay()
{
    if (!waitingForm)
        waitingForm = new WaitingForm(this);
    waitingForm->setGeometry(0, 0, width(), height());
    waitingForm->show();
    waitingForm->raise();
}

void NewTalkExamForm::addCardSection(ExamSection *part, int stretch)
{
    auto *section = new NewTalkExamCell;
    connect(section, &NewTalkExamCell::sendNewTalkExam, this, &NewTalkExamForm::receiveNewTalkExam);
    section->setTitle(part->name);
    ui->verticalLayout->addWidget(section, stretch, Qt::AlignTop);
    NewTalkExamCellList.append(section);
}

void NewTalkExamForm::startManMachineExam(ManMachinePaperType type)
{
    examMode = 0;
    showOverlay();
    paperType = type;
    numberCounter = 0;
    buttonIdCounter = 0;
    answeredCount = 0;

    SqliteClass *store = SqliteClass::instance();
    for (const ManMachinePart &fixed : manMachineParts(type)) {
        auto *part = new ExamSection;
        part->count = fixed.count;
        part->queTypeId = fixed.queTypeId;
        if (part->queTypeId == 0)
            part->queTypeId = store->groupCountOfType(4) > 0 ? 4 : 3;
        QueTypeData *record = nullptr;
        store->questionType(record, part->queTypeId);
        // A type the bank does not describe: an empty name in the pattern.
        part->name = QString::fromUtf8(fixed.pattern).arg(record ? record->queTypeName : QString());
        part->description = record ? record->memo : QString();
        ExamSectionList.append(part);
    }
    for (int i = 0; i < ExamSectionList.size(); ++i)
        addCardSection(ExamSectionList.at(i), i);

    TempExamSectionList = ExamSectionList;
    worker->setSectionJob(7, ExamSectionList);
    worker->start(QThread::InheritPriority);
}

void NewTalkExamForm::startSimulatedExam(QList<ExamSection *> parts)
{
    setWindowTitle(QStringLiteral("模拟考场"));
    examMode = 1;
    showOverlay();
    numberCounter = 0;
    buttonIdCounter = 0;
    answeredCount = 0;
    ExamSectionList.clear();
    NewTalkExamCellList.clear();

    SqliteClass *store = SqliteClass::instance();
    for (int i = 0; i < parts.size(); ++i) {
        const ExamSection *chosen = parts.at(i);
        if (!chosen || chosen->count <= 0 || !store->hasQuestionType(chosen->queTypeId))
            continue;
        auto *part = new ExamSection;
        part->count = chosen->count;
        part->name = chosen->name;
        part->description = chosen->description;
        part->queTypeId = chosen->queTypeId;
        ExamSectionList.append(part);
        addCardSection(part, i);
    }

    if (worker->isRunning())
        worker->wait();
    TempExamSectionList = ExamSectionList;
    worker->setSectionJob(16, ExamSectionList);
    worker->start(QThread::InheritPriority);
}

void NewTalkExamForm::startPredictionPaper(int paperId, ExamMode mode)
{
    setWindowTitle(QStringLiteral("押题版"));
    examMode = mode;
    numberCounter = 0;
    buttonIdCounter = 0;
    answeredCount = 0;
    ui->widget_cellform->setSourceKind(mode);
    NewTalkExamCellList.clear();
    showOverlay();

    SqliteClass::instance()->paperQuestionTypes(ExamSectionList, paperId);
    // The case parts go to the end by swapping with the last part.
    const int n = ExamSectionList.size();
    for (int i = 0; i + 1 < n; ++i) {
        const int type = ExamSectionList.at(i)->queTypeId;
        if (type == 3 || type == 4)
            ExamSectionList.swapItemsAt(i, n - 1);
    }
    QList<int> types;
    for (int i = 0; i < n; ++i) {
        addCardSection(ExamSectionList.at(i), i);
        types.append(ExamSectionList.at(i)->queTypeId);
    }

    TempExamSectionList = ExamSectionList;
    worker->setJob(15, paperId);
    worker->setPaperTypes(types);
    worker->start(QThread::InheritPriority);
}

QString NewTalkExamForm::nextNumberText(int type, const MainQuestion *question, const MainQuestion *before)
{
    if (!SqliteClass::isGroupType(type)) {
        numberCounter += 1;
        return QString::number(qRound(numberCounter));
    }
    if (before && before->cateListId == question->cateListId) {
        numberCounter += 0.01f;
    } else {
        const int whole = QString::number(numberCounter, 'f', 1).section(QLatin1Char('.'), 0, 0).toInt();
        numberCounter = float(whole) + 1.01f;
    }
    return QString::number(numberCounter, 'f', 2);
}

void NewTalkExamForm::receiveTalkQuestion(int type, QList<MainQuestion *> list)
{
    // Rows of a job that was stopped, or that came when no job of this
    // window runs, are only freed.
    if (!worker || arrivingGeneration != worker->generation()) {
        qDeleteAll(list);
        return;
    }
    if (type != lastSection && lastSection != -1)
        buttonIdCounter = 0;

    int index = -1;
    for (int i = 0; i < TempExamSectionList.size(); ++i) {
        if (TempExamSectionList.at(i)->queTypeId == type) {
            index = i;
            break;
        }
    }
    if (index < 0 || index >= NewTalkExamCellList.size()) {
        qDeleteAll(list);
        lastSection = type;
        return;
    }

    ExamSection *part = TempExamSectionList.at(index);
    NewTalkExamCell *section = NewTalkExamCellList.at(index);
    part->questions.append(list);
    const MainQuestion *before = nullptr;
    for (MainQuestion *question : qAsConst(list)) {
        section->setPendingNumber(nextNumberText(type, question, before));
        section->addNumber(buttonIdCounter);
        ++buttonIdCounter;
        before = question;
    }
    lastSection = type;
}

void NewTalkExamForm::receiveTalkError(int ret)
{
    if (!worker || arrivingGeneration != worker->generation())
        return;
    if (waitingForm)
        waitingForm->close();
    // The worker keeps its error text once it has sent the result: read it
    // after the thread has ended.
    worker->wait();
    if (ret == -1)
        qDebug() << worker->lastErrorText();
    delete worker;
    worker = nullptr;

    TempExamSectionList.clear();
    TempNewTalkExamCellList.clear();
    for (ExamSection *part : qAsConst(ExamSectionList)) {
        if (part->questions.isEmpty())
            continue;
        TempExamSectionList.append(part);
        totalCount += part->questions.size();
    }
    for (NewTalkExamCell *section : qAsConst(NewTalkExamCellList)) {
        if (section->questionCount() > 0)
            TempNewTalkExamCellList.append(section);
        else
            delete section;
    }
    NewTalkExamCellList = TempNewTalkExamCellList;

    if (paperType == 2) {
        examTimeText = QStringLiteral("01:30:00");
        remainingSeconds = 5400;
    } else {
        examTimeText = QStringLiteral("02:00:00");
        remainingSeconds = 7200;
    }
    ui->label_time->setText(QStringLiteral("考试时间：%1      已用时间：00:00:00").arg(examTimeText));
    ui->progress_time->setRange(0, remainingSeconds);
    ui->progress_time->setValue(0);

    if (!timer) {
        timer = new QTimer;
        connect(timer, &QTimer::timeout, this, &NewTalkExamForm::receiveTimeOut);
    }

    ui->label_question_count->setText(
        QStringLiteral("试题总数：%1题      已答：%2题").arg(totalCount).arg(answeredCount));
    ui->progress_question_count->setRange(0, totalCount);
    ui->progress_question_count->setValue(answeredCount);

    if (totalCount == 0) {
        // Nothing to answer: say so and go.
        noQuestionBox = new MyMessageBox;
        noQuestionBox->setMessage(QStringLiteral("没有您想要的题,请到模拟考场重新勾选."));
        noQuestionBox->exec();
        close();
        return;
    }

    paperDialog = new QuestionTypeTipDialog;
    QStringList names;
    QStringList descriptions;
    for (int i = 0; i < TempExamSectionList.size(); ++i) {
        TempNewTalkExamCellList.at(i)->setSectionIndex(i);
        names.append(TempExamSectionList.at(i)->name);
        descriptions.append(TempExamSectionList.at(i)->description);
    }
    qDebug() << "TempNewTalkExamCellList.size()" << TempNewTalkExamCellList.size();
    TempNewTalkExamCellList.first()->clickNumber(0);

    paperDialog->setPartNames(names);
    paperDialog->setPartDescriptions(descriptions);
    paperDialog->show();
    timer->start(1000);
}

void NewTalkExamForm::showClock()
{
    ui->label_time->setText(QStringLiteral("考试时间：%1      已用时间：%2")
                                .arg(examTimeText, clockText(hours, minutes, seconds)));
    ui->progress_time->setValue(elapsedSeconds);
}

void NewTalkExamForm::receiveTimeOut()
{
    // The clock runs from the end of loading to the limit, never after.
    if (!timer)
        return;
    ++seconds;
    ++elapsedSeconds;
    --remainingSeconds;
    if (seconds > 59) {
        seconds = 0;
        ++minutes;
        if (minutes > 59) {
            minutes = 0;
            ++hours;
        }
    }
    if (remainingSeconds > 0) {
        showClock();
        return;
    }
    // The limit: the clock shows it before submission, which may block in
    // a dialog; the timer goes once this tick has returned.
    timer->stop();
    timer->deleteLater();
    timer = nullptr;
    showClock();
    on_btn_submit_clicked();
}

QuestionData *NewTalkExamForm::currentRecord() const
{
    if (currentSection < 0 || currentSection >= TempExamSectionList.size())
        return nullptr;
    const ExamSection *part = TempExamSectionList.at(currentSection);
    if (currentIndex < 0 || currentIndex >= part->questions.size())
        return nullptr;
    const MainQuestion *question = part->questions.at(currentIndex);
    return question->questions.isEmpty() ? nullptr : question->questions.first();
}

int NewTalkExamForm::currentAnswerLength() const
{
    const QuestionData *record = currentRecord();
    return record ? record->userAnswer.length() : 0;
}

int NewTalkExamForm::currentPartType() const
{
    if (currentSection < 0 || currentSection >= TempExamSectionList.size())
        return 0;
    return TempExamSectionList.at(currentSection)->queTypeId;
}

void NewTalkExamForm::receiveNewTalkExam(int type, int id, QString number)
{
    // No section is kept before loading ends: the card's buttons, which take
    // the keyboard under the overlay, move nothing until then.
    if (type < 0 || type >= TempExamSectionList.size() || type >= TempNewTalkExamCellList.size())
        return;
    ExamSection *part = TempExamSectionList.at(type);
    if (id < 0 || id >= part->questions.size())
        return;

    // The first question of the paper is shown before any rule applies.
    if (!submitted && shownIndex != -1) {
        if (type > furthestSection) {
            requestNextSection(type);
            return;
        }
        if (type < furthestSection) {
            showNotice(QStringLiteral("不可返回上一题型。"));
            return;
        }
        const int count = TempNewTalkExamCellList.at(currentSection)->questionCount();
        if (currentIndex >= 0 && currentIndex < count - 1) {
            const int partType = currentPartType();
            if (partType == 6 && currentAnswerLength() == 1) {
                showNotice(QStringLiteral("当前题型为多选题，必须选择两个及以上或者不选才能进入下一题。"));
                return;
            }
            if ((partType == 3 || partType == 4) && currentSection != 0 && currentIndex != 0) {
                if (currentAnswerLength() == 0) {
                    showNotice(QStringLiteral("当前题型为不可回退,不能进入该题。"));
                    return;
                }
                if (id > currentIndex + 1) {
                    showNotice(QStringLiteral("前面还有未答的题，不能进入该题!"));
                    return;
                }
            }
        }
    }

    currentIndex = id;
    currentSection = type;
    currentNumber = number;
    if (!submitted && shownIndex != -1 && lastSection >= 0 && lastSection < TempNewTalkExamCellList.size()) {
        TempNewTalkExamCellList.at(lastSection)
            ->setNumberState(shownIndex, ui->widget_cellform->answerState() != 0 ? 2 : 0);
    }
    shownIndex = id;
    lastSection = type;

    MainQuestion *question = part->questions.at(id);
    question->queTypeId = part->queTypeId;
    ui->widget_cellform->showExamQuestion(question, id, number, submitted);
    if (!submitted)
        TempNewTalkExamCellList.at(type)->setNumberState(id, 1);
}

void NewTalkExamForm::receiveNextSignal(int index)
{
    // A late second confirmation of a part already entered must not reopen
    // the parts behind it; the part confirmed is the one entered.
    if (!paperReady() || submitted || index <= furthestSection || index >= TempNewTalkExamCellList.size())
        return;
    furthestSection = index;
    currentIndex = 0;
    TempNewTalkExamCellList.at(index)->clickNumber(0);
}

void NewTalkExamForm::receiveState(int id, int state, QString answer)
{
    Q_UNUSED(id)
    Q_UNUSED(state)
    QuestionData *record = currentRecord();
    // A graded paper keeps the answers it was graded on.
    if (!record || submitted)
        return;
    record->userAnswer = answer;
    record->userStatus = ui->widget_cellform->answerState();

    answeredCount = 0;
    for (const ExamSection *part : qAsConst(TempExamSectionList)) {
        for (const MainQuestion *question : part->questions) {
            if (!question->questions.isEmpty() && question->questions.first()->userStatus != 0)
                ++answeredCount;
        }
    }
    ui->label_question_count->setText(
        QStringLiteral("试题总数：%1题      已答：%2题").arg(totalCount).arg(answeredCount));
    ui->progress_question_count->setValue(answeredCount);
}

void NewTalkExamForm::receiveDialog3(int index)
{
    Q_UNUSED(index)
    // Two confirmations may be open (the user's and the limit's): the paper
    // is graded and recorded once.
    if (submitted || !paperReady())
        return;
    submitted = true;
    ui->widget_cellform->showAnswer();

    int right = 0;
    int wrong = 0;
    int unanswered = 0;
    for (int i = 0; i < TempExamSectionList.size() && i < TempNewTalkExamCellList.size(); ++i) {
        const ExamSection *part = TempExamSectionList.at(i);
        NewTalkExamCell *section = TempNewTalkExamCellList.at(i);
        for (int k = 0; k < part->questions.size(); ++k) {
            const MainQuestion *question = part->questions.at(k);
            const int status = question->questions.isEmpty() ? 0 : question->questions.first()->userStatus;
            if (status == 1) {
                ++right;
                section->setNumberState(k, 2);
            } else if (status == 2) {
                ++wrong;
                section->setNumberState(k, 1);
            } else {
                ++unanswered;
                section->setNumberState(k, 0);
            }
        }
    }
    ui->label->setStyleSheet(QStringLiteral("border-image: url(:/machine/images/machine/ic_card_status2.png);"));

    resultDialog = new QuestionTypeTipDialog4;
    resultDialog->setText(QStringLiteral("本次共[%1]题\n正确: %2题  错误: %3题  未答: %4题")
                              .arg(right + wrong + unanswered)
                              .arg(right)
                              .arg(wrong)
                              .arg(unanswered));
    resultDialog->show();

    if (!reportView)
        reportView = new ViewReport;
    reportView->buildExamReport(TempExamSectionList, examMode);
}

void NewTalkExamForm::on_pushButton_clicked()
{
    if (!paperReady())
        return;
    if (calculator) {
        if (calculator->state() != QProcess::NotRunning) {
            calculator->close();
        }
        delete calculator;
        calculator = nullptr;
    }
    calculator = new QProcess;
    const QString program = Calculator::program();
    if (program.isEmpty()) {
        qDebug() << "no calculator program found";
        return;
    }
    calculator->start(program, QStringList(), QIODevice::ReadWrite);
}

void NewTalkExamForm::on_btn_last_clicked()
{
    if (!paperReady())
        return;
    if (currentIndex == 0) {
        if (currentSection == 0)
            return;
        NewTalkExamCell *before = TempNewTalkExamCellList.at(currentSection - 1);
        receiveNewTalkExam(currentSection - 1, before->questionCount() - 1, before->lastNumberText());
        return;
    }
    const int partType = currentPartType();
    if (!submitted && partType == 6 && currentAnswerLength() == 1) {
        showNotice(QStringLiteral("当前题型为多选题，必须选择两个及以上或者不选才能进入上一题。"));
        return;
    }
    if (!submitted && (partType == 3 || partType == 4)) {
        showNotice(QStringLiteral("当前题型为不可回退，不能返回上一题"));
        return;
    }
    TempNewTalkExamCellList.at(currentSection)->clickNumber(currentIndex - 1);
}

void NewTalkExamForm::on_btn_next_clicked()
{
    if (!paperReady())
        return;
    NewTalkExamCell *section = TempNewTalkExamCellList.at(currentSection);
    if (currentIndex < section->questionCount() - 1) {
        const int partType = currentPartType();
        if (!submitted && partType == 6 && currentAnswerLength() == 1) {
            showNotice(QStringLiteral("当前题型为多选题，必须选择两个及以上或者不选才能进入下一题。"));
            return;
        }
        if (!submitted && (partType == 3 || partType == 4) && currentAnswerLength() == 0) {
            showNotice(QStringLiteral("当前题型为不可回退，此题还未答，不能进入下一题"));
            return;
        }
        section->clickNumber(currentIndex + 1);
        return;
    }
    if (currentSection < TempNewTalkExamCellList.size() - 1) {
        if (submitted) {
            receiveNewTalkExam(currentSection + 1, 0, TempNewTalkExamCellList.at(currentSection + 1)->firstNumberText());
        } else if (currentSection >= furthestSection) {
            requestNextSection(currentSection + 1);
        }
        return;
    }
    if (!submitted)
        on_btn_submit_clicked();
}

void NewTalkExamForm::on_btn_submit_clicked()
{
    if (!paperReady())
        return;
    if (submitted) {
        QMessageBox::about(nullptr, QStringLiteral("提示"), QStringLiteral("您已经提交过了。"));
        return;
    }
    // The current question's button is orange, which keeps it out of the
    // unanswered numbers: mark it as leaving would for the count.
    NewTalkExamCell *current = nullptr;
    if (currentSection >= 0 && currentSection < TempNewTalkExamCellList.size() && shownIndex != -1) {
        current = TempNewTalkExamCellList.at(currentSection);
        const QuestionData *record = currentRecord();
        current->setNumberState(currentIndex, record && record->userStatus != 0 ? 2 : 0);
    }
    QString numbers;
    for (NewTalkExamCell *section : qAsConst(TempNewTalkExamCellList)) {
        for (const QString &number : section->unansweredNumbers())
            numbers += number + QStringLiteral(", ");
    }
    if (current)
        current->setNumberState(currentIndex, 1);

    submitDialog = new QuestionTypeTipDialog3;
    connect(submitDialog, &QuestionTypeTipDialog3::sendSignal, this, &NewTalkExamForm::receiveDialog3);
    if (numbers.isEmpty()) {
        submitDialog->setText(QStringLiteral("您确定要提交试卷吗?"));
    } else {
        // A paper answered little lists more numbers than the dialog holds:
        // they scroll, and the question stays in view under them.
        submitDialog->setText(QStringLiteral("您有[%1项]没有选择答案.").arg(numbers));
        submitDialog->setQuestion(QStringLiteral("确定要提交试卷吗?"));
    }
    submitDialog->show();
}

void NewTalkExamForm::on_pushButton_2_clicked()
{
    if (!paperReady())
        return;
    delete helpDialog;
    helpDialog = new HelpDialog;
    if (currentSection >= 0 && currentSection < TempExamSectionList.size())
        helpDialog->setText(TempExamSectionList.at(currentSection)->description);
    helpDialog->show();
}

void NewTalkExamForm::showNotice(const QString &text)
{
    noticeDialog = new QuestionTypeTipDialog5;
    noticeDialog->setText(text);
    noticeDialog->show();
}

void NewTalkExamForm::requestNextSection(int index)
{
    if (index < 1 || index >= TempNewTalkExamCellList.size() || index >= TempExamSectionList.size())
        return;
    const QStringList unanswered = TempNewTalkExamCellList.at(index - 1)->unansweredNumbers();
    const QuestionData *record = currentRecord();
    const ExamSection *before = TempExamSectionList.at(index - 1);
    const ExamSection *asked = TempExamSectionList.at(index);
    if (unanswered.isEmpty() && record && record->userStatus != 0) {
        nextPartDialog = new QuestionTypeTipDialog2;
        nextPartDialog->setIndex(index);
        nextPartDialog->setTexts(asked->description, before->name, asked->name);
        connect(nextPartDialog, &QuestionTypeTipDialog2::sendNextSignal, this, &NewTalkExamForm::receiveNextSignal);
        nextPartDialog->show();
        return;
    }
    showNotice(QStringLiteral("当前题型[%1]还有未答完的题，不能进入[%2]！").arg(before->name, asked->name));
}

bool NewTalkExamForm::paperReady() const
{
    return !worker && !TempExamSectionList.isEmpty();
}

void NewTalkExamForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (waitingForm)
        waitingForm->setGeometry(0, 0, width(), height());
}

void NewTalkExamForm::closeEvent(QCloseEvent *event)
{
    SqliteClass::instance()->setExamWindowOpen(false);
    event->accept();
}
