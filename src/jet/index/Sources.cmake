target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/IndexBuild.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexCursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexKeyColumns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexPageBatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexPageStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexTree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexTreeEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexVerify.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParsedIndexPages.cpp
)
