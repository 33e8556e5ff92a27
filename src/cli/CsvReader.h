#pragma once
// Reads CSV as RFC 4180 writes it: fields separated by one delimiter character, records by
// CR LF, LF or CR; a field in double quotes may hold delimiters, line breaks and doubled
// quotes. Text comes out as UTF-8 whatever the input's encoding.
#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class CsvEncoding { Utf8, Windows1252 };

// "utf-8", "windows-1252" and their usual aliases, in any case; core::Error for others.
CsvEncoding csvEncodingNamed(std::string_view name);

struct CsvField {
    std::string text;
    // Written in quotes: an empty quoted field is an empty text, an empty unquoted one Null.
    bool quoted = false;
};

class CsvReader {
public:
    // Reads UTF-8 input with or without a byte-order mark, or 8-bit input in the code page.
    CsvReader(std::istream& in, char delimiter, CsvEncoding encoding);

    // Fills the first fields of `fields` with the next record (the vector only grows, so
    // its strings are reused) and returns how many it has; 0 at the end of the input.
    // Throws core::Error naming the line and column for a broken quote or text that is not
    // valid UTF-8.
    std::size_t next(std::vector<CsvField>& fields);

    // The line on which the last record read began, counting from 1.
    std::size_t recordLine() const { return recordLine_; }

private:
    int get() {
        if (pos_ == end_ && !refill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_++]);
    }
    int peek() {
        if (pos_ == end_ && !refill()) return -1;
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    bool refill();
    // A byte that ends an unquoted field's run: the delimiter, a line break or a quote.
    bool isSpecial(char c) const { return c == delimiter_ || c == '\n' || c == '\r' || c == '"'; }
    void finishField(CsvField& field, std::size_t column);
    [[noreturn]] void fail(std::size_t line, std::size_t column, const std::string& what) const;

    std::istream& in_;
    char delimiter_;
    CsvEncoding encoding_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
    std::size_t line_ = 1, recordLine_ = 0;
    bool started_ = false;
};

} // namespace cli
