// game_gl.cpp -- drawing a frame and the graphics start-up
#include "main/game_gl.h"

#include <GL/gl.h>

#include "guards/badguy_gl.h"
#include "objects/fixedobj_gl.h"
#include "objects/freeobj_gl.h"
#include "player/view.h"
#include "render/tex.h"
#include "render/wall.h"

namespace Game {

void init()
{
    Tex::setparam();
    Wall::init();
    Vesk::init();
    Fixedobj::init();
    Freeobj::init();
    Badguy::init();
}

// Until the level renderer lands: clear and show.
void render(gamerec&, int, int, const std::function<void()>& swapbuffers, bool, bool, bool)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    swapbuffers();
}

}  // namespace Game
