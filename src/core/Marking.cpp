#include "Marking.h"

namespace kelvo::marking
{

namespace
{

// Points by item number; slots that are no item stay 0.
constexpr std::array<int, kTableSize + 1> kPoints = [] {
    std::array<int, kTableSize + 1> p{};
    constexpr int first55[56] = {0, 2, 3, 3, 2, 2, 3, 2, 2, 3, 2, 2, 4, // question 1: items 1-12
                                 3, 3, 2, 2, 3, 3, 1, 4, 1, 1, 3, 4,    // question 2: items 13-24
                                 1, 1, 2, 2, 1, 2, 1, 2, 1, 5, 1,       // question 3: items 25-35
                                 2, 3, 4, 3, 2, 2, 4,                   // question 4: items 36-42
                                 3, 2, 2, 4, 4, 5,                      // question 5: items 43-48
                                 4, 4, 2, 2, 3, 2, 3};                  // question 6: items 49-55
    for (int i = 1; i <= 55; ++i)
        p[i] = first55[i];
    p[135] = 1; // question 3, the second of the two four-digit blanks
    return p;
}();

} // namespace

const std::array<int, kItemCount> &markingOrder()
{
    static const std::array<int, kItemCount> order = [] {
        std::array<int, kItemCount> o{};
        int at = 0;
        for (int n = 1; n <= 35; ++n)
            o[at++] = n;
        o[at++] = 135;
        for (int n = 36; n <= 55; ++n)
            o[at++] = n;
        return o;
    }();
    return order;
}

int pointsFor(int item)
{
    return item >= 1 && item <= kTableSize ? kPoints[item] : 0;
}

bool textItemCorrect(const QString &answer, const QStringList &keys)
{
    if (answer.isEmpty())
        return false;
    for (const QString &key : keys) {
        if (answer.size() == key.size() && answer == key)
            return true;
    }
    return false;
}

bool choiceItemCorrect(const std::array<bool, 9> &ticked, int correctBox)
{
    if (correctBox < 1 || correctBox > 9)
        return false;
    for (int i = 0; i < 9; ++i) {
        if (ticked[i] != (i == correctBox - 1))
            return false;
    }
    return true;
}

} // namespace kelvo::marking
