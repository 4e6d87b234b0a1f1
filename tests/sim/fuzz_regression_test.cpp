// fuzz_regression_test.cpp -- hostile inputs: every kept fuzzer case replayed, and the crafted worst cases
//
// The cases under tests/fuzz-regressions/ are inputs that once crashed, hung or
// blew up a reader (or were crafted to): each must now be read or refused
// cleanly. Under the sanitizer build any memory error on the way fails too.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fixture.h"
#include "levelwriter.h"
#include "render/texhelp.h"
#include "world/levelfile.h"

namespace {

namespace fs = std::filesystem;
using bytes = std::vector<unsigned char>;

fs::path regressions() { return fs::path(VESK_TEST_DATA) / ".." / "fuzz-regressions"; }

std::vector<fs::path> cases(const std::string& reader)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(regressions() / reader))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

bytes slurp(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(f), {});
}

void put32(bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

std::uint32_t get32(const bytes& b, std::size_t at)
{
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

}  // namespace

TEST(FuzzRegression, EveryKeptLevelCaseIsReadOrRefusedWithAReadError)
{
    auto files = cases("level");
    ASSERT_FALSE(files.empty()) << "no level cases under " << regressions();
    for (const auto& f : files) {
        SCOPED_TRACE(f.filename().string());
        bytes b = slurp(f);
        try {
            levelrec L = Level::decode_level(b.data(), b.size());
            EXPECT_EQ(L.cubes.size(), std::size_t(L.xsize) * L.ysize * L.zsize);
        } catch (const Level::readerror&) {
        }  // anything else escapes and fails the test
        // The file path too: the game reads through load_level.
        try {
            Level::load_level(f.string());
        } catch (const Level::readerror&) {
        }
    }
}

TEST(FuzzRegression, EveryKeptImageCaseIsReadOrRefusedAndTheOutputsAgree)
{
    auto files = cases("ppm");
    ASSERT_FALSE(files.empty()) << "no image cases under " << regressions();
    for (const auto& f : files) {
        SCOPED_TRACE(f.filename().string());
        bytes b = slurp(f);
        int w = -1, h = -1;
        auto px = readPPMbytes(b.data(), b.size(), w, h);
        int fw = -1, fh = -1;
        auto fpx = readPPM(f.string(), fw, fh);
        // Bytes in memory and the same bytes in a file get one answer.
        ASSERT_EQ(px != nullptr, fpx != nullptr);
        if (!px) {
            EXPECT_EQ(w, -1);
            EXPECT_EQ(h, -1);
            continue;
        }
        EXPECT_EQ(fw, w);
        EXPECT_EQ(fh, h);
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        std::size_t n = std::size_t(w) * std::size_t(h) * 3;
        ASSERT_LE(n, b.size());
        EXPECT_TRUE(std::equal(px.get(), px.get() + n, fpx.get()));
    }
}

// Counts in a header that the bytes cannot back are refused before anything
// is sized by them: these would ask for tens of gigabytes otherwise.
TEST(FuzzRegression, HeadersClaimingMoreThanTheFileHoldsAreRefused)
{
    bytes level = slurp(regressions() / "level" / "claims-2e32-objects");
    ASSERT_EQ(level.size(), 100u);
    ASSERT_EQ(get32(level, 8), 0xFFFFFFFFu);
    EXPECT_THROW(Level::decode_level(level.data(), level.size()), Level::readerror);

    for (const char* name : {"claims-100000x100000", "claims-int-max-square"}) {
        SCOPED_TRACE(name);
        bytes img = slurp(regressions() / "ppm" / name);
        int w = -1, h = -1;
        EXPECT_EQ(readPPMbytes(img.data(), img.size(), w, h), nullptr);
        EXPECT_EQ(w, -1);
    }
}

// A guard's kind may be any value, so it is where a file can nest blocks as
// deep as it likes. A million levels must be read without deep recursion; a
// recursive reader overflows the stack here (sooner under the sanitizers).
TEST(FuzzRegression, AMillionDeepNestInAGuardsKindIsReadWithoutOverflowingTheStack)
{
    constexpr std::uint32_t depth = 1000000;
    constexpr std::int32_t marker = 0x12345;  // a kind written as 02 00 01 23 45
    levelrec room = fixture::room(4, 3, 3);
    room.startx = room.starty = room.startz = 1.5;
    fixture::put_guard(room, 2.5, 1.6, 1.5, 0.0)->kind = marker;
    // Unshared walls and 32-bit references: then the only reference across the
    // guard is the level's list of guards, and it can be moved by the depth.
    Levelwriter::options opt;
    opt.sharewalls = false;
    opt.refbits = 32;
    bytes b = Levelwriter::encode_level(room, opt);
    ASSERT_NO_THROW(Level::decode_level(b.data(), b.size())) << "the unnested level must read";

    const unsigned char kindbytes[] = {0x02, 0x00, 0x01, 0x23, 0x45};
    auto at = std::search(b.begin(), b.end(), std::begin(kindbytes), std::end(kindbytes));
    ASSERT_NE(at, b.end());
    ASSERT_EQ(std::search(at + 1, b.end(), std::begin(kindbytes), std::end(kindbytes)), b.end());
    // The end of the data: the guard list (a two-field block, the reference,
    // the empty list) and the four start doubles.
    std::size_t ref = b.size() - 4 * 9 - 6;
    ASSERT_EQ(b[ref - 1], 0xA0);
    ASSERT_EQ(b[ref], 0x06);
    ASSERT_EQ(b[ref + 5], 0x40);
    put32(b, ref + 1, get32(b, ref + 1) + depth);

    bytes nest(depth, 0x90);  // a block of tag 0 with one field, a million times
    nest.push_back(0x40);     // and the integer 0 innermost
    std::size_t pos = static_cast<std::size_t>(at - b.begin());
    b.erase(b.begin() + pos, b.begin() + pos + 5);
    b.insert(b.begin() + pos, nest.begin(), nest.end());
    put32(b, 4, get32(b, 4) + depth + 1 - 5);
    put32(b, 8, get32(b, 8) + depth);
    put32(b, 12, get32(b, 12) + 2 * depth);

    levelrec L = Level::decode_level(b.data(), b.size());
    ASSERT_EQ(L.badguys.size(), 1u);
    EXPECT_EQ(L.badguys[0]->box.x, 2.5);
    EXPECT_EQ(L.badguys[0]->box.z, 1.5);

    // The same nest as the whole value: a block where a level belongs, refused.
    bytes top(20, 0);
    put32(top, 0, Level::level_magic);
    put32(top, 4, depth + 1);
    put32(top, 8, depth);
    put32(top, 12, 2 * depth);
    top.insert(top.end(), nest.begin(), nest.end());
    EXPECT_THROW(Level::decode_level(top.data(), top.size()), Level::readerror);
}
