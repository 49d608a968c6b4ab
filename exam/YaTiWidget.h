#pragma once

#include <QList>
#include <QModelIndex>
#include <QPointer>
#include <QString>
#include <QWidget>

class ChoiceDialog;
class MyMessageBox;
class NewTalkExamForm;
class SqliteData;
class YtRadioExamForm;

namespace Ui {
class YaTiWidget;
}

// The prediction papers page: the bank's papers, one row each, opened as
// exams. The product with two variants of papers asks the user once which
// variant to list and keeps the answer in Config.ini AppModel/IsChoose.
class YaTiWidget : public QWidget
{
    Q_OBJECT
public:
    explicit YaTiWidget(QWidget *parent = nullptr);
    ~YaTiWidget() override;

    // Only kept: the rows take it when the list is built.
    void setSkinColor(const QString &color);
    // Every visit: lists the papers, or asks for the variant first.
    void initPage();
    // Variant 0 lists every paper.
    void buildPaperList(int variant);

public slots:
    void receiveRadioExam(int buttontype, int index, QString text);
    void receiveChooseOK();
    void on_tableWidget_activated(QModelIndex index);
    void receiveCellState(int id, int cateid);

private:
    void openPaper(int paperId, const QString &busyMessage);

    Ui::YaTiWidget *ui;
    QString skinColor;
    // The windows below delete themselves when they close.
    QPointer<NewTalkExamForm> examForm;
    QList<SqliteData *> papers;
    QPointer<YtRadioExamForm> radioForm;
    int variant = 0;
    QPointer<ChoiceDialog> choiceDialog;
    MyMessageBox *messageBox = nullptr;
};
