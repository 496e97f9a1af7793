#include "engine/MissingDocumentPage.h"

#include <QRegularExpression>
#include <QTest>

// The page that stands in for a question document that cannot be read, without a browser;
// the real view shows it in tst_missingdocument.
class TestMissingPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namesThePathAsItIs_data();
    void namesThePathAsItIs();
    void installCommand_data();
    void installCommand();
};

void TestMissingPage::namesThePathAsItIs_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("markup") << "/tmp/<script>alert(1)</script>&amp;/\"q\"/00Kelvo.dat";
    QTest::newRow("placeholders") << "/tmp/{{install}}/{{path}}/{{name}}.dat";
    QTest::newRow("section markers") << "/tmp/<!--if:nopath-->/<!--end:path-->/x.dat";
}

// Nothing in the path becomes markup, and nothing in it is replaced as if it were the page's.
void TestMissingPage::namesThePathAsItIs()
{
    QFETCH(QString, path);
    const QString html =
        QString::fromUtf8(MissingDocumentPage::html(path, DocumentFolder::Status::NotFound));
    const QRegularExpression element("<pre id=\"path\">(.*?)</pre>");
    QCOMPARE(element.match(html).captured(1), path.toHtmlEscaped());
    QCOMPARE(html.count("<pre id="), 2);
    QVERIFY(!html.contains("<script"));
}

void TestMissingPage::installCommand_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");

    QTest::newRow("the fixed path")
        << "/opt/Bralden/2000/00Kelvo.dat"
        << "sudo install -D -m 644 00Kelvo.dat /opt/Bralden/2000/00Kelvo.dat";
    QTest::newRow("space") << "/opt/My Exams/00Kelvo.dat"
                           << "sudo install -D -m 644 00Kelvo.dat '/opt/My Exams/00Kelvo.dat'";
    QTest::newRow("shell characters") << "/tmp/$(reboot);`x`/q.dat"
                                      << "sudo install -D -m 644 q.dat '/tmp/$(reboot);`x`/q.dat'";
    QTest::newRow("quote") << "/tmp/it's/q's.dat"
                           << "sudo install -D -m 644 'q'\\''s.dat' '/tmp/it'\\''s/q'\\''s.dat'";
    QTest::newRow("japanese") << u"/opt/問題/00Kelvo.dat"_qs
                              << u"sudo install -D -m 644 00Kelvo.dat '/opt/問題/00Kelvo.dat'"_qs;
    QTest::newRow("name like an option") << "/tmp/-rf.dat"
                                         << "sudo install -D -m 644 ./-rf.dat /tmp/-rf.dat";
}

// A command the student can paste as it is: the shell neither splits nor expands the path.
void TestMissingPage::installCommand()
{
    QFETCH(QString, path);
    QFETCH(QString, command);
    QCOMPARE(MissingDocumentPage::installCommand(path), command);
}

QTEST_GUILESS_MAIN(TestMissingPage)
#include "tst_missingpage.moc"
