// TCustomADODataSet: moving through the records, positions and bookmarks.
#include "data/DataErrors.h"
#include "data/TCustomADODataSet.h"

#include <stdexcept>

namespace data {

void TCustomADODataSet::first() {
    requireActive();
    checkBrowseMode();
    row_ = 0;
    hasCurrent_ = keyset_.hasRow(0);
    bof_ = true;
    eof_ = !hasCurrent_;
    notify(DataEvent::DataSetChanged);
}

void TCustomADODataSet::last() {
    requireActive();
    checkBrowseMode();
    const std::size_t count = keyset_.rowCount();
    hasCurrent_ = count > 0;
    row_ = hasCurrent_ ? count - 1 : 0;
    eof_ = true;
    bof_ = !hasCurrent_;
    notify(DataEvent::DataSetChanged);
}

int TCustomADODataSet::moveBy(int distance) {
    requireActive();
    checkBrowseMode();
    if (!hasCurrent_) {
        bof_ = eof_ = true;
        return 0;
    }
    if (distance == 0) return 0;
    int moved = 0;
    if (distance > 0) {
        bof_ = false;
        eof_ = false;
        while (moved < distance && keyset_.hasRow(row_ + 1)) {
            ++row_;
            ++moved;
        }
        if (moved < distance) eof_ = true;
    } else {
        bof_ = false;
        eof_ = false;
        while (moved < -distance && row_ > 0) {
            --row_;
            ++moved;
        }
        if (moved < -distance) bof_ = true;
        // Stored order's middle is listed where a move lands in it.
        if (moved != 0) keyset_.hasRow(row_);
        moved = -moved;
    }
    if (moved != 0) notify(DataEvent::Scrolled, nullptr, moved);
    return moved;
}

bool TCustomADODataSet::isEmpty() {
    return !active() || !hasCurrent_;
}

int TCustomADODataSet::recNo() const {
    return active() && hasCurrent_ ? static_cast<int>(row_) + 1 : 0;
}

void TCustomADODataSet::setRecNo(int recNo) {
    requireActive();
    checkBrowseMode();
    if (!hasCurrent_) return;
    std::size_t target = recNo > 1 ? static_cast<std::size_t>(recNo) - 1 : 0;
    if (!keyset_.hasRow(target)) {
        target = keyset_.knownRows() - 1;
        keyset_.hasRow(target);
    }
    if (target == row_) return;
    const int distance = static_cast<int>(target) - static_cast<int>(row_);
    row_ = target;
    bof_ = false;
    eof_ = false;
    notify(DataEvent::Scrolled, nullptr, distance);
}

int TCustomADODataSet::recordCount() {
    requireActive();
    return static_cast<int>(keyset_.rowCount());
}

bool TCustomADODataSet::hasRecord(std::size_t row) {
    return active() && keyset_.hasRow(row);
}

std::size_t TCustomADODataSet::knownRecordCount() const {
    return keyset_.knownRows();
}

bool TCustomADODataSet::allRecordsRead() const {
    return keyset_.complete();
}

core::Value TCustomADODataSet::valueAt(std::size_t row, std::size_t field) {
    requireActive();
    if ((state_ == DataSetState::Edit || state_ == DataSetState::Insert) && row == row_)
        return buffer_.at(field);
    if (!keyset_.hasRow(row)) throw std::out_of_range("TCustomADODataSet::valueAt: no such row");
    return keyset_.record(row).values.at(field);
}

TBookmark TCustomADODataSet::bookmark() const {
    if (!active() || !hasCurrent_) return {};
    return {opening_, keyset_.id(row_)};
}

bool TCustomADODataSet::bookmarkValid(const TBookmark& bookmark) const {
    return active() && !bookmark.empty() && bookmark.opening == opening_ &&
           keyset_.rowOf(bookmark.record).has_value();
}

void TCustomADODataSet::gotoBookmark(const TBookmark& bookmark) {
    requireActive();
    checkBrowseMode();
    if (!bookmarkValid(bookmark)) raiseComponentError(name_, messages::recordNotFound);
    row_ = *keyset_.rowOf(bookmark.record);
    hasCurrent_ = true;
    bof_ = false;
    eof_ = false;
    notify(DataEvent::DataSetChanged);
}

} // namespace data
