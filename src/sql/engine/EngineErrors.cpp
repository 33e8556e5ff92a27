#include "sql/engine/EngineErrors.h"

namespace sql::messages {

namespace {

std::string q(std::string_view s) {
    return "'" + std::string(s) + "'";
}

} // namespace

std::string unknownTable(std::string_view name) {
    return "The Microsoft Jet database engine cannot find the input table or query " + q(name) +
           ". Make sure it exists and that its name is spelled correctly.";
}

std::string ambiguousField(std::string_view name) {
    return "The specified field " + q(name) +
           " could refer to more than one table listed in the FROM clause of your SQL "
           "statement.";
}

std::string notInAggregate(std::string_view expressionText) {
    return "You tried to execute a query that does not include the specified expression " +
           q(expressionText) + " as part of an aggregate function.";
}

std::string aggregateInWhere(std::string_view whereText) {
    return "Cannot have aggregate function in WHERE clause (" + std::string(whereText) + ").";
}

std::string aggregateInGroupBy(std::string_view text) {
    return "Cannot have aggregate function in GROUP BY clause (" + std::string(text) + ").";
}

std::string aggregateInExpression(std::string_view text) {
    return "Cannot have aggregate function in expression (" + std::string(text) + ").";
}

std::string orderByConflictsWithDistinct(std::string_view text) {
    return "ORDER BY clause (" + std::string(text) + ") conflicts with DISTINCT.";
}

std::string unionOrderBy(std::string_view text) {
    return "The ORDER BY expression (" + std::string(text) +
           ") includes fields that are not selected by the query. Only those fields requested "
           "in the first query can be included in an ORDER BY expression.";
}

std::string circularAlias(std::string_view alias) {
    return "Circular reference caused by alias " + q(alias) + " in query definition's SELECT list.";
}

std::string duplicateAlias(std::string_view alias) {
    return "Duplicate output alias " + q(alias) + ".";
}

std::string undefinedFunction(std::string_view name) {
    return "Undefined function " + q(name) + " in expression.";
}

std::string tableExists(std::string_view name) {
    return "Table " + q(name) + " already exists.";
}

std::string tableMissing(std::string_view name) {
    return "Table " + q(name) + " does not exist.";
}

std::string fieldExists(std::string_view field, std::string_view table) {
    return "Field " + q(field) + " already exists in table " + q(table) + ".";
}

std::string fieldMissing(std::string_view field, std::string_view table) {
    return "There is no field named " + q(field) + " in table " + q(table) + ".";
}

std::string indexExists(std::string_view table, std::string_view index) {
    return "Table " + q(table) + " already has an index named " + q(index) + ".";
}

std::string indexMissing(std::string_view index, std::string_view table) {
    return "No such index " + q(index) + " on table " + q(table) + ".";
}

std::string constraintMissing(std::string_view name) {
    return "Cannot find table or constraint" + (name.empty() ? std::string() : " " + q(name)) + ".";
}

std::string fieldInIndex(std::string_view) {
    return "Cannot delete a field that is part of an index or is needed by the system.";
}

std::string fieldInRelationship(std::string_view field) {
    return "Cannot change field " + q(field) + ". It is part of one or more relationships.";
}

std::string fieldRequired(std::string_view table, std::string_view field) {
    return "The field '" + std::string(table) + "." + std::string(field) +
           "' cannot contain a Null value because the Required property for this field is set "
           "to True. Enter a value in this field.";
}

std::string fieldNotUpdatable(std::string_view field) {
    return "Cannot update " + q(field) + "; field not updateable.";
}

std::string unknownInsertField(std::string_view field) {
    return "The INSERT INTO statement contains the following unknown field name: " + q(field) +
           ". Make sure you have typed the name correctly, and try the operation again.";
}

std::string duplicateDestination(std::string_view field) {
    return "Duplicate output destination " + q(field) + ".";
}

std::string relatedRecordRequired(std::string_view table) {
    return "You cannot add or change a record because a related record is required in table " +
           q(table) + ".";
}

std::string relatedRecordsExist(std::string_view table) {
    return "The record cannot be deleted or changed because table " + q(table) +
           " includes related records.";
}

std::string invalidFieldInIndex(std::string_view field) {
    return "Invalid field definition " + q(field) + " in definition of index or relationship.";
}

std::string joinOnMemo(std::string_view text) {
    return "Cannot join on Memo, OLE, or Hyperlink Object (" + std::string(text) + ").";
}

std::string badDefault(std::string_view field) {
    return "The default value of the field " + q(field) + " is not a valid expression.";
}

} // namespace sql::messages
