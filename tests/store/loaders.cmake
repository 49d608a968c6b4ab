# Question text to HTML, list styles and the question loaders.
add_project_test(NAME tst_html LABEL store
  SOURCES tst_html.cpp
  LIBS store)
add_project_test(NAME tst_loaders LABEL store
  SOURCES tst_loaders.cpp
  LIBS store)
