#pragma once

#include <QString>

// What Qt's web channel and its transport write about messages they cannot use comes from
// the page, which can send such messages without end (a raw qt.webChannelTransport.send in a
// loop). Those libraries write in Qt's default category, and the program itself never does:
// each kind of message there (its text up to the first value it names) is written once, and
// what follows of the same kind is dropped; past MaxKinds kinds, all of it. Every other
// message passes to the handler that was in place.
class PageLogLimit
{
public:
    // Puts the limit in front of the current message handler; once.
    static void install();

    // The kind of a message of category that is written only once; empty for a message that
    // always passes.
    static QString kindOf(const char *category, const QString &message);

    static constexpr qsizetype MaxKinds = 256;
};
