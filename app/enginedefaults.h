#pragma once

#include <app/sitesettings.h>

#include <QString>
#include <QStringList>

namespace Brellow {

// Brellow's web engine settings for machines without a GPU, where many agents may
// share one terminal server: Qt Quick's software renderer, no GL integration, no
// GPU process, and the engine in one process. Each default yields to what the
// user set in the environment, and a site can turn them all off in its
// system-wide settings file (leanEngine=false) for machines with a GPU.
class EngineDefaults
{
public:
    // Decides from the site's leanEngine and sets the environment. Call before
    // the application object exists: the engine reads it once, when it starts.
    static EngineDefaults apply(const SiteSettings &site);

    bool lean() const { return m_lean; }
    // One line for the log: which configuration is in use and why.
    QString description() const;

private:
    bool m_lean = true;
    QString m_siteFile;
    QStringList m_set;
    QStringList m_kept;
};

} // namespace Brellow
