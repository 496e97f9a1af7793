// Every window of the program opened and closed fifty times through the registry, as
// the program opens them: afterwards no more live objects and threads than after the first
// round. (How long a round takes is measured by make bench, not here.)
#include "common/BrowserEngine.h"
#include "common/KelvoTest.h"

#include "Endurance.h"
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "controls/QuestionView.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>

namespace
{

// Enough for a thread or an object left behind by each window to stand far above the noise.
constexpr int kRounds = 50;

// Every object reachable from the application: its children and every top-level widget with
// all their descendants, each counted once.
int liveObjects()
{
    QSet<const QObject *> seen;
    const auto add = [&seen](QObject *root) {
        seen.insert(root);
        const QList<QObject *> children = root->findChildren<QObject *>();
        for (const QObject *o : children)
            seen.insert(o);
    };
    add(qApp);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        add(w);
    return int(seen.size());
}

// Runs what a returning event loop would: pending deletions and queued calls.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int threads()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    }
    return -1;
}

} // namespace

class TestWindowCycles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        kelvo::test::quietLongRun();
        kelvo::test::useBrowserEngine();
    }
    void counterSeesALeak();
    void openAndClose_data();
    void openAndClose();
};

// The measure used below notices an object left behind on the application or as a window.
void TestWindowCycles::counterSeesALeak()
{
    settle();
    const int before = liveObjects();
    auto *onApp = new QObject(qApp);
    auto *window = new QWidget;
    new QObject(window);
    QCOMPARE(liveObjects(), before + 3);
    delete onApp;
    delete window;
    QCOMPARE(liveObjects(), before);
}

void TestWindowCycles::openAndClose_data()
{
    QTest::addColumn<QString>("name");
    // Every window of the program; the exam window starts the browser engine in its question
    // view every time.
    WindowRegistry registry;
    kelvo::registerWindows(registry, QString());
    for (const QString &name : registry.exitOrder())
        QTest::newRow(qPrintable(name)) << name;
}

void TestWindowCycles::openAndClose()
{
    QFETCH(QString, name);

    WindowRegistry registry;
    kelvo::registerWindows(registry, QString());
    QStringList sounds;
    QElapsedTimer clock;
    clock.start();
    int baseline = -1;
    int openBaseline = -1;
    int threadsAfterWarmUp = -1;

    for (int round = 1; round <= kRounds; ++round) {
        QWidget *w = registry.show(name);
        QVERIFY(w);
        QCOMPARE(w->objectName(), name);
        if (name == QLatin1String("frmKelvo")) {
            QVERIFY(kelvo::test::recordSound(w, &sounds));
            auto *view = w->findChild<QuestionView *>(QStringLiteral("Scriptlet1"));
            QVERIFY(view);
            KELVO_TRY_VERIFY(view->engineWidget(), 10000);
        }
        QVERIFY(QTest::qWaitForWindowExposed(w));
        if (round == 1) {
            settle();
            openBaseline = liveObjects();
        } else if (round == kRounds) {
            // The open window holds what its first copy held, not more.
            KELVO_TRY_VERIFY(liveObjects() <= openBaseline, 10000);
        }
        if (round % 2)
            registry.close(name); // the program's way
        else
            w->close(); // the close box's way
        settle();
        QVERIFY2(!registry.isOpen(name), qPrintable(QStringLiteral("round %1").arg(round)));

        if (round == 1) {
            // The first round creates what lives as long as the application (the browser
            // engine, caches, the font database).
            kelvo::test::settle(200);
            settle();
            baseline = liveObjects();
            threadsAfterWarmUp = threads();
        }
    }

    // Teardown in the browser engine finishes asynchronously.
    KELVO_TRY_VERIFY(liveObjects() <= baseline, 10000);
    const qint64 ms = clock.elapsed();
    qInfo("%s: %d rounds in %lld ms (%.1f ms a round); live objects with the window open %d, "
          "after the first round %d and after the last %d; threads %d -> %d",
          qPrintable(name), kRounds, ms, double(ms) / kRounds, openBaseline, baseline,
          liveObjects(), threadsAfterWarmUp, threads());
    QVERIFY(sounds.isEmpty()); // opening and closing play nothing
    // The browser engine's pools may grow by a thread or two; a thread left behind by every
    // window would be fifty.
    QVERIFY2(threads() <= threadsAfterWarmUp + 8,
             qPrintable(QStringLiteral("%1 -> %2").arg(threadsAfterWarmUp).arg(threads())));
}

KELVO_TEST_MAIN(TestWindowCycles)
#include "tst_windowcycles.moc"
