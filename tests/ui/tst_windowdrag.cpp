#include <ui/windowdrag.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

using namespace Brellow;

// The drag as the view's render child sees it: every kind of event arrives there,
// and only mouse events in the header strip move the window.
class TestWindowDrag : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void otherEventsPassUntouched_data();
    void otherEventsPassUntouched();
    void dragFollowsPointerUntilRelease();

private:
    std::unique_ptr<QWidget> m_window;
    QWidget *m_child = nullptr;
};

void TestWindowDrag::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->setGeometry(100, 200, 364, 90);
    m_child = new QWidget(m_window.get());
    m_child->setGeometry(0, 0, 364, 90);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestWindowDrag::otherEventsPassUntouched_data()
{
    QTest::addColumn<bool>("dragging");
    QTest::newRow("idle") << false;
    QTest::newRow("while dragging") << true;
}

void TestWindowDrag::otherEventsPassUntouched()
{
    QFETCH(bool, dragging);
    WindowDrag drag;
    if (dragging) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 10), QPointF(200, 210),
                          Qt::LeftButton, Qt::LeftButton, {});
        QVERIFY(drag.handle(m_child, &press, m_window.get()));
    }
    const QPoint start = m_window->pos();

    // Events of other classes: none may be read as a mouse event.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, {});
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QHoverEvent hover(QEvent::HoverMove, QPointF(50, 5), QPointF(150, 205), QPointF(40, 5));
    QFocusEvent focus(QEvent::FocusIn);
    QResizeEvent resize(QSize(364, 268), QSize(364, 90));
    for (QEvent *event :
         std::initializer_list<QEvent *>{&key, &enter, &leave, &hover, &focus, &resize}) {
        QVERIFY2(!drag.handle(m_child, event, m_window.get()),
                 qPrintable(QString::number(event->type())));
    }
    QCOMPARE(m_window->pos(), start);
    QCOMPARE(drag.isDragging(), dragging);
}

void TestWindowDrag::dragFollowsPointerUntilRelease()
{
    WindowDrag drag;
    const QPoint start = m_window->pos();
    QMouseEvent outside(QEvent::MouseButtonPress, QPointF(100, 40), QPointF(200, 240),
                        Qt::LeftButton, Qt::LeftButton, {});
    QVERIFY(!drag.handle(m_child, &outside, m_window.get()));
    QMouseEvent moveIdle(QEvent::MouseMove, QPointF(1, 1), QPointF(600, 400), Qt::LeftButton,
                         Qt::LeftButton, {});
    QVERIFY(!drag.handle(m_child, &moveIdle, m_window.get()));
    QCOMPARE(m_window->pos(), start);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 10), QPointF(200, 210), Qt::LeftButton,
                      Qt::LeftButton, {});
    QVERIFY(drag.handle(m_child, &press, m_window.get()));
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(600, 400), Qt::LeftButton,
                     Qt::LeftButton, {});
    QVERIFY(drag.handle(m_child, &move, m_window.get()));
    QCOMPARE(m_window->pos(), QPoint(500, 390));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(600, 400),
                        Qt::LeftButton, {}, {});
    QVERIFY(!drag.handle(m_child, &release, m_window.get()));
    QMouseEvent after(QEvent::MouseMove, QPointF(1, 1), QPointF(700, 700), Qt::NoButton,
                      Qt::NoButton, {});
    QVERIFY(!drag.handle(m_child, &after, m_window.get()));
    QCOMPARE(m_window->pos(), QPoint(500, 390));
}

QTEST_MAIN(TestWindowDrag)
#include "tst_windowdrag.moc"
