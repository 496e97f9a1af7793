#include "common/BrowserEngine.h"
#include "common/KelvoTest.h"
#include "common/WebPage.h"

#include "controls/QuestionView.h"
#include "engine/DocumentSchemeHandler.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

using kelvo::test::EngineTimeout;
using kelvo::test::evaluate;
using kelvo::test::plainText;

namespace
{

// The browser view behind a question view, once its engine runs.
QWebEngineView *webView(const QuestionView &view)
{
    return qobject_cast<QWebEngineView *>(view.engineWidget());
}

// Code page 932 text that only the Microsoft mapping shows right: half-width katakana, the
// wave dash 0x8160 (U+FF5E), circled one 0x8740, Roman two 0x8754 and the dash 0x815C (U+2015).
const QString JapaneseSample = QStringLiteral(u"ｱｲｳ～①Ⅱ―問題");

QByteArray encoded(const QString &text, const char *codec)
{
    QStringEncoder encoder(codec);
    const QByteArray bytes = encoder.encode(text);
    Q_ASSERT(!encoder.hasError());
    return bytes;
}

} // namespace

class TestQuestionView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void contentType_data();
    void contentType();
    void engineStartsAfterFirstShow();
    void viewPaintsOnceItsDocumentIsIn_data();
    void viewPaintsOnceItsDocumentIsIn();
    void rendersDocumentText_data();
    void rendersDocumentText();
    void eventsArriveInOrder();
    void pageReachesNoNetworkAndNoFiles();
    void navigationAwayIsRefused();
    void missingDocumentShowsErrorAndRecovers();
    void tabLeavesEvenAPageThatNeverEnds();

private:
    QString writeDocument(const QString &name, const QByteArray &bytes);
    // Shows a view of the document and waits until it has loaded; nullptr if it did not.
    QuestionView *openView(const QString &path, bool expectOk = true);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QuestionView> m_view;
    std::unique_ptr<QSignalSpy> m_loads;
    std::unique_ptr<QSignalSpy> m_events;
    std::unique_ptr<QSignalSpy> m_blocked;
};

void TestQuestionView::init()
{
    kelvo::test::useBrowserEngine();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestQuestionView::cleanup()
{
    m_blocked.reset();
    m_events.reset();
    m_loads.reset();
    m_view.reset();
    m_dir.reset();
}

QString TestQuestionView::writeDocument(const QString &name, const QByteArray &bytes)
{
    return kelvo::test::writeFile(m_dir->filePath(name), bytes);
}

QuestionView *TestQuestionView::openView(const QString &path, bool expectOk)
{
    m_view = std::make_unique<QuestionView>();
    m_view->setObjectName(QStringLiteral("Scriptlet1"));
    m_view->setDocumentPath(path);
    m_view->resize(625, 369);
    m_loads = std::make_unique<QSignalSpy>(m_view.get(), &QuestionView::loadFinished);
    m_events = std::make_unique<QSignalSpy>(m_view.get(), &QuestionView::documentEvent);
    m_blocked = std::make_unique<QSignalSpy>(m_view.get(), &QuestionView::requestBlocked);
    m_view->show();
    if (!kelvo::test::waitFor([&] { return m_loads->count() > 0; }, EngineTimeout))
        return nullptr;
    if (m_loads->first().first().toBool() != expectOk)
        return nullptr;
    return m_view.get();
}

void TestQuestionView::contentType_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QByteArray>("contentType");

    const QByteArray shiftJis = "text/html;charset=Shift_JIS";
    QTest::newRow("code page 932, no declaration")
        << encoded(QStringLiteral(u"<html><body>ｱｲｳ～①</body></html>"), "windows-31j") << ""_qba
        << shiftJis;
    QTest::newRow("meta charset") << "<html><head><meta charset=\"utf-8\"></head>"_qba
                                  << "utf-8"_qba
                                  << "text/html"_qba;
    QTest::newRow("meta charset unquoted, upper case") << "<HTML><HEAD><META CHARSET=EUC-JP>"_qba
                                                       << "EUC-JP"_qba
                                                       << "text/html"_qba;
    QTest::newRow("http-equiv content type")
        << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"_qba
        << "Shift_JIS"_qba
        << "text/html"_qba;
    QTest::newRow("utf-8 byte order mark") << "\xEF\xBB\xBF<p>x</p>"_qba
                                           << "UTF-8"_qba
                                           << "text/html"_qba;
    QTest::newRow("utf-16le byte order mark") << "\xFF\xFE<\0p\0"_qba
                                              << "UTF-16LE"_qba
                                              << "text/html"_qba;
    QTest::newRow("unknown charset is ignored") << "<meta charset=\"no-such-charset\">"_qba
                                                << ""_qba << shiftJis;
    QTest::newRow("declaration in a comment is ignored")
        << "<!-- <meta charset=\"utf-8\"> --><p>x</p>"_qba
        << ""_qba << shiftJis;
    QTest::newRow("charset in the body is ignored") << "<html><body><meta charset=\"utf-8\">"_qba
                                                    << ""_qba << shiftJis;
    QTest::newRow("charset word in text is ignored")
        << "<html><head><title>charset=utf-8</title>"_qba
        << ""_qba << shiftJis;
    QTest::newRow("empty document") << QByteArray() << ""_qba << shiftJis;
}

void TestQuestionView::contentType()
{
    QFETCH(QByteArray, document);
    QFETCH(QByteArray, charset);
    QFETCH(QByteArray, contentType);
    QCOMPARE(DocumentSchemeHandler::declaredCharset(document), charset);
    QCOMPARE(DocumentSchemeHandler::contentTypeFor(document), contentType);
}

void TestQuestionView::engineStartsAfterFirstShow()
{
    const QString path = writeDocument(QStringLiteral("00Kelvo.dat"), "<p>ready</p>");
    QuestionView view;
    view.setDocumentPath(path);
    view.resize(400, 300);
    QVERIFY(!webView(view));

    QSignalSpy loads(&view, &QuestionView::loadFinished);
    QElapsedTimer clock;
    view.show();
    // The show itself returns before the engine exists, so the window can paint first.
    QVERIFY(!webView(view));
    clock.start();
    KELVO_TRY_VERIFY(webView(view), EngineTimeout);
    KELVO_TRY_COMPARE(loads.count(), 1, EngineTimeout);
    qInfo("engine start to loadFinished: %lld ms", clock.elapsed());
    QCOMPARE(loads.first().first().toBool(), true);

    QCOMPARE(webView(view)->geometry(), view.rect());
    view.resize(500, 250);
    QCOMPARE(webView(view)->geometry(), QRect(0, 0, 500, 250));
    QCOMPARE(webView(view)->url(), DocumentSchemeHandler::documentUrl());
}

void TestQuestionView::viewPaintsOnceItsDocumentIsIn_data()
{
    QTest::addColumn<bool>("loadEnds");
    QTest::newRow("the load ends") << true;
    QTest::newRow("the load never ends") << false;
}

// An empty page is never composed into the window while the document loads (it would hold up
// the load), and a document that never finishes loading is shown all the same.
void TestQuestionView::viewPaintsOnceItsDocumentIsIn()
{
    QFETCH(bool, loadEnds);
    kelvo::test::NoEngineFactory factory;
    QuestionView::setEngineFactory(&factory);
    QuestionView view;
    view.resize(400, 300);
    view.show();
    KELVO_TRY_VERIFY(factory.view, EngineTimeout);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!factory.view->updatesEnabled());
    if (loadEnds) {
        factory.callbacks.loadFinished(true);
        QVERIFY(factory.view->updatesEnabled());
    } else {
        KELVO_TRY_VERIFY(factory.view->updatesEnabled(), 5000);
        QVERIFY2(clock.elapsed() >= 300, "painted before the load could end");
    }
}

void TestQuestionView::rendersDocumentText_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("expected");

    // Short code page 932 documents defeat the browser's guessing (it takes them for GB18030
    // or windows-1252), so only the declared charset shows them right.
    QTest::newRow("code page 932, short")
        << encoded(u"<p>ｱｲｳ～①Ⅱ</p>"_qs, "windows-31j") << u"ｱｲｳ～①Ⅱ"_qs;
    QTest::newRow("code page 932, mostly ascii")
        << encoded(u"<html><body>Answer ｱ: ～</body></html>"_qs, "windows-31j")
        << u"Answer ｱ: ～"_qs;
    QTest::newRow("code page 932, with head")
        << encoded(u"<html><head><title>t</title></head><body><p>"_qs + JapaneseSample +
                       u"</p></body></html>"_qs,
                   "windows-31j")
        << JapaneseSample;
    QTest::newRow("utf-8 with meta charset")
        << encoded(u"<html><head><meta charset=\"utf-8\"></head><body>"_qs + JapaneseSample,
                   "utf-8")
        << JapaneseSample;
    QTest::newRow("utf-8 with byte order mark")
        << "\xEF\xBB\xBF"_qba + encoded(u"<html><body>"_qs + JapaneseSample, "utf-8")
        << JapaneseSample;
    QTest::newRow("euc-jp with http-equiv")
        << encoded(u"<html><head><meta http-equiv=\"Content-Type\" "
                   u"content=\"text/html; charset=EUC-JP\"></head><body><p>ｱｲｳ問題</p>"_qs,
                   "EUC-JP")
        << u"ｱｲｳ問題"_qs;
}

void TestQuestionView::rendersDocumentText()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, expected);
    QuestionView *view = openView(writeDocument(QStringLiteral("question.dat"), document));
    QVERIFY(view);

    const std::optional<QString> text = plainText(webView(*view)->page());
    QVERIFY(text);
    QCOMPARE(text->trimmed(), expected);
}

void TestQuestionView::eventsArriveInOrder()
{
    const QByteArray document = R"html(<html><head><meta charset="utf-8">
<script>
window.external.raiseEvent('head', 'early');
window.external.raiseEvent('second', 2);
</script></head>
<body onload="window.external.raiseEvent('load', {answer: 42, list: [1, 'two']})">
<p>events</p>
<script>
setTimeout(function () {
    window.external.raiseEvent('timer', 3.5);
    window.external.raiseEvent('日本語', '①');
    window.external.raiseEvent('nothing');
}, 50);
</script></body></html>)html";
    QuestionView *view = openView(writeDocument(QStringLiteral("events.dat"), document));
    QVERIFY(view);
    KELVO_TRY_COMPARE(m_events->count(), 6, EngineTimeout);

    QStringList names;
    for (const QList<QVariant> &event : std::as_const(*m_events))
        names << event.at(0).toString();
    QCOMPARE(names, QStringList({"head", "second", "load", "timer", u"日本語"_qs, "nothing"}));

    QCOMPARE(m_events->at(0).at(1).toString(), QStringLiteral("early"));
    QCOMPARE(m_events->at(1).at(1).toDouble(), 2.0);
    const QVariantMap object = m_events->at(2).at(1).toMap();
    QCOMPARE(object.value("answer").toDouble(), 42.0);
    QCOMPARE(object.value("list").toList(), QVariantList({1.0, QStringLiteral("two")}));
    QCOMPARE(m_events->at(3).at(1).toDouble(), 3.5);
    QCOMPARE(m_events->at(4).at(1).toString(), QStringLiteral(u"①"));
    QVERIFY(m_events->at(5).at(1).isNull());
}

void TestQuestionView::pageReachesNoNetworkAndNoFiles()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString remote = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    const QString secret = QStringLiteral("secret-5f3a9c");
    const QString secretUrl =
        QUrl::fromLocalFile(writeDocument(QStringLiteral("secret.txt"), secret.toUtf8()))
            .toString();
    // The secret is beside the document's folder, not in it.
    const QString otherDocument = QString::fromLatin1(DocumentSchemeHandler::schemeName()) +
                                  QStringLiteral("://document/secret.txt");
    const QString otherHost =
        QString::fromLatin1(DocumentSchemeHandler::schemeName()) + QStringLiteral("://elsewhere/");

    // Every attempt reports what it got; "done" follows the last one.
    const QString document =
        QStringLiteral(R"html(<html><head><meta charset="utf-8"></head><body>
<img src="REMOTEimage.gif"><img src="SECRET">
<iframe src="SECRET"></iframe>
<script>
function report(name, promise) {
    return promise.then(function (r) { return r.text(); })
        .then(function (t) { window.external.raiseEvent(name, 'read:' + t); },
              function (e) { window.external.raiseEvent(name, 'rejected'); });
}
function xhr(url) {
    return new Promise(function (resolve) {
        var request = new XMLHttpRequest();
        request.onload = function () { resolve('read:' + request.responseText); };
        request.onerror = function () { resolve('rejected'); };
        try { request.open('GET', url); request.send(); } catch (e) { resolve('rejected'); }
    });
}
function script(url) {
    return new Promise(function (resolve) {
        var element = document.createElement('script');
        element.onload = function () { resolve('served'); };
        element.onerror = function () { resolve('rejected'); };
        element.src = url;
        document.head.appendChild(element);
    });
}
function socket(url) {
    return new Promise(function (resolve) {
        try {
            var ws = new WebSocket(url);
            ws.onopen = function () { resolve('open'); };
            ws.onerror = ws.onclose = function () { resolve('rejected'); };
        } catch (e) { resolve('rejected'); }
    });
}
report('fetch remote', fetch('REMOTE'))
.then(function () { return report('fetch file', fetch('SECRET')); })
.then(function () { return report('fetch other document', fetch('OTHER')); })
.then(function () { return xhr('REMOTE'); })
.then(function (r) { window.external.raiseEvent('xhr remote', r); return xhr('SECRET'); })
.then(function (r) { window.external.raiseEvent('xhr file', r); return script('OTHER'); })
.then(function (r) { window.external.raiseEvent('other document', r); return script('ELSEWHERE'); })
.then(function (r) { window.external.raiseEvent('other host', r); return socket('WEBSOCKET'); })
.then(function (r) { window.external.raiseEvent('websocket', r);
                     window.external.raiseEvent('done', navigator.sendBeacon('REMOTEbeacon')); });
</script></body></html>)html")
            .replace(QStringLiteral("REMOTE"), remote)
            .replace(QStringLiteral("SECRET"), secretUrl)
            .replace(QStringLiteral("OTHER"), otherDocument)
            .replace(QStringLiteral("ELSEWHERE"), otherHost)
            .replace(QStringLiteral("WEBSOCKET"),
                     QStringLiteral("ws://127.0.0.1:%1/").arg(server.serverPort()));

    QuestionView *view =
        openView(writeDocument(QStringLiteral("doc/fetch.dat"), document.toUtf8()));
    QVERIFY(view);
    KELVO_TRY_VERIFY(!m_events->isEmpty() && m_events->last().at(0) == QLatin1String("done"),
                     EngineTimeout);

    QMap<QString, QString> results;
    for (const QList<QVariant> &event : std::as_const(*m_events))
        results.insert(event.at(0).toString(), event.at(1).toString());
    QCOMPARE(results.value("fetch remote"), QStringLiteral("rejected"));
    QCOMPARE(results.value("fetch file"), QStringLiteral("rejected"));
    QCOMPARE(results.value("fetch other document"), QStringLiteral("rejected"));
    QCOMPARE(results.value("xhr remote"), QStringLiteral("rejected"));
    QCOMPARE(results.value("xhr file"), QStringLiteral("rejected"));
    QCOMPARE(results.value("other document"), QStringLiteral("rejected"));
    QCOMPARE(results.value("other host"), QStringLiteral("rejected"));
    QCOMPARE(results.value("websocket"), QStringLiteral("rejected"));

    // Nothing of the file shows, in the page or in a frame, and nothing reached the server.
    const std::optional<QString> text = plainText(webView(*view)->page());
    QVERIFY(text);
    QVERIFY(!text->contains(secret));
    QVERIFY(!server.hasPendingConnections());
    QVERIFY(!server.waitForNewConnection(0));
    QStringList blockedUrls;
    for (const QList<QVariant> &request : std::as_const(*m_blocked))
        blockedUrls << request.at(0).toUrl().toString();
    QVERIFY2(blockedUrls.contains(remote + QStringLiteral("image.gif")),
             qPrintable(blockedUrls.join(' ')));
    QVERIFY2(blockedUrls.contains(remote), qPrintable(blockedUrls.join(' ')));
}

void TestQuestionView::navigationAwayIsRefused()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString remote = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    const QString document = QStringLiteral(R"html(<html><head><meta charset="utf-8"></head><body>
<a id="away" href="REMOTE">away</a>
<form id="form" action="REMOTEform" method="post"><input name="q" value="1"></form>
<script>
window.external.raiseEvent('ready', location.href);
</script></body></html>)html")
                                 .replace(QStringLiteral("REMOTE"), remote);
    QuestionView *view = openView(writeDocument(QStringLiteral("nav.dat"), document.toUtf8()));
    QVERIFY(view);
    KELVO_TRY_COMPARE(m_events->count(), 1, EngineTimeout);
    QWebEnginePage *page = webView(*view)->page();

    const QStringList attempts = {
        QStringLiteral("document.getElementById('away').click()"),
        QStringLiteral("document.getElementById('form').submit()"),
        QStringLiteral("location.href = 'file:///etc/hostname'"),
        QStringLiteral("location.href = '%1'").arg(remote),
        QStringLiteral("window.open('%1')").arg(remote),
    };
    for (const QString &attempt : attempts) {
        QVERIFY(evaluate(page, attempt + QStringLiteral("; 'tried'")));
        // The page still runs the same document: its script state survives.
        const std::optional<QVariant> href = evaluate(page, QStringLiteral("location.href"));
        QVERIFY(href);
        QCOMPARE(href->toUrl(), DocumentSchemeHandler::documentUrl());
    }
    page->triggerAction(QWebEnginePage::Reload);
    KELVO_TRY_COMPARE(m_events->count(), 2, EngineTimeout);
    QCOMPARE(webView(*view)->url(), DocumentSchemeHandler::documentUrl());
    QVERIFY(!server.waitForNewConnection(0));
}

void TestQuestionView::missingDocumentShowsErrorAndRecovers()
{
    const QString missing = m_dir->filePath(QStringLiteral("missing.dat"));
    QVERIFY(openView(missing, false));
    QCOMPARE(m_view->documentPath(), missing);
    QVERIFY(m_events->isEmpty());

    // The document turning up later is shown once the path is set again.
    const QString present = writeDocument(QStringLiteral("present.dat"), "<p>found</p>");
    m_view->setDocumentPath(present);
    KELVO_TRY_COMPARE(m_loads->count(), 2, EngineTimeout);
    QCOMPARE(m_loads->last().first().toBool(), true);
    const std::optional<QString> text = plainText(webView(*m_view)->page());
    QVERIFY(text);
    QCOMPARE(text->trimmed(), QStringLiteral("found"));
}

// The view stands in the tab order where the question view stands, and Tab and Shift+Tab go
// from it to the window's next and previous controls, even when the page's script never ends
// and the page could not answer a key.
void TestQuestionView::tabLeavesEvenAPageThatNeverEnds()
{
    const QString path = writeDocument(QStringLiteral("stuck.dat"),
                                       "<p>stuck</p><a href='#a'>a</a><a href='#b'>b</a>"
                                       "<script>window.external.raiseEvent('up', 1);</script>");
    QWidget window;
    auto *before = new QLineEdit(&window);
    auto *view = new QuestionView(&window);
    auto *after = new QLineEdit(&window);
    before->setGeometry(0, 0, 200, 24);
    view->setGeometry(0, 30, 400, 300);
    after->setGeometry(0, 340, 200, 24);
    QSignalSpy events(view, &QuestionView::documentEvent);
    view->setDocumentPath(path);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    KELVO_TRY_COMPARE(events.size(), 1, EngineTimeout);
    webView(*view)->page()->runJavaScript(QStringLiteral("for (;;) {}")); // spins from now on
    QWidget *page = view->engineWidget()->focusProxy() ? view->engineWidget()->focusProxy()
                                                       : view->engineWidget();
    before->setFocus(Qt::OtherFocusReason);
    KELVO_TRY_VERIFY(before->hasFocus(), 5000);
    QTest::keyClick(before, Qt::Key_Tab);
    KELVO_TRY_VERIFY(page->hasFocus(), 5000);
    for (const auto &[key, expected] :
         {std::pair{Qt::Key_Tab, after}, std::pair{Qt::Key_Backtab, before}}) {
        page->setFocus(Qt::OtherFocusReason);
        KELVO_TRY_VERIFY(page->hasFocus(), 5000);
        QTest::keyClick(page, key);
        QCOMPARE(QApplication::focusWidget(), expected);
    }
}

KELVO_TEST_MAIN(TestQuestionView)
#include "tst_questionview.moc"
