# Question text to HTML, list styles and the question loaders.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassHtml.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqliteClassLoaders.cpp
)
