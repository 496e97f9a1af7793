#include "EngineProcess.h"

#include "EngineFonts.h"
#include "EngineTrace.h"
#include "PageLogLimit.h"

#include <QLoggingCategory>
#include <QtGlobal>

namespace
{

bool hasSwitch(const QByteArray &flags, const QByteArray &name)
{
    for (const QByteArray &word : flags.split(' ')) {
        if (word == name || word.startsWith(name + '='))
            return true;
    }
    return false;
}

QLoggingCategory::CategoryFilter g_previousFilter = nullptr;

// The engine describes its graphics set-up at every start: not shown, unless the
// environment's rules ask for it (QT_LOGGING_RULES="qt.webenginecontext.info=true"). A
// filter rather than rules, so that the rules the program or a test has set stay.
void quietGraphicsNotes()
{
    if (qEnvironmentVariable("QT_LOGGING_RULES").contains(QLatin1String("qt.webenginecontext")))
        return;
    g_previousFilter = QLoggingCategory::installFilter([](QLoggingCategory *category) {
        if (g_previousFilter)
            g_previousFilter(category);
        if (qstrcmp(category->categoryName(), "qt.webenginecontext") == 0)
            category->setEnabled(QtInfoMsg, false);
    });
}

} // namespace

QByteArray EngineProcess::deadProxy()
{
    return QByteArrayLiteral("http://127.0.0.1:9");
}

QByteArrayList EngineProcess::switchesFor(const QByteArray &flags)
{
    struct Switch {
        QByteArray name;
        QByteArray value;
    };
    const Switch wanted[] = {
        // WebRTC's UDP (STUN, TURN over UDP, host candidates) only through a proxy, and so
        // not at all; its TCP (TURN over TCP) through the proxy, which leads nowhere.
        {"--force-webrtc-ip-handling-policy", "disable_non_proxied_udp"},
        {"--proxy-server", deadProxy()},
        // Nothing goes around the proxy, not even to the loopback.
        {"--proxy-bypass-list", "<-loopback>"},
        // No host name is looked up, the proxy's own address included.
        {"--host-resolver-rules", "\"MAP * ~NOTFOUND\""},
        {"--js-flags", "--max-old-space-size=" + QByteArray::number(ScriptHeapMiB)},
        // Chromium's own errors, which it writes at every start on a machine without a GPU.
        {"--log-level", "3"},
        // The page is drawn and composed by the processor. The engine runs its GPU service in
        // this process, so a document that makes the graphics driver fault (WebGL, a
        // canvas) would end the exam window; and a GPU keeps a second copy of every tile of
        // the page. One still document needs neither.
        {"--disable-gpu", {}},
        // Chromium keeps a second zygote, ready to fork helpers that run without a sandbox;
        // the engine runs its GPU and network services inside this process, so none ever
        // comes, and the zygote only holds memory. A helper that did come would be started
        // directly, without a sandbox as before; the renderers' zygote and its sandbox stay.
        {"--no-unsandboxed-zygote", {}},
    };
    QByteArrayList switches;
    for (const Switch &s : wanted) {
        if (s.name == "--log-level" && hasSwitch(flags, "--enable-logging"))
            continue;
        if (!hasSwitch(flags, s.name))
            switches.append(s.value.isNull() ? s.name : s.name + '=' + s.value);
    }
    return switches;
}

void EngineProcess::prepare()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;

    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const QByteArray added = switchesFor(flags).join(' ');
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + ' ' + added).trimmed());
    EngineTrace::settings({QStringLiteral("Chromium switches: ") +
                           QString::fromLocal8Bit(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))});

    // On Linux the engine gives a screen reader the document only where this is set. It costs
    // nothing until a reader listens; a value the environment already has is left alone.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");

    EngineFonts::prepare();
    quietGraphicsNotes();
    PageLogLimit::install();
}
