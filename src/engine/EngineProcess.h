#pragma once

#include <QByteArray>
#include <QByteArrayList>

// What the browser engine's processes are told before the first of them starts: the one
// place of the program's Chromium switches and engine environment.
//
// - Sealed: WebRTC sends nothing but through a proxy, and the proxy and every host name
//   lead nowhere, so no packet of a page leaves the program, by any protocol, and no name is
//   looked up through the system's resolver (the page's own requests are refused earlier,
//   by the request guard and the scheme).
// - Bounded: a page's script heap is capped, and so is each renderer's memory (see
//   RendererLimits), so that one page cannot take the machine.
// - Contained: the page is drawn without the GPU, so no document reaches the graphics driver
//   that the engine would drive from inside this process.
// - Lean: no process is kept that a single, sealed page never uses.
// - Quiet: Chromium's own errors stay unlogged unless asked for, and so do the engine's
//   notes on its graphics set-up.
// - Readable: the document is open to a screen reader.
// - In the faces the document names, or Japanese ones (see EngineFonts).
//
// Switches already in QTWEBENGINE_CHROMIUM_FLAGS stay, and win where they name the same one
// (a test's --disable-gpu, a developer's --log-level).
class EngineProcess
{
public:
    // Puts the settings in place; only the first call does anything. Must run before the
    // first browser object (profile, page or view) is made.
    static void prepare();

    // The switches prepare() adds to those of the environment (flags), in order.
    static QByteArrayList switchesFor(const QByteArray &flags);

    // The proxy every connection that asks for one is sent to: an address of the loopback
    // that nothing is meant to listen on, behind a host resolver that resolves nothing, so
    // the connection is never even tried.
    static QByteArray deadProxy();

    // The most a page's script heap may hold, in MiB.
    static constexpr int ScriptHeapMiB = 512;
};
