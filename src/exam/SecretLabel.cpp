#include "SecretLabel.h"

#include "AnswerSheetAccessible.h"

#include <QPainter>
#include <QStyle>

SecretLabel::SecretLabel(const QString &caption, QWidget *parent)
    : QLabel(parent), m_caption(caption)
{
    kelvo::installAnswerSheetAccessibility();
}

SecretLabel::~SecretLabel() = default;

void SecretLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          m_caption, foregroundRole());
}
