#include "SoundEffectDevice.h"

#include <QAudioDevice>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QUrl>

namespace
{

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

SoundEffectDevice::SoundEffectDevice(QObject *parent)
    : QObject(parent), m_effect(new QSoundEffect(this))
{
    connect(m_effect, &QSoundEffect::statusChanged, this, &SoundEffectDevice::onStatusChanged);
}

SoundEffectDevice::~SoundEffectDevice() = default;

bool SoundEffectDevice::open(const QString &fileName, QString *error)
{
    // Every countdown tick opens the chime again: holding it already is enough, costs no
    // file access, and lets a chime that is playing go on.
    if (!fileName.isEmpty() && fileName == m_fileName)
        return checkHeld(error);

    release();
    if (fileName.isEmpty())
        return fail(error, QStringLiteral("no file name to open"));
    const QFileInfo info(fileName);
    if (!info.exists())
        return fail(error, QStringLiteral("no such file: %1").arg(fileName));
    if (!info.isFile())
        return fail(error, QStringLiteral("not a file: %1").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot read %1: %2").arg(fileName, file.errorString()));
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return fail(error, QStringLiteral("not a WAV file: %1").arg(fileName));
    file.close();

    m_fileName = fileName;
    ++m_loadCount;
    m_effect->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    // A sample already in QSoundEffect's cache may have failed before this call returned.
    return checkHeld(error);
}

bool SoundEffectDevice::rewind(QString *error)
{
    if (!checkHeld(error))
        return false;
    // QSoundEffect has no position to seek; stopping brings the sound back to its start.
    m_effect->stop();
    return true;
}

bool SoundEffectDevice::play(QString *error)
{
    if (!checkHeld(error))
        return false;
    if (QMediaDevices::defaultAudioOutput().isNull())
        return fail(error, QStringLiteral("no audio output device to play %1").arg(m_fileName));
    // Restarts from the beginning when it is already playing; while the file is still
    // loading, QSoundEffect starts it as soon as it is ready.
    m_effect->play();
    return true;
}

void SoundEffectDevice::setFailureHandler(FailureHandler handler)
{
    m_failureHandler = std::move(handler);
}

void SoundEffectDevice::onStatusChanged()
{
    if (m_effect->status() != QSoundEffect::Error || m_fileName.isEmpty() ||
        !m_decodeError.isEmpty())
        return;
    m_decodeError = QStringLiteral("cannot load the sound in %1").arg(m_fileName);
    if (m_failureHandler)
        m_failureHandler(m_decodeError);
}

bool SoundEffectDevice::checkHeld(QString *error) const
{
    if (m_fileName.isEmpty())
        return fail(error, QStringLiteral("nothing open"));
    if (!m_decodeError.isEmpty())
        return fail(error, m_decodeError);
    return true;
}

void SoundEffectDevice::release()
{
    if (m_fileName.isEmpty())
        return;
    m_fileName.clear();
    m_decodeError.clear();
    m_effect->setSource(QUrl());
}
