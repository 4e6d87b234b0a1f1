// level_fuzz.cpp -- libFuzzer target: any bytes as a level file, with every shape check
#include <cstddef>
#include <cstdint>
#include <set>

#include "world/levelfile.h"

namespace {

// Every pointer an accepted level holds must lead into the level's own stores.
template <class T> void owned(const std::vector<T*>& list, const std::set<const void*>& store)
{
    for (T* p : list)
        if (!store.count(p)) __builtin_trap();
}

template <class T> std::set<const void*> addresses(const std::vector<std::unique_ptr<T>>& store)
{
    std::set<const void*> s;
    for (auto& p : store) s.insert(p.get());
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    levelrec L;
    try {
        L = Level::decode_level(data, size);
    } catch (const Level::readerror&) {
        return 0;
    }
    if (L.xsize < 0 || L.ysize < 0 || L.zsize < 0) __builtin_trap();
    if (L.cubes.size() != static_cast<std::size_t>(L.xsize) * L.ysize * L.zsize) __builtin_trap();
    if (L.cellflags.size() != L.cubes.size()) __builtin_trap();
    auto guards = addresses(L.guardstore), frees = addresses(L.freestore), fixeds = addresses(L.fixedstore);
    std::set<const void*> cells;
    for (auto& c : L.cubes) {
        cells.insert(&c);
        owned(c.freeobjs, frees);
        owned(c.badguys, guards);
        owned(c.fixedobjs, fixeds);
    }
    owned(L.dmcubes, cells);
    owned(L.dmfixed, fixeds);
    owned(L.dmfree, frees);
    owned(L.freeobjs, frees);
    owned(L.badguys, guards);
    return 0;
}
