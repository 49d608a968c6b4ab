#pragma once

#include <QModelIndex>
#include <QPointer>
#include <QString>
#include <QWidget>

class ChoiceDialog;

namespace Ui {
class LearnReportWidget;
}

// The study-report page: the saved exam records of one kind, newest first,
// in two tabs; a chosen record's title, counts and report in the embedded
// viewer; deletion after confirmation.
class LearnReportWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LearnReportWidget(QWidget *parent = nullptr);
    ~LearnReportWidget() override;

    void setSkinColor(const QString &color);
    // Back to the first tab with a fresh list and an empty viewer.
    void reload();
    void showRecordList(int kind);

public slots:
    void receiveCellState(int state, int examid, int row);

private slots:
    void on_pushButton_talk_clicked();
    void on_pushButton_noni_clicked();
    void on_tableWidget_clicked(QModelIndex index);
    void receiveOK();

private:
    void styleTabs(bool firstSelected);

    Ui::LearnReportWidget *ui;
    int pendingRow = -1;
    QString skinColor;
    // The dialog deletes itself when it closes.
    QPointer<ChoiceDialog> choiceDialog;
    int pendingId = -1;
};
