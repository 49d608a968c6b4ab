#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class YaTiCell;
}

// One prediction paper in the list: its name and the button that opens it.
class YaTiCell : public QWidget
{
    Q_OBJECT
public:
    explicit YaTiCell(QWidget *parent = nullptr);
    ~YaTiCell() override;

    void setSkinColor(const QString &color);
    void setPaper(int row, int cateId, const QString &name);

signals:
    void sendYaTiCell(int row, int cateId);

private slots:
    void on_pushButton_startquestion_clicked();

private:
    Ui::YaTiCell *ui;
    int rowNumber = 0;
    int paperId = 0;
    QString skinColor;
};
