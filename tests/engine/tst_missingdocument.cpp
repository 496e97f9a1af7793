#include "common/BrowserEngine.h"
#include "common/KelvoTest.h"
#include "common/OpenedView.h"
#include "common/Unreadable.h"
#include "common/WebPage.h"

#include "engine/DocumentFolder.h"
#include "engine/DocumentSchemeHandler.h"

#include <QLocale>
#include <QTemporaryDir>

using namespace kelvo::test;

namespace
{

const QString Heading = QStringLiteral(u"問題文書が見つかりません");

QStringList missingDocumentLines()
{
    return LogRecorder::warnings("kelvo.engine").filter(QStringLiteral("no question document"));
}

} // namespace

// The page of our own that the real view shows in place of a question document it cannot
// read: in Japanese, naming the path, whatever the locale the program runs in.
class TestMissingDocument : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void showsOurPage_data();
    void showsOurPage();
    void pageUsesTheGothicFace();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<OpenedView> m_opened;
    std::unique_ptr<LogRecorder> m_log;
};

void TestMissingDocument::initTestCase()
{
    qInfo("locale %s, LANG=%s", qPrintable(QLocale::system().name()), qgetenv("LANG").constData());
    useBrowserEngine();
    QVERIFY(m_dir.isValid());
    m_opened = std::make_unique<OpenedView>(writeFile(path("start/00Kelvo.dat"), "<p>start</p>"));
    QVERIFY(m_opened->waitForLoad());
    QVERIFY(m_opened->loadedOk());
}

void TestMissingDocument::init()
{
    m_log.reset();
    m_log = std::make_unique<LogRecorder>();
}

void TestMissingDocument::cleanupTestCase()
{
    m_log.reset();
    m_opened.reset();
}

void TestMissingDocument::showsOurPage_data()
{
    QTest::addColumn<QString>("name");   // in the temporary folder, or as stored when absolute
    QTest::addColumn<QString>("make");   // what is put there
    QTest::addColumn<QString>("reason"); // empty when the page names no path
    QTest::addColumn<bool>("quoted");    // whether the command quotes the path

    QTest::newRow("missing") << "missing/00Kelvo.dat"
                             << "" << u"ファイルがありません"_qs << false;
    QTest::newRow("folder in its place") << "folder/00Kelvo.dat"
                                         << "folder" << u"フォルダーです"_qs << false;
    QTest::newRow("unreadable") << "locked/00Kelvo.dat"
                                << "unreadable" << u"読み込めません"_qs << false;
    QTest::newRow("over the limit") << "large/00Kelvo.dat"
                                    << "large" << u"大きすぎます"_qs << false;
    QTest::newRow("japanese and markup in the path")
        << u"問題 <i>&amp;'/00Kelvo.dat"_qs << "" << u"ファイルがありません"_qs << true;
    QTest::newRow("no stored path") << ""
                                    << "" << QString() << false;
    QTest::newRow("network path, no place here") << R"(\\server\share\00Kelvo.dat)"
                                                 << "" << QString() << false;
}

void TestMissingDocument::showsOurPage()
{
    QFETCH(QString, name);
    QFETCH(QString, make);
    QFETCH(QString, reason);
    QFETCH(bool, quoted);

    const bool stored = name.isEmpty() || name.startsWith('\\');
    const QString stand = stored ? name : path(name);
    std::unique_ptr<UnreadableFile> locked;
    if (make == "folder") {
        QVERIFY(QDir().mkpath(stand));
    } else if (make == "large") {
        QVERIFY(!writeFile(stand, {}).isEmpty());
        QVERIFY(QFile::resize(stand, DocumentFolder::MaxFileSize + 1));
    } else if (make == "unreadable") {
        QVERIFY(!writeFile(stand, "<p>locked</p>").isEmpty());
        locked = std::make_unique<UnreadableFile>(stand);
        if (!locked->holds())
            QSKIP("this thread can read a file of mode 000");
    }

    QVERIFY(m_opened->show(stand));
    QCOMPARE(m_opened->loadedOk(), false);
    QWebEnginePage *page = m_opened->page();
    QCOMPARE(page->url(), DocumentSchemeHandler::documentUrl());
    const std::optional<QString> text = plainText(page);
    QVERIFY(text);
    QVERIFY2(text->startsWith(Heading), qPrintable(*text));

    QString rest = *text;
    if (reason.isEmpty()) {
        QVERIFY(!text->contains("sudo"));
    } else {
        QVERIFY2(text->contains(reason), qPrintable(*text));
        QCOMPARE(evaluate(page, "document.getElementById('path').textContent"), QVariant(stand));
        const QString command =
            "sudo install -D -m 644 00Kelvo.dat " +
            (quoted ? "'" + QString(stand).replace("'", R"('\'')") + "'" : stand);
        QCOMPARE(evaluate(page, "document.getElementById('install').textContent"),
                 QVariant(command));
        rest.remove(command).remove(stand).remove("00Kelvo.dat");
    }
    // Nothing of the engine's own error pages, and nothing in English.
    QVERIFY2(!rest.contains(QRegularExpression("[A-Za-z]")), qPrintable(rest));

    // No document event, and one warning that names the path, also after a reload.
    page->triggerAction(QWebEnginePage::Reload);
    KELVO_TRY_COMPARE(m_opened->loads.count(), 2, EngineTimeout);
    QCOMPARE(m_opened->loads.last().first().toBool(), false);
    QVERIFY(m_opened->documentEvents.isEmpty());
    QCOMPARE(evaluate(page, "typeof window.external.raiseEvent"), QVariant("function"));
    QCOMPARE(missingDocumentLines().size(), 1);
    QVERIFY2(missingDocumentLines().first().contains(stored ? "no place" : stand),
             qPrintable(missingDocumentLines().first()));
    QVERIFY2(LogRecorder::warnings("kelvo.engine").size() == 1,
             qPrintable(LogRecorder::warnings("kelvo.engine").join('\n')));
}

// The page is set in the program's Gothic face, whose full-width characters are exactly twice
// as wide as its half-width ones, and whose half-width ones are all as wide as each other.
void TestMissingDocument::pageUsesTheGothicFace()
{
    QVERIFY(m_opened->show(path("gone/00Kelvo.dat")));
    const std::optional<QVariant> widths = evaluate(m_opened->page(), R"js(
['iiiiiiiiii', 'WWWWWWWWWW', '問題問題問', 'ｱｲｳｴｵｱｲｳｴｵ'].map(function (text) {
    var span = document.createElement('span');
    span.textContent = text;
    document.body.appendChild(span);
    var width = span.getBoundingClientRect().width;
    span.remove();
    return width;
}))js");
    QVERIFY(widths);
    const QVariantList list = widths->toList();
    QCOMPARE(list.size(), 4);
    const double narrow = list.at(0).toDouble();
    QVERIFY(narrow > 0);
    QVERIFY2(qAbs(list.at(1).toDouble() - narrow) < 0.5,
             qPrintable(widths->toStringList().join(' ')));
    QVERIFY2(qAbs(list.at(2).toDouble() - narrow) < 0.5,
             qPrintable(widths->toStringList().join(' ')));
    QVERIFY2(qAbs(list.at(3).toDouble() - narrow) < 0.5,
             qPrintable(widths->toStringList().join(' ')));
    const std::optional<QVariant> family =
        evaluate(m_opened->page(), "getComputedStyle(document.body).fontFamily");
    QVERIFY(family);
    QVERIFY2(family->toString().startsWith(u"\"ＭＳ ゴシック\""_qs),
             qPrintable(family->toString()));
}

KELVO_TEST_MAIN(TestMissingDocument)
#include "tst_missingdocument.moc"
