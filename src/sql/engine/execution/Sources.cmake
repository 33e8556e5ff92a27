target_sources(tablory_sql PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AggregateOperator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CrosstabOperator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexOrderScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JoinOperators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocatorKeySort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocatorSort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumericCriterion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OrderOperators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowOperators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScanOperators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SortKey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableRows.cpp
)
