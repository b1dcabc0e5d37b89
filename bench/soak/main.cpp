// A long playback on a real X server (run it under scripts/with-x11.sh, see run.sh): loopwren-cli
// plays a generated macro endlessly into a sink window while a RECORD capture checks every pass
// input by input and the player's resident memory is sampled. At the end the player is stopped with
// SIGTERM and the server is asked whether any key or button is still held.
#include "macrofile.h"
#include "passtally.h"
#include "playerprocess.h"
#include "serverstate.h"
#include "soakmacro.h"
#include "x11probewindow.h"

#include "x11recordsession.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

using namespace loopwren;
using namespace loopwren::bench;
using Clock = std::chrono::steady_clock;

namespace {

struct Options
{
    double minutes = 30;
    std::string cli = LOOPWREN_CLI;
    std::size_t events = 200;
    std::uint32_t seed = 1;
};

constexpr auto kSampleEvery = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(10);
// Stopping must feel immediate; this is far above what it takes and only catches a hang.
constexpr double kStopLimitMs = 2000;
// Growth beyond this between the first pass and the end counts as a leak.
constexpr long kGrowthLimitKiB = 4096;

int usage()
{
    std::fputs("usage: soak_bench [--minutes M] [--cli PATH] [--events N] [--seed S]\n", stderr);
    return 2;
}

std::string joined(const std::vector<unsigned>& values)
{
    if (values.empty())
        return "none";
    std::string text;
    for (unsigned value : values)
        text += (text.empty() ? "" : " ") + std::to_string(value);
    return text;
}

std::string tail(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::string text;
    for (std::size_t i = lines.size() > 10 ? lines.size() - 10 : 0; i < lines.size(); ++i)
        text += "  | " + lines[i] + "\n";
    return text;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (i + 1 >= argc)
            return usage();
        const char* value = argv[++i];
        if (word == "--minutes")
            options.minutes = std::atof(value);
        else if (word == "--cli")
            options.cli = value;
        else if (word == "--events")
            options.events = std::strtoul(value, nullptr, 10);
        else if (word == "--seed")
            options.seed = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
        else
            return usage();
    }
    if (options.minutes <= 0 || options.events < 2)
        return usage();

    char scratchTemplate[] = "/tmp/loopwren-soak.XXXXXX";
    if (!mkdtemp(scratchTemplate)) {
        std::perror("soak: cannot create a scratch folder");
        return 2;
    }
    const std::filesystem::path scratch = scratchTemplate;
    const std::string macroPath = scratch / "soak.json";
    const std::string logPath = scratch / "player.log";

    const SoakMacro macro = SoakMacro::generate(options.events, options.seed, 2, 50);
    const MacroWriteResult written = writeMacro(macro.events());
    if (!written.ok() || !(std::ofstream(macroPath) << written.text)) {
        std::fprintf(stderr, "soak: cannot write %s %s\n", macroPath.c_str(), written.error.c_str());
        return 2;
    }
    std::printf("soak: %zu-event macro, %.2f s per pass, playing for %.1f min (scratch %s)\n",
                macro.events().size(), macro.passSeconds(), options.minutes, scratch.c_str());

    std::string problem;
    auto sink = X11ProbeWindow::open(&problem);
    if (!sink) {
        std::fprintf(stderr, "soak: %s (run it under scripts/with-x11.sh)\n", problem.c_str());
        return 2;
    }
    sink->movePointer(960, 540);
    PassTally tally(macro.expected());
    auto capture = X11RecordSession::start({}, ClickSettings{},
                                           [&tally](std::vector<InputEvent>&& batch) { tally.add(batch); });
    if (!capture) {
        std::fputs("soak: cannot watch the server's input with RECORD\n", stderr);
        return 2;
    }

    PlayerProcess player(options.cli, {"play", macroPath, "--infinite"},
                         {"XDG_CONFIG_HOME=" + (scratch / "config").string()}, logPath);
    if (!player.started()) {
        std::fprintf(stderr, "soak: cannot start %s\n", options.cli.c_str());
        return 2;
    }

    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(options.minutes * 60));
    std::optional<long> startRss;
    long lastRss = 0;
    long maxRss = 0;
    std::size_t samples = 0;
    auto nextSample = start + kSampleEvery;
    bool diedEarly = false;
    const auto sample = [&] {
        const std::optional<long> rss = player.residentKiB();
        if (!rss)
            return;
        ++samples;
        lastRss = *rss;
        maxRss = std::max(maxRss, *rss);
    };
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sink->clear();
        if (!player.running()) {
            diedEarly = true;
            break;
        }
        const PassTally::Summary so_far = tally.summary();
        if (!startRss && so_far.completePasses + so_far.faultyPasses >= 1) {
            sample();
            startRss = lastRss;
        }
        if (Clock::now() >= nextSample) {
            sample();
            nextSample += kSampleEvery;
            const auto seconds =
                std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
            std::printf("  %5llds  rss %ld KiB  passes %zu  faulty %zu  inputs %zu\n",
                        static_cast<long long>(seconds), lastRss, so_far.completePasses, so_far.faultyPasses,
                        so_far.received);
            std::fflush(stdout);
        }
    }
    sample();

    const auto signalled = Clock::now();
    player.signal(SIGTERM);
    const std::optional<int> exitStatus = player.waitFor(kStopTimeout);
    const double stopMs = std::chrono::duration<double, std::milli>(Clock::now() - signalled).count();
    if (!exitStatus)
        player.signal(SIGKILL);
    // The player synchronised its release with the server before it exited; give the capture a moment
    // to read the last inputs.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sink->clear();
    const std::optional<std::vector<unsigned>> keys = queryHeldKeycodes(sink->connection());
    const std::optional<PointerState> pointer = queryPointer(sink->connection());
    const std::optional<std::vector<unsigned>> buttons =
        pointer ? std::optional(pointer->heldButtons()) : std::nullopt;
    capture.reset();
    const PassTally::Summary summary = tally.summary();

    const std::size_t passes = summary.completePasses + summary.faultyPasses;
    const std::size_t expectedInputs = passes * macro.events().size() + summary.interruptedAt;
    const long growth = startRss ? lastRss - *startRss : 0;
    std::printf(
        "RSS        start (after pass 1) %ld KiB, end %ld KiB, max %ld KiB, growth %+ld KiB (%zu samples)\n",
        startRss.value_or(0), lastRss, maxRss, growth, samples);
    std::printf("passes     %zu complete, %zu faulty; the stop cut the last after %zu of %zu inputs "
                "(then %zu releases)\n",
                summary.completePasses, summary.faultyPasses, summary.interruptedMatched,
                macro.events().size(), summary.interruptedAt - summary.interruptedMatched);
    std::printf("inputs     %zu received, %zu expected (%zu per pass), %zu before the first pass\n",
                summary.received, expectedInputs, macro.events().size(), summary.strays);
    if (!summary.passSeconds.empty())
        std::printf("pass time  min %.3f s, median %.3f s, max %.3f s (nominal %.3f s)\n",
                    *std::min_element(summary.passSeconds.begin(), summary.passSeconds.end()),
                    median(summary.passSeconds),
                    *std::max_element(summary.passSeconds.begin(), summary.passSeconds.end()),
                    macro.passSeconds());
    std::printf("stop       SIGTERM to exit %.1f ms, exit status %s\n", stopMs,
                exitStatus ? std::to_string(*exitStatus).c_str() : "none (killed)");
    std::printf("held       keys %s, buttons %s\n", keys ? joined(*keys).c_str() : "unknown",
                buttons ? joined(*buttons).c_str() : "unknown");
    if (!summary.firstFault.empty())
        std::printf("first fault %s\n", summary.firstFault.c_str());

    std::vector<std::string> failures;
    if (diedEarly)
        failures.push_back("the player ended by itself");
    if (summary.completePasses == 0 || summary.faultyPasses != 0 || summary.received != expectedInputs)
        failures.push_back("passes incomplete");
    if (!exitStatus || *exitStatus != 128 + SIGTERM || stopMs > kStopLimitMs)
        failures.push_back("stop");
    if (!keys || !buttons || !keys->empty() || !buttons->empty())
        failures.push_back("input held");
    if (growth > kGrowthLimitKiB)
        failures.push_back("memory growth");
    if (failures.empty()) {
        std::puts("RESULT ok");
        std::filesystem::remove_all(scratch);
        return 0;
    }
    std::string list;
    for (const std::string& failure : failures)
        list += (list.empty() ? "" : ", ") + failure;
    std::printf("RESULT FAILED: %s\nplayer log (%s):\n%s", list.c_str(), logPath.c_str(),
                tail(logPath).c_str());
    return 1;
}
