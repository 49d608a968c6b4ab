#include "PlainCellKit.h"

#include "SqlRow.h"

#include <QRadioButton>

QStringList freshAnswer(int queId, const QString &answer)
{
    return {QStringLiteral("update tQue set answer = '%1', userAnswer = NULL, userStatus = '0', userTime = NULL "
                           "where queId = %2")
                .arg(answer)
                .arg(queId),
            QStringLiteral("delete from tQueLog where queId = %1").arg(queId)};
}

QString answerLog(int queId)
{
    return sqlRow(QStringLiteral("select ifnull(group_concat(userStatus || ':' || userAnswer, ' '), '') from "
                                 "(select userStatus, userAnswer from tQueLog where queId = ? and type = '001' "
                                 "order by rowid)"),
                  {queId})
        .value(0);
}

QString userColumns(int queId)
{
    return sqlRow(QStringLiteral("select userStatus, userAnswer from tQue where queId = ?"), {queId})
        .join(QLatin1Char('|'));
}

QString signalCalls(const QSignalSpy &spy)
{
    QStringList calls;
    for (const QList<QVariant> &call : spy)
        calls << QStringLiteral("%1|%2|%3").arg(call.at(0).toInt()).arg(call.at(1).toInt()).arg(call.at(2).toString());
    return calls.join(QLatin1Char(';'));
}

QLabel *label(QWidget *cell, const char *name)
{
    return cell->findChild<QLabel *>(QLatin1String(name));
}

QPushButton *button(QWidget *cell, const char *name)
{
    return cell->findChild<QPushButton *>(QLatin1String(name));
}

QWidget *child(QWidget *cell, const char *name)
{
    return cell->findChild<QWidget *>(QLatin1String(name));
}

QTextEdit *answerBox(QWidget *cell)
{
    return cell->findChild<QTextEdit *>(QStringLiteral("textEdit_answer"));
}

void typeInto(QWidget *cell, const QString &keys)
{
    for (QChar key : keys) {
        if (key == QLatin1Char('<'))
            QTest::keyClick(answerBox(cell), Qt::Key_Backspace);
        else
            QTest::keyClick(answerBox(cell), key.toLatin1());
    }
}

bool shown(QWidget *cell, const char *name)
{
    return child(cell, name)->isVisibleTo(cell);
}

bool showActiveWindow(QWidget &window)
{
    window.resize(700, 500);
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

namespace {

QRadioButton *option(QWidget *cell, QChar letter)
{
    return cell->findChild<QRadioButton *>(letter == QLatin1Char('A') ? QStringLiteral("radioButton")
                                                                      : QStringLiteral("radioButton_2"));
}

} // namespace

void clickOption(QWidget *cell, QChar letter)
{
    QRadioButton *button = option(cell, letter);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

QString checkedOption(QWidget *cell)
{
    for (QChar letter : {QLatin1Char('A'), QLatin1Char('B')}) {
        if (option(cell, letter)->isChecked())
            return letter;
    }
    return QString();
}
