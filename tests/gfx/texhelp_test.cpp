// texhelp_test.cpp -- uploading PPM images as textures, binding and deleting them
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "glrecord.h"
#include "render/texhelp.h"

namespace {

std::string tempdir()
{
    char name[] = "/tmp/vesk-texhelp.XXXXXX";
    EXPECT_NE(mkdtemp(name), nullptr);
    return name;
}

void writefile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A w x h P6 image whose samples count up from seed, so every byte differs.
std::string ppm(int w, int h, int seed, std::vector<unsigned char>* pixels = nullptr)
{
    std::string s = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (int i = 0; i < w * h * 3; ++i) {
        unsigned char b = static_cast<unsigned char>(seed + i * 7);
        s.push_back(static_cast<char>(b));
        if (pixels) pixels->push_back(b);
    }
    return s;
}

}  // namespace

TEST(Texhelp, LoadUploadsThePixelsWithMipmapsAndLeavesTheTextureBound)
{
    std::string dir = tempdir();
    std::vector<unsigned char> pixels;
    // 3 x 2: odd rows of 9 bytes, which only load right with an unpack alignment of 1.
    writefile(dir + "/odd.ppm", ppm(3, 2, 11, &pixels));

    glrec::clear();
    unsigned long handle = loadPPMTexture(dir + "/odd.ppm");
    ASSERT_NE(handle, 0u);

    std::vector<std::string> names;
    for (const glcall& c : glrec::log()) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"glGenTextures", "glBindTexture", "glPixelStorei",
                                               "gluBuild2DMipmaps"}));
    const std::vector<glcall>& log = glrec::log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].args, (std::vector<double>{1, double(handle)}));
    EXPECT_EQ(log[1].args, (std::vector<double>{GL_TEXTURE_2D, double(handle)}));
    EXPECT_EQ(log[2].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
    EXPECT_EQ(log[3].args, (std::vector<double>{GL_TEXTURE_2D, GL_RGB, 3, 2, GL_RGB, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(glrec::teximage(), pixels);

    // A second image gets a texture object of its own.
    writefile(dir + "/other.ppm", ppm(4, 4, 3));
    unsigned long second = loadPPMTexture(dir + "/other.ppm");
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, handle);
    std::remove((dir + "/odd.ppm").c_str());
    std::remove((dir + "/other.ppm").c_str());
    rmdir(dir.c_str());
}

TEST(Texhelp, UnreadableImagesGiveZeroAndNoTextureObject)
{
    std::string dir = tempdir();
    writefile(dir + "/plain.ppm", "P3\n1 1\n255\n0 0 0\n");
    std::string full = ppm(2, 2, 0);
    writefile(dir + "/short.ppm", full.substr(0, full.size() - 1));  // one pixel byte short
    for (const char* name : {"/missing.ppm", "/plain.ppm", "/short.ppm"}) {
        SCOPED_TRACE(name);
        glrec::clear();
        EXPECT_EQ(loadPPMTexture(dir + name), 0u);
        EXPECT_TRUE(glrec::log().empty());
    }
    std::remove((dir + "/plain.ppm").c_str());
    std::remove((dir + "/short.ppm").c_str());
    rmdir(dir.c_str());
}

TEST(Texhelp, BindAndDeleteActOnTheOneHandleGiven)
{
    glrec::clear();
    bind2dTexture(7);
    deleteOneTexture(9);
    const std::vector<glcall>& log = glrec::log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].name, "glBindTexture");
    EXPECT_EQ(log[0].args, (std::vector<double>{GL_TEXTURE_2D, 7}));
    EXPECT_EQ(log[1].name, "glDeleteTextures");
    EXPECT_EQ(log[1].args, (std::vector<double>{1, 9}));
}
