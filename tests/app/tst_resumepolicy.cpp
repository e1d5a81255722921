#include <app/resumepolicy.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;

// The site's limit on resuming a session the server ended: minutes, 0 for off.
class TestResumePolicy : public QObject
{
    Q_OBJECT

private slots:
    void fromText_data();
    void fromText();
    void siteFileIsRead();
};

void TestResumePolicy::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("limitMs");
    QTest::addColumn<QString>("logged");
    QTest::newRow("unset") << "" << true << qint64(3600000) << "up to 60 min (the default)";
    QTest::newRow("off") << "0" << true << qint64(0) << "resume: off (resume=0 in F)";
    QTest::newRow("a shift") << " 480 " << true << qint64(480 * 60000) << "up to 480 min";
    QTest::newRow("fraction") << "0.25" << true << qint64(15000) << "up to 0.25 min";
    QTest::newRow("not a number") << "an hour" << false << qint64(3600000)
                                  << "resume=an hour in F is not a number";
    QTest::newRow("negative") << "-5" << false << qint64(3600000) << "not a number";
    QTest::newRow("beyond a week") << "20000" << false << qint64(3600000) << "not a number";
    QTest::newRow("infinite") << "inf" << false << qint64(3600000) << "not a number";
}

void TestResumePolicy::fromText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, limitMs);
    QFETCH(QString, logged);
    const ResumePolicy policy = ResumePolicy::fromText(text, QStringLiteral("F"));
    QCOMPARE(policy.isValid(), valid);
    QCOMPARE(policy.limitMs(), limitMs);
    QVERIFY2(policy.description().contains(logged), qPrintable(policy.description()));
}

void TestResumePolicy::siteFileIsRead()
{
    QTemporaryDir site;
    QVERIFY(site.isValid());
    QVERIFY(QDir(site.path()).mkpath("Brellow"));
    QFile file(site.filePath("Brellow/brellow.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\nresume=5\n");
    file.close();
    qputenv("XDG_CONFIG_DIRS", site.path().toLocal8Bit());
    const ResumePolicy policy = ResumePolicy::fromSite(SiteSettings::load());
    QCOMPARE(policy.limitMs(), qint64(5 * 60000));
    QVERIFY2(policy.description().contains(file.fileName()), qPrintable(policy.description()));
}

QTEST_GUILESS_MAIN(TestResumePolicy)
#include "tst_resumepolicy.moc"
