#include <app/sitesettings.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;

// The site's file is read once, along XDG_CONFIG_DIRS, and only for site keys.
class TestSiteSettings : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void keepsWhatItRead();

private:
    static bool writeSite(const QString &dir, const QByteArray &text);
};

bool TestSiteSettings::writeSite(const QString &dir, const QByteArray &text)
{
    if (!QDir(dir).mkpath(QStringLiteral("Brellow")))
        return false;
    QFile file(dir + QStringLiteral("/Brellow/brellow.ini"));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

void TestSiteSettings::reads_data()
{
    QTest::addColumn<QByteArray>("first"); // the first folder's file; empty: none
    QTest::addColumn<QByteArray>("later"); // the second folder's file; empty: none
    QTest::addColumn<int>("setting");
    QTest::addColumn<QVariant>("value"); // invalid: absent
    QTest::addColumn<QString>("holder"); // FIRST or LATER; the folder's file

    QTest::newRow("no file") << QByteArray() << QByteArray() << int(Setting::Server) << QVariant()
                             << "FIRST";
    QTest::newRow("server") << QByteArray("[General]\nserver=10.0.0.5\n") << QByteArray()
                            << int(Setting::Server) << QVariant(QStringLiteral("10.0.0.5"))
                            << "FIRST";
    QTest::newRow("server in the later folder")
        << QByteArray("[General]\nresume=5\n") << QByteArray("[General]\nserver=10.0.0.6\n")
        << int(Setting::Server) << QVariant(QStringLiteral("10.0.0.6")) << "LATER";
    QTest::newRow("the first folder wins")
        << QByteArray("[General]\nresume=5\n") << QByteArray("[General]\nresume=7\n")
        << int(Setting::Resume) << QVariant(QStringLiteral("5")) << "FIRST";
    QTest::newRow("leanEngine") << QByteArray("[General]\nleanEngine=false\n") << QByteArray()
                                << int(Setting::LeanEngine) << QVariant(QStringLiteral("false"))
                                << "FIRST";
    // The agent's own keys are not the site's to set.
    QTest::newRow("user key ignored")
        << QByteArray("[General]\nloginUsername=boss\n") << QByteArray()
        << int(Setting::LoginUsername) << QVariant() << "FIRST";
}

void TestSiteSettings::reads()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, later);
    QFETCH(int, setting);
    QFETCH(QVariant, value);
    QFETCH(QString, holder);

    QTemporaryDir firstDir;
    QTemporaryDir laterDir;
    QVERIFY(firstDir.isValid() && laterDir.isValid());
    if (!first.isEmpty())
        QVERIFY(writeSite(firstDir.path(), first));
    if (!later.isEmpty())
        QVERIFY(writeSite(laterDir.path(), later));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(firstDir.path() + ':' + laterDir.path()));

    const SiteSettings site = SiteSettings::load();
    const auto key = Setting(setting);
    QCOMPARE(site.contains(key), value.isValid());
    QCOMPARE(site.value(key), value);
    const QString folder = holder == "FIRST" ? firstDir.path() : laterDir.path();
    QCOMPARE(site.fileHolding(key), QDir::cleanPath(folder + "/Brellow/brellow.ini"));
    QCOMPARE(site.fileName(), QDir::cleanPath(firstDir.path() + "/Brellow/brellow.ini"));
}

void TestSiteSettings::keepsWhatItRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeSite(dir.path(), "[General]\nresume=5\n"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir.path()));
    const SiteSettings site = SiteSettings::load();
    QVERIFY(QFile::remove(dir.path() + "/Brellow/brellow.ini"));
    QCOMPARE(site.value(Setting::Resume), QVariant(QStringLiteral("5")));
    QCOMPARE(SiteSettings::load().contains(Setting::Resume), false);
}

QTEST_APPLESS_MAIN(TestSiteSettings)
#include "tst_sitesettings.moc"
