// Writes the sample tests into a directory:
//
//   make_samples [--realdata DIR] [--synthetic] DIR
//   make_samples [--realdata DIR] [--synthetic] --corpus N [--wide] DIR
//
// The first form writes the sample set that is committed under samples/;
// the second writes N files for batch benchmarks: the sample wells in turn,
// each with its own well name and file name, through every test mode with
// and without bit 14, longer and shorter strokes and tests without card.
// With --wide the corpus is as varied as field tests: real cards repeated
// at periods of 5-25 s, tests of the motor alone, long strokes, and the
// sample wells' copies (see wide_corpus_plans). Card shapes come from the
// real dynamometer cards below --realdata (default: ../shared/realdata
// beside the source tree); without them, or with --synthetic, synthetic
// cards are used and a note says so.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/sample_gen.h"

#ifndef TAVO_SOURCE_DIR
#define TAVO_SOURCE_DIR "."
#endif

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: make_samples [--realdata DIR] [--synthetic] [--corpus N [--wide]] OUTPUT_DIR\n"
                 "  writes the sample tester files into OUTPUT_DIR (created when missing)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    using namespace tavo::samples;
    std::string realdata = std::string(TAVO_SOURCE_DIR) + "/../shared/realdata";
    bool synthetic = false, wide = false;
    int corpus = -1;
    std::string out_dir;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--realdata" && a + 1 < argc) {
            realdata = argv[++a];
        } else if (arg == "--synthetic") {
            synthetic = true;
        } else if (arg == "--wide") {
            wide = true;
        } else if (arg == "--corpus" && a + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++a], &end, 10);
            if (end == argv[a] || *end != '\0' || n < 1 || n > 100000) {
                std::fprintf(stderr, "make_samples: --corpus needs a count from 1 to 100000, not \"%s\"\n",
                             argv[a]);
                return 2;
            }
            corpus = static_cast<int>(n);
        } else if (arg == "-h" || arg == "--help") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "make_samples: unknown option \"%s\"\n", arg.c_str());
            return usage();
        } else if (out_dir.empty()) {
            out_dir = arg;
        } else {
            return usage();
        }
    }
    if (out_dir.empty() || (wide && corpus < 0)) return usage();

    RealCards real;
    const RealCards* cards = nullptr;
    if (!synthetic) {
        const RealDataReport r = read_real_cards(realdata, real);
        if (r.ok) {
            cards = &real;
        } else {
            std::fprintf(stderr, "make_samples: note: %s; using synthetic cards instead\n", r.detail.c_str());
        }
    }

    std::error_code ec;
    fs::create_directories(fs::path(out_dir), ec);
    if (ec) {
        std::fprintf(stderr, "make_samples: cannot create %s: %s\n", out_dir.c_str(), ec.message().c_str());
        return 1;
    }
    const std::vector<SampleFile> files =
        corpus > 0 ? (wide ? generate_wide_corpus(corpus, cards) : generate_corpus(corpus, cards))
                   : generate_samples(cards);
    for (const SampleFile& f : files) {
        const fs::path path = fs::path(out_dir) / fs::path(f.file_name);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.bytes.data()),
                  static_cast<std::streamsize>(f.bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "make_samples: cannot write %s\n", path.string().c_str());
            return 1;
        }
        if (corpus < 0) std::printf("%s  (%s)\n", f.file_name.c_str(), f.card_source.c_str());
    }
    std::printf("%zu files written to %s\n", files.size(), out_dir.c_str());
    return 0;
}
