// qvmodel: writes the game's model packs from text sources.
//
//   qvmodel --out <dir> --manifest <fragment.xml> [--group <path>] <source>...
//
// Each source makes one pack in <dir>; the fragment lists them all as one
// manifest group (path <group>, default "models/").
//
// A source is lines of words ('#' starts a comment). Numbers may be
// written as fractions ("64/256"). Model units: the view is 8/3 wide and 2
// high, x to the right, y up, z towards the viewer.
//   label <LABEL>   output <name>
//   define <name> ... end      named geometry, any of:
//     quad x0 y0 x1 y1 z uv u0 v0 u1 v1
//         a rectangle facing the viewer; (u0, v0) is its top-left texel
//     box x0 y0 z0 x1 y1 z1 front u0 v0 u1 v1 side u0 v0 u1 v1 [back u0 v0 u1 v1]
//         a block with its front at z1; the sides take the side cell
//     tri x y z u v  x y z u v  x y z u v
//         one triangle, facing the viewer whatever the corners' order
//     disc cx cy z0 z1 radius segments [uvradius r] [rim f]
//         a disc facing the viewer at z1 with its image mapped flat
//         (uvradius: the radius the whole image spans, default the disc's),
//         and a rim from z0 to z1 coloured from the image at f times the
//         radius along the same angle (default 0.975)
//   part <name>                a part of the pack, then its settings and clips:
//     hitbox x0 y0 z0 x1 y1 z1 | hitbox auto     (auto: the first frame's bounds)
//     clip <name>              then its frames and keys:
//       frame <geometry>...    one mesh made of named geometry
//       pos x y z | rot angle ax ay az | scale x y z      one key
//       ramp pos|scale n x0 y0 z0 x1 y1 z1 [ease]        n keys
//       ramp rot n a0 a1 ax ay az [ease]
//           ease: linear (default), in, out, inout, pulse (there and back)
//       frames n               the clip's length (default: its longest list)
// Every part needs an "idle" clip; every clip a frame. A clip without keys
// of a kind gets one neutral key. Faces are wound anticlockwise as seen
// from outside, which the renderer's culling keeps.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "file_util.h"
#include "manifest_group.h"

namespace {

struct Failure {
    std::string message;
};

[[noreturn]] void Fail(const std::string& where, const std::string& message) {
    throw Failure{where + ": " + message};
}

struct Vec3 {
    float x, y, z;
};
struct Vec2 {
    float u, v;
};

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Vertex {
    Vec3 p;
    Vec2 t;
};

// Geometry as a plain list of triangles.
struct Geometry {
    std::vector<Vertex> vertices;  // 3 per triangle

    // A triangle facing outward (along normal): wound anticlockwise as seen
    // from that side, whatever order it was given in.
    void Triangle(Vertex a, Vertex b, Vertex c, Vec3 outward) {
        Vec3 n = Cross(Sub(b.p, a.p), Sub(c.p, a.p));
        if (Dot(n, outward) < 0) std::swap(b, c);
        vertices.push_back(a);
        vertices.push_back(b);
        vertices.push_back(c);
    }
    // A four-cornered face given corner by corner around its edge.
    void Face(Vertex a, Vertex b, Vertex c, Vertex d, Vec3 outward) {
        Triangle(a, b, c, outward);
        Triangle(a, c, d, outward);
    }
};

struct Line {
    std::string where;
    std::vector<std::string> words;
};

float Number(const std::string& where, const std::string& word) {
    size_t slash = word.find('/');
    if (slash != std::string::npos && slash > 0) {
        float d = Number(where, word.substr(slash + 1));
        if (d == 0) Fail(where, "\"" + word + "\" divides by zero");
        return Number(where, word.substr(0, slash)) / d;
    }
    char* end = nullptr;
    float v = std::strtof(word.c_str(), &end);
    if (word.empty() || *end || !std::isfinite(v)) Fail(where, "\"" + word + "\" is not a number");
    return v;
}

// words[from .. from + n) as numbers.
std::vector<float> Numbers(const Line& line, size_t from, size_t n) {
    if (line.words.size() < from + n) Fail(line.where, "\"" + line.words[0] + "\" needs " + std::to_string(n) + " numbers");
    std::vector<float> v;
    for (size_t i = 0; i < n; ++i) v.push_back(Number(line.where, line.words[from + i]));
    return v;
}

void Quad(Geometry& g, const std::vector<float>& q) {
    float x0 = q[0], y0 = q[1], x1 = q[2], y1 = q[3], z = q[4];
    float u0 = q[5], v0 = q[6], u1 = q[7], v1 = q[8];
    g.Face({{x0, y0, z}, {u0, v1}}, {{x1, y0, z}, {u1, v1}}, {{x1, y1, z}, {u1, v0}}, {{x0, y1, z}, {u0, v0}},
           {0, 0, 1});
}

// Reads "<keyword> u0 v0 u1 v1" at words[i], advancing i.
bool Cell(const Line& line, size_t& i, const char* keyword, float cell[4]) {
    if (i >= line.words.size() || line.words[i] != keyword) return false;
    std::vector<float> v = Numbers(line, i + 1, 4);
    for (int k = 0; k < 4; ++k) cell[k] = v[k];
    i += 5;
    return true;
}

void Box(Geometry& g, const Line& line) {
    std::vector<float> b = Numbers(line, 1, 6);
    float x0 = b[0], y0 = b[1], z0 = b[2], x1 = b[3], y1 = b[4], z1 = b[5];
    if (!(x0 < x1 && y0 < y1 && z0 < z1)) Fail(line.where, "box corners must go from min to max");
    float front[4], side[4], back[4];
    size_t i = 7;
    if (!Cell(line, i, "front", front) || !Cell(line, i, "side", side))
        Fail(line.where, "box needs \"front u0 v0 u1 v1 side u0 v0 u1 v1\"");
    bool hasBack = Cell(line, i, "back", back);
    if (i != line.words.size()) Fail(line.where, "unexpected \"" + line.words[i] + "\"");
    Quad(g, {x0, y0, x1, y1, z1, front[0], front[1], front[2], front[3]});
    // Sides: the cell's top edge along the front.
    auto side4 = [&](Vec3 a, Vec3 b2, Vec3 c, Vec3 d, Vec3 n) {
        g.Face({a, {side[0], side[1]}}, {b2, {side[2], side[1]}}, {c, {side[2], side[3]}}, {d, {side[0], side[3]}}, n);
    };
    side4({x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}, {0, 1, 0});
    side4({x1, y0, z1}, {x0, y0, z1}, {x0, y0, z0}, {x1, y0, z0}, {0, -1, 0});
    side4({x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}, {x0, y0, z0}, {-1, 0, 0});
    side4({x1, y1, z1}, {x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {1, 0, 0});
    if (hasBack)  // seen from behind, the image reads the right way round
        g.Face({{x1, y0, z0}, {back[0], back[3]}}, {{x0, y0, z0}, {back[2], back[3]}},
               {{x0, y1, z0}, {back[2], back[1]}}, {{x1, y1, z0}, {back[0], back[1]}}, {0, 0, -1});
}

void Disc(Geometry& g, const Line& line) {
    std::vector<float> d = Numbers(line, 1, 6);
    float cx = d[0], cy = d[1], z0 = d[2], z1 = d[3], r = d[4];
    int segments = (int)d[5];
    if (r <= 0 || segments < 3 || segments > 4096 || !(z0 <= z1)) Fail(line.where, "disc needs r > 0, 3+ segments, z0 <= z1");
    float uvRadius = r, rim = 0.975f;
    for (size_t i = 7; i < line.words.size(); i += 2) {
        if (i + 1 >= line.words.size()) Fail(line.where, "\"" + line.words[i] + "\" needs a value");
        float v = Number(line.where, line.words[i + 1]);
        if (line.words[i] == "uvradius" && v > 0) uvRadius = v;
        else if (line.words[i] == "rim") rim = v;
        else Fail(line.where, "unknown disc setting \"" + line.words[i] + "\"");
    }
    const float pi = 3.14159265358979f;
    auto uv = [&](float x, float y) { return Vec2{0.5f + (x - cx) / (2 * uvRadius), 0.5f - (y - cy) / (2 * uvRadius)}; };
    for (int s = 0; s < segments; ++s) {
        float a0 = 2 * pi * s / segments, a1 = 2 * pi * (s + 1) / segments;
        Vec3 p0 = {cx + r * std::cos(a0), cy + r * std::sin(a0), z1};
        Vec3 p1 = {cx + r * std::cos(a1), cy + r * std::sin(a1), z1};
        Vec3 c = {cx, cy, z1};
        g.Triangle({c, uv(cx, cy)}, {p0, uv(p0.x, p0.y)}, {p1, uv(p1.x, p1.y)}, {0, 0, 1});
        if (z1 > z0) {
            float rr = rim * r;
            Vec2 t0 = uv(cx + rr * std::cos(a0), cy + rr * std::sin(a0));
            Vec2 t1 = uv(cx + rr * std::cos(a1), cy + rr * std::sin(a1));
            float am = (a0 + a1) / 2;
            g.Face({p0, t0}, {p1, t1}, {{p1.x, p1.y, z0}, t1}, {{p0.x, p0.y, z0}, t0}, {std::cos(am), std::sin(am), 0});
        }
    }
}

// ---- Clips and parts ----

struct Clip {
    std::string name;
    std::vector<Geometry> meshes;
    std::vector<float> pos, rot, scale;  // 3, 4, 3 floats a key
    int frames = 0;
};

struct Part {
    std::string name;
    bool hasBox = false, autoBox = false;
    float box[6] = {0, 0, 0, 0, 0, 0};
    std::vector<Clip> clips;
};

float Ease(float t, const std::string& kind, const std::string& where) {
    if (kind == "linear") return t;
    if (kind == "in") return t * t;
    if (kind == "out") return 1 - (1 - t) * (1 - t);
    if (kind == "inout") return t * t * (3 - 2 * t);
    if (kind == "pulse") return std::sin(t * 3.14159265358979f);
    Fail(where, "unknown ease \"" + kind + "\"");
}

void Ramp(const Line& line, Clip& clip) {
    const auto& w = line.words;
    if (w.size() < 3) Fail(line.where, "ramp pos|rot|scale n ...");
    int n = (int)Number(line.where, w[2]);
    if (n < 1 || n > 10000) Fail(line.where, "1 to 10000 keys");
    bool rot = w[1] == "rot";
    if (!rot && w[1] != "pos" && w[1] != "scale") Fail(line.where, "ramp of pos, rot or scale");
    std::vector<float> v = Numbers(line, 3, rot ? 5 : 6);
    std::string ease = w.size() > (size_t)(rot ? 8 : 9) ? w[rot ? 8 : 9] : "linear";
    if (w.size() > (size_t)(rot ? 9 : 10)) Fail(line.where, "too many words");
    for (int k = 0; k < n; ++k) {
        // Pulses go out and back: the last key returns to the start.
        float t = n == 1 ? 1.0f : Ease((float)k / (float)(n - 1), ease, line.where);
        if (rot) {
            float a = v[0] + (v[1] - v[0]) * t;
            clip.rot.insert(clip.rot.end(), {a, v[2], v[3], v[4]});
        } else {
            std::vector<float>& list = w[1] == "pos" ? clip.pos : clip.scale;
            for (int c = 0; c < 3; ++c) list.push_back(v[c] + (v[c + 3] - v[c]) * t);
        }
    }
}

struct Pack {
    std::string label, output;
    std::vector<Part> parts;
};

Pack ReadSource(const std::string& path) {
    std::string text;
    if (!ReadFileText(path, text)) Fail(path, "cannot read");
    std::vector<Line> lines;
    int number = 0;
    for (std::string raw : SplitLines(text)) {
        ++number;
        size_t hash = raw.find('#');
        if (hash != std::string::npos) raw.erase(hash);
        Line line{path + ":" + std::to_string(number), {}};
        size_t i = 0;
        while (i < raw.size()) {
            while (i < raw.size() && std::strchr(" \t\r", raw[i])) ++i;
            size_t j = i;
            while (j < raw.size() && !std::strchr(" \t\r", raw[j])) ++j;
            if (j > i) line.words.push_back(raw.substr(i, j - i));
            i = j;
        }
        if (!line.words.empty()) lines.push_back(line);
    }

    Pack pack;
    std::map<std::string, Geometry> defined;
    Geometry* defining = nullptr;
    std::string definingName;
    Part* part = nullptr;
    Clip* clip = nullptr;
    for (const Line& line : lines) {
        const auto& w = line.words;
        const std::string& cmd = w[0];
        if (defining) {
            if (cmd == "end" && w.size() == 1) {
                if (defining->vertices.empty()) Fail(line.where, "geometry \"" + definingName + "\" is empty");
                defining = nullptr;
            } else if (cmd == "quad") {
                if (w.size() != 11 || w[6] != "uv") Fail(line.where, "quad x0 y0 x1 y1 z uv u0 v0 u1 v1");
                std::vector<float> a = Numbers(line, 1, 5), b = Numbers(line, 7, 4);
                a.insert(a.end(), b.begin(), b.end());
                Quad(*defining, a);
            } else if (cmd == "tri") {
                if (w.size() != 16) Fail(line.where, "tri x y z u v  x y z u v  x y z u v");
                std::vector<float> v = Numbers(line, 1, 15);
                Vertex c[3];
                for (int k = 0; k < 3; ++k) c[k] = {{v[k * 5], v[k * 5 + 1], v[k * 5 + 2]}, {v[k * 5 + 3], v[k * 5 + 4]}};
                defining->Triangle(c[0], c[1], c[2], {0, 0, 1});
            } else if (cmd == "box") {
                Box(*defining, line);
            } else if (cmd == "disc") {
                Disc(*defining, line);
            } else {
                Fail(line.where, "\"" + cmd + "\" is not geometry (or \"end\" is missing)");
            }
            continue;
        }
        if (cmd == "label" && w.size() == 2) pack.label = w[1];
        else if (cmd == "output" && w.size() == 2) pack.output = w[1];
        else if (cmd == "define" && w.size() == 2) {
            if (defined.count(w[1])) Fail(line.where, "geometry \"" + w[1] + "\" is defined twice");
            definingName = w[1];
            defining = &defined[w[1]];
        } else if (cmd == "part" && w.size() == 2) {
            if (w[1].size() > 62) Fail(line.where, "part names have at most 62 characters");
            for (const Part& p : pack.parts)
                if (p.name == w[1]) Fail(line.where, "part \"" + w[1] + "\" is given twice");
            pack.parts.push_back(Part());
            part = &pack.parts.back();
            part->name = w[1];
            clip = nullptr;
        } else if (cmd == "hitbox") {
            if (!part) Fail(line.where, "hitbox outside a part");
            part->hasBox = true;
            if (w.size() == 2 && w[1] == "auto") {
                part->autoBox = true;
            } else {
                std::vector<float> b = Numbers(line, 1, 6);
                if (w.size() != 7) Fail(line.where, "hitbox x0 y0 z0 x1 y1 z1 | hitbox auto");
                for (int k = 0; k < 6; ++k) part->box[k] = b[k];
                if (!(b[0] < b[3] && b[1] < b[4] && b[2] <= b[5])) Fail(line.where, "hitbox corners go from min to max");
            }
        } else if (cmd == "clip" && w.size() == 2) {
            if (!part) Fail(line.where, "clip outside a part");
            if (w[1].size() > 63) Fail(line.where, "clip names have at most 63 characters");
            for (const Clip& c : part->clips)
                if (c.name == w[1]) Fail(line.where, "clip \"" + w[1] + "\" is given twice");
            part->clips.push_back(Clip());
            clip = &part->clips.back();
            clip->name = w[1];
        } else {
            if (!clip) Fail(line.where, "\"" + cmd + "\" belongs in a clip");
            if (cmd == "frame") {
                if (w.size() < 2) Fail(line.where, "frame <geometry>...");
                Geometry g;
                for (size_t i = 1; i < w.size(); ++i) {
                    auto found = defined.find(w[i]);
                    if (found == defined.end()) Fail(line.where, "no geometry \"" + w[i] + "\" defined above");
                    g.vertices.insert(g.vertices.end(), found->second.vertices.begin(), found->second.vertices.end());
                }
                clip->meshes.push_back(g);
            } else if (cmd == "pos" || cmd == "scale") {
                std::vector<float> v = Numbers(line, 1, 3);
                (cmd == "pos" ? clip->pos : clip->scale).insert((cmd == "pos" ? clip->pos : clip->scale).end(), v.begin(), v.end());
            } else if (cmd == "rot") {
                std::vector<float> v = Numbers(line, 1, 4);
                clip->rot.insert(clip->rot.end(), v.begin(), v.end());
            } else if (cmd == "ramp") {
                Ramp(line, *clip);
            } else if (cmd == "frames" && w.size() == 2) {
                clip->frames = (int)Number(line.where, w[1]);
                if (clip->frames < 1) Fail(line.where, "a clip has at least one frame");
            } else {
                Fail(line.where, "unknown \"" + cmd + "\"");
            }
        }
    }
    if (defining) Fail(path, "geometry \"" + definingName + "\" has no \"end\"");
    if (pack.label.empty()) Fail(path, "no label");
    if (pack.output.empty() || pack.output.find('/') != std::string::npos) Fail(path, "no output file name (without folders)");
    if (pack.parts.empty()) Fail(path, "no parts");
    for (Part& p : pack.parts) {
        bool idle = false;
        for (Clip& c : p.clips) {
            if (c.meshes.empty()) Fail(path, "clip \"" + c.name + "\" of part \"" + p.name + "\" has no frame");
            if (c.pos.empty()) c.pos = {0, 0, 0};
            if (c.rot.empty()) c.rot = {0, 0, 0, 1};
            if (c.scale.empty()) c.scale = {1, 1, 1};
            int longest = (int)std::max(std::max(c.meshes.size(), c.pos.size() / 3),
                                        std::max(c.rot.size() / 4, c.scale.size() / 3));
            if (c.frames == 0) c.frames = longest;
            idle = idle || c.name == "idle";
        }
        if (!idle) Fail(path, "part \"" + p.name + "\" has no \"idle\" clip");
        if (p.autoBox) {
            const std::vector<Vertex>& v = p.clips[0].meshes[0].vertices;
            p.box[0] = p.box[3] = v[0].p.x;
            p.box[1] = p.box[4] = v[0].p.y;
            p.box[2] = p.box[5] = v[0].p.z;
            for (const Vertex& x : v) {
                p.box[0] = std::min(p.box[0], x.p.x), p.box[3] = std::max(p.box[3], x.p.x);
                p.box[1] = std::min(p.box[1], x.p.y), p.box[4] = std::max(p.box[4], x.p.y);
                p.box[2] = std::min(p.box[2], x.p.z), p.box[5] = std::max(p.box[5], x.p.z);
            }
        }
    }
    return pack;
}

// ---- Writing ----

void U32(std::string& out, unsigned v) {
    for (int i = 0; i < 4; ++i) out += (char)((v >> (8 * i)) & 0xFF);
}
void F32(std::string& out, float f) {
    unsigned bits;
    std::memcpy(&bits, &f, 4);
    U32(out, bits);
}
void Floats(std::string& out, const std::vector<float>& v) {
    for (float f : v) F32(out, f);
}

// One attribute as distinct values and three indices a triangle.
template <typename T, int N>
void Indexed(std::string& out, const std::vector<T>& values, const std::string& where) {
    std::vector<T> distinct;
    std::map<std::vector<float>, unsigned> seen;
    std::string indices;
    for (const T& v : values) {
        std::vector<float> key(reinterpret_cast<const float*>(&v), reinterpret_cast<const float*>(&v) + N);
        auto it = seen.find(key);
        unsigned index;
        if (it == seen.end()) {
            index = (unsigned)distinct.size();
            seen.emplace(key, index);
            distinct.push_back(v);
        } else {
            index = it->second;
        }
        if (index > 0xFFFF) Fail(where, "more than 65536 distinct values in one frame");
        indices += (char)(index & 0xFF);
        indices += (char)(index >> 8);
    }
    U32(out, (unsigned)distinct.size());
    for (const T& v : distinct) Floats(out, std::vector<float>(reinterpret_cast<const float*>(&v), reinterpret_cast<const float*>(&v) + N));
    U32(out, (unsigned)(values.size() / 3));
    out += indices;
}

std::string WritePack(const Pack& pack, const std::string& where) {
    std::string data;
    std::vector<unsigned> offsets;
    for (const Part& part : pack.parts) {
        offsets.push_back((unsigned)data.size());
        if (part.hasBox) Floats(data, std::vector<float>(part.box, part.box + 6));
        U32(data, (unsigned)part.clips.size());
        for (const Clip& clip : part.clips) {
            std::string name = clip.name;
            name.resize(64, '\0');
            data += name;
            U32(data, (unsigned)clip.frames);
            U32(data, (unsigned)clip.meshes.size());
            for (size_t m = 0; m < clip.meshes.size(); ++m) {
                std::vector<Vec3> p;
                std::vector<Vec2> t;
                for (const Vertex& v : clip.meshes[m].vertices) p.push_back(v.p), t.push_back(v.t);
                // A frame like the one before shares its buffers; never both,
                // so every mesh has data of its own and a vertex count.
                bool samePositions = false, sameCoords = false;
                if (m > 0) {
                    const std::vector<Vertex>& prev = clip.meshes[m - 1].vertices;
                    if (prev.size() == p.size()) {
                        samePositions = sameCoords = true;
                        for (size_t i = 0; i < p.size(); ++i) {
                            samePositions = samePositions && std::memcmp(&prev[i].p, &p[i], sizeof(Vec3)) == 0;
                            sameCoords = sameCoords && std::memcmp(&prev[i].t, &t[i], sizeof(Vec2)) == 0;
                        }
                    }
                    if (samePositions && sameCoords) samePositions = false;
                }
                if (samePositions) U32(data, 0);
                else Indexed<Vec3, 3>(data, p, where);
                if (sameCoords) U32(data, 0);
                else Indexed<Vec2, 2>(data, t, where);
            }
            U32(data, (unsigned)(clip.pos.size() / 3));
            Floats(data, clip.pos);
            U32(data, (unsigned)(clip.rot.size() / 4));
            Floats(data, clip.rot);
            U32(data, (unsigned)(clip.scale.size() / 3));
            Floats(data, clip.scale);
        }
    }
    unsigned directory = (unsigned)data.size();
    U32(data, (unsigned)pack.parts.size());
    for (size_t i = 0; i < pack.parts.size(); ++i) {
        std::string name = pack.parts[i].name;
        name.resize(64, '\0');
        if (pack.parts[i].hasBox) name[63] = '#';
        data += name;
        U32(data, offsets[i]);
    }
    U32(data, directory);
    return data;
}

int Usage() {
    std::fprintf(stderr, "usage: qvmodel --out <dir> --manifest <fragment.xml> [--group <path>] <source>...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    GroupToolOptions options;
    options.group = "models/";
    if (!ParseGroupToolOptions(argc, argv, options)) return Usage();
    try {
        if (!MakeDirs(options.outDir)) Fail(options.outDir, "cannot make the folder");
        ManifestGroupWriter fragment("Made by qvmodel from the sources in content/models/; edit those.",
                                     options.group);
        for (const std::string& path : options.sources) {
            Pack pack = ReadSource(path);
            std::string error;
            if (!fragment.Add(pack.label, pack.output, error)) Fail(path, error);
            std::string target = options.outDir + "/" + pack.output;
            if (!WriteFileIfChanged(target, WritePack(pack, path))) Fail(target, "cannot write");
        }
        if (!fragment.Write(options.manifest)) Fail(options.manifest, "cannot write");
    } catch (const Failure& f) {
        std::fprintf(stderr, "qvmodel: %s\n", f.message.c_str());
        return 1;
    }
    return 0;
}
