#pragma once

#include <QWidget>

namespace Ui {
class LabelForm;
}

// One numbered button of the answer card. Its colour tells the question's
// state; a click asks for the question and never changes the state itself.
class LabelForm : public QWidget
{
    Q_OBJECT
public:
    explicit LabelForm(QWidget *parent = nullptr);
    ~LabelForm() override;

    void setId(int id);
    // 0 grey (not answered), 1 orange (shown, or wrong after grading),
    // 2 blue (answered, or right after grading); other states no colour.
    void setState(int state);
    int state() const;
    // A sub-number below 10 loses its leading zero: "26.01" shows "26.1".
    void setNumberText(const QString &text);
    QString text() const;
    // Clicks the button as the user would.
    void click();

signals:
    void sendClecked(int id, QString number);

private slots:
    void on_pushButton_clicked(bool checked);

private:
    Ui::LabelForm *ui;
    int id = 0;
    int buttonState = 0;
    QString numberText;
};
