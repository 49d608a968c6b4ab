// bankctl: a command-line tool for encrypted question banks, on top of the
// engine's page codec and the SQLite C API.
//
//   bankctl [--phrase P] create  BANK SCRIPT.sql   new encrypted bank from an SQL script
//   bankctl [--phrase P] exec    BANK "SQL"        run SQL, print rows tab-separated
//   bankctl [--phrase P] encrypt PLAIN BANK        plain SQLite file -> encrypted bank
//   bankctl [--phrase P] decrypt BANK PLAIN        encrypted bank -> plain SQLite file
//   bankctl [--phrase P] rekey   BANK NEWPHRASE    change the pass phrase ("" removes it)
//
// The pass phrase defaults to the built-in one. Exit status 0 on success;
// otherwise a one-line error on stderr and 1 (2 for a usage error).

#include "BuiltinPassphrase.h"
#include "CipherCodec.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char usageText[] =
    "usage: bankctl [--phrase P] create BANK SCRIPT.sql\n"
    "       bankctl [--phrase P] exec BANK \"SQL\"\n"
    "       bankctl [--phrase P] encrypt PLAIN BANK\n"
    "       bankctl [--phrase P] decrypt BANK PLAIN\n"
    "       bankctl [--phrase P] rekey BANK NEWPHRASE\n";

struct Failure
{
    std::string message;
    int status = 1;
};

[[noreturn]] void fail(const std::string &message, int status = 1)
{
    throw Failure{message, status};
}

bool exists(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    return bool(f);
}

void removeFiles(const std::string &path)
{
    std::remove(path.c_str());
    std::remove((path + "-journal").c_str());
}

// A connection through the codec's VFS, closed on scope exit.
class Connection
{
public:
    Connection(const std::string &path, bool create, bool readOnly = false)
    {
        const int flags = readOnly ? SQLITE_OPEN_READONLY
                                   : (SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
        int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
        if (rc != SQLITE_OK)
            fail(path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close(db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void key(const std::string &phrase)
    {
        if (!phrase.empty() && sqlite3_key(db, phrase.data(), int(phrase.size())) != SQLITE_OK)
            fail(std::string("cannot key the database: ") + sqlite3_errmsg(db));
    }
    // Fails with a readable message unless the file reads as a database.
    void check(const std::string &path, bool keyed)
    {
        int rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc == SQLITE_NOTADB)
            fail(path + (keyed ? ": wrong pass phrase, or not a bank" : ": not a plain SQLite database"));
        if (rc != SQLITE_OK)
            fail(path + ": " + sqlite3_errmsg(db));
    }
    void exec(const std::string &sql, const std::string &what)
    {
        char *error = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = what + ": " + (error ? error : sqlite3_errmsg(db));
            sqlite3_free(error);
            fail(message);
        }
    }
    sqlite3 *get() const { return db; }

private:
    sqlite3 *db = nullptr;
};

std::string readText(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        fail(path + ": cannot read the file");
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Copies every page of a database into an empty one (the page size follows
// the source).
void copyDatabase(Connection &from, Connection &to, const std::string &target)
{
    sqlite3_backup *backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup)
        fail(target + ": " + sqlite3_errmsg(to.get()));
    int rc = sqlite3_backup_step(backup, -1);
    int finish = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finish != SQLITE_OK)
        fail(target + ": " + sqlite3_errmsg(to.get()));
}

void create(const std::string &phrase, const std::string &bank, const std::string &scriptPath)
{
    if (exists(bank))
        fail(bank + ": already exists");
    const std::string script = readText(scriptPath);
    try {
        Connection db(bank, true);
        db.key(phrase);
        // A new file: no journal on disk needed, a failure deletes it.
        db.exec("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY", bank);
        db.exec(script, scriptPath);
        if (!sqlite3_get_autocommit(db.get()))
            db.exec("COMMIT", scriptPath);
        db.exec("PRAGMA synchronous=FULL", bank);
    } catch (...) {
        removeFiles(bank);
        throw;
    }
}

std::string hexText(const void *data, int n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    const auto *b = static_cast<const unsigned char *>(data);
    for (int i = 0; i < n; ++i) {
        out += digits[b[i] >> 4];
        out += digits[b[i] & 15];
    }
    return out;
}

void execute(const std::string &phrase, const std::string &bank, const std::string &sql)
{
    if (!exists(bank))
        fail(bank + ": no such file");
    Connection db(bank, false);
    db.key(phrase);
    db.check(bank, !phrase.empty());
    const char *tail = sql.c_str();
    std::string out;
    while (tail && *tail) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), tail, -1, &stmt, &tail) != SQLITE_OK)
            fail(sqlite3_errmsg(db.get()));
        if (!stmt)
            continue;  // whitespace or a comment
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(stmt);
            for (int c = 0; c < columns; ++c) {
                if (c > 0)
                    out += '\t';
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_NULL:
                    break;
                case SQLITE_BLOB:
                    out += hexText(sqlite3_column_blob(stmt, c), sqlite3_column_bytes(stmt, c));
                    break;
                default:
                    out.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                               size_t(sqlite3_column_bytes(stmt, c)));
                }
            }
            out += '\n';
        }
        std::string error = sqlite3_errmsg(db.get());
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            fail(error);
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void convert(const std::string &phrase, const std::string &source, const std::string &target, bool encrypt)
{
    if (!exists(source))
        fail(source + ": no such file");
    if (exists(target))
        fail(target + ": already exists");
    try {
        Connection from(source, false, true);
        if (!encrypt)
            from.key(phrase);
        from.check(source, !encrypt);
        Connection to(target, true);
        if (encrypt)
            to.key(phrase);
        copyDatabase(from, to, target);
    } catch (...) {
        removeFiles(target);
        throw;
    }
}

void rekey(const std::string &phrase, const std::string &bank, const std::string &newPhrase)
{
    if (!exists(bank))
        fail(bank + ": no such file");
    Connection db(bank, false);
    db.key(phrase);
    db.check(bank, !phrase.empty());
    int rc = sqlite3_rekey(db.get(), newPhrase.empty() ? nullptr : newPhrase.data(), int(newPhrase.size()));
    if (rc != SQLITE_OK)
        fail(bank + ": rekey failed: " + sqlite3_errstr(rc));
}

int run(int argc, char **argv)
{
    std::string phrase = builtinPassphrase;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--phrase") {
            if (i + 1 >= argc)
                fail("--phrase needs a value", 2);
            phrase = argv[++i];
        } else if (a.rfind("--phrase=", 0) == 0) {
            phrase = a.substr(9);
        } else if (a == "-h" || a == "--help") {
            std::fputs(usageText, stdout);
            return 0;
        } else {
            args.push_back(a);
        }
    }
    if (args.size() != 3)
        fail(args.empty() ? "no command (try --help)" : "wrong number of arguments (try --help)", 2);
    if (cipherRegisterVfs() != SQLITE_OK)
        fail("cannot register the codec's VFS");
    const std::string &verb = args[0];
    if (verb == "create")
        create(phrase, args[1], args[2]);
    else if (verb == "exec")
        execute(phrase, args[1], args[2]);
    else if (verb == "encrypt")
        convert(phrase, args[1], args[2], true);
    else if (verb == "decrypt")
        convert(phrase, args[1], args[2], false);
    else if (verb == "rekey")
        rekey(phrase, args[1], args[2]);
    else
        fail("unknown command '" + verb + "' (try --help)", 2);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(argc, argv);
    } catch (const Failure &f) {
        std::fprintf(stderr, "bankctl: %s\n", f.message.c_str());
        return f.status;
    }
}
