// The file access shared by the decoders, the WAV decoder and the choice of
// decoder.
#include "decoders.h"

#include <math.h>
#include <string.h>

#include "bytes.h"
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

bool SoundFile::Open(const SoundSource& source)
{
    Close();
    failed = false;
    if (source.bytes != nullptr) {
        bytes = source.bytes;
        size = source.length;
        return true;
    }
    std::wstring wide;
    if (source.fileName == nullptr || !WideFileName(source.fileName, &wide))
        return false;
    // Shared as stdio shares it: a song can be replaced or deleted while it
    // plays, and the decoder notices what is missing.
    handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    // A console or a device read here could block for ever.
    LARGE_INTEGER length;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &length)) {
        Close();
        return false;
    }
    size = static_cast<uint64_t>(length.QuadPart);
    return true;
}

size_t SoundFile::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= size)
        return 0;
    if (count > size - offset)
        count = static_cast<size_t>(size - offset);
    if (bytes != nullptr) {
        memcpy(buffer, bytes + offset, count);
        return count;
    }
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &got, &at))
        got = 0;
    // Less than the file held at open: it was cut or replaced meanwhile.
    if (got < count)
        failed = true;
    return got;
}

bool SoundFile::Shrunk() const
{
    LARGE_INTEGER length;
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    return !GetFileSizeEx(handle, &length) || static_cast<uint64_t>(length.QuadPart) < size;
}

void SoundFile::Close()
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    bytes = nullptr;
}

namespace {

// Headers with more than this in front of their samples are refused.
const size_t kWavHeaderLimit = 1 << 20;
// Less sound than this is refused: no one would hear it.
const int kShortestSoundMs = 10;

// G.711 expanded to 16 bits.
short MuLawSample(uint8_t code)
{
    code = static_cast<uint8_t>(~code);
    int magnitude = (((code & 0x0F) << 3) + 0x84) << ((code & 0x70) >> 4);
    return static_cast<short>((code & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

short ALawSample(uint8_t code)
{
    code ^= 0x55;
    int magnitude = (code & 0x0F) << 4;
    int segment = (code & 0x70) >> 4;
    if (segment == 0)
        magnitude += 8;
    else
        magnitude = (magnitude + 0x108) << (segment - 1);
    return static_cast<short>((code & 0x80) ? magnitude : -magnitude);
}

short FloatSample(double value)
{
    double scaled = value * 32768.0;
    if (!(scaled > -32768.0))   // NaN too
        return scaled != scaled ? 0 : -32768;
    if (scaled >= 32767.0)
        return 32767;
    return static_cast<short>(floor(scaled + 0.5));
}

short WavSample(const uint8_t* p, const WavFormat& format)
{
    switch (format.encoding) {
    case WAV_FLOAT:
        if (format.bits == 32) {
            uint32_t word = Le32(p);
            float value;
            memcpy(&value, &word, sizeof(value));
            return FloatSample(value);
        } else {
            uint64_t word = Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32;
            double value;
            memcpy(&value, &word, sizeof(value));
            return FloatSample(value);
        }
    case WAV_ALAW:
        return ALawSample(p[0]);
    case WAV_MULAW:
        return MuLawSample(p[0]);
    default:
        // Wider samples keep their top 16 bits; 8 bits are unsigned.
        if (format.bits == 8)
            return static_cast<short>((p[0] - 128) * 256);
        return static_cast<short>(Le16(p + format.bits / 8 - 2));
    }
}

struct WavDecoder : SoundDecoder {
    SoundFile file;
    WavFormat format = {};
    uint64_t position = 0;  // bytes of samples handed out
    std::vector<uint8_t> block;

    size_t Read(short* out, size_t frames) override
    {
        size_t sampleBytes = static_cast<size_t>(format.bits / 8);
        size_t frameBytes = static_cast<size_t>(channels) * sampleBytes;
        uint64_t left = (format.dataBytes - position) / frameBytes;
        if (frames > left)
            frames = static_cast<size_t>(left);
        if (frames == 0)
            return 0;
        block.resize(frames * frameBytes);
        size_t got = file.ReadAt(format.dataOffset + position, block.data(), block.size());
        got -= got % frameBytes;
        for (size_t i = 0; i < got / sampleBytes; i++)
            out[i] = WavSample(block.data() + i * sampleBytes, format);
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

SoundDecoder* OpenWavDecoder(const SoundSource& source)
{
    WavDecoder* decoder = new WavDecoder;
    if (decoder->file.Open(source)) {
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

SoundDecoder* OpenSoundDecoder(const SoundSource& source)
{
    SoundFile file;
    if (!file.Open(source))
        return nullptr;
    uint8_t magic[12] = {};
    size_t got = file.ReadAt(0, magic, sizeof(magic));
    file.Close();
    SoundDecoder* decoder;
    if (got >= 12 && memcmp(magic, "RIFF", 4) == 0 && memcmp(magic + 8, "WAVE", 4) == 0)
        decoder = OpenWavDecoder(source);
    else if (got >= 4 && memcmp(magic, "OggS", 4) == 0)
        decoder = OpenOggDecoder(source);
    else
        decoder = OpenMp3Decoder(source);
    if (decoder == nullptr)
        return nullptr;
    if (decoder->channels < 1 || decoder->channels > WAV_MAX_CHANNELS) {
        delete decoder;
        return nullptr;
    }
    // Silence would be played in place of an alarm: the caller must rather
    // fall back to a sound that plays.
    size_t want = static_cast<size_t>(decoder->rate / (1000 / kShortestSoundMs));
    std::vector<short> probe(want * static_cast<size_t>(decoder->channels));
    size_t frames = 0;
    while (frames < want) {
        size_t got = decoder->Read(probe.data() + frames * decoder->channels, want - frames);
        if (got == 0)
            break;
        frames += got;
    }
    if (frames < want || decoder->ReadFailed() || !decoder->Rewind()) {
        delete decoder;
        return nullptr;
    }
    return decoder;
}

SoundDecoder* OpenSoundDecoder(const char* fileName)
{
    SoundSource source;
    source.fileName = fileName;
    return OpenSoundDecoder(source);
}
