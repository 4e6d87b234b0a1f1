// game.cpp -- start-up: finding the dungeon and building the game-state record
#include "main/game.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "world/levelfile.h"
#include "world/update.h"

namespace Game {

namespace {
bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}
}  // namespace

void find_dungeon(const std::vector<std::string>& args)
{
    std::string dir = args.empty() ? std::string("Dungeon") : args[0];
    if (exists(dir + "/level0") && exists(dir + "/Data") && ::chdir(dir.c_str()) == 0) return;
    std::fprintf(stderr,
                 "Could not find dungeon (tried %s)\n"
                 "Please specify a valid dungeon path on the command line\n"
                 " (or don't specify anything if the 'Dungeon/' directory\n"
                 "  is in the current directory)\n",
                 dir.c_str());
    std::exit(1);
}

veskrec freshplayer(const levelrec& level)
{
    veskrec v = Vesk::newvesk();
    Level::init_vesk(level, v);
    return v;
}

gamerec load_newgame(const std::vector<std::string>& args)
{
    find_dungeon(args);
    gamerec g;
    g.levels = Level::load_newgame();
    g.vesk = freshplayer(g.levels.at(0));
    g.current = 0;
    g.time = 0.0;
    return g;
}

void newgame_in_place(gamerec& g)
{
    std::vector<levelrec> levels = Level::load_newgame();
    g.vesk = freshplayer(levels.at(0));
    g.current = 0;
    g.levels = std::move(levels);
}

double now()
{
    struct timeval tv;
    gettimeofday(&tv, nullptr);
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
}

}  // namespace Game
