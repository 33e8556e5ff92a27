// The keyword table.
#include "sql/syntax/Keyword.h"

#include <algorithm>
#include <array>

namespace sql {

namespace {

struct Entry {
    std::string_view text;
    Keyword keyword;
    bool reserved;
};

// Sorted by text for the binary search in keywordOf.
constexpr std::array<Entry, 78> entries{{
    {"action", Keyword::Action, false},
    {"add", Keyword::Add, false},
    {"all", Keyword::All, true},
    {"alter", Keyword::Alter, true},
    {"and", Keyword::And, true},
    {"as", Keyword::As, true},
    {"asc", Keyword::Asc, true},
    {"begin", Keyword::Begin, false},
    {"between", Keyword::Between, true},
    {"by", Keyword::By, true},
    {"cascade", Keyword::Cascade, false},
    {"check", Keyword::Check, true},
    {"column", Keyword::Column, false},
    {"commit", Keyword::Commit, false},
    {"comp", Keyword::Comp, false},
    {"compression", Keyword::Compression, false},
    {"constraint", Keyword::Constraint, true},
    {"create", Keyword::Create, true},
    {"default", Keyword::Default, false},
    {"delete", Keyword::Delete, true},
    {"desc", Keyword::Desc, true},
    {"disallow", Keyword::Disallow, false},
    {"distinct", Keyword::Distinct, true},
    {"distinctrow", Keyword::DistinctRow, true},
    {"drop", Keyword::Drop, true},
    {"eqv", Keyword::Eqv, true},
    {"exists", Keyword::Exists, true},
    {"false", Keyword::False, true},
    {"foreign", Keyword::Foreign, true},
    {"from", Keyword::From, true},
    {"group", Keyword::Group, true},
    {"having", Keyword::Having, true},
    {"ignore", Keyword::Ignore, false},
    {"imp", Keyword::Imp, true},
    {"in", Keyword::In, true},
    {"index", Keyword::Index, false},
    {"inner", Keyword::Inner, true},
    {"insert", Keyword::Insert, true},
    {"into", Keyword::Into, true},
    {"is", Keyword::Is, true},
    {"join", Keyword::Join, true},
    {"key", Keyword::Key, true},
    {"left", Keyword::Left, true},
    {"like", Keyword::Like, true},
    {"mod", Keyword::Mod, true},
    {"no", Keyword::No, true},
    {"not", Keyword::Not, true},
    {"null", Keyword::Null, true},
    {"off", Keyword::Off, true},
    {"on", Keyword::On, true},
    {"or", Keyword::Or, true},
    {"order", Keyword::Order, true},
    {"outer", Keyword::Outer, true},
    {"parameters", Keyword::Parameters, false},
    {"percent", Keyword::Percent, false},
    {"pivot", Keyword::Pivot, false},
    {"primary", Keyword::Primary, true},
    {"procedure", Keyword::Procedure, false},
    {"references", Keyword::References, true},
    {"right", Keyword::Right, true},
    {"rollback", Keyword::Rollback, false},
    {"select", Keyword::Select, true},
    {"set", Keyword::Set, true},
    {"table", Keyword::Table, false},
    {"top", Keyword::Top, true},
    {"transaction", Keyword::Transaction, false},
    {"transform", Keyword::Transform, false},
    {"true", Keyword::True, true},
    {"union", Keyword::Union, true},
    {"unique", Keyword::Unique, true},
    {"update", Keyword::Update, true},
    {"values", Keyword::Values, true},
    {"view", Keyword::View, false},
    {"where", Keyword::Where, true},
    {"with", Keyword::With, true},
    {"work", Keyword::Work, false},
    {"xor", Keyword::Xor, true},
    {"yes", Keyword::Yes, true},
}};

constexpr bool sortedByText() {
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (!(entries[i - 1].text < entries[i].text)) return false;
    return true;
}
static_assert(sortedByText());

constexpr char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

const Entry* find(Keyword keyword) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [keyword](const Entry& e) { return e.keyword == keyword; });
    return it == entries.end() ? nullptr : &*it;
}

} // namespace

bool equalsFolded(std::string_view word, std::string_view lowercase) {
    return word.size() == lowercase.size() &&
           std::equal(word.begin(), word.end(), lowercase.begin(),
                      [](char a, char b) { return lower(a) == b; });
}

Keyword keywordOf(std::string_view word) {
    constexpr std::size_t longest = 16;
    if (word.empty() || word.size() > longest) return Keyword::None;
    char buffer[longest];
    std::transform(word.begin(), word.end(), buffer, lower);
    const std::string_view folded(buffer, word.size());
    auto it = std::lower_bound(entries.begin(), entries.end(), folded,
                               [](const Entry& e, std::string_view w) { return e.text < w; });
    return it != entries.end() && it->text == folded ? it->keyword : Keyword::None;
}

bool isReserved(Keyword keyword) {
    const Entry* entry = find(keyword);
    return entry && entry->reserved;
}

} // namespace sql
