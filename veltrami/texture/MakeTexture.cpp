// Writes the rotor's texture: a 24-bit Windows bitmap, 256 x 64, wrapped once around
// the rotor's rim (width around, height across). Sixteen sectors of two steel tones with
// one orange marker sector, dark seams between them and dark bands along both edges,
// so that the rotor's turning shows even at half strength under decal mode.
//
// Usage: veltrami_make_texture <output.bmp>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

constexpr int Width = 256;  // powers of two, as OpenGL 1.x requires
constexpr int Height = 64;
constexpr int Sectors = 16;
constexpr int SectorWidth = Width / Sectors;
constexpr int Band = 6;  // rim edge bands, in texels

struct Rgb {
    std::uint8_t r, g, b;
};

Rgb TexelAt(int x, int y)
{
    const Rgb light{214, 218, 224};
    const Rgb dark{70, 92, 128};
    const Rgb marker{255, 140, 0};
    const Rgb seam{24, 24, 32};
    if (y < Band || y >= Height - Band)
        return seam;
    const int sector = x / SectorWidth;
    const int inSector = x % SectorWidth;
    if (inSector == 0)
        return seam;
    if (sector == 0) {
        // A chevron on the marker sector: which way the rim runs.
        const int middle = Height / 2;
        const int reach = (y < middle ? y - Band : Height - Band - 1 - y) / 3;
        return (inSector == 2 + reach || inSector == 3 + reach) ? Rgb{255, 255, 255} : marker;
    }
    return sector % 2 ? dark : light;
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output.bmp>\n";
        return 2;
    }
    constexpr std::uint32_t rowBytes = Width * 3;  // already a multiple of four
    constexpr std::uint32_t pixelBytes = rowBytes * Height;
    constexpr std::uint32_t headerBytes = 14 + 40;

    std::vector<std::uint8_t> file;
    file.reserve(headerBytes + pixelBytes);
    // BITMAPFILEHEADER
    file.push_back('B');
    file.push_back('M');
    PutLE(file, headerBytes + pixelBytes, 4);
    PutLE(file, 0, 4);
    PutLE(file, headerBytes, 4);
    // BITMAPINFOHEADER: bottom-up rows, no compression, 72 dpi
    PutLE(file, 40, 4);
    PutLE(file, Width, 4);
    PutLE(file, Height, 4);
    PutLE(file, 1, 2);
    PutLE(file, 24, 2);
    PutLE(file, 0, 4);
    PutLE(file, pixelBytes, 4);
    PutLE(file, 2835, 4);
    PutLE(file, 2835, 4);
    PutLE(file, 0, 4);
    PutLE(file, 0, 4);
    for (int row = Height - 1; row >= 0; --row) {
        for (int x = 0; x < Width; ++x) {
            const Rgb texel = TexelAt(x, row);
            file.push_back(texel.b);
            file.push_back(texel.g);
            file.push_back(texel.r);
        }
    }

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::cerr << "cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
