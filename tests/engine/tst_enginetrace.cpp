// The start of the question view's engine, as a benchmark traces it: the steps in the order
// they happen, the page's own record of its load, and the settings in force; and a page that
// is not traced carries no mark of it.
#include "common/BrowserEngine.h"
#include "common/KelvoTest.h"
#include "common/WebPage.h"

#include "engine/EngineProcess.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace kelvo::test;

namespace
{

// The moment of each step traced, by its name, in seconds; the first time each came.
QHash<QString, double> tracedSteps()
{
    static const QRegularExpression line(QStringLiteral("^info: (.*) \\(boottime ([0-9.]+)\\)$"));
    QHash<QString, double> steps;
    for (const QString &text : LogRecorder::lines("kelvo.engine.trace")) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch() && !steps.contains(match.captured(1)))
            steps.insert(match.captured(1), match.captured(2).toDouble());
    }
    return steps;
}

} // namespace

class TestEngineTrace : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void startIsTraced();
    void untracedPageCarriesNoMark();

private:
    QTemporaryDir m_dir;
    QString m_document;
};

void TestEngineTrace::initTestCase()
{
    useBrowserEngine();
    m_document =
        writeFile(m_dir.filePath(QStringLiteral("00Kelvo.dat")),
                  "<html><body><h1>問題</h1><p>本文</p>"
                  "<script>window.external.raiseEvent('shown', 1);</script></body></html>");
    QVERIFY(!m_document.isEmpty());
}

// Each step after the one it needs, and the page's own moments inside the load: the engine's
// start, its first request, the page's first bytes, its channel and its first paint of text.
// And what the program asks of the engine, as it is in force: the switches of the process,
// among them the proxy that leads nowhere, and the profile's and pages' settings.
void TestEngineTrace::startIsTraced()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kelvo.engine.trace.info=true"));
    LogRecorder log;
    QuestionView view;
    view.setDocumentPath(m_document);
    view.resize(625, 369);
    view.show();
    QVERIFY(waitFor(
        [] {
            return tracedSteps().contains(QStringLiteral("page first-contentful-paint")) &&
                   tracedSteps().contains(QStringLiteral("page kelvo channel up"));
        },
        EngineTimeout));

    const QHash<QString, double> steps = tracedSteps();
    const QStringList order{QStringLiteral("engine start"),
                            QStringLiteral("engine profile made"),
                            QStringLiteral("engine load asked"),
                            QStringLiteral("engine request started"),
                            QStringLiteral("engine document replied"),
                            QStringLiteral("engine load finished")};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QVERIFY2(steps.contains(order[i]), qPrintable(order[i]));
        QVERIFY2(steps[order[i - 1]] <= steps[order[i]], qPrintable(order[i]));
    }
    // The page's moments, told on the program's clock, within its load.
    for (const char *page :
         {"page fetchStart", "page kelvo channel up", "page first-contentful-paint"}) {
        const double at = steps.value(QLatin1String(page));
        QVERIFY2(at >= steps[QStringLiteral("engine load asked")] - 0.01, page);
    }
    QVERIFY(steps[QStringLiteral("page fetchStart")] <=
            steps[QStringLiteral("engine document replied")] + 0.01);

    const QStringList lines = LogRecorder::lines("kelvo.engine.trace");
    const QStringList switches = lines.filter(QStringLiteral("engine setting: Chromium switches:"));
    QCOMPARE(switches.size(), 1);
    QVERIFY2(switches.first().contains(QString::fromLatin1(EngineProcess::deadProxy())),
             qPrintable(switches.first()));
    QVERIFY(!lines.filter(QStringLiteral("engine setting: profile: off the record")).isEmpty());
    QVERIFY(!lines.filter(QStringLiteral("engine setting: pages: ")).isEmpty());
}

// Untraced, the page's timeline holds nothing of ours and nothing is logged.
void TestEngineTrace::untracedPageCarriesNoMark()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kelvo.engine.trace.info=false"));
    LogRecorder log;
    QuestionView view;
    QSignalSpy events(&view, &QuestionView::documentEvent);
    view.setDocumentPath(m_document);
    view.resize(625, 369);
    view.show();
    // The page's event arrives over the channel: the channel is up, and would have marked it.
    QVERIFY(waitFor([&] { return !events.isEmpty(); }, EngineTimeout));
    auto *web = qobject_cast<QWebEngineView *>(view.engineWidget());
    QVERIFY(web);
    QVariant marks;
    web->page()->runJavaScript(QStringLiteral("performance.getEntriesByType('mark').length"),
                               [&marks](const QVariant &count) { marks = count; });
    QVERIFY(waitFor([&] { return marks.isValid(); }, EngineTimeout));
    QCOMPARE(marks.toInt(), 0);
    QVERIFY(LogRecorder::lines("kelvo.engine.trace").isEmpty());
}

KELVO_TEST_MAIN(TestEngineTrace)
#include "tst_enginetrace.moc"
