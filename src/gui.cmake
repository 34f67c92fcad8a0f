# The desktop program: the Qt helpers of its windows (zorvika_widgets), the
# windows themselves (zorvika_desktop) and the program. Qt is found by the
# top-level CMakeLists.txt.

zorvika_layer(zorvika_widgets widgets
  SOURCES
    widgets/gui_text.cpp
    widgets/gui_font.cpp
    widgets/icon_button.cpp
    widgets/icons.cpp
    widgets/busy_box.cpp
    widgets/text_fit.cpp
    widgets/window_keys.cpp
    widgets/desktop_services.cpp
    widgets/qt_desktop_services.cpp
    widgets/design_layout.cpp
    widgets/results_model.cpp
    widgets/results_view.cpp
    widgets/sorted_table_model.cpp
    widgets/text_table_model.cpp
    widgets/clickable_picture.cpp
    widgets/fitted_label.cpp
    widgets/growth_chart.cpp
    ${CMAKE_SOURCE_DIR}/resources/icons.qrc
  USES zorvika_core Qt6::Widgets)
set_target_properties(zorvika_widgets PROPERTIES AUTOMOC ON AUTORCC ON)

zorvika_layer(zorvika_desktop desktop
  SOURCES
    desktop/desktop_context.cpp
    desktop/program_dialog.cpp
    desktop/logos.cpp
    desktop/about_window.cpp
    desktop/history_window.cpp
    desktop/growth_window.cpp
    desktop/import_dialog.cpp
    desktop/procedures_window.cpp
    desktop/help_window.cpp
    desktop/qt_language.cpp
    desktop/main_window.cpp
    ${CMAKE_SOURCE_DIR}/resources/icons/zorvika_icon.qrc
  USES zorvika_widgets)
set_target_properties(zorvika_desktop PROPERTIES AUTOMOC ON AUTORCC ON)

# On Windows a program of the graphical subsystem, with no console of its
# own; Qt is linked in, its windows platform with it.
add_executable(zorvika WIN32 desktop/main.cpp)
target_link_libraries(zorvika PRIVATE zorvika_desktop)
if(WIN32)
  qt_import_plugins(zorvika INCLUDE Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)
  # Qt's own texts (the buttons of its boxes and dialogs) in German, which
  # the system's Qt has on Linux, beside the program; the same version's.
  set(ZORVIKA_QT_TRANSLATIONS /usr/share/qt6/translations/qtbase_de.qm CACHE FILEPATH "Qt's German texts")
  if(NOT EXISTS ${ZORVIKA_QT_TRANSLATIONS})
    message(FATAL_ERROR "${ZORVIKA_QT_TRANSLATIONS} is missing (Debian's qt6-translations-l10n)")
  endif()
  configure_file(${ZORVIKA_QT_TRANSLATIONS} ${ZORVIKA_PROGRAM_DIR}/translations/qtbase_de.qm COPYONLY)
endif()

# The help lies beside the program.
set(ZORVIKA_GUI_RESOURCES ${CMAKE_SOURCE_DIR}/resources)
add_custom_target(zorvika_gui_resources ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${ZORVIKA_GUI_RESOURCES}/help ${ZORVIKA_PROGRAM_DIR}/help
  COMMENT "Copying the help beside the program")
add_dependencies(zorvika zorvika_gui_resources)

# Pictures of the windows for the documentation (scripts/screenshots.sh).
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/screenshots ${CMAKE_BINARY_DIR}/tools/screenshots)
