#include "linkbridge.h"

void LinkBridge::click(const QString &href)
{
    emit clicked(QUrl(href));
}
