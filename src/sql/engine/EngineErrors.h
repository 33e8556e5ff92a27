#pragma once
// The texts of the errors the engine raises while binding and running statements, worded as
// the Jet provider words them. The storage uses the ones about stored rows too.
#include "core/Error.h"

#include <string>
#include <string_view>

namespace sql::messages {

inline constexpr std::string_view missingParameters =
    "No value given for one or more required parameters.";
inline constexpr std::string_view subqueryRows =
    "At most one record can be returned by this subquery.";
inline constexpr std::string_view subqueryColumns =
    "You have written a subquery that can return more than one field without using the "
    "EXISTS reserved word in the main query's FROM clause. Revise the SELECT statement of the "
    "subquery to request only one field.";
inline constexpr std::string_view duplicateValues =
    "The changes you requested to the table were not successful because they would create "
    "duplicate values in the index, primary key, or relationship. Change the data in the field "
    "or fields that contain duplicate data, remove the index, or redefine the index to permit "
    "duplicate entries and try again.";
inline constexpr std::string_view nullInIndex = "Index or primary key cannot contain a Null value.";
inline constexpr std::string_view fieldTooSmall =
    "The field is too small to accept the amount of data you attempted to add. Try inserting "
    "or pasting less data.";
inline constexpr std::string_view valueCountMismatch =
    "Number of query values and destination fields are not the same.";
inline constexpr std::string_view unionColumnCount =
    "The number of columns in the two selected tables or queries of a union query do not match.";
inline constexpr std::string_view noTransaction =
    "You tried to commit or rollback a transaction without first beginning a transaction.";
inline constexpr std::string_view deleteTarget =
    "Specify the table containing the records you want to delete.";
inline constexpr std::string_view groupOnStar = "Cannot group on fields selected with '*'.";
inline constexpr std::string_view primaryKeyExists = "Primary key already exists.";
inline constexpr std::string_view readOnlyDatabase = "The database is read-only in this build.";
inline constexpr std::string_view recordDeleted = "Record is deleted.";
inline constexpr std::string_view noFields = "No field defined--cannot append TableDef or Index.";
inline constexpr std::string_view oneAutoNumber =
    "Resultant table not allowed to have more than one AutoNumber field.";
inline constexpr std::string_view tooManyFields = "Too many fields defined.";

std::string unknownTable(std::string_view name);
std::string ambiguousField(std::string_view name);
std::string notInAggregate(std::string_view expressionText);
std::string aggregateInWhere(std::string_view whereText);
std::string aggregateInGroupBy(std::string_view text);
std::string aggregateInExpression(std::string_view text);
std::string orderByConflictsWithDistinct(std::string_view text);
std::string unionOrderBy(std::string_view text);
std::string circularAlias(std::string_view alias);
std::string duplicateAlias(std::string_view alias);
std::string undefinedFunction(std::string_view name);
std::string tableExists(std::string_view name);
std::string tableMissing(std::string_view name);
std::string fieldExists(std::string_view field, std::string_view table);
std::string fieldMissing(std::string_view field, std::string_view table);
std::string indexExists(std::string_view table, std::string_view index);
std::string indexMissing(std::string_view index, std::string_view table);
std::string constraintMissing(std::string_view name);
std::string fieldInIndex(std::string_view field);
std::string fieldInRelationship(std::string_view field);
std::string fieldRequired(std::string_view table, std::string_view field);
std::string fieldNotUpdatable(std::string_view field);
std::string unknownInsertField(std::string_view field);
std::string duplicateDestination(std::string_view field);
std::string relatedRecordRequired(std::string_view table);
std::string relatedRecordsExist(std::string_view table);
std::string invalidFieldInIndex(std::string_view field);
std::string joinOnMemo(std::string_view text);
std::string badDefault(std::string_view field);

} // namespace sql::messages
