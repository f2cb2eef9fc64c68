// For the conformance test: decodes files with the sound library's decoders
// and compares each with the reference decoder's WAV of it (the file's name
// and ".wav").
//   sound_conformance FOLDER NAME...
// Prints a table; exits 1 when a length differs or a sample is off by more
// than a few LSB.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <stdio.h>
#include <stdlib.h>

#include "decoders.h"
#include "soundtest.h"

// In LSB: the decoders round each their own way.
const int kTolerance = 4;

static int Compare(const std::wstring& folder, int count, wchar_t** names)
{
    printf("%-22s %6s %2s %10s %10s %5s  %s\n", "file", "rate", "ch", "frames", "reference",
           "diff", "result");
    int failures = 0;
    for (int i = 0; i < count; i++) {
        std::string path = Narrow(folder + L"\\" + names[i]);
        std::unique_ptr<SoundDecoder> ours(OpenSoundDecoder(path.c_str()));
        std::unique_ptr<SoundDecoder> reference(OpenSoundDecoder((path + ".wav").c_str()));
        std::vector<short> a = ours ? DecodeAll(ours.get()) : std::vector<short>();
        std::vector<short> b = reference ? DecodeAll(reference.get()) : std::vector<short>();
        bool sameFormat = ours != nullptr && reference != nullptr && ours->rate == reference->rate
                       && ours->channels == reference->channels;
        int diff = 0;
        for (size_t j = 0; j < a.size() && j < b.size(); j++)
            diff = std::max(diff, abs(a[j] - b[j]));
        int channels = ours != nullptr ? ours->channels : 1;
        bool ok = sameFormat && a.size() == b.size() && diff <= kTolerance;
        printf("%-22s %6d %2d %10zu %10zu %5d  %s\n", Narrow(names[i]).c_str(), ours != nullptr ? ours->rate : 0,
               channels, a.size() / channels, b.size() / channels, diff,
               ok ? "ok" : (ours == nullptr ? "FAILED to open" : "FAILED"));
        failures += ok ? 0 : 1;
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
