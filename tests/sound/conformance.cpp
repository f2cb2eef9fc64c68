// For the conformance test: decodes files with the sound library's decoders
// and compares each with the reference decoder's WAV of it (the file's name
// and ".wav").
//   sound_conformance FOLDER NAME...
// Prints a table; exits 1 when a length differs or a sample is off by more
// than a few LSB.
#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>

#include "decoders.h"
#include "soundtest.h"

// In LSB: the decoders round each their own way.
const int kTolerance = 4;

static std::vector<short> DecodeAll(SoundDecoder* decoder)
{
    std::vector<short> out;
    std::vector<short> block(4096 * 2);
    size_t got;
    while ((got = decoder->Read(block.data(), 4096)) > 0)
        out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(got * decoder->channels));
    return out;
}

static int Compare(const std::wstring& folder, int count, wchar_t** names)
{
    printf("%-22s %6s %2s %10s %10s %5s  %s\n", "file", "rate", "ch", "frames", "reference",
           "diff", "result");
    int failures = 0;
    for (int i = 0; i < count; i++) {
        std::wstring name = names[i];
        std::wstring path = folder + L"\\" + name;
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
        bool ok = sameFormat && a.size() == b.size() && diff <= kTolerance;
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
    if (argc < 3) {
        fprintf(stderr, "usage: sound_conformance FOLDER NAME...\n");
        return 2;
    }
    return Compare(argv[1], argc - 2, argv + 2);
}
