#include "sql/engine/planning/TypeRules.h"

#include "sql/eval/Promotion.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace sql {

namespace {

using core::DataType;

DataType typeOfRank(NumericRank rank) {
    switch (rank) {
    case NumericRank::Byte:
        return DataType::Byte;
    case NumericRank::Integer:
        return DataType::Integer;
    case NumericRank::Long:
        return DataType::Long;
    case NumericRank::Single:
        return DataType::Single;
    case NumericRank::Double:
        return DataType::Double;
    case NumericRank::Currency:
        return DataType::Currency;
    case NumericRank::Decimal:
        return DataType::Decimal;
    }
    return DataType::Double;
}

bool isNumber(DataType t) {
    return numericRank(t).has_value();
}

DataType arithmetic(BinaryOperator op, DataType l, DataType r) {
    if (l == DataType::Null || r == DataType::Null) return DataType::Null;
    const bool dates = l == DataType::DateTime || r == DataType::DateTime;
    if (op == BinaryOperator::Add) {
        if (l == DataType::Text && r == DataType::Text) return DataType::Text;
        if (dates && (isNumber(l) || isNumber(r))) return DataType::DateTime;
    }
    if (op == BinaryOperator::Subtract && dates) {
        if (l == DataType::DateTime && r == DataType::DateTime) return DataType::Double;
        if (l == DataType::DateTime && isNumber(r)) return DataType::DateTime;
    }
    if (!isNumber(l) || !isNumber(r)) return DataType::Null;
    const NumericRank a = *numericRank(l), b = *numericRank(r);
    switch (op) {
    case BinaryOperator::Add:
    case BinaryOperator::Subtract:
        return typeOfRank(resultRank(a, b, PrecisionOrder::Addition));
    case BinaryOperator::Multiply:
        return typeOfRank(resultRank(a, b, PrecisionOrder::Multiplication));
    case BinaryOperator::Divide:
        return a == NumericRank::Decimal || b == NumericRank::Decimal ? DataType::Decimal
                                                                      : DataType::Double;
    case BinaryOperator::IntDivide:
    case BinaryOperator::Mod: {
        NumericRank rank = resultRank(a, b, PrecisionOrder::Addition);
        if (rank == NumericRank::Decimal) return DataType::Decimal;
        return rank <= NumericRank::Long ? typeOfRank(rank) : DataType::Long;
    }
    case BinaryOperator::Power:
        return DataType::Double;
    default:
        return DataType::Null;
    }
}

std::string lowerName(std::string_view name) {
    std::string s(name);
    if (!s.empty() && s.back() == '$') s.pop_back();
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

DataType binaryResultType(BinaryOperator op, DataType left, DataType right) {
    switch (op) {
    case BinaryOperator::Concat:
        return DataType::Text;
    case BinaryOperator::Equal:
    case BinaryOperator::NotEqual:
    case BinaryOperator::Less:
    case BinaryOperator::LessEqual:
    case BinaryOperator::Greater:
    case BinaryOperator::GreaterEqual:
        return DataType::Boolean;
    case BinaryOperator::And:
    case BinaryOperator::Or:
    case BinaryOperator::Xor:
    case BinaryOperator::Eqv:
    case BinaryOperator::Imp:
        // On numbers these are bitwise; only truth values give a truth value for sure.
        return left == DataType::Boolean && right == DataType::Boolean ? DataType::Boolean
                                                                       : DataType::Null;
    default:
        return arithmetic(op, left, right);
    }
}

DataType unaryResultType(UnaryOperator op, DataType operand) {
    if (op == UnaryOperator::Not)
        return operand == DataType::Boolean ? DataType::Boolean : DataType::Null;
    if (operand == DataType::Boolean) return DataType::Integer;
    return isNumber(operand) || operand == DataType::DateTime ? operand : DataType::Null;
}

DataType functionResultType(std::string_view name, std::span<const DataType> args) {
    const std::string n = lowerName(name);
    auto any = [&n](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&n](const char* x) { return n == x; });
    };
    if (any({"left",          "right",       "mid",          "trim",           "ltrim",
             "rtrim",         "ucase",       "lcase",        "format",         "cstr",
             "str",           "chr",         "chrw",         "space",          "string",
             "replace",       "hex",         "oct",          "strreverse",     "strconv",
             "monthname",     "weekdayname", "formatnumber", "formatcurrency", "formatpercent",
             "formatdatetime"}))
        return DataType::Text;
    if (any({"len", "instr", "instrrev", "clng", "datediff", "asc", "ascw", "strcomp"}))
        return DataType::Long;
    if (any({"year", "month", "day", "hour", "minute", "second", "weekday", "datepart", "cint",
             "sgn"}))
        return DataType::Integer;
    if (any({"cdbl", "val", "rnd", "sqr", "exp", "log", "sin", "cos", "tan", "atn", "timer"}))
        return DataType::Double;
    if (any({"csng"})) return DataType::Single;
    if (any({"ccur"})) return DataType::Currency;
    if (any({"cbyte"})) return DataType::Byte;
    if (any({"cdec"})) return DataType::Decimal;
    if (any({"cbool", "isnull", "isnumeric", "isdate", "isempty", "iserror"}))
        return DataType::Boolean;
    if (any({"cdate", "cvdate", "date", "now", "time", "dateadd", "dateserial", "datevalue",
             "timeserial", "timevalue"}))
        return DataType::DateTime;
    if (any({"abs", "int", "fix", "round", "nz"}) && !args.empty()) return args[0];
    return DataType::Null;
}

DataType aggregateResultType(AggregateKind function, DataType argument) {
    switch (function) {
    case AggregateKind::Count:
    case AggregateKind::CountRows:
        return DataType::Long;
    case AggregateKind::Sum:
        switch (argument) {
        case DataType::Boolean:
        case DataType::Byte:
        case DataType::Integer:
        case DataType::Long:
            return DataType::Long;
        case DataType::Currency:
        case DataType::Decimal:
            return argument;
        case DataType::Null:
            return DataType::Null;
        default:
            return DataType::Double;
        }
    case AggregateKind::Avg:
        return argument == DataType::Currency || argument == DataType::Decimal ? argument
                                                                               : DataType::Double;
    case AggregateKind::Min:
    case AggregateKind::Max:
    case AggregateKind::First:
    case AggregateKind::Last:
        return argument;
    default:
        return DataType::Double;
    }
}

DataType commonType(DataType a, DataType b) {
    return a == b ? a : DataType::Null;
}

} // namespace sql
