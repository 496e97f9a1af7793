#include "RtfDocumentBuilder.h"

#include <QTextDocument>

namespace
{

// The code-page decoder's mark for a byte it cannot map (ICU's substitute for code page 932).
constexpr char16_t kSubstitute = 0x1A;

bool isControl(QChar ch)
{
    return ch.category() == QChar::Other_Control && ch != QLatin1Char('\t');
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument *document, const char *codePage)
    : m_document(document), m_decoder(codePage)
{
}

RtfDocumentBuilder::~RtfDocumentBuilder() = default;

bool RtfDocumentBuilder::hasDecoder() const
{
    return m_decoder.isValid();
}

void RtfDocumentBuilder::begin(const QTextCharFormat &format)
{
    m_undoWasEnabled = m_document->isUndoRedoEnabled();
    m_document->setUndoRedoEnabled(false);
    m_document->clear();
    m_cursor = QTextCursor(m_document);
    m_cursor.beginEditBlock();
    m_decoder.resetState();
    m_pending.clear();
    m_midCharacter = false;
    m_run.clear();
    m_format = format;
    m_started = false;
    m_paragraphPending = false;
}

void RtfDocumentBuilder::finish()
{
    flush();
    m_cursor.endEditBlock();
    m_cursor.movePosition(QTextCursor::Start);
    m_document->setUndoRedoEnabled(m_undoWasEnabled);
}

void RtfDocumentBuilder::setFormat(const QTextCharFormat &format)
{
    if (format == m_format)
        return;
    flush();
    m_format = format;
}

void RtfDocumentBuilder::appendByte(char byte)
{
    startText();
    m_pending.append(byte);
}

void RtfDocumentBuilder::appendChar(QChar ch)
{
    if (isControl(ch))
        return;
    startText();
    endCharacter();
    m_run += ch;
}

void RtfDocumentBuilder::paragraph()
{
    startText();
    flush();
    m_paragraphPending = true;
}

// Starts the paragraph that waits for text, or gives the first one its format.
void RtfDocumentBuilder::startText()
{
    if (m_paragraphPending) {
        m_cursor.insertBlock(QTextBlockFormat(), m_format);
        m_paragraphPending = false;
    } else if (!m_started) {
        m_cursor.setBlockCharFormat(m_format);
    }
    m_started = true;
}

// Decodes the bytes held; a lead byte whose trail byte never came shows as U+FFFD.
void RtfDocumentBuilder::endCharacter()
{
    decodePending();
    if (m_midCharacter)
        m_run += QChar::ReplacementCharacter;
    m_midCharacter = false;
    m_decoder.resetState();
}

void RtfDocumentBuilder::decodePending()
{
    if (m_pending.isEmpty())
        return;
    // The last byte alone tells whether the decoder is left holding a lead byte.
    const QByteArrayView bytes(m_pending);
    if (bytes.size() > 1)
        appendDecoded(QString(m_decoder.decode(bytes.chopped(1))));
    const QString last = m_decoder.decode(bytes.last(1));
    m_midCharacter = last.isEmpty();
    appendDecoded(last);
    m_pending.resize(0);
}

void RtfDocumentBuilder::appendDecoded(QStringView text)
{
    for (QChar ch : text) {
        if (ch == kSubstitute)
            m_run += QChar::ReplacementCharacter;
        else if (!isControl(ch))
            m_run += ch;
    }
}

void RtfDocumentBuilder::flush()
{
    endCharacter();
    if (!m_run.isEmpty())
        m_cursor.insertText(m_run, m_format);
    m_run.clear();
}
