#include "math3d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectVec(const Vector3& v, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

void ExpectRotation(const Rotation& r, float angle, float x, float y, float z) {
    EXPECT_FALSE(std::isnan(r.angle));
    EXPECT_NEAR(r.angle, angle, 1e-3f);
    ExpectVec(r.axis, x, y, z);
}

TEST(Vector3Test, ParseSetsOnlyTheComponentsGiven) {
    Vector3 v{0, 0, 0};
    v.Parse("1.5,-2,3");
    ExpectVec(v, 1.5f, -2.0f, 3.0f);

    v = Vector3{1, 2, 3};
    v.Parse("7");
    ExpectVec(v, 7, 2, 3);

    v = Vector3{1, 2, 3};
    v.Parse(nullptr);
    ExpectVec(v, 1, 2, 3);
    v.Parse("");
    ExpectVec(v, 1, 2, 3);

    // A fourth number has nowhere to go.
    v.Parse("4,5,6,7");
    ExpectVec(v, 4, 5, 6);
}

TEST(Vector3Test, DivisionByZeroGivesZero) {
    Vector3 v{4, 4, 4};
    v.DivideInPlace(0, 2, 0);
    ExpectVec(v, 0, 2, 0);

    Vector3 w{6, 8, 10};
    Vector3 q = w.Divide(2, 0, -5);
    ExpectVec(q, 3, 0, -2);
    ExpectVec(w, 6, 8, 10);
}

TEST(Vector3Test, NormalizeLeavesZeroVectorAlone) {
    Vector3 v{3, 0, 4};
    v.Normalize();
    ExpectVec(v, 0.6f, 0, 0.8f);

    Vector3 zero{0, 0, 0};
    zero.Normalize();
    ExpectVec(zero, 0, 0, 0);
    Vec3Normalize(zero);
    ExpectVec(zero, 0, 0, 0);
}

TEST(RotationTest, ParseSingleAndRepeatedAxis) {
    Rotation r{10, {1, 0, 0}};
    r.Parse("90y");
    ExpectRotation(r, 90, 0, 1, 0);

    r.Parse("90y,90y");
    ExpectRotation(r, 180, 0, 1, 0);

    r.Parse("0x");
    ExpectRotation(r, 0, 0, 0, 0);

    // A part without a letter keeps the axis named last.
    r.Parse("45z,45");
    ExpectRotation(r, 90, 0, 0, 1);

    // With no axis named yet there is nothing to turn about.
    r.Parse("90");
    ExpectRotation(r, 0, 0, 0, 0);
    r.Parse("90,30x");
    ExpectRotation(r, 30, 1, 0, 0);
    Rotation zeroAxis{40, {0, 1, 0}};
    zeroAxis.Rotate(90, 0, 0, 0);
    ExpectRotation(zeroAxis, 40, 0, 1, 0);

    Rotation kept{30, {0, 0, 1}};
    kept.Parse(nullptr);
    ExpectRotation(kept, 30, 0, 0, 1);
}

TEST(RotationTest, ParseComposesInOrder) {
    // 90 about y then 90 about x: the axis of the whole is (1,1,-1)/sqrt 3 at 120
    // degrees; the reverse order gives (1,1,1)/sqrt 3.
    const float k = 1.0f / std::sqrt(3.0f);
    Rotation r{0, {0, 0, 0}};
    r.Parse("90y,90x");
    ExpectRotation(r, 120, k, k, -k);
    r.Parse("90x,90y");
    ExpectRotation(r, 120, k, k, k);
}

TEST(RotationTest, CancellingRotationsGiveNoRotationNotNaN) {
    Rotation r{90, {0, 1, 0}};
    r.Rotate(-90, 0, 1, 0);
    ExpectRotation(r, 0, 0, 0, 0);

    Rotation s{37, {0, 0, 1}};
    s.Rotate(-37, 0, 0, 1);
    ExpectRotation(s, 0, 0, 0, 0);

    // Parsed, the first angle comes back through acos and may be off in its
    // last bit; what is left must still be next to nothing.
    r.Parse("37y,-37y");
    EXPECT_NEAR(r.angle, 0.0f, 1e-3f);
}

TEST(RotationTest, WBeyondOneIsClamped) {
    // An axis longer than 1 drives w to 1.5; the angle must be 0, not NaN.
    Rotation r{90, {1, 0, 0}};
    r.Rotate(90, -2, 0, 0);
    ExpectRotation(r, 0, -1, 0, 0);

    // And below -1 to a whole turn.
    Rotation t{180, {1, 0, 0}};
    t.Rotate(180, 3, 0, 0);
    EXPECT_NEAR(t.angle, 360.0f, 1e-3f);
}

TEST(QuaternionTest, MultiplyAndRotate) {
    const float h = std::sqrt(0.5f);
    Quaternion aboutZ{0, 0, h, h};  // 90 degrees about z
    Vector3 v{1, 0, 0};
    QuaternionRotate(v, aboutZ, v);  // in place
    ExpectVec(v, 0, 1, 0);

    // Two quarter turns make a half turn; the output may alias an input.
    Quaternion q = aboutZ;
    QuaternionMultiply(q, q, aboutZ);
    EXPECT_NEAR(q.x, 0, 1e-6f);
    EXPECT_NEAR(q.y, 0, 1e-6f);
    EXPECT_NEAR(q.z, 1, 1e-6f);
    EXPECT_NEAR(q.w, 0, 1e-6f);

    // Hamilton order: i * j = k, j * i = -k.
    Quaternion i{1, 0, 0, 0}, j{0, 1, 0, 0}, out{};
    QuaternionMultiply(out, i, j);
    EXPECT_FLOAT_EQ(out.z, 1);
    QuaternionMultiply(out, j, i);
    EXPECT_FLOAT_EQ(out.z, -1);
}

TEST(Vector3Test, FreeFunctionsAllowAliasing) {
    Vector3 a{1, 0, 0}, b{0, 1, 0};
    Vec3Cross(a, a, b);
    ExpectVec(a, 0, 0, 1);

    Vector3 c{2, 3, 4}, d{1, 1, 1};
    Vec3Subtract(c, c, d);
    ExpectVec(c, 1, 2, 3);
    Vec3Scale(c, c, -2);
    ExpectVec(c, -2, -4, -6);
}

TEST(MatrixTest, RigidMatrix) {
    Matrix4 m;
    RigidMatrix(Vector3{1, 2, 3}, Quaternion{0, 0, 0, 1}, m);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    Matrix4 id = Matrix4::Identity();
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(m.m[i], expected[i]) << i;
        EXPECT_FLOAT_EQ(id.m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }

    // 90 degrees about z: element 1 is 2(xy - zw) = -1, element 4 is +1.
    const float h = std::sqrt(0.5f);
    RigidMatrix(Vector3{0, 0, 0}, Quaternion{0, 0, h, h}, m);
    EXPECT_NEAR(m.m[0], 0, 1e-6f);
    EXPECT_NEAR(m.m[1], -1, 1e-6f);
    EXPECT_NEAR(m.m[4], 1, 1e-6f);
    EXPECT_NEAR(m.m[5], 0, 1e-6f);
    EXPECT_NEAR(m.m[10], 1, 1e-6f);
}

TEST(NextPowerOfTwoTest, RoundsUp) {
    const unsigned in[] = {0, 1, 2, 3, 256, 257, 0x80000000u};
    const unsigned out[] = {1, 1, 2, 4, 256, 512, 0x80000000u};
    for (size_t i = 0; i < sizeof(in) / sizeof(in[0]); ++i) EXPECT_EQ(NextPowerOfTwo(in[i]), out[i]) << in[i];
    // No 32-bit answer: reported as 0 instead of looping for ever.
    EXPECT_EQ(NextPowerOfTwo(0x80000001u), 0u);
    EXPECT_EQ(NextPowerOfTwo(0xFFFFFFFFu), 0u);
}

}  // namespace
