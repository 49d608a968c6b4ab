#pragma once

#include <QDateTime>
#include <QWidget>

namespace Ui {
class HomePageTableCell;
}

// One row of the home page's recent-study table: where the user last
// studied, when, and a button to go on there.
class HomePageTableCell : public QWidget
{
    Q_OBJECT
public:
    explicit HomePageTableCell(QWidget *parent = nullptr);
    ~HomePageTableCell() override;

    void setData(int row, const QString &parentName, const QString &chapterName,
                 const QString &questionText, const QDateTime &time);
    void setSkinColor(const QString &color);

signals:
    void sendTableCellData(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_pushButton_learn_clicked();

private:
    void showText();

    Ui::HomePageTableCell *ui;
    int row = 0;
    QString text; // the whole line; the label may show it shortened
    bool laidOut = false;
};
