#include <app/accessibilitychoice.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace Brellow {

namespace {

const QString A11yService = QStringLiteral("org.a11y.Bus");
const QString A11yPath = QStringLiteral("/org/a11y/bus");
const QString A11yStatus = QStringLiteral("org.a11y.Status");

// One reply or nothing, within timeoutMs.
QDBusMessage ask(const QDBusConnection &bus, const QDBusMessage &message, int timeoutMs)
{
    return QDBusConnection(bus).call(message, QDBus::Block, timeoutMs);
}

} // namespace

AccessibilityChoice AccessibilityChoice::decide(const Inputs &inputs)
{
    AccessibilityChoice result;
    result.m_desktop = inputs.desktop;
    if (inputs.engineVariableSet)
        result.m_reason = Reason::Environment;
    else if (inputs.site.value_or(false))
        result.m_reason = Reason::Site;
    else if (inputs.alwaysOn)
        result.m_reason = Reason::AlwaysOn;
    else if (!inputs.desktop.busConnected)
        result.m_reason = Reason::NoBus;
    else if (!inputs.desktop.serviceFound)
        result.m_reason = Reason::NoService;
    else if (inputs.desktop.isEnabled || inputs.desktop.screenReaderEnabled)
        result.m_reason = Reason::Desktop;
    else
        result.m_reason = Reason::DesktopOff;
    return result;
}

AccessibilityChoice::DesktopStatus AccessibilityChoice::queryDesktop(const QDBusConnection &bus,
                                                                     int timeoutMs)
{
    DesktopStatus status;
    status.busConnected = bus.isConnected();
    if (!status.busConnected)
        return status;

    // Asked of the bus itself: a property read on the service would start the
    // accessibility bus where the desktop has not.
    QDBusMessage hasOwner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    hasOwner << A11yService;
    const QDBusMessage owned = ask(bus, hasOwner, timeoutMs);
    status.serviceFound = owned.type() == QDBusMessage::ReplyMessage &&
                          !owned.arguments().isEmpty() && owned.arguments().first().toBool();
    if (!status.serviceFound)
        return status;

    QDBusMessage getAll = QDBusMessage::createMethodCall(
        A11yService, A11yPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("GetAll"));
    getAll << A11yStatus;
    const QDBusMessage reply = ask(bus, getAll, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        status.error =
            reply.errorMessage().isEmpty() ? QStringLiteral("no answer") : reply.errorMessage();
        return status;
    }
    const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().first());
    status.isEnabled = properties.value(QStringLiteral("IsEnabled")).toBool();
    status.screenReaderEnabled = properties.value(QStringLiteral("ScreenReaderEnabled")).toBool();
    return status;
}

AccessibilityChoice AccessibilityChoice::apply(const SiteSettings &site)
{
    Inputs inputs;
    inputs.engineVariableSet = qEnvironmentVariableIsSet(EngineVariable);
    if (site.contains(Setting::Accessibility))
        inputs.site = site.value(Setting::Accessibility).toBool();
    inputs.alwaysOn = qEnvironmentVariableIsSet(AlwaysOnVariable);
    // The bus is asked only when nothing else has decided.
    if (!inputs.engineVariableSet && !inputs.site.value_or(false) && !inputs.alwaysOn)
        inputs.desktop = queryDesktop(QDBusConnection::sessionBus());

    const AccessibilityChoice result = decide(inputs);
    if (result.engineOn() && !inputs.engineVariableSet)
        qputenv(EngineVariable, "1");
    return result;
}

bool AccessibilityChoice::engineOn() const
{
    switch (m_reason) {
    case Reason::Environment:
    case Reason::Site:
    case Reason::AlwaysOn:
    case Reason::Desktop:
        return true;
    case Reason::NoBus:
    case Reason::NoService:
    case Reason::DesktopOff:
        return false;
    }
    return false;
}

QString AccessibilityChoice::description() const
{
    QString why;
    switch (m_reason) {
    case Reason::Environment:
        why = QStringLiteral("%1 set in the environment").arg(QLatin1String(EngineVariable));
        break;
    case Reason::Site:
        why = QStringLiteral("%1=true in the site file")
                  .arg(SettingsTable::key(Setting::Accessibility));
        break;
    case Reason::AlwaysOn:
        why = QStringLiteral("%1 set").arg(QLatin1String(AlwaysOnVariable));
        break;
    case Reason::Desktop:
        why = m_desktop.screenReaderEnabled ? QStringLiteral("the desktop's screen reader is on")
                                            : QStringLiteral("the desktop's accessibility is on");
        break;
    case Reason::NoBus:
        why = QStringLiteral("no session bus");
        break;
    case Reason::NoService:
        why = QStringLiteral("no accessibility bus on the session bus");
        break;
    case Reason::DesktopOff:
        why = m_desktop.error.isEmpty()
                  ? QStringLiteral("the desktop's accessibility is off")
                  : QStringLiteral("the desktop's accessibility status unread: %1")
                        .arg(m_desktop.error);
        break;
    }
    return QStringLiteral("page accessibility: %1 (%2)")
        .arg(engineOn() ? QStringLiteral("on") : QStringLiteral("off"), why);
}

} // namespace Brellow
