#include <ui/announcementarea.h>

#include <QAccessible>
#include <QAccessibleWidget>

namespace Brellow {

namespace {

class AnnouncementAccessible : public QAccessibleWidget
{
public:
    explicit AnnouncementAccessible(AnnouncementArea *area)
        : QAccessibleWidget(area, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const AnnouncementArea *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *announcementFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(AnnouncementArea::staticMetaObject.className()))
        return new AnnouncementAccessible(static_cast<AnnouncementArea *>(object));
    return nullptr;
}

} // namespace

AnnouncementArea::AnnouncementArea(QWidget *parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(announcementFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setObjectName(QStringLiteral("announcement"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // One pixel under the page, in a corner the page leaves transparent: it must
    // be shown to count as on screen, and must not be seen.
    setGeometry(0, 0, 1, 1);
    lower();
}

void AnnouncementArea::announce(const QString &text)
{
    // Hidden and shown again, so that the same words said twice are heard twice.
    hide();
    m_text = text;
    show();
    lower();
    QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

} // namespace Brellow
