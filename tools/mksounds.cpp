// Writes the program's default sounds as 16-bit mono WAV files at 22050 Hz:
// the alarm buzzer, the chime bell, the countdown buzzer and the short tone
// of the volume preview. Runs on the build machine.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRate = 22050;
const double kPi = 3.14159265358979323846;

void Put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteWav(const std::string& path, const std::vector<double>& samples)
{
    std::vector<uint8_t> out;
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out.insert(out.end(), { 'R', 'I', 'F', 'F' });
    Put32(out, 36 + dataBytes);
    out.insert(out.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    Put32(out, 16);
    Put16(out, 1);             // PCM
    Put16(out, 1);             // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), { 'd', 'a', 't', 'a' });
    Put32(out, dataBytes);
    for (double s : samples) {
        double clipped = s > 1.0 ? 1.0 : (s < -1.0 ? -1.0 : s);
        Put16(out, static_cast<unsigned>(static_cast<int16_t>(std::lround(clipped * 30000.0))) & 0xFFFF);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

// A short fade in and out keeps the edges from clicking.
double Envelope(size_t i, size_t count)
{
    const double fade = kRate * 0.005;
    double in = i / fade, out = (count - 1 - i) / fade;
    double e = in < out ? in : out;
    return e < 1.0 ? e : 1.0;
}

// A rasping buzzer: a square wave with odd harmonics, in bursts.
std::vector<double> Buzzer(double frequency, int bursts, double onSeconds, double offSeconds)
{
    std::vector<double> samples;
    size_t on = static_cast<size_t>(onSeconds * kRate), off = static_cast<size_t>(offSeconds * kRate);
    for (int b = 0; b < bursts; b++) {
        for (size_t i = 0; i < on; i++) {
            double t = static_cast<double>(i) / kRate, s = 0;
            for (int h = 1; h <= 9; h += 2)
                s += std::sin(2 * kPi * frequency * h * t) / h;
            samples.push_back(0.8 * s * Envelope(i, on));
        }
        samples.insert(samples.end(), off, 0.0);
    }
    return samples;
}

// A struck bell: inharmonic partials that die away.
std::vector<double> Bell(double frequency, double seconds)
{
    static const double kPartials[][3] = {  // ratio, level, decay per second
        { 0.5, 0.30, 1.2 }, { 1.0, 0.55, 1.6 }, { 1.19, 0.25, 2.4 },
        { 1.56, 0.20, 3.0 }, { 2.0, 0.20, 3.5 }, { 2.74, 0.12, 5.0 }, { 3.76, 0.08, 6.5 },
    };
    size_t count = static_cast<size_t>(seconds * kRate);
    std::vector<double> samples(count);
    for (size_t i = 0; i < count; i++) {
        double t = static_cast<double>(i) / kRate, s = 0;
        for (const auto& p : kPartials)
            s += p[1] * std::exp(-p[2] * t) * std::sin(2 * kPi * frequency * p[0] * t);
        samples[i] = 0.9 * s * Envelope(i, count);
    }
    return samples;
}

std::vector<double> Tone(double frequency, double seconds)
{
    size_t count = static_cast<size_t>(seconds * kRate);
    std::vector<double> samples(count);
    for (size_t i = 0; i < count; i++)
        samples[i] = 0.7 * std::sin(2 * kPi * frequency * i / kRate) * Envelope(i, count);
    return samples;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mksounds FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = WriteWav(folder + "/buzz.wav", Buzzer(220, 4, 0.25, 0.1))
           && WriteWav(folder + "/CBell.wav", Bell(880, 2.0))
           && WriteWav(folder + "/CBuzzer.wav", Buzzer(440, 3, 0.15, 0.1))
           && WriteWav(folder + "/volume.wav", Tone(1000, 0.4));
    if (!ok)
        std::fprintf(stderr, "mksounds: cannot write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
