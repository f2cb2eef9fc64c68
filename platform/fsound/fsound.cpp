// The streams of the sound library. Each stream has a worker thread that
// decodes ahead into a few waveOut buffers of its own device handle and
// calls the end callback when the last buffer has played. One library lock
// guards the list of streams and the channels, so that a handle is checked
// and used under the same lock; each stream's own lock guards its play
// state against its worker. The library lock is always taken first.
#include "fsound.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "decoders.h"
#include "wavevolume.h"

namespace {

const int kBufferCount = 4;
const size_t kBufferFrames = 4096;
// The worker looks at its stream at least this often.
const DWORD kWorkerTickMs = 50;
// A pass that gave no sound at all (the file became empty while it played)
// ends no sooner than this after its start, so a caller that plays it again
// at once does not spin.
const ULONGLONG kEmptyPassMs = 1000;

} // namespace

struct FSOUND_STREAM {
    SoundDecoder* decoder = nullptr;
    std::vector<uint8_t> image;   // the bytes of a stream opened from memory
    bool loop = false;
    int channels = 0;             // played: the decoder's, or 1 when mixed down
    bool fileFailSeen = false;    // by the worker: the decoder's failure is reported
    std::atomic<bool> fileFailed{ false };  // not yet asked for
    FSOUND_STREAMCALLBACK callback = nullptr;
    void* userData = nullptr;
    int channel = -1;

    HANDLE wake = nullptr;        // a request for the worker
    HANDLE bufferDone = nullptr;  // waveOut finished a buffer
    HANDLE thread = nullptr;
    DWORD threadId = 0;

    std::mutex lock;
    HWAVEOUT device = nullptr;
    WAVEHDR headers[kBufferCount] = {};
    std::vector<short> buffers[kBufferCount];
    bool playRequested = false;
    bool playing = false;
    bool closeRequested = false;
    bool freesItself = false;     // closed from its own end callback
    bool paused = false;          // by FSOUND_SetPaused, also before its device opens
    unsigned generation = 0;      // counts stops: a buffer decoded before one is dropped
    DWORD volume = 0xFFFFFFFF;

    ~FSOUND_STREAM()
    {
        delete decoder;
        if (wake != nullptr)
            CloseHandle(wake);
        if (bufferDone != nullptr)
            CloseHandle(bufferDone);
    }
};

namespace {

struct Library {
    std::mutex lock;
    bool initialised = false;
    std::vector<FSOUND_STREAM*> streams;
    std::vector<FSOUND_STREAM*> channels;
};
Library gLibrary;
std::atomic<bool> gFileError;

bool IsOpenStream(FSOUND_STREAM* stream)
{
    return stream != nullptr
        && std::find(gLibrary.streams.begin(), gLibrary.streams.end(), stream)
               != gLibrary.streams.end();
}

// The device volume word, on a stream's own handle where the device keeps
// one per handle.
void ApplyDeviceVolume(FSOUND_STREAM* stream)
{
    DWORD volume;
    if (stream->device != nullptr && DeviceVolumeIsPerStream(&volume) && volume != stream->volume) {
        if (waveOutSetVolume(stream->device, volume) == MMSYSERR_NOERROR)
            stream->volume = volume;
    }
}

bool OpenDevice(FSOUND_STREAM* stream)
{
    WORD channels = static_cast<WORD>(stream->channels);
    DWORD rate = static_cast<DWORD>(stream->decoder->rate);
    WAVEFORMATEX format = { WAVE_FORMAT_PCM, channels, rate, rate * channels * 2,
                            static_cast<WORD>(channels * 2), 16, 0 };
    HWAVEOUT device;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(stream->bufferDone),
                    0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        return false;
    for (int i = 0; i < kBufferCount; i++) {
        // Room for the decoder's channels before a mix down.
        stream->buffers[i].assign(kBufferFrames * static_cast<size_t>(stream->decoder->channels), 0);
        WAVEHDR& header = stream->headers[i];
        header = {};
        header.lpData = reinterpret_cast<LPSTR>(stream->buffers[i].data());
        header.dwBufferLength = static_cast<DWORD>(stream->buffers[i].size() * sizeof(short));
        waveOutPrepareHeader(device, &header, sizeof(header));
        header.dwFlags |= WHDR_DONE;  // free until written
    }
    stream->device = device;
    stream->volume = 0xFFFFFFFF;
    ApplyDeviceVolume(stream);
    if (stream->paused)
        waveOutPause(device);
    return true;
}

void CloseDevice(FSOUND_STREAM* stream)
{
    if (stream->device == nullptr)
        return;
    waveOutReset(stream->device);
    for (WAVEHDR& header : stream->headers)
        waveOutUnprepareHeader(stream->device, &header, sizeof(header));
    waveOutClose(stream->device);
    stream->device = nullptr;
}

// Fills `frames` frames from the decoder, going round again on a looping
// stream, mixed down to the stream's channels. Returns the frames filled.
size_t Decode(FSOUND_STREAM* stream, short* out, size_t frames)
{
    size_t done = 0;
    bool rewound = false;
    while (done < frames) {
        size_t got = stream->decoder->Read(out + done * stream->decoder->channels, frames - done);
        if (got > 0) {
            done += got;
            rewound = false;
            continue;
        }
        // A looping stream starts over, unless it gave nothing since the last start.
        if (!stream->loop || rewound || !stream->decoder->Rewind())
            break;
        rewound = true;
    }
    if (!stream->fileFailSeen && stream->decoder->ReadFailed()) {
        stream->fileFailSeen = true;
        stream->fileFailed = true;
        gFileError = true;
    }
    int from = stream->decoder->channels;
    if (stream->channels == 1 && from > 1) {
        for (size_t i = 0; i < done; i++) {
            int sum = 0;
            for (int c = 0; c < from; c++)
                sum += out[i * from + c];
            out[i] = static_cast<short>(sum / from);
        }
    }
    return done;
}

DWORD WINAPI StreamWorker(void* parameter)
{
    FSOUND_STREAM* stream = static_cast<FSOUND_STREAM*>(parameter);
    HANDLE events[2] = { stream->wake, stream->bufferDone };
    bool ended = true;  // the decoder has nothing more for this pass
    bool heard = false; // this pass gave some sound
    ULONGLONG passStart = 0;
    for (;;) {
        WaitForMultipleObjects(2, events, FALSE, kWorkerTickMs);

        bool restart = false;
        unsigned generation;
        {
            std::lock_guard<std::mutex> hold(stream->lock);
            if (stream->closeRequested)
                break;
            if (stream->playRequested) {
                stream->playRequested = false;
                if (!stream->playing) {
                    stream->playing = true;
                    restart = true;
                }
            }
            if (!stream->playing)
                continue;
            generation = stream->generation;
            ApplyDeviceVolume(stream);
        }
        if (restart) {
            ended = !stream->decoder->Rewind();
            heard = false;
            passStart = GetTickCount64();
        }

        // Decode into every free buffer; write it unless a stop came meanwhile.
        int inFlight = 0;
        for (int i = 0; i < kBufferCount; i++) {
            WAVEHDR& header = stream->headers[i];
            if (!(header.dwFlags & WHDR_DONE)) {
                inFlight++;
                continue;
            }
            if (ended)
                continue;
            size_t frames = Decode(stream, stream->buffers[i].data(), kBufferFrames);
            if (frames < kBufferFrames)
                ended = true;
            if (frames == 0)
                continue;
            heard = true;
            std::lock_guard<std::mutex> hold(stream->lock);
            if (!stream->playing || stream->generation != generation)
                break;
            header.dwBufferLength =
                static_cast<DWORD>(frames * static_cast<size_t>(stream->channels) * sizeof(short));
            if (waveOutWrite(stream->device, &header, sizeof(header)) == MMSYSERR_NOERROR)
                inFlight++;
        }
        if (!ended || inFlight > 0 || (!heard && GetTickCount64() - passStart < kEmptyPassMs))
            continue;

        // Played to the end.
        FSOUND_STREAMCALLBACK callback = nullptr;
        void* userData = nullptr;
        {
            std::lock_guard<std::mutex> hold(stream->lock);
            if (!stream->playing || stream->generation != generation || stream->playRequested)
                continue;
            stream->playing = false;
            callback = stream->callback;
            userData = stream->userData;
        }
        if (callback != nullptr)
            callback(stream, nullptr, 0, userData);
    }

    CloseDevice(stream);
    bool freesItself;
    {
        std::lock_guard<std::mutex> hold(stream->lock);
        freesItself = stream->freesItself;
    }
    if (freesItself) {
        CloseHandle(stream->thread);
        delete stream;
    }
    return 0;
}

// Takes the stream out of the library; the caller holds the library lock.
// Returns true when the caller must wait for the worker and free the stream.
bool DetachStream(FSOUND_STREAM* stream)
{
    gLibrary.streams.erase(std::find(gLibrary.streams.begin(), gLibrary.streams.end(), stream));
    if (stream->channel >= 0)
        gLibrary.channels[static_cast<size_t>(stream->channel)] = nullptr;
    std::lock_guard<std::mutex> hold(stream->lock);
    stream->closeRequested = true;
    stream->playing = false;
    stream->generation++;
    stream->freesItself = GetCurrentThreadId() == stream->threadId;
    if (stream->device != nullptr)
        waveOutReset(stream->device);
    SetEvent(stream->wake);
    return !stream->freesItself;
}

void FinishClose(FSOUND_STREAM* stream)
{
    WaitForSingleObject(stream->thread, INFINITE);
    CloseHandle(stream->thread);
    delete stream;
}

} // namespace

signed char FSOUND_SetOutput(int outputType)
{
    return outputType == FSOUND_OUTPUT_WINMM || outputType == FSOUND_OUTPUT_NOSOUND;
}

signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int)
{
    if (mixRate <= 0 || maxSoftwareChannels <= 0)
        return FALSE;
    FSOUND_Close();
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    gLibrary.initialised = true;
    gLibrary.channels.assign(static_cast<size_t>(maxSoftwareChannels), nullptr);
    return TRUE;
}

void FSOUND_Close()
{
    std::vector<FSOUND_STREAM*> toFinish;
    {
        std::lock_guard<std::mutex> hold(gLibrary.lock);
        while (!gLibrary.streams.empty()) {
            FSOUND_STREAM* stream = gLibrary.streams.back();
            if (DetachStream(stream))
                toFinish.push_back(stream);
        }
        gLibrary.initialised = false;
        gLibrary.channels.clear();
    }
    for (FSOUND_STREAM* stream : toFinish)
        FinishClose(stream);
}

signed char FSOUND_SetPaused(int channel, signed char paused)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!gLibrary.initialised)
        return FALSE;
    // Only the streams there are now: one opened later plays unpaused.
    FSOUND_STREAM* only = nullptr;
    if (channel != FSOUND_ALL) {
        if (channel < 0 || static_cast<size_t>(channel) >= gLibrary.channels.size()
            || gLibrary.channels[static_cast<size_t>(channel)] == nullptr)
            return FALSE;
        only = gLibrary.channels[static_cast<size_t>(channel)];
    }
    for (FSOUND_STREAM* stream : gLibrary.streams) {
        if (only != nullptr && stream != only)
            continue;
        std::lock_guard<std::mutex> holdStream(stream->lock);
        stream->paused = paused != 0;
        if (stream->device != nullptr) {
            if (paused)
                waveOutPause(stream->device);
            else
                waveOutRestart(stream->device);
        }
    }
    return TRUE;
}

static std::atomic<bool> gPowerOn;

void FSOUND_NotePowerOn()
{
    gPowerOn = true;
}

signed char FSOUND_HasPowerOnOccurred()
{
    return gPowerOn.exchange(false) ? TRUE : FALSE;
}

signed char FSOUND_File_HasFatalErrorOccurred()
{
    return gFileError.exchange(false) ? TRUE : FALSE;
}

signed char FSOUND_Stream_File_HasFatalErrorOccurred(FSOUND_STREAM* stream)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!IsOpenStream(stream))
        return FALSE;
    return stream->fileFailed.exchange(false) ? TRUE : FALSE;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* fileName, unsigned int mode, int offset, int length)
{
    bool fromMemory = (mode & FSOUND_LOADMEMORY) != 0;
    {
        std::lock_guard<std::mutex> hold(gLibrary.lock);
        if (!gLibrary.initialised || fileName == nullptr || offset != 0
            || (fromMemory ? length <= 0 : length != 0))
            return nullptr;
    }
    // A copy, so the caller's bytes need not outlive the stream.
    std::vector<uint8_t> image;
    SoundSource source;
    if (fromMemory) {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(fileName);
        image.assign(bytes, bytes + length);
        source.bytes = image.data();
        source.length = image.size();
    } else {
        source.fileName = fileName;
    }
    SoundDecoder* decoder = OpenSoundDecoder(source);
    if (decoder == nullptr)
        return nullptr;
    FSOUND_STREAM* stream = new FSOUND_STREAM;
    stream->image = std::move(image);   // the decoder's bytes stay where they are
    stream->decoder = decoder;
    stream->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    stream->channels = (mode & FSOUND_MONO) != 0 || decoder->channels > 2 ? 1 : decoder->channels;
    // Each value is followed by two zero bytes, so it reads as a C string
    // or as a zero-terminated UTF-16 text.
    for (SoundTag& tag : decoder->tags)
        tag.value.insert(tag.value.end(), { 0, 0 });
    stream->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    stream->bufferDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (stream->wake != nullptr && stream->bufferDone != nullptr)
        stream->thread = CreateThread(nullptr, 0, StreamWorker, stream, CREATE_SUSPENDED,
                                      &stream->threadId);
    if (stream->thread == nullptr) {
        delete stream;
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> hold(gLibrary.lock);
        gLibrary.streams.push_back(stream);
    }
    ResumeThread(stream->thread);
    return stream;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!IsOpenStream(stream))
        return -1;
    if (stream->channel < 0) {
        size_t count = gLibrary.channels.size();
        size_t chosen = count;
        if (channel == FSOUND_FREE) {
            for (size_t i = 0; i < count && chosen == count; i++)
                if (gLibrary.channels[i] == nullptr)
                    chosen = i;
        } else if (channel >= 0 && static_cast<size_t>(channel) < count
                   && gLibrary.channels[static_cast<size_t>(channel)] == nullptr) {
            chosen = static_cast<size_t>(channel);
        }
        if (chosen == count)
            return -1;
        gLibrary.channels[chosen] = stream;
        stream->channel = static_cast<int>(chosen);
    }
    std::lock_guard<std::mutex> holdStream(stream->lock);
    if (stream->device == nullptr && !OpenDevice(stream))
        return -1;
    stream->playRequested = true;
    SetEvent(stream->wake);
    return stream->channel;
}

signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!IsOpenStream(stream))
        return FALSE;
    std::lock_guard<std::mutex> holdStream(stream->lock);
    stream->playRequested = false;
    stream->playing = false;
    stream->generation++;
    if (stream->device != nullptr)
        waveOutReset(stream->device);
    SetEvent(stream->wake);
    return TRUE;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream)
{
    bool wait;
    {
        std::lock_guard<std::mutex> hold(gLibrary.lock);
        if (!IsOpenStream(stream))
            return FALSE;
        wait = DetachStream(stream);
    }
    if (wait)
        FinishClose(stream);
    return TRUE;
}

signed char FSOUND_Stream_SetEndCallback(FSOUND_STREAM* stream, FSOUND_STREAMCALLBACK callback,
                                         void* userData)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!IsOpenStream(stream))
        return FALSE;
    std::lock_guard<std::mutex> holdStream(stream->lock);
    stream->callback = callback;
    stream->userData = userData;
    return TRUE;
}

signed char FSOUND_Stream_GetNumTagFields(FSOUND_STREAM* stream, int* count)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!IsOpenStream(stream) || count == nullptr)
        return FALSE;
    *count = static_cast<int>(stream->decoder->tags.size());
    return TRUE;
}

signed char FSOUND_Stream_GetTagField(FSOUND_STREAM* stream, int index, int* type, char** name,
                                      void** value, int* length)
{
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    if (!IsOpenStream(stream) || index < 0
        || static_cast<size_t>(index) >= stream->decoder->tags.size())
        return FALSE;
    SoundTag& tag = stream->decoder->tags[static_cast<size_t>(index)];
    if (type != nullptr)
        *type = tag.type;
    if (name != nullptr)
        *name = &tag.name[0];
    if (value != nullptr)
        *value = tag.value.data();
    if (length != nullptr)
        *length = static_cast<int>(tag.value.size() - 2);
    return TRUE;
}
