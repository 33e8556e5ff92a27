#pragma once
// A Jet connection string taken apart: the key=value items that name the provider, the file,
// the engine type and the database password.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace data {

// The only provider Tablory carries, compared without regard to case.
inline constexpr std::string_view jetProvider = "Microsoft.Jet.OLEDB.4.0";

// Syntax, as ADO's callers write it:
//  - items are separated by ";"; an item of blanks only (";;", a trailing ";") is skipped;
//  - a key runs to the first single "="; "==" inside a key stands for one "="; blanks around a
//    key are dropped, blanks inside it are kept ("Data Source"); keys compare without case;
//  - a value runs to the next ";"; blanks around it are dropped, blanks inside it are kept;
//  - a value that starts with " or ' is quoted: it runs to the matching quote, may hold ";"
//    and blanks, and a doubled quote inside stands for one; only blanks may follow it;
//  - a key given twice: the last value counts, except for Provider, where the first does.
// Construction fails with core::Error on a malformed string, on a missing or foreign provider,
// and on an engine type that is not a whole number.
class ConnectionString {
public:
    explicit ConnectionString(std::string_view text);

    const std::string& provider() const { return provider_; }
    // The file's path; empty when the string names none (opening then fails on the file).
    std::string dataSource() const;
    std::optional<int> engineType() const { return engineType_; }
    // Present but empty is a real value: the file is opened with an empty password.
    std::optional<std::string> databasePassword() const;

    // Any item by key, with the duplicate rule above.
    std::optional<std::string> get(std::string_view key) const;

    // The items in the order written, keys as written (trimmed).
    const std::vector<std::pair<std::string, std::string>>& items() const { return items_; }

private:
    std::vector<std::pair<std::string, std::string>> items_;
    std::string provider_;
    std::optional<int> engineType_;
};

} // namespace data
