#include "TalkWidget.h"

#include "MyMessageBox.h"
#include "NewTalkExamForm.h"
#include "ProductCodes.h"
#include "Skin.h"
#include "SqliteClass.h"
#include "TalkLoginDialog.h"
#include "TalkWelcomeDialog.h"
#include "ui_TalkWidget.h"

TalkWidget::TalkWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::TalkWidget)
{
    ui->setupUi(this);
    QString code;
    QString memo;
    SqliteClass::instance()->readSysConfig(QStringLiteral("sysTypeGoods"), code, memo);
    ui->label_dbtype->setVisible(ProductCodes::noteCodes().contains(code));
}

TalkWidget::~TalkWidget()
{
    delete messageBox;
    delete welcomeDialog;
    delete loginDialog;
    delete ui;
}

void TalkWidget::on_btn_machine_clicked()
{
    if (SqliteClass::instance()->isExamWindowOpen()) {
        showMessage(QStringLiteral("不能同时打开两个考试窗口."));
        return;
    }
    receiveWelcome();
}

void TalkWidget::receiveWelcome()
{
    if (!welcomeDialog) {
        welcomeDialog = new TalkWelcomeDialog;
        connect(welcomeDialog, &TalkWelcomeDialog::sendTalkLogin, this, &TalkWidget::receiveTalkLogin);
    }
    welcomeDialog->show();
}

void TalkWidget::receiveTalkLogin()
{
    if (!loginDialog) {
        loginDialog = new TalkLoginDialog;
        connect(loginDialog, &TalkLoginDialog::sendExam, this, &TalkWidget::receiveExam);
        connect(loginDialog, &TalkLoginDialog::sendTalkWelcome, this, &TalkWidget::receiveWelcome);
    }
    loginDialog->show();
}

void TalkWidget::receiveExam(int index)
{
    if (loginDialog)
        loginDialog->close();
    if (SqliteClass::instance()->isExamWindowOpen()) {
        showMessage(QStringLiteral("不能同时打开两个考试窗口."));
        return;
    }
    examWindow = new NewTalkExamForm;
    examWindow->show();
    examWindow->setSkinColor(skinColor);
    examWindow->startManMachineExam(index);
}

void TalkWidget::showMessage(const QString &text)
{
    if (!messageBox)
        messageBox = new MyMessageBox;
    messageBox->setSkinColor(skinColor);
    messageBox->setMessage(text);
    messageBox->show();
}

void TalkWidget::setSkinColor(const QString &color)
{
    skinColor = color;
    ui->btn_machine->setStyleSheet(
        QStringLiteral("QPushButton{background-color: rgb(%1);border-radius:5px;color: rgb(255, 255, 255);"
                       "font: 16pt \"微软雅黑\";}QPushButton:hover{background-color: rgb(%2)}")
            .arg(color, skinHoverColor(color)));
}
