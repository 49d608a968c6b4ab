#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class DataToUiThreadClass;
class QModelIndex;
class SqliteData;
class ViewReport;

namespace Ui {
class QuickBackQuestions;
}

// Page 9 of the main window, quick memorisation: the chapter tree (loaded
// once, every chapter unfolded) on the left, the question sets of the chosen
// section on the right. Opening a set lists its questions with their right
// answers in one report window that the page keeps and reuses.
class QuickBackQuestions : public QWidget
{
    Q_OBJECT
public:
    explicit QuickBackQuestions(QWidget *parent = nullptr);
    // Stops a section load still running and deletes the listing window.
    ~QuickBackQuestions() override;

    // Styles the tree and the table; rows already listed keep their button
    // colour until their section is loaded again.
    void setSkinColor(const QString &color);

public slots:
    void receiveQuickBackQuestionCateId(int cateid, QString title);
    void receiveQuestionBycate_Id(SqliteData *data);

private slots:
    void on_treeWidget_clicked(const QModelIndex &index);
    void on_tableWidget_doubleClicked(const QModelIndex &index);

private:
    void loadChapterTree();
    void prepareTable();
    void loadSets(int sectionId);
    void openListing(const QString &title, int setId);
    QString cellButtonStyle() const;

    Ui::QuickBackQuestions *ui;
    DataToUiThreadClass *worker = nullptr;
    // Parentless, a window of its own; the page deletes it with itself.
    QPointer<ViewReport> listingWindow;
    QString skinColor;
    int loadedSetCount = 0;
    // Of the job whose rows arrive now; rows of a superseded load carry an
    // older one and are dropped.
    int arrivingGeneration = -1;
};
