#include "Fonts.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QStringList>

#include <future>

namespace kelvo
{

void installFontSubstitutions()
{
    const QStringList faces{QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                            QStringLiteral("Noto Sans Mono CJK JP")};
    QFont::insertSubstitutions(kGothicFamily, faces);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), faces);
}

void loadFontsInBackground()
{
    static std::future<void> loading;
    if (loading.valid())
        return;
    // The font database is safe to use from any thread; the first use fills it.
    loading = std::async(std::launch::async, [] { QFontDatabase::families(); });
    qAddPostRoutine([] { loading.wait(); });
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
