// The program's windows on a screen of a given size and scale (KELVO_TEST_SCREEN "WxH",
// QT_SCALE_FACTOR), on the offscreen platform with window frames: each opens inside the
// screen's available area with its frame, centred, at its designed size where that fits;
// where it does not, its client area scrolls, its controls keep their places and the last of
// them can be scrolled into view.
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "common/KelvoTest.h"
#include "exam/frmKelvo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cmath>

namespace
{

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestScreens : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void windowsFitTheScreen_data();
    void windowsFitTheScreen();
    void answerBlankInViewAfterStart();

private:
    std::unique_ptr<WindowRegistry> m_registry;
};

void TestScreens::init()
{
    m_registry = std::make_unique<WindowRegistry>();
    kelvo::registerWindows(*m_registry, QString());
}

void TestScreens::cleanup()
{
    m_registry.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestScreens::windowsFitTheScreen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("designed"); // the client area's size
    QTest::addColumn<QString>("last");   // the control farthest down and right
    QTest::newRow("exam") << u"frmKelvo"_qs << QSize(792, 554) << u"SSTab2"_qs;
    QTest::newRow("pass line") << u"frm合格ライン1"_qs << QSize(792, 573) << u"RichTextBox1"_qs;
    QTest::newRow("help") << u"frmヘルプ"_qs << QSize(792, 573) << u"RichTextBox1"_qs;
}

void TestScreens::windowsFitTheScreen()
{
    QFETCH(QString, name);
    QFETCH(QSize, designed);
    QFETCH(QString, last);
    QWidget *window = m_registry->show(name);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect available = window->screen()->availableGeometry();
    const QWidget *lastControl = window->findChild<QWidget *>(last);
    auto *area = window->findChild<QScrollArea *>(QStringLiteral("qt_clientarea"));
    QVERIFY(lastControl && area);
    QWidget *client = area->widget();
    const QRect designedGeometry = lastControl->geometry();

    // Inside the available area, frame and all, and centred.
    QTRY_VERIFY2(available.contains(window->frameGeometry()),
                 qPrintable(describe(window->frameGeometry()) + u" in "_qs + describe(available)));
    QVERIFY(window->frameGeometry() != window->geometry()); // it has a frame
    const QRect frame = window->frameGeometry();
    // At a fractional scale a logical pixel is kept in hand each way.
    const qreal ratio = window->screen()->devicePixelRatio();
    const int spare = ratio == std::floor(ratio) ? 0 : 1;
    QVERIFY(qAbs((frame.left() - available.left()) - (available.right() - frame.right())) <=
            1 + spare);
    QVERIFY(qAbs((frame.top() - available.top()) - (available.bottom() - frame.bottom())) <=
            1 + spare);

    const QSize framing = frame.size() - window->size();
    const QSize chrome = window->size() - area->size(); // the exam window's menu bar
    const bool fits = (designed + framing + chrome).width() <= available.width() &&
                      (designed + framing + chrome).height() <= available.height();
    QCOMPARE(client->size().expandedTo(designed), client->size());
    QCOMPARE(lastControl->geometry(), designedGeometry);
    if (fits) {
        QVERIFY2(area->width() >= designed.width() && area->width() <= designed.width() + spare &&
                     area->height() >= designed.height() &&
                     area->height() <= designed.height() + spare,
                 qPrintable(describe(area->geometry())));
        QVERIFY(!area->verticalScrollBar()->isVisible());
        QVERIFY(!area->horizontalScrollBar()->isVisible());
        return;
    }
    QVERIFY(area->verticalScrollBar()->isVisible() || area->horizontalScrollBar()->isVisible());
    // Scrolled to the end, the last control's far corner is in view: as far as it lies in the
    // client area, since the documents' views overhang their windows by a few pixels, as
    // designed.
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    const QRect inClient = lastControl->geometry().intersected(client->rect());
    const QPoint corner = client->mapTo(area->viewport(), inClient.bottomRight());
    QVERIFY2(area->viewport()->rect().contains(corner),
             qPrintable(QStringLiteral("%1,%2 outside %3")
                            .arg(corner.x())
                            .arg(corner.y())
                            .arg(describe(area->viewport()->rect()))));
}

void TestScreens::answerBlankInViewAfterStart()
{
    auto *exam = qobject_cast<frmKelvo *>(m_registry->show(u"frmKelvo"_qs));
    QVERIFY(QTest::qWaitForWindowActive(exam));
    auto *area = exam->findChild<QScrollArea *>(QStringLiteral("qt_clientarea"));
    auto *start = exam->findChild<QPushButton *>(u"cmdスタート"_qs);
    start->setFocus(Qt::TabFocusReason);
    QTest::keyClick(start, Qt::Key_Space);
    QLineEdit *blank = exam->Text(1);
    QTRY_VERIFY(blank->hasFocus());
    const QRect shown(blank->mapTo(area->viewport(), QPoint()), blank->size());
    QVERIFY2(area->viewport()->rect().intersected(shown).width() >=
                 qMin(shown.width(), area->viewport()->width()),
             qPrintable(describe(shown) + u" in "_qs + describe(area->viewport()->rect())));
    QVERIFY(area->viewport()->rect().contains(shown.topLeft()));
}

// The screen comes from a configuration of the offscreen platform written before the
// application starts.
int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    const QByteArray screen = qgetenv("KELVO_TEST_SCREEN");
    const QList<QByteArray> size = (screen.isEmpty() ? QByteArray("1920x1080") : screen).split('x');
    const QJsonObject config{
        {u"windowFrameMargins"_qs, true},
        {u"screens"_qs, QJsonArray{QJsonObject{{u"name"_qs, u"screen"_qs},
                                               {u"x"_qs, 0},
                                               {u"y"_qs, 0},
                                               {u"width"_qs, size.value(0).toInt()},
                                               {u"height"_qs, size.value(1).toInt()},
                                               {u"logicalDpi"_qs, 96},
                                               {u"logicalBaseDpi"_qs, 96},
                                               {u"dpr"_qs, 1}}}}};
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("screen.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(config).toJson()) < 0)
        return 2;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.fileName().toLocal8Bit());

    QApplication app(argc, argv);
    kelvo::installFontSubstitutions();
    kelvo::test::useNoEngine();
    TestScreens tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_screens.moc"
