#include <app/resumepolicy.h>
#include <app/settingstable.h>
#include <app/sitesettings.h>

#include <QFile>
#include <QSet>
#include <QTest>

using namespace Brellow;

// The admin guide's table of keys is what sites and agents go by: it must say what
// the code's table says, key for key.
class TestSettingsTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void guideRow_data();
    void guideRow();
    void guideHasNoOtherKeys();
    void resumeDefaultIsThePolicys();

private:
    // The cells of each row of the admin guide's table, by key as written (in backticks).
    QHash<QString, QStringList> m_rows;
    QStringList m_keysInOrder;
};

namespace {
const QString header = QStringLiteral("| Key | Scope | Type | Default | Meaning |");
}

void TestSettingsTable::initTestCase()
{
    QFile guide(QStringLiteral(BRELLOW_ADMIN_GUIDE));
    QVERIFY2(guide.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(guide.fileName()));
    const QStringList lines = QString::fromUtf8(guide.readAll()).split(QLatin1Char('\n'));
    const qsizetype start = lines.indexOf(header);
    QVERIFY2(start >= 0, "the admin guide has no table of keys");
    QVERIFY(lines.size() > start + 1 && lines[start + 1].startsWith(QLatin1String("|---")));
    for (qsizetype i = start + 2; i < lines.size() && lines[i].startsWith(QLatin1Char('|')); ++i) {
        QStringList cells = lines[i].split(QLatin1Char('|'));
        // The text before the first bar and after the last one.
        QVERIFY2(cells.size() == 7 && cells.first().isEmpty() && cells.last().isEmpty(),
                 qPrintable(lines[i]));
        cells = cells.mid(1, 5);
        for (QString &cell : cells)
            cell = cell.trimmed();
        QVERIFY2(!m_rows.contains(cells.first()), qPrintable("twice: " + cells.first()));
        m_rows.insert(cells.first(), cells.mid(1));
        m_keysInOrder << cells.first();
    }
}

void TestSettingsTable::guideRow_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("cells");
    for (const SettingsTable::Entry &entry : SettingsTable::entries()) {
        QTest::newRow(entry.key.data()) << QStringLiteral("`%1`").arg(entry.key)
                                        << QStringList{SettingsTable::scopeName(entry.scope),
                                                       SettingsTable::typeName(entry.type),
                                                       entry.defaultText, entry.description};
    }
}

void TestSettingsTable::guideRow()
{
    QFETCH(QString, key);
    QFETCH(QStringList, cells);
    QVERIFY2(m_rows.contains(key), qPrintable("missing from the admin guide: " + key));
    QCOMPARE(m_rows.value(key), cells);
}

void TestSettingsTable::guideHasNoOtherKeys()
{
    QStringList codeKeys;
    for (const SettingsTable::Entry &entry : SettingsTable::entries())
        codeKeys << QStringLiteral("`%1`").arg(entry.key);
    QCOMPARE(m_keysInOrder, codeKeys);
}

void TestSettingsTable::resumeDefaultIsThePolicys()
{
    const QString text = SettingsTable::entry(Setting::Resume).defaultText;
    QCOMPARE(text.toDouble(), ResumePolicy::DefaultMinutes);
    QCOMPARE(ResumePolicy::fromSite(SiteSettings()).limitMs(), qint64(text.toDouble() * 60000));
}

QTEST_APPLESS_MAIN(TestSettingsTable)
#include "tst_settingstable.moc"
