#include "B1CellOptionForm.h"
#include "ui_B1CellOptionForm.h"

#include "QuestionData.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QSignalBlocker>

namespace {

// Item 0 of the combo box is the placeholder "请选择答案": no answer.
constexpr int placeholderItem = 0;

const char comboStyle[] =
    "QComboBox {border: 1px solid gray; border-radius: 3px; padding: 1px 18px 1px 3px; font: 75 12pt \"微软雅黑\";}"
    "QComboBox:editable {background: white;} QComboBox::drop-down { subcontrol-origin: padding; "
    "subcontrol-position: top right; width: 15px; border-left-width: 1px;  border-left-color: darkgray; "
    "border-left-style: solid; /* just a single line */ border-top-right-radius: 3px; /* same radius as the "
    "QComboBox */  border-bottom-right-radius: 3px;background-color: rgb(%1);}QComboBox::down-arrow {  image: "
    "url(:/icon/images/icon/sewlectoff.png);}  QComboBox QAbstractItemView { border: 1px solid "
    "darkgray;selection-background-color: lightgray;}";

QuestionCellBase::WorkMode workModeOf(int fillMode)
{
    if (fillMode == 1)
        return QuestionCellBase::ExamMode;
    return fillMode == 2 ? QuestionCellBase::BrowseMode : QuestionCellBase::PracticeMode;
}

} // namespace

B1CellOptionForm::B1CellOptionForm(QWidget *parent)
    : QuestionCellBase(FilledHover::WhiteGroundFirst, parent), ui(new Ui::B1CellOptionForm)
{
    ui->setupUi(this);
    Widgets shared;
    shared.mark = ui->pushButton_mark;
    shared.note = ui->pushButton_note;
    shared.outlined = {ui->pushButton_showanswer, ui->pushButton_mark, ui->pushButton_note, ui->pushButton_error};
    attachWidgets(shared);
    ui->widget_answer->hide();
    ui->label_rigthanswer->hide();
    ui->textEdit_prompt->hide();
    ui->comboBox_answer->installEventFilter(this);
}

B1CellOptionForm::~B1CellOptionForm()
{
    delete ui;
}

void B1CellOptionForm::setLetters(const QStringList &letters)
{
    ui->comboBox_answer->addItems(letters);
    connect(ui->comboBox_answer, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &B1CellOptionForm::receiveIndexChange, Qt::UniqueConnection);
}

void B1CellOptionForm::setStyle(const QString &skin)
{
    QuestionCellBase::setStyle(skin);
    ui->comboBox_answer->setStyleSheet(QString::fromUtf8(comboStyle).arg(skin));
}

void B1CellOptionForm::setData(int sourceKind, const QString &numberText, int number, QuestionData *question,
                               int fillMode)
{
    mode = workModeOf(fillMode);
    index = number;
    if (mode == ExamMode) {
        ui->pushButton_showanswer->hide();
        ui->pushButton_mark->hide();
        ui->pushButton_note->hide();
    }
    errorKind = sourceKind == 2 ? 1 : 0;
    ui->pushButton_error->setVisible(sourceKind == 2);

    takeQuestion(*question);
    QString shown = mode == PracticeMode ? question->queText
                                         : QStringLiteral("(%1) %2").arg(numberText, question->queText);
    shown.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    // A typed keyword may carry stray blanks; the text is painted without them.
    keyword = keyword.simplified();
    ui->label_title->setText(questionHtml(shown));
    ui->textEdit_prompt->setText(QStringLiteral("解析:%1").arg(textHtml(analysis)));
    ui->label_rigthanswer->setText(QStringLiteral("正确答案: %1").arg(answer));
    takeUserMarks(*question);
    restoreAnswer(question->userAnswer);
}

void B1CellOptionForm::showAnswer()
{
    answered = true;
    ui->widget_answer->show();
    ui->label_rigthanswer->show();
    ui->textEdit_prompt->setVisible(!analysis.isEmpty());
    ui->comboBox_answer->setEnabled(takesAnswers());
}

// A wheel notch over the closed box would choose an answer the user never
// picked: the notch scrolls the view that shows the question instead. The
// open list is a popup of its own and takes the wheel itself.
bool B1CellOptionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->comboBox_answer || event->type() != QEvent::Wheel)
        return QuestionCellBase::eventFilter(watched, event);
    for (QWidget *up = parentWidget(); up; up = up->parentWidget()) {
        if (auto *view = qobject_cast<QAbstractScrollArea *>(up)) {
            QCoreApplication::sendEvent(view->viewport(), event);
            break;
        }
    }
    event->accept();
    return true;
}

void B1CellOptionForm::on_pushButton_showanswer_clicked()
{
    showAnswer();
}

void B1CellOptionForm::receiveIndexChange(int item)
{
    if (item < 0)
        return;
    if (!takesAnswers()) {
        // The exam has shown its answers: the box goes back to the answer given.
        const QSignalBlocker quiet(ui->comboBox_answer);
        ui->comboBox_answer->setCurrentIndex(qMax(placeholderItem, ui->comboBox_answer->findText(userAnswer)));
        return;
    }
    choose(item, Choice::ByUser);
}

// The placeholder takes the answer back: the bank forgets the answer too,
// or it would come back on reopening and count in every list.
void B1CellOptionForm::choose(int item, Choice how)
{
    if (item == placeholderItem) {
        userAnswer.clear();
        userStatus = 0;
        if (how == Choice::ByUser)
            recordAnswer(userAnswer, userStatus);
    } else {
        userAnswer = ui->comboBox_answer->itemText(item);
        userStatus = userAnswer == answer ? 1 : 2;
        if (mode == PracticeMode) {
            showAnswer();
            if (how == Choice::ByUser)
                recordAnswer(userAnswer, userStatus);
        }
    }
    emit sendAnswerState(index, userStatus, userAnswer);
}

// A saved letter comes back judged and reported as a choice, never recorded
// again; a saved text that names no letter changes nothing.
void B1CellOptionForm::restoreAnswer(const QString &saved)
{
    const int item = saved.isEmpty()
        ? -1
        : ui->comboBox_answer->findText(saved, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (item <= placeholderItem)
        return;
    {
        const QSignalBlocker quiet(ui->comboBox_answer);
        ui->comboBox_answer->setCurrentIndex(item);
    }
    choose(item, Choice::Restore);
}
