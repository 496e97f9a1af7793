#include "PassRate.h"

#include <QLocale>

#include <cmath>

namespace kelvo
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

QString passLineWindowFor(const QString &scoreCaption)
{
    if (scoreCaption.isEmpty())
        return QStringLiteral("frmKelvo");
    double s = 0;
    if (!captionToNumber(scoreCaption, &s))
        return QString();
    static constexpr struct {
        double lowest;
        int band;
    } kBands[] = {{100, 1}, {80, 2}, {60, 3}, {40, 4}, {1, 5}};
    for (const auto &row : kBands) {
        if (s >= row.lowest)
            return QStringLiteral("frm合格ライン%1").arg(row.band);
    }
    if (s == 0)
        return QStringLiteral("frm合格ライン6");
    return QString();
}

} // namespace kelvo
