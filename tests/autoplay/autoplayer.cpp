// autoplayer.cpp -- plans over the places Vesk can stand, then walks, jumps and shoots his way there frame by frame
#include "autoplayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <queue>

#include "levelsource.h"
#include "player/collision.h"
#include "world/levelfile.h"
#include "world/update.h"

namespace Autoplay {

namespace fs = std::filesystem;

dungeonfn fromfiles(const std::string& dir)
{
    return [dir] {
        std::vector<levelrec> out;
        for (int i = 0; fs::exists(fs::path(dir) / ("level" + std::to_string(i))); ++i)
            out.push_back(Level::load_level((fs::path(dir) / ("level" + std::to_string(i))).string()));
        if (out.empty()) throw std::runtime_error("no level0 in " + dir);
        return out;
    };
}

dungeonfn fromsources(const std::string& dir)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".lvl") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) throw std::runtime_error("no level sources in " + dir);
    return [files] {
        std::vector<levelrec> out;
        for (const fs::path& f : files) out.push_back(scenario::roundtrip(Levelsource::compile(Levelsource::parsefile(f.string()))));
        return out;
    };
}

namespace {

constexpr double eps = 0.01;
constexpr double bodyheight = 0.6;
constexpr double jumpup = 0.52;           // a jump rises about 0.576 (less at a coarse dt)
constexpr double jumphead = 0.6 + 0.576;  // head height above the feet at the top of a jump
constexpr double degrees = 57.29578;

// Something in a column Vesk cannot be inside.
struct obstacle {
    double lo, hi;
    bool openable;  // the Dematterizer can swing it away
    bool cube;
    int celly;      // the cell it belongs to
};

enum class edge { none, walk, jump, shoot, drop };

struct step {
    int node;
    edge how;  // how this node is reached from the previous one
};

// The level as columns of obstacles; a node is the top of one obstacle of a column.
struct grid {
    const levelrec& l;
    std::vector<std::vector<obstacle>> cols;
    std::vector<int> base;  // first node of each column
    int nodes = 0;

    explicit grid(const levelrec& level) : l(level)
    {
        cols.resize(static_cast<size_t>(l.xsize) * l.zsize);
        for (int z = 0; z < l.zsize; ++z)
            for (int x = 0; x < l.xsize; ++x) {
                auto& col = cols[x + l.xsize * z];
                for (int y = 0; y < l.ysize; ++y) {
                    const cuberec& c = Level::getcube(l, x, y, z);
                    bool inner = x >= 1 && y >= 1 && z >= 1 && x <= l.xsize - 2 && y <= l.ysize - 2 && z <= l.zsize - 2;
                    // an opened cell counts as open while it has time left to walk through
                    if (c.walls && !(c.dm > 0.4)) col.push_back({double(y), y + 1.0, inner, true, y});
                    for (const fixedobjrec* f : c.fixedobjs)
                        if (!(f->dm > 0.4)) col.push_back({f->box.y - f->box.hy, f->box.y + f->box.hy, true, false, y});
                }
                std::sort(col.begin(), col.end(), [](const obstacle& a, const obstacle& b) { return a.hi < b.hi; });
            }
        base.resize(cols.size() + 1);
        for (size_t i = 0; i < cols.size(); ++i) base[i + 1] = base[i] + static_cast<int>(cols[i].size());
        nodes = base.back();
    }

    int colof(int node) const { return static_cast<int>(std::upper_bound(base.begin(), base.end(), node) - base.begin()) - 1; }
    double top(int node) const
    {
        int c = colof(node);
        return cols[c][node - base[c]].hi;
    }
    int cx(int col) const { return col % l.xsize; }
    int cz(int col) const { return col / l.xsize; }

    // Whether (lo, hi) of a column is free; with shotcelly, also when a shot at that cell would free it.
    bool clear(int col, double lo, double hi, int shotcelly = -1) const
    {
        for (const obstacle& o : cols[col])
            if (o.lo < hi - eps && o.hi > lo + eps) {
                if (shotcelly < 0 || !o.openable || o.celly != shotcelly) return false;
            }
        return true;
    }
    bool blocked(int col, double lo, double hi) const { return !clear(col, lo, hi); }

    // The obstacle Vesk lands on falling from feet height `from`; -1 when none.
    int landing(int col, double from) const
    {
        const auto& c = cols[col];
        for (int i = static_cast<int>(c.size()) - 1; i >= 0; --i)
            if (c[i].hi <= from + eps) return base[col] + i;
        return -1;
    }
};

struct planner {
    const grid& G;
    std::vector<double> penalty;       // per node, guards nearby
    std::map<std::pair<int, int>, int> failures;

    // Every move from a node, with its cost.
    template <class F>
    void moves(int node, F&& out) const
    {
        const levelrec& l = G.l;
        int col = G.colof(node);
        double t = G.top(node);
        int x = G.cx(col), z = G.cz(col);
        // no room to stand here, unless a shot on the way in opened it
        if (G.blocked(col, t, t + bodyheight) && !G.clear(col, t, t + bodyheight, static_cast<int>(t + 0.3))) return;
        bool headroom = G.clear(col, t, t + jumphead);
        const int dx[4] = {1, -1, 0, 0}, dz[4] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            int nx = x + dx[k], nz = z + dz[k];
            if (nx < 1 || nz < 1 || nx >= l.xsize - 1 || nz >= l.zsize - 1) continue;
            int ncol = nx + l.xsize * nz;
            if (G.clear(ncol, t, t + bodyheight)) {
                int land = G.landing(ncol, t);
                if (land >= 0) out(land, edge::walk, 1.0 + (t - G.top(land)) * 0.3);
            } else {
                int celly = static_cast<int>(t + 0.3);
                bool inner = celly >= 1 && celly <= l.ysize - 2;
                if (inner && G.clear(ncol, t, t + bodyheight, celly)) {
                    int land = G.landing(ncol, t);
                    if (land >= 0) out(land, edge::shoot, 8.0);
                }
            }
            if (!headroom) continue;
            const auto& there = G.cols[ncol];
            for (int j = 0; j < static_cast<int>(there.size()); ++j) {
                double nt = there[j].hi;
                if (nt > t + eps && nt <= t + jumpup && G.clear(ncol, nt, std::max(nt + bodyheight, t + jumphead)))
                    out(G.base[ncol] + j, edge::jump, 3.0);
            }
        }
        // shoot the floor away and drop through it
        bool openable = true, any = false;
        int below = static_cast<int>(t - 0.19);
        for (const obstacle& o : G.cols[col])
            if (std::fabs(o.hi - t) <= eps) {
                any = true;
                if (!o.openable || (o.cube && o.celly != below)) openable = false;
            }
        if (any && openable) {
            int land = G.landing(col, t - 2 * eps);
            // whatever else lies just under the floor must be open too
            if (land >= 0 && G.top(land) < t - 0.9) out(land, edge::drop, 10.0);
        }
    }

    // The cheapest way from `from` to any node in `goals`; empty when none.
    std::vector<step> route(int from, const std::vector<char>& goals) const
    {
        std::vector<double> dist(G.nodes, 1e18);
        std::vector<int> prev(G.nodes, -1);
        std::vector<edge> how(G.nodes, edge::none);
        using item = std::pair<double, int>;
        std::priority_queue<item, std::vector<item>, std::greater<item>> q;
        dist[from] = 0.0;
        q.push({0.0, from});
        int found = -1;
        while (!q.empty()) {
            auto [d, n] = q.top();
            q.pop();
            if (d > dist[n]) continue;
            if (goals[n]) {
                found = n;
                break;
            }
            moves(n, [&](int m, edge e, double cost) {
                auto f = failures.find({n, m});
                double c = cost + penalty[m] + (f == failures.end() ? 0.0 : 12.0 * f->second);
                if (d + c < dist[m]) {
                    dist[m] = d + c;
                    prev[m] = n;
                    how[m] = e;
                    q.push({d + c, m});
                }
            });
        }
        std::vector<step> path;
        for (int n = found; n >= 0; n = prev[n]) path.push_back({n, how[n]});
        std::reverse(path.begin(), path.end());
        return path;
    }
};

bool standing(levelrec& l, const veskrec& v)
{
    Level::cubelistrec cl = Level::cubelist(l, v.box);
    double s = 1.0;
    for (const box* b : cl.obstacles) s = std::min(s, Collision::topcollision(v.box, *b, 0.01));
    return s < 0.0;
}

double wrap(double a) { return std::remainder(a, 360.0); }

// The pilot: what it aims at and the keys it holds.
struct pilot {
    gamerec& g;
    levelreport* rep = nullptr;
    bool fwd = false, jump = false;
    std::vector<step> path;
    const freeobjrec* goal = nullptr;
    int sincereplan = 1000;
    int lastnode = -1;
    int stucknode = -1;
    double stucktime = 0.0;
    std::map<std::pair<int, int>, int> failures;
    // a jump in progress: launched, and from which node toward which
    bool jumping = false;
    int jumpfrom = -1, jumpto = -1;
    double airtime = 0.0;

    explicit pilot(gamerec& game) : g(game) {}

    void input(scenario::input in) { scenario::apply(g, in); }
    void setfwd(bool on)
    {
        if (on != fwd) input(on ? scenario::press(0, scenario::key::up) : scenario::release(0, scenario::key::up));
        fwd = on;
    }
    void setjump(bool on)
    {
        if (on != jump) input(on ? scenario::press(0, scenario::key::jump) : scenario::release(0, scenario::key::jump));
        jump = on;
    }
    void face(double h)
    {
        int dx = static_cast<int>(std::lround(wrap(h - g.vesk.heading) / g.vesk.sensitivity));
        if (dx != 0) input(scenario::pointer(0, dx, 0));
    }
    void pitchto(double p)
    {
        int dy = static_cast<int>(std::lround((g.vesk.pitch - p) / (0.5 * g.vesk.sensitivity)));
        if (dy != 0) input(scenario::pointer(0, 0, dy));
    }
    bool facing(double h) const { return std::fabs(wrap(h - g.vesk.heading)) < 0.2; }

    // Velocity toward (tx, tz) at up to vmax; the forward key adds one unit per
    // second along the heading each standing frame, after friction.
    void steer(double tx, double tz, double vmax, double dtest)
    {
        const veskrec& v = g.vesk;
        double ex = tx - v.box.x, ez = tz - v.box.z, d = std::hypot(ex, ez);
        double vt = std::min(vmax, 4.0 * d);
        double ux = d > 1e-9 ? ex / d : 0.0, uz = d > 1e-9 ? ez / d : 0.0;
        double f = std::min(0.01 / dtest, 1.25);
        double wx = ux * vt - f * v.vx, wz = uz * vt - f * v.vz;
        if (std::hypot(wx, wz) >= 0.5) {
            face(std::atan2(wx, -wz) * degrees);
            setfwd(true);
        } else if (d > 0.05 && std::hypot(v.vx, v.vz) < 0.25) {
            // too close for the key's whole unit of speed: a tap creeps nearer
            face(std::atan2(ex, -ez) * degrees);
            setfwd(true);
        } else {
            setfwd(false);
        }
    }

    void reset()
    {
        setfwd(false);
        setjump(false);
        path.clear();
        goal = nullptr;
        jumping = false;
        sincereplan = 1000;
        lastnode = stucknode = -1;
        stucktime = 0.0;
        failures.clear();
    }

    // The node Vesk stands on now.
    int here(const grid& G) const
    {
        int x = static_cast<int>(g.vesk.box.x), z = static_cast<int>(g.vesk.box.z);
        return G.landing(x + G.l.xsize * z, g.vesk.box.y - g.vesk.box.hy + 0.02);
    }

    // What to go for: charges until nine, then a teleporter.
    std::vector<char> goals(const grid& G, std::vector<const freeobjrec*>& objs) const
    {
        std::vector<char> out(G.nodes, 0);
        objs.assign(G.nodes, nullptr);
        int kind = g.vesk.charges >= 9 ? teleporter_kind : charge_kind;
        for (const freeobjrec* o : G.l.freeobjs) {
            if (o->kind != kind) continue;
            int x = static_cast<int>(o->box.x), z = static_cast<int>(o->box.z);
            int col = x + G.l.xsize * z;
            double ob = o->box.y - o->box.hy, ot = o->box.y + o->box.hy;
            for (int i = 0; i < static_cast<int>(G.cols[col].size()); ++i) {
                double t = G.cols[col][i].hi;
                if (t < ot && t + bodyheight > ob && G.clear(col, t, t + bodyheight)) {
                    out[G.base[col] + i] = 1;
                    objs[G.base[col] + i] = o;
                }
            }
        }
        return out;
    }

    void replan(const grid& G, int from)
    {
        planner P{G, std::vector<double>(G.nodes, 0.0), failures};
        // keep away from guards: where they are now, at about Vesk's height
        for (int n = 0; n < G.nodes; ++n) {
            int col = G.colof(n);
            double t = G.top(n), cx = G.cx(col) + 0.5, cz = G.cz(col) + 0.5;
            for (const badguyrec* b : G.l.badguys) {
                if (std::fabs(b->box.y - (t + 0.5)) > 1.2) continue;
                double d = std::hypot(b->box.x - cx, b->box.z - cz);
                if (d < 1.4 && n != from) P.penalty[n] += 1000.0;
                else if (d < 3.5) P.penalty[n] += (3.5 - d) * 8.0;
            }
        }
        std::vector<const freeobjrec*> objs;
        std::vector<char> gs = goals(G, objs);
        path = P.route(from, gs);
        goal = path.empty() ? nullptr : objs[path.back().node];
        sincereplan = 0;
        if (std::getenv("AUTOPLAY_TRACE")) {
            std::fprintf(stderr, "plan at (%.2f %.2f %.2f) v(%.2f %.2f %.2f) charges %d:", g.vesk.box.x, g.vesk.box.y, g.vesk.box.z,
                         g.vesk.vx, g.vesk.vy, g.vesk.vz, g.vesk.charges);
            for (const step& s : path) {
                int c = G.colof(s.node);
                std::fprintf(stderr, " %c(%d,%g,%d)", "-wjsd"[static_cast<int>(s.how)], G.cx(c), G.top(s.node), G.cz(c));
            }
            std::fprintf(stderr, "\n");
        }
        if (rep) rep->replans++;
    }

    // The centre of a node's column.
    static std::pair<double, double> centre(const grid& G, int node)
    {
        int col = G.colof(node);
        return {G.cx(col) + 0.5, G.cz(col) + 0.5};
    }

    void fire()
    {
        double before = g.vesk.charge;
        input(scenario::shoot(0));
        if (g.vesk.charge < before && rep) rep->shots++;
    }

    // One frame's decisions, made before the frame is stepped.
    void decide(double dtest)
    {
        levelrec& l = g.levels.at(g.current);
        veskrec& v = g.vesk;
        bool onground = standing(l, v);
        if (!onground) {
            airtime += dtest;
            if (jumping) setjump(false);  // the jump has taken; holding it would bounce on landing
            else setfwd(false);
            return;
        }
        bool landed = airtime > 0.0;
        airtime = 0.0;
        grid G(l);
        int node = here(G);
        if (node < 0) {
            setfwd(false);
            return;
        }
        if (jumping && landed) {
            jumping = false;
            setfwd(false);
            if (node != jumpto) failures[{jumpfrom, jumpto}]++;
            sincereplan = 1000;
        }
        if (jumping) return;  // still on the ground at launch: the key acts this frame

        // stuck on one node too long: count the move as failed and think again
        if (node != stucknode) {
            stucknode = node;
            stucktime = 0.0;
        } else if ((stucktime += dtest) > 4.0) {
            if (path.size() >= 2) failures[{path[0].node, path[1].node}]++;
            stucktime = 0.0;
            sincereplan = 1000;
        }

        bool guardnear = false;
        for (const badguyrec* b : l.badguys)
            if (std::hypot(b->box.x - v.box.x, b->box.z - v.box.z) < 5.0 && std::fabs(b->box.y - v.box.y) < 1.5) guardnear = true;
        bool goalgone = goal && std::find(l.freeobjs.begin(), l.freeobjs.end(), goal) == l.freeobjs.end();
        if (path.empty() || node != lastnode || goalgone || sincereplan > (guardnear ? 3 : 20) || path[0].node != node ||
            (goal && goal->kind == charge_kind && v.charges >= 9))
            replan(G, node);
        ++sincereplan;
        lastnode = node;
        if (path.empty()) {
            setfwd(false);
            return;
        }
        pitchto(path.size() >= 2 && path[1].how == edge::drop ? 55.0 : 0.0);

        if (path.size() == 1) {  // on the goal's node: go for the object itself
            if (goal) steer(goal->box.x, goal->box.z, 2.5, dtest);
            return;
        }
        auto [ax, az] = centre(G, path[0].node);
        auto [bx, bz] = centre(G, path[1].node);
        double hx = bx - ax, hz = bz - az;  // unit step along an axis (zero for a drop)
        switch (path[1].how) {
        case edge::walk: {
            // look ahead along a straight run at one height
            size_t k = 1;
            while (k + 1 < path.size() && path[k + 1].how == edge::walk && std::fabs(G.top(path[k + 1].node) - G.top(path[k].node)) < eps) {
                auto [px, pz] = centre(G, path[k].node);
                auto [qx, qz] = centre(G, path[k + 1].node);
                if (std::fabs(qx - px - hx) > 0.1 || std::fabs(qz - pz - hz) > 0.1 || k >= 5) break;
                ++k;
            }
            double tx, tz;
            if (k + 1 == path.size() && goal) tx = goal->box.x, tz = goal->box.z;
            else std::tie(tx, tz) = centre(G, path[k].node);
            double vmax = 2.0 + 1.5 * static_cast<double>(k - 1);
            steer(tx, tz, std::max(vmax, 2.0), dtest);
            // never slower than a crawl while there is still a way to go
            if (!fwd && std::hypot(v.vx, v.vz) < 0.3 && std::hypot(tx - v.box.x, tz - v.box.z) > 0.2) {
                face(std::atan2(tx - v.box.x, -(tz - v.box.z)) * degrees);
                setfwd(true);
            }
            return;
        }
        case edge::jump: {
            // from the middle of this cell, standing still, straight at the face
            double h = std::atan2(hx, -hz) * degrees;
            // the distance to the face matters; sideways the face is a whole cell wide
            double along = std::fabs((ax - v.box.x) * hx + (az - v.box.z) * hz);
            double side = std::fabs((ax - v.box.x) * hz - (az - v.box.z) * hx), speed = std::hypot(v.vx, v.vz);
            if (along > 0.08 || side > 0.25 || speed > 0.35) {
                steer(ax, az, 2.0, dtest);
                return;
            }
            face(h);
            setfwd(true);
            setjump(true);
            jumping = true;
            jumpfrom = path[0].node;
            jumpto = path[1].node;
            return;
        }
        case edge::shoot:
        case edge::drop: {
            bool drop = path[1].how == edge::drop;
            double h = drop ? std::round(v.heading / 90.0) * 90.0 : std::atan2(hx, -hz) * degrees;
            // for a drop, stand back in the cell so that the shot lands under the feet
            double r = h / degrees;
            double px = ax - (drop ? 0.3 * std::sin(r) : 0.0), pz = az + (drop ? 0.3 * std::cos(r) : 0.0);
            double d = std::hypot(px - v.box.x, pz - v.box.z), speed = std::hypot(v.vx, v.vz);
            if (d > 0.08 || speed > 0.3) {
                steer(px, pz, 2.0, dtest);
                return;
            }
            setfwd(false);
            face(h);
            pitchto(drop ? 55.0 : 0.0);
            if (facing(h) && std::fabs(v.pitch - (drop ? 55.0 : 0.0)) < 0.2 && v.charge >= 0.4) {
                fire();
                sincereplan = 1000;
            }
            return;
        }
        case edge::none: return;
        }
    }
};

}  // namespace

runreport play(const dungeonfn& dungeon, scenario::timing times, double limit, const std::function<void(const std::string&)>& log)
{
    runreport out;
    scenario::runner r = scenario::start(dungeon, times);
    pilot p(r.game);
    const int nlevels = static_cast<int>(r.game.levels.size());
    out.levels.push_back({});
    p.rep = &out.levels.back();
    auto say = [&](const std::string& s) {
        if (log) log(s);
    };
    double dtest = times.ragged ? 0.5 * (times.lo + times.hi) : times.dt;
    while (true) {
        levelreport& lr = out.levels.back();
        lr.level = r.game.current;
        p.decide(dtest);
        const gameresult res = scenario::step(r);
        dtest = r.lastdt;
        lr.gametime += r.lastdt;
        lr.frames++;
        char buf[200];
        switch (res) {
        case gameresult::playing: break;
        case gameresult::caught:
            lr.chanceslost++;
            p.reset();
            std::snprintf(buf, sizeof buf, "level %d: caught at %.1f s, %d chances left", lr.level, lr.gametime, r.game.vesk.chances);
            say(buf);
            break;
        case gameresult::lost:
            lr.chanceslost++;
            std::snprintf(buf, sizeof buf, "level %d: the last chance lost after %.1f s: game over", lr.level, lr.gametime);
            out.failure = buf;
            return out;
        case gameresult::nextlevel:
        case gameresult::won:
            lr.done = true;
            std::snprintf(buf, sizeof buf, "level %d: teleported after %.2f s (%d frames), %d chances lost, %d shots", lr.level,
                          lr.gametime, lr.frames, lr.chanceslost, lr.shots);
            say(buf);
            if (res == gameresult::won || lr.level == nlevels - 1) {
                out.won = res == gameresult::won;
                if (!out.won) out.failure = "teleported out of the last level without winning";
                return out;
            }
            p.reset();
            out.levels.push_back({});
            p.rep = &out.levels.back();
            break;
        }
        if (out.levels.back().gametime > limit) {
            std::snprintf(buf, sizeof buf, "level %d: not finished in %.0f s of game time (%d charges held, %d chances lost)",
                          out.levels.back().level, limit, r.game.vesk.charges, out.levels.back().chanceslost);
            out.failure = buf;
            return out;
        }
    }
}

}  // namespace Autoplay
