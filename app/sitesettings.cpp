#include <app/sitesettings.h>

#include <QDir>
#include <QSettings>

namespace Brellow {

namespace {

// The site file that holds the key. QSettings reads the first file along
// XDG_CONFIG_DIRS that has it, but does not say which.
QString siteFileHolding(const QString &key)
{
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString &dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString file = QDir(dir).filePath(QStringLiteral("Brellow/brellow.ini"));
        if (QSettings(file, QSettings::IniFormat).contains(key))
            return QDir::cleanPath(file);
    }
    return {};
}

} // namespace

SiteSettings SiteSettings::load()
{
    SiteSettings result;
    const QSettings site(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Brellow"),
                         QStringLiteral("brellow"));
    result.m_fileName = site.fileName();
    for (const SettingsTable::Entry &entry : SettingsTable::entries()) {
        if (entry.scope != SettingsTable::Scope::Site || !site.contains(entry.key))
            continue;
        result.m_values.insert(entry.setting, site.value(entry.key));
        const QString holder = siteFileHolding(entry.key);
        if (!holder.isEmpty())
            result.m_holders.insert(entry.setting, holder);
    }
    return result;
}

} // namespace Brellow
