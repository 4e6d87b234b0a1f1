// framebench_tk.cpp -- frame times of the real drawing: the game's own step and render in an 800 x 600 Togl area
//
//   framebench DUNGEON [FRAMES] [PROFILED]
//
// For every level of the dungeon, mono and then stereo: FRAMES frames of a
// scripted walk (keys and turns), each Game::step with dt 0.011 and
// Game::render with the buffer swap and a glFinish, timed from before the
// step to after the finish. Then PROFILED more frames with the render path's
// probe set, which finishes the GL work at the end of each section (setup,
// visibility search, opaque pass, translucent pass, overlay, status panels),
// for the share of each. The walk restarts at the level's start whenever the
// player is caught or leaves the level. One line per level and mode:
//   frame LEVEL MODE n=N median=MS p95=MS p99=MS max=MS update=MS setup=% visibility=% ...
// and first the line "renderer STRING".
#include <GL/gl.h>
#include <togl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "main/game.h"
#include "main/game_gl.h"
#include "ui/tkapp.h"
#include "world/levelfile.h"
#include "world/render_gl.h"

namespace {

using clock_type = std::chrono::steady_clock;

double ms(clock_type::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The probe: finish the GL work of the section that just ended and charge it.
std::array<double, 6> sections{};
clock_type::time_point mark;
void probe(Level::framesection s)
{
    glFinish();
    auto t = clock_type::now();
    sections[s] += ms(t - mark);
    mark = t;
}

// The walk, a 480-frame cycle: ahead, turn right while walking, strafe left
// and look down, back up, turn left and look up, a jump.
void script(veskrec& v, int f)
{
    int c = f % 480;
    if (c == 0) Vesk::startfwd(v);
    if (c >= 120 && c < 180) Vesk::movemouse(v, 6, 0);
    if (c == 200) Vesk::startleft(v);
    if (c >= 200 && c < 240) Vesk::movemouse(v, 0, 3);
    if (c == 260) Vesk::endleft(v), Vesk::endfwd(v), Vesk::startback(v);
    if (c == 320) Vesk::endback(v);
    if (c >= 320 && c < 400) Vesk::movemouse(v, -5, -1);
    if (c == 400) Vesk::startfwd(v), Vesk::startjump(v);
    if (c == 402) Vesk::endjump(v);
    if (c == 479) Vesk::endfwd(v);
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    std::size_t i = static_cast<std::size_t>(p * (v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

struct bench {
    gamerec& g;
    Togl* togl;
    int level;

    void restart()
    {
        g.current = level;
        g.levels[level] = Level::load_level("level" + std::to_string(level));
        g.vesk = Game::freshplayer(g.levels[level]);
    }

    // One frame as the timer's tick does it; the time of the step alone in *update.
    void frame(int f, bool stereo, double* update)
    {
        script(g.vesk, f);
        auto t0 = clock_type::now();
        gameresult r = Game::step(g, 0.011, [this] {
            std::vector<levelrec> l;
            for (std::size_t i = 0; i < g.levels.size(); ++i) l.push_back(Level::load_level("level" + std::to_string(i)));
            return l;
        });
        auto t1 = clock_type::now();
        if (update) *update = ms(t1 - t0);
        mark = t1;
        Game::render(g, Togl_Width(togl), Togl_Height(togl), [this] { Togl_SwapBuffers(togl); glFinish(); }, true,
                     true, stereo);
        if (r != gameresult::playing || g.current != level) restart();
        while (Tcl_DoOneEvent(TCL_DONT_WAIT | TCL_ALL_EVENTS)) {
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: framebench DUNGEON [FRAMES] [PROFILED]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int profiled = argc > 3 ? std::atoi(argv[3]) : 500;
    Tkapp::open(argv[0]);
    Tkapp::guarded([&] {
        static gamerec g = Game::load_newgame({argv[1]});
        Tkapp::eval("package require Togl 2.0");
        Tkapp::evalv({"togl", ".togl", "-width", "800", "-height", "600", "-rgba", "true", "-double", "true", "-depth",
                      "true"});
        Tkapp::evalv({"pack", ".togl", "-side", "bottom", "-fill", "both", "-expand", "1"});
        Tkapp::eval("update");
        Togl* t = nullptr;
        if (Togl_GetToglFromName(Tkapp::interp(), ".togl", &t) != TCL_OK) throw std::runtime_error("no Togl area");
        Togl_MakeCurrent(t);
        Game::init();
        std::printf("renderer %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        std::printf("area %dx%d\n", Togl_Width(t), Togl_Height(t));
        std::fflush(stdout);
        for (int level = 0; level < static_cast<int>(g.levels.size()); ++level)
            for (bool stereo : {false, true}) {
                bench b{g, t, level};
                b.restart();
                for (int f = 0; f < 60; ++f) b.frame(f, stereo, nullptr);   // warm caches and lists
                b.restart();
                std::vector<double> times, updates;
                for (int f = 0; f < frames; ++f) {
                    double u = 0.0;
                    auto t0 = clock_type::now();
                    b.frame(f, stereo, &u);
                    times.push_back(ms(clock_type::now() - t0));
                    updates.push_back(u);
                }
                b.restart();
                sections.fill(0.0);
                Level::frameprobe = probe;
                double total = 0.0;
                for (int f = 0; f < profiled; ++f) {
                    double u = 0.0;
                    auto t0 = clock_type::now();
                    b.frame(f, stereo, &u);
                    total += ms(clock_type::now() - t0) - u;
                }
                Level::frameprobe = nullptr;
                const char* names[] = {"setup", "visibility", "opaque", "translucent", "overlay", "panels"};
                std::printf("frame %d %s n=%d median=%.3f p95=%.3f p99=%.3f max=%.3f update=%.3f", level,
                            stereo ? "stereo" : "mono", frames, percentile(times, 0.5), percentile(times, 0.95),
                            percentile(times, 0.99), percentile(times, 1.0), percentile(updates, 0.5));
                double parts = 0.0;
                for (int s = 0; s < 6; ++s) {
                    std::printf(" %s=%.1f", names[s], 100.0 * sections[s] / total);
                    parts += sections[s];
                }
                std::printf(" swap=%.1f\n", 100.0 * (total - parts) / total);
                std::fflush(stdout);
            }
    });
    return 0;
}
