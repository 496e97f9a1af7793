// The baseline of the question view: a bare QWebEngineView of the question view's size that
// loads the document given on the command line through a URL scheme handler of its own, the
// same kind of load the program makes (a custom scheme, the file's bytes served as HTML in
// code page 932), in the default (off-the-record) profile.
//
// With --sitting after the document, the baseline of a student sitting the paper: the view in
// a window of the exam window's size beside a line edit, which has the focus (its caret
// blinks) when the window is active, and a label that a one-second timer sets to the minutes
// left, as a countdown does. A click at (kSittingBlank) activates the window.
#include "BareProbe.h"

#include <QApplication>
#include <QBuffer>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QTime>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <cstdio>
#include <memory>
#include <time.h>

namespace
{

const QByteArray kScheme = QByteArrayLiteral("bare-doc");

// Where the sitting window's line edit is, in the window.
constexpr QPoint kSittingBlank(300, 60);

// With KELVO_BENCH_TRACE set, the steps of the start are reported as the program's engine
// reports its own (EngineTrace): "<step> (boottime <seconds>)".
const bool kTraced = qEnvironmentVariableIsSet("KELVO_BENCH_TRACE");

double bootClockSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void traceAt(const QString &step, double boottime)
{
    std::fprintf(stderr, "bare.trace: %s (boottime %.6f)\n", qUtf8Printable(step), boottime);
    std::fflush(stderr);
}

void trace(const char *step)
{
    if (kTraced)
        traceAt(QString::fromLatin1(step), bootClockSeconds());
}

// The page's own record of its load, as EngineTrace asks for it.
void tracePageTimings(QWebEnginePage *page)
{
    if (!kTraced)
        return;
    static const QString timings = QStringLiteral(R"((function () {
        var out = {};
        var origin = performance.timeOrigin;
        var nav = performance.getEntriesByType('navigation')[0];
        if (nav) {
            ['fetchStart', 'responseStart', 'responseEnd', 'domInteractive',
             'domContentLoadedEventEnd', 'loadEventEnd'].forEach(function (k) {
                if (nav[k] > 0) out['page ' + k] = origin + nav[k];
            });
        }
        performance.getEntriesByType('paint').forEach(function (e) {
            out['page ' + e.name] = origin + e.startTime;
        });
        return JSON.stringify(out);
    })())");
    QTimer::singleShot(300, page, [page] {
        page->runJavaScript(timings, QWebEngineScript::ApplicationWorld, [](const QVariant &r) {
            const double offset =
                bootClockSeconds() - double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
            const QJsonObject all = QJsonDocument::fromJson(r.toString().toUtf8()).object();
            for (auto it = all.begin(); it != all.end(); ++it)
                traceAt(it.key(), it.value().toDouble() / 1000.0 + offset);
            trace("bare page timings told");
        });
    });
}

class FileSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    explicit FileSchemeHandler(QString path, QObject *parent)
        : QWebEngineUrlSchemeHandler(parent), m_path(std::move(path))
    {
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        trace("bare request started");
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *buffer = new QBuffer(job);
        buffer->setData(file.readAll());
        job->reply(QByteArrayLiteral("text/html;charset=Shift_JIS"), buffer);
        trace("bare document replied");
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);

    trace("bare main");
    QApplication app(argc, argv);
    trace("bare application made");
    const QString path = app.arguments().value(1);

    const bool sitting = app.arguments().contains(QStringLiteral("--sitting"));
    // The sitting window owns the view; a bare view is a window of its own.
    const std::unique_ptr<QWidget> window(sitting ? new QWidget : nullptr);
    auto *view = new QWebEngineView(window.get());
    const std::unique_ptr<QWebEngineView> ownView(sitting ? nullptr : view);
    trace("bare view made");
    auto *handler = new FileSchemeHandler(path, view);
    view->page()->profile()->installUrlSchemeHandler(kScheme, handler);
    BareProbe probe;
    QObject::connect(view, &QWebEngineView::loadFinished, &probe, &BareProbe::loaded);
    QObject::connect(view, &QWebEngineView::loadFinished, view, [view](bool ok) {
        if (ok) {
            trace("bare load finished");
            tracePageTimings(view->page());
        }
    });
    QTimer countdown;
    if (sitting) {
        window->resize(792, 575);
        view->setGeometry(160, 176, 625, 369);
        auto *blank = new QLineEdit(window.get());
        blank->setGeometry(kSittingBlank.x() - 60, kSittingBlank.y() - 12, 120, 24);
        blank->setFocus();
        auto *left = new QLabel(window.get());
        left->setGeometry(56, 128, 49, 25);
        QElapsedTimer since;
        since.start();
        QObject::connect(&countdown, &QTimer::timeout, left, [left, since] {
            const int minutes = 60 - int(since.elapsed() / 60000);
            left->setText(QTime(0, 0).addSecs(minutes * 60).toString(QStringLiteral("h:mm")));
        });
        countdown.start(1000);
        window->show();
    } else {
        view->resize(625, 369);
        view->show();
    }
    view->load(QUrl(QString::fromLatin1(kScheme + "://document/")));
    trace("bare load asked");
    return app.exec();
}
