#include "keying/QtWaveNotifier.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

namespace tonvik {

QEvent::Type WaveEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QtWaveNotifier::QtWaveNotifier(HandlerFn handler, QObject* parent)
    : QObject(parent), Handler(std::move(handler)) {}

void QtWaveNotifier::PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) {
    // postEvent is thread-safe; the event is delivered on this object's thread.
    ++Undelivered;
    QCoreApplication::postEvent(this, new WaveEvent(message, device, header));
}

bool QtWaveNotifier::event(QEvent* e) {
    if (e->type() != WaveEvent::EventType())
        return QObject::event(e);
    const auto* wave = static_cast<WaveEvent*>(e);
    if (--Undelivered > 0) {
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
            dispatcher->wakeUp();
    }
    if (Handler)
        Handler(wave->Message, wave->Device, wave->Header);
    return true;
}

} // namespace tonvik
