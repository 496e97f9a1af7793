// Gives the question document window.external.raiseEvent(name, data). Every call reaches the
// program over the web channel, in the order of the calls; calls made before the channel is
// up (inline scripts in the head) wait in a queue until it is.
// Appended to qwebchannel.js inside one function, so the page's globals stay untouched; the
// function also gives kelvoMark(name), which marks a step of the page's start when the program
// traces its start.
(function () {
    'use strict';
    var stringify = JSON.stringify;
    var parse = JSON.parse;
    var pending = [];
    var bridge = null;

    // A snapshot of the data as it is at the call: later changes by the page do not travel,
    // and values JSON cannot carry (functions, cycles) arrive as their text or null.
    function snapshot(data) {
        try {
            var text = stringify(data);
            return text === undefined ? null : parse(text);
        } catch (e) {
            return String(data);
        }
    }

    function raiseEvent(name, data) {
        var call = [String(name), snapshot(data)];
        if (bridge)
            bridge.raiseEvent(call[0], call[1]);
        else
            pending.push(call);
    }

    var external = window.external;
    if (external === null || (typeof external !== 'object' && typeof external !== 'function')) {
        external = {};
        window.external = external;
    }
    Object.defineProperty(external, 'raiseEvent',
                          { value: raiseEvent, writable: true, configurable: true });

    function connect() {
        kelvoMark('kelvo channel transport found');
        new QWebChannel(window.qt.webChannelTransport, function (channel) {
            bridge = channel.objects.questionEvents;
            kelvoMark('kelvo channel up');
            while (pending.length > 0) {
                var call = pending.shift();
                bridge.raiseEvent(call[0], call[1]);
            }
        });
    }

    // The transport may be installed just after this script runs; wait for it briefly.
    var attempts = 0;
    (function waitForTransport() {
        if (window.qt && window.qt.webChannelTransport)
            connect();
        else if (++attempts < 500)
            setTimeout(waitForTransport, 10);
        else
            console.error('raiseEvent: the program\'s channel is not available');
    })();
})();
