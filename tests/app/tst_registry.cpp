// The window registry with stand-in windows: one instance per class, brought to the front
// when shown again (maximised as it was), fresh after a close, the exit command's order, and
// where a new window goes on the screen.
#include "app/Startup.h"
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "common/KelvoTest.h"
#include "core/DocumentPath.h"
#include "exam/frmKelvo.h"

#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace
{
// The stand-ins' names in the exit order their ranks give.
const QStringList kExitOrder{QStringLiteral("frmKelvo"),       QStringLiteral("frm合格ライン1"),
                             QStringLiteral("frm合格ライン2"), QStringLiteral("frm合格ライン3"),
                             QStringLiteral("frm合格ライン4"), QStringLiteral("frm合格ライン5"),
                             QStringLiteral("frm合格ライン6"), QStringLiteral("frmヘルプ")};

// A window that writes down when it closes.
class StandIn : public QWidget
{
public:
    StandIn(const QString &name, QStringList *closed) : m_closed(closed)
    {
        setObjectName(name);
        resize(300, 200);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        m_closed->append(objectName());
        QWidget::closeEvent(event);
    }

private:
    QStringList *m_closed;
};
} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void opensOnceAndBringsToFront();
    void minimisedComesBackAsItWas_data();
    void minimisedComesBackAsItWas();
    void placement_data();
    void placement();
    void newWindowFitsTheScreen_data();
    void newWindowFitsTheScreen();
    void closedWindowOpensFresh();
    void closeBoxForgetsTheWindow();
    void unknownAndUnopenedNamesAreHarmless();
    void exitClosesInOrder_data();
    void exitClosesInOrder();
    void exitFromTheExamWindowsOwnHandlerGoesOn();
    void lastWindowClosedEndsTheApplication();
    void theProgramsOwnSetUp();

private:
    std::unique_ptr<WindowRegistry> m_registry;
    QStringList m_closed;
    QMap<QString, int> m_created;
};

void TestRegistry::init()
{
    m_registry = std::make_unique<WindowRegistry>();
    m_closed.clear();
    m_created.clear();
    // Taught backwards: the ranks, not the order of teaching, give the exit order.
    for (qsizetype rank = kExitOrder.size() - 1; rank >= 0; --rank) {
        const QString name = kExitOrder.at(rank);
        m_registry->registerWindow(name, int(rank), [this, name] {
            ++m_created[name];
            return new StandIn(name, &m_closed);
        });
    }
}

void TestRegistry::cleanup()
{
    m_registry.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestRegistry::opensOnceAndBringsToFront()
{
    QWidget *first = m_registry->show(QStringLiteral("frm合格ライン2"));
    QVERIFY(first && first->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(first));
    first->showMinimized();
    first->move(first->pos() + QPoint(40, 40));
    QWidget *again = m_registry->show(QStringLiteral("frm合格ライン2"));
    QCOMPARE(again, first);
    QCOMPARE(m_created.value(QStringLiteral("frm合格ライン2")), 1);
    QVERIFY(!again->isMinimized() && again->isVisible());
    QVERIFY(!first->parentWidget());
    QVERIFY(!first->isModal());
}

void TestRegistry::minimisedComesBackAsItWas_data()
{
    QTest::addColumn<Qt::WindowStates>("before");
    QTest::newRow("normal") << Qt::WindowStates(Qt::WindowNoState);
    QTest::newRow("maximised") << Qt::WindowStates(Qt::WindowMaximized);
}

void TestRegistry::minimisedComesBackAsItWas()
{
    QFETCH(Qt::WindowStates, before);
    QWidget *w = m_registry->show(QStringLiteral("frmヘルプ"));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->setWindowState(before);
    w->setWindowState(w->windowState() | Qt::WindowMinimized);
    QVERIFY(w->isMinimized());
    QCOMPARE(m_registry->show(QStringLiteral("frmヘルプ")), w);
    QVERIFY(!w->isMinimized() && w->isVisible());
    QCOMPARE(w->windowState() & ~Qt::WindowActive, before);
}

void TestRegistry::placement_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("client");
    const QSize exam(792, 576);
    const QMargins frame(1, 20, 1, 5);
    QTest::newRow("fits, centred as a framed window")
        << exam << frame << QRect(0, 0, 1280, 1024) << QRect(243 + 1, 211 + 20, 792, 576);
    QTest::newRow("unframed") << exam << QMargins() << QRect(0, 0, 1280, 1024)
                              << QRect(244, 224, 792, 576);
    QTest::newRow("below a panel")
        << exam << frame << QRect(0, 30, 1280, 994) << QRect(243 + 1, 30 + 196 + 20, 792, 576);
    // Scale 2 on 1920x1080: too low, so wider by the scroll bar it brings.
    QTest::newRow("too low") << exam << frame << QRect(0, 0, 960, 540)
                             << QRect(76 + 1, 20, 792 + 14, 515);
    QTest::newRow("too narrow") << QSize(792, 400) << frame << QRect(0, 0, 640, 512)
                                << QRect(1, 20 + 36, 638, 414);
    // Scale 2 on 1280x1024: too low and too narrow.
    QTest::newRow("too large") << exam << frame << QRect(0, 0, 640, 512) << QRect(1, 20, 638, 487);
    QTest::newRow("on a second screen")
        << exam << frame << QRect(1280, 0, 1920, 1080) << QRect(1280 + 563 + 1, 239 + 20, 792, 576);
    // A frame larger than the screen: the title bar at the top all the same.
    QTest::newRow("tiny screen") << exam << QMargins(4, 40, 4, 4) << QRect(0, 0, 6, 30)
                                 << QRect(4, 40, 1, 1);
}

void TestRegistry::placement()
{
    QFETCH(QSize, size);
    QFETCH(QMargins, frame);
    QFETCH(QRect, available);
    QFETCH(QRect, client);
    const QRect placed = WindowRegistry::placement(size, frame, available, 14);
    QCOMPARE(placed, client);
    const QRect framed = placed.marginsAdded(frame);
    if (framed.width() <= available.width() && framed.height() <= available.height()) {
        QVERIFY(available.contains(framed));
        // Centred, to the pixel that an odd difference leaves over.
        QVERIFY(qAbs((framed.left() - available.left()) - (available.right() - framed.right())) <=
                1);
        QVERIFY(qAbs((framed.top() - available.top()) - (available.bottom() - framed.bottom())) <=
                1);
    }
    QVERIFY(framed.top() >= available.top() && framed.left() >= available.left());
}

void TestRegistry::newWindowFitsTheScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("small") << QSize(300, 200);
    QTest::newRow("as wide as the screen") << QSize(4000, 200);
    QTest::newRow("larger than the screen") << QSize(4000, 3000);
}

void TestRegistry::newWindowFitsTheScreen()
{
    QFETCH(QSize, size);
    m_registry->registerWindow(QStringLiteral("large"), 0, [size] {
        auto *w = new QWidget;
        w->resize(size);
        return w;
    });
    QWidget *w = m_registry->show(QStringLiteral("large"));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QRect available = w->screen()->availableGeometry();
    QVERIFY2(available.contains(w->frameGeometry()),
             qPrintable(QDebug::toString(w->frameGeometry())));
    const QRect frame = w->frameGeometry();
    QVERIFY(qAbs((frame.left() - available.left()) - (available.right() - frame.right())) <= 1);
    QVERIFY(qAbs((frame.top() - available.top()) - (available.bottom() - frame.bottom())) <= 1);
    if (size.width() < available.width() && size.height() < available.height())
        QCOMPARE(w->size(), size);
}

void TestRegistry::closedWindowOpensFresh()
{
    QPointer<QWidget> first = m_registry->show(QStringLiteral("frmヘルプ"));
    first->setProperty("scrolled", true);
    m_registry->close(QStringLiteral("frmヘルプ"));
    QVERIFY(!m_registry->isOpen(QStringLiteral("frmヘルプ")));
    QWidget *second = m_registry->show(QStringLiteral("frmヘルプ")); // before the old one is gone
    QVERIFY(!second->property("scrolled").isValid());
    QCOMPARE(m_created.value(QStringLiteral("frmヘルプ")), 2);
    QTRY_VERIFY(first.isNull());
    QVERIFY(second->isVisible());
}

void TestRegistry::closeBoxForgetsTheWindow()
{
    QPointer<QWidget> w = m_registry->show(QStringLiteral("frm合格ライン6"));
    w->close(); // as the close box does
    QVERIFY(!m_registry->isOpen(QStringLiteral("frm合格ライン6")));
    QTRY_VERIFY(w.isNull());
}

void TestRegistry::unknownAndUnopenedNamesAreHarmless()
{
    QVERIFY(!m_registry->show(QStringLiteral("frm合格ライン7")));
    m_registry->close(QStringLiteral("frm合格ライン3"));
    m_registry->close(QStringLiteral("nothing"));
    QVERIFY(m_closed.isEmpty());
}

void TestRegistry::exitClosesInOrder_data()
{
    QTest::addColumn<QStringList>("open");
    QTest::addColumn<QStringList>("closed");
    const QString kelvo = QStringLiteral("frmKelvo");
    QTest::newRow("right after start-up") << QStringList{kelvo} << QStringList{kelvo};
    QTest::newRow("everything, opened backwards") << QStringList{kelvo,
                                                                 QStringLiteral("frmヘルプ"),
                                                                 QStringLiteral("frm合格ライン6"),
                                                                 QStringLiteral("frm合格ライン5"),
                                                                 QStringLiteral("frm合格ライン4"),
                                                                 QStringLiteral("frm合格ライン3"),
                                                                 QStringLiteral("frm合格ライン2"),
                                                                 QStringLiteral("frm合格ライン1")}
                                                  << kExitOrder;
    QTest::newRow("help and two pass lines")
        << QStringList{kelvo, QStringLiteral("frm合格ライン5"), QStringLiteral("frmヘルプ"),
                       QStringLiteral("frm合格ライン2")}
        << QStringList{kelvo, QStringLiteral("frm合格ライン2"), QStringLiteral("frm合格ライン5"),
                       QStringLiteral("frmヘルプ")};
}

void TestRegistry::exitClosesInOrder()
{
    QFETCH(QStringList, open);
    QFETCH(QStringList, closed);
    for (const QString &name : open)
        m_registry->show(name);
    m_registry->exitAll();
    QCOMPARE(m_closed, closed);
    QCOMPARE(m_registry->exitOrder(), kExitOrder);
    for (const QString &name : kExitOrder)
        QVERIFY(!m_registry->isOpen(name));
    const auto noneVisible = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::none_of(windows.cbegin(), windows.cend(),
                            [](const QWidget *w) { return w->isVisible(); });
    };
    QTRY_VERIFY(noneVisible());
}

void TestRegistry::exitFromTheExamWindowsOwnHandlerGoesOn()
{
    // The exam window's menu runs the exit command; the command closes that very window
    // first and must still reach the others.
    m_registry->registerWindow(QStringLiteral("frmKelvo"), 0, [this] {
        auto *w = new StandIn(QStringLiteral("frmKelvo"), &m_closed);
        auto *exit = new QPushButton(QStringLiteral("終了"), w);
        exit->setObjectName(QStringLiteral("exit"));
        connect(exit, &QPushButton::clicked, m_registry.get(), &WindowRegistry::exitAll);
        return w;
    });
    QPointer<QWidget> exam = m_registry->show(QStringLiteral("frmKelvo"));
    m_registry->show(QStringLiteral("frm合格ライン1"));
    m_registry->show(QStringLiteral("frmヘルプ"));
    QTest::mouseClick(exam->findChild<QPushButton *>(QStringLiteral("exit")), Qt::LeftButton);
    QCOMPARE(m_closed, (QStringList{QStringLiteral("frmKelvo"), QStringLiteral("frm合格ライン1"),
                                    QStringLiteral("frmヘルプ")}));
    QTRY_VERIFY(exam.isNull());
}

void TestRegistry::lastWindowClosedEndsTheApplication()
{
    // Runs the real event loop: it ends when the last of two open windows is closed,
    // not when the exam window alone goes. Runs last, as it ends the loop.
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    m_registry->show(QStringLiteral("frmKelvo"));
    m_registry->show(QStringLiteral("frm合格ライン4"));
    bool passLineOpenWhenExamClosed = false;
    QTimer::singleShot(0, this, [&] {
        m_registry->close(QStringLiteral("frmKelvo"));
        passLineOpenWhenExamClosed = m_registry->isOpen(QStringLiteral("frm合格ライン4"));
        QTimer::singleShot(0, this, [&] { m_registry->close(QStringLiteral("frm合格ライン4")); });
    });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    connect(&failsafe, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    failsafe.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(passLineOpenWhenExamClosed);
}

// What the program's start-up and catalogue give the exam window: the stored document path
// (handed to the view, not read here) and Qt's own texts in Japanese.
void TestRegistry::theProgramsOwnSetUp()
{
    kelvo::prepareApplication(*qApp);
    WindowRegistry registry;
    kelvo::registerWindows(registry, DocumentPath::stored());
    auto *exam = qobject_cast<frmKelvo *>(registry.show(QStringLiteral("frmKelvo")));
    QVERIFY(exam);
    QCOMPARE(exam->findChild<QuestionView *>(QStringLiteral("Scriptlet1"))->documentPath(),
             DocumentPath::stored());

    // The right-click menu of an answer blank, as the student sees it.
    std::unique_ptr<QMenu> menu(exam->Text(1)->createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    QVERIFY2(texts.filter(QStringLiteral("貼り付け")).size() == 1, qPrintable(texts.join(u'|')));
    QVERIFY(texts.filter(QStringLiteral("Paste")).isEmpty());
}

KELVO_TEST_MAIN(TestRegistry)
#include "tst_registry.moc"
