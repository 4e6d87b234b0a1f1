// worldupdate_test.cpp -- gathering around a box, aging, the Dematterizer, movers, scent, pick-ups
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fixture.h"
#include "world/update.h"

namespace {

cuberec* cell(levelrec& l, int x, int y, int z) { return &Level::getcube(l, x, y, z); }

// cellflags must be what a fresh recomputation gives.
void expect_flags_fresh(levelrec& l)
{
    const std::vector<std::uint8_t> kept = l.cellflags;
    Level::touchall(l);
    EXPECT_EQ(kept, l.cellflags);
}

void makesolid(levelrec& l, int x, int y, int z)
{
    cell(l, x, y, z)->walls = std::array<std::uint8_t, 6>{};
    Level::touchcell(l, Level::cellindex(l, x, y, z));
}

bool listed(const std::vector<freeobjrec*>& list, const freeobjrec* o)
{
    return std::find(list.begin(), list.end(), o) != list.end();
}

// The player standing on the floor of a room's first inner layer.
veskrec player_at(double x, double z)
{
    veskrec v;
    v.box.x = x;
    v.box.y = 1.306;
    v.box.z = z;
    return v;
}

TEST(Cubelist, CellsAndObstacleOrder)
{
    levelrec l = fixture::room(6, 4, 6);
    makesolid(l, 2, 1, 4);
    cell(l, 3, 0, 4)->dm = 0.5;  // dematterized floor: no unit box
    fixedobjrec* stepobj = fixture::put_fixed(l, step, 2.5, 1.25, 3.5);
    fixedobjrec* barsA = fixture::put_fixed(l, barsxy, 3.5, 1.5, 4.5);
    fixedobjrec* barsB = fixture::put_fixed(l, barszy, 3.5, 1.5, 4.5);  // cell list now [B, A]
    fixedobjrec* gone = fixture::put_fixed(l, barsxz, 2.5, 2.5, 4.5);
    gone->dm = 0.3;

    const box b{3.2, 1.5, 3.9, 0.08, 0.3, 0.08};
    Level::cubelistrec r = Level::cubelist(l, b);

    // x 2..3, y 0..2, z 3..4 (trunc(3.9 + 0.58) = 4): 12 cells, decreasing x, then y, then z.
    std::vector<cuberec*> expect;
    for (int x = 3; x >= 2; --x)
        for (int y = 2; y >= 0; --y)
            for (int z = 4; z >= 3; --z) expect.push_back(cell(l, x, y, z));
    EXPECT_EQ(r.cells, expect);

    // Fixed objects' own boxes, increasing cells, each cell's in reverse list
    // order; then new unit boxes of the impermeable cells, decreasing.
    ASSERT_EQ(r.obstacles.size(), 3u + 4u);
    EXPECT_EQ(r.obstacles[0], &stepobj->box);
    EXPECT_EQ(r.obstacles[1], &barsA->box);
    EXPECT_EQ(r.obstacles[2], &barsB->box);
    const int units[4][3] = {{3, 0, 3}, {2, 1, 4}, {2, 0, 4}, {2, 0, 3}};
    for (int i = 0; i < 4; ++i) {
        const box& u = *r.obstacles[3 + i];
        EXPECT_EQ(u.x, units[i][0] + 0.5) << i;
        EXPECT_EQ(u.y, units[i][1] + 0.5) << i;
        EXPECT_EQ(u.z, units[i][2] + 0.5) << i;
        EXPECT_EQ(u.hx, 0.5);
        EXPECT_EQ(u.hy, 0.5);
        EXPECT_EQ(u.hz, 0.5);
    }

    // The result can be moved (as it is when returned) without its boxes moving.
    const box* first = r.obstacles[3];
    Level::cubelistrec moved = std::move(r);
    EXPECT_EQ(moved.obstacles[3], first);
    EXPECT_EQ(first, &moved.cellboxes[moved.cellboxes.size() - 1]);
}

TEST(Updatedm, AgingAndLeaving)
{
    levelrec l = fixture::room(5, 4, 5);
    veskrec v;
    freeobjrec* o = fixture::put_free(l, charge_kind, 2.5, 1.075, 2.5);
    fixedobjrec* f = fixture::put_fixed(l, step, 2.5, 1.25, 2.5);
    Level::dematterize(l, {2.5, 1.5, 2.5, 0.4, 0.4, 0.4});
    ASSERT_EQ(l.dmcubes.size(), 1u);
    ASSERT_EQ(l.dmfree.size(), 1u);
    ASSERT_EQ(l.dmfixed.size(), 1u);

    for (int i = 0; i < 249; ++i) Level::updatedm(l, v, 0.01);
    EXPECT_EQ(l.dmfree.size(), 1u) << "a free object is out for 2.5 s";
    for (int i = 0; i < 2; ++i) Level::updatedm(l, v, 0.01);
    EXPECT_TRUE(l.dmfree.empty());
    EXPECT_EQ(o->dm, 0.0);
    EXPECT_NEAR(cell(l, 2, 1, 2)->dm, 1.0 - 0.2 * 2.51, 1e-9);
    EXPECT_NEAR(f->dm, 1.0 - 0.2 * 2.51, 1e-9);

    for (int i = 0; i < 248; ++i) Level::updatedm(l, v, 0.01);
    EXPECT_EQ(l.dmcubes.size(), 1u) << "a cell is out for 5 s";
    EXPECT_TRUE(l.cellflags[Level::cellindex(l, 2, 1, 2)] & Level::cell_dm);
    for (int i = 0; i < 2; ++i) Level::updatedm(l, v, 0.01);
    EXPECT_TRUE(l.dmcubes.empty());
    EXPECT_TRUE(l.dmfixed.empty());
    EXPECT_EQ(cell(l, 2, 1, 2)->dm, 0.0);
    EXPECT_EQ(f->dm, 0.0);
    expect_flags_fresh(l);
}

TEST(Updatedm, SurvivorsComeOutReversed)
{
    levelrec l = fixture::room(6, 4, 5);
    veskrec v;
    cuberec *a = cell(l, 1, 1, 1), *b = cell(l, 2, 1, 1), *c = cell(l, 3, 1, 1), *d = cell(l, 4, 1, 1);
    a->dm = 1.0;
    b->dm = 0.01;  // leaves
    c->dm = 0.5;
    d->dm = 0.02;  // reaches exactly 0.0: leaves too
    l.dmcubes = {a, b, c, d};
    Level::touchall(l);
    freeobjrec* fo[3];
    for (int i = 0; i < 3; ++i) fo[i] = fixture::put_free(l, charge_kind, 1.5 + i, 1.5, 2.5);
    fo[0]->dm = 1.0, fo[1]->dm = 0.03, fo[2]->dm = 1.0;
    l.dmfree = {fo[0], fo[1], fo[2]};
    fixedobjrec* fx[3];
    for (int i = 0; i < 3; ++i) fx[i] = fixture::put_fixed(l, step, 1.5 + i, 1.25, 3.5);
    fx[0]->dm = 0.01, fx[1]->dm = 0.5, fx[2]->dm = 0.7;
    l.dmfixed = {fx[0], fx[1], fx[2]};

    Level::updatedm(l, v, 0.1);
    EXPECT_EQ(l.dmcubes, (std::vector<cuberec*>{c, a}));
    EXPECT_EQ(b->dm, 0.0);
    EXPECT_EQ(d->dm, 0.0);
    EXPECT_NEAR(a->dm, 0.98, 1e-12);
    EXPECT_EQ(l.dmfree, (std::vector<freeobjrec*>{fo[2], fo[0]}));
    EXPECT_NEAR(fo[0]->dm, 0.96, 1e-12);
    EXPECT_EQ(fo[1]->dm, 0.0);
    EXPECT_EQ(l.dmfixed, (std::vector<fixedobjrec*>{fx[2], fx[1]}));
    EXPECT_EQ(fx[0]->dm, 0.0);
    expect_flags_fresh(l);
}

TEST(Dematterize, HitCellIsClampedInside)
{
    struct row {
        double x, y, z;
        int cx, cy, cz;
    } rows[] = {
        {2.7, 1.5, 2.2, 2, 1, 2},
        {0.3, 1.5, 2.5, 1, 1, 2},   // aimed at the outer layer
        {-0.7, 0.2, 2.5, 1, 1, 2},  // trunc(-0.7) is 0
        {-3.0, 1.5, 2.5, 1, 1, 2},
        {-3.0, 0.2, 0.3, 1, 1, 1},  // the gathering around it starts before the array
        {9.5, 7.0, 5.9, 4, 2, 4},   // beyond the far ends: size - 2
        {5.2, 3.0, 4.0, 4, 2, 4},
    };
    for (const row& r : rows) {
        levelrec l = fixture::room(6, 4, 6);
        Level::dematterize(l, {r.x, r.y, r.z, 0.4, 0.4, 0.4});
        cuberec* hit = cell(l, r.cx, r.cy, r.cz);
        EXPECT_EQ(l.dmcubes, std::vector<cuberec*>{hit}) << r.x << " " << r.y << " " << r.z;
        EXPECT_EQ(hit->dm, 1.0);
        int opened = 0;
        for (const cuberec& c : l.cubes) opened += c.dm > 0.0;
        EXPECT_EQ(opened, 1) << "only the hit cell";
        expect_flags_fresh(l);
    }
}

TEST(Dematterize, ObjectsInAndAroundTheHitCell)
{
    levelrec l = fixture::room(6, 4, 6);
    const box shot{2.5, 1.5, 2.5, 0.4, 0.4, 0.4};  // spans 2.1 .. 2.9 on each axis
    fixedobjrec* inside = fixture::put_fixed(l, step, 2.5, 1.25, 2.5);      // hit cell
    freeobjrec* lying = fixture::put_free(l, charge_kind, 2.95, 1.075, 2.95);  // hit cell, beside the shot
    freeobjrec* reaching = fixture::put_free(l, teleporter_kind, 3.3, 1.5, 2.5);  // next cell, from x 2.82
    freeobjrec* touching = fixture::put_free(l, bribe_kind, 3.0, 1.5, 2.5);   // face to face on x
    freeobjrec* away = fixture::put_free(l, charge_kind, 3.5, 1.5, 3.5);
    fixedobjrec* bars = fixture::put_fixed(l, barsxy, 2.5, 1.5, 3.0);         // filed in (2,1,3), z 2.975..3.025
    fixedobjrec* farbars = fixture::put_fixed(l, barsxy, 2.5, 1.5, 3.5);
    ASSERT_EQ(touching->box.x - touching->box.hx, shot.x + shot.hx);

    Level::dematterize(l, shot);
    EXPECT_EQ(inside->dm, 1.0);
    EXPECT_EQ(lying->dm, 1.0);
    EXPECT_EQ(reaching->dm, 1.0);
    EXPECT_EQ(touching->dm, 0.0);
    EXPECT_EQ(away->dm, 0.0);
    EXPECT_EQ(bars->dm, 0.0) << "filed in (2,1,3) but its box starts at z 2.975, beyond the shot";
    EXPECT_EQ(farbars->dm, 0.0);
    EXPECT_EQ(l.dmfixed, std::vector<fixedobjrec*>{inside});
    EXPECT_EQ(l.dmfree, (std::vector<freeobjrec*>{reaching, lying}));
    EXPECT_EQ(cell(l, 3, 1, 2)->dm, 0.0) << "cells the shot only touches keep their matter";

    // Shot again a second later: back to 1.0, nothing listed twice.
    veskrec v;
    Level::updatedm(l, v, 1.0);
    bars->box.z = 2.85;  // now overlapping the shot (moved by hand for the test)
    Level::dematterize(l, shot);
    EXPECT_EQ(cell(l, 2, 1, 2)->dm, 1.0);
    EXPECT_EQ(l.dmcubes.size(), 1u);
    EXPECT_EQ(lying->dm, 1.0);
    EXPECT_EQ(l.dmfree.size(), 2u);
    EXPECT_EQ(l.dmfixed, (std::vector<fixedobjrec*>{bars, inside}));
    expect_flags_fresh(l);
}

TEST(Movefreeobj, FreeObjectsAreObstaclesToEachOther)
{
    levelrec l = fixture::room(5, 5, 5);
    fixture::put_free(l, teleporter_kind, 2.5, 1.48, 2.5);  // top at 1.96
    freeobjrec* c = fixture::put_free(l, charge_kind, 2.5, 2.6, 2.5);
    for (int i = 0; i < 300; ++i) Level::movefreeobj(l, 0.011);
    EXPECT_GT(c->box.y - c->box.hy, 1.96);
    EXPECT_LT(c->box.y - c->box.hy, 1.98);
    EXPECT_TRUE(listed(cell(l, 2, 2, 2)->freeobjs, c));
    expect_flags_fresh(l);
}

TEST(Movefreeobj, RefilingByIdentity)
{
    levelrec l = fixture::room(5, 5, 5);
    // Three charges in cell (2, 2, 2); the two outer ones hang dematterized.
    freeobjrec* a = fixture::put_free(l, charge_kind, 2.2, 2.5, 2.5);
    freeobjrec* m = fixture::put_free(l, charge_kind, 2.5, 2.5, 2.5);
    freeobjrec* b = fixture::put_free(l, charge_kind, 2.8, 2.5, 2.5);
    freeobjrec* below = fixture::put_free(l, bribe_kind, 2.5, 1.1, 3.5);
    a->dm = b->dm = 1.0;
    ASSERT_EQ(cell(l, 2, 2, 2)->freeobjs, (std::vector<freeobjrec*>{b, m, a}));
    int frames = 0;
    while (static_cast<int>(m->box.y) == 2 && frames < 500) {
        Level::movefreeobj(l, 0.011);
        ++frames;
    }
    ASSERT_LT(frames, 500);
    EXPECT_EQ(cell(l, 2, 2, 2)->freeobjs, (std::vector<freeobjrec*>{a, b})) << "the others, reversed";
    EXPECT_EQ(cell(l, 2, 1, 2)->freeobjs, std::vector<freeobjrec*>{m});
    EXPECT_EQ(l.freeobjs.size(), 4u);
    EXPECT_TRUE(listed(cell(l, 2, 1, 3)->freeobjs, below));
    expect_flags_fresh(l);
}

TEST(Movebadguys, GuardRefiledWhenItCrossesACell)
{
    levelrec l = fixture::room(5, 4, 8);
    badguyrec* g = fixture::put_guard(l, 2.5, 1.5, 2.5, 180.0);  // walks toward +z
    cuberec* from = cell(l, 2, 1, 2);
    veskrec v;
    int frames = 0;
    auto now = [&] { return cell(l, int(g->box.x), int(g->box.y), int(g->box.z)); };
    while (now() == from && frames < 500) {
        l.clock += 0.011;
        Level::movebadguys(l, v, 0.011);
        ++frames;
    }
    ASSERT_LT(frames, 500);
    EXPECT_TRUE(from->badguys.empty());
    EXPECT_EQ(now()->badguys, std::vector<badguyrec*>{g});
    EXPECT_EQ(l.badguys, std::vector<badguyrec*>{g});
    expect_flags_fresh(l);
}

TEST(Movebadguys, ScentArrayRowsAlongXColumnsAlongZ)
{
    // Scent in one neighbouring cell of the guard's layer turns the guard toward it.
    struct row {
        int ox, oz;
        double heading;
        int turn;  // sign of the heading change
    } rows[] = {{1, 0, 0, +1}, {-1, 0, 0, -1}, {0, 1, 90, +1}, {0, -1, 90, -1}};
    for (const row& r : rows) {
        levelrec l = fixture::room(7, 4, 7);
        badguyrec* g = fixture::put_guard(l, 3.3, 1.5, 3.3, r.heading);
        cell(l, 3 + r.ox, 1, 3 + r.oz)->scent = 50.0;
        cell(l, 3 - r.oz, 2, 3 + r.ox)->scent = 500.0;  // another layer: not in the array
        veskrec v;
        Level::movebadguys(l, v, 0.011);
        EXPECT_EQ(g->heading > r.heading ? 1 : g->heading < r.heading ? -1 : 0, r.turn) << r.ox << " " << r.oz;
    }
}

TEST(Scent, PlayerRaisesGuardsLower)
{
    levelrec l = fixture::room(9, 4, 7);
    veskrec v = player_at(2.5, 2.5);
    fixture::put_guard(l, 4.5, 1.5, 2.5, 0);  // its cells x 3..5 share x 3 with the player's 1..3
    fixture::put_guard(l, 6.5, 1.5, 4.5, 0);
    l.clock = 19.9;
    EXPECT_EQ(Level::update(l, v, 0.1), outcome::nothing);
    EXPECT_DOUBLE_EQ(l.clock, 20.0);
    struct row {
        int x, y, z;
        double scent;
    } rows[] = {
        {1, 0, 1, 2.0},  {2, 1, 2, 2.0},  {2, 2, 3, 2.0},   // player only
        {3, 1, 2, 1.8},  {3, 0, 1, 1.8},                     // player and first guard
        {4, 1, 2, -0.2}, {4, 2, 3, -0.2},                    // first guard only
        {5, 1, 3, -0.4}, {5, 0, 3, -0.4},                    // both guards
        {7, 1, 5, -0.2}, {6, 1, 5, -0.2}, {5, 1, 4, -0.2},   // second guard only
        {2, 1, 4, 0.0},  {4, 1, 0, 0.0}, {8, 1, 2, 0.0},     // out of reach
    };
    for (const row& r : rows) EXPECT_NEAR(cell(l, r.x, r.y, r.z)->scent, r.scent, 1e-9) << r.x << r.y << r.z;
}

TEST(Movevesk, WhichChargeIsTaken)
{
    // The player touches the charge at its feet; another charge is near. The
    // first charge of F (the gathering reversed) goes.
    struct row {
        const char* what;
        double ox, oz;
        bool other_first;  // put the other charge before the touched one
        bool other_goes;
    } rows[] = {
        {"other in a lower cell", 1.5, 2.5, false, true},
        {"other in a higher cell", 3.5, 2.5, false, false},
        {"same cell, other at the front", 2.9, 2.9, false, false},
        {"same cell, other behind", 2.9, 2.9, true, true},
    };
    for (const row& r : rows) {
        levelrec l = fixture::room(6, 4, 6);
        freeobjrec *touched, *other;
        if (r.other_first) {
            other = fixture::put_free(l, charge_kind, r.ox, 1.075, r.oz);
            touched = fixture::put_free(l, charge_kind, 2.5, 1.075, 2.5);
        } else {
            touched = fixture::put_free(l, charge_kind, 2.5, 1.075, 2.5);
            other = fixture::put_free(l, charge_kind, r.ox, 1.075, r.oz);
        }
        veskrec v = player_at(2.5, 2.5);
        EXPECT_EQ(Level::movevesk(l, v, 0.01), outcome::nothing) << r.what;
        EXPECT_EQ(v.charges, 1) << r.what;
        const freeobjrec* gone = r.other_goes ? other : touched;
        const freeobjrec* stays = r.other_goes ? touched : other;
        EXPECT_FALSE(listed(l.freeobjs, gone)) << r.what;
        EXPECT_TRUE(listed(l.freeobjs, stays)) << r.what;
        EXPECT_FALSE(listed(Level::getcube(l, int(gone->box.x), 1, int(gone->box.z)).freeobjs, gone)) << r.what;
        EXPECT_TRUE(listed(Level::getcube(l, int(stays->box.x), 1, int(stays->box.z)).freeobjs, stays)) << r.what;
        expect_flags_fresh(l);
    }
}

TEST(Movevesk, PickupRemovesEqualObjectsAndReversesTheLists)
{
    levelrec l = fixture::room(6, 4, 6);
    freeobjrec* far = fixture::put_free(l, charge_kind, 4.5, 1.075, 4.5);        // outside the player's cells
    freeobjrec* twin1 = fixture::put_free(l, charge_kind, 2.5, 1.075, 2.5);
    freeobjrec* twin2 = fixture::put_free(l, charge_kind, 2.5, 1.075, 2.5);      // equal in every field
    freeobjrec* b1 = fixture::put_free(l, bribe_kind, 1.3, 1.1, 1.3);
    freeobjrec* b2 = fixture::put_free(l, bribe_kind, 1.7, 1.1, 1.7);
    freeobjrec* tele = fixture::put_free(l, teleporter_kind, 3.5, 1.48, 3.5);
    ASSERT_EQ(cell(l, 1, 1, 1)->freeobjs, (std::vector<freeobjrec*>{b2, b1}));
    ASSERT_EQ(l.freeobjs, (std::vector<freeobjrec*>{tele, b2, b1, twin2, twin1, far}));

    veskrec v = player_at(2.5, 2.5);
    EXPECT_EQ(Level::movevesk(l, v, 0.01), outcome::nothing);
    EXPECT_EQ(v.charges, 1);
    EXPECT_EQ(l.freeobjs, (std::vector<freeobjrec*>{far, b1, b2, tele}));
    EXPECT_TRUE(cell(l, 2, 1, 2)->freeobjs.empty());
    EXPECT_EQ(cell(l, 1, 1, 1)->freeobjs, (std::vector<freeobjrec*>{b1, b2})) << "every nearby cell is rebuilt";
    EXPECT_EQ(cell(l, 4, 1, 4)->freeobjs, std::vector<freeobjrec*>{far});
    expect_flags_fresh(l);
}

TEST(Movevesk, Outcomes)
{
    struct row {
        const char* what;
        int kind;  // free object at the player's feet, or -1 for a guard
        double dm;
        int charges, chances;
        outcome expect;
        bool removed;
        int charges_after, chances_after;
    } rows[] = {
        {"charge", charge_kind, 0.0, 0, 5, outcome::nothing, true, 1, 5},
        {"dematterized charge", charge_kind, 0.7, 2, 5, outcome::nothing, true, 3, 5},
        {"bribe", bribe_kind, 0.0, 0, 5, outcome::nothing, true, 0, 6},
        {"teleporter with 9", teleporter_kind, 0.0, 9, 5, outcome::teleport, false, 0, 5},
        {"teleporter with 8", teleporter_kind, 0.0, 8, 5, outcome::nothing, false, 8, 5},
        {"guard", -1, 0.0, 0, 5, outcome::caught, false, 0, 4},
        {"guard, last chance", -1, 0.0, 0, 1, outcome::lost, false, 0, 0},
    };
    for (const row& r : rows) {
        levelrec l = fixture::room(6, 4, 6);
        l.startx = 1.5, l.starty = 1.306, l.startz = 4.5, l.startheading = 270;
        freeobjrec* o = nullptr;
        badguyrec* g = nullptr;
        if (r.kind >= 0) {
            o = fixture::put_free(l, r.kind, 2.5, 1.2, 2.5);
            o->dm = r.dm;
            if (r.dm > 0) l.dmfree.push_back(o);
        } else {
            g = fixture::put_guard(l, 2.5, 1.5, 2.6, 0);
        }
        veskrec v = player_at(2.5, 2.5);
        v.charges = r.charges;
        v.chances = r.chances;
        v.vx = 0.3;
        EXPECT_EQ(Level::movevesk(l, v, 0.01), r.expect) << r.what;
        EXPECT_EQ(v.charges, r.charges_after) << r.what;
        EXPECT_EQ(v.chances, r.chances_after) << r.what;
        if (o) {
            EXPECT_EQ(listed(l.freeobjs, o), !r.removed) << r.what;
            EXPECT_EQ(listed(cell(l, 2, 1, 2)->freeobjs, o), !r.removed) << r.what;
        }
        const bool backtostart = r.expect == outcome::caught;
        EXPECT_EQ(v.box.x == 1.5 && v.box.z == 4.5 && v.heading == 270, backtostart) << r.what;
        if (backtostart) {
            EXPECT_EQ(v.vx, 0.0);
            EXPECT_EQ(g->box.z, 2.6) << "the guard carries on";
        }
        expect_flags_fresh(l);
    }
}

TEST(Levelupdate, AgingComesBeforeFalling)
{
    // A charge whose dm runs out this frame falls in this same frame.
    levelrec l = fixture::room(5, 5, 5);
    freeobjrec* c = fixture::put_free(l, charge_kind, 2.5, 2.5, 2.5);
    c->dm = 0.01;
    c->vy = -1.0;
    l.dmfree.push_back(c);
    veskrec v = player_at(1.5, 3.5);
    Level::update(l, v, 0.1);
    EXPECT_EQ(c->dm, 0.0);
    EXPECT_LT(c->box.y, 2.5);
}

}  // namespace
