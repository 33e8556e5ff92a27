#include "odbc/Catalog.h"

#include "jet/Database.h"
#include "odbc/Diagnostics.h"
#include "odbc/Handles.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/TableInfo.h"

#include <algorithm>
#include <cctype>

namespace odbc {

namespace {

using Row = std::vector<core::Value>;

core::Value text(std::string s) {
    return core::Value(std::move(s));
}
core::Value small(int v) {
    return core::Value(static_cast<std::int16_t>(v));
}
core::Value integer(std::int64_t v) {
    return core::Value(static_cast<std::int32_t>(v));
}
core::Value null() {
    return core::Value::null();
}

char fold(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool matchFrom(std::string_view name, std::size_t n, std::string_view pattern, std::size_t p) {
    while (p < pattern.size()) {
        const char c = pattern[p];
        if (c == '%') {
            for (std::size_t k = n; k <= name.size(); ++k)
                if (matchFrom(name, k, pattern, p + 1)) return true;
            return false;
        }
        if (n >= name.size()) return false;
        if (c == '\\' && p + 1 < pattern.size()) {
            if (fold(name[n]) != fold(pattern[p + 1])) return false;
            p += 2;
        } else {
            if (c != '_' && fold(name[n]) != fold(c)) return false;
            ++p;
        }
        ++n;
    }
    return n == name.size();
}

bool matches(std::string_view name, const Pattern& pattern) {
    return !pattern || matchesPattern(name, *pattern);
}

enum class CatalogResult {
    Tables,
    Columns,
    PrimaryKeys,
    ForeignKeys,
    Statistics,
    SpecialColumns,
    TypeInfo
};

// Each catalog function's result columns in ODBC's order, as one table: a name with ":s" is
// a SMALLINT column, with ":i" an INTEGER one, any other a text column.
constexpr std::pair<CatalogResult, std::string_view> resultColumnTable[] = {
    {CatalogResult::Tables, "TABLE_CAT TABLE_SCHEM TABLE_NAME TABLE_TYPE REMARKS"},
    {CatalogResult::Columns, "TABLE_CAT TABLE_SCHEM TABLE_NAME COLUMN_NAME DATA_TYPE:s TYPE_NAME "
                             "COLUMN_SIZE:i BUFFER_LENGTH:i DECIMAL_DIGITS:s NUM_PREC_RADIX:s "
                             "NULLABLE:s REMARKS COLUMN_DEF SQL_DATA_TYPE:s SQL_DATETIME_SUB:s "
                             "CHAR_OCTET_LENGTH:i ORDINAL_POSITION:i IS_NULLABLE"},
    {CatalogResult::PrimaryKeys, "TABLE_CAT TABLE_SCHEM TABLE_NAME COLUMN_NAME KEY_SEQ:s PK_NAME"},
    {CatalogResult::ForeignKeys, "PKTABLE_CAT PKTABLE_SCHEM PKTABLE_NAME PKCOLUMN_NAME FKTABLE_CAT "
                                 "FKTABLE_SCHEM FKTABLE_NAME FKCOLUMN_NAME KEY_SEQ:s UPDATE_RULE:s "
                                 "DELETE_RULE:s FK_NAME PK_NAME DEFERRABILITY:s"},
    {CatalogResult::Statistics, "TABLE_CAT TABLE_SCHEM TABLE_NAME NON_UNIQUE:s INDEX_QUALIFIER "
                                "INDEX_NAME TYPE:s ORDINAL_POSITION:s COLUMN_NAME ASC_OR_DESC "
                                "CARDINALITY:i PAGES:i FILTER_CONDITION"},
    {CatalogResult::SpecialColumns, "SCOPE:s COLUMN_NAME DATA_TYPE:s TYPE_NAME COLUMN_SIZE:i "
                                    "BUFFER_LENGTH:i DECIMAL_DIGITS:s PSEUDO_COLUMN:s"},
    {CatalogResult::TypeInfo, "TYPE_NAME DATA_TYPE:s COLUMN_SIZE:i LITERAL_PREFIX LITERAL_SUFFIX "
                              "CREATE_PARAMS NULLABLE:s CASE_SENSITIVE:s SEARCHABLE:s "
                              "UNSIGNED_ATTRIBUTE:s FIXED_PREC_SCALE:s AUTO_UNIQUE_VALUE:s "
                              "LOCAL_TYPE_NAME MINIMUM_SCALE:s MAXIMUM_SCALE:s SQL_DATA_TYPE:s "
                              "SQL_DATETIME_SUB:s NUM_PREC_RADIX:i INTERVAL_PRECISION:s"},
};

std::vector<ColumnDescription> resultColumns(CatalogResult result) {
    std::vector<ColumnDescription> out;
    for (const auto& [which, columnsText] : resultColumnTable) {
        if (which != result) continue;
        std::size_t start = 0;
        while (start < columnsText.size()) {
            std::size_t end = columnsText.find(' ', start);
            if (end == std::string_view::npos) end = columnsText.size();
            const std::string_view word = columnsText.substr(start, end - start);
            start = end + 1;
            if (word.empty()) continue;
            const std::string name(word.substr(0, word.find(':')));
            out.push_back(word.ends_with(":s")   ? smallIntColumn(name)
                          : word.ends_with(":i") ? integerColumn(name)
                                                 : textColumn(name));
        }
    }
    return out;
}

sql::Storage& storageOf(Connection& c) {
    return c.session().storage();
}

// A user table's definition, or nullopt for a view or an unknown name.
std::optional<sql::TableInfo> tableInfo(Connection& c, std::string_view table) {
    return storageOf(c).tableInfo(table);
}

std::vector<std::string> typesAsked(const Pattern& types) {
    std::vector<std::string> out;
    if (!types) return out;
    std::string current;
    for (char ch : *types + ",") {
        if (ch == ',') {
            const auto first = current.find_first_not_of(' ');
            if (first != std::string::npos)
                out.push_back(current.substr(first, current.find_last_not_of(' ') - first + 1));
            current.clear();
        } else if (ch != '\'') {
            current += fold(ch);
        }
    }
    return out;
}

} // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
    return matchFrom(name, 0, pattern, 0);
}

CatalogRows tableRows(Connection& c, const Pattern& catalog, const Pattern& schema,
                      const Pattern& table, const Pattern& types) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::Tables);
    auto emptyOrNone = [](const Pattern& p) { return !p || p->empty(); };
    // The special enumerations: the list of table types.
    if (types && *types == "%" && emptyOrNone(catalog) && emptyOrNone(schema) &&
        emptyOrNone(table)) {
        for (const char* type : {"SYSTEM TABLE", "TABLE", "VIEW"})
            out.rows.push_back({null(), null(), null(), text(type), null()});
        return out;
    }
    if ((catalog && *catalog == "%") || (schema && *schema == "%" && emptyOrNone(table)))
        return out; // the file has no catalogs or schemas of its own to list
    std::vector<std::string> wanted = typesAsked(types);
    auto want = [&](const char* type) {
        return wanted.empty() ? std::string_view(type) != "SYSTEM TABLE"
                              : std::find(wanted.begin(), wanted.end(), type) != wanted.end();
    };
    auto add = [&](const std::string& name, const char* type) {
        if (matches(name, table))
            out.rows.push_back({null(), null(), text(name), text(type), null()});
    };
    if (want("SYSTEM TABLE"))
        for (const auto& entry : c.database().catalog().entries())
            if (entry.isTable() && entry.isSystem()) add(entry.name, "SYSTEM TABLE");
    if (want("TABLE"))
        for (const auto& name : storageOf(c).tableNames()) add(name, "TABLE");
    if (want("VIEW"))
        for (const auto& name : storageOf(c).viewNames()) add(name, "VIEW");
    // Ordered by type, then name, as ODBC asks.
    std::stable_sort(out.rows.begin(), out.rows.end(), [](const Row& a, const Row& b) {
        const auto& ta = a[3].get<std::string>();
        const auto& tb = b[3].get<std::string>();
        if (ta != tb) return ta < tb;
        std::string na = a[2].get<std::string>(), nb = b[2].get<std::string>();
        for (char& ch : na) ch = fold(ch);
        for (char& ch : nb) ch = fold(ch);
        return na < nb;
    });
    return out;
}

CatalogRows columnRows(Connection& c, const Pattern& table, const Pattern& column) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::Columns);
    auto add = [&](const std::string& tableName, int ordinal, const ColumnDescription& d,
                   const std::string& defaultValue) {
        if (!matches(d.name, column)) return;
        const bool numeric = d.sqlType == SQL_DECIMAL || d.sqlType == SQL_NUMERIC ||
                             d.sqlType == SQL_TINYINT || d.sqlType == SQL_SMALLINT ||
                             d.sqlType == SQL_INTEGER || d.sqlType == SQL_REAL ||
                             d.sqlType == SQL_DOUBLE;
        const bool character = d.sqlType == SQL_WVARCHAR || d.sqlType == SQL_WLONGVARCHAR ||
                               d.sqlType == SQL_VARBINARY || d.sqlType == SQL_LONGVARBINARY;
        const bool timestamp = d.sqlType == SQL_TYPE_TIMESTAMP;
        out.rows.push_back(
            {null(), null(), text(tableName), text(d.name), small(d.sqlType), text(d.typeName),
             integer(static_cast<std::int64_t>(d.size)), integer(octetLength(d)),
             numeric || timestamp ? small(d.digits) : null(), numeric ? small(10) : null(),
             small(d.nullable == SQL_NO_NULLS ? SQL_NO_NULLS : SQL_NULLABLE), null(),
             defaultValue.empty() ? null() : text(defaultValue),
             small(timestamp ? SQL_DATETIME : d.sqlType),
             timestamp ? small(SQL_CODE_TIMESTAMP) : null(),
             character ? integer(octetLength(d)) : null(), integer(ordinal),
             text(d.nullable == SQL_NO_NULLS ? "NO" : "YES")});
    };
    auto& storage = storageOf(c);
    for (const auto& name : storage.tableNames()) {
        if (!matches(name, table)) continue;
        auto info = storage.tableInfo(name);
        if (!info) continue;
        int ordinal = 0;
        for (const auto& col : info->columns) {
            ColumnDescription d =
                describeJetType(col.type, col.size, col.precision, col.scale, col.autoNumber);
            d.name = col.name;
            d.nullable = col.required ? SQL_NO_NULLS : SQL_NULLABLE;
            add(info->name, ++ordinal, d, col.defaultValue);
        }
    }
    for (const auto& name : storage.viewNames()) {
        if (!matches(name, table)) continue;
        try {
            // The query's columns are known once it is prepared; no row is read.
            sql::ResultSet result = c.session().execute("select * from [" + name + "]");
            int ordinal = 0;
            for (const auto& col : result.columns())
                add(name, ++ordinal, describeResultColumn(col), {});
        } catch (const std::exception&) {
            // A query that asks for parameters has no columns to show until it gets them.
        }
    }
    return out;
}

CatalogRows primaryKeyRows(Connection& c, const std::string& table) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::PrimaryKeys);
    auto info = tableInfo(c, table);
    if (!info) return out;
    if (const auto* key = info->primaryKey()) {
        int seq = 0;
        for (const auto& col : key->columns)
            out.rows.push_back(
                {null(), null(), text(info->name), text(col.name), small(++seq), text(key->name)});
    }
    return out;
}

CatalogRows foreignKeyRows(Connection& c, const std::string& primaryTable,
                           const std::string& foreignTable) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::ForeignKeys);
    if (primaryTable.empty() && foreignTable.empty())
        throw OdbcError("HY009", "Invalid use of null pointer: name a primary or a foreign table.");
    auto& storage = storageOf(c);
    for (const auto& name : storage.tableNames()) {
        if (!foreignTable.empty() && !sql::sameName(name, foreignTable)) continue;
        auto info = storage.tableInfo(name);
        if (!info) continue;
        for (const auto& key : info->foreignKeys) {
            if (!primaryTable.empty() && !sql::sameName(key.referencedTable, primaryTable))
                continue;
            auto referenced = storage.tableInfo(key.referencedTable);
            std::string pkName;
            if (referenced)
                if (const auto* pk = referenced->primaryKey()) pkName = pk->name;
            const int update = key.cascadeUpdates   ? SQL_CASCADE
                               : key.cascadeSetNull ? SQL_SET_NULL
                                                    : SQL_NO_ACTION;
            const int del = key.cascadeDeletes   ? SQL_CASCADE
                            : key.cascadeSetNull ? SQL_SET_NULL
                                                 : SQL_NO_ACTION;
            for (std::size_t i = 0; i < key.columns.size(); ++i)
                out.rows.push_back(
                    {null(), null(), text(referenced ? referenced->name : key.referencedTable),
                     text(i < key.referencedColumns.size() ? key.referencedColumns[i] : ""), null(),
                     null(), text(info->name), text(key.columns[i]), small(static_cast<int>(i) + 1),
                     small(update), small(del), text(key.name),
                     pkName.empty() ? null() : text(pkName), small(SQL_NOT_DEFERRABLE)});
        }
    }
    return out;
}

CatalogRows statisticsRows(Connection& c, const std::string& table, bool uniqueOnly) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::Statistics);
    auto info = tableInfo(c, table);
    if (!info) return out;
    out.rows.push_back({null(), null(), text(info->name), null(), null(), null(),
                        small(SQL_TABLE_STAT), null(), null(), null(), null(), null(), null()});
    std::vector<const sql::IndexInfo*> indexes;
    for (const auto& index : info->indexes)
        if (!uniqueOnly || index.unique || index.primary) indexes.push_back(&index);
    // Unique indexes first, then by name, as ODBC orders them.
    std::stable_sort(indexes.begin(), indexes.end(), [](const auto* a, const auto* b) {
        const bool ua = a->unique || a->primary, ub = b->unique || b->primary;
        if (ua != ub) return ua;
        return a->name < b->name;
    });
    for (const auto* index : indexes) {
        int ordinal = 0;
        for (const auto& col : index->columns)
            out.rows.push_back({null(), null(), text(info->name),
                                small(index->unique || index->primary ? SQL_FALSE : SQL_TRUE),
                                null(), text(index->name), small(SQL_INDEX_OTHER), small(++ordinal),
                                text(col.name), text(col.descending ? "D" : "A"), null(), null(),
                                null()});
    }
    return out;
}

CatalogRows specialColumnRows(Connection& c, SQLUSMALLINT identifierType,
                              const std::string& table) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::SpecialColumns);
    if (identifierType != SQL_BEST_ROWID) return out; // Jet keeps no row versions
    auto info = tableInfo(c, table);
    if (!info) return out;
    const sql::IndexInfo* key = info->primaryKey();
    for (const auto& index : info->indexes)
        if (!key && index.unique) key = &index;
    if (!key) return out;
    for (const auto& col : key->columns) {
        auto i = info->findColumn(col.name);
        if (!i) continue;
        const auto& ci = info->columns[*i];
        const ColumnDescription d =
            describeJetType(ci.type, ci.size, ci.precision, ci.scale, ci.autoNumber);
        out.rows.push_back({small(SQL_SCOPE_SESSION), text(ci.name), small(d.sqlType),
                            text(d.typeName), integer(static_cast<std::int64_t>(d.size)),
                            integer(octetLength(d)), small(d.digits), small(SQL_PC_NOT_PSEUDO)});
    }
    return out;
}

CatalogRows typeInfoRows(SQLSMALLINT dataType) {
    CatalogRows out;
    out.columns = resultColumns(CatalogResult::TypeInfo);
    struct Type {
        const char* name;
        SQLSMALLINT type;
        std::int64_t size;
        const char* prefix;
        const char* suffix;
        const char* params;
        int searchable;
        int isUnsigned; // -1: not numeric
        bool fixed, autoUnique;
        int minScale, maxScale; // -1: not applicable
    };
    static const Type types[] = {
        {"GUID", SQL_GUID, 36, "{guid ", "}", nullptr, SQL_ALL_EXCEPT_LIKE, -1, false, false, -1,
         -1},
        {"LONGCHAR", SQL_WLONGVARCHAR, 1073741823, "'", "'", nullptr, SQL_LIKE_ONLY, -1, false,
         false, -1, -1},
        {"VARCHAR", SQL_WVARCHAR, 255, "'", "'", "max length", SQL_SEARCHABLE, -1, false, false, -1,
         -1},
        {"BIT", SQL_BIT, 1, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, -1, false, false, -1,
         -1},
        {"BYTE", SQL_TINYINT, 3, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 1, false, false, 0,
         0},
        {"LONGBINARY", SQL_LONGVARBINARY, 1073741823, "0x", nullptr, nullptr, SQL_PRED_NONE, -1,
         false, false, -1, -1},
        {"VARBINARY", SQL_VARBINARY, 510, "0x", nullptr, "max length", SQL_ALL_EXCEPT_LIKE, -1,
         false, false, -1, -1},
        {"LONGCHAR", SQL_LONGVARCHAR, 1073741823, "'", "'", nullptr, SQL_LIKE_ONLY, -1, false,
         false, -1, -1},
        {"DECIMAL", SQL_NUMERIC, 28, nullptr, nullptr, "precision,scale", SQL_ALL_EXCEPT_LIKE, 0,
         false, false, 0, 28},
        {"CURRENCY", SQL_DECIMAL, 19, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 0, true,
         false, 4, 4},
        {"COUNTER", SQL_INTEGER, 10, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 0, false, true,
         0, 0},
        {"INTEGER", SQL_INTEGER, 10, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 0, false,
         false, 0, 0},
        {"SMALLINT", SQL_SMALLINT, 5, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 0, false,
         false, 0, 0},
        {"REAL", SQL_REAL, 7, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 0, false, false, -1,
         -1},
        {"DOUBLE", SQL_DOUBLE, 15, nullptr, nullptr, nullptr, SQL_ALL_EXCEPT_LIKE, 0, false, false,
         -1, -1},
        {"VARCHAR", SQL_VARCHAR, 255, "'", "'", "max length", SQL_SEARCHABLE, -1, false, false, -1,
         -1},
        {"DATETIME", SQL_TYPE_TIMESTAMP, 19, "#", "#", nullptr, SQL_ALL_EXCEPT_LIKE, -1, false,
         false, 0, 0},
    };
    auto opt = [](const char* s) { return s ? text(s) : null(); };
    for (const auto& t : types) {
        if (dataType != SQL_ALL_TYPES && dataType != t.type &&
            !(dataType == SQL_TIMESTAMP && t.type == SQL_TYPE_TIMESTAMP))
            continue;
        const bool timestamp = t.type == SQL_TYPE_TIMESTAMP;
        out.rows.push_back(
            {text(t.name), small(t.type), integer(t.size), opt(t.prefix), opt(t.suffix),
             opt(t.params), small(SQL_NULLABLE), small(SQL_FALSE), small(t.searchable),
             t.isUnsigned < 0 ? null() : small(t.isUnsigned), small(t.fixed ? SQL_TRUE : SQL_FALSE),
             t.isUnsigned < 0 ? null() : small(t.autoUnique ? SQL_TRUE : SQL_FALSE), text(t.name),
             t.minScale < 0 ? null() : small(t.minScale),
             t.maxScale < 0 ? null() : small(t.maxScale), small(timestamp ? SQL_DATETIME : t.type),
             timestamp ? small(SQL_CODE_TIMESTAMP) : null(),
             t.isUnsigned < 0 ? null() : integer(10), null()});
    }
    std::stable_sort(out.rows.begin(), out.rows.end(), [](const Row& a, const Row& b) {
        return a[1].get<std::int16_t>() < b[1].get<std::int16_t>();
    });
    return out;
}

} // namespace odbc
