#include "UserTextWidget.h"
#include "ui_UserTextWidget.h"

#include "DataToUiThreadClass.h"
#include "MainQuestion.h"
#include "SqliteClass.h"

UserTextWidget::UserTextWidget(QWidget *parent)
    : ReviewListPage(5, parent), ui(new Ui::UserTextWidget)
{
    ui->setupUi(this);
    connect(worker(), &DataToUiThreadClass::sendNoteQuestion, this, &UserTextWidget::receiveThreadNoteQuestion);
    // The store sends every page's rows: only this page's own are taken.
    worker()->connectOwnRows(SqliteClass::instance(), &SqliteClass::sendNoteQuestion, this, &UserTextWidget::receiveNoteQuestion);
    attachForm({ui->label_message, ui->widget, ui->tableWidget, ui->widget_cell});
}

UserTextWidget::~UserTextWidget()
{
    releaseWorker();
    delete ui;
}

void UserTextWidget::receiveNoteQuestion(int queindex, MainQuestion *mainquestion)
{
    takeRow(queindex, mainquestion);
}

void UserTextWidget::receiveThreadNoteQuestion(int ret)
{
    takeEnd(ret);
}
