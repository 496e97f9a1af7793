#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

// Writes the text of an RTF document into a QTextDocument, run by run. All code-page bytes of
// a run go through one stateful decoder, because a double-byte character may arrive as two
// escapes; a run is decoded and inserted once, when it ends. No control character other than
// a tab reaches the document: bytes the decoder cannot map show as U+FFFD.
class RtfDocumentBuilder
{
public:
    RtfDocumentBuilder(QTextDocument *document, const char *codePage);
    ~RtfDocumentBuilder();

    bool hasDecoder() const;

    // Empties the document and starts writing at its beginning in format.
    void begin(const QTextCharFormat &format);
    // Writes what is still held and ends the edit, with the caret at the start.
    void finish();

    // The format of what follows. A change ends the run and the character being decoded.
    void setFormat(const QTextCharFormat &format);
    // One code-page byte of text: never a control byte other than the tab.
    void appendByte(char byte);
    // A character of its own (\u, \tab, \~): ends the character being decoded.
    void appendChar(QChar ch);
    // Ends the paragraph. The next one starts only when something follows, so the final mark
    // of a document adds no empty line.
    void paragraph();

private:
    void startText();
    void endCharacter();
    void decodePending();
    void appendDecoded(QStringView text);
    void flush();

    QTextDocument *m_document;
    QTextCursor m_cursor;
    bool m_undoWasEnabled = false;
    QStringDecoder m_decoder;
    QByteArray m_pending;        // bytes of the run not decoded yet
    bool m_midCharacter = false; // the decoder holds a lead byte
    QString m_run;               // decoded text of the run, not inserted yet
    QTextCharFormat m_format;    // the run's format
    bool m_started = false;      // the first paragraph has its character format
    bool m_paragraphPending = false;
};
