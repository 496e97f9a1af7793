#include "common/KelvoTest.h"

#include "exam/AppDir.h"

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
    QTest::addColumn<QString>("expected");

    QTest::newRow("drive root") << "C:\\"
                                << "C:\\";
    QTest::newRow("folder on a drive") << "C:\\exam"
                                       << "C:\\exam\\";
    QTest::newRow("nested folder") << "D:\\Program Files\\Kelvo"
                                   << "D:\\Program Files\\Kelvo\\";
    QTest::newRow("folder already ending in a backslash") << "C:\\exam\\"
                                                          << "C:\\exam\\";
    QTest::newRow("bare drive") << "C:"
                                << "C:\\";
    QTest::newRow("drive in Qt's form") << "C:/exam"
                                        << "C:/exam\\";
    QTest::newRow("drive root in Qt's form") << "C:/"
                                             << "C:/";
    QTest::newRow("network share") << "\\\\server\\share"
                                   << "\\\\server\\share\\";
    QTest::newRow("unix root") << "/"
                               << "/";
    QTest::newRow("unix folder") << "/opt/kelvo"
                                 << "/opt/kelvo/";
    QTest::newRow("unix folder already ending in a slash") << "/opt/kelvo/"
                                                           << "/opt/kelvo/";
    QTest::newRow("relative unix folder") << "kelvo"
                                          << "kelvo/";
    QTest::newRow("colon later in a unix name") << "/opt/a:b"
                                                << "/opt/a:b/";
    QTest::newRow("empty") << ""
                           << "";
}

void TestAppDir::trailingSeparator()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(withTrailingSeparator(folder), expected);
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

KELVO_TEST_MAIN(TestAppDir)
#include "tst_appdir.moc"
