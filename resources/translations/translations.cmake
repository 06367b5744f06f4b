# The window's translations, included by src/app/CMakeLists.txt. Each
# velnor_LANG.ts here is compiled to a .qm at build time, built into the
# program and installed beside it. lupdate reads every source of the program
# and the window's layout:
#   cmake --build build --target update_translations
# adds new texts to the .ts files (as unfinished, which the tests refuse).
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

file(GLOB VELNOR_TS_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/velnor_*.ts)
file(GLOB_RECURSE VELNOR_TRANSLATED_SOURCES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
# Only the window speaks the user's language: the command line's output is
# read by scripts, and its tool folder holds developer tools.
list(FILTER VELNOR_TRANSLATED_SOURCES EXCLUDE REGEX "/src/(cli|app/tools)/")
qt_add_translations(velnor_app
    TS_FILES ${VELNOR_TS_FILES}
    SOURCES ${VELNOR_TRANSLATED_SOURCES} ${PROJECT_SOURCE_DIR}/resources/vlnwindow.ui
    LUPDATE_OPTIONS -no-obsolete -locations none
    QM_FILES_OUTPUT_VARIABLE VELNOR_QM_FILES)
qt_add_resources(velnor_app velnor_translations
    PREFIX /i18n
    BASE ${CMAKE_CURRENT_BINARY_DIR}
    FILES ${VELNOR_QM_FILES})
install(FILES ${VELNOR_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/velnor/translations)
# The same list for the test that finds texts without a translation.
list(JOIN VELNOR_TRANSLATED_SOURCES "\n" velnor_source_lines)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/translations/sources.lst
    CONTENT "${velnor_source_lines}\n${PROJECT_SOURCE_DIR}/resources/vlnwindow.ui\n")
