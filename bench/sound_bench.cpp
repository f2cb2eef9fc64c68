// Prints figures: decoding speed of MP3 and OGG, the folder scan against
// one ordered insert after another, and the ASX reader against one-byte
// reads. Run by scripts/bench.sh after the tests made their media.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "decoders.h"
#include "medialist.h"
#include "soundtest.h"
#include "stopwatch.h"

static void DecodeSpeed(const wchar_t* name)
{
    SoundDecoder* decoder = OpenSoundDecoder(Narrow(TestMediaPath(name)).c_str());
    if (decoder == nullptr) {
        printf("%-12s cannot be opened\n", Narrow(name).c_str());
        return;
    }
    std::vector<short> block(4096 * 2);
    double frames = 0;
    LARGE_INTEGER start = Now();
    while (Seconds(start) < 3.0) {
        size_t got = decoder->Read(block.data(), 4096);
        if (got == 0)
            decoder->Rewind();
        frames += got;
    }
    double audio = frames / decoder->rate;
    printf("decode %-10s %6.1f s of audio in %.2f s: %6.0fx real time\n", Narrow(name).c_str(),
           audio, Seconds(start), audio / Seconds(start));
    delete decoder;
}

static bool SamePaths(MediaNode* a, MediaNode* b)
{
    for (; a != nullptr && b != nullptr; a = a->next, b = b->next)
        if (wcscmp(a->path, b->path) != 0)
            return false;
    return a == nullptr && b == nullptr;
}

static size_t Count(MediaNode* list)
{
    size_t n = 0;
    for (; list != nullptr; list = list->next)
        n++;
    return n;
}

static void ScanSpeed(const TempFolder& root)
{
    // 500 folders of 40 files, names repeating across folders.
    for (int d = 0; d < 500; d++) {
        std::wstring folder = root / (L"album" + std::to_wstring(d));
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int f = 0; f < 40; f++) {
            std::wstring name = std::to_wstring((d * 7919 + f * 104729) % 5000) + L" track.mp3";
            HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
    }
    LARGE_INTEGER start = Now();
    MediaNode* sorted = ScanFolder(root.path.c_str());
    double sortedSeconds = Seconds(start);

    start = Now();
    MediaNode* found = ScanFolderInFoundOrder(root.path.c_str());
    double searchSeconds = Seconds(start);
    start = Now();
    MediaNode* inserted = nullptr;
    for (MediaNode* n = found; n != nullptr;) {
        MediaNode* next = n->next;
        n->next = nullptr;
        inserted = InsertByFileName(inserted, n);
        n = next;
    }
    double insertSeconds = Seconds(start);
    printf("scan   %zu files in 500 folders: ScanFolder %.2f s; search %.2f s + ordered inserts %.2f s"
           " = %.2f s; same order: %s\n",
           Count(sorted), sortedSeconds, searchSeconds, insertSeconds, searchSeconds + insertSeconds,
           SamePaths(sorted, inserted) ? "yes" : "NO");
    FreeMediaList(sorted);
    FreeMediaList(inserted);
}

static void AsxSpeed(const TempFolder& root)
{
    std::vector<std::wstring> files;
    for (int i = 0; i < 20; i++) {
        files.push_back(root / (L"song" + std::to_wstring(i) + L".mp3"));
        CloseHandle(CreateFileW(files.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    std::string text = "<ASX version=\"3.0\">\r\n";
    for (int i = 0; text.size() < 5 * 1024 * 1024; i++) {
        text += "<ENTRY>\r\n  <TITLE>Track " + std::to_string(i) + "</TITLE>\r\n  <ref href=\""
              + Narrow(files[i % files.size()]) + "\"/>\r\n</ENTRY>\r\n";
    }
    text += "</ASX>\r\n";
    std::wstring path = root / L"big.asx";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);

    LARGE_INTEGER start = Now();
    PlaylistResult result;
    MediaNode* list = ReadPlaylistFile(path.c_str(), &result);
    printf("asx    %.1f MB, %zu entries: %.2f s\n", text.size() / 1048576.0, Count(list),
           Seconds(start));
    FreeMediaList(list);
}

int main()
{
    DecodeSpeed(L"plain.mp3");
    DecodeSpeed(L"mpeg1.mp3");
    DecodeSpeed(L"plain.ogg");
    DecodeSpeed(L"tagged.ogg");
    {
        TempFolder root;
        ScanSpeed(root);
    }
    {
        TempFolder root;
        AsxSpeed(root);
    }
    return 0;
}
