// qvsound: synthesises every sound of the game from the text recipes under
// content/audio (*.snd) and encodes them as Ogg Vorbis, with the "AUDIO"
// catalogue that names them and the manifest group that lists the files.
//
//   qvsound --recipes <dir> --out <generated content dir> [--wav <dir>] [--only CUE] [--check]
//
// Writes <out>/audio/<cue in lower case>.ogg, <out>/audio/catalogue.xml
// (label "AUDIO") and <out>/audio.xml, the fragment content/manifest.xml
// includes. The same recipes always give the same bytes.
#include "file_util.h"
#include "recipe.h"
#include "synth.h"
#include "vorbis_writer.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: qvsound --recipes <dir> --out <dir> [--wav <dir>] [--only CUE] [--check]\n");
    return 2;
}

std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() > suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool ValidCue(const std::string& cue) {
    if (cue.empty() || cue.size() > 64) return false;
    for (char c : cue)
        if (!std::isupper((unsigned char)c) && !std::isdigit((unsigned char)c) && c != '_') return false;
    return true;
}

std::string FileName(const std::string& cue) {
    std::string n;
    for (char c : cue) n += (char)std::tolower((unsigned char)c);
    return n + ".ogg";
}

std::string Label(const std::string& cue) { return "SND_" + cue; }

int Serial(const std::string& cue) {
    unsigned h = 2166136261u;
    for (unsigned char c : cue) h = (h ^ c) * 16777619u;
    return (int)(h & 0x7FFFFFFF);
}

struct Job {
    const Recipe* recipe;
    std::vector<unsigned char> ogg, wav;
    double seconds = 0;
    std::string error;
};

}  // namespace

int main(int argc, char** argv) {
    std::string recipes, out, wav, only;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](std::string& slot) {
            if (i + 1 >= argc) return false;
            slot = argv[++i];
            return true;
        };
        if (a == "--recipes") {
            if (!next(recipes)) return Usage();
        } else if (a == "--out") {
            if (!next(out)) return Usage();
        } else if (a == "--wav") {
            if (!next(wav)) return Usage();
        } else if (a == "--only") {
            if (!next(only)) return Usage();
        } else if (a == "--check") {
            check = true;
        } else {
            return Usage();
        }
    }
    if (recipes.empty() || (out.empty() && !check)) return Usage();

    std::vector<Recipe> all;
    std::vector<std::string> files = ListFiles(recipes, ".snd");
    if (files.empty()) {
        std::fprintf(stderr, "qvsound: no recipes (*.snd) in %s\n", recipes.c_str());
        return 1;
    }
    for (const std::string& f : files) {
        std::string path = recipes + "/" + f;
        std::vector<unsigned char> bytes;
        if (!ReadFileBytes(path, bytes)) {
            std::fprintf(stderr, "qvsound: cannot read %s\n", path.c_str());
            return 1;
        }
        std::string error;
        if (!ParseRecipes(path, std::string(bytes.begin(), bytes.end()), all, error)) {
            std::fprintf(stderr, "qvsound: %s\n", error.c_str());
            return 1;
        }
    }
    std::set<std::string> seen;
    for (const Recipe& r : all) {
        if (!ValidCue(r.cue)) {
            std::fprintf(stderr, "qvsound: %s:%d: cue names are A-Z, 0-9 and _ (\"%s\")\n", r.file.c_str(), r.line,
                         r.cue.c_str());
            return 1;
        }
        if (!seen.insert(r.cue).second) {
            std::fprintf(stderr, "qvsound: %s:%d: cue %s made twice\n", r.file.c_str(), r.line, r.cue.c_str());
            return 1;
        }
    }
    if (check) {
        std::printf("qvsound: %zu cues, recipes fine\n", all.size());
        return 0;
    }

    std::vector<Job> jobs;
    for (const Recipe& r : all)
        if (only.empty() || r.cue == only) jobs.push_back(Job{&r, {}, {}, 0, {}});
    if (jobs.empty()) {
        std::fprintf(stderr, "qvsound: no cue %s\n", only.c_str());
        return 1;
    }

    std::atomic<size_t> nextJob(0);
    auto worker = [&]() {
        for (size_t k; (k = nextJob++) < jobs.size();) {
            Job& job = jobs[k];
            const Recipe& r = *job.recipe;
            Audio audio;
            if (!RenderRecipe(r, audio, job.error)) continue;
            job.seconds = (double)audio.Frames() / audio.rate;
            if (!EncodeVorbis(audio, r.quality, Serial(r.cue), r.cue, job.ogg)) {
                job.error = r.file + ": cue " + r.cue + ": the Vorbis encoder refused the format";
                continue;
            }
            if (!wav.empty()) EncodeWav(audio, job.wav);
        }
    };
    unsigned n = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < n; ++t) threads.emplace_back(worker);
    for (std::thread& t : threads) t.join();
    for (const Job& job : jobs)
        if (!job.error.empty()) {
            std::fprintf(stderr, "qvsound: %s\n", job.error.c_str());
            return 1;
        }

    std::string audioDir = out + "/audio";
    if (!MakeDirs(audioDir) || (!wav.empty() && !MakeDirs(wav))) {
        std::fprintf(stderr, "qvsound: cannot make %s\n", audioDir.c_str());
        return 1;
    }
    size_t total = 0;
    double seconds = 0;
    for (const Job& job : jobs) {
        std::string path = audioDir + "/" + FileName(job.recipe->cue);
        if (!WriteFileBytes(path, job.ogg.data(), job.ogg.size())) {
            std::fprintf(stderr, "qvsound: cannot write %s\n", path.c_str());
            return 1;
        }
        if (!wav.empty()) {
            std::string wpath = wav + "/" + FileName(job.recipe->cue);
            wpath.replace(wpath.size() - 4, 4, ".wav");
            WriteFileBytes(wpath, job.wav.data(), job.wav.size());
        }
        total += job.ogg.size();
        seconds += job.seconds;
    }
    if (!only.empty()) {
        std::printf("qvsound: %s, %.1f s, %zu bytes\n", only.c_str(), seconds, total);
        return 0;
    }

    // Sounds of cues that are gone would only linger in the folder.
    std::set<std::string> keep;
    for (const Recipe& r : all) keep.insert(FileName(r.cue));
    for (const std::string& f : ListFiles(audioDir, ".ogg"))
        if (!keep.count(f)) unlink((audioDir + "/" + f).c_str());

    std::string catalog =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- Made by qvsound from content/audio: every sound the game plays by name. -->\n"
        "<audio>\n";
    std::string fragment =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!-- Made by qvsound from content/audio. -->\n"
        "<manifest>\n"
        "  <group path=\"audio/\" pack=\"archive\">\n"
        "    <file label=\"AUDIO\" path=\"catalogue.xml\"/>\n";
    for (const Recipe& r : all) {
        catalog += "  <" + r.kind + " name=\"" + r.cue + "\" source_file=\"" + Label(r.cue) + "\"/>\n";
        fragment += "    <file label=\"" + Label(r.cue) + "\" path=\"" + FileName(r.cue) + "\"/>\n";
    }
    catalog += "</audio>\n";
    fragment += "  </group>\n</manifest>\n";
    if (!WriteFileBytes(audioDir + "/catalogue.xml", catalog.data(), catalog.size()) ||
        !WriteFileBytes(out + "/audio.xml", fragment.data(), fragment.size())) {
        std::fprintf(stderr, "qvsound: cannot write the catalogue\n");
        return 1;
    }
    std::printf("qvsound: %zu sounds, %.0f s of audio, %zu KiB\n", jobs.size(), seconds, total / 1024);
    return 0;
}
