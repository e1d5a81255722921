#include <app/serveraddress.h>

#include <QTest>

using namespace Brellow;

// HOST[:PORT] as a site writes it on the command line, in the environment or in
// the system-wide settings file.
class TestServerAddress : public QObject
{
    Q_OBJECT

private slots:
    void good_data();
    void good();
    void bad_data();
    void bad();
};

void TestServerAddress::good_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("isAddress");
    QTest::addColumn<QString>("shown");

    QTest::newRow("ipv4, default port") << "10.0.0.5"
                                        << "10.0.0.5" << 49999 << true << "10.0.0.5:49999";
    QTest::newRow("ipv4 with port") << "192.168.1.20:5000"
                                    << "192.168.1.20" << 5000 << true << "192.168.1.20:5000";
    QTest::newRow("ipv4 bounds") << "0.0.0.0:1"
                                 << "0.0.0.0" << 1 << true << "0.0.0.0:1";
    QTest::newRow("highest port") << "255.255.255.255:65535"
                                  << "255.255.255.255" << 65535 << true << "255.255.255.255:65535";
    QTest::newRow("leading zeros in port") << "10.0.0.5:0080"
                                           << "10.0.0.5" << 80 << true << "10.0.0.5:80";
    QTest::newRow("single-label name") << "localhost"
                                       << "localhost" << 49999 << false << "localhost:49999";
    QTest::newRow("dotted name with port")
        << "stats-1.Call-Centre.example:4000"
        << "stats-1.Call-Centre.example" << 4000 << false << "stats-1.Call-Centre.example:4000";
    QTest::newRow("name starting with a digit")
        << "1stats.example"
        << "1stats.example" << 49999 << false << "1stats.example:49999";
    QTest::newRow("63-character label")
        << QString(63, 'a') + ".example" << QString(63, 'a') + ".example" << 49999 << false
        << QString(63, 'a') + ".example:49999";
    QTest::newRow("ipv6 in brackets") << "[::1]"
                                      << "::1" << 49999 << true << "[::1]:49999";
    QTest::newRow("ipv6 in brackets with port") << "[2001:db8::5]:7"
                                                << "2001:db8::5" << 7 << true << "[2001:db8::5]:7";
    QTest::newRow("ipv4-mapped ipv6") << "[::ffff:10.0.0.5]:9"
                                      << "::ffff:10.0.0.5" << 9 << true << "[::ffff:10.0.0.5]:9";
}

void TestServerAddress::good()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, isAddress);
    QFETCH(QString, shown);

    LocalizedText error = LocalizedText::value(QStringLiteral("untouched"));
    const ServerAddress address = ServerAddress::parse(text, QStringLiteral("somewhere"), &error);
    QVERIFY2(address.isValid(), qPrintable(error.english()));
    QCOMPARE(error.english(), QStringLiteral("untouched"));
    QCOMPARE(address.host(), host);
    QCOMPARE(int(address.port()), port);
    QCOMPARE(address.source(), QStringLiteral("somewhere"));
    QCOMPARE(!address.address().isNull(), isAddress);
    if (isAddress)
        QCOMPARE(address.address(), QHostAddress(host));
    QCOMPARE(address.toString(), shown);
}

void TestServerAddress::bad_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");

    const QString portRange = QStringLiteral("the port must be a number from 1 to 65535");
    const QString notHost = QStringLiteral("is neither a host name nor an IPv4 address");
    QTest::newRow("empty") << ""
                           << "the value is empty";
    QTest::newRow("port 0") << "10.0.0.5:0" << portRange;
    QTest::newRow("port 65536") << "10.0.0.5:65536" << portRange;
    QTest::newRow("huge port") << "10.0.0.5:99999999999999999999" << portRange;
    QTest::newRow("non-numeric port") << "stats.example:http" << portRange;
    QTest::newRow("signed port") << "stats.example:+80" << portRange;
    QTest::newRow("negative port") << "stats.example:-1" << portRange;
    QTest::newRow("blank in port") << "stats.example: 80" << portRange;
    QTest::newRow("trailing colon") << "10.0.0.5:"
                                    << "the port is missing after ':'";
    QTest::newRow("port only") << ":49999"
                               << "the host is missing";
    QTest::newRow("blank") << " " << notHost;
    QTest::newRow("surrounding blanks") << " 10.0.0.5 " << notHost;
    QTest::newRow("blank inside") << "stats example" << notHost;
    QTest::newRow("underscore") << "stats_1.example" << notHost;
    QTest::newRow("slash") << "stats.example/x" << notHost;
    QTest::newRow("url") << "udp://10.0.0.5" << portRange;
    QTest::newRow("control character at the end") << "stats.example\n" << notHost;
    QTest::newRow("digit other than 0-9") << QString::fromUtf8("10.0.0.\xd9\xa5") << notHost;
    QTest::newRow("non-ascii") << QString::fromUtf8("st\xc3\xa4ts.example") << notHost;
    QTest::newRow("control character") << "stats\n.example" << notHost;
    QTest::newRow("empty label") << "stats..example" << notHost;
    QTest::newRow("trailing dot") << "stats.example." << notHost;
    QTest::newRow("hyphen at label start") << "-stats.example" << notHost;
    QTest::newRow("hyphen at label end") << "stats-.example" << notHost;
    QTest::newRow("64-character label") << QString(64, 'a') + ".example" << notHost;
    QTest::newRow("ipv4 part above 255") << "10.0.0.256" << notHost;
    QTest::newRow("ipv4 with three parts") << "10.0.5" << notHost;
    QTest::newRow("ipv4 with five parts") << "10.0.0.5.1" << notHost;
    QTest::newRow("ipv4 with leading zero") << "10.0.0.05" << notHost;
    QTest::newRow("bare number") << "167772165" << notHost;
    QTest::newRow("hex address") << "0x7f.1" << notHost;
    QTest::newRow("ipv6 without brackets") << "::1"
                                           << "an IPv6 address must be written in brackets";
    QTest::newRow("ipv6 without brackets, with port")
        << "2001:db8::5:49999"
        << "an IPv6 address must be written in brackets";
    QTest::newRow("unclosed bracket") << "[::1"
                                      << "the closing ']' is missing";
    QTest::newRow("junk after bracket") << "[::1]x"
                                        << "only \":PORT\" may follow ']'";
    QTest::newRow("bracket, trailing colon") << "[::1]:"
                                             << "the port is missing after ':'";
    QTest::newRow("bracket, port 0") << "[::1]:0" << portRange;
    QTest::newRow("ipv4 in brackets") << "[10.0.0.5]"
                                      << "\"10.0.0.5\" is not an IPv6 address";
    QTest::newRow("name in brackets") << "[stats.example]:80"
                                      << "\"stats.example\" is not an IPv6 address";
    QTest::newRow("empty brackets") << "[]:80"
                                    << "\"\" is not an IPv6 address";
}

void TestServerAddress::bad()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);

    LocalizedText error;
    const ServerAddress address = ServerAddress::parse(text, QStringLiteral("somewhere"), &error);
    QVERIFY(!address.isValid());
    QVERIFY2(error.english().contains(reason), qPrintable(error.english()));
    QCOMPARE(address.port(), quint16(0));
}

QTEST_APPLESS_MAIN(TestServerAddress)
#include "tst_serveraddress.moc"
