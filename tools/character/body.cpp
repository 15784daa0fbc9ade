#include "body.h"

#include <algorithm>

// ---- quaternions -------------------------------------------------------------

Q4 Mul(Q4 a, Q4 b) {
    return Q4{a.w * b.x + b.w * a.x + (a.y * b.z - a.z * b.y), a.w * b.y + b.w * a.y + (a.z * b.x - a.x * b.z),
              a.w * b.z + b.w * a.z + (a.x * b.y - a.y * b.x), a.w * b.w - (a.x * b.x + a.y * b.y + a.z * b.z)};
}

Q4 Conj(Q4 q) { return Q4{-q.x, -q.y, -q.z, q.w}; }

Q4 NormalizeQ(Q4 q) {
    float l = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (l < 1e-9f) return Q4{};
    return Q4{q.x / l, q.y / l, q.z / l, q.w / l};
}

Q4 AxisAngle(V3 axis, float degrees) {
    V3 a = Normalize(axis);
    float h = degrees * 3.14159265f / 360.0f;
    float s = std::sin(h);
    return Q4{a.x * s, a.y * s, a.z * s, std::cos(h)};
}

Q4 Euler(float xDeg, float yDeg, float zDeg) {
    return Mul(Mul(AxisAngle({0, 1, 0}, yDeg), AxisAngle({1, 0, 0}, xDeg)), AxisAngle({0, 0, 1}, zDeg));
}

V3 Rotate(Q4 q, V3 v) {
    Q4 r = Mul(Mul(q, Q4{v.x, v.y, v.z, 0}), Conj(q));
    return {r.x, r.y, r.z};
}

Q4 ShortestArc(V3 a, V3 b) {
    a = Normalize(a);
    b = Normalize(b);
    float d = Dot(a, b);
    if (d > 0.99999f) return Q4{};
    if (d < -0.99999f) {
        V3 axis = Cross(a, V3(1, 0, 0));
        if (Length(axis) < 1e-3f) axis = Cross(a, V3(0, 0, 1));
        return AxisAngle(axis, 180.0f);
    }
    V3 c = Cross(a, b);
    return NormalizeQ(Q4{c.x, c.y, c.z, 1.0f + d});
}

Q4 Slerp(Q4 a, Q4 b, float t) {
    float d = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (d < 0) {
        d = -d;
        b = Q4{-b.x, -b.y, -b.z, -b.w};
    }
    float wa = 1 - t, wb = t;
    if (d < 0.9995f) {
        float th = std::acos(d), s = std::sin(th);
        wa = std::sin((1 - t) * th) / s;
        wb = std::sin(t * th) / s;
    }
    return NormalizeQ(Q4{wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w});
}

// ---- skeleton ----------------------------------------------------------------

const BoneDef kBones[BONE_COUNT] = {
    {"hips", -1, {0, 0.98f, 0}},
    {"spine", B_HIPS, {0, 1.12f, 0}},
    {"chest", B_SPINE, {0, 1.30f, 0}},
    {"neck", B_CHEST, {0, 1.48f, 0}},
    {"head", B_NECK, {0, 1.575f, 0}},
    {"clavicle_r", B_CHEST, {0.04f, 1.45f, 0}},
    {"upperarm_r", B_CLAVICLE_R, {0.185f, 1.445f, 0}},
    {"forearm_r", B_UPPERARM_R, {0.215f, 1.165f, 0.01f}},
    {"hand_r", B_FOREARM_R, {0.235f, 0.915f, -0.01f}},
    {"clavicle_l", B_CHEST, {-0.04f, 1.45f, 0}},
    {"upperarm_l", B_CLAVICLE_L, {-0.185f, 1.445f, 0}},
    {"forearm_l", B_UPPERARM_L, {-0.215f, 1.165f, 0.01f}},
    {"hand_l", B_FOREARM_L, {-0.235f, 0.915f, -0.01f}},
    {"thigh_r", B_HIPS, {0.095f, 0.93f, 0}},
    {"shin_r", B_THIGH_R, {0.095f, 0.50f, 0}},
    {"foot_r", B_SHIN_R, {0.095f, 0.08f, 0.02f}},
    {"thigh_l", B_HIPS, {-0.095f, 0.93f, 0}},
    {"shin_l", B_THIGH_L, {-0.095f, 0.50f, 0}},
    {"foot_l", B_SHIN_L, {-0.095f, 0.08f, 0.02f}},
};

Pose RestPose() {
    Pose p;
    p.wrist[0] = V3(0.085f, -0.33f, -0.15f);
    p.wrist[1] = V3(-0.085f, -0.33f, -0.15f);
    p.handBend[0] = p.handBend[1] = -10.0f;
    return p;
}

PoseResult SolvePose(const Pose& pose) {
    PoseResult r;
    for (int i = 0; i < BONE_COUNT; ++i) {
        int parent = kBones[i].parent;
        if (parent < 0) {
            r.rotation[i] = pose.local[i];
            r.position[i] = kBones[i].bind + pose.rootOffset;
        } else {
            r.rotation[i] = Mul(r.rotation[parent], pose.local[i]);
            r.position[i] = r.position[parent] + Rotate(r.rotation[parent], kBones[i].bind - kBones[parent].bind);
        }
    }
    // The arms reach for their wrist targets (two-bone solution).
    const int upper[2] = {B_UPPERARM_R, B_UPPERARM_L};
    for (int s = 0; s < 2; ++s) {
        float side = s == 0 ? 1.0f : -1.0f;
        int u = upper[s], f = u + 1, h = u + 2, c = u - 1;
        V3 bindUpper = kBones[f].bind - kBones[u].bind, bindFore = kBones[h].bind - kBones[f].bind;
        float a = Length(bindUpper), b = Length(bindFore);
        V3 S = r.position[u];
        V3 T = r.position[B_CHEST] + Rotate(r.rotation[B_CHEST], pose.wrist[s]);
        V3 D = T - S;
        float d = Length(D);
        V3 dir = d > 1e-5f ? D * (1.0f / d) : V3(0, -1, 0);
        d = std::max(std::fabs(a - b) + 0.002f, std::min(d, a + b - 0.002f));
        T = S + dir * d;
        V3 pole = Rotate(r.rotation[B_CHEST], Normalize(V3(side * (0.45f + 4.0f * pose.elbowOut[s]), -0.35f, 0.8f)));
        V3 p = pole - dir * Dot(pole, dir);
        if (Length(p) < 1e-4f) p = V3(side, 0, 0);
        p = Normalize(p);
        float x = (a * a - b * b + d * d) / (2 * d);
        float height = std::sqrt(std::max(0.0f, a * a - x * x));
        V3 E = S + dir * x + p * height;
        Q4 wc = r.rotation[c];
        Q4 wu = Mul(ShortestArc(Rotate(wc, bindUpper), E - S), wc);
        Q4 wf = Mul(ShortestArc(Rotate(wu, bindFore), T - E), wu);
        Q4 twist = AxisAngle(bindFore, pose.handTwist[s] * side);
        Q4 bend = AxisAngle(V3(0, 0, 1), -side * pose.handBend[s]);
        r.rotation[u] = NormalizeQ(wu);
        r.rotation[f] = NormalizeQ(wf);
        r.rotation[h] = NormalizeQ(Mul(Mul(wf, twist), bend));
        r.position[f] = E;
        r.position[h] = T;
    }
    return r;
}

// ---- motions -----------------------------------------------------------------

namespace {

float Ease(float t) { return t * t * (3 - 2 * t); }

using P = PoseBuilder;

Motion Make(const char* name, float duration, bool loop, std::vector<Keyframe> keys) {
    return Motion{name, duration, loop, std::move(keys)};
}

} // namespace

Pose BlendPoses(const Pose& a, const Pose& b, float t) {
    Pose p;
    p.rootOffset = Lerp(a.rootOffset, b.rootOffset, t);
    for (int i = 0; i < BONE_COUNT; ++i) p.local[i] = Slerp(a.local[i], b.local[i], t);
    for (int s = 0; s < 2; ++s) {
        p.wrist[s] = Lerp(a.wrist[s], b.wrist[s], t);
        p.handTwist[s] = a.handTwist[s] + (b.handTwist[s] - a.handTwist[s]) * t;
        p.handBend[s] = a.handBend[s] + (b.handBend[s] - a.handBend[s]) * t;
        p.elbowOut[s] = a.elbowOut[s] + (b.elbowOut[s] - a.elbowOut[s]) * t;
    }
    return p;
}

// Hands apart and together in front of the chest, palms facing.
PoseBuilder ClapOpen() {
    return PoseBuilder().R(0.17f, -0.10f, -0.30f, 0, -20).L(-0.17f, -0.10f, -0.30f, 0, -20).Head(-4, 0);
}
PoseBuilder ClapShut() {
    return PoseBuilder().R(0.06f, -0.12f, -0.34f, 0, -28).L(-0.06f, -0.12f, -0.34f, 0, -28).Head(-6, 0).Chest(-2, 0);
}

Pose Interpolate(const Motion& m, float t) {
    const std::vector<Keyframe>& k = m.keys;
    if (k.empty()) return RestPose();
    if (t <= k.front().time) return k.front().pose;
    for (size_t i = 0; i + 1 < k.size(); ++i)
        if (t <= k[i + 1].time) {
            float span = k[i + 1].time - k[i].time;
            float f = span > 0 ? (t - k[i].time) / span : 1.0f;
            return BlendPoses(k[i].pose, k[i + 1].pose, Ease(f));
        }
    return k.back().pose;
}

std::vector<Motion> AllMotions() {
    std::vector<Motion> all;
    const Pose rest = RestPose();

    // Idles: loops that start and end at rest.
    all.push_back(Make("avatar_idle_01", 4.0f, true,
                       {{0, rest},
                        {2.0f, P().Chest(-1.5f, 0).Head(1, 3).Root(0, 0.004f, 0).R(0.09f, -0.32f, -0.16f)
                                   .L(-0.09f, -0.32f, -0.16f)},
                        {4.0f, rest}}));
    all.push_back(Make("avatar_idle_02", 3.2f, true,
                       {{0, rest},
                        {0.8f, P().Root(0.015f, 0, 0).Hips(0, 0, 2).Spine(0, 0, -2).Head(0, 2, 3)},
                        {1.6f, rest},
                        {2.4f, P().Root(-0.015f, 0, 0).Hips(0, 0, -2).Spine(0, 0, 2).Head(0, -2, -3)},
                        {3.2f, rest}}));
    all.push_back(Make("avatar_idle_03", 6.0f, true,
                       {{0, rest},
                        {1.4f, P().Head(3, 20, 2).Chest(0, 4)},
                        {2.4f, P().Head(3, 18, 2).Chest(0, 4)},
                        {3.2f, rest},
                        {4.5f, P().Head(-2, -16, -2).Chest(0, -3)},
                        {5.2f, P().Head(-2, -14, -2).Chest(0, -3)},
                        {6.0f, rest}}));

    // Applause: four claps in front of the chest.
    {
        std::vector<Keyframe> k = {{0, rest}, {0.28f, ClapOpen()}};
        float t = 0.28f;
        for (int i = 0; i < 4; ++i) {
            k.push_back({t + 0.14f, ClapShut()});
            k.push_back({t + 0.32f, ClapOpen()});
            t += 0.32f;
        }
        k.push_back({t + 0.45f, rest});
        all.push_back(Make("clap", t + 0.45f, false, k));
    }

    // Spins: lean to the wheel in front, take hold, pull across to the left.
    auto spin = [&](const char* name, float reach, float pull, float yaw, float speed, bool bothHands) {
        P wind = P().Spine(-8, -6).Chest(-6, -8).Head(-12, -4).R(0.30f, -0.40f, -0.40f, 10, -5);
        if (bothHands) wind.L(0.10f, -0.42f, -0.42f, -10, -5);
        P grab = P().Spine(-10 * reach, -6).Chest(-8 * reach, -8).Head(-16, -2).R(0.26f, -0.48f, -0.44f, 10, 0);
        if (bothHands) grab.L(0.06f, -0.48f, -0.44f, -10, 0);
        P pulled = P().Spine(-8 * reach, 6 * yaw).Chest(-6, 12 * yaw).Head(-12, 10 * yaw)
                       .R(0.26f - 0.45f * pull, -0.42f, -0.36f, 0, -15);
        if (bothHands) pulled.L(0.06f - 0.40f * pull, -0.42f, -0.36f, 0, -15);
        P follow = P().Spine(-4, 3 * yaw).Chest(-2, 6 * yaw).Head(-6, 14 * yaw).R(0.02f, -0.30f, -0.25f);
        all.push_back(Make(name, 2.0f / speed, false,
                           {{0, rest},
                            {0.45f / speed, wind},
                            {0.75f / speed, grab},
                            {1.05f / speed, pulled},
                            {1.40f / speed, follow},
                            {2.0f / speed, rest}}));
    };
    spin("spin", 1.0f, 0.9f, 1.0f, 1.0f, false);
    spin("spin_slow", 0.8f, 0.55f, 0.6f, 0.85f, false);
    spin("spin_fast", 1.3f, 1.2f, 1.6f, 1.12f, true);
    {
        // The bonus wheel: both hands, a big pull, then arms up in hope.
        P grab = P().Spine(-12, -6).Chest(-8, -8).Head(-16, 0).R(0.24f, -0.46f, -0.44f).L(0.02f, -0.46f, -0.44f);
        P pulled = P().Spine(-8, 10).Chest(-4, 16).Head(-10, 14).R(-0.16f, -0.40f, -0.34f).L(-0.30f, -0.38f, -0.30f);
        P hope = P().Chest(4, 0).Head(8, 0).R(0.22f, 0.34f, -0.12f, 20).L(-0.22f, 0.34f, -0.12f, 20).Shrug(6);
        all.push_back(Make("spin_bonus", 2.4f, false,
                           {{0, rest}, {0.5f, grab}, {0.95f, pulled}, {1.5f, hope}, {1.9f, hope}, {2.4f, rest}}));
    }

    // "Yes!": a fist pumped down twice.
    {
        P up = P().Chest(4, 6).Head(6, 4).R(0.20f, 0.18f, -0.18f, 0, 20);
        P down = P().Chest(-6, 4).Head(-4, 4).Knees(6).R(0.17f, -0.16f, -0.22f, 0, 25).Root(0, -0.02f, 0);
        all.push_back(Make("brevanto", 1.9f, false,
                           {{0, rest}, {0.35f, up}, {0.6f, down}, {0.85f, up}, {1.1f, down}, {1.9f, rest}}));
    }
    // Butter churn: fists going up and down in turn, with a bounce.
    {
        P a = P().R(0.10f, -0.12f, -0.30f, 0, 30).L(-0.10f, -0.30f, -0.28f, 0, 30).Knees(5).Root(0, -0.015f, 0)
                  .Head(-2, 4, 3);
        P b = P().R(0.10f, -0.30f, -0.28f, 0, 30).L(-0.10f, -0.12f, -0.30f, 0, 30).Head(-2, -4, -3);
        std::vector<Keyframe> k = {{0, rest}};
        float t = 0.25f;
        for (int i = 0; i < 6; ++i, t += 0.22f) k.push_back({t, i % 2 ? b : a});
        k.push_back({t + 0.4f, rest});
        all.push_back(Make("butterchurn", t + 0.4f, false, k));
    }
    // Raise the roof: palms up over the head, pushing.
    {
        P low = P().R(0.24f, 0.30f, -0.10f, 90, -60).L(-0.24f, 0.30f, -0.10f, 90, -60).Head(6, 0).Shrug(4);
        P high = P().R(0.24f, 0.44f, -0.08f, 90, -60).L(-0.24f, 0.44f, -0.08f, 90, -60).Head(12, 0).Shrug(8)
                     .Root(0, 0.01f, 0);
        std::vector<Keyframe> k = {{0, rest}};
        float t = 0.35f;
        for (int i = 0; i < 6; ++i, t += 0.2f) k.push_back({t, i % 2 ? high : low});
        k.push_back({t + 0.4f, rest});
        all.push_back(Make("raiseroof", t + 0.4f, false, k));
    }
    // A friendly wave with the right hand, palm to the audience.
    {
        P a = P().R(0.28f, 0.40f, -0.14f, 90, 0).Head(2, 0, -4).Chest(0, -4, 2);
        P b = P().R(0.44f, 0.36f, -0.14f, 90, 0).Head(2, 0, -4).Chest(0, -4, 2);
        std::vector<Keyframe> k = {{0, rest}, {0.4f, a}};
        float t = 0.4f;
        for (int i = 0; i < 5; ++i) k.push_back({t += 0.2f, i % 2 ? a : b});
        k.push_back({t + 0.45f, rest});
        all.push_back(Make("wave", t + 0.45f, false, k));
    }
    // Slapping the podium in frustration.
    {
        P lift = P().R(0.20f, -0.02f, -0.30f, 0, 0).Chest(2, 4).Head(4, 0);
        P slam = P().R(0.16f, -0.42f, -0.38f, 0, 20).Spine(-6, 0).Chest(-8, 4).Head(-14, 0);
        all.push_back(Make("handslap", 1.6f, false,
                           {{0, rest}, {0.35f, lift}, {0.48f, slam}, {0.9f, slam}, {1.6f, rest}}));
    }
    // Sobbing into the hands, shoulders shaking.
    {
        P cover = P().R(0.05f, 0.24f, -0.20f, 30, 10).L(-0.05f, 0.24f, -0.20f, 30, 10).Head(-22, 0).Neck(-8, 0)
                      .Chest(-6, 0).Elbows(0.02f, 0.02f);
        P shake = cover;
        shake.Chest(-9, 0).Shrug(5);
        std::vector<Keyframe> k = {{0, rest}, {0.5f, cover}};
        float t = 0.5f;
        for (int i = 0; i < 6; ++i) k.push_back({t += 0.22f, i % 2 ? cover : shake});
        k.push_back({t + 0.5f, rest});
        all.push_back(Make("sob", t + 0.5f, false, k));
    }
    // "What?!": hands thrown out palms up, a shake of the head, a slump.
    {
        P out = P().R(0.32f, -0.10f, -0.22f, -80, -30).L(-0.32f, -0.10f, -0.22f, -80, -30).Shrug(10).Head(4, 0);
        P shakeA = out;
        shakeA.Head(2, 12);
        P shakeB = out;
        shakeB.Head(2, -12);
        P slump = P().Chest(-7, 0).Head(-12, 0).Shrug(-4);
        all.push_back(Make("annoyed", 2.0f, false,
                           {{0, rest}, {0.35f, out}, {0.6f, shakeA}, {0.85f, shakeB}, {1.1f, out}, {1.45f, slump},
                            {2.0f, rest}}));
    }
    // The palm slapped to the forehead.
    {
        P raise = P().R(0.12f, 0.26f, -0.26f, 70, 10).Head(0, 0);
        P slap = P().R(0.06f, 0.36f, -0.20f, 80, 20).Head(12, 0).Neck(6, 0).Chest(3, 0);
        P hold = P().R(0.06f, 0.34f, -0.20f, 80, 20).Head(-6, 0).Neck(-2, 0).Chest(-4, 0);
        all.push_back(Make("headslap", 1.7f, false,
                           {{0, rest}, {0.3f, raise}, {0.42f, slap}, {0.9f, hold}, {1.7f, rest}}));
    }
    // Looking up at the board, then down at the wheel.
    {
        P board = P().Head(14, 24, 2).Neck(4, 8).Chest(0, 6);
        P wheel = P().Head(-20, -6).Neck(-6, -2).Chest(-4, -2);
        all.push_back(Make("board2wheel", 2.2f, false,
                           {{0, rest}, {0.55f, board}, {1.0f, board}, {1.5f, wheel}, {1.8f, wheel}, {2.2f, rest}}));
    }
    // Fidgets: one hand rubbing the other; a hand to the chin.
    {
        P a = P().R(0.02f, -0.29f, -0.19f, 0, -20).L(-0.05f, -0.33f, -0.16f).Head(-4, 3);
        P b = P().R(0.06f, -0.27f, -0.20f, 0, -20).L(-0.05f, -0.33f, -0.16f).Head(-4, 3);
        all.push_back(Make("idle_random_handonhand", 2.6f, false,
                           {{0, rest}, {0.5f, a}, {0.85f, b}, {1.2f, a}, {1.55f, b}, {1.9f, a}, {2.6f, rest}}));
        P chin = P().R(0.04f, 0.22f, -0.20f, 60, 20).L(-0.02f, -0.12f, -0.20f).Head(4, -6, 6).Elbows(0, 0.02f);
        P tap = chin;
        tap.R(0.04f, 0.20f, -0.21f, 60, 30);
        all.push_back(Make("idle_random_movehand", 2.8f, false,
                           {{0, rest}, {0.7f, chin}, {1.1f, tap}, {1.5f, chin}, {1.9f, tap}, {2.8f, rest}}));
    }
    return all;
}
