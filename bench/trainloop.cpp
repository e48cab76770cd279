#include "trainloop.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> readLines(const fs::path &file)
{
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The value line below the first line that starts with caption.
std::string *valueBelow(std::vector<std::string> &lines, const std::string &caption)
{
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        if (lines[k].rfind(caption, 0) == 0) {
            return &lines[k + 1];
        }
    }
    return nullptr;
}

// A copy of the XOR example in a fresh folder with target error 0 and the given epochs per call.
fs::path prepare(const std::string &examples, int epochsPerCall)
{
    const fs::path from(examples);
    std::vector<std::string> lines = readLines(from / "xor.net");
    std::string *target = valueBelow(lines, "Target error");
    std::string *parameters = valueBelow(lines, "Input Noise; Weight Noise; Temp; No of epocs");
    if (!target || !parameters) {
        std::fprintf(stderr, "train loop: %s/xor.net lacks the expected lines\n", examples.c_str());
        return {};
    }
    *target = " 0 ";
    std::istringstream fields(*parameters);
    std::string noise, wnoise, temp, epochs, clip;
    fields >> noise >> wnoise >> temp >> epochs >> clip;
    *parameters = " " + noise + "  " + wnoise + "  " + temp + "  " + std::to_string(epochsPerCall)
            + "  " + clip + " ";
    char name[] = "/tmp/axona_bench_XXXXXX";
    if (!mkdtemp(name)) {
        return {};
    }
    const fs::path dir(name);
    std::ofstream net(dir / "xor.net");
    for (const std::string &line : lines) {
        net << line << '\n';
    }
    std::error_code error;
    fs::copy_file(from / "xor.pat", dir / "xor.pat", error);
    fs::copy_file(from / "xor.wgt", dir / "xor.wgt", error);
    return error ? fs::path() : dir;
}

// Wall time of one run of the tool, or a negative value when it failed.
double run(const std::string &tool, const fs::path &net, int iterations)
{
    const std::string command = "'" + tool + "' train '" + net.string() + "' --max-iterations "
            + std::to_string(iterations) + " >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return status == 0 ? spent.count() : -1.0;
}

} // namespace

double trainLoopSecondsPerEpoch(const std::string &tool,
                                const std::string &examples,
                                int epochsPerCall,
                                int iterations)
{
    const fs::path dir = prepare(examples, epochsPerCall);
    if (dir.empty()) {
        return -1.0;
    }
    const double once = run(tool, dir / "xor.net", iterations);
    const double twice = run(tool, dir / "xor.net", 2 * iterations);
    std::error_code error;
    fs::remove_all(dir, error);
    if (once < 0.0 || twice < 0.0) {
        std::fprintf(stderr, "train loop: %s train failed\n", tool.c_str());
        return -1.0;
    }
    return (twice - once) / (double(iterations) * epochsPerCall);
}
