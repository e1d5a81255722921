#pragma once

#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace UiTest {

// The message box open right now, if any.
QMessageBox *visibleMessageBox();

// What a message box showed.
struct BoxSeen
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool windowModal = false; // modal to the window that opened it
    bool seen = false;
};

// Closes the next message box that opens and reports what it showed into
// *seen, which must outlive the wait (at most timeoutMs).
void closeNextMessageBox(BoxSeen *seen, int timeoutMs = 15000);

// Closes every message box that opens while it lives, and collects their texts.
// For the cases where no box must appear.
class BoxWatch
{
public:
    BoxWatch();
    // Every box seen so far, those open right now included.
    QStringList texts();

private:
    void closeOpenBoxes();

    QStringList m_texts;
    QTimer m_poll;
};

} // namespace UiTest
