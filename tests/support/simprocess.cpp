#include <tests/support/simprocess.h>

#include <tools/childprocess.h>

#include <QTest>

#include <algorithm>

namespace UiTest {

SimProcess::SimProcess(const QString &program) : m_program(program)
{
    ChildProcess::dieWithParent(m_process);
}

SimProcess::~SimProcess()
{
    kill();
}

bool SimProcess::start(quint16 port, const QStringList &arguments)
{
    m_lines.clear();
    m_pending.clear();
    m_port = 0;
    m_process.start(m_program, QStringList{QStringLiteral("--listen"),
                                           QStringLiteral("127.0.0.1:%1").arg(port)} +
                                   arguments);
    if (!m_process.waitForStarted(5000))
        return false;
    const QRegularExpression listening(QStringLiteral(R"( listening 127\.0\.0\.1:(\d+)$)"));
    if (!waitForLine(listening, 10000))
        return false;
    for (const QString &line : std::as_const(m_lines)) {
        const QRegularExpressionMatch match = listening.match(line);
        if (match.hasMatch())
            m_port = match.captured(1).toUShort();
    }
    return m_port != 0 && (port == 0 || m_port == port);
}

bool SimProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.kill();
    return m_process.waitForFinished(5000);
}

QStringList SimProcess::lines()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype newline = 0;
    while ((newline = m_pending.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_pending.left(newline)));
        m_pending.remove(0, newline + 1);
    }
    return m_lines;
}

bool SimProcess::waitForLine(const QRegularExpression &pattern, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            const QStringList all = lines();
            return std::any_of(all.cbegin(), all.cend(),
                               [&](const QString &line) { return pattern.match(line).hasMatch(); });
        },
        timeoutMs);
}

} // namespace UiTest
