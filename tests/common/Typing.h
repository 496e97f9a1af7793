#pragma once

#include <QTest>

namespace kelvo::test
{

// Types text into w one character at a time, as a keyboard or an input method would:
// ASCII through QTest's key clicks, everything else as key events carrying the text.
inline void type(QWidget *w, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(w, c.toLatin1());
            continue;
        }
        QString unit(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            unit += text.at(++i);
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, unit, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, unit, Qt::NoModifier);
    }
}

} // namespace kelvo::test
