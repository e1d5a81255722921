#pragma once

#include <app/sitesettings.h>

#include <QString>

namespace Brellow {

// How long Brellow keeps logging in again by itself after the server ended the
// agent's session on its own: the site file's "resume" key, in minutes. 0 turns
// it off, for sites where the server ends a session only to log an agent out.
class ResumePolicy
{
public:
    static constexpr double DefaultMinutes = 60;

    // From the site's "resume" key.
    static ResumePolicy fromSite(const SiteSettings &site);
    // From a key's text; an empty text gives the default.
    static ResumePolicy fromText(const QString &text, const QString &source);

    qint64 limitMs() const { return m_limitMs; }
    bool isValid() const { return m_valid; }
    // One line for the log: the limit and where it came from.
    QString description() const;

private:
    qint64 m_limitMs = qint64(DefaultMinutes * 60000);
    bool m_valid = true;
    QString m_text;
    QString m_source;
};

} // namespace Brellow
