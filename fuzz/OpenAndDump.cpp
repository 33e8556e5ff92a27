// Fuzz target: any byte string handed to the engine as a database file must either open,
// check and dump cleanly or raise a core::Error. A crash, a sanitizer report, a hang or any other
// exception is a finding.
#include "cli/Dump.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/check/IntegrityCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <unistd.h>

namespace {

// Swallows the dump: the point is to make the engine decode every value, not to keep the text.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The engine opens files by path, so each input goes through a file of its own process (so
// that parallel jobs do not collide), removed again after the run: libFuzzer ends with _Exit,
// which would skip any clean-up at exit.
const std::filesystem::path& inputPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tablory-fuzz-" + std::to_string(::getpid()) + ".mdb");
    return path;
}

void writeInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream out(inputPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort(); // a full /tmp would make every later run meaningless
}

// Opens the input, checks it and dumps it. A file the integrity check calls healthy must
// dump without complaint: otherwise the check missed damage, which is a finding too.
void openCheckAndDump(const std::string& password) {
    std::unique_ptr<jet::Database> db;
    try {
        db = jet::Database::open(inputPath(), password);
    } catch (const core::Error&) {
        return; // refusing a damaged file with a proper error is the expected outcome
    }
    bool healthy = false;
    try {
        healthy = jet::checkDatabase(*db).ok();
    } catch (const core::Error&) {
    }
    try {
        NullBuffer sink;
        std::ostream out(&sink);
        cli::dumpDatabase(*db, out);
        // The dump reads the tables; the saved queries are listed from the catalog apart.
        (void)db->viewNames();
    } catch (const core::Error& e) {
        if (healthy) {
            std::fprintf(stderr, "the check passed a file the dump refuses: %s\n", e.what());
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeInput(data, size);
    openCheckAndDump("");
    openCheckAndDump("password");
    std::filesystem::remove(inputPath());
    return 0;
}
