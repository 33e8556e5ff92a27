#pragma once
// One row of MSysQueries as the query text is built from it and written back: the clause it
// describes and its texts. Empty texts and a zero LvExtra stand for Null.
#include "jet/query/QueryFormat.h"

#include <cstdint>
#include <string>

namespace jet::query {

struct QueryRow {
    std::uint8_t attribute = 0; // an Attribute; kept raw so that unknown codes can be reported
    std::string expression;
    std::int16_t flag = 0;
    std::int32_t extra = 0; // LvExtra
    std::string name1;
    std::string name2;

    Attribute kind() const { return static_cast<Attribute>(attribute); }
};

inline QueryRow makeRow(Attribute attribute, std::string expression = {}, std::int16_t flag = 0,
                        std::string name1 = {}, std::string name2 = {}, std::int32_t extra = 0) {
    QueryRow row;
    row.attribute = static_cast<std::uint8_t>(attribute);
    row.expression = std::move(expression);
    row.flag = flag;
    row.extra = extra;
    row.name1 = std::move(name1);
    row.name2 = std::move(name2);
    return row;
}

} // namespace jet::query
