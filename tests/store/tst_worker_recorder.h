#pragma once

#include "DataToUiThreadClass.h"
#include "ExamSection.h"
#include "MainQuestion.h"
#include "QuestionData.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>

#include <functional>

// What an owner calls before a start.
using Setup = std::function<void(DataToUiThreadClass &)>;

// Job 7 or 16 with sections of the given counts and types.
inline Setup sectionJob(int job, const QList<QPair<int, int>> &countAndType)
{
    return [=](DataToUiThreadClass &worker) {
        QList<ExamSection *> sections;
        for (const auto &pair : countAndType) {
            sections.append(new ExamSection);
            sections.last()->count = pair.first;
            sections.last()->queTypeId = pair.second;
        }
        worker.setSectionJob(job, sections);
        qDeleteAll(sections);
    };
}

// Spies on every signal of one worker (and, unless told otherwise, on the
// store's row signals), receiving them on the GUI thread as an owner would,
// and keeps one line per signal in arrival order. It owns every record
// delivered and deletes them when it goes.
class WorkerRecorder : public QObject
{
public:
    explicit WorkerRecorder(DataToUiThreadClass *worker, bool withStore = true)
    {
        using W = DataToUiThreadClass;
        connect(worker, &W::sendJobStarted, this, [this](int g) { add("sendJobStarted", {g}); });
        connect(worker, &W::sendQuestion, this, [this](int r, const QList<MainQuestion *> &groups) {
            add("sendQuestion", {r, groupIds(groups)});
        });
        connectResult(worker, &W::sendErrorQuestion, "sendErrorQuestion");
        connectResult(worker, &W::sendNewKnowQuestion, "sendNewKnowQuestion");
        connectResult(worker, &W::sendMarkQuestion, "sendMarkQuestion");
        connectResult(worker, &W::sendNoteQuestion, "sendNoteQuestion");
        connectResult(worker, &W::sendFindQuestions, "sendFindQuestions");
        connectResult(worker, &W::sendTalkError, "sendTalkError");
        connectResult(worker, &W::sendSqliteClass, "sendSqliteClass");
        connect(worker, &W::sendtQueLogAnswerHistory, this,
                [this](int index, SqliteData *row, const QString &parent, const QString &text) {
                    add("sendtQueLogAnswerHistory", {index, row->text0, row->text5, row->text6, row->text7,
                                                     time(row), parent, text});
                    own(row);
                });
        connect(worker, &W::sendQuestionBycateId, this, [this](SqliteData *row) {
            add("sendQuestionBycateId", {row->text0, row->text2, row->text3, row->text4, time(row)});
            own(row);
        });
        connect(worker, &W::sendAlltCate, this, [this](int level, int i, int j, const QList<SqliteData *> &list) {
            QStringList ids;
            for (SqliteData *row : list) {
                ids << row->text0;
                own(row);
            }
            add("sendAlltCate", {level, i, j, ids.join(QLatin1Char(','))});
        });
        connect(worker, &W::sendFindQuestion, this, [this](SqliteData *hit) {
            add("sendFindQuestion", {hit->text5});
            own(hit);
        });
        if (withStore)
            connectStore();
    }
    ~WorkerRecorder() override
    {
        qDeleteAll(groups);
        qDeleteAll(rows);
    }

    // Delivers what the worker threads have queued so far.
    QStringList deliver()
    {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        return lines;
    }

    QStringList lines;

private:
    void connectStore()
    {
        using S = SqliteClass;
        SqliteClass *store = SqliteClass::instance();
        connect(store, &S::sendTalkQuesion, this, [this](int type, const QList<MainQuestion *> &list) {
            add("store.sendTalkQuesion", {type, list.size()});
            own(list);
        });
        connect(store, &S::sendQuickQuestionBycateId, this, [this](SqliteData *row) {
            add("store.sendQuickQuestionBycateId", {row->text0});
            own(row);
        });
        connect(store, &S::sendQuickQuestion, this, [this](MainQuestion *group) {
            add("store.sendQuickQuestion", {group->cateListId});
            own({group});
        });
        connect(store, &S::sendQuestionBycateIdBycount, this,
                [this](const QList<MainQuestion *> &list, int offset, int count) {
                    add("store.sendQuestionBycateIdBycount", {list.size(), offset, count});
                    own(list);
                });
        connectIndexed(store, &S::sendErrorQuestion, "store.sendErrorQuestion");
        connectIndexed(store, &S::sendNewKnowQuestion, "store.sendNewKnowQuestion");
        connectIndexed(store, &S::sendCollectoQuestion, "store.sendCollectoQuestion");
        connectIndexed(store, &S::sendNoteQuestion, "store.sendNoteQuestion");
        connect(store, &S::sendClearQuestions, this,
                [this](int total, int index) { add("store.sendClearQuestions", {total, index}); });
        connect(store, &S::sendCopyTable, this, [this](int, int, const QString &) {
            if (lines.isEmpty() || lines.last() != QLatin1String("store.sendCopyTable"))
                lines << QStringLiteral("store.sendCopyTable"); // progress, once per run of it
        });
    }

    void connectResult(DataToUiThreadClass *worker, void (DataToUiThreadClass::*signal)(int), const char *name)
    {
        connect(worker, signal, this, [this, name](int result) { add(name, {result}); });
    }

    void connectIndexed(SqliteClass *store, void (SqliteClass::*signal)(int, MainQuestion *), const char *name)
    {
        connect(store, signal, this, [this, name](int index, MainQuestion *group) {
            add(name, {index, group->questions.isEmpty() ? 0 : group->questions.first()->queId});
            own({group});
        });
    }

    void add(const char *name, const QVariantList &values)
    {
        QStringList parts{QString::fromLatin1(name)};
        for (const QVariant &value : values)
            parts << value.toString();
        lines << parts.join(QLatin1Char(' '));
    }

    static QString time(const SqliteData *row)
    {
        return row->dateTime.toString(QStringLiteral("MM-dd_hh:mm"));
    }

    QString groupIds(const QList<MainQuestion *> &list)
    {
        QStringList ids;
        for (const MainQuestion *group : list)
            ids << QString::number(group->cateListId);
        own(list);
        return ids.join(QLatin1Char(','));
    }

    void own(const QList<MainQuestion *> &list) { groups.append(list); }
    void own(SqliteData *row) { rows.append(row); }

    QList<MainQuestion *> groups;
    QList<SqliteData *> rows;
};
