#pragma once

#include <cstdint>

namespace tonvik {

// Result codes of the waveform-output service (MmErrorText gives their texts).
using MmResult = uint32_t;
inline constexpr MmResult MmNoError = 0;
inline constexpr MmResult MmError = 1;         // unspecified error
inline constexpr MmResult MmBadDeviceId = 2;   // device ID out of range
inline constexpr MmResult MmAllocated = 4;     // device already allocated
inline constexpr MmResult MmInvalidHandle = 5; // device handle is invalid
inline constexpr MmResult MmNoDriver = 6;      // no device driver present
inline constexpr MmResult MmNoMem = 7;         // memory allocation error
inline constexpr MmResult WaveBadFormat = 32;  // unsupported wave format
inline constexpr MmResult WaveUnprepared = 34; // header not prepared
// The device stopped playing while open: the sound server went away, the card
// was unplugged. The multimedia code of a port that is no longer connected.
inline constexpr MmResult WaveDeviceGone = 68;

// Handle of an open logical device; 0 is none.
using WaveHandle = uint32_t;

struct WaveFormat {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t ExtraSize = 0;
};

// The one format this program plays: 8000 Hz, 16-bit signed, mono PCM.
WaveFormat PcmFormat8k16Mono();

// Describes one buffer handed to the device. The pump owns the header and its
// buffer; the device only reads Data[0 .. BufferLength) between Write and the
// buffer's done notification.
struct WaveHeader {
    int16_t* Data = nullptr;
    uint32_t BufferLength = 0; // bytes
    uint32_t Flags = 0;        // the device's own marks (prepared, queued)
};

enum class WaveMessage { Open, Done, Close };

// Where a device sends its notifications. Post may be called from any thread;
// it must queue the message for the receiver's thread and return at once.
class WaveNotifier {
public:
    virtual ~WaveNotifier() = default;
    virtual void PostWaveMessage(WaveMessage message, WaveHandle device, WaveHeader* header) = 0;
};

// The waveform-output service the pump relies on: buffers play in the order
// written and back to back; each posts Done when it has played (a zero-length
// one at once); Reset returns every queued buffer, each with its Done, and
// after it returns the device no longer reads any of them; Close posts Close
// after those completions. A successful Open posts Open.
//
// Status tells whether an open device still plays: MmNoError while it does,
// otherwise the code of what stopped it (WaveDeviceGone). A device that stops
// playing completes every queued buffer, and every buffer written later, at
// once, so the pump learns of it at its next completion. Starvations counts
// the times the device ran out of sound while keying (the sound server
// reported an underrun, the device's thread came late, or a buffer was
// written after the queue had run dry): each one is silence in the keying
// that was not in the buffers. Both may be asked from the pump's thread.
class WaveOut {
public:
    virtual ~WaveOut() = default;
    virtual MmResult Open(WaveHandle* device, const WaveFormat& format, WaveNotifier* notifier) = 0;
    virtual MmResult PrepareHeader(WaveHandle device, WaveHeader* header) = 0;
    virtual MmResult UnprepareHeader(WaveHandle device, WaveHeader* header) = 0;
    virtual MmResult Write(WaveHandle device, WaveHeader* header) = 0;
    virtual MmResult Reset(WaveHandle device) = 0;
    virtual MmResult Close(WaveHandle device) = 0;
    virtual MmResult Status(WaveHandle) const { return MmNoError; }
    virtual uint64_t Starvations() const { return 0; }
};

} // namespace tonvik
