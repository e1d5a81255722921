#include <app/resumepolicy.h>

#include <cmath>

namespace Brellow {

ResumePolicy ResumePolicy::fromSite(const SiteSettings &site)
{
    return fromText(site.value(Setting::Resume).toString(), site.fileName());
}

ResumePolicy ResumePolicy::fromText(const QString &text, const QString &source)
{
    ResumePolicy policy;
    policy.m_text = text.trimmed();
    policy.m_source = source;
    if (policy.m_text.isEmpty())
        return policy;
    bool ok = false;
    const double minutes = policy.m_text.toDouble(&ok);
    // A week is far beyond any shift; anything larger is a typing mistake.
    if (!ok || !std::isfinite(minutes) || minutes < 0 || minutes > 7 * 24 * 60) {
        policy.m_valid = false;
        return policy;
    }
    policy.m_limitMs = qint64(std::llround(minutes * 60000));
    return policy;
}

QString ResumePolicy::description() const
{
    const QString key =
        QStringLiteral("%1=%2 in %3").arg(SettingsTable::key(Setting::Resume), m_text, m_source);
    if (!m_valid)
        return QStringLiteral("resume: %1 is not a number of minutes from 0 to 10080; "
                              "the default of %2 min holds")
            .arg(key)
            .arg(DefaultMinutes);
    const QString origin = m_text.isEmpty() ? QStringLiteral("the default") : key;
    if (m_limitMs == 0)
        return QStringLiteral("resume: off (%1)").arg(origin);
    return QStringLiteral("resume: a session the server ends is resumed for up to %1 min (%2)")
        .arg(m_limitMs / 60000.0, 0, 'g', 6)
        .arg(origin);
}

} // namespace Brellow
