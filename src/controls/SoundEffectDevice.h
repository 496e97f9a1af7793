#pragma once

#include "SoundDevice.h"

#include <QObject>
#include <QSoundEffect>

// The player's sound device on QSoundEffect, which decodes WAV files itself. Opening the
// file that is already open is free and never cuts a chime that is playing; play() always
// starts from the beginning.
class SoundEffectDevice : public QObject, public SoundDevice
{
    Q_OBJECT
public:
    explicit SoundEffectDevice(QObject *parent = nullptr);
    ~SoundEffectDevice() override;

    bool open(const QString &fileName, QString *error) override;
    bool rewind(QString *error) override;
    bool play(QString *error) override;
    void setFailureHandler(FailureHandler handler) override;

    // The file held, empty when nothing is open.
    QString fileName() const { return m_fileName; }
    QSoundEffect::Status status() const { return m_effect->status(); }
    bool isPlaying() const { return m_effect->isPlaying(); }
    // How many times a file has been handed to QSoundEffect to load.
    int loadCount() const { return m_loadCount; }

private:
    void onStatusChanged();
    bool checkHeld(QString *error) const;
    void release();

    QSoundEffect *const m_effect;
    QString m_fileName;
    QString m_decodeError;
    FailureHandler m_failureHandler;
    int m_loadCount = 0;
};
