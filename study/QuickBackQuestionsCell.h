#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class QuickBackQuestionsCell;
}

// One question set in the quick-memorisation table: "【n】 name" and the
// button that opens the set with its answers.
class QuickBackQuestionsCell : public QWidget
{
    Q_OBJECT
public:
    explicit QuickBackQuestionsCell(QWidget *parent = nullptr);
    ~QuickBackQuestionsCell() override;

    void setTitle(int number, const QString &name);
    QString title() const;
    // The set's id as the store delivered it (decimal text).
    void setCateId(const QString &cateId);
    QString cateIdText() const;
    void setButtonStyle(const QString &styleSheet);

protected:
    void resizeEvent(QResizeEvent *event) override;

signals:
    void sendQuickBackQuestionCateId(int cateId, QString title);

private slots:
    void on_pushButton_clicked();

private:
    // A title wider than its row ends in "…"; the whole one is the tooltip.
    void showTitle();

    Ui::QuickBackQuestionsCell *ui;
    QString cateId;
    QString fullTitle;
};
