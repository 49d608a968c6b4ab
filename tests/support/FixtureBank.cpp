#include "FixtureBank.h"

#include "BankFile.h"
#include "BankSql.h"
#include "BuiltinPassphrase.h"
#include "Figures.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// The id columns of each table that holds ids.
const QList<QPair<QString, QStringList>> idColumns = {
    {QStringLiteral("tCate"), {QStringLiteral("cateId"), QStringLiteral("faId")}},
    {QStringLiteral("tCateList"),
     {QStringLiteral("cateListId"), QStringLiteral("cateId"), QStringLiteral("queTypeId")}},
    {QStringLiteral("tQue"), {QStringLiteral("queId"), QStringLiteral("cateListId")}},
    {QStringLiteral("tQueOpt"), {QStringLiteral("queId")}},
    {QStringLiteral("tQueType"), {QStringLiteral("queTypeId")}},
    {QStringLiteral("ytCate"), {QStringLiteral("cateId"), QStringLiteral("faId")}},
    {QStringLiteral("ytCateList"),
     {QStringLiteral("cateListId"), QStringLiteral("cateId"), QStringLiteral("queTypeId")}},
    {QStringLiteral("ytQue"), {QStringLiteral("queId"), QStringLiteral("cateListId")}},
    {QStringLiteral("ytQueOpt"), {QStringLiteral("queId")}},
    {QStringLiteral("tQueLog"), {QStringLiteral("queId")}},
};

// The schema with the type of every id column taken away (optId keeps its
// own, which its AUTOINCREMENT needs).
QString untypedSchema(QString schema)
{
    static const QRegularExpression typedId(
        QStringLiteral("^(\\s*(?:cateId|faId|cateListId|queId|queTypeId)\\s+)INTEGER"),
        QRegularExpression::MultilineOption);
    return schema.replace(typedId, QStringLiteral("\\1"));
}

// Every id written so far, turned into text.
QString idsAsText()
{
    QStringList statements;
    for (const auto &table : idColumns) {
        for (const QString &column : table.second)
            statements << QStringLiteral("UPDATE %1 SET %2 = CAST(%2 AS TEXT) WHERE typeof(%2) = 'integer';")
                              .arg(table.first, column);
    }
    return statements.join(QLatin1Char('\n'));
}

} // namespace

FixtureBank::FixtureBank(Form form)
    : form(form), phrase(builtinPhrase()),
      images({{QStringLiteral("img50.png"), 50}, {QStringLiteral("img100.png"), 100},
               {QStringLiteral("img101.png"), 101}, {QStringLiteral("img150.png"), 150}})
{
}

FixtureBank &FixtureBank::setPageSize(int bytes)
{
    pageSize = bytes;
    return *this;
}

FixtureBank &FixtureBank::setPhrase(const QByteArray &text)
{
    phrase = text;
    return *this;
}

FixtureBank &FixtureBank::setSchemaOnly()
{
    withFixture = false;
    return *this;
}

FixtureBank &FixtureBank::setUntypedIds()
{
    untypedIds = true;
    return *this;
}

FixtureBank &FixtureBank::addSql(const QString &sql)
{
    extraSql << sql;
    return *this;
}

FixtureBank &FixtureBank::addImage(const QString &name, int height)
{
    images.append({name, height});
    return *this;
}

bool FixtureBank::open()
{
    if (!dir.isValid()) {
        lastError = dir.errorString();
        return false;
    }
    if (!writeImages())
        return false;
    switch (form) {
    case Form::ZeroBytes: {
        QFile empty(filePath());
        if (empty.open(QIODevice::WriteOnly))
            return true;
        lastError = empty.errorString();
        return false;
    }
    case Form::Directory:
        if (QDir().mkpath(filePath()))
            return true;
        lastError = QStringLiteral("cannot create %1").arg(filePath());
        return false;
    case Form::Keyed:
    case Form::Plain:
        break;
    }
    return writeBank();
}

bool FixtureBank::writeImages()
{
    if (!QDir().mkpath(imagesDir())) {
        lastError = QStringLiteral("cannot create %1").arg(imagesDir());
        return false;
    }
    for (const auto &image : qAsConst(images)) {
        if (!saveFigure(QDir(imagesDir()).filePath(image.first), Figure::Plain, QSize(80, image.second), &lastError))
            return false;
    }
    return true;
}

namespace {

// A fixture is written once and read by the test; syncing each of its
// hundreds of statements to disk only makes the tests wait.
bool skipSyncs(BankFile &bank)
{
    return bank.exec(QStringLiteral("PRAGMA synchronous = OFF;"));
}

} // namespace

bool FixtureBank::writeBank()
{
    BankFile bank;
    QStringList scripts{untypedIds ? untypedSchema(bankSchemaSql()) : bankSchemaSql()};
    if (withFixture)
        scripts << standardFixtureSql();
    scripts << extraSql;
    if (untypedIds)
        scripts << idsAsText();
    bool written = bank.open(filePath(), effectivePhrase(), pageSize) && skipSyncs(bank);
    for (int i = 0; written && i < scripts.size(); ++i)
        written = bank.exec(scripts[i]);
    if (!written)
        lastError = bank.error();
    return written;
}

bool FixtureBank::exec(const QString &sql)
{
    BankFile bank;
    if (bank.open(filePath(), effectivePhrase()) && skipSyncs(bank) && bank.exec(sql))
        return true;
    lastError = bank.error();
    return false;
}

QByteArray FixtureBank::effectivePhrase() const
{
    return form == Form::Plain ? QByteArray() : phrase;
}

QString FixtureBank::path() const
{
    return dir.path();
}

QString FixtureBank::databaseDir() const
{
    return dir.path() + QLatin1Char('/');
}

QString FixtureBank::filePath() const
{
    return dir.filePath(QStringLiteral("MedicalDB.db"));
}

QString FixtureBank::imagesDir() const
{
    return dir.filePath(QStringLiteral("images"));
}

QByteArray FixtureBank::builtinPhrase()
{
    return QByteArray(builtinPassphrase, builtinPassphraseLength);
}
