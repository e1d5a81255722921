#include "cdpclient.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

CdpClient::CdpClient(QObject *parent) : QObject(parent)
{
    // A page's records can be large; the default would cut them off.
    m_socket.setMaxAllowedIncomingMessageSize(256 * 1024 * 1024);
    m_socket.setMaxAllowedIncomingFrameSize(256 * 1024 * 1024);
    connect(&m_socket, &QWebSocket::textMessageReceived, this, &CdpClient::onMessage);
}

QJsonArray CdpClient::targets(int port, int timeoutMs)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/json").arg(port)));
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    const bool failed = reply->error() != QNetworkReply::NoError;
    reply->deleteLater();
    if (failed)
        return {};
    return QJsonDocument::fromJson(body).array();
}

bool CdpClient::open(const QString &webSocketUrl, int timeoutMs)
{
    QEventLoop loop;
    const auto connected = connect(&m_socket, &QWebSocket::connected, &loop, &QEventLoop::quit);
    const auto failed =
        connect(&m_socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), &loop,
                &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    m_socket.open(QUrl(webSocketUrl));
    loop.exec();
    disconnect(connected);
    disconnect(failed);
    return isOpen();
}

bool CdpClient::isOpen() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void CdpClient::close()
{
    m_socket.close();
}

QJsonObject CdpClient::call(const QString &method, const QJsonObject &params, int timeoutMs)
{
    m_error.clear();
    if (!isOpen()) {
        m_error = QStringLiteral("not connected");
        return {};
    }
    const int id = m_nextId++;
    QJsonObject message{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}};
    if (!params.isEmpty())
        message.insert(QStringLiteral("params"), params);
    m_socket.sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));

    QDeadlineTimer deadline(timeoutMs);
    while (!m_answers.contains(id) && !deadline.hasExpired() && isOpen()) {
        QEventLoop loop;
        const auto got =
            connect(&m_socket, &QWebSocket::textMessageReceived, &loop, &QEventLoop::quit);
        const auto gone = connect(&m_socket, &QWebSocket::disconnected, &loop, &QEventLoop::quit);
        QTimer::singleShot(qMax<qint64>(1, deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
        disconnect(got);
        disconnect(gone);
    }
    if (!m_answers.contains(id)) {
        m_error = isOpen() ? QStringLiteral("%1: no answer").arg(method)
                           : QStringLiteral("%1: connection lost").arg(method);
        return {};
    }
    const QJsonObject answer = m_answers.take(id);
    if (answer.contains(QStringLiteral("error"))) {
        m_error = QStringLiteral("%1: %2").arg(method, answer.value(QStringLiteral("error"))
                                                           .toObject()
                                                           .value(QStringLiteral("message"))
                                                           .toString());
        return {};
    }
    return answer.value(QStringLiteral("result")).toObject();
}

QJsonValue CdpClient::evaluate(const QString &expression, int contextId, int timeoutMs, bool *ok)
{
    QJsonObject params{{QStringLiteral("expression"), expression},
                       {QStringLiteral("returnByValue"), true}};
    if (contextId > 0)
        params.insert(QStringLiteral("contextId"), contextId);
    const QJsonObject result = call(QStringLiteral("Runtime.evaluate"), params, timeoutMs);
    const bool good = m_error.isEmpty() && !result.contains(QStringLiteral("exceptionDetails"));
    if (!good && m_error.isEmpty())
        m_error = result.value(QStringLiteral("exceptionDetails"))
                      .toObject()
                      .value(QStringLiteral("text"))
                      .toString();
    if (ok)
        *ok = good;
    if (!good)
        return {};
    return result.value(QStringLiteral("result")).toObject().value(QStringLiteral("value"));
}

void CdpClient::onMessage(const QString &message)
{
    const QJsonObject object = QJsonDocument::fromJson(message.toUtf8()).object();
    // Events (no id) are not used.
    if (object.contains(QStringLiteral("id")))
        m_answers.insert(object.value(QStringLiteral("id")).toInt(), object);
}
