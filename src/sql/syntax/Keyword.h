#pragma once
// The words the parser gives a meaning to, and which of them can never name a table or column.
#include <cstdint>
#include <string_view>

namespace sql {

enum class Keyword : std::uint8_t {
    None, // an ordinary name
    Action,
    Add,
    All,
    Alter,
    And,
    As,
    Asc,
    Begin,
    Between,
    By,
    Cascade,
    Check,
    Column,
    Commit,
    Comp,
    Compression,
    Constraint,
    Create,
    Default,
    Delete,
    Desc,
    Disallow,
    Distinct,
    DistinctRow,
    Drop,
    Eqv,
    Exists,
    False,
    Foreign,
    From,
    Group,
    Having,
    Ignore,
    Imp,
    In,
    Index,
    Inner,
    Insert,
    Into,
    Is,
    Join,
    Key,
    Left,
    Like,
    Mod,
    No,
    Not,
    Null,
    Off,
    On,
    Or,
    Order,
    Outer,
    Parameters,
    Percent,
    Pivot,
    Primary,
    Procedure,
    References,
    Right,
    Rollback,
    Select,
    Set,
    Table,
    Top,
    Transaction,
    Transform,
    True,
    Union,
    Unique,
    Update,
    Values,
    View,
    Where,
    With,
    Work,
    Xor,
    Yes,
};

// Case-insensitive; Keyword::None for any other word.
Keyword keywordOf(std::string_view word);

// Whether a word, in any letter case, is the given lowercase ASCII word.
bool equalsFolded(std::string_view word, std::string_view lowercase);

// Reserved words end a clause or an alias, so a bare one cannot be a name; the others only
// mean something in one place of one statement and stay usable as names elsewhere.
bool isReserved(Keyword keyword);

} // namespace sql
