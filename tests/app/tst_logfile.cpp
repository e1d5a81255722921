#include <app/logfile.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Brellow;

// The log file on its own: rotation at open, the cut of long texts, the size cap, escaping.
class TestLogFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void openKeepsThePreviousLog_data();
    void openKeepsThePreviousLog();
    void unopenableLogWritesNothing();
    void cut_data();
    void cut();
    void longTextIsCutInTheFile();
    void capLineWrittenOnceAndNothingAfter_data();
    void capLineWrittenOnceAndNothingAfter();
    void escape_data();
    void escape();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("brellow.log")); }
    static QByteArray read(const QString &path);
    static QStringList texts(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

static const QRegularExpression
    linePattern(QStringLiteral("^\\w{3} \\w{3} [ \\d]?\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\\t(.*)$"));

void TestLogFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestLogFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The texts of the file's lines; a line of another form is returned whole, marked.
QStringList TestLogFile::texts(const QString &path)
{
    QStringList lines = QString::fromUtf8(read(path)).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        const QRegularExpressionMatch match = linePattern.match(line);
        line = match.hasMatch() ? match.captured(1) : QStringLiteral("BAD LINE: ") + line;
    }
    return lines;
}

void TestLogFile::openKeepsThePreviousLog_data()
{
    QTest::addColumn<bool>("hadLog");
    QTest::addColumn<bool>("hadOlderLog");
    QTest::newRow("first run") << false << false;
    QTest::newRow("previous run") << true << false;
    QTest::newRow("previous and older run") << true << true;
    QTest::newRow("only an older run") << false << true;
}

void TestLogFile::openKeepsThePreviousLog()
{
    QFETCH(bool, hadLog);
    QFETCH(bool, hadOlderLog);
    const QString previous = LogFile::previousFileName(path());
    QCOMPARE(previous, path() + QStringLiteral(".1"));
    const auto writeFile = [](const QString &name, const QByteArray &content) {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    if (hadLog)
        QVERIFY(writeFile(path(), "the previous run\n"));
    if (hadOlderLog)
        QVERIFY(writeFile(previous, "an older run\n"));

    LogFile log(path());
    QVERIFY(log.open());
    QVERIFY(log.isOpen());
    QCOMPARE(read(path()), QByteArray());
    log.write(QStringLiteral("started"));
    QCOMPARE(texts(path()), QStringList{QStringLiteral("started")});

    if (hadLog)
        QCOMPARE(read(previous), QByteArray("the previous run\n"));
    else if (hadOlderLog)
        QCOMPARE(read(previous), QByteArray("an older run\n"));
    else
        QVERIFY(!QFile::exists(previous));

    // The next start keeps this run and drops the one before.
    LogFile next(path());
    QVERIFY(next.open());
    QCOMPARE(texts(previous), QStringList{QStringLiteral("started")});
    QCOMPARE(read(path()), QByteArray());
}

void TestLogFile::unopenableLogWritesNothing()
{
    const QString missing = m_dir->filePath(QStringLiteral("no-such-folder/brellow.log"));
    LogFile log(missing);
    QVERIFY(!log.open());
    QVERIFY(!log.isOpen());
    log.write(QStringLiteral("nowhere to go"));
    QVERIFY(!QFile::exists(missing));
    QVERIFY(!QDir(m_dir->filePath(QStringLiteral("no-such-folder"))).exists());
}

void TestLogFile::cut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<QString>("expected");

    const QString a4096(4096, QLatin1Char('a'));
    QTest::newRow("short") << QStringLiteral("hello") << 4096 << QStringLiteral("hello");
    QTest::newRow("exactly at the limit") << a4096 << 4096 << a4096;
    QTest::newRow("one over") << a4096 + QLatin1Char('b') << 4096
                              << a4096 + QStringLiteral(" \u2026 [cut at 4096 of 4097 characters]");
    QTest::newRow("60 KB") << QString(61440, QLatin1Char('x')) << 4096
                           << QString(4096, QLatin1Char('x')) +
                                  QStringLiteral(" \u2026 [cut at 4096 of 61440 characters]");
    // U+1F600 is a surrogate pair: never split it.
    const QString pair = QStringLiteral("\U0001F600");
    QTest::newRow("pair across the limit")
        << QStringLiteral("abc") + pair + QStringLiteral("def") << 4
        << QStringLiteral("abc \u2026 [cut at 3 of 8 characters]");
    QTest::newRow("pair before the limit")
        << QStringLiteral("ab") + pair + QStringLiteral("def") << 4
        << QStringLiteral("ab") + pair + QStringLiteral(" \u2026 [cut at 4 of 7 characters]");
}

void TestLogFile::cut()
{
    QFETCH(QString, text);
    QFETCH(int, maxChars);
    QFETCH(QString, expected);
    QCOMPARE(LogFile::cut(text, maxChars), expected);
}

// A long text with line breaks is cut, then escaped: still one line, with the note.
void TestLogFile::longTextIsCutInTheFile()
{
    LogFile log(path());
    QVERIFY(log.open());
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("line %1\n").arg(i, 3, 10, QLatin1Char('0'));
    QCOMPARE(text.size(), 9000);
    log.write(text);
    log.write(QStringLiteral("after"));

    const QStringList lines = texts(path());
    QCOMPARE(lines.size(), 2);
    QString expected = LogFile::escape(text.left(LogFile::DefaultMaxTextChars));
    expected += QStringLiteral(" \u2026 [cut at 4096 of 9000 characters]");
    QCOMPARE(lines.at(0), expected);
    QCOMPARE(lines.at(1), QStringLiteral("after"));
}

void TestLogFile::capLineWrittenOnceAndNothingAfter_data()
{
    QTest::addColumn<int>("textChars");
    QTest::newRow("short lines") << 10;
    QTest::newRow("lines of the text limit") << 4096;
    QTest::newRow("lines over the text limit") << 9000;
}

void TestLogFile::capLineWrittenOnceAndNothingAfter()
{
    QFETCH(int, textChars);
    const qint64 cap = 20000;
    LogFile log(path(), cap);
    QVERIFY(log.open());
    int written = 0;
    while (!log.isFull() && written < 10000) {
        log.write(QString(textChars, QLatin1Char('a' + written % 26)));
        ++written;
    }
    QVERIFY(log.isFull());
    const qint64 sizeAtCap = QFileInfo(path()).size();
    for (int i = 0; i < 50; ++i)
        log.write(QStringLiteral("more"));
    QCOMPARE(QFileInfo(path()).size(), sizeAtCap);

    const QStringList lines = texts(path());
    const QString capLine =
        QStringLiteral("log size cap of 20000 bytes reached; nothing more is logged this run");
    QCOMPARE(lines.count(capLine), 1);
    QCOMPARE(lines.last(), capLine);
    // Every line before the cap line is whole, and together they stay within the cap.
    QCOMPARE(lines.size(), written);
    const QByteArray content = read(path());
    const qint64 beforeCapLine = content.lastIndexOf('\n', content.size() - 2) + 1;
    QVERIFY(beforeCapLine <= cap);
    QVERIFY(beforeCapLine > cap - 100 - qMin(textChars, LogFile::DefaultMaxTextChars + 40));
    QVERIFY(!lines.contains(QStringLiteral("more")));
}

void TestLogFile::escape_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logged");
    QTest::newRow("plain") << QStringLiteral("started") << QStringLiteral("started");
    QTest::newRow("line breaks and tab")
        << QStringLiteral("a\nb\r\tc") << QStringLiteral("a\\nb\\r\\tc");
    QTest::newRow("nul and escape")
        << QString(QStringLiteral("a") + QChar(0) + QChar(0x1b) + QStringLiteral("b"))
        << QStringLiteral("a\\u0000\\u001bb");
    QTest::newRow("del and C1") << QString(QChar(0x7f)) + QChar(0x85) + QChar(0x9f)
                                << QStringLiteral("\\u007f\\u0085\\u009f");
    QTest::newRow("unicode separators")
        << QStringLiteral("x\u2028y\u2029z") << QStringLiteral("x\\u2028y\\u2029z");
    QTest::newRow("printable non-ASCII kept")
        << QStringLiteral("Grüße €") << QStringLiteral("Grüße €");
    QTest::newRow("backslash kept") << QStringLiteral("a\\nb") << QStringLiteral("a\\nb");
}

void TestLogFile::escape()
{
    QFETCH(QString, text);
    QFETCH(QString, logged);
    QCOMPARE(LogFile::escape(text), logged);

    LogFile log(path());
    QVERIFY(log.open());
    log.write(text);
    QCOMPARE(texts(path()), QStringList{logged});
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
