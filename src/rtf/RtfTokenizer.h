#pragma once

#include <QByteArrayView>

// Splits RTF into tokens: group braces, control words with their parameters, control symbols,
// \'hh escapes, \bin data, \u characters and runs of plain text. It never fails and reads
// each byte once: a broken escape and a backslash at the very end stand for nothing, line
// breaks between tokens are dropped, and parameters saturate at ±kMaxParameter.
class RtfTokenizer
{
public:
    static constexpr int kMaxParameter = 1'000'000'000;

    enum class Kind {
        GroupOpen,
        GroupClose,
        ControlWord,   // bytes: the word's letters; hasParameter, parameter
        ControlSymbol, // byte: the character after the backslash
        Escape,        // byte: the value of \'hh
        Binary,        // bytes: the data of \binN
        Unicode,       // parameter: the N of \uN, as written
        Text,          // bytes: plain bytes, without braces, backslashes or line breaks
    };

    struct Token {
        Kind kind = Kind::Text;
        QByteArrayView bytes;
        char byte = 0;
        bool hasParameter = false;
        int parameter = 0;
        qsizetype offset = 0; // where the token starts in the input
    };

    // rtf must outlive the tokenizer and its tokens, which point into it.
    explicit RtfTokenizer(QByteArrayView rtf);
    ~RtfTokenizer();

    // Reads the next token into token; false at the end of the input.
    bool next(Token &token);

private:
    bool backslash(Token &token);
    void controlWord(Token &token);
    bool escape(Token &token);
    void text(Token &token);

    QByteArrayView m_rtf;
    qsizetype m_pos = 0;
};
