#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A subject directory in a temporary folder: "MedicalDB.db" built from the
// bank schema and the standard fixture (tools/bank/fixture/standard.sql),
// keyed with the built-in phrase, and an "images" folder with img50.png,
// img100.png, img101.png and img150.png (named after their heights).
//
//   FixtureBank bank;
//   QVERIFY2(bank.open(), qPrintable(bank.error()));
//   store->openDatabase(bank.path(), ...);
//
// Tests that need more rows add SQL before open() rather than copying the fixture.
//
// setUntypedIds() gives the same bank with its id columns declared without a
// type and holding their ids as text, as some delivered banks do; rows that
// a test adds after open() must then write their ids as text ('1001').
class FixtureBank
{
public:
    enum class Form {
        Keyed,      // encrypted with the phrase (the built-in one unless set)
        Plain,      // an ordinary SQLite file with the same content
        ZeroBytes,  // "MedicalDB.db" exists but is empty
        Directory,  // "MedicalDB.db" is a directory
    };

    explicit FixtureBank(Form form = Form::Keyed);
    FixtureBank(const FixtureBank &) = delete;
    FixtureBank &operator=(const FixtureBank &) = delete;

    // Settings; they take effect in open().
    FixtureBank &setPageSize(int bytes);
    FixtureBank &setPhrase(const QByteArray &phrase);
    FixtureBank &setSchemaOnly();                        // no fixture rows
    FixtureBank &setUntypedIds();                        // ids untyped, held as text
    FixtureBank &addSql(const QString &sql);             // runs after the fixture
    FixtureBank &addImage(const QString &name, int height);

    // Writes the subject directory; false with error() on failure.
    bool open();
    // Runs SQL on the written bank, keyed as it was written.
    bool exec(const QString &sql);

    QString path() const;          // the subject directory, without trailing "/"
    QString databaseDir() const;   // the same with a trailing "/", as the store keeps it
    QString filePath() const;      // path() + "/MedicalDB.db"
    QString imagesDir() const;     // path() + "/images"
    QString error() const { return lastError; }

    static QByteArray builtinPhrase();

private:
    bool writeImages();
    bool writeBank();
    QByteArray effectivePhrase() const;

    QTemporaryDir dir;
    Form form;
    int pageSize = 0;
    QByteArray phrase;
    bool withFixture = true;
    bool untypedIds = false;
    QStringList extraSql;
    QList<QPair<QString, int>> images;
    QString lastError;
};
