#include "FeedBaceDialog.h"
#include "ui_FeedBaceDialog.h"

#include "ConfigIni.h"
#include "LoginBaseClass.h"
#include "MyMessageBox.h"
#include "Skin.h"
#include "SqliteClass.h"

#include <QDateTime>
#include <QDebug>
#include <QPalette>
#include <QRegExpValidator>

FeedBaceDialog::FeedBaceDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::FeedBaceDialog), messageBox(new MyMessageBox)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(windowFlags() | Qt::CustomizeWindowHint);
    // Digits only; nothing insists on a complete number.
    ui->lineEdit_userphonenumber->setValidator(new QRegExpValidator(
        QRegExp(QStringLiteral("^[0-9]*[1-9][0-9]*$")), ui->lineEdit_userphonenumber));
    ui->lineEdit_userphonenumber->setText(ConfigIni::readText(LoginBaseClass::telephoneKey()));
    // The style sheet's black would be taken for the hint as well: draw it
    // at half strength so that it does not read as a typed number. After the
    // polish, which would put the style sheet's colours back.
    ui->lineEdit_userphonenumber->ensurePolished();
    QPalette hint = ui->lineEdit_userphonenumber->palette();
    hint.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    ui->lineEdit_userphonenumber->setPalette(hint);
}

FeedBaceDialog::~FeedBaceDialog()
{
    delete messageBox;
    delete ui;
}

void FeedBaceDialog::setReportMode(int newMode)
{
    mode = newMode;
    if (mode != 1)
        return;
    setWindowTitle(QStringLiteral("题目纠错"));
    ui->label_title->setText(QStringLiteral(
        "<html><head/><body><p><span style=\" font-size:14pt; font-weight:600;\">题目纠错</span></p>"
        "</body></html>"));
}

void FeedBaceDialog::setErrorReportData(int newConType, int newQueId, const QString &newQueText)
{
    conType = newConType;
    queId = newQueId;
    queText = newQueText;
}

void FeedBaceDialog::setSkinColor(const QString &color)
{
    skinColor = color;
    messageBox->setSkinColor(color);
    // "rgb()" would leave white captions on no background at all.
    if (color.isEmpty())
        return;
    const QString style =
        QStringLiteral("QPushButton{border-image: none;border-radius:5px;font: 10pt \"微软雅黑\";"
                       "color: rgb(255, 255, 255);background-color: rgb(%1);}"
                       "QPushButton:hover{background-color: rgb(%2);}")
            .arg(color, skinHoverColor(color));
    ui->pushButton_cancel->setStyleSheet(style);
    ui->pushButton_submit->setStyleSheet(style);
    ui->pushButton_clear->setStyleSheet(style);
}

void FeedBaceDialog::on_pushButton_clear_clicked()
{
    ui->textEdit->clear();
}

void FeedBaceDialog::on_pushButton_cancel_clicked()
{
    close();
}

void FeedBaceDialog::on_pushButton_submit_clicked()
{
    const QString text = ui->textEdit->toPlainText();
    if (text.isEmpty()) {
        messageBox->setMessage(QStringLiteral("输入的信息为空"));
        messageBox->exec();
        return;
    }
    if (!client) {
        client = new LoginBaseClass(this);
        connect(client, &LoginBaseClass::sendoffline, this, &FeedBaceDialog::receiveOFFLine);
        connect(client, &LoginBaseClass::sendUserFinish, this, &FeedBaceDialog::receiveUserFinish);
    }
    content = text;
    timeText = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    ConfigIni::write(LoginBaseClass::telephoneKey(), ui->lineEdit_userphonenumber->text());
    // A request that cannot be composed reports nothing: the dialog stays.
    if (mode == 1)
        client->submitErrorReport(content, conType, queId, queText);
    else
        client->submitFeedback(content, timeText);
}

void FeedBaceDialog::on_pushButton_exit_clicked()
{
    close();
}

void FeedBaceDialog::receiveUserFinish(int ret, QString msg, QString type)
{
    Q_UNUSED(type)
    // Only 0 is taken; any other status says why in its message.
    if (ret == 0)
        tell(QStringLiteral("提交成功"), true);
    else
        tell(msg, false);
}

void FeedBaceDialog::receiveOFFLine()
{
    // The text is only safe once it is in the queue; until then it stays here.
    if (queueSubmission() != 0) {
        qDebug().noquote() << SqliteClass::instance()->lastErrorText();
        tell(QStringLiteral("提交失败,请稍后重试."), false);
        return;
    }
    tell(QStringLiteral("提交成功"), true);
}

int FeedBaceDialog::queueSubmission()
{
    SqliteClass *store = SqliteClass::instance();
    if (mode == 1)
        return store->saveOfflineErrorReport(content, QStringLiteral("003"), conType, queId, queText);
    return store->saveOfflineFeedback(content, QStringLiteral("002"), timeText);
}

void FeedBaceDialog::tell(const QString &message, bool done)
{
    messageBox->setMessage(message);
    if (!done) {
        messageBox->show();
        return;
    }
    messageBox->exec();
    close();
}
