#include "xml_reader.h"

#include <cstdlib>
#include <cstring>

const std::string* XmlElement::Attribute(const std::string& key) const {
    for (const auto& a : attributes)
        if (a.first == key) return &a.second;
    return nullptr;
}

namespace {

// Deep nesting means a broken or hostile file, not a manifest.
const int kMaxDepth = 256;

class Reader {
public:
    Reader(const std::string& text, std::string& error) : s_(text), error_(error) {}

    bool Document(XmlElement& root) {
        if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) p_ = 3;
        if (!Misc()) return false;
        if (!Peek('<')) return Fail("expected the root element");
        if (!Element(root, 0)) return false;
        if (!Misc()) return false;
        if (p_ < s_.size()) return Fail("unexpected content after the root element");
        return true;
    }

private:
    // Line of pos; positions only move forward, so counting goes on from the last call.
    int LineAt(size_t pos) {
        while (line_pos_ < pos && line_pos_ < s_.size())
            if (s_[line_pos_++] == '\n') ++line_;
        return line_;
    }
    bool Fail(const std::string& what) {
        error_ = "line " + std::to_string(LineAt(p_)) + ": " + what;
        return false;
    }
    bool Peek(char c) const { return p_ < s_.size() && s_[p_] == c; }
    bool StartsWith(const char* t) const { return s_.compare(p_, std::strlen(t), t) == 0; }
    void SkipSpace() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t' || s_[p_] == '\r' || s_[p_] == '\n')) ++p_;
    }
    bool SkipPast(const char* end, const char* what) {
        size_t at = s_.find(end, p_);
        if (at == std::string::npos) return Fail(std::string("unterminated ") + what);
        p_ = at + std::strlen(end);
        return true;
    }
    // Whitespace, comments and processing instructions outside the root.
    bool Misc() {
        for (;;) {
            SkipSpace();
            if (StartsWith("<?")) {
                if (!SkipPast("?>", "processing instruction")) return false;
            } else if (StartsWith("<!--")) {
                if (!SkipPast("-->", "comment")) return false;
            } else if (StartsWith("<!")) {
                return Fail("document type declarations are not supported");
            } else {
                return true;
            }
        }
    }
    static bool NameChar(unsigned char c, bool first) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80) return true;
        return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
    }
    bool Name(std::string& out) {
        size_t start = p_;
        while (p_ < s_.size() && NameChar((unsigned char)s_[p_], p_ == start)) ++p_;
        if (p_ == start) return Fail("expected a name");
        out = s_.substr(start, p_ - start);
        return true;
    }
    static void AppendUtf8(std::string& out, unsigned long c) {
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | (c >> 12));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | (c >> 18));
            out += (char)(0x80 | ((c >> 12) & 0x3F));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    // At '&': decodes one reference into out.
    bool Reference(std::string& out) {
        size_t end = s_.find(';', p_);
        if (end == std::string::npos || end - p_ > 12) return Fail("unterminated character reference");
        std::string ref = s_.substr(p_ + 1, end - p_ - 1);
        if (ref == "lt") out += '<';
        else if (ref == "gt") out += '>';
        else if (ref == "amp") out += '&';
        else if (ref == "quot") out += '"';
        else if (ref == "apos") out += '\'';
        else if (ref.size() > 1 && ref[0] == '#') {
            bool hex = ref[1] == 'x';
            std::string digits = ref.substr(hex ? 2 : 1);
            char* stop = nullptr;
            unsigned long c = digits.empty() ? 0 : std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
            if (digits.empty() || *stop || c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                return Fail("bad character reference &" + ref + ";");
            AppendUtf8(out, c);
        } else {
            return Fail("unknown entity &" + ref + ";");
        }
        p_ = end + 1;
        return true;
    }
    bool Attributes(XmlElement& e) {
        for (;;) {
            size_t before = p_;
            SkipSpace();
            if (Peek('>') || Peek('/') || p_ >= s_.size()) return true;
            if (p_ == before) return Fail("expected white space before an attribute");
            std::string key;
            if (!Name(key)) return false;
            SkipSpace();
            if (!Peek('=')) return Fail("expected '=' after attribute " + key);
            ++p_;
            SkipSpace();
            if (!Peek('"') && !Peek('\'')) return Fail("expected a quoted value for attribute " + key);
            char quote = s_[p_++];
            std::string value;
            while (p_ < s_.size() && s_[p_] != quote) {
                if (s_[p_] == '<') return Fail("'<' in the value of attribute " + key);
                if (s_[p_] == '&') {
                    if (!Reference(value)) return false;
                } else {
                    value += s_[p_++];
                }
            }
            if (p_ >= s_.size()) return Fail("unterminated value of attribute " + key);
            ++p_;
            if (e.Attribute(key)) return Fail("attribute " + key + " repeats");
            e.attributes.emplace_back(key, value);
        }
    }
    bool Element(XmlElement& e, int depth) {
        if (depth > kMaxDepth) return Fail("elements nested too deeply");
        e.line = LineAt(p_);
        ++p_; // '<'
        if (!Name(e.name)) return false;
        if (!Attributes(e)) return false;
        if (StartsWith("/>")) {
            p_ += 2;
            return true;
        }
        if (!Peek('>')) return Fail("unterminated start tag <" + e.name + ">");
        ++p_;
        for (;;) {
            if (p_ >= s_.size()) return Fail("element <" + e.name + "> is not closed");
            if (StartsWith("</")) {
                p_ += 2;
                std::string end;
                if (!Name(end)) return false;
                if (end != e.name) return Fail("</" + end + "> closes <" + e.name + ">");
                SkipSpace();
                if (!Peek('>')) return Fail("unterminated end tag </" + end + ">");
                ++p_;
                return true;
            }
            if (StartsWith("<!--")) {
                if (!SkipPast("-->", "comment")) return false;
            } else if (StartsWith("<![CDATA[")) {
                if (!SkipPast("]]>", "CDATA section")) return false;
            } else if (StartsWith("<?")) {
                if (!SkipPast("?>", "processing instruction")) return false;
            } else if (StartsWith("<!")) {
                return Fail("unexpected declaration inside <" + e.name + ">");
            } else if (Peek('<')) {
                e.children.emplace_back();
                if (!Element(e.children.back(), depth + 1)) return false;
            } else if (Peek('&')) {
                std::string ignored;
                if (!Reference(ignored)) return false;
            } else {
                ++p_; // text is not used
            }
        }
    }

    const std::string& s_;
    std::string& error_;
    size_t p_ = 0;
    size_t line_pos_ = 0;
    int line_ = 1;
};

} // namespace

bool ParseXml(const std::string& text, XmlElement& root, std::string& error) {
    root = XmlElement();
    Reader reader(text, error);
    return reader.Document(root);
}

static std::string Escape(const std::string& text, bool apostrophes) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'':
            if (apostrophes) out += "&apos;";
            else out += c;
            break;
        default: out += c;
        }
    }
    return out;
}

std::string XmlEscape(const std::string& text) { return Escape(text, true); }

std::string XmlEscapeKeepApostrophes(const std::string& text) { return Escape(text, false); }

