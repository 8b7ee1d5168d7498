# The lowest layers, QtCore only; fuzz/ builds them too, with its own compiler and flags.
cs_add_library(cs_platform platform PUBLIC Qt6::Core PRIVATE PkgConfig::ODBC)
cs_add_library(cs_config config PUBLIC cs_platform)
cs_add_library(cs_app app PUBLIC cs_config PRIVATE cs_platform)
target_compile_definitions(cs_app PRIVATE CS_VERSION="${PROJECT_VERSION}")
