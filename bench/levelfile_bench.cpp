// levelfile_bench.cpp -- decoding a level file with every check, against plain reads of the same bytes
//
// Levels of about 10^3 to 10^6 cells (caves of side 10, 22, 46 and 100) are
// encoded by our own writer, kept in memory and written to a temporary file.
// Beside the decoder, in the same run, the plain ways of getting those bytes:
//   sum       every byte of the in-memory file added up (memory bandwidth)
//   copy      memcpy into a buffer reused between iterations
//   reread    open, read the cached file into a reused buffer, close
//   freshread open, read it into fresh memory, free it: what any loader must do
// and the game's own load_level (fresh read plus decode). Compare the
// bytes_per_second of the same size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "benchlevels.h"
#include "levelwriter.h"
#include "world/levelfile.h"

namespace {

struct levelfile {
    std::vector<unsigned char> bytes;
    std::string path;
    std::size_t cells = 0;
};

const levelfile& cached(int side)
{
    static std::map<int, levelfile> files;
    auto it = files.find(side);
    if (it != files.end()) return it->second;
    levelrec l = benchlevels::cave(side, side, side);
    levelfile f;
    f.bytes = Levelwriter::encode_level(l);
    f.cells = l.cubes.size();
    f.path = "/tmp/vesk-bench-level-" + std::to_string(::getpid()) + "-" + std::to_string(side);
    FILE* out = std::fopen(f.path.c_str(), "wb");
    if (!out || std::fwrite(f.bytes.data(), 1, f.bytes.size(), out) != f.bytes.size()) std::perror("bench level");
    if (out) std::fclose(out);
    return files.emplace(side, std::move(f)).first->second;
}

// The temporary files go when the run ends.
struct cleanup {
    ~cleanup()
    {
        for (int side : {10, 22, 46, 100})
            std::remove(("/tmp/vesk-bench-level-" + std::to_string(::getpid()) + "-" + std::to_string(side)).c_str());
    }
} removefiles;

void count(benchmark::State& st, const levelfile& f)
{
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * f.bytes.size()));
    st.counters["cells"] = static_cast<double>(f.cells);
    st.counters["bytes"] = static_cast<double>(f.bytes.size());
}

std::size_t readinto(const std::string& path, unsigned char* dest, std::size_t size)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    std::size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, dest + got, size - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return got;
}

void BM_decode(benchmark::State& st)
{
    const levelfile& f = cached(static_cast<int>(st.range(0)));
    levelrec l;
    for (auto _ : st) {
        l = Level::decode_level(f.bytes.data(), f.bytes.size());
        benchmark::DoNotOptimize(l.cubes.data());
        // Freeing the level is not part of reading it.
        st.PauseTiming();
        l = levelrec{};
        st.ResumeTiming();
    }
    count(st, f);
}

void BM_load_level(benchmark::State& st)
{
    const levelfile& f = cached(static_cast<int>(st.range(0)));
    levelrec l;
    for (auto _ : st) {
        l = Level::load_level(f.path);
        benchmark::DoNotOptimize(l.cubes.data());
        // Freeing the level is not part of reading it.
        st.PauseTiming();
        l = levelrec{};
        st.ResumeTiming();
    }
    count(st, f);
}

void BM_plain_sum(benchmark::State& st)
{
    const levelfile& f = cached(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        std::uint64_t sum = 0;
        for (unsigned char b : f.bytes) sum += b;
        benchmark::DoNotOptimize(sum);
    }
    count(st, f);
}

void BM_plain_copy(benchmark::State& st)
{
    const levelfile& f = cached(static_cast<int>(st.range(0)));
    std::vector<unsigned char> buf(f.bytes.size());
    for (auto _ : st) {
        std::memcpy(buf.data(), f.bytes.data(), f.bytes.size());
        benchmark::ClobberMemory();
    }
    count(st, f);
}

void BM_plain_reread(benchmark::State& st)
{
    const levelfile& f = cached(static_cast<int>(st.range(0)));
    std::vector<unsigned char> buf(f.bytes.size());
    for (auto _ : st) {
        std::size_t got = readinto(f.path, buf.data(), buf.size());
        if (got != f.bytes.size()) st.SkipWithError("short read");
        benchmark::ClobberMemory();
    }
    count(st, f);
}

void BM_plain_freshread(benchmark::State& st)
{
    const levelfile& f = cached(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        std::unique_ptr<unsigned char[]> buf(new unsigned char[f.bytes.size()]);
        std::size_t got = readinto(f.path, buf.get(), f.bytes.size());
        if (got != f.bytes.size()) st.SkipWithError("short read");
        benchmark::DoNotOptimize(buf.get());
        benchmark::ClobberMemory();
    }
    count(st, f);
}

#define SIDES Arg(10)->Arg(22)->Arg(46)->Arg(100)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_plain_sum)->SIDES;
BENCHMARK(BM_plain_copy)->SIDES;
BENCHMARK(BM_plain_reread)->SIDES;
BENCHMARK(BM_plain_freshread)->SIDES;
BENCHMARK(BM_decode)->SIDES;
BENCHMARK(BM_load_level)->SIDES;

}  // namespace

BENCHMARK_MAIN();
