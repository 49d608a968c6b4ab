#include "ConfigIni.h"

#include <QStringList>

ConfigIni::ConfigIni()
    : QSettings(QStringLiteral("Config.ini"), QSettings::IniFormat)
{
    setIniCodec("GB18030");
}

QString ConfigIni::text(const QString &key) const
{
    const QVariant v = value(key);
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

QString ConfigIni::readText(const QString &key)
{
    return ConfigIni().text(key);
}

void ConfigIni::write(const QString &key, const QVariant &value)
{
    ConfigIni().setValue(key, value);
}
