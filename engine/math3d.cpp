#include "math3d.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

void Vector3::Parse(const char* text) {
    if (!text || !*text) return;
    float* parts[3] = {&x, &y, &z};
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        *parts[i] = static_cast<float>(std::atof(p));
        p = std::strchr(p, ',');
        if (!p) break;
        ++p;
    }
}

void Vector3::Normalize() {
    float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    float inv = 1.0f / length;
    x *= inv;
    y *= inv;
    z *= inv;
}

void Vector3::Add(float ax, float ay, float az) {
    x += ax;
    y += ay;
    z += az;
}

void Vector3::Multiply(float mx, float my, float mz) {
    x *= mx;
    y *= my;
    z *= mz;
}

static float SafeQuotient(float value, float divisor) {
    return divisor == 0.0f ? 0.0f : value / divisor;
}

Vector3 Vector3::Divide(float dx, float dy, float dz) const {
    return Vector3{SafeQuotient(x, dx), SafeQuotient(y, dy), SafeQuotient(z, dz)};
}

void Vector3::DivideInPlace(float dx, float dy, float dz) {
    *this = Divide(dx, dy, dz);
}

void Rotation::Rotate(float angleDegrees, float ax, float ay, float az) {
    // An axis of zero length names no rotation; composing with it would
    // only scale the quaternion and so change the angle.
    if (ax == 0.0f && ay == 0.0f && az == 0.0f) return;

    // Worked in double: acos is steep near 1, and float rounding there alone
    // is worth several hundredths of a degree.
    const double a = static_cast<double>(angle) * kDegToRad * kHalfAngle;
    const double b = static_cast<double>(angleDegrees) * kDegToRad * kHalfAngle;
    const double sa = std::sin(a), sb = std::sin(b);
    const double vax = axis.x * sa, vay = axis.y * sa, vaz = axis.z * sa, wa = std::cos(a);
    const double vbx = ax * sb, vby = ay * sb, vbz = az * sb, wb = std::cos(b);

    // Hamilton product qa * qb: w = wa wb - va.vb, v = wa vb + wb va + va x vb.
    double w = wa * wb - (vax * vbx + vay * vby + vaz * vbz);
    const double vx = wa * vbx + wb * vax + (vay * vbz - vaz * vby);
    const double vy = wa * vby + wb * vay + (vaz * vbx - vax * vbz);
    const double vz = wa * vbz + wb * vaz + (vax * vby - vay * vbx);

    // Rounding (or an axis that is not of unit length) can push w past 1,
    // where acos has no answer.
    if (w > kClampMax) w = kClampMax;
    if (w < kClampMin) w = kClampMin;
    angle = static_cast<float>(std::acos(w) * kHalfAcosToDegrees);
    axis = Vector3{static_cast<float>(vx), static_cast<float>(vy), static_cast<float>(vz)};
    axis.Normalize();
}

void Rotation::Parse(const char* text) {
    if (!text) return;
    Rotation result{0.0f, {0.0f, 0.0f, 0.0f}};
    Vector3 selected{0.0f, 0.0f, 0.0f};
    const char* part = text;
    for (const char* p = text;; ++p) {
        switch (*p) {
        case 'x': selected = Vector3{1.0f, 0.0f, 0.0f}; break;
        case 'y': selected = Vector3{0.0f, 1.0f, 0.0f}; break;
        case 'z': selected = Vector3{0.0f, 0.0f, 1.0f}; break;
        case ',':
        case '\0':
            // atof stops at the axis letter.
            result.Rotate(static_cast<float>(std::atof(part)), selected.x, selected.y, selected.z);
            part = p + 1;
            break;
        default: break;
        }
        if (!*p) break;
    }
    *this = result;
}

Matrix4 Matrix4::Identity() {
    Matrix4 out{};
    out.m[0] = out.m[5] = out.m[10] = out.m[15] = 1.0f;
    return out;
}

void Vec3Normalize(Vector3& v) {
    v.Normalize();
}

void Vec3Subtract(Vector3& out, const Vector3& a, const Vector3& b) {
    out = Vector3{a.x - b.x, a.y - b.y, a.z - b.z};
}

void Vec3Scale(Vector3& out, const Vector3& v, float s) {
    out = Vector3{v.x * s, v.y * s, v.z * s};
}

void Vec3Cross(Vector3& out, const Vector3& a, const Vector3& b) {
    out = Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void QuaternionMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b) {
    // w = wa wb - va.vb, v = wa vb + wb va + va x vb
    out = Quaternion{
        a.w * b.x + b.w * a.x + (a.y * b.z - a.z * b.y),
        a.w * b.y + b.w * a.y + (a.z * b.x - a.x * b.z),
        a.w * b.z + b.w * a.z + (a.x * b.y - a.y * b.x),
        a.w * b.w - (a.x * b.x + a.y * b.y + a.z * b.z),
    };
}

void QuaternionRotate(Vector3& out, const Quaternion& q, const Vector3& v) {
    Quaternion t;
    QuaternionMultiply(t, q, Quaternion{v.x, v.y, v.z, 0.0f});
    Quaternion r;
    QuaternionMultiply(r, t, Quaternion{-q.x, -q.y, -q.z, q.w});
    out = Vector3{r.x, r.y, r.z};
}

void RigidMatrix(const Vector3& translation, const Quaternion& q, Matrix4& out) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    float* m = out.m;
    m[0] = 1.0f - 2.0f * (y * y + z * z);
    m[1] = 2.0f * (x * y - z * w);
    m[2] = 2.0f * (x * z + y * w);
    m[3] = 0.0f;
    m[4] = 2.0f * (x * y + z * w);
    m[5] = 1.0f - 2.0f * (x * x + z * z);
    m[6] = 2.0f * (y * z - x * w);
    m[7] = 0.0f;
    m[8] = 2.0f * (x * z - y * w);
    m[9] = 2.0f * (y * z + x * w);
    m[10] = 1.0f - 2.0f * (x * x + y * y);
    m[11] = 0.0f;
    m[12] = translation.x;
    m[13] = translation.y;
    m[14] = translation.z;
    m[15] = 1.0f;
}

unsigned NextPowerOfTwo(unsigned n) {
    // Doubling past 2^31 would wrap to 0 and never end.
    if (n > 0x80000000u) return 0;
    unsigned p = 1;
    while (p < n) p <<= 1;
    return p;
}
