// MP3 audio decoded to PCM inside this process, through the Audio Compression Manager's MP3 codec
// (l3codeca.acm on Windows and under Wine). No decoder of our own: the system has one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sys/Owner.h"
#include "sys/Win.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

struct AcmStreamTraits {
    using Handle = HACMSTREAM;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { acmStreamClose(h, 0); }
};
using AcmStreamOwner = Owner<AcmStreamTraits>;

class Mp3Decoder {
public:
    // The decoder for a whole MP3 file (tags allowed, see WalkMp3Frames); null when the data is
    // not whole MP3 audio or the codec refuses it.
    static std::unique_ptr<Mp3Decoder> Open(std::vector<uint8_t> file);
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // 16-bit PCM at the file's sample rate and channel count.
    const WAVEFORMATEX& PcmFormat() const { return pcm_; }
    // Fills dst with up to size bytes of PCM, whole sample frames only; fewer only at the end of
    // the audio, 0 once it is over (or the codec failed).
    size_t Read(uint8_t* dst, size_t size);
    // Back to the start of the audio, for another pass.
    void Rewind();

private:
    Mp3Decoder() = default;
    bool Convert();  // runs the codec once; false when it gave nothing and never will again

    std::vector<uint8_t> file_;
    size_t audioBegin_ = 0, audioEnd_ = 0;  // the frames, tags excluded
    size_t next_ = 0;                       // next input byte not yet handed to the codec
    MPEGLAYER3WAVEFORMAT mp3_{};
    WAVEFORMATEX pcm_{};
    AcmStreamOwner stream_;
    ACMSTREAMHEADER header_{};  // prepared while stream_ is open
    std::vector<uint8_t> src_, dst_;
    size_t srcFill_ = 0;                    // bytes waiting in src_ (the codec may leave some)
    size_t dstBegin_ = 0, dstEnd_ = 0;      // decoded bytes not yet read
    bool starting_ = true, ended_ = false, failed_ = false;
};
