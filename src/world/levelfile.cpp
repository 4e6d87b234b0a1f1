// levelfile.cpp -- counting the level files and reading the whole dungeon
#include "world/levelfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace Level {

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string workdir()
{
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (buf.size() > (1u << 20)) return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

}  // namespace

levelrec load_level(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) throw readerror(path + ": cannot be opened");
    if (!S_ISREG(st.st_mode)) throw readerror(path + ": not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw readerror(path + ": cannot be opened");
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw readerror(path + ": read error");
    return decode_level(bytes.data(), bytes.size());
}

int numlevels()
{
    int n = 0;
    while (exists("level" + std::to_string(n))) ++n;
    if (n == 0) {
        std::fprintf(stderr, "Couldn't find levels in dungeon directory\n(I'm looking for 'level0' in %s)\n",
                     workdir().c_str());
        std::exit(1);
    }
    return n;
}

std::vector<levelrec> load_newgame()
{
    int n = numlevels();
    std::vector<levelrec> levels(n);
    for (int i = 0; i < n; ++i) {
        try {
            levels[i] = load_level("level" + std::to_string(i));
        } catch (const std::exception&) {
            std::fprintf(stderr, "Problem reading level%d in %s\n", i, workdir().c_str());
            std::exit(1);
        }
    }
    return levels;
}

}  // namespace Level
