#include "CollectionWidget.h"
#include "ui_CollectionWidget.h"

#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "SqliteClass.h"

CollectionWidget::CollectionWidget(QWidget *parent)
    : ReviewListPage(4, parent), ui(new Ui::CollectionWidget)
{
    ui->setupUi(this);
    connect(worker(), &DataToUiThreadClass::sendMarkQuestion, this, &CollectionWidget::receiveThreadMarkQuestion);
    // The store sends every page's rows: only this page's own are taken.
    worker()->connectOwnRows(SqliteClass::instance(), &SqliteClass::sendCollectoQuestion, this, &CollectionWidget::receiveMarkQuestion);
    attachForm({ui->label_message, ui->widget, ui->tableWidget, ui->widget_cell});
}

CollectionWidget::~CollectionWidget()
{
    releaseWorker();
    delete ui;
}

void CollectionWidget::receiveMarkQuestion(int queindex, MainQuestion *mainquestion)
{
    takeRow(queindex, mainquestion);
}

void CollectionWidget::receiveThreadMarkQuestion(int ret)
{
    takeEnd(ret);
}
