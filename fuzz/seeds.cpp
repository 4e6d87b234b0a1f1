// seeds.cpp -- seed corpora for the fuzzers, from our own fixture levels and writer
//
// fuzz_seeds OUTDIR writes OUTDIR/level/* (level files in every form the writer
// knows) and OUTDIR/ppm/* (small P6 images with the header forms the reader takes).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fixture.h"
#include "levelwriter.h"
#include "world/level.h"

namespace {

namespace fs = std::filesystem;

void save(const fs::path& p, const std::vector<unsigned char>& bytes)
{
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void save(const fs::path& p, const std::string& bytes) { save(p, std::vector<unsigned char>(bytes.begin(), bytes.end())); }

// Small levels that between them hold every record kind: cells of each wall
// kind, the three free objects, the four fixed ones, guards, dematterized things.
std::vector<levelrec> levels()
{
    std::vector<levelrec> out;
    auto start = [](levelrec& l, double x, double z) {
        l.startx = x, l.starty = 1.5, l.startz = z, l.startheading = 0.25;
    };
    levelrec r = fixture::room(3, 3, 3);
    start(r, 1.5, 1.5);
    out.push_back(std::move(r));

    levelrec a = fixture::make({{"#####", "#####", "#####"},
                                {"#SSS#", "#B.T#", "#BBB#"},
                                {"#####", "#TTT#", "#####"}});
    start(a, 2.5, 1.5);
    out.push_back(std::move(a));

    levelrec b = fixture::room(5, 4, 5);
    start(b, 1.5, 1.5);
    fixture::put_free(b, charge_kind, 1.5, 1.5, 2.5);
    fixture::put_free(b, bribe_kind, 2.5, 1.5, 2.5);
    fixture::put_free(b, teleporter_kind, 3.5, 1.5, 3.5);
    fixture::put_fixed(b, barsxy, 1.5, 1.5, 3.5);
    fixture::put_fixed(b, barszy, 2.5, 1.5, 1.5);
    fixture::put_fixed(b, barsxz, 3.5, 2.5, 1.5);
    fixture::put_fixed(b, step, 2.5, 1.2, 3.5);
    fixture::put_guard(b, 2.5, 1.6, 3.5, 0.5);
    fixture::put_guard(b, 3.5, 1.6, 2.5, 2.0);
    out.push_back(std::move(b));

    // Dematterized: an inner wall cell, a free object and a fixed object, each on its list.
    levelrec c = fixture::make({{"#####", "#####", "#####", "#####", "#####"},
                                {"#####", "#...#", "#.#.#", "#...#", "#####"},
                                {"#####", "#...#", "#...#", "#...#", "#####"},
                                {"#####", "#####", "#####", "#####", "#####"}});
    start(c, 1.5, 1.5);
    int wall = Level::cellindex(c, 2, 1, 2);
    c.cubes[wall].dm = 0.5;
    c.dmcubes.push_back(&c.cubes[wall]);
    freeobjrec* f = fixture::put_free(c, bribe_kind, 1.5, 1.5, 3.5);
    f->dm = 0.25;
    c.dmfree.push_back(f);
    fixedobjrec* x = fixture::put_fixed(c, barsxy, 3.5, 1.5, 3.5);
    x->dm = 0.75;
    c.dmfixed.push_back(x);
    fixture::put_guard(c, 3.5, 1.6, 1.5, 1.0);
    Level::touchall(c);
    out.push_back(std::move(c));
    return out;
}

std::vector<Levelwriter::options> forms()
{
    using O = Levelwriter::options;
    std::vector<O> v(1);
    O o;
    o.littleendian = true, o.longarrays = true;
    v.push_back(o);
    o = O{}, o.intbits = 32, o.refbits = 32, o.stringbits = 32, o.longblocks = true;
    o.guardkind = O::kind_nested;
    v.push_back(o);
    o = O{}, o.intbits = 16, o.refbits = 16, o.stringbits = 8, o.sharedoubles = true, o.sharewalls = false;
    o.guardkind = O::kind_string;
    v.push_back(o);
    o = O{}, o.intbits = 8, o.refbits = 8, o.littleendian = true, o.guardkind = O::kind_nested;
    v.push_back(o);
    return v;
}

std::string ppm(const std::string& header, int w, int h)
{
    std::string s = header;
    for (int i = 0; i < w * h * 3; ++i) s.push_back(static_cast<char>(i * 37 + 5));
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTDIR\n");
        return 2;
    }
    fs::path out = argv[1];
    fs::create_directories(out / "level");
    fs::create_directories(out / "ppm");

    auto ls = levels();
    auto fs_ = forms();
    for (std::size_t i = 0; i < ls.size(); ++i)
        for (std::size_t j = 0; j < fs_.size(); ++j)
            save(out / "level" / ("fixture" + std::to_string(i) + "-form" + std::to_string(j)),
                 Levelwriter::encode_level(ls[i], fs_[j]));

    save(out / "ppm" / "plain", ppm("P6\n4 2\n255\n", 4, 2));
    save(out / "ppm" / "comment", ppm("P6\n# made by hand\n4\t2\n255\n", 4, 2));
    save(out / "ppm" / "tight", ppm("P6 3 3 1 ", 3, 3));
    save(out / "ppm" / "crlf", ppm("P6\r\n2 2\r\n255\r\n", 2, 2));
    save(out / "ppm" / "signs", ppm("P6\n+2 +1\n#x\n\v\f 200\n", 2, 1));
    save(out / "ppm" / "longer", ppm("P6\n1 1\n255\n", 2, 2));
    return 0;
}
