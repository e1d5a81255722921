#pragma once

#include <QObject>
#include <QUrl>

namespace Brellow {

// The page's side of link clicks: the injected hook calls click() through the web
// channel with the link's resolved href.
class LinkBridge : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

public slots:
    void click(const QString &href);

signals:
    void clicked(const QUrl &url);
};

} // namespace Brellow
