#pragma once
// Single-precision vectors and a column-major 4x4 matrix for the renderer.
//
// Default construction leaves the components unset: these values are built on
// every frame's path and are always assigned before they are read. Write
// `Vec3{}` or `Mat4{}` where a zeroed value is wanted.
//
// The floating-point results are fixed to the operation order written here:
// sums run from index 0 upward, sin/cos/tan/sqrt go through double and are
// narrowed back to float. Keep that order when changing anything.

#include <cmath>

struct Vec2 {
    float v[2];

    Vec2() = default;
    Vec2(float x, float y) : v{x, y} {}

    float& operator[](int i) { return v[i]; }
    const float& operator[](int i) const { return v[i]; }
};

struct Vec3 {
    float v[3];

    Vec3() = default;
    Vec3(float x, float y, float z) : v{x, y, z} {}

    float& operator[](int i) { return v[i]; }
    const float& operator[](int i) const { return v[i]; }
};

struct Vec4 {
    float v[4];

    Vec4() = default;
    Vec4(float x, float y, float z, float w) : v{x, y, z, w} {}

    float& operator[](int i) { return v[i]; }
    const float& operator[](int i) const { return v[i]; }
};

// Four columns; m[c][r] is column c, row r, and the 16 floats lie column after
// column, as glUniformMatrix4fv reads them with transpose GL_FALSE.
struct Mat4 {
    Vec4 m[4];

    Mat4() = default;
    // Every one of the 16 elements set to `fill` (Mat4(1.0f) is NOT the identity).
    explicit Mat4(float fill) {
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) m[c][r] = fill;
    }

    Vec4& operator[](int c) { return m[c]; }
    const Vec4& operator[](int c) const { return m[c]; }

    // Address of m[0][0], for upload.
    float* data() { return &m[0][0]; }
    const float* data() const { return &m[0][0]; }
};

static_assert(sizeof(Vec2) == 2 * sizeof(float), "Vec2 must be 2 contiguous floats");
static_assert(sizeof(Vec3) == 3 * sizeof(float), "Vec3 must be 3 contiguous floats");
static_assert(sizeof(Vec4) == 4 * sizeof(float), "Vec4 must be 4 contiguous floats");
static_assert(sizeof(Mat4) == 16 * sizeof(float), "Mat4 must be 16 contiguous floats");

inline Vec2 operator-(const Vec2& a, const Vec2& b) {
    Vec2 r;
    for (int i = 0; i < 2; ++i) r[i] = a[i] - b[i];
    return r;
}

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
    Vec3 r;
    for (int i = 0; i < 3; ++i) r[i] = a[i] + b[i];
    return r;
}

inline Vec3 operator-(const Vec3& a, const Vec3& b) {
    Vec3 r;
    for (int i = 0; i < 3; ++i) r[i] = a[i] - b[i];
    return r;
}

// Flips each sign bit: 0 becomes -0.
inline Vec3 operator-(const Vec3& a) {
    Vec3 r;
    for (int i = 0; i < 3; ++i) r[i] = -a[i];
    return r;
}

inline Vec3 operator*(const Vec3& a, float s) {
    Vec3 r;
    for (int i = 0; i < 3; ++i) r[i] = a[i] * s;
    return r;
}

// A true division per component, not a multiplication by 1/s.
inline Vec3 operator/(const Vec3& a, float s) {
    Vec3 r;
    for (int i = 0; i < 3; ++i) r[i] = a[i] / s;
    return r;
}

// The ordinary product A·B for column vectors (B applies first). Built in a
// separate matrix, so `a = a * b` is safe.
inline Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 c;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k][j] * b[i][k];
            c[i][j] = sum;
        }
    }
    return c;
}

inline float radians(float degrees) { return degrees * 0.017453292f; }

inline float length(const Vec3& v) {
    float s = 0.0f;
    for (int i = 0; i < 3; ++i) s += v[i] * v[i];
    return static_cast<float>(std::sqrt(static_cast<double>(s)));
}

// No guard against a zero vector: its result is non-finite.
inline Vec3 normalize(const Vec3& v) { return v / length(v); }

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3(a[1] * b[2] - b[1] * a[2],
                a[2] * b[0] - b[2] * a[0],
                a[0] * b[1] - b[0] * a[1]);
}

inline Mat4 translate(float x, float y, float z) {
    Mat4 t;
    t[0] = Vec4(1.0f, 0.0f, 0.0f, 0.0f);
    t[1] = Vec4(0.0f, 1.0f, 0.0f, 0.0f);
    t[2] = Vec4(0.0f, 0.0f, 1.0f, 0.0f);
    t[3] = Vec4(x, y, z, 1.0f);
    return t;
}

inline Mat4 translate(const Vec3& v) { return translate(v[0], v[1], v[2]); }

// Right-handed projection to GL clip space; fovy is the full vertical angle in degrees.
inline Mat4 perspective(float fovy, float aspect, float zNear, float zFar) {
    const float t = static_cast<float>(std::tan(static_cast<double>(radians(0.5f * fovy))));
    const float f = 1.0f / t;
    Mat4 p;
    p[0] = Vec4(f / aspect, 0.0f, 0.0f, 0.0f);
    p[1] = Vec4(0.0f, f, 0.0f, 0.0f);
    p[2] = Vec4(0.0f, 0.0f, (zNear + zFar) / (zNear - zFar), -1.0f);
    p[3] = Vec4(0.0f, 0.0f, 2.0f * zNear * zFar / (zNear - zFar), 0.0f);
    return p;
}

// View matrix looking from eye toward center. The side axis is not
// re-normalised, so an up that is not perpendicular to the view direction
// leaves its length in the first row.
inline Mat4 lookAt(const Vec3& eye, const Vec3& center, const Vec3& up) {
    const Vec3 f = normalize(center - eye);
    const Vec3 n = normalize(up);
    const Vec3 s = cross(f, n);
    const Vec3 u = cross(s, f);
    Mat4 r;
    r[0] = Vec4(s[0], u[0], -f[0], 0.0f);
    r[1] = Vec4(s[1], u[1], -f[1], 0.0f);
    r[2] = Vec4(s[2], u[2], -f[2], 0.0f);
    r[3] = Vec4(0.0f, 0.0f, 0.0f, 1.0f);
    return r * translate(-eye);
}
