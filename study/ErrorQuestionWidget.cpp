#include "ErrorQuestionWidget.h"
#include "ui_ErrorQuestionWidget.h"

#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "SqliteClass.h"

ErrorQuestionWidget::ErrorQuestionWidget(QWidget *parent)
    : ReviewListPage(3, parent), ui(new Ui::ErrorQuestionWidget)
{
    ui->setupUi(this);
    connect(worker(), &DataToUiThreadClass::sendErrorQuestion, this, &ErrorQuestionWidget::receiveThreadErrorQuestion);
    // The store sends every page's rows: only this page's own are taken.
    worker()->connectOwnRows(SqliteClass::instance(), &SqliteClass::sendErrorQuestion, this, &ErrorQuestionWidget::receiveErrorQuestion);
    attachForm({ui->label_message, ui->widget, ui->tableWidget, ui->widget_cell});
}

ErrorQuestionWidget::~ErrorQuestionWidget()
{
    releaseWorker();
    delete ui;
}

void ErrorQuestionWidget::receiveErrorQuestion(int queindex, MainQuestion *mainquestion)
{
    takeRow(queindex, mainquestion);
}

void ErrorQuestionWidget::receiveThreadErrorQuestion(int ret)
{
    takeEnd(ret);
}
