#pragma once

#include <QWidget>

// The exam syllabus page. It stands in until it is built: it shows its title and logs each call.
class ExamOutlineWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ExamOutlineWidget(QWidget *parent = nullptr);
    ~ExamOutlineWidget() override;

    void setSkinColor(const QString &color);
    void loadTree();
};
