#pragma once
// The I/O steps of a commit, numbered as they happen, so tests can stop or fail a commit at
// any one of them and prove the file survives.
#include <cstdint>
#include <functional>

namespace jet {

enum class CommitStep {
    CreateJournal, // the first commit of an open writer only
    WriteJournalHeader,
    WriteJournalRecord,
    SyncJournal,
    SyncFolderForJournal, // the first commit of an open writer only
    WriteDatabasePage,
    ResizeDatabase,
    SyncDatabase,
    VoidJournal, // the commit point
    SyncVoidJournal,
};

// Called before each step with the step's number within the commit, counting from 0. It may
// throw (a simulated I/O failure) or end the process (a simulated crash).
using FaultHook = std::function<void(CommitStep step, std::uint32_t index)>;

// Numbers the steps of one commit and reports each to the hook, when there is one.
class CommitSteps {
public:
    explicit CommitSteps(const FaultHook& hook) : hook_(hook) {}
    void before(CommitStep step) {
        std::uint32_t index = next_++;
        if (hook_) hook_(step, index);
    }

private:
    const FaultHook& hook_;
    std::uint32_t next_ = 0;
};

} // namespace jet
