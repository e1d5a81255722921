#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Small helpers of the bench's runner and its measures.
namespace Bench {

// A progress line on stderr; the table goes to stdout at the end.
void note(const QString &text);
// Runs the event loop for ms milliseconds, so that sockets and processes are served.
void pause(int ms);

qint64 monoNs();
void sleepUntilNs(qint64 ns);

double median(QList<double> values);
// Nearest-rank percentile of sorted values.
double percentile(const QList<double> &sorted, double p);
QString fmt(double value, int decimals = 1);
double mib(qint64 kib);

// The two pushes the measures send, carrying value in a field the page shows.
QByteArray statDatagram(qint64 value);
QByteArray liveDatagram(qint64 value);

// True once the process has exited (a zombie waiting to be reaped counts).
bool hasExited(int pid);

} // namespace Bench
