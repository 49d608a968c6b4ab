#include "PublicData.h"

#include "ConfigIni.h"

PublicData::PublicData(QObject *parent)
    : QObject(parent),
      logoDir(QStringLiteral("Logo")),
      logoFile(logoDir + QStringLiteral("/logo.png")),
      bigLogoFile(logoDir + QStringLiteral("/biglogo.png")),
      proxyButtonBase(logoDir + QStringLiteral("/ProxyButton"))
{
}

PublicData *PublicData::instance()
{
    static PublicData *const data = new PublicData;
    return data;
}

QString PublicData::value(const QString &key)
{
    return ConfigIni::readText(key);
}

void PublicData::setValue(const QString &key, const QString &value)
{
    ConfigIni::write(key, value);
}
