#include "common/Documents.h"
#include "common/KelvoTest.h"

#include "controls/RichTextView.h"
#include "core/PassRate.h"
#include "rtf/RtfReader.h"
#include "windows/HelpWindow.h"
#include "windows/PassLineWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <functional>
#include <memory>

namespace
{

// A control of a window: a child of the window's client area.
template <typename T> T *child(QWidget *window, const char *name)
{
    QWidget *client = window->findChild<QWidget *>(QStringLiteral("client"));
    return client ? client->findChild<T *>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

// Where on screen the character at index of block starts, after the view's own layout.
qreal xOf(const QTextBlock &block, int index)
{
    return block.layout()->lineForTextPosition(index).cursorToX(index);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private slots:
    void passLineWindow_data();
    void passLineWindow();
    void verdictsTellTheBandsApart();
    void passLineDocumentOnScreen();
    void viewKeepsTheDocument();
    void nothingMovesOnResize_data();
    void nothingMovesOnResize();
    void backgroundColourIsTheWindowsOnly();
    void windowsForReaders_data();
    void windowsForReaders();
    void escapeCloses();
    void helpWindow();
};

void TestWindows::passLineWindow_data()
{
    QTest::addColumn<int>("band");
    for (int band = 1; band <= kelvo::passrate::kBandCount; ++band)
        QTest::addRow("%d", band) << band;
}

void TestWindows::passLineWindow()
{
    QFETCH(int, band);
    const QColor pink(255, 128, 128);

    auto window = std::make_unique<PassLineWindow>(band);
    QCOMPARE(window->objectName(), PassLineWindow::nameFor(band));
    QCOMPARE(window->windowTitle(), u"合格ライン"_qs);
    QVERIFY(window->isWindow());
    QCOMPARE(window->size(), QSize(792, 573));
    QCOMPARE(window->client()->minimumSize(), QSize(792, 573));
    QCOMPARE(window->font().family(), u"ＭＳ ゴシック"_qs);
    QCOMPARE(window->font().pointSizeF(), 9.0);
    QVERIFY(window->layout() == nullptr && window->client()->layout() == nullptr);

    // Created in this order: the view, then the comment, then the rate above both.
    QStringList order;
    for (QWidget *w : window->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        order << w->objectName();
    QCOMPARE(order, (QStringList{u"RichTextBox1"_qs, u"Label2"_qs, u"Label1"_qs}));

    auto *rate = child<QLabel>(window.get(), "Label1");
    auto *comment = child<QLabel>(window.get(), "Label2");
    QVERIFY(rate && comment);
    const struct {
        QLabel *label;
        qreal points;
    } labels[] = {{rate, 15.75}, {comment, 12}};
    for (const auto &l : labels) {
        const QString caption = l.label->text();
        QVERIFY2(caption.startsWith(u' ') && caption.size() > 1 && caption.at(1) != u' ',
                 qPrintable(caption));
        QVERIFY(l.label->autoFillBackground());
        QCOMPARE(l.label->palette().color(QPalette::WindowText),
                 QApplication::palette(l.label).color(QPalette::WindowText));
        QCOMPARE(l.label->font().family(), u"ＭＳ ゴシック"_qs);
        QCOMPARE(l.label->font().pointSizeF(), l.points);
        QVERIFY(l.label->font().bold());
        QCOMPARE(l.label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(!l.label->wordWrap());
        QCOMPARE(l.label->focusPolicy(), Qt::NoFocus);
        // The caption fits on one line within the label, and the label stands about the
        // middle of the window.
        QVERIFY2(QFontMetrics(l.label->font()).horizontalAdvance(caption) <=
                     l.label->contentsRect().width(),
                 qPrintable(caption));
        QVERIFY2(qAbs(l.label->geometry().center().x() - window->width() / 2) <= 12,
                 qPrintable(caption));
    }
    // The rate above the comment above the table, the comment on the window's own pink, the
    // rate on a colour of its band.
    QVERIFY(rate->geometry().bottom() < comment->geometry().top());
    QCOMPARE(comment->palette().color(QPalette::Window), pink);
    QVERIFY(rate->palette().color(QPalette::Window) != pink);

    auto *view = child<RichTextView>(window.get(), "RichTextBox1");
    QVERIFY(view);
    // The table below the verdict, from the window's left edge past its right one.
    QVERIFY(view->x() == 0 && view->width() >= window->width());
    QVERIFY(view->y() > comment->geometry().bottom());
    QCOMPARE(window->focusWidget(), view);

    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), view);
    QCOMPARE(view->textCursor().position(), 0);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QVERIFY(view->verticalScrollBar()->isVisible());
    QVERIFY(!view->horizontalScrollBar()->isVisible());
    QVERIFY(view->document()->begin().text().contains(u"旧帝国大学"_qs));
}

void TestWindows::verdictsTellTheBandsApart()
{
    // Each band its own rate, comment and colour, from red for the top band through the
    // colours of the rainbow to blue for a score of 0, which shows no percentage.
    QStringList rates, comments;
    QList<int> hues;
    for (int band = 1; band <= kelvo::passrate::kBandCount; ++band) {
        PassLineWindow window(band);
        auto *rate = child<QLabel>(&window, "Label1");
        rates << rate->text();
        comments << child<QLabel>(&window, "Label2")->text();
        hues << rate->palette().color(QPalette::Window).hue();
    }
    QCOMPARE(QSet<QString>(rates.cbegin(), rates.cend()).size(), rates.size());
    QCOMPARE(QSet<QString>(comments.cbegin(), comments.cend()).size(), comments.size());
    QCOMPARE(hues.constFirst(), 0);
    QVERIFY2(std::adjacent_find(hues.cbegin(), hues.cend(), std::greater_equal<>()) == hues.cend(),
             qPrintable(QDebug::toString(hues)));
    QCOMPARE(rates.constFirst(), u" 合格率 ９９％"_qs);
    QCOMPARE(rates.constLast(), u" 予測不能"_qs);
    for (qsizetype i = 0; i + 1 < rates.size(); ++i)
        QVERIFY2(rates.at(i).contains(u"合格率"_qs) && rates.at(i).endsWith(u'％'),
                 qPrintable(rates.at(i)));
}

void TestWindows::passLineDocumentOnScreen()
{
    // With the substituted face the columns line up and no line wraps at the view's width.
    PassLineWindow window(1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *view = child<RichTextView>(&window, "RichTextBox1");
    QTextDocument *document = view->document();
    QCOMPARE(QFontInfo(document->begin().charFormat().font()).family(), u"IPAGothic"_qs);
    document->documentLayout()->documentSize(); // lays out the whole document

    const QTextBlock header = document->begin();
    const QFontMetricsF metrics(header.charFormat().font());
    const qreal cell = metrics.horizontalAdvance(u'A');
    QCOMPARE(metrics.horizontalAdvance(QChar(0x3000)), 2 * cell);
    QCOMPARE(metrics.horizontalAdvance(u'―'), 2 * cell);

    for (QTextBlock block = header; block.isValid(); block = block.next()) {
        QVERIFY(block.layout());
        QVERIFY2(block.layout()->lineCount() == 1, qPrintable(block.text()));
    }

    const qreal left = xOf(header, 0);
    QCOMPARE(xOf(header, header.text().indexOf(u"合格ライン"_qs)) - left, 100 * cell);
    QTextBlock block = header.next().next();
    for (int entry = 0; entry < 21; ++entry) {
        const QTextBlock first = block, third = first.next().next(), fourth = third.next();
        for (const QTextBlock &line : {first, third, fourth})
            QCOMPARE(xOf(line, line.text().indexOf(u'―')) - left, 38 * cell);
        const qsizetype rate = first.text().lastIndexOf(QChar(0x3000)) + 1;
        QCOMPARE(xOf(first, int(rate)) - left, 110 * cell);
        for (int i = 0; i < 6 && block.isValid(); ++i)
            block = block.next();
    }
    const qreal widest = metrics.horizontalAdvance(header.text());
    QVERIFY2(widest <= document->textWidth(),
             qPrintable(QStringLiteral("%1 > %2").arg(widest).arg(document->textWidth())));
}

void TestWindows::viewKeepsTheDocument()
{
    // Typing, pasting and deleting change nothing; selecting and copying work from the keyboard.
    PassLineWindow window(2);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *view = child<RichTextView>(&window, "RichTextBox1");
    const QString before = view->toPlainText();

    QApplication::clipboard()->setText(u"pasted"_qs);
    QTest::keyClicks(view, u"abc"_qs);
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(view->toPlainText(), before);

    QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
    QVERIFY(view->textCursor().hasSelection());
    QCOMPARE(view->textCursor().selectedText(), view->document()->begin().text());
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), view->document()->begin().text());
    QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(view->toPlainText(), before);

    // A window opened anew starts from the stored document, at its top.
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    PassLineWindow other(2);
    auto *otherView = child<RichTextView>(&other, "RichTextBox1");
    QCOMPARE(otherView->toPlainText(), before);
    QCOMPARE(otherView->textCursor().position(), 0);
    QCOMPARE(otherView->verticalScrollBar()->value(), 0);
}

void TestWindows::nothingMovesOnResize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("larger") << QSize(1100, 800) << false;
    QTest::newRow("smaller") << QSize(500, 300) << true;
    QTest::newRow("lower only") << QSize(792, 400) << true;
}

void TestWindows::nothingMovesOnResize()
{
    QFETCH(QSize, size);
    QFETCH(bool, scrolls);
    PassLineWindow window(3);
    HelpWindow help;
    for (QWidget *w : {static_cast<QWidget *>(&window), static_cast<QWidget *>(&help)}) {
        QWidget *client = w->findChild<QWidget *>(QStringLiteral("client"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QList<QRect> before;
        const QList<QWidget *> children =
            client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *c : children)
            before << c->geometry();
        w->resize(size);
        QTRY_COMPARE(w->size(), size);
        for (qsizetype i = 0; i < children.size(); ++i)
            QCOMPARE(children.at(i)->geometry(), before.at(i));
        // The client fills a larger window, and keeps its size in a smaller one, which
        // scrolls instead.
        QCOMPARE(client->size(), size.expandedTo(QSize(792, 573)));
        auto *area = w->findChild<QScrollArea *>();
        QTRY_COMPARE(area->geometry(), w->rect());
        QTRY_COMPARE(area->verticalScrollBar()->isVisible(), scrolls);
        if (scrolls) {
            // The far corner of the client can be scrolled into view.
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
            area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
            const QPoint corner = client->mapTo(area->viewport(), client->rect().bottomRight());
            QVERIFY2(area->viewport()->rect().contains(corner),
                     qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
        }
    }
}

void TestWindows::backgroundColourIsTheWindowsOnly()
{
    // The pink fills the window around its controls; the document view keeps the colours of
    // the help window's view: frame and scroll bar.
    PassLineWindow window(4);
    HelpWindow help;
    for (QWidget *w : {static_cast<QWidget *>(&window), static_cast<QWidget *>(&help)}) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    const QImage passLine = window.grab().toImage();
    QCOMPARE(QColor(passLine.pixel(4, 4)), QColor(255, 128, 128));
    QCOMPARE(QColor(passLine.pixel(window.width() - 4, 60)), QColor(255, 128, 128));

    RichTextView *view = window.view();
    const QImage ours = view->grab().toImage();
    const QImage theirs = help.view()->grab().toImage();
    const QScrollBar *bar = view->verticalScrollBar();
    // In the groove, below the handle of either document's bar (both at the top), above the
    // bottom arrow.
    const QPoint inBar = bar->mapTo(view, QPoint(bar->width() / 2, bar->height() - 24));
    const QPoint onFrame(0, view->height() / 2);
    for (const QPoint &p : {inBar, onFrame}) {
        QVERIFY(QColor(ours.pixel(p)) != QColor(255, 128, 128));
        QCOMPARE(QColor(ours.pixel(p)), QColor(theirs.pixel(p)));
    }
}

void TestWindows::windowsForReaders_data()
{
    QTest::addColumn<int>("band"); // 0: the help window
    QTest::addColumn<QString>("title");
    for (int band = 1; band <= kelvo::passrate::kBandCount; ++band)
        QTest::addRow("pass line %d", band) << band << u"合格ライン"_qs;
    QTest::newRow("help") << 0 << u"バージョン情報"_qs;
}

void TestWindows::windowsForReaders()
{
    QFETCH(int, band);
    QFETCH(QString, title);
    std::unique_ptr<QWidget> window;
    if (band > 0)
        window = std::make_unique<PassLineWindow>(band);
    else
        window = std::make_unique<HelpWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(window.get());
    // A pass-line window is a dialog, whose description a reader speaks as it opens.
    QCOMPARE(iface->role(), band > 0 ? QAccessible::Dialog : QAccessible::Window);
    QCOMPARE(iface->text(QAccessible::Name), title);

    // What a reader meets, in order.
    QList<QObject *> order;
    const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        order << node->object();
        for (int i = 0; i < node->childCount(); ++i) {
            QCOMPARE(node->child(i)->parent()->object(), node->object());
            walk(node->child(i));
        }
    };
    walk(iface);
    auto *view = child<RichTextView>(window.get(), "RichTextBox1");
    QVERIFY(order.contains(view));
    if (band > 0) {
        QLabel *rate = child<QLabel>(window.get(), "Label1");
        QLabel *comment = child<QLabel>(window.get(), "Label2");
        QVERIFY(order.indexOf(rate) >= 0);
        QVERIFY(order.indexOf(rate) < order.indexOf(comment));
        QVERIFY(order.indexOf(comment) < order.indexOf(view));
        QCOMPARE(QAccessible::queryAccessibleInterface(rate)->text(QAccessible::Name),
                 rate->text());
        // The verdict, rate first, as the window opens.
        const QString description = iface->text(QAccessible::Description);
        QVERIFY2(description.startsWith(rate->text().trimmed()), qPrintable(description));
        QVERIFY2(description.endsWith(comment->text().trimmed()), qPrintable(description));
    }
    // The document is the one control that takes the focus.
    QWidgetList focusable;
    for (QWidget *w : window->findChildren<QWidget *>())
        if (w->focusPolicy() & Qt::TabFocus)
            focusable << w;
    QCOMPARE(focusable, QWidgetList{view});
}

void TestWindows::escapeCloses()
{
    for (int band : {1, 0}) {
        QPointer<QWidget> window = band > 0 ? static_cast<QWidget *>(new PassLineWindow(band))
                                            : static_cast<QWidget *>(new HelpWindow);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!window);
    }
}

void TestWindows::helpWindow()
{
    HelpWindow window;
    QCOMPARE(window.objectName(), u"frmヘルプ"_qs);
    QCOMPARE(window.windowTitle(), u"バージョン情報"_qs);
    QVERIFY(window.isWindow());
    QCOMPARE(window.size(), QSize(792, 573));
    QCOMPARE(window.client()->backgroundRole(), QPalette::Button);
    QVERIFY(window.client()->autoFillBackground());
    QCOMPARE(window.font().family(), u"ＭＳ ゴシック"_qs);

    const QList<QWidget *> children =
        window.client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(children.size(), 1);
    auto *view = child<RichTextView>(&window, "RichTextBox1");
    QVERIFY(view);
    // The whole client area, the readme in it.
    QCOMPARE(view->pos(), QPoint(0, 0));
    QVERIFY(view->width() >= window.width() && view->height() >= window.height());
    QCOMPARE(view->toPlainText(), RtfReader::plainText(kelvo::test::storedDocument("readme.rtf")));

    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), view);
    QCOMPARE(view->textCursor().position(), 0);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QVERIFY(view->verticalScrollBar()->isVisible());
    QVERIFY(view->verticalScrollBar()->maximum() > 0);
    QVERIFY(!view->horizontalScrollBar()->isVisible());
}

KELVO_TEST_MAIN(TestWindows)
#include "tst_windows.moc"
