#pragma once

#include <QObject>

namespace UiTest {

class PrivateBus;

// The desktop's accessibility status as the accessibility bus launcher serves it
// (org.a11y.Bus, /org/a11y/bus, interface org.a11y.Status).
class FakeA11yStatus : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool IsEnabled READ isEnabled)
    Q_PROPERTY(bool ScreenReaderEnabled READ screenReaderEnabled)

public:
    FakeA11yStatus(bool isEnabled, bool screenReaderEnabled, QObject *parent = nullptr)
        : QObject(parent), m_isEnabled(isEnabled), m_screenReaderEnabled(screenReaderEnabled)
    {
    }

    bool isEnabled() const { return m_isEnabled; }
    bool screenReaderEnabled() const { return m_screenReaderEnabled; }

    // Serves the status on the bus from a thread of its own.
    static void run(PrivateBus &bus, bool isEnabled, bool screenReaderEnabled);

private:
    bool m_isEnabled;
    bool m_screenReaderEnabled;
};

} // namespace UiTest
