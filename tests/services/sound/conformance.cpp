// For the conformance test: decodes files with the sound library's decoders
// and compares each with the reference decoder's WAV of it (the file's name
// and ".wav"), then decodes it again after a rewind, as a looping alarm does.
//   sound_conformance FOLDER NAME...
// Prints a table; exits 1 when a length differs, a sample is off by more
// than a few LSB or the second decoding is not the first.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <stdio.h>
#include <stdlib.h>

#include "decoders.h"
#include "soundtest.h"

// In LSB: the decoders round each their own way.
const int kTolerance = 4;

// Every interleaved sample a decoder gives from where it stands to the end.
static std::vector<short> DecodeAll(SoundDecoder* decoder)
{
    std::vector<short> out, block(4096 * 2);
    while (size_t frames = decoder->Read(block.data(), 4096))
        out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(frames * decoder->channels));
    return out;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: sound_conformance FOLDER NAME...\n");
        return 2;
    }
    printf("%-22s %6s %2s %10s %10s %5s  %s\n", "file", "rate", "ch", "frames", "reference", "diff", "result");
    int failures = 0;
    for (int i = 2; i < argc; i++) {
        std::string path = Narrow(std::wstring(argv[1]) + L"\\" + argv[i]);
        std::unique_ptr<SoundDecoder> ours(OpenSoundDecoder(path.c_str()));
        std::unique_ptr<SoundDecoder> reference(OpenSoundDecoder((path + ".wav").c_str()));
        std::vector<short> a = ours ? DecodeAll(ours.get()) : std::vector<short>();
        std::vector<short> b = reference ? DecodeAll(reference.get()) : std::vector<short>();
        bool sameFormat = ours != nullptr && reference != nullptr && ours->rate == reference->rate
                       && ours->channels == reference->channels;
        int diff = 0;
        for (size_t j = 0; j < a.size() && j < b.size(); j++)
            diff = std::max(diff, abs(a[j] - b[j]));
        bool rewound = ours != nullptr && ours->Rewind() && DecodeAll(ours.get()) == a;
        int channels = ours != nullptr ? ours->channels : 1;
        bool ok = sameFormat && a.size() == b.size() && diff <= kTolerance && rewound;
        printf("%-22s %6d %2d %10zu %10zu %5d  %s\n", Narrow(argv[i]).c_str(), ours != nullptr ? ours->rate : 0,
               channels, a.size() / channels, b.size() / channels, diff,
               ok ? "ok" : (ours == nullptr ? "FAILED to open" : rewound ? "FAILED" : "FAILED after a rewind"));
        failures += ok ? 0 : 1;
    }
    printf("%d passed, %d failed\n", argc - 2 - failures, failures);
    return failures == 0 ? 0 : 1;
}
