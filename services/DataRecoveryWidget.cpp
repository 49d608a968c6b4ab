#include "DataRecoveryWidget.h"
#include "ui_DataRecoveryWidget.h"

#include "DataToUiThreadClass.h"
#include "DownLoadQThread.h"
#include "ImageFolderSwap.h"
#include "PackageUnpacker.h"
#include "SafeUnzip.h"
#include "ServiceUrl.h"
#include "Skin.h"
#include "SqliteClass.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProgressBar>

namespace {

// In the work folder: the copy of the open bank that the merge writes into,
// and the open bank as it was before the repair put the merge in its place.
const QString mergedName = QStringLiteral("MergedMedicalDB.db");
const QString beforeRepairName = QStringLiteral("OldMedicalDB.db");

} // namespace

DataRecoveryWidget::DataRecoveryWidget(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::DataRecoveryWidget), workFolder(QStringLiteral("DataRecovery"))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    setModal(true);
    databaseDir = SqliteClass::instance()->databaseDir();
}

DataRecoveryWidget::~DataRecoveryWidget()
{
    // Stops an unpacking under way.
    delete unpacker;
    // Ends a transfer under way without a signal.
    delete pDownLoadQThread;
    if (worker) {
        // The merge cannot be stopped half way: this waits for its end, and
        // its result, delivered here, is dropped.
        merging = false;
        worker->releaseOwner(this);
        delete worker;
    }
    delete ui;
}

void DataRecoveryWidget::setSkinColor(const QString &color)
{
    skinColor = color;
    // "rgb()" would leave the white caption on no background at all.
    if (color.isEmpty())
        return;
    ui->pushButton_startdatarecovery->setStyleSheet(skinButtonStyle(color));
    ui->progressBar->setStyleSheet(
        QStringLiteral("QProgressBar{ border:none; background-color: rgb(230, 230, 230); text-align:center;}"
                       " QProgressBar::chunk { background-color: rgb(%1);}")
            .arg(color));
}

void DataRecoveryWidget::reject()
{
    if (merging)
        return;
    FramelessDialog::reject();
}

void DataRecoveryWidget::closeEvent(QCloseEvent *event)
{
    // The merge cannot be stopped half way, and the dialog goes on close.
    if (merging) {
        event->ignore();
        return;
    }
    FramelessDialog::closeEvent(event);
}

void DataRecoveryWidget::on_pushButton_clicked()
{
    close();
}

void DataRecoveryWidget::on_pushButton_startdatarecovery_clicked()
{
    if (state != 0) {
        close();
        return;
    }
    if (requestPending)
        return;
    if (startRecovery() == -1)
        qDebug().noquote() << SqliteClass::instance()->lastErrorText();
}

int DataRecoveryWidget::startRecovery()
{
    ui->label_text->setText(QStringLiteral("正在获取json."));
    SqliteClass *store = SqliteClass::instance();
    QString goods;
    QString isn;
    QString memo;
    if (store->readSysConfig(QStringLiteral("sysTypeGoods"), goods, memo) == -1
        || store->readSysConfig(QStringLiteral("sysTypeISN"), isn, memo) == -1)
        return -1;

    if (!pDownLoadQThread) {
        pDownLoadQThread = new DownLoadQThread;
        connect(pDownLoadQThread, &DownLoadQThread::sendUpdateDataProgress, this,
                &DataRecoveryWidget::receiveUpdateDataProgress);
        connect(pDownLoadQThread, &DownLoadQThread::sendGetJsonFinish, this,
                &DataRecoveryWidget::receiveGetJsonFinish);
        connect(pDownLoadQThread, &DownLoadQThread::sendDownFileFinish, this,
                &DataRecoveryWidget::receiveDownFileFinish);
        connect(pDownLoadQThread, &DownLoadQThread::sendNetworkError, this,
                &DataRecoveryWidget::receiveNetworkError);
    }

    // The subject's number without its first and last character.
    const QString dir2 = isn.size() > 2 ? isn.mid(1, isn.size() - 2) : QString();
    const QUrl address = ServiceUrl::url(QStringLiteral("/mobi/verDb.php"),
                                         ServiceUrl::query(QStringLiteral("dir1=%1&dir2=%2"), {goods, dir2}));
    requestPending = true;
    networkErrorSeen = false;
    return pDownLoadQThread->getJson(address.toString(QUrl::FullyEncoded));
}

QString DataRecoveryWidget::parseDownlink(const QByteArray &json)
{
    ui->label_text->setText(QStringLiteral("正在解析json."));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    QString address;
    if (error.error == QJsonParseError::NoError && document.isObject()) {
        const QJsonValue link = document.object().value(QStringLiteral("downlink"));
        if (link.isString())
            address = link.toString();
    }
    return address.replace(QStringLiteral("install_"), QStringLiteral("installnew_"));
}

void DataRecoveryWidget::receiveUpdateDataProgress(qlonglong current, qlonglong total)
{
    // The minimum stays 0: an unknown total (-1) would move it for good.
    ui->progressBar->setRange(0, int(qMax<qlonglong>(total, 0)));
    ui->progressBar->setValue(int(current));
    // The error's text stays while the failed transfer winds down.
    if (networkErrorSeen)
        return;
    const QString text = ui->label_text->text();
    ui->label_text->setText(text.left(text.indexOf(QLatin1Char('.'))) + QLatin1Char('.')
                            + ui->progressBar->text());
}

void DataRecoveryWidget::receiveGetJsonFinish(QByteArray json)
{
    requestPending = false;
    if (json.isEmpty()) {
        ui->label_text->setText(QStringLiteral("没有获取到Json文件信息."));
        ui->pushButton_startdatarecovery->setText(QStringLiteral("重新尝试"));
        return;
    }
    state = 1;
    ui->pushButton_startdatarecovery->setText(QStringLiteral("放弃修复"));
    const QString address = parseDownlink(json);
    if (!prepareWorkFolder()) {
        fail();
        return;
    }
    ui->label_text->setText(QStringLiteral("正在下载db数据包."));
    networkErrorSeen = false;
    if (pDownLoadQThread->downloadFile(address, workFolder, QString()) == -1) {
        ui->label_text->setText(pDownLoadQThread->errorString());
        fail();
    }
}

bool DataRecoveryWidget::prepareWorkFolder()
{
    // The bank an earlier repair replaced may be the last good copy; it is
    // kept beside the bank unless the bank in place is sound.
    SqliteClass *store = SqliteClass::instance();
    if (store->removeLeftover(workPath(beforeRepairName), bankFile()) != 0) {
        qWarning().noquote() << store->lastErrorText();
        ui->label_text->setText(QStringLiteral("保留修复前的数据库失败."));
        return false;
    }
    if (QFileInfo::exists(workFolder) || QFileInfo(workFolder).isSymLink()) {
        ui->label_text->setText(QStringLiteral("正在删除旧的db数据包."));
        if (pDownLoadQThread->removeDirWithContent(workFolder) == -1) {
            ui->label_text->setText(QStringLiteral("[error]:pDownLoadQThread->removeDirWithContent(%1):%2")
                                        .arg(workFolder, pDownLoadQThread->errorString()));
            return false;
        }
    }
    if (!QDir().mkdir(workFolder)) {
        ui->label_text->setText(QStringLiteral("[ERROR]:dir.mkdir(%1)").arg(workFolder));
        return false;
    }
    return true;
}

void DataRecoveryWidget::receiveNetworkError(QNetworkReply::NetworkError error)
{
    networkErrorSeen = true;
    ui->label_text->setText(QStringLiteral("网络连接错误:%1").arg(int(error)));
}

void DataRecoveryWidget::receiveDownFileFinish(QString filename)
{
    if (!pDownLoadQThread->lastRequestSucceeded()) {
        // A network error has said why; a file that could not be written has not.
        if (!networkErrorSeen)
            ui->label_text->setText(pDownLoadQThread->errorString());
        fail();
        return;
    }
    ui->label_text->setText(QStringLiteral("正在解压zip包."));
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    // Off the GUI thread: a large package must not freeze the window.
    unpacker = new PackageUnpacker(filename, workFolder, this);
    connect(unpacker, &PackageUnpacker::progress, ui->progressBar, &QProgressBar::setValue);
    connect(unpacker, &QThread::finished, this, &DataRecoveryWidget::packageUnpacked);
    unpacker->start();
}

void DataRecoveryWidget::packageUnpacked()
{
    const int unpacked = unpacker->result();
    const QString reason = unpacker->reason();
    newBank = unpacker->packageFolder() + QLatin1Char('/') + SqliteClass::bankFileName();
    newImages = unpacker->imagesFolder();
    delete unpacker;
    unpacker = nullptr;
    SqliteClass *store = SqliteClass::instance();
    if (unpacked != 0 || store->checkBankFile(newBank) != 0) {
        qWarning().noquote() << (unpacked != 0 ? reason : store->lastErrorText());
        ui->label_text->setText(unpacked == SafeUnzip::tooLarge ? QStringLiteral("科目包过大或磁盘空间不足,无法修复.")
                                                                : QStringLiteral("解压zip包失败."));
        fail();
        return;
    }
    databaseDir = store->databaseDir();
    if (!copyLiveBank()) {
        ui->label_text->setText(QStringLiteral("备份数据库失败."));
        fail();
        return;
    }
    qDebug().noquote() << QStringLiteral("开始备份数据");
    ui->label_text->setText(QStringLiteral("开始对比数据库表."));
    startMerge();
}

bool DataRecoveryWidget::copyLiveBank()
{
    const QString copy = workPath(mergedName);
    if (SqliteClass::instance()->copyBankFile(copy) != 0) {
        qWarning().noquote() << QStringLiteral("拷贝[%1]\n to[%2]文件失败!").arg(bankFile(), copy);
        qWarning().noquote() << SqliteClass::instance()->lastErrorText();
        return false;
    }
    qDebug().noquote() << QStringLiteral("备份[%1]文件成功").arg(copy);
    return true;
}

void DataRecoveryWidget::startMerge()
{
    if (!worker) {
        worker = new DataToUiThreadClass;
        connect(worker, &DataToUiThreadClass::sendSqliteClass, this, &DataRecoveryWidget::receiveSqliteClass);
        connect(SqliteClass::instance(), &SqliteClass::sendCopyTable, this,
                &DataRecoveryWidget::receiveCopyTable);
    }
    worker->setMergeJob(19, workPath(mergedName), newBank);
    merging = true;
    worker->start(QThread::InheritPriority);
}

void DataRecoveryWidget::receiveCopyTable(int max, int value, QString text)
{
    ui->progressBar->setRange(0, max);
    ui->progressBar->setValue(value + 1);
    ui->label_text->setText(text);
}

void DataRecoveryWidget::receiveSqliteClass(int ret)
{
    if (!merging)
        return;
    worker->wait();
    merging = false;
    SqliteClass *store = SqliteClass::instance();
    if (ret == -1) {
        qWarning().noquote() << QStringLiteral("数据合并失败:%1").arg(worker->lastErrorText());
        ui->label_text->setText(QStringLiteral("数据合并失败."));
        fail();
        return;
    }
    if (store->checkBankFile(workPath(mergedName)) != 0) {
        qWarning().noquote() << store->lastErrorText();
        ui->label_text->setText(QStringLiteral("数据库校验失败."));
        fail();
        return;
    }
    ui->label_text->setText(QStringLiteral("拷贝覆盖图片."));
    // The images go in only with the merged bank.
    ImageFolderSwap images(databaseDir);
    QString reason;
    if (!images.stage(newImages, &reason)) {
        qWarning().noquote() << QStringLiteral("拷贝覆盖图片失败:%1").arg(reason);
        ui->label_text->setText(QStringLiteral("拷贝覆盖图片失败."));
        fail();
        return;
    }
    state = 2;
    if (!swapInMergedBank()) {
        ui->label_text->setText(QStringLiteral("替换数据库失败."));
        fail();
        return;
    }
    if (!images.commit(&reason)) {
        qWarning().noquote() << QStringLiteral("拷贝覆盖图片失败:%1").arg(reason);
        // The bank as it was, with its images.
        if (store->replaceBankFile(bankFile(), workPath(beforeRepairName), QString()) != 0)
            qWarning().noquote() << store->lastErrorText();
        ui->label_text->setText(QStringLiteral("拷贝覆盖图片失败."));
        fail();
        return;
    }
    ui->pushButton_startdatarecovery->setText(QStringLiteral("关闭"));
    ui->label_text->setText(QStringLiteral("数据修复完成."));
    emit sendDataRecovery();
}

bool DataRecoveryWidget::swapInMergedBank()
{
    SqliteClass *store = SqliteClass::instance();
    const QString merged = workPath(mergedName);
    if (store->replaceBankFile(bankFile(), merged, workPath(beforeRepairName)) != 0) {
        qWarning().noquote() << QStringLiteral("拷贝[%1]\n to[%2]文件失败!").arg(merged, bankFile());
        qWarning().noquote() << store->lastErrorText();
        return false;
    }
    qDebug().noquote() << QStringLiteral("备份[%1]文件成功").arg(bankFile());
    return true;
}

void DataRecoveryWidget::fail()
{
    ui->pushButton_startdatarecovery->setText(QStringLiteral("重新尝试"));
    state = 0;
}

QString DataRecoveryWidget::workPath(const QString &name) const
{
    return workFolder + QLatin1Char('/') + name;
}

QString DataRecoveryWidget::bankFile() const
{
    return QStringLiteral("%1/%2").arg(databaseDir, SqliteClass::bankFileName());
}
