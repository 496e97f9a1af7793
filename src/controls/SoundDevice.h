#pragma once

#include <QString>

// What the player drives: one sound that can be opened, rewound and played. Each call
// returns false and says why in *error when it cannot be carried out; nothing throws.
class SoundDevice
{
public:
    virtual ~SoundDevice() = default;
    virtual bool open(const QString &fileName, QString *error) = 0;
    virtual bool rewind(QString *error) = 0;
    virtual bool play(QString *error) = 0;
};
