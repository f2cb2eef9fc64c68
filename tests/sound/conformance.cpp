// For the conformance test: makes the source sounds the encoders start
// from, and decodes files with the sound library's decoders to compare each
// with the reference decoder's WAV of it (the file's name and ".wav").
//   sound_conformance make FILE SECONDS RATE CHANNELS
//   sound_conformance compare FOLDER NAME...
// Prints a table; exits 1 when a length differs or a sample is off by more
// than the tolerance of its kind.
#include <windows.h>

#include <algorithm>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "decoders.h"
#include "soundtest.h"

static std::vector<short> DecodeAll(SoundDecoder* decoder)
{
    std::vector<short> out;
    std::vector<short> block(4096 * 2);
    size_t got;
    while ((got = decoder->Read(block.data(), 4096)) > 0)
        out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(got * decoder->channels));
    return out;
}

// Tones that glide, plucks that start hard (short blocks) and some noise;
// the channels differ.
static int MakeSource(const wchar_t* path, double seconds, int rate, int channels)
{
    size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<short> noise = NoiseSamples(frames * channels, 7, 1500);
    std::vector<short> samples(frames * channels);
    const double pi = 3.14159265358979;
    for (size_t i = 0; i < frames; i++) {
        double t = static_cast<double>(i) / rate;
        double pluck = fmod(t, 0.37);
        for (int c = 0; c < channels; c++) {
            double base = c == 0 ? 220.0 : 277.0;
            double v = 0.25 * sin(2 * pi * base * t * (1 + 0.02 * sin(2 * pi * 0.3 * t)))
                     + 0.15 * sin(2 * pi * base * 2.5 * t)
                     + 0.2 * exp(-pluck * 12) * sin(2 * pi * (1500 + 500 * c) * pluck);
            samples[i * channels + c] = static_cast<short>(v * 32767 * 0.8 + noise[i * channels + c]);
        }
    }
    return WriteBytes(path, MakeWav(samples, channels, rate)) ? 0 : 1;
}

static int Compare(const std::wstring& folder, int count, wchar_t** names)
{
    printf("%-22s %6s %2s %10s %10s %5s  %s\n", "file", "rate", "ch", "frames", "reference",
           "diff", "result");
    int failures = 0;
    for (int i = 0; i < count; i++) {
        std::wstring name = names[i];
        std::wstring path = folder + L"\\" + name;
        // The Vorbis decoders round their floats each their own way.
        bool ogg = name.size() > 4 && name.compare(name.size() - 4, 4, L".ogg") == 0;
        int tolerance = ogg ? 4 : 2;
        SoundDecoder* ours = OpenSoundDecoder(Narrow(path).c_str());
        SoundDecoder* reference = OpenSoundDecoder(Narrow(path + L".wav").c_str());
        std::vector<short> a, b;
        if (ours != nullptr)
            a = DecodeAll(ours);
        if (reference != nullptr)
            b = DecodeAll(reference);
        bool sameFormat = ours != nullptr && reference != nullptr && ours->rate == reference->rate
                       && ours->channels == reference->channels;
        int diff = 0;
        for (size_t j = 0; j < a.size() && j < b.size(); j++)
            diff = std::max(diff, abs(a[j] - b[j]));
        int channels = ours != nullptr ? ours->channels : 1;
        bool ok = sameFormat && a.size() == b.size() && diff <= tolerance;
        printf("%-22s %6d %2d %10zu %10zu %5d  %s\n", Narrow(name).c_str(), ours != nullptr ? ours->rate : 0,
               channels, a.size() / channels, b.size() / channels, diff,
               ok ? "ok" : (ours == nullptr ? "FAILED to open" : "FAILED"));
        failures += ok ? 0 : 1;
        delete ours;
        delete reference;
    }
    printf("%d passed, %d failed\n", count - failures, failures);
    return failures == 0 ? 0 : 1;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 6 && wcscmp(argv[1], L"make") == 0)
        return MakeSource(argv[2], _wtof(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]));
    if (argc >= 3 && wcscmp(argv[1], L"compare") == 0)
        return Compare(argv[2], argc - 3, argv + 3);
    fprintf(stderr, "usage: sound_conformance make FILE SECONDS RATE CHANNELS | compare FOLDER NAME...\n");
    return 2;
}
