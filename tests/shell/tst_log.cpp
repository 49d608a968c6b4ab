// The log file: line format, size limit, whole lines from many threads.
#include "MessageHandler.h"
#include "TempWorkDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

QByteArray logBytes()
{
    QFile f(QString::fromLatin1(logFileName));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString stamp(const QDateTime &t)
{
    return QLocale::system().toString(t, QStringLiteral("yyyy-MM-dd hh:mm:ss ddd"));
}

// Installs the handler for one test and puts the previous one back.
class InstalledHandler
{
public:
    InstalledHandler() : previous(qInstallMessageHandler(messageHandler)) {}
    ~InstalledHandler() { qInstallMessageHandler(previous); }

private:
    QtMessageHandler previous;
};

} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void lineFormat_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expectedHead");
        QTest::newRow("system debug") << int(QtDebugMsg) << QByteArray() << 0 << "打开数据库成功"
                                      << "Debug: File:() Line:(0) 打开数据库成功";
        QTest::newRow("warning with place") << int(QtWarningMsg) << QByteArray("store/SqliteClass.cpp") << 120
                                            << "bad row" << "Warning: File:(store/SqliteClass.cpp) Line:(120) bad row";
        QTest::newRow("critical") << int(QtCriticalMsg) << QByteArray() << 0 << "x"
                                  << "Critical: File:() Line:(0) x";
        QTest::newRow("info has no type text") << int(QtInfoMsg) << QByteArray() << 0 << "y"
                                               << " File:() Line:(0) y";
        QTest::newRow("placeholders stay") << int(QtDebugMsg) << QByteArray() << 0 << "%1 %2 100%"
                                           << "Debug: File:() Line:(0) %1 %2 100%";
    }
    void lineFormat()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        QFETCH(QString, message);
        QFETCH(QString, expectedHead);
        TempWorkDir dir;
        const QMessageLogContext context(file.isEmpty() ? nullptr : file.constData(), line, nullptr, nullptr);

        const QDateTime before = QDateTime::currentDateTime();
        messageHandler(QtMsgType(type), context, message);
        const QDateTime after = QDateTime::currentDateTime();

        const QByteArray written = logBytes();
        const QString atBefore = expectedHead + " (" + stamp(before) + ")\r\n";
        const QString atAfter = expectedHead + " (" + stamp(after) + ")\r\n";
        QVERIFY2(written == atBefore.toLocal8Bit() || written == atAfter.toLocal8Bit(), written.constData());
    }

    void linesAreAppended()
    {
        TempWorkDir dir;
        messageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("one"));
        messageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("two"));
        const QList<QByteArray> lines = logBytes().split('\n');
        QCOMPARE(lines.size(), 3);   // two lines and the empty rest after the last break
        QVERIFY(lines[0].startsWith("Debug: File:() Line:(0) one ("));
        QVERIFY(lines[1].startsWith("Debug: File:() Line:(0) two ("));
        QVERIFY(lines[2].isEmpty());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<qint64>("oldSize");
        QTest::addColumn<bool>("kept");
        QTest::newRow("at the limit is kept") << logSizeLimit << true;
        QTest::newRow("one byte over is deleted") << logSizeLimit + 1 << false;
    }
    void sizeLimit()
    {
        QFETCH(qint64, oldSize);
        QFETCH(bool, kept);
        TempWorkDir dir;
        {
            QFile old(QString::fromLatin1(logFileName));
            QVERIFY(old.open(QIODevice::WriteOnly));
            QVERIFY(old.resize(oldSize));
        }
        messageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("next"));
        const QByteArray written = logBytes();
        QCOMPARE(written.indexOf("Debug: File:() Line:(0) next ("), kept ? oldSize : 0);
        QCOMPARE(written.count('\n'), 1);
        QVERIFY(written.endsWith(")\r\n"));
    }

    void threadsWriteWholeLines()
    {
        TempWorkDir dir;
        constexpr int threadCount = 8;
        constexpr int perThread = 500;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads.emplace_back(QThread::create([t] {
                for (int m = 0; m < perThread; ++m)
                    messageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("thread %1 message %2").arg(t).arg(m));
            }));
            threads.back()->start();
        }
        for (auto &thread : threads)
            QVERIFY(thread->wait(60000));

        const QString all = QString::fromLocal8Bit(logBytes());
        QVERIFY(all.endsWith("\r\n"));
        const QStringList lines = all.left(all.size() - 2).split("\r\n");
        QCOMPARE(lines.size(), threadCount * perThread);
        const QRegularExpression whole(QStringLiteral(
            R"(^Debug: File:\(\) Line:\(0\) thread (\d) message (\d+) \(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [^()]+\)$)"));
        QVector<int> next(threadCount, 0);
        for (const QString &line : lines) {
            const QRegularExpressionMatch m = whole.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            const int t = m.captured(1).toInt();
            QCOMPARE(m.captured(2).toInt(), next[t]++);   // each thread's lines in its own order
        }
    }

    void unwritableLogIsSilent()
    {
        TempWorkDir dir;
        QVERIFY(QDir().mkdir(QString::fromLatin1(logFileName)));   // a directory in the file's place
        messageHandler(QtWarningMsg, QMessageLogContext(), QStringLiteral("lost"));
        messageHandler(QtWarningMsg, QMessageLogContext(), QStringLiteral("lost too"));   // no lock left held
        QVERIFY(QFileInfo(QString::fromLatin1(logFileName)).isDir());
    }

    // Skin sheets say rgb(r,g,b,a); Qt warns about that at every parse. The
    // log keeps every other warning.
    void skinColourWarningIsDropped()
    {
        TempWorkDir dir;
        InstalledHandler handler;
        QPushButton button;
        button.setStyleSheet(QStringLiteral("QPushButton{background-color: rgb(80,153,2,255);}"));
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        button.grab();
        qWarning("QCssParser::parseColorValue: Specified color with alpha value but no alpha given: 'rgba 1, 2, 3'");
        const QString log = QString::fromLocal8Bit(logBytes());
        QVERIFY2(!log.contains("without alpha value but alpha given"), qPrintable(log));
        QVERIFY(log.contains("with alpha value but no alpha given"));
    }
};

QTEST_MAIN(TestLog)
#include "tst_log.moc"
