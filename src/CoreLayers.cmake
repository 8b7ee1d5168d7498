# The lowest layers, QtCore only; fuzz/ builds them too, with its own compiler and flags.
cs_add_library(cs_platform platform PUBLIC Qt6::Core PRIVATE PkgConfig::ODBC)
# The English texts are built in: the default of a label the installed file lacks, and the
# language of the shell and of the texts the lower layers word.
qt_add_resources(cs_platform cs_texts PREFIX "/texts" BASE ${CS_SOURCE_ROOT}/../resources
  FILES ${CS_SOURCE_ROOT}/../resources/I18nText.xml)
cs_add_library(cs_config config PUBLIC cs_platform)
cs_add_library(cs_app app PUBLIC cs_config PRIVATE cs_platform)
target_compile_definitions(cs_app PRIVATE CS_VERSION="${PROJECT_VERSION}")
