// Time the RTF reader takes for the pass-line document, and how its time grows on inputs built
// to expose work that grows faster than the input: a font table of many fonts each used once,
// deep groups, a large random input, long runs of \u, long control words. Prints one line per
// case,
//   rtf passline  <ms> ms  (<bytes>)  bound <ms> ms  met|MISSED
//   rtf <case>  <ms> ms  (<bytes>)  <growth>× from a quarter of it  bound <growth>×  met|MISSED
// and exits 1 when a bound is missed. A time is the least of a few reads: what the reading
// takes when nothing else on the machine gets in its way. Arguments name the cases to run;
// without any, all run.
//
// The built inputs are judged by growth, not by their time: reading one takes some tens of
// milliseconds on a quiet machine and half as long again on a busy one, while work that grows
// with the square of the input takes sixteen times as long for four times the input, and
// work in proportion to it four times (a little more, as the input outgrows the caches).
#include "rtf/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

constexpr int kRepetitions = 7;
constexpr int kFonts = 20000;
constexpr int kDeepRounds = 1000;
constexpr int kUnbalancedDepth = 1'000'000;
constexpr int kRandomBytes = 2 << 20;
constexpr int kUnicodeCharacters = 200'000;
constexpr int kLongWord = 2'000'000;

// The input of a built case is read whole and cut to a quarter of it.
constexpr int kGrowthStep = 4;
// Between growth in proportion to the input (4×) and with its square (16×).
constexpr double kGrowthBound = 8;
// The pass-line document, a real one, is read as the window opens.
constexpr double kPassLineBoundMs = 20;

struct Case {
    const char *name;
    // The case's input at a part of its full size: the whole at 1, a quarter at 4.
    std::function<QByteArray(int part)> rtf;
};

QByteArray passLine()
{
    QFile file(QStringLiteral(":/documents/passline.rtf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A font table of count fonts, then one run of text in each.
QByteArray manyFonts(int part)
{
    const int count = kFonts / part;
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
QByteArray deepGroups(int part)
{
    QByteArray round;
    for (int depth = 1; depth < RtfReader::kMaxDepth; ++depth)
        round += "{\\fs" + QByteArray::number(depth % 40 + 10) + " x";
    round += QByteArray(RtfReader::kMaxDepth - 1, '}') + "\\par ";
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < kDeepRounds / part; ++i)
        rtf += round;
    return rtf + QByteArray(kUnbalancedDepth / part, '{') + "y";
}

// Random bytes mixed with pieces of RTF, so that every kind of token is frequent and the text
// keeps flowing: no piece is cut by a stray backslash.
QByteArray randomInput(int part)
{
    const int size = kRandomBytes / part;
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
QByteArray manyUnicode(int part)
{
    QByteArray rtf = "{\\rtf1\\uc2 ";
    for (int i = 0; i < kUnicodeCharacters / part; ++i)
        rtf += "\\u" + QByteArray::number(0x3042 + i % 80) + "\\'82\\'a0\\'82\\'a0";
    return rtf + "}";
}

// A control word of kLongWord letters, then parameters of kLongWord digits.
QByteArray longWords(int part)
{
    const int length = kLongWord / part;
    return "{\\rtf1\\" + QByteArray(length, 'a') + " x\\fs" + QByteArray(length, '9') + " y\\u-" +
           QByteArray(length, '7') + "?z}";
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

double leastMs(const QByteArray &rtf)
{
    double least = readMs(rtf);
    for (int i = 1; i < kRepetitions; ++i)
        least = std::min(least, readMs(rtf));
    return least;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const std::vector<Case> cases{{"fonts-20000", manyFonts},
                                  {"deep-groups", deepGroups},
                                  {"random-2MiB", randomInput},
                                  {"unicode", manyUnicode},
                                  {"long-words", longWords}};
    const QStringList chosen = app.arguments().mid(1); // names of the cases to run; none: all
    const auto wanted = [&chosen](const char *name) {
        return chosen.isEmpty() || chosen.contains(QLatin1String(name));
    };
    bool met = true;
    if (wanted("passline")) {
        const QByteArray rtf = passLine();
        const double ms = rtf.isEmpty() ? 0 : leastMs(rtf);
        const bool ok = !rtf.isEmpty() && ms <= kPassLineBoundMs;
        met = met && ok;
        std::printf("rtf passline  %.1f ms  (%lld bytes)  bound %.0f ms  %s\n", ms,
                    qlonglong(rtf.size()), kPassLineBoundMs, ok ? "met" : "MISSED");
        std::fflush(stdout);
    }
    for (const Case &c : cases) {
        if (!wanted(c.name))
            continue;
        const QByteArray whole = c.rtf(1);
        const double ms = leastMs(whole);
        const double growth = ms / leastMs(c.rtf(kGrowthStep));
        const bool ok = growth <= kGrowthBound;
        met = met && ok;
        std::printf("rtf %s  %.1f ms  (%lld bytes)  %.1f× from a quarter of it  bound %.0f×  %s\n",
                    c.name, ms, qlonglong(whole.size()), growth, kGrowthBound,
                    ok ? "met" : "MISSED");
        std::fflush(stdout);
    }
    return met ? 0 : 1;
}
