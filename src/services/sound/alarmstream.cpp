// The alarm stream: one sound repeated with a gap until it is stopped, at
// the level it was given, and the tone it falls back to.
//
// The end callback runs on the library's thread. A stop and a replay
// exclude each other through a lock, so that a stop that arrives while the
// callback waits can never be followed by that callback playing again.
#include "sound.h"

#include <math.h>

#include <mutex>
#include <vector>

#include "streamslot.h"

#define REPEAT_GAP_MS 500

static std::atomic<FSOUND_STREAM*> alarmStream;
// Set before the stream is stopped, so that its end callback leaves it alone.
static std::atomic<bool> alarmStopRequested;
// The alarm slot holds one use of the library from its start to its close.
static bool alarmUsesLibrary;
// AlarmSoundFailed has said so since the alarm sound started.
static bool alarmFailureReported;
// The device volume word from before the alarm set its own level, kept
// while `volumeChanged`.
static DWORD savedWaveVolume;
static bool volumeChanged;

// Held while the alarm is replayed or stopped.
static std::mutex alarmLock;
// Cuts the alarm callback's wait short when the alarm is stopped.
static HANDLE alarmStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);

static void RestoreVolume()
{
    if (volumeChanged)
        SetWaveVolume(savedWaveVolume);
    volumeChanged = false;
}

// Opens a file, or with FSOUND_LOADMEMORY bytes, into the alarm slot,
// closing what the slot held.
static bool OpenAlarmStream(const char* source, unsigned memoryMode, int length)
{
    CloseStreamSlot(alarmStream);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(source, STREAM_MODE | memoryMode, 0, length);
    if (stream == nullptr)
        return false;
    FSOUND_Stream_SetEndCallback(stream, EndCallback, nullptr);
    alarmStream = stream;
    return true;
}

bool OpenStream(const char* mbPath)
{
    return OpenAlarmStream(mbPath, 0, 0);
}

static bool PlayAlarmStream()
{
    return FSOUND_Stream_Play(FSOUND_FREE, alarmStream) >= 0;
}

signed char EndCallback(FSOUND_STREAM*, void*, int, void*)
{
    if (alarmStopRequested)
        return TRUE;
    WaitForSingleObject(alarmStopEvent, REPEAT_GAP_MS);
    std::lock_guard<std::mutex> hold(alarmLock);
    // The replay leaves a power-on to the ringing dialog, which restarts
    // the sound for it.
    if (!alarmStopRequested)
        PlayAlarmStream();
    return TRUE;
}

// Opened once: a file that cannot play now will not play half a second
// later, and the ringing dialog falls back at once to a sound that does.
static bool StartAlarm(const char* source, unsigned memoryMode, int length, int volumeLevel)
{
    // A sound still in the slot ends first, its callback finished before the
    // stop flag is cleared below; its use of the library is kept.
    if (alarmStream != nullptr) {
        StopAlarmSound();
        CloseStreamSlot(alarmStream);
    }
    alarmStopRequested = false;
    ResetEvent(alarmStopEvent);
    alarmFailureReported = false;
    if (volumeLevel != KEEP_DEVICE_VOLUME) {
        // A level already set keeps the word from before it.
        if (!volumeChanged)
            savedWaveVolume = GetWaveVolume();
        volumeChanged = true;
        SetVolumeLevel(static_cast<DWORD>(volumeLevel));
    }
    if (!alarmUsesLibrary)
        alarmUsesLibrary = InitFMOD();
    if (!alarmUsesLibrary || !OpenAlarmStream(source, memoryMode, length)) {
        RestoreVolume();
        return false;
    }
    std::lock_guard<std::mutex> hold(alarmLock);
    TestForPowerOn();   // a power-on from before this sound began is old news
    return PlayAlarmStream();
}

bool PlaySoundViaFMOD(const wchar_t* path, int volumeLevel)
{
    char mbPath[MB_PATH_BYTES];
    ToMultibytePath(path, mbPath);
    return StartAlarm(mbPath, 0, 0, volumeLevel);
}

// Little-endian, as a WAV file stores its numbers.
static void AppendLe(std::vector<BYTE>* bytes, DWORD value, int size)
{
    for (int i = 0; i < size; i++)
        bytes->push_back(static_cast<BYTE>(value >> (8 * i)));
}

// A WAV image of four short beeps at 880 Hz, made once. Each beep rises and
// falls over a few milliseconds, so it does not click.
static const std::vector<BYTE>& AlarmToneImage()
{
    static std::vector<BYTE> image;
    if (!image.empty())
        return image;
    const DWORD rate = 22050, beepFrames = rate / 8, rampFrames = rate / 200, beeps = 4;
    const DWORD dataBytes = beeps * 2 * beepFrames * 2;
    image.insert(image.end(), { 'R', 'I', 'F', 'F' });
    AppendLe(&image, 36 + dataBytes, 4);
    image.insert(image.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    AppendLe(&image, 16, 4);          // the fmt chunk: PCM, mono, 16 bits
    AppendLe(&image, WAVE_FORMAT_PCM, 2);
    AppendLe(&image, 1, 2);
    AppendLe(&image, rate, 4);
    AppendLe(&image, rate * 2, 4);
    AppendLe(&image, 2, 2);
    AppendLe(&image, 16, 2);
    image.insert(image.end(), { 'd', 'a', 't', 'a' });
    AppendLe(&image, dataBytes, 4);
    for (DWORD beep = 0; beep < beeps; beep++) {
        for (DWORD i = 0; i < beepFrames; i++) {
            DWORD edge = i < beepFrames - i ? i : beepFrames - i;
            double envelope = edge < rampFrames ? static_cast<double>(edge) / rampFrames : 1.0;
            double sample = 24000.0 * envelope * sin(2.0 * 3.14159265358979 * 880.0 * i / rate);
            AppendLe(&image, static_cast<DWORD>(static_cast<short>(sample)), 2);
        }
        image.insert(image.end(), beepFrames * 2, 0);   // the pause after it
    }
    return image;
}

bool PlayAlarmTone(int volumeLevel)
{
    const std::vector<BYTE>& image = AlarmToneImage();
    return StartAlarm(reinterpret_cast<const char*>(image.data()), FSOUND_LOADMEMORY,
                      static_cast<int>(image.size()), volumeLevel);
}

bool AlarmSoundFailed()
{
    FSOUND_STREAM* stream = alarmStream;
    if (stream == nullptr || alarmFailureReported || !FSOUND_Stream_File_HasFatalErrorOccurred(stream))
        return false;
    alarmFailureReported = true;
    return true;
}

void StopAlarmSound()
{
    FSOUND_STREAM* stream = alarmStream;
    if (stream == nullptr)
        return;
    std::lock_guard<std::mutex> hold(alarmLock);
    alarmStopRequested = true;
    SetEvent(alarmStopEvent);
    FSOUND_Stream_Stop(stream);
}

void CloseAlarmSound(bool restoreVolume)
{
    CloseStreamSlot(alarmStream);
    if (alarmUsesLibrary)
        ReleaseFMOD();
    alarmUsesLibrary = false;
    if (restoreVolume)
        RestoreVolume();
    volumeChanged = false;
}
