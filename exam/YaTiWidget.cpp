#include "YaTiWidget.h"
#include "ui_YaTiWidget.h"

#include "ChoiceDialog.h"
#include "ConfigIni.h"
#include "MyMessageBox.h"
#include "NewTalkExamForm.h"
#include "ProductCodes.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "YaTiCell.h"
#include "YtRadioExamForm.h"

#include <QDebug>
#include <QHeaderView>

namespace {

const char variantKey[] = "AppModel/IsChoose";
constexpr int predictionPaperMode = 2;

} // namespace

YaTiWidget::YaTiWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::YaTiWidget)
{
    ui->setupUi(this);
    QTableWidget *table = ui->tableWidget;
    table->horizontalHeader()->setVisible(false);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setFocusPolicy(Qt::NoFocus);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(false);
}

YaTiWidget::~YaTiWidget()
{
    qDeleteAll(papers);
    delete messageBox;
    delete ui;
}

void YaTiWidget::setSkinColor(const QString &color)
{
    skinColor = color;
}

void YaTiWidget::initPage()
{
    variant = ConfigIni::readText(QLatin1String(variantKey)).toInt();
    SqliteClass *store = SqliteClass::instance();
    QString code;
    QString memo;
    if (store->readSysConfig(QStringLiteral("sysTypeGoods"), code, memo) == -1) {
        qDebug().noquote() << store->lastErrorText();
        code.clear();
    }
    if (code != ProductCodes::predictionVariantCode()) {
        buildPaperList(0);
    } else if (variant != 0) {
        buildPaperList(variant);
    } else {
        auto *form = new YtRadioExamForm;
        radioForm = form;
        form->setSkinColor(skinColor);
        connect(form, &YtRadioExamForm::sendRadioExam, this, &YaTiWidget::receiveRadioExam);
        form->show();
        // Without a parent it opens where the platform puts it (at the
        // screen's corner without a window manager): over the main window.
        QRect placed = form->frameGeometry();
        placed.moveCenter(window()->frameGeometry().center());
        form->move(placed.topLeft());
    }
}

void YaTiWidget::receiveRadioExam(int buttontype, int index, QString text)
{
    if (buttontype != 0 || index == 0)
        return;
    variant = index;
    // The window last opened; an older one may answer after it is gone.
    if (radioForm)
        radioForm->close();
    auto *dialog = new ChoiceDialog;
    choiceDialog = dialog;
    connect(dialog, &ChoiceDialog::sendOk, this, &YaTiWidget::receiveChooseOK);
    dialog->setSkinColor(skinColor);
    dialog->setMessage(QStringLiteral("您选择的是[%1]请再次确认,一旦确认不可更改.").arg(text));
    dialog->show();
}

void YaTiWidget::receiveChooseOK()
{
    ConfigIni::write(QLatin1String(variantKey), variant);
    buildPaperList(variant);
}

void YaTiWidget::buildPaperList(int paperVariant)
{
    qDeleteAll(papers);
    papers.clear();
    SqliteClass *store = SqliteClass::instance();
    if (store->paperChapters(papers, 0, paperVariant) == -1) {
        qDebug().noquote() << store->lastErrorText();
        qDeleteAll(papers);
        papers.clear();
        return;
    }
    QTableWidget *table = ui->tableWidget;
    table->clear();
    table->setColumnCount(1);
    table->setRowCount(papers.size());
    for (int i = 0; i < papers.size(); ++i) {
        auto *cell = new YaTiCell;
        cell->setSkinColor(skinColor);
        connect(cell, &YaTiCell::sendYaTiCell, this, &YaTiWidget::receiveCellState);
        cell->setPaper(i, papers.at(i)->text0.toInt(), papers.at(i)->text1);
        table->setCellWidget(i, 0, cell);
        table->setRowHeight(i, 50);
    }
}

void YaTiWidget::on_tableWidget_activated(QModelIndex index)
{
    // After a failed query the table keeps rows the paper list no longer has.
    if (index.row() < 0 || index.row() >= papers.size())
        return;
    openPaper(papers.at(index.row())->text0.toInt(), QStringLiteral("不能同时打开两个考试窗口!"));
}

void YaTiWidget::receiveCellState(int id, int cateid)
{
    Q_UNUSED(id)
    openPaper(cateid, QStringLiteral("不能同时打开两个考试窗口."));
}

void YaTiWidget::openPaper(int paperId, const QString &busyMessage)
{
    SqliteClass *store = SqliteClass::instance();
    if (store->isExamWindowOpen()) {
        if (!messageBox)
            messageBox = new MyMessageBox;
        messageBox->setSkinColor(skinColor);
        messageBox->setMessage(busyMessage);
        messageBox->show();
        return;
    }
    store->setExamWindowOpen(true);
    auto *form = new NewTalkExamForm;
    examForm = form;
    form->show();
    form->setSkinColor(skinColor);
    form->startPredictionPaper(paperId, predictionPaperMode);
}
