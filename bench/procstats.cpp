#include "procstats.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <unistd.h>

namespace ProcStats {

namespace {

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<int> allPids()
{
    QList<int> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (ok)
            pids.append(pid);
    }
    return pids;
}

// The fields of /proc/<pid>/stat after the command name, which may hold blanks
// and parentheses itself: field 3 of the man page is index 0 here.
QList<QByteArray> statFields(int pid)
{
    const QByteArray stat = readProcFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return {};
    return stat.mid(close + 2).trimmed().split(' ');
}

} // namespace

QList<int> tree(int pid)
{
    QHash<int, QList<int>> children;
    for (const int p : allPids()) {
        const QList<QByteArray> fields = statFields(p);
        if (fields.size() > 1)
            children[fields.at(1).toInt()].append(p);
    }
    QList<int> result{pid};
    for (int i = 0; i < result.size(); ++i)
        result += children.value(result.at(i));
    return result;
}

qint64 pssKiB(const QList<int> &pids)
{
    qint64 total = 0;
    for (const int pid : pids) {
        const QByteArray rollup = readProcFile(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        for (const QByteArray &line : rollup.split('\n')) {
            if (line.startsWith("Pss:")) {
                total += line.mid(4).trimmed().split(' ').value(0).toLongLong();
                break;
            }
        }
    }
    return total;
}

QMap<QString, qint64> pssByKindKiB(const QList<int> &pids)
{
    QMap<QString, qint64> kinds;
    for (const int pid : pids) {
        const QByteArray smaps = readProcFile(QStringLiteral("/proc/%1/smaps").arg(pid));
        QString kind;
        for (const QByteArray &line : smaps.split('\n')) {
            const int colon = line.indexOf(':');
            const bool field = colon > 0 && !line.left(colon).contains(' ');
            if (!field && !line.isEmpty()) {
                // A mapping's header: address perms offset dev inode [path]
                const QList<QByteArray> parts = line.simplified().split(' ');
                const QByteArray path = parts.size() > 5 ? parts.at(5) : QByteArray();
                if (path.isEmpty())
                    kind = QStringLiteral("anon");
                else if (path == "[heap]")
                    kind = QStringLiteral("heap");
                else if (path.startsWith('['))
                    kind = QStringLiteral("other");
                else
                    kind = QStringLiteral("file");
            } else if (line.startsWith("Pss:")) {
                kinds[kind] += line.mid(4).trimmed().split(' ').value(0).toLongLong();
            }
        }
    }
    return kinds;
}

qint64 cpuTicks(const QList<int> &pids)
{
    qint64 total = 0;
    for (const int pid : pids) {
        const QList<QByteArray> fields = statFields(pid);
        // utime and stime are fields 14 and 15 of the man page.
        if (fields.size() > 12)
            total += fields.at(11).toLongLong() + fields.at(12).toLongLong();
    }
    return total;
}

long ticksPerSecond()
{
    return sysconf(_SC_CLK_TCK);
}

QList<int> otherWebEngineProcesses(const QList<int> &ours)
{
    const QSet<int> own(ours.cbegin(), ours.cend());
    QList<int> others;
    for (const int pid : allPids()) {
        if (own.contains(pid) || pid == getpid())
            continue;
        if (readProcFile(QStringLiteral("/proc/%1/maps").arg(pid)).contains("libQt6WebEngineCore"))
            others.append(pid);
    }
    return others;
}

QString commandName(int pid)
{
    return QString::fromLocal8Bit(readProcFile(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed());
}

} // namespace ProcStats
