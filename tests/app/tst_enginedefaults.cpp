#include <app/enginedefaults.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;

// The engine defaults are decided from the environment and the site's settings
// file, before any Qt application object exists.
class TestEngineDefaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void decides_data();
    void decides();

private:
    QTemporaryDir m_site;
};

namespace {
const QByteArrayList engineVariables = {"QT_QUICK_BACKEND", "QT_XCB_GL_INTEGRATION",
                                        "QTWEBENGINE_CHROMIUM_FLAGS"};
}

void TestEngineDefaults::init()
{
    for (const QByteArray &name : engineVariables)
        qunsetenv(name.constData());
    QDir(m_site.path()).removeRecursively();
    QDir().mkpath(m_site.path());
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_site.path()));
}

void TestEngineDefaults::decides_data()
{
    QTest::addColumn<QByteArray>("siteFile"); // empty: no file
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("lean");
    QTest::addColumn<QStringList>("expected"); // the environment afterwards
    QTest::addColumn<QString>("logged");

    const QStringList lean = {"QT_QUICK_BACKEND=software", "QT_XCB_GL_INTEGRATION=none",
                              "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu "
                              "--disable-background-networking "
                              "--js-flags=--no-compilation-cache --single-process"};
    QTest::newRow("nothing chosen") << QByteArray() << QStringList() << true << lean
                                    << "engine: lean defaults, set QT_QUICK_BACKEND=software";
    QTest::newRow("site file without the key")
        << QByteArray("[General]\nserver=10.0.0.5\n") << QStringList() << true << lean
        << "engine: lean defaults, set";
    QTest::newRow("site turns them off")
        << QByteArray("[General]\nleanEngine=false\n") << QStringList() << false
        << QStringList{"QT_QUICK_BACKEND=", "QT_XCB_GL_INTEGRATION=", "QTWEBENGINE_CHROMIUM_FLAGS="}
        << "engine: Qt's defaults (leanEngine=false in ";
    QTest::newRow("user's flags win")
        << QByteArray() << QStringList{"QTWEBENGINE_CHROMIUM_FLAGS=--enable-logging"} << true
        << QStringList{"QT_QUICK_BACKEND=software", "QT_XCB_GL_INTEGRATION=none",
                       "QTWEBENGINE_CHROMIUM_FLAGS=--enable-logging"}
        << "kept from the environment QTWEBENGINE_CHROMIUM_FLAGS=--enable-logging";
    // A GL renderer chosen by the user must not meet the single-process engine,
    // which can only draw in software.
    QTest::newRow("user's GL backend keeps several processes")
        << QByteArray() << QStringList{"QT_QUICK_BACKEND=opengl"} << true
        << QStringList{"QT_QUICK_BACKEND=opengl", "QT_XCB_GL_INTEGRATION=none",
                       "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --disable-background-networking "
                       "--js-flags=--no-compilation-cache"}
        << "kept from the environment QT_QUICK_BACKEND=opengl";
}

void TestEngineDefaults::decides()
{
    QFETCH(QByteArray, siteFile);
    QFETCH(QStringList, environment);
    QFETCH(bool, lean);
    QFETCH(QStringList, expected);
    QFETCH(QString, logged);

    if (!siteFile.isNull()) {
        QDir().mkpath(m_site.filePath("Brellow"));
        QFile file(m_site.filePath("Brellow/brellow.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(siteFile);
    }
    for (const QString &pair : environment)
        qputenv(pair.section('=', 0, 0).toLatin1(), pair.section('=', 1).toLatin1());

    const EngineDefaults engine = EngineDefaults::apply(SiteSettings::load());
    QCOMPARE(engine.lean(), lean);
    for (const QString &pair : expected)
        QCOMPARE(qEnvironmentVariable(pair.section('=', 0, 0).toLatin1().constData()),
                 pair.section('=', 1));
    QVERIFY2(engine.description().contains(logged), qPrintable(engine.description()));
}

QTEST_APPLESS_MAIN(TestEngineDefaults)
#include "tst_enginedefaults.moc"
