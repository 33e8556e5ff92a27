target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ColumnLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DatabaseCreator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataPageEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexMaintainer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LongValueWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageAllocator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Relationships.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableStorage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsageMapEditor.cpp
)
