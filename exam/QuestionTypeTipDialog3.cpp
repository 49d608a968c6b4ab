#include "QuestionTypeTipDialog3.h"
#include "ui_QuestionTypeTipDialog3.h"

#include "ExamDialogSetup.h"

QuestionTypeTipDialog3::QuestionTypeTipDialog3(QWidget *parent)
    : QDialog(parent), ui(new Ui::QuestionTypeTipDialog3)
{
    ui->setupUi(this);
    setUpExamDialog(this, Qt::WindowSystemMenuHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // The dialog's picture shows through the message area.
    ui->scrollArea->viewport()->setAutoFillBackground(false);
    ui->scrollAreaWidgetContents->setAutoFillBackground(false);
    ui->question->hide();
    connect(ui->btn_confirm, SIGNAL(clicked()), this, SLOT(clickConfirm()));
    connect(ui->btn_cancel, SIGNAL(clicked()), this, SLOT(clickCancel()));
}

QuestionTypeTipDialog3::~QuestionTypeTipDialog3()
{
    delete ui;
}

void QuestionTypeTipDialog3::setText(const QString &text)
{
    ui->content->setText(text);
}

void QuestionTypeTipDialog3::setQuestion(const QString &question)
{
    ui->question->setText(question);
    ui->question->setVisible(!question.isEmpty());
}

void QuestionTypeTipDialog3::clickConfirm()
{
    emit sendSignal(value);
    close();
}

void QuestionTypeTipDialog3::clickCancel()
{
    close();
}
