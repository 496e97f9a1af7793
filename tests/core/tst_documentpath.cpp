#include <QTest>

#include "core/DocumentPath.h"

class TestDocumentPath : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void posixFromWindows_data();
    void posixFromWindows();
    void toLocalUsesTheMapping();
};

void TestDocumentPath::posixFromWindows_data()
{
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>("expected");

    QTest::newRow("stored document") << R"(c:\Program Files\Bralden\2000\00Kelvo.dat)"
                                     << "/opt/Bralden/2000/00Kelvo.dat";
    QTest::newRow("upper-case drive") << R"(C:\Program Files\Bralden\2000\00Kelvo.dat)"
                                      << "/opt/Bralden/2000/00Kelvo.dat";
    QTest::newRow("program files in any case") << R"(c:\PROGRAM FILES\Bralden\x.dat)"
                                               << "/opt/Bralden/x.dat";
    QTest::newRow("other drive") << R"(d:\Program Files\a.dat)"
                                 << "/opt/a.dat";
    QTest::newRow("program files itself") << R"(c:\Program Files)"
                                          << "/opt";
    QTest::newRow("program files with slash") << R"(c:\Program Files\)"
                                              << "/opt";
    QTest::newRow("only a whole folder") << R"(c:\Program Files (x86)\a.dat)"
                                         << "/Program Files (x86)/a.dat";
    QTest::newRow("longer folder name") << R"(c:\Program Filesx\a.dat)"
                                        << "/Program Filesx/a.dat";
    QTest::newRow("deeper program files") << R"(c:\x\Program Files\a.dat)"
                                          << "/x/Program Files/a.dat";
    QTest::newRow("other folder") << R"(c:\x\y)"
                                  << "/x/y";
    QTest::newRow("drive root") << R"(c:\)"
                                << "/";
    QTest::newRow("root of current drive") << R"(\x\y.dat)"
                                           << "/x/y.dat";
    QTest::newRow("forward slashes") << "c:/Program Files/Bralden/a.dat"
                                     << "/opt/Bralden/a.dat";
    QTest::newRow("doubled separators") << R"(c:\\x\\y.dat)"
                                        << "/x/y.dat";
    QTest::newRow("dot folders") << R"(c:\x\.\y\..\z.dat)"
                                 << "/x/z.dat";
    QTest::newRow("japanese names") << R"(c:\Program Files\試験\問題.dat)"
                                    << "/opt/試験/問題.dat";
    QTest::newRow("posix path stays") << "/tmp/qt-abc/doc.dat"
                                      << "/tmp/qt-abc/doc.dat";
    QTest::newRow("posix program files stays") << "/Program Files/a"
                                               << "/Program Files/a";
    QTest::newRow("relative path") << R"(x\y.dat)"
                                   << "";
    QTest::newRow("drive-relative path") << "c:y.dat"
                                         << "";
    QTest::newRow("drive only") << "c:"
                                << "";
    QTest::newRow("network path") << R"(\\server\share\a.dat)"
                                  << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestDocumentPath::posixFromWindows()
{
    QFETCH(QString, windowsPath);
    QFETCH(QString, expected);
    QCOMPARE(DocumentPath::posixFromWindows(windowsPath), expected);
}

void TestDocumentPath::toLocalUsesTheMapping()
{
    const QString stored = QStringLiteral(R"(c:\Program Files\Bralden\2000\00Kelvo.dat)");
#ifdef Q_OS_WIN
    QCOMPARE(DocumentPath::toLocal(stored), stored);
#else
    QCOMPARE(DocumentPath::toLocal(stored), QStringLiteral("/opt/Bralden/2000/00Kelvo.dat"));
#endif
}

QTEST_GUILESS_MAIN(TestDocumentPath)
#include "tst_documentpath.moc"
