#pragma once

#include <QList>
#include <QWidget>

class LabelForm;

namespace Ui {
class NewTalkExamCell;
}

// One section of the answer card: the part's name in a header that folds
// the number area away, and one numbered button per question, five to a row.
// Button k is the question with id k of the part.
class NewTalkExamCell : public QWidget
{
    Q_OBJECT
public:
    explicit NewTalkExamCell(QWidget *parent = nullptr);
    ~NewTalkExamCell() override;

    void setTitle(const QString &title);
    // The part index sent with every click.
    void setSectionIndex(int index);
    // The number text the next added button gets.
    void setPendingNumber(const QString &number);
    void addNumber(int id);
    int questionCount() const;

    // The exam window computes k from its moves; a k outside the buttons
    // does nothing.
    void clickNumber(int k);
    void setNumberState(int k, int state);

    // Texts of the buttons in state 0, in button order (as shown: "26.1").
    QStringList unansweredNumbers() const;
    // Texts shown on the first and last button; empty without buttons.
    QString firstNumberText() const;
    QString lastNumberText() const;

signals:
    void sendNewTalkExam(int section, int id, QString number);

public slots:
    void receiveLabelForm(int id, QString number);

private slots:
    void on_toolButton_clicked(bool checked);

private:
    LabelForm *button(int k) const;

    Ui::NewTalkExamCell *ui;
    int sectionIndex = 0;
    QString pendingNumber;
    QList<LabelForm *> buttons;
    int columns = 5;
};
