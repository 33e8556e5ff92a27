#include "odbc/ConnectSettings.h"

#include "odbc/Diagnostics.h"
#include "odbc/OdbcApi.h"

#include <odbcinst.h>

#include <cctype>

namespace odbc {

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return std::string(s);
}

std::string braced(const std::string& value) {
    if (value.find_first_of(";{}= ") == std::string::npos) return value;
    std::string out = "{";
    for (char c : value) {
        out += c;
        if (c == '}') out += '}';
    }
    return out + "}";
}

// A value of the data source's entry in odbc.ini (user, then system), empty when absent.
std::string fromDataSource(const std::string& dsn, const char* key) {
    char buffer[1024] = {};
    SQLGetPrivateProfileString(dsn.c_str(), key, "", buffer, sizeof buffer, "odbc.ini");
    return buffer;
}

} // namespace

std::map<std::string, std::string> parseConnectString(std::string_view text) {
    std::map<std::string, std::string> keywords;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t equals = text.find('=', pos);
        const std::size_t semicolon = text.find(';', pos);
        if (equals == std::string_view::npos ||
            (semicolon != std::string_view::npos && semicolon < equals)) {
            if (semicolon == std::string_view::npos) break;
            pos = semicolon + 1; // an item without "=" says nothing
            continue;
        }
        const std::string key = upper(trimmed(text.substr(pos, equals - pos)));
        pos = equals + 1;
        while (pos < text.size() && text[pos] == ' ') ++pos;
        std::string value;
        if (pos < text.size() && text[pos] == '{') {
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '}') {
                    if (pos + 1 < text.size() && text[pos + 1] == '}') {
                        value += '}';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                value += text[pos++];
            }
            const std::size_t end = text.find(';', pos);
            pos = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', pos);
            value = trimmed(text.substr(pos, end == std::string_view::npos ? std::string_view::npos
                                                                           : end - pos));
            pos = end == std::string_view::npos ? text.size() : end + 1;
        }
        if (!key.empty()) keywords.emplace(key, value);
    }
    return keywords;
}

bool keywordTrue(std::string_view value) {
    const std::string v = upper(trimmed(value));
    return v == "1" || v == "YES" || v == "TRUE" || v == "ON";
}

ConnectSettings resolveSettings(const std::map<std::string, std::string>& keywords) {
    auto get = [&](const char* key) -> const std::string* {
        auto it = keywords.find(key);
        return it == keywords.end() ? nullptr : &it->second;
    };
    ConnectSettings s;
    if (const auto* dsn = get("DSN")) s.dsn = *dsn;
    auto setting = [&](std::initializer_list<const char*> keys) -> std::string {
        for (const char* key : keys)
            if (const auto* v = get(key)) return *v;
        if (!s.dsn.empty())
            for (const char* key : keys)
                if (auto v = fromDataSource(s.dsn, key); !v.empty()) return v;
        return {};
    };
    s.file = setting({"DBQ", "DATABASE"});
    const std::string create = setting({"CREATE_DB"});
    if (s.file.empty() && create.size() > 3 && !keywordTrue(create)) s.file = create;
    const std::string no = upper(trimmed(create));
    s.create = !create.empty() && no != "0" && no != "NO" && no != "FALSE" && no != "OFF";
    s.password = setting({"PWD", "PASSWORD"});
    s.readOnly = keywordTrue(setting({"READONLY", "READ ONLY"}));
    if (s.file.empty())
        throw OdbcError(s.dsn.empty() ? "IM007" : "IM002",
                        s.dsn.empty() ? "No database file named: give DBQ=path or a DSN."
                                      : "Data source name '" + s.dsn + "' names no database file.");
    return s;
}

std::string ConnectSettings::completedString() const {
    std::string out = dsn.empty() ? "DRIVER={Tablory}" : "DSN=" + braced(dsn);
    out += ";DBQ=" + braced(file);
    if (!password.empty()) out += ";PWD=" + braced(password);
    if (readOnly) out += ";ReadOnly=1";
    return out + ";";
}

} // namespace odbc
