#include "DemoCompiler.h"

#include "Figures.h"

#include <QDir>
#include <QSet>

namespace {

const char modTime[] = "2024-03-01 08:00:00";

QString quoted(const QString &text)
{
    QString body = text;
    return QLatin1Char('\'') + body.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Statements are filled in one arg() call each: a text that holds "%2" must
// not be taken for a placeholder by a later call.
QString number(int value)
{
    return QString::number(value);
}

QString letter(int index)
{
    return QString(QChar(QLatin1Char('A').unicode() + index));
}

bool isChoiceType(int type)
{
    static const QSet<int> choice = {1, 2, 3, 4, 6, 7, 11};
    return choice.contains(type);
}

bool isSharedType(int type)
{
    return type == 3 || type == 4 || type == 7;
}

} // namespace

bool DemoCompiler::compile(const QString &source)
{
    statements << QStringLiteral("BEGIN;");
    const QStringList lines = source.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        ++lineNumber;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return fail(QStringLiteral("expected \"keyword: fields\""));
        QStringList fields = line.mid(colon + 1).split(QLatin1Char('|'));
        for (QString &field : fields)
            field = field.trimmed();
        if (!parseLine(line.left(colon).trimmed(), fields))
            return false;
    }
    if (!closeQuestion())
        return false;
    emitOutline();
    statements << QStringLiteral("COMMIT;");
    return true;
}

bool DemoCompiler::parseLine(const QString &keyword, const QStringList &fields)
{
    if (keyword == QLatin1String("type")) {
        if (!needsFields(fields, 4))
            return false;
        statements << QStringLiteral("INSERT INTO tQueType VALUES (%1, %2, %3, %4, 1, %5);")
                          .arg(number(fields[0].toInt()), quoted(fields[1]), quoted(fields[2]), number(++types),
                               number(fields[3].toInt()));
        return true;
    }
    if (keyword == QLatin1String("sys")) {
        if (!needsFields(fields, 3))
            return false;
        statements << QStringLiteral("INSERT INTO sysConfig VALUES (%1, %2, %3);").arg(quoted(fields[0]), quoted(fields[1]), quoted(fields[2]));
        return true;
    }
    if (keyword == QLatin1String("outline")) {
        if (!needsFields(fields, 2))
            return false;
        outline.append({fields[0], fields[1]});
        return true;
    }
    if (keyword == QLatin1String("image")) {
        Figure figure;
        if (!needsFields(fields, 4))
            return false;
        if (!figureFromName(fields[1], &figure))
            return fail(QStringLiteral("unknown figure \"%1\"").arg(fields[1]));
        images.append({fields[0], fields[1], fields[2].toInt(), fields[3].toInt()});
        return true;
    }
    if (keyword == QLatin1String("chapter"))
        return addNode(0, fields);
    if (keyword == QLatin1String("section"))
        return addNode(1, fields);
    if (keyword == QLatin1String("set"))
        return addNode(2, fields);
    if (keyword == QLatin1String("paper"))
        return addPaper(fields);
    if (keyword == QLatin1String("single")) {
        if (!closeQuestion())
            return false;
        singleType = fields.value(0).toInt();
        groupId = 0;
        if (isSharedType(singleType))
            return fail(QStringLiteral("type %1 questions come in groups").arg(singleType));
        return true;
    }
    if (keyword == QLatin1String("group")) {
        if (!needsFields(fields, 2) || !closeQuestion())
            return false;
        singleType = 0;
        return addGroup(fields[0].toInt(), fields[1]);
    }
    if (keyword == QLatin1String("q"))
        return addQuestion(fields);
    if (keyword == QLatin1String("o"))
        return addOptions(fields);
    return fail(QStringLiteral("unknown keyword \"%1\"").arg(keyword));
}

bool DemoCompiler::addNode(int level, const QStringList &fields)
{
    if (!needsFields(fields, 1) || !closeQuestion())
        return false;
    if (level > 0 && nodeAtLevel[level - 1] == 0)
        return fail(QStringLiteral("a section or set needs its parent first"));
    const int id = nextCateId++;
    const int parent = level == 0 ? 0 : nodeAtLevel[level - 1];
    statements << QStringLiteral("INSERT INTO tCate VALUES (%1, %2, %3, %4, '1');")
                      .arg(number(id), quoted(fields[0]), number(parent), number(++siblings[level]));
    nodeAtLevel[level] = id;
    for (int deeper = level + 1; deeper < 3; ++deeper) {
        nodeAtLevel[deeper] = 0;
        siblings[deeper] = 0;
    }
    inPaper = false;
    groupId = 0;
    groupsInNode = 0;
    return true;
}

bool DemoCompiler::addPaper(const QStringList &fields)
{
    if (!needsFields(fields, 2) || !closeQuestion())
        return false;
    ++papers;
    statements << QStringLiteral("INSERT INTO ytCate VALUES (%1, %2, 0, %1, %3);").arg(number(papers), quoted(fields[1]), quoted(fields[0]));
    for (int &node : nodeAtLevel)
        node = 0;
    inPaper = true;
    groupId = 0;
    groupsInNode = 0;
    return true;
}

bool DemoCompiler::addGroup(int type, const QString &stem)
{
    const int owner = inPaper ? papers : nodeAtLevel[2];
    if (owner == 0)
        return fail(QStringLiteral("questions belong in a set or a paper"));
    groupId = nextGroupId++;
    groupType = type;
    sharedOptions.clear();
    questionsInGroup = 0;
    ++groupsInNode;
    if (inPaper)
        statements << QStringLiteral("INSERT INTO ytCateList VALUES (%1, %2, %3, %4);").arg(number(groupId), number(owner), number(type), quoted(stem));
    else
        statements << QStringLiteral("INSERT INTO tCateList VALUES (%1, %2, %3, %4, %5);")
                          .arg(number(groupId), number(owner), number(type), quoted(stem), number(groupsInNode));
    return true;
}

bool DemoCompiler::addQuestion(const QStringList &fields)
{
    if (!needsFields(fields, 3) || !closeQuestion())
        return false;
    if (singleType != 0 && !addGroup(singleType, QString()))
        return false;
    if (groupId == 0)
        return fail(QStringLiteral("a question needs \"single:\" or \"group:\" first"));
    const int queId = nextQueId++;
    ++questions;
    statements << QStringLiteral("INSERT INTO %1 (queId, cateListId, queText, answer, prompt, IsDel, ord, queCode, modTime) "
                                 "VALUES (%2, %3, %4, %5, %6, '0', %7, 'D%8', '%9');")
                      .arg(table("tQue"), number(queId), number(groupId), quoted(fields[0]), quoted(fields[1]),
                           quoted(fields[2]), number(++questionsInGroup),
                           QStringLiteral("%1").arg(queId, 4, 10, QLatin1Char('0')), QLatin1String(modTime));
    openQueId = queId;
    openType = groupType;
    openAnswer = fields[1];
    if (groupType == 11)
        return addOptions({QStringLiteral("正确"), QStringLiteral("错误")});
    if (!sharedOptions.isEmpty())
        return addOptions(sharedOptions);
    return true;
}

bool DemoCompiler::addOptions(const QStringList &texts)
{
    if (openQueId == 0) {
        if (groupId == 0 || questionsInGroup > 0)
            return fail(QStringLiteral("options follow their question, or open a shared group"));
        sharedOptions = texts;
        return true;
    }
    for (const QChar c : openAnswer) {
        const int index = c.unicode() - QLatin1Char('A').unicode();
        if (index < 0 || index >= texts.size())
            return fail(QStringLiteral("answer \"%1\" names no option").arg(openAnswer));
    }
    insertOptions(openQueId, texts);
    openQueId = 0;
    return true;
}

void DemoCompiler::insertOptions(int queId, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i)
        statements << QStringLiteral("INSERT INTO %1 (optName, optText, queId) VALUES ('%2', %3, %4);")
                          .arg(table("tQueOpt"), letter(i), quoted(texts[i]), number(queId));
}

// A choice question must have got its options before the next item starts.
bool DemoCompiler::closeQuestion()
{
    if (openQueId != 0 && isChoiceType(openType))
        return fail(QStringLiteral("question %1 has no options").arg(openQueId));
    openQueId = 0;
    return true;
}

bool DemoCompiler::needsFields(const QStringList &fields, int count)
{
    if (fields.size() >= count)
        return true;
    return fail(QStringLiteral("expected %1 fields separated by \"|\"").arg(count));
}

bool DemoCompiler::fail(const QString &message)
{
    lastError = QStringLiteral("line %1: %2").arg(number(lineNumber), message);
    return false;
}

// A syllabus node is a leaf when no other code extends its own.
void DemoCompiler::emitOutline()
{
    for (const Outline &node : qAsConst(outline)) {
        bool leaf = true;
        for (const Outline &other : qAsConst(outline))
            leaf = leaf && !(other.id.size() > node.id.size() && other.id.startsWith(node.id));
        statements << QStringLiteral("INSERT INTO examOutline VALUES (%1, %2, '%3');")
                          .arg(quoted(node.id), quoted(node.content), leaf ? QStringLiteral("1") : QString());
    }
}

QString DemoCompiler::table(const char *name) const
{
    return (inPaper ? QStringLiteral("y") : QString()) + QLatin1String(name);
}

bool DemoCompiler::drawImages(const QString &dir, QString *error) const
{
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    for (const Image &image : images) {
        Figure figure;
        figureFromName(image.kind, &figure);
        if (!saveFigure(QDir(dir).filePath(image.name), figure, QSize(image.width, image.height), error))
            return false;
    }
    return true;
}
