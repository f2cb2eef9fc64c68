#include "soundtest.h"

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

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter;
    path = std::wstring(temp) + L"wkl" + std::to_wstring(GetCurrentProcessId()) + L"_"
         + std::to_wstring(++counter);
    if (path.back() == L'\\')
        path.pop_back();
    RemoveTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(path);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = bytes.empty()
           || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
               && written == bytes.size());
    CloseHandle(file);
    return ok;
}

std::vector<BYTE> ReadBytes(const std::wstring& path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
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

static void Put(std::vector<BYTE>& out, DWORD value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

std::vector<BYTE> MakeWav(const std::vector<short>& samples, int channels, int rate, int bits)
{
    std::vector<BYTE> data;
    for (short s : samples) {
        if (bits == 8)
            data.push_back(static_cast<BYTE>((s >> 8) + 128));
        else
            Put(data, static_cast<WORD>(s), 2);
    }
    std::vector<BYTE> out = { 'R', 'I', 'F', 'F' };
    Put(out, static_cast<DWORD>(36 + data.size()), 4);
    for (char c : std::string("WAVEfmt "))
        out.push_back(static_cast<BYTE>(c));
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, static_cast<DWORD>(channels), 2);
    Put(out, static_cast<DWORD>(rate), 4);
    Put(out, static_cast<DWORD>(rate * channels * bits / 8), 4);
    Put(out, static_cast<DWORD>(channels * bits / 8), 2);
    Put(out, static_cast<DWORD>(bits), 2);
    for (char c : std::string("data"))
        out.push_back(static_cast<BYTE>(c));
    Put(out, static_cast<DWORD>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
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
