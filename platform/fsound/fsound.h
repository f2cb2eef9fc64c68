// The sound library's FSOUND interface: the operations, names, values and
// results the playback engine uses of FMOD 3 for Windows CE. Our own
// implementation: WAV, MP3 and OGG Vorbis streams played through waveOut,
// one device handle and one worker thread per stream.
#ifndef WAKELOOM_FSOUND_H
#define WAKELOOM_FSOUND_H

#define FSOUND_OUTPUT_NOSOUND 0
#define FSOUND_OUTPUT_WINMM   1

#define FSOUND_FREE -1
#define FSOUND_ALL  -3

// Stream open modes. The stream always plays at its file's own rate; of
// the mode only the loop, mono and memory flags count. A file of several
// channels opened with FSOUND_MONO, and any of more than two, is mixed down
// to one channel. With FSOUND_LOADMEMORY `fileName` points at the bytes of
// a whole file and `length` is their count; they are copied.
#define FSOUND_LOOP_OFF    0x00000001
#define FSOUND_LOOP_NORMAL 0x00000002
#define FSOUND_16BITS      0x00000010
#define FSOUND_MONO        0x00000020
#define FSOUND_SIGNED      0x00000100
#define FSOUND_LOADMEMORY  0x00008000
#define FSOUND_NORMAL      (FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO)

#define FSOUND_TAGFIELD_VORBISCOMMENT 0
#define FSOUND_TAGFIELD_ID3V1         1
#define FSOUND_TAGFIELD_ID3V2         2

typedef struct FSOUND_STREAM FSOUND_STREAM;
// Called on the stream's own thread when it has played to its end (never
// for a looping stream, nor after FSOUND_Stream_Stop). The callback may
// play, stop or close this stream and open others. Its result is ignored.
typedef signed char (*FSOUND_STREAMCALLBACK)(FSOUND_STREAM* stream, void* buffer, int length,
                                              void* userData);

signed char FSOUND_SetOutput(int outputType);
signed char FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);
// Closes every stream and ends the library's use.
void FSOUND_Close();
// FSOUND_ALL (the streams open now) or a channel returned by
// FSOUND_Stream_Play.
signed char FSOUND_SetPaused(int channel, signed char paused);
// True once after the device was switched off and on.
signed char FSOUND_HasPowerOnOccurred();
// On the desktop the program tells the library when the machine resumed
// from sleep, the nearest event to the device being switched off and on.
void FSOUND_NotePowerOn();
// True once after a stream could not read its file any more, or found it
// holding less than when it was opened.
signed char FSOUND_File_HasFatalErrorOccurred();
// Ours, not FMOD's: the same for one stream only.
signed char FSOUND_Stream_File_HasFatalErrorOccurred(FSOUND_STREAM* stream);

// `fileName` is UTF-8. Null when the library is not initialised, or the
// file is on no disk, or it is not a WAV (PCM of 8 to 32 bits, float, A-law
// or mu-law), MP3 (Layer III) or OGG Vorbis file of one to eight channels
// that gives some sound. `offset` must be 0, and `length` too but with
// FSOUND_LOADMEMORY.
FSOUND_STREAM* FSOUND_Stream_Open(const char* fileName, unsigned int mode, int offset,
                                  int length);
// Plays from the start, or goes on after a pause of all sound; returns the
// channel, negative when the stream or the device cannot play.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Stops at once and goes back to the start; no end callback follows.
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream);
// Stops and frees the stream; its handle is invalid afterwards. Called from
// the stream's own end callback, the stream is freed when the callback
// returns.
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
signed char FSOUND_Stream_SetEndCallback(FSOUND_STREAM* stream, FSOUND_STREAMCALLBACK callback,
                                         void* userData);
signed char FSOUND_Stream_GetNumTagFields(FSOUND_STREAM* stream, int* count);
// The value stays valid while the stream is open and is followed by two
// zero bytes that `length` does not count.
signed char FSOUND_Stream_GetTagField(FSOUND_STREAM* stream, int index, int* type, char** name,
                                      void** value, int* length);

#endif
