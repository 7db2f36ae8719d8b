#include "app/Mp3Player.h"

#include <array>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "app/Mp3Decoder.h"
#include "sys/Owner.h"
#include "sys/Wide.h"
#include "sys/Win.h"
#include "util/Mp3Frames.h"

namespace {

// Files larger than this are not speech this program made; reading them would only cost memory.
constexpr LONGLONG kLargestFile = 128LL * 1024 * 1024;
// Output buffers queued on the device, and the sound each holds: short enough that the first
// sound comes at once, enough of them that the device never runs dry.
constexpr size_t kBuffers = 4;
constexpr DWORD kBufferMilliseconds = 100;

std::vector<uint8_t> ReadMp3File(const Text& name) {
    if (name.Empty()) return {};
    Owner<FileTraits> file(CreateFileW(ToWide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestFile) return {};
    std::vector<uint8_t> data;
    try {
        data.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return {};
    }
    DWORD read = 0;
    if (!::ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) || read != data.size()) {
        return {};
    }
    return data;
}

// The wave mapper's output, with the buffers queued on it. Going away stops the sound at once and
// takes every buffer back before the device closes.
class WaveOutput {
public:
    static std::unique_ptr<WaveOutput> Open(const WAVEFORMATEX& format, HANDLE doneEvent) {
        HWAVEOUT device = nullptr;
        WAVEFORMATEX f = format;
        if (waveOutOpen(&device, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(doneEvent), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            return nullptr;
        }
        std::unique_ptr<WaveOutput> out(new WaveOutput(device));
        const size_t bytes = format.nAvgBytesPerSec * kBufferMilliseconds / 1000;
        for (Buffer& b : out->buffers_) b.data.resize(bytes - bytes % format.nBlockAlign);
        return out;
    }
    ~WaveOutput() {
        waveOutReset(device_);
        for (Buffer& b : buffers_) {
            if (b.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
        }
        waveOutClose(device_);
    }
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;

    // Refills the buffers the device has given back, oldest first so that the sound keeps its order,
    // and queues them. False when the device holds none any more: the sound is over.
    bool Feed(Mp3Decoder& decoder, int& passesLeft) {
        for (size_t i = 0; i < kBuffers; i++) {
            Buffer& b = buffers_[next_];
            if (Playing(b)) break;
            b.queued = false;
            const size_t n = Fill(decoder, passesLeft, b.data);
            if (n == 0) break;
            if (b.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
            b.header = WAVEHDR{};
            b.header.lpData = reinterpret_cast<LPSTR>(b.data.data());
            b.header.dwBufferLength = static_cast<DWORD>(n);
            if (waveOutPrepareHeader(device_, &b.header, sizeof b.header) != MMSYSERR_NOERROR ||
                waveOutWrite(device_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) {
                return false;
            }
            b.queued = true;
            next_ = (next_ + 1) % kBuffers;
        }
        for (const Buffer& b : buffers_) {
            if (Playing(b)) return true;
        }
        return false;
    }

private:
    struct Buffer {
        std::vector<uint8_t> data;
        WAVEHDR header{};
        bool queued = false;
    };
    explicit WaveOutput(HWAVEOUT device) : device_(device) {}
    static bool Playing(const Buffer& b) { return b.queued && !(b.header.dwFlags & WHDR_DONE); }

    // Decodes into one buffer, going on with the next pass when a pass ends inside it.
    static size_t Fill(Mp3Decoder& decoder, int& passesLeft, std::vector<uint8_t>& data) {
        size_t n = 0;
        while (n < data.size() && passesLeft > 0) {
            n += decoder.Read(data.data() + n, data.size() - n);
            if (n < data.size() && --passesLeft > 0) decoder.Rewind();  // that pass is over
        }
        return n;
    }

    HWAVEOUT device_;
    std::array<Buffer, kBuffers> buffers_;
    size_t next_ = 0;  // the buffer queued longest ago, which the device gives back first
};

// One playback: its decoder, its thread, and the event that stops it.
class Playback {
public:
    Playback(std::vector<uint8_t> file, int times)
        : file_(std::move(file)),
          passesLeft_(times),
          stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~Playback() {
        if (!thread_) return;
        SetEvent(stop_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
    }
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    bool Start() {
        if (!stop_ || !done_) return false;
        running_ = true;
        thread_.Reset(CreateThread(nullptr, 0, &Playback::ThreadMain, this, 0, nullptr));
        if (!thread_) running_ = false;
        return static_cast<bool>(thread_);
    }
    bool Running() const { return running_; }

private:
    static DWORD WINAPI ThreadMain(void* self) {
        auto* playback = static_cast<Playback*>(self);
        try {
            playback->Play();
        } catch (...) {
            // Out of memory for the sound: silence, like any file that cannot be played.
        }
        playback->running_ = false;
        return 0;
    }
    // A playback stopped before it reached the codec or the device never opens them: rapid
    // restarts would otherwise each pay for opening and closing both.
    void Play() {
        if (Stopped()) return;
        std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::Open(std::move(file_));
        if (!decoder || Stopped()) return;
        std::unique_ptr<WaveOutput> out = WaveOutput::Open(decoder->PcmFormat(), done_.Get());
        if (!out) return;
        const HANDLE events[] = {stop_.Get(), done_.Get()};
        while (out->Feed(*decoder, passesLeft_)) {
            if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) break;
        }
    }
    bool Stopped() const { return WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0; }

    std::vector<uint8_t> file_;  // handed to the decoder on the thread
    int passesLeft_;
    KernelHandle stop_, done_;
    std::atomic<bool> running_{false};
    KernelHandle thread_;
};

std::unique_ptr<Playback> gPlayback;

void PlayOnDevice(int times, const Text& file) {
    StopMp3();
    if (times < 1) return;
    // What is not whole MP3 audio is refused here, so that it never costs a thread.
    std::vector<uint8_t> data = ReadMp3File(file);
    if (!IsWholeMp3(data.data(), data.size())) return;
    auto playback = std::make_unique<Playback>(std::move(data), times);
    if (playback->Start()) gPlayback = std::move(playback);
}

PlayMp3Function gPlay = PlayOnDevice;

}  // namespace

void PlayMp3(int times, const Text& file) { gPlay(times, file); }

void StopMp3() { gPlayback.reset(); }

bool Mp3Playing() { return gPlayback && gPlayback->Running(); }

PlayMp3Function SetPlayMp3ForTesting(PlayMp3Function play) {
    PlayMp3Function previous = gPlay;
    gPlay = play ? play : PlayOnDevice;
    return previous;
}
