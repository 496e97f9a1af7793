#include "common/Unreadable.h"
#include "common/WebPage.h"

#include "engine/DocumentFolder.h"
#include "engine/DocumentSchemeHandler.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#endif

using Status = DocumentFolder::Status;
Q_DECLARE_METATYPE(Status)

// The rule that keeps the question document's page inside its folder, without a browser.
class TestFolderRule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void relativePath_data();
    void relativePath();
    void urlInFolder_data();
    void urlInFolder();
    void open_data();
    void open();
    void openFile_data();
    void openFile();
    void readUnreadable();
    void swappedFolderNeverLeadsOut();
    void mimeType_data();
    void mimeType();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool link(const QString &target, const QString &name) const
    {
        return QFile::link(target, path(name));
    }
    bool sparse(const QString &name, qint64 size) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.resize(size);
    }

    QTemporaryDir m_dir;
};

// outside/secret.txt beside the folder doc/, which holds the document, files, folders and
// links that stay inside or lead out.
void TestFolderRule::initTestCase()
{
    QVERIFY(m_dir.isValid());
    using kelvo::test::writeFile;
    QVERIFY(!writeFile(path("outside/secret.txt"), "secret").isEmpty());
    QVERIFY(!writeFile(path("doc/00Kelvo.dat"), "<p>q</p>").isEmpty());
    QVERIFY(!writeFile(path("doc/fig1.gif"), "GIF89a").isEmpty());
    QVERIFY(!writeFile(path("doc/sub/deeper/look.css"), "p{}").isEmpty());
    QVERIFY(!writeFile(path(u"doc/図/問 1.png"_qs), "png").isEmpty());
    QVERIFY(link("../outside/secret.txt", "doc/leak.txt"));
    QVERIFY(link("../outside", "doc/up"));
    QVERIFY(link(path("outside/secret.txt"), "doc/absolute-leak.txt"));
    QVERIFY(link("fig1.gif", "doc/alias.gif"));
    QVERIFY(link("sub/deeper", "doc/shortcut"));
    QVERIFY(link("nowhere.gif", "doc/dangling.gif"));
    QVERIFY(link("doc", "doc-link"));
    QVERIFY(sparse("doc/big.dat", DocumentFolder::MaxFileSize + 1));
    QVERIFY(sparse("doc/limit.dat", DocumentFolder::MaxFileSize));
#ifdef Q_OS_UNIX
    QCOMPARE(mkfifo(QFile::encodeName(path("doc/pipe.txt")).constData(), 0600), 0);
#endif
}

void TestFolderRule::relativePath_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("relative");

    QTest::newRow("the document") << "/"_qba << true << QString();
    QTest::newRow("a file below") << "/sub/look.css"_qba << true << "sub/look.css";
    QTest::newRow("utf-8, space") << "/%E5%9B%B3/%E5%95%8F%201.png"_qba << true
                                  << u"図/問 1.png"_qs;
    QTest::newRow("escaped letter") << "/fig%31.gif"_qba << true << "fig1.gif";
    QTest::newRow("dots in names") << "/a..b/.hidden"_qba << true << "a..b/.hidden";

    // What leads out on some system, or is no plain name: dot segments (".." and "..." are
    // the parent folder on Windows), escaped or literal separators, empty segments, control
    // characters, drive colons and broken escapes or UTF-8.
    for (const char *path : {"",
                             "fig1.gif",
                             "/../secret.txt",
                             "/sub/..",
                             "/./fig1.gif",
                             "/%2e%2E/secret.txt",
                             "/.%2E/x",
                             "/.../x",
                             "/.. /x",
                             "/%2E%2e%2fsecret.txt",
                             "/sub%2Ffig1.gif",
                             "/..%5csecret.txt",
                             "/%5Cetc",
                             "/..\\secret.txt",
                             "//etc/passwd",
                             "/sub//fig1.gif",
                             "/sub/",
                             "/fig1.gif%00.txt",
                             "/fig%0a.gif",
                             "/fig%7F.gif",
                             "/fig\t.gif",
                             "/c:/windows",
                             "/c%3a/windows",
                             "/fig%2",
                             "/fig%zz.gif",
                             "/%C3%28.gif"})
        QTest::addRow("refused: %s", path) << QByteArray(path) << false << QString();
}

void TestFolderRule::relativePath()
{
    QFETCH(QByteArray, encoded);
    QFETCH(bool, accepted);
    QFETCH(QString, relative);
    const std::optional<QString> result = DocumentFolder::relativePath(encoded);
    QCOMPARE(result.has_value(), accepted);
    if (accepted)
        QCOMPARE(*result, relative);
}

// URLs as the browser hands them over, through QUrl, which decodes some escapes of its own.
void TestFolderRule::urlInFolder_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("inFolder");

    QTest::newRow("a file, query, fragment") << "kelvo-question://document/f.gif?v=2#x" << true;
    QTest::newRow("escaped dots") << "kelvo-question://document/%2e%2E/secret.txt" << false;
    QTest::newRow("escaped slash") << "kelvo-question://document/sub%2Ff.gif" << false;
    QTest::newRow("backslash") << "kelvo-question://document/..\\secret" << false;
    QTest::newRow("another host") << "kelvo-question://elsewhere/f.gif" << false;
    QTest::newRow("user name") << "kelvo-question://me@document/f.gif" << false;
    QTest::newRow("port") << "kelvo-question://document:80/f.gif" << false;
    QTest::newRow("another scheme") << "file:///etc/passwd" << false;
}

void TestFolderRule::urlInFolder()
{
    QFETCH(QString, url);
    QFETCH(bool, inFolder);
    QCOMPARE(DocumentSchemeHandler::isInDocumentFolder(QUrl(url)), inFolder);
}

void TestFolderRule::open_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("file"); // in the temporary folder, when found

    const auto row = [](const char *name, const QString &folder, const QString &relative,
                        Status status, const QString &file) {
        QTest::newRow(name) << folder << relative << status << file;
    };
    row("a file below", "doc", "sub/deeper/look.css", Status::Ok, "doc/sub/deeper/look.css");
    row("japanese names", "doc", u"図/問 1.png"_qs, Status::Ok, u"doc/図/問 1.png"_qs);
    row("link to a file inside", "doc", "alias.gif", Status::Ok, "doc/fig1.gif");
    row("link to a folder inside", "doc", "shortcut/look.css", Status::Ok,
        "doc/sub/deeper/look.css");
    row("folder reached through a link", "doc-link", "fig1.gif", Status::Ok, "doc/fig1.gif");
    row("exactly the limit", "doc", "limit.dat", Status::Ok, "doc/limit.dat");
    row("missing", "doc", "fig2.gif", Status::NotFound, "");
    row("dangling link", "doc", "dangling.gif", Status::NotFound, "");
    row("link to a file outside", "doc", "leak.txt", Status::OutsideFolder, "");
    row("absolute link outside", "doc", "absolute-leak.txt", Status::OutsideFolder, "");
    row("link to a folder outside", "doc", "up/secret.txt", Status::OutsideFolder, "");
    row("a folder", "doc", "sub", Status::Folder, "");
    row("over the limit", "doc", "big.dat", Status::TooLarge, "");
#ifdef Q_OS_UNIX
    row("a pipe", "doc", "pipe.txt", Status::NotAFile, "");
#endif
    row("no folder", "", "fig1.gif", Status::NotFound, "");
    // Refused before anything below the root is looked at.
    row("the root of the file system", QDir::rootPath(), "no-such-file", Status::OutsideFolder, "");
}

void TestFolderRule::open()
{
    QFETCH(QString, folder);
    QFETCH(QString, relative);
    QFETCH(Status, status);
    QFETCH(QString, file);

    const QString base = folder.isEmpty() || QDir::isAbsolutePath(folder) ? folder : path(folder);
    const DocumentFolder::Opened opened = DocumentFolder::open(base, relative);
    QCOMPARE(opened.status, status);
    QCOMPARE(opened.filePath,
             file.isEmpty() ? QString() : QFileInfo(path(file)).canonicalFilePath());
    QCOMPARE(bool(opened.file), status == Status::Ok);
}

// The document itself is read by its path, without the folder's rule.
void TestFolderRule::openFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Status>("status");
    QTest::addColumn<qint64>("size");

    QTest::newRow("the document") << "doc/00Kelvo.dat" << Status::Ok << qint64(8);
    QTest::newRow("exactly the limit")
        << "doc/limit.dat" << Status::Ok << DocumentFolder::MaxFileSize;
    QTest::newRow("missing") << "doc/none.dat" << Status::NotFound << qint64(0);
    QTest::newRow("no path") << "" << Status::NotFound << qint64(0);
    QTest::newRow("a folder") << "doc/sub" << Status::Folder << qint64(0);
    QTest::newRow("over the limit") << "doc/big.dat" << Status::TooLarge << qint64(0);
#ifdef Q_OS_UNIX
    QTest::newRow("a pipe, which would block") << "doc/pipe.txt" << Status::NotAFile << qint64(0);
#endif
}

void TestFolderRule::openFile()
{
    QFETCH(QString, name);
    QFETCH(Status, status);
    QFETCH(qint64, size);
    const DocumentFolder::Opened opened =
        DocumentFolder::openFile(name.isEmpty() ? name : path(name));
    QCOMPARE(opened.status, status);
    QCOMPARE(opened.size, size);
    if (opened.file)
        QCOMPARE(opened.file->readAll().size(), size);
}

void TestFolderRule::readUnreadable()
{
    const QString file = kelvo::test::writeFile(path("locked/00Kelvo.dat"), "<p>q</p>");
    QVERIFY(!file.isEmpty());
    const kelvo::test::UnreadableFile locked(file);
    if (!locked.holds())
        QSKIP("this thread can read a file of mode 000");
    const DocumentFolder::Opened opened = DocumentFolder::openFile(file);
    QCOMPARE(opened.status, Status::Unreadable);
    QVERIFY(!opened.file);
}

// A folder of the document's folder swapped again and again with a link that leads out:
// every open either reads the file inside or is refused, never the file outside.
void TestFolderRule::swappedFolderNeverLeadsOut()
{
#if defined(Q_OS_LINUX) && defined(RENAME_EXCHANGE)
    using kelvo::test::writeFile;
    QVERIFY(!writeFile(path("swap/doc/inner/x.txt"), "inside").isEmpty());
    QVERIFY(!writeFile(path("swap/outside/x.txt"), "secret").isEmpty());
    QVERIFY(link("../outside", "swap/doc/other"));
    const QByteArray inner = QFile::encodeName(path("swap/doc/inner"));
    const QByteArray other = QFile::encodeName(path("swap/doc/other"));

    std::atomic<bool> done = false;
    std::atomic<int> swaps = 0;
    std::thread swapper([&] {
        while (!done) {
            if (renameat2(AT_FDCWD, inner.constData(), AT_FDCWD, other.constData(),
                          RENAME_EXCHANGE) == 0)
                ++swaps;
        }
    });
    int inside = 0;
    int outside = 0;
    for (int i = 0; i < 3000; ++i) {
        DocumentFolder::Opened opened = DocumentFolder::open(path("swap/doc"), "inner/x.txt");
        if (!opened.file)
            continue;
        const QByteArray bytes = opened.file->readAll();
        ++(bytes == "secret" ? outside : inside);
    }
    done = true;
    swapper.join();
    QVERIFY2(swaps > 100, "the folder was hardly swapped");
    QVERIFY2(inside > 0, "the file inside was never read");
    QCOMPARE(outside, 0);
#else
    QSKIP("needs Linux's renameat2 with RENAME_EXCHANGE");
#endif
}

void TestFolderRule::mimeType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");

    const char *const types[][2] = {
        {"00Kelvo.dat", "text/html"},
        {"FRAME.HTM", "text/html"},
        {"a.html", "text/html"},
        {"look.css", "text/css"},
        {"script.js", "text/javascript"},
        {"FIG1.GIF", "image/gif"},
        {"a.png", "image/png"},
        {"a.jpg", "image/jpeg"},
        {"a.JpEg", "image/jpeg"},
        {"a.svg", "image/svg+xml"},
        {"a.webp", "image/webp"},
        {"a.bmp", "image/bmp"},
        {"a.ico", "image/x-icon"},
        {"a.txt", "text/plain"},
        {"a.json", "application/json"},
        {"a.woff", "font/woff"},
        {"a.woff2", "font/woff2"},
        {"a.ttf", "font/ttf"},
        {"a.otf", "font/otf"},
        // Anything else is bytes: an unknown extension, only the last one counting, none.
        {"a.exe", "application/octet-stream"},
        {"a.gif.exe", "application/octet-stream"},
        {"README", "application/octet-stream"},
        {".css", "application/octet-stream"},
        {"img.gif/README", "application/octet-stream"},
        {"a.", "application/octet-stream"}};
    for (const auto &[name, type] : types)
        QTest::newRow(name) << QString(name) << QByteArray(type);
}

void TestFolderRule::mimeType()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QCOMPARE(DocumentFolder::mimeTypeFor(name), type);
}

QTEST_GUILESS_MAIN(TestFolderRule)
#include "tst_folderrule.moc"
