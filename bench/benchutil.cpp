#include "benchutil.h"

#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace Bench {

void note(const QString &text)
{
    QTextStream(stderr) << "bench: " << text << Qt::endl;
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 monoNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleepUntilNs(qint64 ns)
{
    timespec ts{};
    ts.tv_sec = ns / 1000000000;
    ts.tv_nsec = ns % 1000000000;
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return NAN;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

double percentile(const QList<double> &sorted, double p)
{
    if (sorted.isEmpty())
        return NAN;
    const int rank = qBound(1, int(std::ceil(p / 100.0 * sorted.size())), int(sorted.size()));
    return sorted.at(rank - 1);
}

QString fmt(double value, int decimals)
{
    return std::isnan(value) ? QStringLiteral("n/a") : QString::number(value, 'f', decimals);
}

double mib(qint64 kib)
{
    return kib / 1024.0;
}

QByteArray statDatagram(qint64 value)
{
    return QStringLiteral(
               R"({"cmd":"update_stat","data":{"average_score":0.5,"team_position":2,"team_surveys":%1,"user_surveys":7}})")
        .arg(value)
        .toUtf8();
}

QByteArray liveDatagram(qint64 value)
{
    return QStringLiteral(
               R"({"cmd":"update_live","data":{"call_answers":["v%1",4,3,2,1],"call_question":5}})")
        .arg(value)
        .toUtf8();
}

bool hasExited(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) == "Z";
}

} // namespace Bench
