#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class DataToUiThreadClass;
class MainQuestion;
class QModelIndex;
class SqliteData;

namespace Ui {
class FindQuestionWidget;
}

// Page 7, the search: the bank's questions whose text holds a keyword, with
// their chapter; a clicked hit is shown on the right with the keyword in
// red, judged but never recorded.
class FindQuestionWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FindQuestionWidget(QWidget *parent = nullptr);
    ~FindQuestionWidget() override;

    void setSkinColor(const QString &color);
    // On every page switch: no hits, no question shown; the keyword typed and
    // the header stay.
    void resetPage();

public slots:
    void on_btnSearch_clicked();
    void recieveFindQuestion(SqliteData *data);
    void receiveFindQuestions(int ret);
    void on_tableWidget_clicked(const QModelIndex &index);
    void receiveClicked(int row);

private slots:
    void receiveJobStarted(int generation);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool currentSearch() const;
    // The count in the first header shows whole as long as the chapter
    // column can make room for it.
    void fitChapterColumn();

    Ui::FindQuestionWidget *ui;
    DataToUiThreadClass *worker = nullptr;
    QList<SqliteData *> hits;
    MainQuestion *shownRecord = nullptr;
    QString skinColor;
    // The simplified keyword of the last search started: the rows, the view
    // and the header all paint this one, whatever the line edit holds now.
    QString searchedKeyword;
    bool handlingClick = false;
    int arrivingGeneration = -1;
};
