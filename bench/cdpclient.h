#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QWebSocket>

// A small client of the Chrome DevTools protocol that Qt WebEngine opens with
// QTWEBENGINE_REMOTE_DEBUGGING: the bench reads and drives the real page from
// outside the program, as a user's tools would. Calls wait for their answer.
class CdpClient : public QObject
{
    Q_OBJECT

public:
    explicit CdpClient(QObject *parent = nullptr);

    // The endpoint's list of targets (GET /json); empty while it is not up.
    static QJsonArray targets(int port, int timeoutMs = 1000);

    bool open(const QString &webSocketUrl, int timeoutMs = 5000);
    bool isOpen() const;
    void close();

    // The call's "result", or an empty object with error() set.
    QJsonObject call(const QString &method, const QJsonObject &params = {}, int timeoutMs = 10000);
    QString error() const { return m_error; }

    // Evaluates an expression and hands back its value (returnByValue). With
    // contextId 0 it runs in the page's main world.
    QJsonValue evaluate(const QString &expression, int contextId = 0, int timeoutMs = 10000,
                        bool *ok = nullptr);

private:
    void onMessage(const QString &message);

    QWebSocket m_socket;
    int m_nextId = 1;
    QHash<int, QJsonObject> m_answers;
    QString m_error;
};
