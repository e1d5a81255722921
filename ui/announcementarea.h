#pragma once

#include <QString>
#include <QWidget>

namespace Brellow {

// An invisible corner of the window that screen readers see as a notification:
// whenever Brellow has something to say, the area takes the text and appears
// anew, which a screen reader speaks like any desktop notification. The page's
// own text changes reach no screen reader, so this is how they are heard.
class AnnouncementArea : public QWidget
{
    Q_OBJECT

public:
    explicit AnnouncementArea(QWidget *parent);

    QString text() const { return m_text; }
    void announce(const QString &text);

private:
    QString m_text;
};

} // namespace Brellow
