#include "TalkWelcomeDialog.h"

#include "ui_TalkWelcomeDialog.h"

TalkWelcomeDialog::TalkWelcomeDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TalkWelcomeDialog)
{
    ui->setupUi(this);
    setModal(true);
    setWindowTitle(QStringLiteral("人机对话欢迎"));
    // Return logs in through the button's shortcut, not by typing a number.
    ui->lineEdit->setFocusPolicy(Qt::NoFocus);
}

TalkWelcomeDialog::~TalkWelcomeDialog()
{
    delete ui;
}

void TalkWelcomeDialog::on_btn_login_clicked()
{
    close();
    emit sendTalkLogin();
}

void TalkWelcomeDialog::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
}
