# target_sources(store PRIVATE ${CMAKE_CURRENT_LIST_DIR}/...) for this topic.
