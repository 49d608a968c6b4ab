#pragma once

#include "FixtureBank.h"
#include "TempWorkDir.h"

#include <QColor>
#include <QMap>
#include <QPoint>
#include <QString>
#include <QStringList>

class ClearQuestionsRecord;
class QWidget;

// The standard fixture plus extra SQL, open in the store, in a fresh working
// directory; the store is closed again when it goes.
class StudyBank
{
public:
    explicit StudyBank(const QString &sql = QString());
    ~StudyBank();
    StudyBank(const StudyBank &) = delete;
    StudyBank &operator=(const StudyBank &) = delete;

    bool isOpen() const { return opened; }
    QString error() const { return bank.error(); }

private:
    TempWorkDir workDir;
    FixtureBank bank;
    bool opened = false;
};

// Every question's user columns by queId: userStatus, userAnswer, userTime,
// userFav, userNote ("NULL" for a null).
QMap<int, QStringList> userColumns();
// The queIds of a question set's groups.
QList<int> questionsOfSet(int cateId);

// A stored "yyyy-MM-dd hh:mm:ss" time as the rows show it.
QString shownTime(const QString &stored);

// The clear dialog on screen, or null.
ClearQuestionsRecord *shownClearDialog();

// The colour the widget paints at pos, with the mouse over it at pos when
// hovered; its window must be on screen.
QColor paintedColor(QWidget *widget, const QPoint &pos, bool hovered = false);
// "r,g,b,a" as a colour.
QColor skinColour(const QString &text);
