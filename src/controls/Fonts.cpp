#include "Fonts.h"

#include <QStringList>

namespace kelvo
{

void installFontSubstitutions()
{
    const QStringList faces{QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                            QStringLiteral("Noto Sans Mono CJK JP")};
    QFont::insertSubstitutions(kGothicFamily, faces);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), faces);
}

QFont gothicFont(qreal pointSize, bool bold)
{
    QFont font(kGothicFamily);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace kelvo
