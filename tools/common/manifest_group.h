// What the tools share that make one file in a folder from each source and
// list them all as one manifest group, in a fragment for
// content/manifest.xml to take in with <include path="..."/>:
//
//   <tool> --out <dir> --manifest <fragment.xml> [--group <path>] <source>...
#pragma once
#include <set>
#include <string>
#include <vector>

struct GroupToolOptions {
    std::string outDir;
    std::string manifest;
    std::string group;  // the group's path: set the tool's default before parsing
    std::vector<std::string> sources;
};

// Reads the command line into options; false when it does not have the form
// above (the tool then prints its usage).
bool ParseGroupToolOptions(int argc, char** argv, GroupToolOptions& options);

// The fragment: one archived group whose files each have a label.
class ManifestGroupWriter {
public:
    // madeBy: the text of the comment under the XML declaration.
    ManifestGroupWriter(const std::string& madeBy, const std::string& groupPath);

    // Lists a file; false, with the reason in error, when its label or its
    // output is listed already.
    bool Add(const std::string& label, const std::string& output, std::string& error);
    // Writes the whole fragment to path.
    bool Write(const std::string& path) const;

private:
    std::string xml_;
    std::set<std::string> labels_, outputs_;
};
