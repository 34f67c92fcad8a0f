# The desktop program's timings, measured inside it without a display.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(zorvika-gui-bench gui_bench.cpp)
target_link_libraries(zorvika-gui-bench PRIVATE zorvika_desktop zorvika_test_doubles Qt6::Test)
set_target_properties(zorvika-gui-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
