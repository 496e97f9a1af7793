#include "RichTextView.h"

#include "Fonts.h"
#include "rtf/RtfReader.h"

#include <QFile>
#include <QLoggingCategory>
#include <QScrollBar>

RichTextView::RichTextView(QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setAcceptDrops(false);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(1);
    viewport()->setBackgroundRole(QPalette::Base);
    setFont(kelvo::gothicFont(9));
    setFocusPolicy(Qt::StrongFocus);
}

RichTextView::~RichTextView() = default;

void RichTextView::setRtf(const QByteArray &rtf)
{
    RtfReader(document()).read(rtf);
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
}

bool RichTextView::loadRtf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcRichText) << "cannot read" << path << file.errorString();
        clear();
        return false;
    }
    setRtf(file.readAll());
    return true;
}
