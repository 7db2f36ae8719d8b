#include "app/Mp3Decoder.h"

#include <algorithm>
#include <cstring>

#include "util/Mp3Frames.h"

namespace {

// Input handed to the codec per call: a few frames, so that the first sound comes quickly.
constexpr size_t kSourceChunk = 8 * 1024;

// The format description the codec takes. The values beyond the frame header are the ones the
// codec expects of a plain MPEG audio stream, padding decided per frame.
MPEGLAYER3WAVEFORMAT Mp3Format(const Mp3FrameHeader& h) {
    MPEGLAYER3WAVEFORMAT f{};
    f.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    f.wfx.nChannels = static_cast<WORD>(h.channels);
    f.wfx.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
    f.wfx.nAvgBytesPerSec = static_cast<DWORD>(h.bitrateKbps * 1000 / 8);
    f.wfx.nBlockAlign = 1;
    f.wfx.wBitsPerSample = 0;
    f.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    f.wID = MPEGLAYER3_ID_MPEG;
    f.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    f.nBlockSize = static_cast<WORD>((h.version == 1 ? 144 : 72) * h.bitrateKbps * 1000 / h.sampleRate);
    f.nFramesPerBlock = 1;
    f.nCodecDelay = 1393;
    return f;
}

WAVEFORMATEX Pcm16(const Mp3FrameHeader& h) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = static_cast<WORD>(h.channels);
    f.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
    f.wBitsPerSample = 16;
    f.nBlockAlign = static_cast<WORD>(h.channels * 2);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    return f;
}

}  // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(std::vector<uint8_t> file) {
    std::vector<Mp3Frame> frames;
    if (!WalkMp3Frames(file.data(), file.size(), &frames)) return nullptr;

    std::unique_ptr<Mp3Decoder> d(new Mp3Decoder());
    d->file_ = std::move(file);
    d->audioBegin_ = d->next_ = frames.front().offset;
    d->audioEnd_ = frames.back().offset + frames.back().header.frameLength;
    d->mp3_ = Mp3Format(frames.front().header);
    d->pcm_ = Pcm16(frames.front().header);

    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, &d->mp3_.wfx, &d->pcm_, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) {
        return nullptr;
    }
    d->stream_.Reset(stream);

    DWORD dstSize = 0;
    if (acmStreamSize(stream, kSourceChunk, &dstSize, ACM_STREAMSIZEF_SOURCE) != 0 || dstSize == 0) {
        dstSize = 64 * 1024;
    }
    dstSize -= dstSize % d->pcm_.nBlockAlign;
    d->src_.resize(kSourceChunk);
    d->dst_.resize(dstSize);

    ACMSTREAMHEADER& h = d->header_;
    h.cbStruct = sizeof h;
    h.pbSrc = d->src_.data();
    h.cbSrcLength = static_cast<DWORD>(d->src_.size());
    h.pbDst = d->dst_.data();
    h.cbDstLength = static_cast<DWORD>(d->dst_.size());
    if (acmStreamPrepareHeader(stream, &h, 0) != 0) return nullptr;
    return d;
}

Mp3Decoder::~Mp3Decoder() {
    // The header goes back before the stream closes: the codec may hold on to it until then.
    if (header_.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) {
        header_.cbSrcLength = static_cast<DWORD>(src_.size());
        header_.cbDstLength = static_cast<DWORD>(dst_.size());
        acmStreamUnprepareHeader(stream_.Get(), &header_, 0);
    }
}

bool Mp3Decoder::Convert() {
    const size_t take = std::min(src_.size() - srcFill_, audioEnd_ - next_);
    std::memcpy(src_.data() + srcFill_, file_.data() + next_, take);
    next_ += take;
    srcFill_ += take;

    // Once every frame has been handed over, the codec is asked for all it still holds.
    DWORD flags = next_ == audioEnd_ ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN;
    if (starting_) flags |= ACM_STREAMCONVERTF_START;
    header_.cbSrcLength = static_cast<DWORD>(srcFill_);
    header_.cbDstLength = static_cast<DWORD>(dst_.size());
    header_.cbSrcLengthUsed = header_.cbDstLengthUsed = 0;
    if (acmStreamConvert(stream_.Get(), &header_, flags) != 0) {
        failed_ = true;
        return false;
    }
    starting_ = false;

    const size_t used = std::min<size_t>(header_.cbSrcLengthUsed, srcFill_);
    std::memmove(src_.data(), src_.data() + used, srcFill_ - used);
    srcFill_ -= used;
    dstBegin_ = 0;
    dstEnd_ = std::min<size_t>(header_.cbDstLengthUsed, dst_.size());
    // Nothing taken, nothing given and nothing new to give: the audio is over (or the codec stuck).
    return take > 0 || used > 0 || dstEnd_ > 0;
}

size_t Mp3Decoder::Read(uint8_t* dst, size_t size) {
    size -= size % pcm_.nBlockAlign;
    size_t got = 0;
    while (got < size) {
        if (dstBegin_ == dstEnd_) {
            if (ended_ || failed_) break;
            if (!Convert()) ended_ = true;
            continue;
        }
        const size_t n = std::min(size - got, dstEnd_ - dstBegin_);
        std::memcpy(dst + got, dst_.data() + dstBegin_, n);
        dstBegin_ += n;
        got += n;
    }
    return got;
}

void Mp3Decoder::Rewind() {
    next_ = audioBegin_;
    srcFill_ = dstBegin_ = dstEnd_ = 0;
    starting_ = true;
    ended_ = false;
}
