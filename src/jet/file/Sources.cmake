target_sources(tablory_jet PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Checksum.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DatabaseHeader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DirtyPages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeaderPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OsFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rc4.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsageMap.cpp
)
