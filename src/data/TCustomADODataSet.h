#pragma once
// What TADOQuery and TADODataSet share: a statement's result held as a client-side keyset
// cursor with optimistic locking. Rows are read as the user moves (a large table opens
// without reading every row); the current record can be edited, inserted, posted, cancelled
// and deleted, the changes written to the base tables through the rows' locators; a filter
// callback hides records locally; data sources tell the controls what happens.
//
// Before every move, a requery, a refresh and a locate, a pending change is settled: a
// modified record is posted, an unmodified edit or insert is left. A failing post leaves the
// record in its edit or insert state; a failing delete leaves the record where it was.
#include "core/Value.h"
#include "data/ConnectionClient.h"
#include "data/DataEvent.h"
#include "data/DataSetState.h"
#include "data/Keyset.h"
#include "data/LocaleFormats.h"
#include "data/LocateOptions.h"
#include "data/RememberedOrder.h"
#include "data/TBookmark.h"
#include "data/TField.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sql {
class Storage;
}

namespace data {

class TADOConnection;
class TDataSource;

class TCustomADODataSet : private ConnectionClient {
public:
    // The record-acceptance test of local filtering: reads the record through the fields.
    using FilterRecordEvent = std::function<bool(TCustomADODataSet&)>;

    virtual ~TCustomADODataSet();
    TCustomADODataSet(const TCustomADODataSet&) = delete;
    TCustomADODataSet& operator=(const TCustomADODataSet&) = delete;

    const std::string& name() const { return name_; }

    TADOConnection* connection() const { return connection_; }
    // Closes the data set when the connection changes.
    void setConnection(TADOConnection* connection);

    const LocaleFormats& formats() const { return formats_; }
    void setFormats(LocaleFormats formats);

    // --- Opening ---
    // Runs the statement (opening the connection if needed) and makes the first record
    // current. Fails, leaving the data set closed, on an empty statement ("<name>: Missing
    // SQL property"), a statement that returns no rows ("<name>: CommandText does not return
    // a result set", after the engine ran it) and with the engine's errors.
    void open();
    // Discards an unposted change. Bookmarks die with the opening.
    void close();
    bool active() const { return state_ != DataSetState::Inactive; }
    void setActive(bool active) { active ? open() : close(); }
    // Settles a pending change, runs the statement again and makes the first record
    // current. When the statement fails, the data set keeps the rows it had.
    void requery();
    // As requery, but stays on the same record when it is still there (else the same
    // position).
    void refresh();

    DataSetState state() const { return state_; }

    // --- Fields (valid while open; they are made anew at each opening) ---
    std::size_t fieldCount() const { return fields_.size(); }
    TField& field(std::size_t index) const { return *fields_.at(index); }
    // Found without regard to case; nullptr when there is none.
    TField* findField(std::string_view name) const;
    // As findField, but raises "<name>: Field 'x' not found".
    TField& fieldByName(std::string_view name) const;

    // --- Moving ---
    void first();
    void last();
    void next() { moveBy(1); }
    void prior() { moveBy(-1); }
    // Moves up to `distance` records (negative: back); returns how far it went.
    int moveBy(int distance);
    // At the first record after first() or an attempt to move before it.
    bool bof() const { return bof_; }
    // At the last record after last() or an attempt to move past it.
    bool eof() const { return eof_; }
    bool isEmpty();
    // The current record's position, from 1; 0 when there is none.
    int recNo() const;
    // Goes to a position (from 1), reading as far as needed; clamped to the records there.
    void setRecNo(int recNo);
    // Every record the filter accepts: reads the whole result.
    int recordCount();

    // --- Rows around the current one, for grids (positions from 0) ---
    // Whether there is a record at this position, reading as far as needed.
    bool hasRecord(std::size_t row);
    // Whether the rows are kept as row locators of one table, their values read when shown
    // (a plain select over one table), rather than as whole rows.
    bool keepsLocators() const { return keyset_.tableRows() != nullptr; }
    // The records known without reading more; whether the whole result has been read.
    std::size_t knownRecordCount() const;
    bool allRecordsRead() const;
    // A field's value in the record at `row`; the pending values for the record being
    // edited. Raises when there is no such record.
    core::Value valueAt(std::size_t row, std::size_t field);

    // --- Changing ---
    // Whether records can be changed: the rows map to base-table rows and the file is
    // writable.
    bool canModify() const;
    bool modified() const { return modified_; }
    // Puts the current record into edit state; on an empty data set, inserts.
    void edit();
    // A new empty record before the current one.
    void insert();
    // A new empty record after the last one.
    void append();
    // Writes the record through the engine (defaults, counters, Required, sizes, unique
    // indexes), after checking that the row is as it was read; the stored values (the
    // counter, defaults) then show. A failing post leaves the edit or insert state.
    void post();
    // Abandons the change; a record being inserted disappears.
    void cancel();
    // Deletes the current record from its table (after the same check as post); a record
    // being inserted is discarded instead.
    void deleteRecord();
    // Settles a pending change: posted when modified, else left.
    void checkBrowseMode();
    // Asks the controls to write what the user typed into the fields.
    void updateRecord();

    // --- Bookmarks ---
    TBookmark bookmark() const;
    bool bookmarkValid(const TBookmark& bookmark) const;
    // Raises "<name>: Record not found" for a bookmark that is no longer valid.
    void gotoBookmark(const TBookmark& bookmark);

    // --- Local filtering ---
    const FilterRecordEvent& onFilterRecord() const { return onFilterRecord_; }
    void setOnFilterRecord(FilterRecordEvent test);
    bool filtered() const { return filtered_; }
    // Switching it on runs the test over the result and makes the first accepted record
    // current; switching it off shows every record again.
    void setFiltered(bool filtered);

    // Makes the first record whose field matches the value current; false (position kept)
    // when there is none.
    bool locate(std::string_view fieldName, const core::Value& value, LocateOptions options);
    // The test a search applies to a field's value in one record.
    using ValueTest = std::function<bool(const core::Value&)>;
    // Searches the records after the current one (all of them when there is none) and makes
    // the first whose field passes the test current; false (position kept) when there is
    // none. The records passed over are read without the controls hearing of them.
    bool locateNext(std::string_view fieldName, const ValueTest& test);
    bool locateNext(std::string_view fieldName, const core::Value& value, LocateOptions options);

    // --- Controls ---
    // While disabled (the calls nest), the data sources hear nothing; enabling them again
    // tells them everything changed.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disabledCount_ > 0; }

protected:
    TCustomADODataSet(std::string name, std::string statementProperty);

    const std::string& statementText() const { return statement_; }
    void setStatementText(std::string text) { statement_ = std::move(text); }

private:
    friend class TField;
    friend class TDataSource;

    // ConnectionClient
    void connectionClosing() override {
        close();
        order_.forget();
    }
    void finishReading() override;
    void connectionDestroyed() override;

    // Opening
    // The statement's rows as a keyset, with the result's columns and base tables.
    struct Opened {
        std::vector<sql::ResultColumn> columns;
        std::vector<std::string> baseTables;
        Keyset rows;
    };
    Opened runStatement();
    // Replaces the rows; true when the fields had to be made anew.
    bool takeResult(Opened result);
    void buildFields(const std::vector<sql::ResultColumn>& columns);
    void applyFilter();
    void requireActive() const;
    void requireModifiable() const;

    // Fields
    const std::vector<core::Value>* activeValues() const;
    core::Value fieldValue(std::size_t field) const;
    void setFieldValue(std::size_t field, const core::Value& value);

    // Editing
    void beginInsert(bool atEnd);
    void postUpdate();
    void postInsert();
    void leaveEditing();
    // Before a write of this data set's own.
    void prepareOwnWrite();
    // Raises `message` unless the base row is still there with the values read.
    void checkRowUnchanged(sql::Storage& storage, std::size_t table, const KeysetRecord& record,
                           std::string_view message);
    // After the current record left the keyset: the next one, else the one before.
    void settleAfterRemoval();
    // Searches from `row` on; makes the first record passing the test current.
    bool locateFrom(std::size_t row, const TField& field, const ValueTest& test);
    // Locate's seek through an index the field leads, on the locator path: nullopt when no
    // index serves and the records must be searched one by one.
    std::optional<bool> locateByIndex(const TField& field, const core::Value& key,
                                      const ValueTest& test);
    void makeCurrent(std::size_t row);

    // Events
    void notify(DataEvent event, const TField* field = nullptr, int distance = 0);
    void addSource(TDataSource& source);
    void removeSource(TDataSource& source);
    void setState(DataSetState state);

    std::string name_;
    std::string statementProperty_;
    std::string statement_;
    TADOConnection* connection_ = nullptr;
    LocaleFormats formats_;

    DataSetState state_ = DataSetState::Inactive;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<std::string> baseTables_;
    Keyset keyset_;
    RememberedOrder order_;     // of the last ordered statement, for the requery after an open
    std::uint64_t opening_ = 0; // counts openings and requeries, for bookmarks
    std::uint64_t openings_ = 0;
    std::size_t row_ = 0; // the current record, when there is one
    bool hasCurrent_ = false;
    bool bof_ = true;
    bool eof_ = true;

    // The record being edited or inserted.
    std::vector<core::Value> buffer_;
    std::vector<bool> assigned_;
    bool modified_ = false;

    // The record the filter test is looking at, when it runs.
    const KeysetRow* filterRecord_ = nullptr;
    FilterRecordEvent onFilterRecord_;
    bool filtered_ = false;

    std::vector<TDataSource*> sources_;
    int disabledCount_ = 0;
    bool eventsMissed_ = false;
    bool activeWhenDisabled_ = false;
};

} // namespace data
