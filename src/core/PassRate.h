#pragma once

#include <QString>

#include <array>

// The pass-rate rule: which band of the verdict a score caption falls into.
namespace kelvo::passrate
{

// A band of scores, tested from the first to the last: the first that holds decides. The
// band's number is its place in kBands, from 1.
struct Band {
    double lowest; // the band holds scores from here up (or exactly this score, if exact)
    bool exact;
};

inline constexpr auto kBands = std::to_array<Band>({
    {100, false}, // 1: 100 and above
    {80, false},  // 2: 80 to 99
    {60, false},  // 3: 60 to 79
    {40, false},  // 4: 40 to 59
    {1, false},   // 5: 1 to 39
    {0, true},    // 6: exactly 0
});
inline constexpr int kBandCount = int(kBands.size());

// What the pass-rate button opens for the score label's caption.
struct Choice {
    enum Kind { Nothing, ExamWindow, PassLine };
    Kind kind = Nothing;
    int band = 0; // 1..kBandCount for a pass-line window

    bool operator==(const Choice &) const = default;
};

// The exam window itself for an empty caption, else the pass-line window of the score's band.
// Nothing for a score no band holds (below 0, between 0 and 1) or a caption that is not a
// number, read the same way whatever the user's locale.
Choice choiceFor(const QString &scoreCaption);

} // namespace kelvo::passrate
