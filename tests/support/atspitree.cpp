#include <tests/support/atspitree.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace UiTest {

namespace {

constexpr int CallTimeoutMs = 3000;
constexpr int MaxDepth = 60;
const QString AccessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");

struct Ref
{
    QString service;
    QString path;
};

QDBusMessage call(const QDBusConnection &bus, const Ref &ref, const QString &interface,
                  const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(ref.service, ref.path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection(bus).call(message, QDBus::Block, CallTimeoutMs);
}

QVariant property(const QDBusConnection &bus, const Ref &ref, const QString &interface,
                  const QString &name)
{
    const QDBusMessage reply = call(bus, ref, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

QList<Ref> children(const QDBusConnection &bus, const Ref &ref)
{
    const QDBusMessage reply = call(bus, ref, AccessibleInterface, QStringLiteral("GetChildren"));
    QList<Ref> result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return result;
    const QDBusArgument argument = reply.arguments().first().value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        Ref child;
        QDBusObjectPath path;
        argument.beginStructure();
        argument >> child.service >> path;
        argument.endStructure();
        child.path = path.path();
        result << child;
    }
    argument.endArray();
    return result;
}

void walk(const QDBusConnection &bus, const Ref &ref, int depth, QList<AtspiTree::Node> &nodes)
{
    if (depth > MaxDepth)
        return;
    AtspiTree::Node node;
    node.depth = depth;
    node.name = property(bus, ref, AccessibleInterface, QStringLiteral("Name")).toString();
    const QDBusMessage role = call(bus, ref, AccessibleInterface, QStringLiteral("GetRoleName"));
    if (role.type() == QDBusMessage::ReplyMessage && !role.arguments().isEmpty())
        node.role = role.arguments().first().toString();
    const QDBusMessage interfaces =
        call(bus, ref, AccessibleInterface, QStringLiteral("GetInterfaces"));
    if (interfaces.type() == QDBusMessage::ReplyMessage && !interfaces.arguments().isEmpty() &&
        interfaces.arguments().first().toStringList().contains(
            QStringLiteral("org.a11y.atspi.Value"))) {
        const QVariant value = property(bus, ref, QStringLiteral("org.a11y.atspi.Value"),
                                        QStringLiteral("CurrentValue"));
        node.hasValue = value.isValid();
        node.value = value.toDouble();
    }
    nodes << node;
    for (const Ref &child : children(bus, ref))
        walk(bus, child, depth + 1, nodes);
}

} // namespace

QList<AtspiTree::Node> AtspiTree::read(const QDBusConnection &a11yBus, const QString &appName)
{
    const Ref root{QStringLiteral("org.a11y.atspi.Registry"),
                   QStringLiteral("/org/a11y/atspi/accessible/root")};
    QList<Node> nodes;
    for (const Ref &app : children(a11yBus, root)) {
        if (property(a11yBus, app, AccessibleInterface, QStringLiteral("Name")).toString() ==
            appName) {
            walk(a11yBus, app, 0, nodes);
            break;
        }
    }
    return nodes;
}

QString AtspiTree::format(const QList<Node> &nodes)
{
    QString text;
    for (const Node &node : nodes) {
        text += QString(node.depth * 2, QLatin1Char(' ')) + QLatin1Char('[') + node.role +
                QStringLiteral("] \"") + node.name + QLatin1Char('"');
        if (node.hasValue)
            text += QStringLiteral(" value %1").arg(node.value);
        text += QLatin1Char('\n');
    }
    return text;
}

bool AtspiTree::contains(const QList<Node> &nodes, const QString &role, const QString &name)
{
    return std::any_of(nodes.begin(), nodes.end(), [&](const Node &node) {
        return node.role == role && node.name.simplified() == name;
    });
}

} // namespace UiTest
