#include "EngineFonts.h"

#include "EngineLog.h"

#include <QByteArray>
#include <QWebEngineSettings>

#include <fontconfig/fontconfig.h>

namespace
{

struct Alias {
    const char *named;
    const char *face;
};

// The names in the documents' own script and in Latin letters, each with its face.
constexpr Alias kAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"}, {"MS Gothic", "IPAGothic"},   {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"MS PGothic", "IPAPGothic"},   {"ＭＳ 明朝", "IPAMincho"},   {"MS Mincho", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},  {"MS PMincho", "IPAPMincho"},
};

// Whether the system has a face of that family name.
bool installed(FcConfig *config, const char *family)
{
    FcPattern *pattern = FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, family, nullptr);
    FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet *found = FcFontList(config, pattern, objects);
    const bool any = found && found->nfont > 0;
    if (found)
        FcFontSetDestroy(found);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return any;
}

// Each face goes before its name, bound as the name is: the engine takes a face other than
// the one named only when it comes first once the configuration has had its say.
QByteArray aliasRules(FcConfig *config)
{
    QByteArray rules =
        QByteArrayLiteral("<?xml version=\"1.0\"?>\n"
                          "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                          "<fontconfig>\n");
    for (const Alias &alias : kAliases) {
        if (installed(config, alias.named))
            continue;
        rules += QByteArrayLiteral("  <alias binding=\"same\"><family>") + alias.named +
                 QByteArrayLiteral("</family><prefer><family>") + alias.face +
                 QByteArrayLiteral("</family></prefer></alias>\n");
    }
    return rules + QByteArrayLiteral("</fontconfig>\n");
}

} // namespace

void EngineFonts::prepare()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;

    FcConfig *config = FcConfigGetCurrent();
    const QByteArray rules = aliasRules(config);
    if (!config || !FcConfigParseAndLoadFromMemory(
                       config, reinterpret_cast<const FcChar8 *>(rules.constData()), FcTrue))
        qCWarning(lcEngine) << "cannot give the question view the faces its documents name";
}

void EngineFonts::setDefaultFaces(QWebEngineSettings *settings)
{
    settings->setFontFamily(QWebEngineSettings::StandardFont, QStringLiteral("IPAPGothic"));
    settings->setFontFamily(QWebEngineSettings::SansSerifFont, QStringLiteral("IPAPGothic"));
    settings->setFontFamily(QWebEngineSettings::SerifFont, QStringLiteral("IPAPMincho"));
    settings->setFontFamily(QWebEngineSettings::FixedFont, QStringLiteral("IPAGothic"));
}
