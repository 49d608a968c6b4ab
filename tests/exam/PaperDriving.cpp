#include "PaperDriving.h"

#include "DialogAnswerer.h"
#include "NewTalkExamForm.h"
#include "QuestionAnswerCellForm.h"
#include "QuestionTypeTipDialog2.h"
#include "QuestionTypeTipDialog3.h"
#include "QuestionTypeTipDialog5.h"
#include "ScrollAreaCellForm.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

namespace {

// The visible widget of the shown question named `name`, or null.
template<typename T>
T *shownInput(NewTalkExamForm *window, const QString &name)
{
    auto *view = window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"));
    T *found = nullptr;
    QTest::qWaitFor([&] {
        for (T *candidate : view->template findChildren<T *>(name)) {
            if (candidate->isVisible())
                found = candidate;
        }
        return found != nullptr;
    }, 5000);
    return found;
}

} // namespace

QString takeNotice()
{
    const QList<QuestionTypeTipDialog5 *> notices = visible<QuestionTypeTipDialog5>();
    if (notices.size() != 1)
        return notices.isEmpty() ? QString() : QStringLiteral("%1 notices").arg(notices.size());
    const QString text = notices.first()->findChild<QLabel *>(QStringLiteral("content"))->text();
    notices.first()->close();
    return text;
}

bool chooseRow(NewTalkExamForm *window, int row)
{
    auto *view = window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"));
    QWidget *option = nullptr;
    const bool found = QTest::qWaitFor([&] {
        QList<QuestionAnswerCellForm *> rows;
        for (QuestionAnswerCellForm *row : view->findChildren<QuestionAnswerCellForm *>()) {
            if (row->isVisible())
                rows << row;
        }
        std::sort(rows.begin(), rows.end(), [](QWidget *a, QWidget *b) {
            return a->mapToGlobal(QPoint()).y() < b->mapToGlobal(QPoint()).y();
        });
        option = rows.size() <= row ? nullptr : rows.at(row)->findChild<QWidget *>(QStringLiteral("label_text"));
        return option != nullptr;
    }, 5000);
    if (!found)
        return false;
    QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
    // The click reaches the cell once the release is done with.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    return true;
}

bool step(NewTalkExamForm *window, const QString &action)
{
    const QString kind = action.section(QLatin1Char(':'), 0, 0);
    const QString value = action.section(QLatin1Char(':'), 1);
    if (kind == QLatin1String("row"))
        return chooseRow(window, value.toInt());
    if (kind == QLatin1String("combo")) {
        auto *box = shownInput<QComboBox>(window, QStringLiteral("comboBox_answer"));
        if (!box)
            return false;
        box->setFocus();
        while (box->currentIndex() != value.toInt()) {
            const int before = box->currentIndex();
            QTest::keyClick(box, box->currentIndex() < value.toInt() ? Qt::Key_Down : Qt::Key_Up);
            if (box->currentIndex() == before)
                return false;
        }
        return true;
    }
    if (kind == QLatin1String("judge")) {
        const QString name = value == QLatin1String("0") ? QStringLiteral("radioButton") : QStringLiteral("radioButton_2");
        auto *option = shownInput<QRadioButton>(window, name);
        if (!option)
            return false;
        QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
        return true;
    }
    auto *box = shownInput<QTextEdit>(window, QStringLiteral("textEdit_answer"));
    if (!box)
        return false;
    box->setFocus();
    if (kind == QLatin1String("type")) {
        QTest::keyClicks(box, value);
        return true;
    }
    for (int i = 0; i < value.toInt(); ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    return kind == QLatin1String("erase");
}

QStringList rows(const QList<int> &numbers)
{
    QStringList steps;
    for (int row : numbers)
        steps << QStringLiteral("row:%1").arg(row);
    return steps;
}

bool answerShown(NewTalkExamForm *window)
{
    auto *view = window->findChild<ScrollAreaCellForm *>(QStringLiteral("widget_cellform"));
    const auto shown = [view](const QString &name) {
        for (QWidget *widget : view->findChildren<QWidget *>(name)) {
            if (widget->isVisible())
                return true;
        }
        return false;
    };
    // A part's first question comes with the card's click, a moment later.
    QTest::qWaitFor([&] {
        return shown(QStringLiteral("comboBox_answer")) || shown(QStringLiteral("radioButton"))
            || shown(QStringLiteral("textEdit_answer")) || shown(QStringLiteral("label_text"));
    }, 5000);
    QStringList steps;
    if (shown(QStringLiteral("comboBox_answer")))
        steps = QStringList{QStringLiteral("combo:1")};
    else if (shown(QStringLiteral("radioButton")))
        steps = QStringList{QStringLiteral("judge:0")};
    else if (shown(QStringLiteral("textEdit_answer")))
        steps = QStringList{QStringLiteral("type:x")};
    else
        steps = rows({0, 1});
    for (const QString &action : steps) {
        if (!step(window, action))
            return false;
    }
    return view->answerState() != 0;
}

QuestionTypeTipDialog3 *answerWholePaper(NewTalkExamForm *window)
{
    for (int moves = 0; moves < 500; ++moves) {
        if (QuestionTypeTipDialog3 *ask = visible<QuestionTypeTipDialog3>().value(0))
            return ask;
        if (QuestionTypeTipDialog2 *enter = visible<QuestionTypeTipDialog2>().value(0)) {
            if (!DialogAnswerer::clickButton(enter, QStringLiteral("btn_confirm")))
                return nullptr;
        }
        if (!answerShown(window)) {
            qWarning("a question could not be answered");
            return nullptr;
        }
        window->on_btn_next_clicked();
        const QString notice = takeNotice();
        if (!notice.isEmpty()) {
            qWarning() << "refused:" << notice;
            return nullptr;
        }
    }
    return nullptr;
}
