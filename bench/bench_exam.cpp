// CPU cost of the exam window's frequent actions, on the real classes: one countdown tick,
// one press of the score button on a fully answered sheet, and one open of a pass-line
// window (construct, show, close); and the wall time from a press of the start button to
// "1:00" painted. Prints one "name value" line per figure, in microseconds.
#include "app/Startup.h"
#include "app/WindowCatalog.h"
#include "app/WindowRegistry.h"
#include "core/Marking.h"
#include "core/PassRate.h"
#include "exam/SecretLabel.h"
#include "exam/frmKelvo.h"
#include "windows/PassLineWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <time.h>
#include <vector>

namespace
{

double threadCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void print(const char *name, const std::vector<double> &samples)
{
    std::printf("%s %.3f\n", name, median(samples));
    std::fflush(stdout);
}

// Lets queued work (repaints, deferred deletes, the question view's start) run out.
void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Every blank holds its first key and box ③ alone is ticked: every item is marked correct,
// so a press does the most work it can.
void answerEverything(frmKelvo &window)
{
    for (const int n : kelvo::marking::markingOrder()) {
        if (n == kelvo::marking::kChoiceItem)
            continue;
        QLineEdit *blank = window.Text(n);
        const QString key = window.keyLabel(QStringLiteral("lbl正解%1").arg(n))
                                ? window.keyLabel(QStringLiteral("lbl正解%1").arg(n))->caption()
                                : window.keyLabel(QStringLiteral("lbl正解0%1").arg(n))->caption();
        blank->setText(key);
    }
    for (int k = 1; k <= 9; ++k)
        window.chkKelvo(k)->setChecked(k == 3);
}

// Paint events of a widget and everything in it, to see when it has painted: installed on
// the application, it counts those of the widgets inside `within`.
class PaintCounter : public QObject
{
public:
    using QObject::QObject;
    int paints = 0;
    QWidget *within = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && within &&
            (watched == within || within->isAncestorOf(static_cast<QWidget *>(watched))))
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    kelvo::prepareBeforeApplication();
    QApplication app(argc, argv);
    kelvo::prepareApplication(app);

    WindowRegistry registry;
    kelvo::registerWindows(registry, QString());
    auto *window = static_cast<frmKelvo *>(registry.show(QStringLiteral("frmKelvo")));
    if (!window || !QTest::qWaitForWindowExposed(window)) {
        std::fprintf(stderr, "bench_exam: the exam window did not appear\n");
        return 1;
    }
    settle(1500);

    // Ticks of a running countdown; the clock moves a second per tick, so one tick in sixty
    // steps a minute, as in a real hour. The countdown is restarted before it runs out.
    QTime clock(9, 0, 0);
    qint64 realMs = 0;
    window->setClock([&clock] { return clock; });
    window->setMonotonicClock([&realMs] { return realMs; });
    std::vector<double> ticks;
    constexpr int kTicks = 20000;
    ticks.reserve(kTicks);
    for (int i = 0; i < kTicks; ++i) {
        if (i % 3000 == 0)
            window->cmdスタート_Click();
        clock = clock.addSecs(1);
        realMs += 1000;
        const double t0 = threadCpuMicroseconds();
        window->tmr時間_Timer();
        ticks.push_back(threadCpuMicroseconds() - t0);
        if (i % 100 == 0)
            QApplication::processEvents();
    }
    print("tick_us", ticks);

    // Presses of the score button, each after a press of start, as in an attempt.
    answerEverything(*window);
    std::vector<double> presses;
    constexpr int kPresses = 1000;
    presses.reserve(kPresses);
    for (int i = 0; i < kPresses; ++i) {
        window->cmdスタート_Click();
        QApplication::processEvents();
        const double t0 = threadCpuMicroseconds();
        window->cmd得点_Click();
        presses.push_back(threadCpuMicroseconds() - t0);
        QApplication::processEvents();
    }
    print("press_us", presses);
    if (window->findChild<QLabel *>(QStringLiteral("lbl得点"))->text() != QStringLiteral("140"))
        std::fprintf(stderr, "bench_exam: the answered sheet did not score 140\n");

    // From the press of the start button, as the window system delivers it, to "1:00" on the
    // screen: the press and release are posted, and the time label's paint ends the wait.
    auto *start = window->findChild<QWidget *>(QStringLiteral("cmdスタート"));
    auto *shown = window->findChild<QLabel *>(QStringLiteral("lbl秒"));
    PaintCounter labelPaints;
    labelPaints.within = shown;
    app.installEventFilter(&labelPaints);
    std::vector<double> startShown;
    for (int i = 0; i < 20; ++i) {
        window->cmd得点_Click(); // the start button is usable again
        settle(50);
        const QPointF at = QRectF(start->rect()).center();
        labelPaints.paints = 0;
        QElapsedTimer wall;
        wall.start();
        QApplication::postEvent(start, new QMouseEvent(QEvent::MouseButtonPress, at,
                                                       start->mapToGlobal(at), Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
        QApplication::postEvent(start, new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                       start->mapToGlobal(at), Qt::LeftButton,
                                                       Qt::NoButton, Qt::NoModifier));
        while ((labelPaints.paints == 0 || shown->text() != QLatin1String("1:00")) &&
               wall.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        startShown.push_back(double(wall.nsecsElapsed()) / 1e3);
    }
    print("start_shown_us", startShown);
    app.removeEventFilter(&labelPaints);

    // Pass-line windows: construct, show and close, through the registry as the program
    // does; CPU time of this thread, then the wall time until the window has painted.
    PaintCounter counter;
    app.installEventFilter(&counter);
    std::vector<double> opens;
    std::vector<double> paintedMs;
    constexpr int kOpens = 100;
    constexpr int kTimedToPaint = 20;
    for (int i = 0; i < kOpens + kTimedToPaint; ++i) {
        const QString name = PassLineWindow::nameFor(1 + i % kelvo::passrate::kBandCount);
        if (i < kOpens) {
            const double t0 = threadCpuMicroseconds();
            registry.show(name);
            registry.close(name);
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            opens.push_back(threadCpuMicroseconds() - t0);
            QApplication::processEvents();
            continue;
        }
        QElapsedTimer wall;
        wall.start();
        counter.paints = 0;
        counter.within = nullptr;
        counter.within = registry.show(name);
        while (counter.paints == 0 && wall.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        paintedMs.push_back(double(wall.nsecsElapsed()) / 1e3);
        registry.close(name);
        settle(50);
    }
    print("passline_open_us", opens);
    print("passline_painted_us", paintedMs);
    return 0;
}
