// Vectors, angle-and-axis rotations, quaternions and rigid matrices.
// Plain structs of floats: binary files and Direct3D read them as they lie
// in memory, so neither the members nor their order may change.
#pragma once
#include <type_traits>

// Degrees to radians, as a float of pi / 180.
constexpr float kDegToRad = 0.01745329238f;
// Quaternions carry half the rotation angle.
constexpr float kHalfAngle = 0.5f;
// Turns the arc cosine of a half angle back into whole degrees (2 x 180 / pi).
constexpr float kHalfAcosToDegrees = 114.5915527f;
// Bounds of an arc cosine argument.
constexpr float kClampMax = 1.0f;
constexpr float kClampMin = -1.0f;

struct Vector3 {
    float x, y, z;

    // Up to three comma-separated numbers into x, y and z in order; the
    // components without a number keep their values. Null or "" changes nothing.
    void Parse(const char* text);
    // Unit length; a zero vector is left as it is.
    void Normalize();
    void Add(float ax, float ay, float az);
    void Multiply(float mx, float my, float mz);
    // Component-wise quotient; a component whose divisor is 0 becomes 0.
    Vector3 Divide(float dx, float dy, float dz) const;
    void DivideInPlace(float dx, float dy, float dz);
};

// angle in degrees about axis; no rotation is angle 0 about (0, 0, 0).
struct Rotation {
    float angle;
    Vector3 axis;

    // Composes this rotation with angle degrees about (ax, ay, az), this one
    // first. The axes are taken as they are, not normalised; a zero axis
    // changes nothing.
    void Rotate(float angleDegrees, float ax, float ay, float az);
    // A list such as "90y,45x": each part's number is an angle about the axis
    // named by its letter (or the last one named), composed left to right.
    // Null changes nothing; otherwise the result replaces this rotation.
    void Parse(const char* text);
};

// Vector part first, as the animation and skeleton files store it.
struct Quaternion {
    float x, y, z, w;
};

// Row-major; points are row vectors multiplied from the left, so the
// translation lies in row 3 (m[12], m[13], m[14]).
struct Matrix4 {
    float m[16];

    static Matrix4 Identity();
};

static_assert(sizeof(Vector3) == 12 && std::is_standard_layout<Vector3>::value &&
                  std::is_trivially_copyable<Vector3>::value,
              "Vector3 is read from files as three floats");
static_assert(sizeof(Rotation) == 16 && std::is_standard_layout<Rotation>::value &&
                  std::is_trivially_copyable<Rotation>::value,
              "Rotation is read from files as four floats");
static_assert(sizeof(Quaternion) == 16 && std::is_standard_layout<Quaternion>::value &&
                  std::is_trivially_copyable<Quaternion>::value,
              "Quaternion is read from files as four floats");
static_assert(sizeof(Matrix4) == 64 && std::is_standard_layout<Matrix4>::value &&
                  std::is_trivially_copyable<Matrix4>::value,
              "Matrix4 is handed to Direct3D as sixteen floats");

// Out parameters first. Every function may be given the same object as its
// output and an input.

// v / |v| in place; a zero vector stays zero rather than turning into NaNs.
void Vec3Normalize(Vector3& v);
void Vec3Subtract(Vector3& out, const Vector3& a, const Vector3& b);
void Vec3Scale(Vector3& out, const Vector3& v, float s);
void Vec3Cross(Vector3& out, const Vector3& a, const Vector3& b);
// Hamilton product a * b.
void QuaternionMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b);
// v turned by q: the vector part of q * (v, 0) * conj(q).
void QuaternionRotate(Vector3& out, const Quaternion& q, const Vector3& v);
// The rotation of q with translation in row 3.
void RigidMatrix(const Vector3& translation, const Quaternion& q, Matrix4& out);
// The smallest power of two that is at least n; 1 for n below 2. 0 when no
// 32-bit power of two is large enough (n above 2^31).
unsigned NextPowerOfTwo(unsigned n);
