#pragma once

#include <QWidget>

namespace Ui {
class FontBk;
}

// The practice page's font-size pop-up: 大, 中 and 小 send 14, 12 and 10
// points. It stays open after a choice and hides when the mouse leaves; a
// click elsewhere only hides it.
class FontBk : public QWidget
{
    Q_OBJECT
public:
    explicit FontBk(QWidget *parent = nullptr);
    ~FontBk() override;

signals:
    void sendFontData(int pointSize);

protected:
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void receiveButtonSLot();

private:
    Ui::FontBk *ui;
};
