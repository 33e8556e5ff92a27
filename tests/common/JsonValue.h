#pragma once
// A small JSON reader for tests that compare output as JSON values, not bytes
// (1e-7 and 1e-07 are the same number).
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace testing_support {

struct Json;
using JsonArray = std::vector<Json>;
using JsonObject = std::map<std::string, Json>;

struct Json {
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>,
                 std::shared_ptr<JsonObject>>
        v;

    bool operator==(const Json& o) const {
        if (v.index() != o.v.index()) return false;
        if (auto a = std::get_if<std::shared_ptr<JsonArray>>(&v))
            return **a == *std::get<std::shared_ptr<JsonArray>>(o.v);
        if (auto a = std::get_if<std::shared_ptr<JsonObject>>(&v))
            return **a == *std::get<std::shared_ptr<JsonObject>>(o.v);
        return v == o.v;
    }
};

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : s_(text) {}

    Json parse() {
        Json j = value();
        skip();
        if (i_ != s_.size()) fail("trailing characters");
        return j;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw std::runtime_error(std::string("bad JSON (") + what + ") at " + std::to_string(i_) +
                                 " in: " + s_);
    }
    void skip() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
            ++i_;
    }
    bool take(const char* word) {
        std::string w(word);
        if (s_.compare(i_, w.size(), w) != 0) return false;
        i_ += w.size();
        return true;
    }
    Json value() {
        skip();
        if (i_ >= s_.size()) fail("unexpected end");
        char c = s_[i_];
        if (c == '{') return object();
        if (c == '[') return array();
        if (c == '"') return Json{string()};
        if (take("null")) return Json{nullptr};
        if (take("true")) return Json{true};
        if (take("false")) return Json{false};
        char* end = nullptr;
        double d = std::strtod(s_.c_str() + i_, &end);
        if (end == s_.c_str() + i_) fail("unexpected character");
        i_ = static_cast<std::size_t>(end - s_.c_str());
        return Json{d};
    }
    std::string string() {
        std::string out;
        ++i_;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) fail("bad escape");
            char e = s_[i_++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                unsigned cp = static_cast<unsigned>(std::stoul(s_.substr(i_, 4), nullptr, 16));
                i_ += 4;
                if (cp >= 0xD800 && cp < 0xDC00 && s_.compare(i_, 2, "\\u") == 0) {
                    unsigned lo =
                        static_cast<unsigned>(std::stoul(s_.substr(i_ + 2, 4), nullptr, 16));
                    i_ += 6;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                out += e;
            }
        }
        if (i_ >= s_.size()) fail("unterminated string");
        ++i_;
        return out;
    }
    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    Json array() {
        auto a = std::make_shared<JsonArray>();
        ++i_;
        skip();
        if (i_ < s_.size() && s_[i_] == ']') {
            ++i_;
            return Json{a};
        }
        for (;;) {
            a->push_back(value());
            skip();
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return Json{a};
            }
            fail("expected , or ]");
        }
    }
    Json object() {
        auto o = std::make_shared<JsonObject>();
        ++i_;
        skip();
        if (i_ < s_.size() && s_[i_] == '}') {
            ++i_;
            return Json{o};
        }
        for (;;) {
            skip();
            if (i_ >= s_.size() || s_[i_] != '"') fail("expected key");
            std::string key = string();
            skip();
            if (i_ >= s_.size() || s_[i_] != ':') fail("expected :");
            ++i_;
            (*o)[key] = value();
            skip();
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return Json{o};
            }
            fail("expected , or }");
        }
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

inline Json parseJson(const std::string& text) {
    return JsonParser(text).parse();
}

} // namespace testing_support
