#include <app/enginedefaults.h>

namespace Brellow {

namespace {

constexpr const char *QuickBackend = "QT_QUICK_BACKEND";
constexpr const char *GlIntegration = "QT_XCB_GL_INTEGRATION";
constexpr const char *ChromiumFlags = "QTWEBENGINE_CHROMIUM_FLAGS";

} // namespace

EngineDefaults EngineDefaults::apply(const SiteSettings &site)
{
    EngineDefaults result;
    result.m_siteFile = site.fileName();
    if (site.contains(Setting::LeanEngine))
        result.m_lean = site.value(Setting::LeanEngine).toBool();
    if (!result.m_lean)
        return result;

    const auto setDefault = [&result](const char *name, const QByteArray &value) {
        if (qEnvironmentVariableIsSet(name)) {
            result.m_kept << QStringLiteral("%1=%2").arg(QLatin1String(name),
                                                         qEnvironmentVariable(name));
            return;
        }
        qputenv(name, value);
        result.m_set << QStringLiteral("%1=%2").arg(QLatin1String(name), QLatin1String(value));
    };
    setDefault(QuickBackend, "software");
    setDefault(GlIntegration, "none");

    // The single-process engine draws only through the software renderer: with
    // the GL one it aborts on its first frame.
    // Nor does the engine fetch anything in the background: Brellow shows one
    // compiled-in page and talks to nothing else. Nor does it keep compiled
    // scripts for reuse: Brellow's scripts carry values and never come twice,
    // and under a flood of updates the kept ones pile up until a full collection.
    QByteArray flags =
        "--disable-gpu --disable-background-networking --js-flags=--no-compilation-cache";
    if (qgetenv(QuickBackend) == "software")
        flags += " --single-process";
    setDefault(ChromiumFlags, flags);
    return result;
}

QString EngineDefaults::description() const
{
    if (!m_lean)
        return QStringLiteral("engine: Qt's defaults (%1=false in %2)")
            .arg(SettingsTable::key(Setting::LeanEngine), m_siteFile);
    QString text = QStringLiteral("engine: lean defaults");
    if (!m_set.isEmpty())
        text += QStringLiteral(", set ") + m_set.join(QStringLiteral(", "));
    if (!m_kept.isEmpty())
        text += QStringLiteral(", kept from the environment ") + m_kept.join(QStringLiteral(", "));
    return text;
}

} // namespace Brellow
