// The question view finds its browser engine the way the program does: the plugin in a folder,
// loaded by its versioned interface id. A missing plugin and one of another version leave the
// view empty with one warning, and the rest of the window works.
#include "common/Documents.h"
#include "common/KelvoTest.h"
#include "common/Wait.h"

#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace
{

// Counts the warnings that reach Qt's message handler while it lives.
class WarningCounter
{
public:
    WarningCounter() { s_previous = qInstallMessageHandler(&WarningCounter::handle); }
    ~WarningCounter() { qInstallMessageHandler(s_previous); }
    static QStringList warnings;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtWarningMsg && QLatin1String(context.category) == "kelvo.questionview")
            warnings << text;
        else
            s_previous(type, context, text);
    }
    static inline QtMessageHandler s_previous = nullptr;
};
QStringList WarningCounter::warnings;

} // namespace

class TestEnginePlugin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init() { WarningCounter::warnings.clear(); }

    void loadsTheProgramsPlugin();
    void refusedPlugins_data();
    void refusedPlugins();
};

void TestEnginePlugin::initTestCase()
{
    // This test links no engine: only the plugin can give one.
    QuestionView::setEngineFactory(nullptr);
}

// The plugin beside the program, as the program loads it from its own folder: it shows a
// document and carries the page's events. The folder is the build's, or the installed
// program's where KELVO_INSTALLED_PROGRAM_DIR names it.
void TestEnginePlugin::loadsTheProgramsPlugin()
{
    QTemporaryDir dir;
    const QString path = kelvo::test::writeFile(
        dir.filePath(QStringLiteral("00Kelvo.dat")),
        "<html><body><p>plugin</p>"
        "<script>window.external.raiseEvent('loaded', 7);</script></body></html>");
    QVERIFY(!path.isEmpty());

    const QString installed = qEnvironmentVariable("KELVO_INSTALLED_PROGRAM_DIR");
    const QString folder = installed.isEmpty() ? QStringLiteral(KELVO_RUNTIME_DIR) : installed;
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/libkelvo_questionengine.so")));
    QuestionView::setPluginFolder(folder);
    QuestionView view;
    QSignalSpy loads(&view, &QuestionView::loadFinished);
    QSignalSpy events(&view, &QuestionView::documentEvent);
    view.setDocumentPath(path);
    view.resize(400, 300);
    view.show();
    KELVO_TRY_VERIFY(view.engineWidget(), 30000);
    KELVO_TRY_COMPARE(loads.size(), 1, 30000);
    QCOMPARE(loads.first().first().toBool(), true);
    KELVO_TRY_COMPARE(events.size(), 1, 30000);
    QCOMPARE(events.first().at(0).toString(), QStringLiteral("loaded"));
    QCOMPARE(events.first().at(1).toInt(), 7);
    QVERIFY(WarningCounter::warnings.isEmpty());
}

void TestEnginePlugin::refusedPlugins_data()
{
    QTest::addColumn<QString>("plugin"); // a folder holding a plugin, empty for none
    QTest::addColumn<QString>("warningSays");
    QTest::newRow("missing") << QString() << QStringLiteral("no browser engine plugin");
    QTest::newRow("another version") << QStringLiteral(KELVO_WRONG_VERSION_PLUGIN_DIR)
                                     << QStringLiteral("QuestionEngineFactory/0");
}

void TestEnginePlugin::refusedPlugins()
{
    QFETCH(QString, plugin);
    QFETCH(QString, warningSays);
    WarningCounter counter;
    QTemporaryDir empty;
    QuestionView::setPluginFolder(plugin.isEmpty() ? empty.path() : plugin);

    // Two views, as a window opened twice would have: one warning in all.
    for (int round = 0; round < 2; ++round) {
        QWidget window;
        auto *view = new QuestionView(&window);
        auto *other = new QLabel(QStringLiteral("答え"), &window);
        other->move(0, 310);
        QSignalSpy loads(view, &QuestionView::loadFinished);
        view->setDocumentPath(QStringLiteral("/nonexistent/00Kelvo.dat"));
        view->resize(400, 300);
        window.show();
        KELVO_TRY_COMPARE(loads.size(), 1, 10000);
        QCOMPARE(loads.first().first().toBool(), false);
        QVERIFY(!view->engineWidget());
        QVERIFY(other->isVisible()); // the rest of the window is untouched
    }
    QCOMPARE(WarningCounter::warnings.size(), 1);
    QVERIFY2(WarningCounter::warnings.first().contains(warningSays),
             qPrintable(WarningCounter::warnings.first()));
}

KELVO_TEST_MAIN(TestEnginePlugin)
#include "tst_engineplugin.moc"
