#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// One database file written through the program's own engine: keyed with a
// pass phrase (every page encrypted), or plain when the phrase is empty.
class BankFile
{
public:
    BankFile() = default;
    ~BankFile();
    BankFile(const BankFile &) = delete;
    BankFile &operator=(const BankFile &) = delete;

    // Creates the file when it is missing. pageSize 0 keeps the engine's default.
    bool open(const QString &path, const QByteArray &phrase, int pageSize = 0);
    // Runs a script of any number of statements.
    bool exec(const QString &sql);
    void close();

    sqlite3 *handle() const { return db; }
    QString error() const { return lastError; }

private:
    bool fail(const QString &what);

    sqlite3 *db = nullptr;
    QString lastError;
};

// Reads a UTF-8 text file whole.
bool readUtf8File(const QString &path, QString *text, QString *error);
