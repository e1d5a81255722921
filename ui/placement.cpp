#include <ui/placement.h>

namespace Brellow {

namespace Placement {

int screenLimit(const QRect &available, const QRect &screen)
{
    int limit = available.height();
    if (limit == screen.height())
        limit -= 40;
    return limit;
}

QPoint defaultPosition(const QRect &available, int limit)
{
    return {(available.right() - available.left() - 363) / 2, limit - 65};
}

int settleY(int y, int currentHeight, int newHeight, int limit, bool collapsing)
{
    if (collapsing && y + currentHeight >= limit)
        y += currentHeight - 65;
    if (y + newHeight > limit)
        y = limit - newHeight;
    return y;
}

} // namespace Placement

} // namespace Brellow
