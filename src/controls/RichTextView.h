#pragma once

#include <QByteArray>
#include <QString>
#include <QTextEdit>

// The read-only rich-text view of the result and help windows: shows an RTF document,
// wraps lines at its width and has a vertical scroll bar only. The user can scroll, place
// the caret, select with mouse or keyboard and copy; nothing the user does changes the text.
class RichTextView : public QTextEdit
{
    Q_OBJECT
public:
    explicit RichTextView(QWidget *parent = nullptr);
    ~RichTextView() override;

    // Shows the document rtf, with the caret at its start and scrolled to its top.
    void setRtf(const QByteArray &rtf);

    // Shows the RTF document stored at path (a file or a ":/" resource). Returns false and
    // leaves the view empty when it cannot be read.
    bool loadRtf(const QString &path);
};
