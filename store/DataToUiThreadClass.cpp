#include "DataToUiThreadClass.h"

#include "ExamSection.h"
#include "MainQuestion.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QCoreApplication>
#include <QDebug>

namespace {

SqliteClass *store()
{
    return SqliteClass::instance();
}

// The ids of a chapter list, taken before the list goes to its receiver.
QList<int> chapterIds(const QList<SqliteData *> &chapters)
{
    QList<int> ids;
    for (const SqliteData *chapter : chapters)
        ids.append(chapter->text0.toInt());
    return ids;
}

using ChildLoader = int (SqliteClass::*)(QList<SqliteData *> &, int);

// False, with nothing left in list, when the load failed (logged) or the job
// was stopped (not an error: nothing to log).
bool loadChildren(ChildLoader loader, QList<SqliteData *> &list, int faId)
{
    if ((store()->*loader)(list, faId) != -1)
        return true;
    if (!QThread::currentThread()->isInterruptionRequested())
        qDebug().noquote() << SqliteClass::threadLastErrorText();
    qDeleteAll(list);
    list.clear();
    return false;
}

} // namespace

DataToUiThreadClass::DataToUiThreadClass() = default;

DataToUiThreadClass::~DataToUiThreadClass()
{
    requestInterruption();
    wait();
}

void DataToUiThreadClass::setJob(int job, int parameter)
{
    this->job = job;
    this->parameter = parameter;
}

void DataToUiThreadClass::setPageJob(int job, int cateId, int offset, int count)
{
    this->job = job;
    pageCateId = cateId;
    pageOffset = offset;
    pageCount = count;
}

void DataToUiThreadClass::setKeywordJob(int job, const QString &keyword)
{
    this->job = job;
    this->keyword = keyword;
}

void DataToUiThreadClass::setClearJob(int job, int cateId, const QString &flags)
{
    this->job = job;
    parameter = cateId;
    clearFlags = flags;
}

void DataToUiThreadClass::setMergeJob(int job, const QString &userDatabase, const QString &newBank)
{
    this->job = job;
    this->userDatabase = userDatabase;
    this->newBank = newBank;
}

void DataToUiThreadClass::setChoiceTreeJob(int job, const QList<ChoiceNode> &tree)
{
    this->job = job;
    choiceTree = tree;
}

void DataToUiThreadClass::setSectionJob(int job, const QList<ExamSection *> &sections)
{
    this->job = job;
    this->sections.clear();
    for (const ExamSection *section : sections)
        this->sections.append({section->count, section->queTypeId});
}

void DataToUiThreadClass::setPaperTypes(const QList<int> &types)
{
    paperTypes = types;
}

void DataToUiThreadClass::stop()
{
    requestInterruption();
    wait();
    ++jobGeneration;
}

void DataToUiThreadClass::releaseOwner(QObject *owner)
{
    stop();
    QCoreApplication::sendPostedEvents(owner, QEvent::MetaCall);
}

int DataToUiThreadClass::childChapters(QList<SqliteData *> &list, int faId)
{
    return store()->childChaptersWithChoice(list, faId);
}

void DataToUiThreadClass::run()
{
    if (job < 1 || job == 2 || job > 19)
        return;
    emit sendJobStarted(jobGeneration);
    runJob();
    jobError = SqliteClass::threadLastErrorText();
}

void DataToUiThreadClass::runJob()
{
    switch (job) {
    case 1: loadGroups(); break;
    case 3: finish(&DataToUiThreadClass::sendErrorQuestion, store()->loadWrongList()); break;
    case 4: finish(&DataToUiThreadClass::sendMarkQuestion, store()->loadFavouriteList()); break;
    case 5: finish(&DataToUiThreadClass::sendNoteQuestion, store()->loadNoteList()); break;
    case 6: searchQuestions(); break;
    case 7: drawManMachinePaper(); break;
    case 8: loadChapterSets(); break;
    case 9: finish(&DataToUiThreadClass::sendNewKnowQuestion, store()->loadDoneList()); break;
    case 10: finish(&DataToUiThreadClass::sendSqliteClass, store()->loadQuickBackChapters(parameter)); break;
    case 11: finish(&DataToUiThreadClass::sendSqliteClass, store()->loadReportGroups(parameter)); break;
    case 12: store()->loadChapterPage(pageCateId, pageOffset, pageCount); break;
    case 13: loadRecentChapters(); break;
    case 14: loadChoiceTree(); break;
    case 15: loadPaper(); break;
    case 16: drawSimulatedExam(); break;
    case 17: storeChoices(choiceTree); finish(&DataToUiThreadClass::sendSqliteClass, 0); break;
    case 18: finish(&DataToUiThreadClass::sendSqliteClass, store()->clearChapterRecords(clearFlags, parameter)); break;
    case 19: finish(&DataToUiThreadClass::sendSqliteClass, store()->mergeDatabase(userDatabase, newBank)); break;
    default: break;
    }
}

void DataToUiThreadClass::finish(void (DataToUiThreadClass::*signal)(int), int result)
{
    if (!stopped())
        emit (this->*signal)(result);
}

void DataToUiThreadClass::loadGroups()
{
    QList<MainQuestion *> groups;
    const int result = store()->loadGroups(groups, parameter);
    if (stopped()) {
        qDeleteAll(groups);
        return;
    }
    emit sendQuestion(result, groups);
}

void DataToUiThreadClass::searchQuestions()
{
    QList<SqliteData *> hits;
    const int result = store()->searchQuestions(keyword, hits);
    for (int i = 0; i < hits.size(); ++i) {
        if (stopped()) {
            qDeleteAll(hits.mid(i));
            return;
        }
        emit sendFindQuestion(hits.at(i));
    }
    finish(&DataToUiThreadClass::sendFindQuestions, result);
}

void DataToUiThreadClass::drawManMachinePaper()
{
    int result = 0;
    for (const Section &section : qAsConst(sections)) {
        if (stopped())
            return;
        result = SqliteClass::isGroupType(section.queTypeId)
                     ? store()->drawRandomGroups(section.count, section.queTypeId)
                     : store()->drawRandomQuestions(section.count, section.queTypeId);
    }
    finish(&DataToUiThreadClass::sendTalkError, result);
}

void DataToUiThreadClass::loadChapterSets()
{
    QList<SqliteData *> rows;
    int result = store()->childChapters(rows, parameter);
    for (int i = 0; i < rows.size() && result != -1 && !stopped(); ++i) {
        SqliteData *summary = nullptr;
        result = store()->chapterSummary(summary, rows.at(i)->text0.toInt());
        if (result == -1)
            break;
        if (summary) {
            rows[i]->text2 = summary->text2;
            rows[i]->text3 = summary->text3;
            rows[i]->text4 = summary->text4;
            rows[i]->dateTime = summary->dateTime;
            delete summary;
        }
        emit sendQuestionBycateId(rows[i]);
        rows[i] = nullptr;
    }
    qDeleteAll(rows); // the rows not sent
    finish(&DataToUiThreadClass::sendSqliteClass, result);
}

void DataToUiThreadClass::loadRecentChapters()
{
    QList<SqliteData *> rows;
    int result = store()->recentChapters(rows);
    for (int i = 0; i < rows.size() && result != -1 && !stopped(); ++i) {
        result = sendRecentChapter(i, rows.at(i));
        if (result != -1)
            rows[i] = nullptr;
    }
    qDeleteAll(rows); // the rows not sent
    finish(&DataToUiThreadClass::sendSqliteClass, result);
}

int DataToUiThreadClass::sendRecentChapter(int index, SqliteData *row)
{
    SqliteData *summary = nullptr;
    if (store()->chapterSummary(summary, row->text0.toInt()) == -1)
        return -1;
    if (summary) {
        row->text5 = summary->text2;
        row->text6 = summary->text4;
        row->text7 = summary->text3;
        row->dateTime = summary->dateTime;
        delete summary;
    }
    QString parentName;
    if (store()->chapterName(parentName, row->text3.toInt()) == -1)
        return -1;
    QString questionText;
    const int result = store()->questionText(questionText, row->text2.toInt());
    if (result == -1)
        return -1;
    emit sendtQueLogAnswerHistory(index, row, parentName, questionText);
    return result;
}

void DataToUiThreadClass::loadChoiceTree()
{
    QList<SqliteData *> tops;
    if (!loadChildren(&SqliteClass::childChaptersWithChoice, tops, 0))
        return;
    const QList<int> topIds = chapterIds(tops);
    emit sendAlltCate(1, 0, 0, tops);
    for (int i = 0; i < topIds.size(); ++i) {
        if (!sendChildLists(i, topIds.at(i)))
            return;
    }
    if (!stopped())
        emit sendAlltCate(4, 0, 0, {});
}

bool DataToUiThreadClass::sendChildLists(int top, int topId)
{
    QList<SqliteData *> sections;
    if (stopped() || !loadChildren(&SqliteClass::childChaptersWithChoice, sections, topId))
        return false;
    const QList<int> sectionIds = chapterIds(sections);
    emit sendAlltCate(2, top, 0, sections);
    for (int j = 0; j < sectionIds.size(); ++j) {
        QList<SqliteData *> sets;
        if (stopped() || !loadChildren(&SqliteClass::childChaptersWithStats, sets, sectionIds.at(j)))
            return false;
        emit sendAlltCate(3, top, j, sets);
    }
    return true;
}

void DataToUiThreadClass::loadPaper()
{
    int result = 0;
    for (const int type : qAsConst(paperTypes)) {
        if (stopped())
            return;
        result = store()->loadPaperQuestions(parameter, type);
    }
    finish(&DataToUiThreadClass::sendTalkError, result);
}

void DataToUiThreadClass::drawSimulatedExam()
{
    int result = 0;
    for (const Section &section : qAsConst(sections)) {
        if (stopped())
            return;
        result = store()->drawExamQuestions(section.count, section.queTypeId);
        if (result == -1)
            break;
    }
    finish(&DataToUiThreadClass::sendTalkError, result);
}

void DataToUiThreadClass::storeChoices(const QList<ChoiceNode> &nodes)
{
    for (const ChoiceNode &node : nodes) {
        if (stopped())
            return;
        if (store()->setChapterChosen(node.cateId, node.chosen) == -1)
            qDebug().noquote() << SqliteClass::threadLastErrorText();
        storeChoices(node.children);
    }
}
