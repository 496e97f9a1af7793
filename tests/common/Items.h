#pragma once

#include <QList>

namespace kelvo::test
{

// The 55 items answered in a text blank: 1 to 55 but the choice item 49, and 135.
inline QList<int> textItems()
{
    QList<int> items;
    for (int n = 1; n <= 55; ++n)
        if (n != 49)
            items << n;
    return items << 135;
}

} // namespace kelvo::test
