#pragma once

#include <QWidget>

class SqliteData;

// The chapter practice page. It stands in until it is built: it shows its title and logs each call.
class SingleQuestionModelFrom : public QWidget
{
    Q_OBJECT
public:
    explicit SingleQuestionModelFrom(QWidget *parent = nullptr);
    ~SingleQuestionModelFrom() override;

    void setSkinColor(const QString &color);
    void startPractice(SqliteData *set, int type, const QString &sectionName);

signals:
    // 1 back to the chapter list, 0 the next set.
    void sendQuestionsFormCloseEvent(int model);
};
