#include "soundtest.h"

#include <mmreg.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "testsupport.h"

std::wstring TestMediaPath(const wchar_t* name)
{
    return ProgramPath(L"..\\testmedia\\") + name;
}

std::wstring BuildSoundPath(const wchar_t* name)
{
    return ProgramPath(L"..\\sounds\\") + name;
}

std::string Narrow(const std::wstring& text)
{
    std::string out(text.size() * 4, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

// Deletes a folder and all it holds; links in it are removed, not followed.
static void RemoveTree(const std::wstring& path)
{
    std::wstring from = path + L'\0';   // a list of paths, ended by an empty one
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI | FOF_NORECURSEREPARSE;
    SHFileOperationW(&operation);
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter;
    path = std::wstring(temp) + L"wkl" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
    RemoveTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    return file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))
        && file.flush();
}

std::vector<BYTE> ReadBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), {});
}

std::vector<short> WavSamples(const std::vector<BYTE>& wav)
{
    std::vector<short> samples(wav.size() > 44 ? (wav.size() - 44) / 2 : 0);
    CopyMemory(samples.data(), wav.data() + 44, samples.size() * sizeof(short));
    return samples;
}

std::vector<short> WavFileSamples(const std::wstring& path)
{
    return WavSamples(ReadBytes(path));
}

int CountPasses(const std::vector<short>& samples, const std::vector<short>& pass, double volume,
                int tolerance)
{
    auto matches = [=](short played, short heard) { return std::abs(heard - played * volume) <= tolerance; };
    int passes = 0;
    for (size_t i = 0; !pass.empty() && i + pass.size() <= samples.size(); i++) {
        if (std::equal(pass.begin(), pass.end(), samples.begin() + static_cast<ptrdiff_t>(i), matches)) {
            passes++;
            i += pass.size() - 1;
        }
    }
    return passes;
}

// A WAV file of a format structure (WAVEFORMATEX or a larger one) and data.
static std::vector<BYTE> MakeWavOf(const void* format, DWORD formatBytes, const std::vector<BYTE>& data)
{
    DWORD dataBytes = static_cast<DWORD>(data.size());
    const DWORD head[] = { FOURCC_RIFF, 20 + formatBytes + dataBytes, mmioFOURCC('W', 'A', 'V', 'E'),
                           mmioFOURCC('f', 'm', 't', ' '), formatBytes };
    const DWORD dataHead[] = { mmioFOURCC('d', 'a', 't', 'a'), dataBytes };
    std::vector<BYTE> out(reinterpret_cast<const BYTE*>(head), reinterpret_cast<const BYTE*>(head + 5));
    out.insert(out.end(), static_cast<const BYTE*>(format), static_cast<const BYTE*>(format) + formatBytes);
    out.insert(out.end(), reinterpret_cast<const BYTE*>(dataHead), reinterpret_cast<const BYTE*>(dataHead + 2));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<BYTE> MakeWav(const std::vector<short>& samples, int channels, int rate)
{
    // A PCMWAVEFORMAT, as most programs write it: a 44-byte header.
    WORD blockAlign = static_cast<WORD>(channels * sizeof(short));
    PCMWAVEFORMAT format = { { WAVE_FORMAT_PCM, static_cast<WORD>(channels), static_cast<DWORD>(rate),
                               static_cast<DWORD>(rate * blockAlign), blockAlign }, 16 };
    const BYTE* bytes = reinterpret_cast<const BYTE*>(samples.data());
    return MakeWavOf(&format, sizeof(format), std::vector<BYTE>(bytes, bytes + samples.size() * sizeof(short)));
}

std::vector<std::wstring> MakeUnplayableFiles(const TempFolder& folder)
{
    std::vector<BYTE> wav = MakeWav(NoiseSamples(2205, 4), 1, 22050);
    std::vector<BYTE> adpcm = wav;
    adpcm[20] = WAVE_FORMAT_IMA_ADPCM;
    std::vector<BYTE> noise(20000);
    for (size_t i = 0; i < noise.size(); i++)
        noise[i] = static_cast<BYTE>(i * 7919 % 251);
    std::vector<BYTE> oggs = { 'O', 'g', 'g', 'S' };
    oggs.insert(oggs.end(), noise.begin(), noise.end());
    const char id3[] = "ID3\3\0\0\0\0\0\x15TIT2\0\0\0\x0b\0\0\0Only a tag";
    const char text[] = "Wake up! This is a note, not a sound.\r\n";
    const struct {
        const wchar_t* name;
        std::vector<BYTE> bytes;
    } files[] = {
        { L"empty.wav", {} }, { L"empty.mp3", {} }, { L"header.wav", MakeWav({}, 1, 22050) },
        { L"onebyte.wav", std::vector<BYTE>(wav.begin(), wav.begin() + 45) },
        { L"onesample.wav", MakeWav(NoiseSamples(1, 3), 1, 22050) }, { L"adpcm.wav", adpcm },
        { L"text.wav", std::vector<BYTE>(text, text + sizeof(text) - 1) },
        { L"random.wav", noise }, { L"random.mp3", noise }, { L"garbage.ogg", oggs },
        { L"tagonly.mp3", std::vector<BYTE>(id3, id3 + sizeof(id3) - 1) },
    };
    std::vector<std::wstring> paths = { folder / L"x.wav", folder / L"missing.wav", L"CON", L"NUL" };
    CreateDirectoryW(paths[0].c_str(), nullptr);
    for (const auto& f : files) {
        paths.push_back(folder / f.name);
        WriteBytes(paths.back(), f.bytes);
    }
    return paths;
}

std::vector<short> NoiseSamples(size_t count, unsigned seed, int amplitude)
{
    std::vector<short> samples(count);
    unsigned state = seed * 2654435761u + 1;
    for (short& s : samples) {
        state = state * 1664525u + 1013904223u;
        s = static_cast<short>(static_cast<int>((state >> 16) % (2 * amplitude + 1)) - amplitude);
    }
    return samples;
}
