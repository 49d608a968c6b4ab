#include "BankSql.h"

#include <QFile>

static void initBankSqlResource()
{
    Q_INIT_RESOURCE(bankkit);
}

namespace {

QString resourceText(const QString &path)
{
    initBankSqlResource();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString bankSchemaSql()
{
    return resourceText(QStringLiteral(":/bank/schema.sql"));
}

QString standardFixtureSql()
{
    return resourceText(QStringLiteral(":/bank/fixture/standard.sql"));
}
