#include <ui/linkbridge.h>

namespace Brellow {

void LinkBridge::click(const QString &href)
{
    emit clicked(QUrl(href));
}

} // namespace Brellow
