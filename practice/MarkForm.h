#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class MarkForm;
}

// One row of the question list's side list: the answer, favourite and note
// marks, then the question's number and text. It takes no input: a click on
// it is a click on its table row.
class MarkForm : public QWidget
{
    Q_OBJECT
public:
    explicit MarkForm(QWidget *parent = nullptr);
    ~MarkForm() override;

    void setFavoriteIcon(bool on);
    void setNoteIcon(bool on);
    // 1 right, 2 wrong; any other value is kept as 0 and clears the mark.
    void setStateIcon(int state);
    // The whole text goes to the tooltip; the label shows what fits, cut
    // with an ellipsis.
    void setTitle(const QString &text);
    int state() const { return answerState; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTitle();

    Ui::MarkForm *ui;
    int answerState = 0;
    QString title;
};
