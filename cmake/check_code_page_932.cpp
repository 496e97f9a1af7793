// Run at configuration: exits 0 when the Qt it is built with decodes code page 932 with the
// Microsoft mapping (81 5C is U+2015), as RtfReader needs.
#include <QStringDecoder>

#include <cstdio>

int main()
{
    QStringDecoder decoder("windows-31j");
    if (!decoder.isValid()) {
        std::printf("no decoder");
        return 1;
    }
    const QString text = decoder.decode("\x81\x5c\x82\xa0");
    if (text != QStringView(u"\u2015\u3042")) {
        std::printf("a decoder with another mapping");
        return 2;
    }
    std::printf("windows-31j found");
    return 0;
}
