#include "ClearQuestionsRecord.h"
#include "ui_ClearQuestionsRecord.h"

#include "DataToUiThreadClass.h"
#include "Skin.h"
#include "SqliteClass.h"

#include <QCloseEvent>
#include <QDebug>

namespace {

const QString clearedText = QStringLiteral("已清除");

QString flag(const QCheckBox *box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

ClearQuestionsRecord::ClearQuestionsRecord(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::ClearQuestionsRecord)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->label_message->setWordWrap(true);
    ui->progressBar->hide();
    ui->label_tishi->hide();
}

ClearQuestionsRecord::~ClearQuestionsRecord()
{
    if (worker)
        worker->wait(); // the clearing is one transaction: let it end
    worker.reset();
    delete ui;
}

void ClearQuestionsRecord::setCateId(int cateId)
{
    this->cateId = cateId;
}

void ClearQuestionsRecord::setSkinColor(const QString &color)
{
    skinColor = color;
    const QString buttonStyle = skinButtonStyle(color);
    ui->pushButton_save->setStyleSheet(buttonStyle);
    ui->pushButton_save_2->setStyleSheet(buttonStyle);
    ui->progressBar->setStyleSheet(
        QStringLiteral("QProgressBar{border:none;border-image: none;background-color: rgb(230, 230, 230);"
                       "border-radius:7px;text-align:center;min-height:15px;}"
                       "QProgressBar::chunk {background-color: rgb(%1);border-radius:7px;}")
            .arg(color));
}

QString ClearQuestionsRecord::clearFlags() const
{
    return QStringLiteral("%1,%2,%3")
        .arg(flag(ui->checkBox_question), flag(ui->checkBox_fav), flag(ui->checkBox_note));
}

void ClearQuestionsRecord::showStatus(const QString &text)
{
    // An error text (a whole statement) is far wider than the line: show its
    // start, and all of it under the mouse.
    QLabel *status = ui->label_tishi;
    status->ensurePolished();
    status->setText(status->fontMetrics().elidedText(text, Qt::ElideRight, status->width()));
    status->setToolTip(text);
    ui->progressBar->hide();
    status->show();
}

void ClearQuestionsRecord::on_pushButton_save_clicked()
{
    if (ui->pushButton_save->text() == clearedText) {
        close();
        return;
    }
    if (!ui->checkBox_question->isChecked() && !ui->checkBox_fav->isChecked() && !ui->checkBox_note->isChecked()) {
        showStatus(QStringLiteral("您未选择要清除的项!"));
        return;
    }
    if (clearing)
        return;
    ui->label_tishi->hide();
    ui->progressBar->setValue(0);
    ui->progressBar->show();
    if (!worker) {
        worker = std::make_unique<DataToUiThreadClass>();
        connect(worker.get(), &DataToUiThreadClass::sendSqliteClass, this, &ClearQuestionsRecord::recieveSqliteClass);
        connect(SqliteClass::instance(), &SqliteClass::sendClearQuestions, this,
                &ClearQuestionsRecord::receiveClearQuestions);
    }
    worker->setClearJob(18, cateId, clearFlags());
    clearing = true;
    worker->start(QThread::InheritPriority);
}

void ClearQuestionsRecord::receiveClearQuestions(int max, int value)
{
    ui->progressBar->setRange(0, max);
    ui->progressBar->setValue(value);
}

void ClearQuestionsRecord::recieveSqliteClass(int ret)
{
    // Emitted from inside run(): the thread may still be returning.
    worker->wait();
    clearing = false;
    if (ret != -1) {
        ui->pushButton_save_2->setText(QStringLiteral("关闭"));
        ui->pushButton_save->setText(clearedText);
        close();
        return;
    }
    // The job's own error: another thread's failure cannot have replaced it.
    const QString error = worker->lastErrorText();
    qDebug().noquote() << error;
    showStatus(error);
}

void ClearQuestionsRecord::on_pushButton_exit_clicked()
{
    close();
}

void ClearQuestionsRecord::on_pushButton_save_2_clicked()
{
    close();
}

void ClearQuestionsRecord::notifyClosed()
{
    if (closeNotified)
        return;
    closeNotified = true;
    // The receiver reads the set's counts again: they must be the cleared ones.
    if (worker)
        worker->wait();
    emit sendUpdateClear();
}

void ClearQuestionsRecord::closeEvent(QCloseEvent *event)
{
    notifyClosed();
    FramelessDialog::closeEvent(event);
}

void ClearQuestionsRecord::done(int result)
{
    notifyClosed();
    FramelessDialog::done(result);
}
