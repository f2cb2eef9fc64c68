// Draws the clock face, player-button, menu-bar and logo bitmaps and the
// program's icon, and writes them as BMP and ICO files for the resource
// compiler. Runs on the build machine; the output depends on nothing but
// this file, so every build draws the same pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The 16-colour palette of the 4-bit bitmaps.
enum Colour {
    Black, Yellow, White, Green, Grey, Red, LightGrey, Magenta,
    DarkYellow, DarkGreen, Blue, Navy, DarkGrey, Cyan, Orange, DarkRed,
};
const uint32_t palette16[16] = {
    0x000000, 0xFFFF00, 0xFFFFFF, 0x00FF00, 0x808080, 0xFF0000, 0xC0C0C0, 0xFF00FF,
    0x808000, 0x008000, 0x0000FF, 0x000080, 0x404040, 0x00FFFF, 0xFF8000, 0x800000,
};

struct Canvas {
    int width, height;
    std::vector<uint8_t> index;
    Canvas(int w, int h, int fill = Black) : width(w), height(h), index(size_t(w) * h, uint8_t(fill)) {}
    void Set(int x, int y, int c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            index[size_t(y) * width + x] = uint8_t(c);
    }
    void Fill(int x0, int y0, int x1, int y1, int c)  // inclusive corners
    {
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++)
                Set(x, y, c);
    }
    void Disc(double cx, double cy, double r, int c)
    {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    Set(x, y, c);
    }
    void Ring(double cx, double cy, double r0, double r1, int c)
    {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
                if (d >= r0 && d <= r1)
                    Set(x, y, c);
            }
    }
    // A filled triangle pointing right (dir 1) or left (dir -1).
    void Triangle(int x0, int y0, int w, int h, int dir, int c)
    {
        for (int y = 0; y < h; y++) {
            double half = (h - 1) / 2.0;
            double span = w * (1.0 - std::fabs(y - half) / half);
            for (int x = 0; x < w; x++)
                if (x + 0.5 <= span + 0.5)
                    Set(dir > 0 ? x0 + x : x0 + w - 1 - x, y0 + y, c);
        }
    }
    void Line(double xa, double ya, double xb, double yb, double thick, int c)
    {
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) {
                double dx = xb - xa, dy = yb - ya;
                double t = ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy);
                if (t < 0 || t > 1)
                    continue;
                double px = xa + t * dx - x, py = ya + t * dy - y;
                if (px * px + py * py <= thick * thick / 4)
                    Set(x, y, c);
            }
    }
};

// Segments: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle; two extra half-height bars in the middle column
// make M and W.
enum { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64, MidTop = 128, MidBottom = 256 };
const int digitSegments[10] = {
    A | B | C | D | E | F, B | C, A | B | D | E | G, A | B | C | D | G, B | C | F | G,
    A | C | D | F | G, A | C | D | E | F | G, A | B | C, A | B | C | D | E | F | G,
    A | B | C | D | F | G,
};

int LetterSegments(char ch)
{
    switch (ch) {
    case 'A': return A | B | C | E | F | G;
    case 'P': return A | B | E | F | G;
    case 'M': return A | B | C | E | F | MidTop;
    case 'C': return A | D | E | F;
    case 'O': return A | B | C | D | E | F;
    case 'U': return B | C | D | E | F;
    case 'N': return A | B | C | E | F;
    case 'T': return D | E | F | G;
    case 'D': return B | C | D | E | G;
    case 'W': return B | C | D | E | F | MidBottom;
    }
    return 0;
}

// Bevelled segments meet with a one-pixel gap, as on a real display.
void HorizontalSegment(Canvas& cv, int xl, int xr, int y, int half, int c)
{
    for (int dy = -half; dy <= half; dy++)
        for (int x = xl + 1 + std::abs(dy); x <= xr - 1 - std::abs(dy); x++)
            cv.Set(x, y + dy, c);
}

void VerticalSegment(Canvas& cv, int x, int yt, int yb, int half, int c)
{
    for (int dx = -half; dx <= half; dx++)
        for (int y = yt + 1 + std::abs(dx); y <= yb - 1 - std::abs(dx); y++)
            cv.Set(x + dx, y, c);
}

// Draws a seven-segment glyph into the box (x, y, w, h) with segments
// 2 * half + 1 pixels thick.
void SegmentGlyph(Canvas& cv, int segments, int x, int y, int w, int h, int half, int c)
{
    int xl = x + half, xr = x + w - 1 - half;
    int yt = y + half, yb = y + h - 1 - half, ym = (yt + yb) / 2;
    int xm = (xl + xr) / 2;
    if (segments & A) HorizontalSegment(cv, xl, xr, yt, half, c);
    if (segments & G) HorizontalSegment(cv, xl, xr, ym, half, c);
    if (segments & D) HorizontalSegment(cv, xl, xr, yb, half, c);
    if (segments & F) VerticalSegment(cv, xl, yt, ym, half, c);
    if (segments & E) VerticalSegment(cv, xl, ym, yb, half, c);
    if (segments & B) VerticalSegment(cv, xr, yt, ym, half, c);
    if (segments & C) VerticalSegment(cv, xr, ym, yb, half, c);
    if (segments & MidTop) VerticalSegment(cv, xm, yt, ym, half, c);
    if (segments & MidBottom) VerticalSegment(cv, xm, ym, yb, half, c);
}

void SegmentText(Canvas& cv, const char* text, int x, int y, int w, int h, int half, int step,
                 bool vertical, int c)
{
    for (int i = 0; text[i]; i++) {
        int gx = vertical ? x : x + i * step, gy = vertical ? y + i * step : y;
        SegmentGlyph(cv, LetterSegments(text[i]), gx, gy, w, h, half, c);
    }
}

// ---- BMP files ---------------------------------------------------------------

void Put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string outputDir;
int filesWritten;

void WriteFile(const std::string& name, const std::vector<uint8_t>& out)
{
    std::string path = outputDir + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size()
        || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    filesWritten++;
}

void WriteBmp(const std::string& name, const Canvas& cv, int bits, const uint32_t* colours)
{
    int paletteSize = 1 << bits;
    int rowBytes = ((cv.width * bits + 31) / 32) * 4;
    uint32_t offset = 14 + 40 + paletteSize * 4;
    uint32_t imageSize = uint32_t(rowBytes) * cv.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, uint32_t(cv.width));
    Put32(out, uint32_t(cv.height));
    Put16(out, 1);
    Put16(out, unsigned(bits));
    Put32(out, 0);          // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);       // 72 dpi
    Put32(out, 2835);
    Put32(out, uint32_t(paletteSize));
    Put32(out, 0);
    for (int i = 0; i < paletteSize; i++)
        Put32(out, colours[i]);  // stored as blue, green, red, 0
    for (int y = cv.height - 1; y >= 0; y--) {
        std::vector<uint8_t> row(size_t(rowBytes), 0);
        for (int x = 0; x < cv.width; x++) {
            uint8_t v = cv.index[size_t(y) * cv.width + x];
            if (bits == 8)
                row[size_t(x)] = v;
            else
                row[size_t(x / 2)] |= uint8_t((x % 2) ? v : v << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    WriteFile(name, out);
}

void Write4(const std::string& name, const Canvas& cv)
{
    WriteBmp(name, cv, 4, palette16);
}

// ---- the pictures ------------------------------------------------------------

void Digits(const char* prefix, int height, int zeroHeight, int half)
{
    for (int d = 0; d <= 9; d++) {
        int h = d == 0 ? zeroHeight : height;
        Canvas cv(40, h);
        SegmentGlyph(cv, digitSegments[d], 3, 3, 34, h - 6, half, Yellow);
        Write4(std::string(prefix) + "_digit" + char('0' + d) + ".bmp", cv);
    }
    Canvas colon(20, height);
    int r = half + 2;
    colon.Fill(10 - r, height / 3 - r, 9 + r, height / 3 + r, Yellow);
    colon.Fill(10 - r, 2 * height / 3 - r, 9 + r, 2 * height / 3 + r, Yellow);
    Write4(std::string(prefix) + "_colon.bmp", colon);
    Write4(std::string(prefix) + "_colon_off.bmp", Canvas(21, height));
    Write4(std::string(prefix) + "_blank.bmp", Canvas(40, height));
}

// Two words side by side or one above the other; the highlighted one is
// drawn inverse in a filled box.
void AmPmWord(Canvas& cv, const char* word, int x, int y, int boxW, int boxH, bool lit)
{
    if (lit)
        cv.Fill(x, y, x + boxW - 1, y + boxH - 1, Yellow);
    int glyphW = (boxW - 9) / 2, glyphH = boxH - 6;
    SegmentText(cv, word, x + 3, y + 3, glyphW, glyphH, 1, glyphW + 3, false,
                lit ? Black : Yellow);
}

void AmPm()
{
    for (int pm = 0; pm <= 1; pm++) {
        // Drawn 20 pixels into the clock, whose digits are centred 110 in:
        // the two words are centred on 90.
        Canvas strip(201, pm ? 23 : 22);
        AmPmWord(strip, "AM", 42, 1, 40, 20, !pm);
        AmPmWord(strip, "PM", 98, 1, 40, 20, pm);
        Write4(pm ? "ampm_strip_pm.bmp" : "ampm_strip_am.bmp", strip);

        Canvas block(48, 48);
        AmPmWord(block, "AM", 2, 2, 44, 21, !pm);
        AmPmWord(block, "PM", 2, 25, 44, 21, pm);
        Write4(pm ? "ampm_block_pm.bmp" : "ampm_block_am.bmp", block);
    }
}

void CountdownLabels()
{
    // Nine letters 20 apart, centred on 90 like the AM/PM words.
    Canvas across(200, 22);
    SegmentText(across, "COUNTDOWN", 2, 3, 16, 16, 1, 20, false, Yellow);
    Write4("countdown_across.bmp", across);

    // Stacked letters this small need one-pixel strokes to stay readable.
    Canvas down(22, 131);
    SegmentText(down, "COUNTDOWN", 5, 1, 12, 13, 0, 14, true, Yellow);
    Write4("countdown_down.bmp", down);
}

// A round black button with a glyph; outside the disc the window's grey.
// The button is shown in a 26 x 26 square: the disc is centred in that.
enum Glyph { Play, Stop, Pause, Previous, Next };

void PlayerButton(const std::string& name, Glyph glyph, int c)
{
    Canvas cv(27, 27, LightGrey);
    cv.Disc(12.5, 12.5, 12.7, DarkGrey);
    cv.Disc(12.5, 12.5, 11.7, Black);
    switch (glyph) {
    case Play: cv.Triangle(9, 7, 10, 12, 1, c); break;
    case Stop: cv.Fill(8, 8, 17, 17, c); break;
    case Pause: cv.Fill(8, 7, 11, 18, c); cv.Fill(14, 7, 17, 18, c); break;
    case Previous: cv.Fill(5, 8, 6, 17, c); cv.Triangle(7, 8, 7, 10, -1, c);
        cv.Triangle(13, 8, 7, 10, -1, c); break;
    case Next: cv.Triangle(6, 8, 7, 10, 1, c); cv.Triangle(12, 8, 7, 10, 1, c);
        cv.Fill(19, 8, 20, 17, c); break;
    }
    Write4(name, cv);
}

void PlayerButtons()
{
    PlayerButton("play_yellow.bmp", Play, Yellow);
    PlayerButton("play_green.bmp", Play, Green);
    PlayerButton("stop_yellow.bmp", Stop, Yellow);
    PlayerButton("stop_green.bmp", Stop, Green);
    PlayerButton("pause_yellow.bmp", Pause, Yellow);
    PlayerButton("pause_green.bmp", Pause, Green);
    PlayerButton("previous_yellow.bmp", Previous, Yellow);
    PlayerButton("previous_green.bmp", Previous, Green);
    PlayerButton("next_yellow.bmp", Next, Yellow);
    PlayerButton("next_green.bmp", Next, Green);
    PlayerButton("previous_grey.bmp", Previous, Grey);
    PlayerButton("next_grey.bmp", Next, Grey);
}

void Bell(Canvas& cv, int x, int y, int c)
{
    cv.Fill(x + 7, y + 1, x + 8, y + 2, c);              // the handle
    for (int row = 0; row < 9; row++) {                  // the dome, widening
        int half = 2 + row / 2;
        cv.Fill(x + 8 - half, y + 3 + row, x + 7 + half, y + 3 + row, c);
    }
    cv.Fill(x + 1, y + 12, x + 14, y + 12, c);           // the lip
    cv.Fill(x + 6, y + 13, x + 9, y + 14, c);            // the clapper
}

void SilencedBell()
{
    Canvas cv(16, 16);
    Bell(cv, 0, 0, Yellow);
    cv.Line(1, 1, 14, 14, 2.2, Red);
    cv.Line(14, 1, 1, 14, 2.2, Red);
    Write4("silenced.bmp", cv);
}

// Menu-bar images: cancel snooze (a bell with a dash) and settings (a
// cog wheel); magenta is transparent.
void MenuBarImages()
{
    Canvas cv(32, 16, Magenta);
    Bell(cv, 0, 0, Navy);
    cv.Fill(2, 6, 13, 8, Red);
    const double cx = 16 + 7.5, cy = 7.5;
    for (int tooth = 0; tooth < 8; tooth++) {
        double angle = tooth * 3.14159265 / 4;
        cv.Line(cx + 4 * std::cos(angle), cy + 4 * std::sin(angle), cx + 7.4 * std::cos(angle),
                cy + 7.4 * std::sin(angle), 2.8, Navy);
    }
    cv.Disc(cx, cy, 4.9, Navy);
    cv.Disc(cx, cy, 2.1, Magenta);
    Write4("menubar.bmp", cv);
}

// The time-digit editor's pictures: the colon between hour and minutes and
// the arrows of its buttons, black on the dialogs' light grey.
void TimeEditorPictures()
{
    Canvas colon(9, 18, LightGrey);
    colon.Fill(3, 4, 5, 6, Black);
    colon.Fill(3, 11, 5, 13, Black);
    Write4("time_colon.bmp", colon);
    for (int down = 0; down <= 1; down++) {
        Canvas arrow(15, 9, LightGrey);
        for (int row = 0; row < 5; row++) {
            // Rows widen away from the point: up points to the top.
            int y = down ? 6 - row : 2 + row;
            arrow.Fill(7 - row, y, 7 + row, y, Black);
        }
        Write4(down ? "arrow_down.bmp" : "arrow_up.bmp", arrow);
    }
}

// The picker's folders, open (image 0) and closed (image 1), 16 x 15 each
// side by side; green is see-through.
void FolderImages()
{
    Canvas cv(32, 15, Green);
    for (int open = 0; open <= 1; open++) {
        int x = open ? 0 : 16;
        cv.Fill(x + 1, 2, x + 6, 3, DarkYellow);          // the tab
        cv.Fill(x + 1, 4, x + 14, 13, DarkYellow);        // the back
        if (open) {
            for (int row = 0; row < 7; row++)             // the front, tipped forward
                cv.Fill(x + 3 - row / 3, 7 + row, x + 15 - row / 3, 7 + row, Yellow);
        } else {
            cv.Fill(x + 2, 6, x + 13, 12, Yellow);
        }
    }
    Write4("folders.bmp", cv);
}

// The product logo: a round yellow clock face with a wave-like loom of
// lines under its hands, on deep blue.
void Logo()
{
    uint32_t colours[256] = {};
    for (int i = 0; i < 64; i++)   // blues, dark to light
        colours[i] = uint32_t((40 + i * 2) << 0 | (10 + i) << 8 | (i / 2) << 16);
    for (int i = 0; i < 64; i++)   // yellows
        colours[64 + i] = uint32_t((i) << 0 | (160 + i + i / 2) << 8 | (160 + i + i / 2) << 16);
    colours[200] = 0x000000;
    colours[201] = 0xFFFFFF;
    colours[202] = 0xFFFF00;
    Canvas cv(120, 120);
    for (int y = 0; y < 120; y++)
        for (int x = 0; x < 120; x++)
            cv.Set(x, y, (x + y) * 63 / 238);
    for (int y = 0; y < 120; y++)
        for (int x = 0; x < 120; x++) {
            double d = std::hypot(x - 60.0, y - 60.0);
            if (d <= 50)
                cv.Set(x, y, 64 + int(63 - d));
            if (d > 46 && d <= 50)
                cv.Set(x, y, 202);
        }
    for (int h = 0; h < 12; h++) {
        double a = h * M_PI / 6;
        cv.Line(60 + 40 * std::sin(a), 60 - 40 * std::cos(a), 60 + 44 * std::sin(a),
                60 - 44 * std::cos(a), 3, 200);
    }
    cv.Line(60, 60, 60, 28, 4, 200);   // minute hand at twelve
    cv.Line(60, 60, 80, 72, 5, 200);   // hour hand near four
    cv.Disc(60, 60, 4, 5);
    for (int k = 0; k < 4; k++)
        for (int x = 18; x < 102; x++) {
            double y = 92 + k * 4 + 2.5 * std::sin((x + k * 7) / 6.0);
            cv.Set(x, int(y), 201);
        }
    WriteBmp("logo.bmp", cv, 8, colours);
}

// ---- the program's icon ------------------------------------------------------

// The logo's clock face alone, on nothing: the colour of a point of the
// unit square as 0xAARRGGBB.
uint32_t IconPoint(double x, double y)
{
    double dx = x - 0.5, dy = y - 0.5, d = std::hypot(dx, dy);
    if (d > 0.48)
        return 0;
    if (d > 0.43)
        return 0xFFFFD000;                                       // the rim
    auto nearLine = [&](double ax, double ay, double bx, double by, double thick) {
        double lx = bx - ax, ly = by - ay;
        double t = std::clamp(((x - ax) * lx + (y - ay) * ly) / (lx * lx + ly * ly), 0.0, 1.0);
        return std::hypot(ax + t * lx - x, ay + t * ly - y) <= thick / 2;
    };
    if (d < 0.045)
        return 0xFFD00000;                                       // the hub
    if (nearLine(0.5, 0.5, 0.5, 0.17, 0.06) || nearLine(0.5, 0.5, 0.69, 0.61, 0.08))
        return 0xFF000000;                                       // ten past four
    for (int h = 0; h < 12; h++) {
        double a = h * M_PI / 6;
        if (nearLine(0.5 + 0.34 * std::sin(a), 0.5 - 0.34 * std::cos(a), 0.5 + 0.4 * std::sin(a),
                     0.5 - 0.4 * std::cos(a), h % 3 ? 0.03 : 0.05))
            return 0xFF000000;
    }
    int shade = int(200 + 55 * (1 - d / 0.43));                  // lighter at the centre
    return 0xFF000000u | uint32_t(shade) << 16 | uint32_t(shade) << 8 | uint32_t(shade / 4);
}

// One image of the icon, `size` pixels square, each pixel the average of
// 4 x 4 points so that the edges are smooth: 32-bit rows bottom up, then
// the AND mask that old readers use.
std::vector<uint8_t> IconImage(int size)
{
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, uint32_t(size));
    Put32(out, uint32_t(size * 2));   // the colour rows and the mask's
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; i++)
        Put32(out, 0);
    for (int y = size - 1; y >= 0; y--)
        for (int x = 0; x < size; x++) {
            double sum[4] = {};
            for (int sy = 0; sy < 4; sy++)
                for (int sx = 0; sx < 4; sx++) {
                    uint32_t c = IconPoint((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size);
                    double alpha = (c >> 24) / 255.0;
                    for (int k = 0; k < 3; k++)
                        sum[k] += ((c >> (8 * k)) & 0xFF) * alpha;
                    sum[3] += alpha;
                }
            for (int k = 0; k < 3; k++)   // blue, green, red, premultiplied back out
                out.push_back(uint8_t(sum[3] > 0 ? std::lround(sum[k] / sum[3]) : 0));
            out.push_back(uint8_t(std::lround(sum[3] / 16 * 255)));
        }
    int maskRow = ((size + 31) / 32) * 4;
    out.insert(out.end(), size_t(maskRow) * size, 0);   // the alpha decides
    return out;
}

// wakeloom.ico, in the sizes Windows asks for from the taskbar to a large
// Start tile; the desktop entry on Linux is made from it too.
void ProgramIcon()
{
    const int sizes[] = { 16, 24, 32, 48, 64, 256 };
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes)
        images.push_back(IconImage(size));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);   // an icon
    Put16(out, unsigned(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); i++) {
        out.push_back(uint8_t(sizes[i] & 0xFF));   // 256 is written as 0
        out.push_back(uint8_t(sizes[i] & 0xFF));
        Put16(out, 0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, uint32_t(images[i].size()));
        Put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    WriteFile("wakeloom.ico", out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    outputDir = argv[1];
    Digits("portrait", 120, 120, 3);
    Digits("landscape", 90, 90, 2);
    Digits("square", 70, 69, 2);
    AmPm();
    CountdownLabels();
    PlayerButtons();
    SilencedBell();
    MenuBarImages();
    TimeEditorPictures();
    FolderImages();
    Logo();
    ProgramIcon();
    std::printf("%d pictures written to %s\n", filesWritten, outputDir.c_str());
    return 0;
}
