#include <tests/support/messageboxes.h>

#include <QApplication>
#include <QElapsedTimer>

namespace UiTest {

QMessageBox *visibleMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->isVisible())
            return box;
    }
    return nullptr;
}

void closeNextMessageBox(BoxSeen *seen, int timeoutMs)
{
    auto *poll = new QTimer(qApp);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        if (QMessageBox *box = visibleMessageBox()) {
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->buttons = box->standardButtons();
            seen->icon = box->icon();
            seen->windowModal = box->windowModality() == Qt::WindowModal && box->parentWidget() &&
                                box->parentWidget()->isWindow();
            seen->seen = true;
            box->done(0);
        }
        if (seen->seen || elapsed->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(20);
}

BoxWatch::BoxWatch()
{
    QObject::connect(&m_poll, &QTimer::timeout, [this] { closeOpenBoxes(); });
    m_poll.start(20);
}

QStringList BoxWatch::texts()
{
    closeOpenBoxes();
    return m_texts;
}

void BoxWatch::closeOpenBoxes()
{
    while (QMessageBox *box = visibleMessageBox()) {
        m_texts << box->text();
        box->done(0);
    }
}

} // namespace UiTest
