#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <tools/childprocess.h>

// The real brellow binary as a process, with configuration folders of its own:
// XDG_CONFIG_HOME (the agent's settings and log), XDG_CONFIG_DIRS (the
// site's settings) and XDG_RUNTIME_DIR, and no BRELLOW_SERVER from outside.
struct BrellowHome
{
    QTemporaryDir dir;

    QString userDir() const { return dir.filePath("user"); }
    QString siteDir() const { return dir.filePath("site"); }
    QString logPath() const { return userDir() + "/Brellow/brellow.log"; }
    QString userSettingsPath() const { return userDir() + "/Brellow/brellow.ini"; }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("BRELLOW_SERVER");
        env.insert("XDG_CONFIG_HOME", userDir());
        env.insert("XDG_CONFIG_DIRS", siteDir());
        env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
        return env;
    }

    bool prepare() const
    {
        return dir.isValid() && QDir().mkpath(userDir()) && QDir().mkpath(siteDir()) &&
               QDir().mkpath(dir.filePath("runtime")) &&
               QFile::setPermissions(dir.filePath("runtime"),
                                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The texts of the log's lines, without their date and tab.
    QStringList logTexts() const
    {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList texts;
        for (const QString &line : QString::fromUtf8(file.readAll()).split('\n'))
            if (!line.isEmpty())
                texts << line.section('\t', 1);
        return texts;
    }
};

// The window id of a visible message box titled "brellow" (the program sets no
// name of its own, so Qt titles it after the binary), or empty after timeoutMs.
inline QString findBoxWindow(int timeoutMs)
{
    QString id;
    [[maybe_unused]] const bool found = QTest::qWaitFor(
        [&] {
            QProcess search;
            ChildProcess::dieWithParent(search);
            search.start("xdotool", {"search", "--onlyvisible", "--name", "^brellow$"});
            search.waitForFinished(5000);
            id = QString::fromLatin1(search.readAllStandardOutput()).trimmed().section('\n', 0, 0);
            return !id.isEmpty();
        },
        timeoutMs);
    return id;
}

// Dismisses the box the way an agent would, with Escape.
inline void dismissBox(const QString &window)
{
    // No window manager runs here: give the box the keyboard focus directly, then
    // press Escape as a real key (a key sent to the window would be synthetic).
    ChildProcess::execute("xdotool", {"windowfocus", "--sync", window});
    ChildProcess::execute("xdotool", {"key", "Escape"});
}
