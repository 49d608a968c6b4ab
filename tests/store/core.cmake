# The store object, its connection and the question records.
add_project_test(NAME tst_records LABEL store
  SOURCES tst_records.cpp
  LIBS store)
add_project_test(NAME tst_sqliteclass LABEL store
  SOURCES tst_sqliteclass.cpp
  LIBS store)
add_project_test(NAME tst_storestress LABEL store
  SOURCES tst_storestress.cpp
  LIBS store)
