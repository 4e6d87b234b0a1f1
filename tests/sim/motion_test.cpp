// motion_test.cpp -- one frame of the player's motion, its contacts and the shot box
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "player/vesk.h"

namespace {

constexpr double deg = 0.017453293;

// A unit floor cube whose top is y = 1.0 and a player standing exactly on it.
const box floorbox{2.5, 0.5, 2.5, 0.5, 0.5, 0.5};

veskrec standing_player()
{
    veskrec v;
    v.box.x = 2.5;
    v.box.y = 1.3;
    v.box.z = 2.5;
    return v;
}

TEST(Motion, WalkingTableOnTheGround)
{
    // dt 0.02: step 2.0 and friction 0.5, so the new velocity is half the old
    // one plus the table speed.
    const double dt = 0.02, h = 30.0;
    const double S = std::sin(h * deg), C = std::cos(h * deg);
    struct row {
        movestate state;
        double ex, ez;  // table speed in x and z
    } rows[] = {
        {movestate::still, 0, 0},
        {movestate::forward, S, -C},
        {movestate::forwardright, (S + C) * 0.65, (S - C) * 0.65},
        {movestate::right, C * 0.75, S * 0.75},
        {movestate::backright, (C - S) * 0.45, (C + S) * 0.45},
        {movestate::back, -S * 0.5, C * 0.5},
        {movestate::backleft, -(C + S) * 0.45, (C - S) * 0.45},
        {movestate::left, -C * 0.75, -S * 0.75},
        {movestate::forwardleft, (S - C) * 0.65, -(S + C) * 0.65},
    };
    for (const row& r : rows) {
        veskrec v = standing_player();
        v.heading = h;
        v.movestate = r.state;
        v.vx = 1.0;
        v.vz = -0.6;
        v.vy = -3.0;  // standing without the jump key: vy becomes 0
        const double y0 = v.box.y + 0.005;  // lifted once, resting within 0.005 of its support
        EXPECT_EQ(Vesk::update(v, dt, {&floorbox}, {}), outcome::nothing);
        const double ex = 0.5 + r.ex, ez = -0.3 + r.ez;  // no step under the 0.001 cut-off
        EXPECT_NEAR(v.vx, ex, 1e-9) << static_cast<int>(r.state);
        EXPECT_NEAR(v.vz, ez, 1e-9) << static_cast<int>(r.state);
        EXPECT_EQ(v.vy, 0.0) << static_cast<int>(r.state);
        EXPECT_NEAR(v.box.x, 2.5 + ex * dt, 1e-9) << static_cast<int>(r.state);
        EXPECT_NEAR(v.box.z, 2.5 + ez * dt, 1e-9) << static_cast<int>(r.state);
        EXPECT_DOUBLE_EQ(v.box.y, y0) << static_cast<int>(r.state);
    }
}

TEST(Motion, ForwardFollowsTheHeading)
{
    struct row {
        double heading, dirx, dirz;
    } rows[] = {{0, 0, -1}, {90, 1, 0}, {180, 0, 1}, {-90, -1, 0}, {450, 1, 0}};
    for (const row& r : rows) {
        veskrec v = standing_player();
        v.heading = r.heading;
        Vesk::startfwd(v);
        Vesk::update(v, 0.02, {&floorbox}, {});
        EXPECT_NEAR(v.vx, r.dirx, 1e-6) << r.heading;
        EXPECT_NEAR(v.vz, r.dirz, 1e-6) << r.heading;
    }
}

TEST(Motion, StandingStillStaysPut)
{
    veskrec v = standing_player();
    v.box.y = 1.306;  // resting within 0.01 and not lifted
    for (int i = 0; i < 50; ++i) ASSERT_EQ(Vesk::update(v, 0.011, {&floorbox}, {}), outcome::nothing);
    EXPECT_EQ(v.vx, 0.0);
    EXPECT_EQ(v.vy, 0.0);
    EXPECT_EQ(v.vz, 0.0);
    EXPECT_EQ(v.box.x, 2.5);
    EXPECT_EQ(v.box.y, 1.306);
    EXPECT_EQ(v.box.z, 2.5);
}

TEST(Motion, SupportAndSinkCorrection)
{
    // Height of the player's bottom above the floor's top -> standing, lift.
    struct row {
        double above;
        bool standing;
        double lift;
    } rows[] = {
        {0.0, true, 0.005},     // s = -0.01
        {0.004, true, 0.005},   // s = -0.006
        {0.006, true, 0.0},     // s = -0.004
        {0.0099, true, 0.0},
        {0.0101, false, 0.0},   // in the air: falls
        {-0.003, true, 0.005},  // slightly sunk: lifted out before the matter check
    };
    const double dt = 0.01;
    for (const row& r : rows) {
        veskrec v = standing_player();
        v.box.y = 1.3 + r.above;
        v.vy = 0.7;
        EXPECT_EQ(Vesk::update(v, dt, {&floorbox}, {}), outcome::nothing) << r.above;
        if (r.standing) {
            EXPECT_EQ(v.vy, 0.0) << r.above;
            EXPECT_NEAR(v.box.y, 1.3 + r.above + r.lift, 1e-12) << r.above;
        } else {
            EXPECT_NEAR(v.vy, 0.7 - 5.0 * dt, 1e-12) << r.above;
            EXPECT_NEAR(v.box.y, 1.3 + r.above + (0.7 - 5.0 * dt) * dt, 1e-12) << r.above;
        }
    }
    // Sunk more than the lift can mend: the floor holds the player, a chance is lost.
    veskrec v = standing_player();
    v.box.y = 1.3 - 0.006;
    EXPECT_EQ(Vesk::update(v, dt, {&floorbox}, {}), outcome::caught);
    EXPECT_EQ(v.chances, 4);
}

TEST(Motion, AirSteeringAndDrag)
{
    veskrec v;
    v.box = {2.5, 2.5, 2.5, 0.08, 0.3, 0.08};
    v.heading = 90;
    v.movestate = movestate::forward;
    v.vx = 1.0;
    v.vz = 0.5;
    v.vy = 0.2;
    const double dt = 0.05;
    Vesk::update(v, dt, {&floorbox}, {});
    EXPECT_NEAR(v.vx, (1.0 + dt) * 0.99, 1e-7);
    EXPECT_NEAR(v.vz, 0.5 * 0.99, 1e-7);
    EXPECT_NEAR(v.vy, 0.2 - 5.0 * dt, 1e-12);
}

TEST(Motion, JumpAndLanding)
{
    veskrec v = standing_player();
    Vesk::startjump(v);
    const double dt = 0.01;
    Vesk::update(v, dt, {&floorbox}, {});
    EXPECT_EQ(v.vy, 2.4);
    Vesk::endjump(v);  // releasing in the air does not shorten the jump
    Vesk::update(v, dt, {&floorbox}, {});
    EXPECT_NEAR(v.vy, 2.4 - 5.0 * dt, 1e-12);
    double top = v.box.y;
    int landed = -1;
    for (int frame = 0; frame < 150; ++frame) {  // 1.5 s; the jump lasts about 2 * 2.4 / 5
        ASSERT_EQ(Vesk::update(v, dt, {&floorbox}, {}), outcome::nothing);
        top = std::max(top, v.box.y);
        if (landed < 0 && v.box.y < 1.31 && v.vy == 0.0) landed = frame;
    }
    EXPECT_GT(landed, 80);
    EXPECT_LT(landed, 110);
    EXPECT_NEAR(top - 1.3, 2.4 * 2.4 / 10.0, 0.05);  // v^2 / 2g
    EXPECT_GE(v.box.y - 0.3, 1.0);                    // landed on top of the floor
    EXPECT_LT(v.box.y - 0.3, 1.01);
}

TEST(Motion, FallFromRestAtHighFrameRates)
{
    // The first frames of a fall ask for less than deflect's 0.001 cut-off;
    // the player must still come down instead of hanging in the air.
    for (double dt : {0.002, 0.005, 0.011, 0.02, 0.05}) {
        veskrec v = standing_player();
        v.box.y = 2.8;  // 1.5 above the floor
        double t = 0;
        while (t < 1.5) {
            Vesk::update(v, dt, {&floorbox}, {});
            t += dt;
        }
        EXPECT_LT(v.box.y, 1.31) << dt;
        EXPECT_GE(v.box.y, 1.3) << dt;
        EXPECT_EQ(v.vy, 0.0) << dt;
    }
}

TEST(Motion, SpeedCapOnALongFrame)
{
    // A 2-second frame in the air with huge velocities moves half a unit per axis.
    veskrec v;
    v.box = {2.5, 5.0, 2.5, 0.08, 0.3, 0.08};
    v.vx = 100.0;
    v.vy = -40.0;
    v.vz = -7.0;
    Vesk::update(v, 2.0, {}, {});
    EXPECT_EQ(v.vx, 0.25);
    EXPECT_EQ(v.vy, -0.25);
    EXPECT_EQ(v.vz, -0.25);
    EXPECT_EQ(v.box.x, 3.0);
    EXPECT_EQ(v.box.y, 4.5);
    EXPECT_EQ(v.box.z, 2.0);
}

TEST(Motion, WallStopsTheVelocityOnItsAxis)
{
    veskrec v = standing_player();
    v.box.y = 1.306;
    v.heading = 90;
    v.vx = 0.0;
    Vesk::startfwd(v);
    const box wall{2.58 + 0.1 + 0.5, 1.5, 2.5, 0.5, 0.5, 0.5};  // near face 0.1 ahead of the player's
    Vesk::update(v, 0.2, {&floorbox, &wall}, {});                 // wants 0.2 (speed 1)
    EXPECT_NEAR(v.box.x, 2.5 + 0.09, 1e-9);
    EXPECT_NEAR(v.vx, 0.09 / 0.2, 1e-9);
}

TEST(Motion, MatterAroundThePlayer)
{
    const box matter{2.5, 1.5, 2.5, 0.5, 0.5, 0.5};  // a cell swung back around the player
    freeobjrec charge = Freeobj::newfree(charge_kind, 2.5, 1.3, 2.5);
    struct row {
        int chances;
        outcome expect;
        int after;
    } rows[] = {{5, outcome::caught, 4}, {2, outcome::caught, 1}, {1, outcome::lost, 0}, {0, outcome::lost, 0}};
    for (const row& r : rows) {
        veskrec v = standing_player();
        v.chances = r.chances;
        v.vx = 3.0;
        EXPECT_EQ(Vesk::update(v, 0.01, {&matter}, {{&charge.box, outcome::charge}}), r.expect) << r.chances;
        EXPECT_EQ(v.chances, r.after);
        EXPECT_EQ(v.charges, 0) << "contacts are not looked at";
        EXPECT_EQ(v.box.x, 2.5) << "no move in that frame";
    }
}

TEST(Motion, ContactPriority)
{
    using o = outcome;
    struct row {
        const char* what;
        std::vector<o> codes;
        int charges, chances;
        o expect;
        int charges_after, chances_after;
    } rows[] = {
        {"none", {}, 0, 5, o::nothing, 0, 5},
        {"guard", {o::caught}, 0, 5, o::caught, 0, 4},
        {"guard, last chance", {o::caught}, 0, 1, o::lost, 0, 0},
        {"charge", {o::charge}, 3, 5, o::charge, 4, 5},
        {"bribe", {o::bribe}, 0, 5, o::bribe, 0, 6},
        {"teleporter with 8", {o::teleport}, 8, 5, o::nothing, 8, 5},
        {"teleporter with 9", {o::teleport}, 9, 5, o::teleport, 0, 5},
        {"teleporter with 12", {o::teleport}, 12, 5, o::teleport, 0, 5},
        {"guard and charge: charge", {o::caught, o::charge}, 0, 1, o::charge, 1, 1},
        {"bribe and guard: bribe", {o::caught, o::bribe}, 0, 2, o::bribe, 0, 3},
        {"teleporter over bribe", {o::bribe, o::teleport}, 9, 5, o::teleport, 0, 5},
        {"charge over teleporter", {o::teleport, o::charge}, 9, 5, o::charge, 10, 5},
        {"idle teleporter still hides a guard", {o::caught, o::teleport}, 8, 5, o::nothing, 8, 5},
    };
    for (const row& r : rows) {
        veskrec v = standing_player();
        v.box.y = 1.306;
        v.charges = r.charges;
        v.chances = r.chances;
        std::vector<box> boxes(r.codes.size(), box{2.55, 1.4, 2.45, 0.1, 0.1, 0.1});
        std::vector<actionpair> contacts;
        for (size_t i = 0; i < r.codes.size(); ++i) contacts.push_back({&boxes[i], r.codes[i]});
        EXPECT_EQ(Vesk::update(v, 0.01, {&floorbox}, contacts), r.expect) << r.what;
        EXPECT_EQ(v.charges, r.charges_after) << r.what;
        EXPECT_EQ(v.chances, r.chances_after) << r.what;
    }
}

TEST(Motion, ContactsThatDoNotCount)
{
    veskrec v = standing_player();
    v.box.y = 1.306;
    const box touching{3.08, 1.3, 2.5, 0.5, 0.5, 0.4};  // face to face on x
    ASSERT_EQ(touching.x - touching.hx, v.box.x + v.box.hx);
    const std::vector<actionpair> contacts = {{&v.box, outcome::caught}, {&touching, outcome::caught}};
    EXPECT_EQ(Vesk::update(v, 0.01, {&floorbox}, contacts), outcome::nothing);
    EXPECT_EQ(v.chances, 5);
}

TEST(Motion, ContactsSeeTheMovedBox)
{
    // A charge just ahead is reached by this frame's step, not before it.
    veskrec v = standing_player();
    v.box.y = 1.306;
    v.heading = 90;
    Vesk::startfwd(v);
    freeobjrec charge = Freeobj::newfree(charge_kind, 2.5 + 0.08 + 0.05 + 0.005, 1.3, 2.5);
    EXPECT_EQ(Vesk::update(v, 0.02, {&floorbox}, {{&charge.box, outcome::charge}}), outcome::charge);
    EXPECT_EQ(v.charges, 1);
}

TEST(Motion, Recharge)
{
    veskrec v;
    v.box.y = 5;
    v.charge = 0.99;
    Vesk::update(v, 1.0, {}, {});
    EXPECT_EQ(v.charge, 1.0);
    v.charge = 0.0;
    for (int i = 0; i < 570; ++i) Vesk::update(v, 0.01, {}, {});
    EXPECT_LT(v.charge, 0.4);
    for (int i = 0; i < 2; ++i) Vesk::update(v, 0.01, {}, {});
    EXPECT_GE(v.charge, 0.4);
}

TEST(Motion, Dematterhull)
{
    struct row {
        double heading, pitch, dx, dy, dz;
    } rows[] = {
        {0, 0, 0, 0, -0.6},
        {90, 0, 0.6, 0, 0},
        {180, 0, 0, 0, 0.6},
        {0, 55, 0, -0.6 * std::sin(55 * deg), -0.6 * std::cos(55 * deg)},
        {90, -30, 0.6 * std::cos(30 * deg), 0.3, 0},
    };
    for (const row& r : rows) {
        veskrec v;
        v.box = {2.5, 1.3, 4.5, 0.08, 0.3, 0.08};
        v.heading = r.heading;
        v.pitch = r.pitch;
        box b = Vesk::dematterhull(v);
        EXPECT_NEAR(b.x, 2.5 + r.dx, 1e-6) << r.heading << " " << r.pitch;
        EXPECT_NEAR(b.y, 1.3 + r.dy, 1e-6) << r.heading << " " << r.pitch;
        EXPECT_NEAR(b.z, 4.5 + r.dz, 1e-6) << r.heading << " " << r.pitch;
        EXPECT_EQ(b.hx, 0.4);
        EXPECT_EQ(b.hy, 0.4);
        EXPECT_EQ(b.hz, 0.4);
    }
    veskrec v;
    v.pitch = 55;
    EXPECT_NEAR(Vesk::dematterhull(v).y, -0.4915, 1e-4);
}

}  // namespace
