#include "data/ConnectionString.h"

#include "core/Error.h"

#include <algorithm>
#include <charconv>

namespace data {
namespace {

constexpr std::string_view providerKey = "Provider";
constexpr std::string_view dataSourceKey = "Data Source";
constexpr std::string_view engineTypeKey = "Jet OLEDB:Engine Type";
constexpr std::string_view passwordKey = "Jet OLEDB:Database Password";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Keys and the provider name are ASCII, so folding ASCII letters is all ADO does too.
bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Walks the text once, item by item; positions are byte offsets into the text.
class ItemReader {
public:
    explicit ItemReader(std::string_view text) : text_(text) {}

    std::vector<std::pair<std::string, std::string>> readAll() {
        std::vector<std::pair<std::string, std::string>> items;
        while (true) {
            skipBlanks();
            if (atEnd()) break;
            if (text_[pos_] == ';') {
                ++pos_;
                continue;
            }
            std::string key = readKey();
            std::string value = readValue(key);
            if (!atEnd()) ++pos_; // the ";" that ends the item
            items.emplace_back(std::move(key), std::move(value));
        }
        return items;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }

    void skipBlanks() {
        while (!atEnd() && isBlank(text_[pos_])) ++pos_;
    }

    std::string_view restOfItem(std::size_t from) const {
        const std::size_t end = text_.find(';', from);
        return text_.substr(from,
                            end == std::string_view::npos ? std::string_view::npos : end - from);
    }

    // Leading blanks are already skipped.
    std::string readKey() {
        const std::size_t start = pos_;
        std::string key;
        while (true) {
            if (atEnd() || text_[pos_] == ';') {
                throw core::Error("The connection string item \"" +
                                  std::string(trimRight(restOfItem(start))) +
                                  "\" has no \"=\" between key and value.");
            }
            if (text_[pos_] == '=') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '=') {
                    key += '=';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            key += text_[pos_++];
        }
        key.resize(trimRight(key).size());
        if (key.empty()) {
            throw core::Error("The connection string item \"" +
                              std::string(trimRight(restOfItem(start))) + "\" has no key.");
        }
        return key;
    }

    std::string readValue(const std::string& key) {
        skipBlanks();
        if (atEnd() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
            const std::size_t start = pos_;
            while (!atEnd() && text_[pos_] != ';') ++pos_;
            return std::string(trimRight(text_.substr(start, pos_ - start)));
        }
        const char quote = text_[pos_++];
        std::string value;
        while (true) {
            if (atEnd()) {
                throw core::Error("The value of \"" + key +
                                  "\" in the connection string has no closing quote.");
            }
            if (text_[pos_] == quote) {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == quote) {
                    value += quote;
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            value += text_[pos_++];
        }
        skipBlanks();
        if (!atEnd() && text_[pos_] != ';') {
            throw core::Error(
                "The quoted value of \"" + key +
                "\" in the connection string is followed by other text before \";\".");
        }
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

int parseEngineType(const std::string& value) {
    int number = 0;
    const char* first = value.data();
    const char* last = value.data() + value.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (value.empty() || error != std::errc() || end != last) {
        throw core::Error("The connection string's " + std::string(engineTypeKey) + " \"" + value +
                          "\" is not a whole number.");
    }
    return number;
}

} // namespace

ConnectionString::ConnectionString(std::string_view text) : items_(ItemReader(text).readAll()) {
    if (items_.empty()) {
        throw core::Error("The connection string is empty: it names neither the provider " +
                          std::string(jetProvider) + " nor a data source.");
    }
    // ADO takes the first Provider and ignores later ones, so a caller cannot override it by
    // appending text.
    const auto firstProvider = std::find_if(items_.begin(), items_.end(), [](const auto& item) {
        return equalsNoCase(item.first, providerKey);
    });
    if (firstProvider == items_.end()) {
        throw core::Error("The connection string names no provider; Tablory opens files through "
                          "Provider=" +
                          std::string(jetProvider) + ".");
    }
    if (!equalsNoCase(firstProvider->second, jetProvider)) {
        throw core::Error("Provider \"" + firstProvider->second +
                          "\" cannot be found; Tablory provides only " + std::string(jetProvider) +
                          ".");
    }
    provider_ = firstProvider->second;
    if (const auto engine = get(engineTypeKey)) engineType_ = parseEngineType(*engine);
}

std::string ConnectionString::dataSource() const {
    return get(dataSourceKey).value_or("");
}

std::optional<std::string> ConnectionString::databasePassword() const {
    return get(passwordKey);
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
    if (equalsNoCase(key, providerKey)) return provider_;
    const auto last = std::find_if(items_.rbegin(), items_.rend(), [key](const auto& item) {
        return equalsNoCase(item.first, key);
    });
    if (last == items_.rend()) return std::nullopt;
    return last->second;
}

} // namespace data
