#pragma once

#include <QList>
#include <QString>
#include <QThread>

class ExamSection;
class MainQuestion;
class SqliteData;

// Runs one long store job per start away from the GUI thread. Its owner sets
// the job and its parameters while the worker is idle, connects the worker's
// and the store's row signals, and starts it with QThread::InheritPriority.
// A start without a setter repeats the last job with its last parameters.
//
// Job codes: 1 a chapter's whole groups, 3 wrong answers, 4 favourites,
// 5 notes, 6 keyword search, 7 man-machine paper, 8 a chapter page's question
// sets, 9 answered questions, 10 quick-memorisation chapters, 11 a chapter's
// report groups, 12 one page of chapter practice, 13 recently studied
// chapters, 14 the simulated-exam chapter tree, 15 a prediction paper,
// 16 a simulated exam, 17 storing chapter choices, 18 clearing a chapter's
// records, 19 merging the user's data into a new bank. Other codes do nothing.
//
// Stopping: stop() asks the running job to end at its next row and waits for
// it; a stopped job deletes what it has not sent and emits no signal of its
// own afterwards. Rows already queued to the owner stay queued, so every job
// first emits sendJobStarted with the current generation, and stop() moves
// the generation on: a receiver ignores (and deletes) whatever arrives while
// the generation of the last sendJobStarted differs from generation().
//
// Owner's destructor, first thing: worker->releaseOwner(this); delete worker;
// (signals connected with the owner itself as receiver; its slots free stale rows).
class DataToUiThreadClass : public QThread
{
    Q_OBJECT

public:
    // One chapter of the choice tree of job 17.
    struct ChoiceNode
    {
        int cateId = 0;
        int chosen = 0;
        QList<ChoiceNode> children;
    };

    DataToUiThreadClass();
    // Ends a running job first; nothing may kill the thread mid-statement.
    ~DataToUiThreadClass() override;

    void setJob(int job, int parameter);
    void setPageJob(int job, int cateId, int offset, int count);
    void setKeywordJob(int job, const QString &keyword);
    void setClearJob(int job, int cateId, const QString &flags);
    void setMergeJob(int job, const QString &userDatabase, const QString &newBank);
    void setChoiceTreeJob(int job, const QList<ChoiceNode> &tree);
    // Keeps each section's count and type; the sections stay with the caller.
    void setSectionJob(int job, const QList<ExamSection *> &sections);
    void setPaperTypes(const QList<int> &types);

    // Call from the owner's thread.
    void stop();
    // For the owner's destructor, before anything of it goes: stops the job,
    // then delivers at once every row and result still queued for owner, to
    // its slots, which find the generation moved on and only free them (Qt
    // would otherwise drop those calls with the owner, and their records).
    void releaseOwner(QObject *owner);
    int generation() const { return jobGeneration; }

    // Connects a store signal that hands over records to owner's slot, for
    // the records of this worker's own jobs only: the store emits on the
    // thread that runs the job, so lists of another owner's worker are left
    // to that owner (never shown twice, never deleted twice). What passes
    // reaches owner queued, as the worker's own rows do, so releaseOwner
    // delivers it too and the slot's generation check frees it.
    template <typename Sender, typename Owner, typename Slot, typename... Args>
    QMetaObject::Connection connectOwnRows(Sender *store, void (Sender::*signal)(Args...), Owner *owner, Slot slot)
    {
        return QObject::connect(
            store, signal, this,
            [this, owner, slot](Args... args) {
                if (QThread::currentThread() != this)
                    return;
                QMetaObject::invokeMethod(
                    owner, [owner, slot, args...] { (owner->*slot)(args...); }, Qt::QueuedConnection);
            },
            Qt::DirectConnection);
    }

    // The error of the last job's own last failed statement ("[Error:]" and
    // nothing when it had none); read it once the job has ended.
    QString lastErrorText() const { return jobError; }

    // The children of faId with their choice flags, on the calling thread.
    static int childChapters(QList<SqliteData *> &list, int faId);

signals:
    void sendQuestion(int result, QList<MainQuestion *> groups);
    void sendErrorQuestion(int result);
    void sendNewKnowQuestion(int result);
    void sendMarkQuestion(int result);
    void sendNoteQuestion(int result);
    void sendFindQuestions(int result);
    void sendTalkError(int result);
    void sendSqliteClass(int result);
    void sendtQueLogAnswerHistory(int index, SqliteData *chapter, QString parentName, QString questionText);
    void sendQuestionBycateId(SqliteData *chapter);
    void sendAlltCate(int level, int first, int second, QList<SqliteData *> chapters);
    void sendFindQuestion(SqliteData *hit);
    // First signal of every job, before its rows.
    void sendJobStarted(int generation);

protected:
    void run() override;

private:
    struct Section
    {
        int count;
        int queTypeId;
    };

    bool stopped() const { return isInterruptionRequested(); }
    void runJob();
    // Emits the finishing signal unless the job was stopped.
    void finish(void (DataToUiThreadClass::*signal)(int), int result);

    void loadGroups();
    void searchQuestions();
    void drawManMachinePaper();
    void loadChapterSets();
    void loadRecentChapters();
    int sendRecentChapter(int index, SqliteData *row);
    void loadChoiceTree();
    bool sendChildLists(int top, int topId);
    void loadPaper();
    void drawSimulatedExam();
    void storeChoices(const QList<ChoiceNode> &nodes);

    int job = 0;
    int parameter = 0;
    QString keyword;
    QList<ChoiceNode> choiceTree;
    QList<Section> sections;
    QString clearFlags;
    int pageCateId = 0;
    int pageOffset = 0;
    int pageCount = 0;
    QList<int> paperTypes;
    QString userDatabase;
    QString newBank;

    int jobGeneration = 0;
    QString jobError;
};
