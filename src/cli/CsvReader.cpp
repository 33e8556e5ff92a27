#include "cli/CsvReader.h"

#include "core/Error.h"
#include "core/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace cli {

CsvEncoding csvEncodingNamed(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != '-' && c != '_') key += char(std::tolower(static_cast<unsigned char>(c)));
    if (key == "utf8") return CsvEncoding::Utf8;
    // Latin-1 labels mean windows-1252 in practice (as they do on the web): the two differ
    // only in 0x80..0x9F, where Latin-1 has control characters no text file uses.
    constexpr std::array<std::string_view, 6> windows1252 = {"windows1252", "cp1252",   "1252",
                                                             "latin1",      "iso88591", "ansi"};
    if (std::find(windows1252.begin(), windows1252.end(), key) != windows1252.end())
        return CsvEncoding::Windows1252;
    throw core::Error("Unknown encoding '" + std::string(name) + "'. Use utf-8 or windows-1252.");
}

CsvReader::CsvReader(std::istream& in, char delimiter, CsvEncoding encoding)
    : in_(in), delimiter_(delimiter), encoding_(encoding), buffer_(1 << 16) {}

bool CsvReader::refill() {
    if (!in_) return false;
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    end_ = static_cast<std::size_t>(in_.gcount());
    pos_ = 0;
    if (in_.bad()) throw core::IoError("Cannot read the CSV input.");
    return end_ > 0;
}

void CsvReader::fail(std::size_t line, std::size_t column, const std::string& what) const {
    throw core::Error("Line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                      what);
}

void CsvReader::finishField(CsvField& field, std::size_t column) {
    std::string& text = field.text;
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return;
    if (encoding_ == CsvEncoding::Windows1252) {
        text = core::cp1252ToUtf8(text);
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        const auto decoded = core::decodeUtf8(text, i);
        // U+FFFD also stands for a malformed sequence; a real one is EF BF BD.
        if (decoded.codePoint == 0xFFFD && text.compare(i, decoded.length, "\xEF\xBF\xBD") != 0)
            fail(recordLine_, column,
                 "the text is not valid UTF-8; give --encoding windows-1252 for an 8-bit file.");
        i += decoded.length;
    }
}

std::size_t CsvReader::next(std::vector<CsvField>& fields) {
    if (!started_) {
        started_ = true;
        if (encoding_ == CsvEncoding::Utf8 && peek() == 0xEF) {
            // Skips the byte-order mark; anything else starting with EF stays.
            get();
            if (peek() != 0xBB || (get(), peek() != 0xBF)) {
                pos_ = 0; // the buffer still holds the first bytes
            } else {
                get();
            }
        }
    }
    if (peek() < 0) return 0;
    recordLine_ = line_;
    std::size_t count = 0;
    for (;;) {
        if (count == fields.size()) fields.emplace_back();
        CsvField& field = fields[count++];
        field.text.clear();
        field.quoted = false;
        int c = get();
        if (c == '"') {
            field.quoted = true;
            const std::size_t startLine = line_;
            for (;;) {
                c = get();
                if (c < 0)
                    fail(startLine, count,
                         "the quoted field is not closed before the end of "
                         "the input.");
                if (c == '"') {
                    if (peek() != '"') break;
                    get();
                } else if (c == '\n') {
                    ++line_;
                }
                field.text.push_back(char(c));
            }
            c = get();
            if (c >= 0 && c != delimiter_ && c != '\n' && c != '\r')
                fail(line_, count,
                     "text follows the closing quote; a quote inside a field is written twice.");
        } else if (c >= 0 && c != delimiter_ && c != '\n' && c != '\r') {
            // The field's bytes are taken a buffer's run at a time, not one by one.
            --pos_;
            for (;;) {
                const std::size_t start = pos_;
                while (pos_ < end_ && !isSpecial(buffer_[pos_])) ++pos_;
                field.text.append(buffer_.data() + start, pos_ - start);
                c = get();
                if (c != '"') {
                    if (c >= 0 && c != delimiter_ && c != '\n' && c != '\r') {
                        --pos_; // the buffer was refilled: scan on from its start
                        continue;
                    }
                    break;
                }
                fail(line_, count,
                     "a quote in a field that does not start with one; quote the field and "
                     "write the quote twice.");
            }
        }
        finishField(field, count);
        if (c == delimiter_) continue;
        if (c == '\r' && peek() == '\n') get();
        if (c >= 0) ++line_;
        return count;
    }
}

} // namespace cli
