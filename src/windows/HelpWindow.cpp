#include "HelpWindow.h"

#include "controls/Fonts.h"
#include "controls/RichTextView.h"
#include "core/Twips.h"

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmヘルプ"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(kelvo::gothicFont(9));
    // The button-face colour shows only where the window is larger than the view.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    resize(kelvo::twipsSize(11880, 8595));

    m_view = new RichTextView(this);
    m_view->setObjectName(QStringLiteral("RichTextBox1"));
    m_view->setGeometry(kelvo::twipsRect(0, 0, 11895, 8655));
    m_view->loadRtf(QStringLiteral(":/documents/readme.rtf"));
    m_view->setFocus(Qt::OtherFocusReason);
}

HelpWindow::~HelpWindow() = default;
