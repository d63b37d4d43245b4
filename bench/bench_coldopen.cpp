// Opening a full deck in a fresh process, as when the program starts with a
// deck, against a bare code page conversion of the same bytes run the same way.
// Usage: bench_coldopen [runs [deck file, written when missing]]
#include <fcntl.h>
#include <iconv.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchDeck.h"
#include "files/FileCommands.h"
#include "FakeUi.h"
#include "TempDir.h"
#include "deck/Deck.h"

extern char** environ;

using namespace rvm;

namespace {

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Only the conversion: the file mapped, converted into one reused buffer.
void bareIconv(const char* path) {
    int fd = ::open(path, O_RDONLY);
    struct stat st {};
    ::fstat(fd, &st);
    auto size = static_cast<std::size_t>(st.st_size);
    char* in = static_cast<char*>(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
    iconv_t cd = iconv_open("UTF-8", "CP932");
    static char out[1 << 16];
    char* src = in;
    std::size_t left = size;
    while (left > 0) {
        char* dst = out;
        std::size_t room = sizeof out;
        if (iconv(cd, &src, &left, &dst, &room) == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ++src;
            --left;
        }
    }
}

// The moment the child is ready, and its peak memory so far (this process
// only: the parent's memory, counted in its resource usage, is left out).
[[noreturn]] void ready() {
    const double now = monotonicMs();
    long hwmKb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld", &hwmKb) == 1) break;
        std::fclose(f);
    }
    std::printf("%.6f %ld\n", now, hwmKb);
    std::fflush(stdout);
    std::_Exit(0);  // the deck stays, as in the program
}

void openDeck(const char* path) {
    test::FakeView v;
    test::FakePrompt p;
    Document doc(v, p);
    FileCommands files(doc, v, p);
    if (!files.loadDeck(path) || doc.lastPage() != kMaxPages - 1) std::abort();
    ready();
}

struct Run {
    double ms = 0;     // from before the start to the child's ready mark, or to its end
    double cpuMs = 0;  // the child's processor time, start to end
    long faults = 0;   // its page faults
    long hwmKb = 0;    // its peak resident memory when ready
};

// Starts argv in a fresh process; its stdout, when it reports, is the ready mark.
Run spawn(std::vector<std::string> args, bool reportsReady) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int pipeFd[2];
    if (::pipe(pipeFd) != 0) std::abort();
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (reportsReady)
        posix_spawn_file_actions_adddup2(&fa, pipeFd[1], 1);
    else
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&fa, pipeFd[0]);
    posix_spawn_file_actions_addclose(&fa, pipeFd[1]);
    const double t0 = monotonicMs();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) std::abort();
    ::close(pipeFd[1]);
    std::string out;
    char buf[256];
    for (ssize_t n; (n = ::read(pipeFd[0], buf, sizeof buf)) > 0;) out.append(buf, n);
    ::close(pipeFd[0]);
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    const double end = monotonicMs();
    posix_spawn_file_actions_destroy(&fa);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    Run r;
    double readyMs = end;
    if (reportsReady && std::sscanf(out.c_str(), "%lf %ld", &readyMs, &r.hwmKb) != 2) std::abort();
    r.ms = readyMs - t0;
    r.cpuMs = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
              (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
    r.faults = ru.ru_minflt + ru.ru_majflt;
    return r;
}

// Each figure's own median: on a busy machine the slow runs are the noisy ones.
Run median(std::vector<Run> runs) {
    auto mid = [&](auto field) {
        std::vector<double> v;
        for (const Run& r : runs) v.push_back(static_cast<double>(r.*field));
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    Run m;
    m.ms = mid(&Run::ms);
    m.cpuMs = mid(&Run::cpuMs);
    m.faults = static_cast<long>(mid(&Run::faults));
    m.hwmKb = static_cast<long>(mid(&Run::hwmKb));
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "child") == 0) {
        const std::string mode = argv[2];
        if (mode == "open") openDeck(argv[3]);
        if (mode == "iconv") bareIconv(argv[3]);
        ready();
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    test::TempDir dir;
    const std::string path = argc > 2 ? argv[2] : dir.file("big.rvm");
    if (!std::filesystem::exists(path)) {
        test::FakeView v;
        test::FakePrompt p;
        Document doc(v, p);
        FileCommands files(doc, v, p);
        bench::fill(doc, kMaxPages, 130);
        if (!files.saveDeck(path, false)) return 1;
    }
    const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<Run> empty, open, floor, program;
    const bool haveIconv = ::access("/usr/bin/iconv", X_OK) == 0;
    for (int r = 0; r < runs; ++r) {
        empty.push_back(spawn({self, "child", "none", path}, true));
        open.push_back(spawn({self, "child", "open", path}, true));
        floor.push_back(spawn({self, "child", "iconv", path}, true));
        if (haveIconv)
            program.push_back(spawn({"/usr/bin/iconv", "-f", "CP932", "-t", "UTF-8", path}, false));
    }
    const Run e = median(empty), o = median(open), f = median(floor);
    std::printf("cold open of a deck of %d pages, %.1f MB, medians of %d fresh processes\n",
                kMaxPages, mb, runs);
    std::printf("                               wall ms  processor ms  page faults\n");
    auto row = [](const char* name, const Run& r) {
        std::printf("  %-26s %8.1f %13.1f %12ld\n", name, r.ms, r.cpuMs, r.faults);
    };
    row("process start alone", e);
    row("open the deck", o);
    row("bare iconv, same way", f);
    std::printf("  ratio open / bare iconv, each less the start: wall %.2f, processor %.2f\n",
                (o.ms - e.ms) / (f.ms - e.ms), (o.cpuMs - e.cpuMs) / (f.cpuMs - e.cpuMs));
    if (haveIconv) {
        const Run i = median(program);
        std::printf("  iconv program, start to end %.1f ms wall, %.1f ms processor;"
                    " ratio open / iconv program: wall %.2f\n",
                    i.ms, i.cpuMs, (o.ms - e.ms) / i.ms);
    }
    std::printf("  peak memory of the open %.1f MB (%.2f x file)\n", (o.hwmKb - e.hwmKb) / 1024.0,
                (o.hwmKb - e.hwmKb) / 1024.0 / (mb / 1.048576));
}
