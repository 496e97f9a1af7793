// Which window the pass-rate button opens for a score caption: every band bound, and captions
// the marking never writes, the same under any locale.
#include "core/PassRate.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using kelvo::passrate::Choice;

namespace
{
// The band of the pass-line window the choice opens; 0 for the exam window, -1 for nothing.
constexpr int kExam = 0, kNothing = -1;
int bandOf(const Choice &choice)
{
    const bool exam = choice.kind == Choice::ExamWindow;
    return choice.kind == Choice::PassLine ? choice.band : exam ? kExam : kNothing;
}
} // namespace

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
    QTest::addColumn<int>("band");

    QTest::newRow("empty") << QString() << kExam;
    QTest::newRow("empty string") << u""_qs << kExam;
    const struct {
        const char *caption;
        int band;
    } bounds[] = {{"140", 1}, {"100", 1}, {"99", 2}, {"80", 2}, {"79", 3}, {"60", 3},
                  {"59", 4},  {"40", 4},  {"39", 5}, {"1", 5},  {"0", 6}};
    for (const auto &b : bounds)
        QTest::newRow(b.caption) << QString::fromLatin1(b.caption) << b.band;

    QTest::newRow("fraction below a bound") << u"99.5"_qs << 2;
    QTest::newRow("between 0 and 1") << u"0.5"_qs << kNothing;
    QTest::newRow("negative") << u"-1"_qs << kNothing;
    QTest::newRow("minus zero") << u"-0"_qs << 6;
    QTest::newRow("leading zeros") << u"0080"_qs << 2;
    QTest::newRow("surrounding blanks") << u" 87 "_qs << 2;
    QTest::newRow("blanks only") << u"   "_qs << kNothing;
    QTest::newRow("letters") << u"abc"_qs << kNothing;
    QTest::newRow("trailing letters") << u"87点"_qs << kNothing;
    QTest::newRow("decimal comma") << u"99,5"_qs << kNothing;
    QTest::newRow("infinity") << u"inf"_qs << kNothing;
    QTest::newRow("not a number") << u"nan"_qs << kNothing;
    QTest::newRow("huge") << u"1e400"_qs << kNothing;
}

void TestPassRate::band()
{
    QFETCH(QString, caption);
    QFETCH(int, band);
    QCOMPARE(bandOf(kelvo::passrate::choiceFor(caption)), band);

    // The same under a locale that writes numbers differently.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int german = bandOf(kelvo::passrate::choiceFor(caption));
    QLocale::setDefault(saved);
    QCOMPARE(german, band);
}

QTEST_GUILESS_MAIN(TestPassRate)
#include "tst_passrate.moc"
