#include <tests/support/fakea11ystatus.h>

#include <tests/support/privatebus.h>

namespace UiTest {

void FakeA11yStatus::run(PrivateBus &bus, bool isEnabled, bool screenReaderEnabled)
{
    bus.runService(QStringLiteral("a11y-status"),
                   [isEnabled, screenReaderEnabled](QDBusConnection &connection, QObject *owner) {
                       auto *status = new FakeA11yStatus(isEnabled, screenReaderEnabled, owner);
                       connection.registerObject(QStringLiteral("/org/a11y/bus"), status,
                                                 QDBusConnection::ExportAllProperties);
                       connection.registerService(QStringLiteral("org.a11y.Bus"));
                   });
}

} // namespace UiTest
