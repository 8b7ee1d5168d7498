# The lowest layers, QtCore only; fuzz/ builds them too, with its own compiler and flags.
cs_add_library(cs_platform platform PUBLIC Qt6::Core PRIVATE PkgConfig::ODBC)
cs_add_library(cs_config config PUBLIC cs_platform)
cs_add_library(cs_app app PUBLIC cs_config PRIVATE cs_platform)
target_compile_definitions(cs_app PRIVATE CS_VERSION="${PROJECT_VERSION}")
# The English texts are built in: the default of a label the installed file lacks.
qt_add_resources(cs_app cs_texts PREFIX "/texts" BASE ${CS_SOURCE_ROOT}/../resources
  FILES ${CS_SOURCE_ROOT}/../resources/I18nText.xml)
