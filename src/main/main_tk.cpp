// main_tk.cpp -- the program's entry: window, dungeon, game record, event loop
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "main/game.h"
#include "ui/tkapp.h"
#include "ui/ui.h"

int main(int argc, char** argv)
{
    // The window comes first: without a display nothing else is worth trying.
    Ui::init(argc > 0 ? argv[0] : "vesk");
    Tkapp::guarded([&] {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
        static gamerec game = Game::load_newgame(args);
        Ui::startup(game);
        Ui::mainloop();
    });
    std::fflush(stdout);
    std::fflush(stderr);
    return 0;
}
