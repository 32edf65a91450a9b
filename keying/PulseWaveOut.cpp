#include "keying/PulseWaveOut.h"

#include <pulse/pulseaudio.h>

#include <mutex>

namespace tonvik {

namespace {

constexpr uint32_t BytesPerMs = 16; // 8000 samples of 2 bytes a second

void SignalLoop(pa_threaded_mainloop* loop) {
    pa_threaded_mainloop_signal(loop, 0);
}

} // namespace

// A mainloop thread with its context and stream. The callbacks run on the
// mainloop's thread with its lock held; Queue is null once the connection has
// been detached from its device, and then they do nothing.
struct PulseWaveOut::Connection {
    pa_threaded_mainloop* Loop = nullptr;
    pa_context* Context = nullptr;
    pa_stream* Stream = nullptr;
    WaveQueue* Queue = nullptr;

    Connection() : Loop(pa_threaded_mainloop_new()) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Each of these is called with the mainloop lock held.
    bool ConnectContext(std::string& error);
    bool ConnectStream(uint32_t bufferedBytes, uint32_t periodBytes, std::string& error);
    bool Plays() const;
    void Feed();
    void Drain();

    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnWritable(pa_stream* stream, size_t bytes, void* self);
    static void OnUnderflow(pa_stream* stream, void* self);
};

PulseWaveOut::Connection::~Connection() {
    if (Loop == nullptr)
        return;
    pa_threaded_mainloop_lock(Loop);
    if (Stream != nullptr && Plays())
        Drain();
    if (Stream != nullptr) {
        pa_stream_set_state_callback(Stream, nullptr, nullptr);
        pa_stream_set_write_callback(Stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(Stream, nullptr, nullptr);
        pa_stream_disconnect(Stream);
        pa_stream_unref(Stream);
    }
    if (Context != nullptr) {
        pa_context_set_state_callback(Context, nullptr, nullptr);
        pa_context_disconnect(Context);
        pa_context_unref(Context);
    }
    pa_threaded_mainloop_unlock(Loop);
    pa_threaded_mainloop_stop(Loop);
    pa_threaded_mainloop_free(Loop);
}

bool PulseWaveOut::Connection::ConnectContext(std::string& error) {
    Context = pa_context_new(pa_threaded_mainloop_get_api(Loop), "Tonvik");
    if (Context == nullptr) {
        error = "cannot create a sound-server context";
        return false;
    }
    pa_context_set_state_callback(Context, &Connection::OnContextState, this);
    // Never start a server of our own: no server means SDL's drivers.
    if (pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        pa_threaded_mainloop_start(Loop) < 0) {
        error = pa_strerror(pa_context_errno(Context));
        return false;
    }
    pa_context_state_t state;
    while ((state = pa_context_get_state(Context)) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(state))
        pa_threaded_mainloop_wait(Loop);
    if (state == PA_CONTEXT_READY)
        return true;
    error = pa_strerror(pa_context_errno(Context));
    return false;
}

bool PulseWaveOut::Connection::ConnectStream(uint32_t bufferedBytes, uint32_t periodBytes,
                                             std::string& error) {
    const pa_sample_spec spec{PA_SAMPLE_S16NE, 8000, 1};
    Stream = pa_stream_new(Context, "Morse", &spec, nullptr);
    if (Stream == nullptr) {
        error = pa_strerror(pa_context_errno(Context));
        return false;
    }
    pa_stream_set_state_callback(Stream, &Connection::OnStreamState, this);
    pa_stream_set_write_callback(Stream, &Connection::OnWritable, this);
    pa_stream_set_underflow_callback(Stream, &Connection::OnUnderflow, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = bufferedBytes;
    // Start on the first sample: a callsign's first character is never
    // held back until more has been written.
    attr.prebuf = 2;
    attr.minreq = periodBytes;
    attr.fragsize = static_cast<uint32_t>(-1);
    // Early requests: the server asks for sound every period and plays from
    // a sink buffer of one period, while the stream itself holds `buffered`.
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_EARLY_REQUESTS);
    if (pa_stream_connect_playback(Stream, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        error = pa_strerror(pa_context_errno(Context));
        return false;
    }
    pa_stream_state_t state;
    while ((state = pa_stream_get_state(Stream)) != PA_STREAM_READY && PA_STREAM_IS_GOOD(state))
        pa_threaded_mainloop_wait(Loop);
    if (state == PA_STREAM_READY)
        return true;
    error = pa_strerror(pa_context_errno(Context));
    return false;
}

bool PulseWaveOut::Connection::Plays() const {
    return pa_context_get_state(Context) == PA_CONTEXT_READY &&
           pa_stream_get_state(Stream) == PA_STREAM_READY;
}

// Waits until the server has played what it holds: disconnecting drops it,
// and the end of a text would be cut off when the program ends.
void PulseWaveOut::Connection::Drain() {
    pa_operation* drain = pa_stream_drain(
        Stream,
        [](pa_stream*, int, void* loop) { SignalLoop(static_cast<pa_threaded_mainloop*>(loop)); },
        Loop);
    if (drain == nullptr)
        return;
    // A server that goes away cancels the operation.
    while (pa_operation_get_state(drain) == PA_OPERATION_RUNNING)
        pa_threaded_mainloop_wait(Loop);
    pa_operation_unref(drain);
}

// Copies queued sound into the stream, as much as the server has room for.
void PulseWaveOut::Connection::Feed() {
    if (Queue == nullptr || pa_stream_get_state(Stream) != PA_STREAM_READY)
        return;
    while (Queue->HasSound()) {
        size_t room = pa_stream_writable_size(Stream);
        if (room == static_cast<size_t>(-1) || room < 2)
            return;
        void* data = nullptr;
        if (pa_stream_begin_write(Stream, &data, &room) < 0 || data == nullptr || room < 2)
            return;
        const uint32_t taken =
            Queue->Take(static_cast<uint8_t*>(data), static_cast<uint32_t>(room & ~size_t{1}));
        if (taken == 0) {
            pa_stream_cancel_write(Stream);
            return;
        }
        pa_stream_write(Stream, data, taken, nullptr, 0, PA_SEEK_RELATIVE);
    }
}

void PulseWaveOut::Connection::OnContextState(pa_context* context, void* self) {
    auto* c = static_cast<Connection*>(self);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) && c->Queue != nullptr)
        c->Queue->MarkLost();
    SignalLoop(c->Loop);
}

void PulseWaveOut::Connection::OnStreamState(pa_stream* stream, void* self) {
    auto* c = static_cast<Connection*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) && c->Queue != nullptr)
        c->Queue->MarkLost();
    SignalLoop(c->Loop);
}

void PulseWaveOut::Connection::OnWritable(pa_stream*, size_t, void* self) {
    static_cast<Connection*>(self)->Feed();
}

void PulseWaveOut::Connection::OnUnderflow(pa_stream*, void* self) {
    // Between callsigns the stream runs empty on purpose; only an underrun
    // while keying is silence that was not in the buffers.
    auto* c = static_cast<Connection*>(self);
    if (c->Queue != nullptr && c->Queue->IsOpen())
        c->Queue->CountStarvation();
}

PulseWaveOut::PulseWaveOut(std::chrono::milliseconds buffered,
                           std::chrono::milliseconds idleRelease, std::chrono::milliseconds period)
    : HeldWaveOut(idleRelease), Buffered(buffered), Period(period) {}

PulseWaveOut::~PulseWaveOut() {
    Shutdown();
}

MmResult PulseWaveOut::Write(WaveHandle device, WaveHeader* header) {
    const MmResult result = HeldWaveOut::Write(device, header);
    // Only the GUI thread changes Conn while a logical device is open.
    if (result == MmNoError && Conn) {
        pa_threaded_mainloop_lock(Conn->Loop);
        Conn->Feed();
        pa_threaded_mainloop_unlock(Conn->Loop);
    }
    return result;
}

bool PulseWaveOut::ServerAnswers() {
    Connection probe;
    std::string error;
    pa_threaded_mainloop_lock(probe.Loop);
    const bool answers = probe.ConnectContext(error);
    pa_threaded_mainloop_unlock(probe.Loop);
    return answers;
}

MmResult PulseWaveOut::StartPhysical(std::string& error) {
    auto c = std::make_shared<Connection>();
    if (c->Loop == nullptr) {
        error = "cannot start a sound-server connection";
        return MmNoMem;
    }
    pa_threaded_mainloop_lock(c->Loop);
    MmResult result = MmNoError;
    if (!c->ConnectContext(error))
        result = MmNoDriver;
    else if (!c->ConnectStream(static_cast<uint32_t>(Buffered.count()) * BytesPerMs,
                               static_cast<uint32_t>(Period.count()) * BytesPerMs, error))
        result = MmBadDeviceId;
    else
        c->Queue = &Queue;
    pa_threaded_mainloop_unlock(c->Loop);
    if (result == MmNoError)
        Conn = std::move(c);
    return result;
}

bool PulseWaveOut::PhysicalPlays() {
    pa_threaded_mainloop_lock(Conn->Loop);
    const bool plays = Conn->Plays();
    pa_threaded_mainloop_unlock(Conn->Loop);
    return plays;
}

std::function<void()> PulseWaveOut::DetachPhysical() {
    pa_threaded_mainloop_lock(Conn->Loop);
    Conn->Queue = nullptr;
    pa_threaded_mainloop_unlock(Conn->Loop);
    return [c = std::move(Conn)]() mutable { c.reset(); };
}

} // namespace tonvik
