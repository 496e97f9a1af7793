#pragma once

#include "RtfControlWord.h"
#include "RtfDocumentBuilder.h"
#include "RtfFontTable.h"
#include "RtfTokenizer.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <vector>

class QTextDocument;

// What the rich-text view and its reader have to say: "kelvo.richtext", warnings only.
Q_DECLARE_LOGGING_CATEGORY(lcRichText)

// Reads the RTF that the program's documents are written in (code page 932 text, a font
// table, plain paragraphs) into a QTextDocument. RtfTokenizer splits the bytes into tokens;
// the reader follows groups, destinations, the font table and \u fallbacks, and
// RtfDocumentBuilder writes the text. Formatting beyond fonts and sizes is left out.
// Malformed input never fails: the reader shows what it could make sense of, in time linear
// in the input, with group nesting bounded by kMaxDepth.
class RtfReader
{
public:
    static constexpr int kMaxDepth = 200;
    static constexpr char kCodePage[] = "windows-31j";

    explicit RtfReader(QTextDocument *document);
    ~RtfReader();

    // Replaces the document's content with the text of rtf.
    void read(const QByteArray &rtf);

    // Convenience: the plain text rtf reads as, one line per paragraph.
    static QString plainText(const QByteArray &rtf);

    // Whether this Qt decodes code page 932 (through ICU). Without the decoder the documents'
    // Japanese text cannot be read; start-up should check this and say so.
    static bool decoderAvailable();

private:
    enum class Destination { Text, FontTable, Skip };
    struct Group {
        Destination destination = Destination::Text;
        int font = 0;
        int halfPoints = 24;
        int unicodeSkip = 1;
    };

    void token(const RtfTokenizer::Token &token);
    void openGroup();
    void closeGroup();
    void controlWord(const RtfControlWord &word, bool hasParameter, int parameter);
    void fontTableWord(const RtfControlWord &word, bool hasParameter, int parameter);
    void textWord(const RtfControlWord &word, bool hasParameter, int parameter);
    void controlSymbol(char symbol);
    void text(QByteArrayView bytes, bool escaped);
    void appendChar(QChar ch);
    bool consumeFallback();
    void applyFormat();
    QTextCharFormat currentFormat() const;

    RtfDocumentBuilder m_builder;
    RtfFontTable m_fonts;
    std::vector<Group> m_groups;
    int m_overflowDepth = 0;      // groups opened past kMaxDepth, ignored with their content
    bool m_ignorableNext = false; // a \* was read: the group's destination is skipped
    int m_fallbackLeft = 0;       // characters still to skip after a \u
    int m_defaultFont = 0;
    bool m_formatDirty = false; // the font or size may have changed since the last text
};
