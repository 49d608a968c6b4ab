# The worker thread and its jobs.
add_project_test(NAME tst_worker LABEL store
  SOURCES tst_worker.cpp tst_worker_recorder.h
  LIBS store)
# Stopping and overlapping jobs on a generated large bank.
add_project_test(NAME tst_worker_stop LABEL store
  SOURCES tst_worker_stop.cpp tst_worker_recorder.h
  LIBS store)
add_dependencies(tst_worker_stop banktool)
target_compile_definitions(tst_worker_stop PRIVATE BANKTOOL="$<TARGET_FILE:banktool>")
