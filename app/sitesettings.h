#pragma once

#include <app/settingstable.h>

#include <QHash>
#include <QString>
#include <QVariant>

namespace Brellow {

// The site's system-wide settings (Brellow/brellow.ini along XDG_CONFIG_DIRS,
// /etc/xdg by default), read once at start and handed to whoever needs a key.
// Agents cannot write the file, so it does not change under a running Brellow.
class SiteSettings
{
public:
    SiteSettings() = default;

    // Reads every site key of the settings table. Needs no application object:
    // the engine's part is decided before one exists.
    static SiteSettings load();

    bool contains(Setting setting) const { return m_values.contains(setting); }
    // The key's value as QSettings gave it, or an invalid QVariant when absent.
    QVariant value(Setting setting) const { return m_values.value(setting); }
    // The file QSettings names for the site scope, for the log.
    QString fileName() const { return m_fileName; }
    // The file that holds the key, for the log; fileName() when none can be named.
    QString fileHolding(Setting setting) const { return m_holders.value(setting, m_fileName); }

private:
    QHash<Setting, QVariant> m_values;
    QHash<Setting, QString> m_holders;
    QString m_fileName;
};

} // namespace Brellow
