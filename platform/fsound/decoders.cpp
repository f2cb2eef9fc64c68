// The file access shared by the decoders, the WAV decoder and the choice of
// decoder.
#include "decoders.h"

#include <string.h>

#include "mpegaudio.h"
#include "wavheader.h"

bool WideFileName(const char* fileName, std::wstring* wide)
{
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fileName, -1, nullptr, 0);
    if (units <= 0)
        return false;
    wide->assign(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, fileName, -1, &(*wide)[0], units) != units)
        return false;
    wide->resize(static_cast<size_t>(units - 1));
    return true;
}

bool SoundFile::Open(const char* fileName)
{
    Close();
    std::wstring wide;
    if (!WideFileName(fileName, &wide))
        return false;
    // Shared as stdio shares it: a song can be replaced or deleted while it
    // plays, and the decoder copes with what is left.
    handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER length;
    if (!GetFileSizeEx(handle, &length)) {
        Close();
        return false;
    }
    size = static_cast<uint64_t>(length.QuadPart);
    return true;
}

size_t SoundFile::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (handle == INVALID_HANDLE_VALUE || offset >= size)
        return 0;
    if (count > size - offset)
        count = static_cast<size_t>(size - offset);
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &got, &at)) {
        failed = true;
        return 0;
    }
    return got;
}

void SoundFile::Close()
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

namespace {

// Headers with more than this in front of their samples are refused.
const size_t kWavHeaderLimit = 1 << 20;

struct WavDecoder : SoundDecoder {
    SoundFile file;
    WavFormat format = {};
    uint64_t position = 0;  // bytes of samples handed out
    std::vector<uint8_t> block;

    size_t Read(short* out, size_t frames) override
    {
        size_t frameBytes = static_cast<size_t>(channels * format.bits / 8);
        uint64_t left = (format.dataBytes - position) / frameBytes;
        if (frames > left)
            frames = static_cast<size_t>(left);
        if (frames == 0)
            return 0;
        size_t bytes = frames * frameBytes;
        if (format.bits == 16) {
            // Little-endian 16-bit PCM is what waveOut takes.
            size_t got = file.ReadAt(format.dataOffset + position, out, bytes);
            got -= got % frameBytes;
            position += got;
            return got / frameBytes;
        }
        block.resize(bytes);
        size_t got = file.ReadAt(format.dataOffset + position, block.data(), bytes);
        got -= got % frameBytes;
        for (size_t i = 0; i < got; i++)
            out[i] = static_cast<short>((block[i] - 128) << 8);
        position += got;
        return got / frameBytes;
    }

    bool Rewind() override
    {
        position = 0;
        return true;
    }

    bool ReadFailed() const override { return file.failed; }
};

} // namespace

SoundDecoder* OpenWavDecoder(const char* fileName)
{
    WavDecoder* decoder = new WavDecoder;
    if (decoder->file.Open(fileName)) {
        size_t headBytes = static_cast<size_t>(
            decoder->file.size < kWavHeaderLimit ? decoder->file.size : kWavHeaderLimit);
        std::vector<uint8_t> head(headBytes);
        headBytes = decoder->file.ReadAt(0, head.data(), headBytes);
        if (ParseWavHeader(head.data(), headBytes, decoder->file.size, &decoder->format)
            && decoder->format.dataBytes > 0) {
            decoder->rate = decoder->format.rate;
            decoder->channels = decoder->format.channels;
            return decoder;
        }
    }
    delete decoder;
    return nullptr;
}

SoundDecoder* OpenSoundDecoder(const char* fileName)
{
    SoundFile file;
    if (fileName == nullptr || !file.Open(fileName))
        return nullptr;
    uint8_t magic[12] = {};
    size_t got = file.ReadAt(0, magic, sizeof(magic));
    file.Close();
    SoundDecoder* decoder;
    if (got >= 12 && memcmp(magic, "RIFF", 4) == 0 && memcmp(magic + 8, "WAVE", 4) == 0)
        decoder = OpenWavDecoder(fileName);
    else if (got >= 4 && memcmp(magic, "OggS", 4) == 0)
        decoder = OpenOggDecoder(fileName);
    else
        decoder = OpenMp3Decoder(fileName);
    if (decoder == nullptr)
        return nullptr;
    // Silence would be played in place of an alarm: the caller must rather
    // fall back to a sound that plays.
    std::vector<short> probe(static_cast<size_t>(decoder->channels));
    if (decoder->channels < 1 || decoder->channels > 2 || decoder->Read(probe.data(), 1) == 0
        || !decoder->Rewind()) {
        delete decoder;
        return nullptr;
    }
    return decoder;
}
