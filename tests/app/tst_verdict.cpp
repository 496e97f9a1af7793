// From the score to the verdict, through the real windows: the pass-rate button, the
// about command and the exit command, with the registry the program itself uses.
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "common/KelvoTest.h"
#include "common/Typing.h"
#include "controls/RichTextView.h"
#include "core/PassRate.h"
#include "exam/frmKelvo.h"
#include "windows/PassLineWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace
{
// Writes down the names of the windows that close, in order.
class CloseRecorder : public QObject
{
public:
    QStringList closed;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow())
            closed << watched->objectName();
        return false;
    }
};
} // namespace

class TestVerdict : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void scoreOpensItsBand_data();
    void scoreOpensItsBand();
    void noScoreOpensNothing();
    void markedPaperOpensItsBand();
    void secondPressBringsTheSameWindowForward();
    void closedWindowOpensFresh();
    void twoBandsStayOpenTogether();
    void aboutOpensTheHelpWindowOnce();
    void exitClosesEverythingInOrder();

private:
    QStringList openPassLines() const;
    void setScore(const QString &caption)
    {
        m_window->findChild<QLabel *>(QStringLiteral("lbl得点"))->setText(caption);
    }
    void pressPassRate()
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmd合格率")),
                          Qt::LeftButton);
    }

    std::unique_ptr<WindowRegistry> m_registry;
    QPointer<frmKelvo> m_window;
};

void TestVerdict::init()
{
    m_registry = std::make_unique<WindowRegistry>();
    kelvo::registerWindows(*m_registry, QString());
    m_window = qobject_cast<frmKelvo *>(m_registry->show(QStringLiteral("frmKelvo")));
    QVERIFY(m_window);
}

void TestVerdict::cleanup()
{
    m_registry.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList TestVerdict::openPassLines() const
{
    QStringList open;
    for (int band = 1; band <= kelvo::passrate::kBandCount; ++band) {
        const QString name = PassLineWindow::nameFor(band);
        if (m_registry->isOpen(name))
            open << name;
    }
    return open;
}

void TestVerdict::scoreOpensItsBand_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("band");
    // One score per window: the bounds themselves are the rule's, tested with it.
    const QList<std::pair<const char *, int>> rows{{"140", 1}, {"87", 2}, {"60", 3},
                                                   {"59", 4},  {"1", 5},  {"0", 6}};
    for (const auto &[caption, band] : rows)
        QTest::newRow(caption) << QString::fromLatin1(caption) << band;
}

void TestVerdict::scoreOpensItsBand()
{
    QFETCH(QString, caption);
    QFETCH(int, band);
    setScore(caption);
    pressPassRate();
    QCOMPARE(openPassLines(), QStringList{PassLineWindow::nameFor(band)});
    QWidget *w = m_registry->window(PassLineWindow::nameFor(band));
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("合格ライン"));
    QVERIFY(!w->parentWidget());
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbl得点"))->text(), caption);
}

void TestVerdict::noScoreOpensNothing()
{
    pressPassRate();
    QVERIFY(openPassLines().isEmpty());
    QVERIFY(m_window->isVisible());
    // After a start the score is cleared again: still nothing.
    setScore(QStringLiteral("87"));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdスタート")),
                      Qt::LeftButton);
    pressPassRate();
    QVERIFY(openPassLines().isEmpty());
}

void TestVerdict::markedPaperOpensItsBand()
{
    QLineEdit *blank = m_window->Text(12);
    kelvo::test::type(blank, QStringLiteral("５８"));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmd得点")),
                      Qt::LeftButton);
    pressPassRate();
    QCOMPARE(openPassLines(), QStringList{QStringLiteral("frm合格ライン5")});
}

void TestVerdict::secondPressBringsTheSameWindowForward()
{
    setScore(QStringLiteral("87"));
    pressPassRate();
    auto *first = m_registry->window(QStringLiteral("frm合格ライン2"));
    RichTextView *view = first->findChild<RichTextView *>(QStringLiteral("RichTextBox1"));
    QVERIFY(view);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 2);
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(10);
    cursor.setPosition(20, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    const int scrolled = view->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    pressPassRate();
    QCOMPARE(m_registry->window(QStringLiteral("frm合格ライン2")), first);
    QCOMPARE(openPassLines().size(), 1);
    QCOMPARE(view->verticalScrollBar()->value(), scrolled);
    QCOMPARE(view->textCursor().selectedText().size(), 10);
}

void TestVerdict::closedWindowOpensFresh()
{
    setScore(QStringLiteral("0"));
    pressPassRate();
    QPointer<QWidget> first = m_registry->window(QStringLiteral("frm合格ライン6"));
    auto *view = first->findChild<RichTextView *>(QStringLiteral("RichTextBox1"));
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    first->close(); // the close box
    pressPassRate();
    QWidget *second = m_registry->window(QStringLiteral("frm合格ライン6"));
    QVERIFY(second && second != first.data());
    QCOMPARE(second->findChild<RichTextView *>(QStringLiteral("RichTextBox1"))
                 ->verticalScrollBar()
                 ->value(),
             0);
    QTRY_VERIFY(first.isNull());
}

void TestVerdict::twoBandsStayOpenTogether()
{
    setScore(QStringLiteral("45"));
    pressPassRate();
    setScore(QStringLiteral("120"));
    pressPassRate();
    QCOMPARE(openPassLines(),
             (QStringList{QStringLiteral("frm合格ライン1"), QStringLiteral("frm合格ライン4")}));
}

void TestVerdict::aboutOpensTheHelpWindowOnce()
{
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdスタート")),
                      Qt::LeftButton);
    kelvo::test::type(m_window->Text(7), QStringLiteral("3"));
    m_window->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    QWidget *help = m_registry->window(QStringLiteral("frmヘルプ"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("バージョン情報"));
    m_window->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    QCOMPARE(m_registry->window(QStringLiteral("frmヘルプ")), help);
    // The countdown and the answers are left alone.
    QVERIFY(m_window->tmr時間()->isActive());
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbl秒"))->text(),
             QStringLiteral("1:00"));
    QCOMPARE(m_window->Text(7)->text(), QStringLiteral("3"));
}

void TestVerdict::exitClosesEverythingInOrder()
{
    // Opened in no particular order: two verdicts, the help window, then every other band.
    setScore(QStringLiteral("10"));
    pressPassRate();
    m_window->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    setScore(QStringLiteral("100"));
    pressPassRate();
    for (int band = kelvo::passrate::kBandCount; band >= 1; --band)
        QVERIFY(m_registry->show(PassLineWindow::nameFor(band)));
    QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("cmdスタート")),
                      Qt::LeftButton);

    CloseRecorder recorder;
    qApp->installEventFilter(&recorder);
    m_window->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
    qApp->removeEventFilter(&recorder);
    // The exam window, the pass-line windows band by band, the help window: each closed once
    // and named as the program names it.
    QStringList expected{QStringLiteral("frmKelvo")};
    for (int band = 1; band <= kelvo::passrate::kBandCount; ++band)
        expected << PassLineWindow::nameFor(band);
    expected << QStringLiteral("frmヘルプ");
    QCOMPARE(recorder.closed, expected);
    QCOMPARE(m_registry->exitOrder(), expected);
    for (const QString &name : expected)
        QVERIFY(!m_registry->isOpen(name));
    QTRY_VERIFY(m_window.isNull());
}

KELVO_TEST_MAIN(TestVerdict)
#include "tst_verdict.moc"
