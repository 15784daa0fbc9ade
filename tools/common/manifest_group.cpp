#include "manifest_group.h"

#include "file_util.h"
#include "xml_reader.h"

bool ParseGroupToolOptions(int argc, char** argv, GroupToolOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "--out" || a == "--manifest" || a == "--group") && i + 1 < argc) {
            (a == "--out" ? options.outDir : a == "--manifest" ? options.manifest : options.group) = argv[++i];
        } else if (!a.empty() && a[0] != '-') {
            options.sources.push_back(a);
        } else {
            return false;
        }
    }
    return !options.outDir.empty() && !options.manifest.empty() && !options.sources.empty();
}

ManifestGroupWriter::ManifestGroupWriter(const std::string& madeBy, const std::string& groupPath)
    : xml_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!-- " + madeBy + " -->\n"
           "<manifest>\n  <group path=\"" + XmlEscapeKeepApostrophes(groupPath) + "\" pack=\"archive\">\n") {}

bool ManifestGroupWriter::Add(const std::string& label, const std::string& output, std::string& error) {
    if (!labels_.insert(label).second) {
        error = "label " + label + " is used twice";
        return false;
    }
    if (!outputs_.insert(output).second) {
        error = "output " + output + " is made twice";
        return false;
    }
    xml_ += "    <file label=\"" + XmlEscapeKeepApostrophes(label) + "\" path=\"" +
            XmlEscapeKeepApostrophes(output) + "\"/>\n";
    return true;
}

bool ManifestGroupWriter::Write(const std::string& path) const {
    std::string text = xml_ + "  </group>\n</manifest>\n";
    return WriteFileBytes(path, text.data(), text.size());
}
