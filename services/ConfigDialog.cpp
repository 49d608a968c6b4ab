#include "ConfigDialog.h"
#include "ui_ConfigDialog.h"

#include "BuiltinPassphrase.h"
#include "ChineseDesktop.h"
#include "ChoiceDialog.h"
#include "SqliteClass.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

const QString backupName = QStringLiteral("BKMedicalDB.db");

// The open subject's directory, read anew for every step: a data repair or a
// subject switch may have moved the store meanwhile. Empty when the store has
// no subject directory, so nothing lands in the current or root directory.
QString subjectFile(const QString &name)
{
    const QString dir = SqliteClass::instance()->databaseDir();
    return dir.isEmpty() ? QString() : dir + name;
}

} // namespace

ConfigDialog::ConfigDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::ConfigDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    setModal(true);

    const QString backup = subjectFile(backupName);
    const QFileInfo info(backup);
    if (!backup.isEmpty() && info.exists())
        ui->label_text->setText(ChineseDesktop::textDate(info.lastModified()));
    else
        ui->label_text->setText(QStringLiteral("您还未备份数据库"));
}

ConfigDialog::~ConfigDialog()
{
    delete ui;
}

void ConfigDialog::setSkinColor(const QString &color)
{
    skinColor = color;
}

void ConfigDialog::on_pushButton_databk_clicked()
{
    const QString backup = subjectFile(backupName);
    // The old backup goes only when a complete, checked copy takes its place.
    if (backup.isEmpty() || SqliteClass::instance()->copyBankFile(backup) != 0) {
        qWarning().noquote() << QStringLiteral("备份失败:%1")
                                    .arg(backup.isEmpty() ? QStringLiteral("没有打开的科目")
                                                          : SqliteClass::instance()->lastErrorText());
        ui->label_text->setText(QStringLiteral("备份失败!"));
        return;
    }
    const QFileInfo info(backup);
    // Many Linux file systems report no birth time.
    const QDateTime born = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    ui->label_text->setText(QStringLiteral("%1 %2").arg(QStringLiteral("您已备份成功!"), ChineseDesktop::textDate(born)));
}

void ConfigDialog::on_pushButton_Reduction_clicked()
{
    const QString backup = subjectFile(backupName);
    const QFileInfo info(backup);
    if (backup.isEmpty() || !info.exists()) {
        ui->label_text->setText(QStringLiteral("您还没有备份文件"));
        return;
    }
    backupTime = ChineseDesktop::textDate(info.lastModified());

    confirmation = new ChoiceDialog;
    confirmation->setSkinColor(skinColor);
    connect(confirmation, &ChoiceDialog::sendOk, this, &ConfigDialog::receiveChoiceDialog);
    confirmation->setTitle(QStringLiteral("提示"));
    confirmation->setMessage(QStringLiteral("您确定要把备份还原吗？"));
    confirmation->show();
}

void ConfigDialog::receiveChoiceDialog()
{
    SqliteClass *store = SqliteClass::instance();
    const QString dir = store->databaseDir();
    if (dir.isEmpty()) {
        qWarning().noquote() << QStringLiteral("还原失败:没有打开的科目");
        ui->label_text->setText(QStringLiteral("还原失败"));
        return;
    }
    // The backup is checked and swapped in under the store lock; on any
    // failure the live bank stays untouched. The backup itself stays.
    const bool restored = store->replaceBankFile(dir + SqliteClass::bankFileName(), dir + backupName, QString()) == 0;
    if (!restored)
        qWarning().noquote() << QStringLiteral("还原失败:%1").arg(store->lastErrorText());
    // The subject's bank open again, whatever the connection was on before.
    if (store->openDatabase(QDir::cleanPath(dir), QString::fromLatin1(builtinPassphrase), 0) != 2)
        qWarning().noquote() << QStringLiteral("打开数据库失败:%1").arg(store->lastErrorText());
    ui->label_text->setText(restored ? QStringLiteral("还原:%1文件成功.").arg(backupTime)
                                     : QStringLiteral("还原失败"));
}

void ConfigDialog::on_pushButton_clicked()
{
    close();
}
