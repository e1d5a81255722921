#pragma once

#include "benchoptions.h"
#include "statserver.h"
#include "webprocess.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace Bench {

// Runs the registered measures against the real brellow and keeps what they share:
// the statistics server the bench plays, the logged-in Brellow most measures watch,
// further instances and users, PSS of process trees, datagram streams, the table and
// the JSON results.
class Runner
{
public:
    explicit Runner(const Options &options);
    ~Runner();

    int run();

    const Options &options() const { return m_options; }
    // A row of the printed table, also shown as progress.
    void add(const QString &section, const QString &metric, const QString &value);
    QJsonObject &json() { return m_json; }

    StatServer &server() { return m_server; }
    // What points Brellow to the bench's server, if it takes --server.
    QStringList serverArguments() const;
    // A fresh folder name for an instance's HOME (not yet made).
    QString newHome();

    // The logged-in Brellow for the next measure: the same one, unless a measure left
    // it with work still queued, then a new one, logged in.
    bool readyMain();
    WebProcess *main() const { return m_main.get(); }
    // The client port of the main Brellow at the bench's server.
    quint16 mainPeer() const;
    // Its page still has work queued: the next readyMain starts a new one.
    void setMainBusy() { m_mainBusy = true; }

    bool prepareUser(int index, WebProcess::Account *account);
    // extraEnv goes on top of --env.
    std::unique_ptr<WebProcess> startBrellow(const QString &username,
                                             const WebProcess::Account &account, QJsonObject *info,
                                             const QProcessEnvironment &extraEnv = {});
    bool logIn(WebProcess *brellow, const QString &username);
    // Instances beside the main one; ended by clearExtras() or at the end of the run.
    void addExtra(std::unique_ptr<WebProcess> extra) { m_extra.append(extra.release()); }
    QList<WebProcess *> extras() const { return m_extra; }
    void clearExtras();

    // Empty, or a warning naming other Qt WebEngine processes than ours.
    QString memoryNote(const QList<int> &alsoOurs = {});
    qint64 treePss(const QList<WebProcess *> &processes, QList<qint64> *each = nullptr);
    QJsonObject memoryDetail(WebProcess *page);
    bool measureClockOffset(WebProcess *page, qint64 *offsetUs);

    // Sends count datagrams made by make(i) at rate per second (0: as fast as
    // the socket takes them), noting each one's send time if times is given and
    // sampling the tree's PSS on the way.
    struct StreamStats
    {
        qint64 sent = 0;
        qint64 failed = 0;
        qint64 lastSendUs = 0;
        qint64 peakPssKiB = 0;
        // PSS of the tree every half second, in KiB.
        QJsonArray pssSamples;
        bool capped = false;
    };
    StreamStats stream(quint16 peer, qint64 count, int rate,
                       const std::function<QByteArray(qint64)> &make, QList<qint64> *times,
                       WebProcess *watched, const std::function<bool()> &stop = {});
    // Sends the datagram again every 100 ms until the page shows text in element
    // id; the microseconds from the first send, or -1.
    qint64 showFresh(WebProcess *page, quint16 peer, const QByteArray &datagram, const QString &id,
                     const QString &text, qint64 fromUs, int *sends);

private:
    bool wanted(const QString &section) const { return m_options.sections.contains(section); }
    QList<int> ourPids() const;
    bool probeServerOption();
    void print();

    struct Row
    {
        QString section;
        QString metric;
        QString value;
    };

    Options m_options;
    QTemporaryDir m_dir;
    StatServer m_server;
    bool m_serverOption = false;
    int m_lockFd = -1;
    QList<Row> m_rows;
    QJsonObject m_json;
    QSet<int> m_foreign;
    std::unique_ptr<WebProcess> m_main;
    bool m_mainBusy = false;
    QList<WebProcess *> m_extra;
    QStringList m_createdUsers;
    int m_homes = 0;
};

} // namespace Bench
