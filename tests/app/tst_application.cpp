#include <tests/support/appstart.h>

#include <app/application.h>
#include <net/receiver.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Brellow;

// Each test builds its own Application against a settings folder of its own.
class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstRunCreatesFolderAndLogs();
    void eachStartTruncatesTheLog();
    void qtMessagesGoToTheLog();
    void testAckTextCannotForgeLines();
    void longTestAckTextIsCut();
    void escapeLogText_data();
    void escapeLogText();
    void unwritableLogIsHarmless();

private:
    QStringList logLines() const;
    QString logPath() const { return m_config->path() + "/Brellow/brellow.log"; }

    std::unique_ptr<QTemporaryDir> m_config;
    // The server's end: a UDP port of this test's own on 127.0.0.1, bound before
    // any Qt application object exists.
    int m_serverSocket = -1;
    quint16 m_serverPort = 0;
    int m_argc = 1;
    char m_arg0[16] = "tst_application";
    char *m_argv[2] = {m_arg0, nullptr};
};

static const QRegularExpression
    linePattern(QStringLiteral("^(\\w{3} \\w{3} [ \\d]?\\d \\d\\d:\\d\\d:\\d\\d \\d{4})\\t(.*)$"));

void TestApplication::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config->path());

    m_serverSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    QVERIFY(m_serverSocket >= 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QCOMPARE(::bind(m_serverSocket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    QCOMPARE(::getsockname(m_serverSocket, reinterpret_cast<sockaddr *>(&address), &length), 0);
    m_serverPort = ntohs(address.sin_port);
    QVERIFY(m_serverPort != 0);
}

void TestApplication::cleanup()
{
    if (m_serverSocket >= 0)
        ::close(m_serverSocket);
    m_serverSocket = -1;
    qInstallMessageHandler(nullptr);
}

QStringList TestApplication::logLines() const
{
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TestApplication::firstRunCreatesFolderAndLogs()
{
    QVERIFY(!QDir(m_config->path() + "/Brellow").exists());
    {
        Application app(m_argc, m_argv);
        QVERIFY(AppTest::startApplication(app, m_serverPort));
        QCOMPARE(QDir::cleanPath(app.logFileName()), QDir::cleanPath(logPath()));
        QCOMPARE(QFileInfo(app.settings()->fileName()).absolutePath(),
                 QFileInfo(logPath()).absolutePath());
        QCOMPARE(app.settings()->format(), QSettings::IniFormat);
        QVERIFY(app.receiver()->isConnected());
        QCOMPARE(app.receiver()->parent(), &app);
        QCOMPARE(Application::instance(), &app);
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 1);
        const auto match = linePattern.match(lines.first());
        QVERIFY2(match.hasMatch(), qPrintable(lines.first()));
        QVERIFY(QDateTime::fromString(match.captured(1), Qt::TextDate).isValid());
        QCOMPARE(match.captured(2), QStringLiteral("started"));
    }
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(linePattern.match(lines.last()).captured(2), QStringLiteral("terminated"));
}

void TestApplication::eachStartTruncatesTheLog()
{
    QVERIFY(QDir().mkpath(m_config->path() + "/Brellow"));
    {
        QFile old(logPath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4096, 'x') + "\nan earlier run\n");
    }
    {
        Application app(m_argc, m_argv);
        QVERIFY(AppTest::startApplication(app, m_serverPort));
        app.log("second line");
    }
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 3);
    QStringList texts;
    for (const QString &line : lines)
        texts << linePattern.match(line).captured(2);
    QCOMPARE(texts, QStringList({"started", "second line", "terminated"}));

    // The earlier run is kept beside it.
    QFile previous(logPath() + ".1");
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), QByteArray(4096, 'x') + "\nan earlier run\n");
}

void TestApplication::qtMessagesGoToTheLog()
{
    {
        Application app(m_argc, m_argv);
        QVERIFY(AppTest::startApplication(app, m_serverPort));
        qInstallMessageHandler(messageHandler);
        qDebug("a debug message");
        qInfo("an info message");
        qWarning("a warning: %d", 42);
        qCritical() << "a critical" << 7;
    }
    qInstallMessageHandler(nullptr);
    QStringList texts;
    for (const QString &line : logLines()) {
        const auto match = linePattern.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        texts << match.captured(2);
    }
    QCOMPARE(texts, QStringList({"started", "a debug message", "an info message", "a warning: 42",
                                 "a critical 7", "terminated"}));
}

void TestApplication::testAckTextCannotForgeLines()
{
    QUdpSocket server;
    QVERIFY(server.bind(QHostAddress::LocalHost, 0));
    {
        Application app(m_argc, m_argv);
        QVERIFY(AppTest::startApplication(app, server.localPort()));
        qInstallMessageHandler(messageHandler);
        app.receiver()->test();
        QVERIFY(server.waitForReadyRead(2000));
        QHostAddress from;
        quint16 port = 0;
        QByteArray ignored(server.pendingDatagramSize(), 0);
        server.readDatagram(ignored.data(), ignored.size(), &from, &port);
        server.writeDatagram(
            R"({"cmd":"test_ack","data":"hello\nThu Dec 10 04:00:00 2026\tterminated\r\u2028x"})",
            from, port);
        server.writeDatagram(R"({"cmd":"test_ack","data":"after"})", from, port);
        QTRY_COMPARE(logLines().size(), 3);
    }
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(linePattern.match(lines.at(1)).captured(2),
             QStringLiteral("\"hello\\nThu Dec 10 04:00:00 2026\\tterminated\\r\\u2028x\" "));
    QCOMPARE(linePattern.match(lines.at(2)).captured(2), QStringLiteral("\"after\" "));
}

// A server's 60 KB "test_ack" adds a few kilobytes to the log, not 60.
void TestApplication::longTestAckTextIsCut()
{
    QUdpSocket server;
    QVERIFY(server.bind(QHostAddress::LocalHost, 0));
    const QByteArray data(61440, 'z');
    {
        Application app(m_argc, m_argv);
        QVERIFY(AppTest::startApplication(app, server.localPort()));
        qInstallMessageHandler(messageHandler);
        app.receiver()->test();
        QVERIFY(server.waitForReadyRead(2000));
        QHostAddress from;
        quint16 port = 0;
        QByteArray ignored(server.pendingDatagramSize(), 0);
        server.readDatagram(ignored.data(), ignored.size(), &from, &port);
        server.writeDatagram(R"({"cmd":"test_ack","data":")" + data + R"("})", from, port);
        QTRY_COMPARE(logLines().size(), 2);
    }
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 3);
    // The message is the quoted text and a blank: 61443 characters, cut after 4096.
    QCOMPARE(linePattern.match(lines.at(1)).captured(2),
             "\"" + QString(4095, 'z') +
                 QString::fromUtf8(" \u2026 [cut at 4096 of 61443 characters]"));
    QVERIFY(QFileInfo(logPath()).size() < 5000);
}

void TestApplication::escapeLogText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logged");
    QTest::newRow("plain") << "started"
                           << "started";
    QTest::newRow("backslash and quotes stay") << R"(a\n "b")"
                                               << R"(a\n "b")";
    QTest::newRow("line breaks") << "a\nb\r\nc"
                                 << R"(a\nb\r\nc)";
    QTest::newRow("tab") << "a\tb"
                         << R"(a\tb)";
    QTest::newRow("nul and escape") << QString("a") + QChar(0) + QChar(0x1b) + "b"
                                    << R"(a\u0000\u001bb)";
    QTest::newRow("next line and separators")
        << QString(QChar(0x85)) + QChar(0x2029) << R"(\u0085\u2029)";
    QTest::newRow("other unicode stays") << QString::fromUtf8("K\xc3\xa4the \xf0\x9f\x98\x80")
                                         << QString::fromUtf8("K\xc3\xa4the \xf0\x9f\x98\x80");
}

void TestApplication::escapeLogText()
{
    QFETCH(QString, text);
    QFETCH(QString, logged);
    QCOMPARE(Application::escapeLogText(text), logged);
}

void TestApplication::unwritableLogIsHarmless()
{
    // A file where the settings folder should be: neither folder nor log can be made.
    QFile blocker(m_config->path() + "/Brellow");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    {
        Application app(m_argc, m_argv);
        QVERIFY(AppTest::startApplication(app, m_serverPort));
        qInstallMessageHandler(messageHandler);
        app.log("nowhere to go");
        qWarning("nor this");
        QVERIFY(app.receiver()->isConnected());
    }
    QVERIFY(QFileInfo(m_config->path() + "/Brellow").isFile());
    QCOMPARE(QFileInfo(m_config->path() + "/Brellow").size(), 0);
}

QTEST_APPLESS_MAIN(TestApplication)
#include "tst_application.moc"
