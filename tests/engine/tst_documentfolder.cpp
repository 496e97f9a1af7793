#include "common/BrowserEngine.h"
#include "common/KelvoTest.h"
#include "common/OpenedView.h"
#include "common/WebPage.h"

#include "engine/DocumentFolder.h"
#include "engine/DocumentSchemeHandler.h"

#include <QImage>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace kelvo::test;

namespace
{

const QByteArray Secret = "secret-8d1e47";

// What the page logged about requests it was refused or had blocked.
QStringList refusals()
{
    return LogRecorder::warnings("kelvo.engine")
        .filter(QRegularExpression("^warning: (refused|blocked) "));
}

// A document whose script tries `how` on url twice, one try after the other, raises
// "results" with what each try got, and then "done" once it has read a file of its folder.
QByteArray attemptingDocument(const QString &how, const QString &url)
{
    return QStringLiteral(R"html(<html><head><meta charset="utf-8"></head><body>
<iframe name="target"></iframe>
<script>
var how = 'HOW', url = 'URL';
function xhr(method) { return new Promise(function (resolve) {
    var request = new XMLHttpRequest();
    request.onload = function () { resolve('read:' + request.responseText); };
    request.onerror = function () { resolve('rejected'); };
    try { request.open(method, url); request.send('x=1'); } catch (e) { resolve('rejected'); }
}); }
function image() { return new Promise(function (resolve) {
    var element = new Image();
    element.onload = function () { resolve('loaded'); };
    element.onerror = function () { resolve('rejected'); };
    element.src = url;
}); }
// A frame refused its navigation may never finish loading: the test looks at it afterwards.
function frame() {
    var element = document.createElement('iframe');
    element.src = url;
    document.body.appendChild(element);
    return Promise.resolve('started');
}
function form() {
    var element = document.createElement('form');
    element.method = 'post', element.target = 'target', element.action = url;
    document.body.appendChild(element);
    element.submit();
    return Promise.resolve('started');
}
var attempt = { get: function () { return xhr('GET'); }, post: function () { return xhr('POST'); },
                image: image, frame: frame, form: form }[how];
var results = [];
attempt().then(function (r) { results.push(r); return attempt(); })
.then(function (r) {
    results.push(r);
    window.external.raiseEvent('results', results);
    var request = new XMLHttpRequest();
    request.onloadend = function () { window.external.raiseEvent('done', request.status); };
    request.open('GET', 'data.json');
    request.send();
});
</script></body></html>)html")
        .replace("HOW", how)
        .replace("URL", url)
        .toUtf8();
}

// The text of every frame of the page that the page may read, and of the page itself.
const QString FramesText = QStringLiteral(R"js(
Array.prototype.map.call(document.querySelectorAll('iframe'), function (f) {
    try { return f.contentDocument ? f.contentDocument.documentElement.outerHTML : ''; }
    catch (e) { return ''; }
}).join('\n') + document.documentElement.outerHTML)js");

} // namespace

// The files beside the question document, read through the real view and browser engine,
// and everything outside the document's folder that the page must not reach.
class TestDocumentFolder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void showsFilesBesideTheDocument();
    void escapesAreRefusedAndLoggedOnce_data();
    void escapesAreRefusedAndLoggedOnce();
    void pageStaysOnTheDocument_data();
    void pageStaysOnTheDocument();
    void consoleOnlyAtDebugLevel_data();
    void consoleOnlyAtDebugLevel();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Shows bytes as a new document of the folder in the view, which one engine serves for
    // the whole test case; whether it loaded.
    bool show(const QByteArray &bytes)
    {
        const QString file = path(QStringLiteral("doc/q%1.dat").arg(++m_documents));
        return !writeFile(file, bytes).isEmpty() && m_opened->show(file);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<OpenedView> m_opened;
    std::unique_ptr<LogRecorder> m_log;
    int m_documents = 0;
};

// doc/ holds the documents and their files, outside/ beside it what they must not read.
void TestDocumentFolder::initTestCase()
{
    useBrowserEngine();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(!writeFile(path("outside/secret.txt"), Secret).isEmpty());
    QVERIFY(QDir().mkpath(path("doc")));
    QVERIFY(QFile::copy(KELVO_SOURCE_DIR "/src/resources/background.gif", path("doc/fig1.gif")));
    QVERIFY(QFile::copy(path("doc/fig1.gif"), path("outside/figure.gif")));
    QVERIFY(!writeFile(path("doc/data.json"), R"({"answer": 42})").isEmpty());
    QVERIFY(!writeFile(path("doc/sub/frame.html"), "<p>frame</p>").isEmpty());
    QVERIFY(QFile::link("../outside/secret.txt", path("doc/leak.txt")));
    QVERIFY(QFile::link("../outside", path("doc/up")));
    QFile big(path("doc/big.dat"));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(DocumentFolder::MaxFileSize + 1));
    m_opened = std::make_unique<OpenedView>(writeFile(path("doc/00Kelvo.dat"), "<p>start</p>"));
    QVERIFY(m_opened->waitForLoad());
}

// A new document for each test, whose refusals are logged afresh.
void TestDocumentFolder::init()
{
    m_log.reset();
    m_log = std::make_unique<LogRecorder>();
}

void TestDocumentFolder::cleanupTestCase()
{
    m_log.reset();
    m_opened.reset();
    m_dir.reset();
}

void TestDocumentFolder::showsFilesBesideTheDocument()
{
    const QImage figure(path("doc/fig1.gif"));
    QVERIFY(!figure.isNull());
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(QDir().mkpath(path(u"doc/図"_qs)));
    QVERIFY(picture.save(path(u"doc/図/図 2.PNG"_qs), "PNG"));
    QVERIFY(!writeFile(path("doc/style/look.css"), "#answer { color: rgb(1, 2, 3); }").isEmpty());
    QVERIFY(!writeFile(path("doc/script.js"), "document.title = 'script ran';\n"
                                              "window.external.raiseEvent('script', 'beside');\n")
                 .isEmpty());
    // A frame in code page 932 without a declaration, like the document itself.
    QStringEncoder sjis("windows-31j");
    QVERIFY(!writeFile(path("doc/sub/frame.html"), sjis.encode(u"<p>ｱｲｳ～問題</p>"_qs)).isEmpty());

    QVERIFY(show(R"html(<html><head><meta charset="utf-8">
<link rel="stylesheet" href="style/look.css">
<script src="script.js"></script>
</head><body>
<p id="answer">問1</p>
<img id="figure" src="fig1.gif"><img id="picture" src="図/図 2.PNG">
<iframe id="frame" src="sub/frame.html"></iframe>
<script>
window.addEventListener('load', function () {
    var request = new XMLHttpRequest();
    request.responseType = 'json';
    request.onload = function () { window.external.raiseEvent('json', request.response); };
    request.onerror = function () { window.external.raiseEvent('json', 'rejected'); };
    request.open('GET', 'data.json');
    request.send();
});
</script></body></html>)html"));
    QVERIFY(m_opened->loadedOk());
    KELVO_TRY_COMPARE(m_opened->events("json").size(), 1, EngineTimeout);
    QCOMPARE(m_opened->events("json").first().toMap().value("answer").toInt(), 42);
    QCOMPARE(m_opened->events("script"), QVariantList{"beside"});

    QWebEnginePage *page = m_opened->page();
    QCOMPARE(page->title(), QStringLiteral("script ran"));
    QCOMPARE(evaluate(page, "getComputedStyle(document.getElementById('answer')).color"),
             QVariant("rgb(1, 2, 3)"));
    QCOMPARE(evaluate(page, "document.getElementById('figure').naturalWidth")->toInt(),
             figure.width());
    QCOMPARE(evaluate(page, "document.getElementById('picture').naturalWidth")->toInt(), 3);
    QCOMPARE(evaluate(page, "document.getElementById('frame').contentDocument.body.textContent"),
             QVariant(u"ｱｲｳ～問題"_qs));
    // A document that reads only its own files says nothing, and the program neither.
    QVERIFY2(LogRecorder::lines("kelvo.engine").isEmpty(),
             qPrintable(LogRecorder::lines("kelvo.engine").join('\n')));
    QVERIFY2(LogRecorder::lines("js").isEmpty(), qPrintable(LogRecorder::lines("js").join('\n')));
}

void TestDocumentFolder::escapesAreRefusedAndLoggedOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("url");
    // How many lines the two tries log: one, or none when the browser engine itself refuses
    // the URL before the program sees it (it takes one with %00 for no URL at all).
    QTest::addColumn<int>("logged");

    const auto row = [](const char *name, const char *how, const char *url, int logged) {
        QTest::newRow(name) << QString(how) << QString(url) << logged;
    };
    row("../", "get", "../outside/secret.txt", 1);
    row("%2e%2e/", "get", "%2e%2e/outside/secret.txt", 1);
    row("%2E%2e%2f", "get", "%2E%2e%2foutside%2fsecret.txt", 1);
    row("..%5c", "get", "..%5coutside%5csecret.txt", 1);
    row("%5c", "get", "%5coutside%5csecret.txt", 1);
    row("backslash", "get", "..\\\\outside\\\\secret.txt", 1);
    row("/etc/passwd", "get", "/etc/passwd", 1);
    row("nul", "get", "data.json%00.txt", 0);
    row("control character", "get", "data%0a.json", 1);
    row("symlink to a file outside", "get", "leak.txt", 1);
    row("symlink to a folder outside", "get", "up/secret.txt", 1);
    row("another host", "get", "kelvo-question://elsewhere/secret.txt", 1);
    row("network", "get", "REMOTE", 1);
    row("POST by a script", "post", "data.json", 1);
    row("POST by a form", "form", "data.json", 1);
    row("over the limit", "get", "big.dat", 1);
    row("folder", "get", "sub/", 1);
    row("folder without a slash", "get", "sub", 1);
    row("image outside", "image", "../outside/figure.gif", 1);
    row("image through %2f", "image", "..%2foutside%2ffigure.gif", 1);
    row("image over a symlink", "image", "up/figure.gif", 1);
    row("frame through %2e%2e%2f", "frame", "%2e%2e%2foutside%2fsecret.txt", 1);
    row("frame over a symlink", "frame", "leak.txt", 1);
}

void TestDocumentFolder::escapesAreRefusedAndLoggedOnce()
{
    QFETCH(QString, how);
    QFETCH(QString, url);
    QFETCH(int, logged);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    url.replace("REMOTE", QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()));

    QVERIFY(show(attemptingDocument(how, url)));
    KELVO_TRY_COMPARE(m_opened->events("done").size(), 1, EngineTimeout);
    QCOMPARE(m_opened->events("done").first().toInt(), 200);

    const QStringList results = m_opened->events("results").first().toStringList();
    QCOMPARE(results.size(), 2);
    for (const QString &result : results)
        QVERIFY2(result == "rejected" || result == "started", qPrintable(results.join(' ')));
    const std::optional<QVariant> html = evaluate(m_opened->page(), FramesText);
    QVERIFY(html);
    QVERIFY(!html->toString().contains(Secret));
    QVERIFY(!server.hasPendingConnections());

    // The first try is logged, the second is not.
    if (logged > 0)
        KELVO_TRY_VERIFY(!refusals().isEmpty(), EngineTimeout);
    QVERIFY2(refusals().size() == logged, qPrintable(refusals().join('\n')));
}

void TestDocumentFolder::pageStaysOnTheDocument_data()
{
    QTest::addColumn<QString>("script");

    QTest::newRow("a file of the folder") << "location.href = 'data.json'";
    QTest::newRow("the document posting to itself") << R"(
var form = document.createElement('form');
form.method = 'post';
document.body.appendChild(form);
form.submit())";
}

// The main frame shows the document and nothing else, even from the document's own folder.
void TestDocumentFolder::pageStaysOnTheDocument()
{
    QFETCH(QString, script);
    QVERIFY(show("<p>stays</p><script>var alive = 'yes';</script>"));
    QWebEnginePage *page = m_opened->page();
    QVERIFY(evaluate(page, script + "; 'tried'"));
    KELVO_TRY_COMPARE(refusals().size(), 1, EngineTimeout);
    QCOMPARE(evaluate(page, "location.href")->toUrl(), DocumentSchemeHandler::documentUrl());
    QCOMPARE(evaluate(page, "alive"), QVariant("yes"));
    QCOMPARE(m_opened->loads.count(), 1);
}

void TestDocumentFolder::consoleOnlyAtDebugLevel_data()
{
    QTest::addColumn<bool>("debug");
    QTest::newRow("by default") << false;
    QTest::newRow("kelvo.engine.debug=true") << true;
}

// What the page writes to its console is for a developer who asks for it, never on the
// program's output by default.
void TestDocumentFolder::consoleOnlyAtDebugLevel()
{
    QFETCH(bool, debug);
    if (debug)
        QLoggingCategory::setFilterRules("kelvo.engine.debug=true");
    const auto restore = qScopeGuard([] { QLoggingCategory::setFilterRules({}); });

    QVERIFY(show(R"html(<p>console</p><script>
console.log('note-3c1');
console.error('complaint-3c1');
window.external.raiseEvent('written', 1);
</script>)html"));
    KELVO_TRY_COMPARE(m_opened->events("written").size(), 1, EngineTimeout);
    if (debug) {
        KELVO_TRY_COMPARE(LogRecorder::lines("kelvo.engine").filter("-3c1").size(), 2,
                          EngineTimeout);
        for (const QString &line : LogRecorder::lines("kelvo.engine").filter("-3c1"))
            QVERIFY2(line.startsWith("debug: console"), qPrintable(line));
    } else {
        QVERIFY(LogRecorder::lines("kelvo.engine").isEmpty());
    }
    QVERIFY(LogRecorder::lines("js").isEmpty());
}

KELVO_TEST_MAIN(TestDocumentFolder)
#include "tst_documentfolder.moc"
