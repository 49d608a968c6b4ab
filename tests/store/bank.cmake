# The bank schema, the fixture banks, the demo subject and the bank tools.
add_project_test(NAME tst_banks LABEL store
  SOURCES tst_banks.cpp
  LIBS QuaZip::QuaZip)
add_dependencies(tst_banks demo_subject banktool)
target_compile_definitions(tst_banks PRIVATE
  DEMO_DIR="${CMAKE_BINARY_DIR}/demo"
  BANKTOOL="$<TARGET_FILE:banktool>")
