#include "QuickBackQuestionsCell.h"
#include "ui_QuickBackQuestionsCell.h"

#include <QResizeEvent>

QuickBackQuestionsCell::QuickBackQuestionsCell(QWidget *parent)
    : QWidget(parent), ui(new Ui::QuickBackQuestionsCell)
{
    ui->setupUi(this);
    // The label takes what the button leaves and never widens the row.
    ui->label->setSizePolicy(QSizePolicy::Ignored, ui->label->sizePolicy().verticalPolicy());
    fullTitle = ui->label->text();
}

QuickBackQuestionsCell::~QuickBackQuestionsCell()
{
    delete ui;
}

void QuickBackQuestionsCell::setTitle(int number, const QString &name)
{
    fullTitle = QStringLiteral("【%1】 %2").arg(number).arg(name);
    showTitle();
}

QString QuickBackQuestionsCell::title() const
{
    return fullTitle;
}

void QuickBackQuestionsCell::showTitle()
{
    const QString shown = ui->label->fontMetrics().elidedText(fullTitle, Qt::ElideRight, ui->label->width());
    ui->label->setText(shown);
    ui->label->setToolTip(shown == fullTitle ? QString() : fullTitle);
}

void QuickBackQuestionsCell::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    showTitle();
}

void QuickBackQuestionsCell::setCateId(const QString &cateId)
{
    this->cateId = cateId;
}

QString QuickBackQuestionsCell::cateIdText() const
{
    return cateId;
}

void QuickBackQuestionsCell::setButtonStyle(const QString &styleSheet)
{
    ui->pushButton->setStyleSheet(styleSheet);
}

void QuickBackQuestionsCell::on_pushButton_clicked()
{
    emit sendQuickBackQuestionCateId(cateId.toInt(), fullTitle);
}
