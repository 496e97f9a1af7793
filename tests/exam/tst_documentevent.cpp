// A page event raised by the question document through the real view replays the chime on the
// exam window: the view's signal reaches the window's handler.
#include "common/BrowserEngine.h"
#include "common/Documents.h"
#include "common/KelvoTest.h"
#include "common/RecordingDevice.h"
#include "exam/frmKelvo.h"

#include <QTemporaryDir>

class TestDocumentEvent : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { kelvo::test::useBrowserEngine(); }
    void pageEventReplaysTheChime();
};

void TestDocumentEvent::pageEventReplaysTheChime()
{
    QTemporaryDir dir;
    const QString path = kelvo::test::writeFile(
        dir.filePath(QStringLiteral("00Kelvo.dat")),
        "<html><body><p>問題</p>"
        "<script>window.external.raiseEvent('onload', {n: 1});</script></body></html>");
    QVERIFY(!path.isEmpty());

    frmKelvo window(path);
    QStringList sounds;
    QVERIFY(kelvo::test::recordSound(&window, &sounds));
    window.show();
    KELVO_TRY_COMPARE(sounds, (QStringList{QStringLiteral("Prev"), QStringLiteral("Play")}), 30000);
}

KELVO_TEST_MAIN(TestDocumentEvent)
#include "tst_documentevent.moc"
