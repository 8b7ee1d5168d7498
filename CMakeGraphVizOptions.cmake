# `cmake --graphviz=<file>.dot <build>`: the program's libraries, executables and tests
# and what links what, without Qt's and the system's libraries.
set(GRAPHVIZ_GRAPH_NAME "Configuration Selector layers")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^Qt6::" "_resources_[0-9]+$")
