#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The rules of marking the paper: which items there are, in which order they are marked,
// what each is worth, and when an answer counts as correct.
namespace kelvo::marking
{

// The choice item, answered with nine check boxes instead of a text blank.
inline constexpr int kChoiceItem = 49;
// The points table of one press holds a slot for every item number up to this one.
inline constexpr int kTableSize = 135;
inline constexpr int kItemCount = 56;

// 1 to 34, 35, 135, 36 to 48, 49, 50 to 55.
const std::array<int, kItemCount> &markingOrder();

// Points of a correct answer to item (1 to 5), 0 for a number that is no item.
int pointsFor(int item);

// Exact comparison: whole string, code unit by code unit, nothing trimmed or folded.
// An empty answer is never correct.
bool textItemCorrect(const QString &answer, const QStringList &keys);

// Correct exactly when box correctBox (1 to 9, the answer sheet's key) is ticked and none of
// the other eight is; never for a box outside 1 to 9.
bool choiceItemCorrect(const std::array<bool, 9> &ticked, int correctBox);

} // namespace kelvo::marking
