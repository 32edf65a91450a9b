#pragma once

#include "keying/WaveOut.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>

namespace tonvik {

// A waveform notification carried through the Qt event queue.
class WaveEvent : public QEvent {
public:
    static QEvent::Type EventType();
    WaveEvent(WaveMessage message, WaveHandle device, WaveHeader* header)
        : QEvent(EventType()), Message(message), Device(device), Header(header) {}

    WaveMessage Message;
    WaveHandle Device;
    WaveHeader* Header;
};

// Posts device notifications, from any thread, as WaveEvents to a QObject
// living on the GUI thread; that object hands each one to Handler.
//
// A handler may run a nested event loop (the end of an exercise shows a modal
// message, the player waits there for its device to close), and the notices
// it waits for may already have been posted before it began: a device that
// takes its buffers ahead completes the last two at once. Qt's GLib event
// dispatcher hands every posted event over after one wake-up, and a nested
// loop started while those events are being handed over gets none of them
// until something else wakes the thread. So each handler call that leaves
// notices still undelivered wakes the thread first: the nested loop then
// delivers them.
class QtWaveNotifier : public QObject, public WaveNotifier {
public:
    using HandlerFn = std::function<void(WaveMessage, WaveHandle, WaveHeader*)>;
    explicit QtWaveNotifier(HandlerFn handler, QObject* parent = nullptr);

    void PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) override;

protected:
    bool event(QEvent* e) override;

private:
    HandlerFn Handler;
    std::atomic<int> Undelivered{0};
};

} // namespace tonvik
