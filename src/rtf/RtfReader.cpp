#include "RtfReader.h"

#include <QLoggingCategory>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

Q_LOGGING_CATEGORY(lcRichText, "kelvo.richtext", QtWarningMsg)

namespace
{

using Action = RtfControlWord::Action;

constexpr int kMaxHalfPoints = 3276; // 1638 pt, the largest size RTF allows

// Qt hashes a format's family list by its type alone, so formats that differ only in their
// family all land on one hash and each new one is compared with all the others. The family
// as a string property gives each its own hash.
constexpr int kFamilyKeyProperty = QTextFormat::UserProperty + 1;

// Bytes that are not text, whether written as they are or as \'hh. The tab is text.
bool isControlByte(char byte)
{
    return (uchar(byte) < 0x20 && byte != '\t') || uchar(byte) == 0x7f;
}

} // namespace

RtfReader::RtfReader(QTextDocument *document) : m_builder(document, kCodePage), m_fonts(kCodePage)
{
}

RtfReader::~RtfReader() = default;

bool RtfReader::decoderAvailable()
{
    // The Microsoft mapping, which the documents' column rules are drawn in: 81 5C is U+2015.
    QStringDecoder decoder(kCodePage);
    return decoder.isValid() &&
           QString(decoder.decode("\x81\x5c\x82\xa0")) == QStringView(u"\u2015\u3042");
}

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
    if (!m_builder.hasDecoder())
        qCWarning(lcRichText) << "no decoder for" << kCodePage << "(Qt without ICU?):"
                              << "the document's Japanese text cannot be read";
    m_groups.assign(1, Group{});
    m_overflowDepth = 0;
    m_ignorableNext = false;
    m_fallbackLeft = 0;
    m_defaultFont = 0;
    m_formatDirty = false;
    m_fonts.clear();
    m_builder.begin(currentFormat());

    RtfTokenizer tokenizer(rtf);
    RtfTokenizer::Token next;
    while (tokenizer.next(next))
        token(next);

    m_fonts.finishEntry();
    m_builder.finish();
}

void RtfReader::token(const RtfTokenizer::Token &token)
{
    using Kind = RtfTokenizer::Kind;
    switch (token.kind) {
    case Kind::GroupOpen:
        openGroup();
        break;
    case Kind::GroupClose:
        closeGroup();
        break;
    case Kind::ControlWord:
        controlWord(RtfControlWord::find(token.bytes), token.hasParameter, token.parameter);
        break;
    case Kind::Unicode:
        controlWord({"u", Action::Unicode}, true, token.parameter);
        break;
    case Kind::ControlSymbol:
        controlSymbol(token.byte);
        break;
    case Kind::Escape:
        text(QByteArrayView(&token.byte, 1), true);
        break;
    case Kind::Text:
        text(token.bytes, false);
        break;
    case Kind::Binary:
        break; // pictures and objects: none of it is text
    }
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
        m_fonts.finishEntry();
    m_groups.pop_back();
    m_formatDirty = true;
}

// A control word, a control symbol and a character each count as one fallback character.
bool RtfReader::consumeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void RtfReader::controlWord(const RtfControlWord &word, bool hasParameter, int parameter)
{
    if (m_overflowDepth > 0)
        return;
    Group &group = m_groups.back();
    const bool ignorable = m_ignorableNext;
    m_ignorableNext = false;
    if (group.destination == Destination::Skip || consumeFallback())
        return;

    if (word.action == Action::FontTable)
        group.destination = Destination::FontTable;
    else if (ignorable || word.action == Action::SkipDestination)
        group.destination = Destination::Skip;
    else if (group.destination == Destination::FontTable)
        fontTableWord(word, hasParameter, parameter);
    else
        textWord(word, hasParameter, parameter);
}

void RtfReader::fontTableWord(const RtfControlWord &word, bool hasParameter, int parameter)
{
    if (word.action == Action::Font && hasParameter)
        m_fonts.beginEntry(parameter);
    else if (word.action == Action::FontHint)
        m_fonts.setHint(QFont::StyleHint(word.value));
}

void RtfReader::textWord(const RtfControlWord &word, bool hasParameter, int parameter)
{
    Group &group = m_groups.back();
    switch (word.action) {
    case Action::Paragraph:
        applyFormat();
        m_builder.paragraph();
        break;
    case Action::Character:
        appendChar(QChar(char16_t(word.value)));
        break;
    case Action::Plain:
        group.font = m_defaultFont;
        group.halfPoints = Group{}.halfPoints;
        m_formatDirty = true;
        break;
    case Action::Font:
        if (hasParameter) {
            group.font = parameter;
            m_formatDirty = true;
        }
        break;
    case Action::FontSize:
        if (hasParameter && parameter > 0) {
            group.halfPoints = std::min(parameter, kMaxHalfPoints);
            m_formatDirty = true;
        }
        break;
    case Action::DefaultFont:
        if (hasParameter) {
            m_defaultFont = parameter; // the fallback of a font the table does not hold
            m_formatDirty = true;
        }
        break;
    case Action::UnicodeSkip:
        if (hasParameter)
            group.unicodeSkip = std::max(0, parameter);
        break;
    case Action::Unicode: {
        const int code = parameter < 0 ? parameter + 65536 : parameter;
        appendChar(code >= 0 && code <= 0xFFFF ? QChar(char16_t(code))
                                               : QChar::ReplacementCharacter);
        m_fallbackLeft = group.unicodeSkip;
        break;
    }
    default:
        break;
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
    if (symbol == '\\' || symbol == '{' || symbol == '}') {
        text(QByteArrayView(&symbol, 1), true);
        return;
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
        applyFormat();
        m_builder.paragraph();
        break;
    default: // \- optional hyphen, \: index entry and unknown symbols show nothing
        break;
    }
}

// Code-page bytes, written as they are or escaped. Control bytes are dropped before anything
// looks at them, as line breaks are: they neither show nor count as fallback characters.
void RtfReader::text(QByteArrayView bytes, bool escaped)
{
    if (m_overflowDepth > 0)
        return;
    for (const char byte : bytes) {
        if (isControlByte(byte))
            continue;
        m_ignorableNext = false;
        switch (m_groups.back().destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (byte == ';' && !escaped)
                m_fonts.finishEntry();
            else
                m_fonts.appendNameByte(byte);
            break;
        case Destination::Text:
            if (!consumeFallback()) {
                applyFormat();
                m_builder.appendByte(byte);
            }
            break;
        }
    }
}

void RtfReader::appendChar(QChar ch)
{
    applyFormat();
    m_builder.appendChar(ch);
}

// Hands the builder the format in effect, when it may have changed since the last text.
void RtfReader::applyFormat()
{
    if (!m_formatDirty)
        return;
    m_formatDirty = false;
    m_builder.setFormat(currentFormat());
}

QTextCharFormat RtfReader::currentFormat() const
{
    QTextCharFormat format;
    const Group &group = m_groups.back();
    const RtfFontTable::Font *font = m_fonts.find(group.font);
    if (!font)
        font = m_fonts.find(m_defaultFont);
    if (font) {
        format.setFontFamilies(QStringList{font->family});
        format.setFontStyleHint(font->hint);
        format.setProperty(kFamilyKeyProperty, font->family);
    }
    format.setFontPointSize(group.halfPoints / 2.0);
    return format;
}
