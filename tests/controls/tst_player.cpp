#include "common/Documents.h"
#include "common/KelvoTest.h"
#include "common/RecordingDevice.h"

#include "controls/MciPlayer.h"
#include "controls/SoundEffectDevice.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QRegularExpression>
#include <QTemporaryDir>

using kelvo::test::RecordingDevice;

namespace
{

QString chimePath()
{
    return QStringLiteral(KELVO_SOURCE_DIR "/src/resources/chime.wav");
}

} // namespace

class TestPlayer : public QObject
{
    Q_OBJECT
private slots:
    void routesCommands_data();
    void routesCommands();
    void deviceFailureIsRecorded();
    void missingDevice();
    void defaultDeviceIsCreatedOnFirstCommand();
    void missingChimeWarnsOnce();

    void realDeviceRefusesBadFiles_data();
    void realDeviceRefusesBadFiles();
    void realDeviceRefusesUnreadableFile();
    void realDeviceRecordsUndecodableWav();
    void realDeviceLoadsTheChimeOnce();
    void failedOpenReleasesTheHeldSound();

private:
    SoundEffectDevice *installRealDevice(MciPlayer &player);
};

void TestPlayer::routesCommands_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("failed");

    const QString open = QStringLiteral("Open /usr/lib/kelvo/" KELVO_CHIME);
    QTest::newRow("tick") << QStringList{"Open"} << QStringList{open} << false;
    QTest::newRow("time-up tick") << QStringList{"Open", "Prev", "Play"}
                                  << QStringList{open, "Prev", "Play"} << false;
    QTest::newRow("document event")
        << QStringList{"Prev", "Play"} << QStringList{"Prev", "Play"} << false;
    for (const char *other : {"Stop", "Close", "Pause", "Eject", "Record", "open", "PLAY", ""})
        QTest::newRow(qPrintable(QStringLiteral("refused \"%1\"").arg(QLatin1String(other))))
            << QStringList{QLatin1String(other)} << QStringList{} << true;
}

void TestPlayer::routesCommands()
{
    QFETCH(QStringList, commands);
    QFETCH(QStringList, calls);
    QFETCH(bool, failed);

    // Driven as UI automation and scripts drive it: by its properties' names.
    QStringList recorded;
    MciPlayer player;
    player.setDevice(std::make_unique<RecordingDevice>(&recorded));
    QVERIFY(player.setProperty("FileName", QStringLiteral("/usr/lib/kelvo/" KELVO_CHIME)));
    for (const QString &command : commands)
        QVERIFY(player.setProperty("Command", command));

    QCOMPARE(recorded, calls);
    QCOMPARE(player.property("Command").toString(), commands.last());
    QCOMPARE(player.property("FileName").toString(), QStringLiteral("/usr/lib/kelvo/" KELVO_CHIME));
    QCOMPARE(player.lastError().isEmpty(), !failed);
    if (failed)
        QVERIFY(player.lastError().contains(QLatin1String("command")));
}

void TestPlayer::deviceFailureIsRecorded()
{
    QStringList recorded;
    MciPlayer player;
    auto owned = std::make_unique<RecordingDevice>(&recorded);
    RecordingDevice *device = owned.get();
    player.setDevice(std::move(owned));

    device->failWith = QStringLiteral("device busy");
    player.setCommand(QStringLiteral("Play"));
    QCOMPARE(player.lastError(), QStringLiteral("device busy"));

    // A failure the device finds later reaches the player too.
    QVERIFY(device->report);
    device->report(QStringLiteral("cannot load the sound"));
    QCOMPARE(player.lastError(), QStringLiteral("cannot load the sound"));
}

void TestPlayer::missingDevice()
{
    MciPlayer player;
    player.setDevice(nullptr);
    player.setFileName(chimePath());
    for (const char *command : {"Open", "Prev", "Play"}) {
        player.setCommand(QLatin1String(command));
        QVERIFY(player.lastError().contains(QLatin1String(command)));
    }
    QCOMPARE(player.device(), nullptr);
}

void TestPlayer::defaultDeviceIsCreatedOnFirstCommand()
{
    MciPlayer player;
    QCOMPARE(player.device(), nullptr);
    player.setCommand(QStringLiteral("Stop"));
    QCOMPARE(player.device(), nullptr);

    // A document event before any tick: nothing is open, nothing plays, nothing is raised,
    // and nothing is said on the terminal.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    player.setCommand(QStringLiteral("Prev"));
    QVERIFY(dynamic_cast<SoundEffectDevice *>(player.device()));
    QCOMPARE(player.lastError(), QStringLiteral("nothing open"));
    player.setCommand(QStringLiteral("Play"));
    QCOMPARE(player.lastError(), QStringLiteral("nothing open"));
}

// A chime that cannot be opened is a fault of the installation: one warning, however many
// ticks open it again.
void TestPlayer::missingChimeWarnsOnce()
{
    QTemporaryDir dir;
    MciPlayer player;
    player.setFileName(dir.filePath(QStringLiteral(KELVO_CHIME)));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Open .*" KELVO_CHIME
                                                                         " failed: no such file")));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    for (int tick = 0; tick < 5; ++tick)
        player.setCommand(QStringLiteral("Open"));
    QVERIFY(player.lastError().startsWith(QLatin1String("no such file")));
}

SoundEffectDevice *TestPlayer::installRealDevice(MciPlayer &player)
{
    auto owned = std::make_unique<SoundEffectDevice>();
    SoundEffectDevice *device = owned.get();
    player.setDevice(std::move(owned));
    return device;
}

void TestPlayer::realDeviceRefusesBadFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing file") << KELVO_CHIME << QByteArray() << "no such file";
    QTest::newRow("a folder") << "folder" << QByteArray() << "not a file";
    QTest::newRow("text file") << KELVO_CHIME << QByteArray("not a sound\n") << "not a WAV";
    QTest::newRow("empty file") << KELVO_CHIME << QByteArray("") << "not a WAV";
    QTest::newRow("other RIFF") << KELVO_CHIME << QByteArray("RIFF\x04\0\0\0AVI ", 12)
                                << "not a WAV";
    QTest::newRow("no file name") << "" << QByteArray() << "no file name";
}

void TestPlayer::realDeviceRefusesBadFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = name.isEmpty() ? QString() : dir.filePath(name);
    if (name == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!content.isNull())
        QVERIFY(!kelvo::test::writeFile(path, content).isEmpty());

    MciPlayer player;
    SoundEffectDevice *device = installRealDevice(player);
    player.setFileName(path);
    player.setCommand(QStringLiteral("Open"));
    QVERIFY2(player.lastError().contains(error), qPrintable(player.lastError()));
    QCOMPARE(device->fileName(), QString());
    QCOMPARE(device->loadCount(), 0);

    player.setCommand(QStringLiteral("Prev"));
    QCOMPARE(player.lastError(), QStringLiteral("nothing open"));
    player.setCommand(QStringLiteral("Play"));
    QCOMPARE(player.lastError(), QStringLiteral("nothing open"));
    QVERIFY(!device->isPlaying());
}

void TestPlayer::realDeviceRefusesUnreadableFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral(KELVO_CHIME));
    QVERIFY(QFile::copy(chimePath(), path));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    if (QFile file(path); file.open(QIODevice::ReadOnly))
        QSKIP("this user reads files regardless of their permissions");

    MciPlayer player;
    SoundEffectDevice *device = installRealDevice(player);
    player.setFileName(path);
    player.setCommand(QStringLiteral("Open"));
    QVERIFY2(player.lastError().startsWith(QLatin1String("cannot read")),
             qPrintable(player.lastError()));
    QCOMPARE(device->loadCount(), 0);
}

void TestPlayer::realDeviceRecordsUndecodableWav()
{
    // A WAV header with no format chunk: only the decoder can tell, after Open has returned.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral(KELVO_CHIME));
    QByteArray broken("RIFF\x24\0\0\0WAVEjunk\x10\0\0\0", 20);
    broken.append(QByteArray(64, '\x7f'));
    QVERIFY(!kelvo::test::writeFile(path, broken).isEmpty());

    MciPlayer player;
    SoundEffectDevice *device = installRealDevice(player);
    player.setFileName(path);
    player.setCommand(QStringLiteral("Open"));
    QTRY_COMPARE_WITH_TIMEOUT(device->status(), QSoundEffect::Error, 5000);
    QVERIFY2(player.lastError().contains(QLatin1String("cannot load")),
             qPrintable(player.lastError()));

    // The next tick's Open and a document event fail the same calm way, without reloading.
    player.setCommand(QStringLiteral("Open"));
    player.setCommand(QStringLiteral("Prev"));
    player.setCommand(QStringLiteral("Play"));
    QVERIFY(player.lastError().contains(QLatin1String("cannot load")));
    QCOMPARE(device->loadCount(), 1);
    QVERIFY(!device->isPlaying());
}

void TestPlayer::realDeviceLoadsTheChimeOnce()
{
    QVERIFY2(QFile::exists(chimePath()), qPrintable(chimePath()));
    MciPlayer player;
    SoundEffectDevice *device = installRealDevice(player);
    player.setFileName(chimePath());
    player.setCommand(QStringLiteral("Open"));
    QCOMPARE(player.lastError(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(device->status(), QSoundEffect::Ready, 5000);

    // Ticks open it again and again; the sample is loaded once.
    for (int tick = 0; tick < 5; ++tick)
        player.setCommand(QStringLiteral("Open"));
    QCOMPARE(device->loadCount(), 1);
    QCOMPARE(device->status(), QSoundEffect::Ready);
    QCOMPARE(player.lastError(), QString());

    player.setCommand(QStringLiteral("Prev"));
    QCOMPARE(player.lastError(), QString());
    player.setCommand(QStringLiteral("Play"));
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        // Without any audio output the chime cannot sound: Play says so and nothing else
        // changes; the file stays held for the next attempt.
        QVERIFY2(player.lastError().contains(QLatin1String("no audio output")),
                 qPrintable(player.lastError()));
        QCOMPARE(device->status(), QSoundEffect::Ready);
        QCOMPARE(device->fileName(), chimePath());
        return;
    }
    QCOMPARE(player.lastError(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(device->isPlaying(), 5000);
    // A tick while the chime plays must not cut it.
    player.setCommand(QStringLiteral("Open"));
    QVERIFY(device->isPlaying());
    QCOMPARE(device->loadCount(), 1);
}

void TestPlayer::failedOpenReleasesTheHeldSound()
{
    MciPlayer player;
    SoundEffectDevice *device = installRealDevice(player);
    player.setFileName(chimePath());
    player.setCommand(QStringLiteral("Open"));
    QTRY_COMPARE_WITH_TIMEOUT(device->status(), QSoundEffect::Ready, 5000);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    player.setFileName(dir.filePath(QStringLiteral("gone.wav")));
    player.setCommand(QStringLiteral("Open"));
    QVERIFY(player.lastError().contains(QLatin1String("no such file")));
    QCOMPARE(device->fileName(), QString());
    player.setCommand(QStringLiteral("Play"));
    QCOMPARE(player.lastError(), QStringLiteral("nothing open"));

    // Naming the chime again loads it again.
    player.setFileName(chimePath());
    player.setCommand(QStringLiteral("Open"));
    QTRY_COMPARE_WITH_TIMEOUT(device->status(), QSoundEffect::Ready, 5000);
    QCOMPARE(device->loadCount(), 2);
}

KELVO_TEST_MAIN(TestPlayer)
#include "tst_player.moc"
