#include "common/BrowserEngine.h"
#include "common/KelvoTest.h"
#include "common/OpenedView.h"
#include "common/WebPage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace kelvo::test;

namespace
{

// Latin letters, digits, kana and kanji: every face draws them differently.
const QString kLine = QStringLiteral("Kelvo 2000 Wiw ｱｲｳ 数学の問題");

// A line of the document: the font it names (none for the first), and the face it must show
// in. A named face stands before a generic family of the other style, so that a name the view
// does not know shows in a face plainly not the one expected.
struct Line {
    const char *name;
    const char *family;
    const char *face;
    const char *other;
};
const Line kLines[] = {
    {"no font named", nullptr, "IPAPGothic", nullptr},
    {"ＭＳ ゴシック", "'ＭＳ ゴシック', serif", "IPAGothic", "serif"},
    {"MS Gothic", "'MS Gothic', serif", "IPAGothic", "serif"},
    {"ＭＳ Ｐゴシック", "'ＭＳ Ｐゴシック', serif", "IPAPGothic", "serif"},
    {"MS PGothic", "'MS PGothic', serif", "IPAPGothic", "serif"},
    {"ＭＳ 明朝", "'ＭＳ 明朝', sans-serif", "IPAMincho", "sans-serif"},
    {"MS Mincho", "'MS Mincho', sans-serif", "IPAMincho", "sans-serif"},
    {"ＭＳ Ｐ明朝", "'ＭＳ Ｐ明朝', sans-serif", "IPAPMincho", "sans-serif"},
    {"MS PMincho", "'MS PMincho', sans-serif", "IPAPMincho", "sans-serif"},
    {"serif", "serif", "IPAPMincho", nullptr},
    {"monospace", "monospace", "IPAGothic", nullptr},
};

// What the page draws for a font, as a fingerprint of the pixels a canvas gets and the width
// it measures; and the width of the document's own line with the id.
const QString kMeasure = QStringLiteral(R"(
(function (id, face, fallback) {
    const text = document.getElementById('face').textContent;
    function ink(family) {
        const canvas = document.createElement('canvas');
        canvas.width = 900; canvas.height = 60;
        const g = canvas.getContext('2d');
        g.font = '32px ' + family;
        g.textBaseline = 'top';
        g.fillText(text, 0, 8);
        const pixels = g.getImageData(0, 0, canvas.width, canvas.height).data;
        let sum = 0;
        for (let i = 3; i < pixels.length; i += 4) sum = (sum * 31 + pixels[i]) >>> 0;
        return sum + '/' + g.measureText(text).width.toFixed(2);
    }
    const line = document.getElementById(id);
    const named = getComputedStyle(line).fontFamily;
    const same = document.getElementById('face');
    same.style.fontFamily = '"' + face + '"';
    return JSON.stringify({
        named: ink(named), face: ink('"' + face + '"'), fallback: ink(fallback),
        namedWidth: line.firstChild.getBoundingClientRect().width,
        faceWidth: same.firstChild.getBoundingClientRect().width });
})
)");

} // namespace

// Documents of that time name the faces of a Japanese desktop; the question view shows each
// in its IPA counterpart, and a document that names none in Japanese faces.
class TestDocumentFonts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void namedFaceIsTheIpaFace_data();
    void namedFaceIsTheIpaFace();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<OpenedView> m_opened;
};

void TestDocumentFonts::initTestCase()
{
    useBrowserEngine();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QString body = QStringLiteral("<p id=\"face\"><span>%1</span></p>\n").arg(kLine);
    for (int i = 0; i < int(std::size(kLines)); ++i) {
        const QString style =
            kLines[i].family ? QStringLiteral(" style=\"font-family: %1\"").arg(kLines[i].family)
                             : QString();
        body += QStringLiteral("<p id=\"line%1\"%2><span>%3</span></p>\n").arg(i).arg(style, kLine);
    }
    const QString path = writeFile(
        m_dir->filePath(QStringLiteral("00Kelvo.dat")),
        QStringLiteral("<html><head><meta charset=\"utf-8\"><style>p { font-size: 16px }</style>"
                       "</head><body>%1</body></html>")
            .arg(body)
            .toUtf8());
    QVERIFY(!path.isEmpty());
    m_opened = std::make_unique<OpenedView>(path);
    QVERIFY(m_opened->waitForLoad());
    QVERIFY(m_opened->loadedOk());
}

void TestDocumentFonts::cleanupTestCase()
{
    m_opened.reset();
    m_dir.reset();
}

void TestDocumentFonts::namedFaceIsTheIpaFace_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("other");
    for (int i = 0; i < int(std::size(kLines)); ++i)
        QTest::newRow(kLines[i].name)
            << QStringLiteral("line%1").arg(i) << QString::fromUtf8(kLines[i].face)
            << QString::fromUtf8(kLines[i].other);
}

void TestDocumentFonts::namedFaceIsTheIpaFace()
{
    QFETCH(QString, line);
    QFETCH(QString, face);
    QFETCH(QString, other);

    const QString call =
        kMeasure +
        QStringLiteral("('%1', '%2', '%3')").arg(line, face, other.isEmpty() ? face : other);
    const std::optional<QVariant> answer = evaluate(m_opened->page(), call);
    QVERIFY(answer.has_value());
    const QJsonObject measured = QJsonDocument::fromJson(answer->toString().toUtf8()).object();
    QCOMPARE(measured.value("named").toString(), measured.value("face").toString());
    QCOMPARE(measured.value("namedWidth").toDouble(), measured.value("faceWidth").toDouble());
    // Were the name not known, the line would show in the other face, which looks different.
    if (!other.isEmpty())
        QVERIFY(measured.value("fallback").toString() != measured.value("face").toString());
}

KELVO_TEST_MAIN(TestDocumentFonts)
#include "tst_documentfonts.moc"
