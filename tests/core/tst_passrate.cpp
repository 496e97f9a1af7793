// Which window the pass-rate button opens for a score caption: every band bound, and captions
// the marking never writes, the same under any locale.
#include "core/PassRate.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPassRate : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void band_data();
    void band();
};

void TestPassRate::band_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("window");

    const QString line = u"frm合格ライン"_qs;
    QTest::newRow("empty") << QString() << u"frmKelvo"_qs;
    QTest::newRow("empty string") << u""_qs << u"frmKelvo"_qs;
    const struct {
        const char *caption;
        int band;
    } bounds[] = {{"140", 1}, {"100", 1}, {"99", 2}, {"80", 2}, {"79", 3}, {"60", 3},
                  {"59", 4},  {"40", 4},  {"39", 5}, {"1", 5},  {"0", 6}};
    for (const auto &b : bounds)
        QTest::newRow(b.caption) << QString::fromLatin1(b.caption)
                                 << line + QString::number(b.band);

    QTest::newRow("fraction below a bound") << u"99.5"_qs << line + u"2"_qs;
    QTest::newRow("between 0 and 1") << u"0.5"_qs << QString();
    QTest::newRow("negative") << u"-1"_qs << QString();
    QTest::newRow("minus zero") << u"-0"_qs << line + u"6"_qs;
    QTest::newRow("leading zeros") << u"0080"_qs << line + u"2"_qs;
    QTest::newRow("surrounding blanks") << u" 87 "_qs << line + u"2"_qs;
    QTest::newRow("blanks only") << u"   "_qs << QString();
    QTest::newRow("letters") << u"abc"_qs << QString();
    QTest::newRow("trailing letters") << u"87点"_qs << QString();
    QTest::newRow("decimal comma") << u"99,5"_qs << QString();
    QTest::newRow("infinity") << u"inf"_qs << QString();
    QTest::newRow("not a number") << u"nan"_qs << QString();
    QTest::newRow("huge") << u"1e400"_qs << QString();
}

void TestPassRate::band()
{
    QFETCH(QString, caption);
    QFETCH(QString, window);
    QCOMPARE(kelvo::passLineWindowFor(caption), window);

    // The same under a locale that writes numbers differently.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = kelvo::passLineWindowFor(caption);
    QLocale::setDefault(saved);
    QCOMPARE(german, window);
}

QTEST_GUILESS_MAIN(TestPassRate)
#include "tst_passrate.moc"
