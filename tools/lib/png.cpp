// png.cpp -- PNG writer: IHDR, one IDAT of stored deflate blocks, IEND
#include "png.h"

#include <array>
#include <fstream>
#include <stdexcept>

namespace Png {

namespace {
void be32(std::string& out, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

void chunk(std::string& out, const char* type, const std::string& data)
{
    be32(out, static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    be32(out, crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}
}  // namespace

std::uint32_t crc32(const unsigned char* data, std::size_t n, std::uint32_t crc)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t adler32(const unsigned char* data, std::size_t n)
{
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < n; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::string encode(const Images::image& im)
{
    if (im.width <= 0 || im.height <= 0 || im.rgb.size() != static_cast<size_t>(im.width) * im.height * 3)
        throw std::invalid_argument("png: image size does not match its pixels");
    // Raw scanlines, each with filter type 0.
    std::string raw;
    size_t stride = static_cast<size_t>(im.width) * 3;
    raw.reserve((stride + 1) * im.height);
    for (int r = 0; r < im.height; ++r) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char*>(im.rgb.data()) + r * stride, stride);
    }
    // zlib stream: header, stored blocks of at most 65535 bytes, Adler-32.
    std::string z = "\x78\x01";
    size_t pos = 0;
    do {
        size_t len = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + len == raw.size();
        z.push_back(last ? '\1' : '\0');
        z.push_back(static_cast<char>(len & 0xFF));
        z.push_back(static_cast<char>(len >> 8));
        z.push_back(static_cast<char>(~len & 0xFF));
        z.push_back(static_cast<char>((~len >> 8) & 0xFF));
        z.append(raw, pos, len);
        pos += len;
    } while (pos < raw.size());
    be32(z, adler32(reinterpret_cast<const unsigned char*>(raw.data()), raw.size()));

    std::string out = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    be32(ihdr, static_cast<std::uint32_t>(im.width));
    be32(ihdr, static_cast<std::uint32_t>(im.height));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", "");
    return out;
}

void write(const std::string& path, const Images::image& im)
{
    std::string bytes = encode(im);
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace Png
