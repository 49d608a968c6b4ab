# Question text to HTML, list styles and the question loaders.
add_project_test(NAME tst_html LABEL store
  SOURCES tst_html.cpp
  LIBS store)
add_project_test(NAME tst_loaders LABEL store
  SOURCES tst_loaders.cpp
  LIBS store)
# The store on a bank whose ids are untyped text.
add_project_test(NAME tst_untyped_ids LABEL store
  SOURCES tst_untyped_ids.cpp
  LIBS store)
