#pragma once

#include <QWidget>

class QMovie;

namespace Ui {
class WaitingForm;
}

// The busy overlay a window lays over itself while a worker job runs: a
// dark veil with a turning animation and "正在加载请稍候...". As a child on top
// of its owner it keeps the mouse from the owner's widgets; the owner places
// it with setGeometry, shows it, closes (hides) it and keeps it for reuse.
class WaitingForm : public QWidget
{
    Q_OBJECT
public:
    explicit WaitingForm(QWidget *parent = nullptr);
    ~WaitingForm() override;

private:
    Ui::WaitingForm *ui;
    // Runs for the overlay's whole life, also while it is hidden.
    QMovie *movie;
};
