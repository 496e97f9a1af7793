#include "common/KelvoTest.h"

#include "controls/RichTextView.h"
#include "core/Twips.h"
#include "windows/HelpWindow.h"
#include "windows/PassLineWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

namespace
{

template <typename T> T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
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
    void passLineDocumentOnScreen();
    void viewKeepsTheDocument();
    void nothingMovesOnResize();
    void helpWindow();
};

void TestWindows::passLineWindow_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QColor>("rateColour");
    QTest::addColumn<QRect>("rateGeometry");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QRect>("commentGeometry");

    QTest::newRow("1")
        << 1 << u" 合格率 ９９％"_qs << QColor(255, 0, 0) << kelvo::twipsRect(4680, 120, 2415, 375)
        << u" あなたはカンニングの天才です・・・バレなければ一流大学９９％合格です。"_qs
        << kelvo::twipsRect(1320, 720, 9135, 255);
    QTest::newRow("2") << 2 << u" 合格率 ８０％"_qs << QColor(255, 192, 128)
                       << kelvo::twipsRect(4680, 120, 2535, 375)
                       << u" 一流大学までもう少しです。 一生懸命お祈りしましょう。"_qs
                       << kelvo::twipsRect(2400, 720, 6975, 255);
    QTest::newRow("3") << 3 << u" 合格率 ５０％"_qs << QColor(255, 255, 128)
                       << kelvo::twipsRect(4680, 120, 2535, 375)
                       << u" 三流大学でも危ないです。 一生懸命お祈りしましょう。"_qs
                       << kelvo::twipsRect(2520, 720, 6735, 255);
    QTest::newRow("4") << 4 << u" 合格率 １０％"_qs << QColor(128, 255, 128)
                       << kelvo::twipsRect(4680, 120, 2535, 375)
                       << u" 受験料がもったいないです。 合コン生活はあきらめましょう。"_qs
                       << kelvo::twipsRect(2160, 720, 7455, 255);
    QTest::newRow("5") << 5 << u" 合格率 ０％"_qs << QColor(128, 255, 255)
                       << kelvo::twipsRect(4800, 120, 2175, 375)
                       << u" 神頼みは通じません。 来年の進学はあきらめましょう。"_qs
                       << kelvo::twipsRect(2520, 720, 6735, 255);
    QTest::newRow("6") << 6 << u" 予測不能"_qs << QColor(128, 128, 255)
                       << kelvo::twipsRect(5160, 120, 1815, 375)
                       << u" 勉強しても無駄です。 日本を脱出して一旗揚げましょう。"_qs
                       << kelvo::twipsRect(2400, 720, 6975, 255);
}

void TestWindows::passLineWindow()
{
    QFETCH(int, band);
    QFETCH(QString, rate);
    QFETCH(QColor, rateColour);
    QFETCH(QRect, rateGeometry);
    QFETCH(QString, comment);
    QFETCH(QRect, commentGeometry);
    const QColor pink(255, 128, 128);

    auto window = std::make_unique<PassLineWindow>(band);
    QCOMPARE(window->objectName(), u"frm合格ライン"_qs + QString::number(band));
    QCOMPARE(window->windowTitle(), u"合格ライン"_qs);
    QVERIFY(window->isWindow());
    QCOMPARE(window->size(), QSize(792, 573));
    QCOMPARE(window->palette().color(QPalette::Window), pink);
    QVERIFY(window->autoFillBackground());
    QCOMPARE(window->font().family(), u"ＭＳ ゴシック"_qs);
    QCOMPARE(window->font().pointSizeF(), 9.0);
    QVERIFY(window->layout() == nullptr);

    // Created in this order: the view, then the comment, then the rate above both.
    QStringList order;
    for (QWidget *w : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        order << w->objectName();
    QCOMPARE(order, (QStringList{u"RichTextBox1"_qs, u"Label2"_qs, u"Label1"_qs}));

    const struct {
        QLabel *label;
        QString caption;
        QRect geometry;
        QColor background;
        qreal points;
    } labels[] = {{child<QLabel>(window.get(), "Label1"), rate, rateGeometry, rateColour, 15.75},
                  {child<QLabel>(window.get(), "Label2"), comment, commentGeometry, pink, 12}};
    for (const auto &l : labels) {
        QVERIFY(l.label);
        QCOMPARE(l.label->text(), l.caption);
        QCOMPARE(l.label->geometry(), l.geometry);
        QVERIFY(l.label->autoFillBackground());
        QCOMPARE(l.label->palette().color(QPalette::Window), l.background);
        QCOMPARE(l.label->palette().color(QPalette::WindowText),
                 QApplication::palette(l.label).color(QPalette::WindowText));
        QCOMPARE(l.label->font().family(), u"ＭＳ ゴシック"_qs);
        QCOMPARE(l.label->font().pointSizeF(), l.points);
        QVERIFY(l.label->font().bold());
        QCOMPARE(l.label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(!l.label->wordWrap());
        QCOMPARE(l.label->focusPolicy(), Qt::NoFocus);
        // The caption fits on one line within the label.
        QVERIFY2(QFontMetrics(l.label->font()).horizontalAdvance(l.caption) <=
                     l.label->contentsRect().width(),
                 qPrintable(l.caption));
    }

    auto *view = child<RichTextView>(window.get(), "RichTextBox1");
    QVERIFY(view);
    QCOMPARE(view->geometry(), kelvo::twipsRect(0, 1200, 11895, 7455));
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

void TestWindows::nothingMovesOnResize()
{
    PassLineWindow window(3);
    HelpWindow help;
    for (QWidget *w : {static_cast<QWidget *>(&window), static_cast<QWidget *>(&help)}) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QList<QRect> before;
        const QList<QWidget *> children = w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *c : children)
            before << c->geometry();
        w->resize(1100, 800);
        QTRY_COMPARE(w->size(), QSize(1100, 800));
        for (qsizetype i = 0; i < children.size(); ++i)
            QCOMPARE(children.at(i)->geometry(), before.at(i));
    }
}

void TestWindows::helpWindow()
{
    HelpWindow window;
    QCOMPARE(window.objectName(), u"frmヘルプ"_qs);
    QCOMPARE(window.windowTitle(), u"バージョン情報"_qs);
    QVERIFY(window.isWindow());
    QCOMPARE(window.size(), QSize(792, 573));
    QCOMPARE(window.backgroundRole(), QPalette::Button);
    QVERIFY(window.autoFillBackground());
    QCOMPARE(window.font().family(), u"ＭＳ ゴシック"_qs);

    const QList<QWidget *> children = window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(children.size(), 1);
    auto *view = child<RichTextView>(&window, "RichTextBox1");
    QVERIFY(view);
    QCOMPARE(view->geometry(), kelvo::twipsRect(0, 0, 11895, 8655));
    QCOMPARE(view->document()->blockCount(), 73);
    QCOMPARE(view->document()->begin().text(), QString(10, QChar(0x3000)));
    QCOMPARE(view->document()->lastBlock().text(), QString(14, u' ') + u"2000/07/吉日"_qs);

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
