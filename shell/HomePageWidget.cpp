#include "HomePageWidget.h"
#include "ui_HomePageWidget.h"

#include "ConfigIni.h"
#include "DataToUiThreadClass.h"
#include "HomePageTableCell.h"
#include "MyMessageBox.h"
#include "PublicData.h"
#include "RemoveExtraDataDialog.h"
#include "SetExamTime.h"
#include "Skin.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QDebug>
#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QUrl>

namespace {

// Our own web site; the service pages below live on it.
const QString makerSite = QStringLiteral("http://www.velmora.example");

struct ServiceLink
{
    const char *key;  // under "ContactUs/"
    const char *path; // on the maker's site
    const char *icon; // beside the built-in caption
    const char *caption;
};

const ServiceLink serviceLinks[] = {
    {"Hygienicqualification", "/app", ":/HomePage/images/HomePage/Hygienicqualification.png", "手机版下载"},
    {"Physicianqualification", "/chanpin", ":/HomePage/images/HomePage/Physicianqualification.png", "更多辅导产品"},
    {"Licensedpharmacist", "/gift.html", ":/HomePage/images/HomePage/Licensedpharmacist.png", "领取活动礼包"},
};

QString contactKey(const ServiceLink &link)
{
    return QStringLiteral("ContactUs/") + QLatin1String(link.key);
}

QString defaultAddress(const ServiceLink &link)
{
    return makerSite + QLatin1String(link.path);
}

// Rewrites all three addresses when the first is not the default.
void writeLinkDefaults(ConfigIni &ini)
{
    if (ini.text(contactKey(serviceLinks[0])) == defaultAddress(serviceLinks[0]))
        return;
    for (const ServiceLink &link : serviceLinks)
        ini.setValue(contactKey(link), defaultAddress(link));
}

const QString examTimeKey = QStringLiteral("ExamTime");
const QString examDateFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

HomePageWidget::HomePageWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::HomePageWidget)
{
    ui->setupUi(this);
    QTableWidget *table = ui->tableWidget;
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setVisible(false);
    table->verticalHeader()->setVisible(false);

    ConfigIni ini;
    const int logoType = ini.value(QStringLiteral("Logo/Type")).toInt();
    if (logoType == 0 || logoType == 2)
        writeLinkDefaults(ini);
    if (logoType != 1)
        dressServiceLinks();
    // Once per bank: a failed run is tried again at the next start.
    if (ini.value(QStringLiteral("Remove/Type")).toInt() != 1 && removeExtraData() != -1)
        ini.setValue(QStringLiteral("Remove/Type"), 1);
}

HomePageWidget::~HomePageWidget()
{
    if (worker)
        worker->releaseOwner(this); // rows still queued here become records released below
    worker.reset();
    releaseRecords();
    delete ui;
}

void HomePageWidget::dressServiceLinks()
{
    ui->label_new_6->setText(QStringLiteral(
        "<html><head/><body><p><span style=\" font-size:14pt; font-weight:600;\">用户服务专区</span></p></body></html>"));
    const PublicData *data = PublicData::instance();
    const QStringList captions{data->proxyButtonText1, data->proxyButtonText2, data->proxyButtonText3};
    const bool agent = !captions.first().isEmpty();
    const QString agentIcon = data->proxyButtonBase + QStringLiteral("_%1.png");
    const bool agentIcons = agent && QFile::exists(agentIcon.arg(1));
    QPushButton *const buttons[] = {ui->pushButton, ui->pushButton_2, ui->pushButton_3};
    for (int i = 0; i < 3; ++i) {
        const ServiceLink &link = serviceLinks[i];
        buttons[i]->setIcon(QIcon(agentIcons ? agentIcon.arg(i + 1) : QString::fromLatin1(link.icon)));
        buttons[i]->setText(QStringLiteral("    ") + (agent ? captions.at(i) : QString::fromUtf8(link.caption)));
    }
}

int HomePageWidget::removeExtraData()
{
    // Never shown: the clean-up runs to its end here, before the page is.
    auto *cleanupDialog = new RemoveExtraDataDialog;
    cleanupDialog->setModal(true);
    const int result = cleanupDialog->run();
    cleanupDialog->close();
    return result;
}

int HomePageWidget::initData()
{
    if (!worker) {
        worker = std::make_unique<DataToUiThreadClass>();
        worker->setParent(this); // found as the page's child; still deleted first by the destructor
        connect(worker.get(), &DataToUiThreadClass::sendSqliteClass, this, &HomePageWidget::receiveThreadRet);
        connect(worker.get(), &DataToUiThreadClass::sendtQueLogAnswerHistory, this,
                &HomePageWidget::receivetQueLogAnswerHistory);
    }
    if (loading)
        return 0;

    SqliteClass *store = SqliteClass::instance();
    const int total = store->questionCount();
    const int done = store->doneCount();
    const int right = store->rightCount();
    ui->progress_study_progress->setRange(0, total);
    ui->progress_study_progress->setValue(done);
    ui->progress_right_rate->setRange(0, done == 0 ? 100 : done);
    ui->progress_right_rate->setValue(right);
    ui->label_text->setText(
        QStringLiteral("总题数: %1\t已做题数: %2\t正确题数: %3\t错误题数: <font color=\"#FF0000\">%4</font>")
            .arg(total)
            .arg(done)
            .arg(right)
            .arg(done - right));

    releaseRecords();
    ui->tableWidget->clear();
    ui->tableWidget->setColumnCount(1);
    ui->tableWidget->setRowCount(0);

    worker->setJob(13, 0);
    loading = true;
    worker->start(QThread::InheritPriority);
    return 0;
}

void HomePageWidget::receivetQueLogAnswerHistory(int index, SqliteData *record, QString parentName,
                                                 QString questionText)
{
    // Rows come in index order; a gap means a choice released the earlier
    // rows of this load, and a late row would take another row's place.
    if (index < 0 || index != records.size()) {
        delete record;
        return;
    }
    auto *cell = new HomePageTableCell;
    connect(cell, &HomePageTableCell::sendTableCellData, this, &HomePageWidget::receiveTableCellData);
    cell->setData(index, parentName, record->text1, questionText, record->dateTime);
    cell->setSkinColor(skinColor);
    ui->tableWidget->insertRow(index);
    ui->tableWidget->setCellWidget(index, 0, cell);
    ui->tableWidget->setRowHeight(index, 80);
    records.append(record);
    parentNames.append(parentName);
}

void HomePageWidget::receiveTableCellData(int row)
{
    if (row < 0 || row >= records.size())
        return;
    emit sendSqliteData(records.at(row), 2, parentNames.at(row));
    releaseRecords();
}

void HomePageWidget::on_tableWidget_doubleClicked(const QModelIndex &index)
{
    receiveTableCellData(index.row());
}

void HomePageWidget::receiveThreadRet(int)
{
    // The end signal comes from inside run(): the thread may still be returning.
    worker->wait();
    loading = false;
    updateStudyState();
}

int HomePageWidget::updateStudyState()
{
    if (records.isEmpty()) {
        ui->label_studystate->setText(QStringLiteral("开启您的学习之旅吧!"));
        ui->stackedWidget->setCurrentIndex(1);
    } else {
        ui->stackedWidget->setCurrentIndex(0);
        const int days = qAbs(daysFromToday(records.first()->dateTime.date()));
        if (days == 0)
            ui->label_studystate->setText(QStringLiteral("今天已经学习过了，真勤快!"));
        else if (days == 1)
            ui->label_studystate->setText(QStringLiteral("您昨天来学习过,继续保持哦!"));
        else
            ui->label_studystate->setText(QStringLiteral("您已经[%1]天没来学习，今天要努力了！").arg(days));
    }

    QDate examDate;
    const int result = readExamDate(examDate);
    if (examDate.isValid())
        showCountdown(daysFromToday(examDate));
    return result;
}

int HomePageWidget::daysFromToday(const QDate &date)
{
    return int(QDate::currentDate().daysTo(date));
}

int HomePageWidget::readExamDate(QDate &date)
{
    SqliteClass *store = SqliteClass::instance();
    SqliteData *row = nullptr;
    const int result = store->readConfigTable(examTimeKey, row);
    const std::unique_ptr<SqliteData> owned(row);
    if (result == -1)
        qDebug().noquote() << store->lastErrorText();
    else if (row)
        date = QDate::fromString(row->text0, examDateFormat);
    return result;
}

void HomePageWidget::showCountdown(int days)
{
    ui->pushbutton_examtime->setText(QStringLiteral("距离考试还有%1天").arg(days));
}

void HomePageWidget::on_pushbutton_examtime_clicked()
{
    auto *examDialog = new SetExamTime;
    examDialog->setSkinColor(skinColor);
    connect(examDialog, &SetExamTime::sendDateTime, this, &HomePageWidget::receiveDateTime);
    QDate stored;
    readExamDate(stored);
    if (stored.isValid()) {
        examDialog->setDate(stored);
        const int days = daysFromToday(stored);
        if (days < 0)
            showCountdown(days);
    }
    examDialog->show();
}

void HomePageWidget::receiveDateTime(QDate date)
{
    const int days = daysFromToday(date);
    if (days <= 0) {
        messageBox = std::make_unique<MyMessageBox>();
        messageBox->setSkinColor(skinColor);
        messageBox->setMessage(QStringLiteral("考试时间已过期,请重新设置."));
        messageBox->show();
        return;
    }
    SqliteClass *store = SqliteClass::instance();
    SqliteData row;
    row.text0 = date.toString(examDateFormat);
    if (store->InsertOrUpdateConfigTable(examTimeKey, &row) == -1) {
        qDebug().noquote() << store->lastErrorText();
        return;
    }
    showCountdown(days);
}

void HomePageWidget::openServiceLink(int link)
{
    const QString address = ConfigIni::readText(contactKey(serviceLinks[link]));
    if (!address.isEmpty())
        QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void HomePageWidget::on_pushButton_clicked()
{
    openServiceLink(0);
}

void HomePageWidget::on_pushButton_2_clicked()
{
    openServiceLink(1);
}

void HomePageWidget::on_pushButton_3_clicked()
{
    openServiceLink(2);
}

void HomePageWidget::on_pushButton_startlearn_clicked()
{
    emit sendStartlearn();
}

void HomePageWidget::setSkinColor(const QString &color)
{
    skinColor = color;
    const QString hover = skinHoverColor(color);
    const QString barSheet = QStringLiteral(
        "QProgressBar{border:none;background-color: rgb(230, 230, 230);border-radius:7px;text-align:center;"
        "min-height:15px;}QProgressBar::chunk {background-color: rgb(%1);border-radius:7px;}").arg(color);
    ui->progress_study_progress->setStyleSheet(barSheet);
    ui->progress_right_rate->setStyleSheet(barSheet);
    ui->pushButton_startlearn->setStyleSheet(
        QStringLiteral("QPushButton{background-color: rgb(%1);border-radius:5px;color: rgb(255, 255, 255);"
                       "font: 16pt \"微软雅黑\";}QPushButton:hover{background-color: rgb(%2);}")
            .arg(color, hover));
    ui->pushbutton_examtime->setStyleSheet(
        QStringLiteral("QPushButton{border-radius:5px;max-height:34px;min-width:176px;max-width:176px;"
                       "min-height:34px;font: 12pt \"微软雅黑\";background-color: rgb(%1);"
                       "color: rgb(255, 255, 255);}QPushButton:hover{background-color: rgb(%2);}")
            .arg(color, hover));
}

void HomePageWidget::releaseRecords()
{
    qDeleteAll(records);
    records.clear();
    parentNames.clear();
}
