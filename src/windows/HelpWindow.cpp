#include "HelpWindow.h"

#include "WindowsAccessible.h"
#include "controls/ClientArea.h"
#include "controls/Fonts.h"
#include "controls/RichTextView.h"
#include "core/Twips.h"

#include <QKeySequence>
#include <QShortcut>

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    kelvo::installWindowsAccessibility();
    setObjectName(QStringLiteral("frmヘルプ"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(kelvo::gothicFont(9));
    const QSize size = kelvo::twipsSize(11880, 8595);
    resize(size);

    // The button-face colour shows only where the window is larger than the view.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setBackgroundRole(QPalette::Button);
    m_client->resize(size);

    m_view = new RichTextView(m_client);
    m_view->setObjectName(QStringLiteral("RichTextBox1"));
    m_view->setGeometry(kelvo::twipsRect(0, 0, 11895, 8655));
    m_view->loadRtf(QStringLiteral(":/documents/readme.rtf"));

    new ClientArea(m_client, this);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    m_view->setFocus(Qt::OtherFocusReason);
}

HelpWindow::~HelpWindow() = default;
