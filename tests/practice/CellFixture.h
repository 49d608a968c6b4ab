#pragma once

#include "FixtureBank.h"

#include <QString>
#include <QStringList>
#include <memory>

class MainQuestion;

// The standard fixture bank opened in the store with its question types
// loaded, for the question cell tests. Groups are read with the store's own
// loaders, as the practice page gets them.
class CellFixture
{
public:
    // SQL run on the bank before it is opened (extra rows, changed answers).
    explicit CellFixture(const QStringList &extraSql = {});
    ~CellFixture();
    CellFixture(const CellFixture &) = delete;
    CellFixture &operator=(const CellFixture &) = delete;

    bool isOpen() const { return open; }
    QString error() const { return bank.error(); }

    // The group with its type record, stem and undeleted questions from the
    // open bank; null when it has none.
    static std::unique_ptr<MainQuestion> group(int cateListId);

    // What the user has written in the bank: every user column of tQue and
    // the answer log, as one text.
    static QString userData();
    // The question's answer state and answer as stored: "1|B", "0|NULL".
    static QString userColumns(int queId);

    // Copies the subject directory into the folder `to` and opens the copy
    // in the store with its question types loaded, so that a test may write.
    static bool openCopy(const QString &subjectDir, const QString &to);

private:
    FixtureBank bank;
    bool open = false;
};
