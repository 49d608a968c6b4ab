# Chapter tree and progress statistics; question types, bank settings,
# syllabus and exam records.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassChapters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassSettings.cpp)
