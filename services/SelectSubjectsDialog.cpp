#include "SelectSubjectsDialog.h"
#include "ui_SelectSubjectsDialog.h"

#include "ChoiceDialog.h"
#include "DownLoadQThread.h"
#include "ImageFolderSwap.h"
#include "MyMessageBox.h"
#include "PackageUnpacker.h"
#include "PublicData.h"
#include "SafeUnzip.h"
#include "SelectSubjectCell.h"
#include "ServiceReply.h"
#include "ServiceUrl.h"
#include "Skin.h"
#include "SqliteClass.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>
#include <QTreeWidgetItem>

#include <climits>

namespace {

const QString dataDir = QStringLiteral("data");
const QString installFailedText = QStringLiteral("科目安装失败,请重新下载.");
const QString tooLargeText = QStringLiteral("科目包过大或磁盘空间不足,无法安装.");
const QString downloadFolderName = QStringLiteral("IniFilePath");
// The unpacking folder of one installation inside the download folder.
const QString stagingPrefix = QStringLiteral("install-");

// A catalogue value as text: numbers as their decimal text, anything else
// but text as empty.
QString textOf(const QJsonValue &value)
{
    return value.isDouble() ? value.toVariant().toString() : value.toString();
}

// "data/" + the package name: the address's last part cut before its first
// "."; empty when there is no name.
QString subjectDirectory(const QString &packageAddress)
{
    const QString name = packageAddress.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
    return name.isEmpty() ? QString() : dataDir + QLatin1Char('/') + name;
}

// Only a named entry right inside "data" is a subject's to delete, never
// "data" itself or anything elsewhere.
bool isSubjectDirectory(const QString &path)
{
    const QFileInfo entry(path);
    const QString name = entry.fileName();
    const QString data = QDir(dataDir).canonicalPath();
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !data.isEmpty()
        && QDir(entry.absolutePath()).canonicalPath() == data;
}

} // namespace

SelectSubjectsDialog::SelectSubjectsDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::SelectSubjectsDialog), downloadFolder(downloadFolderName)
{
    ui->setupUi(this);
    catalogueTitle = ui->label_title->text();
    catalogueWindowTitle = windowTitle();
    catalogueMargins = ui->verticalLayout_5->contentsMargins();
    catalogueSize = size();
    setAttribute(Qt::WA_DeleteOnClose);
    // Modal but not on top of other programs.
    setWindowFlags(Qt::FramelessWindowHint);
    QDir().mkpath(downloadFolder);
    // A rich-text label keeps mouse presses for its links: the title would
    // not drag the dialog.
    ui->label_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->treeWidget->header()->hide();
    ui->treeWidget->setFocusPolicy(Qt::NoFocus);
    ui->tableWidget->setFocusPolicy(Qt::NoFocus);
    ui->tableWidget->horizontalHeader()->hide();
    ui->tableWidget->verticalHeader()->hide();
}

SelectSubjectsDialog::~SelectSubjectsDialog()
{
    // The manager ends running replies after this body; they must reach no slot.
    for (QNetworkReply *running : manager.findChildren<QNetworkReply *>())
        running->disconnect(this);
    if (exitConfirmation)
        exitConfirmation->close();
    // Before the unpacking folder goes with the members.
    delete unpacker;
    // A part-written package stays for the next clearing.
    delete packageFile;
    delete messageBox;
    delete ui;
}

void SelectSubjectsDialog::setSkinColor(const QString &color)
{
    skinColor = color;
    ui->pushButton_searchsubject->setStyleSheet(
        QStringLiteral("QPushButton{  background-color: rgb(%1);  border-top-right-radius:5px;   "
                       "border-bottom-right-radius:5px;  }QPushButton:hover{ background-color: rgb(%2);};")
            .arg(color, skinHoverColor(color)));
    ui->progressBar->setStyleSheet(
        QStringLiteral("QProgressBar{ border:none; background-color: rgb(230, 230, 230); text-align:center;} "
                       "QProgressBar::chunk { background-color: rgb(%1);}")
            .arg(color));
}

void SelectSubjectsDialog::startSelection(const QString &url, int mode)
{
    selectionMode = mode;
    clearDownloadFolder(downloadFolder);
    if (mode == 0) {
        requestCatalogue(ServiceUrl::url(QStringLiteral("/mobi/verData.php"), QStringLiteral("type=android"))
                             .toString(QUrl::FullyEncoded));
        return;
    }
    ui->label_title->setText(QStringLiteral("正在下载科目请稍候..."));
    ui->widget_4->hide();
    setWindowTitle(QStringLiteral("正在下载科目"));
    // 100 pixels hold the title row and the bar only with narrower margins.
    ui->verticalLayout_5->setContentsMargins(30, 24, 30, 34);
    resize(740, 100);
    downloadFile(url, 3);
}

void SelectSubjectsDialog::requestCatalogue(const QString &url)
{
    reply = manager.get(QNetworkRequest(QUrl(url)));
    connect(reply, &QNetworkReply::finished, this, &SelectSubjectsDialog::httpJsonFinished);
    connect(reply, &QNetworkReply::downloadProgress, this, &SelectSubjectsDialog::updateDataReadProgress);
}

void SelectSubjectsDialog::httpJsonFinished()
{
    auto *done = qobject_cast<QNetworkReply *>(sender());
    if (done == reply)
        reply = nullptr;
    done->deleteLater();
    if (!ServiceReply::succeeded(done)) {
        qWarning().noquote() << QStringLiteral("科目列表请求失败: %1 HTTP %2")
                                    .arg(done->errorString())
                                    .arg(done->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    } else if (parseCatalogue(ServiceReply::body(done))) {
        qInfo().noquote() << QStringLiteral("科目列表已读取: %1 个科目").arg(pTableWidgetList.size());
        return;
    }
    tell(QStringLiteral("获取科目列表失败,请检查网络后重试."));
}

bool SelectSubjectsDialog::parseCatalogue(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning().noquote() << QStringLiteral("科目列表解析失败:") << error.errorString();
        return false;
    }
    const QJsonArray groups = document.array();
    for (const QJsonValue &groupValue : groups) {
        const QJsonObject group = groupValue.toObject();
        const QString groupName = textOf(group.value(QStringLiteral("name")));
        auto *groupItem = new QTreeWidgetItem(QStringList{groupName});
        ui->treeWidget->addTopLevelItem(groupItem);
        const QJsonArray subGroups = group.value(QStringLiteral("address")).toArray();
        for (const QJsonValue &subGroupValue : subGroups) {
            const QJsonObject subGroup = subGroupValue.toObject();
            const QString subGroupName = textOf(subGroup.value(QStringLiteral("DQname")));
            auto *subGroupItem = new QTreeWidgetItem(groupItem, QStringList{subGroupName});
            const QJsonArray subjects = subGroup.value(QStringLiteral("subject")).toArray();
            for (const QJsonValue &subjectValue : subjects) {
                const QJsonObject subject = subjectValue.toObject();
                addSubject(subGroupItem, groupName, subGroupName, textOf(subject.value(QStringLiteral("Subname"))),
                           textOf(subject.value(QStringLiteral("downlink"))));
            }
        }
    }
    return true;
}

void SelectSubjectsDialog::addSubject(QTreeWidgetItem *subGroup, const QString &groupName,
                                      const QString &subGroupName, const QString &name, const QString &downlink)
{
    QString address = downlink;
    address.replace(QLatin1String("install_"), QLatin1String("installnew_"));
    const QString directory = subjectDirectory(address);
    // No name would put the subject onto "data" itself.
    if (directory.isEmpty() || directory == QLatin1String("data/MedicalDB"))
        return;
    SelectSubjectCell *row = newRow(groupName, subGroupName);
    row->setData(directory, name, address, QFileInfo::exists(directory));
    pTableWidgetList.append(row);
    auto *item = new QTreeWidgetItem(subGroup);
    ui->treeWidget->setItemWidget(item, 0, row);
}

SelectSubjectCell *SelectSubjectsDialog::newRow(const QString &groupName, const QString &subGroupName)
{
    auto *row = new SelectSubjectCell;
    connect(row, &SelectSubjectCell::sendDeleteSubject, this, &SelectSubjectsDialog::receiveDeleteSubject);
    connect(row, &SelectSubjectCell::sendLocalSubject, this, &SelectSubjectsDialog::receiveLocalSubject);
    row->setSkinColor(skinColor);
    row->subGroupName = subGroupName;
    row->groupName = groupName;
    return row;
}

void SelectSubjectsDialog::on_treeWidget_clicked(QModelIndex index)
{
    ui->treeWidget->setExpanded(index, !ui->treeWidget->isExpanded(index));
}

void SelectSubjectsDialog::on_pushButton_searchsubject_clicked()
{
    // Cleared first, the table lets go of the rows before they are deleted.
    ui->tableWidget->clear();
    ui->tableWidget->setColumnCount(1);
    ui->tableWidget->setRowCount(0);
    ui->tableWidget->horizontalHeader()->setStretchLastSection(true);
    qDeleteAll(searchRows);
    searchRows.clear();

    const QString text = ui->lineEdit_subject->text().simplified();
    for (const SelectSubjectCell *source : qAsConst(pTableWidgetList)) {
        qDebug() << text << "        pTableWidgetList.at(i)->SubName" << source->SubName;
        if (!source->SubName.contains(text))
            continue;
        qDebug() << "contansstr:" << source->SubName;
        // The state as the catalogue row has it, not looked at again.
        SelectSubjectCell *row = newRow(source->groupName, source->subGroupName);
        row->setData(source->directory(), source->SubName, source->packageAddress(), source->isInstalled());
        row->setLabelText(source->groupName + QStringLiteral("->") + source->subGroupName + QStringLiteral("->")
                          + source->SubName);
        const int at = ui->tableWidget->rowCount();
        ui->tableWidget->insertRow(at);
        ui->tableWidget->setCellWidget(at, 0, row);
        searchRows.append(row);
    }
}

void SelectSubjectsDialog::receiveLocalSubject(bool islocal, QString str)
{
    if (busy) {
        QMessageBox::about(nullptr, QStringLiteral("提示"), QStringLiteral("操作还未完成,请等待."));
        return;
    }
    if (!islocal) {
        downloadFile(str, 3);
        return;
    }
    PublicData::setValue(QStringLiteral("Data/DBPath"), str);
    emit sendCurrentDBPath(str);
}

void SelectSubjectsDialog::downloadFile(QString urlpath, int type)
{
    busy = true;
    downloadAddress = QUrl(urlpath);
    downloadType = type;
    qInfo().noquote() << QStringLiteral("下载科目:") << urlpath << type;
    if (type == 3) {
        urlpath.replace(QLatin1String("install_"), QLatin1String("installnew_"));
        downloadAddress = QUrl(urlpath);
    }
    downloadText = urlpath;
    packageFileName = QFileInfo(downloadAddress.path(QUrl::FullyDecoded)).fileName();
    // No name would put the package onto "data" itself.
    if (packageFileName.section(QLatin1Char('.'), 0, 0).isEmpty()) {
        installFailed(QStringLiteral("科目包地址没有文件名: %1").arg(urlpath), installFailedText);
        return;
    }
    writeError.clear();
    packageFile = new QFile(downloadFolder + QLatin1Char('/') + packageFileName);
    // Unbuffered: a write that fails says so at once.
    if (!packageFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const QString reason = QStringLiteral("无法写入科目包[%1]: %2").arg(packageFile->fileName(),
                                                                          packageFile->errorString());
        delete packageFile;
        packageFile = nullptr;
        installFailed(reason, installFailedText);
        return;
    }
    startRequest(downloadAddress);
}

void SelectSubjectsDialog::startRequest(const QUrl &url)
{
    reply = manager.get(QNetworkRequest(url));
    connect(reply, &QNetworkReply::finished, this, &SelectSubjectsDialog::httpFinished);
    connect(reply, &QNetworkReply::readyRead, this, &SelectSubjectsDialog::httpReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &SelectSubjectsDialog::updateDataReadProgress);
}

void SelectSubjectsDialog::httpReadyRead()
{
    auto *from = qobject_cast<QNetworkReply *>(sender());
    if (!from)
        from = reply;
    if (!packageFile || !from)
        return;
    const QByteArray data = from->readAll();
    if (!writeError.isEmpty() || data.isEmpty())
        return;
    if (packageFile->write(data) != data.size()) {
        writeError = packageFile->errorString();
        // Nothing more can be kept: the rest of the transfer is not wanted.
        // The abort reports the failure at once; this chunk's progress,
        // emitted after it, must not refill the emptied bar.
        disconnect(from, &QNetworkReply::downloadProgress, this, nullptr);
        from->abort();
    }
}

void SelectSubjectsDialog::httpFinished()
{
    auto *done = qobject_cast<QNetworkReply *>(sender());
    if (!done)
        done = reply;
    if (!done || !packageFile)
        return;
    httpReadyRead();
    if (writeError.isEmpty() && !packageFile->flush())
        writeError = packageFile->errorString();
    packageFile->close();
    QString reason;
    // A failed write cancels the transfer: it is the cause to report.
    if (!writeError.isEmpty())
        reason = QStringLiteral("科目包写入失败: %1").arg(writeError);
    else if (!ServiceReply::succeeded(done))
        reason = QStringLiteral("科目包下载失败: %1 HTTP %2")
                     .arg(done->errorString())
                     .arg(done->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    if (done == reply)
        reply = nullptr;
    done->deleteLater();
    delete packageFile;
    packageFile = nullptr;

    const QString packagePath = downloadFolder + QLatin1Char('/') + packageFileName;
    if (downloadType != 3 || !reason.isEmpty()) {
        QFile::remove(packagePath);
        if (downloadType == 3)
            installFailed(reason, installFailedText);
        busy = false;
        return;
    }
    startUnpacking();
}

void SelectSubjectsDialog::startUnpacking()
{
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(10);
    // Everything is unpacked and checked away from the subject first.
    staging = std::make_unique<QTemporaryDir>(downloadFolder + QLatin1Char('/') + stagingPrefix
                                              + QStringLiteral("XXXXXX"));
    if (!staging->isValid()) {
        const QString reason = QStringLiteral("无法建立安装目录: %1").arg(staging->errorString());
        staging.reset();
        QFile::remove(downloadFolder + QLatin1Char('/') + packageFileName);
        installFailed(reason, installFailedText);
        return;
    }
    unpacker = new PackageUnpacker(downloadFolder + QLatin1Char('/') + packageFileName, staging->path(), this);
    // 10 to 80 while unpacking.
    connect(unpacker, &PackageUnpacker::progress, this,
            [this](int percent) { ui->progressBar->setValue(10 + percent * 70 / 100); });
    connect(unpacker, &QThread::finished, this, &SelectSubjectsDialog::packageUnpacked);
    unpacker->start();
}

void SelectSubjectsDialog::packageUnpacked()
{
    QFile::remove(downloadFolder + QLatin1Char('/') + packageFileName);
    const int unpacked = unpacker->result();
    QString reason = unpacker->reason();
    const QString packageFolder = unpacker->packageFolder();
    const QString images = unpacker->imagesFolder();
    delete unpacker;
    unpacker = nullptr;
    const QString subjectDir = selectionMode == 1
        ? dataDir
        : dataDir + QLatin1Char('/') + packageFileName.section(QLatin1Char('.'), 0, 0);
    if (unpacked == 0)
        reason = installPackage(subjectDir, packageFolder, images);
    staging.reset();
    if (!reason.isEmpty()) {
        installFailed(reason, unpacked == SafeUnzip::tooLarge ? tooLargeText : installFailedText);
        return;
    }
    // Only an address that installed is fetched again at the next start.
    PublicData::setValue(QStringLiteral("DownLoadUrl/Url"), downloadText);
    qInfo().noquote() << QStringLiteral("科目已安装: %1").arg(subjectDir);
    emit sendCurrentDBPath(subjectDir);
    busy = false;
}

QString SelectSubjectsDialog::installPackage(const QString &subjectDir, const QString &packageFolder,
                                             const QString &stagedImages)
{
    const QString stagedBank = packageFolder + QLatin1Char('/') + SqliteClass::bankFileName();
    SqliteClass *store = SqliteClass::instance();
    if (store->checkBankFile(stagedBank) != 0)
        return QStringLiteral("科目包中的题库不可用: %1").arg(store->lastErrorText());
    ui->progressBar->setValue(80);

    // A subject directory made here counts as installed: a failure removes it.
    const bool created = !QFileInfo::exists(subjectDir);
    if (!QDir().mkpath(subjectDir) || !QFileInfo(subjectDir).isDir())
        return QStringLiteral("无法建立科目目录[%1]").arg(subjectDir);
    const auto undo = [&](const QString &why) {
        if (created)
            removeDirWithContent(subjectDir);
        return why;
    };
    // The images go in only with the bank.
    ImageFolderSwap images(subjectDir);
    QString reason;
    if (!images.stage(stagedImages, &reason))
        return undo(QStringLiteral("复制图片失败: %1").arg(reason));
    // A bank already there is kept beside it, never overwritten.
    const QString bankFile = subjectDir + QLatin1Char('/') + SqliteClass::bankFileName();
    QString keepOldAs;
    if (QFileInfo::exists(bankFile)) {
        const QString stem = bankFile + QLatin1Char('.')
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        keepOldAs = stem + QStringLiteral(".bak");
        for (int n = 1; QFileInfo::exists(keepOldAs) || QFileInfo::exists(keepOldAs + QStringLiteral("-journal")); ++n)
            keepOldAs = stem + QStringLiteral("-%1.bak").arg(n);
    }
    if (store->replaceBankFile(bankFile, stagedBank, keepOldAs) != 0)
        return undo(QStringLiteral("题库无法放入科目目录: %1").arg(store->lastErrorText()));
    if (!images.commit(&reason)) {
        // The old bank back with the old images.
        if (!keepOldAs.isEmpty() && store->replaceBankFile(bankFile, keepOldAs, QString()) == 0)
            QFile::remove(keepOldAs);
        return undo(QStringLiteral("图片无法放入科目目录: %1").arg(reason));
    }

    PublicData::setValue(QStringLiteral("Data/DBPath"), selectionMode == 1 ? dataDir : subjectDir);
    ui->progressBar->setValue(100);
    return QString();
}

void SelectSubjectsDialog::installFailed(const QString &reason, const QString &message)
{
    qWarning().noquote() << reason;
    if (packageFile) {
        packageFile->close();
        packageFile->remove();
        delete packageFile;
        packageFile = nullptr;
    }
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    // The rows that started it offer the download again.
    for (const QList<SelectSubjectCell *> &rows : {pTableWidgetList, searchRows})
        for (SelectSubjectCell *row : rows)
            if (!row->isInstalled() && QUrl(row->packageAddress()) == downloadAddress)
                row->setInstalled(false);
    busy = false;
    // A direct download that failed must not leave the user without a choice.
    if (selectionMode == 1)
        showCatalogue();
    tell(message);
}

void SelectSubjectsDialog::showCatalogue()
{
    selectionMode = 0;
    ui->label_title->setText(catalogueTitle);
    ui->widget_4->show();
    setWindowTitle(catalogueWindowTitle);
    ui->verticalLayout_5->setContentsMargins(catalogueMargins);
    resize(catalogueSize);
    requestCatalogue(ServiceUrl::url(QStringLiteral("/mobi/verData.php"), QStringLiteral("type=android"))
                         .toString(QUrl::FullyEncoded));
}

int SelectSubjectsDialog::clearDownloadFolder(const QString &folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::Readable
                                                                 | QDir::Writable | QDir::Hidden
                                                                 | QDir::NoDotAndDotDot,
                                                             QDir::Unsorted);
    int result = 0;
    for (const QFileInfo &entry : entries) {
        if (entry.filePath().contains(QLatin1String(".txt")))
            continue;
        const bool removed = entry.isDir() && !entry.isSymLink() ? removeDirWithContent(entry.filePath()) == 0
                                                                 : QFile::remove(entry.filePath());
        if (!removed) {
            qWarning().noquote() << QStringLiteral("无法删除[%1]").arg(entry.filePath());
            result = -1;
        }
    }
    return result;
}

void SelectSubjectsDialog::removeStagingFolders()
{
    const QFileInfoList folders = QDir(downloadFolderName).entryInfoList({stagingPrefix + QLatin1Char('*')},
                                                                         QDir::Dirs | QDir::Hidden
                                                                             | QDir::NoDotAndDotDot);
    for (const QFileInfo &folder : folders)
        if (!folder.isSymLink() && removeDirWithContent(folder.filePath()) != 0)
            qWarning().noquote() << QStringLiteral("无法删除[%1]").arg(folder.filePath());
}

void SelectSubjectsDialog::receiveDeleteSubject(QString datapaht)
{
    if (!isSubjectDirectory(datapaht) || SelectSubjectCell::isOpenSubject(datapaht)
        || removeDirWithContent(datapaht) != 0) {
        qWarning().noquote() << QStringLiteral("删除科目失败: %1").arg(datapaht);
        markInstalled(datapaht, true);
        tell(QStringLiteral("删除科目失败."));
        return;
    }
    markInstalled(datapaht, false);
}

void SelectSubjectsDialog::markInstalled(const QString &directory, bool installed)
{
    for (const QList<SelectSubjectCell *> &rows : {pTableWidgetList, searchRows})
        for (SelectSubjectCell *row : rows)
            if (row->directory() == directory)
                row->setInstalled(installed);
}

int SelectSubjectsDialog::removeDirWithContent(const QString &path)
{
    return DownLoadQThread().removeDirWithContent(path);
}

void SelectSubjectsDialog::on_pushButton_exit_clicked()
{
    if (!busy) {
        close();
        return;
    }
    exitConfirmation = new ChoiceDialog;
    connect(exitConfirmation, &ChoiceDialog::sendOk, this, &SelectSubjectsDialog::receiveChoiceDialogExitOk);
    exitConfirmation->setMessage(QStringLiteral("正在下载科目...您确定退出吗？"));
    exitConfirmation->setSkinColor(skinColor);
    exitConfirmation->show();
}

void SelectSubjectsDialog::receiveChoiceDialogExitOk()
{
    close();
}

void SelectSubjectsDialog::updateDataReadProgress(qlonglong current, qlonglong total)
{
    // Halved until the total fits the bar; an unknown total shows it busy.
    while (total > INT_MAX) {
        total /= 2;
        current /= 2;
    }
    ui->progressBar->setRange(0, int(qMax(0LL, total)));
    ui->progressBar->setValue(int(qBound(0LL, current, total)));
    // Without a total there is no percentage to show.
    if (selectionMode == 1 && !ui->progressBar->text().isEmpty())
        ui->label_title->setText(QStringLiteral("正在下载科目请稍候:%1...").arg(ui->progressBar->text()));
}

void SelectSubjectsDialog::tell(const QString &message)
{
    // Without a parent: a parent would make the frameless box a child widget.
    if (!messageBox)
        messageBox = new MyMessageBox;
    messageBox->setMessage(message);
    messageBox->setSkinColor(skinColor);
    messageBox->show();
}
