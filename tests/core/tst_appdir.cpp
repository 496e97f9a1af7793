#include <QTest>

#include "core/AppDir.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using kelvo::withTrailingSeparator;

class TestAppDir : public QObject
{
    Q_OBJECT
private slots:
    void trailingSeparator_data();
    void trailingSeparator();
    void appDirIsTheExecutablesFolder();
};

void TestAppDir::trailingSeparator_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("expected");

    const QChar backslash(u'\\'), slash(u'/');
    QTest::newRow("drive root") << "C:\\" << backslash << "C:\\";
    QTest::newRow("folder on a drive") << "C:\\exam" << backslash << "C:\\exam\\";
    QTest::newRow("nested folder")
        << "D:\\Program Files\\Kelvo" << backslash << "D:\\Program Files\\Kelvo\\";
    QTest::newRow("folder already ending in a backslash")
        << "C:\\exam\\" << backslash << "C:\\exam\\";
    QTest::newRow("bare drive") << "C:" << backslash << "C:\\";
    QTest::newRow("network share") << "\\\\server\\share" << backslash << "\\\\server\\share\\";
    QTest::newRow("unix root") << "/" << slash << "/";
    QTest::newRow("unix folder") << "/usr/lib/kelvo" << slash << "/usr/lib/kelvo/";
    QTest::newRow("unix folder already ending in a slash")
        << "/usr/lib/kelvo/" << slash << "/usr/lib/kelvo/";
    QTest::newRow("relative unix folder") << "kelvo" << slash << "kelvo/";
    QTest::newRow("colon later in a unix name") << "/srv/a:b" << slash << "/srv/a:b/";
    // On Linux a backslash is just a character of a name: only "/" separates.
    QTest::newRow("unix name with a backslash") << "/home/ta\\ro" << slash << "/home/ta\\ro/";
    QTest::newRow("unix name ending in a backslash") << "/home/taro\\" << slash << "/home/taro\\/";
    QTest::newRow("unix name that looks like a drive") << "C:" << slash << "C:/";
    QTest::newRow("empty") << "" << slash << "";
}

void TestAppDir::trailingSeparator()
{
    QFETCH(QString, folder);
    QFETCH(QChar, separator);
    QFETCH(QString, expected);
    QCOMPARE(withTrailingSeparator(folder, separator), expected);
}

void TestAppDir::appDirIsTheExecutablesFolder()
{
    const QString executableFolder =
        QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    const QString expected = QDir::toNativeSeparators(executableFolder) + QDir::separator();

    const QString before = QDir::currentPath();
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    const QString result = kelvo::appDir();
    QVERIFY(QDir::setCurrent(before));

    QCOMPARE(result, expected);
    QVERIFY(!result.startsWith(QDir::toNativeSeparators(elsewhere.path())));
    QVERIFY(
        QFileInfo::exists(result + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
}

QTEST_GUILESS_MAIN(TestAppDir)
#include "tst_appdir.moc"
