#include "TalkLoginDialog.h"

#include "ProductCodes.h"
#include "RadioExamForm.h"
#include "SqliteClass.h"
#include "ui_TalkLoginDialog.h"

TalkLoginDialog::TalkLoginDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TalkLoginDialog)
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("人机对话登录"));
}

TalkLoginDialog::~TalkLoginDialog()
{
    delete ui;
}

void TalkLoginDialog::on_btn_beginmachine_clicked()
{
    QString code;
    QString memo;
    SqliteClass::instance()->readSysConfig(QStringLiteral("sysTypeGoods"), code, memo);
    if (ProductCodes::seniorTitleCodes().contains(code)) {
        radioExamForm = new RadioExamForm;
        connect(radioExamForm, &RadioExamForm::sendRadioExam, this, &TalkLoginDialog::receiveRadioExam);
        radioExamForm->show();
        return;
    }
    emit sendExam(2);
}

void TalkLoginDialog::on_btn_relogin_clicked()
{
    close();
    emit sendTalkWelcome();
}

void TalkLoginDialog::receiveRadioExam(int buttontype, int index)
{
    if (buttontype == 0) {
        emit sendExam(index);
        close();
    } else if (buttontype == 1) {
        close();
    }
}

void TalkLoginDialog::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
}
