// game_gl.cpp -- drawing a frame and the graphics start-up
#include "main/game_gl.h"

#include <GL/gl.h>

#include "guards/badguy_gl.h"
#include "objects/fixedobj_gl.h"
#include "objects/freeobj_gl.h"
#include "player/view.h"
#include "render/tex.h"
#include "render/wall.h"
#include "world/render_gl.h"

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

// One frame: the level once, or in stereo twice, red from the player's left
// and blue from the right, then the status panels over both in white and grey.
void render(gamerec& g, int width, int height, const std::function<void()>& swapbuffers, bool lighting,
            bool textured, bool grey)
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const int border = width / 20;
    levelrec& level = g.levels.at(static_cast<std::size_t>(g.current));
    if (grey) glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_FALSE);
    Level::render(level, g.vesk, width, height, border, lighting, textured, grey, grey ? 0.03 : 0.0);
    if (grey) {
        glClear(GL_DEPTH_BUFFER_BIT);
        glColorMask(GL_FALSE, GL_FALSE, GL_TRUE, GL_FALSE);
        Level::render(level, g.vesk, width, height, border, lighting, textured, grey, -0.03);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    }
    Vesk::render(g.vesk, width, height, border, grey);
    if (Level::frameprobe) Level::frameprobe(Level::section_panels);
    swapbuffers();
}

}  // namespace Game
