#pragma once

#include "keying/WaveOut.h"

#include <QEvent>
#include <QObject>
#include <QPointer>

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
class QtWaveNotifier : public QObject, public WaveNotifier {
public:
    using HandlerFn = std::function<void(WaveMessage, WaveHandle, WaveHeader*)>;
    explicit QtWaveNotifier(HandlerFn handler, QObject* parent = nullptr);

    void PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) override;

protected:
    bool event(QEvent* e) override;

private:
    HandlerFn Handler;
};

} // namespace tonvik
