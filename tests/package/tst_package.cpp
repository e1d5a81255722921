#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <tools/childprocess.h>

// The two Debian packages as cpack builds them from this tree, checked the way
// Debian checks packages: control fields, dependencies found by dpkg-shlibdeps,
// contents, stripped binaries, lintian, man-db, and the desktop and AppStream validators.
class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlFields_data();
    void controlFields();
    void dependsOnTheQtRuntime_data();
    void dependsOnTheQtRuntime();
    void contents_data();
    void contents();
    void iconsHaveTheirSizes();
    void manualPages_data();
    void manualPages();
    void binariesAreStripped_data();
    void binariesAreStripped();
    void conffiles_data();
    void conffiles();
    void desktopEntriesValidate_data();
    void desktopEntriesValidate();
    void autostartEntryWaitsForTheTray();
    void metainfoValidatesAndNamesTheDesktopEntry();
    void lintianFindsNoErrors();

private:
    struct Run
    {
        int exitCode = -1;
        QString output; // standard output and, unless kept apart, standard error
        QString errors; // standard error when kept apart
    };
    static Run
    run(const QString &program, const QStringList &args, int timeoutMs = 60000,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
        QProcess::ProcessChannelMode channels = QProcess::MergedChannels);
    QString deb(const QString &package) const { return m_debs.value(package); }
    QString root(const QString &package) const { return m_dir.filePath("root-" + package); }
    QString field(const QString &package, const QString &name) const;

    QTemporaryDir m_dir;
    QMap<QString, QString> m_debs;
};

TestPackage::Run TestPackage::run(const QString &program, const QStringList &args, int timeoutMs,
                                  const QProcessEnvironment &environment,
                                  QProcess::ProcessChannelMode channels)
{
    QProcess p;
    ChildProcess::dieWithParent(p);
    p.setProcessEnvironment(environment);
    p.setProcessChannelMode(channels);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.output = program + " did not finish";
        return r;
    }
    r.output = QString::fromUtf8(p.readAllStandardOutput());
    if (channels == QProcess::SeparateChannels)
        r.errors = QString::fromUtf8(p.readAllStandardError());
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

QString TestPackage::field(const QString &package, const QString &name) const
{
    return run("dpkg-deb", {"-f", deb(package), name}).output.trimmed();
}

static QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void TestPackage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir debs(BRELLOW_DEB_DIR);
    const QStringList files = debs.entryList({"*.deb"}, QDir::Files);
    QCOMPARE(files.size(), 2);
    for (const QString &file : files) {
        const QString path = debs.filePath(file);
        const QString package = run("dpkg-deb", {"-f", path, "Package"}).output.trimmed();
        m_debs.insert(package, path);
        const Run x = run("dpkg-deb", {"-x", path, root(package)});
        QVERIFY2(x.exitCode == 0, qPrintable(x.output));
    }
    QVERIFY2(m_debs.contains("brellow") && m_debs.contains("brellow-sim"),
             qPrintable(m_debs.keys().join(' ')));
    const QString arch = run("dpkg", {"--print-architecture"}).output.trimmed();
    // The usual Debian file names, as apt install ./dist/brellow_*.deb expects them.
    QCOMPARE(QFileInfo(deb("brellow")).fileName(),
             QString("brellow_%1_%2.deb").arg(BRELLOW_VERSION, arch));
    QCOMPARE(QFileInfo(deb("brellow-sim")).fileName(),
             QString("brellow-sim_%1_%2.deb").arg(BRELLOW_VERSION, arch));
}

void TestPackage::controlFields_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("synopsis");
    QTest::newRow("brellow") << "brellow"
                             << "status display for call-centre agents";
    QTest::newRow("brellow-sim") << "brellow-sim"
                                 << "practice statistics server for Brellow";
}

void TestPackage::controlFields()
{
    QFETCH(QString, package);
    QFETCH(QString, synopsis);
    QCOMPARE(field(package, "Version"), QStringLiteral(BRELLOW_VERSION));
    QCOMPARE(field(package, "Architecture"),
             run("dpkg", {"--print-architecture"}).output.trimmed());
    QCOMPARE(field(package, "Section"), QStringLiteral("net"));
    QCOMPARE(field(package, "Priority"), QStringLiteral("optional"));
    QVERIFY(field(package, "Maintainer").contains(QRegularExpression("<[^@>]+@[^>]+>$")));

    const QStringList description = field(package, "Description").split('\n');
    QCOMPARE(description.first(), synopsis);
    // A real long description: several lines of text, paragraphs separated by " .".
    QVERIFY2(description.size() >= 6, qPrintable(description.join('\n')));
    QVERIFY(description.contains(" ."));
    for (int i = 1; i < description.size(); ++i)
        QVERIFY2(description.at(i).startsWith(' '), qPrintable(description.at(i)));
}

void TestPackage::dependsOnTheQtRuntime_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("needed");
    QTest::addColumn<QStringList>("notNeeded");
    QTest::newRow("brellow") << "brellow"
                             << QStringList{"libqt6core6",          "libqt6gui6",
                                            "libqt6widgets6",       "libqt6network6",
                                            "libqt6webenginecore6", "libqt6webenginewidgets6",
                                            "libstdc++6",           "libc6"}
                             << QStringList{};
    QTest::newRow("brellow-sim") << "brellow-sim"
                                 << QStringList{"libqt6core6", "libqt6network6", "libc6"}
                                 << QStringList{"libqt6widgets6", "libqt6webenginecore6",
                                                "libqt6webenginewidgets6"};
}

void TestPackage::dependsOnTheQtRuntime()
{
    QFETCH(QString, package);
    QFETCH(QStringList, needed);
    QFETCH(QStringList, notNeeded);
    const QString depends = field(package, "Depends");
    // dpkg-shlibdeps writes a minimum version for every library package.
    for (const QString &name : needed)
        QVERIFY2(depends.contains(QRegularExpression("(^|, )" + QRegularExpression::escape(name) +
                                                     R"((t64)? \(>= [0-9])")),
                 qPrintable(name + " missing from: " + depends));
    for (const QString &name : notNeeded)
        QVERIFY2(!depends.contains(name), qPrintable(name + " in: " + depends));
}

void TestPackage::contents_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("brellow") << "brellow"
                             << QStringList{"usr/bin/brellow",
                                            "usr/share/applications/brellow.desktop",
                                            "etc/xdg/autostart/brellow.desktop",
                                            "usr/share/metainfo/org.brellow.brellow.metainfo.xml",
                                            "usr/share/doc/brellow/copyright",
                                            "usr/share/doc/brellow/changelog.gz",
                                            "usr/share/man/man1/brellow.1.gz"}
                             << QStringList{"usr/bin/brellow-sim", "usr/local"};
    QTest::newRow("brellow-sim") << "brellow-sim"
                                 << QStringList{"usr/bin/brellow-sim",
                                                "usr/share/doc/brellow-sim/copyright",
                                                "usr/share/doc/brellow-sim/changelog.gz",
                                                "usr/share/man/man1/brellow-sim.1.gz",
                                                "lib/systemd/system/brellow-sim.service",
                                                "etc/brellow-sim/brellow-sim.env",
                                                "etc/brellow-sim/users",
                                                "etc/brellow-sim/media-links.json"}
                                 << QStringList{"usr/bin/brellow", "usr/share/applications",
                                                "etc/xdg", "usr/local"};
}

void TestPackage::contents()
{
    QFETCH(QString, package);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QDir dir(root(package));
    for (const QString &path : present)
        QVERIFY2(QFileInfo(dir.filePath(path)).isFile(), qPrintable(path));
    for (const QString &path : absent)
        QVERIFY2(!QFileInfo::exists(dir.filePath(path)), qPrintable(path));

    // Both changelog and manual page are real gzip files that unpack to text.
    const Run changelog =
        run("gzip", {"-dc", dir.filePath("usr/share/doc/" + package + "/changelog.gz")});
    QCOMPARE(changelog.exitCode, 0);
    // One changelog for both packages, newest entry first, for this version.
    QVERIFY2(changelog.output.startsWith("brellow (" BRELLOW_VERSION ") "),
             qPrintable(changelog.output));
    const QString copyright = readText(dir.filePath("usr/share/doc/" + package + "/copyright"));
    QVERIFY(copyright.startsWith("Format: https://www.debian.org/doc/packaging-manuals/"
                                 "copyright-format/1.0/"));
    QVERIFY(copyright.contains("Files: res/css/bootstrap.css"));
}

void TestPackage::iconsHaveTheirSizes()
{
    const QDir dir(root("brellow"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path =
            dir.filePath(QString("usr/share/icons/hicolor/%1x%1/apps/brellow.png").arg(size));
        const QImage icon(path);
        QVERIFY2(!icon.isNull(), qPrintable(path));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
    }
}

void TestPackage::manualPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("whatis");
    // Each row's locale is a desk's, country included, as man-db gets it from the desktop.
    QTest::newRow("en") << "usr/share/man/man1/brellow.1.gz"
                        << "C.UTF-8"
                        << "status display for call-centre agents";
    QTest::newRow("de") << "usr/share/man/de/man1/brellow.1.gz"
                        << "de_DE.UTF-8"
                        << "Statusanzeige für Callcenter-Agenten";
    QTest::newRow("es") << "usr/share/man/es/man1/brellow.1.gz"
                        << "es_ES.UTF-8"
                        << "panel de estado para agentes de centros de llamadas";
    QTest::newRow("fr") << "usr/share/man/fr/man1/brellow.1.gz"
                        << "fr_FR.UTF-8"
                        << "affichage d'état pour les agents de centre d'appels";
    QTest::newRow("pl") << "usr/share/man/pl/man1/brellow.1.gz"
                        << "pl_PL.UTF-8"
                        << "panel stanu dla konsultantów call center";
    QTest::newRow("pt_BR") << "usr/share/man/pt_BR/man1/brellow.1.gz"
                           << "pt_BR.UTF-8"
                           << "painel de status para atendentes de call center";
}

void TestPackage::manualPages()
{
    QFETCH(QString, page);
    QFETCH(QString, locale);
    QFETCH(QString, whatis);
    const QString path = QDir(root("brellow")).filePath(page);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
    // gzip -9n: no file name and no time stamp, so that the package is reproducible, and
    // the best compression.
    const QByteArray header = file.read(10);
    QCOMPARE(header.size(), 10);
    QCOMPARE(header.left(3), QByteArray("\x1f\x8b\x08"));
    QCOMPARE(header.at(3) & 0x08, 0);
    QCOMPARE(header.mid(4, 4), QByteArray(4, '\0'));
    QCOMPARE(header.at(8), char(2));

    // The NAME line as whatis and apropos show it, in the page's language (mandb
    // indexes it with the same parser).
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    const Run name = run("lexgrog", {path}, 60000, env);
    QCOMPARE(name.exitCode, 0);
    QCOMPARE(name.output.trimmed(), QString("%1: \"brellow - %2\"").arg(path, whatis));

    // Rendered as lintian checks pages, here at a terminal's 80 columns, with every groff
    // warning on: none may come.
    env.insert("MANWIDTH", "80");
    env.insert("MANROFFSEQ", "");
    env.remove("MANOPT");
    const Run rendered = run("man", {"--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", path},
                             60000, env, QProcess::SeparateChannels);
    QVERIFY2(rendered.exitCode == 0 && rendered.errors.isEmpty(), qPrintable(rendered.errors));
    QVERIFY(!rendered.output.isEmpty());

    // man-db finds this page for a desk in the row's locale: the directory is one it
    // looks in.
    env.insert("MANPATH", QDir(root("brellow")).filePath("usr/share/man"));
    const Run found = run("man", {"-L", locale, "-w", "brellow"}, 60000, env);
    QCOMPARE(found.exitCode, 0);
    QCOMPARE(found.output.trimmed(), path);
}

void TestPackage::binariesAreStripped_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("binary");
    QTest::newRow("brellow") << "brellow"
                             << "usr/bin/brellow";
    QTest::newRow("brellow-sim") << "brellow-sim"
                                 << "usr/bin/brellow-sim";
}

void TestPackage::binariesAreStripped()
{
    QFETCH(QString, package);
    QFETCH(QString, binary);
    const QString path = QDir(root(package)).filePath(binary);
    QVERIFY(QFileInfo(path).isExecutable());
    const Run kind = run("file", {"-b", path});
    QVERIFY2(kind.output.startsWith("ELF "), qPrintable(kind.output));
    QVERIFY2(kind.output.contains(", stripped"), qPrintable(kind.output));
    const Run sections = run("readelf", {"-S", "-W", path});
    QCOMPARE(sections.exitCode, 0);
    QVERIFY2(!sections.output.contains(".symtab"), qPrintable(sections.output));
    QVERIFY2(!sections.output.contains(".debug_"), qPrintable(sections.output));
}

void TestPackage::conffiles_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("conffiles");
    QTest::newRow("brellow") << "brellow" << QStringList{"/etc/xdg/autostart/brellow.desktop"};
    QTest::newRow("brellow-sim") << "brellow-sim"
                                 << QStringList{"/etc/brellow-sim/brellow-sim.env",
                                                "/etc/brellow-sim/media-links.json",
                                                "/etc/brellow-sim/users"};
}

void TestPackage::conffiles()
{
    QFETCH(QString, package);
    QFETCH(QStringList, conffiles);
    const Run listed = run("dpkg-deb", {"-I", deb(package), "conffiles"});
    QCOMPARE(listed.exitCode, 0);
    QCOMPARE(listed.output.split('\n', Qt::SkipEmptyParts), conffiles);
    // Every file the package puts under /etc is one of them, readable by all.
    const Run contents = run("dpkg-deb", {"-c", deb(package)});
    QCOMPARE(contents.exitCode, 0);
    const QRegularExpression file(R"(^-(\S+) root/root .* \.(/etc/\S+)$)",
                                  QRegularExpression::MultilineOption);
    QStringList inEtc;
    for (auto it = file.globalMatch(contents.output); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QCOMPARE(m.captured(1), QStringLiteral("rw-r--r--"));
        inEtc.append(m.captured(2));
    }
    inEtc.sort();
    QCOMPARE(inEtc, conffiles);
}

void TestPackage::desktopEntriesValidate_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("menu entry") << "usr/share/applications/brellow.desktop";
    QTest::newRow("autostart entry") << "etc/xdg/autostart/brellow.desktop";
}

void TestPackage::desktopEntriesValidate()
{
    QFETCH(QString, path);
    const QString file = QDir(root("brellow")).filePath(path);
    const Run v = run("desktop-file-validate", {file});
    // Neither errors nor warnings nor hints.
    QVERIFY2(v.exitCode == 0 && v.output.trimmed().isEmpty(), qPrintable(v.output));

    const QStringList lines = readText(file).split('\n');
    QVERIFY(lines.contains("Type=Application"));
    QVERIFY(lines.contains("Version=1.4"));
    QVERIFY(lines.contains("Exec=brellow"));
    QVERIFY(lines.contains("Icon=brellow"));
    QVERIFY(!lines.contains("Hidden=true"));
    QVERIFY(QFileInfo(QDir(root("brellow")).filePath("usr/bin/brellow")).isExecutable());
}

void TestPackage::autostartEntryWaitsForTheTray()
{
    const QStringList lines =
        readText(QDir(root("brellow")).filePath("etc/xdg/autostart/brellow.desktop")).split('\n');
    for (const char *key : {"X-GNOME-Autostart-Phase=Applications", "X-KDE-autostart-after=panel",
                            "X-LXQt-Need-Tray=true"})
        QVERIFY2(lines.contains(key), key);
    QVERIFY(lines.filter(QRegularExpression("^X-GNOME-Autostart-Delay=[1-9][0-9]*$")).size() == 1);
    QVERIFY(lines.filter(QRegularExpression("^X-MATE-Autostart-Delay=[1-9][0-9]*$")).size() == 1);
    // Shown in the desktops' start-up settings, so that an agent can switch it off there.
    QVERIFY(!lines.contains("NoDisplay=true"));
    QVERIFY(!lines.contains("X-GNOME-Autostart-enabled=false"));

    const QStringList menu =
        readText(QDir(root("brellow")).filePath("usr/share/applications/brellow.desktop"))
            .split('\n');
    QVERIFY(menu.contains("Categories=Network;Telephony;Qt;"));
}

void TestPackage::metainfoValidatesAndNamesTheDesktopEntry()
{
    const QString file =
        QDir(root("brellow")).filePath("usr/share/metainfo/org.brellow.brellow.metainfo.xml");
    const Run v = run("appstreamcli", {"validate", "--no-net", file});
    QVERIFY2(v.exitCode == 0, qPrintable(v.output));
    const QString text = readText(file);
    QVERIFY(text.contains("<id>org.brellow.brellow</id>"));
    QVERIFY(text.contains("<launchable type=\"desktop-id\">brellow.desktop</launchable>"));
    QVERIFY(text.contains(QString("<release version=\"%1\"").arg(BRELLOW_VERSION)));
}

void TestPackage::lintianFindsNoErrors()
{
    const Run l =
        run("lintian",
            {"--fail-on", "error", "--tag-display-limit", "0", deb("brellow"), deb("brellow-sim")},
            150000);
    const QStringList errors = l.output.split('\n').filter(QRegularExpression("^E: "));
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    QVERIFY2(l.exitCode == 0, qPrintable(l.output));
    qInfo().noquote() << "lintian:" << (l.output.trimmed().isEmpty() ? "no tags" : l.output);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
