#pragma once

#include <QByteArrayView>

#include <string_view>

// A control word the RTF reader knows and what it does. Words not listed do nothing.
struct RtfControlWord {
    enum class Action {
        None,
        FontTable,
        SkipDestination, // a destination whose text is not part of the document
        FontHint,
        Paragraph,
        Character,
        Plain,
        Font,
        FontSize,
        DefaultFont,
        UnicodeSkip,
        Unicode,
    };

    std::string_view word;
    Action action = Action::None;
    int value = 0; // Character: the character; FontHint: the QFont::StyleHint

    // The entry of word; one with Action::None when the word is not listed.
    static const RtfControlWord &find(QByteArrayView word);
};
