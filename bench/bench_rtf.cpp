// Time the RTF reader takes for the pass-line document and for inputs built to expose work
// that grows faster than the input: a font table of many fonts each used once, deep groups,
// and a large random input. Prints one line per case,
//   rtf <case>  <ms> ms  (<bytes>)  bound <ms> ms  met|MISSED
// with the median of a few reads, and exits 1 when a bound is missed. Arguments name the
// cases to run; without any, all run.
#include "rtf/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

constexpr int kRepetitions = 5;
constexpr int kFonts = 20000;
constexpr int kDeepRounds = 1000;
constexpr int kUnbalancedDepth = 1'000'000;
constexpr int kRandomBytes = 2 << 20;
constexpr int kUnicodeCharacters = 200'000;
constexpr int kLongWord = 2'000'000;

struct Case {
    const char *name;
    QByteArray rtf;
    double boundMs;
};

QByteArray passLine()
{
    QFile file(QStringLiteral(":/documents/passline.rtf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A font table of count fonts, then one run of text in each.
QByteArray manyFonts(int count)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl";
    for (int i = 0; i < count; ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fmodern\\fcharset128 Font " +
               QByteArray::number(i) + ";}";
    rtf += "}\\pard\\plain";
    for (int i = 0; i < count; ++i)
        rtf += "\\f" + QByteArray::number(i) + "\\fs18 \\'82\\'a0x";
    return rtf + "\\par}";
}

// Rounds of groups nested up to the depth limit with text and a size change at every level,
// then far deeper nesting that is never closed.
QByteArray deepGroups()
{
    QByteArray round;
    for (int depth = 1; depth < RtfReader::kMaxDepth; ++depth)
        round += "{\\fs" + QByteArray::number(depth % 40 + 10) + " x";
    round += QByteArray(RtfReader::kMaxDepth - 1, '}') + "\\par ";
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < kDeepRounds; ++i)
        rtf += round;
    return rtf + QByteArray(kUnbalancedDepth, '{') + "y";
}

// Random bytes mixed with pieces of RTF, so that every kind of token is frequent and the text
// keeps flowing: no piece is cut by a stray backslash.
QByteArray randomInput(int size)
{
    // More closing braces than opening ones keep the nesting shallow, as in a real document.
    static const QByteArrayList pieces{"{",
                                       "}",
                                       "}",
                                       "\\par ",
                                       "\\f3 ",
                                       "\\fs20 ",
                                       "\\'82\\'a0",
                                       "\\'8",
                                       "\\u12354?",
                                       "\\uc2 ",
                                       "\\plain ",
                                       "{\\*\\x skip}",
                                       "{\\fonttbl{\\f3 A;}}",
                                       "\\bin4 {\\\\}",
                                       "\\\\",
                                       "\\{",
                                       "\\~",
                                       "\\'01",
                                       "text "};
    QRandomGenerator random(20000707);
    QByteArray rtf;
    rtf.reserve(size + 32);
    while (rtf.size() < size) {
        if (random.bounded(2) == 0)
            rtf += pieces.at(random.bounded(int(pieces.size())));
        else if (const char byte = char(random.bounded(256)); byte != '\\')
            rtf += byte; // a stray backslash could hide a group's brace for good
    }
    return rtf;
}

// One long run of \u characters with their fallbacks, between double-byte escapes.
QByteArray manyUnicode()
{
    QByteArray rtf = "{\\rtf1\\uc2 ";
    for (int i = 0; i < kUnicodeCharacters; ++i)
        rtf += "\\u" + QByteArray::number(0x3042 + i % 80) + "\\'82\\'a0\\'82\\'a0";
    return rtf + "}";
}

// A control word of kLongWord letters, then parameters of kLongWord digits.
QByteArray longWords()
{
    return "{\\rtf1\\" + QByteArray(kLongWord, 'a') + " x\\fs" + QByteArray(kLongWord, '9') +
           " y\\u-" + QByteArray(kLongWord, '7') + "?z}";
}

double readMs(const QByteArray &rtf)
{
    QTextDocument document;
    RtfReader reader(&document);
    QElapsedTimer timer;
    timer.start();
    reader.read(rtf);
    return double(timer.nsecsElapsed()) / 1e6;
}

double medianMs(const QByteArray &rtf)
{
    std::vector<double> samples;
    for (int i = 0; i < kRepetitions; ++i)
        samples.push_back(readMs(rtf));
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    // The bounds leave room for a busy machine; work that grows with the square of the input
    // misses them many times over.
    const std::vector<Case> cases{
        {"passline", passLine(), 20},       {"fonts-20000", manyFonts(kFonts), 100},
        {"deep-groups", deepGroups(), 500}, {"random-2MiB", randomInput(kRandomBytes), 400},
        {"unicode", manyUnicode(), 200},    {"long-words", longWords(), 100}};
    const QStringList chosen = app.arguments().mid(1); // names of the cases to run; none: all
    bool met = true;
    for (const Case &c : cases) {
        if (!chosen.isEmpty() && !chosen.contains(QLatin1String(c.name)))
            continue;
        if (c.rtf.isEmpty()) {
            std::printf("rtf %s  no input\n", c.name);
            met = false;
            continue;
        }
        const double ms = medianMs(c.rtf);
        const bool ok = ms <= c.boundMs;
        met = met && ok;
        std::printf("rtf %s  %.1f ms  (%lld bytes)  bound %.0f ms  %s\n", c.name, ms,
                    qlonglong(c.rtf.size()), c.boundMs, ok ? "met" : "MISSED");
        std::fflush(stdout);
    }
    return met ? 0 : 1;
}
