// ppm_test.cpp -- readPPM: the header rules, the pixel count, and refusing what cannot be an image
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "render/texhelp.h"

namespace {

// 24 distinct pixel bytes, enough for a 4 x 2 image.
const std::string pixels24 = "ABCDEFGHIJKLMNOPQRSTUVWX";

struct ppmcase {
    const char* what;
    std::string bytes;
    bool ok;
    int width, height;
    std::string pixels;  // what a good read returns
};

const ppmcase cases[] = {
    {"comment line and mixed whitespace", "P6\n# made by hand\n4\t2\n255\n" + pixels24, true, 4, 2, pixels24},
    {"nothing between P6 and the width", "P64 2 255\n" + pixels24, true, 4, 2, pixels24},
    {"comment right after a number", "P6 4#w\n2 255 " + pixels24, true, 4, 2, pixels24},
    {"plus signs", "P6 +4 +2 +255\n" + pixels24, true, 4, 2, pixels24},
    {"maximum 1", "P6 1 1 1\nabc", true, 1, 1, "abc"},
    {"maximum 0", "P6 1 1 0\nabc", false, 0, 0, ""},
    {"maximum 256", "P6 1 1 256\nabc", false, 0, 0, ""},
    // Only the CR ends the header: the LF is the first sample, the last byte is left.
    {"CR LF after the header", "P6 1 1 255\r\nabc", true, 1, 1, "\nab"},
    {"one pixel byte short", "P6 4 2 255\n" + pixels24.substr(1), false, 0, 0, ""},
    {"extra bytes after the pixels", "P6 1 1 255\nabcdef", true, 1, 1, "abc"},
    {"plain-text PPM", "P3 1 1 255\n1 2 3\n", false, 0, 0, ""},
    {"not PPM at all", "GIF89a", false, 0, 0, ""},
    {"empty", "", false, 0, 0, ""},
    {"end of file inside a header comment", "P6 4 2 # no newline", false, 0, 0, ""},
    {"end of file before the maximum", "P6 4 2 ", false, 0, 0, ""},
    {"end of file right after the maximum", "P6 1 1 255", false, 0, 0, ""},
    {"a field that is not a number", "P6 four 2 255\n" + pixels24, false, 0, 0, ""},
    {"a sign with no digits", "P6 + 2 255\n" + pixels24, false, 0, 0, ""},
    {"width 0", "P6 0 2 255\n", false, 0, 0, ""},
    {"negative height", "P6 4 -2 255\n" + pixels24, false, 0, 0, ""},
    {"width past the int range", "P6 99999999999 1 255\n" + pixels24, false, 0, 0, ""},
    // Claims 30 gigabytes in a few bytes: refused before anything is allocated.
    {"100000 x 100000 claimed", "P6 100000 100000 255\n" + pixels24, false, 0, 0, ""},
    {"a size whose byte count overflows", "P6 2147483647 2147483647 255\n" + pixels24, false, 0, 0, ""},
};

struct tempfile {
    std::string path;
    explicit tempfile(const std::string& bytes)
    {
        char name[] = "/tmp/veskppmXXXXXX";
        int fd = ::mkstemp(name);
        ::close(fd);
        path = name;
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~tempfile() { ::unlink(path.c_str()); }
};

TEST(ReadPPM, HeaderAndPixelRules)
{
    for (const ppmcase& c : cases) {
        SCOPED_TRACE(c.what);
        // Over memory and from a file, with the same outcome.
        int w = -7, h = -7;
        auto got = readPPMbytes(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), w, h);
        tempfile f(c.bytes);
        int fw = -7, fh = -7;
        auto fromfile = readPPM(f.path, fw, fh);
        ASSERT_EQ(got != nullptr, c.ok);
        ASSERT_EQ(fromfile != nullptr, c.ok);
        EXPECT_EQ(PPMproblem(f.path).empty(), c.ok) << PPMproblem(f.path);
        if (!c.ok) {
            // Failures leave the outputs alone.
            EXPECT_EQ(w, -7);
            EXPECT_EQ(h, -7);
            EXPECT_EQ(fw, -7);
            continue;
        }
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        EXPECT_EQ(fw, c.width);
        EXPECT_EQ(fh, c.height);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(got.get()), c.pixels.size()), c.pixels);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(fromfile.get()), c.pixels.size()), c.pixels);
    }
}

TEST(ReadPPM, FilesThatCannotBeRead)
{
    int w = -7, h = -7;
    EXPECT_EQ(readPPM("/nonexistent/stone.ppm", w, h), nullptr);
    EXPECT_EQ(PPMproblem("/nonexistent/stone.ppm"), "cannot be opened");
    EXPECT_EQ(readPPM("/tmp", w, h), nullptr);
    EXPECT_EQ(PPMproblem("/tmp"), "not a regular file");
    EXPECT_EQ(w, -7);
    tempfile big("P6 100000 100000 255\nabc");
    EXPECT_EQ(PPMproblem(big.path), "fewer pixel bytes than width x height x 3");
    tempfile zero("P6 1 1 0\nabc");
    EXPECT_EQ(PPMproblem(zero.path), "maximum value outside 1..255");
}

}  // namespace
