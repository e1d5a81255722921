#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>

namespace UiTest {

// An application's accessibility tree as a screen reader reads it over AT-SPI,
// on the desktop's accessibility bus.
class AtspiTree
{
public:
    struct Node
    {
        int depth = 0;
        QString role;
        QString name;
        // The Value interface's current value, for nodes that have one.
        bool hasValue = false;
        double value = 0;
    };

    // The tree of the application named `appName` among those registered on the
    // accessibility bus; empty when none is.
    static QList<Node> read(const QDBusConnection &a11yBus, const QString &appName);
    // One line per node, indented by depth.
    static QString format(const QList<Node> &nodes);
    static bool contains(const QList<Node> &nodes, const QString &role, const QString &name);
};

} // namespace UiTest
