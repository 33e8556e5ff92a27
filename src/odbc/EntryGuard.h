#pragma once
// The frame of every entry point: the handle checked, its diagnostics cleared, and any
// exception turned into a diagnostic record and SQL_ERROR, so none crosses into the
// application.
#include "odbc/Handles.h"

namespace odbc {

template <class H> constexpr HandleKind kindOf();
template <> constexpr HandleKind kindOf<Environment>() {
    return HandleKind::Environment;
}
template <> constexpr HandleKind kindOf<Connection>() {
    return HandleKind::Connection;
}
template <> constexpr HandleKind kindOf<Statement>() {
    return HandleKind::Statement;
}

template <class H> H* handleOf(SQLHANDLE handle) {
    auto* h = static_cast<Handle*>(handle);
    return h && h->kind == kindOf<H>() ? static_cast<H*>(h) : nullptr;
}

template <class H, class F> SQLRETURN guarded(SQLHANDLE handle, F&& work) {
    H* h = handleOf<H>(handle);
    if (!h) return SQL_INVALID_HANDLE;
    h->diagnostics.clear();
    try {
        return work(*h);
    } catch (const std::exception& e) {
        h->diagnostics.add(e);
    } catch (...) {
        h->diagnostics.add("HY000", "Unexpected failure.");
    }
    return SQL_ERROR;
}

} // namespace odbc
