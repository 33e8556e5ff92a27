// TCustomADODataSet: local filtering and Locate.
#include "core/Error.h"
#include "data/FieldText.h"
#include "data/LocateMatch.h"
#include "data/TCustomADODataSet.h"

namespace data {
namespace {

// Points the fields at the record the filter test is judging, for as long as it runs.
class JudgedRecord {
public:
    JudgedRecord(const KeysetRecord*& slot, const KeysetRecord& record)
        : slot_(slot), saved_(slot) {
        slot_ = &record;
    }
    ~JudgedRecord() { slot_ = saved_; }
    JudgedRecord(const JudgedRecord&) = delete;
    JudgedRecord& operator=(const JudgedRecord&) = delete;

private:
    const KeysetRecord*& slot_;
    const KeysetRecord* saved_;
};

} // namespace

void TCustomADODataSet::applyFilter() {
    if (!filtered_ || !onFilterRecord_) {
        keyset_.setFilter(nullptr);
        return;
    }
    keyset_.setFilter([this](const KeysetRecord& record) {
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
    return locateFrom(0, field, [&](const core::Value& fieldValue) {
        return locateMatches(fieldValue, field.dataType(), field.column().type, key, options,
                             formats_);
    });
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
        if (!test(keyset_.record(row).values[field.index()])) continue;
        row_ = row;
        hasCurrent_ = true;
        bof_ = false;
        eof_ = false;
        notify(DataEvent::DataSetChanged);
        return true;
    }
    return false;
}

} // namespace data
