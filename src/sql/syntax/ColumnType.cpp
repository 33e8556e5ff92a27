// Jet's type names and their synonyms.
#include "sql/syntax/ColumnType.h"

#include <algorithm>
#include <array>
#include <string>

namespace sql {

namespace {

struct Entry {
    std::string_view name;
    TypeName type;
};

using enum FieldType;
using Args = TypeArguments;

// Every spelling Jet takes, multi-word names with single blanks.
constexpr std::array<Entry, 65> entries{{
    {"alphanumeric", {Text, Args::Size}},
    {"autoincrement", {Counter, Args::SeedIncrement}},
    {"binary", {Binary, Args::Size}},
    {"binary varying", {Binary, Args::Size}},
    {"bit", {Boolean, Args::None}},
    {"bit varying", {Binary, Args::Size}},
    {"boolean", {Boolean, Args::None}},
    {"byte", {Byte, Args::None}},
    {"char", {Text, Args::Size}},
    {"character", {Text, Args::Size}},
    {"character varying", {Text, Args::Size}},
    {"counter", {Counter, Args::SeedIncrement}},
    {"currency", {Currency, Args::None}},
    {"date", {DateTime, Args::None}},
    {"datetime", {DateTime, Args::None}},
    {"dec", {Decimal, Args::PrecisionScale}},
    {"decimal", {Decimal, Args::PrecisionScale}},
    {"double", {Double, Args::None}},
    {"double precision", {Double, Args::None}},
    {"float", {Double, Args::None}},
    {"float4", {Single, Args::None}},
    {"float8", {Double, Args::None}},
    {"general", {OleObject, Args::None}},
    {"guid", {Guid, Args::None}},
    {"identity", {Counter, Args::SeedIncrement}},
    {"ieeedouble", {Double, Args::None}},
    {"ieeesingle", {Single, Args::None}},
    {"image", {OleObject, Args::None}},
    {"int", {Long, Args::None}},
    {"integer", {Long, Args::None}},
    {"integer1", {Byte, Args::None}},
    {"integer2", {Integer, Args::None}},
    {"integer4", {Long, Args::None}},
    {"logical", {Boolean, Args::None}},
    {"logical1", {Boolean, Args::None}},
    {"long", {Long, Args::None}},
    {"longbinary", {OleObject, Args::None}},
    {"longchar", {Memo, Args::None}},
    {"longtext", {Memo, Args::None}},
    {"memo", {Memo, Args::None}},
    {"money", {Currency, Args::None}},
    {"national char", {Text, Args::Size}},
    {"national char varying", {Text, Args::Size}},
    {"national character", {Text, Args::Size}},
    {"national character varying", {Text, Args::Size}},
    {"nchar", {Text, Args::Size}},
    {"note", {Memo, Args::None}},
    {"ntext", {Memo, Args::None}},
    {"number", {Double, Args::None}},
    {"numeric", {Decimal, Args::PrecisionScale}},
    {"nvarchar", {Text, Args::Size}},
    {"oleobject", {OleObject, Args::None}},
    {"real", {Single, Args::None}},
    {"short", {Integer, Args::None}},
    {"single", {Single, Args::None}},
    {"smallint", {Integer, Args::None}},
    {"string", {Text, Args::Size}},
    {"text", {Text, Args::Size}},
    {"time", {DateTime, Args::None}},
    {"timestamp", {DateTime, Args::None}},
    {"tinyint", {Byte, Args::None}},
    {"uniqueidentifier", {Guid, Args::None}},
    {"varbinary", {Binary, Args::Size}},
    {"varchar", {Text, Args::Size}},
    {"yesno", {Boolean, Args::None}},
}};

std::string folded(std::string_view name) {
    std::string out;
    bool blank = false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) <= 32) {
            blank = !out.empty();
            continue;
        }
        if (blank) out.push_back(' ');
        blank = false;
        out.push_back(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
    }
    return out;
}

} // namespace

std::optional<TypeName> typeNamed(std::string_view name) {
    const std::string key = folded(name);
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&key](const Entry& e) { return e.name == key; });
    if (it == entries.end()) return std::nullopt;
    return it->type;
}

std::string_view fieldTypeName(FieldType type) {
    switch (type) {
    case Text:
        return "text";
    case Memo:
        return "memo";
    case Byte:
        return "byte";
    case Integer:
        return "short";
    case Long:
        return "long";
    case Counter:
        return "counter";
    case Single:
        return "single";
    case Double:
        return "double";
    case Currency:
        return "currency";
    case DateTime:
        return "datetime";
    case Boolean:
        return "yesno";
    case Binary:
        return "binary";
    case OleObject:
        return "longbinary";
    case Guid:
        return "guid";
    case Decimal:
        return "decimal";
    }
    return "text";
}

} // namespace sql
