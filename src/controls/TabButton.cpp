#include "TabButton.h"

#include <QPen>
#include <QStyleOptionTab>
#include <QStylePainter>

TabButton::TabButton(const QString &text, QWidget *parent) : QAbstractButton(parent)
{
    setText(text);
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
}

TabButton::~TabButton() = default;

void TabButton::setFocusShown(bool shown)
{
    if (shown == m_focusShown)
        return;
    m_focusShown = shown;
    update();
}

QSize TabButton::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(8, 6);
}

void TabButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.position = QStyleOptionTab::Middle;
    option.rect = rect();
    if (isChecked())
        option.state |= QStyle::State_Selected;
    if (isDown())
        option.state |= QStyle::State_Sunken;
    if (m_focusShown)
        option.state |= QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_TabBarTabShape, option);

    QRect label = rect().adjusted(1, isChecked() ? 0 : 1, -1, 0);
    // A caption wider than its tab is narrowed to fit rather than cut off.
    const int textWidth = fontMetrics().horizontalAdvance(text());
    if (textWidth > label.width() && label.width() > 0) {
        painter.translate(label.left(), 0);
        painter.scale(qreal(label.width()) / textWidth, 1.0);
        label = QRect(0, label.top(), textWidth, label.height());
    }
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(label, Qt::AlignCenter | Qt::TextSingleLine, text());

    if (m_focusShown) {
        // Drawn unscaled around the whole caption area, in the selection colour, two pixels
        // wide: the style's own focus frame is faint on the yellow answer tabs.
        painter.resetTransform();
        painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(3, 3, -3, -2));
    }
}
