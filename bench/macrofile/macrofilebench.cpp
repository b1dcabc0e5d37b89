// Whole-document figures for the macro file codec on a recording-sized macro: write and read times
// (median of several runs, file I/O included) and the memory a read timeline holds per event.
//
// A plain harness rather than Google Benchmark: each run handles a few hundred megabytes, the figures
// wanted are medians of a handful of such runs, and the memory figures need control over when the
// timeline is alive.
//
// usage: macrofile_bench [--events N] [--runs R] [--file PATH]
// Lines starting with "RESULT " are for scripts (run.sh).

#include "macrofile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace loopwren;

namespace {

struct Options
{
    std::size_t events = 1'000'000;
    int runs = 5;
    std::string file;
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--events")
            options.events = std::strtoull(argv[i + 1], nullptr, 10);
        else if (name == "--runs")
            options.runs = std::max(1, std::atoi(argv[i + 1]));
        else if (name == "--file")
            options.file = argv[i + 1];
    }
    return options;
}

// A mix like a real recording: mostly pointer moves, with clicks, typing, scrolling and a few pauses.
Timeline generateRecording(std::size_t count)
{
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> frameDelay(0.004, 0.020);
    std::uniform_int_distribution<int> coordinate(0, 2559);
    double x = 1280;
    double y = 720;
    Timeline events;
    events.reserve(count);
    auto add = [&](EventType type) -> MacroEvent& {
        MacroEvent& event = events.emplace_back();
        event.id = Uuid::random();
        event.type = type;
        // Steady-clock differences: full-precision doubles, as a recorder produces them.
        event.delaySincePrevious = frameDelay(random);
        return event;
    };
    while (events.size() < count) {
        const unsigned roll = static_cast<unsigned>(random() % 100);
        if (roll < 70) {
            x = std::clamp(x + static_cast<double>(static_cast<int>(random() % 21) - 10), 0.0, 2559.0);
            y = std::clamp(y + static_cast<double>(static_cast<int>(random() % 21) - 10), 0.0, 1439.0);
            MacroEvent& event = add(EventType::mouseMoved);
            event.location = Point{x, y};
            event.flags = 0;
        } else if (roll < 80) {
            x = coordinate(random);
            y = coordinate(random) % 1440;
            const auto button = random() % 5 == 0 ? MouseButtonType::right : MouseButtonType::left;
            for (EventType type : {EventType::mouseDown, EventType::mouseUp}) {
                MacroEvent& event = add(type);
                event.location = Point{x, y};
                event.mouseButton = button;
                event.clickCount = 1 + static_cast<std::int64_t>(random() % 2);
                event.flags = random() % 4 == 0 ? 0x20000 : 0;
            }
        } else if (roll < 92) {
            const auto key = static_cast<std::uint16_t>(random() % 51);
            const std::uint64_t flags = random() % 6 == 0 ? 0x20000 : 0;
            for (EventType type : {EventType::keyDown, EventType::keyUp}) {
                MacroEvent& event = add(type);
                event.keyCode = key;
                event.flags = flags;
            }
        } else if (roll < 98) {
            MacroEvent& event = add(EventType::scroll);
            event.scrollDeltaX = 0;
            event.scrollDeltaY = random() % 2 ? 1 : -1;
            event.flags = 0;
        } else {
            MacroEvent& event = add(EventType::wait);
            event.delaySincePrevious = static_cast<double>(random() % 5000) / 1000.0;
        }
    }
    events.resize(count);
    return events;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string list(const std::vector<double>& values)
{
    std::string text;
    char buffer[32];
    for (double v : values) {
        std::snprintf(buffer, sizeof buffer, "%s%.3f", text.empty() ? "" : " ", v);
        text += buffer;
    }
    return text;
}

bool writeFile(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && done == text.size();
}

// Resident and peak resident set in bytes, from /proc/self/status.
long statusBytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key)) * 1024;
    }
    return -1;
}

// Lets VmHWM measure the peak of the next step alone; without it the peak is that of the whole process.
bool resetPeak()
{
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    return static_cast<bool>(clearRefs.flush());
}

bool sameTimeline(const Timeline& a, const Timeline& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const MacroEvent& p = a[i];
        const MacroEvent& q = b[i];
        const bool sameLocation =
            p.location.has_value() == q.location.has_value() &&
            (!p.location || (p.location->x == q.location->x && p.location->y == q.location->y));
        if (p.id != q.id || p.type != q.type || p.delaySincePrevious != q.delaySincePrevious ||
            !sameLocation || p.mouseButton != q.mouseButton || p.clickCount != q.clickCount ||
            p.keyCode != q.keyCode || p.flags != q.flags || p.scrollDeltaX != q.scrollDeltaX ||
            p.scrollDeltaY != q.scrollDeltaY)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options = parseOptions(argc, argv);
    const bool keepFile = !options.file.empty();
    if (!keepFile)
        options.file = "/tmp/macrofile_bench_" + std::to_string(::getpid()) + ".json";

    const Timeline timeline = generateRecording(options.events);
    std::printf("events            %zu\n", timeline.size());

    std::vector<double> writeTimes;
    std::size_t fileBytes = 0;
    for (int run = 0; run < options.runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const MacroWriteResult written = writeMacro(timeline);
        if (!written.ok() || !writeFile(options.file, written.text)) {
            std::fprintf(stderr, "macrofile_bench: write failed: %s\n", written.error.c_str());
            return 1;
        }
        writeTimes.push_back(seconds(std::chrono::steady_clock::now() - start));
        fileBytes = written.text.size();
    }

    std::vector<double> readTimes;
    long retained = 0;
    long peak = 0;
    bool peakKnown = true;
    for (int run = 0; run < options.runs; ++run) {
        const long before = statusBytes("VmRSS:");
        peakKnown = resetPeak() && peakKnown;
        const auto start = std::chrono::steady_clock::now();
        const MacroReadResult read = readMacroFile(options.file);
        readTimes.push_back(seconds(std::chrono::steady_clock::now() - start));
        if (!read.ok()) {
            std::fprintf(stderr, "macrofile_bench: read failed: %s\n", read.error.c_str());
            return 1;
        }
        if (run == 0) {
            retained = statusBytes("VmRSS:") - before;
            peak = statusBytes("VmHWM:") - before;
            if (!sameTimeline(timeline, read.events)) {
                std::fprintf(stderr,
                             "macrofile_bench: the timeline read back differs from the one written\n");
                return 1;
            }
            const double perEvent = static_cast<double>(read.events.capacity() * sizeof(MacroEvent)) /
                                    static_cast<double>(read.events.size());
            std::printf("timeline memory   %.1f bytes/event (sizeof(MacroEvent) %zu, capacity %zu for %zu)\n",
                        perEvent, sizeof(MacroEvent), read.events.capacity(), read.events.size());
            std::printf("RESULT bytes_per_event=%.1f\n", perEvent);
        }
    }
    if (!keepFile)
        ::unlink(options.file.c_str());

    const double n = static_cast<double>(options.events);
    std::printf("file size         %zu bytes (%.0f bytes/event)\n", fileBytes,
                static_cast<double>(fileBytes) / n);
    std::printf("write median      %.3f s   runs: %s\n", median(writeTimes), list(writeTimes).c_str());
    std::printf("read median       %.3f s   runs: %s\n", median(readTimes), list(readTimes).c_str());
    std::printf("RSS after read    +%.1f bytes/event (timeline held, parser released)\n",
                static_cast<double>(retained) / n);
    if (peakKnown)
        std::printf("RSS peak of read  +%.1f bytes/event (file text as mapped, parser and timeline)\n",
                    static_cast<double>(peak) / n);
    std::printf("RESULT write_median_s=%.4f\n", median(writeTimes));
    std::printf("RESULT read_median_s=%.4f\n", median(readTimes));
    std::printf("RESULT rss_retained_bytes_per_event=%.1f\n", static_cast<double>(retained) / n);
    return 0;
}
