target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Catalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PropertyMap.cpp
)
target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PropertyMapWriter.cpp
)
