#pragma once

#include <QJsonObject>
#include <QObject>

namespace Brellow {

// What a logged-in session pushes to its client: generated calls and figures, or a script.
class Feed : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // start() begins the pushes; stop() ends them for good.
    virtual void start() = 0;
    virtual void stop() = 0;

signals:
    void message(const QJsonObject &msg);
};

} // namespace Brellow
