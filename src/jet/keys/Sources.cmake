target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BinaryKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneralSortCode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneralSortTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/General97SortTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyEncoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Text97Key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextKey.cpp
)
