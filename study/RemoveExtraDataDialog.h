#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QVBoxLayout;

// Tidies the open bank: broken chapter-tree nodes, then the groups, options
// and questions left hanging on nothing. The home page runs it once per bank
// without showing it; the bar and label are there for a caller that does.
class RemoveExtraDataDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RemoveExtraDataDialog(QWidget *parent = nullptr);

    // The four clean-up steps in order; -1 at the first that fails (the
    // steps before it stay done), else 0.
    int run();

private:
    QVBoxLayout *verticalLayout;
    QProgressBar *progressBar;
    QLabel *label;
};
