// levelsource.cpp -- reading level sources (see docs/levels.md)
#include "levelsource.h"

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace Levelsource {

error::error(const std::string& f, int l, int c, const std::string& msg)
    : std::runtime_error(f + ":" + std::to_string(l) + ":" + std::to_string(c) + ": " + msg), file(f), line(l), col(c)
{
}

namespace {

constexpr int maxsize = 200;

struct token {
    std::string text;
    int col;
};

std::vector<token> tokens(const std::string& line)
{
    std::vector<token> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size()) break;
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        out.push_back({line.substr(i, j - i), static_cast<int>(i) + 1});
        i = j;
    }
    return out;
}

struct parser {
    std::string file;
    int lineno = 0;
    source src;
    std::map<char, wallsrec> cubes;            // solid cell characters
    std::vector<int> layerline;                // line of each layer's directive, 0 if not given
    std::vector<std::array<int, 2>> cellpos;   // line and column where each cell was written

    [[noreturn]] void fail(int col, const std::string& msg) const { throw error(file, lineno, col, msg); }

    int integer(const token& t, const char* what) const
    {
        size_t used = 0;
        long v = 0;
        try {
            v = std::stol(t.text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != t.text.size() || v < -1000000 || v > 1000000)
            fail(t.col, std::string("expected a whole number for ") + what + ", found '" + t.text + "'");
        return static_cast<int>(v);
    }

    double number(const token& t, const char* what) const
    {
        size_t used = 0;
        double v = 0;
        try {
            v = std::stod(t.text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != t.text.size() || !std::isfinite(v))
            fail(t.col, std::string("expected a number for ") + what + ", found '" + t.text + "'");
        return v;
    }

    void needsize(int col) const
    {
        if (src.xsize == 0) fail(col, "'size' must come first");
    }

    void args(const std::vector<token>& tk, size_t n, const char* usage) const
    {
        if (tk.size() != n + 1)
            fail(tk.size() > n + 1 ? tk[n + 1].col : tk[0].col, std::string("usage: ") + usage);
    }

    int wallkind(const token& t) const
    {
        static const std::map<std::string, int> names = {
            {"stone", 0}, {"blocks", 1}, {"tiles", 2}, {"slimepuddle", 3}, {"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}};
        auto it = names.find(t.text);
        if (it == names.end())
            fail(t.col, "unknown wall kind '" + t.text + "' (stone, blocks, tiles, slimepuddle or 0..3)");
        return it->second;
    }

    // The object a cell character stands for, if any.
    static bool objectchar(char c, thing& what, double& heading)
    {
        heading = 0.0;
        switch (c) {
        case 'c': what = thing::charge; return true;
        case 'b': what = thing::bribe; return true;
        case 't': what = thing::teleporter; return true;
        case 's': what = thing::step; return true;
        case '-': what = thing::barsxy; return true;
        case '|': what = thing::barszy; return true;
        case '=': what = thing::barsxz; return true;
        case '^': what = thing::guard; heading = 0.0; return true;
        case '>': what = thing::guard; heading = 90.0; return true;
        case 'v': what = thing::guard; heading = 180.0; return true;
        case '<': what = thing::guard; heading = 270.0; return true;
        default: return false;
        }
    }

    int index(int x, int y, int z) const { return x + src.xsize * (y + src.ysize * z); }

    void cell(int x, int y, int z, char c, int col)
    {
        int i = index(x, y, z);
        cellpos[i] = {lineno, col};
        auto solid = cubes.find(c);
        if (solid != cubes.end()) {
            src.walls[i] = solid->second;
            return;
        }
        src.walls[i] = std::nullopt;
        thing what;
        double heading;
        if (c == '.') return;
        if (c == '@') {
            if (src.startx >= 0) fail(col, "a second start '@' (the first is in layer " + std::to_string(src.starty) + ")");
            src.startx = x;
            src.starty = y;
            src.startz = z;
            return;
        }
        if (objectchar(c, what, heading)) {
            src.items.push_back({what, x, y, z, heading, lineno, col});
            return;
        }
        fail(col, std::string("unknown cell character '") + c + "'");
    }

    void directive(const std::vector<token>& tk, std::istream& in)
    {
        const std::string& d = tk[0].text;
        if (d == "title") {
            // everything after the word, as written
            src.title.clear();
            for (size_t i = 1; i < tk.size(); ++i) src.title += (i > 1 ? " " : "") + tk[i].text;
        } else if (d == "size") {
            args(tk, 3, "size XSIZE YSIZE ZSIZE");
            if (src.xsize) fail(tk[0].col, "a second 'size'");
            int s[3];
            for (int a = 0; a < 3; ++a) {
                s[a] = integer(tk[a + 1], "a size");
                if (s[a] < 3 || s[a] > maxsize) fail(tk[a + 1].col, "each size must be 3 to " + std::to_string(maxsize));
            }
            src.xsize = s[0];
            src.ysize = s[1];
            src.zsize = s[2];
            size_t n = static_cast<size_t>(s[0]) * s[1] * s[2];
            src.walls.assign(n, cubes.at('#'));
            cellpos.assign(n, {0, 0});
            layerline.assign(s[1], 0);
        } else if (d == "heading") {
            args(tk, 1, "heading DEGREES");
            src.heading = number(tk[1], "the heading");
        } else if (d == "cube") {
            if (tk.size() != 3 && tk.size() != 8) fail(tk[0].col, "usage: cube CHAR KIND, or cube CHAR with six kinds (+x -x top bottom +z -z)");
            if (tk[1].text.size() != 1) fail(tk[1].col, "a cube is named by one character");
            char c = tk[1].text[0];
            thing w;
            double h;
            if (c == '.' || c == '@' || c == ';' || objectchar(c, w, h))
                fail(tk[1].col, std::string("'") + c + "' already means something else");
            std::array<std::uint8_t, 6> k;
            for (int f = 0; f < 6; ++f) k[f] = static_cast<std::uint8_t>(wallkind(tk[tk.size() == 3 ? 2 : 2 + f]));
            cubes[c] = k;
        } else if (d == "layer") {
            needsize(tk[0].col);
            if (tk.size() != 2 && !(tk.size() == 4 && tk[2].text == "fill"))
                fail(tk[0].col, "usage: layer Y, then one row per z; or layer Y fill CHAR");
            int y = integer(tk[1], "the layer");
            if (y < 0 || y >= src.ysize) fail(tk[1].col, "layer outside 0.." + std::to_string(src.ysize - 1));
            if (layerline[y]) fail(tk[1].col, "layer " + std::to_string(y) + " again (first at line " + std::to_string(layerline[y]) + ")");
            layerline[y] = lineno;
            if (tk.size() == 4) {
                if (tk[3].text.size() != 1 || !cubes.count(tk[3].text[0]))
                    fail(tk[3].col, "fill takes one solid cube character");
                for (int z = 0; z < src.zsize; ++z)
                    for (int x = 0; x < src.xsize; ++x) cell(x, y, z, tk[3].text[0], tk[3].col);
                return;
            }
            int z = 0;
            std::string row;
            while (z < src.zsize) {
                if (!std::getline(in, row)) fail(1, "layer " + std::to_string(y) + " ends after " + std::to_string(z) + " of " + std::to_string(src.zsize) + " rows");
                ++lineno;
                std::vector<token> rt = tokens(row.substr(0, row.find(';')));
                if (rt.empty()) continue;
                if (rt.size() > 1) fail(rt[1].col, "a row is one word of cell characters");
                if (static_cast<int>(rt[0].text.size()) != src.xsize)
                    fail(rt[0].col, "row of " + std::to_string(rt[0].text.size()) + " cells, the level is " + std::to_string(src.xsize) + " wide");
                for (int x = 0; x < src.xsize; ++x) cell(x, y, z, rt[0].text[x], rt[0].col + x);
                ++z;
            }
        } else if (d == "charge" || d == "bribe" || d == "teleporter" || d == "step" || d == "guard" || d == "bars") {
            needsize(tk[0].col);
            item it{};
            size_t first = 1;
            if (d == "bars") {
                args(tk, 4, "bars xy|zy|xz X Y Z");
                const std::string& o = tk[1].text;
                if (o == "xy") it.what = thing::barsxy;
                else if (o == "zy") it.what = thing::barszy;
                else if (o == "xz") it.what = thing::barsxz;
                else fail(tk[1].col, "bars are xy, zy or xz");
                first = 2;
            } else if (d == "guard") {
                args(tk, 4, "guard X Y Z HEADING");
                it.what = thing::guard;
                it.heading = number(tk[4], "the heading");
            } else {
                args(tk, 3, (d + " X Y Z").c_str());
                it.what = d == "charge" ? thing::charge : d == "bribe" ? thing::bribe : d == "teleporter" ? thing::teleporter : thing::step;
            }
            it.x = integer(tk[first], "x");
            it.y = integer(tk[first + 1], "y");
            it.z = integer(tk[first + 2], "z");
            int size[3] = {src.xsize, src.ysize, src.zsize}, at[3] = {it.x, it.y, it.z};
            for (int a = 0; a < 3; ++a)
                if (at[a] < 0 || at[a] >= size[a]) fail(tk[first + a].col, "outside the level");
            it.line = lineno;
            it.col = tk[first].col;
            src.items.push_back(it);
        } else {
            fail(tk[0].col, "unknown word '" + d + "'");
        }
    }

    void finish()
    {
        lineno = 0;
        if (src.xsize == 0) throw error(file, 1, 1, "no 'size'");
        for (int z = 0; z < src.zsize; ++z)
            for (int y = 0; y < src.ysize; ++y)
                for (int x = 0; x < src.xsize; ++x) {
                    bool outer = x == 0 || y == 0 || z == 0 || x == src.xsize - 1 || y == src.ysize - 1 || z == src.zsize - 1;
                    int i = index(x, y, z);
                    if (outer && !src.walls[i])
                        throw error(file, cellpos[i][0], cellpos[i][1],
                                    "cell (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) + ") is on the outside and must be solid");
                }
        if (src.startx < 0) throw error(file, 1, 1, "no start '@' in any layer");
        for (const item& it : src.items)
            if (src.walls[index(it.x, it.y, it.z)])
                throw error(file, it.line, it.col, "object in the solid cell (" + std::to_string(it.x) + ", " + std::to_string(it.y) + ", " + std::to_string(it.z) + ")");
    }
};

}  // namespace

source parse(const std::string& text, const std::string& file)
{
    parser p;
    p.file = file;
    p.src.file = file;
    for (int k = 0; k < 4; ++k) {
        std::array<std::uint8_t, 6> w;
        w.fill(static_cast<std::uint8_t>(k));
        p.cubes["#BTS"[k]] = w;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++p.lineno;
        std::vector<token> tk = tokens(line.substr(0, line.find(';')));
        if (!tk.empty()) p.directive(tk, in);
    }
    p.finish();
    return p.src;
}

source parsefile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) throw error(path, 0, 0, "cannot read the file");
    std::ostringstream s;
    s << f.rdbuf();
    return parse(s.str(), path);
}

}  // namespace Levelsource
