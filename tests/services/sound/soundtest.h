// Files and folders the sound and media tests make and read.
#ifndef WAKELOOM_SOUNDTEST_H
#define WAKELOOM_SOUNDTEST_H

#include <windows.h>

#include <string>
#include <vector>

// A file of the media the build made with Debian's encoders.
std::wstring TestMediaPath(const wchar_t* name);
// A default sound of the build.
std::wstring BuildSoundPath(const wchar_t* name);
// UTF-8, as the sound library takes file names.
std::string Narrow(const std::wstring& text);

// A fresh empty folder under the temporary folder, removed with its
// contents when the object ends.
struct TempFolder {
    std::wstring path;
    TempFolder();
    ~TempFolder();
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }
};
bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes);
std::vector<BYTE> ReadBytes(const std::wstring& path);
// The samples after the plain 44-byte header of one of our 16-bit WAV
// files, or of what ALSA's file plugin wrote.
std::vector<short> WavSamples(const std::vector<BYTE>& wav);
std::vector<short> WavFileSamples(const std::wstring& path);
// How often the whole of `pass`, scaled by `volume`, stands in `samples`
// (within `tolerance` steps of rounding).
int CountPasses(const std::vector<short>& samples, const std::vector<short>& pass,
                double volume = 1.0, int tolerance = 2);
// A 16-bit PCM WAV file of interleaved samples.
std::vector<BYTE> MakeWav(const std::vector<short>& samples, int channels, int rate);
// Paths of what people put where a sound should be that gives no sound:
// files made in `folder` (empty, a header only, one byte or one sample of
// sound, ADPCM, text, random bytes, "OggS" and garbage, an MP3 that is only
// a tag), a folder named as a sound, a missing file, and CON and NUL.
std::vector<std::wstring> MakeUnplayableFiles(const TempFolder& folder);
// Noise that never repeats within a file, so a pass can be found in a capture.
std::vector<short> NoiseSamples(size_t count, unsigned seed, int amplitude = 12000);

#endif
