#include "common/KelvoTest.h"

#include "controls/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTextDocument>

namespace
{

constexpr int kInputs = 20000;
constexpr quint32 kSeed = 20000707;
constexpr qint64 kMaxMillisecondsPerInput = 1000;

// Fragments that steer the reader into its corner cases when spliced into a document.
const QByteArrayList kTokens{"{",
                             "}",
                             "\\",
                             "\\'",
                             "\\'8",
                             "\\'81",
                             "\\'81\\'",
                             "\\u",
                             "\\u-",
                             "\\u12354",
                             "\\u99999999999",
                             "\\uc",
                             "\\uc2",
                             "\\uc99999999999",
                             "\\*",
                             "\\*\\x",
                             "{\\fonttbl",
                             "{\\f",
                             "\\f2",
                             "\\fs",
                             "\\fs0",
                             "\\fs-5",
                             "\\par",
                             "\\plain",
                             "\\pard",
                             "{\\fchars",
                             "{\\colortbl",
                             "\\bin",
                             "\\bin999999",
                             "\\bin3 ",
                             "\\{",
                             "\\}",
                             "\\\\",
                             "\\~",
                             "\\\r\n",
                             ";",
                             "\x81",
                             "\xff",
                             QByteArray(1, '\0'),
                             QByteArray(300, '{'),
                             QByteArray(300, '}')};

QByteArray stored(const char *name)
{
    QFile file(QStringLiteral(":/documents/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray randomBytes(QRandomGenerator &random, int length)
{
    QByteArray bytes(length, '\0');
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// One random edit of input: flip, insert, delete, duplicate or cut.
void mutate(QRandomGenerator &random, QByteArray &input)
{
    const int size = int(input.size());
    const int at = size > 0 ? int(random.bounded(size)) : 0;
    switch (random.bounded(6)) {
    case 0:
        if (size > 0)
            input[at] = char(random.bounded(256));
        break;
    case 1:
        input.insert(at, kTokens.at(random.bounded(int(kTokens.size()))));
        break;
    case 2:
        input.insert(at, randomBytes(random, int(random.bounded(1, 16))));
        break;
    case 3:
        input.remove(at, random.bounded(1, 64));
        break;
    case 4:
        input.insert(at, input.mid(random.bounded(size + 1), random.bounded(1, 256)));
        break;
    default:
        input.truncate(at);
        break;
    }
}

} // namespace

// Random and mutated documents: the reader must return, in bounded time, for every input.
class TestRtfFuzz : public QObject
{
    Q_OBJECT
private slots:
    void neverCrashesOrHangs();
};

void TestRtfFuzz::neverCrashesOrHangs()
{
    const QByteArrayList seeds{stored("passline.rtf"), stored("readme.rtf")};
    for (const QByteArray &seed : seeds)
        QVERIFY(!seed.isEmpty());

    QRandomGenerator random(kSeed);
    QTextDocument document;
    RtfReader reader(&document);
    QElapsedTimer total;
    total.start();
    qint64 slowest = 0;
    int run = 0;
    for (; run < kInputs; ++run) {
        QByteArray input;
        if (run % 4 == 0) {
            input = randomBytes(random, int(random.bounded(1, 512)));
        } else {
            // Mostly small cut-outs of the documents keep each read short; every 50th input
            // is a whole document.
            const QByteArray &seed = seeds.at(run % 2);
            const int length = run % 50 == 1 ? int(seed.size()) : int(random.bounded(16, 2048));
            input = seed.mid(random.bounded(int(seed.size())), length);
            if (run % 3 == 0)
                input.prepend(seed.left(600)); // the header with its tables
            for (int edits = int(random.bounded(1, 12)); edits > 0; --edits)
                mutate(random, input);
        }
        QElapsedTimer timer;
        timer.start();
        reader.read(input);
        const qint64 elapsed = timer.elapsed();
        slowest = std::max(slowest, elapsed);
        if (elapsed > kMaxMillisecondsPerInput)
            QFAIL(qPrintable(QStringLiteral("input %1 took %2 ms: %3")
                                 .arg(run)
                                 .arg(elapsed)
                                 .arg(QString::fromLatin1(input.left(200).toPercentEncoding()))));
        QVERIFY(document.blockCount() >= 1);
    }
    qInfo("%d fuzz inputs read in %lld ms (slowest %lld ms)", run, total.elapsed(), slowest);
}

KELVO_TEST_MAIN(TestRtfFuzz)
#include "tst_rtffuzz.moc"
