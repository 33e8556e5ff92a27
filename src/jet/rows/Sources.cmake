target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LongValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ValueDecoder.cpp
)
target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColumnValue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowEncoder.cpp
)
