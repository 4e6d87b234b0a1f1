// main_tk.cpp -- the program's entry (placeholder until the window exists)
#include <string>
#include <vector>

#include "main/game.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    gamerec g = Game::load_newgame(args);
    (void)g;
    return 0;
}
