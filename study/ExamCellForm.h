#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class ExamCellForm;
}

// One question set in the question-bank page's table: number and name, the
// question total, the time of the newest answer, two rings (answered and
// answered right, each out of the total), a button that opens the set and a
// clear button that shows only while the mouse is over the row.
class ExamCellForm : public QWidget
{
    Q_OBJECT
public:
    ExamCellForm(QWidget *parent, const QString &skinColor);
    ~ExamCellForm() override;

    // The 1-based row number; the row keeps n - 1 as its index for good.
    void setRow(int n);
    void setCateId(int cateId);
    int cateId() const;
    // Shown as "<number>. <name>" (cut short in a narrow row, whole in its
    // tooltip); call setRow first.
    void setTitle(const QString &name);
    QString title() const;
    void setTotal(const QString &total);
    QString totalText() const;
    void setLastTime(const QString &text);
    QString lastTimeText() const;
    // Both rings take the total of setTotal, so call that first. Texts that
    // are no numbers count as 0 but show as they are.
    void setProgress(const QString &done, const QString &right);
    int doneCount() const;
    int rightCount() const;

signals:
    void sendSingle(int row);
    void sendclear(int cateId, int row);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private slots:
    void on_pushButton_learn_clicked();
    void on_pushButton_clear_clicked();

private:
    // "<number>. <name>", cut short with "…" when the row is too narrow.
    void showTitle();

    Ui::ExamCellForm *ui;
    int setId = 0;
    QString total;
    int rowIndex = 0;
    int answered = 0;
    int answeredRight = 0;
    QString skinColor;
    QString setName;
};
