#include "FileTestSupport.h"

#include "common/Samples.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <grp.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace file_test {

namespace fs = std::filesystem;

fs::path writableCopy(const std::string& sample, const fs::path& dir, const std::string& name) {
    auto target = dir / name;
    fs::copy_file(testing_support::sample(sample), target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::others_read);
    return target;
}

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(fs::file_size(path));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

void writeFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

jet::PageBytes patternPage(std::uint32_t seed) {
    jet::PageBytes page;
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& b : page) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    for (int i = 0; i < 4; ++i) page[i] = static_cast<std::uint8_t>(seed >> (8 * i));
    return page;
}

void SampleChange::apply(jet::PageFile& file) const {
    file.begin();
    std::uint32_t original = file.pageCount();
    for (std::uint32_t i = 0; i < kChangedPages; ++i) {
        std::uint32_t page = i == 0 ? 0 : 1 + 39 * i;
        jet::PageBytes bytes = *file.read(page);
        auto mix = patternPage(1000 + i);
        for (std::size_t b = 0; b < bytes.size(); b += 3) bytes[b] ^= mix[b] | 1;
        file.write(page, bytes);
    }
    for (std::uint32_t i = 0; i < kAppendedPages; ++i) file.append(patternPage(2000 + i));
    file.write(original + 3, patternPage(3000));
}

namespace {
int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
} // namespace

int runInChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    return waitFor(pid);
}

std::string asUnprivileged(const std::function<std::string()>& body) {
    auto guarded = [&]() -> std::string {
        try {
            return body();
        } catch (const std::exception& e) {
            return std::string("threw: ") + e.what();
        }
    };
    if (::geteuid() != 0) return guarded();
    int fds[2];
    if (::pipe(fds) != 0) return "SKIP: no pipe";
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return "SKIP: fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        constexpr uid_t kNobody = 65534;
        std::string result =
            ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0
                ? guarded()
                : "SKIP: cannot switch from root to user nobody";
        for (std::size_t done = 0; done < result.size();) {
            ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, n);
    ::close(fds[0]);
    if (waitFor(pid) != 0) return "child died: " + result;
    return result;
}

std::vector<jet::CommitStep> recordCommitSteps(const fs::path& copy) {
    std::vector<jet::CommitStep> steps;
    auto file = jet::PageFile::open(copy, jet::PageFile::Access::ReadWrite);
    file->setFaultHook([&](jet::CommitStep step, std::uint32_t) { steps.push_back(step); });
    SampleChange{}.apply(*file);
    file->commit();
    return steps;
}

int crashDuringCommit(const fs::path& path, std::uint32_t stopAt) {
    return runInChild([&] {
        auto file = jet::PageFile::open(path, jet::PageFile::Access::ReadWrite);
        file->setFaultHook([stopAt](jet::CommitStep, std::uint32_t index) {
            if (index == stopAt) ::_exit(kCrashed);
        });
        SampleChange{}.apply(*file);
        file->commit();
        return 0;
    });
}

std::uint32_t indexOf(const std::vector<jet::CommitStep>& steps, jet::CommitStep step) {
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i] == step) return static_cast<std::uint32_t>(i);
    throw std::runtime_error("the commit had no such step");
}

} // namespace file_test
