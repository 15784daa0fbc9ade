// A small XML reader for the host tools: elements, attributes and nesting,
// with comments, processing instructions, CDATA and text skipped. Enough for
// the manifest; not a general parser (no DTDs, no namespaces).
#pragma once
#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes; // in document order
    std::vector<XmlElement> children;
    int line = 0;

    // The attribute's decoded value, or null when absent.
    const std::string* Attribute(const std::string& key) const;
};

// Parses a whole document into root. false with "line N: what" in error.
bool ParseXml(const std::string& text, XmlElement& root, std::string& error);

// text with &, <, >, " and ' escaped, for attribute values and text.
std::string XmlEscape(const std::string& text);
// The same with ' left as it is, which is enough for text and for values
// in double quotes.
std::string XmlEscapeKeepApostrophes(const std::string& text);
