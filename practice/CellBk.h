#pragma once

#include <QList>
#include <QWidget>

class QPushButton;

namespace Ui {
class CellBk;
}

// The practice page's background picker: eight swatches, each sending its
// image name and its reading-area colour. It stays open after a choice and
// hides when the mouse leaves; its owner deletes it.
class CellBk : public QWidget
{
    Q_OBJECT
public:
    explicit CellBk(QWidget *parent = nullptr);
    ~CellBk() override;

signals:
    void sendBkData(QString image, QString color);

protected:
    void leaveEvent(QEvent *event) override;

private slots:
    void receiveBkButtonSLot();

private:
    QList<QPushButton *> buttons() const;

    Ui::CellBk *ui;
};
