#pragma once
// The errors the access layer raises itself, worded as the original's components word them.
// Errors of the storage and SQL engines pass through the layer unchanged.
#include "core/Error.h"

#include <string>
#include <string_view>

namespace data {

// A complaint of a component about how it is used: "<component name>: <message>".
class DatabaseError : public core::Error {
public:
    using Error::Error;
};

[[noreturn]] void raiseComponentError(std::string_view component, std::string_view message);

namespace messages {

inline constexpr std::string_view missingConnection = "Missing Connection or ConnectionString";
inline constexpr std::string_view noResultSet = "CommandText does not return a result set";
inline constexpr std::string_view dataSetClosed =
    "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view dataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr std::string_view dataSetEmpty =
    "Cannot perform this operation on an empty dataset";
inline constexpr std::string_view dataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr std::string_view notEditing = "Dataset not in edit or insert mode";
inline constexpr std::string_view recordNotFound = "Record not found";
inline constexpr std::string_view connectionOpen =
    "Operation is not allowed when the object is open.";
inline constexpr std::string_view rowChangedForUpdate =
    "Row cannot be located for updating. Some values may have been changed since it was last "
    "read.";
inline constexpr std::string_view rowChangedForDelete =
    "Row cannot be located for deletion. Some values may have been changed since it was last "
    "read.";
inline constexpr std::string_view severalTablesInsert =
    "Cannot insert a record into a result drawn from more than one table.";
inline constexpr std::string_view severalTablesDelete =
    "Cannot delete a record of a result drawn from more than one table.";
inline constexpr std::string_view missingJoinRow =
    "Cannot update a field of a table that has no row in this record.";

// "Missing SQL property", "Missing CommandText property".
std::string missingProperty(std::string_view property);
// "Field 'Name' cannot be modified".
std::string fieldReadOnly(std::string_view field);
// "Field 'Name' not found".
std::string fieldNotFound(std::string_view field);

} // namespace messages
} // namespace data
