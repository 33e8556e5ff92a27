#pragma once
// Data definition statements: tables, columns, constraints and indexes.
#include "sql/syntax/ColumnType.h"
#include "sql/syntax/Expr.h"

#include <string>
#include <variant>
#include <vector>

namespace sql {

enum class ConstraintKind { PrimaryKey, Unique, NotNull, ForeignKey, Check };

// What a relationship does to the referring rows when the referenced key changes.
enum class ReferentialAction { Restrict, Cascade, SetNull };

// A constraint on one column (written after its type) or on several (written as an element
// of the column list). A column constraint has its column filled in as the only one.
struct Constraint {
    std::string name; // empty when not named: the engine makes one up
    ConstraintKind kind = ConstraintKind::PrimaryKey;
    std::vector<std::string> columns;
    // ForeignKey:
    std::string referencedTable;
    std::vector<std::string> referencedColumns; // empty: the referenced table's primary key
    ReferentialAction onUpdate = ReferentialAction::Restrict;
    ReferentialAction onDelete = ReferentialAction::Restrict;
    bool noIndex = false; // FOREIGN KEY NO INDEX
    ExprPtr check;        // Check
    std::size_t offset = 0;
};

struct ColumnDef {
    std::string name;
    ColumnType type;
    bool notNull = false;
    ExprPtr defaultValue; // null when there is no DEFAULT
    std::vector<Constraint> constraints;
    std::size_t offset = 0;
};

struct CreateTable {
    std::string name;
    std::vector<ColumnDef> columns;
    std::vector<Constraint> constraints; // the table-level ones, in the order written
};

struct IndexColumn {
    std::string name;
    bool descending = false;
};

struct CreateIndex {
    std::string name;
    std::string table;
    bool unique = false;
    std::vector<IndexColumn> columns;
    // The WITH options; several may be given.
    bool primary = false;
    bool disallowNull = false;
    bool ignoreNull = false;
};

struct DropTable {
    std::string name;
};

struct DropIndex {
    std::string name;
    std::string table;
};

struct AddColumn {
    ColumnDef column;
};
struct AlterColumn {
    ColumnDef column;
};
struct DropColumn {
    std::string name;
};
struct AddConstraint {
    Constraint constraint;
};
struct DropConstraint {
    std::string name;
};

struct AlterTable {
    std::string table;
    std::variant<AddColumn, AlterColumn, DropColumn, AddConstraint, DropConstraint> action;
};

} // namespace sql
