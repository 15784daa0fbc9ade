// The contestants' body: small vector maths, the humanoid skeleton, and
// the poses and motions of the animations.
//
// Model space: metres, y up, the feet at y = 0, the character facing -z
// (the game turns it half a turn to face the viewer); its right hand is on
// +x. Rotations here are ordinary (Hamilton) quaternions acting on column
// vectors; the records store them the way the game's rigid matrices read
// them, which is the conjugate (see WriteKey in qvcharacter.cpp).
#pragma once
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct V3 {
    float x = 0, y = 0, z = 0;
    V3() = default;
    V3(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(V3 a) { return std::sqrt(Dot(a, a)); }
inline V3 Normalize(V3 a) {
    float l = Length(a);
    return l > 1e-9f ? a * (1.0f / l) : V3(0, 0, 0);
}
inline V3 Lerp(V3 a, V3 b, float t) { return a + (b - a) * t; }

struct Q4 {
    float x = 0, y = 0, z = 0, w = 1;
};
Q4 Mul(Q4 a, Q4 b);
Q4 Conj(Q4 q);
Q4 AxisAngle(V3 axis, float degrees);
// x, then y, then z (degrees), each about the frame's own axes.
Q4 Euler(float xDeg, float yDeg, float zDeg);
V3 Rotate(Q4 q, V3 v);
// The smallest rotation taking direction a onto direction b.
Q4 ShortestArc(V3 a, V3 b);
Q4 Slerp(Q4 a, Q4 b, float t);
Q4 NormalizeQ(Q4 q);

enum Bone {
    B_HIPS, B_SPINE, B_CHEST, B_NECK, B_HEAD,
    B_CLAVICLE_R, B_UPPERARM_R, B_FOREARM_R, B_HAND_R,
    B_CLAVICLE_L, B_UPPERARM_L, B_FOREARM_L, B_HAND_L,
    B_THIGH_R, B_SHIN_R, B_FOOT_R,
    B_THIGH_L, B_SHIN_L, B_FOOT_L,
    BONE_COUNT
};

struct BoneDef {
    const char* name;
    int parent;  // -1 for the root
    V3 bind;     // joint position in the bind pose (no rotation)
};
extern const BoneDef kBones[BONE_COUNT];

// One moment of a motion: rotations of the trunk, head and legs relative to
// the bind pose, where each wrist should be (in the chest's frame, relative
// to the chest joint) and how each hand is turned.
struct Pose {
    V3 rootOffset;
    Q4 local[BONE_COUNT];  // used for hips, spine, chest, neck, head, clavicles and legs
    V3 wrist[2];           // 0 right, 1 left
    float handTwist[2] = {0, 0};  // degrees about the forearm
    float handBend[2] = {0, 0};   // degrees, palm side
    float elbowOut[2] = {0, 0};   // pushes the elbow outward (metres)
};

// The neutral standing pose: hands resting together in front of the waist.
Pose RestPose();

// Model-space joint positions and rotations of a pose.
struct PoseResult {
    V3 position[BONE_COUNT];
    Q4 rotation[BONE_COUNT];
};
PoseResult SolvePose(const Pose& pose);

// A motion: keyframed poses, eased between, sampled at a fixed rate.
// Building poses: start from rest, then say what differs.
struct PoseBuilder {
    Pose pose = RestPose();
    PoseBuilder& Head(float pitch, float yaw, float roll = 0) { return Set(B_HEAD, pitch, yaw, roll); }
    PoseBuilder& Neck(float pitch, float yaw, float roll = 0) { return Set(B_NECK, pitch, yaw, roll); }
    PoseBuilder& Chest(float pitch, float yaw, float roll = 0) { return Set(B_CHEST, pitch, yaw, roll); }
    PoseBuilder& Spine(float pitch, float yaw, float roll = 0) { return Set(B_SPINE, pitch, yaw, roll); }
    PoseBuilder& Hips(float pitch, float yaw, float roll = 0) { return Set(B_HIPS, pitch, yaw, roll); }
    PoseBuilder& Shrug(float degrees) {
        pose.local[B_CLAVICLE_R] = Euler(0, 0, degrees);
        pose.local[B_CLAVICLE_L] = Euler(0, 0, -degrees);
        return *this;
    }
    PoseBuilder& Root(float x, float y, float z) {
        pose.rootOffset = V3(x, y, z);
        return *this;
    }
    PoseBuilder& Knees(float degrees) {
        pose.local[B_THIGH_R] = pose.local[B_THIGH_L] = Euler(degrees, 0, 0);
        pose.local[B_SHIN_R] = pose.local[B_SHIN_L] = Euler(-2 * degrees, 0, 0);
        pose.local[B_FOOT_R] = pose.local[B_FOOT_L] = Euler(degrees, 0, 0);
        return *this;
    }
    // Right and left wrists in the chest's frame.
    PoseBuilder& R(float x, float y, float z, float twist = 0, float bend = -10) {
        return Wrist(0, x, y, z, twist, bend);
    }
    PoseBuilder& L(float x, float y, float z, float twist = 0, float bend = -10) {
        return Wrist(1, x, y, z, twist, bend);
    }
    PoseBuilder& Elbows(float right, float left) {
        pose.elbowOut[0] = right;
        pose.elbowOut[1] = left;
        return *this;
    }
    operator Pose() const { return pose; }

private:
    PoseBuilder& Set(int bone, float pitch, float yaw, float roll) {
        pose.local[bone] = Euler(pitch, yaw, roll);
        return *this;
    }
    PoseBuilder& Wrist(int side, float x, float y, float z, float twist, float bend) {
        pose.wrist[side] = V3(x, y, z);
        pose.handTwist[side] = twist;
        pose.handBend[side] = bend;
        return *this;
    }
};

// Every rotation slerped, every offset and wrist target blended.
Pose BlendPoses(const Pose& a, const Pose& b, float t);
// Hands apart and together in front of the chest, palms facing.
PoseBuilder ClapOpen();
PoseBuilder ClapShut();

struct Keyframe {
    float time;
    Pose pose;
};
struct Motion {
    std::string name;
    float duration;
    bool loop;
    std::vector<Keyframe> keys;
};
Pose Interpolate(const Motion& m, float t);
std::vector<Motion> AllMotions();

// ---- meshes ----------------------------------------------------------------------

// A vertex of a body part in the bind pose, carried by one bone or shared
// between two.
struct Vert {
    V3 p, n;
    float u = 0, v = 0;
    int b0 = 0, b1 = 0;
    float w0 = 1;  // weight of b0; b1 takes the rest
};
struct MeshData {
    std::vector<Vert> v;
    std::vector<uint32_t> idx;
};
