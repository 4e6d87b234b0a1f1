// texhelp.cpp -- reading binary PPM images (P6, one byte per sample)
#include "render/texhelp.h"

#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>  // nothrow

namespace {

// Bytes held in memory.
struct memsource {
    const unsigned char* p;
    const unsigned char* end;
    int get() { return p < end ? *p++ : EOF; }
    void unget(int) { --p; }
    std::uint64_t left() const { return static_cast<std::uint64_t>(end - p); }
    bool read(unsigned char* dst, std::size_t n)
    {
        if (left() < n) return false;
        std::memcpy(dst, p, n);
        p += n;
        return true;
    }
};

// An open regular file of known size; nothing past the pixels is read.
struct filesource {
    std::FILE* f;
    std::uint64_t size;
    int get() { return std::fgetc(f); }
    void unget(int c) { std::ungetc(c, f); }
    std::uint64_t left() const
    {
        long at = std::ftell(f);
        return at < 0 || static_cast<std::uint64_t>(at) > size ? 0 : size - static_cast<std::uint64_t>(at);
    }
    bool read(unsigned char* dst, std::size_t n) { return std::fread(dst, 1, n, f) == n; }
};

bool space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Passes whitespace and '#' comments (with the newline that ends them); false at end of file.
template <class Src> bool skip(Src& s, int& c)
{
    for (;;) {
        c = s.get();
        if (c == EOF) return false;
        if (c == '#') {
            do c = s.get();
            while (c != '\n' && c != EOF);
            if (c == EOF) return false;
        } else if (!space(c)) {
            return true;
        }
    }
}

// A decimal integer with an optional sign, its first character already in c;
// the character after it is put back.
template <class Src> bool integer(Src& s, int c, long long& v)
{
    bool neg = c == '-';
    if (c == '-' || c == '+') c = s.get();
    if (c < '0' || c > '9') return false;
    v = 0;
    while (c >= '0' && c <= '9') {
        v = v * 10 + (c - '0');
        if (v > INT_MAX) return false;  // no image is that big; refuse rather than wrap
        c = s.get();
    }
    if (c != EOF) s.unget(c);
    if (neg) v = -v;
    return true;
}

template <class Src>
std::unique_ptr<unsigned char[]> parse(Src& s, int& width, int& height, const char*& why)
{
    if (s.get() != 'P' || s.get() != '6') return why = "does not begin with P6", nullptr;
    static const char* const names[3] = {"no width", "no height", "no maximum value"};
    long long v[3];
    for (int k = 0; k < 3; ++k) {
        int c;
        if (!skip(s, c) || !integer(s, c, v[k])) return why = names[k], nullptr;
    }
    if (v[2] < 1 || v[2] > 255) return why = "maximum value outside 1..255", nullptr;
    s.get();  // the one separator byte after the header, whatever it is
    // Not tested by the format; refused here so that nothing reads past a buffer.
    if (v[0] <= 0 || v[1] <= 0) return why = "width or height not above 0", nullptr;
    // Both are at most INT_MAX, so the product fits in 64 bits before the check.
    std::uint64_t count = static_cast<std::uint64_t>(v[0]) * static_cast<std::uint64_t>(v[1]);
    if (count > SIZE_MAX / 3) return why = "too many pixels", nullptr;
    count *= 3;
    // The size is checked before anything is allocated.
    if (count > s.left()) return why = "fewer pixel bytes than width x height x 3", nullptr;
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[count]);
    if (!pixels) return why = "too big to hold", nullptr;
    if (!s.read(pixels.get(), count)) return why = "fewer pixel bytes than width x height x 3", nullptr;
    width = static_cast<int>(v[0]);
    height = static_cast<int>(v[1]);
    return pixels;
}

std::unique_ptr<unsigned char[]> readfile(const std::string& path, int& width, int& height, const char*& why)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return why = "cannot be opened", nullptr;
    struct stat st;
    std::unique_ptr<unsigned char[]> pixels;
    if (::fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "not a regular file";
    } else {
        filesource s{f, static_cast<std::uint64_t>(st.st_size)};
        pixels = parse(s, width, height, why);
    }
    std::fclose(f);
    return pixels;
}

}  // namespace

std::unique_ptr<unsigned char[]> readPPMbytes(const unsigned char* data, std::size_t size, int& width, int& height)
{
    memsource s{data, data + size};
    const char* why = nullptr;
    return parse(s, width, height, why);
}

std::unique_ptr<unsigned char[]> readPPM(const std::string& path, int& width, int& height)
{
    const char* why = nullptr;
    return readfile(path, width, height, why);
}

std::string PPMproblem(const std::string& path)
{
    int w = 0, h = 0;
    const char* why = nullptr;
    return readfile(path, w, h, why) ? "" : why;
}
