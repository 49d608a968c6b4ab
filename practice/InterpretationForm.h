#pragma once

#include <QWidget>

namespace Ui {
class InterpretationForm;
}

// The picture that explains the question types while the pointer rests on
// the practice page's "题型解释" label; it hides when the pointer leaves it.
// Its owner deletes it.
class InterpretationForm : public QWidget
{
    Q_OBJECT
public:
    explicit InterpretationForm(QWidget *parent = nullptr);
    ~InterpretationForm() override;

protected:
    void leaveEvent(QEvent *event) override;

private:
    Ui::InterpretationForm *ui;
};
