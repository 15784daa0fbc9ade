// qvpack: turns content/manifest.xml and the files it lists into the game's
// data: the manifest the game reads (Quorvane.xml), the data archive and the
// loose files.
//
//   qvpack --content <dir> [--content <dir> ...] --manifest <manifest.xml> --out <game dir> [--dm-signature]
//   Each source is read from the first content folder that holds it.
//
// The source manifest is the game's manifest plus one attribute per group:
// pack="archive" stores the group's files in the archive named by dat_path,
// pack="loose" copies them to <out>/<res_path><group path><file path>.
// Sources are read from <content>/<group path><file path>.
#include "file_util.h"
#include "xml_reader.h"
#include "zip_writer.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const int kMaxFiles = 9999;               // the game enters no more
const char* kGameManifest = "Quorvane.xml";  // --game-manifest names another
// Loose files this tool wrote last time, so the ones dropped since can go.
const char* kLooseRecord = ".qvpack-loose";   // one per manifest: see main

struct PackFile {
    std::string label;
    std::string path;      // as in the manifest, relative to its group
    std::string full_path; // res_path + group path + path: the game's name for it
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<unsigned char> data;
    int line = 0;
};

struct PackGroup {
    std::string path;
    bool archive = true;
    std::vector<std::pair<std::string, std::string>> attributes; // without "pack"
    std::vector<PackFile> files;
};

struct Manifest {
    std::string root_name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string res_path;
    std::string dat_path;
    bool has_dat_path = false;
    std::vector<PackGroup> groups;
};

std::string g_manifest_name;

bool Fail(const std::string& message) {
    std::fprintf(stderr, "qvpack: %s\n", message.c_str());
    return false;
}

bool FailAt(int line, const std::string& message) {
    return Fail(g_manifest_name + ":" + std::to_string(line) + ": " + message);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

std::string Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Paths from the manifest end up both inside the game folder and as archive
// names the game looks up on Windows: keep them relative, inside the folder
// and free of separators the two sides read differently.
bool CheckRelative(const std::string& path, bool folder, const char* what, int line) {
    if (path.empty()) return folder ? true : FailAt(line, std::string(what) + " is empty");
    if (path.find('\\') != std::string::npos || path.find(':') != std::string::npos)
        return FailAt(line, std::string(what) + " \"" + path + "\": use '/' separators and no drive");
    if (path[0] == '/') return FailAt(line, std::string(what) + " \"" + path + "\" must be relative");
    size_t start = 0;
    while (start < path.size()) {
        size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..") return FailAt(line, std::string(what) + " \"" + path + "\" leaves its folder");
        if (slash == std::string::npos) break;
        if (part.empty() || part == ".")
            return FailAt(line, std::string(what) + " \"" + path + "\" has an empty or '.' part");
        start = slash + 1;
    }
    if (folder && path.back() != '/')
        return FailAt(line, std::string(what) + " \"" + path + "\" must end with '/'");
    if (!folder && path.back() == '/')
        return FailAt(line, std::string(what) + " \"" + path + "\" names a folder, not a file");
    return true;
}

std::vector<std::string> g_content_roots;

// The first content root that holds rel, or "" when none does.
std::string FindSource(const std::string& rel) {
    for (const std::string& root : g_content_roots) {
        std::string p = JoinPath(root, rel);
        struct stat st;
        if (stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return p;
    }
    return std::string();
}

bool ReadGroups(const XmlElement& root, Manifest& m, int depth);

// <include path="..."/> splices the groups of another manifest, found in the
// content roots, into this one: tools that make data at build time write
// their own list beside their output.
bool ReadInclude(const XmlElement& inc, Manifest& m, int depth) {
    const std::string* rel = inc.Attribute("path");
    if (!rel || rel->empty()) return FailAt(inc.line, "<include> without a path");
    if (depth > 8) return FailAt(inc.line, "includes nest too deeply");
    std::string path = FindSource(*rel);
    if (path.empty()) return FailAt(inc.line, "included manifest \"" + *rel + "\" not found");
    std::string text;
    if (!ReadFileText(path, text)) return Fail("cannot read " + path);
    XmlElement sub;
    std::string error;
    if (!ParseXml(text, sub, error)) return Fail(path + ": " + error);
    std::string saved = g_manifest_name;
    g_manifest_name = path;
    bool ok = ReadGroups(sub, m, depth + 1);
    g_manifest_name = saved;
    return ok;
}

bool ReadGroups(const XmlElement& root, Manifest& m, int depth) {
    for (const XmlElement& g : root.children) {
        if (g.name == "include") {
            if (!ReadInclude(g, m, depth)) return false;
            continue;
        }
        if (g.name != "group") return FailAt(g.line, "unexpected <" + g.name + "> (only <group> and <include> belong here)");
        PackGroup group;
        for (const auto& a : g.attributes) {
            if (a.first == "pack") {
                if (a.second == "archive") group.archive = true;
                else if (a.second == "loose") group.archive = false;
                else return FailAt(g.line, "pack=\"" + a.second + "\": use \"archive\" or \"loose\"");
            } else {
                group.attributes.push_back(a);
            }
        }
        if (const std::string* v = g.Attribute("path")) group.path = *v;
        if (!CheckRelative(group.path, true, "group path", g.line)) return false;
        for (const XmlElement& f : g.children) {
            if (f.name != "file") return FailAt(f.line, "unexpected <" + f.name + "> (only <file> belongs in a group)");
            PackFile file;
            file.line = f.line;
            file.attributes = f.attributes;
            const std::string* label = f.Attribute("label");
            const std::string* path = f.Attribute("path");
            if (!label || label->empty()) return FailAt(f.line, "<file> without a label");
            if (!path) return FailAt(f.line, "<file> \"" + *label + "\" without a path");
            file.label = *label;
            file.path = *path;
            if (!CheckRelative(file.path, false, "file path", f.line)) return false;
            file.full_path = m.res_path + group.path + file.path;
            group.files.push_back(file);
        }
        m.groups.push_back(group);
    }
    return true;
}

bool ReadManifest(const std::string& manifest_path, Manifest& m) {
    std::string text;
    if (!ReadFileText(manifest_path, text)) return Fail("cannot read " + manifest_path);
    XmlElement root;
    std::string error;
    if (!ParseXml(text, root, error)) return Fail(manifest_path + ": " + error);

    m.root_name = root.name;
    m.attributes = root.attributes;
    if (const std::string* v = root.Attribute("res_path")) m.res_path = *v;
    if (const std::string* v = root.Attribute("dat_path")) {
        m.dat_path = *v;
        m.has_dat_path = !v->empty();
    }
    if (!CheckRelative(m.res_path, true, "res_path", root.line)) return false;
    if (m.has_dat_path && !CheckRelative(m.dat_path, false, "dat_path", root.line)) return false;

    return ReadGroups(root, m, 0);
}

bool CheckManifest(Manifest& m) {
    std::map<std::string, int> labels;         // label -> line
    std::map<std::string, const PackFile*> paths; // lower-cased full path
    int count = 0;
    bool any_archive = false;
    for (const PackGroup& g : m.groups) {
        for (const PackFile& f : g.files) {
            if (++count > kMaxFiles)
                return FailAt(f.line, "more than " + std::to_string(kMaxFiles) + " files");
            auto l = labels.emplace(f.label, f.line);
            if (!l.second)
                return FailAt(f.line, "label \"" + f.label + "\" repeats (first at line " +
                                          std::to_string(l.first->second) + ")");
            // Windows folders ignore case: two paths that differ only in case are one file.
            auto p = paths.emplace(Lower(f.full_path), &f);
            if (!p.second)
                return FailAt(f.line, "path \"" + f.full_path + "\" repeats (first at line " +
                                          std::to_string(p.first->second->line) + ")");
            if (Lower(f.full_path) == Lower(kGameManifest))
                return FailAt(f.line, std::string("a data file cannot be named ") + kGameManifest);
            if (g.archive) any_archive = true;
        }
    }
    if (any_archive && !m.has_dat_path)
        return Fail(g_manifest_name + ": archive groups need a dat_path on the root element");
    if (m.has_dat_path) {
        if (Lower(m.dat_path) == Lower(kGameManifest))
            return Fail(g_manifest_name + ": dat_path must not be " + kGameManifest);
        if (paths.count(Lower(m.dat_path)))
            return Fail(g_manifest_name + ": dat_path \"" + m.dat_path + "\" is also a listed file");
    }
    return true;
}

bool ReadSources(Manifest& m) {
    for (PackGroup& g : m.groups) {
        for (PackFile& f : g.files) {
            std::string source = FindSource(g.path + f.path);
            if (source.empty())
                return FailAt(f.line, "file \"" + f.label + "\": missing " + g.path + f.path);
            if (!ReadFileBytes(source, f.data)) return FailAt(f.line, "cannot read " + source);
            if (g.archive) {
                // The game skips archive entries whose CRC-32 is 0 (its mark for
                // folders and empty files), so such a file could never be found.
                if (f.data.empty())
                    return FailAt(f.line, "file \"" + f.label + "\" is empty: put it in a loose group");
                if (Crc32(f.data.data(), f.data.size()) == 0)
                    return FailAt(f.line, "file \"" + f.label + "\" has a CRC-32 of 0, which the game "
                                          "reads as no entry: put it in a loose group");
            }
        }
    }
    return true;
}

std::string Attributes(const std::vector<std::pair<std::string, std::string>>& attributes) {
    std::string out;
    for (const auto& a : attributes) out += " " + a.first + "=\"" + XmlEscape(a.second) + "\"";
    return out;
}

std::string GameManifest(const Manifest& m) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<!-- Made by qvpack from the content folder's manifest.xml; edit that one. -->\n";
    out += "<" + m.root_name + Attributes(m.attributes) + ">\n";
    for (const PackGroup& g : m.groups) {
        out += "  <group" + Attributes(g.attributes) + ">\n";
        for (const PackFile& f : g.files) out += "    <file" + Attributes(f.attributes) + "/>\n";
        out += "  </group>\n";
    }
    out += "</" + m.root_name + ">\n";
    return out;
}

// Writes only when the bytes differ, so unchanged files keep their times.
bool WriteIfChanged(const std::string& path, const void* data, size_t size) {
    if (!MakeDirs(Parent(path))) return Fail("cannot make the folder of " + path);
    if (!WriteFileIfChanged(path, data, size)) return Fail("cannot write " + path);
    return true;
}

// Every regular file under dir, as paths relative to base (prefix).
void ListFiles(const std::string& base, const std::string& prefix, std::vector<std::string>& out, int depth) {
    if (depth > 64) return;
    DIR* d = opendir(JoinPath(base, prefix).c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string rel = prefix + name;
        struct stat st;
        if (lstat(JoinPath(base, rel).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) ListFiles(base, rel + "/", out, depth + 1);
        else if (S_ISREG(st.st_mode)) out.push_back(rel);
    }
    closedir(d);
}

// Removes out/rel and then its folders up to (not including) stop while they are empty.
void RemoveLoose(const std::string& out, const std::string& rel, const std::string& stop) {
    if (std::remove(JoinPath(out, rel).c_str()) != 0) return;
    std::printf("qvpack: removed stale %s\n", rel.c_str());
    for (std::string dir = Parent(rel); !dir.empty() && dir + "/" != stop; dir = Parent(dir))
        if (rmdir(JoinPath(out, dir).c_str()) != 0) break;
}

// A loose file wins over the archive entry of the same name, so a file that
// moved into the archive must not stay behind loose from an older build; the
// game folder also ignores case. Files we wrote loose last time and no longer
// list go as well. Anything else in the folder (other tools' output) stays.
void RemoveStale(const std::string& out, const Manifest& m, const std::set<std::string>& loose_now) {
    std::set<std::string> archived; // lower-cased
    for (const PackGroup& g : m.groups)
        if (g.archive)
            for (const PackFile& f : g.files) archived.insert(Lower(f.full_path));

    std::vector<std::string> present;
    if (!archived.empty()) ListFiles(out, m.res_path, present, 0);
    for (const std::string& rel : present)
        if (archived.count(Lower(rel))) RemoveLoose(out, rel, m.res_path);

    std::string record;
    if (ReadFileText(JoinPath(out, kLooseRecord), record)) {
        for (const std::string& rel : SplitLines(record)) {
            // Only names this tool could have written: relative and inside the folder.
            if (rel.empty() || rel[0] == '/' || rel.find("..") != std::string::npos) continue;
            if (!loose_now.count(rel)) RemoveLoose(out, rel, m.res_path);
        }
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: qvpack --content <dir> [--content <dir> ...] --manifest <manifest.xml> --out <game dir>\n"
                 "              [--game-manifest <name.xml>] [--dm-signature]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string manifest_path, out;
    bool dm_signature = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dm-signature") {
            dm_signature = true;
        } else if (a == "--game-manifest" && i + 1 < argc) {
            // Another edition's manifest in the same game folder; its loose
            // files are recorded apart, so neither pack removes the other's.
            static std::string manifestName, recordName;
            manifestName = argv[++i];
            recordName = std::string(kLooseRecord) + "-" + manifestName;
            kGameManifest = manifestName.c_str();
            kLooseRecord = recordName.c_str();
        } else if (a == "--content" && i + 1 < argc) {
            g_content_roots.push_back(argv[++i]);
        } else if ((a == "--manifest" || a == "--out") && i + 1 < argc) {
            (a == "--manifest" ? manifest_path : out) = argv[++i];
        } else {
            return Usage();
        }
    }
    if (g_content_roots.empty() || manifest_path.empty() || out.empty()) return Usage();
    g_manifest_name = manifest_path;

    Manifest m;
    if (!ReadManifest(manifest_path, m) || !CheckManifest(m) || !ReadSources(m)) return 1;

    ZipWriter zip;
    std::set<std::string> loose_now;
    size_t loose_count = 0;
    if (!MakeDirs(out)) {
        Fail("cannot make " + out);
        return 1;
    }
    for (const PackGroup& g : m.groups) {
        for (const PackFile& f : g.files) {
            if (g.archive) {
                std::string error;
                if (!zip.AddStored(f.full_path, f.data, error)) {
                    Fail(error);
                    return 1;
                }
            } else {
                if (!WriteIfChanged(JoinPath(out, f.full_path), f.data.data(), f.data.size())) return 1;
                loose_now.insert(f.full_path);
                ++loose_count;
            }
        }
    }
    if (m.has_dat_path) {
        std::vector<unsigned char> archive = zip.Finish(dm_signature);
        if (!WriteIfChanged(JoinPath(out, m.dat_path), archive.data(), archive.size())) return 1;
    }

    RemoveStale(out, m, loose_now);
    std::string record;
    for (const std::string& rel : loose_now) record += rel + "\n";
    if (!WriteIfChanged(JoinPath(out, kLooseRecord), record.data(), record.size())) return 1;

    // The manifest last: a game folder with a manifest has everything it names.
    std::string text = GameManifest(m);
    if (!WriteIfChanged(JoinPath(out, kGameManifest), text.data(), text.size())) return 1;
    std::printf("qvpack: %zu archived, %zu loose -> %s\n", zip.Count(), loose_count, out.c_str());
    return 0;
}
