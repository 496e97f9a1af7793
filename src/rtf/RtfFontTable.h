#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QString>
#include <QStringDecoder>

// The fonts of an RTF font table by number, and the entry being read. Names are code-page
// bytes, decoded when their entry ends.
class RtfFontTable
{
public:
    static constexpr int kMaxNameBytes = 256;

    struct Font {
        QString family;
        QFont::StyleHint hint = QFont::AnyStyle;
    };

    explicit RtfFontTable(const char *codePage);
    ~RtfFontTable();

    // Forgets every font and the entry being read.
    void clear();

    // Starts the entry of font number, storing the one before.
    void beginEntry(int number);
    void setHint(QFont::StyleHint hint);
    // Adds a byte to the entry's name; bytes past kMaxNameBytes are dropped.
    void appendNameByte(char byte);
    // Stores the entry being read if it has a number and a name, and starts none.
    void finishEntry();

    // The font numbered number, or nullptr.
    const Font *find(int number) const;

private:
    QHash<int, Font> m_fonts;
    QStringDecoder m_decoder;
    int m_entry = -1;
    QByteArray m_name;
    QFont::StyleHint m_hint = QFont::AnyStyle;
};
