#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include "StoreMutex.h"

#include <functional>
#include <mutex>

class ExamOutlineData;
class ExamSection;
class MainQuestion;
class OfflineReportClient;
class OptionData;
class QDateTime;
class QSqlQuery;
class QueTypeData;
class QuestionData;
class SQLiteCipherDriver;
class SqliteData;

// The one question-bank store of the process. It owns the single database
// connection, and every SQL statement of the program runs through one of its
// operations, on the GUI thread and on worker threads alike.
//
// Threads: statements, the driver's list of live results and the error text
// are used under the store lock (recursive, and fair to the GUI thread). A
// statement's rows are read whole under it, and the records are built,
// further statements run and signals emitted after it, so a call on the GUI
// thread waits for one short statement of a worker, never for a whole list:
// whole-bank reads go in windows of a few hundred rows. A transaction holds
// the lock from BEGIN to its end.
//
// The operations are grouped by topic below; each group's implementation
// lives in its own source file (SqliteClass.cpp holds the connection).
class SqliteClass : public QObject
{
    Q_OBJECT

public:
    // The store, created on the first call (on the GUI thread at start-up).
    static SqliteClass *instance();
    // The bank's file name inside a subject's directory.
    static QString bankFileName() { return QStringLiteral("MedicalDB.db"); }
    ~SqliteClass() override;

    // ---- Connection --------------------------------------------------------

    // mode 1: path is the database file; any other mode: path is a subject
    // directory holding "MedicalDB.db", where a missing or empty bank first
    // gets the newest sound copy a bank swap kept of it. Returns 2 opened,
    // 1 the file was missing or empty (an empty one is created), 0 the key
    // does not fit or the file is damaged (connection closed again; the
    // error text tells which), -1 / -2 opening failed for a missing /
    // existing file.
    int openDatabase(const QString &path, const QString &password, int mode);
    // The opening step of openDatabase; leaves the error text alone.
    int openFile(const QString &file, const QString &password);
    // Whether the open file can be read with the connection's key.
    bool verifyKey();
    // The indexes the loaders and the statistics rely on, on a bank without them.
    void addMissingIndexes();
    // Reopens the connection on another file with the built-in phrase.
    static void switchDatabase(const QString &file);
    void closeDatabase();

    // "[Error:]" followed by the last failure of any thread.
    QString lastErrorText() const;
    // The same for the calling thread's own last failure, which another
    // thread's later failure cannot overwrite.
    static QString threadLastErrorText();

    // Runs one statement: 0, or -1 with the error text set.
    int execSql(const QString &sql);

    bool isExamWindowOpen() const;
    void setExamWindowOpen(bool open);
    // The directory of the bank last opened in directory mode, with "/".
    QString databaseDir() const;
    // Types 3, 4 and 7 are drawn and shown as whole groups.
    static bool isGroupType(int queTypeId);

    // The web-service client that posts the offline queue; the store takes
    // ownership and deletes a client it held before.
    void setLoginClient(OfflineReportClient *client);

    // ---- Chapter tree and progress statistics ------------------------------
    //
    // A chapter's counts cover the groups on the chapter itself (never its
    // sub-chapters) and only questions whose IsDel differs from "1"; a
    // question is answered when its userStatus differs from "0" and right when
    // it is "1". Counts and ids come back as such, -1 on failure; the other
    // operations give 0 or -1. Records created here belong to the caller.

    // The chapter's name / the question's text; no row leaves it as it was.
    int chapterName(QString &name, int cateId);
    int questionText(QString &text, int queId);
    // The sibling with the greatest ord (itself when it is the last one).
    int lastSiblingChapterId(int cateId);
    int chapterQuestionCount(int cateId);
    int chapterDoneCount(int cateId);
    int chapterRightCount(int cateId);
    // The whole bank's questions, whatever their group or chapter.
    int questionCount();
    int doneCount();
    int rightCount();
    // The latest userTime of the chapter's answered questions; null if none.
    int chapterLastAnswerTime(QDateTime &time, int cateId);
    // A new record: text 0 cateId, 1 cateName, 2 question count, 3 right
    // count, 4 answered count, date-time last answer. An absent chapter
    // leaves record as it was.
    int chapterSummary(SqliteData *&record, int cateId);
    // Rewrites record (not null) for the sibling after cateId, or cateId
    // itself when it is the last: text 0 id, 1 name, 5 question count,
    // 6 answered count, 7 right count, date-time last answer; texts 2 to 4
    // are kept.
    int nextChapterSummary(int cateId, SqliteData *&record);
    // The children of faId by ord: text 0 cateId, 1 cateName; WithChoice adds
    // text 7 choose; WithStats also texts 2 to 4 and the date-time as in
    // chapterSummary, and on failure keeps the records appended so far.
    int childChapters(QList<SqliteData *> &list, int faId);
    int childChaptersWithChoice(QList<SqliteData *> &list, int faId);
    int childChaptersWithStats(QList<SqliteData *> &list, int faId);
    // childChapters, each record emitted in sendQuickQuestionBycateId.
    int loadQuickBackChapters(int faId);
    // Up to 12 chapters by their last answer, newest first: text 0 cateId,
    // 1 cateName, 2 queId answered last, 3 faId, date-time last answer.
    int recentChapters(QList<SqliteData *> &list);

    // ---- Answers, notes, favourites and the offline queue ------------------

    // Appends an answer-log row of logType and stores the answer in the
    // question's row, both with the same time, in one transaction. state:
    // "0" not answered, "1" right, "2" wrong.
    int recordAnswer(int queId, const QString &answer, const QString &state,
                     const QString &logType);
    int saveNote(int queId, const QString &note);
    // Leaves note as it was when the question has no row.
    int readNote(int queId, QString &note);
    int setFavourite(int queId, int flag);
    // A new record for the caller with the question's answer, the user's
    // state and the options; without question data for a deleted question.
    int loadQuestionState(QuestionData *&record, int queId);
    // Queue what could not be sent: a feedback text (type "002") or a
    // question error report (type "003").
    int saveOfflineFeedback(const QString &text, const QString &type, const QString &time);
    int saveOfflineErrorReport(const QString &text, const QString &type, int conType,
                               int queId, const QString &queText);
    // Posts the queue through the client one row at a time and removes a row
    // once the service confirmed it; call once the bank is open and the
    // event loop runs. A call while a post is out does nothing: that post's
    // reply carries on through the queue.
    int postOfflineQueue();

    // ---- Question text to HTML and list styles -----------------------------
    //
    // Bank texts name their pictures as "[file.png]"; these turn them into
    // HTML images from the bank's "images" folder, inline up to 100 pixels
    // high, else on a line of their own. They touch no database.

    // Images placed, line feeds as "<br>", one trailing "<br>" cut. The
    // second argument is not read.
    QString questionTextToHtml(const QString &text, int unused = 0) const;
    // Images placed, line breaks removed; keeps the height of the last
    // image placed (0 without any) for lastImageHeight.
    QString optionTextToHtml(const QString &text);
    // Images placed in the exam report's HTML, nothing else changed.
    QString reportImagesToHtml(const QString &html) const;
    // Paints the keyword (literal text, never inside tags) red and turns
    // line feeds into "<br>"; an empty keyword leaves the text unchanged.
    static QString highlightKeyword(const QString &text, const QString &keyword);
    // Every image reference removed, for one-line list entries.
    static QString stripImageRefs(const QString &text);
    // Style sheets of the review tables and trees: the item text is the same
    // grey under every skin, so the colour is not read.
    static QString tableWidgetStyle(const QString &colour);
    static QString treeWidgetStyle(const QString &colour);

    // Height in pixels of the last image placed by the option text conversion.
    int lastImageHeight() const;

    // ---- Question loaders --------------------------------------------------
    //
    // 0 on success, -1 with the error text set on failure. Every record built
    // belongs to the caller (out lists) or the receiver (signals); on failure
    // what was appended or emitted before stays there, nothing else is kept.

    // Appends the question's options in table order (tQueOpt / ytQueOpt).
    int loadOptions(QList<OptionData *> &options, int queId);
    int loadPaperOptions(QList<OptionData *> &options, int queId);
    // Appends the group's undeleted questions by ord, each with its options;
    // answer mode 1 leaves userAnswer empty.
    int loadGroupQuestions(QList<QuestionData *> &questions, int cateListId, int answerMode);
    // Appends the chapter's groups by ord, each with all its questions.
    int loadGroups(QList<MainQuestion *> &groups, int cateId);
    // The same groups, each emitted in sendQuickQuestion once it is built.
    int loadReportGroups(int cateId);
    // The group's type record (null for a type the bank lacks) and shared
    // stem; both stay as they were when the group has no row.
    int groupHeader(QueTypeData *&type, QString &stem, int cateListId);
    // Chapter practice: a window of the chapter's undeleted questions by type,
    // group id and ord, one record per question, emitted once in
    // sendQuestionBycateIdBycount with offset and count as given (an empty
    // list past the end); nothing is emitted on failure.
    int loadChapterPage(int cateId, int offset, int count);
    // The review lists by answer time (never answered first), one record per
    // question without options, each emitted with its index from 0:
    // wrongly answered, answered, favourites, questions with a note.
    int loadWrongList();
    int loadDoneList();
    int loadFavouriteList();
    int loadNoteList();
    // Appends a hit per undeleted question whose text contains the keyword
    // (LIKE: ASCII case folded, "%" and "_" wildcards): text 0 cateName,
    // 1 queText, 2 type name, 3 cateId, 4 publicQueText, 5 queId,
    // 6 queTypeId, 7 prompt.
    int searchQuestions(const QString &keyword, QList<SqliteData *> &hits);
    // Appends one record per undeleted question of the paper group, copying
    // group's fields; answer mode other than 0 leaves userAnswer empty.
    int loadPaperGroupQuestions(QList<MainQuestion *> &records, const MainQuestion *group,
                                int cateListId, int answerMode);

    // ---- Question types, bank settings, syllabus and exam records ----------
    //
    // 0 on success, -1 with the error text set on failure unless noted.
    // Records created here belong to the caller.

    // Makes the type map hold the rows of tQueType (a later row with the
    // same code wins); on failure the map stays as it was. A record handed
    // out before stays valid until the store goes: it takes the new values
    // of its type, or, for a type the bank no longer has, keeps its own.
    int loadQuestionTypes();
    // Always 0. out = the loaded record of the type, or null when the bank
    // has no such type: callers must test for null.
    int questionType(QueTypeData *&out, int queTypeId);
    // Appends the types that groups use and tQueType holds, ascending, with
    // the first 3 or 4 moved to the end.
    int questionTypesInBank(QList<int> &out);
    // No row leaves memo as it was.
    int questionTypeMemo(QString &memo, int queTypeId);
    // Whether a group of the type exists; true when the query fails.
    bool hasQuestionType(int queTypeId);
    int groupCountOfType(int queTypeId);
    // The simulated-exam set-up, stored in the bank only (the loaded types
    // keep their examCount until the next loadQuestionTypes).
    int setExamCount(int queTypeId, int count);
    int setChapterChosen(int cateId, int choose);
    // A missing key leaves value and memo as they were.
    int readSysConfig(const QString &key, QString &value, QString &memo);
    int updateSysConfig(const QString &key, const QString &value);
    // Key/value rows (the exam date "ExamTime"): a new key takes row's
    // texts 0 to 4 as V1 to V5; an existing one texts 0 to 3 and V5 "0".
    int InsertOrUpdateConfigTable(const QString &key, SqliteData *row);
    // A new record with texts 0 to 4 = V1 to V5; a missing key leaves out
    // as it was.
    int readConfigTable(const QString &key, SqliteData *&out);
    // Saves record's texts 2 (kind), 3 (report) and 4 (counts) as a new exam
    // record, numbered one above the largest number so far, timed now.
    int InsertExamTable(SqliteData *record);
    // The exam records of one kind, newest first: text 0 number, text 2
    // kind, date-time saved.
    int examRecordList(QList<SqliteData *> &out, int kind);
    // No such record leaves report and counts as they were.
    int readExamRecord(int id, QString &report, QString &counts);
    int deleteExamRecord(int id);
    // Syllabus rows, by LIKE patterns that carry their own wildcards.
    int examOutlineCount();
    // The first matching row's content; none leaves content as it was.
    int examOutlineContent(QString &content, const QString &idPattern);
    int examOutlineRows(QList<ExamOutlineData *> &out, const QString &idPattern);

    // ---- Exam question draws and prediction papers -------------------------
    //
    // Every drawn record holds one question, unanswered; questions of a group
    // type (3, 4, 7) come as consecutive records sharing the group's id and
    // stem, and a group type's count is a number of groups. The records of
    // sendTalkQuesion and of the out lists belong to the receiver.

    // Simulated-exam part: draws from the chosen chapters, emits one list.
    int drawExamQuestions(int count, int queTypeId);
    int randomChosenQuestions(QList<MainQuestion *> &out, int count, int queTypeId);
    int randomChosenGroups(QList<MainQuestion *> &out, int count, int queTypeId);
    // One record per undeleted question of the group, copying its fields;
    // answer mode 1 leaves the user's answer out.
    int loadGroupQuestionRecords(QList<MainQuestion *> &out, const MainQuestion *group,
                                 int cateListId, int answerMode);
    // Man-machine parts: from the whole bank, one emission per group or
    // question.
    int drawRandomGroups(int count, int queTypeId);
    int drawRandomQuestions(int count, int queTypeId);
    // Prediction-paper part: every group of the type, one emission each.
    int loadPaperQuestions(int paperCateId, int queTypeId);
    // One part per question type of the paper, ascending, with no questions.
    int paperQuestionTypes(QList<ExamSection *> &out, int paperCateId);
    // The papers under faId in their order (text0 id, text1 name), only
    // those of variant hType unless it is 0.
    int paperChapters(QList<SqliteData *> &out, int faId, int hType);

    // ---- Merge into a new bank, clean-up and clearing of records -----------

    // Carries the user's work in the file target (a copy of the live bank)
    // into the new bank source: target ends with source's tables, columns
    // and bank content and keeps the user's columns and tables. Runs on
    // connections of its own, never on the store's; progress goes out
    // through sendCopyTable. 0, or -1 with the error text set (target may
    // then be part-merged; source is only read).
    int mergeDatabase(const QString &target, const QString &source);
    // The clean-up and the clearing each run in one transaction: a failure
    // (-1) leaves the bank as it was.
    // Deletes the chapter-tree nodes that have no place in a three-level
    // tree (childless chapters and sections, deeper or orphaned nodes).
    int removeBrokenChapters();
    // Step 1: groups of missing nodes; 2: options of questions without a
    // group; 3: those questions. Any other step: -1.
    int removeOrphanRows(int step);
    // Resets the user's work on the questions of the node's own groups;
    // flags "answers,favourites,notes", a part set when it reads 1.
    // sendClearQuestions after each group.
    int clearChapterRecords(const QString &flags, int cateId);

    // ---- Bank files -------------------------------------------------------

    // 0 when file is a bank keyed with the built-in phrase that the engine's
    // quick check finds sound; -1 with the error text otherwise. Reads on a
    // read-only connection of its own; the store's connection is not touched.
    int checkBankFile(const QString &file);
    // Puts a checked copy of newFile in the place of bankFile, under the
    // store lock: the copy is written and synced beside the bank, checked,
    // and put over the bank by one rename(2), never a copy; the folder is
    // synced after. The old file and its "-journal" are kept first under
    // keepOldAs (a hard link, or a synced copy across file systems), deleted
    // once the new one is in place when keepOldAs is empty (bankFile ".old"
    // meanwhile). A store connection on bankFile is closed and reopened on
    // the new file. Any failure leaves the old file in place, byte for byte,
    // and reopens it. newFile is left as it was. 0, or -1 with the reason in
    // the error text.
    int replaceBankFile(const QString &bankFile, const QString &newFile, const QString &keepOldAs);
    // Removes a copy and its journal that a swap or a repair left, unless it is
    // sound while the bank in place is not. 0, or -1 with the error text.
    int removeLeftover(const QString &copy, const QString &bankFile);
    // Copies the open bank to target under the store lock, so no statement
    // or transaction is half done in the copy. The copy is written beside
    // target and renamed over it only once complete and passing
    // checkBankFile; on any failure target is left as it was and the partial
    // copy removed. 0, or -1 with the error text set (also when no bank is
    // open, a transaction of the calling thread is open, or target is the
    // open bank itself).
    int copyBankFile(const QString &target);

signals:
    // Every record carried by these signals belongs to the receiver.
    void sendTalkQuesion(int radiomul, QList<MainQuestion *> manquestion);
    void sendQuickQuestionBycateId(SqliteData *chapter);
    void sendQuickQuestion(MainQuestion *group);
    void sendQuestionBycateIdBycount(QList<MainQuestion *> groups, int offset, int count);
    void sendNewKnowQuestion(int index, MainQuestion *group);
    void sendCollectoQuestion(int index, MainQuestion *group);
    void sendErrorQuestion(int index, MainQuestion *group);
    void sendNoteQuestion(int index, MainQuestion *group);
    void sendClearQuestions(int total, int index);
    void sendCopyTable(int total, int index, QString status);
    // recordAnswer failed (a full disk, a read-only bank): the answer is not
    // kept. reason is the error text.
    void sendAnswerNotSaved(QString reason);

private:
    explicit SqliteClass(QObject *parent = nullptr);
    // Closes and removes the connection (the destructor's step).
    void releaseDatabase();
    // A missing or empty bankFile gets the newest sound copy that a swap
    // keeps of it put in its place; the copy stays.
    void recoverBankFile(const QString &bankFile);

    friend class DatabaseMerge; // one merge run, on connections of its own

    // ---- Helpers shared by every operation ---------------------------------

    // A statement's row: its columns in order.
    using Row = QVariantList;

    // Call these two with the lock held. A query on the kept connection
    // handle (never the default-connection lookup, which Qt refuses on other
    // threads).
    QSqlQuery newQuery() const;
    // Runs sql on query, binding values positionally when there are any
    // (for texts the user typed). On failure records the error and returns
    // false.
    bool runQuery(QSqlQuery &query, const QString &sql,
                  const QVariantList &values = QVariantList());
    // False with the error recorded when the rows ended on a failed step.
    bool rowsComplete(const QSqlQuery &query, const QString &sql);

    // The helpers below take the lock themselves.

    // A worker's owner asked its job to stop: row loops end at the next row
    // and their operation fails, deleting what it had not handed over.
    static bool stopRequested();
    // runQuery on a fresh query: 0 or -1.
    int runStatement(const QString &sql, const QVariantList &values = QVariantList());
    // Sets the shared and the calling thread's error text.
    void setLastError(const QString &text);
    // Runs work (0 or more on success, -1 on failure) in one transaction: its
    // changes stay only when it succeeds. Its result, or -1.
    int runInTransaction(const std::function<int()> &work);
    int firstInt(const QString &sql, const QVariantList &values, int noRow); // first row, column 0; -1 on failure
    // The chapter's question, right and answered counts (text2 to text4) and
    // its last answer time; 0 or -1.
    int chapterStats(SqliteData &record, int cateId);
    int selectInt(const QString &sql, int &value); // 1 row (value set), 0 none, -1 failure
    // What a read does with a step that fails part-way: fail, or take it as
    // the end of the rows, as the chapter and settings reads always have.
    enum class StepFailure { Fails, EndsRows };
    // Runs sql, reads its rows under the lock, then hands each to take, which
    // gives false on a failure of its own (error recorded) to end the read.
    // 0, or -1 (also when the job is to stop).
    int readRows(const QString &sql, const QVariantList &values,
                 const std::function<bool(const Row &)> &take,
                 StepFailure stepFailure = StepFailure::Fails);
    // Walks table in windows of a few hundred rows by key (rowid, or an
    // indexed column: rows where it is null are left out, and rows of one
    // value share a window): read gets the condition that keeps alias to one
    // window and the condition's values, and gives 0 to go on. 0, or the
    // first other result of read.
    int readInWindows(const QString &table, const QString &alias,
                      const std::function<int(const QString &, const QVariantList &)> &read,
                      const QString &key = QStringLiteral("rowid"));
    // Reads in windows what "select ... fromWhere" selects, where fromWhere
    // ends in a condition "%1" on alias, a row of table, and values are its
    // placeholders before that. readKeys: alias.rowid and keyColumns (", ..."
    // or nothing) of every row.
    int readKeys(const QString &keyColumns, const QString &fromWhere, const QVariantList &values,
                 const QString &table, const QString &alias, QList<Row> &keys);
    // "select columns, alias.rowid fromWhere" for the rows of keys (rowid
    // first), in the order of keys, a few dozen at a time.
    int readRowsInOrder(const QString &columns, const QString &fromWhere, const QVariantList &values,
                        const QString &alias, const QList<Row> &keys, const std::function<bool(const Row &)> &take);
    // As "select columns fromWhere order by random() limit count" gives them
    // (with alias.rowid last), drawn here from the candidates' rowids that
    // keysSql (same values) selects. Its rows may be more than fromWhere
    // keeps: a drawn key that gives no row makes room for the next, so
    // keysSql can stay on indexes and narrow tables, short enough to run as
    // one statement, and never read a wide question row.
    int readRandomRows(const QString &columns, const QString &fromWhere, const QString &keysSql,
                       const QVariantList &values, const QString &alias, int count,
                       const std::function<bool(const Row &)> &take);
    // The loaded record of a type, null when the bank has none; its name,
    // empty then.
    QueTypeData *typeRecord(int queTypeId) const;
    QString typeName(int queTypeId) const;

    // Loaders, draws, the offline queue and the clean-up.
    int loadOptionsFrom(const QString &sql, QList<OptionData *> &options, int queId);
    int loadWholeGroups(int cateId, QList<MainQuestion *> *groups); // null groups: emit each
    MainQuestion *newGroup(int cateListId, int cateId, int queTypeId, const QString &stem) const;
    int readGroupHeader(int cateListId, int &queTypeId, QueTypeData *&type, QString &stem);
    struct QuestionList;
    int loadQuestionList(const QuestionList &list);
    bool emitListRow(const QuestionList &list, const Row &row, int index);
    int drawGroups(bool chosenOnly, int count, int queTypeId, QList<MainQuestion *> *out); // null out: emit each group
    // Posts the first queued report after (type, rowId); its reply posts the next.
    int postQueuedReportAfter(const QString &type, qint64 rowId);
    int isBrokenChapter(int cateId);    // 1 broken, 0 stays, -1 failure
    int isChildlessChapter(int cateId); // the same for chapters and sections

    // Held for each statement (see the class comment).
    using StoreLocker = std::lock_guard<StoreMutex>;
    mutable StoreMutex storeMutex;

    QSqlDatabase connection;
    QString lastError;
    // Why the last verifyKey failed.
    QSqlError keyCheckError;
    OfflineReportClient *login = nullptr;
    // A queued report is out and its reply not yet in.
    bool queuePosting = false;
    // Owned by the connection, which deletes it when it is removed.
    SQLiteCipherDriver *driver = nullptr;
    // Every type of the open bank, by queTypeId; the store owns the records,
    // and those of types a reload dropped.
    QMap<int, QueTypeData *> questionTypes;
    QList<QueTypeData *> retiredTypes;
    QString bankDirectory;
    int imageHeight = 0;
    bool examWindowOpen = false;
    // Tables whose rows a merge keeps from the user's own file, and those it
    // merges row by row by queId.
    const QStringList keptTables;
    const QStringList queIdMergedTables;
};
