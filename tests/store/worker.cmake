# add_project_test(... LABEL store ...) for this topic.
