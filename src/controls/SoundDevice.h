#pragma once

#include <QString>

#include <functional>

// What the player drives: one sound that can be opened, rewound and played. Each call
// returns false and says why in *error when it cannot be carried out; nothing throws.
class SoundDevice
{
public:
    virtual ~SoundDevice() = default;
    virtual bool open(const QString &fileName, QString *error) = 0;
    virtual bool rewind(QString *error) = 0;
    virtual bool play(QString *error) = 0;

    // Failures found after a call has returned (a file that turns out not to decode) go to
    // this handler. A device that only fails synchronously may ignore it.
    using FailureHandler = std::function<void(const QString &message)>;
    virtual void setFailureHandler(FailureHandler handler) { (void)handler; }
};
