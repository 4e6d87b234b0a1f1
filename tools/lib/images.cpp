// images.cpp -- the image registry, grey versions, PPM output and the paint helpers
#include "images.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "paint.h"

namespace Images {
// The generators, one per image (images_walls.cpp, images_things.cpp).
image stone();
image blocks();
image tiles();
image slimepuddle();
image vesk();
image bars();
image step();
image charge();
image bribe();
image teleporter();
image guard();
}  // namespace Images

namespace Paint {

std::uint32_t hash(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^
                      static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double noise(double u, double v, int period, std::uint32_t seed)
{
    auto wrap = [period](int i) { return ((i % period) + period) % period; };
    int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
    double fu = u - iu, fv = v - iv;
    fu = fu * fu * (3.0 - 2.0 * fu);
    fv = fv * fv * (3.0 - 2.0 * fv);
    double a = rand01(wrap(iu), wrap(iv), seed), b = rand01(wrap(iu + 1), wrap(iv), seed);
    double c = rand01(wrap(iu), wrap(iv + 1), seed), d = rand01(wrap(iu + 1), wrap(iv + 1), seed);
    return (a * (1 - fu) + b * fu) * (1 - fv) + (c * (1 - fu) + d * fu) * fv;
}

double fbm(double u, double v, int period, int octaves, std::uint32_t seed)
{
    double sum = 0.0, amp = 1.0, total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise(u, v, period, seed + 101u * o);
        total += amp;
        amp *= 0.5;
        u *= 2.0;
        v *= 2.0;
        period *= 2;
    }
    return sum / total;
}

Images::image blank(int w, int h)
{
    Images::image im;
    im.width = w;
    im.height = h;
    im.rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    return im;
}

void put(Images::image& im, int x, int row, rgb c)
{
    size_t i = (static_cast<size_t>(row) * im.width + x) * 3;
    im.rgb[i] = static_cast<std::uint8_t>(std::lround(clamp01(c.r) * 255.0));
    im.rgb[i + 1] = static_cast<std::uint8_t>(std::lround(clamp01(c.g) * 255.0));
    im.rgb[i + 2] = static_cast<std::uint8_t>(std::lround(clamp01(c.b) * 255.0));
}

rgb get(const Images::image& im, int x, int row)
{
    size_t i = (static_cast<size_t>(row) * im.width + x) * 3;
    return {im.rgb[i] / 255.0, im.rgb[i + 1] / 255.0, im.rgb[i + 2] / 255.0};
}

}  // namespace Paint

namespace Images {

const std::vector<std::string>& names()
{
    static const std::vector<std::string> all = {"stone", "blocks", "tiles",  "slimepuddle", "vesk",  "bars",
                                                 "step",  "charge", "bribe", "teleporter",  "guard"};
    return all;
}

image make(const std::string& name)
{
    if (name == "stone") return stone();
    if (name == "blocks") return blocks();
    if (name == "tiles") return tiles();
    if (name == "slimepuddle") return slimepuddle();
    if (name == "vesk") return vesk();
    if (name == "bars") return bars();
    if (name == "step") return step();
    if (name == "charge") return charge();
    if (name == "bribe") return bribe();
    if (name == "teleporter") return teleporter();
    if (name == "guard") return guard();
    throw std::invalid_argument("no image named '" + name + "'");
}

image grey(const image& im)
{
    image g = im;
    for (size_t i = 0; i + 2 < g.rgb.size(); i += 3) {
        double y = 0.299 * im.rgb[i] + 0.587 * im.rgb[i + 1] + 0.114 * im.rgb[i + 2];
        auto v = static_cast<std::uint8_t>(std::lround(y));
        g.rgb[i] = g.rgb[i + 1] = g.rgb[i + 2] = v;
    }
    return g;
}

image flipped(const image& im)
{
    image f = im;
    size_t row = static_cast<size_t>(im.width) * 3;
    for (int r = 0; r < im.height; ++r)
        std::copy(im.rgb.begin() + r * row, im.rgb.begin() + (r + 1) * row,
                  f.rgb.begin() + (im.height - 1 - r) * row);
    return f;
}

std::string ppm(const image& im)
{
    std::string out = "P6\n" + std::to_string(im.width) + " " + std::to_string(im.height) + "\n255\n";
    out.append(reinterpret_cast<const char*>(im.rgb.data()), im.rgb.size());
    return out;
}

namespace {
void writefile(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) throw std::runtime_error("cannot write " + path);
}
}  // namespace

void writeall(const std::string& dir)
{
    for (const std::string& n : names()) {
        image im = make(n);
        writefile(dir + "/" + n + ".ppm", ppm(im));
        writefile(dir + "/" + n + "_grey.ppm", ppm(grey(im)));
    }
}

}  // namespace Images
