#include "data/Keyset.h"

#include "core/Error.h"

#include <algorithm>
#include <stdexcept>

namespace data {
namespace {

// Decoded rows kept on the locator path: a few screens of a grid, so a repaint decodes
// nothing again.
constexpr std::size_t kCachedRows = 512;
// On the stored-order path a move this far past the rows read (a jump to a record number)
// reads the rest in one walk of the table's pages, as the last record, a locate and a write
// do; nearer moves (the next page of a grid) read row by row.
constexpr std::size_t kFarAhead = 1024;

} // namespace

core::Value KeysetRow::value(std::size_t field) const {
    if (record_) return record_->values.at(field);
    auto& slot = read_.at(field);
    if (!slot) slot = rows_->readValue(locator_, field);
    return *slot;
}

Keyset::Keyset(sql::ResultSet rows) {
    if (rows.hasRows()) stream_.emplace(std::move(rows));
}

Keyset::Keyset(std::shared_ptr<const sql::TableRows> rows) : table_(std::move(rows)) {
    nextId_ = kPlacedIds;
    if (!table_->ordered()) {
        pages_ = table_->storedPages();
        if (pages_) {
            tailPage_ = pages_->pageCount();
            baseRows_ = pages_->rowCount();
            return;
        }
        locatorScan_ = table_->scan();
        return;
    }
    shared_ = std::make_shared<const std::vector<sql::RowLocator>>(table_->locators());
}

Keyset::Keyset(std::shared_ptr<const sql::TableRows> rows, Order order)
    : table_(std::move(rows)), shared_(std::move(order)) {
    nextId_ = kPlacedIds;
}

bool Keyset::readOne(bool rest) {
    if (pages_) {
        if (rest) return readRest();
        // Once counted, every base row has its place; the middle is listed where asked.
        if (counted_) return false;
        while (headPages_ < tailPage_) {
            const std::size_t before = scannedBase_.size();
            pageRows(headPages_, headPages_ + 1, scannedBase_);
            ++headPages_;
            if (scannedBase_.size() > before) return true;
        }
        return false;
    }
    if (!stream_ && !locatorScan_) return false;
    try {
        if (locatorScan_) {
            if (rest) return readRest();
            do {
                if (!locatorScan_->next()) {
                    locatorScan_.reset();
                    return false;
                }
            } while (std::binary_search(written_.begin(), written_.end(), locatorScan_->locator()));
            scannedBase_.push_back(locatorScan_->locator());
            return true;
        }
        if (!stream_->next()) {
            stream_.reset();
            return false;
        }
        const sql::ResultRow& row = stream_->row();
        records_.push_back(KeysetRecord{nextId_++, row.values, row.locators, false});
        return true;
    } catch (...) {
        // The stream cannot be trusted after an error; what was read stays usable.
        failure_ = std::current_exception();
        stream_.reset();
        locatorScan_.reset();
        throw;
    }
}

bool Keyset::readRest() {
    if (pages_) {
        const std::size_t before = baseCount();
        if (headPages_ < tailPage_) {
            pageRows(headPages_, tailPage_, scannedBase_);
            headPages_ = tailPage_;
        }
        joinEnds();
        return baseCount() > before;
    }
    // With no write of this data set in between, the walk lists the rows the cursor has
    // already given first, in the same order.
    std::vector<sql::RowLocator> all = table_->locators();
    locatorScan_.reset();
    if (!wrote_) {
        if (all.size() <= scannedBase_.size()) return false;
        scannedBase_ = std::move(all);
        return true;
    }
    // After writes of this data set the walk lists the table as they left it: the rows not
    // read yet are those after the last one read (stored order goes by ascending page and
    // slot, which finds the place when that row has gone), less the ones this data set wrote
    // there itself.
    const std::size_t before = scannedBase_.size();
    auto rest = all.begin();
    if (!scannedBase_.empty()) {
        const sql::RowLocator last = scannedBase_.back();
        rest = std::find(all.begin(), all.end(), last);
        rest = rest != all.end() ? rest + 1
                                 : std::find_if(all.begin(), all.end(),
                                                [&](sql::RowLocator at) { return at > last; });
    }
    scannedBase_.reserve(before + static_cast<std::size_t>(all.end() - rest));
    for (; rest != all.end(); ++rest)
        if (!std::binary_search(written_.begin(), written_.end(), *rest))
            scannedBase_.push_back(*rest);
    return scannedBase_.size() > before;
}

void Keyset::wroteRow(std::optional<sql::RowLocator> locator) {
    if (!table_) return;
    wrote_ = true;
    // A row that outgrew its page moved, and a scan names it by its new place.
    const std::optional<sql::RowLocator> place = locator ? table_->place(*locator) : std::nullopt;
    if (place && !std::binary_search(written_.begin(), written_.end(), *place))
        written_.insert(std::upper_bound(written_.begin(), written_.end(), *place), *place);
}

std::size_t Keyset::baseSize() const {
    return table_ ? baseCount() - removed_.size() + placed_.size() : records_.size();
}

std::size_t Keyset::baseCount() const {
    if (shared_) return shared_->size();
    return counted_ ? baseRows_ : scannedBase_.size();
}

sql::RowLocator Keyset::baseAt(std::size_t baseRow) const {
    if (shared_) return shared_->at(baseRow);
    if (counted_ && baseRow >= tailStart()) {
        if (baseRow >= baseRows_) throw std::out_of_range("Keyset: no such row");
        return tail_[baseRows_ - 1 - baseRow];
    }
    if (baseRow >= scannedBase_.size()) throw std::out_of_range("Keyset: row not listed");
    return scannedBase_[baseRow];
}

void Keyset::pageRows(std::size_t from, std::size_t to, std::vector<sql::RowLocator>& into) const {
    const std::size_t before = into.size();
    pages_->rows(from, to, into);
    if (!written_.empty())
        into.erase(std::remove_if(into.begin() + static_cast<std::ptrdiff_t>(before), into.end(),
                                  [&](sql::RowLocator at) {
                                      return std::binary_search(written_.begin(), written_.end(),
                                                                at);
                                  }),
                   into.end());
}

void Keyset::countRows() {
    if (!pages_ || counted_ || headPages_ >= tailPage_) return;
    // A count below the rows already listed is plainly wrong (a damaged definition): then
    // every row is listed, and positions come from the list alone.
    if (baseRows_ < scannedBase_.size()) {
        readRest();
        return;
    }
    counted_ = true;
    while (tail_.empty() && headPages_ < tailPage_) readEnd(false, tailPage_ - 1);
}

void Keyset::readEnd(bool front, std::size_t limit) {
    // Room for the rows at once: half a million locators grown by doubling touch twice the
    // memory, and each new page of it costs a fault. Never less than doubling, so that many
    // short reads still grow the list geometrically.
    auto makeRoom = [&](std::vector<sql::RowLocator>& list, std::size_t pages) {
        const std::size_t needed = list.size() + rowsPerPage() * pages / 8 * 9;
        if (needed > list.capacity()) list.reserve(std::max(needed, list.capacity() * 2));
    };
    if (front && headPages_ < std::min(limit, tailPage_)) {
        const std::size_t before = scannedBase_.size();
        const std::size_t to = std::min(limit, tailPage_);
        makeRoom(scannedBase_, to - headPages_);
        pageRows(headPages_, to, scannedBase_);
        if (!fits(0)) {
            scannedBase_.resize(before);
            readRest();
            return;
        }
        headPages_ = to;
    }
    // The back is kept last row first: read forwards a run of pages at a time, each run
    // turned round onto its end.
    constexpr std::size_t kRunPages = 64;
    std::vector<sql::RowLocator> run;
    if (!front && tailPage_ > std::max(limit, headPages_))
        makeRoom(tail_, tailPage_ - std::max(limit, headPages_));
    while (!front && tailPage_ > std::max(limit, headPages_)) {
        const std::size_t from =
            std::max({limit, headPages_, tailPage_ - std::min(tailPage_, kRunPages)});
        run.clear();
        pageRows(from, tailPage_, run);
        if (!fits(run.size())) {
            readRest();
            return;
        }
        tail_.insert(tail_.end(), run.rbegin(), run.rend());
        tailPage_ = from;
    }
    if (headPages_ == tailPage_) joinEnds();
}

void Keyset::joinEnds() {
    if (!counted_) return;
    // The rows keep the places the count gave them. Rows the count has and the pages no
    // longer hold read as gone (page 0 holds no rows); rows past the count (a definition
    // that counts too few) go at the end rather than move the rows already shown.
    const std::size_t start = tailStart();
    std::vector<sql::RowLocator> extra;
    if (scannedBase_.size() > start) {
        extra.assign(scannedBase_.begin() + static_cast<std::ptrdiff_t>(start), scannedBase_.end());
        scannedBase_.resize(start);
    }
    scannedBase_.resize(start, sql::RowLocator{});
    scannedBase_.insert(scannedBase_.end(), tail_.rbegin(), tail_.rend());
    scannedBase_.insert(scannedBase_.end(), extra.begin(), extra.end());
    tail_.clear();
    tail_.shrink_to_fit();
    counted_ = false;
}

std::size_t Keyset::rowsPerPage() const {
    const std::size_t listedPages = headPages_ + (pages_->pageCount() - tailPage_);
    return std::max<std::size_t>(1, (scannedBase_.size() + tail_.size()) /
                                        std::max<std::size_t>(1, listedPages));
}

void Keyset::listBase(std::size_t baseRow) {
    while (counted_ && headPages_ < tailPage_ && baseRow >= scannedBase_.size() &&
           baseRow < tailStart()) {
        // From the nearer end, as many pages as the rows listed so far say the row needs, in
        // one run (a scroll to the middle reads half the table's pages at once).
        const std::size_t perPage = rowsPerPage();
        const std::size_t fromFront = baseRow - scannedBase_.size();
        const std::size_t fromBack = tailStart() - baseRow;
        if (fromFront < fromBack)
            readEnd(true, headPages_ + fromFront / perPage + 1);
        else
            readEnd(false, tailPage_ - std::min(tailPage_, fromBack / perPage + 1));
    }
}

void Keyset::listIndex(std::size_t index) {
    if (!counted_ || index >= baseSize()) return;
    const Slot slot = slotOf(index);
    if (!slot.placed) listBase(slot.at);
}

Keyset::Slot Keyset::slotOf(std::size_t index) const {
    // Base rows run unbroken between the places where a record was placed or removed; those
    // are few (one per insert or delete here), so they are walked in order.
    std::size_t baseRow = 0, at = 0, p = 0, r = 0;
    for (;;) {
        const std::size_t nextPlaced = p < placed_.size() ? placed_[p].before : SIZE_MAX;
        const std::size_t nextRemoved = r < removed_.size() ? removed_[r] : SIZE_MAX;
        const std::size_t stop = std::min(nextPlaced, nextRemoved);
        if (stop == SIZE_MAX || index < at + (stop - baseRow))
            return {false, baseRow + (index - at)};
        at += stop - baseRow;
        baseRow = stop;
        for (; p < placed_.size() && placed_[p].before == baseRow; ++p, ++at)
            if (at == index) return {true, p};
        if (r < removed_.size() && removed_[r] == baseRow) {
            ++r;
            ++baseRow;
        }
    }
}

Keyset::Entry Keyset::entryAt(std::size_t index) const {
    if (placed_.empty() && removed_.empty() && relocated_.empty()) {
        if (index >= baseCount()) throw std::out_of_range("Keyset: no such row");
        return {baseAt(index), index + 1, false};
    }
    const Slot slot = slotOf(index);
    if (slot.placed) return placed_.at(slot.at).entry;
    if (slot.at >= baseCount()) throw std::out_of_range("Keyset: no such row");
    auto moved = relocated_.find(slot.at);
    return {moved != relocated_.end() ? moved->second : baseAt(slot.at), slot.at + 1, false};
}

std::size_t Keyset::indexOfBase(std::size_t baseRow) const {
    const auto removedBefore = static_cast<std::size_t>(
        std::lower_bound(removed_.begin(), removed_.end(), baseRow) - removed_.begin());
    const auto placedBefore = static_cast<std::size_t>(std::count_if(
        placed_.begin(), placed_.end(), [&](const Placed& p) { return p.before <= baseRow; }));
    return baseRow - removedBefore + placedBefore;
}

std::optional<std::size_t> Keyset::indexOfId(std::uint64_t id) const {
    if (id >= kPlacedIds) {
        for (std::size_t p = 0; p < placed_.size(); ++p) {
            if (placed_[p].entry.id != id) continue;
            const std::size_t before = placed_[p].before;
            const auto removedBefore = static_cast<std::size_t>(
                std::lower_bound(removed_.begin(), removed_.end(), before) - removed_.begin());
            return before - removedBefore + p;
        }
        return std::nullopt;
    }
    if (id == 0 || id > baseCount()) return std::nullopt;
    const std::size_t baseRow = id - 1;
    if (std::binary_search(removed_.begin(), removed_.end(), baseRow)) return std::nullopt;
    return indexOfBase(baseRow);
}

std::optional<std::size_t> Keyset::rowOfIndex(std::size_t index) const {
    if (!filter_) return index < knownRows() ? std::optional(index) : std::nullopt;
    auto it = std::lower_bound(accepted_.begin(), accepted_.end(), index);
    if (it == accepted_.end() || *it != index) return std::nullopt;
    return static_cast<std::size_t>(it - accepted_.begin());
}

std::uint64_t Keyset::idAt(std::size_t index) const {
    return table_ ? entryAt(index).id : records_.at(index).id;
}

KeysetRecord& Keyset::decoded(const Entry& entry) const {
    if (entry.fresh) return fresh_.at(entry.id);
    if (auto it = cache_.find(entry.id); it != cache_.end()) return it->second;
    while (cache_.size() >= kCachedRows) {
        cache_.erase(cacheOrder_.front());
        cacheOrder_.pop_front();
    }
    KeysetRecord record{entry.id, {}, {entry.locator}, false};
    // A row gone from the table (deleted by another statement, or its table dropped) shows
    // empty.
    std::optional<std::vector<core::Value>> values;
    try {
        values = table_->read(entry.locator);
    } catch (const core::Error&) {
    }
    record.values =
        values ? std::move(*values) : std::vector<core::Value>(table_->columns().size());
    cacheOrder_.push_back(entry.id);
    return cache_.emplace(entry.id, std::move(record)).first->second;
}

KeysetRecord& Keyset::recordAt(std::size_t index) const {
    if (table_) return decoded(entryAt(index));
    return const_cast<KeysetRecord&>(records_.at(index));
}

core::Value Keyset::value(std::size_t row, std::size_t field) const {
    const std::size_t index = indexOf(row);
    if (!table_) return records_.at(index).values.at(field);
    const Entry entry = entryAt(index);
    if (entry.fresh) return fresh_.at(entry.id).values.at(field);
    if (auto it = cache_.find(entry.id); it != cache_.end()) return it->second.values.at(field);
    return table_->readValue(entry.locator, field);
}

void Keyset::store(std::size_t row, std::vector<core::Value> values,
                   std::vector<std::optional<sql::RowLocator>> locators) {
    const std::size_t index = indexOf(row);
    if (!table_) {
        KeysetRecord& record = records_.at(index);
        record.values = std::move(values);
        record.locators = std::move(locators);
        record.fresh = false;
        return;
    }
    const Slot slot = slotOf(index);
    Entry entry = entryAt(index);
    if (entry.fresh) {
        fresh_.erase(entry.id);
        entry.fresh = false;
    }
    entry.locator = locators.front().value_or(entry.locator);
    if (slot.placed)
        placed_.at(slot.at).entry = entry;
    else if (entry.locator != baseAt(slot.at))
        relocated_[slot.at] = entry.locator;
    cache_.erase(entry.id);
    std::erase(cacheOrder_, entry.id);
    cache_.emplace(entry.id, KeysetRecord{entry.id, std::move(values), {entry.locator}, false});
    cacheOrder_.push_back(entry.id);
}

bool Keyset::filterOne() {
    if (filtered_ == baseSize() && !readOne()) return false;
    bool accepted;
    if (!table_) {
        accepted = filter_(KeysetRow(records_[filtered_]));
    } else {
        // Rows already decoded are judged from their values; the others read only the
        // fields the test asks for, and nothing of them is kept.
        listIndex(filtered_);
        const Entry entry = entryAt(filtered_);
        auto cached = cache_.find(entry.id);
        if (entry.fresh)
            accepted = filter_(KeysetRow(fresh_.at(entry.id)));
        else if (cached != cache_.end())
            accepted = filter_(KeysetRow(cached->second));
        else
            accepted = filter_(KeysetRow(*table_, entry.locator));
    }
    if (accepted) accepted_.push_back(filtered_);
    ++filtered_;
    return true;
}

std::size_t Keyset::knownRows() const {
    return filter_ ? accepted_.size() : baseSize();
}

bool Keyset::hasRow(std::size_t row) {
    // An error stops the reading here and is raised below when the rows run out.
    if (locatorScan_ && !filter_ && row >= knownRows() + kFarAhead) finishReading();
    // Stored order by pages places a far row by the count instead, and lists it from the
    // nearer end.
    if (pages_ && !filter_ && row >= knownRows() + kFarAhead) countRows();
    while (knownRows() <= row) {
        bool more = filter_ ? filterOne() : readOne();
        if (!more) {
            if (failure_) std::rethrow_exception(failure_);
            return false;
        }
    }
    if (!filter_) listIndex(row);
    return true;
}

void Keyset::readToEnd() {
    while (readOne(true)) {
    }
    if (failure_) std::rethrow_exception(failure_);
}

std::size_t Keyset::rowCount() {
    if (!filter_) {
        if (pages_)
            countRows();
        else
            readToEnd();
        // The last record is listed, as the last record needs it.
        if (knownRows() > 0) listIndex(knownRows() - 1);
    }
    while (hasRow(knownRows())) {
    }
    return knownRows();
}

void Keyset::finishReading() {
    // The rows the locator path decoded stay as they were read, as whole rows do, so that a
    // post still finds out when another statement changed its row.
    try {
        while (readOne(true)) {
        }
    } catch (...) {
        // Kept in failure_ for the move that needs the missing rows.
    }
}

void Keyset::setFilter(Filter filter) {
    filter_ = std::move(filter);
    accepted_.clear();
    filtered_ = 0;
}

std::optional<std::size_t> Keyset::rowOf(std::uint64_t id) const {
    if (table_) {
        const std::optional<std::size_t> index = indexOfId(id);
        return index ? rowOfIndex(*index) : std::nullopt;
    }
    for (std::size_t row = 0; row < knownRows(); ++row)
        if (idAt(indexOf(row)) == id) return row;
    return std::nullopt;
}

std::vector<std::size_t> Keyset::indexesOf(std::vector<sql::RowLocator> locators) const {
    std::sort(locators.begin(), locators.end());
    // A few locators (the usual seek) are compared directly: a million rows in a millisecond.
    const bool few = locators.size() <= 8;
    auto listed = [&](sql::RowLocator locator) {
        return few ? std::find(locators.begin(), locators.end(), locator) != locators.end()
                   : std::binary_search(locators.begin(), locators.end(), locator);
    };
    std::vector<std::size_t> indexes;
    auto look = [&](std::size_t baseRow, sql::RowLocator at) {
        if (!listed(at) || relocated_.contains(baseRow) ||
            std::binary_search(removed_.begin(), removed_.end(), baseRow))
            return;
        indexes.push_back(indexOfBase(baseRow));
    };
    if (shared_) {
        for (std::size_t baseRow = 0; baseRow < shared_->size(); ++baseRow)
            look(baseRow, (*shared_)[baseRow]);
    } else {
        // Stored order's front, and its back while the middle is counted.
        const std::size_t front =
            counted_ ? std::min(scannedBase_.size(), tailStart()) : scannedBase_.size();
        for (std::size_t baseRow = 0; baseRow < front; ++baseRow)
            look(baseRow, scannedBase_[baseRow]);
        if (counted_)
            for (std::size_t k = 0; k < tail_.size(); ++k) look(baseRows_ - 1 - k, tail_[k]);
    }
    for (const auto& [baseRow, locator] : relocated_)
        if (listed(locator) && !std::binary_search(removed_.begin(), removed_.end(), baseRow))
            indexes.push_back(indexOfBase(baseRow));
    for (std::size_t p = 0; p < placed_.size(); ++p)
        if (!placed_[p].entry.fresh && listed(placed_[p].entry.locator))
            if (auto index = indexOfId(placed_[p].entry.id)) indexes.push_back(*index);
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

std::vector<std::size_t> Keyset::rowsOfLocators(std::vector<sql::RowLocator> locators) {
    // Without a filter the positions are the stored list's: by pages, the pages that hold
    // the rows are listed, from the nearer end; otherwise the list is read whole in one walk.
    if (!filter_) {
        if (pages_) {
            for (sql::RowLocator locator : locators) {
                if (headPages_ >= tailPage_) break;
                const std::size_t page = pages_->placeOf(locator);
                if (page < headPages_ || page >= tailPage_) continue;
                if (page - headPages_ < tailPage_ - page) {
                    readEnd(true, page + 1);
                } else {
                    countRows();
                    readEnd(false, page);
                }
            }
        } else {
            finishReading();
            if (failure_) std::rethrow_exception(failure_);
        }
        return indexesOf(std::move(locators));
    }
    std::sort(locators.begin(), locators.end());
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; rows.size() < locators.size() && hasRow(row); ++row) {
        const Entry entry = entryAt(indexOf(row));
        if (!entry.fresh && std::binary_search(locators.begin(), locators.end(), entry.locator))
            rows.push_back(row);
    }
    return rows;
}

void Keyset::insert(std::size_t row, KeysetRecord record) {
    std::size_t index;
    if (row < knownRows()) {
        index = indexOf(row);
    } else {
        if (!complete()) throw std::logic_error("Keyset::insert past rows not read yet");
        index = baseSize();
        row = knownRows();
    }
    if (table_) {
        const std::uint64_t id = record.id;
        const bool fresh = record.fresh || !record.locators.front();
        Entry entry{record.locators.front().value_or(sql::RowLocator{}), id, fresh};
        if (fresh) fresh_.emplace(id, std::move(record));
        // Before the record now at that index; at the end past the last.
        std::size_t at = placed_.size(), before = baseCount();
        if (index < baseSize()) {
            const Slot slot = slotOf(index);
            if (slot.placed) {
                at = slot.at;
                before = placed_[at].before;
            } else {
                before = slot.at;
                at = static_cast<std::size_t>(
                    std::upper_bound(placed_.begin(), placed_.end(), before,
                                     [](std::size_t b, const Placed& p) { return b < p.before; }) -
                    placed_.begin());
            }
        }
        placed_.insert(placed_.begin() + static_cast<std::ptrdiff_t>(at), Placed{before, entry});
    } else {
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), std::move(record));
    }
    if (filter_) {
        for (auto& a : accepted_)
            if (a >= index) ++a;
        accepted_.insert(accepted_.begin() + static_cast<std::ptrdiff_t>(row), index);
        ++filtered_;
    }
}

void Keyset::erase(std::size_t row) {
    const std::size_t index = indexOf(row);
    if (table_) {
        const Slot slot = slotOf(index);
        const std::uint64_t id = entryAt(index).id;
        fresh_.erase(id);
        if (cache_.erase(id)) std::erase(cacheOrder_, id);
        if (slot.placed) {
            placed_.erase(placed_.begin() + static_cast<std::ptrdiff_t>(slot.at));
        } else {
            if (slot.at >= baseCount()) throw std::out_of_range("Keyset: no such row");
            relocated_.erase(slot.at);
            removed_.insert(std::upper_bound(removed_.begin(), removed_.end(), slot.at), slot.at);
        }
    } else {
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    if (filter_) {
        accepted_.erase(accepted_.begin() + static_cast<std::ptrdiff_t>(row));
        for (auto& a : accepted_)
            if (a > index) --a;
        --filtered_;
    }
}

} // namespace data
