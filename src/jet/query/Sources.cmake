target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DatabaseQueries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FromClause.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueryStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueryText.cpp
)
