#include "PassRate.h"

#include <QLocale>

#include <cmath>

namespace kelvo::passrate
{

namespace
{

// The caption as a number, read the same way whatever the user's locale; surrounding
// blanks are allowed, as the ordinary text-to-number conversion allows them.
bool captionToNumber(const QString &caption, double *value)
{
    const QString text = caption.trimmed();
    if (text.isEmpty())
        return false;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    *value = c.toDouble(text, &ok);
    return ok && std::isfinite(*value);
}

} // namespace

Choice choiceFor(const QString &scoreCaption)
{
    if (scoreCaption.isEmpty())
        return {Choice::ExamWindow, 0};
    double s = 0;
    if (!captionToNumber(scoreCaption, &s))
        return {};
    for (int band = 1; band <= kBandCount; ++band) {
        const Band &row = kBands[band - 1];
        if (row.exact ? s == row.lowest : s >= row.lowest)
            return {Choice::PassLine, band};
    }
    return {};
}

} // namespace kelvo::passrate
