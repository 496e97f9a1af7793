#include "RtfControlWord.h"

#include <QChar>
#include <QFont>

#include <algorithm>
#include <iterator>

const RtfControlWord &RtfControlWord::find(QByteArrayView word)
{
    // Sorted by word. Destinations whose text is not part of the document are skipped with or
    // without \*; words not listed do nothing.
    static constexpr RtfControlWord kWords[] = {
        {"bullet", Action::Character, 0x2022},
        {"colorschememapping", Action::SkipDestination},
        {"colortbl", Action::SkipDestination},
        {"datastore", Action::SkipDestination},
        {"deff", Action::DefaultFont},
        {"emdash", Action::Character, 0x2014},
        {"endash", Action::Character, 0x2013},
        {"f", Action::Font},
        {"fchars", Action::SkipDestination},
        {"filetbl", Action::SkipDestination},
        {"fldinst", Action::SkipDestination},
        {"fmodern", Action::FontHint, QFont::TypeWriter},
        {"fonttbl", Action::FontTable},
        {"footer", Action::SkipDestination},
        {"footerf", Action::SkipDestination},
        {"footerl", Action::SkipDestination},
        {"footerr", Action::SkipDestination},
        {"footnote", Action::SkipDestination},
        {"froman", Action::FontHint, QFont::Serif},
        {"fs", Action::FontSize},
        {"fswiss", Action::FontHint, QFont::SansSerif},
        {"generator", Action::SkipDestination},
        {"header", Action::SkipDestination},
        {"headerf", Action::SkipDestination},
        {"headerl", Action::SkipDestination},
        {"headerr", Action::SkipDestination},
        {"info", Action::SkipDestination},
        {"latentstyles", Action::SkipDestination},
        {"lchars", Action::SkipDestination},
        {"ldblquote", Action::Character, 0x201C},
        {"line", Action::Character, QChar::LineSeparator},
        {"listoverridetable", Action::SkipDestination},
        {"listtable", Action::SkipDestination},
        {"lquote", Action::Character, 0x2018},
        {"object", Action::SkipDestination},
        {"par", Action::Paragraph},
        {"pict", Action::SkipDestination},
        {"plain", Action::Plain},
        {"pn", Action::SkipDestination},
        {"private", Action::SkipDestination},
        {"rdblquote", Action::Character, 0x201D},
        {"revtbl", Action::SkipDestination},
        {"rquote", Action::Character, 0x2019},
        {"rsidtbl", Action::SkipDestination},
        {"rxe", Action::SkipDestination},
        {"sect", Action::Paragraph},
        {"stylesheet", Action::SkipDestination},
        {"tab", Action::Character, '\t'},
        {"tc", Action::SkipDestination},
        {"themedata", Action::SkipDestination},
        {"txe", Action::SkipDestination},
        {"uc", Action::UnicodeSkip},
        {"xe", Action::SkipDestination},
    };
    static_assert(std::ranges::is_sorted(kWords, {}, &RtfControlWord::word));
    static constexpr RtfControlWord kUnknown{};

    const std::string_view key(word.data(), size_t(word.size()));
    const auto *found = std::ranges::lower_bound(kWords, key, {}, &RtfControlWord::word);
    return found != std::end(kWords) && found->word == key ? *found : kUnknown;
}
