// levelfile.cpp -- counting the level files and reading the whole dungeon
#include "world/levelfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "world/leveldecode_reader.h"  // hugepages

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
        if (errno != ERANGE || buf.size() > (1u << 20)) return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

// Closes the descriptor on every way out.
struct fdcloser {
    int fd;
    ~fdcloser() { ::close(fd); }
};

}  // namespace

levelrec load_level(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) throw readerror(std::string("cannot be opened: ") + std::strerror(errno));
    fdcloser closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0) throw readerror(std::string("cannot be examined: ") + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw readerror("not a regular file");
    // The header's data length is 32 bits: nothing longer can be a level file.
    if (st.st_size > 20 + static_cast<off_t>(0xFFFFFFFFu))
        throw readerror("the file has " + std::to_string(st.st_size) + " bytes, more than a level file can hold");
    std::size_t size = static_cast<std::size_t>(st.st_size), got = 0;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size ? size : 1]);
    decode::hugepages(bytes.get(), size);
    while (got < size) {
        ssize_t n = ::read(fd, bytes.get() + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw readerror(std::string("read error: ") + std::strerror(errno));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return decode_level(bytes.get(), got);
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
