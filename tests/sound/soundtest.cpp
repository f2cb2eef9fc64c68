#include "soundtest.h"

#include <shellapi.h>

#include <filesystem>
#include <fstream>

#include "decoders.h"
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
    std::string out(text.size() * 3 + 1, '\0');
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()),
                                    nullptr, nullptr);
    out.resize(bytes > 0 ? static_cast<size_t>(bytes - 1) : 0);
    return out;
}

// Deletes a folder and all it holds.
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
    path = std::wstring(temp) + L"wkl" + std::to_wstring(GetCurrentProcessId()) + L"_"
         + std::to_wstring(++counter);
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

std::vector<short> WavFileSamples(const std::wstring& path)
{
    std::vector<BYTE> bytes = ReadBytes(path);
    std::vector<short> samples;
    for (size_t i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<short>(bytes[i] | (bytes[i + 1] << 8)));
    return samples;
}

static bool Near(short heard, short played, double volume)
{
    double expected = played * volume;
    return heard >= expected - 2 && heard <= expected + 2;
}

int CountPasses(const std::vector<short>& samples, const std::vector<short>& pass, double volume)
{
    int passes = 0;
    for (size_t i = 0; !pass.empty() && i + pass.size() <= samples.size(); i++) {
        size_t k = 0;
        while (k < pass.size() && Near(samples[i + k], pass[k], volume))
            k++;
        if (k == pass.size()) {
            passes++;
            i += pass.size() - 1;
        }
    }
    return passes;
}

// A RIFF chunk: its four-letter id, its size and its bytes.
static void AppendChunk(std::vector<BYTE>& out, const char* id, const void* data, size_t size)
{
    DWORD size32 = static_cast<DWORD>(size);
    const BYTE* sizeBytes = reinterpret_cast<const BYTE*>(&size32);
    out.insert(out.end(), id, id + 4);
    out.insert(out.end(), sizeBytes, sizeBytes + 4);
    out.insert(out.end(), static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
}

std::vector<BYTE> MakeWav(const std::vector<short>& samples, int channels, int rate, int bits)
{
    std::vector<BYTE> data;
    for (short s : samples) {
        if (bits == 8)
            data.push_back(static_cast<BYTE>((s >> 8) + 128));
        else
            data.insert(data.end(), { static_cast<BYTE>(s), static_cast<BYTE>(s >> 8) });
    }
    WORD blockAlign = static_cast<WORD>(channels * bits / 8);
    PCMWAVEFORMAT format = { { WAVE_FORMAT_PCM, static_cast<WORD>(channels), static_cast<DWORD>(rate),
                               static_cast<DWORD>(rate) * blockAlign, blockAlign },
                             static_cast<WORD>(bits) };
    std::vector<BYTE> wave = { 'W', 'A', 'V', 'E' }, out;
    AppendChunk(wave, "fmt ", &format, sizeof(format));
    AppendChunk(wave, "data", data.data(), data.size());
    AppendChunk(out, "RIFF", wave.data(), wave.size());
    return out;
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

std::vector<short> DecodeAll(SoundDecoder* decoder)
{
    std::vector<short> out, block(4096 * 2);
    while (size_t frames = decoder->Read(block.data(), 4096))
        out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(frames * decoder->channels));
    return out;
}
