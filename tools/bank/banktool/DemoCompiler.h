#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Turns a subject written in the line format of tools/bank/demo/README.md
// into the SQL that fills a bank made from the schema, and draws its images.
class DemoCompiler
{
public:
    // Parses the whole source; false with error() naming the line on failure.
    bool compile(const QString &source);
    QString sql() const { return statements.join(QLatin1Char('\n')); }
    // Draws every declared image into dir.
    bool drawImages(const QString &dir, QString *error) const;
    QString error() const { return lastError; }
    int questionCount() const { return questions; }

private:
    struct Image { QString name; QString kind; int width; int height; };
    struct Outline { QString id; QString content; };

    bool parseLine(const QString &keyword, const QStringList &fields);
    bool addNode(int level, const QStringList &fields);
    bool addPaper(const QStringList &fields);
    bool addGroup(int type, const QString &stem);
    bool addQuestion(const QStringList &fields);
    bool addOptions(const QStringList &texts);
    void insertOptions(int queId, const QStringList &texts);
    bool closeQuestion();
    bool needsFields(const QStringList &fields, int count);
    bool fail(const QString &message);
    void emitOutline();
    // tQue becomes ytQue inside a prediction paper.
    QString table(const char *name) const;

    QStringList statements;
    QList<Image> images;
    QList<Outline> outline;

    int nodeAtLevel[3] = {0, 0, 0};   // current chapter, section, set
    int siblings[3] = {0, 0, 0};      // children already under the node above
    int nextCateId = 1;
    int papers = 0;
    bool inPaper = false;

    int singleType = 0;               // non-zero: every question forms its own group
    int groupId = 0;                  // the open shared group, 0 when none
    int groupType = 0;
    QStringList sharedOptions;
    int groupsInNode = 0;
    int questionsInGroup = 0;
    int nextGroupId = 1;

    int nextQueId = 1;
    int openQueId = 0;                // the last question while it still waits for options
    int openType = 0;
    QString openAnswer;
    int questions = 0;
    int types = 0;
    int lineNumber = 0;
    QString lastError;
};
