#include "ExamCellForm.h"
#include "ui_ExamCellForm.h"

#include <QIcon>
#include <QLayout>

ExamCellForm::ExamCellForm(QWidget *parent, const QString &skinColor)
    : QWidget(parent), ui(new Ui::ExamCellForm), skinColor(skinColor)
{
    ui->setupUi(this);
    ui->progressBar_learn_2->setColor(skinColor);
    ui->progressBar_true_2->setColor(skinColor);
    // Outlined in grey, filled with the skin colour under the mouse.
    ui->pushButton_learn->setStyleSheet(
        QStringLiteral("QPushButton{border-radius:3px;border:1px solid rgb(120,120,120);color:rgb(120,120,120);"
                       "font: 75 9pt \"微软雅黑\";}"
                       "QPushButton:hover{color:rgb(255,255,255);background-color:rgb(%1);"
                       "border:1px solid rgb(%1);}")
            .arg(skinColor));
    ui->pushButton_clear->setToolTip(QStringLiteral("清除做题记录"));
}

ExamCellForm::~ExamCellForm()
{
    delete ui;
}

void ExamCellForm::setRow(int n)
{
    rowIndex = n - 1;
}

void ExamCellForm::setCateId(int cateId)
{
    setId = cateId;
}

int ExamCellForm::cateId() const
{
    return setId;
}

void ExamCellForm::setTitle(const QString &name)
{
    setName = name;
    ui->label_title->setToolTip(name);
    showTitle();
}

void ExamCellForm::showTitle()
{
    const QString title = QStringLiteral("%1. %2").arg(rowIndex + 1).arg(setName);
    QLabel *label = ui->label_title;
    // Until the layout has placed the label it has no width of its own to fit.
    const bool placed = layout()->geometry().isValid();
    label->setText(placed ? label->fontMetrics().elidedText(title, Qt::ElideRight, label->width()) : title);
}

void ExamCellForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event); // the layout has placed the labels already
    showTitle();
}

QString ExamCellForm::title() const
{
    return setName;
}

void ExamCellForm::setTotal(const QString &total)
{
    this->total = total;
    ui->label_total->setText(QStringLiteral("总题数: %1 题").arg(total));
}

QString ExamCellForm::totalText() const
{
    return total;
}

void ExamCellForm::setLastTime(const QString &text)
{
    ui->label_lasttime->setText(text);
}

QString ExamCellForm::lastTimeText() const
{
    return ui->label_lasttime->text();
}

void ExamCellForm::setProgress(const QString &done, const QString &right)
{
    const float ringTotal = total.toFloat();
    ui->progressBar_learn_2->setTotal(ringTotal);
    ui->progressBar_true_2->setTotal(ringTotal);
    ui->progressBar_learn_2->setValueText(done);
    ui->progressBar_true_2->setValueText(right);
    answered = done.toInt();
    answeredRight = right.toInt();
}

int ExamCellForm::doneCount() const
{
    return answered;
}

int ExamCellForm::rightCount() const
{
    return answeredRight;
}

void ExamCellForm::enterEvent(QEvent *event)
{
    ui->pushButton_clear->setIcon(QIcon(QStringLiteral(":/MenuIcon/images/MenuIcon/delete.png")));
    QWidget::enterEvent(event);
}

void ExamCellForm::leaveEvent(QEvent *event)
{
    ui->pushButton_clear->setIcon(QIcon());
    QWidget::leaveEvent(event);
}

void ExamCellForm::on_pushButton_learn_clicked()
{
    emit sendSingle(rowIndex);
}

void ExamCellForm::on_pushButton_clear_clicked()
{
    emit sendclear(setId, rowIndex);
}
