#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class QuestionTypeTipDialog;
}

// The paper description shown when a paper has loaded: first one line per
// part, then, after the first "确定", the first part's description; the
// second "确定" closes it. It deletes itself when closed.
class QuestionTypeTipDialog : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionTypeTipDialog(QWidget *parent = nullptr);
    ~QuestionTypeTipDialog() override;

    void setPartNames(const QStringList &names);
    void setPartDescriptions(const QStringList &descriptions);

public slots:
    void clickConfirm();

private:
    Ui::QuestionTypeTipDialog *ui;
    QStringList partDescriptions;
    QStringList partNames;
    int pressCount = 0;
};
