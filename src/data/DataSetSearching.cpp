// TCustomADODataSet: local filtering and Locate.
#include "core/Error.h"
#include "data/FieldText.h"
#include "data/FieldType.h"
#include "data/LocateMatch.h"
#include "data/TCustomADODataSet.h"

namespace data {
namespace {

// Points the fields at the record the filter test is judging, for as long as it runs.
class JudgedRecord {
public:
    JudgedRecord(const KeysetRow*& slot, const KeysetRow& record) : slot_(slot), saved_(slot) {
        slot_ = &record;
    }
    ~JudgedRecord() { slot_ = saved_; }
    JudgedRecord(const JudgedRecord&) = delete;
    JudgedRecord& operator=(const JudgedRecord&) = delete;

private:
    const KeysetRow*& slot_;
    const KeysetRow* saved_;
};

} // namespace

void TCustomADODataSet::applyFilter() {
    if (!filtered_ || !onFilterRecord_) {
        keyset_.setFilter(nullptr);
        return;
    }
    keyset_.setFilter([this](const KeysetRow& record) {
        JudgedRecord judged(filterRecord_, record);
        return onFilterRecord_(*this);
    });
}

void TCustomADODataSet::setOnFilterRecord(FilterRecordEvent test) {
    onFilterRecord_ = std::move(test);
    if (active() && filtered_) setFiltered(true);
}

void TCustomADODataSet::setFiltered(bool filtered) {
    if (!active()) {
        filtered_ = filtered;
        return;
    }
    checkBrowseMode();
    filtered_ = filtered;
    applyFilter();
    row_ = 0;
    hasCurrent_ = false;
    bof_ = true;
    eof_ = true;
    hasCurrent_ = keyset_.hasRow(0);
    eof_ = !hasCurrent_;
    notify(DataEvent::DataSetChanged);
}

bool TCustomADODataSet::locate(std::string_view fieldName, const core::Value& value,
                               LocateOptions options) {
    requireActive();
    const TField& field = fieldByName(fieldName);
    checkBrowseMode();
    // A key compared by value is read once, not again for every record.
    core::Value key = value;
    if (!key.isNull() && !options.partialKey && !options.anywhere &&
        comparesByValue(field.dataType())) {
        try {
            key = convertForField(value, field.column().type, formats_);
        } catch (const core::Error&) {
            return false; // a key the field cannot hold matches nothing
        }
    }
    const ValueTest test = [&](const core::Value& fieldValue) {
        return locateMatches(fieldValue, field.dataType(), field.column().type, key, options,
                             formats_);
    };
    const bool exact = !options.partialKey && !options.anywhere;
    const bool keyFits =
        comparesByValue(field.dataType())
            ? key.type() == field.column().type
            : field.column().columnType == jet::ColumnType::Text && key.getIf<std::string>();
    if (exact && keyFits)
        if (auto found = locateByIndex(field, key, test)) return *found;
    return locateFrom(0, field, test);
}

std::optional<bool> TCustomADODataSet::locateByIndex(const TField& field, const core::Value& key,
                                                     const ValueTest& test) {
    const sql::TableRows* table = keyset_.tableRows();
    if (!table || keyset_.hasFilter() || key.isNull()) return std::nullopt;
    auto candidates = table->seekEqual(field.index(), key);
    if (!candidates) return std::nullopt;
    // The first match in the data set's order, which need not be the index's.
    for (std::size_t row : keyset_.rowsOfLocators(std::move(*candidates))) {
        if (!test(keyset_.value(row, field.index()))) continue;
        makeCurrent(row);
        return true;
    }
    return false;
}

bool TCustomADODataSet::locateNext(std::string_view fieldName, const ValueTest& test) {
    requireActive();
    const TField& field = fieldByName(fieldName);
    checkBrowseMode();
    return locateFrom(hasCurrent_ ? row_ + 1 : 0, field, test);
}

bool TCustomADODataSet::locateNext(std::string_view fieldName, const core::Value& value,
                                   LocateOptions options) {
    const TField& field = fieldByName(fieldName);
    return locateNext(fieldName, [&](const core::Value& fieldValue) {
        return locateMatches(fieldValue, field.dataType(), field.column().type, value, options,
                             formats_);
    });
}

bool TCustomADODataSet::locateFrom(std::size_t row, const TField& field, const ValueTest& test) {
    for (; keyset_.hasRow(row); ++row) {
        if (!test(keyset_.value(row, field.index()))) continue;
        makeCurrent(row);
        return true;
    }
    return false;
}

void TCustomADODataSet::makeCurrent(std::size_t row) {
    row_ = row;
    hasCurrent_ = true;
    bof_ = false;
    eof_ = false;
    notify(DataEvent::DataSetChanged);
}

} // namespace data
