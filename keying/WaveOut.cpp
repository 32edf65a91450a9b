#include "keying/WaveOut.h"

namespace tonvik {

WaveFormat PcmFormat8k16Mono() {
    WaveFormat format;
    format.FormatTag = 1; // PCM
    format.Channels = 1;
    format.SamplesPerSec = 8000;
    format.AvgBytesPerSec = 16000;
    format.BlockAlign = 2;
    format.BitsPerSample = 16;
    format.ExtraSize = 0;
    return format;
}

} // namespace tonvik
