#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QTextDocument;

// Reads the RTF that the program's documents are written in (code page 932 text, a font
// table, plain paragraphs) into a QTextDocument. Formatting beyond fonts and sizes is left
// out. Malformed input never fails: the reader shows what it could make sense of, in time
// linear in the input, with group nesting bounded by kMaxDepth.
class RtfReader
{
public:
    static constexpr int kMaxDepth = 200;

    explicit RtfReader(QTextDocument *document);
    ~RtfReader();

    // Replaces the document's content with the text of rtf.
    void read(const QByteArray &rtf);

    // Convenience: the plain text rtf reads as, one line per paragraph.
    static QString plainText(const QByteArray &rtf);

private:
    enum class Destination { Text, FontTable, Skip };
    struct Group {
        Destination destination = Destination::Text;
        int font = 0;
        int halfPoints = 24;
        int unicodeSkip = 1;
    };
    struct Font {
        QString family;
        QFont::StyleHint hint = QFont::AnyStyle;
    };

    void controlWord(const QByteArray &word, bool hasParameter, int parameter);
    void controlSymbol(char symbol);
    void textByte(char byte, bool escaped);
    void openGroup();
    void closeGroup();
    void prepareRun();
    void endCharacter();
    void flushRun();
    void paragraph();
    void appendChar(QChar ch);
    bool consumeFallback();
    void finishFontEntry();
    QTextCharFormat currentFormat() const;

    QTextDocument *m_document;
    QTextCursor m_cursor;
    std::vector<Group> m_groups;
    int m_overflowDepth = 0;      // groups opened past kMaxDepth, ignored with their content
    bool m_ignorableNext = false; // a \* was read: the group's destination is skipped
    int m_fallbackLeft = 0;       // characters still to skip after a \u
    int m_defaultFont = 0;
    bool m_started = false;          // the first paragraph has its character format
    bool m_paragraphPending = false; // a paragraph mark waits for the next paragraph to start

    // The run being collected: all its code-page bytes go through one decoder, because a
    // double-byte character arrives as two separate escapes.
    QString m_run;
    QStringDecoder m_decoder;
    bool m_midCharacter = false;
    QTextCharFormat m_runFormat;
    bool m_formatDirty = false; // the font or size may have changed since m_runFormat

    // Font table entries under construction and read.
    QHash<int, Font> m_fonts;
    int m_fontEntry = -1;
    QByteArray m_fontName;
    QFont::StyleHint m_fontHint = QFont::AnyStyle;
};
