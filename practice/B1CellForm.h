#pragma once

#include <QStringList>
#include <QWidget>

class MainQuestion;
class OptionData;

namespace Ui {
class B1CellForm;
}

// A shared-option group (type 7): the stem, the table of lettered options
// and one B1CellOptionForm per question, whose signals it relays.
class B1CellForm : public QWidget
{
    Q_OBJECT
public:
    explicit B1CellForm(QWidget *parent = nullptr);
    ~B1CellForm() override;

    // Skin "r,g,b,a" for the number and type labels and the sub-questions;
    // called before setData.
    void setStyle(const QString &skin);
    // The search keyword painted in fill mode 2.
    void setKeyword(const QString &keyword);
    // Fill mode 0 practice, 1 exam, 2 browse (a search hit); called once.
    void setData(int sourceKind, const QString &numberText, int number, MainQuestion *group, int fillMode);
    void showAllAnswers();
    // The state the last sub-question reported: 0 none, 1 right, 2 wrong.
    int answerState() const { return state; }

signals:
    void sendB1State(int id, int state, QString answer);
    void sendChangeError(int titletype, int queid, QString queText);

public slots:
    void receiveAnswerState(int id, int state, QString answer);
    void receiveChangeError(int titletype, int queid, QString quetext);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillOptionTable(const QList<OptionData *> &options);
    void fitOptionRows();

    Ui::B1CellForm *ui;
    QString skinColor;
    int fillMode = 0;
    int state = 0;
    QStringList letters;
    QString keyword;
};
