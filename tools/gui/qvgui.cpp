// qvgui: assembles an edition's "GUI" document from its sources and checks it
// against the edition's table of bound positions.
//
//   qvgui --src <content/gui> --bindings <bindings.xml> --out <generated content>
//         --header <gui_bindings.h> [--positions <gui_positions.h>]
//         [--shared <the full edition's bindings.xml>] [--namespace NAME]
//         [--instance NAME] [--name <document file name>] [--extra-kinds a,b]
//
// The game code reaches its screens, windows, groups and a few controls by
// position (the k-th screen, the n-th control of it). bindings.xml is the one
// table of those positions for a document: this tool writes it out as a C++
// header, and refuses a document in which a bound position holds anything
// else than the table says (name, control kind, number of controls).
//
// The code shared by the editions never uses those constants directly: it
// reads the running edition's GuiPositions, a struct with one field per
// constant of the shared (full edition's) table, which --positions writes.
// Every edition's header holds one instance of it (--instance): a field takes
// the edition's own constant of the same name, or kNoPosition where the
// edition's table does not name it. An edition's table may only use a shared
// name for the same sort of position (a control's constant inside the
// container that carries the shared container constant); its own names
// begin with "kLite".
//
// Sources: <src>/gui.xml is the document; an element <include path="x.xml"/>
// among its containers is replaced by the children of x.xml's root element.
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "file_util.h"
#include "xml_reader.h"

namespace {

struct Failure {
    std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw Failure{text}; }

std::string ReadText(const std::string& path) {
    std::string text;
    if (!ReadFileText(path, text)) Fail("cannot read " + path);
    return text;
}

// The text between the root element's start and end tags.
std::string RootInner(const std::string& text, const std::string& path) {
    size_t pos = 0;
    for (;;) {
        pos = text.find('<', pos);
        if (pos == std::string::npos) Fail(path + ": no root element");
        if (text.compare(pos, 2, "<?") == 0 || text.compare(pos, 4, "<!--") == 0) {
            size_t end = text.find(text.compare(pos, 2, "<?") == 0 ? "?>" : "-->", pos);
            if (end == std::string::npos) Fail(path + ": unterminated markup");
            pos = end + 1;
            continue;
        }
        break;
    }
    size_t open_end = text.find('>', pos);
    if (open_end == std::string::npos) Fail(path + ": bad root element");
    if (text[open_end - 1] == '/') return std::string();
    size_t close = text.rfind("</");
    if (close == std::string::npos || close < open_end) Fail(path + ": root element not closed");
    return text.substr(open_end + 1, close - open_end - 1);
}

// Replaces every <include path="..."/> by the included file's root content.
std::string Expand(const std::string& text, const std::string& src, int depth) {
    if (depth > 8) Fail("includes nest too deeply");
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t inc = text.find("<include", pos);
        if (inc == std::string::npos) break;
        // An <include> inside a comment is no include: copy the comment.
        size_t comment = text.find("<!--", pos);
        if (comment != std::string::npos && comment < inc) {
            size_t close = text.find("-->", comment);
            if (close == std::string::npos) Fail("unterminated comment");
            out += text.substr(pos, close + 3 - pos);
            pos = close + 3;
            continue;
        }
        size_t end = text.find("/>", inc);
        if (end == std::string::npos) Fail("unterminated <include>");
        std::string tag = text.substr(inc, end + 2 - inc);
        size_t q1 = tag.find("path=\"");
        if (q1 == std::string::npos) Fail("<include> without path: " + tag);
        size_t q2 = tag.find('"', q1 + 6);
        std::string rel = tag.substr(q1 + 6, q2 - q1 - 6);
        std::string path = src + "/" + rel;
        out += text.substr(pos, inc - pos);
        out += "<!-- " + rel + " -->" + Expand(RootInner(ReadText(path), path), src, depth + 1);
        pos = end + 2;
    }
    out += text.substr(pos);
    return out;
}

struct BoundControl {
    int index = 0;
    std::string name, kind, constant;
};

struct BoundContainer {
    std::string kind;  // screen, window, group
    int index = 0;
    std::string name, constant;
    int controls = 0;  // how many leading controls the code keeps
    bool required = true;  // the document must hold all of them
    std::vector<BoundControl> named;
};

int Int(const XmlElement& e, const char* key, int fallback) {
    const std::string* v = e.Attribute(key);
    if (!v || v->empty()) return fallback;
    try {
        return std::stoi(*v);
    } catch (...) {
        Fail("bindings line " + std::to_string(e.line) + ": " + key + " is not a number");
    }
}

std::string Str(const XmlElement& e, const char* key) {
    const std::string* v = e.Attribute(key);
    return v ? *v : std::string();
}

bool IsIdentifier(const std::string& s) {
    if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

std::vector<BoundContainer> ReadBindings(const std::string& path) {
    XmlElement root;
    std::string error;
    if (!ParseXml(ReadText(path), root, error)) Fail(path + ": " + error);
    std::vector<BoundContainer> out;
    std::set<std::string> constants;
    std::set<std::pair<std::string, int>> seen;
    auto use = [&](const std::string& c, int line) {
        if (c.empty()) return;
        if (!IsIdentifier(c)) Fail(path + ":" + std::to_string(line) + ": bad constant name " + c);
        if (!constants.insert(c).second) Fail(path + ":" + std::to_string(line) + ": constant " + c + " repeats");
    };
    for (const XmlElement& e : root.children) {
        if (e.name != "screen" && e.name != "window" && e.name != "group")
            Fail(path + ":" + std::to_string(e.line) + ": unexpected <" + e.name + ">");
        BoundContainer c;
        c.kind = e.name;
        c.index = Int(e, "index", -1);
        c.name = Str(e, "name");
        c.constant = Str(e, "const");
        c.controls = Int(e, "controls", 0);
        c.required = Str(e, "optional") != "true";
        if (c.index < 0 || c.name.empty() || c.controls < 0)
            Fail(path + ":" + std::to_string(e.line) + ": needs index, name and controls");
        if (!seen.insert({c.kind, c.index}).second)
            Fail(path + ":" + std::to_string(e.line) + ": " + c.kind + " " + std::to_string(c.index) + " repeats");
        use(c.constant, e.line);
        for (const XmlElement& k : e.children) {
            if (k.name != "control") Fail(path + ":" + std::to_string(k.line) + ": unexpected <" + k.name + ">");
            BoundControl b;
            b.index = Int(k, "index", -1);
            b.name = Str(k, "name");
            b.kind = Str(k, "kind");
            b.constant = Str(k, "const");
            if (b.index < 0 || b.name.empty() || b.kind.empty())
                Fail(path + ":" + std::to_string(k.line) + ": a control needs index, name and kind");
            if (b.index >= c.controls)
                Fail(path + ":" + std::to_string(k.line) + ": control " + std::to_string(b.index) +
                     " lies beyond the " + std::to_string(c.controls) + " bound controls");
            use(b.constant, k.line);
            c.named.push_back(b);
        }
        out.push_back(c);
    }
    return out;
}

// The sort of position a constant names: "screen", "window", "group", or
// "control" with the constant of its container.
struct NamedPosition {
    std::string sort, container;
    int index = 0;
};

// Every constant of a table in table order (containers before their controls).
std::vector<std::pair<std::string, NamedPosition>> Constants(const std::vector<BoundContainer>& table) {
    std::vector<std::pair<std::string, NamedPosition>> out;
    for (const BoundContainer& c : table) {
        if (!c.constant.empty()) out.push_back({c.constant, NamedPosition{c.kind, std::string(), c.index}});
        for (const BoundControl& k : c.named)
            if (!k.constant.empty()) out.push_back({k.constant, NamedPosition{"control", c.constant, k.index}});
    }
    return out;
}

// An edition's table against the shared one: a shared name keeps its sort,
// and a control's stays inside the container of the shared container name.
void CheckAgainstShared(const std::vector<BoundContainer>& table, const std::vector<BoundContainer>& shared,
                        const std::string& path) {
    std::map<std::string, NamedPosition> known;
    for (const auto& n : Constants(shared)) known[n.first] = n.second;
    for (const auto& n : Constants(table)) {
        auto it = known.find(n.first);
        if (it == known.end()) {
            if (n.first.compare(0, 5, "kLite") != 0)
                Fail(path + ": " + n.first + " names no position of the shared table (the edition's own constants begin with kLite)");
            continue;
        }
        const NamedPosition& want = it->second;
        if (want.sort != n.second.sort)
            Fail(path + ": " + n.first + " names a " + want.sort + " in the shared table, here a " + n.second.sort);
        if (want.sort == "control" && want.container != n.second.container)
            Fail(path + ": " + n.first + " is a control of " + (want.container.empty() ? "an unnamed container" : want.container) +
                 " in the shared table, here of " + (n.second.container.empty() ? "an unnamed container" : n.second.container));
    }
}

// kScreenRound -> screenRound: the field of GuiPositions for a constant.
std::string FieldName(const std::string& constant) {
    std::string f = constant.size() > 1 && constant[0] == 'k' ? constant.substr(1) : constant;
    if (!f.empty() && f[0] >= 'A' && f[0] <= 'Z') f[0] = (char)(f[0] - 'A' + 'a');
    return f;
}

// The path from "content/" on, for the header's first line.
std::string ShownPath(const std::string& path) {
    size_t at = path.rfind("content/");
    return at == std::string::npos ? path : path.substr(at);
}

// Every element the factories make.
std::set<std::string> kControlKinds = {
    "static", "button", "edit", "text", "slider", "scroll", "check", "link", "key", "fps",
    "timer", "list", "group", "clone", "radiobut", "sound_trigger", "power_meter", "gui_letter",
    "picture", "animation", "trophy", "multielems", "newspin", "statusbar", "ai", "newpanel",
    "fade", "bkwheel", "msg"};

void Validate(const XmlElement& doc, const std::vector<BoundContainer>& bindings, const std::string& src) {
    std::map<std::string, std::vector<const XmlElement*>> byKind;
    std::map<std::string, std::set<std::string>> names;
    for (const XmlElement& c : doc.children) {
        std::string where = src + " line " + std::to_string(c.line);
        if (c.name != "screen" && c.name != "window" && c.name != "group")
            Fail(where + ": <" + c.name + "> is no container (screen, window or group)");
        const std::string* name = c.Attribute("name");
        if (!name || name->empty()) Fail(where + ": " + c.name + " without a name");
        if (!names[c.name].insert(*name).second) Fail(where + ": " + c.name + " \"" + *name + "\" repeats");
        byKind[c.name].push_back(&c);
        std::set<std::string> controlNames;
        for (const XmlElement& k : c.children) {
            std::string at = src + " line " + std::to_string(k.line);
            if (!kControlKinds.count(k.name)) Fail(at + ": unknown control <" + k.name + ">");
            const std::string* kn = k.Attribute("name");
            if (!kn || kn->empty()) Fail(at + ": <" + k.name + "> without a name");
            if (!controlNames.insert(*kn).second)
                Fail(at + ": control \"" + *kn + "\" repeats in " + *name);
        }
    }
    for (const BoundContainer& b : bindings) {
        const auto& list = byKind[b.kind];
        std::string what = b.kind + " " + std::to_string(b.index) + " (" + b.name + ")";
        if (b.index >= (int)list.size()) {
            if (b.required) Fail(what + ": the document has only " + std::to_string(list.size()) + " " + b.kind + "s");
            continue;
        }
        const XmlElement& c = *list[b.index];
        if (*c.Attribute("name") != b.name)
            Fail(what + ": position holds \"" + *c.Attribute("name") + "\" (line " + std::to_string(c.line) + ")");
        if (b.required && (int)c.children.size() < b.controls)
            Fail(what + ": holds " + std::to_string(c.children.size()) + " controls, the code binds " +
                 std::to_string(b.controls));
        for (const BoundControl& k : b.named) {
            if (k.index >= (int)c.children.size()) {
                if (b.required) Fail(what + ": no control " + std::to_string(k.index));
                continue;
            }
            const XmlElement& e = c.children[k.index];
            const std::string* kn = e.Attribute("name");
            if (e.name != k.kind || !kn || *kn != k.name)
                Fail(what + ", control " + std::to_string(k.index) + ": expected <" + k.kind + " name=\"" + k.name +
                     "\">, found <" + e.name + " name=\"" + (kn ? *kn : std::string()) + "\"> at line " +
                     std::to_string(e.line));
        }
    }
}

struct HeaderOptions {
    std::string source;     // the table, as shown in the first line
    std::string space;      // a namespace for the constants, or none
    std::string instance;   // the GuiPositions instance, or none
    const std::vector<BoundContainer>* shared = nullptr;
};

std::string Header(const std::vector<BoundContainer>& bindings, const HeaderOptions& o) {
    std::string h =
        "// Made by qvgui from " + o.source + "; edit that table, not this file.\n"
        "// Positions of the containers and controls the game code binds.\n"
        "#pragma once\n";
    if (!o.instance.empty()) h += "#include \"gui_positions.h\"\n";
    h += "\n";
    if (!o.space.empty()) h += "namespace " + o.space + " {\n\n";
    const char* kinds[] = {"screen", "window", "group"};
    for (const char* kind : kinds) {
        int most = -1;
        for (const auto& b : bindings)
            if (b.kind == kind && b.index > most) most = b.index;
        std::string upper = kind;
        for (char& ch : upper) ch = (char)(ch - 'a' + 'A');
        h += "// " + std::string(kind) + "s\n";
        h += "const int kBound" + std::string(1, upper[0]) + std::string(kind + 1) + "Count = " + std::to_string(most + 1) + ";\n";
        for (const auto& b : bindings) {
            if (b.kind != kind) continue;
            if (!b.constant.empty())
                h += "const int " + b.constant + " = " + std::to_string(b.index) + ";  // \"" + b.name + "\", " +
                     std::to_string(b.controls) + " controls\n";
            for (const auto& k : b.named)
                if (!k.constant.empty())
                    h += "const int " + k.constant + " = " + std::to_string(k.index) + ";  // <" + k.kind +
                         " name=\"" + k.name + "\">\n";
        }
        // The number of leading controls kept for each position.
        h += "const int kBound" + std::string(1, upper[0]) + std::string(kind + 1) + "Controls[" +
             std::to_string(most + 1 > 0 ? most + 1 : 1) + "] = {";
        for (int i = 0; i <= most; ++i) {
            int n = 0;
            for (const auto& b : bindings)
                if (b.kind == kind && b.index == i) n = b.controls;
            h += (i ? ", " : "") + std::to_string(n);
        }
        if (most < 0) h += "0";
        h += "};\n";
        h += "const char* const kBound" + std::string(1, upper[0]) + std::string(kind + 1) + "Names[" +
             std::to_string(most + 1 > 0 ? most + 1 : 1) + "] = {";
        for (int i = 0; i <= most; ++i) {
            std::string n;
            for (const auto& b : bindings)
                if (b.kind == kind && b.index == i) n = b.name;
            h += std::string(i ? ", " : "") + (n.empty() ? "nullptr" : "\"" + n + "\"");
        }
        if (most < 0) h += "nullptr";
        h += "};\n\n";
    }
    if (!o.instance.empty()) {
        std::map<std::string, int> own;
        for (const auto& n : Constants(bindings)) own[n.first] = n.second.index;
        h += "// This table for the code the editions share (gui_positions.h).\n";
        h += "const GuiPositions " + o.instance + " = {\n";
        h += "    kBoundScreenCount, kBoundScreenControls, kBoundWindowCount, kBoundWindowControls,\n";
        h += "    kBoundGroupCount, kBoundGroupControls,\n";
        for (const auto& n : Constants(*o.shared)) {
            auto it = own.find(n.first);
            h += "    " + (it == own.end() ? std::string("kNoPosition") : std::to_string(it->second)) + ",  // " +
                 FieldName(n.first) + "\n";
        }
        h += "};\n\n";
    }
    if (!o.space.empty()) h += "}  // namespace " + o.space + "\n";
    return h;
}

// The struct of named positions that the shared code reads, one field per
// constant of the shared table.
std::string PositionsHeader(const std::vector<BoundContainer>& shared, const std::string& source) {
    std::string h =
        "// Made by qvgui from " + source + "; edit that table, not this file.\n"
        "// The positions the code shared by the editions binds, one field per\n"
        "// constant of that table; each edition's bindings header holds the\n"
        "// instance for its own document.\n"
        "#pragma once\n\n"
        "// A position the edition's document does not hold: far enough below 0\n"
        "// that a base plus a seat or entry offset stays outside every container.\n"
        "const int kNoPosition = -1000000;\n\n"
        "struct GuiPositions {\n"
        "    int screenCount;            // how many screens the code binds\n"
        "    const int* screenControls;  // the leading controls it keeps of each\n"
        "    int windowCount;\n"
        "    const int* windowControls;\n"
        "    int groupCount;\n"
        "    const int* groupControls;\n";
    for (const auto& n : Constants(shared)) {
        std::string what = n.second.sort == "control" ? "a control of " + FieldName(n.second.container)
                                                      : "a " + n.second.sort;
        h += "    int " + FieldName(n.first) + ";  // " + what + "\n";
    }
    h += "};\n";
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    std::string src, bindingsPath, out, header, positions, sharedPath, space, instance, name = "gui.xml", kinds;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--src") src = argv[i + 1];
        else if (a == "--bindings") bindingsPath = argv[i + 1];
        else if (a == "--out") out = argv[i + 1];
        else if (a == "--header") header = argv[i + 1];
        else if (a == "--positions") positions = argv[i + 1];
        else if (a == "--shared") sharedPath = argv[i + 1];
        else if (a == "--namespace") space = argv[i + 1];
        else if (a == "--instance") instance = argv[i + 1];
        else if (a == "--name") name = argv[i + 1];
        else if (a == "--extra-kinds") kinds = argv[i + 1];
        else src.clear(), i = argc;
    }
    if (src.empty() || bindingsPath.empty() || out.empty() || header.empty() || name.empty()) {
        std::fprintf(stderr,
                     "usage: qvgui --src DIR --bindings FILE --out DIR --header FILE [--positions FILE]\n"
                     "             [--shared FILE] [--namespace NAME] [--instance NAME] [--name FILE]\n"
                     "             [--extra-kinds KIND,KIND]\n");
        return 2;
    }
    for (size_t at = 0; at < kinds.size();) {
        size_t comma = kinds.find(',', at);
        if (comma == std::string::npos) comma = kinds.size();
        if (comma > at) kControlKinds.insert(kinds.substr(at, comma - at));
        at = comma + 1;
    }
    try {
        std::vector<BoundContainer> bindings = ReadBindings(bindingsPath);
        std::vector<BoundContainer> shared = sharedPath.empty() ? bindings : ReadBindings(sharedPath);
        if (!sharedPath.empty()) CheckAgainstShared(bindings, shared, bindingsPath);
        if (!space.empty() && !IsIdentifier(space)) Fail("bad namespace " + space);
        if (!instance.empty() && !IsIdentifier(instance)) Fail("bad instance name " + instance);
        std::string top = src + "/gui.xml";
        std::string text = ReadText(top);
        std::string expanded = Expand(text, src, 0);
        XmlElement doc;
        std::string error;
        if (!ParseXml(expanded, doc, error)) Fail("assembled GUI document: " + error);
        Validate(doc, bindings, top);
        if (!MakeDirs(out + "/gui")) Fail("cannot make " + out + "/gui");
        if (!WriteFileIfChanged(out + "/gui/" + name, expanded)) Fail("cannot write the GUI document");
        std::string fragment =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest>\n  <group path=\"gui/\">\n"
            "    <file label=\"GUI\" path=\"" + name + "\"/>\n  </group>\n</manifest>\n";
        if (!WriteFileIfChanged(out + "/gui_document.xml", fragment)) Fail("cannot write the manifest fragment");
        HeaderOptions options;
        options.source = ShownPath(bindingsPath);
        options.space = space;
        options.instance = instance;
        options.shared = &shared;
        if (!WriteFileIfChanged(header, Header(bindings, options))) Fail("cannot write " + header);
        if (!positions.empty() &&
            !WriteFileIfChanged(positions, PositionsHeader(shared, ShownPath(sharedPath.empty() ? bindingsPath : sharedPath))))
            Fail("cannot write " + positions);
    } catch (const Failure& f) {
        std::fprintf(stderr, "qvgui: %s\n", f.text.c_str());
        return 1;
    }
    return 0;
}
