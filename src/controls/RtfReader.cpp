#include "RtfReader.h"

#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace
{

constexpr int kMaxNumber = 1'000'000'000; // parameters saturate here
constexpr int kMaxWordLength = 32;
constexpr int kMaxFontNameBytes = 256;
const char *const kCodePage = "windows-31j";

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Destinations whose text is not part of the document, with or without \*.
const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> words{"colortbl",
                                        "stylesheet",
                                        "info",
                                        "fchars",
                                        "lchars",
                                        "pict",
                                        "object",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "xe",
                                        "tc",
                                        "txe",
                                        "rxe",
                                        "listtable",
                                        "listoverridetable",
                                        "revtbl",
                                        "rsidtbl",
                                        "generator",
                                        "filetbl",
                                        "fldinst",
                                        "themedata",
                                        "colorschememapping",
                                        "latentstyles",
                                        "datastore",
                                        "pn",
                                        "private"};
    return words;
}

} // namespace

RtfReader::RtfReader(QTextDocument *document) : m_document(document), m_decoder(kCodePage) {}

RtfReader::~RtfReader() = default;

QString RtfReader::plainText(const QByteArray &rtf)
{
    QTextDocument document;
    RtfReader(&document).read(rtf);
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines.join(QLatin1Char('\n'));
}

void RtfReader::read(const QByteArray &rtf)
{
    const bool undo = m_document->isUndoRedoEnabled();
    m_document->setUndoRedoEnabled(false);
    m_document->clear();
    m_cursor = QTextCursor(m_document);
    m_cursor.beginEditBlock();

    m_groups.assign(1, Group{});
    m_overflowDepth = 0;
    m_ignorableNext = false;
    m_fallbackLeft = 0;
    m_defaultFont = 0;
    m_started = false;
    m_paragraphPending = false;
    m_run.clear();
    m_decoder.resetState();
    m_midCharacter = false;
    m_fonts.clear();
    m_fontEntry = -1;
    m_fontName.clear();
    m_fontHint = QFont::AnyStyle;
    m_runFormat = currentFormat();
    m_formatDirty = false;

    const char *data = rtf.constData();
    const qsizetype size = rtf.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = data[i];
        if (c == '{') {
            openGroup();
            ++i;
        } else if (c == '}') {
            closeGroup();
            ++i;
        } else if (c == '\\') {
            if (i + 1 >= size)
                break; // a lone backslash at the very end
            const char next = data[i + 1];
            if (isLetter(next)) {
                qsizetype j = i + 1;
                QByteArray word;
                while (j < size && isLetter(data[j])) {
                    if (word.size() < kMaxWordLength)
                        word.append(data[j]);
                    ++j;
                }
                bool hasParameter = false;
                bool negative = false;
                int parameter = 0;
                if (j + 1 < size && data[j] == '-' && isDigit(data[j + 1])) {
                    negative = true;
                    ++j;
                }
                while (j < size && isDigit(data[j])) {
                    hasParameter = true;
                    parameter =
                        int(std::min<qint64>(kMaxNumber, qint64(parameter) * 10 + (data[j] - '0')));
                    ++j;
                }
                if (negative)
                    parameter = -parameter;
                if (j < size && data[j] == ' ')
                    ++j; // the delimiter belongs to the control word
                i = j;
                if (word == "bin") {
                    // Binary data of the given length follows; none of it is text.
                    if (hasParameter && parameter > 0)
                        i += std::min<qsizetype>(parameter, size - i);
                    continue;
                }
                controlWord(word, hasParameter, parameter);
            } else if (next == '\'') {
                const int high = i + 2 < size ? hexValue(data[i + 2]) : -1;
                const int low = i + 3 < size ? hexValue(data[i + 3]) : -1;
                if (high >= 0 && low >= 0) {
                    textByte(char(high * 16 + low), true);
                    i += 4;
                } else {
                    i += high >= 0 ? 3 : 2; // a broken escape stands for nothing
                }
            } else {
                controlSymbol(next);
                i += 2;
            }
        } else {
            if (c != '\r' && c != '\n')
                textByte(c, false);
            ++i;
        }
    }

    finishFontEntry();
    flushRun();
    m_cursor.endEditBlock();
    m_cursor.movePosition(QTextCursor::Start);
    m_document->setUndoRedoEnabled(undo);
}

void RtfReader::openGroup()
{
    m_ignorableNext = false;
    m_fallbackLeft = 0;
    if (m_overflowDepth > 0 || int(m_groups.size()) > kMaxDepth) {
        ++m_overflowDepth;
        return;
    }
    m_groups.push_back(m_groups.back());
}

void RtfReader::closeGroup()
{
    m_ignorableNext = false;
    m_fallbackLeft = 0;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_groups.size() <= 1)
        return; // an unmatched closing brace
    if (m_groups.back().destination == Destination::FontTable)
        finishFontEntry();
    m_groups.pop_back();
    m_formatDirty = true;
}

bool RtfReader::consumeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void RtfReader::controlWord(const QByteArray &word, bool hasParameter, int parameter)
{
    if (m_overflowDepth > 0)
        return;
    Group &group = m_groups.back();
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    if (group.destination == Destination::Skip)
        return;
    if (consumeFallback())
        return;

    if (word == "fonttbl") {
        group.destination = Destination::FontTable;
        return;
    }
    if (ignorable || skippedDestinations().contains(word)) {
        group.destination = Destination::Skip;
        return;
    }

    if (group.destination == Destination::FontTable) {
        if (word == "f" && hasParameter) {
            finishFontEntry();
            m_fontEntry = parameter;
        } else if (word == "fswiss") {
            m_fontHint = QFont::SansSerif;
        } else if (word == "froman") {
            m_fontHint = QFont::Serif;
        } else if (word == "fmodern") {
            m_fontHint = QFont::TypeWriter;
        }
        return;
    }

    if (word == "par" || word == "sect") {
        paragraph();
    } else if (word == "line") {
        appendChar(QChar::LineSeparator);
    } else if (word == "tab") {
        appendChar(QLatin1Char('\t'));
    } else if (word == "plain") {
        group.font = m_defaultFont;
        group.halfPoints = 24;
        m_formatDirty = true;
    } else if (word == "f" && hasParameter) {
        group.font = parameter;
        m_formatDirty = true;
    } else if (word == "fs" && hasParameter && parameter > 0) {
        group.halfPoints = std::min(parameter, 3276); // 1638 pt, the largest size RTF allows
        m_formatDirty = true;
    } else if (word == "deff" && hasParameter) {
        m_defaultFont = parameter;
    } else if (word == "uc" && hasParameter) {
        group.unicodeSkip = std::max(0, parameter);
    } else if (word == "u" && hasParameter) {
        const int code = parameter < 0 ? parameter + 65536 : parameter;
        appendChar(code >= 0 && code <= 0xFFFF ? QChar(char16_t(code))
                                               : QChar::ReplacementCharacter);
        m_fallbackLeft = group.unicodeSkip;
    } else if (word == "emdash") {
        appendChar(QChar(0x2014));
    } else if (word == "endash") {
        appendChar(QChar(0x2013));
    } else if (word == "bullet") {
        appendChar(QChar(0x2022));
    } else if (word == "lquote") {
        appendChar(QChar(0x2018));
    } else if (word == "rquote") {
        appendChar(QChar(0x2019));
    } else if (word == "ldblquote") {
        appendChar(QChar(0x201C));
    } else if (word == "rdblquote") {
        appendChar(QChar(0x201D));
    }
}

void RtfReader::controlSymbol(char symbol)
{
    if (m_overflowDepth > 0 || m_groups.back().destination == Destination::Skip)
        return;
    if (symbol == '*') {
        m_ignorableNext = true;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(symbol, true);
        return;
    default:
        break;
    }
    if (consumeFallback() || m_groups.back().destination != Destination::Text)
        return;
    switch (symbol) {
    case '~':
        appendChar(QChar(0x00A0));
        break;
    case '_':
        appendChar(QChar(0x2011));
        break;
    case '\r':
    case '\n':
        paragraph();
        break;
    default: // \- optional hyphen, \: index entry and unknown symbols show nothing
        break;
    }
}

void RtfReader::textByte(char byte, bool escaped)
{
    if (m_overflowDepth > 0)
        return;
    m_ignorableNext = false;
    const Group &group = m_groups.back();
    if (group.destination == Destination::Skip)
        return;
    if (group.destination == Destination::FontTable) {
        if (byte == ';' && !escaped)
            finishFontEntry();
        else if (m_fontEntry >= 0 && m_fontName.size() < kMaxFontNameBytes)
            m_fontName.append(byte);
        return;
    }
    if (consumeFallback())
        return;
    if (!escaped && (uchar(byte) < 0x20 || uchar(byte) == 0x7f) && byte != '\t')
        return; // stray control characters are not text
    prepareRun();
    const QString decoded = m_decoder.decode(QByteArrayView(&byte, 1));
    m_midCharacter = decoded.isEmpty();
    m_run += decoded;
}

void RtfReader::appendChar(QChar ch)
{
    if (m_groups.back().destination != Destination::Text)
        return;
    prepareRun();
    endCharacter();
    m_run += ch;
}

void RtfReader::prepareRun()
{
    if (m_paragraphPending) {
        flushRun();
        m_cursor.insertBlock(QTextBlockFormat(), m_runFormat);
        m_paragraphPending = false;
    }
    if (m_formatDirty) {
        m_formatDirty = false;
        const QTextCharFormat format = currentFormat();
        if (format != m_runFormat) {
            flushRun();
            m_runFormat = format;
        }
    }
    if (!m_started) {
        m_cursor.setBlockCharFormat(m_runFormat);
        m_started = true;
    }
}

void RtfReader::endCharacter()
{
    // A lead byte whose trail byte never came shows as one replacement character.
    if (m_midCharacter)
        m_run += QChar::ReplacementCharacter;
    m_midCharacter = false;
    m_decoder.resetState();
}

void RtfReader::flushRun()
{
    endCharacter();
    if (!m_run.isEmpty())
        m_cursor.insertText(m_run, m_runFormat);
    m_run.clear();
}

void RtfReader::paragraph()
{
    // The mark ends the paragraph; the next one starts only when something follows, so the
    // final mark of a document adds no empty line.
    prepareRun();
    flushRun();
    m_paragraphPending = true;
}

void RtfReader::finishFontEntry()
{
    if (m_fontEntry >= 0) {
        QStringDecoder decoder(kCodePage);
        const QString family = QString(decoder.decode(m_fontName)).trimmed();
        if (!family.isEmpty())
            m_fonts.insert(m_fontEntry, Font{family, m_fontHint});
    }
    m_fontEntry = -1;
    m_fontName.clear();
    m_fontHint = QFont::AnyStyle;
}

QTextCharFormat RtfReader::currentFormat() const
{
    QTextCharFormat format;
    const Group &group = m_groups.empty() ? Group{} : m_groups.back();
    auto font = m_fonts.constFind(group.font);
    if (font == m_fonts.constEnd())
        font = m_fonts.constFind(m_defaultFont);
    if (font != m_fonts.constEnd()) {
        format.setFontFamilies(QStringList{font->family});
        format.setFontStyleHint(font->hint);
    }
    format.setFontPointSize(group.halfPoints / 2.0);
    return format;
}
