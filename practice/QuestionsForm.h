#pragma once

#include <QWidget>

class SqliteData;

// The question list of one question set. It stands in until it is built: it shows its title and logs each call.
class QuestionsForm : public QWidget
{
    Q_OBJECT
public:
    explicit QuestionsForm(QWidget *parent = nullptr);
    ~QuestionsForm() override;

    void setSkinColor(const QString &color);
    void startQuestionSet(SqliteData *set);

signals:
    void sendPressValue(int value);
    void sendQuestionsFormCloseEvent();
};
