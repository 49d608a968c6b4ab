#include "QuestionTypeTipDialog2.h"
#include "ui_QuestionTypeTipDialog2.h"

#include "ExamDialogSetup.h"

QuestionTypeTipDialog2::QuestionTypeTipDialog2(QWidget *parent)
    : QDialog(parent), ui(new Ui::QuestionTypeTipDialog2)
{
    ui->setupUi(this);
    setUpExamDialog(this, Qt::WindowSystemMenuHint);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->btn_confirm, SIGNAL(clicked()), this, SLOT(clickConfirm()));
    connect(ui->btn_cancel, SIGNAL(clicked()), this, SLOT(clickCancel()));
}

QuestionTypeTipDialog2::~QuestionTypeTipDialog2()
{
    delete ui;
}

void QuestionTypeTipDialog2::setIndex(int index)
{
    partIndex = index;
}

void QuestionTypeTipDialog2::setTexts(const QString &description, const QString &currentPart,
                                      const QString &nextPart)
{
    // One pass, so a "%1" inside a name stays as it is.
    ui->content->setText(QStringLiteral("进入[%1]后，[%2]部分已答题目无法修改。\n\n%3\n\n是否进[%4]答题？")
                             .arg(nextPart, currentPart, description, nextPart));
}

void QuestionTypeTipDialog2::clickConfirm()
{
    emit sendNextSignal(partIndex);
    close();
}

void QuestionTypeTipDialog2::clickCancel()
{
    close();
}
