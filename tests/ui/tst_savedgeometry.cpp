#include <ui/savedgeometry.h>

#include <QDataStream>
#include <QTest>
#include <QWidget>

using namespace Brellow;

Q_DECLARE_METATYPE(std::optional<QRect>)

namespace {

// What a real window saves at `rect` (the offscreen platform keeps any place).
QByteArray savedBy(const QRect &rect)
{
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window.setGeometry(rect);
    return window.saveGeometry();
}

// The saved value with its bytes from `offset` on replaced.
QByteArray patched(QByteArray saved, int offset, const QByteArray &bytes)
{
    saved.replace(offset, bytes.size(), bytes);
    return saved;
}

QByteArray bigEndian16(quint16 value)
{
    QByteArray bytes;
    QDataStream(&bytes, QIODevice::WriteOnly) << value;
    return bytes;
}

} // namespace

// The window's place read back from what QWidget::saveGeometry() stored, and what
// counts as a value that cannot be read.
class TestSavedGeometry : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatQtSaves_data();
    void readsWhatQtSaves();
    void rejectsCorruptValues_data();
    void rejectsCorruptValues();
};

void TestSavedGeometry::readsWhatQtSaves_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::newRow("compact near the bottom") << QRect(778, 950, 364, 90);
    QTest::newRow("x 1700 on a 1920 screen") << QRect(1700, 950, 364, 90);
    QTest::newRow("second screen to the right") << QRect(2500, 400, 364, 268);
    QTest::newRow("screen above: negative y") << QRect(300, -600, 364, 90);
    QTest::newRow("screen to the left: negative x") << QRect(-1500, 20, 364, 90);
}

void TestSavedGeometry::readsWhatQtSaves()
{
    QFETCH(QRect, rect);
    const std::optional<QRect> read = SavedGeometry::windowRect(savedBy(rect));
    QVERIFY(read.has_value());
    QCOMPARE(*read, rect);
}

void TestSavedGeometry::rejectsCorruptValues_data()
{
    QTest::addColumn<QByteArray>("saved");
    const QByteArray good = savedBy(QRect(100, 200, 364, 90));
    QVERIFY(SavedGeometry::windowRect(good).has_value());
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("@ByteArray(garbage)");
    QTest::newRow("magic only") << good.left(4);
    QTest::newRow("cut short before the geometry") << good.left(good.size() - 8);
    QTest::newRow("wrong magic") << patched(good, 0, QByteArray("\x01\x02\x03\x04", 4));
    QTest::newRow("unknown future version") << patched(good, 4, bigEndian16(4));
    QTest::newRow("version 0") << patched(good, 4, bigEndian16(0));
    QTest::newRow("all zero bytes") << QByteArray(good.size(), '\0');
    QTest::newRow("all one bits") << QByteArray(good.size(), '\xff');
}

void TestSavedGeometry::rejectsCorruptValues()
{
    QFETCH(QByteArray, saved);
    QCOMPARE(SavedGeometry::windowRect(saved), std::optional<QRect>());
}

QTEST_MAIN(TestSavedGeometry)
#include "tst_savedgeometry.moc"
