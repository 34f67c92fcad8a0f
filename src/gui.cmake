# The desktop program: the three windows, their Qt seams and the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts Svg)

add_library(zorvika_gui STATIC
  widgets/gui_text.cpp
  widgets/gui_font.cpp
  widgets/super_button.cpp
  widgets/icons.cpp
  widgets/busy_box.cpp
  widgets/text_fit.cpp
  widgets/window_keys.cpp
  ${CMAKE_SOURCE_DIR}/resources/icons.qrc
  components/qt/utility.cpp
  components/qt/qt_utility.cpp
  components/qt/window_text.cpp
  widgets/results_model.cpp
  widgets/results_view.cpp
  widgets/sorted_table_model.cpp
  widgets/text_table_model.cpp
  widgets/click_label.cpp
  widgets/fitted_label.cpp
  about/logos.cpp
  about/frm_pub_about.cpp
  history/frm_pub_his.cpp
  history/frm_pub_trend.cpp
  history/import_choice.cpp
  procedures/frm_pub_proc.cpp
  shell/help_window.cpp
  shell/qt_language.cpp
  shell/frm_pub_main.cpp
  ${CMAKE_SOURCE_DIR}/resources/icons/zorvika_icon.qrc
)
set_target_properties(zorvika_gui PROPERTIES AUTOMOC ON AUTORCC ON)
target_link_libraries(zorvika_gui PUBLIC zorvika_core Qt6::Widgets Qt6::Charts Qt6::Svg)

add_executable(zorvika shell/main.cpp)
target_link_libraries(zorvika PRIVATE zorvika_gui)

# The help lies beside the program.
set(ZORVIKA_GUI_RESOURCES ${CMAKE_SOURCE_DIR}/resources)
add_custom_target(zorvika_gui_resources ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${ZORVIKA_GUI_RESOURCES}/help ${ZORVIKA_PROGRAM_DIR}/help
  COMMENT "Copying the help beside the program")
add_dependencies(zorvika zorvika_gui_resources)

# Pictures of the windows for the documentation (scripts/screenshots.sh).
add_subdirectory(${CMAKE_SOURCE_DIR}/tools/screenshots ${CMAKE_BINARY_DIR}/tools/screenshots)
